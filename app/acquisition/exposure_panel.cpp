#include "exposure_panel.h"

#include "platform/controls.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

void countGreen(const QImage &picture, QRect area, GreenHistogram &histogram)
{
    histogram.counts.fill(0);
    area &= picture.rect();
    histogram.total = area.width() * area.height();
    if (area.isEmpty() || picture.format() != QImage::Format_RGB32)
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            ++histogram.counts[static_cast<std::size_t>(qGreen(row[x]))];
    }
}

QString countAndShare(int count, int total)
{
    const double share = total > 0 ? 100.0 * count / total : 0.0;
    return QStringLiteral("%1 (%2 %)").arg(count).arg(share, 0, 'f', 1);
}

// The counts as bars, on a square-root scale so that a few clipped pixels
// still show beside a large even background, and the threshold as a red
// line: what lies right of it will be painted red by the intensity check.
class HistogramView : public QWidget {
public:
    explicit HistogramView(QWidget *parent) : QWidget(parent) { setMinimumSize(200, 120); }

    void setHistogram(const GreenHistogram &histogram, int threshold)
    {
        histogram_ = histogram;
        threshold_ = threshold;
        update();
    }
    const GreenHistogram &histogram() const { return histogram_; }
    int threshold() const { return threshold_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        // Scaled to the values between the ends: a large black ground or a
        // burnt-out patch would flatten everything else, and their counts
        // stand in the figures below anyway.
        const int peak = std::max(1, *std::max_element(histogram_.counts.begin() + 1, histogram_.counts.end() - 1));
        const double scale = (height() - 2) / std::sqrt(static_cast<double>(peak));
        // One bar per pixel column, as tall as the largest count of the
        // values that share it: lines per value would overdraw each other
        // or leave gaps whenever the view is not 256 pixels wide.
        const int span = std::max(1, width() - 2);
        const int base = height() - 1;
        for (int column = 0; column < span; ++column) {
            const int first = column * 256 / span;
            const int last = std::max(first, (column + 1) * 256 / span - 1);
            const auto counts = histogram_.counts.begin();
            const int count = *std::max_element(counts + first, counts + last + 1);
            const int bar = std::min(height() - 2, static_cast<int>(std::sqrt(static_cast<double>(count)) * scale));
            painter.fillRect(1 + column, base - bar, 1, bar, Qt::green);
        }
        if (threshold_ >= 0 && threshold_ <= 255) {
            const int x = 1 + threshold_ * span / 256;
            painter.fillRect(x, 0, 1, height(), Qt::red);
        }
    }

private:
    GreenHistogram histogram_;
    int threshold_ = -1;
};

ExposurePanel::ExposurePanel(QWidget *parent) : QWidget(parent), view_(new HistogramView(this))
{
    setObjectName(QStringLiteral("exposurePanel"));
    describe(this, QStringLiteral("exposure"), QStringLiteral("Green values of the live picture"));
    view_->setObjectName(QStringLiteral("greenHistogram"));
    describe(view_, QStringLiteral("green histogram"),
             QStringLiteral("How many pixels have each green value; the red line is the threshold"));
    auto label = [this](const char *name, const QString &description) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        describe(l, description, description);
        return l;
    };
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *title = new QLabel(QStringLiteral("Green histogram"), this);
    describe(title, title->text());
    layout->addWidget(title);
    layout->addWidget(view_);
    black_ = label("blackCount", QStringLiteral("pixels at 0"));
    white_ = label("whiteCount", QStringLiteral("pixels at 255"));
    rate_ = label("frameRate", QStringLiteral("frames per second"));
    for (QLabel *l : {black_, white_, rate_})
        layout->addWidget(l);
    layout->addStretch();
    restartRate();
    showCounts();
}

void ExposurePanel::showFrame(const GreenHistogram &histogram, int threshold)
{
    view_->setHistogram(histogram, threshold);
    if (frames_ == 0)
        sinceFirst_.start();
    ++frames_;
    // The texts change a few times a second: often enough to read, and a
    // frame costs no text formatting.
    if (!sinceShown_.isValid() || sinceShown_.elapsed() >= 250) {
        sinceShown_.start();
        showCounts();
    }
    // The rate over about the last second: the first frame starts the
    // clock, each later one ends an interval.
    if (const auto elapsed = static_cast<double>(sinceFirst_.elapsed()); frames_ > 1 && elapsed >= 1000.0) {
        rate_->setText(QStringLiteral("Frames per second: %1").arg(1000.0 * (frames_ - 1) / elapsed, 0, 'f', 1));
        sinceFirst_.start();
        frames_ = 1;
    }
}

void ExposurePanel::restartRate()
{
    frames_ = 0;
    sinceShown_.invalidate();
    rate_->setText(QStringLiteral("Frames per second: -"));
}

void ExposurePanel::showCounts()
{
    const GreenHistogram &h = view_->histogram();
    black_->setText(QStringLiteral("At 0: ") + countAndShare(h.atBlack(), h.total));
    white_->setText(QStringLiteral("At 255: ") + countAndShare(h.atWhite(), h.total));
}

const GreenHistogram &ExposurePanel::histogram() const
{
    return view_->histogram();
}

int ExposurePanel::markedThreshold() const
{
    return view_->threshold();
}

QString ExposurePanel::blackText() const
{
    return black_->text();
}

QString ExposurePanel::whiteText() const
{
    return white_->text();
}

QString ExposurePanel::rateText() const
{
    return rate_->text();
}
