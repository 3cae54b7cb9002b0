#pragma once

#include <QFrame>
#include <QString>

// One panel of a status bar, laid out at its design width while the window
// has room and narrower when it has not, so that no panel is drawn over
// its neighbour. A panel either keeps its whole text in view (it shrinks no
// further than the text) or, for long names, shows an elided middle and
// offers the whole text as its tooltip. Screen readers get the whole text
// as the panel's name.
class StatusBarPanel : public QFrame {
    Q_OBJECT
public:
    enum class Fit { WholeText, ElideMiddle };

    StatusBarPanel(int number, int designWidth, Fit fit, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return text_; }
    // What the panel's width lets it show.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int textRoom() const;
    int chrome() const;

    int number_;
    int designWidth_;
    Fit fit_;
    QString text_;
};
