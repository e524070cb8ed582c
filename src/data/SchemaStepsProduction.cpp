#include "data/SchemaStepsProduction.h"

#include "app/base/SqlText.h"
#include "data/SchemaOperations.h"
#include "data/ShopSchema.h"
#include "data/TableRows.h"
#include "data/UpgradeContext.h"
#include "data/UpgradeUtilities.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

namespace {

using platform::FieldType;
using platform::Value;

QString s(const char *text) { return QString::fromUtf8(text); }

bool hasPassword(UpgradeContext &u, int no)
{
    return HasRowWithKey(u.db(), s("Passwords"), s("No"), Value(no));
}

} // namespace

bool UpgradePellPasswordRows(UpgradeContext &u)
{
    return u.runStep(s("Passwords"), s("Add rows"), [&] {
        platform::Recordset rows(u.db());
        rows.open(platform::Recordset::Type::Snapshot, s("Select [No], Password FROM Passwords WHERE [NO] MOD 10 > 4"));
        int count = 0;
        for (; !rows.isEOF(); rows.moveNext())
            ++count;
        rows.close();
        if (count >= 10)
            return;
        const char *actions[] = {"Add/Edit ", "Delete ", "Edit Cost-", "Print List-"};
        const char *kinds[] = {"PellOrders", "PellQuotes"};
        for (int i = 0; i < 8; ++i) {
            const int no = 10 * (i / 2) + (i % 2) + 25;
            // A row of that number already there is kept as it is.
            if (!hasPassword(u, no))
                u.insert(s("Passwords"),
                         QStringLiteral("%1, %2, 0").arg(no).arg(QuoteText(s(actions[i / 2]) + s(kinds[i % 2]))));
        }
    });
}

bool UpgradeHistoryPasswordName(UpgradeContext &u)
{
    return u.runStep(s("Passwords"), s("Rename"), [&] {
        u.setRowFields(s("SELECT Password FROM Passwords WHERE Passwords.[No] = 24"), Value(s("Add History Jobs")));
    });
}

bool UpgradeCompareSalesQuery(UpgradeContext &u)
{
    return u.runStep(s("Compare Sales"), s("Create"), [&] {
        for (const ShopSchema::SavedQuery &query : ShopSchema::savedQueries()) {
            if (query.name == QLatin1String("Compare Sales") && !DbQueryExists(&u.db(), query.name))
                u.db().createQuery(query.name, query.sql);
        }
    });
}

bool UpgradeProductionDepts(UpgradeContext &u)
{
    return u.runStep(s("ProductionDepts"), s("Version 2008"), [&] {
        if (!u.tableExists(s("ProductionDepts"))) {
            u.createTable(s("ProductionDepts"));
            return;
        }
        if (u.hasField(s("ProductionDepts"), s("IconNo")))
            return;
        // The department's group number became its icon.
        u.addField(s("IconNo"), FieldType::Long);
        u.update(s("ProductionDepts"), s("IconNo = [Group]"));
        u.deleteField(s("Group"));
    });
}

bool UpgradeProductionTags(UpgradeContext &u)
{
    return u.runStep(s("ProductionTags"), s("Version 2008"), [&] {
        if (!u.tableExists(s("ProductionTags"))) {
            u.createTable(s("ProductionTags"));
            return;
        }
        if (u.hasField(s("ProductionTags"), s("Type")))
            return;
        u.addField(s("Type"), FieldType::Byte);
        u.insert(s("ProductionTags"), s("51, 'Approved', 1, 1, 1"));
        u.insert(s("ProductionTags"), s("52, 'Waiting',  2, 2, 1"));
        u.insert(s("ProductionTags"), s("53, 'Important',3, 3, 1"));
    });
}

bool UpgradePasswordRows(UpgradeContext &u)
{
    return u.runStep(s("Passwords"), s("Add rows"), [&] {
        if (u.rowExists(s("SELECT * FROM Passwords WHERE [NO] = 9")))
            return;
        for (int no = 6; no <= 79; ++no) {
            if (!hasPassword(u, no))
                u.insert(s("Passwords"), QStringLiteral("%1, '', 0").arg(no));
        }
        const struct { int no; const char *name; } names[] = {
            {9, "Goto Home Section"},     {10, "Goto Jobs"},         {16, "Goto Scheduler"},
            {17, "Goto RaroVirider"},     {23, "Add/Edit Templates"}, {33, "Delete Templates"},
            {43, "Edit Cost-Template"},   {53, "Print List-Templates"}, {64, "View/Edit Commission"},
            {72, "Backup Database"},      {73, "Export Data"},
        };
        for (const auto &n : names)
            u.update(s("Passwords"), s("Password = ") + QuoteText(s(n.name)), QStringLiteral("[No] = %1").arg(n.no));
    });
}

bool UpgradeOptionRows(UpgradeContext &u)
{
    return u.runStep(s("Options"), s("Add rows"), [&] {
        for (int key = 44321; key <= 44325; ++key)
            DbCopyRowToKey(s("Options"), s("OptionID"), 44310, Value(key));
        u.update(s("Options"), s("OptionSum = 0"), QStringLiteral("OptionID = %1 or OptionID = %2").arg(44310).arg(44311));
        u.update(s("Options"), s("OptionSum = 1"), QStringLiteral("OptionID Between %1 and %2").arg(44312).arg(44314));
    });
}

bool UpgradeQuickNotes(UpgradeContext &u)
{
    return u.runStep(s("QuickNotes"), s("Add categories"), [&] {
        // The notes' numbers stop being unique below.
        DbDeleteIndex(s("QuickNotes"), s("No"));
        if (u.hasField(s("QuickNotes"), s("QCatNo")))
            return;
        u.addField(s("QCatNo"), FieldType::Long);
        u.addField(s("Sort"), FieldType::Byte, 0, 0, 2);
        u.update(s("QuickNotes"),
                 s("Sort = [No], QCatNo = IIF(Type=0,1, IIF(Type=3,202, IIF(Type=4,402, IIF(Type=5,502, "
                   "IIF(Type=6,602, 0)))))"));
        u.update(s("QuickNotes"),
                 QStringLiteral("[No] = 0, Type = IIF(Type=1, %1, IIF(Type=2, %2, IIF(Type=7, %3, %4)))")
                     .arg(3)
                     .arg(4)
                     .arg(0)
                     .arg(5));
        if (!u.tableExists(s("PaperSizes")))
            return;
        // Every paper size becomes a quick note; its name is the shop's own
        // text and goes into the statement quoted.
        QStringList rows;
        {
            platform::Recordset sizes(u.db());
            sizes.open(platform::Recordset::Type::Snapshot, s("SELECT * FROM PaperSizes ORDER BY Type, [No]"));
            for (; !sizes.isEOF(); sizes.moveNext()) {
                const QString name = sizes.value(1).isNull() ? QString() : sizes.value(1).toString();
                rows.append(QStringLiteral("0, %1, %2, %3, 0")
                                .arg(QuoteText(name))
                                .arg(sizes.value(0).toInt64())
                                .arg(sizes.value(2).toInt64()));
            }
        }
        for (const QString &values : rows)
            u.insert(s("QuickNotes"), values);
        DbDeleteTable(&u.db(), s("PaperSizes"));
    });
}

bool UpgradeTodos(UpgradeContext &u)
{
    return u.runStep(s("Todos"), s("Create"), [&] {
        if (u.tableExists(s("Todos")))
            return;
        u.createTable(s("Todos"));
        DbDeleteTable(&u.db(), s("Notes"));
    });
}

void DeleteRetiredQueries(UpgradeContext &u)
{
    for (const char *name : {"Adress List-Bill To", "Adress List-Ship To", "Contact List-Buyers",
                             "Contact List-Payers", "All Contacts"})
        DbDeleteQuery(&u.db(), s(name));
}
