// Start-up with the card against the real capture library on its virtual
// card: no fake between the main window and the library.
#include "acquisition/exposure_panel.h"
#include "acquisition/frm_prev.h"
#include "acquisition/intensity_stats.h"
#include "platform/application_end.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/zul_surface.h"
#include "shell/capture_ini.h"
#include "shell/fresh_capture_settings.h"
#include "shell_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <dlfcn.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The live configuration after bring-up on the 512 area, as the library
// writes it.
const QByteArray kDumpOfArea512 =
    "[DEFAULT]\r\n"
    "SignalType=0\r\n"
    "InputChannel=0\r\n"
    "Brightness=0\r\n"
    "Contrast=0\r\n"
    "Saturation=0\r\n"
    "Hue=0\r\n"
    "Gamma=1.00\r\n"
    "xOffsetPAL=140\r\n"
    "xActivePAL=638\r\n"
    "xPixelsPAL=532\r\n"
    "yOffsetPAL=18\r\n"
    "yActivePAL=266\r\n"
    "yPixelsPAL=532\r\n"
    "interlacedPAL=0\r\n"
    "xOffsetNTSC=204\r\n"
    "xActiveNTSC=612\r\n"
    "xPixelsNTSC=512\r\n"
    "yOffsetNTSC=60\r\n"
    "yActiveNTSC=512\r\n"
    "yPixelsNTSC=512\r\n"
    "interlacedNTSC=1\r\n"
    "OutputFormat=7\r\n"
    "ExtTrig=0\r\n"
    "Flash=0\r\n"
    "ExtTrigEnable=0\r\n"
    "FlashEnable=0\r\n"
    "Gray16Enable=1\r\n"
    "Gray256Enable=1\r\n"
    "Color256Enable=1\r\n"
    "Color16MEnable=1\r\n"
    "Color32kEnable=1\r\n"
    "Color64kEnable=1\r\n"
    "Color32bitEnable=1\r\n";

class RealCardTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        qputenv("ZUL_DRIVER", "virtual");
        qunsetenv("ZUL_VIRTUAL_CARD");
        library.showMessagesTo(&op);
        previousEnd_ = setApplicationEndHandler([this](int code) { ended = code; });
    }

    void TearDown() override
    {
        setApplicationEndHandler(previousEnd_);
        // A test that stopped half-way leaves no connection to the next.
        while (library.closedown(1) == 0) {
        }
        ShellTest::TearDown();
    }

    // An export the application does not bind, from the same loaded library.
    template <typename Function> Function *libraryFunction(const char *name)
    {
        void *handle = dlopen(QFile::encodeName(library.libraryPath()).constData(), RTLD_NOW | RTLD_NOLOAD);
        void *address = handle ? dlsym(handle, name) : nullptr;
        if (handle)
            dlclose(handle);
        return reinterpret_cast<Function *>(address);
    }

    DynamicCardLibrary library;
    int ended = -1;

private:
    ApplicationEndHandler previousEnd_;
};

} // namespace

TEST_F(RealCardTest, StartUpWithTheCardBringsTheVirtualCardUpAndShutdownClosesItDown)
{
    const QString folder = QCoreApplication::applicationDirPath();
    ASSERT_TRUE(WriteCaptureIni(folder + "/capture.ini", 308, 331, 276, 87, 138, 276).ok());
    QFile::remove(folder + "/dump.ini");
    settings = std::make_unique<SettingsStore>();
    MDIForm1 w(state, op, *settings, library, launcher);
    w.Form_Load(true);

    EXPECT_FALSE(state.noCard);
    EXPECT_EQ(op.texts(), QStringList());
    EXPECT_EQ(ended, -1);
    EXPECT_EQ(w.liveConfig().videoStandard, 1);
    EXPECT_EQ(w.liveConfig().OutputFormat, 7);
    const ZulVideoWindow &c = w.currentWindow();
    EXPECT_EQ(QList<int>({c.xOffset, c.xActive, c.xPixels, c.yOffset, c.yActive, c.yPixels, c.interlaced}),
              QList<int>({308, 331, 276, 87, 138, 276, 0}));
    // The start-up's snap is there to be read.
    ZulHandle bitmap = nullptr;
    ASSERT_EQ(library.readoutDIB(&w.liveConfig(), &bitmap), 0);
    auto *lock = libraryFunction<decltype(ZUL_globalLock)>("ZUL_globalLock");
    auto *unlock = libraryFunction<decltype(ZUL_globalUnlock)>("ZUL_globalUnlock");
    const auto *header = static_cast<const std::int32_t *>(lock(bitmap));
    EXPECT_EQ(header[1], 276);
    EXPECT_EQ(header[2], 276);
    unlock(bitmap);
    library.globalFree(bitmap);

    w.Form_Unload();
    EXPECT_EQ(op.texts(), QStringList());
    EXPECT_EQ(ended, -1);
    EXPECT_TRUE(QFile::exists(folder + "/dump.ini"));
    EXPECT_NE(library.closedown(1), 0); // closed down already
}

TEST_F(RealCardTest, TheLibrarysOwnMessagesReachTheOperatorAsMessageBoxes)
{
    ASSERT_EQ(library.init(), 0);
    ZulConfig config{};
    ASSERT_EQ(library.defaultConfig(&config), 0);
    config.palWindow = ZulVideoWindow{100, 400, 100, 100, 200, 50, 1, 0};
    ASSERT_EQ(library.prepare(&config, 1), 0);
    ASSERT_EQ(library.snap(&config), 0);
    auto *toFile = libraryFunction<decltype(ZULX_readoutDIBToFile)>("ZULX_readoutDIBToFile");
    ASSERT_NE(toFile, nullptr);

    EXPECT_EQ(toFile(&config, "/no/such/folder/snap.bmp"), 20);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "An error occurred when writing to file");
    EXPECT_EQ(op.messages[0].title, "Error");
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::None);

    // A binding that is gone takes its operator with it: the next message
    // goes to standard error, not to a window that no longer listens.
    ScriptedOperator other;
    {
        DynamicCardLibrary second;
        second.showMessagesTo(&other);
        EXPECT_EQ(second.errorString(0), "No error"); // loads it, and installs the hook
        EXPECT_EQ(toFile(&config, "/no/such/folder/snap.bmp"), 20);
        EXPECT_EQ(other.messages.size(), 1u);
    }
    EXPECT_EQ(toFile(&config, "/no/such/folder/snap.bmp"), 20);
    EXPECT_EQ(other.messages.size(), 1u);
    EXPECT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(library.closedown(1), 0);
}

TEST(CardLibraryBinding, ALibraryOfAnotherInterfaceVersionIsRefused)
{
    // Any shared library without the version query stands in for an old
    // one: here Qt's own, under the capture library's file name.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void *>(&qVersion), &info), 0);
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(info.dli_fname), folder.filePath("libZUL_Tools_VB.so")));
    DynamicCardLibrary old(folder.filePath("libZUL_Tools_VB.so"));
    try {
        old.init();
        ADD_FAILURE() << "no refusal";
    } catch (const CardLibraryUnavailable &refused) {
        EXPECT_EQ(std::string(refused.what()), "The capture library " + old.libraryPath().toStdString() +
                                                   " has interface version 0, Isostep needs " +
                                                   std::to_string(ZUL_INTERFACE_VERSION));
    }
    // Refused once, refused again: nothing of it stays bound.
    EXPECT_THROW(old.errorString(0), CardLibraryUnavailable);
}

TEST_F(RealCardTest, AFreshInstallationGetsItsSettingsFilesAndShutdownDumpsTheLiveConfiguration)
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const char *name : {"/capture.ini", "/captotal.ini", "/dump.ini"})
        QFile::remove(folder + name);
    store("options", "areaind", "1");
    settings = std::make_unique<SettingsStore>();
    MDIForm1 w(state, op, *settings, library, launcher);
    w.Form_Load(true);
    EXPECT_EQ(op.texts(), QStringList());

    // The area in use, read back by the card straight away.
    QTemporaryDir expected;
    ASSERT_TRUE(WriteCaptureIni(expected.filePath("capture.ini"), 140, 638, 532, 18, 266, 532).ok());
    EXPECT_EQ(readAll(folder + "/capture.ini"), readAll(expected.filePath("capture.ini")));
    const ZulVideoWindow &c = w.currentWindow();
    EXPECT_EQ(QList<int>({c.xOffset, c.xActive, c.xPixels, c.yOffset, c.yActive, c.yPixels, c.interlaced}),
              QList<int>({140, 638, 532, 18, 266, 532, 0}));
    // The whole frame of either standard for the area selection.
    const QByteArray total = readAll(folder + "/captotal.ini");
    for (const char *line : {"xOffsetPAL=0\r\n", "xActivePAL=950\r\n", "xPixelsPAL=950\r\n", "yOffsetPAL=0\r\n",
                             "yActivePAL=610\r\n", "yPixelsPAL=610\r\n", "interlacedPAL=1\r\n", "xActiveNTSC=780\r\n",
                             "yActiveNTSC=510\r\n"})
        EXPECT_TRUE(total.contains(line)) << line;

    w.Form_Unload();
    EXPECT_EQ(ended, -1);
    EXPECT_EQ(readAll(folder + "/dump.ini"), kDumpOfArea512);
}

TEST(FreshCaptureSettings, AFileThatCannotBeWrittenIsNamedAndTheBringUpGoesOn)
{
    AppState state;
    state.captureIniPath = "/no/such/folder/capture.ini";
    state.capTotalIniPath = "/no/such/folder/captotal.ini";
    ScriptedOperator op;
    FakeCardLibrary card;
    card.results["saveIniFile DEFAULT"] = 20;
    writeMissingCaptureSettings(state, card, op);

    EXPECT_EQ(card.calls, QStringList({"defaultConfig", "saveIniFile DEFAULT"}));
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_TRUE(op.messages[0].text.startsWith("Could not write /no/such/folder/capture.ini.  "));
    EXPECT_TRUE(op.messages[0].text.endsWith(".  The card starts on its own settings."));
    EXPECT_EQ(op.messages[1].text,
              "Could not write /no/such/folder/captotal.ini.  Set Area shows the frame on the card's own settings.");
    for (const auto &message : op.messages) {
        EXPECT_EQ(message.title, "Isostep");
        EXPECT_EQ(message.icon, Operator::Icon::Exclamation);
    }
}

TEST_F(RealCardTest, ThePreviewDrawsEachSnapWithTheCropFrameAndTheCheckMeasuresWhatIsShown)
{
    const QString folder = QCoreApplication::applicationDirPath();
    ASSERT_TRUE(WriteCaptureIni(folder + "/capture.ini", 308, 331, 276, 87, 138, 276).ok());
    settings = std::make_unique<SettingsStore>();
    MDIForm1 w(state, op, *settings, library, launcher);
    w.Form_Load(true);
    w.cmdPrev_Click();
    w.Timer1_Timer();

    // What the library draws of the live image at the top left, under the
    // red frame of the 256 crop inside its margin.
    FrmPrev &preview = w.previewWindow();
    QImage expected(preview.Picture1->size(), QImage::Format_RGB32);
    expected.fill(Qt::black);
    ZulSurface surface = zulSurfaceFor(expected, expected.size());
    ASSERT_EQ(library.drawDIB(&surface, w.liveImage().get(), 0, 0, 0, 0), 0);
    raster::drawBox(expected, QRect(QPoint(10, 10), QPoint(266, 266)), qRgb(255, 0, 0));
    EXPECT_TRUE(preview.Picture1->image() == expected);
    EXPECT_EQ(preview.exposure->histogram().total, 276 * 276);

    preview.cmdIntensity_Click();
    // The chart's white is above the threshold: those pixels turn red.
    QImage marked = expected;
    const auto reading = intensity::measure(expected, 276, 276, 240, &marked, intensity::Path::Scalar);
    EXPECT_TRUE(preview.Picture1->image() == marked);
    EXPECT_NE(marked, expected);
    EXPECT_EQ(preview.Label1->text(), QString::number(reading.max));
    EXPECT_EQ(preview.Label2->text(), QString::number(reading.min));
    EXPECT_EQ(preview.Label3->text(), QString::number(intensity::mean(reading, 276, 276)));

    w.cmdPrev_Click();
    w.Form_Unload();
    EXPECT_EQ(op.texts(), QStringList());
    EXPECT_EQ(ended, -1);
}
