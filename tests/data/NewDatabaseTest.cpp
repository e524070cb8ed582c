#include "data/OptionsAndLookups.h"
#include "data/ShopDatabase.h"
#include "data/ShopSchema.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>

using namespace platform;

namespace {

// A table as the layout description gives it, written as "Name:Kind" items:
// A AutoNumber, L Long, B Byte, C Currency, S Single, D Date/Time, M Memo,
// T Text of an unstated size, T<n> Text(n).
struct Expected
{
    const char *table;
    const char *fields;
};

QString services()
{
    QString s = QStringLiteral(
        "SerNo:L CatNo:L SortNo:L Name:T50 Name2:T50 SerRemind:T50 DefNote:T50 SerNote:M SaleDept:B "
        "SerStatus:B Colors:B Size:T Caliper:S DefPlate:L AutoAdd:L QtyBy:B Divide:L Multiply:L LiftBy:B "
        "AskHowMany:T16 Round:L WasteBy:B TimeBy:B SetTime:S ImpHour:S CostBy:B CostHr:C WageHr:C CostOH:S "
        "PriceBy:B Markup:L Markup2:L Markup3:L AdjustBy:B Bid:S Rush:S Spcl:S MinPrice:C ProdDepID:B "
        "Operator:B Tag:B SchedBy:B VendorNo:B MinLevel:L ReOrder:L InStock:L OnOrder:L SKU:T16 UPC:T16 "
        "FSC:T16 OptTax:B OptCom:B OptWO:B OptInv:B Unit:B Step:B Modified:D");
    for (int n = 1; n <= 5; ++n)
        s += QStringLiteral(" SetFor%1:L SetTime%1:L SetCost%1:L SetPrice%1:L").arg(n);
    for (int n = 1; n <= 9; ++n)
        s += QStringLiteral(" QBreak%1:L UnitsHr%1:L RunCost%1:L RunPrice%1:L").arg(n);
    return s;
}

const Expected kExpected[] = {
    {"Jobs",
     "JobID:A JobType:B JobNo:L Title:T100 FromJobType:B FromJobNo:L Status:B CSRNo:B SRepNo:B CusNo:L "
     "ShiptoNo:L BuyerNo:L PostingNo:L Location:B PO:T DateIn:D DateProof:D DateDue:D DateShipped:D "
     "DateReorder:D DatePayDue:D DatePaid:D TimeDue:T ViaDue:B TaxNo:B TermsNo:B Cost:C Subtotal:C "
     "Discount:C Shipping:C Postage:C Tax:C Latefee:C Paid:C Writeoff:C Balance:C Commission:C CommType:B "
     "WOrderPrinted:B InvoicePrinted:B WOrderNote:T InvoiceNote:T Creator:B PropID1:B PrintOption:L "
     "PrintOption2:L ProofTime:T5 Taxable:C Taxable2:C Tax2:C"},
    {"Items",
     "ItemID:A Description:T255 Note:T255 JobID:L SerNo:L ItemNo:B SubNo:B SortNo:B Width:S Height:S "
     "Sheets:L Pages:L Out:L Up:L Data1:L Data2:L Side1:B Side2:B Covrg:B Regis:B Bleed:B PrtAs:B Vendor:B "
     "Opt1:B Opt2:B Opt3:B Opt4:B Wash:B Mix:B EmpNo:B Status:B Days2:B Tag1:B Tag2:B ActualTime:L "
     "ChargeTime:L ActualQty:L ChargeQty:L TimeCost:C MatCost:C Cost:C Price:C"},
    {"Customers",
     "CusNo:L Name:T60 Address:T Address2:T60 City:T30 State:T20 Zip:T Country:T30 ShiptoNo:L BuyerNo:L "
     "PayerNo:L Business:B Source:B Location:B ShipVia:B SRepNo:B Tax:B Terms:B Priority:B POReq:B LateFee:B "
     "Statement:B WebAccess:B AlertIf:B CusStatus:B PriceLevel:B PriceRound:B Discount:B Alert1:L Alert2:L "
     "Alert3:L DateCreated:D DateModified:D CreditDue:C CreditLimit:C CusID:T GroupID:T Memo:M ParentNo:L "
     "PropID:B"},
    {"ShippedItems",
     "ShipID:A ItemID:L ShiptoNo:L QtyShipped:L QtyPerBox:L Boxes:L ShipBy:B Status:B TaxBy:B ItemDes:T50 "
     "Tracking:T30 ShipNote:M Shipped:D Received:D TaxAmt:C ShipAmt:C"},
    {"Credits", "CreditID:A CusNo:L JobNo:L Amount:C Date:D ReasonID:B"},
    {"PayApplied", "PayNo:L JobNo:L Amount:C"},
    {"Times",
     "TimeID:A TimeFor:B EmpNo:B ItemID:L Start:D Finish:D Minutes:L Material:L Option:L Status:B "
     "Subgroup:B Note:M"},
    {"Todos", "TodoID:A ViewID:L RefID:L TypeID:B When:D Time:T8 Who:B Opt1:B Status:B Note:M"},
    {"TodoTypes", "ID:B Do:T20 Sort:B"},
    {"TableNotes", "Name:T20 Note:M"},
    {"ProductionDepts", "DepID:B Name:T50 QtyPerHr:L HrsPerDay:B Sort:B IconNo:L"},
    {"ProductionTags", "TagID:B Name:T50 Color:B Sort:B Type:B"},
    {"TimeDepartments", "DepID:B Name:T50 Type:B Sort:B"},
    {"Properties", "ID:B Text:T50 Type:B"},
    {"Samples", "ItemID:L Path:M"},
    {"PaperLink", "SerNo:L Vendor:T5 VenID:T12"},
    {"EmailLink", "MessageID:T124 TavrelJobID:L"},
    {"Inventory", "InvID:A SerNo:L Vendor:B Action:B ActionDate:D ActionQty:L Cost:C OrderNo:L Status:B"},
    {"CustomerAlerts", "AlertNo:A CusNo:L AlertType:B AlertText:T255 AlertPrint:B AlertColor:B AlertSound:B"},
    {"QuickSales",
     "QSaleID:A Date:D Subtotal:C Tax:C TaxID:B PostingNo:L PayNo:L Taxable:C Taxable2:C Tax2:C"},
    {"PostingJournal",
     "PostingNo:A PostingDate:D Invoices:L Cost:C Subtotal:C Discount:C Shipping:C Postage:C Tax:C Latefee:C "
     "Paid:C Writeoff:C Balance:C Commission:C TaxableNetSale:C QSales:L QSaleSubtotal:C QSaleTax:C "
     "TaxableQSale:C DepositNew:C DepositOld:C DepositNow:C AllPayments:C CreditsDue:C ARBalance:C"},
};

class NewDatabaseTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        ShopAddressTexts shop;
        shop.name = QStringLiteral("Bright Print");
        shop.address = QStringLiteral("12 Mill Road");
        shop.city = QStringLiteral("Springfield");
        shop.state = QStringLiteral("OR");
        shop.zip = QStringLiteral("97477");
        CreateShopDatabase(path, shop);
        db.open(path);
    }
    void TearDown() override
    {
        db.close();
        TavrelTest::TearDown();
    }

    QList<QList<Value>> rows(const QString &sql)
    {
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot, sql);
        QList<QList<Value>> out;
        for (; !rs.isEOF(); rs.moveNext()) {
            QList<Value> row;
            for (int i = 0; i < rs.fieldCount(); ++i)
                row << rs.value(i);
            out << row;
        }
        return out;
    }
    QList<int> keys(const QString &sql)
    {
        QList<int> out;
        for (const QList<Value> &row : rows(sql))
            out << row.first().toInt();
        return out;
    }

    QString path;
    Database db;
};

TEST_F(NewDatabaseTest, TablesMatchTheirDescriptions)
{
    for (const Expected &e : kExpected) {
        SCOPED_TRACE(e.table);
        const QString table = QString::fromLatin1(e.table);
        const TableDef def = db.tableDef(table);
        const QStringList items = QString::fromLatin1(e.fields).split(QLatin1Char(' '));
        ASSERT_EQ(def.fields.size(), items.size());
        for (int i = 0; i < items.size(); ++i) {
            const QString name = items[i].section(QLatin1Char(':'), 0, 0);
            const QString kind = items[i].section(QLatin1Char(':'), 1);
            const FieldDef &f = def.fields[i];
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(f.name, name);
            EXPECT_EQ(f.autoNumber, kind == QLatin1String("A"));
            switch (kind.at(0).toLatin1()) {
            case 'A':
            case 'L': EXPECT_EQ(f.type, FieldType::Long); break;
            case 'B': EXPECT_EQ(f.type, FieldType::Byte); break;
            case 'C': EXPECT_EQ(f.type, FieldType::Currency); break;
            case 'S': EXPECT_EQ(f.type, FieldType::Single); break;
            case 'D': EXPECT_EQ(f.type, FieldType::Date); break;
            case 'M': EXPECT_EQ(f.type, FieldType::Memo); break;
            case 'T':
                EXPECT_EQ(f.type, FieldType::Text);
                if (kind.size() > 1)
                    EXPECT_EQ(f.size, kind.mid(1).toInt());
                else
                    EXPECT_TRUE(f.size >= 1 && f.size <= 255) << f.size;
                break;
            default: ADD_FAILURE() << "bad kind";
            }
        }
    }
    const QStringList srv = services().split(QLatin1Char(' '));
    const TableDef def = db.tableDef(QStringLiteral("Services"));
    ASSERT_EQ(def.fields.size(), 113);
    for (int i = 0; i < srv.size(); ++i)
        EXPECT_EQ(def.fields[i].name, srv[i].section(QLatin1Char(':'), 0, 0)) << i;
    EXPECT_EQ(def.fields[def.fieldIndex(QStringLiteral("SerNote"))].type, FieldType::Memo);
    EXPECT_EQ(def.fields[def.fieldIndex(QStringLiteral("CostHr"))].type, FieldType::Currency);

    // The two numbered tables of a service's prices and difficulties.
    const TableDef diff = db.tableDef(QStringLiteral("ServiceDiffTables"));
    ASSERT_EQ(diff.fields.size(), 190);
    EXPECT_EQ(diff.fields[1].name, QStringLiteral("PapR1C1"));
    EXPECT_EQ(diff.fields[76].name, QStringLiteral("PapR19C4"));
    EXPECT_EQ(diff.fields[77].name, QStringLiteral("JobR1C0"));
    EXPECT_EQ(diff.fields[172].name, QStringLiteral("RunR1C1"));
    EXPECT_EQ(diff.fields[189].name, QStringLiteral("RunR9C2"));
    const TableDef price = db.tableDef(QStringLiteral("ServicePriceTables"));
    ASSERT_EQ(price.fields.size(), 151);
    EXPECT_EQ(price.fields[7].name, QStringLiteral("Opt7"));
    EXPECT_EQ(price.fields[7].type, FieldType::Byte);
    EXPECT_EQ(price.fields[8].name, QStringLiteral("Qty0"));
    EXPECT_EQ(price.fields[150].name, QStringLiteral("R12C9"));
}

// Every table of the file is exactly as the layout describes it, indexes
// included, and the file holds no other table.
TEST_F(NewDatabaseTest, FileFollowsTheLayout)
{
    QStringList expectedNames = ShopSchema::tableNames();
    QStringList actual = db.tableNames();
    expectedNames.sort(Qt::CaseInsensitive);
    actual.sort(Qt::CaseInsensitive);
    EXPECT_EQ(actual, expectedNames);

    int primaries = 0;
    for (const ShopSchema::Table &table : ShopSchema::tables()) {
        SCOPED_TRACE(table.name.toStdString());
        const TableDef def = db.tableDef(table.name);
        ASSERT_EQ(def.fields.size(), table.fields.size());
        for (int i = 0; i < def.fields.size(); ++i) {
            EXPECT_EQ(def.fields[i].name, table.fields[i].name);
            EXPECT_EQ(def.fields[i].type, table.fields[i].type) << table.fields[i].name.toStdString();
            EXPECT_EQ(def.fields[i].size, table.fields[i].size) << table.fields[i].name.toStdString();
            EXPECT_EQ(def.fields[i].autoNumber, table.fields[i].autoNumber);
        }
        ASSERT_EQ(def.indexes.size(), table.indexes.size());
        for (const ShopSchema::Index &index : table.indexes) {
            const auto found = std::find_if(def.indexes.begin(), def.indexes.end(),
                                            [&](const IndexDef &d) { return d.name == index.field; });
            ASSERT_NE(found, def.indexes.end()) << index.field.toStdString();
            EXPECT_EQ(found->field, index.field);
            EXPECT_EQ(found->primary, index.primary);
            EXPECT_EQ(found->unique, index.primary);
            primaries += index.primary ? 1 : 0;
        }
    }
    // The key list's 43 primary keys of current tables (its Notes entry names
    // a table files no longer have) and the keys of Inventory and TodoTypes.
    EXPECT_EQ(primaries, 45);
    // Seven on one field each, the job lists' one on JobType and JobNo and the
    // web-order notice's on JobType and Status.
    EXPECT_EQ(db.tableDef(QStringLiteral("Jobs")).indexes.size(), 10);

    EXPECT_TRUE(db.queryExists(QStringLiteral("Compare Sales")));
    EXPECT_TRUE(db.queryText(QStringLiteral("Compare Sales")).startsWith(QStringLiteral("PARAMETERS [Previous")));
}

TEST_F(NewDatabaseTest, VersionRowAndDefaultRows)
{
    const auto version = rows(QStringLiteral("SELECT AlertText, AlertPrint, AlertColor FROM CustomerAlerts "
                                             "WHERE CusNo = 0 AND AlertType = 99"));
    ASSERT_EQ(version.size(), 1);
    EXPECT_EQ(version[0][0].toString(), QStringLiteral("2010.0"));
    EXPECT_EQ(version[0][1].toInt(), 10);
    EXPECT_EQ(version[0][2].toInt(), 0);
    EXPECT_EQ(ReadVersionText(db), QStringLiteral("2010.0"));

    EXPECT_EQ(keys(QStringLiteral("SELECT CusNo FROM Customers ORDER BY CusNo")), QList<int>({1, 10, 31}));
    const auto customers = rows(QStringLiteral(
        "SELECT Name, Address, City, State, Zip, Terms, CusStatus, PriceRound, Tax, DateCreated, Address2, "
        "Memo, CreditLimit FROM Customers ORDER BY CusNo"));
    EXPECT_EQ(customers[0][0].toString(), QStringLiteral("Bright Print"));
    EXPECT_EQ(customers[1][0].toString(), QStringLiteral("Default Customer"));
    EXPECT_EQ(customers[2][0].toString(), QStringLiteral("Walk-in Customer ***"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(customers[i][1].toString(), QStringLiteral("12 Mill Road"));
        EXPECT_EQ(customers[i][4].toString(), QStringLiteral("97477"));
        EXPECT_EQ(customers[i][5].toInt(), 1);
        EXPECT_EQ(customers[i][7].toInt(), 1);
        EXPECT_EQ(customers[i][8].toInt(), 1);
        EXPECT_EQ(customers[i][9].toDateTime().date(), QDate(2026, 12, 7));
        EXPECT_FALSE(customers[i][10].isNull()); // a new customer's texts are empty, not Null
        EXPECT_EQ(customers[i][10].toString(), QString());
        EXPECT_FALSE(customers[i][11].isNull());
        EXPECT_EQ(customers[i][12].toMoney().units(), 0);
    }
    EXPECT_EQ(customers[0][6].toInt(), 0);
    EXPECT_EQ(customers[1][6].toInt(), 2);
    EXPECT_EQ(customers[2][6].toInt(), 0);

    EXPECT_EQ(keys(QStringLiteral("SELECT SerNo FROM Services ORDER BY SerNo")), QList<int>({0, 174, 175, 193}));
    const auto services = rows(QStringLiteral(
        "SELECT SerNo, CatNo, Name, Size, OptTax, OptCom, OptWO, OptInv, QBreak9, Modified FROM Services "
        "ORDER BY SerNo"));
    EXPECT_EQ(services[1][1].toInt(), 401);
    EXPECT_EQ(services[1][2].toString(), QStringLiteral("To RunSz"));
    EXPECT_EQ(services[2][2].toString(), QStringLiteral("To FinSz"));
    EXPECT_EQ(services[2][3].toString(), QStringLiteral("Cuts/Sheet"));
    EXPECT_EQ(services[3][1].toInt(), 404);
    EXPECT_EQ(services[3][2].toString(), QStringLiteral("NCR Padding"));
    EXPECT_EQ(services[3][3].toString(), QString());
    for (const auto &s : services) {
        EXPECT_EQ(s[4].toInt() * 100 + s[5].toInt() * 10 + s[6].toInt(), 111);
        EXPECT_EQ(s[7].toInt(), 0);
        EXPECT_FALSE(s[8].isNull());
        EXPECT_DOUBLE_EQ(s[9].toDateTime().toOle(), 0.0);
    }

    const auto jobTypes = rows(QStringLiteral("SELECT JobType, Name FROM JobTypes ORDER BY JobType"));
    QStringList names;
    for (const auto &r : jobTypes)
        names << r[1].toString();
    EXPECT_EQ(names, QStringList({"Orders", "Quotes", "Templates", "History", "PellOrders", "PellQuotes"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM EmpTypes WHERE Type = 2"))[0][0].toString(),
              QStringLiteral("Sales Reps"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM PayGroups WHERE PayGroup = 2"))[0][0].toString(),
              QStringLiteral("AR"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM Taxes WHERE [No] = 0"))[0][0].toString(),
              QStringLiteral("Exempt"));
    EXPECT_EQ(rows(QStringLiteral("SELECT CatName FROM ServiceCategories"))[0][0].toString(),
              QStringLiteral("Item"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name, [Group] FROM SalesDepartments"))[0][0].toString(),
              QStringLiteral("?"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM PaymentTypes"))[0][0].toString(), QStringLiteral("Cash"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM ProductTypes"))[0][0].toString(), QStringLiteral("?"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM Employees"))[0][0].toString(), QStringLiteral("?"));
}

TEST_F(NewDatabaseTest, TablesComeWithTheirRows)
{
    EXPECT_EQ(rows(QStringLiteral("SELECT ID FROM Properties")).size(), 256);
    const auto props = rows(QStringLiteral("SELECT ID, Text, Type FROM Properties WHERE ID IN (0, 8, 23, 24, 251, 255)"
                                           " ORDER BY ID"));
    ASSERT_EQ(props.size(), 6);
    EXPECT_EQ(props[0][1].toString(), QStringLiteral("Reason 1"));
    EXPECT_EQ(props[1][1].toString(), QStringLiteral("Property 1"));
    EXPECT_EQ(props[2][1].toString(), QStringLiteral("Property 8"));
    EXPECT_EQ(props[2][2].toInt(), 2);
    EXPECT_EQ(props[3][1].toString(), QString());
    EXPECT_EQ(props[4][1].toString(), QString());
    EXPECT_EQ(props[5][1].toString(), QStringLiteral("A/R Pre-Payment"));
    EXPECT_EQ(props[5][2].toInt(), 31);

    const auto deps = rows(QStringLiteral("SELECT DepID, Name, HrsPerDay, IconNo FROM ProductionDepts ORDER BY DepID"));
    ASSERT_EQ(deps.size(), 10);
    EXPECT_EQ(deps[9][1].toString(), QStringLiteral("Shipping"));
    EXPECT_EQ(deps[9][3].toInt(), 9);
    EXPECT_EQ(deps[4][2].toInt(), 8);

    EXPECT_EQ(keys(QStringLiteral("SELECT TagID FROM ProductionTags WHERE Type = 1 ORDER BY TagID")),
              QList<int>({51, 52, 53}));
    EXPECT_EQ(rows(QStringLiteral("SELECT Color FROM ProductionTags WHERE TagID = 0"))[0][0].toInt(), 255);

    const auto time = rows(QStringLiteral("SELECT DepID, Name, Type, Sort FROM TimeDepartments ORDER BY Sort"));
    ASSERT_EQ(time.size(), 20);
    EXPECT_EQ(time[4][0].toInt(), 100);
    EXPECT_EQ(time[4][1].toString(), QStringLiteral("2"));
    EXPECT_EQ(time[14][0].toInt(), 110);
    EXPECT_EQ(time[15][0].toInt(), 200);
    EXPECT_EQ(time[19][0].toInt(), 204);
    EXPECT_EQ(time[19][1].toString(), QStringLiteral("Sick Leave"));
    EXPECT_EQ(time[19][2].toInt(), 3);

    EXPECT_EQ(rows(QStringLiteral("SELECT ID FROM TodoTypes")).size(), 10);
    EXPECT_EQ(rows(QStringLiteral("SELECT DepNo FROM ContactDepts")).size(), 9);
    EXPECT_EQ(rows(QStringLiteral("SELECT DepName FROM ServiceDepartments WHERE DepNo = 0"))[0][0].toString(),
              QStringLiteral("?"));

    EXPECT_EQ(keys(QStringLiteral("SELECT [No] FROM Forms ORDER BY [No]")),
              QList<int>({1, 2, 3, 4, 5, 6, 7, 11, 12, 13, 14, 15, 16, 17, 18, 41, 42, 43, 44, 99, 100}));
    // The job tickets of orders and quotes carry their own titles.
    EXPECT_EQ(rows(QStringLiteral("SELECT Title FROM Forms WHERE [No] IN (1, 11) ORDER BY [No]")).size(), 2);
    EXPECT_EQ(rows(QStringLiteral("SELECT Title FROM Forms WHERE [No] = 1"))[0][0].toString(), QStringLiteral("Work Order"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Title FROM Forms WHERE [No] = 11"))[0][0].toString(), QStringLiteral("Estimate"));
    const auto letter = rows(QStringLiteral("SELECT Text, FontName, FontSize, Options, ColBack, TopMargin FROM Forms "
                                            "WHERE [No] = 17"));
    EXPECT_TRUE(letter[0][0].toString().startsWith(QStringLiteral("Dear <First>,\r\nThank you for the opportunity.")));
    EXPECT_EQ(letter[0][1].toString(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(letter[0][3].toInt(), 399356);
    EXPECT_EQ(letter[0][4].toInt(), 0xFFFFFF);
    EXPECT_NEAR(letter[0][5].toDouble(), 0.9, 1e-6);

    EXPECT_EQ(rows(QStringLiteral("SELECT [No] FROM Passwords")).size(), 79);
    EXPECT_EQ(rows(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 36"))[0][0].toString(),
              QStringLiteral("Delete PellQuotes"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 46"))[0][0].toString(),
              QStringLiteral("Edit Cost-PellQuotes"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 24"))[0][0].toString(),
              QStringLiteral("Add History Jobs"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 3"))[0][0].toString(), QString());
}

TEST_F(NewDatabaseTest, AnExistingFileIsNeverOverwritten)
{
    db.close();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    try {
        CreateShopDatabase(path);
        FAIL() << "an existing file was accepted";
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3204);
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    db.open(path);
}

// The file is a plain SQLite database that the command-line shell reads and
// finds sound.
TEST_F(NewDatabaseTest, SqliteShellReadsTheFile)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        GTEST_SKIP() << "sqlite3 is not installed";
    db.close();
    QProcess schema;
    schema.start(shell, {path, QStringLiteral(".schema")});
    ASSERT_TRUE(schema.waitForFinished(30000));
    const QString text = QString::fromUtf8(schema.readAllStandardOutput());
    for (const QString &table : ShopSchema::tableNames())
        EXPECT_TRUE(text.contains(QRegularExpression(
            QStringLiteral("CREATE TABLE (IF NOT EXISTS )?\"%1\" \\(").arg(table))))
            << table.toStdString();

    QProcess check;
    check.start(shell, {path, QStringLiteral("PRAGMA integrity_check")});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(check.readAllStandardOutput()).trimmed(), QStringLiteral("ok"))
        << check.readAllStandardError().toStdString();
    db.open(path);
}

} // namespace

namespace {

// The text of the program's string literals, each run of adjacent literals
// (a statement written over several lines) joined into one.
QStringList statementTexts(const QString &source)
{
    QStringList out;
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    static const QRegularExpression glue(QStringLiteral(R"re(^[\s)+]*(QStringLiteral\(|QLatin1String\()?\s*$)re"));
    QString current;
    qsizetype end = -1;
    for (auto it = literal.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (end >= 0 && !glue.match(source.mid(end, m.capturedStart() - end)).hasMatch()) {
            out << current;
            current.clear();
        }
        current += m.captured(1);
        end = m.capturedEnd();
    }
    out << current;
    return out;
}

// The kind of join an ON clause closes: the nearest join keyword before it
// at the same depth of brackets.
QString joinKindBefore(const QString &sql, qsizetype on)
{
    int depth = 0;
    for (qsizetype i = on - 1; i >= 0; --i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char(')'))
            ++depth;
        else if (c == QLatin1Char('(') && depth > 0)
            --depth;
        if (depth != 0)
            continue;
        for (const char *kind : {"INNER JOIN", "LEFT JOIN", "RIGHT JOIN"}) {
            const QString k = QString::fromLatin1(kind);
            if (sql.mid(i, k.size()).compare(k, Qt::CaseInsensitive) == 0)
                return k;
        }
    }
    return QString();
}

// The inner joins of every statement of the program's sources that join a
// code table's key: "table.key" -> the fields joined to it ("table.field",
// as written, an alias included) and the files. The joins on records of
// their own (customers, postings and the AutoNumber tables) join only rows
// that have one, by design.
struct InnerJoinedCodes
{
    QMap<QString, QStringList> files;
    QMap<QString, QSet<QString>> joinedFields;
    int innerJoins = 0;
};

InnerJoinedCodes innerJoinedCodes()
{
    // The keys whose 0 is never a "none" code: every job, payment, credit,
    // contact and ship-to belongs to a real customer, and posting 0 marks
    // what is not posted yet, which the posting statements leave out.
    const QSet<QString> records = {QStringLiteral("customers.cusno"), QStringLiteral("postingjournal.postingno")};
    QHash<QString, QString> primaryKey;
    for (const ShopSchema::Index &index : ShopSchema::keyIndexes()) {
        if (!index.primary)
            continue;
        const ShopSchema::Table *table = ShopSchema::table(index.table);
        const ShopSchema::Field *field = table ? table->field(index.field) : nullptr;
        if (field && !field->autoNumber)
            primaryKey.insert(index.table.toLower(), index.field.toLower());
    }

    static const QRegularExpression on(QStringLiteral(
        R"re(\bON\s+\(*\s*\[?(\w+)\]?\.\[?(\w+)\]?\s*=\s*\[?(\w+)\]?\.\[?(\w+)\]?)re"),
        QRegularExpression::CaseInsensitiveOption);
    InnerJoinedCodes found;
    QDirIterator files(QStringLiteral(TAVREL_TEST_DATA "/../../src"), {QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QString &sql : statementTexts(QString::fromUtf8(f.readAll()))) {
            for (auto it = on.globalMatch(sql); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                if (joinKindBefore(sql, m.capturedStart()) != QLatin1String("INNER JOIN"))
                    continue;
                ++found.innerJoins;
                const QString a = m.captured(1).toLower(), af = m.captured(2).toLower();
                const QString b = m.captured(3).toLower(), bf = m.captured(4).toLower();
                const bool aKey = primaryKey.value(a) == af;
                const bool bKey = primaryKey.value(b) == bf;
                if (aKey == bKey)
                    continue; // key to key, or two fields of records
                const QString code = aKey ? a + QLatin1Char('.') + af : b + QLatin1Char('.') + bf;
                if (records.contains(code))
                    continue;
                found.files[code] << QFileInfo(file).fileName();
                found.joinedFields[code] << (aKey ? b + QLatin1Char('.') + bf : a + QLatin1Char('.') + af);
            }
        }
    }
    return found;
}

} // namespace

// An inner join on a code table drops every row whose code has no row there:
// a service without a vendor vanished from the inventory, a customer without
// a kind of business from the sales by business. Every code a row may leave
// at 0 ("none") therefore needs its row 0 in a new file, and every code the
// new file's own rows hold (the default services' categories, the default
// customers' terms) its row too.
TEST_F(NewDatabaseTest, EveryInnerJoinedCodeTableHasItsNoneRow)
{
    const InnerJoinedCodes joins = innerJoinedCodes();
    ASSERT_GT(joins.innerJoins, 200); // the statements were read
    ASSERT_GT(joins.files.size(), 15);

    QStringList missing;
    for (auto it = joins.files.cbegin(); it != joins.files.cend(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('.'));
        const QString table = ShopSchema::table(parts[0])->name;
        if (rows(QStringLiteral("SELECT * FROM [%1] WHERE [%2] = 0").arg(table, parts[1])).isEmpty())
            missing << it.key() + QStringLiteral(" (") + it.value().first() + QLatin1Char(')');
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
    // The ones the inventory and the customer reports were empty without.
    EXPECT_TRUE(joins.files.contains(QStringLiteral("vendors.no")));
    EXPECT_TRUE(joins.files.contains(QStringLiteral("businesstypes.no")));

    // The codes held by the rows a new file comes with.
    QStringList dangling;
    int checked = 0;
    for (auto it = joins.joinedFields.cbegin(); it != joins.joinedFields.cend(); ++it) {
        const QStringList code = it.key().split(QLatin1Char('.'));
        const QString codeTable = ShopSchema::table(code[0])->name;
        for (const QString &joined : it.value()) {
            const QStringList field = joined.split(QLatin1Char('.'));
            const ShopSchema::Table *table = ShopSchema::table(field[0]);
            if (!table || !table->field(field[1]))
                continue; // an alias of a table or a query's column
            ++checked;
            const auto values = rows(QStringLiteral("SELECT DISTINCT [%1] FROM [%2] WHERE [%1] IS NOT NULL AND [%1] "
                                                    "NOT IN (SELECT [%3] FROM [%4])")
                                         .arg(table->field(field[1])->name, table->name, code[1], codeTable));
            for (const auto &v : values)
                dangling << QStringLiteral("%1 = %2 (no %3 row)").arg(joined, v[0].toString(), it.key());
        }
    }
    EXPECT_GT(checked, 20);
    EXPECT_TRUE(dangling.isEmpty()) << dangling.join(QStringLiteral(", ")).toStdString();
    // The default services are filed in categories of a department, so the
    // service and inventory lists show them.
    EXPECT_TRUE(joins.joinedFields.value(QStringLiteral("servicecategories.catno")).contains(QStringLiteral("services.catno")));
    EXPECT_EQ(rows(QStringLiteral("SELECT Services.SerNo, ServiceCategories.CatName, ServiceDepartments.DepName "
                                  "FROM (Services INNER JOIN ServiceCategories ON Services.CatNo = "
                                  "ServiceCategories.CatNo) INNER JOIN ServiceDepartments ON "
                                  "ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE Services.SerNo > 0 "
                                  "ORDER BY Services.SerNo"))
                  .size(),
              3);
}

// What a new shop needs before its first job: a form for every document the
// print dialog offers, with its own title and the options that print prices
// and totals, and the fixed rows of the numbered setup tables.
TEST_F(NewDatabaseTest, DocumentFormsAndFixedSetupRows)
{
    const struct { int no; const char *title; } documents[] = {
        {2, "Invoice"}, {3, "Order Receipt"}, {4, "Delivery Ticket"}, {12, "Quote"}, {13, "Proposal"},
        {14, "Estimate"}, {18, "Estimate"}, {41, "Statement"}, {42, "Past-Due Notice"}};
    for (const auto &d : documents) {
        const auto form = rows(QStringLiteral("SELECT Title, Options FROM Forms WHERE [No] = %1").arg(d.no));
        ASSERT_EQ(form.size(), 1) << d.no;
        EXPECT_EQ(form[0][0].toString(), QString::fromUtf8(d.title));
        const int options = form[0][1].toInt();
        if (d.no < 40) // item price and job totals
            EXPECT_EQ(options & 0x60000, 0x60000) << d.no;
        else // title, amounts and aging
            EXPECT_EQ(options & 0x700, 0x700) << d.no;
    }
    // Job tickets print their price column.
    EXPECT_EQ(rows(QStringLiteral("SELECT Options FROM Forms WHERE [No] = 1"))[0][0].toInt() & 0x10, 0x10);

    const auto terms = rows(QStringLiteral("SELECT [No], Name FROM Terms ORDER BY [No]"));
    ASSERT_EQ(terms.size(), 3);
    EXPECT_EQ(terms[0][1].toString(), QStringLiteral("C.O.D."));
    EXPECT_EQ(terms[1][1].toString(), QStringLiteral("Net 30")); // the default customers' terms
    EXPECT_EQ(terms[2][0].toInt(), 4);
    EXPECT_EQ(terms[2][1].toString(), QStringLiteral("Net 10th of Month"));
    // The customer window's list of terms offers them.
    QString list;
    GetCodeListSql(list, 503, true);
    QStringList offered;
    for (const auto &r : rows(list))
        offered << r[1].toString();
    EXPECT_EQ(offered, QStringList({QStringLiteral("C.O.D."), QStringLiteral("Net 30"), QStringLiteral("Net 10th of Month")}));
    EXPECT_EQ(keys(QStringLiteral("SELECT [No] FROM Vendors WHERE Type = 0 ORDER BY [No]")),
              QList<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(rows(QStringLiteral("SELECT Name FROM Vendors WHERE [No] = 4"))[0][0].toString(),
              QStringLiteral("Customer Stock (No Charge)"));
    // The engine reads the waste table by position: the limit is the 21st row.
    const auto waste = rows(QStringLiteral("SELECT [Level], Name FROM WasteTable ORDER BY [Level]"));
    ASSERT_EQ(waste.size(), 21);
    EXPECT_EQ(waste[20][0].toInt(), 20);
    EXPECT_EQ(waste[20][1].toString(), QStringLiteral("Waste Limit (see NOTE above)"));
    EXPECT_EQ(rows(QStringLiteral("SELECT No FROM MarkupTable")).size(), 20);
}
