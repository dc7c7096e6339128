// A BMP file through loadBMP.
#include <cstdlib>

#include "assets/bmp.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image image{1, 1, nullptr};
    if (loadBMP(writeFuzzInput(data, size), &image) == 1) {
        const uint64_t bytes = static_cast<uint64_t>(image.width) * image.height * 3;
        if (image.data == nullptr || bytes == 0 || bytes > size) {
            std::abort();  // a loaded image holds pixels that came from the file
        }
        volatile unsigned char last = image.data[bytes - 1];
        (void)last;
        std::free(image.data);
    } else if (image.data != nullptr || image.width != 0 || image.height != 0) {
        std::abort();  // a failed load leaves no half-filled record
    }
    return 0;
}
