#pragma once

#include "production/schedule/ScheduleRow.h"

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class CZqApp;
class ScheduleLookups;

// One column of a schedule list: heading, width in pixels and field type
// (a DAO field type number: 4 long, 8 date, 10 text).
struct ScheduleColumn
{
    QString title;
    int width = 0;
    int type = 10;
};

// What a list builder produced: its columns, rows and captions.
struct ScheduleTable
{
    QList<ScheduleColumn> columns;
    QList<ScheduleRow> rows;
    QString sql;
    // Item status tracker: the schedule status each status column (from
    // column 7 on) stands for.
    QList<int> statusColumns;
    QString unitWord;
    QString groupCaption;
    int listedCount = 0; // order or item rows (sum of counts in a summary)
    bool cancelled = false;
    bool expandAll = false;
    int drawMode = 2;
};

// The list builders of the production board: orders, items of orders, the
// rows under an expanded order or item, and the workload summary crosstab.
// Free of widgets: each yields rows of key, cell texts and images that the
// view copies into its list control.
class ScheduleLists
{
public:
    // Columns of the order, item and service lists.
    enum Column {
        ColGroup = 0, ColExpand = 1, ColOrder = 2, ColJobId = 3, ColCustomer = 4, ColStatus = 5, ColTitle = 6,
        ColBlank = 7, ColDate = 8, ColOperator = 9, ColTag = 10, ColPriority = 11, ColTime = 12, ColQuantity = 13,
        ColNote = 14, ColNote2 = 15, ColumnCount = 16
    };
    // Images that mark row kinds.
    enum Image { Collapsed = 221, Expanded = 222, PreviewRow = 339, ExpandedHead = 336, CustomerHead = 149 };

    // Progress: called with rows done and total; false stops the reading.
    using Progress = std::function<bool(int done, int total)>;

    explicit ScheduleLists(CZqApp *app) : m_app(app) {}

    int options = 0;      // list-option bits of "Scheduler"/"List First"
    QString filter;       // extra condition ("Jobs.JobID = 12")
    // Asked only for lists of more than 1000 rows; on a shop with more than
    // 1000 services in its open orders also once (0 of 0) before the query
    // of a services list runs, and now and then while that query sorts its
    // rows (0 of -1), where false ends the list before any row.
    Progress progress;
    // A long services list (one that asks the progress) shows its rows as
    // they are made: told once the first screen's rows are made, then after
    // each further part of the query's rows, with the table as it stands.
    // The rows told stay as they are, except the time sums of the headings
    // and date rows, which the finished table carries. Unset, the list is
    // read whole first.
    using RowsMade = std::function<void(const ScheduleTable &table)>;
    RowsMade rowsMade;

    // The statement of the orders list entry (2..13) and its group caption.
    QString OrdersSql(int entry, QString &groupCaption) const;
    // The statement of an items list command (31201-31220, 32101-32104).
    QString ItemsSql(int command, QString &groupCaption, QString &unitWord) const;
    // The workload crosstab of summary entry 1..7, to do or done.
    static QString CrosstabSql(int entry, bool done);

    ScheduleTable ListOrders(int entry) const;
    ScheduleTable ListItems(int command) const;
    ScheduleTable ListCrosstab(int entry, bool done) const;
    // The services of one tree entry of list kinds 2-7 (31301-31899).
    QString ServicesSql(int command, QString &groupCaption) const;
    ScheduleTable ListServices(int command) const;

    // Rows inserted under an expanded order (its items and services) or item
    // (its services); listKind is the view's list kind (0 orders, 1 items).
    QList<ScheduleRow> ExpandOrder(qint64 jobId, int listKind) const;
    QList<ScheduleRow> ExpandItem(qint64 itemId, int listKind) const;

    // The order of the crosstab's date buckets: ' Late' or ' Today' first,
    // the dated buckets by date (a "mm/dd" bucket is the next such day from
    // yesterday on), 'Later' or 'Earlier' last.
    static QStringList OrderBuckets(const QStringList &buckets, const QDate &today);

    static QString SortText(int options);
    // The status columns of the item status tracker: statuses 0-4, one
    // column per service department (department number + 4), and 17.
    QList<int> TrackerStatuses() const;
    // Puts empty status cells after column 6 of a row of the tracker.
    static void WidenRow(ScheduleRow &row, int statusColumns);
    // Draws an item's status cells in the tracker: its own status's icon,
    // and the departments it has services in (done before its status,
    // plain after).
    void PaintTrackerCells(ScheduleRow &row, const QList<int> &statuses, int itemStatus) const;
    static const QString &CustomerExpression();

private:
    static QList<ScheduleColumn> ListColumns(const QString &orderCaption, const QString &titleCaption,
                                             const QString &thirdCaption);
    ScheduleRow DateGroupRow(const QDate &date, bool first, QList<ScheduleRow> &rows) const;
    void AddDateGroup(const QDate &date, QList<ScheduleRow> &rows) const;
    void ShowCodeCells(ScheduleRow &row, int empNo, int tag, int priority) const;
    // The same from lookups kept for a whole list (the application's present).
    static void ShowCodeCells(ScheduleRow &row, int empNo, int tag, int priority, ScheduleLookups &lookups);
    ScheduleRow ServiceRow(qint64 itemId, int serNo, int status, int days, const QDate &dateIn, int empNo, int tag,
                           int priority, int minutes, int quantity, const QString &note, int listKind) const;

    CZqApp *m_app;
};

// The day number a service is drawn on, counted from its order's date in
// (day 1): the day of its date (Days2) when it has one; a service still to
// do and never given a date (a new one: Days2 0) is to be done on the day
// its Status names (1-254). 0 when it has no day at all.
int ServiceDay(int status, int days2);
// The same day as a date in SQL over the Items and Jobs tables (the order's
// date in plus the day less one); Null when the service has no day. Every
// list that shows or chooses by a service's date uses it, so that a service
// never given a date shows on the one day everywhere.
QString ServiceDateSql();

// The date of a list cell: "%m/%d/%Y".
QString ScheduleDateText(const QDate &date);
// The application's date icon: before today 128, today 129, weekdays 130-136
// within the week ahead, farther 137.
int ScheduleDateIcon(const QDate &date, const QDate &today);
