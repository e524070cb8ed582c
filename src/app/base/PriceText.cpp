#include "app/base/PriceText.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "platform/Clock.h"
#include "resources/Strings.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <utility>

namespace {

// Setting row of the display and job-handling options; item 0 is the
// unit-price display (0 the service's own, 1 per each, 2 per thousand).
constexpr int kDisplayOptionsRow = 251;

SettingRowReader &settingRowReader()
{
    static SettingRowReader reader;
    return reader;
}

QString readSettingRow(int kind, int item, const QString &defaultText)
{
    const SettingRowReader &reader = settingRowReader();
    return reader ? reader(kind, item, defaultText) : defaultText;
}

DateTime now()
{
    return DateTime::fromDateTime(platform::Clock::now());
}

} // namespace

bool IsDateValid(const DateTime &date)
{
    return date.isValid();
}

QString DateToText(const DateTime &date)
{
    // Day 0 (12/30/1899) is what an empty date field holds: it shows empty.
    return date.isValid() && date.toOle() != 0 ? date.format(QStringLiteral("%m/%d/%Y")) : QString();
}

QString FormatNow(const QString &format)
{
    return now().format(format);
}

QString FormatNowLong(int mode)
{
    switch (mode) {
    case 0: return FormatNow(QStringLiteral("%A, %B %d, %Y"));
    case 1: return FormatNow(QStringLiteral("%I:%M %p"));
    default: return FormatNow(QStringLiteral("%A, %B %d, %Y   %I:%M %p"));
    }
}

void FormatElapsedTime(QString &out, DateTime &start)
{
    const DateTime current = now();
    if (start.toOle() == 0.0) {
        start = current;
        out = current.format(QStringLiteral("%H:%M:%S"));
        return;
    }
    // Whole seconds, truncated; the day fractions are first brought to whole
    // milliseconds so that 59 s never reads as 58.9999.
    const double millis = std::round((current.serial() - start.serial()) * 86400000.0);
    const std::int64_t s = std::int64_t(millis / 1000.0);
    if (s < 1)
        out = QStringLiteral("less than a second");
    else if (s < 2)
        out = QStringLiteral("one second");
    else if (s < 60)
        out = QStringLiteral("%1 seconds").arg(s);
    else if (s < 120)
        out = QStringLiteral("1 minute %1 seconds").arg(s - 60);
    else if (s < 3600)
        out = QStringLiteral("%1 minutes").arg((s + 30) / 60);
    else // hours in full, a run of more than a day included
        out = QString::asprintf("%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
}

QString VariantToText(const platform::Value &value)
{
    using platform::FieldType;
    if (value.isNull())
        return QString();
    switch (value.type()) {
    case FieldType::Empty:
        return QString();
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        return QString::number(value.toInt());
    case FieldType::Single:
        return QString::asprintf("%g", value.toDouble());
    case FieldType::Double:
        return QString::asprintf("%.0f", value.toDouble());
    case FieldType::Currency:
        return FormatCurrency(value.toMoney(), 2);
    case FieldType::Date:
        return value.toDateTime().format(QStringLiteral("%m/%d/%Y"));
    case FieldType::Text:
    case FieldType::Memo: {
        const QString text = value.toString();
        qsizetype end = text.size();
        for (QChar lineBreak : {QLatin1Char('\r'), QLatin1Char('\n')}) {
            const qsizetype at = text.indexOf(lineBreak);
            if (at >= 0)
                end = std::min(end, at);
        }
        return text.left(end);
    }
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return QStringLiteral("!");
    }
}

Money CentsToCurrency(std::int64_t n)
{
    if (n == 1)
        return Money::noChargeMarker();
    return Money::fromCents(n);
}

QString FormatCurrencyValue(std::int64_t units)
{
    return FormatMoneyGrouped(Money::fromUnits(units));
}

QString FormatPrice(Money price)
{
    if (price.isZero())
        return QStringLiteral("?");
    if (price.isNoCharge())
        return QStringLiteral("No Charge");
    return FormatMoneyGrouped(price);
}

QString FormatRate(Money price, std::int32_t count, std::int32_t unit, int decimals, bool withSuffix)
{
    Money rate = ScaleRateByUnit(price, count, unit);
    if (count != 0) {
        // Shown rounded half away from zero at its decimals, not truncated:
        // 74.51 for 2,000 is 0.0373 each.
        const std::int64_t factor = ScaleRateByUnit(Money::fromUnits(1), 1, unit).units();
        std::int64_t step = 1;
        for (int d = std::clamp(decimals, 0, 4); d < 4; ++d)
            step *= 10;
        const std::int64_t numerator = price.units() * factor;
        const std::int64_t divisor = std::int64_t(count) * step;
        const std::int64_t magnitude =
            (std::abs(numerator) + std::abs(divisor) / 2) / std::abs(divisor);
        rate = Money::fromUnits(((numerator < 0) != (divisor < 0) ? -magnitude : magnitude) * step);
    }
    QString text = FormatCurrency(rate, decimals);
    if (withSuffix)
        text += GetRateUnitText(unit);
    return text;
}

void FormatUnitPrice(QString &out, Money price, std::int32_t quantity, int mode)
{
    // Zero only: the No Charge marker itself is shown.
    if (quantity == 0 || price.isZero()) {
        out.clear();
        return;
    }
    if (mode == 0)
        mode = ToInt(readSettingRow(kDisplayOptionsRow, 0, QStringLiteral("1")));
    if (mode == 2)
        out = FormatRate(price, quantity, 2, 2, true);
    else
        out = FormatRate(price, quantity, 1, 4, true);
}

void SetSettingRowReader(SettingRowReader reader)
{
    settingRowReader() = std::move(reader);
}

float CompareSizes(const QString &a, const QString &b, int n)
{
    float widthA = 0;
    float heightA = 0;
    float widthB = 0;
    float heightB = 0;
    ParseSize(a, widthA, heightA);
    ParseSize(b, widthB, heightB);
    if (n != 1)
        return widthA * heightA - float(n) * widthB * heightB;

    const float smallA = std::min(widthA, heightA);
    const float largeA = std::max(widthA, heightA);
    const float smallB = std::min(widthB, heightB);
    const float largeB = std::max(widthB, heightB);
    if (smallB > smallA || largeB > largeA)
        return -1;
    if (smallB == smallA && largeB == largeA)
        return 0;
    return 1;
}

QString GetInkColorsText(std::uint8_t code, bool shortName)
{
    return GetResourceListItem(shortName ? IDS_INK_COLORS_SHORT : IDS_INK_COLORS, code);
}

QString FormatInkText(const QString &prefix, std::uint8_t code, bool shortName, const QString &further,
                      const QString &separator, std::uint8_t secondCode)
{
    if (code == 0 && secondCode == 0)
        return QString();
    QString text = prefix + GetInkColorsText(code, shortName);
    AppendText(text, further, separator);
    return text;
}
