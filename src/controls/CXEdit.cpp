#include "controls/CXEdit.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "controls/ControlMessages.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QKeyEvent>

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

// True when the number the text starts with (as ToInt reads it) is beyond
// a 32-bit integer, where ToInt would give the nearest limit instead.
bool beyondInt(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t.at(i) == QLatin1Char('-');
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        ++i;
    long long value = 0;
    for (; i < t.size() && t.at(i).isDigit(); ++i) {
        value = value * 10 + t.at(i).digitValue();
        if (value > static_cast<long long>(INT_MAX) + 1)
            return true;
    }
    return negative ? -value < INT_MIN : value > INT_MAX;
}

} // namespace

CXEdit::CXEdit(QWidget *parent) : QLineEdit(parent) {}

void CXEdit::SetType(const QString &typeText, int percentKind)
{
    m_kind = Plain;
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
    }
}

void CXEdit::SetWide()
{
    if (m_kind != FixedPoint)
        return;
    m_max = LargestFixedPoint(m_decimals);
    m_min = -m_max;
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

void CXEdit::SetText(const QString &input)
{
    QString text = input;
    TrimText(text);
    m_refused = false;
    qint64 value = 0;
    switch (m_kind) {
    case Time: {
        std::int32_t minutes = 0;
        ParseHoursMinutes(text, minutes);
        value = minutes;
        break;
    }
    case Unsigned:
    case Signed: {
        std::int32_t number = 0;
        ParseFixedPoint(text, number, 0);
        // Beyond what the field holds at all: as out of its range.
        if (beyondInt(text)) {
            m_refused = true;
            platform::Prompt::beep();
            SetValue(0, -1);
            return;
        }
        value = number;
        break;
    }
    case FixedPoint: {
        // Money is read in 64 bits: beyond them is beyond any amount.
        std::int64_t amount = 0;
        if (!ParseFixedPoint64(text, m_decimals, amount)) {
            m_refused = true;
            platform::Prompt::beep();
            SetValue(0, -1);
            return;
        }
        value = amount;
        break;
    }
    default:
        m_text = text;
        setText(text);
        return;
    }
    if (value > m_max || value < m_min) {
        m_refused = true;
        platform::Prompt::beep();
        value = 0;
    }
    SetValue(value, -1);
}

bool CXEdit::acceptsChar(QChar c) const
{
    if (c.unicode() < 32 || c.isDigit())
        return true;
    if (c.isLetter())
        return false;
    if (c == QLatin1Char('-') && m_min < 0)
        return true;
    switch (m_kind) {
    case FixedPoint: return c == QLatin1Char('.');
    case Date: return QStringLiteral("/- .").contains(c);
    case Time: return QStringLiteral(":- .").contains(c);
    default: return false;
    }
}

void CXEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    if (m_kind != Plain && !typed.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        for (QChar c : typed) {
            if (!acceptsChar(c)) {
                platform::Prompt::beep();
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
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
