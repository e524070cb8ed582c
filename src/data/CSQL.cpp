#include "data/CSQL.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/CZqApp.h"
#include "app/base/SqlText.h"

namespace {

// Trims the blank the first piece brings with it (and any other white space).
QString withoutLeadingBlanks(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return text.mid(i);
}

} // namespace

CSQL::CSQL()
{
    Reset();
}

CSQL::CSQL(int viewId, int branch, int item, const QString &filter, const QString &sort, int option,
           bool allColumns)
{
    Reset();

    // A filter on item fields can only be answered by the item list, whatever
    // view asked for it.
    if (filter.contains(QLatin1String("Items.")))
        viewId = 0;

    switch (viewId) {
    case JobsView: {
        BuildJobList(branch, item);
        // Only the default CSR's jobs: never for templates, and not when the
        // user's filter already chooses a CSR.
        const int defaultCsr = ZqApp() ? ZqApp()->m_nDefaultCsr : 0;
        if (option == 1 && branch != 2 && defaultCsr != 0 && !filter.contains(QLatin1String("CSRNo")))
            AddWhere(QStringLiteral("Jobs.CSRNo = ") + FormatInt(defaultCsr, false, false));
        break;
    }
    case ServicesView:
        BuildServiceList(branch, item);
        if (option == 1 && !filter.contains(QLatin1String("SerStatus")))
            AddWhere(QStringLiteral("Services.SerStatus <> ") + FormatInt(2, false, false));
        break;
    case CustomersView:
        BuildCustomerList(branch, item, filter, option);
        break;
    case ReceivablesView:
        BuildReceivablesList(branch, item);
        break;
    case ReportsView:
        BuildReportList(branch, item, filter);
        break;
    default:
        BuildItemList(branch);
        break;
    }

    JoinForList(filter, sort, allColumns);
}

CSQL::~CSQL() = default;

void CSQL::Reset()
{
    m_strSQL.clear();
    m_strKey.clear();
    m_strOrderBy.clear();
    m_strWhere.clear();
    m_strSelect.clear();
    m_strFrom.clear();
    m_strConditions.clear();
    m_strDateCondition.clear();
    m_strGroupBy.clear();
    m_strHaving.clear();
    m_strTransform.clear();
    m_strPivot.clear();
    m_nSortColumn = 0;
    m_bDescending = false;
}

void CSQL::SetSelect(QString list)
{
    m_strSelect = QStringLiteral(" SELECT ") + list;
}

void CSQL::SetFrom(QString tables)
{
    m_strFrom = QStringLiteral(" FROM ") + tables;
}

void CSQL::SetGroupBy(QString list)
{
    m_strGroupBy = QStringLiteral(" GROUP BY ") + list;
}

void CSQL::SetTransform(QString expression)
{
    m_strTransform = QStringLiteral(" TRANSFORM ") + expression;
}

void CSQL::SetHaving(QString text, int number)
{
    m_strHaving = QStringLiteral(" HAVING ") + text + FormatInt(number, false, false);
}

void CSQL::AddWhere(QString condition)
{
    AppendWhere(m_strWhere, condition);
}

void CSQL::AddCondition(QString text, int number)
{
    if (text.isEmpty())
        return;
    if (!m_strConditions.isEmpty())
        m_strConditions += QStringLiteral(" and ");
    m_strConditions += text + FormatInt(number, false, false);
}

void CSQL::SetDateCondition(QString field, int dateCode, int days)
{
    BuildDateCondition(m_strDateCondition, field, dateCode, days);
}

void CSQL::AddOrderBy(QString sortList)
{
    if (sortList.isEmpty())
        return;
    if (!m_strOrderBy.isEmpty())
        m_strOrderBy += QStringLiteral(", ");
    m_strOrderBy += sortList;
}

void CSQL::AppendPart(QString piece)
{
    if (!piece.isEmpty())
        m_strSQL += QLatin1Char(' ') + piece;
}

void CSQL::AddPaidCondition()
{
    // "<= 0.000" followed by 1: at most 0.0001, the no-charge marker.
    AddCondition(QStringLiteral("Jobs.Balance <= 0.000"), 1);
}

void CSQL::AddUnpaidCondition()
{
    AddCondition(QStringLiteral("Jobs.Balance > 0.000"), 1);
}

void CSQL::AddHistoryCondition()
{
    AddCondition(QStringLiteral("Jobs.JobType = "), 3);
}

void CSQL::SetFromJobTables()
{
    SetFrom(QStringLiteral(
        "ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT JOIN (PostingJournal RIGHT JOIN Jobs "
        "ON PostingJournal.PostingNo = Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) "
        "ON Contacts.ContactNo = Jobs.BuyerNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo"));
}

void CSQL::SetFromJobItemTables()
{
    SetFrom(QStringLiteral(
        "ShipBy RIGHT JOIN (Employees RIGHT JOIN (PostingJournal RIGHT JOIN (Customers RIGHT JOIN "
        "(Contacts RIGHT JOIN (ServiceCategories INNER JOIN (ShipTo RIGHT JOIN (Services INNER JOIN "
        "(Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON Services.SerNo = Items.SerNo) "
        "ON ShipTo.ShiptoNo = Jobs.ShiptoNo) ON (ServiceCategories.CatNo = Services.CatNo) AND "
        "(ServiceCategories.CatNo = Services.CatNo)) ON Contacts.ContactNo = Jobs.BuyerNo) "
        "ON Customers.CusNo = Jobs.CusNo) ON PostingJournal.PostingNo = Jobs.PostingNo) "
        "ON Employees.EmpNo = Jobs.SRepNo) ON ShipBy.[No] = Jobs.ViaDue "));
}

void CSQL::JoinForList(const QString &filter, const QString &sort, bool allColumns)
{
    // No select list means no list (a cancelled prompt, say); a statement
    // already set is the whole statement.
    if (m_strSelect.isEmpty() || !m_strSQL.isEmpty())
        return;

    AddWhere(m_strConditions);
    AddWhere(m_strDateCondition);
    AddWhere(filter);

    // The user's sort replaces the builder's order, except where the order
    // decides which rows a TOP-n list takes.
    if (!sort.isEmpty() && !m_strSelect.contains(QLatin1String(" TOP ")))
        m_strOrderBy = sort;

    if (!m_strOrderBy.isEmpty()) {
        if (m_strOrderBy.contains(QLatin1String(" DESC")))
            m_bDescending = true;
        m_strOrderBy = QStringLiteral(" ORDER BY ") + m_strOrderBy;
    }

    if (allColumns && m_strGroupBy.isEmpty() && m_strPivot.isEmpty())
        m_strSelect = QStringLiteral("SELECT * ");

    m_strSQL = withoutLeadingBlanks(m_strTransform + m_strSelect + m_strFrom);
    // ORDER BY stands before PIVOT, as crosstabs require.
    AppendPart(m_strWhere);
    AppendPart(m_strGroupBy);
    AppendPart(m_strHaving);
    AppendPart(m_strOrderBy);
    AppendPart(m_strPivot);
}

void CSQL::JoinForPrint()
{
    if (!m_strOrderBy.isEmpty())
        m_strOrderBy = QStringLiteral(" ORDER BY ") + m_strOrderBy;
    // A crosstab built here (a posting printout of a crosstab report) keeps
    // its TRANSFORM head; without it the PIVOT would end the statement.
    m_strSQL = withoutLeadingBlanks(m_strTransform + m_strSelect + m_strFrom);
    AppendPart(m_strWhere);
    AppendPart(m_strGroupBy);
    AppendPart(m_strOrderBy);
    AppendPart(m_strPivot);
}
