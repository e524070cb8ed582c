#include "DataTestBase.h"
#include "TestCustomerSet.h"

#include "data/CustomerRows.h"
#include "platform/Clock.h"

using platform::FieldType;
using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::Value;

namespace {

const QString kBusy = QStringLiteral("Your database or network may be busy.\nWait a moment, and then try the "
                                     "operation again.\n\nIf this error persists, re-start Tavrel.");

class DaoSetTest : public DataTest
{
protected:
    void SetUp() override
    {
        DataTest::SetUp();
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Rate, Terms) VALUES (5, 'Acme', 12.5, 2.5, 3)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Rate, Terms) VALUES (7, 'Bolt', 0, 0, 0)"));
    }
    int customerCount() { return scalar(QStringLiteral("SELECT Count(*) FROM Customers")).toInt(); }
};

} // namespace

TEST_F(DaoSetTest, MembersFollowTheRowAndOnlyChangedColumnsAreWritten)
{
    TestCustomerSet set;
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    EXPECT_EQ(set.m_nFields, 7);
    EXPECT_EQ(set.GetWhereText(QStringLiteral("FILTER:\n\n")), QStringLiteral("FILTER:\n\nCusNo = 5"));
    EXPECT_EQ(set.m_Name, QStringLiteral("Acme"));
    EXPECT_EQ(set.m_Balance, Money::fromUnits(125000));
    EXPECT_EQ(set.m_Terms, 3);
    EXPECT_TRUE(set.IsFieldNull(&set.m_Memo));
    EXPECT_TRUE(set.m_DateCreated.isNull());

    ASSERT_TRUE(set.SafeEdit());
    set.m_Name = QStringLiteral("Acme Print");
    ASSERT_TRUE(set.SafeUpdate(QStringLiteral("customer")));
    EXPECT_EQ(set.GetEditMode(), CXDaoSet::dbEditNone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 5")).toString(), QStringLiteral("Acme Print"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT Memo FROM Customers WHERE CusNo = 5")).isNull());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DateCreated FROM Customers WHERE CusNo = 5")).isNull());

    // Moving on loads the next row into the members.
    set.m_strFilter.clear();
    set.m_strSort = QStringLiteral("CusNo");
    ASSERT_TRUE(set.RequeryOrOpen());
    set.MoveNext();
    EXPECT_EQ(set.m_CusNo, 7);
    EXPECT_EQ(set.m_Name, QStringLiteral("Bolt"));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(DaoSetTest, SnapshotRowsFillTheMembersAsADynasetDoes)
{
    // A snapshot fills its members from the rows it holds: a Null after a
    // value must empty the member and be remembered as Null.
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Balance, Rate, Terms, Memo) VALUES (9, NULL, -3, NULL, "
                        "255, 'note')"));
    TestCustomerSet set;
    set.m_strSort = QStringLiteral("CusNo");
    set.Open(CXDaoSet::dbOpenSnapshot);
    ASSERT_EQ(set.m_CusNo, 5);
    EXPECT_EQ(set.m_Name, QStringLiteral("Acme"));
    EXPECT_EQ(set.m_Balance, Money::fromUnits(125000));
    EXPECT_EQ(set.m_Rate, 2.5);
    EXPECT_EQ(set.m_Terms, 3);
    EXPECT_TRUE(set.IsFieldNull(&set.m_Memo));
    EXPECT_FALSE(set.IsFieldNull(&set.m_Name));
    set.MoveNext();
    set.MoveNext();
    ASSERT_EQ(set.m_CusNo, 9);
    EXPECT_TRUE(set.m_Name.isEmpty());
    EXPECT_TRUE(set.IsFieldNull(&set.m_Name));
    EXPECT_EQ(set.m_Balance, Money::fromUnits(-30000));
    EXPECT_EQ(set.m_Rate, 0.0);
    EXPECT_TRUE(set.IsFieldNull(&set.m_Rate));
    EXPECT_EQ(set.m_Terms, 255);
    EXPECT_EQ(set.m_Memo, QStringLiteral("note"));
    EXPECT_FALSE(set.IsFieldNull(&set.m_Memo));
}

TEST_F(DaoSetTest, EmptySetAndFindWithoutMatch)
{
    CXDaoSet never;
    EXPECT_TRUE(never.IsEmptySet());

    CXDaoSet all;
    all.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT CusNo FROM Customers"));
    all.MoveNext();
    all.MoveNext();
    EXPECT_TRUE(all.IsEOF());
    EXPECT_FALSE(all.IsEmptySet());
    EXPECT_EQ(all.CountRecords(), 2);

    TestCustomerSet set;
    EXPECT_FALSE(set.FindByField(QStringLiteral("CusNo"), 99));
    EXPECT_TRUE(set.IsOpen());
    EXPECT_TRUE(set.IsEmptySet());
    EXPECT_EQ(set.CountRecords(), 0);
}

TEST_F(DaoSetTest, AddNewOpensTheTableAndSaveRecordKeepsEditing)
{
    TestCustomerSet set;
    set.m_strFilter = QStringLiteral("CusNo = 5");
    ASSERT_TRUE(set.SafeAddNew());
    EXPECT_TRUE(set.m_strFilter.isEmpty());
    EXPECT_EQ(set.resets, 1);
    EXPECT_EQ(set.GetEditMode(), CXDaoSet::dbEditAdd);

    set.m_CusNo = 40;
    set.m_Name = QStringLiteral("Cato");
    ASSERT_TRUE(set.SaveRecord());
    EXPECT_EQ(set.GetEditMode(), CXDaoSet::dbEditInProgress);
    EXPECT_EQ(set.m_CusNo, 40); // the new row is current
    EXPECT_EQ(customerCount(), 3);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT Memo FROM Customers WHERE CusNo = 40")).isNull());

    // Nothing changed: nothing written, still editing, no beep.
    ASSERT_TRUE(set.SaveRecord(1));
    EXPECT_EQ(set.GetEditMode(), CXDaoSet::dbEditInProgress);
    EXPECT_TRUE(prompts().shown().isEmpty());

    set.m_Balance = Money::fromCents(1999);
    ASSERT_TRUE(set.SaveRecord(1));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown().first().kind, platform::PromptRecord::Kind::Beep);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Customers WHERE CusNo = 40")).toMoney(), Money::fromCents(1999));
    EXPECT_EQ(customerCount(), 3);

    // A snapshot cannot take a new record: refused without a message.
    CXDaoSet snapshot;
    snapshot.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Customers"));
    EXPECT_FALSE(snapshot.SafeAddNew());
    EXPECT_FALSE(snapshot.SafeEdit());
    EXPECT_FALSE(snapshot.SaveRecord());
    EXPECT_EQ(prompts().shown().size(), 1);
}

TEST_F(DaoSetTest, FailuresAreShownWithTheirContextAndReturnFalse)
{
    TestCustomerSet set;
    ASSERT_TRUE(set.SafeAddNew());
    set.m_CusNo = 5; // taken
    prompts().answer(IDOK);
    EXPECT_FALSE(set.SafeUpdate(QStringLiteral("Customer 5")));
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Cannot save Customer 5\n\nError 3022 occured:\n\n")))
        << prompts().texts().first().toStdString();
    EXPECT_EQ(set.GetEditMode(), CXDaoSet::dbEditNone);
    EXPECT_EQ(customerCount(), 2);

    prompts().clear();
    set.m_strFilter = QStringLiteral("CusNo = = 1");
    prompts().answer(IDOK);
    EXPECT_FALSE(set.RequeryOrOpen());
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Cannot requery Customers\n\nError 3075 occured:")));
    EXPECT_TRUE(prompts().texts().first().endsWith(QStringLiteral("Usually caused by an error in the filter.\n\n")));

    // A statement that cannot run: the details question, then the busy note.
    prompts().clear();
    CXDaoSet bad;
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    prompts().answer(IDOK);
    bad.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Nothing FROM Customers WHERE CusNo = 5"));
    EXPECT_FALSE(bad.IsOpen());
    EXPECT_TRUE(bad.IsEmptySet());
    const QStringList texts = prompts().texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral("Would you like to see more information?")));
    EXPECT_EQ(texts[1], QStringLiteral("Could not run query:\n\nSELECT Nothing \r\n\r\nFROM Customers \r\n\r\nWHERE CusNo = 5"));
    EXPECT_EQ(texts[2], kBusy);
}

TEST_F(DaoSetTest, AskSaveChangesByMode)
{
    TestCustomerSet set;
    ASSERT_TRUE(set.SafeAddNew());
    EXPECT_EQ(set.AskSaveChanges(1), 0);
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(IDNO);
    EXPECT_EQ(set.AskSaveChanges(2), IDNO);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to save the new record?\n"));
    set.CancelUpdate();

    prompts().clear();
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    ASSERT_TRUE(set.SafeEdit());
    EXPECT_EQ(set.AskSaveChanges(1), 0);
    set.m_Name = QStringLiteral("Acme Two");
    set.m_Balance = Money::fromCents(100);
    EXPECT_EQ(set.AskSaveChanges(0), IDYES);
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(platform::IDCANCEL);
    EXPECT_EQ(set.AskSaveChanges(1), platform::IDCANCEL);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to save the changes?\nName, Balance"));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNOCANCEL | platform::MB_ICONEXCLAMATION));
}

namespace {

// Columns bound so that Nulls and over-long texts never reach the engine.
class GuardedCustomerSet : public CXDaoSet
{
public:
    qint32 m_CusNo = 0;
    QString m_Name;
    qint32 m_Discount = 0;
    float m_Weight = 0;
    QString GetDefaultSQL() const override { return QStringLiteral("[Customers]"); }
    void DoFieldExchange(FieldExchange *pFX) override
    {
        DFX_Long(pFX, QStringLiteral("CusNo"), m_CusNo);
        DFX_TextLimit(pFX, QStringLiteral("[Name]"), m_Name);
        DFX_LongNoNull(pFX, QStringLiteral("Discount"), m_Discount);
        DFX_SingleNoNull(pFX, QStringLiteral("Weight"), m_Weight);
    }
};

} // namespace

TEST_F(DaoSetTest, GuardedColumnsWriteZerosAndCutTexts)
{
    GuardedCustomerSet set;
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    EXPECT_EQ(set.m_Discount, 0);
    ASSERT_TRUE(set.SafeEdit());
    EXPECT_EQ(set.m_Weight, 0.0f);
    set.m_Name = QString(60, QLatin1Char('n'));
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 5")).toString(),
              QString(50, QLatin1Char('n')));
    const Value discount = scalar(QStringLiteral("SELECT Discount FROM Customers WHERE CusNo = 5"));
    EXPECT_FALSE(discount.isNull());
    EXPECT_EQ(discount.toInt(), 0);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT Weight FROM Customers WHERE CusNo = 5")).isNull());
}

namespace {

class PlainTextCustomerSet : public CXDaoSet
{
public:
    qint32 m_CusNo = 0;
    QString m_Name;
    QString GetDefaultSQL() const override { return QStringLiteral("[Customers]"); }
    void DoFieldExchange(FieldExchange *pFX) override
    {
        DFX_Long(pFX, QStringLiteral("CusNo"), m_CusNo);
        DFX_Text(pFX, QStringLiteral("[Name]"), m_Name);
    }
};

} // namespace

// A text its column cannot hold, in a column written as it is: the save
// fails naming the column and its size (the engine's 3163 named none), and
// the row stays as it was. One that fits exactly is written whole.
TEST_F(DaoSetTest, ATextLongerThanItsColumnFailsTheSaveNamingTheColumn)
{
    const QString before = scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 5")).toString();
    PlainTextCustomerSet set;
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    EXPECT_EQ(set.GetFieldSize(QStringLiteral("[Name]")), 50);
    ASSERT_TRUE(set.SafeEdit());
    set.m_Name = QString(51, QLatin1Char('n'));
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(set.SafeUpdate(QStringLiteral("the customer")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot save the customer\n\nError 3163 occured:\n\nName: Please "
                                                   "enter at most 50 characters.\n\n"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 5")).toString(), before);
    ASSERT_TRUE(set.SafeEdit());
    set.m_Name = QString(50, QLatin1Char('n'));
    EXPECT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 5")).toString(),
              QString(50, QLatin1Char('n')));
    // A set not open yet reads the size from its table.
    PlainTextCustomerSet closed;
    EXPECT_EQ(closed.GetFieldSize(QStringLiteral("[Name]")), 50);
    EXPECT_EQ(closed.GetFieldSize(QStringLiteral("Memo")), 2147483647);
}

namespace {

// Counts and an amount bound as the program holds them (32 and 64 bits),
// over columns of a byte and of Currency.
class WideNumberCustomerSet : public CXDaoSet
{
public:
    qint32 m_CusNo = 0;
    qint32 m_Terms = 0;
    Money m_Balance;
    QString GetDefaultSQL() const override { return QStringLiteral("[Customers]"); }
    void DoFieldExchange(FieldExchange *pFX) override
    {
        DFX_Long(pFX, QStringLiteral("CusNo"), m_CusNo);
        DFX_Long(pFX, QStringLiteral("[Terms]"), m_Terms);
        DFX_Currency(pFX, QStringLiteral("[Balance]"), m_Balance);
    }
};

} // namespace

// A number its column cannot hold is never cut or wrapped into it: the save
// fails naming the field, and the row stays as it was. At the column's
// bound it is written whole.
TEST_F(DaoSetTest, ANumberItsColumnCannotHoldFailsTheSaveNamingTheField)
{
    const struct
    {
        qint32 terms;
        qint64 balanceUnits;
        const char *refusal; // nullptr: written
    } cases[] = {
        {255, 0, nullptr},
        {256, 0, "Error 3349 occured:\n\nTerms: Please enter a number from 0 to 255."},
        {-1, 0, "Error 3349 occured:\n\nTerms: Please enter a number from 0 to 255."},
        {3, 1'000'000'000'000'000, nullptr},
        {3, 1'000'000'000'000'001,
         "Error 3349 occured:\n\n\"Balance\" cannot be more than 100,000,000,000.00, the largest amount it holds."},
        {3, -1'000'000'000'000'001,
         "Error 3349 occured:\n\n\"Balance\" cannot be less than -100,000,000,000.00, the largest amount it holds."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.terms) + " " + std::to_string(c.balanceUnits));
        const QString before = scalar(QStringLiteral("SELECT Terms & '|' & Balance FROM Customers WHERE CusNo = 5")).toString();
        WideNumberCustomerSet set;
        ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
        ASSERT_TRUE(set.SafeEdit());
        set.m_Terms = c.terms;
        set.m_Balance = Money::fromUnits(c.balanceUnits);
        prompts().clear();
        if (c.refusal) {
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(set.SafeUpdate(QStringLiteral("the customer")));
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot save the customer\n\n") + QString::fromUtf8(c.refusal)
                                                + QStringLiteral("\n\n"));
            EXPECT_EQ(scalar(QStringLiteral("SELECT Terms & '|' & Balance FROM Customers WHERE CusNo = 5")).toString(),
                      before);
            continue;
        }
        EXPECT_TRUE(set.SafeUpdate());
        EXPECT_EQ(scalar(QStringLiteral("SELECT Terms FROM Customers WHERE CusNo = 5")).toInt(), c.terms);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Customers WHERE CusNo = 5")).toMoney(),
                  Money::fromUnits(c.balanceUnits));
    }
}

struct LongCase
{
    const char *what;
    Value value;
    qint32 expected;
};

void PrintTo(const LongCase &c, std::ostream *os)
{
    *os << c.what << " -> " << c.expected;
}


class ValueToLongTest : public ::testing::TestWithParam<LongCase>
{
};

TEST_P(ValueToLongTest, Converts)
{
    EXPECT_EQ(CXDaoSet::ValueToLong(GetParam().value), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ValueToLongTest,
    ::testing::Values(LongCase{"money in cents", Value(Money::fromUnits(123450)), 1234},
                      LongCase{"money remainder dropped", Value(Money::fromUnits(-123499)), -1234},
                      // Past a Long: held at its limit, not wrapped (30,000,000.00 read -12,949,672.96).
                      LongCase{"money past a Long", Value(Money::fromCents(3000000000LL)), 2147483647},
                      LongCase{"money below a Long", Value(Money::fromCents(-3000000000LL)), -2147483647 - 1},
                      LongCase{"double past a Long", Value(3e9), 2147483647},
                      LongCase{"double", Value(2.9), 2}, LongCase{"negative double", Value(-2.9), -2},
                      LongCase{"leading digits", Value(QStringLiteral("42abc")), 42},
                      LongCase{"true", Value(true), -1},
                      LongCase{"integer sign", Value(std::int64_t(-3), FieldType::Integer), -3},
                      LongCase{"date", Value(DateTime(2011, 3, 16)), 0}, LongCase{"null", Value(), 0}));

TEST_F(DaoSetTest, TypedWritesAndTexts)
{
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 30)));
    db().execute(QStringLiteral("UPDATE Customers SET Memo = ? WHERE CusNo = 5"),
                 {Value(QStringLiteral("first\r\nsecond"), FieldType::Memo)});

    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenDynaset,
             QStringLiteral("SELECT Balance, DateCreated, Name, Memo, Rate FROM Customers WHERE CusNo = 5"));
    ASSERT_FALSE(set.IsEmptySet());
    QString text;
    set.GetFieldText(3, text, true);
    EXPECT_EQ(text, QStringLiteral("first  \u00B7  second"));
    set.GetFieldText(3, text, false);
    EXPECT_EQ(text, QStringLiteral("first\r\nsecond"));
    DateTime date;
    set.GetFieldDate(1, date);
    EXPECT_TRUE(date.isNull());

    set.Edit();
    set.SetFieldFromLong(0, 1999);
    set.SetFieldFromLong(1, 7);
    set.SetFieldFromLong(2, 3);
    set.SetFieldFromLong(4, 250);
    set.Update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Customers WHERE CusNo = 5")).toMoney(), Money::fromCents(1999));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DateCreated FROM Customers WHERE CusNo = 5")).toDateTime(),
              DateTime(2011, 3, 16, 9, 30));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 5")).toString(), QStringLiteral("Acme"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("SELECT Rate FROM Customers WHERE CusNo = 5")).toDouble(), 2.5);
}

TEST_F(DaoSetTest, FieldLengthCheck)
{
    TestCustomerSet set;
    ASSERT_TRUE(set.FindByField(QStringLiteral("CusNo"), 5));
    EXPECT_EQ(set.GetFieldSize(QStringLiteral("Name")), 50);
    EXPECT_EQ(set.GetFieldSize(QStringLiteral("Memo")), 2147483647);
    EXPECT_EQ(set.GetFieldSize(QStringLiteral("NoSuchField")), 2147483647);

    EXPECT_FALSE(set.CheckFieldLength(QStringLiteral("Name"), QString(50, QLatin1Char('x')), true));
    const QString tooLong(51, QLatin1Char('y'));
    prompts().answer(IDOK);
    EXPECT_TRUE(set.CheckFieldLength(QStringLiteral("Name"), tooLong, true));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The 'Name' field is too long.\n\nIt has 51 characters: ")
                                        + tooLong + QStringLiteral("\nLimit is 50 characters."));
}

TEST(DaoSetSqlParts, SplitAndWhereText)
{
    CXDaoSet set;
    set.m_strSQL = QStringLiteral("SELECT JobNo FROM Jobs WHERE DateIn >= #03/01/2011# ORDER BY JobNo");
    set.SplitSQL();
    EXPECT_EQ(set.m_strSqlHead, QStringLiteral("SELECT JobNo"));
    EXPECT_EQ(set.m_strSqlFrom, QStringLiteral("Jobs"));
    EXPECT_EQ(set.m_strSqlWhere, QStringLiteral("DateIn >= #03/01/2011#"));
    EXPECT_EQ(set.m_strSqlOrderBy, QStringLiteral("JobNo"));
    EXPECT_TRUE(set.m_strSqlGroupBy.isEmpty() && set.m_strSqlHaving.isEmpty() && set.m_strSqlPivot.isEmpty());
    EXPECT_EQ(set.GetWhereText(QStringLiteral("FILTER:\n\n")), QStringLiteral("FILTER:\n\nDateIn >= 03/01/2011"));

    // A filter added to a statement with its own condition shows alone.
    set.m_strSQL = QStringLiteral("SELECT * FROM Jobs WHERE JobType = 0 WHERE JobNo > 7");
    EXPECT_EQ(set.GetWhereText(QString()), QStringLiteral("JobNo > 7"));

    set.m_strSQL = QStringLiteral("select JobNo from Jobs where JobNo > 7");
    set.SplitSQL();
    EXPECT_EQ(set.m_strSqlHead, set.m_strSQL);
    EXPECT_TRUE(set.m_strSqlWhere.isEmpty());
}

TEST_F(DaoSetTest, NextNumberAndRowCopy)
{
    EXPECT_EQ(CXDaoSet::GetNextNumber(QStringLiteral("SELECT CusNo FROM Customers ORDER BY CusNo DESC")), 8);
    EXPECT_EQ(CXDaoSet::GetNextNumber(QStringLiteral("SELECT JobNo FROM Jobs ORDER BY JobNo DESC")), 1);
    EXPECT_EQ(CXDaoSet::GetNextNumber(QStringLiteral("SELECT MAX(JobNo) FROM Jobs WHERE JobType = 0")), 1);

    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, JobName, Price) VALUES (0, 100, 'Cards', 12.5)"));
    const qint32 firstId = scalar(QStringLiteral("SELECT JobID FROM Jobs")).toInt();
    EXPECT_TRUE(CXDaoSet::CopyRows(QStringLiteral("SELECT * FROM Jobs WHERE JobNo = 100"), 101, 2));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")).toInt(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobName FROM Jobs WHERE JobNo = 101")).toString(), QStringLiteral("Cards"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Jobs WHERE JobNo = 101")).toMoney(), Money::fromCents(1250));
    EXPECT_NE(scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 101")).toInt(), firstId);
    EXPECT_FALSE(CXDaoSet::CopyRows(QStringLiteral("SELECT * FROM Jobs WHERE JobNo = 999"), 5, 2));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(DaoSetTest, DeleteAllIsOneChange)
{
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name) VALUES (5, 'Ann')"));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name) VALUES (5, 'Ben')"));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name) VALUES (5, 'Cy')"));
    db().executeNative(QStringLiteral("CREATE TRIGGER KeepCy BEFORE DELETE ON Contacts WHEN old.Name = 'Cy' "
                                      "BEGIN SELECT RAISE(ABORT, 'JET 3260: Record is locked.'); END"));
    CXDaoSet set;
    set.m_strSort = QStringLiteral("Name");
    set.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT * FROM Contacts WHERE CusNo = 5"));

    prompts().answer(IDNO);
    EXPECT_FALSE(set.DeleteAllWithConfirm(QStringLiteral("delete all contacts?")));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Do you want to delete all contacts?")});

    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    EXPECT_FALSE(set.DeleteAllWithConfirm(QStringLiteral("delete all contacts?")));
    const QStringList texts = prompts().texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[1], QStringLiteral("Are you sure you want to delete all contacts?"));
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Cannot delete ")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Contacts")).toInt(), 3);
    EXPECT_FALSE(set.IsEmptySet());

    db().executeNative(QStringLiteral("DROP TRIGGER KeepCy"));
    prompts().clear();
    set.MoveFirst();
    EXPECT_TRUE(set.DeleteAllWithConfirm(QString()));
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Contacts")).toInt(), 0);
}

TEST_F(DaoSetTest, CustomerRowsAreDeletedTogetherAndNeverThoseOfTheSettings)
{
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 99, '2010.0')"));
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (5, 1, 'Pays late')"));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name) VALUES (5, 'Ann')"));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Name) VALUES (0, 'Nobody')"));
    exec(QStringLiteral("INSERT INTO Shipto (CusNo) VALUES (5)"));

    EXPECT_FALSE(DeleteCustomerRows(0));
    EXPECT_FALSE(DeleteCustomerRows(-1));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM CustomerAlerts")).toInt(), 2);

    // A failure in the last table keeps the rows of all three.
    db().executeNative(QStringLiteral("CREATE TRIGGER KeepAlerts BEFORE DELETE ON CustomerAlerts "
                                      "BEGIN SELECT RAISE(ABORT, 'JET 3260: Record is locked.'); END"));
    prompts().answer(IDOK);
    EXPECT_FALSE(DeleteCustomerRows(5));
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot delete CustomerAlerts")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Shipto")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Contacts")).toInt(), 2);

    db().executeNative(QStringLiteral("DROP TRIGGER KeepAlerts"));
    EXPECT_TRUE(DeleteCustomerRows(5));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Shipto")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Contacts")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT AlertText FROM CustomerAlerts")).toString(), QStringLiteral("2010.0"));
}

TEST_F(DaoSetTest, FilterValuesAreBoundNeverSpliced)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (9, 'Say \"Hi\" & O''Neil [*]#')"));
    TestCustomerSet set;
    struct Case
    {
        QString filter;
        QList<Value> values;
        QList<qint32> found;
    };
    const QList<Case> cases = {
        {QStringLiteral("Name = ?"), {Value(QStringLiteral("Say \"Hi\" & O'Neil [*]#"))}, {9}},
        {QStringLiteral("Name = ?"), {Value(QStringLiteral("x\" or \"a\"=\"a"))}, {}},
        {QStringLiteral("Name LIKE ?"), {Value(QStringLiteral("*O'Neil [[][*]][#]*"))}, {9}},
        {QStringLiteral("CusNo > ? and Name LIKE ?"), {Value(6), Value(QStringLiteral("*o*"))}, {7, 9}},
    };
    for (const Case &c : cases) {
        set.m_strFilter = c.filter;
        set.m_filterValues = c.values;
        set.m_strSort = QStringLiteral("CusNo");
        if (set.IsOpen())
            set.Requery();
        else
            set.Open();
        ASSERT_TRUE(set.IsOpen()) << c.filter.toStdString();
        QList<qint32> found;
        for (; !set.IsEOF(); set.MoveNext())
            found << set.m_CusNo;
        EXPECT_EQ(found, c.found) << c.filter.toStdString();
    }
    EXPECT_TRUE(prompts().shown().isEmpty());
}

// Two workstations on one row: B read it, A saved, then B saves. What B
// changed goes onto A's row; nothing B left alone is written; a field both
// changed to different values is put to B, whose answer decides.
TEST_F(DaoSetTest, ASaveAfterAnotherWorkstationsKeepsBothAndAsksOnlyForTheSameField)
{
    const QString kAsked = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same %1:\n\n%2\n\nSave what you "
        "typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either way. "
        "Cancel saves nothing now.");
    struct Case
    {
        const char *what;
        const char *byA;  // SET clause of A's save
        QString name;     // B's typed values (empty: left alone)
        int terms;        // -1: left alone
        int answer;       // to the question (0: none expected)
        QString asked;    // the question's field lines
        QString stored;   // Name|Balance|Terms afterwards
    };
    const QList<Case> cases = {
        {"different fields: both kept, nothing asked", "Balance = 50, Name = 'Acme Two'", QString(), 9, 0, QString(),
         QStringLiteral("Acme Two|50|9")},
        {"different fields, B changes a text", "Balance = 50", QStringLiteral("Acme B"), -1, 0, QString(),
         QStringLiteral("Acme B|50|3")},
        {"the same field to the same value: nothing to ask", "Terms = 4", QString(), 4, 0, QString(),
         QStringLiteral("Acme|12.5|4")},
        {"the same field, B keeps his", "Terms = 4, Balance = 50", QString(), 6, IDYES,
         QStringLiteral("Terms: the other user's \"4\", yours \"6\""), QStringLiteral("Acme|50|6")},
        {"the same field, B keeps A's; B's other change saved", "Terms = 4", QStringLiteral("Acme B"), 6, IDNO,
         QStringLiteral("Terms: the other user's \"4\", yours \"6\""), QStringLiteral("Acme B|12.5|4")},
        {"two fields both changed: both named", "Terms = 4, Name = 'Acme A'", QStringLiteral("Acme B"), 6, IDYES,
         QStringLiteral("Name: the other user's \"Acme A\", yours \"Acme B\"\nTerms: the other user's \"4\", yours \"6\""),
         QStringLiteral("Acme B|12.5|6")},
        {"cancel: nothing written, the edit stays open", "Terms = 4", QString(), 6, platform::IDCANCEL,
         QStringLiteral("Terms: the other user's \"4\", yours \"6\""), QStringLiteral("Acme|12.5|4")},
    };
    platform::Database other;
    other.open(databasePath());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("UPDATE Customers SET Name = 'Acme', Balance = 12.5, Terms = 3 WHERE CusNo = 5"));
        prompts().clear();
        TestCustomerSet b;
        ASSERT_TRUE(b.FindByField(QStringLiteral("CusNo"), 5));
        ASSERT_TRUE(b.SafeEdit());
        // A saves on its own connection.
        other.execute(QStringLiteral("UPDATE Customers SET %1 WHERE CusNo = 5").arg(QLatin1String(c.byA)));
        if (!c.name.isEmpty())
            b.m_Name = c.name;
        if (c.terms >= 0)
            b.m_Terms = quint8(c.terms);
        if (c.answer != 0)
            prompts().answer(c.answer);
        const bool saved = b.SaveRecord(0);
        EXPECT_EQ(saved, c.answer != platform::IDCANCEL);
        if (c.answer == 0) {
            EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        } else {
            ASSERT_EQ(prompts().texts().size(), 1);
            EXPECT_EQ(prompts().texts().first(),
                      kAsked.arg(c.asked.contains(QLatin1Char('\n')) ? QStringLiteral("fields") : QStringLiteral("field"),
                                 c.asked));
        }
        EXPECT_EQ(scalar(QStringLiteral("SELECT Name & '|' & Balance & '|' & Terms FROM Customers WHERE CusNo = 5")).toString(),
                  c.stored);
        if (saved) {
            // The members show the row as stored, and the record is edited on from it.
            EXPECT_EQ(b.m_Name + QLatin1Char('|') + QString::number(b.m_Terms),
                      c.stored.section(QLatin1Char('|'), 0, 0) + QLatin1Char('|') + c.stored.section(QLatin1Char('|'), 2));
            EXPECT_EQ(b.GetEditMode(), CXDaoSet::dbEditInProgress);
        } else {
            // Still editing with what was typed; a second save asks again.
            EXPECT_EQ(b.GetEditMode(), CXDaoSet::dbEditInProgress);
            EXPECT_EQ(b.m_Terms, c.terms);
            prompts().answer(IDNO);
            EXPECT_TRUE(b.SaveRecord(0));
            EXPECT_EQ(prompts().texts().size(), 2);
            EXPECT_EQ(scalar(QStringLiteral("SELECT Terms FROM Customers WHERE CusNo = 5")).toInt(), 4);
        }
        b.Close();
    }
}

// A set on a statement, written field by field (as a setup table's grid and
// the table notes write): the same rule.
TEST_F(DaoSetTest, AStatementsRowWrittenByFieldAfterAnotherWorkstationsSave)
{
    platform::Database other;
    other.open(databasePath());
    CXDaoSet b;
    b.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("SELECT CusNo, Name, Terms FROM Customers WHERE CusNo = 5"));
    ASSERT_TRUE(b.SafeEdit());
    other.execute(QStringLiteral("UPDATE Customers SET Name = 'Acme A', Balance = 50 WHERE CusNo = 5"));
    b.SetFieldValue(2, Value(std::int64_t(8), FieldType::Byte));
    EXPECT_TRUE(b.SafeUpdate(QStringLiteral("5")));
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name & '|' & Balance & '|' & Terms FROM Customers WHERE CusNo = 5")).toString(),
              QStringLiteral("Acme A|50|8"));

    ASSERT_TRUE(b.RequeryOrOpen(true));
    other.execute(QStringLiteral("UPDATE Customers SET Name = 'Acme AA' WHERE CusNo = 5"));
    b.SetFieldValue(1, Value(QStringLiteral("Acme B")));
    prompts().answer(IDNO);
    EXPECT_TRUE(b.SafeUpdate(QStringLiteral("5")));
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().first().contains(QStringLiteral("Name: the other user's \"Acme AA\", yours \"Acme B\"")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name & '|' & Terms FROM Customers WHERE CusNo = 5")).toString(),
              QStringLiteral("Acme AA|8"));
    b.Close();
}
