#include "capture_fixture.h"

#include <QDir>

using zul::vcard::VideoFrame;

VideoFrame scene(int seed)
{
    VideoFrame frame;
    frame.width = 950;
    frame.height = 610;
    const auto pixels = static_cast<std::size_t>(frame.width * frame.height);
    frame.y.resize(pixels);
    frame.cb.resize(pixels);
    frame.cr.resize(pixels);
    for (int row = 0; row < frame.height; ++row)
        for (int x = 0; x < frame.width; ++x) {
            const auto i = static_cast<std::size_t>(row * frame.width + x);
            frame.y[i] = static_cast<std::uint8_t>(40 + (3 * x + 5 * row + 37 * seed) % 160);
            frame.cb[i] = static_cast<std::uint8_t>(96 + (x / 4 + 11 * seed) % 64);
            frame.cr[i] = static_cast<std::uint8_t>(96 + (row / 4 + 7 * seed) % 64);
        }
    return frame;
}

std::array<VideoFrame, 4> aroundMean(const VideoFrame &mean)
{
    static constexpr int kOffsets[4] = {12, -12, 4, -4};
    std::array<VideoFrame, 4> frames;
    for (int k = 0; k < 4; ++k) {
        VideoFrame &frame = frames[static_cast<std::size_t>(k)];
        frame = mean;
        for (std::size_t i = 0; i < frame.y.size(); ++i) {
            // Each pixel takes the four offsets in an order of its own.
            const int offset = kOffsets[(static_cast<std::size_t>(k) + i) % 4];
            frame.y[i] = static_cast<std::uint8_t>(frame.y[i] + offset);
            frame.cb[i] = static_cast<std::uint8_t>(frame.cb[i] - offset);
            frame.cr[i] = static_cast<std::uint8_t>(frame.cr[i] + offset / 2);
        }
    }
    return frames;
}

void CaptureTest::SetUp()
{
    savedDirectory_ = QDir::currentPath();
    ASSERT_TRUE(folder.isValid());
    card = zul::vcard::installVirtualCard();
    ZUL_setMessageHook(
        [](const char *text, const char *title, void *context) {
            static_cast<BenchOperator *>(context)->tell(QString::fromLatin1(text), QString::fromLatin1(title),
                                                        Operator::Icon::None);
        },
        &op);
    previousEnd_ = setApplicationEndHandler([this](int code) { ended = code; });
}

void CaptureTest::TearDown()
{
    window.reset();
    setApplicationEndHandler(previousEnd_);
    ZUL_setMessageHook(nullptr, nullptr);
    // A test that stopped half-way leaves no connection to the next.
    while (ZUL_closedown(1) == 0) {}
    zul::vcard::removeVirtualCard();
    QDir::setCurrent(savedDirectory_);
}

MDIForm1 &CaptureTest::start()
{
    // A program that ran before has shut down in order.
    if (window)
        window->Form_Unload();
    window.reset();
    const std::size_t told = op.messages.size();
    EXPECT_TRUE(WriteCaptureIni(path("capture.ini"), 308, 331, 276, 87, 138, 276).ok());
    settings = std::make_unique<SettingsStore>();
    window = std::make_unique<MDIForm1>(state, op, *settings, library, launcher);
    window->Form_Load(false);
    // The settings files of this test only, then the card as start-up
    // brings it up.
    state.captureIniPath = path("capture.ini");
    state.capTotalIniPath = path("captotal.ini");
    state.dumpIniPath = path("dump.ini");
    state.noCard = false;
    window->InitZUL();
    EXPECT_EQ(op.messages.size(), told) << op.texts().join(" | ").toStdString();
    return *window;
}

QImage CaptureTest::grabToFile(const VideoFrame &frame, const QString &fileName)
{
    card->setPicture(frame);
    ZulConfig config{};
    EXPECT_EQ(ZULX_readIniFile(QFile::encodeName(path("capture.ini")).constData(), "DEFAULT", &config), 0);
    EXPECT_EQ(ZULX_prepare(&config, 1), 0);
    EXPECT_EQ(ZULX_snap(&config), 0);
    EXPECT_EQ(ZULX_readoutDIBToFile(&config, QFile::encodeName(fileName).constData()), 0);
    QImage image(fileName);
    EXPECT_EQ(image.size(), QSize(276, 276));
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
