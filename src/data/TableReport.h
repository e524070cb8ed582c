#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

namespace platform {
class Database;
}

// The page of every table of the open database with its indexes: one row per
// table with the number of its indexes, their names (last index first; an
// index not named after its field reads "field (name)") and a note of the
// indexes named otherwise than after their field (other than "PrimaryKey").
// With remove, every index listed is deleted as well (the note then names
// each "Deleted <name>") and nothing is shown; otherwise the page is shown
// in the program's HTML window. Returns the page. Database failures are not
// caught here. The look, when given, is called after each index deleted (a
// large file takes a while over them all).
QString ReportTablesAndIndexes(platform::Database *database, bool remove,
                               const std::function<void()> &look = std::function<void()>());

// Where the page is shown: the application installs its HTML window. With
// none installed the page is only returned.
using HtmlPageViewer = std::function<void(const QString &page)>;
void SetHtmlPageViewer(HtmlPageViewer viewer);

// A customer's name; empty for customer 0 and for a number with no row.
QString GetCustomerText(qint32 cusNo);
