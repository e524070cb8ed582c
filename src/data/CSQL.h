#pragma once

#include <QtCore/QString>

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
    CSQL();
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
};
