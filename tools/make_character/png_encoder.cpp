#include "png_encoder.h"

#include <array>

namespace tavo::chara {
namespace {

// Writes bits least significant first, as deflate packs them.
class BitWriter {
public:
    void bits(uint32_t value, int32_t count) {
        for (int32_t k = 0; k < count; ++k) {
            bit((value >> k) & 1u);
        }
    }
    // Huffman codes go most significant bit first.
    void code(uint32_t value, int32_t length) {
        for (int32_t k = length - 1; k >= 0; --k) {
            bit((value >> k) & 1u);
        }
    }
    std::string finish() {
        if (used_ > 0) {
            out_.push_back(static_cast<char>(current_));
        }
        return out_;
    }

private:
    void bit(uint32_t b) {
        current_ |= static_cast<uint8_t>(b << used_);
        if (++used_ == 8) {
            out_.push_back(static_cast<char>(current_));
            current_ = 0;
            used_ = 0;
        }
    }
    std::string out_;
    uint8_t current_ = 0;
    int32_t used_ = 0;
};

void literalCode(BitWriter& w, uint32_t symbol) {
    if (symbol < 144) {
        w.code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        w.code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        w.code(symbol - 256, 7);
    } else {
        w.code(0xC0 + symbol - 280, 8);
    }
}

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                                  15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void matchCode(BitWriter& w, int32_t length, int32_t distance) {
    int32_t l = 28;
    while (kLengthBase[l] > length) {
        --l;
    }
    literalCode(w, 257 + l);
    w.bits(length - kLengthBase[l], kLengthExtra[l]);
    int32_t d = 29;
    while (kDistanceBase[d] > distance) {
        --d;
    }
    w.code(d, 5);
    w.bits(distance - kDistanceBase[d], kDistanceExtra[d]);
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

void appendBigEndian(std::string& out, uint32_t value) {
    for (int32_t shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    appendBigEndian(out, crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

}  // namespace

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int32_t k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::string deflateFixed(const std::vector<uint8_t>& data) {
    constexpr int32_t kWindow = 32768;
    constexpr int32_t kMaxLength = 258;
    constexpr int32_t kChain = 48;
    constexpr int32_t kHashSize = 1 << 15;
    const int32_t size = static_cast<int32_t>(data.size());
    std::vector<int32_t> head(kHashSize, -1);
    std::vector<int32_t> previous(size > 0 ? size : 1, -1);
    auto hashAt = [&](int32_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (kHashSize - 1);
    };
    auto insert = [&](int32_t i) {
        if (i + 2 < size) {
            const int32_t h = hashAt(i);
            previous[i] = head[h];
            head[h] = i;
        }
    };

    BitWriter w;
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed Huffman codes
    int32_t i = 0;
    while (i < size) {
        int32_t bestLength = 0;
        int32_t bestDistance = 0;
        if (i + 2 < size) {
            int32_t candidate = head[hashAt(i)];
            for (int32_t steps = 0; candidate >= 0 && steps < kChain; ++steps) {
                if (i - candidate > kWindow) {
                    break;
                }
                int32_t length = 0;
                while (length < kMaxLength && i + length < size &&
                       data[candidate + length] == data[i + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - candidate;
                }
                candidate = previous[candidate];
            }
        }
        if (bestLength >= 3) {
            matchCode(w, bestLength, bestDistance);
            for (int32_t k = 0; k < bestLength; ++k) {
                insert(i + k);
            }
            i += bestLength;
        } else {
            literalCode(w, data[i]);
            insert(i);
            ++i;
        }
    }
    literalCode(w, 256);

    std::string out = "\x78\x01";
    out += w.finish();
    appendBigEndian(out, adler32(data));
    return out;
}

std::string encodePng(int32_t width, int32_t height, const std::vector<uint8_t>& rgba) {
    // Every row is stored with the "Sub" filter: flat areas become zeros.
    const int32_t stride = width * 4;
    std::vector<uint8_t> filtered;
    filtered.reserve(static_cast<size_t>(height) * (stride + 1));
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = &rgba[static_cast<size_t>(y) * stride];
        filtered.push_back(1);
        for (int32_t x = 0; x < stride; ++x) {
            filtered.push_back(static_cast<uint8_t>(row[x] - (x >= 4 ? row[x - 4] : 0)));
        }
    }
    std::string header;
    appendBigEndian(header, static_cast<uint32_t>(width));
    appendBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, not interlaced

    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", deflateFixed(filtered));
    appendChunk(png, "IEND", "");
    return png;
}

}  // namespace tavo::chara
