#pragma once

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringList>

// The widget-free half of the find dialog: which comparisons a field's type
// offers, the dates a date row stands for, and the one Jet SQL condition a
// choice of field, comparison and values makes. Every text value goes into
// the condition through QuoteText; numbers go in as typed once stray
// characters are cut; dates always as #m/d/yyyy#, which Jet reads the same on
// every workstation.

// The string lists of the comparisons.
constexpr int kFindTextOperators = 40920;
constexpr int kFindNumberOperators = 40921;
constexpr int kFindDateOperators = 40922;

// The comparison list of a field type (5 currency, 8 date, 10 and 12 text,
// any other a number) and its type name ("Currency", "Date", "Text",
// "Number").
int FindOperatorList(int fieldType, QString *typeName = nullptr);
// The rows of a comparison list, in order.
QStringList FindOperatorRows(int listId);
// The row a list opens on: for text the first row beginning with "contain"
// (the "if contains" setting on) or "starts with", for numbers and dates "=".
int DefaultFindOperator(int listId, bool ifContains);

// A typed number cut to its leading run of ".-0123456789", and before a
// second "." ("12a.5.3" gives "12", "1.5.3" gives "1.5").
QString CleanFindNumber(const QString &typed);

// The dates a date row stands for, from today: rows 6-23 the shared date
// ranges, 24-35 the months of this year, 36-47 the twelve months from the
// first of month row - 35. False for the rows that compare with the first
// picker alone (0-5) or take both pickers as they stand (48).
bool FindDateRowRange(int row, const QDate &today, QDate &from, QDate &to);

// A Jet date literal: #m/d/yyyy#.
QString FindDateLiteral(const QDate &date);

// One choice of the dialog.
struct FindChoice
{
    QString column;        // the column expression
    int type = 10;         // the field's type code
    int operatorRow = -1;  // the comparison's row in its list
    QString operatorLabel; // the comparison's text
    QString value1;
    QString value2;
    QDate date1;
    QDate date2;
};

// "(column comparison)", or "" when the choice is not complete (no field or
// comparison, an empty value, "between" with one value missing, a number
// without a digit).
QString BuildFindCondition(const FindChoice &choice);

// True when the text is one Jet expression and nothing else, so that it can
// stand as a list's filter; otherwise false with the reason in `error`.
bool IsSingleFindExpression(const QString &text, QString &error);
