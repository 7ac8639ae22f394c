#include "resources/decoded_image_loader.h"

#include <new>

#include "resources/byte_stream.h"
#include "resources/memory_stream.h"
#include "resources/stdio_file.h"

namespace tavo {

DecodedImageLoader::~DecodedImageLoader() { release(); }

int32_t DecodedImageLoader::decode(ByteStream* stream) {
    release();
    clearFailure();
    if (stream == nullptr) {
        return fail("no data");
    }
    std::vector<uint8_t> bytes;
    if (!readRestOfStream(*stream, bytes)) {
        return fail("the file is empty");
    }
    if (decodeBytes(bytes.data(), bytes.size()) != 1) {
        release();  // nothing half decoded is described
        return 0;
    }
    return 1;
}

int32_t DecodedImageLoader::load(const char* path) {
    release();
    clearFailure();
    MemoryStream stream;
    std::string reason;
    if (stream.loadFile(path, &reason) == 0) {
        return fail(unreadableFileMessage(path, reason));
    }
    return decode(&stream);
}

ImageDescription& DecodedImageLoader::describe(ImageDescription& description) {
    description.width = width_;
    description.height = height_;
    description.bitsPerPixel = 32;
    description.layout = 0;
    description.pixels = pixels_.get();
    return description;
}

void DecodedImageLoader::release() { pixels_.reset(); }

uint8_t* DecodedImageLoader::allocatePicture(int64_t width, int64_t height, const char* format) {
    pixels_.reset();
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        fail(std::string(format) + ": the picture is " + std::to_string(width) + " x " +
             std::to_string(height) + " pixels; each side must be 1 to " +
             std::to_string(kMaxImageSide));
        return nullptr;
    }
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    pixels_.reset(new (std::nothrow) uint8_t[bytes]);
    if (!pixels_) {
        fail(std::string(format) + ": out of memory for " + std::to_string(width) + " x " +
             std::to_string(height) + " pixels");
        return nullptr;
    }
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    return pixels_.get();
}

bool readRestOfStream(ByteStream& stream, std::vector<uint8_t>& bytes) {
    const int32_t position = stream.seek(1, 0);
    const int32_t size = stream.size();
    if (position < 0 || size <= position) {
        return false;
    }
    bytes.resize(static_cast<size_t>(size - position));
    const int32_t got = stream.read(bytes.data(), static_cast<int32_t>(bytes.size()));
    bytes.resize(static_cast<size_t>(got > 0 ? got : 0));
    return !bytes.empty();
}

}  // namespace tavo
