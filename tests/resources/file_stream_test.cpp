#include <gtest/gtest.h>

#include <string>

#include "resources/file_stream.h"
#include "support/temp_file.h"

namespace tavo {
namespace {

TEST(FileStream, ReadsPeeksAndStopsAtTheEnd) {
    const test::TempFile file(std::string("ab\xFF"));
    FileStream stream;
    ASSERT_EQ(stream.open(file.c_str()), 1);
    EXPECT_EQ(stream.size(), 3);
    EXPECT_EQ(stream.peek(), 'a');
    char two[2] = {};
    EXPECT_EQ(stream.read(two, 2), 2);
    EXPECT_EQ(two[1], 'b');
    EXPECT_EQ(stream.peek(), 255);  // a 0xFF byte is not the end
    char rest[8] = {};
    EXPECT_EQ(stream.read(rest, 8), 1);
    EXPECT_EQ(stream.peek(), -1);
    EXPECT_EQ(stream.read(rest, 8), 0);
    EXPECT_EQ(stream.close(), 0);
    EXPECT_EQ(stream.read(rest, 8), 0);  // closed: nothing, no crash
    EXPECT_EQ(stream.peek(), -1);
}

TEST(FileStream, SeekOriginsAndUnknownOriginFromTheStart) {
    const test::TempFile file(std::string("0123456789"));
    FileStream stream;
    ASSERT_EQ(stream.open(file.c_str()), 1);
    EXPECT_EQ(stream.seek(0, 4), 4);
    EXPECT_EQ(stream.seek(1, 3), 7);
    EXPECT_EQ(stream.seek(2, -2), 8);
    EXPECT_EQ(stream.seek(7, 5), 5);
    EXPECT_EQ(stream.peek(), '5');
}

TEST(FileStream, OpenFailsForMissingFilesAndEmptyFilesOpen) {
    FileStream stream;
    EXPECT_EQ(stream.open("/nonexistent/tavo/file.bin"), 0);
    EXPECT_EQ(stream.open(nullptr), 0);
    EXPECT_EQ(stream.close(), 0);

    const test::TempFile empty(std::vector<uint8_t>{});
    ASSERT_EQ(stream.open(empty.c_str()), 1);
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.peek(), -1);
}

}  // namespace
}  // namespace tavo
