// Reads the input as a ZIP archive: its directory and the first members,
// as the file system unpacks them (with a password, so that encrypted
// members are deciphered too), then a listing and a folder test.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/exception.h"
#include "engine/files/file_codec_zip.h"
#include "engine/files/memory_stream.h"
#include "engine/files/zip_directory.h"
#include "engine/files/zip_member.h"

namespace {

// Each public operation reads the whole directory again; a few members
// cover every path through them.
constexpr int kMembersRead = 8;
constexpr char kPassword[] = "vorn";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto archive = [&] {
        return new zentac::MemoryStream(data, static_cast<int32_t>(size), zentac::MemoryStream::Borrow{});
    };
    try {
        std::unique_ptr<zentac::Stream> stream(archive());
        const zentac::ZipDirectory directory(*stream);
        int read = 0;
        for (const zentac::ZipEntry& entry : directory.Entries()) {
            if (read++ == kMembersRead) break;
            try {
                zentac::ReadZipMember(*stream, entry, kPassword);
            } catch (const zentac::Exception&) {
                // One damaged member does not stop the others.
            }
        }
        if (!directory.Entries().empty()) {
            // The codec takes over the archive's one reference.
            std::unique_ptr<zentac::Stream> member(
                zentac::OpenZipEntry(archive(), directory.Entries().front().name, zentac::kModeRead, kPassword));
        }
    } catch (const zentac::Exception&) {
        // A damaged directory is refused with its reason.
    }
    try {
        zentac::ListZipDirectory(archive(), "");
        zentac::IsZipDirectory(archive(), "data");
    } catch (const zentac::Exception&) {
        // Likewise.
    }
    return 0;
}
