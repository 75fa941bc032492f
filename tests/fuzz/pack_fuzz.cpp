// Reads the input as the resource pack: its header and its packed data, as
// on the show's first file request, then an entry of the seeds.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/core/exception.h"
#include "engine/streams/stream.h"
#include "framework/files/pack_file_provider.h"

namespace {

// The pack is read from a path; a file in memory serves every input
// without leaving files behind.
class PackFile {
public:
    PackFile() : descriptor_(memfd_create("pack", 0)) {
        if (descriptor_ < 0) std::abort();
    }

    // The path at which the file now holds exactly the bytes.
    std::string hold(const uint8_t* data, size_t size) {
        if (ftruncate(descriptor_, 0) != 0 ||
            (size > 0 && pwrite(descriptor_, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
        return "/proc/self/fd/" + std::to_string(descriptor_);
    }

private:
    int descriptor_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PackFile file;
    PackFileProvider pack(file.hold(data, size));
    try {
        std::unique_ptr<zentac::Stream> entry(pack.open("data/a.txt"));
        if (entry) {
            char byte;
            entry->Read(&byte, 1);
        }
    } catch (const zentac::Exception&) {
        // A damaged pack is refused with its reason.
    }
    return 0;
}
