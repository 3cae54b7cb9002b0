#include "fake_card_library.h"
#include "platform/card_library.h"
#include "scripted_operator.h"
#include "shell/application_end.h"
#include "shell/capture_ini.h"
#include "shell/zul_errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

TEST(ZulErrorText, ApplicationWordingForEveryCode)
{
    const char *const expected[] = {
        "No error", "ZUL toolkit is already in use", "No ZUL detected.", "No ZUL card driver detected",
        "The installed ZUL card is old-style", "Toolkit is not initialized", "Video digitizer in not configured",
        "Attempt to start snap before snap prepared", "Attempt to finish snap before snap started",
        "Attempt to read image before snap finished", "Attempt to read image before startReadout",
        "No video signal detected", "Attempt to read monochrome image as colour",
        "Attempt to read outsize snapped image", "Parameter to function is out of range",
        "Image width is out of range", "Image height is out of range", "Bad pointer (possibly NULL)",
        "Lost contact with digitizer (no acknowledge)", "Out of memory", "An error while reading or writing to file"};
    for (int code = 0; code <= 20; ++code)
        EXPECT_EQ(ZulErrorText(static_cast<int16_t>(code)), QLatin1String(expected[code])) << code;
    EXPECT_EQ(ZulErrorText(21), "Unknown error");
    EXPECT_EQ(ZulErrorText(-1), "Unknown error");
}

TEST(CardLibraryBinding, LoadsTheRealLibraryByName)
{
    DynamicCardLibrary library;
    EXPECT_EQ(library.errorString(2), "No ZUL detected");
    EXPECT_EQ(library.errorString(19), "Could not claim the memory needed in function");
    EXPECT_EQ(library.errorString(21), "Unknown error");
    EXPECT_EQ(library.errorString(-1), "Unknown error");
}

TEST(CardLibraryBinding, MissingLibraryIsARunTimeFailure)
{
    DynamicCardLibrary library(QStringLiteral("/no/such/folder/libZUL_Tools_VB.so.1"));
    EXPECT_THROW(library.init(), CardLibraryUnavailable);
}

TEST(CheckZulError, ZeroDoesNothing)
{
    FakeCardLibrary card;
    ScriptedOperator op;
    int16_t code = 0;
    CheckZulError(code, card, op);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(card.calls.isEmpty());
}

TEST(CheckZulError, NonZeroTellsClosesDownAndEndsTheProgram)
{
    FakeCardLibrary card;
    card.results["closedown(1)"] = 5;
    ScriptedOperator op;
    int ended = -1;
    const auto previous = setApplicationEndHandler([&](int exitCode) { ended = exitCode; });
    int16_t code = 2;
    CheckZulError(code, card, op);
    setApplicationEndHandler(previous);

    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "\nNo ZUL detected.");
    EXPECT_EQ(op.messages[0].title, "Plus test");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::Ok);
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::None);
    EXPECT_EQ(card.calls, QStringList({"closedown(1)"}));
    EXPECT_EQ(code, 5);
    EXPECT_NE(ended, -1);
}

TEST(WriteCaptureIni, ExactBytes)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("capture.ini");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("[Default]\r\nstale=1\r\n");
    }
    ASSERT_TRUE(WriteCaptureIni(path, 308, 331, 276, 87, 138, 276));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        "[Default]\r\nSignalType=0\r\nInputChannel=0\r\nBrightness=0\r\nContrast=0\r\nSaturation=0\r\nHue=0\r\n"
        "Gamma=1#\r\nxOffsetPAL=308\r\nxActivePAL=331\r\nxPixelsPAL=276\r\nyOffsetPAL=87\r\nyActivePAL=138\r\n"
        "yPixelsPAL=276\r\ninterlacedPAL=0\r\nxOffsetNTSC=204\r\nxActiveNTSC=612\r\nxPixelsNTSC=512\r\n"
        "yOffsetNTSC=60\r\nyActiveNTSC=512\r\nyPixelsNTSC=512\r\ninterlacedNTSC=1\r\noutputFormat=7\r\nExtTrig=0\r\n"
        "Flash=0\r\nExtTrigEnable=0\r\nFlashEnable=0\r\nGray16Enable=1\r\nGray256Enable=1\r\nColor256Enable=1\r\n"
        "Color16MEnable=1\r\nColor32kEnable=1\r\nColor64kEnable=1\r\nColor32bitEnable=1\r\n";
    EXPECT_EQ(file.readAll(), expected);
}

TEST(WriteCaptureIni, UnwritableFolderIsReported)
{
    QString error;
    EXPECT_FALSE(WriteCaptureIni("/no/such/folder/capture.ini", 1, 2, 3, 4, 5, 6, &error));
    EXPECT_FALSE(error.isEmpty());
}

// What the area selection writes is what the capture library reads back.
TEST(WriteCaptureIni, ReadBackByTheCaptureLibrary)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("capture.ini");
    ASSERT_TRUE(WriteCaptureIni(path, 308, 331, 276, 87, 138, 276));
    DynamicCardLibrary library;
    ZulConfig config{};
    ASSERT_EQ(library.readIniFile(path, QStringLiteral("DEFAULT"), &config), 0);

    ZulConfig expected{};
    ASSERT_EQ(library.defaultConfig(&expected), 0);
    expected.palWindow = {308, 331, 276, 87, 138, 276, 0, 0};
    expected.ntscWindow = {204, 612, 512, 60, 512, 512, 1, 0};
    EXPECT_EQ(std::memcmp(&config, &expected, sizeof config), 0);
    EXPECT_EQ(config.Gamma, 1.0f);
    EXPECT_EQ(config.OutputFormat, 7);
}
