#include "controls/CXEdit.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "app/base/TypedValue.h"
#include "controls/ControlMessages.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"

#include <QtCore/QRegularExpression>

#include <algorithm>

namespace {

// The program's date entry format, from the string table when it holds one.
QString dateFormat()
{
    const QString format = LoadResourceString(40006);
    return format.isEmpty() ? QStringLiteral("%m/%d/%y") : format;
}

// printf of one integer through a format such as "%8d"; other formats give "%d".
QString formatInteger(const QString &format, int value)
{
    static const QRegularExpression integer(QStringLiteral("^%[-+ 0#]*[0-9]*l?d$"));
    const QString used = integer.match(format).hasMatch() ? format : QStringLiteral("%d");
    return QString::asprintf(used.toLatin1().constData(), value).trimmed();
}

} // namespace

CXEdit::CXEdit(QWidget *parent) : QLineEdit(parent) {}

void CXEdit::SetType(const QString &typeText, int percentKind)
{
    m_kind = Plain;
    m_wide = false;
    m_ranged = false;
    m_reading = AsNumber;
    m_min = INT_MIN;
    m_max = INT_MAX;
    m_decimals = 0;
    m_scale = 1;
    m_type = typeText;
    m_format.clear();
    if (typeText.isEmpty())
        return;
    const QChar first = typeText.at(0);
    if (first == QLatin1Char('/')) {
        m_kind = Date;
        m_format = dateFormat();
        m_max = 25000;
    } else if (first == QLatin1Char(':')) {
        m_kind = Time;
        m_format = QStringLiteral("%H:%M");
        m_min = 0; // a duration: no time is negative
        m_max = 25000;
    } else if (first == QLatin1Char('%')) {
        const int digits = typeText.size() > 1 && typeText.at(1).isDigit() ? typeText.at(1).digitValue() : 0;
        m_format = typeText;
        if (percentKind == Unsigned) {
            m_kind = Unsigned;
            m_min = 0;
            m_max = digits == 1 ? 9 : digits == 2 ? 99 : 255;
        } else {
            m_kind = Signed;
            if (digits > 0) {
                long long limit = 1;
                for (int i = 0; i < digits; ++i)
                    limit *= 10;
                limit -= 1;
                if (limit > INT_MAX)
                    limit = INT_MAX;
                m_max = int(limit);
                m_min = -int(limit);
            }
        }
    } else if (first >= QLatin1Char('1') && first <= QLatin1Char('4')) {
        m_kind = FixedPoint;
        m_decimals = first.digitValue();
        m_scale = m_decimals == 1 ? 10 : m_decimals == 2 ? 100 : m_decimals == 3 ? 1000 : 10000;
        m_format = QStringLiteral("%.%1f").arg(m_decimals);
    } else if (first == QLatin1Char('$')) {
        m_kind = FixedPoint;
        m_decimals = 2;
        m_scale = 100;
        m_format = QStringLiteral("%.2f");
        m_reading = AsMoney;
    }
}

void CXEdit::SetWide()
{
    if (m_kind != FixedPoint)
        return;
    m_max = LargestAmount(m_decimals);
    m_min = -m_max;
    m_wide = true;
}

void CXEdit::SetRange(qint64 minimum, qint64 maximum)
{
    m_ranged = true;
    m_min = minimum;
    m_max = maximum;
}

QString CXEdit::FormatValue() const
{
    switch (m_kind) {
    case Time: return m_value == 0 ? QString() : MinutesToText(int(m_value));
    case Unsigned:
    case Signed: return m_value == 0 ? QString() : formatInteger(m_format, int(m_value));
    case FixedPoint: return m_value == 0 ? QString() : FormatFixedPoint(m_value, m_decimals);
    default: return m_text; // plain and date fields keep the text they were given
    }
}

QString CXEdit::FormatNumber(qint64 value) const
{
    switch (m_kind) {
    case Time: return MinutesToText(int(value));
    case Unsigned:
    case Signed: return formatInteger(m_format, int(value));
    case FixedPoint: return FormatFixedPoint(value, m_decimals);
    default: return QString::number(value);
    }
}

void CXEdit::SetValue(qint64 value, int caret)
{
    m_value = value;
    m_text = FormatValue();
    if (caret == 255)
        return;
    setText(m_text);
    if (caret < 0 || caret > m_text.size())
        setCursorPosition(int(m_text.size()));
    else
        setCursorPosition(caret);
}

bool CXEdit::SetText(const QString &input)
{
    QString text = input;
    TrimText(text);
    m_refused = false;
    // An empty field holds 0 (and shows nothing).
    if (text.isEmpty() && m_kind != Plain && m_kind != Date) {
        SetValue(0, -1);
        return true;
    }
    // A rate may close with "%" ("10%", "10 %"): the number before it.
    if (m_reading == AsRate && (m_kind == Unsigned || m_kind == Signed || m_kind == FixedPoint)
        && text.endsWith(QLatin1Char('%'))) {
        text.chop(1);
        text = text.trimmed();
    }
    std::int32_t small = 0;
    qint64 value = 0;
    ValueKind refused = ValueKind::Text;
    // An amount of money is read as every money field reads it ("$5,000",
    // "-$12.50"), to the field's decimals and the largest amount there is.
    const auto readMoney = [&](int decimals) {
        Money money;
        if (!ReadTypedMoney(text, money, decimals)) {
            // An amount past the largest there is still reads as a number,
            // for the field's range to refuse as it says its range.
            QString number = text;
            const qsizetype dollar = number.indexOf(QLatin1Char('$'));
            if (dollar >= 0 && dollar <= 1)
                number.remove(dollar, 1);
            std::int64_t scaled = 0;
            if (!ReadTypedFixed(number, decimals, scaled))
                return false;
            value = scaled;
            return true;
        }
        qint64 divisor = 1;
        for (int d = decimals; d < 4; ++d)
            divisor *= 10;
        value = money.units() / divisor;
        return true;
    };
    switch (m_kind) {
    case Time:
        if (!ReadTypedDuration(text, small))
            refused = ValueKind::Time;
        value = small;
        break;
    case Unsigned:
    case Signed:
        if (m_reading == AsMoney) {
            // Whole amounts (cost breaks in dollars).
            if (!readMoney(0) || value > INT_MAX || value < INT_MIN)
                refused = ValueKind::Whole;
            break;
        }
        if (!ReadTypedWhole(text, small))
            refused = ValueKind::Whole;
        value = small;
        break;
    case FixedPoint: {
        if (m_reading == AsMoney) {
            if (!readMoney(m_decimals))
                refused = ValueKind::Money;
            break;
        }
        // Read in 64 bits: a wide field holds any amount of money, any other
        // one what its range says.
        std::int64_t scaled = 0;
        if (!ReadTypedFixed(text, m_decimals, scaled))
            refused = ValueKind::Money; // a number of m_decimals decimals
        value = scaled;
        break;
    }
    case Date: {
        QDate date;
        if (!text.isEmpty() && !ReadTypedDate(text, platform::Clock::today(), 0, date)) {
            refuse(TypedValueMessage(ValueKind::Date));
            return false;
        }
        m_text = text;
        setText(text);
        return true;
    }
    default:
        m_text = text;
        setText(text);
        return true;
    }
    // A whole number that is never below 0 is a count when it may reach the
    // largest count (or is held to exactly that range): past the largest
    // count the program holds (also past what a number of the field could
    // hold at all) it is refused as every count is, naming the field.
    const bool count = m_min == 0 && (m_kind == Unsigned || m_kind == Signed) && m_reading == AsNumber
        && (m_ranged ? m_max == kLargestCount : m_max > kLargestCount);
    const bool pastAnyCount = TypedQuantityMessage(text) != TypedValueMessage(ValueKind::Quantity);
    if (refused == ValueKind::Whole && pastAnyCount && m_reading == AsNumber) {
        // A whole number too large for any number field is past this one's
        // range too: said as the range, never as no number.
        if (count)
            refuse(TypedQuantityMessage(text));
        else
            refuse(QStringLiteral("Please enter a number from %1 to %2.").arg(FormatNumber(m_min), FormatNumber(m_max)));
        return false;
    }
    if (refused != ValueKind::Text) {
        if (m_kind == FixedPoint && m_reading == AsMoney) {
            refuse(TypedMoneyMessage(text, m_decimals));
        } else if (m_kind == FixedPoint) {
            // A number with more decimals than the field keeps is told so;
            // any other text is no number.
            bool moreDecimals = false;
            std::int64_t scaled = 0;
            for (int decimals = m_decimals + 1; decimals <= 12 && !moreDecimals; ++decimals)
                moreDecimals = ReadTypedFixed(text, decimals, scaled);
            refuse(moreDecimals ? QStringLiteral("Please enter a number with at most %1 decimals.").arg(m_decimals)
                                : QStringLiteral("Please enter a number."));
        } else
            refuse(TypedValueMessage(refused));
        return false;
    }
    if (value < 0 && m_min == 0 && (!m_ranged || count)) {
        refuse(QStringLiteral("Please enter a number of 0 or more."));
        return false;
    }
    if (count && value > kLargestCount) {
        refuse(TypedQuantityMessage(text));
        return false;
    }
    if (m_wide && m_kind == FixedPoint && (value > m_max || value < m_min)) {
        // Past the largest amount: said as every amount field says it.
        const QString name = m_fieldName.isEmpty() ? FieldName(this) : m_fieldName;
        refuse(QStringLiteral("\"%1\" cannot be %2 than %3, the largest amount it holds.")
                   .arg(name, value > m_max ? QStringLiteral("more") : QStringLiteral("less"),
                        FormatFixedPoint(value > m_max ? m_max : m_min, m_decimals, true)),
               false);
        return false;
    }
    if (value > m_max || value < m_min) {
        refuse(QString::fromLatin1(m_kind == Time ? "Please enter a time from %1 to %2."
                                                  : "Please enter a number from %1 to %2.")
                   .arg(FormatNumber(m_min), FormatNumber(m_max)));
        return false;
    }
    SetValue(value, -1);
    return true;
}

void CXEdit::refuse(const QString &message, bool named)
{
    m_refused = true;
    // The old value stays, shown as it was.
    m_text = FormatValue();
    setText(m_text);
    const QString name = m_fieldName.isEmpty() ? FieldName(this) : m_fieldName;
    platform::Prompt::messageBox(named ? FieldMessage(name, message) : message, QString(),
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void CXEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // An empty date field offers today, with the day selected.
    if (m_kind == Date && m_value == 0 && text().trimmed().isEmpty()) {
        const QString today = DateTime::fromDate(platform::Clock::today()).format(QStringLiteral("%m/%d/%y"));
        setText(today);
        m_text = today;
        setSelection(3, 2);
    }
}

void CXEdit::Spin(int scrollCode)
{
    if (scrollCode != SB_LINEUP && scrollCode != SB_LINEDOWN)
        return;
    bool ok = false;
    int current = text().trimmed().toInt(&ok);
    if (!ok)
        current = 0;
    const int next = current + (scrollCode == SB_LINEUP ? 1 : -1);
    if (next < -32766 || next > 32767) {
        platform::Prompt::beep();
        return;
    }
    setText(QString::number(next));
}
