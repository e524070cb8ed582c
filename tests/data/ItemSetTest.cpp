#include "JobTablesFixture.h"

#include "data/CItemSetX.h"
#include "data/CJobSet.h"
#include "data/SettingRows.h"

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {

// --- Texts of one row --------------------------------------------------------------

struct Choice
{
    int side2;
    const char *text;
};

void PrintTo(const Choice &c, std::ostream *os)
{
    *os << c.side2;
}

class ChoiceTexts : public ::testing::TestWithParam<Choice>
{
};

TEST_P(ChoiceTexts, NameThePriceChoice)
{
    CItemSet row;
    row.m_Side2 = quint8(GetParam().side2);
    EXPECT_EQ(row.GetChoiceText(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Items, ChoiceTexts,
                         ::testing::Values(Choice{0, "Normal"}, Choice{6, "Ask Item Price"}, Choice{7, "-"},
                                           Choice{8, "1% up"}, Choice{17, "10% up"}, Choice{107, "100% up"},
                                           Choice{108, "-1% down"}, Choice{110, "-3% down"}));

TEST(ItemTexts, NumbersWashMixAndSheets)
{
    CItemSet row;
    EXPECT_EQ(row.GetItemNoText(QStringLiteral("ITEM ")), QStringLiteral("NEW ITEM"));
    row.m_ItemNo = 3;
    EXPECT_EQ(row.GetItemNoText(QStringLiteral("ITEM ")), QStringLiteral("ITEM 3"));
    row.m_SubNo = 2;
    EXPECT_EQ(row.GetItemNoText(QStringLiteral("ITEM ")), QStringLiteral("ITEM 3.2"));

    EXPECT_EQ(row.GetWashMixText(QStringLiteral("  ")), QString());
    row.m_Mix = 1;
    EXPECT_EQ(row.GetWashMixText(QStringLiteral("  ")), QStringLiteral("Wash: 0  Mix: 1"));

    row.m_Sheets = 1;
    EXPECT_EQ(row.GetSheetsText(QStringLiteral("sheets")), QStringLiteral("1 sheet"));
    EXPECT_EQ(row.GetSheetsText(QStringLiteral("Sheets/Set")), QStringLiteral("1 Sheet/Set"));
    EXPECT_EQ(row.GetSheetsText(QStringLiteral("Originals")), QStringLiteral("1 Original"));
    row.m_Sheets = 1500;
    EXPECT_EQ(row.GetSheetsText(QStringLiteral("sheets")), QStringLiteral("1,500 sheets"));
}

TEST(ItemTexts, BracedPartIsRemovedOnlyWhenWhole)
{
    CItemSet row;
    const struct
    {
        const char *before;
        const char *after;
    } cases[] = {
        {"Business {reprint} Cards", "Business  Cards"},
        {"{Template} Letterhead", "Letterhead"},
        {"Broken } order {", "Broken } order {"},
    };
    for (const auto &c : cases) {
        row.m_Description = QString::fromLatin1(c.before);
        row.StripBracedText();
        EXPECT_EQ(row.m_Description, QString::fromLatin1(c.after)) << c.before;
    }
}

// --- Note parts of a paper row ----------------------------------------------------------

TEST_F(JobTablesTest, NotePartsSplitAndJoinBack)
{
    addService(101, 101, QStringLiteral("Bond"));                                      // no size
    addService(102, 101, QStringLiteral("Cover"), QStringLiteral("Size"), QStringLiteral("'8.5 x 11'"));
    CXDaoSet bond, cover;
    bond.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Services WHERE SerNo = 101"));
    cover.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Services WHERE SerNo = 102"));

    const QString note = QString::fromUtf8("Blue · 11 x 17 · 5.5 x 8.5 • PMS 286 • Black");
    CItemSet row;
    row.m_Note = note;
    row.SplitNoteParts(bond);
    EXPECT_EQ(row.m_strPlainNote, QStringLiteral("Blue"));
    EXPECT_EQ(row.m_strRunSize, QStringLiteral("11 x 17"));
    EXPECT_EQ(row.m_strFinishSize, QStringLiteral("5.5 x 8.5"));
    EXPECT_EQ(row.m_strFrontInks, QStringLiteral("PMS 286"));
    EXPECT_EQ(row.m_strBackInks, QStringLiteral("Black"));
    EXPECT_EQ(row.m_strPaperSize, QStringLiteral("11 x 17"));
    row.m_Note.clear();
    row.JoinNoteParts(bond);
    EXPECT_EQ(row.m_Note, note);

    // Without separators: the plain note alone, the sizes from the service.
    row.m_Note = QStringLiteral("White");
    row.SplitNoteParts(cover);
    EXPECT_EQ(row.m_strPlainNote, QStringLiteral("White"));
    EXPECT_EQ(row.m_strRunSize, QStringLiteral("8.5 x 11"));
    EXPECT_EQ(row.m_strFinishSize, QStringLiteral("8.5 x 11"));
    EXPECT_EQ(row.m_strFrontInks, QString());
    row.JoinNoteParts(cover); // sizes equal to the paper's are not repeated
    EXPECT_EQ(row.m_Note, QStringLiteral("White"));

}

// --- Openers and numbering --------------------------------------------------------------

TEST_F(JobTablesTest, ItemNumbersStopAtTheByteLimit)
{
    const qint32 job = addJob(0, 1);
    EXPECT_EQ(CItemSet::GetNextItemNo(job), 1);
    addItem(job, 0, 3);
    EXPECT_EQ(CItemSet::GetNextItemNo(job), 4);
    EXPECT_EQ(CItemSet::GetNextSubNo(job, 3), 1);
    EXPECT_TRUE(prompts().shown().isEmpty());

    addItem(job, 0, 255);
    prompts().answer(IDOK);
    EXPECT_EQ(CItemSet::GetNextItemNo(job), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("This job already has item number 255.\n"
                                                   "No more items can be added to it."));
    addItem(job, 0, 3, QStringLiteral("SubNo"), QStringLiteral("255"));
    prompts().answer(IDOK);
    EXPECT_EQ(CItemSet::GetNextSubNo(job, 3), 0);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Item 3 already has sub-item number 255.")));
}

// --- Display texts of the item join ------------------------------------------------

TEST_F(JobTablesTest, DescriptionsOfItemAndServiceRows)
{
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) "
                        "VALUES (101, 99, 0, 'Paper', 1)"));
    exec(QStringLiteral("INSERT INTO ServiceDepartments (DepNo, DepName, IconNo, SortNo) VALUES (99, 'Stock', 7, 1)"));
    exec(QStringLiteral("DELETE FROM Vendors WHERE [No] = 3"));
    exec(QStringLiteral("INSERT INTO Vendors ([No], Name) VALUES (3, 'Mill Supply')"));
    addService(120, 101, QStringLiteral("Cougar 80#"),
               QStringLiteral("Size, SerStatus, Name2, AskHowMany, Unit"), QStringLiteral("'12 x 18', 2, '', '', 0"));
    const qint32 job = addJob(0, 9);
    addItem(job, 0, 1,
            QStringLiteral("Description, Sheets, Pages, ChargeQty, Opt1, Price"),
            QStringLiteral("'Flyers', 250, 300, 1000, 1, 120"));
    addItem(job, 120, 1,
            QStringLiteral("Note, Sheets, Out, Up, Vendor, ChargeQty, ActualQty, Price, Side1"),
            QString::fromUtf8("'Gloss · 12 x 18 · 12 x 18', 250, 1, 1, 3, 250, 0, 0.0001, 1"));

    CItemSetX rows;
    ASSERT_TRUE(rows.OpenJobItemsAndServices(job));
    rows.GetDescription(QStringLiteral("______"), true);
    EXPECT_EQ(rows.m_strHeading, QStringLiteral("1"));
    EXPECT_EQ(rows.m_nRowColor, 23);
    EXPECT_TRUE(rows.m_bHasPaper);
    EXPECT_EQ(rows.m_strUnitWord, QStringLiteral("Sheets"));
    EXPECT_EQ(rows.m_strDescription, QStringLiteral("Flyers   300 sides  (250 Sheets + 200 blank)"));
    EXPECT_EQ(rows.m_strChargeQty, QStringLiteral("1,000"));
    EXPECT_EQ(rows.m_strPrice, QStringLiteral("120.00"));

    rows.MoveNext();
    rows.GetDescription(QStringLiteral("______"), true);
    EXPECT_EQ(rows.m_strHeading, QStringLiteral("Paper"));
    EXPECT_EQ(rows.m_strDescription, QStringLiteral("Cougar 80# (HIDDEN)"));
    EXPECT_EQ(rows.m_nRowColor, 55);
    EXPECT_EQ(rows.m_strExtra, QStringLiteral("Mill Supply"));
    EXPECT_EQ(rows.m_strActualQty, QStringLiteral("______"));
    EXPECT_EQ(rows.m_strPrice, QStringLiteral("No Charge"));
    EXPECT_EQ(rows.m_strPlainNote, QStringLiteral("Gloss"));

    // Run text: the paper size alone while the sheet is printed 1 up as
    // bought, with the layout once it is not.
    rows.m_strUnitWord = QStringLiteral("Sheets");
    QString run;
    rows.GetRunText(run, true, true, true, false);
    EXPECT_EQ(run, QString::fromUtf8("Paper: Cougar 80# (HIDDEN) · 12 x 18  Gloss · Mill Supply         Sheets: 250"));
    rows.m_Up = 2;
    rows.m_Out = 1;
    rows.GetRunText(run, false, false, false, false);
    EXPECT_EQ(run, QString::fromUtf8("Cougar 80# (HIDDEN) · 12 x 18 (1 out  2 up)  Gloss         Sheets: 250"));

    rows.m_strHeading = QStringLiteral("Paper");
    rows.GetInkText(true);
    EXPECT_EQ(rows.m_strDescription, QStringLiteral("Paper: Cougar 80# 12 x 18 Gloss    (Sheets)\n   Front: Black   "));
}

TEST_F(JobTablesTest, ItemKindsComeFromTheCategoriesOfTheirServices)
{
    // Paper is a service of category 101-199, digital printing one of 301-399;
    // the categories just outside give an item no kind.
    const int categories[][2] = {{130, 100}, {131, 101}, {132, 199}, {133, 200},
                                 {134, 300}, {135, 301}, {136, 399}, {137, 400}};
    for (const auto &c : categories)
        addService(c[0], c[1], QStringLiteral("Service %1").arg(c[0]));
    const qint32 job = addJob(0, 11);
    for (const qint32 serNo : {130, 133, 134, 137})
        addItem(job, serNo, 1);
    addItem(job, 131, 2);
    addItem(job, 132, 3);
    addItem(job, 135, 3);
    addItem(job, 132, 4);
    addItem(job, 136, 4, QStringLiteral("SubNo"), QStringLiteral("1"));

    CItemSetX rows;
    const struct
    {
        int itemNo, subNo;
        bool digital, paper;
    } cases[] = {{1, 0, false, false}, {2, 0, false, true}, {3, 0, true, true},
                 {4, 0, false, true},  {4, 1, true, false}, {5, 0, false, false}};
    for (const auto &c : cases) {
        rows.DetectItemKinds(job, c.itemNo, c.subNo);
        EXPECT_EQ(rows.m_bHasDigital, c.digital) << c.itemNo << "-" << c.subNo;
        EXPECT_EQ(rows.m_bHasPaper, c.paper) << c.itemNo << "-" << c.subNo;
    }
    // A service added later is seen by the same set.
    addItem(job, 136, 2);
    rows.DetectItemKinds(job, 2, 0);
    EXPECT_TRUE(rows.m_bHasDigital);
    EXPECT_TRUE(rows.m_bHasPaper);
}

TEST_F(JobTablesTest, ServiceUnitPricesFollowTheirOwnJobOption)
{
    // A paper priced per 1000. Item 2 of the Job Options row chooses how
    // service unit prices show: 0 the service's own unit, 1 per each; item 1
    // (discontinued services before printing) has nothing to do with it.
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) "
                        "VALUES (101, 99, 0, 'Paper', 1)"));
    addService(121, 101, QStringLiteral("Bond 20#"), QStringLiteral("Size, Unit"), QStringLiteral("'8.5 x 11', 2"));
    const qint32 job = addJob(0, 10);
    addItem(job, 121, 1, QStringLiteral("ChargeQty, Price"), QStringLiteral("1000, 92.98"));
    const struct
    {
        const char *row;
        int decimals;
    } cases[] = {{"1,1,0,0,1,1,0,1,0,1,1,", 2}, {"1,0,1,0,1,1,0,1,0,1,1,", 1}, {"1,1,2,0,1,1,0,1,0,1,1,", 2}};
    for (const auto &c : cases) {
        ASSERT_TRUE(SaveGlobalAlertText(251, QString::fromLatin1(c.row)));
        CItemSetX rows;
        ASSERT_TRUE(rows.OpenJobItemsAndServices(job));
        rows.GetDescription(QString(), true);
        EXPECT_EQ(rows.m_nDecimals, c.decimals) << c.row;
    }
}

// --- Production status, inventory and actual costs -----------------------------------

class ServiceStatusTest : public JobTablesTest
{
protected:
    void SetUp() override
    {
        JobTablesTest::SetUp();
        addService(150, 101, QStringLiteral("Stock Paper"), QStringLiteral("OptInv, InStock, OnOrder"),
                   QStringLiteral("1, 1000, 0"));
        job = addJob(0, 60, QStringLiteral("DateIn, Cost"), QStringLiteral("#6/15/2024#, 0"));
        item = addItem(job, 0, 1, QStringLiteral("Cost"), QStringLiteral("5"));
        service = addItem(job, 150, 1, QStringLiteral("ActualQty, MatCost, TimeCost, Cost, Tag2"),
                          QStringLiteral("100, 10, 4, 14, 12"));
    }

    qint32 stock() { return scalar(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = 150")).toInt(); }
    platform::Value itemColumn(const char *column, qint32 id)
    {
        return scalar(QStringLiteral("SELECT %1 FROM Items WHERE ItemID = %2").arg(QLatin1String(column)).arg(id));
    }

    // The service row read here, then saved by another workstation (its own
    // connection) before this one writes; `answer` waits for the question.
    void readThenSavedElsewhere(CItemSet &row, const char *set, int answer)
    {
        if (!other.isOpen())
            other.open(databasePath());
        ASSERT_TRUE(row.OpenByItemID(service));
        other.execute(QStringLiteral("UPDATE Items SET %1 WHERE ItemID = %2").arg(QLatin1String(set)).arg(service));
        prompts().clear();
        if (answer != 0)
            prompts().answer(answer);
    }

    qint32 job = 0, item = 0, service = 0;
    platform::Database other;
};

TEST_F(ServiceStatusTest, FinishingStampsTheDayAndMovesStock)
{
    CItemSet::InventoryRules rules;
    rules.enabled = true;
    rules.optionBits = 0;
    CItemSet::SetInventoryRules(rules);

    CItemSet row;
    EXPECT_EQ(row.SetServiceStatus(0, 0, service), 1);
    EXPECT_TRUE(prompts().shown().isEmpty()); // In-Stock: no question
    EXPECT_EQ(itemColumn("Status", service).toInt(), 0);
    EXPECT_EQ(itemColumn("Days2", service).toInt(), 1); // the job came in today
    EXPECT_EQ(stock(), 900);

    EXPECT_EQ(row.SetServiceStatus(3, 0, service), 1); // reopened on day 3
    EXPECT_EQ(itemColumn("Days2", service).toInt(), 3);
    EXPECT_EQ(stock(), 1000);

    EXPECT_EQ(row.SetServiceStatus(7, 1, service), 1); // the operator only
    EXPECT_EQ(itemColumn("EmpNo", service).toInt(), 7);
    EXPECT_EQ(stock(), 1000);

    // An old job stamps its last day.
    exec(QStringLiteral("UPDATE Jobs SET DateIn = #8/20/2023# WHERE JobID = %1").arg(job));
    EXPECT_EQ(row.SetServiceStatus(0, 0, service), 1);
    EXPECT_EQ(itemColumn("Days2", service).toInt(), 254);

    // The stock moves in 64 bits: at the largest count it is kept, one past
    // it is refused by name with nothing written, never wrapped below 0.
    const QString past = QStringLiteral("Nothing was saved: the In Stock of Stock Paper would be %1, more than "
                                        "1,000,000,000, the largest count the program holds.");
    struct Case
    {
        const char *name;
        qint64 stockBefore;
        qint32 used;
        int status; // 0 finishes, 3 reopens
        int result;
        qint64 stockAfter;
        QString refusal;
    };
    const Case cases[] = {
        {"given back to the largest count", 999999900, 100, 3, 1, 1000000000, QString()},
        {"given back one past it", 999999901, 100, 3, 0, 999999901, past.arg(QStringLiteral("1,000,000,001"))},
        {"given back past 32 bits", 2147483600, 100, 3, 0, 2147483600, past.arg(QStringLiteral("2,147,483,700"))},
        {"all the largest stock used", 1000000000, 1000000000, 0, 1, 0, QString()},
        {"taken from a stock past the largest count", 2147483600, 100, 0, 1, 2147483500, QString()},
    };
    for (const Case &c : cases) {
        // Finished for a give-back, open for a finish.
        exec(QStringLiteral("UPDATE Items SET Status = %1, ActualQty = %2 WHERE ItemID = %3")
                 .arg(c.status == 0 ? 1 : 0)
                 .arg(c.used)
                 .arg(service));
        exec(QStringLiteral("UPDATE Services SET InStock = %1 WHERE SerNo = 150").arg(c.stockBefore));
        prompts().clear();
        if (!c.refusal.isEmpty())
            prompts().answer(IDOK);
        CItemSet again;
        EXPECT_EQ(again.SetServiceStatus(c.status, 0, service), c.result) << c.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = 150")).toInt64(), c.stockAfter)
            << c.name;
        EXPECT_EQ(itemColumn("Status", service).toInt(), c.result ? c.status : (c.status == 0 ? 1 : 0)) << c.name;
        EXPECT_EQ(prompts().lastText(), c.refusal) << c.name;
    }
}

TEST_F(ServiceStatusTest, FinishingIsRefusedUntilTheStockIsThere)
{
    CItemSet::InventoryRules rules;
    rules.enabled = true;
    rules.optionBits = 8;
    int asked = 0;
    rules.confirm = [&asked](qint32 serNo, bool giveBack, qint32 &quantity, qint32 &newStock) {
        ++asked;
        EXPECT_EQ(serNo, 150);
        EXPECT_FALSE(giveBack);
        quantity = 120;
        newStock = 880;
        return true;
    };
    CItemSet::SetInventoryRules(rules);
    exec(QStringLiteral("UPDATE Items SET Tag2 = 11 WHERE ItemID = %1").arg(service));

    CItemSet row;
    prompts().answer(IDOK);
    EXPECT_EQ(row.SetServiceStatus(0, 0, service), 0);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("You may not finish this Service.\nIts Inventory status must be In-Stock."));
    EXPECT_EQ(itemColumn("Status", service).toInt(), 1);
    EXPECT_EQ(asked, 0);

    // In stock: the confirmed quantity is booked, its cost rescaled and
    // rolled up into the item and the job.
    exec(QStringLiteral("UPDATE Items SET Tag2 = 12 WHERE ItemID = %1").arg(service));
    rules.optionBits = 8 | 16;
    CItemSet::SetInventoryRules(rules);
    EXPECT_EQ(row.SetServiceStatus(0, 0, service), 2);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(stock(), 880);
    EXPECT_EQ(itemColumn("ActualQty", service).toInt(), 120);
    EXPECT_EQ(itemColumn("MatCost", service).toMoney(), money("12"));
    EXPECT_EQ(itemColumn("Cost", service).toMoney(), money("16"));
    EXPECT_EQ(itemColumn("Cost", item).toMoney(), money("16"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Cost FROM Jobs")).toMoney(), money("16"));

    // Another workstation saves the service's note while the quantity is
    // asked about: the finish is written beside it, the note kept.
    exec(QStringLiteral("UPDATE Items SET Status = 1, ActualQty = 0 WHERE ItemID = %1").arg(service));
    rules.confirm = [&](qint32, bool, qint32 &quantity, qint32 &newStock) {
        exec(QStringLiteral("UPDATE Items SET [Note] = 'Call first' WHERE ItemID = %1").arg(service));
        quantity = 100;
        newStock = 780;
        return true;
    };
    CItemSet::SetInventoryRules(rules);
    prompts().clear();
    CItemSet again;
    EXPECT_EQ(again.SetServiceStatus(0, 0, service), 2);
    EXPECT_TRUE(prompts().shown().isEmpty()) << prompts().lastText().toStdString();
    EXPECT_EQ(itemColumn("Status", service).toInt(), 0);
    EXPECT_EQ(itemColumn("Note", service).toString(), QStringLiteral("Call first"));
    EXPECT_EQ(itemColumn("ActualQty", service).toInt(), 100);
    EXPECT_EQ(stock(), 780);
}

TEST_F(ServiceStatusTest, FailedStatusChangeLeavesStockAndRowAlone)
{
    CItemSet::InventoryRules rules;
    rules.enabled = true;
    rules.optionBits = 0;
    CItemSet::SetInventoryRules(rules);
    db().executeNative(QStringLiteral("CREATE TRIGGER KeepItems BEFORE UPDATE ON Items "
                                      "BEGIN SELECT RAISE(ABORT, 'the row is kept'); END"));
    CItemSet row;
    ASSERT_TRUE(row.OpenByItemID(service));
    prompts().answer(IDOK);
    EXPECT_EQ(row.SetServiceStatus(0, 0, 0), 0);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save Items")));
    EXPECT_EQ(stock(), 1000);
    EXPECT_EQ(itemColumn("Status", service).toInt(), 1);
    EXPECT_EQ(row.m_Status, 1); // the row in memory shows what is stored
    EXPECT_EQ(row.GetEditMode(), CXDaoSet::dbEditNone);
}

TEST_F(ServiceStatusTest, ActualCostsAreRescaledAndRolledUp)
{
    CItemSet row;
    ASSERT_TRUE(row.OpenByItemID(service));
    EXPECT_TRUE(row.SetActualCosts(150, 0));
    EXPECT_EQ(itemColumn("MatCost", service).toMoney(), money("15"));
    EXPECT_EQ(itemColumn("Cost", service).toMoney(), money("19"));
    EXPECT_EQ(itemColumn("Status", service).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Cost FROM Jobs")).toMoney(), money("19"));

    // 4.00 for 30 minutes becomes 4.00 / 30 x 45 = 6.00.
    exec(QStringLiteral("UPDATE Items SET ActualTime = 30 WHERE ItemID = %1").arg(service));
    ASSERT_TRUE(row.OpenByItemID(service));
    EXPECT_TRUE(row.SetActualCosts(0, 45));
    EXPECT_EQ(itemColumn("TimeCost", service).toMoney(), money("6"));
    EXPECT_FALSE(row.SetActualCosts(0, 45)); // the same minutes again: nothing
    EXPECT_FALSE(row.SetActualCosts(150, -5));

    // No old quantity: the quantity is booked, the cost stays.
    exec(QStringLiteral("UPDATE Items SET ActualQty = 0 WHERE ItemID = %1").arg(service));
    ASSERT_TRUE(row.OpenByItemID(service));
    EXPECT_TRUE(row.SetActualCosts(300, 0));
    EXPECT_EQ(itemColumn("ActualQty", service).toInt(), 300);
    EXPECT_EQ(itemColumn("MatCost", service).toMoney(), money("15"));
}

// Another workstation saves the service row between this one's reading and
// its booking: only the booking goes onto the row as it is now, its costs
// rescaled from the figures stored then; a field both changed is asked about
// by the service's line and the window's name for it, with the file free.
TEST_F(ServiceStatusTest, ActualCostsAreBookedOntoTheRowAsItIsNow)
{
    const QString kAsked = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what "
        "you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either "
        "way. Cancel saves nothing now.");
    // The service in its category, as the schedule names its line.
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, CatName) VALUES (101, 'Paper')"));
    // Read as: ActualQty 100, ActualTime 30, MatCost 10.00, TimeCost 4.00,
    // Cost 14.00, Status 1 (day 1).
    struct Case
    {
        const char *what;
        const char *other; // the other workstation's save
        qint32 quantity, minutes;
        int answer;        // 0: nothing asked
        const char *asked;
        bool booked;
        // Note|ActualQty|ActualTime|MatCost|TimeCost|Cost|Status as stored
        const char *stored;
        const char *jobCost;
    };
    const Case cases[] = {
        {"a note saved meanwhile: kept beside the booking", "[Note] = 'Call first'", 150, 0, 0, "", true,
         "Call first|150|30|15|4|19|0", "19"},
        // 20.00 / 100 x 150 = 30.00, from the cost stored now, not the 10.00 read.
        {"the material cost changed meanwhile: rescaled from it", "MatCost = 20, Cost = 24", 150, 0, 0, "", true,
         "|150|30|30|4|34|0", "34"},
        // 10.01 / 100 x 150 = 15.015, raised to the next cent.
        {"an odd cent rescaled up", "MatCost = 10.01, Cost = 14.01", 150, 0, 0, "", true, "|150|30|15.02|4|19.02|0",
         "19.02"},
        // 8.00 / 30 x 45 = 12.00; 10.00 + 12.00.
        {"minutes over a time cost changed meanwhile", "TimeCost = 8, Cost = 18", 0, 45, 0, "", true,
         "|100|45|10|12|22|0", "22"},
        // Yes: 150 over the 120 stored, 12.00 / 120 x 150 = 15.00.
        {"the quantity both changed, mine kept", "ActualQty = 120, MatCost = 12, Cost = 16", 150, 0, IDYES,
         "Paper: Stock Paper, Actual Quantity: the other user's \"120\", yours \"150\"", true, "|150|30|15|4|19|0", "19"},
        {"the quantity both changed, theirs kept", "ActualQty = 120, MatCost = 12, Cost = 16", 150, 0, IDNO,
         "Paper: Stock Paper, Actual Quantity: the other user's \"120\", yours \"150\"", false, "|120|30|12|4|16|1", "0"},
        {"cancelled: nothing written", "ActualQty = 120, [Note] = 'x'", 150, 0, platform::IDCANCEL,
         "Paper: Stock Paper, Actual Quantity: the other user's \"120\", yours \"150\"", false, "x|120|30|10|4|14|1", "0"},
        // Booking finishes the service; the other user planned it for day 3.
        {"the status both changed, mine kept", "Status = 3", 150, 0, IDYES,
         "Paper: Stock Paper, Status: the other user's \"Day 3\", yours \"Done\"", true, "|150|30|15|4|19|0", "19"},
        {"the status both changed, theirs kept", "Status = 3", 150, 0, IDNO,
         "Paper: Stock Paper, Status: the other user's \"Day 3\", yours \"Done\"", true, "|150|30|15|4|19|3", "19"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("UPDATE Items SET [Note] = '', ActualQty = 100, ActualTime = 30, MatCost = 10, "
                            "TimeCost = 4, Cost = 14, Status = 1 WHERE ItemID = %1")
                 .arg(service));
        exec(QStringLiteral("UPDATE Items SET Cost = 5 WHERE ItemID = %1").arg(item));
        exec(QStringLiteral("UPDATE Jobs SET Cost = 0"));
        CItemSet row;
        readThenSavedElsewhere(row, c.other, c.answer);
        EXPECT_EQ(row.SetActualCosts(c.quantity, c.minutes), c.booked);
        if (c.answer == 0)
            EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        else
            EXPECT_EQ(prompts().texts(), QStringList{kAsked.arg(QLatin1String(c.asked))})
                << prompts().texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(scalar(QStringLiteral("SELECT [Note] & '|' & ActualQty & '|' & ActualTime & '|' & MatCost & '|' & "
                                        "TimeCost & '|' & Cost & '|' & Status FROM Items WHERE ItemID = %1")
                             .arg(service))
                      .toString(),
                  QLatin1String(c.stored));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Cost FROM Jobs")).toMoney(), money(c.jobCost));
        EXPECT_EQ(row.GetEditMode(), CXDaoSet::dbEditNone);
    }
}

// A service finished in the schedule while another workstation saved its
// row: the finish goes onto the row as it is now; a status both changed is
// asked about, and cancelled, the stock move goes back with the rest.
TEST_F(ServiceStatusTest, AFinishWhileAnotherWorkstationSavedTheRow)
{
    CItemSet::InventoryRules rules;
    rules.enabled = true;
    rules.optionBits = 0;
    CItemSet::SetInventoryRules(rules);
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, CatName) VALUES (101, 'Paper')"));
    struct Case
    {
        const char *what;
        const char *other;
        int answer;
        int result;
        const char *stored; // Note|Status|ActualQty|EmpNo
        qint32 stock;
        // The schedule's assignment made instead of the finish (1: operator).
        int assign = 0, value = 0;
        const char *asked = "Paper: Stock Paper, Status: the other user's \"Day 3\", yours \"Done\"";
    };
    const char *operators = "Paper: Stock Paper, Operator: the other user's \"3\", yours \"5\"";
    const Case cases[] = {
        {"a note saved meanwhile", "[Note] = 'Call first'", 0, 1, "Call first|0|100|0", 900},
        {"planned for day 3 meanwhile, mine kept", "Status = 3", IDYES, 1, "|0|100|0", 900},
        {"planned for day 3 meanwhile, theirs kept", "Status = 3", IDNO, 1, "|3|100|0", 900},
        {"planned for day 3 meanwhile, cancelled", "Status = 3, [Note] = 'x'", platform::IDCANCEL, 0, "x|3|100|0",
         1000},
        // Assigned to operator 5 in the schedule, to operator 3 by the other.
        {"the operator both assigned, mine kept", "EmpNo = 3", IDYES, 1, "|1|100|5", 1000, 1, 5, operators},
        {"the operator both assigned, theirs kept", "EmpNo = 3", IDNO, 1, "|1|100|3", 1000, 1, 5, operators},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("UPDATE Items SET [Note] = '', Status = 1, EmpNo = 0 WHERE ItemID = %1").arg(service));
        exec(QStringLiteral("UPDATE Services SET InStock = 1000 WHERE SerNo = 150"));
        CItemSet row;
        readThenSavedElsewhere(row, c.other, c.answer);
        EXPECT_EQ(row.SetServiceStatus(c.value, c.assign, 0), c.result);
        if (c.answer == 0)
            EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        else
            EXPECT_TRUE(prompts().lastText().contains(QLatin1String(c.asked))) << prompts().lastText().toStdString();
        EXPECT_EQ(scalar(QStringLiteral("SELECT [Note] & '|' & Status & '|' & ActualQty & '|' & EmpNo FROM Items "
                                        "WHERE ItemID = %1")
                             .arg(service))
                      .toString(),
                  QLatin1String(c.stored));
        EXPECT_EQ(stock(), c.stock);
    }
}

} // namespace
