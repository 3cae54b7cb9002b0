#include "alignment_file.h"

#include "platform/bmp_file.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

constexpr int lineCount = 6;

std::optional<int16_t> parseOrigin(const QByteArray &field)
{
    // Spaces around a number are allowed; fractions and other text are not,
    // because a rounded value would move the crop without anyone noticing.
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]{1,6}$"));
    const QString text = QString::fromLatin1(field).trimmed();
    if (!integer.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

} // namespace

QByteArray formatAlignmentFile(const AlignmentOrigins &origins)
{
    QByteArray contents;
    for (int i = 1; i <= lineCount; ++i)
        contents += QByteArray::number(origins.x[i]) + ',' + QByteArray::number(origins.y[i]) + "\r\n";
    return contents;
}

AlignmentRead parseAlignmentFile(const QByteArray &contents, const QString &fileName)
{
    AlignmentRead read;
    QList<QByteArray> lines = contents.split('\n');
    // A final line break does not start a seventh line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() < lineCount) {
        read.error = QStringLiteral("The alignment file %1 holds %2 of the six lines \"x,y\" it needs.  "
                                    "The alignment is unchanged.")
                         .arg(fileName)
                         .arg(lines.size());
        return read;
    }
    for (int i = 1; i <= lineCount; ++i) {
        QByteArray line = lines[i - 1];
        if (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> fields = line.split(',');
        const auto x = fields.size() == 2 ? parseOrigin(fields[0]) : std::nullopt;
        const auto y = fields.size() == 2 ? parseOrigin(fields[1]) : std::nullopt;
        if (!x || !y) {
            read.error = QStringLiteral("Line %2 of the alignment file %1 reads \"%3\", which is not two whole "
                                        "numbers from -32768 to 32767 separated by a comma.  The alignment is unchanged.")
                             .arg(fileName)
                             .arg(i)
                             .arg(QString::fromLocal8Bit(line));
            return read;
        }
        read.origins.x[i] = *x;
        read.origins.y[i] = *y;
    }
    return read;
}

AlignmentRead readAlignmentFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        AlignmentRead read;
        QString reason = file.errorString();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        read.error = QStringLiteral("The alignment file %1 cannot be opened.  %2.  The alignment is unchanged.")
                         .arg(fileName, reason);
        return read;
    }
    // Six short lines; anything far longer is not an alignment file.
    return parseAlignmentFile(file.read(64 * 1024), fileName);
}

FileResult writeAlignmentFile(const QString &fileName, const AlignmentOrigins &origins)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return {cannotWriteText(fileName, file.errorString())};
    const QByteArray contents = formatAlignmentFile(origins);
    if (file.write(contents) != contents.size() || !file.commit())
        return {cannotWriteText(fileName, file.errorString())};
    return {};
}
