#include "disc_model.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Closed forms for the two diameters of a disc of diameter D (Frocht),
// written from the textbook rather than from the general field.
struct Expected {
    double sx, sy;
};

Expected onHorizontalDiameter(double p, double d, double t, double x)
{
    const double q = d * d + 4 * x * x;
    const double k = 2 * p / (kPi * d * t);
    return {k * std::pow((d * d - 4 * x * x) / q, 2), -k * (4 * std::pow(d, 4) / (q * q) - 1)};
}

Expected onVerticalDiameter(double p, double d, double t, double y)
{
    return {2 * p / (kPi * d * t), -2 * p / (kPi * t) * (2 / (d - 2 * y) + 2 / (d + 2 * y) - 1 / d)};
}

} // namespace

TEST(DiscModel, StressesAgreeWithTheDiameterFormulas)
{
    DiscModel m;
    m.load = 500;
    m.thickness = 2;
    const double d = 2 * m.radius;
    for (double x : {0.0, 17.0, -40.0, 64.0, 100.0, 127.0}) {
        const DiscStress s = discStress(m, x, 0);
        const Expected e = onHorizontalDiameter(m.load, d, m.thickness, x);
        EXPECT_NEAR(s.sx, e.sx, 1e-9) << x;
        EXPECT_NEAR(s.sy, e.sy, 1e-9) << x;
        EXPECT_NEAR(s.txy, 0, 1e-12) << x;
    }
    for (double y : {-100.0, -32.0, 50.0, 110.0}) {
        const DiscStress s = discStress(m, 0, y);
        const Expected e = onVerticalDiameter(m.load, d, m.thickness, y);
        EXPECT_NEAR(s.sx, e.sx, 1e-9) << y;
        EXPECT_NEAR(s.sy, e.sy, 1e-9) << y;
        EXPECT_NEAR(s.txy, 0, 1e-12) << y;
    }
    // Shear changes sign across each diameter.
    const DiscStress a = discStress(m, 30, 60), b = discStress(m, -30, 60), c = discStress(m, 30, -60);
    EXPECT_NE(a.txy, 0);
    EXPECT_NEAR(b.txy, -a.txy, 1e-12);
    EXPECT_NEAR(c.txy, -a.txy, 1e-12);
}

TEST(DiscModel, PhaseAtTheCentreOutsideAndAtTheContacts)
{
    const DiscModel m;
    // At the centre sigma1 - sigma2 = 8P / (pi D t) and the principal
    // direction is horizontal.
    const DiscPhase centre = discPhase(m, 0, 0);
    EXPECT_NEAR(centre.delta, 2 * kPi * 8 * m.load / (kPi * 2 * m.radius * m.fringeValue), 1e-9);
    EXPECT_NEAR(centre.theta, 0, 1e-12);
    EXPECT_NEAR(centre.delta / (2 * kPi), 3, 0.01) << "the default disc shows three fringes at its centre";

    const DiscPhase outside = discPhase(m, m.radius * 0.8, m.radius * 0.8);
    EXPECT_EQ(outside.delta, 0);

    for (double y : {m.radius, m.radius - 0.5, -m.radius, -m.radius + 2}) {
        const DiscPhase contact = discPhase(m, 0, y);
        EXPECT_TRUE(std::isfinite(contact.delta)) << y;
        EXPECT_LE(contact.delta, 2 * kPi * m.maxFringeOrder) << y;
    }
}

TEST(DiscModel, SixIntensitiesPairUpAndStayInAByte)
{
    const DiscModel m;
    const double whole = 2 * m.background + m.amplitude;
    for (double x = -140; x <= 140; x += 7)
        for (double y = -140; y <= 140; y += 9) {
            const auto i = sixStepIntensities(m, discPhase(m, x, y));
            // Opposite analyser settings add up to all the light there is.
            EXPECT_NEAR(i[0] + i[2], whole, 1e-9);
            EXPECT_NEAR(i[1] + i[4], whole, 1e-9);
            EXPECT_NEAR(i[3] + i[5], whole, 1e-9);
            for (double v : i) {
                EXPECT_GE(v, m.background - 1e-9);
                EXPECT_LE(v, m.background + m.amplitude + 1e-9);
            }
        }
    const auto outside = sixStepIntensities(m, discPhase(m, 135, 135));
    const std::array<double, 6> expected = {128, 128, 128, 8, 128, 248};
    for (int n = 0; n < 6; ++n)
        EXPECT_DOUBLE_EQ(outside[n], expected[n]) << "image " << n + 1;
}

#ifdef ISOSTEP_SAMPLES_DIR
TEST(DiscModel, SampleFilesAreTheRenderedGreyPicturesIn24Bits)
{
    const DiscModel m;
    for (int n = 1; n <= 6; ++n) {
        const QString path = QStringLiteral(ISOSTEP_SAMPLES_DIR "/sample%1.bmp").arg(n);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        const QByteArray header = file.read(54);
        ASSERT_EQ(header.size(), 54);
        EXPECT_EQ(header.left(2), QByteArray("BM"));
        EXPECT_EQ(static_cast<int>(header[28]), 24) << "bits per pixel";

        const QImage image(path);
        ASSERT_EQ(image.size(), QSize(276, 276));
        const std::vector<std::uint8_t> grey = renderSixStepImage(m, 276, n);
        int wrong = 0;
        for (int y = 0; y < 276; ++y)
            for (int x = 0; x < 276; ++x) {
                const QRgb p = image.pixel(x, y);
                const int g = grey[static_cast<std::size_t>(y) * 276 + x];
                wrong += qRed(p) != g || qGreen(p) != g || qBlue(p) != g;
            }
        EXPECT_EQ(wrong, 0) << "image " << n;
    }
}
#endif
