// The questions of a pricing run that is not silent: a missing rate, count or
// time, and the price of an item priced by hand.

#include "estimating/CItemPrice.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "estimating/PricingEntry.h"

bool CItemPrice::AskAmount(qint32 *amount, const QString &what, const QString &help)
{
    PricingEntry entry;
    entry.title = what;
    entry.prompt = QStringLiteral("Please %1 %2").arg(*amount == 0 ? QStringLiteral("enter") : QStringLiteral("verify"), what);
    entry.note = help;
    entry.value = QString::asprintf("%.4f", *amount / 10000.0);
    entry.kind = ValueKind::Whole;
    entry.decimals = 4;
    if (!AskPricingEntry(entry))
        return false;
    std::int64_t scaled = 0;
    ReadTypedFixed(entry.value, 4, scaled);
    *amount = qint32(scaled);
    return true;
}

bool CItemPrice::AskCount(qint32 *value, bool time)
{
    PricingEntry entry;
    entry.title = m_pSer ? m_pSer->m_Label : QString();
    if (entry.title.isEmpty() && m_pSer)
        entry.title = m_pSer->m_Name;
    entry.prompt = time ? QStringLiteral("How long?") : QStringLiteral("How many?");
    if (time) {
        entry.note = QStringLiteral("Type as HR:MN");
        FormatMinutes(*value, entry.value);
    } else if (*value != 0) {
        entry.value = QString::number(*value);
    } else {
        entry.value = m_pSer && m_pSer->m_Unit == 2 ? QStringLiteral("1000") : QStringLiteral("1");
    }
    entry.kind = time ? ValueKind::Time : ValueKind::Quantity;
    if (!AskPricingEntry(entry))
        return false;
    std::int32_t read = 0;
    if (time)
        ReadTypedDuration(entry.value, read);
    else
        ReadTypedQuantity(entry.value, read);
    *value = read;
    return true;
}

void CItemPrice::AskItemPrice(Money revised)
{
    const bool perUnit = m_nPriceLevel == 5;
    const qint64 qty = m_nItemQty > 0 ? m_nItemQty : 1;
    Money shownNew = m_NewPrice;
    Money shownLast = m_LastPrice;
    Money shownRevised = revised;
    PricingEntry entry;
    QString explain;
    if (perUnit) {
        shownNew = shownNew / qty;
        shownLast = shownLast / qty;
        shownRevised = shownRevised / qty;
        entry.title = QStringLiteral("Unit Price");
        entry.prompt = QStringLiteral("Enter the price per each of ") + QString::number(qty)
                       + QStringLiteral(".\n   (to enter price per 1000, type m after the price)");
    } else {
        entry.title = QStringLiteral("Item Price");
        entry.prompt = QStringLiteral("Enter the Item Price you want to charge and click OK");
    }
    explain = QStringLiteral("• Default Price \t= %1\n• Last Price was \t= %2").arg(FormatMoney(shownNew), FormatMoney(shownLast));
    if (revised != m_LastPrice)
        explain += QStringLiteral("\n• Revised Price \t= ") + FormatMoney(shownRevised)
                   + QStringLiteral(" (Last Price ± Changes in Service Specs/Properties)");
    if (perUnit)
        explain += QStringLiteral("\n• Item Price \t= Unit Price x ") + QString::number(qty);
    explain += QStringLiteral("\nCharge %1").arg(FormatMoney(shownRevised));
    entry.note = explain;
    entry.value = QString::asprintf("%.4f", shownRevised.units() / 10000.0);
    entry.pattern = QString::fromLatin1(kNumberPerThousandPattern);

    // Cancel keeps the figure offered.
    Money chosen = revised;
    if (AskPricingEntry(entry)) {
        QString text = entry.value.trimmed();
        const bool perThousand = text.contains(QLatin1Char('m'), Qt::CaseInsensitive);
        if (perThousand)
            text = text.left(text.indexOf(QLatin1Char('m'), 0, Qt::CaseInsensitive)).trimmed();
        const qint64 typed = ParseFixedPointValue(text, 4);
        if (typed > 0) {
            if (perUnit)
                chosen = Money::fromUnits(perThousand ? typed * qty / 1000 : typed * qty);
            else
                chosen = Money::fromUnits(typed);
        }
    }
    SpreadItemPrice(chosen);
}
