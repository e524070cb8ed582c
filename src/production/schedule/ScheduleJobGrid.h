#pragma once

#include "controls/CXTable.h"
#include "production/schedule/AutoSchedule.h"

#include <QtCore/QDate>
#include <QtCore/QString>

#include <array>
#include <vector>

// The day grid of one order: a row per item and, under it, a row per service
// of the item, fifteen day columns with each service's icon on its day, the
// order's date in, proof and due dates marked on the item rows, and a column
// either side for days before and after the ones shown. Built from the
// database into an in-memory table that the scheduling window draws; no
// widgets here, so the same grid is printed by the command-line tool.
class ScheduleJobGrid
{
public:
    enum Column {
        ColStatus = 0,
        ColDescription = 1,
        ColDate = 2,
        ColBefore = 3,
        ColFirstDay = 4,
        ColLastDay = 18,
        ColAfter = 19,
        ColOperator = 20,
        ColTag = 21,
        ColPriority = 22,
        ColNote = 23,
        ColActualTime = 24,
        ColActualQuantity = 25,
        ColHideStatus = 26,
        ColHideDays = 27,
        ColHideItemStatus = 28,
        ColHideSerNo = 29,
        ColHideCatNo = 30,
        ColKey = 31,
        ColumnCount = 32,
    };
    // Icons of the order's dates on an item row.
    static constexpr int kProofMark = 143;
    static constexpr int kDateInMark = 146;
    static constexpr int kDueMark = 155;

    // The grid's statement for the order.
    static QString Sql(qint32 jobId);
    // A day column's header, from fixed English names whatever the locale:
    // " M/5", "Th/8", "Su/11".
    static QString DayHeader(const QDate &date);
    static QString MonthName(const QDate &date);

    void SetOrder(qint32 jobId, const QDate &dateIn, const QDate &dateProof, const QDate &dateDue);
    // Moves the first day column by scroll days and builds the grid again
    // from the database (0 rebuilds where it is).
    void Fill(int scroll, const QDate &today);
    // Draws a service row from its hidden cells; returns its day column.
    int ShowServiceRow(int row);
    void ShowItemStatus(int row, int status);
    // Operator (20), tag (21) or priority (22) of a row; code 255 keeps the
    // row's present code.
    void ShowCodeCell(int row, int column, int code);

    bool IsItemRow(int row) const;
    bool IsServiceRow(int row) const;
    // The row of an Items row's key; -1 when none.
    int FindRowOfKey(qint32 itemId) const;
    // The nearest item row at or above the row; -1 when none.
    int FindItemRow(int row) const;
    // The column of a date: 4 for the first day, clamped to 3..19.
    int DateColumn(const QDate &date) const;
    // The rows as automatic scheduling reads them.
    QList<AutoScheduleRow> AutoRows() const;
    // What automatic scheduling needs of this order: its dates, the rows,
    // the departments of their categories and the shop's closed days.
    AutoScheduleInput AutoInput(const QDate &today) const;
    int Code(int row, int column) const;

    CXTable &table() { return m_table; }
    const CXTable &table() const { return m_table; }
    int scrollOffset() const { return m_nScroll; }
    void setScrollOffset(int offset) { m_nScroll = offset; }
    QDate firstDay() const { return m_firstDay; }
    QDate dateIn() const { return m_dateIn; }
    QDate dateDue() const { return m_dateDue; }
    QString lateNote() const { return m_strLateNote; }
    int lateCount() const { return m_nLate; }

private:
    CXTable m_table;
    qint32 m_jobId = 0;
    QDate m_dateIn;
    QDate m_dateProof;
    QDate m_dateDue;
    QDate m_today;
    int m_nScroll = 0;
    QDate m_firstDay;
    QString m_strLateNote;
    int m_nLate = 0;
    // Operator, tag and priority of each row, as the cells show names.
    std::vector<std::array<int, 3>> m_codes;
};
