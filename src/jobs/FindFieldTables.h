#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

// The catalogue of search fields of the find dialog: for each kind of record
// a program list shows, the ordered friendly fields of the simple form (the
// label shown, the column expression written into the condition and the DAO
// type code that picks the comparisons), and the tables whose columns the
// advanced form offers. Kinds are compared exactly, case included: "jobs" is
// not "Jobs".
struct FindField
{
    QString label;
    QString column;
    int type = 10; // 2 byte, 4 long, 5 currency, 8 date, 10 text
};

// The simple-form rows of a kind. For "Orders" (the schedule) the list index
// adds the item rows (1 or 10) or the service-line rows (any other but 0) and
// listLabel tells which ("Orders", "Items", "Services"). A kind not listed has
// no rows.
QList<FindField> FindFieldRows(const QString &kind, int listIndex = 0, QString *listLabel = nullptr);

// The field a kind opens on when the caller gave none (-1): "Customer" opens
// on "Job Number"; every other kind keeps the index given.
int PreferredFindField(const QString &kind, int fieldIndex);

// The tables whose columns the advanced form lists, in order; a kind that is
// not listed names its own table.
QStringList FindTablesOfKind(const QString &kind);
