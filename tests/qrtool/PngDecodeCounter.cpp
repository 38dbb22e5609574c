// Preloaded into qrtool by its tests: counts the pictures the tool hands to
// libpng to decode, and writes the count to the file that
// TESSIVO_PNG_DECODES names when the tool ends.
#include <png.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<int> decodes{0};

struct ReportAtExit {
    ~ReportAtExit() {
        const char* path = std::getenv("TESSIVO_PNG_DECODES");
        if (!path) return;
        if (std::FILE* file = std::fopen(path, "w")) {
            std::fprintf(file, "%d\n", decodes.load());
            std::fclose(file);
        }
    }
} report;

} // namespace

extern "C" int png_image_begin_read_from_memory(png_imagep image, png_const_voidp memory, size_t size) {
    using Real = int (*)(png_imagep, png_const_voidp, size_t);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "png_image_begin_read_from_memory"));
    ++decodes;
    return real(image, memory, size);
}
