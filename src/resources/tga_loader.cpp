#include "resources/tga_loader.h"

#include <string>

#include "resources/ascii_case.h"
#include "resources/little_endian.h"

namespace tavo {

namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kColorMapped = 1;
constexpr uint8_t kTrueColor = 2;
constexpr uint8_t kGrey = 3;
constexpr uint8_t kRunLength = 8;  // added to the three types above
constexpr uint8_t kRightToLeft = 0x10;
constexpr uint8_t kTopDown = 0x20;

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 0;
    uint16_t colorMapLength = 0;
    uint8_t colorMapEntryBits = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint8_t pixelBits = 0;
    uint8_t descriptor = 0;

    static TgaHeader read(const uint8_t* p) {
        TgaHeader header;
        header.idLength = p[0];
        header.colorMapType = p[1];
        header.imageType = p[2];
        header.colorMapLength = readLe16(p + 5);
        header.colorMapEntryBits = p[7];
        header.width = readLe16(p + 12);
        header.height = readLe16(p + 14);
        header.pixelBits = p[16];
        header.descriptor = p[17];
        return header;
    }
    bool plausible() const {
        const uint8_t baseType = imageType & ~kRunLength;
        const bool knownType = baseType >= kColorMapped && baseType <= kGrey;
        const bool knownMap = colorMapType == 0 || colorMapType == 1;
        const bool knownEntry = colorMapEntryBits == 0 || colorMapEntryBits == 15 ||
                                colorMapEntryBits == 16 || colorMapEntryBits == 24 ||
                                colorMapEntryBits == 32;
        const bool knownDepth = pixelBits == 8 || pixelBits == 15 || pixelBits == 16 ||
                                pixelBits == 24 || pixelBits == 32;
        return knownType && knownMap && knownEntry && knownDepth && width > 0 && height > 0 &&
               (descriptor & 0xC0) == 0;
    }
};

// Why a plausible header is not one this loader decodes, or "".
std::string unsupported(const TgaHeader& header) {
    const uint8_t baseType = header.imageType & ~kRunLength;
    if (baseType == kColorMapped) {
        return "colour-mapped pictures are not read";
    }
    if (baseType == kTrueColor && header.pixelBits != 24 && header.pixelBits != 32) {
        return std::to_string(header.pixelBits) + "-bit true-colour pictures are not read";
    }
    if (baseType == kGrey && header.pixelBits != 8) {
        return std::to_string(header.pixelBits) + "-bit grey pictures are not read";
    }
    return "";
}

// Turns the stored pixels (B, G, R[, A] or grey) into RGBA, in stored order.
class PixelUnpacker {
public:
    explicit PixelUnpacker(uint8_t bytesPerPixel) : bytes_(bytesPerPixel) {}
    void put(const uint8_t* stored, uint8_t* out) {
        if (bytes_ == 1) {
            out[0] = out[1] = out[2] = stored[0];
            out[3] = 255;
            return;
        }
        out[0] = stored[2];
        out[1] = stored[1];
        out[2] = stored[0];
        out[3] = bytes_ == 4 ? stored[3] : 255;
        anyAlpha_ = anyAlpha_ || out[3] != 0;
    }
    bool anyAlpha() const { return anyAlpha_; }

private:
    uint8_t bytes_;
    bool anyAlpha_ = false;
};

void unpackRaw(const uint8_t* data, size_t count, PixelUnpacker& unpacker, uint8_t bytesPerPixel,
               uint8_t* out) {
    for (size_t i = 0; i < count; ++i) {
        unpacker.put(data + i * bytesPerPixel, out + i * 4);
    }
}

// Run-length packets: a header byte with the run length - 1 in its low
// seven bits, then one pixel repeated (high bit set) or that many pixels.
// Runs may cross rows; a run longer than what is left of the picture is
// corrupt.
std::string unpackRunLength(const uint8_t* data, size_t size, size_t count,
                            PixelUnpacker& unpacker, uint8_t bytesPerPixel, uint8_t* out) {
    size_t position = 0;
    size_t done = 0;
    while (done < count) {
        if (position >= size) {
            return "the run-length data ends after " + std::to_string(done) + " of " +
                   std::to_string(count) + " pixels";
        }
        const uint8_t packet = data[position++];
        const size_t run = (packet & 0x7Fu) + 1;
        if (run > count - done) {
            return "a run of " + std::to_string(run) + " pixels goes past the end of the picture";
        }
        const bool repeated = (packet & 0x80u) != 0;
        const size_t bytes = repeated ? bytesPerPixel : run * bytesPerPixel;
        if (bytes > size - position) {
            return "the run-length data ends after " + std::to_string(done) + " of " +
                   std::to_string(count) + " pixels";
        }
        for (size_t i = 0; i < run; ++i) {
            unpacker.put(data + position + (repeated ? 0 : i * bytesPerPixel), out + (done + i) * 4);
        }
        position += bytes;
        done += run;
    }
    return "";
}

// Rows come out top first and left to right, whatever the stored order.
void orientRows(uint8_t* pixels, int64_t width, int64_t height, uint8_t descriptor) {
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if ((descriptor & kTopDown) == 0) {
        for (int64_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
            uint8_t* a = pixels + top * rowBytes;
            uint8_t* b = pixels + bottom * rowBytes;
            for (size_t i = 0; i < rowBytes; ++i) {
                const uint8_t t = a[i];
                a[i] = b[i];
                b[i] = t;
            }
        }
    }
    if ((descriptor & kRightToLeft) != 0) {
        for (int64_t y = 0; y < height; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(pixels + y * rowBytes);
            for (int64_t left = 0, right = width - 1; left < right; ++left, --right) {
                const uint32_t t = row[left];
                row[left] = row[right];
                row[right] = t;
            }
        }
    }
}

}  // namespace

int32_t TgaLoader::acceptsExtension(const char* extension) {
    return extension != nullptr && compareIgnoringAsciiCase(extension, "tga") == 0 ? 1 : 0;
}

int32_t TgaLoader::recognizes(const uint8_t* head, int32_t count) {
    if (head == nullptr || count < static_cast<int32_t>(kHeaderSize)) {
        return 0;
    }
    return TgaHeader::read(head).plausible() ? 1 : 0;
}

int32_t TgaLoader::decodeBytes(const uint8_t* data, size_t size) {
    if (size < kHeaderSize) {
        return fail("TGA: the header is cut short");
    }
    const TgaHeader header = TgaHeader::read(data);
    if (!header.plausible()) {
        return fail("TGA: not a TGA file (the header holds values TGA does not allow)");
    }
    const std::string problem = unsupported(header);
    if (!problem.empty()) {
        return fail("TGA: " + problem);
    }
    const uint8_t bytesPerPixel = static_cast<uint8_t>(header.pixelBits / 8);
    const uint64_t mapBytes = header.colorMapType == 1
                                  ? static_cast<uint64_t>(header.colorMapLength) *
                                        ((header.colorMapEntryBits + 7u) / 8u)
                                  : 0;
    const uint64_t pixelsAt = kHeaderSize + header.idLength + mapBytes;
    if (pixelsAt > size) {
        return fail("TGA: the file ends inside its header fields");
    }
    const uint8_t* stored = data + pixelsAt;
    const size_t storedSize = size - static_cast<size_t>(pixelsAt);
    const size_t count = static_cast<size_t>(header.width) * static_cast<size_t>(header.height);
    const bool runLength = (header.imageType & kRunLength) != 0;
    // Refuse before allocating when the data cannot hold the picture: raw
    // pixels take their size, a run-length packet at most 128 pixels.
    const uint64_t most = runLength ? static_cast<uint64_t>(storedSize) / (1u + bytesPerPixel) * 128
                                    : storedSize / bytesPerPixel;
    if (most < count && header.width <= kMaxImageSide && header.height <= kMaxImageSide) {
        return fail("TGA: the pixel data is cut short (" + std::to_string(storedSize) +
                    " bytes for " + std::to_string(header.width) + " x " +
                    std::to_string(header.height) + " pixels)");
    }
    uint8_t* out = allocatePicture(header.width, header.height, "TGA");
    if (out == nullptr) {
        return 0;
    }
    PixelUnpacker unpacker(bytesPerPixel);
    if (runLength) {
        const std::string broken =
            unpackRunLength(stored, storedSize, count, unpacker, bytesPerPixel, out);
        if (!broken.empty()) {
            return fail("TGA: " + broken);
        }
    } else {
        unpackRaw(stored, count, unpacker, bytesPerPixel, out);
    }
    if (bytesPerPixel == 4 && !unpacker.anyAlpha()) {
        for (size_t i = 0; i < count; ++i) {
            out[i * 4 + 3] = 255;
        }
    }
    orientRows(out, header.width, header.height, header.descriptor);
    return 1;
}

}  // namespace tavo
