// The questions of a pricing run that is not silent: a missing rate, count or
// time, and the price of an item priced by hand.

#include "estimating/CItemPrice.h"
#include "data/AnswersOutsideLock.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "estimating/PricingEntry.h"
#include "platform/Prompt.h"

namespace {

// The largest price an item takes: the largest amount of the program.
constexpr std::int64_t kLargestItemPrice = kLargestAmountUnits;

} // namespace

bool CItemPrice::AskAmount(qint64 *amount, const QString &what, const QString &help)
{
    PricingEntry entry;
    entry.title = what;
    entry.prompt = QStringLiteral("Please %1 %2").arg(*amount == 0 ? QStringLiteral("enter") : QStringLiteral("verify"), what);
    entry.note = help;
    entry.value = FormatFixedPoint(*amount, 4);
    entry.kind = ValueKind::Whole;
    entry.decimals = 4;
    entry.wide = true;
    // The amount is read in 64 bits: one past what an item's money holds
    // exactly is refused and asked again, never cut to some other figure.
    for (;;) {
        if (!AskPricingEntry(entry))
            return false;
        std::int64_t typed = 0;
        if (ReadTypedFixed(entry.value, 4, typed) && typed >= -kLargestItemPrice && typed <= kLargestItemPrice) {
            *amount = typed;
            return true;
        }
        AnswersOutsideLock::MessageBox(QStringLiteral("\"%1\" cannot be more than %2, the largest amount it holds.")
                                           .arg(what, FormatFixedPoint(kLargestItemPrice, 4, true)),
                                       QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
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
    entry.value = FormatFixedPoint(shownRevised.units(), 4);
    entry.pattern = QString::fromLatin1(kNumberPerThousandPattern);

    // Cancel keeps the figure offered. The price is read in 64 bits; one
    // beyond what the item's price holds exactly is refused and asked again.
    Money chosen = revised;
    while (AskPricingEntry(entry)) {
        QString text = entry.value.trimmed();
        const bool perThousand = text.contains(QLatin1Char('m'), Qt::CaseInsensitive);
        if (perThousand)
            text = text.left(text.indexOf(QLatin1Char('m'), 0, Qt::CaseInsensitive)).trimmed();
        std::int64_t typed = 0;
        const bool read = ParseFixedPoint64(text, 4, typed);
        if (read && typed <= 0)
            break;
        const __int128 units = !perUnit ? __int128(typed) : perThousand ? __int128(typed) * qty / 1000 : __int128(typed) * qty;
        if (!read || units > kLargestItemPrice) {
            AnswersOutsideLock::MessageBox(QStringLiteral("\"Item Price\" cannot be more than %1, the largest amount "
                                                          "it holds.")
                                               .arg(FormatFixedPoint(kLargestItemPrice, 4, true)),
                                           QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            continue;
        }
        chosen = Money::fromUnits(std::int64_t(units));
        break;
    }
    SpreadItemPrice(chosen);
}
