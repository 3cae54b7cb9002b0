#pragma once

// The main window on the real capture library, linked in, with its virtual
// card in front of a picture the test sets: what a bench with a camera
// does, offscreen and scripted.
#include "platform/application_end.h"
#include "platform/card_library.h"
#include "shell/capture_ini.h"
#include "shell_fixture.h"
#include "virtual_card.h"
#include "workbench/frm_img.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>

// The library's calls, bound at link time rather than by file name, so the
// test can reach the card the library drives.
class LinkedCardLibrary : public CardLibrary {
public:
    int init() override { return ZUL_init(); }
    int closedown(int flag) override { return ZUL_closedown(flag); }
    int testSignal(ZulConfig *config) override { return ZUL_testSignal(config); }
    int defaultConfig(ZulConfig *config) override { return ZULX_defaultConfig(config); }
    int readIniFile(const QString &fileName, const QString &section, ZulConfig *config) override
    {
        return ZULX_readIniFile(QFile::encodeName(fileName).constData(), section.toLatin1().constData(), config);
    }
    int saveIniFile(const QString &fileName, const QString &section, const ZulConfig *config) override
    {
        return ZULX_saveIniFile(QFile::encodeName(fileName).constData(), section.toLatin1().constData(), config);
    }
    int prepare(ZulConfig *config, int force) override { return ZULX_prepare(config, force); }
    int defaultPalette(ZulSurface *surface, int gray) override { return ZULX_defaultPalette(surface, gray); }
    int releasePalette() override { return ZULX_releasePalette(); }
    int snap(ZulConfig *config) override { return ZULX_snap(config); }
    int readoutDIB(ZulConfig *config, ZulHandle *out) override { return ZULX_readoutDIB(config, out); }
    int snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor) override
    {
        return ZULX_snapAverageDIB(config, out, frames, divisor);
    }
    int drawDIB(ZulSurface *surface, ZulHandle bitmap, int x, int y, int width, int height) override
    {
        return ZULX_drawDIB(surface, bitmap, x, y, width, height);
    }
    QString errorString(int code) override { return QString::fromLatin1(ZUL_errorString(code)); }
    void globalFree(ZulHandle block) override { ZUL_globalFree(block); }
};

// The scripted operator, who also does something at the bench whenever a
// text is put in front of them: turns the optics, reconnects the camera.
class BenchOperator : public ScriptedOperator {
public:
    std::function<void(const QString &text)> atBench;

    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        if (atBench)
            atBench(text);
        return ScriptedOperator::ask(text, title, buttons, icon);
    }
    void tell(const QString &text, const QString &title, Icon icon) override
    {
        if (atBench)
            atBench(text);
        ScriptedOperator::tell(text, title, icon);
    }
};

// A full 625-line frame in studio-range YCbCr, different for every seed.
zul::vcard::VideoFrame scene(int seed);
// Frames whose pixels are `mean`'s plus offsets that cancel over the four,
// so their average is `mean` exactly.
std::array<zul::vcard::VideoFrame, 4> aroundMean(const zul::vcard::VideoFrame &mean);

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up with the card, the capture window that of the 256 area.
    MDIForm1 &start();
    // What the camera gives for `frame` through the capture window, read
    // out by the library into a BMP file of its own, and that file's image.
    QImage grabToFile(const zul::vcard::VideoFrame &frame, const QString &fileName);
    QString path(const QString &name) const { return folder.filePath(name); }

    TempSettings temp;
    QTemporaryDir folder;
    AppState state;
    BenchOperator op;
    LinkedCardLibrary library;
    RecordingLauncher launcher;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MDIForm1> window;
    std::shared_ptr<zul::vcard::VirtualCard> card;
    int ended = -1;

private:
    ApplicationEndHandler previousEnd_;
    QString savedDirectory_;
};

QByteArray fileBytes(const QString &fileName);
