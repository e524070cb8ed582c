#include "customers/CCompanySummary.h"

#include "app/base/CZqApp.h"
#include "platform/Clock.h"

namespace {
const QStringList kTitles{QStringLiteral("Reorders Expected"), QStringLiteral("Payments Expected"),
                          QStringLiteral("Payments Received"), QStringLiteral("Total")};
} // namespace

CCompanySummary::CCompanySummary(QWidget *parent) : CSummaryBase(532, 4, kTitles, parent)
{
    m_nCaptionStyle = 15;
    m_bSpreadColumns = false;
}

void CCompanySummary::Fill()
{
    QString shop;
    if (CZqApp *app = ZqApp())
        shop = app->m_company.FormatAddress(0);
    setWindowTitle(QStringLiteral("Summary - ") + shop);
    const QDate today = platform::Clock::today();
    for (int i = 0; i < 3; ++i)
        panelList(i).SetDefaultTextWidth(90);
    panelList(0).FillFromSql(ReordersExpectedSql(today));
    panelList(1).FillFromSql(PaymentsExpectedSql(today));
    panelList(2).FillFromSql(PaymentsReceivedSql());

    m_total = ComputeCompanyPosition();
    FillAmountList(panelList(3), 125, // 100 and the room of the row picture
                   {{QStringLiteral("In Progress"), CentsText(m_total.inProgress)},
                    {QStringLiteral("A/R Current"), CentsText(m_total.current)},
                    {QStringLiteral("A/R Past Due"), CentsText(m_total.pastDue)},
                    {QStringLiteral("Less Credit"), CentsText(m_total.lessCredit)},
                    {QStringLiteral("Total Balance"), CentsText(m_total.total)}},
                   m_bSpreadColumns);

    m_start = MonthlySalesStart(today);
    LoadMonthlySales(CompanyMonthlySalesSql(m_start));
}
