#include "extended_fixture.h"

namespace {

// What the header of each bitmap format holds besides its size.
struct FormatBytes {
    int format, bits, compression, used, tableBytes;
};
const FormatBytes kFormats[] = {
    {1, 8, 0, 256, 1024}, {2, 4, 0, 16, 64}, {3, 8, 0, 256, 1024}, {4, 16, 0, 0, 0},
    {5, 16, 3, 3, 12},    {7, 24, 0, 0, 0},  {8, 32, 0, 0, 0},
};

// Table entry i of a format as B, G, R, 0.
std::uint32_t tableEntry(int format, int i)
{
    if (format == 1)
        return static_cast<std::uint32_t>(i * 0x010101);
    if (format == 2)
        return static_cast<std::uint32_t>(17 * i * 0x010101);
    const int red = ((i >> 5) & 7) * 73 / 2, green = ((i >> 2) & 7) * 73 / 2, blue = (i & 3) * 85;
    return static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
}

// The rows the low-level readout gives, top first, each padded with zeros
// to `stride`.
std::vector<Bytes> readRows(int format, int width, int lines, std::size_t stride)
{
    std::vector<Bytes> rows;
    EXPECT_EQ(ZUL_startReadout(format, nullptr), ZUL_OK);
    for (int line = 0; line < lines; ++line) {
        Bytes row(stride, 0);
        EXPECT_EQ(ZUL_readLine(row.data(), 0, width), ZUL_OK);
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST_F(ExtendedTest, ReadoutDIBPacksEveryFormatWithItsHeaderTableAndRowsBottomUp)
{
    const int width = 13, lines = 4;
    snapWindow(videoWindow(101, width, width, 51, lines, lines));
    ZulConfig config{};
    for (const FormatBytes &f : kFormats) {
        SCOPED_TRACE(f.format);
        config.OutputFormat = f.format;
        ZulHandle bitmap = nullptr;
        ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
        const Bytes b = takeBlock(bitmap);
        const std::size_t stride = ((f.bits * width + 31) / 32) * 4;
        const std::size_t header = 40 + static_cast<std::size_t>(f.tableBytes);
        ASSERT_EQ(b.size(), header + lines * stride);
        const std::uint32_t fields[] = {40, width, lines, static_cast<std::uint32_t>(f.bits) << 16 | 1,
                                        static_cast<std::uint32_t>(f.compression),
                                        static_cast<std::uint32_t>(lines * stride), 5905, 5905,
                                        static_cast<std::uint32_t>(f.used), static_cast<std::uint32_t>(f.used)};
        for (std::size_t k = 0; k < 10; ++k)
            EXPECT_EQ(le32(b, 4 * k), fields[k]) << "header field " << k;
        if (f.format == 5) {
            EXPECT_EQ(le32(b, 40), 0xF800u);
            EXPECT_EQ(le32(b, 44), 0x07E0u);
            EXPECT_EQ(le32(b, 48), 0x001Fu);
        }
        for (int i = 0; f.format <= 3 && i < f.used; ++i)
            EXPECT_EQ(le32(b, 40 + 4 * static_cast<std::size_t>(i)), tableEntry(f.format, i)) << "entry " << i;
        const std::vector<Bytes> rows = readRows(f.format, width, lines, stride);
        for (int line = 0; line < lines; ++line) {
            const auto at = b.begin() + static_cast<std::ptrdiff_t>(header + (lines - 1 - line) * stride);
            EXPECT_EQ(Bytes(at, at + static_cast<std::ptrdiff_t>(stride)), rows[static_cast<std::size_t>(line)])
                << "line " << line;
        }
    }
}

TEST_F(ExtendedTest, ReadoutDIBIsAsLargeAsTheSnapNotTheRecord)
{
    // A 24-bit row of 3 pixels is 9 bytes, padded to 12.
    snapWindow(videoWindow(0, 3, 3, 0, 2, 2));
    ZulConfig config{};
    ZULX_defaultConfig(&config); // 950 x 610 in the record
    ZulHandle bitmap = nullptr;
    ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
    const Bytes b = takeBlock(bitmap);
    EXPECT_EQ(b.size(), 40u + 2 * 12);
    EXPECT_EQ(le32(b, 4), 3u);
    EXPECT_EQ(le32(b, 8), 2u);
    EXPECT_EQ(le32(b, 20), 24u);
    for (std::size_t pad : {49, 50, 51, 61, 62, 63})
        EXPECT_EQ(b[pad], 0) << pad;
}

TEST_F(ExtendedTest, ReadoutDIBRefusalsLeaveNoBitmap)
{
    ZulConfig config{};
    ZulHandle bitmap = &config; // anything but null
    EXPECT_EQ(ZULX_readoutDIB(nullptr, &bitmap), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_readoutDIB(&config, nullptr), ZUL_ERR_BAD_POINTER);
    config.OutputFormat = 7;
    EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(bitmap, nullptr);
    open();
    ZULX_defaultConfig(&config);
    ASSERT_EQ(ZULX_prepare(&config, 1), ZUL_OK);
    EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_ERR_SNAP_NOT_FINISHED);
    EXPECT_EQ(lastError(), "ZUL_startReadout");
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    for (int format : {6, 9, 10, 11, 12, 0}) {
        config.OutputFormat = format;
        bitmap = &config;
        EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_ERR_RANGE) << format;
        EXPECT_EQ(bitmap, nullptr);
    }
    config.OutputFormat = 1;
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    config.OutputFormat = 3;
    EXPECT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_ERR_MONOCHROME);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ExtendedTest, OutOfMemoryInAReadoutIsToldAndLeavesNothingHeld)
{
    snapWindow(videoWindow(0, 20, 20, 0, 10, 10));
    ZulConfig config{};
    config.OutputFormat = 7;
    expectOutOfMemoryTold([&] {
        ZulHandle bitmap = &config;
        const int result = ZULX_readoutDIB(&config, &bitmap);
        EXPECT_EQ(bitmap, nullptr);
        return result;
    });
}

TEST_F(ExtendedTest, CopyDIBCopiesEveryByteIntoABlockOfItsOwn)
{
    snapWindow(videoWindow(0, 30, 30, 0, 10, 10));
    ZulConfig config{};
    config.OutputFormat = 3;
    ZulHandle bitmap = nullptr;
    ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
    ZulHandle copy = nullptr;
    ASSERT_EQ(ZULX_copyDIB(bitmap, &copy), ZUL_OK);
    ASSERT_NE(copy, bitmap);
    EXPECT_EQ(takeBlock(copy), takeBlock(bitmap));

    ZulHandle out = &config;
    EXPECT_EQ(ZULX_copyDIB(nullptr, &out), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_copyDIB(&config, nullptr), ZUL_ERR_BAD_POINTER);
    // Something that is no global block cannot be locked.
    EXPECT_EQ(ZULX_copyDIB(&config, &out), ZUL_ERR_NO_MEMORY);
    EXPECT_EQ(out, nullptr);
    ZulHandle block = ZUL_globalAlloc(100);
    zul::failClaimAfter(0);
    EXPECT_EQ(ZULX_copyDIB(block, &out), ZUL_ERR_NO_MEMORY);
    EXPECT_EQ(out, nullptr);
    ZUL_globalFree(block);
    EXPECT_TRUE(messages.empty());
}
