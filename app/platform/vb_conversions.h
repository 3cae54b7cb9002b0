#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Text-to-number rules of the original program, which stored every option
// and read every text box through them. An empty result means the text does
// not convert; callers decide whether that is a message or a default.
namespace vb {

// Rounds half to even, as the original integer conversion did: "2.5" is 2,
// "3.5" is 4. Outside -32768..32767 the text does not convert.
std::optional<int16_t> toInt16(const QString &text);

// "True"/"False" in any letter case, or a number (non-zero is true).
std::optional<bool> toBool(const QString &text);

std::optional<double> toDouble(const QString &text);

// The decimal text of a double as the options store keeps it.
QString fromDouble(double value);

inline QString fromBool(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace vb
