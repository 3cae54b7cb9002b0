#include "frame_capture.h"

#include "platform/card_image.h"
#include "platform/card_library.h"
#include "platform/zul_surface.h"

QSize frameSize(const ZulConfig &config)
{
    const ZulVideoWindow &window = config.videoStandard == 1 ? config.palWindow : config.ntscWindow;
    return {window.xPixels, window.yPixels};
}

CapturedFrame captureFrame(CardLibrary &card, ZulConfig &config, int averageCount, CardImage &slot, QSize size)
{
    CapturedFrame frame;
    auto keep = [&frame](int result) {
        if (frame.result == 0)
            frame.result = result;
    };
    const bool summable = config.OutputFormat == 7 || config.OutputFormat == 1;
    if (averageCount > 1 && summable) {
        keep(card.snapAverageDIB(&config, slot.receive(card), averageCount, averageCount));
    } else {
        slot.reset();
        keep(card.snap(&config));
        if (frame.ok())
            keep(card.readoutDIB(&config, slot.receive(card)));
    }
    frame.image = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    frame.image.fill(Qt::black);
    if (slot) {
        ZulSurface surface = zulSurfaceFor(frame.image, frame.image.size());
        keep(card.drawDIB(&surface, slot.get(), 0, 0, 0, 0));
    }
    return frame;
}
