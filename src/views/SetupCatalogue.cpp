#include "views/SetupCatalogue.h"

#include "app/base/MoneyText.h"

namespace {

SetupColumn col(const char *title, int width, int type, const char *format, bool editable, int field = -1)
{
    SetupColumn c;
    c.title = QString::fromUtf8(title);
    c.width = width;
    c.type = type;
    c.format = QString::fromUtf8(format);
    c.editable = editable;
    c.field = field;
    return c;
}

void noSortTable(SetupEntry &e, const char *table, const char *order)
{
    // No, Name, a hidden type and Sort: the small code tables of the customers area.
    e.table = QString::fromUtf8(table);
    e.order = QString::fromUtf8(order);
    e.first.columns = {col("No", 30, 6, "%2d", false), col("Name", 200, 1, "&20", true),
                       col("Type", 0, 6, "%3d", false), col("Sort", 30, 6, "%3d", true)};
    e.first.rows = 100;
    e.first.visible = 20;
}

} // namespace

bool DescribeSetupEntry(int code, int argument, SetupEntry &e)
{
    e = SetupEntry();
    e.code = code;
    SetupGrid &g = e.first;
    switch (code) {
    case 102: {
        // Levels: the level number, a description that is no field and the
        // password. A name that is no field leaves its column unbound.
        e.table = QStringLiteral("Passwords");
        e.filter = QStringLiteral("Passwords.No < 200");
        e.fieldList = QStringLiteral("No,-,Password,");
        g.columns = {col("Level", 40, 6, "%3d", false, 0), col("Description", 180, 1, "&32", false, 255),
                     col("Password", 120, 1, "&20", true, 1)};
        g.columns[2].masked = true;
        g.rows = 5;
        g.visible = 16;
        g.fixedTexts = {{0, 1, QStringLiteral("Top Level (Master Password)"), 0}, {4, 1, QStringLiteral("Low Level"), 0}};
        g.highlightCurrentRow = true;
        // Tasks, from the ninth record on, bound by position.
        SetupGrid &t = e.second;
        t.columns = {col("ID", 40, 6, "%3d", false), col("Tasks and Required Password Levels", 250, 1, "&32", false),
                     col("Level", 40, 6, "%1d", true)};
        t.rows = 70;
        t.visible = 22;
        t.fixedTexts = {{6, 1, QStringLiteral("Goto Settings"), 0},
                        {19, 1, QStringLiteral("Add if PastDue/CrLim"), 0},
                        {39, 1, QStringLiteral("View Cost (any job)"), 0}};
        t.highlightCurrentRow = true;
        e.secondSkip = 8;
        e.secondBeside = true;
        e.needsTopLevel = true;
        e.note = QStringLiteral("Top level password is required to open this window. Do not assign it to tasks. Do "
                                "not leave blank passwords between top and last level used. Maximum 20 characters.");
        e.hint.clear();
        e.limit = false;
        return true;
    }
    case 103:
        e.table = QStringLiteral("TodoTypes");
        e.order = QStringLiteral("Sort, ID");
        g.columns = {col("ID", 30, 6, "%3d", false), col("Do", 200, 1, "&30", true), col("Sort", 40, 6, "%3d", true)};
        g.rows = g.visible = 10;
        return true;
    case 302:
        e.table = QStringLiteral("ProductTypes");
        e.order = QStringLiteral("Sort, [No]");
        e.fieldList = QStringLiteral("No,Name,Type,Qty,Sort,");
        g.columns = {col("No", 30, 6, "%3d", false), col("Product Name", 150, 1, "&20", true),
                     col("Default\nDocument Type", 100, 2, "&32", true), col("Default\nQuantity", 80, 7, "%6d", true),
                     col("Sort", 40, 6, "%3d", true)};
        g.rows = 100;
        g.visible = 20;
        g.headerHeight = 34;
        g.picks = {{2, 0, QStringLiteral("Originals,Sheets,Envelopes,Names,Originals/Set,Sheets/Set, ,Sheets/Pad,")}};
        g.rowsByKey = true;
        g.fixedTexts = {{0, 1, QStringLiteral("?"), 0}};
        g.readOnlyCells = {{0, 1, QString(), 0}, {0, 4, QString(), 0}};
        e.deleteEmpty = true;
        e.note = QStringLiteral("Default Document Type and Default Quantity will be assigned to new Items.");
        e.reloadProductTypes = true;
        return true;
    case 303:
        e.table = QStringLiteral("ShipBy");
        e.order = QStringLiteral("Sort, [No]");
        g.columns = {col("No", 30, 6, "%2d", false), col("Name", 200, 1, "&20", true), col("", 0, 6, "%3d", false),
                     col("Sort", 30, 6, "%3d", true)};
        g.rows = 100;
        g.visible = 20;
        return true;
    case 401:
        noSortTable(e, "CustomerSources", "");
        return true;
    case 402:
        noSortTable(e, "BusinessTypes", "");
        return true;
    case 403:
        noSortTable(e, "ContactDepts", "Sort, Name");
        return true;
    case 404:
    case 405:
    case 505:
        e.table = QStringLiteral("Properties");
        e.typeValue = code == 404 ? 1 : code == 405 ? 2 : 0;
        e.keyStep = 8;
        g.columns = {col("ID", 0, 6, "%3d", false), col("Description", 300, 1, "&50", true),
                     col("Type", 0, 6, "%3d", false)};
        g.rows = g.visible = 8;
        e.note = (code == 505 ? QStringLiteral("Reasons for making Credit Adjustments")
                              : QStringLiteral("A quick check-list")) +
                 QStringLiteral(" (up to 50 characters)");
        e.hint.clear();
        return true;
    case 501:
        e.table = QStringLiteral("SalesDepartments");
        e.order = QStringLiteral("Group, Name");
        g.columns = {col("No", 20, 6, "%2d", false), col("Department ID and Name", 200, 1, "&20", true),
                     col("Group", 40, 6, "%3d", true)};
        g.rows = 100;
        g.visible = 20;
        g.readOnlyRows = {0};
        g.fixedTexts = {{0, 1, QStringLiteral("?"), 0}};
        g.startValues = {{0, 2, QString(), 0}};
        g.rowsByKey = true;
        return true;
    case 502:
        e.table = QStringLiteral("Taxes");
        e.fieldList = QStringLiteral("No,Name,TaxPercent,TaxShipping,TaxPostage,RoundUp,Sort,Type,");
        g.columns = {col("No", 30, 6, "%3d", false), col("Name", 200, 1, "&20", true),
                     col("Rate\n(%)", 70, 8, "4", true), col("Tax\nShipping?", 70, 2, "&16", true),
                     col("Tax\nPostage?", 70, 2, "&16", true), col("Round\nTax Up?", 70, 2, "&16", true),
                     col("Sort", 30, 6, "%3d", true), col("Type", 30, 6, "%3d", false)};
        g.rows = 250;
        g.visible = 24;
        g.headerHeight = 34;
        // A rate is a share of the amount: 0 to 100 %, in ten-thousandths.
        g.columns[2].minimum = 0;
        g.columns[2].maximum = 1000000;
        g.columns[2].rate = true;
        g.picks = {{3, 0, QStringLiteral("No,Yes,")}, {4, 0, QStringLiteral("No,Yes,")}, {5, 0, QStringLiteral("No,Yes,")}};
        g.readOnlyRows = {0};
        g.rowsByKey = true;
        g.fixedTexts = {{0, 1, QStringLiteral("Exempt"), 0}};
        g.startValues = {{0, 2, QString(), 0}, {0, 3, QString(), 0}, {0, 4, QString(), 0}};
        e.stampByteField = QStringLiteral("Type");
        e.stampByte = 0;
        return true;
    case 503:
        e.table = QStringLiteral("Terms");
        g.columns = {col("No", 30, 6, "%3d", false), col("Name", 200, 1, "&20", true),
                     col("Net Days", 60, 6, "%3d", true)};
        g.rows = g.visible = 10;
        g.readOnlyRows = {0, 4};
        g.rowsByKey = true;
        g.fixedTexts = {{0, 1, QStringLiteral("C.O.D."), 0}, {4, 1, QStringLiteral("Net 10th of Month"), 0}};
        // The special terms keep their numbers, so a new row never takes them.
        g.startValues = {{0, 0, QString(), 0}, {4, 0, QString(), 4}};
        e.note = QStringLiteral("Terms 0 and 4 have special features.\n");
        return true;
    case 504:
        e.table = QStringLiteral("PaymentTypes");
        g.columns = {col("No", 30, 6, "%3d", false), col("Name", 200, 1, "&20", true), col("Type", 30, 6, "%3d", false),
                     col("Sort", 30, 6, "%3d", true)};
        g.rows = g.visible = 16;
        return true;
    case 601:
    case 602:
    case 603:
        e.table = QStringLiteral("Employees");
        e.typeValue = code - 601;
        e.order = QStringLiteral("Sort, EmpNo");
        e.fieldList = QStringLiteral("EmpNo,Name,Sort,");
        g.columns = {col("No", 30, 6, "%2d", false), col("Name", 200, 1, "&20", true), col("Sort", 30, 6, "%3d", true)};
        g.rows = 100;
        g.visible = 20;
        if (code == 601) {
            g.rowsByKey = true;
            g.readOnlyRows = {0};
            g.fixedTexts = {{0, 1, QStringLiteral("?"), 0}};
            g.startValues = {{0, 2, QString(), 0}};
        }
        if (code == 603) {
            e.fieldList += QStringLiteral("CommRate,PercentOf,");
            g.columns << col("Comm%", 50, 8, "2", true) << col("of", 80, 2, "&16", true);
            // A commission is a share of the sale or margin: 0 to 100 %, in hundredths.
            g.columns[3].minimum = 0;
            g.columns[3].maximum = 10000;
            g.columns[3].rate = true;
            g.picks = {{4, 0, QStringLiteral("Net Sale,Margin,")}};
            g.rows = 55;
            g.visible = 24;
        }
        e.reloadEmployees = true;
        e.askRestart = code != 601;
        return true;
    case 701:
    case 702:
    case 703:
        e.table = QStringLiteral("Vendors");
        e.typeValue = code - 701;
        e.order = QStringLiteral("[No]");
        e.fieldList = QStringLiteral("No,Name,ContactName,Phone,Fax,Email,Terms,Address,Sort,Type,");
        g.columns = {col("No", 30, 6, "%3d", false),         col("Vendor Name", 180, 1, "&50", true),
                     col("Contact Name", 120, 1, "&20", true), col("Phone", 120, 1, "&20", true),
                     col("Fax", 100, 1, "&16", true),          col("Email", 180, 1, "&50", true),
                     col("Terms", 100, 1, "&20", true),        col("Address", 180, 1, "&50", true),
                     col("Sort", 30, 6, "%3d", code != 701),   col("Type", 3, 6, "%3d", false)};
        g.rows = code == 703 ? 55 : 100;
        g.visible = 20;
        if (code == 701) {
            const char *const stock[] = {" ", "Our Stock", "Our Stock (Scrap)", "Customer Stock (Charge)",
                                         "Customer Stock (No Charge)", "Imprint (No Charge)"};
            g.rowsByKey = true;
            for (int r = 0; r < 6; ++r) {
                g.readOnlyRows << r;
                g.fixedTexts << SetupCell{r, 1, QString::fromUtf8(stock[r]), 0};
                g.startValues << SetupCell{r, 8, QString(), r};
            }
            e.note = QStringLiteral("Please click Help to learn more. \n");
            e.helpText = QStringLiteral(
                "Vendor No 3, 4 and 5 have special pricing features.\n\nVendor 3 Customer Stock (10% of Cost + "
                "Markup):\n\tCost = 10% of the Actual Paper Cost\n\tPrice = Paper Cost + Actual Markup Amount\n\n"
                "Vendor 4 Customer Stock (No Charge):\n\tCost = 0\n\tPrice = No Charge\n\nVendor 5 Imprint (No "
                "Charge):\n\tCost = 0\n\tPrice = No Charge");
        } else if (code == 703) {
            e.note = QStringLiteral("Note: These vendors apply to Services in (Buyout) Category No.502.\n");
        }
        return true;
    case 801: case 802: case 803: case 804: case 805: case 806: {
        const int type = code == 806 ? 5 : code - 801;
        e.table = QStringLiteral("QuickNotes");
        e.filter = code == 806 ? QStringLiteral("QuickNotes.Type = %1 and QCatNo = %2").arg(type).arg(argument)
                               : QStringLiteral("QuickNotes.Type = %1").arg(type);
        e.order = QStringLiteral("[Sort], [Note]");
        e.fieldList = QStringLiteral("Note,Sort,");
        g.columns = {col("", 400, 1, "&50", true), col("Sort", 40, 6, "%3d", true)};
        g.rows = 32;
        g.visible = 16;
        e.stampByteField = QStringLiteral("Type");
        e.stampByte = type;
        e.stampLongField = QStringLiteral("QCatNo");
        e.stampLong = code == 806 ? argument : 0;
        e.deleteEmpty = true;
        e.hint = QStringLiteral("To Delete: Clear text. Maximum text 50 characters.");
        return true;
    }
    case 2001: {
        e.table = QStringLiteral("MarkupTable");
        e.secondSkip = 1;
        g.columns = {col("", 0, 6, "%d", false), col("", 190, 1, "&32", false)};
        for (int i = 1; i <= 9; ++i) {
            // Cost breaks in whole dollars, never below 0.
            g.columns << col(QStringLiteral("Cost %1").arg(i).toUtf8().constData(), 50, 7, "%6d", true);
            g.columns.last().money = true;
            g.columns.last().notNegative = true;
        }
        g.rows = g.visible = 1;
        g.fixedTexts = {{0, 1, QStringLiteral("Cost Breaks --> $"), 0}};
        SetupGrid &s = e.second;
        s.columns = {col("Row #", 40, 6, "%d", false), col("Markup Description", 150, 1, "&30", true)};
        for (int i = 1; i <= 9; ++i) {
            s.columns << col("%", 50, 7, "%4d", true);
            s.columns.last().rate = true;
        }
        s.rows = s.visible = 19;
        e.ribbonTitle = QStringLiteral("Markup Table");
        e.stripText = QStringLiteral("This table is used by all Services based on Row#, 1 through 19. Cost Breaks "
                                     "in whole dollars.");
        e.hint.clear();
        e.limit = false; // a count of the single cost-break row says nothing
        return true;
    }
    case 2002: {
        e.table = QStringLiteral("WasteTable");
        e.order = QStringLiteral("[Level]");
        e.secondSkip = 1;
        g.columns = {col("", 40, 6, "%d", false), col("", 250, 1, "&32", false), col("", 50, 7, "%6d", false)};
        for (int i = 1; i <= 7; ++i) {
            // Breaks are counts of impressions, never below 0.
            g.columns << col(QStringLiteral("Break %1").arg(i).toUtf8().constData(), 50, 7, "%6d", true);
            g.columns.last().notNegative = true;
        }
        g.rows = g.visible = 1;
        g.fixedTexts = {{0, 1, QStringLiteral("#Impressions/Run Size Sheet ->"), 0}};
        SetupGrid &s = e.second;
        s.columns = {col("Row #", 40, 6, "%d", false), col("Waste Description", 250, 1, "&30", true),
                     col("Setup\n(sheets)", 50, 7, "%6d", true)};
        // Waste is sheets added, never taken away: set-up sheets and the
        // rates are never below 0.
        s.columns.last().notNegative = true;
        for (int i = 1; i <= 7; ++i) {
            s.columns << col("%", 50, 7, "2", true);
            s.columns.last().rate = true;
            s.columns.last().notNegative = true;
        }
        s.rows = s.visible = 20;
        s.headerHeight = 34;
        s.fixedTexts = {{19, 1, QStringLiteral("Waste Limit (see NOTE above)"), 0}};
        // Level n is Row # n, the limit row's level 20 included.
        s.rowsByKey = true;
        s.keyBase = 1;
        // The limit row takes only setup sheets and the first percentage.
        s.readOnlyCells = {{19, 0, QString(), 0}, {19, 1, QString(), 0}};
        for (int c = 4; c < 10; ++c) {
            s.readOnlyCells << SetupCell{19, c, QString(), 0};
            s.startValues << SetupCell{19, c, QString(), 0};
        }
        e.ribbonTitle = QStringLiteral("Waste Table");
        e.stripText = QStringLiteral("Setup sheets are per paper for digital printers and per plate for offset "
                                     "presses.\nNOTE: Use Row# 20 to limit waste for bindery and other services. "
                                     "See Difficulty Table for additional waste.");
        e.hint.clear();
        e.limit = false;
        return true;
    }
    case 30721:
        e.table = QStringLiteral("ProductionDepts");
        e.filter = QStringLiteral("DepID > 0");
        e.order = QStringLiteral("Sort, Name");
        e.fieldList = QStringLiteral("DepID,Name,HrsPerDay,Sort,");
        g.columns = {col("DepID", 40, 6, "%3d", false), col("Service Center", 200, 1, "&50", true),
                     col("MaxHrs/Day", 70, 6, "%3d", true), col("Sort", 40, 6, "%3d", true)};
        g.rows = g.visible = 24;
        e.deleteEmpty = true;
        e.ribbonTitle = QStringLiteral("Service Centers");
        e.askRestart = true;
        return true;
    case 30722:
    case 30723:
        e.table = QStringLiteral("ProductionTags");
        e.filter = QStringLiteral("TagID > 0");
        e.order = QStringLiteral("Sort, Name");
        e.typeValue = code - 30722;
        e.keyStep = 50;
        e.fieldList = QStringLiteral("TagID,Name,Color,Sort,");
        g.columns = {col("TagID", 40, 6, "%3d", false), col("Tag Name", 200, 1, "&50", true),
                     col("Tag Color", 70, 2, "&16", true), col("Sort", 40, 6, "%3d", true)};
        g.rows = g.visible = 24;
        g.picks = {{2, 1, QStringLiteral("Green,Yellow,Red,White,Cyan,Pink,Blue,Purple,Olive,Gray,")}};
        e.deleteEmpty = true;
        e.ribbonTitle = code == 30722 ? QStringLiteral("Service Tags") : QStringLiteral("Item Tags");
        e.askRestart = code == 30722;
        return true;
    default:
        return false;
    }
}

QString SetupEntrySql(const SetupEntry &e)
{
    QString where;
    auto addWhere = [&where](const QString &condition) {
        if (condition.isEmpty())
            return;
        where += where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" and ");
        where += condition;
    };
    addWhere(e.filter);
    if (e.typeValue < 255)
        addWhere(QStringLiteral("%1.Type = %2").arg(e.table).arg(e.typeValue));
    QString sql = QStringLiteral("SELECT * FROM ") + e.table + where;
    if (!e.order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + e.order;
    return sql;
}

QString SetupStripText(const SetupEntry &e, const QString &ribbonTitle)
{
    QString note = e.note;
    // The limit follows the note as a sentence of its own.
    if (e.limit && !note.isEmpty() && !note.at(note.size() - 1).isSpace())
        note += QLatin1Char(' ');
    if (e.limit)
        note += QStringLiteral("Limit: ") + FormatInt(e.first.rows, false, false) + QLatin1Char(' ') + ribbonTitle +
                QStringLiteral(". ");
    QString text = e.stripText;
    for (const QString &part : {note, e.hint}) {
        if (part.isEmpty())
            continue;
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += part;
    }
    return text;
}
