#include "foundation/NumberFormats.h"

namespace zav {

namespace {

// The decimal digits of a non-negative value with a point before the last `decimals` digits,
// padded with leading zeros so that one digit stands before the point.
QString scaledDigits(unsigned value, int decimals) {
    QString digits = QString::number(value).rightJustified(decimals + 1, QLatin1Char('0'));
    digits.insert(digits.size() - decimals, QLatin1Char('.'));
    return digits;
}

QString formatUnsigned(uint16_t word, int decimals) {
    return scaledDigits(word >= 0x8000 ? 0u : word, decimals);
}

} // namespace

QString FormatTenths(uint16_t word) {
    return formatUnsigned(word, 1);
}
QString FormatHundredths(uint16_t word) {
    return formatUnsigned(word, 2);
}
QString FormatThousandths(uint16_t word) {
    return formatUnsigned(word, 3);
}

QString FormatSignedTenths(uint16_t word) {
    const int value = int16_t(word);
    const QString magnitude = scaledDigits(unsigned(value < 0 ? -value : value), 1);
    return value < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

QString FormatMonitorVersion(uint16_t major, uint16_t minor, uint16_t build) {
    if (major == 0 && minor == 0 && build == 0) return QStringLiteral("** . *** . ***");
    return QStringLiteral("%1 . %2 . %3")
        .arg(major, 2, 10, QLatin1Char('0'))
        .arg(minor, 3, 10, QLatin1Char('0'))
        .arg(build, 3, 10, QLatin1Char('0'));
}

} // namespace zav
