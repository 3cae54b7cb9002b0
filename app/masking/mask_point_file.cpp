#include "mask_point_file.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QRegularExpression>
#include <QStringList>

#include <limits>
#include <optional>

namespace mask_point_file {

namespace {

constexpr const char *lineEnd = "\r\n";

// The largest point file the editor writes, 32 areas of 128 points each
// far apart, is under 50 KB; more is not a point file.
constexpr qint64 largestFile = 64 * 1024;

// A sign and digits, nothing else: a conversion that stops at the first
// stray character would read "10<NUL>GARBAGE" as 10.
std::optional<qint64> integer(const QString &text, qint64 minimum, qint64 maximum)
{
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]{1,10}$"));
    const QString word = text.trimmed();
    if (!digits.match(word).hasMatch())
        return std::nullopt;
    const qint64 value = word.toLongLong();
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// A comma-separated writer puts the marker in quotes; a reader of such
// data hands it on without them.
bool isMarker(const QString &field)
{
    const QString word = field.trimmed();
    return word == QLatin1String("\"NB\"") || word == QLatin1String("NB");
}

std::optional<bool> flag(const QString &text)
{
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

// Walks the lines of one file and words every complaint the same way.
class Lines {
public:
    Lines(const QString &text, const QString &fileName) : fileName_(fileName)
    {
        lines_ = text.split(QLatin1Char('\n'));
        for (QString &line : lines_) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        // Blank lines at the end are no lines at all.
        while (!lines_.isEmpty() && lines_.last().trimmed().isEmpty())
            lines_.removeLast();
    }

    bool empty() const { return lines_.isEmpty(); }
    bool atEnd() const { return next_ >= lines_.size(); }
    int lineNumber() const { return next_; } // of the line taken last, from 1
    void rewind() { next_ = 0; }

    std::optional<QStringList> take(int fields)
    {
        endedEarly_ = atEnd();
        if (endedEarly_)
            return std::nullopt;
        const QStringList parts = lines_[next_++].split(QLatin1Char(','));
        if (parts.size() != fields)
            return std::nullopt;
        return parts;
    }

    QString problem(const QString &what) const
    {
        return QStringLiteral("The point file \"%1\" cannot be used: %2  No areas were read.")
            .arg(QDir::toNativeSeparators(fileName_), what);
    }
    // For the line taken last.
    QString badLine(const QString &expected) const
    {
        if (endedEarly_)
            return problem(QStringLiteral("it ends before its last point."));
        return problem(QStringLiteral("line %1 should hold %2.").arg(next_).arg(expected));
    }

private:
    QString fileName_;
    QStringList lines_;
    int next_ = 0;
    bool endedEarly_ = false;
};

// Reads the n "x,y" lines of one area into `areas`.
QString readPoints(Lines &lines, MaskAreas &areas, int area, int count)
{
    for (int point = 0; point < count; ++point) {
        const auto fields = lines.take(2);
        // The editor keeps 16-bit coordinates.
        const auto x = fields ? integer((*fields)[0], std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()) : std::nullopt;
        const auto y = fields ? integer((*fields)[1], std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()) : std::nullopt;
        if (!x || !y)
            return lines.badLine(QStringLiteral("a point \"x,y\""));
        areas.maskPoints[area][point] = QPoint(int(*x), int(*y));
    }
    return {};
}

QString tooManyPoints(const Lines &lines, qint64 count)
{
    return lines.problem(QStringLiteral("line %1 gives an area %2 points, and an area holds at most %3.")
                             .arg(lines.lineNumber())
                             .arg(count)
                             .arg(MaskAreas::maskPointLimit));
}

} // namespace

QByteArray encode(const MaskAreas &areas)
{
    QString text;
    text += QStringLiteral("\"NB\",%1").arg(areas.maskAreaCount) + QLatin1String(lineEnd);
    for (int area = 1; area <= areas.maskAreaCount && area <= MaskAreas::maxAreas; ++area) {
        const int count = areas.pointCount(area);
        text += QStringLiteral("%1,%2").arg(count).arg(areas.inside(area) ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#"))
                + QLatin1String(lineEnd);
        for (int point = 0; point < count; ++point) {
            const QPoint p = areas.point(area, point);
            text += QStringLiteral("%1,%2").arg(p.x()).arg(p.y()) + QLatin1String(lineEnd);
        }
    }
    QStringEncoder encoder(QStringEncoder::System);
    return encoder.encode(text);
}

ReadResult decode(const QByteArray &contents, const QString &fileName)
{
    ReadResult result;
    QStringDecoder decoder(QStringDecoder::System);
    Lines lines(decoder.decode(contents), fileName);
    MaskAreas &areas = result.areas;

    if (lines.empty()) {
        result.error = lines.problem(QStringLiteral("it is empty."));
        return result;
    }
    const auto first = lines.take(2);
    if (first && isMarker((*first)[0])) {
        const auto count = integer((*first)[1], 0, std::numeric_limits<qint16>::max());
        if (!count) {
            result.error = lines.badLine(QStringLiteral("\"NB\" and the number of areas"));
            return result;
        }
        if (*count > MaskAreas::maxAreas) {
            result.error = lines.problem(QStringLiteral("it holds %1 areas, and the editor keeps at most %2.")
                                             .arg(*count)
                                             .arg(MaskAreas::maxAreas));
            return result;
        }
        areas.maskAreaCount = int16_t(*count);
        for (int area = 1; area <= *count; ++area) {
            const auto header = lines.take(2);
            const auto points = header ? integer((*header)[0], 0, std::numeric_limits<qint16>::max()) : std::nullopt;
            const auto inside = header ? flag((*header)[1]) : std::nullopt;
            if (!points || !inside) {
                result.error = lines.badLine(QStringLiteral("the point count of area %1 and #TRUE# or #FALSE#").arg(area));
                return result;
            }
            if (*points > MaskAreas::maskPointLimit) {
                result.error = tooManyPoints(lines, *points);
                return result;
            }
            areas.maskPointCount[area] = int16_t(*points);
            areas.maskInside[area] = *inside;
            if (const QString problem = readPoints(lines, areas, area, int(*points)); !problem.isEmpty()) {
                result.error = problem;
                return result;
            }
        }
    } else {
        // The single-area form starts with its bare point count.
        lines.rewind();
        const auto countLine = lines.take(1);
        const auto count = countLine ? integer((*countLine)[0], 0, std::numeric_limits<qint16>::max()) : std::nullopt;
        if (!count) {
            result.error = lines.badLine(QStringLiteral("\"NB\" and the number of areas, or a point count"));
            return result;
        }
        if (*count > MaskAreas::maskPointLimit) {
            result.error = tooManyPoints(lines, *count);
            return result;
        }
        areas.maskAreaCount = 1;
        areas.maskInside[1] = true;
        areas.maskPointCount[1] = int16_t(*count);
        if (const QString problem = readPoints(lines, areas, 1, int(*count)); !problem.isEmpty()) {
            result.error = problem;
            return result;
        }
    }
    // Like the editor's own reader, stop after the last area: whatever a
    // file carries beyond it is not part of the mask.
    return result;
}

ReadResult read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ReadResult result;
        result.error = QStringLiteral("The point file \"%1\" cannot be opened: %2")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString());
        return result;
    }
    QByteArray contents = file.read(largestFile + 1);
    // What lies beyond the cap is never part of the areas; a line cut by it
    // is dropped whole rather than read as a shorter number.
    if (contents.size() > largestFile)
        contents.truncate(contents.lastIndexOf('\n') + 1);
    return decode(contents, fileName);
}

QString pointFileNameFor(const QString &maskFileName)
{
    return maskFileName.left(std::max<qsizetype>(maskFileName.size() - 4, 0)) + QStringLiteral(".bgp");
}

} // namespace mask_point_file
