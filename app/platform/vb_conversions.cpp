#include "vb_conversions.h"

#include <QLocale>
#include <cmath>

namespace vb {

std::optional<double> toDouble(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int16_t> toInt16(const QString &text)
{
    const auto value = toDouble(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // default mode: half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

std::optional<bool> toBool(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto number = toDouble(trimmed);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

QString fromDouble(double value)
{
    return QLocale::c().toString(value, 'g', 15);
}

} // namespace vb
