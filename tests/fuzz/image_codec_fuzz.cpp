// Decodes the input as an image file called VORN_FUZZ_IMAGE_NAME: the
// codec comes from the name's extension, as when the show loads a picture.
#include <cstddef>
#include <cstdint>

#include "engine/core/exception.h"
#include "engine/files/memory_stream.h"
#include "engine/image/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zentac::MemoryStream stream(data, static_cast<int32_t>(size), zentac::MemoryStream::Borrow{});
    zentac::Bitmap bitmap;
    try {
        bitmap.Load(stream, VORN_FUZZ_IMAGE_NAME);
    } catch (const zentac::Exception&) {
        // Refusing a damaged file is the sound outcome.
    }
    return 0;
}
