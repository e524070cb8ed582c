#include "data/ShopDatabase.h"

#include "data/ShopSchema.h"
#include "data/TableRows.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

using platform::Value;

QString s(const char *text) { return QString::fromUtf8(text); }

void insertRows(platform::Database &db, const QString &table, const QStringList &fields,
                const QList<QList<Value>> &rows)
{
    for (const QList<Value> &row : rows)
        InsertTableRow(db, table, fields, row);
}

void addContactDepts(platform::Database &db)
{
    const char *names[] = {"", "Accounting", "Administration", "Customer Service", "Management",
                           "Marketing", "Operations", "Purchasing", "Sales"};
    QList<QList<Value>> rows;
    for (int n = 0; n < 9; ++n)
        rows.append({Value(n), Value(s(names[n])), Value(0), Value(n)});
    insertRows(db, s("ContactDepts"), {s("DepNo"), s("Name"), s("Type"), s("Sort")}, rows);
}

// 32 types of eight: type 0 holds the credit reasons, types 1 and 2 the
// customer and contact properties; the last four IDs name the kinds of
// credit the receivables make themselves.
void addProperties(platform::Database &db)
{
    QList<QList<Value>> rows;
    for (int t = 0; t < 32; ++t) {
        for (int k = 1; k <= 8; ++k) {
            const int id = 8 * t + k - 1;
            QString text;
            if (t == 0)
                text = QStringLiteral("Reason %1").arg(k);
            else if (t == 1 || t == 2)
                text = QStringLiteral("Property %1").arg(k);
            else if (id == 252)
                text = s("Applied as Deposit");
            else if (id == 253)
                text = s("A/R Credit Applied");
            else if (id == 254)
                text = s("A/R Over-Payment");
            else if (id == 255)
                text = s("A/R Pre-Payment");
            rows.append({Value(id), Value(text), Value(t)});
        }
    }
    insertRows(db, s("Properties"), {s("ID"), s("Text"), s("Type")}, rows);
}

void addProductionDepts(platform::Database &db)
{
    const char *names[] = {"?", "Graphics", "Stockroom", "Pressroom", "Digital Print",
                           "Bindery", "Outsource", "Other", "Mailroom", "Shipping"};
    QList<QList<Value>> rows;
    for (int n = 0; n < 10; ++n)
        rows.append({Value(n), Value(s(names[n])), Value(0), Value(8), Value(n), Value(n)});
    insertRows(db, s("ProductionDepts"),
               {s("DepID"), s("Name"), s("QtyPerHr"), s("HrsPerDay"), s("Sort"), s("IconNo")}, rows);
}

void addProductionTags(platform::Database &db)
{
    struct Tag { const char *name; int color; };
    const Tag tags[] = {{"", 255},           {"Rush", 0},          {"Stop", 0},
                        {"Specs Changed", 0}, {"Approved", 2},      {"Rejected", 0},
                        {"Re-Work", 1},       {"Out of Service", 1}, {"Ready to Start", 3},
                        {"Due AM", 3},        {"Due Noon", 3},      {"Due PM", 3},
                        {"25% Complete", 2},  {"50% Complete", 2},  {"75% Complete", 2},
                        {"100% Complete", 2}};
    QList<QList<Value>> rows;
    for (int n = 0; n < 16; ++n)
        rows.append({Value(n), Value(s(tags[n].name)), Value(tags[n].color), Value(n), Value(0)});
    // The item tags.
    rows.append({Value(51), Value(s("Approved")), Value(1), Value(1), Value(1)});
    rows.append({Value(52), Value(s("Waiting")), Value(2), Value(2), Value(1)});
    rows.append({Value(53), Value(s("Important")), Value(3), Value(3), Value(1)});
    insertRows(db, s("ProductionTags"), {s("TagID"), s("Name"), s("Color"), s("Sort"), s("Type")}, rows);
}

// One list in which the entries "2" and "3" open the office tasks and the
// leave kinds: such an entry becomes the group (its row included) and the
// next IDs count on from (group - 1) * 100.
void addTimeDepartments(platform::Database &db)
{
    const char *list[] = {"Regular", "Overtime", "No-Pay", "Other", "2", "Administrative",
                          "Accounting", "Customer Support", "Buying", "Selling", "Planning",
                          "Meeting", "Training", "Maintenance", "General", "3", "Regular",
                          "Holiday", "Vacation", "Sick Leave"};
    QList<QList<Value>> rows;
    int group = 0;
    int depId = 0;
    int sort = 0;
    for (const char *entry : list) {
        const QString name = s(entry);
        if (name == QLatin1String("2") || name == QLatin1String("3")) {
            group = name.toInt();
            depId = (group - 1) * 100;
        }
        rows.append({Value(depId), Value(name), Value(group), Value(sort)});
        ++depId;
        ++sort;
    }
    insertRows(db, s("TimeDepartments"), {s("DepID"), s("Name"), s("Type"), s("Sort")}, rows);
}

void addTodoTypes(platform::Database &db)
{
    const char *names[] = {"Call", "Meet", "Send"};
    QList<QList<Value>> rows;
    for (int n = 0; n < 10; ++n)
        rows.append({Value(n), Value(n < 3 ? s(names[n]) : QString()), Value(n)});
    insertRows(db, s("TodoTypes"), {s("ID"), s("Do"), s("Sort")}, rows);
}

void addServiceDepartments(platform::Database &db)
{
    struct Dep { const char *name; int icon; };
    const Dep deps[] = {{"?", 157},       {"Prep", 0},      {"Paper", 3},    {"Printing", 2},
                        {"Digital", 1},   {"Finishing", 4}, {"Brokered", 5}, {"Other", 6}};
    QList<QList<Value>> rows;
    for (int n = 0; n < 8; ++n)
        rows.append({Value(n), Value(s(deps[n].name)), Value(deps[n].icon), Value(n)});
    insertRows(db, s("ServiceDepartments"), {s("DepNo"), s("DepName"), s("IconNo"), s("SortNo")}, rows);
}

} // namespace

void CreateShopTable(platform::Database &db, const QString &name)
{
    const ShopSchema::Table *table = ShopSchema::table(name);
    if (!table)
        throw platform::DbException(3265, QStringLiteral("Item not found in this collection."));
    platform::TableDef def = table->tableDef();
    const QList<platform::IndexDef> indexes = def.indexes;
    def.indexes.clear();
    db.createTable(def);
    for (const platform::IndexDef &index : indexes)
        db.createIndex(def.name, index);
    AddNewTableRows(db, def.name);
}

void AddNewTableRows(platform::Database &db, const QString &table)
{
    const auto is = [&table](const char *name) { return table.compare(s(name), Qt::CaseInsensitive) == 0; };
    if (is("ContactDepts"))
        addContactDepts(db);
    else if (is("Properties"))
        addProperties(db);
    else if (is("ProductionDepts"))
        addProductionDepts(db);
    else if (is("ProductionTags"))
        addProductionTags(db);
    else if (is("TimeDepartments"))
        addTimeDepartments(db);
    else if (is("TodoTypes"))
        addTodoTypes(db);
    else if (is("ServiceDepartments"))
        addServiceDepartments(db);
}

void AddDefaultForms(platform::Database &db)
{
    const QString br = QStringLiteral("\r\n");
    const QString domain = QStringLiteral("example.com");
    const QString letterA = s("<Title> <First> <Last>") + br
        + s("Thank you for your business. If you have any questions about this <DocTitle>, please call me at "
            "(123)-456-7890 or email me <CSR>@")
        + domain + s(".") + br + s("<CSR>");
    const QString letterB = s("Dear <First>,") + br
        + s("Thank you for the opportunity. Please call me at (123)-456-7890 or email me <CSR>@") + domain
        + s(".") + br + s("<CSR>");
    const QString letterC = s("This is the information you requested.") + br
        + s("If you have any questions, please call me at (123)-456-7890.") + br + br + s("Chris");

    struct Form { int no; const char *title; const char *desc; int options; QString text; const char *font; int size; };
    const Form forms[] = {
        // Job tickets: times, quantities, actuals, column headers, grey
        // items, yellow notes and the good sheets to end with.
        // Tickets print the price column and its total as well.
        {1, "Work Order", "", 0x22437, QString(), "Arial", 90},
        // The customer documents of an order: the shop's block, bill-to and
        // ship-to, each item with its unit price and price, the job totals and
        // the memo; the delivery ticket adds the "Received by" line.
        {2, "Invoice", "", 0x4F13F9, QString(), "Arial", 90},
        {3, "Order Receipt", "", 0x4F13F9, QString(), "Arial", 90},
        {4, "Delivery Ticket", "", 0x4F17F9, QString(), "Arial", 90},
        {5, "Invoice", "", 0x627F9, QString(), "Arial", 90},
        {6, "Invoice", "Booklet", 0x60FF9, QString(), "Arial", 90},
        {7, "Invoice", "Letter Style", 0x617FC, letterA, "Times New Roman", 100},
        {11, "Estimate", "", 0x22437, QString(), "Arial", 90},
        // The quote documents: as the order's, without the ship-to block; the
        // proposal is a letter.
        {12, "Quote", "", 0x4F10F9, QString(), "Arial", 90},
        {13, "Proposal", "", 0x4F10FC, letterB, "Times New Roman", 100},
        {14, "Estimate", "", 0x4F10F9, QString(), "Arial", 90},
        {15, "Quotation", "", 0x627F9, QString(), "Arial", 90},
        {16, "Quotation", "Booklet", 0x60FF9, QString(), "Arial", 90},
        {17, "Quotation", "Letter Style", 0x617FC, letterB, "Times New Roman", 100},
        {18, "Estimate", "Detailed", 0x4F40F9, QString(), "Arial", 90},
        // Statements: the title, the invoice amounts and the aging.
        {41, "Statement", "", 0x7F9, QString(), "Arial", 90},
        {42, "Past-Due Notice", "", 0x7F9, QString(), "Arial", 90},
        {43, "Statement", "", 0x7F9, QString(), "Arial", 90},
        {44, "Statement", "Letter Style", 0x7FC, letterC, "Times New Roman", 100},
        {99, "Receipt", "", 1, QString(), "Courier New", 100},
        // Lists and every other document; without it lists printed in 5 points.
        {100, "List", "", 0, QString(), "Arial", 90},
    };
    const QStringList fields = {s("No"), s("Title"), s("Text"), s("Footer"), s("TopMargin"),
                                s("BotMargin"), s("LeftMargin"), s("RightMargin"), s("FontName"),
                                s("FontSize"), s("Printer"), s("Options"), s("ColBack"),
                                s("ColText"), s("Desc")};
    for (const Form &f : forms) {
        if (HasRowWithKey(db, s("Forms"), s("No"), Value(f.no)))
            continue;
        // A cleared form with the given values.
        InsertTableRow(db, s("Forms"), fields,
                       {Value(f.no), Value(s(f.title)), Value(f.text), Value(QString()),
                        Value(f.no == 100 ? 0.25f : 0.9f), Value(0.0f), Value(f.no == 100 ? 0.0f : 0.25f), Value(0.0f), Value(s(f.font)), Value(f.size),
                        Value(QString()), Value(f.options), Value(0xFFFFFF), Value(0), Value(s(f.desc))});
    }
}

void AddFixedSetupRows(platform::Database &db)
{
    // Terms 0 and 4 are worked out by the program (paid at once; due on the
    // 10th of the next month); 1 is the terms new customers start with.
    const struct { int no; const char *name; int days; } terms[] = {
        {0, "C.O.D.", 0}, {1, "Net 30", 30}, {4, "Net 10th of Month", 0}};
    for (const auto &t : terms) {
        if (!HasRowWithKey(db, s("Terms"), s("No"), Value(t.no)))
            InsertTableRow(db, s("Terms"), {s("No"), s("Name"), s("Days")},
                           {Value(t.no), Value(s(t.name)), Value(t.days)});
    }
    // The paper vendors that stand for stock rather than a supplier; 3-5
    // change how the paper is charged.
    const char *const stock[] = {"", "Our Stock", "Our Stock (Scrap)", "Customer Stock (Charge)",
                                 "Customer Stock (No Charge)", "Imprint (No Charge)"};
    for (int no = 0; no < 6; ++no) {
        if (!HasRowWithKey(db, s("Vendors"), s("No"), Value(no)))
            InsertTableRow(db, s("Vendors"), {s("No"), s("Type"), s("Name"), s("Sort")},
                           {Value(no), Value(0), Value(s(stock[no])), Value(no)});
    }
    // The pricing engine reads the markup and waste tables row by row: row 0
    // holds the breaks, the markup rows 1-19 and the waste levels 1-19 are the
    // shop's, level 20 limits the waste.
    for (int no = 0; no < 20; ++no) {
        if (HasRowWithKey(db, s("MarkupTable"), s("No"), Value(no)))
            continue;
        QStringList fields = {s("No"), s("Name")};
        QList<Value> values = {Value(no), Value(no == 0 ? s("Cost Breaks --> $") : QString())};
        for (int c = 1; c <= 9; ++c) {
            fields << QStringLiteral("Markup%1").arg(c);
            values << Value(0);
        }
        InsertTableRow(db, s("MarkupTable"), fields, values);
    }
    for (int level = 0; level <= 20; ++level) {
        if (HasRowWithKey(db, s("WasteTable"), s("Level"), Value(level)))
            continue;
        const QString name = level == 0 ? s("#Impressions/Run Size Sheet ->")
                             : level == 20 ? s("Waste Limit (see NOTE above)")
                                           : QString();
        QStringList fields = {s("Level"), s("Name"), s("Setup")};
        QList<Value> values = {Value(level), Value(name), Value(0)};
        for (int c = 1; c <= 7; ++c) {
            fields << QStringLiteral("Waste%1").arg(c);
            values << Value(0);
        }
        InsertTableRow(db, s("WasteTable"), fields, values);
    }
}

void AddPasswordRows(platform::Database &db)
{
    QMap<int, QString> names = {
        {9, s("Goto Home Section")},    {10, s("Goto Jobs")},           {16, s("Goto Scheduler")},
        {17, s("Goto RaroVirider")},    {23, s("Add/Edit Templates")},  {24, s("Add History Jobs")},
        {33, s("Delete Templates")},    {43, s("Edit Cost-Template")},  {53, s("Print List-Templates")},
        {64, s("View/Edit Commission")}, {72, s("Backup Database")},    {73, s("Export Data")},
    };
    const char *actions[] = {"Add/Edit ", "Delete ", "Edit Cost-", "Print List-"};
    const char *kinds[] = {"PellOrders", "PellQuotes"};
    for (int i = 0; i < 8; ++i)
        names.insert(10 * (i / 2) + (i % 2) + 25, s(actions[i / 2]) + s(kinds[i % 2]));

    for (int no = 1; no <= 79; ++no) {
        if (HasRowWithKey(db, s("Passwords"), s("No"), Value(no)))
            continue;
        InsertTableRow(db, s("Passwords"), {s("No"), s("Password"), s("Level")},
                       {Value(no), Value(names.value(no)), Value(0)});
    }
}

QString ReadVersionText(platform::Database &db)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = %1")
                .arg(ShopSchema::kVersionAlertType));
    return rs.isEOF() ? QString() : rs.value(0).toString();
}

void WriteVersionRow(platform::Database &db)
{
    const QList<Value> values = {Value(ShopSchema::versionText()), Value(ShopSchema::versionMajor()),
                                 Value(ShopSchema::versionMinor())};
    db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ?, AlertPrint = ?, AlertColor = ? "
                              "WHERE CusNo = 0 AND AlertType = %1")
                   .arg(ShopSchema::kVersionAlertType),
               values);
    if (db.recordsAffected() > 0)
        return;
    InsertTableRow(db, s("CustomerAlerts"),
                   {s("CusNo"), s("AlertType"), s("AlertText"), s("AlertPrint"), s("AlertColor"), s("AlertSound")},
                   {Value(0), Value(ShopSchema::kVersionAlertType), values[0], values[1], values[2], Value(0)});
}

namespace {

const QString kCreatingMark = QStringLiteral(".creating-");

// The file a new database is built in: hidden beside its place, named after
// it and after this process, so a build that was killed is known by name.
QString creatingPath(const QFileInfo &target)
{
    return target.dir().filePath(QLatin1Char('.') + target.fileName() + kCreatingMark
                                 + QString::number(QCoreApplication::applicationPid()));
}

// Removes what builds of the same file left when their process died.
void removeDeadBuilds(const QFileInfo &target)
{
    const QString prefix = QLatin1Char('.') + target.fileName() + kCreatingMark;
    const QStringList left = target.dir().entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString &name : left) {
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue; // still building, or not ours to judge
        QFile::remove(target.dir().filePath(name));
        QFile::remove(target.dir().filePath(name + QStringLiteral("-journal")));
    }
}

// Puts the finished file in its place in one step, never over a file that
// appeared there meanwhile.
bool moveIntoPlace(const QString &from, const QString &to)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    // A file system without that kind of rename: a second name, then the first goes.
    if (::link(a.constData(), b.constData()) == 0) {
        ::unlink(a.constData());
        return true;
    }
    return false;
}

} // namespace

void CreateShopDatabase(const QString &path, const ShopAddressTexts &shop)
{
    const QFileInfo target(path);
    if (target.exists())
        throw platform::DbException(3204, QStringLiteral("Database already exists."));
    // The database is built under another name and only then put in place:
    // a build that is killed half way never leaves a file without tables
    // where the program looks for its database.
    removeDeadBuilds(target);
    const QString building = creatingPath(target);
    QFile::remove(building);
    platform::Database::create(building);

    platform::Database db;
    try {
        db.open(building, true);
        platform::Transaction work(db);
        for (const ShopSchema::Table &table : ShopSchema::tables())
            CreateShopTable(db, table.name);
        for (const ShopSchema::SavedQuery &query : ShopSchema::savedQueries())
            db.createQuery(query.name, query.sql);
        AddDefaultForms(db);
        AddPasswordRows(db);
        WriteVersionRow(db);
        if (!AddDefaultRows(&db, shop))
            throw platform::DbException(3000, QStringLiteral("The default rows could not be added."));
        AddFixedSetupRows(db);
        work.commit();
        db.close();
        if (!moveIntoPlace(building, target.absoluteFilePath())) {
            if (QFileInfo::exists(path))
                throw platform::DbException(3204, QStringLiteral("Database already exists."));
            throw platform::DbException(3043, QStringLiteral("Disk or network error."));
        }
    } catch (...) {
        if (db.isOpen())
            db.close();
        QFile::remove(building);
        throw;
    }
}

QStringList MissingShopFields(platform::Database &db)
{
    QStringList missing;
    for (const ShopSchema::Table &t : ShopSchema::tables()) {
        if (!db.tableExists(t.name))
            continue;
        const platform::TableDef def = db.tableDef(t.name);
        for (const ShopSchema::Field &f : t.fields) {
            if (!def.field(f.name))
                missing << t.name + QLatin1Char('.') + f.name;
        }
    }
    return missing;
}
