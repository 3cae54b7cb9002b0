#pragma once

#include <QMdiSubWindow>

class PictureBox;

// One of the six image child windows the sequences and the alignment draw
// into. It has no behaviour of its own; closing it only hides it.
class FrmImg : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit FrmImg(QWidget *parent = nullptr);
    PictureBox *picture() const { return picture_; }

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    PictureBox *picture_;
};
