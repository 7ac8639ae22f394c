#include "resources/jpeg_loader.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>
#include <string>

#include "resources/ascii_case.h"

namespace tavo {

namespace {

// libjpeg's error manager, extended with the way back out of a failing call
// and the message that made it fail. libjpeg's default error_exit would end
// the process; this one jumps back to decodeBytes instead.
struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void leaveOnError(j_common_ptr info) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

// Trace messages (level > 0) are dropped; a warning (level -1) means corrupt
// or missing data, which fails the decode like an error.
void leaveOnWarning(j_common_ptr info, int level) {
    if (level < 0) {
        leaveOnError(info);
    }
}

void ignoreOutput(j_common_ptr) {}

// The decompressor, destroyed on every way out.
struct Decompressor {
    jpeg_decompress_struct info{};
    ErrorTrap trap{};
    ~Decompressor() { jpeg_destroy_decompress(&info); }
};

}  // namespace

int32_t JpegLoader::acceptsExtension(const char* extension) {
    if (extension == nullptr) {
        return 0;
    }
    for (const char* known : {"jpg", "jpeg", "jpe", "jfif"}) {
        if (compareIgnoringAsciiCase(extension, known) == 0) {
            return 1;
        }
    }
    return 0;
}

// Start of image followed by the first marker.
int32_t JpegLoader::recognizes(const uint8_t* head, int32_t count) {
    return head != nullptr && count >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF
               ? 1
               : 0;
}

// libjpeg leaves by longjmp on an error, past every destructor between here
// and the failing call: so the decompressor lives in the caller's frame of
// this function (as a member of a local that exists before setjmp) and the
// picture in the loader, and nothing changed after setjmp is read after the
// jump but the message.
int32_t JpegLoader::decodeBytes(const uint8_t* data, size_t size) {
    Decompressor jpeg;
    jpeg.info.err = jpeg_std_error(&jpeg.trap.manager);
    jpeg.trap.manager.error_exit = leaveOnError;
    jpeg.trap.manager.emit_message = leaveOnWarning;
    jpeg.trap.manager.output_message = ignoreOutput;
    if (setjmp(jpeg.trap.jump) != 0) {
        return fail(std::string("libjpeg: ") + jpeg.trap.message);
    }
    jpeg_create_decompress(&jpeg.info);
    jpeg_mem_src(&jpeg.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&jpeg.info, TRUE);
    if (jpeg.info.image_width > static_cast<JDIMENSION>(kMaxImageSide) ||
        jpeg.info.image_height > static_cast<JDIMENSION>(kMaxImageSide)) {
        return fail("JPEG: the picture is " + std::to_string(jpeg.info.image_width) + " x " +
                    std::to_string(jpeg.info.image_height) + " pixels; each side must be 1 to " +
                    std::to_string(kMaxImageSide));
    }
    jpeg.info.out_color_space = JCS_EXT_RGBA;  // alpha filled with 255
    jpeg_start_decompress(&jpeg.info);
    if (jpeg.info.output_components != 4) {
        return fail("JPEG: the decoder gave " + std::to_string(jpeg.info.output_components) +
                    " channels instead of RGBA");
    }
    const int64_t width = jpeg.info.output_width;
    uint8_t* out = allocatePicture(width, jpeg.info.output_height, "JPEG");
    if (out == nullptr) {
        return 0;
    }
    while (jpeg.info.output_scanline < jpeg.info.output_height) {
        JSAMPROW row = out + static_cast<size_t>(jpeg.info.output_scanline) * width * 4;
        jpeg_read_scanlines(&jpeg.info, &row, 1);
    }
    jpeg_finish_decompress(&jpeg.info);
    return 1;
}

}  // namespace tavo
