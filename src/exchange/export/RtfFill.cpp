#include "exchange/export/RtfFill.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/TypedValue.h"

QList<int> OrderMoreQuantities(const QString &note, int chargeQty)
{
    QList<int> quantities;
    if (chargeQty < 1)
        return quantities;
    const int open = note.indexOf(QLatin1Char('{'));
    const int close = note.indexOf(QLatin1Char('}'));
    if (open < 0 || close <= open + 1)
        return quantities;
    QString inner = note.mid(open + 1, close - open - 1);
    inner.replace(QLatin1Char(','), QLatin1Char(' '));
    const QStringList words = inner.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        if (quantities.size() >= 10)
            break;
        // The number the word starts with ("2000pcs" is 2000), read whole as
        // every count is (never its first 8 digits); past the largest count
        // it is no offer.
        int end = 0;
        while (end < word.size() && word.at(end).isDigit())
            ++end;
        std::int32_t q = 0;
        if (end > 0 && ReadTypedQuantity(word.left(end), q) && q > chargeQty)
            quantities.append(q);
    }
    return quantities;
}

QString OrderMoreText(const QString &note, int chargeQty, Money price,
                      const std::function<std::optional<Money>(int)> &priceAt)
{
    const QList<int> quantities = OrderMoreQuantities(note, chargeQty);
    if (quantities.isEmpty())
        return QString();
    // Rates per thousand, in the money's own units.
    const Money baseRate = price * 1000 / chargeQty;
    QString text;
    for (int q : quantities) {
        if (q < 1)
            break;
        const std::optional<Money> p = priceAt(q);
        if (!p)
            break;
        const Money rate = *p * 1000 / q;
        const Money saving = baseRate - rate;
        const QString savingText = saving > Money::zero() ? FormatMoney(saving) + QStringLiteral("/M") : QString();
        text += QStringLiteral("Order %1 and Save %2 Unit Price: %3 Total Price %4 \\line ")
                    .arg(q)
                    .arg(savingText, FormatRate(*p, q, 2, 2, true), FormatMoney(*p));
    }
    if (text.endsWith(QLatin1String("\\line ")))
        text.chop(6);
    return text;
}

QString RtfFieldKey(const QString &name)
{
    QString key = name.toUpper();
    while (key.endsWith(QLatin1Char(' ')))
        key.chop(1);
    return key;
}

QString FillRtfFields(const QString &templateText, const std::function<std::optional<QString>(const QString &)> &value,
                      bool &sawFooter)
{
    sawFooter = false;
    QString out;
    out.reserve(templateText.size() + 256);
    int at = 0;
    while (at < templateText.size()) {
        const int open = templateText.indexOf(QLatin1Char('<'), at);
        if (open < 0) {
            out += QStringView(templateText).mid(at);
            break;
        }
        out += QStringView(templateText).mid(at, open - at);
        const int close = templateText.indexOf(QLatin1Char('>'), open + 1);
        if (close < 0) {
            out += QStringView(templateText).mid(open);
            break;
        }
        const QString name = templateText.mid(open + 1, close - open - 1);
        if (RtfFieldKey(name) == QLatin1String("MYFOOTER"))
            sawFooter = true;
        const std::optional<QString> v = value(name);
        if (v)
            out += *v;
        else
            out += QStringView(templateText).mid(open, close - open + 1);
        at = close + 1;
    }
    return out;
}
