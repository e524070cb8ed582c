#pragma once

#include <QtCore/QString>

class CXDaoSet;

// The customer column of the job, receivables, printed and production lists.
// Customer 31 is the walk-in customer: its jobs show "* " and the ship-to
// company in place of a customer name.
inline const QString CustomerName = QStringLiteral(
    "IIf(Customers.CusNo = 31, IIf(Jobs.ShiptoNo = 0, '* ', '* ' + ShipTo.Company), Customers.Name)");
inline const QString CustomerColumn = CustomerName + QStringLiteral(" AS [Customer]");

// The pieces of one Jet SELECT or crosstab statement, joined in a fixed order,
// and what the list control needs to show its result: the key column that
// names a row, the column to sort on and whether that sort is descending.
//
// Every piece but m_strOrderBy, m_strConditions and m_strDateCondition carries
// its own leading blank and keyword, so pieces concatenate directly; an empty
// piece adds nothing. Canned builders fill the pieces (through the setters or
// by assigning them), then one of the two joins makes m_strSQL. A builder that
// sets m_strSQL itself has made the whole statement, and no join touches it.
class CSQL
{
public:
    // View command ids that name the canned lists of a view; any other id
    // lists job items.
    enum ListView : int {
        JobsView = 30001,
        ServicesView = 30002,
        CustomersView = 30003,
        ReceivablesView = 30004,
        ReportsView = 30005,
    };

    CSQL();
    // The statement of a list on screen: the view's canned list named by
    // branch and item, narrowed by the caller's filter (a condition without
    // keyword) and sorted by its sort text when given. The option is the
    // view's list option (jobs: only the default CSR's jobs; services: hide
    // discontinued services; customers: hide hidden customers). allColumns
    // selects every column of a list that is neither grouped nor a crosstab.
    CSQL(int viewId, int branch, int item, const QString &filter, const QString &sort, int option,
         bool allColumns);
    // The statement of a printed list: the list on screen keeps its filter
    // and order, and the printed list's code chooses the columns. kind is
    // "Jobs" (jobs view) or "Ar" (receivables view); any other kind prints
    // the list's own statement. value 1 adds costs and prices where the list
    // offers them.
    CSQL(CXDaoSet &listSet, const QString &kind, int printList, int value);
    ~CSQL();

    void Reset();

    // Piece setters; each replaces its piece.
    void SetSelect(QString list);
    void SetFrom(QString tables);
    void SetGroupBy(QString list);
    void SetTransform(QString expression);
    void SetHaving(QString text, int number);

    // Adds a condition to the WHERE clause itself.
    void AddWhere(QString condition);
    // Adds text + number (as a plain decimal) to the conditions that the join
    // moves into the WHERE clause; an empty text adds nothing.
    void AddCondition(QString text, int number);
    // The one date condition on a field: a comparison with today plus the
    // days (codes 0..5) or a date range (codes 6 and above).
    void SetDateCondition(QString field, int dateCode, int days);
    // Adds a sort list to the order.
    void AddOrderBy(QString sortList);
    // Appends a blank and the piece to the statement; an empty piece adds nothing.
    void AppendPart(QString piece);

    // Fixed conditions: paid in full (the balance is at most the no-charge
    // marker), not paid, and posted history jobs.
    void AddPaidCondition();
    void AddUnpaidCondition();
    void AddHistoryCondition();
    // The job tables with their customer, buyer, ship-to and posting rows.
    void SetFromJobTables();
    // The job and item tables with services, categories, customers, contacts,
    // ship-to, posting, sales rep and shipper.
    void SetFromJobItemTables();

    // Joins a list on screen: conditions, date condition and the caller's
    // filter go into one WHERE clause; the caller's sort replaces the builder's
    // order (but not in TOP-n lists); with allColumns a list that is neither
    // grouped nor a crosstab selects every column. No select list: no statement.
    void JoinForList(const QString &filter, const QString &sort, bool allColumns);
    // Joins a printed list from pieces its builder has completed: conditions
    // are not merged here, and the order sets no descending flag.
    void JoinForPrint();

    // The printouts of one posting: 101 its invoices, 102 its quick sales,
    // 103 its payments, 104 its payments by group, 105 and above the "Sales
    // by" reports (item = code - 104) restricted to the posting.
    void BuildPostingSQL(int code, int postingNo);

    // The production lists of the schedule (codes 101 to 111). dateChoice
    // holds the date bits: 1 today, 2 tomorrow, 4 today and tomorrow, 8 the
    // next 7 days, 16 the next 14 days (the first set bit of these wins), 32
    // also late services, 64 the service date as the first, grouping column.
    // weekly is set for the weekly schedule; bit128 receives dateChoice & 128;
    // title and note receive the list's title and explanation where it has
    // them. m_strSQL is the whole statement; an unknown code leaves it empty.
    void BuildProductionListSQL(int code, int dateChoice, bool &weekly, int &bit128, QString &title,
                                QString &note);

    // The statement of one discrepancy check (entries 1 to 7) over the jobs
    // of a type; empty for any other entry.
    static QString DiscrepancySQL(int jobType, int entry);

    QString m_strSQL;
    QString m_strKey;
    QString m_strOrderBy;
    QString m_strWhere;
    QString m_strSelect;
    QString m_strFrom;
    QString m_strConditions;
    QString m_strDateCondition;
    QString m_strGroupBy;
    QString m_strHaving;
    QString m_strTransform;
    QString m_strPivot;
    int m_nSortColumn = 0;
    bool m_bDescending = false;

private:
    // The canned builders fill the pieces; the constructors join them.
    void BuildJobList(int jobType, int item);
    void RunDiscrepancyCheck(int jobType);
    void BuildServiceList(int branch, int item);
    void BuildItemList(int jobType);
    void BuildCustomerList(int branch, int item, const QString &filter, int option);
    void BuildReceivablesList(int branch, int item);
    void BuildReportList(int branch, int item, const QString &filter);
    void BuildJobPrintList(int code, int value);
    void BuildReceivablesPrintList(int code, int value);
};
