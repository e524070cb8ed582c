#include "data/TableReport.h"

#include "app/base/HtmlText.h"
#include "app/base/TextUtil.h"
#include "data/CCusSet.h"
#include "data/SharedDatabase.h"
#include "app/base/WaitCursor.h"
#include "platform/db/Database.h"

namespace {

HtmlPageViewer &viewer()
{
    static HtmlPageViewer v;
    return v;
}

} // namespace

void SetHtmlPageViewer(HtmlPageViewer v)
{
    viewer() = std::move(v);
}

QString ReportTablesAndIndexes(platform::Database *database, bool remove, const std::function<void()> &look)
{
    const WaitCursor wait;
    QString page;
    HtmlBegin(page);
    AddHtmlHeading(page, database->name().toHtmlEscaped(), QString());
    page += QStringLiteral("<br><table class='blue'>");
    // The table's name and its count keep to one line; the lists of names
    // take the rest of the width and wrap between their entries.
    const QString oneLine = QStringLiteral(" style='white-space: nowrap'");
    page += QStringLiteral("<tr><th%5>%1</th><th%5>%2</th><th>%3</th><th>%4</th></tr>")
                .arg(QStringLiteral("Table"), QStringLiteral("Indexes"), QStringLiteral("Index Names"),
                     QStringLiteral("Note"), oneLine);

    int tables = 0;
    int indexes = 0;
    for (const QString &table : database->tableNames()) {
        // The engine's own tables are neither listed nor touched.
        if (table.startsWith(QLatin1String("MSys")))
            continue;
        const platform::TableDef def = database->tableDef(table);
        ++tables;
        QString names;
        QString note;
        for (qsizetype j = def.indexes.size() - 1; j >= 0; --j) {
            const platform::IndexDef &index = def.indexes[j];
            ++indexes;
            const QString name = index.name.toHtmlEscaped();
            // An index named after its first field is listed by that name;
            // any other (a compound index named after its fields among them)
            // as its first field with its name, and noted.
            if (index.name == index.field) {
                AppendText(names, name, QStringLiteral(", "));
            } else {
                const QString entry = QStringLiteral("%1 (%2)").arg(index.field.toHtmlEscaped(), name);
                AppendText(names, entry, QStringLiteral(", "));
                if (index.name != QLatin1String("PrimaryKey"))
                    AppendText(note, entry, QStringLiteral(", "));
            }
            if (remove) {
                database->deleteIndex(def.name, index.name);
                AppendText(note, QStringLiteral("Deleted ") + name, QStringLiteral(", "));
                if (look)
                    look();
            }
        }
        page += QStringLiteral("<tr><td%1>%2</td><td%1>%3</td><td>%4&nbsp;</td><td>%5&nbsp;</td></tr>")
                    .arg(oneLine, def.name.toHtmlEscaped())
                    .arg(def.indexes.size())
                    .arg(names, note);
    }
    page += QStringLiteral("<tr><th%1>%2 Tables</th><th%1>%3 Indexes</th><th> &nbsp;</th><th></th></tr>")
                .arg(oneLine)
                .arg(tables)
                .arg(indexes);
    page += QStringLiteral("</table>");
    HtmlEnd(page);
    if (!remove && viewer())
        viewer()(page);
    return page;
}

QString GetCustomerText(qint32 cusNo)
{
    CCusSet customers;
    QString name;
    return customers.GetCustomerName(name, cusNo);
}
