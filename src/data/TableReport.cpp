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

QString ReportTablesAndIndexes(platform::Database *database, bool remove)
{
    const WaitCursor wait;
    QString page;
    HtmlBegin(page);
    AddHtmlHeading(page, database->name().toHtmlEscaped(), QString());
    page += QStringLiteral("<br><table class='blue'>");
    page += QStringLiteral("<tr><th width=40>%1</th><th width=20>%2</th><th>%3</th><th>%4</th></tr>")
                .arg(QStringLiteral("Table"), QStringLiteral("Indexes"), QStringLiteral("Index Names"),
                     QStringLiteral("Note"));

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
            if (index.name == index.fields().join(QString())) {
                AppendText(names, name, QStringLiteral(", "));
            } else {
                const QString entry = QStringLiteral("%1 (%2)").arg(index.fields().join(QStringLiteral(", ")).toHtmlEscaped(), name);
                AppendText(names, entry, QStringLiteral(", "));
                if (index.name != QLatin1String("PrimaryKey"))
                    AppendText(note, entry, QStringLiteral(", "));
            }
            if (remove) {
                database->deleteIndex(def.name, index.name);
                AppendText(note, QStringLiteral("Deleted ") + name, QStringLiteral(", "));
            }
        }
        page += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3&nbsp;</td><td>%4&nbsp;</td></tr>")
                    .arg(def.name.toHtmlEscaped())
                    .arg(def.indexes.size())
                    .arg(names, note);
    }
    page += QStringLiteral("<tr><th>%1 Tables</th><th>%2 Indexes</th><th>%3&nbsp;</th><th></th></tr>")
                .arg(tables)
                .arg(indexes)
                .arg(QStringLiteral(" "));
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
