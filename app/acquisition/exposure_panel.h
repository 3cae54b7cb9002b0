#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QWidget>
#include <array>

class QImage;
class QLabel;

// What the operator setting up the light wants to see while the picture
// lives: how the green values spread, how many pixels sit at the ends of
// the range (clipped), and how often the picture is refreshed.
struct GreenHistogram {
    std::array<int, 256> counts{};
    int total = 0;

    int atBlack() const { return counts[0]; }
    int atWhite() const { return counts[255]; }
};

// Counts the green values of `area` of a Format_RGB32 picture (clipped to
// the picture). Allocates nothing, so the live refresh may call it on
// every frame.
void countGreen(const QImage &picture, QRect area, GreenHistogram &histogram);

// "1234 (0.5 %)": a count and its share of the total, one decimal.
QString countAndShare(int count, int total);

class HistogramView;

class ExposurePanel : public QWidget {
    Q_OBJECT
public:
    explicit ExposurePanel(QWidget *parent = nullptr);

    // One refreshed frame, with the threshold to mark on the histogram.
    void showFrame(const GreenHistogram &histogram, int threshold);
    // The rate starts again from the next frame: after a freeze or a pause
    // the time between would pull it down.
    void restartRate();

    const GreenHistogram &histogram() const;
    int markedThreshold() const;
    QString blackText() const;
    QString whiteText() const;
    QString rateText() const;

private:
    void showCounts();

    HistogramView *view_;
    QLabel *black_;
    QLabel *white_;
    QLabel *rate_;
    QElapsedTimer sinceFirst_;
    QElapsedTimer sinceShown_;
    int frames_ = 0;
};
