#include "extended_fixture.h"
#include "replacing_file.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

// A folder of its own for each test, emptied and removed afterwards.
class Folder {
public:
    Folder()
    {
        char name[] = "/tmp/zul-files-XXXXXX";
        path_ = ::mkdtemp(name) ? name : "";
    }
    ~Folder()
    {
        for (const std::string &entry : entries())
            ::unlink((path_ + "/" + entry).c_str());
        ::rmdir(path_.c_str());
    }
    std::string file(const char *name) const { return path_ + "/" + name; }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        if (DIR *dir = ::opendir(path_.c_str())) {
            while (const dirent *e = ::readdir(dir))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.emplace_back(e->d_name);
            ::closedir(dir);
        }
        return names;
    }

private:
    std::string path_;
};

Bytes fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string &path, const Bytes &bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

void put32(Bytes &b, std::size_t at, std::uint32_t v)
{
    for (std::size_t k = 0; k < 4; ++k)
        b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// The BMP file a bitmap in memory makes: a file header in front, the
// file's resolution, and no important colours for the masks of format 5.
Bytes asFile(const Bytes &dib, std::uint32_t pixelOffset)
{
    Bytes file{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put32(file, 2, static_cast<std::uint32_t>(14 + dib.size()));
    put32(file, 10, pixelOffset);
    file.insert(file.end(), dib.begin(), dib.end());
    put32(file, 14 + 24, 11810);
    put32(file, 14 + 28, 11810);
    if (le32(dib, 16) == 3)
        put32(file, 14 + 36, 0);
    return file;
}

struct FileFault {
    ~FileFault() { zul::failFileWriteAfter(-1); }
};

} // namespace

TEST_F(ExtendedTest, ReadoutDIBToFileWritesTheBitmapOfTheReadoutWithTheFilesHeader)
{
    Folder folder;
    const int width = 13, lines = 5;
    snapWindow(videoWindow(301, width, width, 201, lines, lines));
    ZulConfig config{};
    const std::pair<int, std::uint32_t> formats[] = {{1, 1078}, {2, 118}, {3, 1078}, {4, 54},
                                                     {5, 66},   {7, 54},  {8, 54}};
    for (const auto &[format, pixelOffset] : formats) {
        SCOPED_TRACE(format);
        config.OutputFormat = format;
        const std::string path = folder.file("snap.bmp");
        ASSERT_EQ(ZULX_readoutDIBToFile(&config, path.c_str()), ZUL_OK);
        ZulHandle bitmap = nullptr;
        ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
        EXPECT_EQ(fileBytes(path), asFile(takeBlock(bitmap), pixelOffset));
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"snap.bmp"});

    // The header of a 5-6-5 file, byte for byte.
    config.OutputFormat = 5;
    ASSERT_EQ(ZULX_readoutDIBToFile(&config, folder.file("snap.bmp").c_str()), ZUL_OK);
    const Bytes file = fileBytes(folder.file("snap.bmp"));
    const Bytes expected{'B', 'M', 0xCE, 0, 0, 0, 0, 0, 0, 0, 0x42, 0, 0, 0,                  // file header
                         40, 0, 0, 0, 13, 0, 0, 0, 5, 0, 0, 0, 1, 0, 16, 0, 3, 0, 0, 0,      // size .. compression
                         0x8C, 0, 0, 0, 0x22, 0x2E, 0, 0, 0x22, 0x2E, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0,
                         0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 66), expected);
}

TEST_F(ExtendedTest, ReadoutDIBToFileReadsEachCardLineOnceWithoutTheFrameStore)
{
    Folder folder;
    open();
    ZUL_GetFrame(0);
    snapWindow(videoWindow(0, 20, 20, 0, 7, 7));
    card->clearTransfers();
    ZulConfig config{};
    config.OutputFormat = 7;
    ASSERT_EQ(ZULX_readoutDIBToFile(&config, folder.file("lines.bmp").c_str()), ZUL_OK);
    int lineReads = 0;
    for (const auto &t : card->transfers())
        lineReads += t.code == zul::kReadLine ? 1 : 0;
    EXPECT_EQ(lineReads, 7);
    ZulHandle bitmap = nullptr;
    ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
    EXPECT_EQ(fileBytes(folder.file("lines.bmp")), asFile(takeBlock(bitmap), 54));
}

TEST_F(ExtendedTest, AFailedFileWriteIsToldAndLeavesTheEarlierFileAsItWas)
{
    Folder folder;
    FileFault restore;
    snapWindow(videoWindow(0, 16, 16, 0, 4, 4));
    ZulConfig config{};
    config.OutputFormat = 8;
    const std::string path = folder.file("kept.bmp");
    const Bytes earlier{'o', 'l', 'd'};
    writeFile(path, earlier);
    // The headers are the first write, the rows the next four.
    for (int after : {0, 1, 4}) {
        SCOPED_TRACE(after);
        messages.clear();
        zul::failFileWriteAfter(after);
        EXPECT_EQ(ZULX_readoutDIBToFile(&config, path.c_str()), ZUL_ERR_FILE);
        EXPECT_EQ(messages, std::vector<std::string>{"Error: An error occurred when writing to file"});
        EXPECT_EQ(fileBytes(path), earlier);
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"kept.bmp"});
    }
    zul::failFileWriteAfter(-1);
    messages.clear();
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, folder.file("no/such/folder.bmp").c_str()), ZUL_ERR_FILE);
    EXPECT_EQ(messages, std::vector<std::string>{"Error: An error occurred when writing to file"});

    ZulHandle bitmap = nullptr;
    ASSERT_EQ(ZULX_readoutDIB(&config, &bitmap), ZUL_OK);
    messages.clear();
    zul::failFileWriteAfter(1);
    EXPECT_EQ(ZULX_saveDIBToFile(bitmap, path.c_str()), ZUL_ERR_FILE);
    EXPECT_EQ(fileBytes(path), earlier);
    EXPECT_EQ(ZULX_saveDIBToFile(bitmap, folder.file("no/such/folder.bmp").c_str()), ZUL_ERR_FILE);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"kept.bmp"});
    ZUL_globalFree(bitmap);
}

TEST_F(ExtendedTest, ReadoutDIBToFileRefusalsWriteNoFile)
{
    Folder folder;
    const std::string path = folder.file("none.bmp");
    ZulConfig config{};
    config.OutputFormat = 7;
    EXPECT_EQ(ZULX_readoutDIBToFile(nullptr, path.c_str()), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, nullptr), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, path.c_str()), ZUL_ERR_NOT_INITIALIZED);
    config.OutputFormat = 6;
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, path.c_str()), ZUL_ERR_RANGE);
    config = openPrepared(7);
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, path.c_str()), ZUL_ERR_SNAP_NOT_FINISHED);
    ASSERT_EQ(ZULX_snap(&config), ZUL_OK);
    EXPECT_TRUE(messages.empty());
    zul::failClaimAfter(0);
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, path.c_str()), ZUL_ERR_NO_MEMORY);
    EXPECT_EQ(messages, std::vector<std::string>{"Error: Can't allocate memory !"});
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(ExtendedTest, SaveDIBToFilePutsAFileHeaderBeforeTheBitmapAsItIs)
{
    Folder folder;
    struct Case {
        const char *name;
        ZulHandle bitmap;
        std::uint32_t pixelOffset;
    };
    const Case cases[] = {
        {"grey", handMadeBitmap(8, 3, {{1, 2, 3}, {4, 5, 6}}, std::vector<std::uint32_t>(256, 7)), 54 + 1024},
        {"5-6-5", handMadeBitmap(16, 2, {{1, 2, 3, 4}}, {0xF800, 0x07E0, 0x001F}, 3), 66},
        {"true colour", handMadeBitmap(24, 1, {{9, 8, 7}}), 54},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file("saved.bmp");
        ASSERT_EQ(ZULX_saveDIBToFile(c.bitmap, path.c_str()), ZUL_OK);
        Bytes expected{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        const Bytes dib = takeBlock(c.bitmap);
        put32(expected, 2, static_cast<std::uint32_t>(14 + dib.size()));
        put32(expected, 10, c.pixelOffset);
        expected.insert(expected.end(), dib.begin(), dib.end());
        EXPECT_EQ(fileBytes(path), expected);
    }

    ZulHandle bitmap = handMadeBitmap(24, 2, {{1, 2, 3, 4, 5, 6}});
    EXPECT_EQ(ZULX_saveDIBToFile(nullptr, "x.bmp"), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_saveDIBToFile(bitmap, nullptr), ZUL_ERR_BAD_POINTER);
    int notABlock = 0;
    EXPECT_EQ(ZULX_saveDIBToFile(&notABlock, "x.bmp"), ZUL_ERR_NO_MEMORY);
    // An image size past the block's end is refused, not written from
    // whatever lies beyond it.
    static_cast<std::uint8_t *>(ZUL_globalLock(bitmap))[21] = 1;
    ZUL_globalUnlock(bitmap);
    EXPECT_EQ(ZULX_saveDIBToFile(bitmap, folder.file("long.bmp").c_str()), ZUL_ERR_RANGE);
    EXPECT_TRUE(folder.entries().size() == 1);
    ZUL_globalFree(bitmap);
    EXPECT_TRUE(messages.empty());
}
