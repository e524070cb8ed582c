#pragma once

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The statement of the item finder: the items of one job list across jobs,
// narrowed by customer, a date range on one job date, CSR, product type,
// service, description and note, in one of three orders. User texts are
// quoted; dates are written as #m/d/yyyy#.
struct ItemFinderFilter
{
    int jobType = 3;
    qint32 cusNo = 0;
    QString dateField = QStringLiteral("DateShipped");
    int dateRange = 0; // 0 any, 1 before, 2 after, 3 between
    QDate date1;
    QDate date2;
    int csrNo = -1;       // -1 any
    int productType = -1; // -1 any
    qint32 serNo = 0;     // 0 any
    QString description;
    QString note;
};

// The list buttons.
constexpr int kListByProduct = 1701;
constexpr int kListByDescription = 1702;
constexpr int kListByJobNumber = 1703;

// The whole SELECT for a list button; its key column is Items.ItemID.
QString ItemFinderSql(const ItemFinderFilter &filter, int button);
// Only the conditions, " WHERE ..." (for a count against the same FROM part).
QString ItemFinderWhere(const ItemFinderFilter &filter);
QString ItemFinderFrom(const ItemFinderFilter &filter);
// How the list fits its columns for a button (1, 0 or 6).
int ItemFinderFitMode(int button);

// The customer picker's condition for a typed text: the number when the first
// nine characters are letters and digits and read as a number, else the names
// that begin with the text taken literally.
QString ItemFinderCustomerCondition(const QString &typed);
// A typed text as a "like" pattern matched literally (* ? # [ bracketed),
// with the given wildcards around it, quoted.
QString LiteralLikePattern(const QString &text, bool starAfter, bool starBefore);
