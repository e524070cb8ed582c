#include "customers/CCusSummary.h"

#include "app/base/MoneyText.h"
#include "data/CCusSet.h"
#include "platform/Clock.h"
#include "views/CDlgGrid.h"

namespace {
const QStringList kTitles{QStringLiteral("Ranking"), QStringLiteral("Orders"), QStringLiteral("Payments"),
                          QStringLiteral("Aging"), QStringLiteral("Credit")};
constexpr int kFellScheme = 360;
} // namespace

CCusSummary::CCusSummary(QWidget *parent) : CSummaryBase(601, 5, kTitles, parent)
{
    m_nCaptionStyle = 14;
}

void CCusSummary::Fill()
{
    CCusSet customer;
    QString name;
    customer.GetCustomerName(name, m_nCusNo);
    setWindowTitle(QStringLiteral("Summary - ") + name);
    const QDate today = platform::Clock::today();

    // Ranking among all customers, this year and the four before.
    CXListCtrl &ranking = panelList(0);
    ranking.ClearList(false);
    ranking.AddColumn(QStringLiteral("Year"), 50, 10, true, 0);
    ranking.AddColumn(QStringLiteral("Rank"), 50, 10, false, 1);
    ranking.AddColumn(QStringLiteral("Net Sale"), 70, 5, false, 1);
    m_ranking = CustomerRanking(m_nCusNo, today.year());
    for (int i = 0; i < m_ranking.size(); ++i) {
        const RankingYear &y = m_ranking[i];
        const int row = ranking.InsertRow(i, QString::number(y.year), y.year);
        ranking.SetItemText(row, 1, y.rankText());
        ranking.SetItemText(row, 2, FormatMoney(y.netSale));
    }
    ranking.SetAutoSizeMode(CXListCtrl::kFitSpread, true);
    if (RankingFell(m_ranking))
        panel(0).SetColorScheme(kFellScheme);

    CXListCtrl &orders = panelList(1);
    orders.FillFromSql(CustomerOrdersSql(m_nCusNo));
    panel(1).SetText(QStringLiteral("Orders (last %1)").arg(orders.GetItemCount()));
    CXListCtrl &payments = panelList(2);
    payments.FillFromSql(CustomerPaymentsSql(m_nCusNo));
    panel(2).SetText(QStringLiteral("Payments (last %1)").arg(payments.GetItemCount()));
    panelList(3).FillFromSql(CustomerAgingSql(m_nCusNo));

    m_credit = FillCreditInfo(m_nCusNo, &panelList(4));
    if (m_credit.overLimit()) {
        panel(4).SetColorScheme(kFellScheme);
        panel(4).SetText(m_credit.availableLabel());
    }

    m_start = MonthlySalesStart(today);
    LoadMonthlySales(CustomerMonthlySalesSql(m_nCusNo, m_start));
}

CreditPosition CCusSummary::FillCreditInfo(qint32 cusNo, CXListCtrl *list, QWidget *parent)
{
    const CreditPosition p = ComputeCreditPosition(cusNo);
    if (list) {
        FillAmountList(*list, 90,
                       {{QStringLiteral("In Progress"), CentsText(p.inProgress)},
                        {QStringLiteral("A/R Current"), CentsText(p.current)},
                        {QStringLiteral("A/R Past Due"), CentsText(p.pastDue)},
                        {QStringLiteral("Less Credit"), CentsText(p.lessCredit)},
                        {QStringLiteral("Total Balance"), CentsText(p.total)},
                        {QString(), QString()},
                        {QStringLiteral("Credit Limit"), CentsText(p.creditLimit)},
                        {p.availableLabel(), CentsText(p.available)}},
                       true);
        return p;
    }
    CDlgGrid grid(420, parent, 0, 210);
    grid.m_strWindowTitle = QStringLiteral("Customer's");
    grid.m_strRibbonTitle = QStringLiteral("Credit Info");
    grid.m_wndGrid.AddColumn(QStringLiteral("Description"), 120, 1, QString(), false);
    grid.m_wndGrid.AddColumn(QStringLiteral("$"), 70, 5, QString(), false);
    const QList<QPair<QString, qint64>> rows{{QStringLiteral("In Progress"), p.inProgress},
                                             {QStringLiteral("A/R Current"), p.current},
                                             {QStringLiteral("A/R Past Due"), p.pastDue},
                                             {QStringLiteral("Less Credit"), p.lessCredit},
                                             {QStringLiteral("Total Balance"), p.total},
                                             {QStringLiteral("Credit Limit"), p.creditLimit},
                                             {p.availableLabel(), p.available}};
    grid.m_wndGrid.SetRows(int(rows.size()), int(rows.size()), false);
    for (int r = 0; r < rows.size(); ++r) {
        grid.m_wndGrid.SetCellText(r, 0, rows[r].first);
        grid.m_wndGrid.SetCellText(r, 1, CentsText(rows[r].second));
    }
    grid.DoModal();
    return p;
}
