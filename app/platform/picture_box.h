#pragma once

#include <QImage>
#include <QWidget>

// Shows an image one image pixel per screen pixel and reports mouse and key
// events in image pixels, like the original picture boxes did.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return image_; }
    QImage &imageForDrawing() { return image_; }
    void clear();
    // A line drawn over the picture on screen only, never into the image,
    // and offered as the tooltip and accessible description; empty for
    // none.
    void setHint(const QString &hint);
    QString hint() const { return hint_; }

    QSize sizeHint() const override;

signals:
    void mousePressed(QPoint imagePixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseMoved(QPoint imagePixel, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mouseReleased(QPoint imagePixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void doubleClicked(QPoint imagePixel);
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage image_;
    QString hint_;
};
