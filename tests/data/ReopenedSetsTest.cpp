#include "ShopTablesTest.h"

#include "data/CAlertSet.h"
#include "data/CAuditSet.h"
#include "data/CContactSet.h"
#include "data/CCreditSet.h"
#include "data/CCusSet.h"
#include "data/CEmailLinkSet.h"
#include "data/CEmpSet.h"
#include "data/CFormsSet.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/CPayAppliedSet.h"
#include "data/CPaySet.h"
#include "data/CPostSet.h"
#include "data/CSerSet.h"
#include "data/CShippedSet.h"
#include "data/CShiptoSet.h"
#include "data/CTaxSet.h"
#include "data/CTimeSet.h"
#include "data/CTodoSet.h"
#include "data/Compaction.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"

#include <functional>
#include <memory>
#include <ostream>
#include <type_traits>

namespace {

// A record class as a view or window keeps one: made once, adding and
// updating rows command after command.
struct RecordClass
{
    QString table;
    QString column; // written with the row's mark, and read back by it
    bool text = false;
    std::function<std::unique_ptr<CXDaoSet>()> make;
    // Sets the mark (and the key of a table whose key is no counter).
    std::function<void(CXDaoSet &, qint32 key, qint32 mark)> write;
};

template <class Set, class Mark, class Key = Mark>
RecordClass recordClass(const char *table, const char *column, Mark Set::*mark, Key Set::*key = nullptr)
{
    RecordClass c;
    c.table = QString::fromLatin1(table);
    c.column = QString::fromLatin1(column);
    c.text = std::is_same_v<Mark, QString>;
    c.make = [] { return std::make_unique<Set>(); };
    c.write = [mark, key](CXDaoSet &base, qint32 keyValue, qint32 markValue) {
        Set &set = static_cast<Set &>(base);
        if constexpr (std::is_same_v<Mark, QString>)
            set.*mark = QString::number(markValue);
        else
            set.*mark = Mark(markValue);
        if (key)
            set.*key = Key(keyValue);
    };
    return c;
}

QList<RecordClass> recordClasses()
{
    return {
        recordClass("CustomerAlerts", "CusNo", &CAlertSet::m_CusNo),
        recordClass("AuditTrail", "JobNo", &CAuditSet::m_JobNo),
        recordClass("Contacts", "CusNo", &CContactSet::m_CusNo),
        recordClass("Credits", "JobNo", &CCreditSet::m_JobNo),
        recordClass("Customers", "Name", &CCusSet::m_Name, &CCusSet::m_CusNo),
        recordClass("EmailLink", "TavrelJobID", &CEmailLinkSet::m_TavrelJobID),
        recordClass("Employees", "CommRate", &CEmpSet::m_CommRate, &CEmpSet::m_EmpNo),
        recordClass("Forms", "Title", &CFormsSet::m_Title, &CFormsSet::m_No),
        recordClass("Items", "SerNo", &CItemSet::m_SerNo),
        recordClass("Jobs", "JobNo", &CJobSet::m_JobNo),
        recordClass("PayApplied", "JobNo", &CPayAppliedSet::m_JobNo),
        recordClass("Payments", "CusNo", &CPaySet::m_CusNo),
        recordClass("PostingJournal", "Invoices", &CPostSet::m_Invoices),
        recordClass("Services", "Name", &CSerSet::m_Name, &CSerSet::m_SerNo),
        recordClass("ShippedItems", "ItemID", &CShippedSet::m_ItemID),
        recordClass("Shipto", "CusNo", &CShiptoSet::m_CusNo),
        recordClass("Taxes", "TaxPercent", &CTaxSet::m_TaxPercent, &CTaxSet::m_No),
        recordClass("Times", "Minutes", &CTimeSet::m_Minutes),
        recordClass("Todos", "RefID", &CTodoSet::m_RefID),
    };
}

// How the shared database is closed and opened again under the sets.
struct Reopening
{
    const char *name;
    std::function<void(platform::Database &, platform::TestResponder &)> run;
};

void PrintTo(const Reopening &reopening, std::ostream *os)
{
    *os << reopening.name;
}

void reopenForPosting(platform::Database &db, platform::TestResponder &)
{
    // Posting takes the file for itself and gives it back shared.
    const QString file = db.name();
    ASSERT_TRUE(OpenDatabaseFile(&db, file, true));
    ASSERT_TRUE(OpenDatabaseFile(&db, file, false));
}

const Reopening kReopenings[] = {
    {"Posting", reopenForPosting},
    {"Compaction",
     [](platform::Database &db, platform::TestResponder &prompts) {
         prompts.answer(platform::IDOK);
         CompactDatabase(&db, QString(), QString(), true);
         EXPECT_EQ(prompts.lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
     }},
    {"CompactionStopped",
     [](platform::Database &db, platform::TestResponder &prompts) {
         prompts.answer(platform::IDOK);
         CompactDatabase(&db, QString(), QString(), true, [](int done, int) { return done < 2; });
         EXPECT_EQ(prompts.lastText(), QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged."));
     }},
};

class ReopenedSetsTest : public ShopTablesTest, public ::testing::WithParamInterface<Reopening>
{
protected:
    int count(const RecordClass &c, qint32 mark)
    {
        const QString value = c.text ? QStringLiteral("'%1'").arg(mark) : QString::number(mark);
        return scalar(QStringLiteral("SELECT Count(*) FROM [%1] WHERE [%2] = %3").arg(c.table, c.column, value)).toInt();
    }
    // Adds a row marked `mark`, then updates the mark to mark + 1000, on the
    // kept set; the set stays on the row, in edit, as after a record window.
    void addAndUpdate(const RecordClass &c, CXDaoSet &set, qint32 key, qint32 mark)
    {
        SCOPED_TRACE(c.table.toStdString());
        ASSERT_TRUE(set.SafeAddNew());
        c.write(set, key, mark);
        ASSERT_TRUE(set.SaveRecord(0));
        EXPECT_EQ(count(c, mark), 1);
        ASSERT_EQ(set.GetEditMode(), CXDaoSet::dbEditInProgress);
        c.write(set, key, mark + 1000);
        ASSERT_TRUE(set.SaveRecord(0));
        EXPECT_EQ(count(c, mark), 0);
        EXPECT_EQ(count(c, mark + 1000), 1);
    }
};

} // namespace

// Every record class, kept open across a posting's or a compaction's
// reopening of the shared database (a stopped compaction reopens it too),
// adds and updates rows before and after it, without a message.
TEST_P(ReopenedSetsTest, EveryRecordClassAddsAndUpdatesAfterTheDatabaseIsReopened)
{
    const QList<RecordClass> classes = recordClasses();
    std::vector<std::unique_ptr<CXDaoSet>> sets;
    for (const RecordClass &c : classes)
        sets.push_back(c.make());
    for (int i = 0; i < classes.size(); ++i)
        addAndUpdate(classes[i], *sets[size_t(i)], 200 + i, 70001);
    const int before = int(prompts().texts().size());

    GetParam().run(SharedDatabase(), prompts());
    ASSERT_TRUE(SharedDatabase().isOpen());
    EXPECT_FALSE(SharedDatabase().isExclusive());
    const QStringList reopening = prompts().texts().mid(before);
    EXPECT_LE(reopening.size(), 1);

    for (int i = 0; i < classes.size(); ++i) {
        const RecordClass &c = classes[i];
        CXDaoSet &set = *sets[size_t(i)];
        SCOPED_TRACE(c.table.toStdString());
        // The kept set still stands on the row it added and updates it.
        ASSERT_TRUE(set.SafeEdit());
        c.write(set, 200 + i, 75001);
        ASSERT_TRUE(set.SaveRecord(0));
        EXPECT_EQ(count(c, 75001), 1);
        EXPECT_EQ(count(c, 71001), 0);
        // And it adds and updates another.
        addAndUpdate(c, set, 230 + i, 80001);
    }
    EXPECT_EQ(prompts().texts().mid(before), reopening) << prompts().texts().join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Reopenings, ReopenedSetsTest, ::testing::ValuesIn(kReopenings),
                         [](const ::testing::TestParamInfo<Reopening> &info) { return std::string(info.param.name); });
