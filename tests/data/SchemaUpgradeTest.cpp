#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include "FixtureDatabase.h"
#include "SampleShopFile.h"
#include "ScriptedProgress.h"

#include "data/DatabaseHelpers.h"
#include "data/DatabaseMaintenance.h"
#include "data/DatabaseOpening.h"
#include "data/RunProgress.h"
#include "data/KeyCheck.h"
#include "data/SchemaUpgrade.h"
#include "data/SharedDatabase.h"
#include "data/ShopSchema.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <sys/resource.h>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::Value;

namespace {

const QString kClosing = QStringLiteral("Tavrel will end now. Please contact Halvane for a solution.");

class SchemaUpgradeTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        QDir().mkpath(tempPath(QStringLiteral("Shop")));
        m_path = tempPath(QStringLiteral("Shop/TavrelData.mdb"));
        m_progress = std::make_shared<ScriptedProgress::Record>();
        SetRunProgressMaker([record = m_progress] { return std::make_unique<ScriptedProgress>(record); });
    }
    void TearDown() override
    {
        if (db().isOpen())
            db().close();
        SetRunProgressMaker(nullptr);
        SetUpgradeDatabaseStep(nullptr);
        SetRepairDatabaseStep(nullptr);
        ClearUpgradeHandOver();
        ClearRunLog();
        TavrelTest::TearDown();
    }

    platform::Database &db() { return SharedDatabase(); }
    void openFixture(const char *script)
    {
        BuildDatabaseFromScript(FixtureScript(QString::fromLatin1(script)), m_path);
        db().open(m_path);
    }
    QString backupPath(const char *day = "2026-12-06") const
    {
        return tempPath(QStringLiteral("Shop/TavrelData-%1.mdb").arg(QString::fromLatin1(day)));
    }
    QString question(const QString &from) const
    {
        return QStringLiteral("Your database must be upgraded from version %1 to 2010.0.\nIt may take a few minutes "
                              "to upgrade your database %2 KB.\n\nDo you want to upgrade your database now?\n")
            .arg(from)
            .arg(int(QFileInfo(m_path).size() / 1024.0 + 0.99));
    }

    Value value(const QString &sql)
    {
        platform::Recordset set(db());
        set.open(platform::Recordset::Type::Snapshot, sql);
        return set.isEOF() ? Value() : set.value(0);
    }
    qint64 number(const QString &sql) { return value(sql).toInt64(); }
    double real(const QString &sql) { return value(sql).toDouble(); }
    QString text(const QString &sql)
    {
        const Value v = value(sql);
        return v.isNull() ? QStringLiteral("<null>") : v.toString();
    }
    QStringList fieldNames(const QString &table)
    {
        QStringList names;
        for (const platform::FieldDef &f : db().tableDef(table).fields)
            names << f.name;
        return names;
    }
    QString version() { return text(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 99")); }

    // Every table of the current layout with every field of its type and
    // size; nothing else. Tables the upgrade creates have the fields in the
    // layout's order too.
    void expectCurrentLayout()
    {
        QStringList tables = db().tableNames();
        QStringList expected = ShopSchema::tableNames();
        tables.sort(Qt::CaseInsensitive);
        expected.sort(Qt::CaseInsensitive);
        EXPECT_EQ(tables.join(QLatin1Char(',')).toLower(), expected.join(QLatin1Char(',')).toLower());
        for (const ShopSchema::Table &t : ShopSchema::tables()) {
            if (!db().tableExists(t.name))
                continue;
            const platform::TableDef def = db().tableDef(t.name);
            EXPECT_EQ(def.fields.size(), t.fields.size()) << t.name.toStdString();
            for (const ShopSchema::Field &f : t.fields) {
                const platform::FieldDef *g = def.field(f.name);
                ASSERT_NE(g, nullptr) << (t.name + QLatin1Char('.') + f.name).toStdString();
                EXPECT_EQ(g->type, f.type) << (t.name + QLatin1Char('.') + f.name).toStdString();
                EXPECT_EQ(g->size, f.size) << (t.name + QLatin1Char('.') + f.name).toStdString();
                EXPECT_EQ(g->autoNumber, f.autoNumber) << (t.name + QLatin1Char('.') + f.name).toStdString();
            }
        }
        EXPECT_EQ(fieldNames(QStringLiteral("ServiceDiffTables")), ShopSchema::table(QStringLiteral("ServiceDiffTables"))->fieldNames());
        EXPECT_EQ(fieldNames(QStringLiteral("ServicePriceTables")).size(), 151);
        EXPECT_EQ(fieldNames(QStringLiteral("ServiceDiffTables")).size(), 190);
        EXPECT_EQ(fieldNames(QStringLiteral("ShippedItems")), ShopSchema::table(QStringLiteral("ShippedItems"))->fieldNames());
        EXPECT_EQ(fieldNames(QStringLiteral("Todos")), ShopSchema::table(QStringLiteral("Todos"))->fieldNames());
    }

    QString m_path;
    std::shared_ptr<ScriptedProgress::Record> m_progress;
};

} // namespace

TEST_F(SchemaUpgradeTest, FileOf2005ReachesTheCurrentLayout)
{
    openFixture("schema-2005.sql");
    const QString asked = question(QStringLiteral("2005.2"));
    prompts().answer(IDYES);
    ASSERT_TRUE(UpgradeDatabase(&db()));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown()[0].text, asked);
    EXPECT_EQ(prompts().shown()[0].flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));

    // Open again for every workstation, stamped with the current version.
    EXPECT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    EXPECT_EQ(version(), QStringLiteral("2010.0"));
    EXPECT_EQ(number(QStringLiteral("SELECT AlertPrint FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 99")), 10);
    EXPECT_EQ(number(QStringLiteral("SELECT AlertColor FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 99")), 0);
    EXPECT_EQ(DatabaseUpgraded(), 1);
    EXPECT_EQ(UpgradeNotes(), QStringLiteral("It took less than a second to upgrade."));

    expectCurrentLayout();
    EXPECT_EQ(db().queryNames(), (QStringList{QStringLiteral("Compare Sales"), QStringLiteral("Customer List")}));
    EXPECT_EQ(fieldNames(QStringLiteral("Items")).indexOf(QStringLiteral("SubNo")), 6);
    EXPECT_EQ(fieldNames(QStringLiteral("Customers")).mid(0, 8),
              (QStringList{"CusNo", "Name", "Address", "Address2", "City", "State", "Zip", "Country"}));
    EXPECT_EQ(fieldNames(QStringLiteral("ServiceCategories")),
              (QStringList{"CatNo", "DepNo", "IconNo", "CatName", "SortNo"}));
    EXPECT_EQ(fieldNames(QStringLiteral("WasteTable")).mid(0, 4), (QStringList{"Level", "Name", "Setup", "Waste1"}));

    // Every key and index the key check expects is there, without a reindex.
    QStringList missing;
    for (const ShopSchema::Index &key : MissingKeyIndexes(db()))
        missing << key.table + QLatin1Char('.') + key.field;
    EXPECT_EQ(missing.join(QStringLiteral(", ")).toStdString(), "");

    // Created tables come with their keys and rows.
    for (const char *table : {"Properties", "ContactDepts", "ProductionDepts", "ProductionTags", "TimeDepartments",
                              "TodoTypes", "Todos", "ShippedItems", "Credits", "Times", "ServiceDiffTables"}) {
        const platform::TableDef def = db().tableDef(QString::fromLatin1(table));
        ASSERT_EQ(def.indexes.size(), 1) << table;
        EXPECT_TRUE(def.indexes[0].primary) << table;
    }
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Properties")), 256);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ContactDepts")), 9);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM TimeDepartments")), 20);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM TodoTypes")), 10);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ProductionTags")), 19);
    EXPECT_EQ(number(QStringLiteral("SELECT Sum(IconNo) FROM ProductionDepts")), 45);

    // The dated copy holds the file as it was.
    ASSERT_TRUE(QFileInfo::exists(backupPath()));
    platform::Database copy;
    copy.open(backupPath(), false, true);
    platform::Recordset old(copy);
    old.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertType = 99"));
    EXPECT_EQ(old.value(0).toString(), QStringLiteral("2005.2"));
}

TEST_F(SchemaUpgradeTest, FileOf2005HasItsDataConverted)
{
    openFixture("schema-2005.sql");
    prompts().answer(IDYES);
    ASSERT_TRUE(UpgradeDatabase(&db()));

    // Taxes of two rates 6 and 2: the second tax of a job of both is the
    // second rate's share, 2/8 of its tax.
    const QString job = QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = %2");
    EXPECT_EQ(text(job.arg("Title").arg(1)), QStringLiteral("Business cards for O'Brien's Bakery, 500 pcs"));
    EXPECT_DOUBLE_EQ(real(job.arg("Taxable").arg(1)), 90.0);
    EXPECT_DOUBLE_EQ(real(job.arg("Taxable2").arg(1)), 0.0);
    EXPECT_DOUBLE_EQ(real(job.arg("Taxable2").arg(2)), 200.0);
    EXPECT_DOUBLE_EQ(real(job.arg("Tax2").arg(2)), 4.0);
    EXPECT_DOUBLE_EQ(real(job.arg("Taxable2").arg(3)), 50.0);
    EXPECT_DOUBLE_EQ(real(job.arg("Tax2").arg(3)), 1.0);
    EXPECT_DOUBLE_EQ(real(job.arg("Taxable").arg(4)), 0.0);
    EXPECT_EQ(number(job.arg("Creator").arg(4)), 0);
    EXPECT_EQ(text(job.arg("ProofTime").arg(4)), QStringLiteral("<null>"));
    const QString sale = QStringLiteral("SELECT %1 FROM QuickSales WHERE QSaleID = %2");
    EXPECT_DOUBLE_EQ(real(sale.arg("Taxable").arg(1)), 10.0);
    EXPECT_DOUBLE_EQ(real(sale.arg("Tax2").arg(2)), 0.4);
    EXPECT_DOUBLE_EQ(real(sale.arg("Taxable").arg(3)), 0.0);

    // Customers: the 2007 status numbers, then the old reserved bytes moved.
    const QString customer = QStringLiteral("SELECT AlertIf & '/' & PriceLevel & '/' & PriceRound & '/' & CusStatus "
                                            "FROM Customers WHERE CusNo = %1");
    EXPECT_EQ(text(customer.arg(1001)), QStringLiteral("1/2/1/2"));
    EXPECT_EQ(text(customer.arg(1002)), QStringLiteral("0/5/1/0"));
    EXPECT_EQ(text(customer.arg(1003)), QStringLiteral("2/11/1/0"));
    EXPECT_EQ(text(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 1002")), QStringLiteral("O'Hara Print Buyers"));
    EXPECT_EQ(text(QStringLiteral("SELECT Type & '/' & SendEmail & '/' & KeyContact FROM Contacts WHERE ContactNo = 1")),
              QStringLiteral("0/1/1"));
    EXPECT_EQ(number(QStringLiteral("SELECT Type FROM Contacts WHERE ContactNo = 2")), 2);
    EXPECT_EQ(text(QStringLiteral("SELECT Type & '/' & Company FROM Shipto ORDER BY ShiptoNo")), QStringLiteral("0/Quill Warehouse"));
    EXPECT_EQ(number(QStringLiteral("SELECT Type FROM Shipto WHERE ShiptoNo = 2")), 2);

    // Items, before the categories were renumbered.
    const QString item = QStringLiteral("SELECT %1 FROM Items WHERE ItemID = %2");
    EXPECT_EQ(text(item.arg("ActualTime & '/' & ChargeTime & '/' & TimeCost").arg(4)), QStringLiteral("45/60/15"));
    EXPECT_EQ(text(item.arg("ActualQty & '/' & ChargeQty & '/' & MatCost").arg(2)), QStringLiteral("100/120/20"));
    EXPECT_EQ(text(item.arg("Status & '/' & Sheets & '/' & Out & '/' & ChargeQty & '/' & Side2").arg(1)),
              QStringLiteral("17/500/0/250/164"));
    EXPECT_EQ(text(item.arg("Vendor & '/' & Opt1 & '/' & Opt2 & '/' & Opt3 & '/' & Opt4 & '/' & Wash").arg(2)),
              QStringLiteral("2/1/2/4/1/0"));
    EXPECT_EQ(text(item.arg("Side1 & '/' & Side2 & '/' & Covrg & '/' & Regis & '/' & Bleed & '/' & PrtAs").arg(2)),
              QStringLiteral("1/1/50/3/1/2"));
    EXPECT_EQ(text(item.arg("Sheets & '/' & Pages & '/' & Note").arg(2)), QString::fromUtf8("500/1000/ • Black"));
    EXPECT_EQ(text(item.arg("Side1 & '/' & Covrg & '/' & Note").arg(3)), QStringLiteral("0/0/"));
    EXPECT_EQ(text(item.arg("Vendor & '/' & Pages & '/' & Sheets & '/' & Side1 & '/' & Side2 & '/' & Out & '/' & Up").arg(6)),
              QStringLiteral("4/3/2/1/1/1/4"));

    // Categories renumbered with departments; services follow them.
    EXPECT_EQ(text(QStringLiteral("SELECT CatName & '/' & DepNo & '/' & SortNo FROM ServiceCategories WHERE CatNo = 117")),
              QStringLiteral("Copy Paper/2/301"));
    EXPECT_EQ(text(QStringLiteral("SELECT CatName & '/' & DepNo FROM ServiceCategories WHERE CatNo = 301")),
              QStringLiteral("Digital/4"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ServiceCategories WHERE CatNo IN (302, 303, 603)")), 0);
    const QString service = QStringLiteral("SELECT %1 FROM Services WHERE SerNo = %2");
    EXPECT_EQ(text(service.arg("CatNo & '/' & ProdDepID").arg(301)), QStringLiteral("117/2"));
    EXPECT_EQ(text(service.arg("CatNo & '/' & ProdDepID").arg(603)), QStringLiteral("999/7"));
    EXPECT_EQ(text(service.arg("Step & '/' & SerStatus & '/' & Multiply & '/' & AskHowMany & '/' & CostHr").arg(1)),
              QStringLiteral("2/2/12//40"));
    EXPECT_FLOAT_EQ(float(real(service.arg("Bid").arg(1))), 1.1f);
    EXPECT_DOUBLE_EQ(real(service.arg("WageHr").arg(1)), 18.0);
    EXPECT_EQ(text(service.arg("AskHowMany").arg(302)), QStringLiteral("Tabloid-size 11x"));
    EXPECT_EQ(text(service.arg("Size").arg(302)), QStringLiteral("<null>"));
    EXPECT_EQ(text(service.arg("QBreak1 & '/' & RunCost1 & '/' & QBreak2 & '/' & RunCost2 & '/' & PriceBy & '/' & Markup3").arg(101)),
              QStringLiteral("100/7/500/6/2/100"));
    EXPECT_EQ(text(service.arg("WasteBy & '/' & SetTime1 & '/' & SetTime3 & '/' & SetTime4 & '/' & DefPlate & '/' & "
                               "Divide & '/' & TimeBy & '/' & UnitsHr1").arg(201)),
              QStringLiteral("251/20/15/10/3/0/1/0"));
    EXPECT_EQ(text(service.arg("OptTax & '/' & OptInv & '/' & LiftBy & '/' & SetTime & '/' & ImpHour").arg(401)),
              QStringLiteral("1/1/1/12/2.5"));

    // The press's difficulty row and the two price rows.
    const QString diff = QStringLiteral("SELECT %1 FROM ServiceDiffTables WHERE SerNo = 201");
    EXPECT_EQ(text(diff.arg("PapR1C1 & '/' & PapR1C2 & '/' & PapR1C3 & '/' & PapR2C3 & '/' & PapR3C1")),
              QStringLiteral("30/-5000/6/9/0"));
    EXPECT_EQ(text(diff.arg("JobR1C0 & '/' & JobR1C1 & '/' & JobR1C4 & '/' & JobR2C0 & '/' & JobR6C4 & '/' & JobR7C1")),
              QStringLiteral("11/120/15/21/0/420"));
    EXPECT_EQ(text(diff.arg("RunR1C1 & '/' & RunR1C2 & '/' & RunR9C2")), QStringLiteral("31/-33/0"));
    const QString price = QStringLiteral("SELECT Opt1 & '/' & Opt2 & '/' & Opt3 & '/' & Opt4 & '/' & Opt5 & '/' & "
                                         "Qty0 & '/' & R0C0 & '/' & R0C9 & '/' & Qty1 & '/' & R12C9 "
                                         "FROM ServicePriceTables WHERE SerNo = %1");
    EXPECT_EQ(text(price.arg(301)), QStringLiteral("0/3/1/3/6/10/11/20/30/0"));
    EXPECT_EQ(text(price.arg(302)), QStringLiteral("0/2/1/1/7/100/101/0/200/0"));

    // Waste and markup rows, service departments, quick notes with the paper
    // sizes (names with quotes of both kinds), vendors and product types.
    EXPECT_EQ(text(QStringLiteral("SELECT Name & '/' & Waste1 & '/' & Waste6 & '/' & Waste7 FROM WasteTable WHERE [Level] = 1")),
              QStringLiteral("/10/60/0"));
    EXPECT_EQ(text(QStringLiteral("SELECT Name & '/' & Waste6 FROM WasteTable WHERE [Level] = 0")),
              QStringLiteral("#Impressions/Orig. -->/100000"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM WasteTable")), 14);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM MarkupTable WHERE Markup1 = [No] AND [No] BETWEEN 10 AND 19")), 10);
    EXPECT_EQ(text(QStringLiteral("SELECT DepName & '/' & IconNo FROM ServiceDepartments WHERE DepNo = 0")), QStringLiteral("?/157"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ServiceDepartments")), 8);
    EXPECT_EQ(text(QStringLiteral("SELECT [No] & '/' & Sort & '/' & Type & '/' & QCatNo FROM QuickNotes WHERE Note = 'Fold in half'")),
              QStringLiteral("0/2/5/402"));
    EXPECT_EQ(text(QStringLiteral("SELECT Sort & '/' & Type & '/' & QCatNo FROM QuickNotes WHERE Note = 'Lamination'")),
              QStringLiteral("3/0/0"));
    EXPECT_EQ(text(QStringLiteral("SELECT Sort & '/' & Type FROM QuickNotes WHERE Note = 'Tabloid 11\" x 17\"'")),
              QStringLiteral("2/1"));
    EXPECT_EQ(text(QStringLiteral("SELECT Sort & '/' & Type FROM QuickNotes WHERE Note = \"Printer's A4\"")),
              QStringLiteral("3/2"));
    EXPECT_EQ(text(QStringLiteral("SELECT Name & '/' & Sort FROM Vendors WHERE [No] = 0")), QStringLiteral("/0"));
    EXPECT_EQ(number(QStringLiteral("SELECT Sort FROM Vendors WHERE [No] = 3")), 3);
    EXPECT_EQ(number(QStringLiteral("SELECT Min(Qty) FROM ProductTypes")), 1000);
    EXPECT_EQ(number(QStringLiteral("SELECT Sort FROM Employees WHERE EmpNo = 201")), 201);
    EXPECT_EQ(fieldNames(QStringLiteral("Taxes")).first(), QStringLiteral("Sort"));

    // Rights: the newer actions, the renamed history action, rows 6 to 79.
    const QString password = QStringLiteral("SELECT Password FROM Passwords WHERE [No] = %1");
    EXPECT_EQ(text(password.arg(36)), QStringLiteral("Delete PellQuotes"));
    EXPECT_EQ(text(password.arg(24)), QStringLiteral("Add History Jobs"));
    EXPECT_EQ(text(password.arg(17)), QStringLiteral("Goto RaroVirider"));
    EXPECT_EQ(text(password.arg(12)), QStringLiteral("Add/Edit Quotes"));
    EXPECT_EQ(text(password.arg(60)), QString());
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Passwords")), 79);

    // Options: the copies of row 44310 and the fixed sums; the job lock stays.
    EXPECT_EQ(number(QStringLiteral("SELECT Sum(OptionSum) FROM Options WHERE OptionID BETWEEN 44321 AND 44325")), 5 * 77);
    EXPECT_EQ(text(QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = 44310")), QStringLiteral("0"));
    EXPECT_EQ(number(QStringLiteral("SELECT Sum(OptionSum) FROM Options WHERE OptionID BETWEEN 44312 AND 44314")), 3);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 1);

    // Forms: the old form kept with the new colour, the missing ones added.
    EXPECT_EQ(text(QStringLiteral("SELECT Title & '/' & ColBack & '/' & Options FROM Forms WHERE [No] = 5")),
              QStringLiteral("Our Invoice/10092543/12345"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Forms")), 21); // a form for every document, the list 100 among them
}

TEST_F(SchemaUpgradeTest, FileOf2008KeepsWhatItAlreadyHad)
{
    openFixture("schema-2008.sql");
    // State 6 % and City 8.25 %: the invoices of both rates, a credit among them.
    db().execute(QStringLiteral("UPDATE Taxes SET Name = 'City', TaxPercent = 82500 WHERE [No] = 2"));
    db().execute(QStringLiteral("UPDATE Jobs SET Tax = 245.39 WHERE JobID = 3"));
    db().execute(QStringLiteral("UPDATE Jobs SET TaxNo = 3, Tax = -245.39 WHERE JobID = 1"));
    db().execute(QStringLiteral("UPDATE QuickSales SET Tax = 0.095 WHERE QSaleID = 2"));
    prompts().answer(IDYES);
    ASSERT_TRUE(UpgradeDatabase(&db()));
    EXPECT_EQ(version(), QStringLiteral("2010.0"));
    expectCurrentLayout();

    // The second tax is the city's share in whole cents: 245.39 x 8.25 / 14.25
    // = 142.0679; 0.095 x 8.25 / 14.25 = 0.055 exactly, half a cent up.
    struct TaxRow
    {
        const char *sql;
        double tax2;
    };
    for (const TaxRow &row : {TaxRow{"SELECT Tax2 FROM Jobs WHERE JobID = 3", 142.07},
                              TaxRow{"SELECT Tax2 FROM Jobs WHERE JobID = 1", -142.07},
                              TaxRow{"SELECT Tax2 FROM Jobs WHERE JobID = 2", 4.0},
                              TaxRow{"SELECT Tax2 FROM QuickSales WHERE QSaleID = 2", 0.06}})
        EXPECT_DOUBLE_EQ(real(QString::fromLatin1(row.sql)), row.tax2) << row.sql;

    // No status conversion after 2007; the production tables converted in place.
    EXPECT_EQ(number(QStringLiteral("SELECT CusStatus FROM Customers WHERE CusNo = 1001")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT Type FROM Contacts WHERE ContactNo = 2")), 12);
    EXPECT_EQ(text(QStringLiteral("SELECT Name & '/' & IconNo & '/' & QtyPerHr FROM ProductionDepts WHERE DepID = 2")),
              QStringLiteral("Pressroom/6/500"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ProductionDepts")), 3);
    EXPECT_EQ(text(QStringLiteral("SELECT Name & '/' & Type FROM ProductionTags WHERE TagID = 52")), QStringLiteral("Waiting/1"));
    EXPECT_EQ(number(QStringLiteral("SELECT Type FROM ProductionTags WHERE TagID = 1")), 0);
    EXPECT_EQ(text(QStringLiteral("SELECT Name & '/' & Type & '/' & Sort FROM ContactDepts WHERE DepNo = 2")),
              QStringLiteral("Purchasing/0/2"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Properties")), 2);

    // Row 9 there: no rights row added and none renamed.
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Passwords")), 16);
    EXPECT_EQ(text(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 9")), QStringLiteral("Our home page"));

    // Row 44310 missing: the copies have their key alone.
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID BETWEEN 44321 AND 44325")), 5);
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID BETWEEN 44321 AND 44325 AND OptionSum Is Null")), 5);

    // A saved query of the same name is left as the shop made it; the
    // retired ones are gone.
    EXPECT_EQ(db().queryNames(), QStringList{QStringLiteral("Compare Sales")});
    EXPECT_EQ(db().queryText(QStringLiteral("Compare Sales")),
              QStringLiteral("SELECT CusNo, Sum(Subtotal) AS Sales FROM Jobs GROUP BY CusNo"));
    EXPECT_FALSE(db().tableExists(QStringLiteral("PriceGrid")));
    EXPECT_FALSE(db().tableExists(QStringLiteral("Notes")));
}

// A file of 2009 (this program's file without the tax fields of 2010): the
// upgrade gives every taxed job and quick sale the taxable amounts and second
// tax this program stores. The sample shop taxes State 6 % without shipping
// and City 8.25 % with it; the upgraded file is compared field by field with
// the file before its downgrade.
TEST_F(SchemaUpgradeTest, FileOf2009GetsTheTaxesThisProgramStores)
{
    const QString sample = SampleShopFile();
    ASSERT_FALSE(sample.isEmpty());
    ASSERT_TRUE(QFile::copy(sample, m_path));
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    db().open(m_path);
    ASSERT_EQ(text(QStringLiteral("SELECT Name & '/' & TaxPercent & '/' & TaxShipping FROM Taxes WHERE [No] = 2")),
              QStringLiteral("City 8.25%/82500/1"));
    // Job 1296: net 75.60, shipping 10.68: State 6 % of 75.60 = 4.536, 4.54;
    // City 8.25 % of 86.28 = 7.1181, 7.12; together the 11.66 charged.
    db().execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, TaxNo, Subtotal, Discount, Shipping, Postage, "
                                "Tax, Taxable, Taxable2, Tax2, Creator) VALUES (3, 1296, 1, 3, 75.60, 0, 10.68, 0, "
                                "11.66, 75.60, 86.28, 7.12, 0)"));
    const QString jobs = QStringLiteral("SELECT JobID & ':' & TaxNo & ':' & Taxable & '/' & Taxable2 & '/' & Tax2 FROM "
                                        "Jobs WHERE Tax <> 0 ORDER BY JobID");
    const QString sales = QStringLiteral("SELECT QSaleID & ':' & TaxID & ':' & Taxable & '/' & Taxable2 & '/' & Tax2 "
                                         "FROM QuickSales WHERE Tax <> 0 ORDER BY QSaleID");
    auto listOf = [this](const QString &sql) {
        QStringList out;
        platform::Recordset set(db());
        set.open(platform::Recordset::Type::Snapshot, sql);
        for (; !set.isEOF(); set.moveNext())
            out << set.value(0).toString();
        return out;
    };
    const QStringList jobsBefore = listOf(jobs);
    const QStringList salesBefore = listOf(sales);
    EXPECT_GT(number(QStringLiteral("SELECT Count(*) FROM Jobs WHERE TaxNo = 2 AND Shipping <> 0 AND Tax <> 0")), 0);
    EXPECT_GT(number(QStringLiteral("SELECT Count(*) FROM Jobs WHERE TaxNo = 3 AND Shipping <> 0 AND Tax <> 0")), 0);

    // Back to 2009: no second tax fields yet.
    for (const char *field : {"PrintOption2", "Taxable", "Taxable2", "Tax2"})
        db().deleteField(QStringLiteral("Jobs"), QString::fromLatin1(field));
    for (const char *field : {"PayNo", "Taxable", "Taxable2", "Tax2"})
        db().deleteField(QStringLiteral("QuickSales"), QString::fromLatin1(field));
    db().execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = '2009.1' WHERE CusNo = 0 AND AlertType = 99"));
    prompts().answer(IDYES);
    ASSERT_TRUE(UpgradeDatabase(&db()));
    EXPECT_EQ(version(), QStringLiteral("2010.0"));

    // Rows "id:code:Taxable/Taxable2/Tax2" that came back other than stored.
    auto changed = [](const QStringList &before, const QStringList &after) {
        QStringList out;
        for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i)
            if (before.value(i) != after.value(i))
                out << before.value(i) + QStringLiteral(" -> ") + after.value(i);
        return out.join(QStringLiteral(", ")).toStdString();
    };
    EXPECT_EQ(changed(jobsBefore, listOf(jobs)), "");
    EXPECT_EQ(changed(salesBefore, listOf(sales)), "");
    EXPECT_EQ(text(QStringLiteral("SELECT Taxable & '/' & Taxable2 & '/' & Tax2 FROM Jobs WHERE JobNo = 1296")).toStdString(),
              "75.6/86.28/7.12");
}

TEST_F(SchemaUpgradeTest, CurrentFileIsLeftAlone)
{
    openFixture("schema-2005.sql");
    prompts().answer(IDYES);
    ASSERT_TRUE(UpgradeDatabase(&db()));
    ClearUpgradeHandOver();
    QFile::remove(backupPath());
    const QStringList jobs = TableContents(db(), QStringLiteral("Jobs"));
    const QStringList passwords = TableContents(db(), QStringLiteral("Passwords"));

    // No question, no copy, no change, and nothing handed to start-up.
    prompts().clear();
    EXPECT_TRUE(UpgradeDatabase(&db()));
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(backupPath()));
    EXPECT_EQ(DatabaseUpgraded(), 0);
    EXPECT_EQ(TableContents(db(), QStringLiteral("Jobs")), jobs);
    EXPECT_EQ(TableContents(db(), QStringLiteral("Passwords")), passwords);
}

TEST_F(SchemaUpgradeTest, NewerOrDeclinedUpgradeChangesNothing)
{
    openFixture("schema-2005.sql");
    // Versions compare as numbers: "10000.0" sorts below "2010.0" as text,
    // "3.0" above it. A stamp that is no version is taken for a later one.
    enum Outcome { Refused, Asked, Current };
    struct Stamp
    {
        const char *stored;
        Outcome outcome;
    };
    for (const Stamp &stamp : {Stamp{"10000.0", Refused}, Stamp{"2010.1", Refused}, Stamp{"2010.10", Refused},
                               Stamp{"2011", Refused}, Stamp{"2010.0.1", Refused}, Stamp{"new", Refused},
                               Stamp{"99999999999999999999.0", Refused}, Stamp{"3.0", Asked}, Stamp{"2009.9", Asked},
                               Stamp{"2010", Current}, Stamp{"2010.00", Current}}) {
        const QString stored = QString::fromLatin1(stamp.stored);
        SCOPED_TRACE(stamp.stored);
        db().execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ? WHERE CusNo = 0 AND AlertType = 99"),
                     {platform::Value(stored)});
        prompts().clear();
        if (stamp.outcome == Asked)
            prompts().answer(IDNO);
        prompts().answer(IDOK);
        EXPECT_EQ(UpgradeDatabase(&db()), stamp.outcome == Current);
        if (stamp.outcome == Refused) {
            ASSERT_EQ(prompts().shown().size(), 1);
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Your database was upgraded to a later version %1.\nIt can "
                                                           "not be downgraded to this version 2010.0.\n\n")
                                                    .arg(stored)
                                                + kClosing);
            EXPECT_EQ(prompts().shown()[0].flags & platform::MB_ICONMASK, unsigned(platform::MB_ICONSTOP));
        } else if (stamp.outcome == Asked) {
            ASSERT_EQ(prompts().shown().size(), 2);
            EXPECT_TRUE(prompts().shown()[0].text.startsWith(
                QStringLiteral("Your database must be upgraded from version %1 to 2010.0.\n").arg(stored)));
            EXPECT_EQ(prompts().shown()[1].text, kClosing);
        } else {
            EXPECT_TRUE(prompts().shown().isEmpty());
        }
        EXPECT_EQ(version(), stored);
        EXPECT_FALSE(QFileInfo::exists(backupPath()));
        EXPECT_FALSE(db().tableExists(QStringLiteral("Samples")));
    }

    // A file without a version row gets one with an empty text; No ends it.
    db().execute(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 0"));
    prompts().clear();
    prompts().answer(IDNO);
    prompts().answer(IDOK);
    EXPECT_FALSE(UpgradeDatabase(&db()));
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_TRUE(prompts().shown()[0].text.startsWith(QStringLiteral("Your database must be upgraded from version  to 2010.0.\n")));
    EXPECT_EQ(prompts().shown()[1].text, kClosing);
    EXPECT_EQ(version(), QString());
    EXPECT_FALSE(QFileInfo::exists(backupPath()));
    EXPECT_FALSE(db().tableExists(QStringLiteral("Samples")));
}

TEST_F(SchemaUpgradeTest, FailedStepIsFinishedByTheNextRun)
{
    openFixture("schema-2005.sql");
    // A saved query under the name of a table the upgrade makes stops that
    // step until the shop removes it.
    db().createQuery(QStringLiteral("Todos"), QStringLiteral("SELECT * FROM Notes"));
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    EXPECT_FALSE(UpgradeDatabase(&db()));
    ASSERT_EQ(prompts().shown().size(), 2);
    const QString report = prompts().lastText();
    EXPECT_TRUE(report.startsWith(QStringLiteral("Error(s) occured during the update:\n\nError# 3010: ")));
    EXPECT_TRUE(report.contains(QStringLiteral(" Todos\n")));
    EXPECT_TRUE(report.endsWith(QStringLiteral("\n\nThe last copied database:\n") + backupPath()));
    EXPECT_FALSE(HasRunLogText());
    EXPECT_EQ(DatabaseUpgraded(), 0);

    // The version stays, the failed step left nothing behind, the others ran.
    EXPECT_EQ(version(), QStringLiteral("2005.2"));
    EXPECT_TRUE(db().tableExists(QStringLiteral("Notes")));
    EXPECT_TRUE(db().tableExists(QStringLiteral("ShippedItems")));
    EXPECT_TRUE(db().tableDef(QStringLiteral("Items")).hasField(QStringLiteral("TimeCost")));

    // Later the same day: the copy of the untouched file is kept.
    QFile marker(backupPath());
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly | QIODevice::Append));
    marker.write("kept");
    marker.close();
    const qint64 size = QFileInfo(backupPath()).size();
    db().deleteQuery(QStringLiteral("Todos"));
    prompts().clear();
    prompts().answer(IDYES);
    EXPECT_TRUE(UpgradeDatabase(&db()));
    EXPECT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(QFileInfo(backupPath()).size(), size);
    EXPECT_EQ(version(), QStringLiteral("2010.0"));
    EXPECT_TRUE(db().tableExists(QStringLiteral("Todos")));
    EXPECT_FALSE(db().tableExists(QStringLiteral("Notes")));
    expectCurrentLayout();
    // Conversions that had run are not run twice.
    EXPECT_EQ(text(QStringLiteral("SELECT PriceLevel FROM Customers WHERE CusNo = 1003")), QStringLiteral("11"));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM MarkupTable")), 11);
}

TEST_F(SchemaUpgradeTest, StoppedRunKeepsTheVersionAndTheNextDayMakesANewCopy)
{
    openFixture("schema-2005.sql");
    m_progress->stopAt = QStringLiteral("Services Add pricing fields");
    prompts().answer(IDYES);
    EXPECT_FALSE(UpgradeDatabase(&db()));
    EXPECT_EQ(prompts().shown().size(), 1); // the question; no report
    EXPECT_EQ(version(), QStringLiteral("2005.2"));
    EXPECT_FALSE(db().tableDef(QStringLiteral("Services")).hasField(QStringLiteral("Name2")));
    EXPECT_TRUE(db().tableDef(QStringLiteral("Services")).hasField(QStringLiteral("ProdDepID")));
    EXPECT_TRUE(db().tableExists(QStringLiteral("PriceGrid")));
    EXPECT_FALSE(db().tableExists(QStringLiteral("TodoTypes")));

    // Stopped in the middle of a step: that step is undone entirely.
    db().close();
    db().open(m_path);
    *m_progress = ScriptedProgress::Record();
    m_progress->stopAt = QStringLiteral("Copying data to new fields...");
    prompts().clear();
    prompts().answer(IDYES);
    EXPECT_FALSE(UpgradeDatabase(&db()));
    EXPECT_FALSE(db().tableDef(QStringLiteral("Services")).hasField(QStringLiteral("Name2")));
    EXPECT_TRUE(db().tableDef(QStringLiteral("Services")).hasField(QStringLiteral("SetupTime")));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ServiceDiffTables")), 0);

    platform::Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    db().close();
    db().open(m_path);
    *m_progress = ScriptedProgress::Record();
    prompts().clear();
    prompts().answer(IDYES);
    // Another user's link at the day's name in the shop's folder is no copy
    // made that day: the copy replaces it, and the file it named stays.
    const PlantedLink planted{backupPath("2026-12-07"), tempPath(QStringLiteral("home/private.txt"))};
    const bool linked = planted.plant();
    EXPECT_TRUE(UpgradeDatabase(&db()));
    if (linked) {
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
    }
    EXPECT_TRUE(QFileInfo::exists(backupPath("2026-12-06")));
    EXPECT_TRUE(QFileInfo::exists(backupPath("2026-12-07")));
    EXPECT_TRUE(WorkFilesOf(backupPath("2026-12-07")).isEmpty());
    expectCurrentLayout();
    EXPECT_EQ(text(QStringLiteral("SELECT R0C0 FROM ServicePriceTables WHERE SerNo = 302")), QStringLiteral("101"));
}

TEST_F(SchemaUpgradeTest, OpeningTheDatabaseUpgradesIt)
{
    BuildDatabaseFromScript(FixtureScript(QStringLiteral("schema-2008.sql")), m_path);
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), m_path);
    InstallDatabaseMaintenance();
    prompts().answer(IDYES);
    ASSERT_TRUE(OpenDatabase(&db()));
    EXPECT_EQ(version(), QStringLiteral("2010.0"));
    EXPECT_EQ(DatabaseUpgraded(), 1);
    EXPECT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    // The default rows follow the upgrade.
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo = 31")), 1);
}

TEST_F(SchemaUpgradeTest, StepsThatReadOldDataWaitForAFailedConversion)
{
    openFixture("schema-2005.sql");
    // A price level the item conversion cannot move up into a byte.
    db().execute(QStringLiteral("UPDATE Items SET Side2 = 253 WHERE ItemID = 5"));
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    EXPECT_FALSE(UpgradeDatabase(&db()));
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Error(s) occured during the update:\n\nError# 3349: ")));

    // The categories keep their old numbers, the old service, waste and
    // price data stay for the conversion still to come.
    EXPECT_FALSE(db().tableDef(QStringLiteral("Items")).hasField(QStringLiteral("TimeCost")));
    EXPECT_EQ(number(QStringLiteral("SELECT Count(*) FROM ServiceCategories WHERE CatNo = 302")), 1);
    EXPECT_TRUE(db().tableDef(QStringLiteral("ServiceCategories")).hasField(QStringLiteral("Bid")));
    EXPECT_FALSE(db().tableDef(QStringLiteral("Services")).hasField(QStringLiteral("Name2")));
    EXPECT_TRUE(db().tableDef(QStringLiteral("WasteTable")).hasField(QStringLiteral("FinishSetup")));
    EXPECT_TRUE(db().tableExists(QStringLiteral("PressDifficulties")));
    EXPECT_TRUE(db().tableExists(QStringLiteral("PriceTables")));
    EXPECT_EQ(version(), QStringLiteral("2005.2"));

    // Once the item is put right the next run does it all, in order.
    db().execute(QStringLiteral("UPDATE Items SET Side2 = 2 WHERE ItemID = 5"));
    prompts().clear();
    prompts().answer(IDYES);
    ASSERT_TRUE(UpgradeDatabase(&db()));
    expectCurrentLayout();
    EXPECT_EQ(text(QStringLiteral("SELECT Vendor & '/' & Up FROM Items WHERE ItemID = 6")), QStringLiteral("4/4"));
    EXPECT_EQ(text(QStringLiteral("SELECT CatNo & '/' & ProdDepID FROM Services WHERE SerNo = 302")), QStringLiteral("301/4"));
    EXPECT_EQ(text(QStringLiteral("SELECT R0C0 FROM ServicePriceTables WHERE SerNo = 301")), QStringLiteral("11"));
    EXPECT_EQ(text(QStringLiteral("SELECT SetTime FROM Services WHERE SerNo = 401")), QStringLiteral("12"));
}

TEST_F(SchemaUpgradeTest, FailedCopyStopsBeforeAnyStep)
{
    openFixture("schema-2005.sql");
    // The file-size limit of the user's session leaves no room for the copy.
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    struct rlimit allowed {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &allowed), 0);
    struct rlimit limited = allowed;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool upgraded = UpgradeDatabase(&db());
    ::setrlimit(RLIMIT_FSIZE, &allowed);
    EXPECT_FALSE(upgraded);
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Error 28 occurred:\n\nNot enough space on disk.\nCopying your "
                                                   "database to:\n")
                                        + backupPath() + QStringLiteral("\n\nBackup failed."));
    EXPECT_FALSE(QFileInfo::exists(backupPath()));
    EXPECT_TRUE(WorkFilesOf(backupPath()).isEmpty());
    EXPECT_EQ(version(), QStringLiteral("2005.2"));
    EXPECT_FALSE(db().tableExists(QStringLiteral("Samples")));
    EXPECT_FALSE(db().isExclusive());
}
