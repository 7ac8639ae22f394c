#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "resources/memory_stream.h"
#include "support/temp_file.h"

namespace tavo {
namespace {

std::vector<uint8_t> countingBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), static_cast<uint8_t>(0));
    return bytes;
}

TEST(MemoryStream, ShortReadAtTheEndStopsAtTheSize) {
    const std::vector<uint8_t> bytes = countingBytes(40);
    MemoryStream stream;
    ASSERT_EQ(stream.attach(bytes.data(), 40), 1);
    EXPECT_EQ(stream.seek(0, 37), 37);

    uint8_t buffer[10] = {};
    EXPECT_EQ(stream.read(buffer, 10), 3);
    EXPECT_EQ(buffer[0], 37);
    EXPECT_EQ(buffer[2], 39);
    EXPECT_EQ(buffer[3], 0);  // nothing copied past the end
    EXPECT_EQ(stream.seek(1, 0), 40);
    EXPECT_EQ(stream.read(buffer, 10), 0);
    EXPECT_EQ(stream.peek(), -1);
}

TEST(MemoryStream, NegativeOrHugeCountsCopyNothingOutOfBounds) {
    const std::vector<uint8_t> bytes = countingBytes(8);
    MemoryStream stream;
    stream.attach(bytes.data(), 8);
    stream.seek(0, 4);
    uint8_t buffer[16] = {0xAA};
    EXPECT_EQ(stream.read(buffer, -5), 0);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(stream.seek(1, 0), 4);
    EXPECT_EQ(stream.read(buffer, 0x7FFFFFFF), 4);
    EXPECT_EQ(stream.seek(1, 0), 8);
}

TEST(MemoryStream, SeekIsClampedToTheData) {
    const std::vector<uint8_t> bytes = countingBytes(50);
    MemoryStream stream;
    stream.attach(bytes.data(), 50);
    stream.seek(0, 20);
    EXPECT_EQ(stream.seek(1, -100), 0);
    EXPECT_EQ(stream.seek(2, 5), 50);
    EXPECT_EQ(stream.seek(7, 5), 0);
    EXPECT_EQ(stream.seek(2, -10), 40);
    EXPECT_EQ(stream.seek(1, -5), 35);
    EXPECT_EQ(stream.peek(), 35);
    EXPECT_EQ(stream.seek(0, 51), 50);
    EXPECT_EQ(stream.seek(1, 0x7FFFFFFF), 50);
    EXPECT_EQ(stream.seek(2, -0x7FFFFFFF - 1), 0);
}

TEST(MemoryStream, PeekReturnsBytesUnsignedWithoutMoving) {
    const uint8_t bytes[] = {0xFF, 0x00};
    MemoryStream stream;
    stream.attach(bytes, 2);
    EXPECT_EQ(stream.peek(), 255);
    EXPECT_EQ(stream.peek(), 255);
    stream.seek(1, 1);
    EXPECT_EQ(stream.peek(), 0);
}

TEST(MemoryStream, LoadFileOwnsTheWholeFile) {
    const test::TempFile file(std::string("hello stream"));
    MemoryStream stream;
    ASSERT_EQ(stream.loadFile(file.c_str()), 1);
    EXPECT_EQ(stream.size(), 12);
    char text[13] = {};
    EXPECT_EQ(stream.read(text, 12), 12);
    EXPECT_STREQ(text, "hello stream");
    stream.close();
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.peek(), -1);
}

TEST(MemoryStream, FailedOpensLeaveAClosedStream) {
    const test::TempFile empty(std::vector<uint8_t>{});
    MemoryStream stream;
    EXPECT_EQ(stream.loadFile(empty.c_str()), 0);
    EXPECT_EQ(stream.loadFile("/nonexistent/tavo/file.bin"), 0);
    EXPECT_EQ(stream.loadFile(nullptr), 0);
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.openResource("NO_SUCH_THING", "PNG"), 0);
    EXPECT_EQ(stream.openResource("TAVO_TEX", "MQO"), 0);  // right name, wrong type
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.peek(), -1);
}

TEST(MemoryStream, MissingResourceLeavesAnOpenStreamAsItWas) {
    const uint8_t bytes[] = {1, 2, 3};
    MemoryStream stream;
    stream.attach(bytes, 3);
    stream.seek(0, 1);
    EXPECT_EQ(stream.openResource("NO_SUCH_THING", "MQO"), 0);
    EXPECT_EQ(stream.size(), 3);
    EXPECT_EQ(stream.peek(), 2);
}

TEST(MemoryStream, OpensTheEmbeddedResourcesInTurn) {
    MemoryStream stream;
    ASSERT_EQ(stream.openResource("TAVO_TEX", "PNG"), 1);
    uint8_t signature[8] = {};
    EXPECT_EQ(stream.read(signature, 8), 8);
    EXPECT_EQ(signature[1], 'P');
    EXPECT_EQ(signature[2], 'N');
    EXPECT_EQ(signature[3], 'G');

    ASSERT_EQ(stream.openResource("TAVO_MQO", "MQO"), 1);
    EXPECT_GT(stream.size(), 0);
    EXPECT_EQ(stream.seek(1, 0), 0);  // reopening starts at the beginning
    char header[13] = {};
    stream.read(header, 12);
    EXPECT_STREQ(header, "Metasequoia ");

    ASSERT_EQ(stream.openResource("TAVO_MKM", "MKM"), 1);
    EXPECT_GT(stream.size(), 0);
}

}  // namespace
}  // namespace tavo
