#include "exchange/weborders/OrderNumbers.h"

#include "app/base/QuantityText.h"

#include "app/base/TypedValue.h"

#include <QtCore/QRegularExpression>

#include <climits>

namespace {

// The value's first word, trimmed; false when what follows it is no word:
// it goes on with the number ("1 000", "12 .50") or makes it a sum, a
// product or a range ("2 * 500", "500 - 1000", "500 / 2") whose value is no
// count written here.
bool firstWord(QStringView text, QStringView &word)
{
    text = text.trimmed();
    qsizetype end = 0;
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    const QStringView rest = text.mid(end).trimmed();
    if (!rest.isEmpty() && !rest.at(0).isLetter())
        return false;
    word = text.left(end);
    return true;
}

// Digits, parted into groups of three by commas when there is any comma
// ("1,000", not "1,00" or "1000,000"); the digits alone go to `digits`.
bool groupedDigits(QStringView text, QString &digits)
{
    digits.clear();
    const bool grouped = text.contains(u',');
    qsizetype run = 0; // digits since the last comma
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u',') {
            if (run == 0 || (i > run && run != 3) || (i == run && run > 3))
                return false;
            run = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        ++run;
        digits += c;
    }
    return !text.isEmpty() && (!grouped || run == 3);
}

} // namespace

bool ReadOrderCount(QStringView text, int &count)
{
    count = 0;
    QStringView word;
    if (!firstWord(text, word))
        return false;
    if (word.isEmpty())
        return true;
    QString digits;
    if (!groupedDigits(word, digits))
        return false;
    qint64 value = 0;
    for (const QChar c : digits) {
        value = value * 10 + (c.unicode() - u'0');
        if (value > kLargestCount)
            return false;
    }
    count = int(value);
    return true;
}

bool ReadOrderQuantity(QStringView text, int &quantity, int &originals)
{
    quantity = 0;
    originals = 0;
    qsizetype x = 0;
    while (x < text.size() && text.at(x) != u'x' && text.at(x) != u'X')
        ++x;
    if (x == text.size()) {
        if (!ReadOrderCount(text, quantity))
            return false;
        return quantity > 0 || text.trimmed().isEmpty();
    }
    // One "x" only: "2 x 500 x 3" is no quantity.
    const QStringView rest = text.mid(x + 1);
    if (rest.contains(u'x') || rest.contains(u'X'))
        return false;
    int a = 0;
    int b = 0;
    if (!ReadOrderCount(text.left(x), a) || !ReadOrderCount(rest, b))
        return false;
    quantity = qMax(a, b);
    originals = qMin(a, b);
    // Copies times originals: a side of 0 orders nothing ("2 x 0").
    return originals > 0;
}

bool ReadOrderAmount(QStringView text, Money &amount, QString *why)
{
    amount = Money();
    QStringView word;
    if (!firstWord(text, word) || word.isEmpty())
        return false;
    if (word.startsWith(u'$'))
        word = word.mid(1);
    const qsizetype point = word.indexOf(u'.');
    const QStringView whole = point < 0 ? word : word.left(point);
    const QStringView fraction = point < 0 ? QStringView() : word.mid(point + 1);
    QString digits;
    if (!whole.isEmpty() && !groupedDigits(whole, digits))
        return false;
    if (point >= 0) {
        if (fraction.isEmpty())
            return false;
        for (const QChar c : fraction) {
            if (c < u'0' || c > u'9')
                return false;
        }
        digits += QLatin1Char('.');
        digits += fraction;
    }
    if (digits.isEmpty())
        return false;
    const QString typed = digits.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + digits : digits;
    if (!ReadTypedMoney(typed, amount, 2)) {
        amount = Money();
        if (why)
            *why = TypedMoneyMessage(typed, 2);
        return false;
    }
    return true;
}

bool ReadOrderDueDate(QStringView text, const QDate &today, QDate &due)
{
    int days = 0;
    if (!ReadOrderCount(text, days) || text.trimmed().isEmpty())
        return false;
    due = today.addDays(days);
    return due.isValid() && due <= QDate(9999, 12, 31);
}

bool ReadOrderTime(QStringView text, int longest, QString &time)
{
    time = text.trimmed().toString();
    if (time.size() > longest)
        return false;
    if (time.isEmpty() || time.at(0).isLetter())
        return true;
    static const QRegularExpression written(
        QStringLiteral("^(\\d{1,2})(?::(\\d{2})(?::(\\d{2}))?)?\\s*(am|pm|a\\.m\\.|p\\.m\\.)?(?:\\s+\\p{L}.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch m = written.match(time);
    if (!m.hasMatch())
        return false;
    const int hour = m.captured(1).toInt();
    const bool halfDay = m.capturedLength(4) > 0;
    if (halfDay ? hour < 1 || hour > 12 : hour > 23)
        return false;
    return m.captured(2).toInt() <= 59 && m.captured(3).toInt() <= 59;
}
