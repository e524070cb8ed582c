#pragma once

#include "data/DefaultRows.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {
class Database;
}

// Makes a new shop database file at path: every table of the current layout
// with its fields and indexes, the saved queries, the rows the tables come
// with, the version row and the default rows. An existing file is never
// touched (3204). The file is built under a hidden name beside its place and
// renamed into place when complete, so a build that fails or is killed never
// leaves a half-made database at path (what a killed build left is removed by
// the next one). A failure throws platform::DbException.
void CreateShopDatabase(const QString &path, const ShopAddressTexts &shop = ShopAddressTexts());

// Creates one table of the current layout with its indexes and the rows it
// comes with (3010 when it exists).
void CreateShopTable(platform::Database &db, const QString &table);

// The rows a table gets right after it is created: contact departments,
// properties, production departments and tags, time departments, to-do types
// and service departments. Nothing for other tables.
void AddNewTableRows(platform::Database &db, const QString &table);

// The printed forms every shop starts with: one for every document the print
// dialog offers (job tickets, the order and quote documents, statements), the
// receipt and the list form; a form number that exists is left alone.
void AddDefaultForms(platform::Database &db);

// The fixed rows of the numbered setup tables, as a new file holds them from
// the start: terms 0 (C.O.D.), 1 (Net 30) and 4 (Net 10th of Month), the stock
// vendors 0-5, the markup table's rows 0-19 and the waste table's levels 0-20
// with their captions. A row that exists is left alone.
void AddFixedSetupRows(platform::Database &db);

// The rows of the rights table: the five level rows and the guarded actions
// 6 to 79 with the names of the actions that have one. Existing rows are
// left alone.
void AddPasswordRows(platform::Database &db);

// Writes the version row (CustomerAlerts, CusNo 0, AlertType 99) with the
// current version text and numbers, adding it when missing.
void WriteVersionRow(platform::Database &db);

// The stored version text; empty when the row is missing.
QString ReadVersionText(platform::Database &db);

// The fields of the current layout that the file's tables lack, as
// "Table.Field" (a table the file lacks altogether is not listed).
QStringList MissingShopFields(platform::Database &db);
