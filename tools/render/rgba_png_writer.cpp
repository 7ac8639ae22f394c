#include "rgba_png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "resources/stdio_file.h"

namespace tavo::render_tool {

namespace {

// Everything that must survive a longjmp out of libpng lives outside the
// function that calls setjmp; nothing here has a destructor to skip.
bool encode(std::FILE* file, int32_t width, int32_t height, const png_const_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y) {
        png_write_row(png, rows[y]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writeRgbaPng(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        return false;
    }
    StdioFile file = createStdioFile(path.c_str());
    if (!file) {
        return false;
    }
    std::vector<png_const_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        rows[static_cast<size_t>(y)] = rgba.data() + static_cast<size_t>(y) * width * 4;
    }
    if (!encode(file.get(), width, height, rows.data())) {
        return false;
    }
    return std::fclose(file.release()) == 0;
}

}  // namespace tavo::render_tool
