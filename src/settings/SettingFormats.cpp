#include "settings/SettingFormats.h"

#include "link/ModbusCodec.h"

namespace zav {

QString integerText(uint16_t value) {
    return QString::number(value);
}

QString DecimalTextToScaled(const QString& text, int decimals) {
    if (decimals <= 0) return text;
    qsizetype sep = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('.') || text[i] == QLatin1Char(',')) {
            sep = i;
            break;
        }
    }
    QString result = sep < 0 ? text : text.left(sep);
    if (sep >= 0 && sep + 1 < text.size()) {
        for (int k = 1; k <= decimals; ++k) {
            const qsizetype at = sep + k;
            result += (at < text.size() && text[at].isDigit() && text[at].unicode() < 128) ? text[at]
                                                                                           : QLatin1Char('0');
        }
    } else {
        result += QString(decimals, QLatin1Char('0'));
    }
    qsizetype lead = 0;
    while (lead < result.size() && result[lead] == QLatin1Char('0'))
        ++lead;
    result = result.mid(lead);
    return result.isEmpty() ? QStringLiteral("0") : result;
}

bool decimalTextToScaled(const QString& text, int decimals, int* value) {
    bool ok = false;
    const int v = DecimalTextToScaled(text, decimals).toInt(&ok);
    if (ok && value) *value = v;
    return ok;
}

QString serialNumberText(uint16_t first, uint16_t second) {
    return QStringLiteral("%1%2").arg(first, 4, 10, QLatin1Char('0')).arg(second, 3, 10, QLatin1Char('0'));
}

static QString withoutTrailingBlanks(QString text) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QString registerText(const RegisterStore& store, int firstRegister, int registerCount) {
    QString text;
    for (int r = firstRegister; r < firstRegister + registerCount; ++r) {
        const uint16_t w = store[r];
        for (const int byte : {w >> 8, w & 0xFF}) {
            if (byte < 32 || byte > 126) return withoutTrailingBlanks(text);
            text += QLatin1Char(char(byte));
        }
    }
    return withoutTrailingBlanks(text);
}

bool ClockRegisters::valid() const {
    return year >= 2000 && year <= 2099 && QDate::isValid(year, month, day) && hour >= 0 && hour <= 23 &&
           minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

QDateTime ClockRegisters::toDateTime() const {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

QString ClockRegisters::text() const {
    if (valid()) return toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    return QStringLiteral("%1-%2-%3 %4:%5").arg(year).arg(month).arg(day).arg(hour).arg(minute);
}

ClockRegisters decodeUpsClock(const RegisterStore& SettingData) {
    const uint16_t minSec = SettingData[424];
    const uint16_t dayHour = SettingData[425];
    const uint16_t yearMonth = SettingData[426];
    ClockRegisters c;
    c.minute = FromBcd(uint8_t(minSec & 0xFF));
    c.second = FromBcd(uint8_t(minSec >> 8));
    c.day = FromBcd(uint8_t(dayHour & 0xFF));
    c.hour = FromBcd(uint8_t((dayHour >> 8) & 0x7F)); // bit 15 is a flag, not part of the hours
    c.year = 2000 + FromBcd(uint8_t(yearMonth & 0xFF));
    c.month = FromBcd(uint8_t(yearMonth >> 8));
    return c;
}

QDate pickerDateInRange(const QDate& date) {
    if (!date.isValid() || (date.year() >= 2000 && date.year() <= 2099)) return date;
    return QDate(2000, date.month(), date.day()); // 2000 is a leap year: 29 February stays valid
}

} // namespace zav
