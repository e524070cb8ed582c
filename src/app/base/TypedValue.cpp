#include "app/base/TypedValue.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "platform/Prompt.h"

#include <QtCore/QPointer>

#include <QtCore/QRegularExpression>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// A decimal number read whole: its digits (no leading zeros) and how many of
// them are decimals, so that the value is digits x 10^-scale exactly.
struct Decimal
{
    bool negative = false;
    QString digits;
    int scale = 0;
};

// Digits whose integer part may be grouped by "," in threes ("1,000",
// "12,345,678"), one optional ".", then optionally an exponent "e3". A sign
// may lead; with `dollar` a "$" may stand after the sign or before it.
bool readDecimal(const QString &input, bool dollar, Decimal &out)
{
    QString t = input.trimmed();
    if (t.isEmpty())
        return false;
    qsizetype i = 0;
    const auto takeDollar = [&] {
        if (dollar && i < t.size() && t.at(i) == QLatin1Char('$'))
            ++i;
    };
    takeDollar();
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        out.negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    takeDollar();
    QString whole;
    int group = -1; // digits since the last ",", -1 before any ","
    bool anyDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (isDigit(c)) {
            whole += c;
            anyDigit = true;
            if (group >= 0 && ++group > 3)
                return false;
        } else if (c == QLatin1Char(',')) {
            // A "," stands after one to three digits, then between groups of three.
            if (whole.isEmpty() || (group < 0 ? whole.size() > 3 : group != 3))
                return false;
            group = 0;
        } else {
            break;
        }
    }
    if (group >= 0 && group != 3)
        return false;
    QString fraction;
    if (i < t.size() && t.at(i) == QLatin1Char('.')) {
        for (++i; i < t.size() && isDigit(t.at(i)); ++i) {
            fraction += t.at(i);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return false;
    long long exponent = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
            negativeExponent = t.at(i) == QLatin1Char('-');
            ++i;
        }
        bool any = false;
        for (; i < t.size() && isDigit(t.at(i)); ++i) {
            exponent = exponent * 10 + t.at(i).digitValue();
            if (exponent > 100)
                return false;
            any = true;
        }
        if (!any)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != t.size())
        return false;
    QString digits = whole + fraction;
    long long scale = fraction.size() - exponent;
    // Trailing zeros of the decimals say nothing: 12.50 is 12.5.
    while (scale > 0 && digits.endsWith(QLatin1Char('0'))) {
        digits.chop(1);
        --scale;
    }
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.isEmpty() || digits == QLatin1String("0")) {
        digits = QStringLiteral("0");
        scale = 0;
        out.negative = false;
    }
    if (scale < -30 || scale > 30)
        return false;
    out.digits = digits;
    out.scale = int(scale);
    return true;
}

// The decimal as a count of 10^-decimals; false when it has more decimals
// or does not fit 64 bits.
bool scaledValue(const Decimal &d, int decimals, std::int64_t &out)
{
    if (d.scale > decimals)
        return false;
    QString digits = d.digits;
    for (int k = d.scale; k < decimals; ++k)
        digits += QLatin1Char('0');
    // Leading zeros carry nothing. Eighteen digits at most: the amount and a
    // sum of a few such amounts stay inside 64 bits.
    qsizetype lead = 0;
    while (lead + 1 < digits.size() && digits.at(lead) == QLatin1Char('0'))
        ++lead;
    digits.remove(0, lead);
    if (digits.size() > 18)
        return false;
    bool ok = false;
    const long long v = digits.toLongLong(&ok);
    if (!ok)
        return false;
    out = d.negative ? -v : v;
    return true;
}

QString stripLabel(QString text)
{
    text.remove(QLatin1Char('&'));
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

} // namespace

bool ReadTypedWhole(const QString &text, std::int32_t &out)
{
    Decimal d;
    std::int64_t v = 0;
    if (!readDecimal(text, false, d) || !scaledValue(d, 0, v) || v > INT_MAX || v < INT_MIN)
        return false;
    out = std::int32_t(v);
    return true;
}

bool ReadTypedQuantity(const QString &text, std::int32_t &out)
{
    std::int32_t v = 0;
    if (!ReadTypedWhole(text, v) || v < 0 || v > kLargestCount)
        return false;
    out = v;
    return true;
}

QString TypedQuantityMessage(const QString &text)
{
    // A whole number past the largest count is told the range; anything
    // else is no quantity.
    Decimal d;
    std::int64_t v = 0;
    if (readDecimal(text.trimmed(), false, d) && !d.negative && d.scale <= 0
        && (!scaledValue(d, 0, v) || v > kLargestCount))
        return QStringLiteral("Please enter a quantity from 0 to %1.").arg(FormatFixedPoint(kLargestCount, 0, true));
    return TypedValueMessage(ValueKind::Quantity);
}

bool ReadTypedFixed(const QString &text, int decimals, std::int64_t &scaled)
{
    Decimal d;
    return readDecimal(text, false, d) && scaledValue(d, decimals, scaled);
}

bool ReadTypedMoney(const QString &text, Money &out, int decimals)
{
    Decimal d;
    std::int64_t units = 0;
    if (!readDecimal(text, true, d) || d.scale > std::clamp(decimals, 0, 4) || !scaledValue(d, 4, units)
        || units > kLargestAmountUnits || units < -kLargestAmountUnits)
        return false;
    out = Money::fromUnits(units);
    return true;
}

QString TypedMoneyMessage(const QString &text, int decimals)
{
    Decimal d;
    if (readDecimal(text, true, d)) {
        if (d.scale > decimals)
            return QStringLiteral("Please enter an amount with at most %1 decimals.").arg(decimals);
        std::int64_t units = 0;
        if (!scaledValue(d, 4, units) || units > kLargestAmountUnits || units < -kLargestAmountUnits)
            return QStringLiteral("Please enter an amount from -%1 to %1.")
                .arg(FormatFixedPoint(LargestAmount(decimals), decimals, true));
    }
    return TypedValueMessage(ValueKind::Money);
}

bool ReadTypedDuration(const QString &text, std::int32_t &minutes)
{
    const QString t = text.trimmed();
    static const QRegularExpression hm(QStringLiteral("^(\\d{1,6}|\\d{1,3}(?:,\\d{3})+)?[:.](\\d{2})$"));
    const QRegularExpressionMatch m = hm.match(t);
    if (m.hasMatch()) {
        QString hoursText = m.captured(1);
        hoursText.remove(QLatin1Char(','));
        const long long hours = hoursText.isEmpty() ? 0 : hoursText.toLongLong();
        const int mins = m.captured(2).toInt();
        if (mins >= 60 || hours * 60 + mins > INT_MAX)
            return false;
        minutes = std::int32_t(hours * 60 + mins);
        return true;
    }
    std::int32_t hours = 0;
    if (!ReadTypedQuantity(t, hours) || static_cast<long long>(hours) * 60 > INT_MAX)
        return false;
    minutes = hours * 60;
    return true;
}

bool ReadTypedTimeOfDay(const QString &text, std::int32_t &minutes)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("noon"), Qt::CaseInsensitive) == 0) {
        minutes = 12 * 60;
        return true;
    }
    if (t.compare(QLatin1String("midnight"), Qt::CaseInsensitive) == 0) {
        minutes = 0;
        return true;
    }
    static const QRegularExpression time(
        QStringLiteral("^(\\d{1,2})(?:[:.](\\d{2}))?\\s*(?:([ap])\\.?\\s*m\\.?|(noon|midnight))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = time.match(t);
    if (!m.hasMatch())
        return false;
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    const QString half = m.captured(3).toLower();
    if (minute > 59)
        return false;
    if (!m.captured(4).isEmpty()) {
        // "12 noon", "12:00 midnight"
        if (hour != 12 || minute != 0)
            return false;
        minutes = m.captured(4).compare(QLatin1String("noon"), Qt::CaseInsensitive) == 0 ? 12 * 60 : 0;
        return true;
    }
    if (half.isEmpty()) {
        // A bare number is no time of day; hours run 0 to 23.
        if (m.captured(2).isEmpty() || hour > 23)
            return false;
    } else {
        if (hour < 1 || hour > 12)
            return false;
        if (half == QLatin1String("a") && hour == 12)
            hour = 0;
        else if (half == QLatin1String("p") && hour < 12)
            hour += 12;
    }
    minutes = hour * 60 + minute;
    return true;
}

bool ReadTypedRate(const QString &text, double minimum, double maximum, double &out)
{
    QString t = text.trimmed();
    if (t.endsWith(QLatin1Char('%')))
        t.chop(1);
    Decimal d;
    std::int64_t scaled = 0;
    if (!readDecimal(t, false, d) || !scaledValue(d, 6, scaled))
        return false;
    const double value = double(scaled) / 1e6;
    if (value < minimum || value > maximum)
        return false;
    out = value;
    return true;
}

bool ReadTypedDate(const QString &text, const QDate &current, int section, QDate &out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    static const QRegularExpression parts(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})(?:[/.-](\\d{2}|\\d{4}))?$"));
    int month = 0, day = 0, year = 0;
    const auto yearOf = [](const QString &y) { return y.size() == 2 ? 2000 + y.toInt() : y.toInt(); };
    if (const QRegularExpressionMatch m = parts.match(t); m.hasMatch()) {
        month = m.captured(1).toInt();
        day = m.captured(2).toInt();
        if (m.captured(3).isEmpty()) {
            if (!current.isValid())
                return false;
            year = current.year();
        } else {
            year = yearOf(m.captured(3));
        }
    } else {
        static const QRegularExpression digits(QStringLiteral("^\\d+$"));
        if (!digits.match(t).hasMatch())
            return false;
        if (t.size() == 8 || t.size() == 6) {
            month = t.left(2).toInt();
            day = t.mid(2, 2).toInt();
            year = yearOf(t.mid(4));
        } else if (current.isValid() && (t.size() <= 2 || (t.size() == 4 && section == 2))) {
            month = current.month();
            day = current.day();
            year = current.year();
            const int n = t.toInt();
            if (section == 0)
                month = n;
            else if (section == 1)
                day = n;
            else
                year = t.size() == 4 ? n : 2000 + n;
        } else {
            return false;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1601 || year > 9999)
        return false;
    out = date;
    return true;
}

QString FieldName(const QWidget *field)
{
    if (!field)
        return QString();
    // A combo box's or spin box's own line edit is named as its box.
    const QWidget *named = field;
    if (auto *parent = field->parentWidget();
        parent && (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent)))
        named = parent;
    const QWidget *window = named->window();
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (const QLabel *label : labels)
        if (label->buddy() == named && !stripLabel(label->text()).isEmpty())
            return stripLabel(label->text());
    const QString own = named->property("fieldName").toString();
    if (!own.isEmpty())
        return own;
    // The label on the field's row, nearest to its left; else the one just above it.
    const QWidget *container = named->parentWidget();
    const QRect r = named->geometry();
    const QLabel *best = nullptr;
    int bestDistance = INT_MAX;
    const QLabel *above = nullptr;
    int aboveDistance = INT_MAX;
    for (const QLabel *label : labels) {
        if (label->parentWidget() != container || label->isHidden() || stripLabel(label->text()).isEmpty()
            || !label->pixmap().isNull())
            continue;
        const QRect l = label->geometry();
        const int middle = l.center().y();
        if (middle >= r.top() && middle <= r.bottom() && l.right() <= r.left() + 4) {
            const int distance = r.left() - l.right();
            if (distance < bestDistance) {
                bestDistance = distance;
                best = label;
            }
        } else if (l.bottom() <= r.top() + 4 && r.top() - l.bottom() < 30 && l.left() < r.right()
                   && l.right() > r.left()) {
            const int distance = r.top() - l.bottom();
            if (distance < aboveDistance) {
                aboveDistance = distance;
                above = label;
            }
        }
    }
    if (best && bestDistance < 200)
        return stripLabel(best->text());
    if (above)
        return stripLabel(above->text());
    if (!named->accessibleName().isEmpty())
        return named->accessibleName();
    return stripLabel(named->toolTip());
}

QString FieldMessage(const QString &fieldName, const QString &message)
{
    return fieldName.isEmpty() ? message : fieldName + QStringLiteral(": ") + message;
}

void RefuseTyped(QWidget *field, const QString &message, const QString &fieldName)
{
    const QString name = fieldName.isEmpty() ? FieldName(field) : fieldName;
    platform::Prompt::messageBox(FieldMessage(name, message), QString(),
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
    if (!field)
        return;
    field->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        spin->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

QString TextLengthMessage(int size)
{
    return QStringLiteral("Please enter at most %1 characters.").arg(size);
}

QString TypedValueMessage(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Date: return QStringLiteral("Please enter a date as month/day/year.");
    case ValueKind::Time: return QStringLiteral("Please enter a time as hours:minutes.");
    case ValueKind::TimeOfDay: return QStringLiteral("Please enter a time of day, such as 2:30 pm or 14:30.");
    case ValueKind::Whole: return QStringLiteral("Please enter an integer.");
    case ValueKind::Quantity: return QStringLiteral("Please enter a quantity.");
    case ValueKind::Money: return QStringLiteral("Please enter a currency.");
    case ValueKind::Rate: return QStringLiteral("Please enter a rate.");
    case ValueKind::Text: break;
    }
    return QString();
}

bool CanonicalTypedText(ValueKind kind, const QString &text, QString &shown, double minimum, double maximum)
{
    const QString t = text.trimmed();
    if (t.isEmpty() && kind != ValueKind::TimeOfDay && kind != ValueKind::Date) {
        shown = QString();
        return true;
    }
    std::int32_t n = 0;
    switch (kind) {
    case ValueKind::Money: {
        // A money field holds cents: more decimals are refused, not rounded.
        Money m;
        if (!ReadTypedMoney(t, m, 2))
            return false;
        shown = FormatCurrency(m, 2);
        return true;
    }
    case ValueKind::Whole:
        if (!ReadTypedWhole(t, n))
            return false;
        shown = QString::number(n);
        return true;
    case ValueKind::Quantity:
        if (!ReadTypedQuantity(t, n))
            return false;
        shown = QString::number(n);
        return true;
    case ValueKind::Time:
        if (!ReadTypedDuration(t, n))
            return false;
        shown = MinutesToText(n);
        return true;
    case ValueKind::TimeOfDay:
        // Words ("ASAP", "Noon") are notes; what begins with a digit must be a time.
        if (t.isEmpty() || !isDigit(t.at(0))) {
            shown = text;
            return true;
        }
        if (!ReadTypedTimeOfDay(t, n))
            return false;
        shown = t;
        return true;
    case ValueKind::Rate: {
        double rate = 0;
        if (!ReadTypedRate(t, minimum, maximum, rate))
            return false;
        shown = t;
        if (shown.endsWith(QLatin1Char('%')))
            shown = shown.chopped(1).trimmed();
        return true;
    }
    case ValueKind::Date: {
        QDate d;
        if (!ReadTypedDate(t, QDate::currentDate(), 0, d))
            return false;
        shown = t;
        return true;
    }
    case ValueKind::Text: break;
    }
    shown = text;
    return true;
}

void AttachTypedReading(QLineEdit *edit, ValueKind kind, double minimum, double maximum)
{
    if (!edit || edit->property("valueKind").toInt() == int(kind))
        return;
    edit->setProperty("valueKind", int(kind));
    edit->setProperty("lastValueText", edit->text());
    // What the program shows is the last value; what the user types (and
    // what a completer puts in while the user types) is read when it ends.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit] { edit->setProperty("typedSince", true); });
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
        if (!edit->property("typedSince").toBool())
            edit->setProperty("lastValueText", text);
    });
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, kind, minimum, maximum] {
        if (edit->property("readingTyped").toBool() || !edit->property("typedSince").toBool())
            return;
        edit->setProperty("typedSince", false);
        const QString last = edit->property("lastValueText").toString();
        // The dialog's own reading may have refused this very text already.
        if (edit->text() == last || edit->text() == edit->property("refusedText").toString())
            return;
        QString shown;
        if (CanonicalTypedText(kind, edit->text(), shown, minimum, maximum)) {
            // What is shown now is the value a later refusal puts back, also
            // when the text typed was already in its own form (setting the
            // same text again tells nobody).
            edit->setText(shown);
            edit->setProperty("lastValueText", shown);
            return;
        }
        QPointer<QLineEdit> guard(edit);
        const QString typed = edit->text();
        edit->setProperty("readingTyped", true);
        edit->setText(last);
        QString message = TypedValueMessage(kind);
        if (kind == ValueKind::Money)
            message = TypedMoneyMessage(typed);
        if (kind == ValueKind::Quantity)
            message = TypedQuantityMessage(typed);
        if (kind == ValueKind::Rate)
            message = QStringLiteral("Please enter a rate from %1 to %2.").arg(minimum).arg(maximum);
        RefuseTyped(edit, message);
        if (guard)
            guard->setProperty("readingTyped", false);
    });
}

bool AcceptTypedQuantities(const QList<QLineEdit *> &edits)
{
    for (QLineEdit *edit : edits) {
        const QString text = edit->text().trimmed();
        std::int32_t value = 0;
        if (!text.isEmpty() && !ReadTypedQuantity(text, value)) {
            edit->setText(ValueShownBeforeTyping(edit));
            RefuseTyped(edit, TypedQuantityMessage(text));
            return false;
        }
    }
    return true;
}

QString ValueShownBeforeTyping(const QLineEdit *edit)
{
    if (!edit)
        return QString();
    const QVariant last = edit->property("lastValueText");
    return last.isValid() ? last.toString() : edit->text();
}
