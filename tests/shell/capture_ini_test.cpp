#include "platform/card_library.h"
#include "qt_printers.h"
#include "shell/capture_ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

TEST(WriteCaptureIni, ExactBytes)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("capture.ini");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("[Default]\r\nstale=1\r\n");
    }
    ASSERT_TRUE(WriteCaptureIni(path, 308, 331, 276, 87, 138, 276).ok());
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
    const FileResult written = WriteCaptureIni("/no/such/folder/capture.ini", 1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(written.error.startsWith("Could not write /no/such/folder/capture.ini.  "))
        << written.error.toStdString();
}

// What the area selection writes is what the capture library reads back.
TEST(WriteCaptureIni, ReadBackByTheCaptureLibrary)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("capture.ini");
    ASSERT_TRUE(WriteCaptureIni(path, 308, 331, 276, 87, 138, 276).ok());
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
