#include "reports/ReportSqlFragments.h"

#include "app/base/TextUtil.h"

ReportSqlFragments::ReportSqlFragments(const QString &thisPeriod, const QString &lastPeriod)
    : ThisPeriod(thisPeriod), LastPeriod(lastPeriod)
{
    // A condition without "between " or " and" leaves the dates empty; the
    // statements that compare with them are then refused by the engine.
    FromDate = GetTextBetween(ThisPeriod, QStringLiteral("between "), QStringLiteral(" and"));
    ToDate = GetTextBetween(ThisPeriod + QStringLiteral("E"), QStringLiteral("and"), QStringLiteral("E"));
    NonZeroSubtotal = QStringLiteral("(Jobs.Subtotal not between -0.0001 and 0.0001) ");
    NonZeroNetSale = QStringLiteral("((Jobs.Subtotal+Jobs.Discount) not between -0.0001 and 0.0001) ");
    NonZeroPrice = QStringLiteral("(Items.Price not between -0.0001 and 0.0001) ");
    CostSum = QStringLiteral("Sum(IIF(")
    + QStringLiteral("(Items.Cost not between -0.0001 and 0.0001) ")
    + QStringLiteral(", Items.Cost,  0)) AS [Cost/$}c]");
    PriceSum = QStringLiteral("Sum(IIF(")
    + NonZeroPrice
    + QStringLiteral(", Items.Price, 0)) AS [Price/$]");
    // An item's net sale is its price plus its share of the job's discount,
    // Price * Discount / Subtotal; a job whose subtotal is 0 gives no share
    // (never a Null, which would drop the item's whole price from the sum).
    NetSalesTwoPeriods = QStringLiteral("CCur(Sum(IIf((PostingDate")
    + ThisPeriod
    + QStringLiteral(") , Items.Price * (1+IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)), 0))) AS [Net Sales/This "
                   "Period}p], CCur(Sum(IIf((PostingDate")
    + LastPeriod
    + QStringLiteral(") , Items.Price * (1+IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)), 0))) AS [Net Sales/Last "
                   "Period}c], ");
    SalesTwoPeriods = QStringLiteral("Sum(IIf((PostingDate")
    + ThisPeriod
    + QStringLiteral("), Jobs.Subtotal+Jobs.Discount, 0)) AS [This Period/Sales}p], Sum(IIf((PostingDate")
    + LastPeriod
    + QStringLiteral("), Jobs.Subtotal+Jobs.Discount, 0)) AS [Last Period/Sales}c], ");
    WhereThisPeriod = QStringLiteral("WHERE (PostingDate")
    + ThisPeriod
    + QStringLiteral(") ");
    WhereEitherPeriod = QStringLiteral("WHERE ((PostingDate")
    + ThisPeriod
    + QStringLiteral(") or (PostingDate")
    + LastPeriod
    + QStringLiteral(")) and ");
    WhereEitherPeriodServices = WhereEitherPeriod
    + QStringLiteral("Items.SerNo > 0 and ")
    + NonZeroPrice
    + QStringLiteral(" ");
    OrderByThisPeriodSales = QStringLiteral("ORDER BY Sum(IIf((PostingDate")
    + ThisPeriod
    + QStringLiteral("), Jobs.Subtotal+Jobs.Discount, 0)) DESC");
    ServiceName = QStringLiteral("Services.Name & ' ' & Services.Size ");
}
