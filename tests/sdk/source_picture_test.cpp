// The virtual card's picture source: only BMP, PNG and binary netpbm files
// whose pixels are all there, at most 8192 pixels a side, cut to the frame.
#include "video_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

using zul::vcard::decodePicture;
using zul::vcard::loadPicture;
using zul::vcard::studioRange;
using zul::vcard::VideoFrame;

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string text;
    for (int v : values)
        text += static_cast<char>(v);
    return text;
}

std::string hex(const char *digits)
{
    std::string text;
    for (const char *p = digits; p[0] && p[1]; p += 2)
        text += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
    return text;
}

std::string le(std::uint32_t value, int size)
{
    std::string text;
    for (int i = 0; i < size; ++i)
        text += static_cast<char>((value >> (8 * i)) & 0xff);
    return text;
}

// A 24-bit BMP header for width x height with `pixelBytes` of rows after it.
std::string bmp24(int width, int height, const std::string &rows)
{
    return "BM" + le(54 + std::uint32_t(rows.size()), 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(std::uint32_t(width), 4)
           + le(std::uint32_t(height), 4) + le(1, 2) + le(24, 2) + le(0, 4) + le(std::uint32_t(rows.size()), 4)
           + std::string(16, '\0') + rows;
}

VideoFrame decode(const std::string &file)
{
    return decodePicture(reinterpret_cast<const std::uint8_t *>(file.data()), file.size());
}

bool same(VideoFrame::Sample a, VideoFrame::Sample b)
{
    return a.y == b.y && a.cb == b.cb && a.cr == b.cr;
}

} // namespace

TEST(SourcePicture, DamagedForeignAndHugeFilesGiveNoFrame)
{
    std::string tga = bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1c, 0xff, 0xc0, 0x1c, 24, 0});
    tga.resize(101, '\0');
    std::string png = hex("89504e470d0a1a0a0000000d4948445200000002000000010802000000");
    const struct {
        const char *name;
        std::string file;
    } cases[] = {
        {"9-byte JPEG", hex("ffd8ffc4b50200d9d9")},
        {"16-byte GIF", hex("474946383961ffffffff800000000000")},
        {"101-byte TGA of 65308 x 7360", tga},
        {"P6 header without pixels", "P6\n64 64\n255\n"},
        {"P6 one byte short", "P6 2 1 255\n" + std::string(5, '\x7f')},
        {"BMP cut in its last row", bmp24(3, 2, std::string(23, '\x40'))},
        {"BMP 8193 pixels wide", bmp24(8193, 1, std::string(24580, '\0'))},
        {"PNG without its data and end", png},
        // The decoder mishandles 16-bit samples and overflows on long numbers.
        {"16-bit P5", "P5 1 1 4222\n" + std::string(2, '\x10')},
        {"P5 with a 13-digit maximum", "P5 1 1 2222222222226\n" + std::string(2, '\x10')},
        {"empty", ""},
    };
    for (const auto &c : cases) {
        const VideoFrame frame = decode(c.file);
        EXPECT_EQ(frame.width, 0) << c.name;
        EXPECT_EQ(frame.height, 0) << c.name;
        EXPECT_TRUE(frame.y.empty()) << c.name;
    }
    EXPECT_EQ(loadPicture("/dev/zero").width, 0);
    EXPECT_EQ(loadPicture("/no/such/picture.bmp").width, 0);
}

TEST(SourcePicture, WholeFilesAreReadAndCutToTheLargestFrame)
{
    // 3 x 2, bottom row first: blue green red per pixel, rows padded to 12.
    const std::string rows = hex("0000ff" "00ff00" "ff0000" "000000" "ffffff" "000000" "808080" "000000");
    const VideoFrame small = decode(bmp24(3, 2, rows));
    ASSERT_EQ(small.width, 3);
    ASSERT_EQ(small.height, 2);
    EXPECT_TRUE(same(small.at(0, 1), studioRange(255, 0, 0)));
    EXPECT_TRUE(same(small.at(2, 1), studioRange(0, 0, 255)));
    EXPECT_TRUE(same(small.at(1, 0), studioRange(0, 0, 0)));
    EXPECT_TRUE(same(small.at(2, 0), studioRange(128, 128, 128)));

    // 1000 x 700 grey, brighter to the right, written to a file: the card
    // keeps the 950 x 610 it can show.
    std::string ppm = "P5\n# a comment\n1000 700\n255\n";
    for (int row = 0; row < 700; ++row)
        for (int x = 0; x < 1000; ++x)
            ppm += static_cast<char>(x / 4);
    char name[] = "/tmp/zul-source-XXXXXX";
    const int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    std::ofstream(name, std::ios::binary) << ppm;
    const VideoFrame large = loadPicture(name);
    std::remove(name);
    ASSERT_EQ(large.width, 950);
    ASSERT_EQ(large.height, 610);
    EXPECT_TRUE(same(large.at(949, 609), studioRange(237, 237, 237)));
    EXPECT_TRUE(same(large.at(0, 0), studioRange(0, 0, 0)));
}
