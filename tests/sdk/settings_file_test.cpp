#include "extended_fixture.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string crlf(std::initializer_list<const char *> lines)
{
    std::string text;
    for (const char *line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

// The keys in file order, each with the field it fills.
#define KEY(name, field) {name, [](ZulConfig &to, const ZulConfig &from) { to.field = from.field; }}
const std::pair<const char *, void (*)(ZulConfig &, const ZulConfig &)> kFileOrder[] = {
    KEY("SignalType", SignalType), KEY("InputChannel", InputChannel), KEY("Brightness", Brightness),
    KEY("Contrast", Contrast), KEY("Saturation", Saturation), KEY("Hue", Hue), KEY("Gamma", Gamma),
    KEY("xOffsetPAL", palWindow.xOffset), KEY("xActivePAL", palWindow.xActive),
    KEY("xPixelsPAL", palWindow.xPixels), KEY("yOffsetPAL", palWindow.yOffset),
    KEY("yActivePAL", palWindow.yActive), KEY("yPixelsPAL", palWindow.yPixels),
    KEY("interlacedPAL", palWindow.interlaced), KEY("xOffsetNTSC", ntscWindow.xOffset),
    KEY("xActiveNTSC", ntscWindow.xActive), KEY("xPixelsNTSC", ntscWindow.xPixels),
    KEY("yOffsetNTSC", ntscWindow.yOffset), KEY("yActiveNTSC", ntscWindow.yActive),
    KEY("yPixelsNTSC", ntscWindow.yPixels), KEY("interlacedNTSC", ntscWindow.interlaced),
    KEY("OutputFormat", OutputFormat), KEY("ExtTrig", ExtTrig), KEY("Flash", Flash),
    KEY("ExtTrigEnable", ExtTrigEnable), KEY("FlashEnable", FlashEnable), KEY("Gray16Enable", Gray16Enable),
    KEY("Gray256Enable", Gray256Enable), KEY("Color256Enable", Color256Enable),
    KEY("Color16MEnable", Color16MEnable), KEY("Color32kEnable", Color32kEnable),
    KEY("Color64kEnable", Color64kEnable), KEY("Color32bitEnable", Color32bitEnable),
};
#undef KEY

// Every value differs from the stock one, so each field shows whether it
// was read.
const char *const kFileValues[] = {"1", "1", "-5", "6",  "7",  "8",  "0.5", "1",  "2", "3", "4",
                                   "5", "6", "0",  "11", "12", "13", "14",  "15", "16", "0", "2",
                                   "1", "1", "1",  "1",  "0",  "0",  "0",   "0",  "0",  "0", "0"};

ZulConfig stock()
{
    ZulConfig config{};
    ZULX_defaultConfig(&config);
    return config;
}

bool sameBytes(const ZulConfig &a, const ZulConfig &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class SettingsFileTest : public ExtendedTest {
protected:
    void SetUp() override
    {
        ExtendedTest::SetUp();
        folder = fs::temp_directory_path() / ("settings-file-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / "capture.ini").string();
    }
    void TearDown() override
    {
        fs::remove_all(folder);
        ExtendedTest::TearDown();
    }

    void write(const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string contents()
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    size_t filesInFolder() { return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {})); }

    fs::path folder;
    std::string path;
};

TEST_F(SettingsFileTest, FreshFileHoldsEveryKeyInOrderAndReadsBackAsWritten)
{
    ZulConfig saved = stock();
    saved.Gamma = 0.5f;
    saved.Brightness = -20;
    saved.palWindow.xOffset = 65535;
    saved.OutputFormat = 1;
    saved.Color32bitEnable = 0;
    ASSERT_EQ(ZULX_saveIniFile(path.c_str(), "DEFAULT", &saved), ZUL_OK);
    EXPECT_EQ(contents(), crlf({"[DEFAULT]",         "SignalType=0",      "InputChannel=0",  "Brightness=-20",
                                "Contrast=0",        "Saturation=0",      "Hue=0",           "Gamma=0.50",
                                "xOffsetPAL=65535",  "xActivePAL=950",    "xPixelsPAL=950",  "yOffsetPAL=0",
                                "yActivePAL=610",    "yPixelsPAL=610",    "interlacedPAL=1", "xOffsetNTSC=0",
                                "xActiveNTSC=780",   "xPixelsNTSC=780",   "yOffsetNTSC=0",   "yActiveNTSC=510",
                                "yPixelsNTSC=510",   "interlacedNTSC=1",  "OutputFormat=1",  "ExtTrig=0",
                                "Flash=0",           "ExtTrigEnable=0",   "FlashEnable=0",   "Gray16Enable=1",
                                "Gray256Enable=1",   "Color256Enable=1",  "Color16MEnable=1", "Color32kEnable=1",
                                "Color64kEnable=1",  "Color32bitEnable=0"}));

    ZulConfig read;
    std::memset(&read, 0xAB, sizeof read);
    ASSERT_EQ(ZULX_readIniFile(path.c_str(), "default", &read), ZUL_OK);
    // Neither the signal nor the monochrome flags are stored: the flags
    // follow the format read.
    EXPECT_EQ(read.videoStandard, 0);
    EXPECT_EQ(read.palWindow.monochrome, 1);
    EXPECT_EQ(read.ntscWindow.monochrome, 1);
    saved.palWindow.monochrome = saved.ntscWindow.monochrome = 1;
    EXPECT_TRUE(sameBytes(read, saved));

    // Saving the record again changes no byte.
    const std::string before = contents();
    ASSERT_EQ(ZULX_saveIniFile(path.c_str(), "DEFAULT", &read), ZUL_OK);
    EXPECT_EQ(contents(), before);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SettingsFileTest, HandEditedFileKeepsEveryLineItDoesNotOwn)
{
    write(crlf({"; Isostep capture settings", "", "[Default]", "signaltype = 1", "Gamma=\"1.5\"",
                "xOffsetPAL=10 ; tuned on the bench", "outputFormat=7", "", "; the lab's second camera",
                "[Camera2]", "Brightness=40"}));
    ZulConfig config{};
    ASSERT_EQ(ZULX_readIniFile(path.c_str(), "DEFAULT", &config), ZUL_ERR_FILE);
    EXPECT_EQ(messages, (std::vector<std::string>{"Error: Error when reading INI file."}));
    EXPECT_EQ(config.SignalType, 1);
    EXPECT_EQ(config.Gamma, 1.0f); // the reading stopped at the missing InputChannel

    config.SignalType = 2;
    config.Gamma = 1.5f;
    config.palWindow.xOffset = 12;
    ASSERT_EQ(ZULX_saveIniFile(path.c_str(), "DEFAULT", &config), ZUL_OK);
    EXPECT_EQ(contents(),
              crlf({"; Isostep capture settings", "", "[Default]", "signaltype = 2", "Gamma=1.50", "xOffsetPAL=12",
                    "outputFormat=7", "InputChannel=0", "Brightness=0", "Contrast=0", "Saturation=0", "Hue=0",
                    "xActivePAL=950", "xPixelsPAL=950", "yOffsetPAL=0", "yActivePAL=610", "yPixelsPAL=610",
                    "interlacedPAL=1", "xOffsetNTSC=0", "xActiveNTSC=780", "xPixelsNTSC=780", "yOffsetNTSC=0",
                    "yActiveNTSC=510", "yPixelsNTSC=510", "interlacedNTSC=1", "ExtTrig=0", "Flash=0",
                    "ExtTrigEnable=0", "FlashEnable=0", "Gray16Enable=1", "Gray256Enable=1", "Color256Enable=1",
                    "Color16MEnable=1", "Color32kEnable=1", "Color64kEnable=1", "Color32bitEnable=1", "",
                    "; the lab's second camera", "[Camera2]", "Brightness=40"}));
    ZulConfig again{};
    ASSERT_EQ(ZULX_readIniFile(path.c_str(), "DEFAULT", &again), ZUL_OK);
    EXPECT_TRUE(sameBytes(again, config));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SettingsFileTest, ReadingStopsAtTheFirstMissingKey)
{
    struct Case {
        const char *gap;  // the key left out, or given an empty value
        bool emptyValue;
        int result;
        size_t keysRead;
    };
    const Case cases[] = {
        {"", false, ZUL_OK, 33},
        {"Hue", false, ZUL_ERR_FILE, 5},          // Gamma and both windows stay stock
        {"Gamma", true, ZUL_ERR_FILE, 6},
        {"OutputFormat", false, ZUL_ERR_FILE, 21},
        {"ExtTrig", false, ZUL_ERR_FILE, 22},     // the windows take the grey format read
        {"Color16MEnable", false, ZUL_ERR_FILE, 29},
        {"Color32kEnable", false, ZUL_OK, 30},    // the last three are optional
        {"Color64kEnable", false, ZUL_OK, 31},
        {"Color32bitEnable", true, ZUL_OK, 32},
    };
    ZulConfig fromFile = stock();
    {
        std::string text = "[DEFAULT]\r\n";
        for (size_t i = 0; i < std::size(kFileOrder); ++i)
            text += std::string(kFileOrder[i].first) + "=" + kFileValues[i] + "\r\n";
        write(text);
        ASSERT_EQ(ZULX_readIniFile(path.c_str(), "DEFAULT", &fromFile), ZUL_OK);
        ASSERT_EQ(fromFile.Gamma, 0.5f);
        ASSERT_EQ(fromFile.ntscWindow.yPixels, 16);
    }
    for (const Case &c : cases) {
        std::string text = "[DEFAULT]\r\n";
        for (size_t i = 0; i < std::size(kFileOrder); ++i)
            if (c.gap != std::string_view(kFileOrder[i].first))
                text += std::string(kFileOrder[i].first) + "=" + kFileValues[i] + "\r\n";
            else if (c.emptyValue)
                text += std::string(kFileOrder[i].first) + "=  \r\n";
        write(text);
        messages.clear();

        ZulConfig expected = stock();
        for (size_t i = 0; i < c.keysRead; ++i)
            kFileOrder[i].second(expected, fromFile);
        expected.palWindow.monochrome = expected.ntscWindow.monochrome =
            expected.OutputFormat == 1 || expected.OutputFormat == 2;

        ZulConfig read;
        std::memset(&read, 0xAB, sizeof read);
        EXPECT_EQ(ZULX_readIniFile(path.c_str(), "DEFAULT", &read), c.result) << c.gap;
        EXPECT_TRUE(sameBytes(read, expected)) << c.gap;
        EXPECT_EQ(messages.size(), c.result == ZUL_OK ? 0u : 1u) << c.gap;
    }

    // No file and no section read as no keys at all.
    messages.clear();
    ZulConfig read{};
    EXPECT_EQ(ZULX_readIniFile((folder / "none.ini").string().c_str(), "DEFAULT", &read), ZUL_ERR_FILE);
    EXPECT_TRUE(sameBytes(read, stock()));
    EXPECT_EQ(ZULX_readIniFile(path.c_str(), "Camera2", &read), ZUL_ERR_FILE);
    EXPECT_EQ(messages, (std::vector<std::string>(2, "Error: Error when reading INI file.")));
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileAsItWas)
{
    const std::string old = "[DEFAULT]\r\nSignalType=2\r\n";
    write(old);
    const ZulConfig config = stock();

    // The disc fills up part way through the new file.
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{64, limit.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int result = ZULX_saveIniFile(path.c_str(), "DEFAULT", &config);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, ZUL_ERR_FILE);
    EXPECT_EQ(contents(), old);
    EXPECT_EQ(filesInFolder(), 1u);
    EXPECT_EQ(messages, (std::vector<std::string>{"Error: Error when writing to INI file."}));

    // A file that is there but cannot be read is not written over blindly;
    // neither is a section name no reader could find again.
    messages.clear();
    const std::string folderPath = folder.string();
    EXPECT_EQ(ZULX_saveIniFile(folderPath.c_str(), "DEFAULT", &config), ZUL_ERR_FILE);
    EXPECT_EQ(ZULX_saveIniFile(path.c_str(), "DEF]AULT", &config), ZUL_ERR_FILE);
    EXPECT_EQ(contents(), old);
    EXPECT_EQ(messages.size(), 2u);

    messages.clear();
    EXPECT_EQ(ZULX_saveIniFile(path.c_str(), nullptr, &config), ZUL_ERR_BAD_POINTER);
    EXPECT_EQ(ZULX_readIniFile(path.c_str(), "DEFAULT", nullptr), ZUL_ERR_BAD_POINTER);
    EXPECT_TRUE(messages.empty());
}
