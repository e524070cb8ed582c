#pragma once

#include "platform/Value.h"
#include "platform/db/TableDef.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

// The shop database's current layout, in one place: every table with its
// fields in their order, types and text sizes, the AutoNumber keys, the fixed
// indexes, the saved queries and the version stamp. A new database
// is built from it; the key check and the upgrade compare files against it.
class ShopSchema
{
public:
    struct Field
    {
        QString name;
        platform::FieldType type = platform::FieldType::Text;
        int size = 0;            // characters for Text; 0 for Memo; bytes for the rest
        bool autoNumber = false; // a Long counter
    };

    // An index the program makes: on one field, or on several in order (a
    // list's filter and sort), named after its fields. A primary index is
    // unique, required and on one field; the others are plain.
    struct Index
    {
        QString table;
        QString field;          // the (first) field
        bool primary = true;
        QStringList nextFields = {}; // the fields after the first

        QString name() const;   // the fields' names run together: "JobTypeJobNo"
        QStringList fields() const { return QStringList(field) + nextFields; }
        platform::IndexDef indexDef() const;
    };

    struct Table
    {
        QString name;
        QList<Field> fields;
        QList<Index> indexes; // the indexes a new table of this name gets

        int fieldIndex(const QString &field) const; // case-insensitive; -1 when absent
        const Field *field(const QString &field) const;
        QStringList fieldNames() const;
        // The engine's description: fields with their ordinals, and indexes.
        platform::TableDef tableDef() const;
    };

    struct SavedQuery
    {
        QString name;
        QString sql;
    };

    // Every table of a current database, in creation order.
    static const QList<Table> &tables();
    // The table of that name (case-insensitive); nullptr for a name the
    // current layout does not have.
    static const Table *table(const QString &name);
    static QStringList tableNames();

    // The fixed key and index list that the key check restores, in its order.
    // It names one table ("Notes") that current files no longer have; the
    // check skips missing tables.
    static const QList<Index> &keyIndexes();

    // Saved queries a current database holds.
    static const QList<SavedQuery> &savedQueries();

    // The program's schema version: the text stored in the version row and
    // its two numbers.
    static QString versionText(); // "2010.0"
    static int versionMajor();    // 10
    static int versionMinor();    // 0
    // The version row: CustomerAlerts with CusNo 0 and this AlertType.
    static constexpr int kVersionAlertType = 99;

    // Bytes a number or date field takes (the size the engine reports).
    static int byteSize(platform::FieldType type);
};
