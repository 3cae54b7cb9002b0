#pragma once

#include <QFrame>
#include <QImage>
#include <QPoint>
#include <QPointF>

class PictureBox;
class QScrollBar;

// The zoom panel `Frame1`: a 150 x 130 pixel part of the editor's picture
// shown three times as large in `Picture3`, panned by `HBar` and `VBar`.
class MaskZoomPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int magnification = 3;
    static constexpr int sourceWidth = 150;
    static constexpr int sourceHeight = 130;
    static constexpr int smallChange = 30;
    static constexpr int largeChange = 150;

    explicit MaskZoomPanel(QWidget *parent = nullptr);

    PictureBox *Picture3 = nullptr;
    QScrollBar *HBar = nullptr;
    QScrollBar *VBar = nullptr;

    // The bars keep the zoomed part inside the working image.
    void setRanges(int imageWidth, int imageHeight);
    // Stretches the part under the bars of `source` into Picture3.
    void refresh(const QImage &source);

    // The image pixel under a click in Picture3 with the bars at (h, v).
    static QPoint toImage(QPointF zoomed, int h, int v);

signals:
    // A click in Picture3, already mapped to image pixels.
    void imageClicked(QPoint imagePixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void barsMoved();

private:
    QImage source_;
};
