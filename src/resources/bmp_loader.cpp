#include "resources/bmp_loader.h"

#include <string>

#include "resources/ascii_case.h"
#include "resources/little_endian.h"

namespace tavo {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;     // OS/2 1.x: 16-bit sides, 3-byte palette
constexpr uint32_t kInfoHeaderSize = 40;     // Windows 3.x and every later header
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

// One colour channel of a 32-bit pixel under a bit-field mask.
struct Channel {
    uint32_t mask = 0;
    int32_t shift = 0;
    uint32_t maximum = 0;  // mask >> shift

    static Channel of(uint32_t mask) {
        Channel channel;
        channel.mask = mask;
        if (mask != 0) {
            while (((mask >> channel.shift) & 1u) == 0) {
                ++channel.shift;
            }
            channel.maximum = mask >> channel.shift;
        }
        return channel;
    }
    uint8_t extract(uint32_t pixel, uint8_t absent) const {
        if (maximum == 0) {
            return absent;
        }
        const uint64_t value = (pixel & mask) >> shift;
        return static_cast<uint8_t>(value * 255 / maximum);
    }
};

struct BmpHeader {
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // positive: bottom-up rows
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t paletteSize = 0;  // entries
    size_t paletteOffset = 0;
    size_t paletteEntryBytes = 4;
    Channel red, green, blue, alpha;
};

// Reads the file and information headers; an empty string when they describe
// a picture this loader decodes, else the reason.
std::string readHeader(const uint8_t* data, size_t size, BmpHeader& header) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') {
        return "not a BMP file";
    }
    header.pixelOffset = readLe32(data + 10);
    header.headerSize = readLe32(data + 14);
    const uint8_t* info = data + kFileHeaderSize;
    if (header.headerSize == kCoreHeaderSize) {
        if (size < kFileHeaderSize + kCoreHeaderSize) {
            return "the header is cut short";
        }
        header.width = readLe16(info + 4);
        header.height = readLe16(info + 6);
        header.bitCount = readLe16(info + 10);
        header.paletteEntryBytes = 3;
    } else if (header.headerSize >= kInfoHeaderSize && header.headerSize <= 1024) {
        if (size < kFileHeaderSize + header.headerSize) {
            return "the header is cut short";
        }
        header.width = static_cast<int32_t>(readLe32(info + 4));
        header.height = static_cast<int32_t>(readLe32(info + 8));
        header.bitCount = readLe16(info + 14);
        header.compression = readLe32(info + 16);
        header.paletteSize = readLe32(info + 32);
    } else {
        return "unknown header size " + std::to_string(header.headerSize);
    }
    header.paletteOffset = kFileHeaderSize + header.headerSize;

    const bool bitFields = header.compression == kCompressionBitFields ||
                           header.compression == kCompressionAlphaBitFields;
    if (header.compression != kCompressionNone && !bitFields) {
        return "compression " + std::to_string(header.compression) +
               " is not read (only uncompressed pictures are)";
    }
    switch (header.bitCount) {
    case 1:
    case 4:
    case 8:
        if (bitFields) {
            return "bit-field masks on a palette picture";
        }
        if (header.paletteSize == 0 || header.paletteSize > (1u << header.bitCount)) {
            header.paletteSize = 1u << header.bitCount;
        }
        break;
    case 24:
        if (bitFields) {
            return "bit-field masks on a 24-bit picture";
        }
        break;
    case 32:
        if (bitFields) {
            // The masks follow a 40-byte header; larger headers hold them at
            // the same place, with the alpha mask from 56 bytes on.
            const size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
            const size_t maskCount = header.compression == kCompressionAlphaBitFields ||
                                             header.headerSize >= 56
                                         ? 4
                                         : 3;
            if (size < masksAt + 4 * maskCount) {
                return "the colour masks are cut short";
            }
            header.red = Channel::of(readLe32(data + masksAt));
            header.green = Channel::of(readLe32(data + masksAt + 4));
            header.blue = Channel::of(readLe32(data + masksAt + 8));
            header.alpha = Channel::of(maskCount == 4 ? readLe32(data + masksAt + 12) : 0);
            if (header.headerSize == kInfoHeaderSize) {
                header.paletteOffset += 4 * maskCount;
            }
        } else {
            header.red = Channel::of(0x00FF0000u);
            header.green = Channel::of(0x0000FF00u);
            header.blue = Channel::of(0x000000FFu);
            header.alpha = Channel::of(0xFF000000u);
        }
        break;
    default:
        return std::to_string(header.bitCount) + "-bit pictures are not read";
    }
    return "";
}

// The 32-bit value of pixel x of a row of 1-, 4-, 8-, 24- or 32-bit pixels.
uint32_t pixelValue(const uint8_t* row, int64_t x, uint32_t bitCount) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0xFu;
    case 8:
        return row[x];
    case 24:
        return static_cast<uint32_t>(row[3 * x]) | (static_cast<uint32_t>(row[3 * x + 1]) << 8) |
               (static_cast<uint32_t>(row[3 * x + 2]) << 16);
    default:
        return readLe32(row + 4 * x);
    }
}

}  // namespace

int32_t BmpLoader::acceptsExtension(const char* extension) {
    if (extension == nullptr) {
        return 0;
    }
    return compareIgnoringAsciiCase(extension, "bmp") == 0 ||
                   compareIgnoringAsciiCase(extension, "dib") == 0
               ? 1
               : 0;
}

int32_t BmpLoader::recognizes(const uint8_t* head, int32_t count) {
    if (head == nullptr || count < 18 || head[0] != 'B' || head[1] != 'M') {
        return 0;
    }
    const uint32_t headerSize = readLe32(head + 14);
    return headerSize == kCoreHeaderSize || (headerSize >= kInfoHeaderSize && headerSize <= 1024)
               ? 1
               : 0;
}

int32_t BmpLoader::decodeBytes(const uint8_t* data, size_t size) {
    BmpHeader header;
    const std::string problem = readHeader(data, size, header);
    if (!problem.empty()) {
        return fail("BMP: " + problem);
    }
    const bool bottomUp = header.height > 0;
    const int64_t width = header.width;
    const int64_t height = bottomUp ? header.height : -header.height;
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        return fail("BMP: the picture is " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels; each side must be 1 to " +
                    std::to_string(kMaxImageSide));
    }

    const bool paletted = header.bitCount <= 8;
    if (paletted && header.paletteOffset + static_cast<uint64_t>(header.paletteSize) *
                                               header.paletteEntryBytes >
                        size) {
        return fail("BMP: the palette of " + std::to_string(header.paletteSize) +
                    " colours is cut short");
    }
    const uint64_t stride = (static_cast<uint64_t>(width) * header.bitCount + 31) / 32 * 4;
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(height);
    if (header.pixelOffset > size || pixelBytes > size - header.pixelOffset) {
        return fail("BMP: the pixel data is cut short (" + std::to_string(pixelBytes) +
                    " bytes from offset " + std::to_string(header.pixelOffset) + ", the file has " +
                    std::to_string(size) + ")");
    }
    uint8_t* out = allocatePicture(width, height, "BMP");
    if (out == nullptr) {
        return 0;
    }

    bool anyAlpha = false;
    for (int64_t y = 0; y < height; ++y) {
        const int64_t stored = bottomUp ? height - 1 - y : y;
        const uint8_t* row = data + header.pixelOffset + stored * stride;
        uint8_t* pixel = out + y * width * 4;
        for (int64_t x = 0; x < width; ++x, pixel += 4) {
            const uint32_t value = pixelValue(row, x, header.bitCount);
            if (paletted) {
                if (value >= header.paletteSize) {
                    return fail("BMP: pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") uses colour " + std::to_string(value) + " of a palette of " +
                                std::to_string(header.paletteSize));
                }
                const uint8_t* entry = data + header.paletteOffset + value * header.paletteEntryBytes;
                pixel[0] = entry[2];
                pixel[1] = entry[1];
                pixel[2] = entry[0];
                pixel[3] = 255;
            } else if (header.bitCount == 24) {
                pixel[0] = static_cast<uint8_t>(value >> 16);
                pixel[1] = static_cast<uint8_t>(value >> 8);
                pixel[2] = static_cast<uint8_t>(value);
                pixel[3] = 255;
            } else {
                pixel[0] = header.red.extract(value, 0);
                pixel[1] = header.green.extract(value, 0);
                pixel[2] = header.blue.extract(value, 0);
                pixel[3] = header.alpha.extract(value, 255);
                anyAlpha = anyAlpha || pixel[3] != 0;
            }
        }
    }
    if (header.bitCount == 32 && !anyAlpha) {
        // Writers that have no alpha leave the fourth byte 0: opaque.
        for (int64_t i = 0; i < width * height; ++i) {
            out[i * 4 + 3] = 255;
        }
    }
    return 1;
}

}  // namespace tavo
