#include "ControlsFixture.h"

#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CXDaoSet.h"
#include "data/FieldExchange.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/db/TableDef.h"

using platform::FieldType;
using platform::Value;

namespace {

platform::FieldDef field(const char *name, FieldType type, int size = 0)
{
    platform::FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.size = size;
    return f;
}

// A rate table as setting editors bind it.
class RateSet : public CXDaoSet
{
public:
    quint8 m_No = 0;
    qint32 m_Amount = 0;
    QString GetDefaultSQL() const override { return QStringLiteral("Rates"); }
    void DoFieldExchange(FieldExchange *pFX) override
    {
        DFX_Byte(pFX, QStringLiteral("[No]"), m_No);
        DFX_Long(pFX, QStringLiteral("Amount"), m_Amount);
    }
};

struct RateRow
{
    int no;
    const char *name;
    qint64 priceUnits; // ten-thousandths
    int amount;
    bool flag;
    double qty;
};

} // namespace

class GridExchangeTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
        platform::Database::create(path);
        SharedDatabase().open(path);
        platform::TableDef rates;
        rates.name = QStringLiteral("Rates");
        rates.fields = {field("No", FieldType::Byte), field("Name", FieldType::Text, 20),
                        field("Price", FieldType::Currency), field("Amount", FieldType::Long),
                        field("Flag", FieldType::Boolean), field("Qty", FieldType::Double),
                        field("Kind", FieldType::Byte), field("Stamp", FieldType::Long)};
        for (int i = 0; i < rates.fields.size(); ++i)
            rates.fields[i].ordinal = i;
        platform::IndexDef key;
        key.name = key.field = QStringLiteral("No");
        key.primary = key.unique = true;
        rates.indexes << key;
        SharedDatabase().createTable(rates);
    }
    void TearDown() override
    {
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        ControlsTest::TearDown();
    }

    void insert(const RateRow &r)
    {
        SharedDatabase().execute(QStringLiteral("INSERT INTO Rates (No, Name, Price, Amount, Flag, Qty, Kind, Stamp) "
                                                "VALUES (?, ?, ?, ?, ?, ?, 1, 0)"),
                                 {Value(std::int64_t(r.no), FieldType::Byte), Value(QString::fromLatin1(r.name)),
                                  Value(Money::fromUnits(r.priceUnits)), Value(r.amount), Value(r.flag),
                                  Value(r.qty)});
    }
    void insertFive()
    {
        insert({1, "One", 123400, 10, true, 2.75});
        insert({2, "Two", 1, 20, false, -1.5});       // the No Charge marker
        insert({3, "Three", 123456, 30, true, 0});    // below a cent
        insert({4, "Four", -1, 40, false, 7});
        insert({5, "Five", -98765, 50, true, 1e6});
    }

    // Columns bound by name: No (key number), Name (text key), Price ($), Amount, Flag, Qty.
    void buildGrid(CXGridCtrl &grid, int rows)
    {
        grid.AddColumn(QStringLiteral("No"), 30, 6, QStringLiteral("%3"));
        grid.AddColumn(QStringLiteral("Name"), 100, 1);
        grid.AddColumn(QStringLiteral("Price"), 80, 8, QStringLiteral("$"));
        grid.AddColumn(QStringLiteral("Amount"), 60, 7, QStringLiteral("%8"));
        grid.AddColumn(QStringLiteral("Flag"), 40, 7, QStringLiteral("%1"));
        grid.AddColumn(QStringLiteral("Qty"), 60, 7, QStringLiteral("%8"));
        grid.SetRows(rows, rows);
        ASSERT_TRUE(grid.Create(host.get(), 1700, 0, 0));
    }
    static QString names() { return QStringLiteral("No,Name,Price,Amount,Flag,Qty,"); }

    struct Stored
    {
        Value no, name, price, amount, flag, qty, kind, stamp;
        friend bool operator==(const Stored &, const Stored &) = default;
    };
    QList<Stored> table()
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT * FROM Rates ORDER BY No"));
        QList<Stored> out;
        for (; !rs.isEOF(); rs.moveNext())
            out.append({rs.value(0), rs.value(1), rs.value(2), rs.value(3), rs.value(4), rs.value(5), rs.value(6),
                        rs.value(7)});
        return out;
    }
    static void open(CXDaoSet &set)
    {
        set.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT * FROM Rates ORDER BY No"));
        ASSERT_TRUE(set.IsOpen());
    }
};

TEST_F(GridExchangeTest, LoadFillsOneRowPerRecordAndLeavesTheRest)
{
    insertFive();
    CXGridCtrl grid;
    buildGrid(grid, 10);
    for (int r = 0; r < 10; ++r)
        grid.SetCellValue(r, 3, 777);
    CXDaoSet set;
    open(set);
    grid.ExchangeRecordset(set, false, 0, names());
    EXPECT_EQ(grid.columnField(2), 2);
    EXPECT_EQ(grid.GetCellValue(0, 0), 1);
    EXPECT_EQ(grid.GetCellText(2, 1), QStringLiteral("Three"));
    EXPECT_EQ(grid.GetCellValue(0, 2), 1234);  // 12.34 in cents
    EXPECT_EQ(grid.GetCellValue(1, 2), 1);     // the No Charge marker
    EXPECT_EQ(grid.GetCellValue(3, 2), -1);
    EXPECT_EQ(grid.GetCellValue(4, 2), -987);  // cut toward zero
    EXPECT_EQ(grid.GetCellValue(0, 4), -1);    // Yes
    EXPECT_EQ(grid.GetCellValue(1, 5), -1);    // -1.5 cut toward zero
    EXPECT_EQ(grid.GetCellValue(4, 3), 50);
    EXPECT_EQ(grid.GetCellValue(5, 3), 777);
    EXPECT_EQ(grid.GetCellValue(9, 3), 777);
    EXPECT_TRUE(grid.GetCellText(5, 1).isEmpty());

    // Skipping records starts the rows further on.
    CXGridCtrl skipped;
    buildGrid(skipped, 3);
    skipped.ExchangeRecordset(set, false, 3, names());
    EXPECT_EQ(skipped.GetCellValue(0, 0), 4);
    EXPECT_EQ(skipped.GetCellValue(1, 0), 5);
    EXPECT_EQ(skipped.GetCellValue(2, 0), 0);
}

TEST_F(GridExchangeTest, LoadThenSaveKeepsEveryValue)
{
    insertFive();
    const QList<Stored> before = table();
    CXGridCtrl grid;
    buildGrid(grid, 5);
    CXDaoSet set;
    open(set);
    grid.ExchangeRecordset(set, false, 0, names());
    grid.m_modified = 1;
    grid.ExchangeRecordset(set, true);
    EXPECT_EQ(grid.m_modified, 0);
    EXPECT_TRUE(prompts().shown().isEmpty());
    const QList<Stored> after = table();
    ASSERT_EQ(after.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(after[i], before[i]) << "row " << i;
        EXPECT_EQ(after[i].price.toMoney().units(), before[i].price.toMoney().units()) << "row " << i;
    }
}

TEST_F(GridExchangeTest, EditedAmountsAreStoredAsExactMoney)
{
    insertFive();
    CXGridCtrl grid;
    buildGrid(grid, 5);
    CXDaoSet set;
    open(set);
    grid.ExchangeRecordset(set, false, 0, names());
    grid.SetCellValue(0, 2, 5001);  // 50.01
    grid.SetCellValue(1, 2, 0);     // the marker row is set to no price
    grid.SetCellValue(2, 3, -12);
    grid.SetCellValue(3, 4, -1);    // Yes
    grid.ExchangeRecordset(set, true);
    const QList<Stored> after = table();
    EXPECT_EQ(after[0].price.type(), FieldType::Currency);
    EXPECT_EQ(after[0].price.toMoney().units(), 500100);
    EXPECT_EQ(after[1].price.toMoney().units(), 0);
    EXPECT_EQ(after[2].amount.toInt(), -12);
    EXPECT_EQ(after[2].price.toMoney().units(), 123456); // untouched
    EXPECT_TRUE(after[3].flag.toBool());
}

TEST_F(GridExchangeTest, EmptyKeyRowsAreDeletedOnlyWhenAsked)
{
    for (bool deleteEmpty : {false, true}) {
        SharedDatabase().execute(QStringLiteral("DELETE FROM Rates"));
        insertFive();
        CXGridCtrl grid;
        buildGrid(grid, 7);
        CXDaoSet set;
        open(set);
        grid.ExchangeRecordset(set, false, 0, names());
        grid.SetCellText(3, 1, QStringLiteral("   "));
        grid.SetCellText(4, 1, QString());
        grid.SetCellValue(4, 3, 99);
        grid.m_bDeleteEmpty = deleteEmpty;
        // Row 5 has no record and no key: nothing is added for it.
        grid.SetCellValue(5, 3, 5);
        grid.ExchangeRecordset(set, true);
        set.Close();
        const QList<Stored> after = table();
        if (!deleteEmpty) {
            ASSERT_EQ(after.size(), 5);
            EXPECT_EQ(after[3].name.toString(), QString()); // kept, its text emptied
            EXPECT_EQ(after[4].amount.toInt(), 99);
        } else {
            ASSERT_EQ(after.size(), 3);
            EXPECT_EQ(after[2].name.toString(), QStringLiteral("Three"));
        }
    }
}

TEST_F(GridExchangeTest, NewRowsGetTheNextFreeKeyAndTheStamps)
{
    insert({1, "One", 10000, 1, false, 0});
    insert({3, "Three", 30000, 3, false, 0});
    CXGridCtrl grid;
    buildGrid(grid, 4);
    CXDaoSet set;
    open(set);
    grid.ExchangeRecordset(set, false, 0, names());
    grid.SetKeyBase(0);
    grid.SetCellText(2, 1, QStringLiteral("New"));
    grid.SetCellValue(2, 2, 250);
    grid.SetCellText(3, 1, QStringLiteral("Newer"));
    grid.m_strStampByteField = QStringLiteral("Kind");
    grid.m_nStampByte = 7;
    grid.m_strStampLongField = QStringLiteral("Stamp");
    grid.m_nStampLong = 4242;
    grid.ExchangeRecordset(set, true);
    EXPECT_EQ(grid.GetCellValue(2, 0), 2);
    EXPECT_EQ(grid.GetCellValue(3, 0), 4);
    set.Close();
    const QList<Stored> after = table();
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(after[1].no.toInt(), 2);
    EXPECT_EQ(after[1].name.toString(), QStringLiteral("New"));
    EXPECT_EQ(after[1].price.toMoney().units(), 25000);
    EXPECT_EQ(after[3].no.toInt(), 4);
    // Only the rows written carry the stamps; the untouched records stay as stored.
    for (int i : {1, 3}) {
        EXPECT_EQ(after[i].kind.toInt(), 7);
        EXPECT_EQ(after[i].stamp.toInt(), 4242);
    }
    EXPECT_EQ(after[0].stamp.toInt(), 0);

    // A number stored since the load (5, by another workstation) is not
    // given again: with 1-4 held by the rows and 5 in the table, none of a
    // five-row grid's numbers is left and the row is not saved, said.
    CXGridCtrl full;
    buildGrid(full, 5);
    CXDaoSet again;
    open(again);
    full.ExchangeRecordset(again, false, 0, names());
    insert({5, "Theirs", 50000, 5, false, 0});
    full.SetCellText(4, 1, QStringLiteral("Mine"));
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(full.ExchangeRecordset(again, true));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot save Mine: every number from 1 to 5 is taken."));
    EXPECT_EQ(full.GetCellValue(4, 0), 0);
    again.Close();
    EXPECT_EQ(table().size(), 5);
}

TEST_F(GridExchangeTest, AFailedRowIsReportedAndTheNextOneStillSaves)
{
    insert({1, "One", 10000, 1, false, 0});
    CXGridCtrl grid;
    buildGrid(grid, 3);
    CXDaoSet set;
    open(set);
    grid.ExchangeRecordset(set, false, 0, names());
    grid.SetCellText(1, 1, QStringLiteral("Clash"));
    grid.SetCellValue(1, 0, 1); // the key of record 1 again
    grid.SetCellText(2, 1, QStringLiteral("Fine"));
    grid.SetCellValue(2, 0, 9);
    prompts().answer(platform::IDOK);
    grid.ExchangeRecordset(set, true);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    ASSERT_FALSE(prompts().shown().isEmpty());
    EXPECT_TRUE(prompts().shown().first().text.startsWith(QStringLiteral("Cannot save Clash"))) << prompts().lastText().toStdString();
    set.Close();
    const QList<Stored> after = table();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0].name.toString(), QStringLiteral("One"));
    EXPECT_EQ(after[1].no.toInt(), 9);
}

TEST_F(GridExchangeTest, PropertyGridTakesChoicesFromAQueryAndNullsAsEmpty)
{
    insertFive();
    CXGridProp grid;
    const int row = grid.AddListRow(2, QStringLiteral("Rate"), QStringLiteral("SELECT No, Name, Amount FROM Rates ORDER BY No"));
    const int amount = grid.AddRow(7, QStringLiteral("Amount"), QStringLiteral("%8"));
    placeholder(1800, QRect(0, 0, 300, 100));
    ASSERT_TRUE(grid.CreateInDlgItem(host.get(), 1800, 210, 100));
    ASSERT_EQ(grid.pickItems().size(), 5);
    EXPECT_EQ(grid.pickItems().at(1).m_value, 2);
    EXPECT_EQ(grid.pickItems().at(1).m_text, QStringLiteral("Two  20"));

    SharedDatabase().execute(QStringLiteral("UPDATE Rates SET Amount = Null WHERE No = 2"));
    RateSet set;
    set.m_strFilter = QStringLiteral("No = 2");
    set.Open();
    ASSERT_TRUE(set.IsOpen());
    grid.SetSaveMode(0);
    grid.ExchangeByte(row, set.m_No, &set);
    grid.ExchangeLong(amount, set.m_Amount, &set);
    EXPECT_EQ(grid.rowText(row), QStringLiteral("Two  20"));
    EXPECT_EQ(grid.GetRowValue(amount), 0);
    EXPECT_TRUE(grid.rowText(amount).isEmpty());

    // A query that cannot run adds nothing and says so.
    prompts().answer(platform::IDNO);
    prompts().answer(platform::IDOK);
    EXPECT_EQ(grid.AddPickItemsFromSQL(row, QStringLiteral("SELECT Nothing FROM Missing")), 0);
    EXPECT_FALSE(prompts().shown().isEmpty());
}

TEST_F(GridExchangeTest, OptionTreeFromAQuery)
{
    insertFive();
    CXTreeOptCtrl tree(host.get());
    tree.LoadOptionsFromQuery(QStringLiteral("SELECT No, Name FROM Rates WHERE No < 4 ORDER BY No"), 6,
                              QStringLiteral("Rates"));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    HTREEITEM root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Rates"));
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(2)->text(0), QStringLiteral("Three"));
    EXPECT_EQ(tree.GetOptionId(root->child(2)), 3u);
    EXPECT_FALSE(tree.IsOptionChecked(1));
    EXPECT_FALSE(tree.isBusy());

    CXTreeOptCtrl empty(host.get());
    empty.LoadOptionsFromQuery(QStringLiteral("SELECT No, Name FROM Rates WHERE No > 10"), 6, QStringLiteral("None"));
    EXPECT_EQ(empty.topLevelItemCount(), 0);
}
