// Every canned list of every view, every printed list, posting printout and
// production list builds a statement that the engine runs, on a small shop
// and on a new, empty database.

#include "ShopListFixture.h"

#include "data/CSQL.h"
#include "data/CXDaoSet.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/DbException.h"

#include <QtCore/QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ListCase
{
    enum Kind { View, Printed, Posting, Production };
    Kind kind = View;
    int view = 0;   // view id; for a printed list, of the list on screen
    int branch = 0;
    int item = 0;
    int code = 0;   // printed list, posting printout or production list
    int value = 0;  // printed lists: with costs; production: date choice
    const char *printKind = "";
    QString filter; // the reports view's period
    std::string name;
};

void PrintTo(const ListCase &c, std::ostream *os)
{
    *os << c.name;
}


std::vector<ListCase> allCases()
{
    std::vector<ListCase> cases;
    // The reports view narrows every report to a period of its date field.
    static const char *const reportDates[] = {
        "Jobs.DateIn", "Jobs.DateShipped", "Jobs.DatePaid", "Jobs.DateReorder", "PostingDate",
        "QuickSales.Date", "PostingDate", "AuditTrail.TransDate", "", "PostingDate",
    };
    auto view = [&cases](int viewId, int branch, int first, int last) {
        for (int item = first; item <= last; ++item) {
            ListCase c;
            c.view = viewId;
            c.branch = branch;
            c.item = item;
            if (viewId == CSQL::ReportsView)
                c.filter = QString::fromLatin1(reportDates[branch]) + " between #01/01/2011# and #03/31/2011# ";
            c.name = "view" + std::to_string(viewId) + "_" + std::to_string(100 * branch + item);
            cases.push_back(c);
        }
    };
    // Jobs: the discrepancy entries ask a question and are run on their own.
    view(CSQL::JobsView, 0, 0, 12);
    view(CSQL::JobsView, 1, 0, 13);
    view(CSQL::JobsView, 2, 0, 4);
    view(CSQL::JobsView, 3, 0, 13);
    view(CSQL::JobsView, 4, 0, 6);
    view(CSQL::JobsView, 5, 0, 6);
    // Services: departments x categories, papers and presses included.
    view(CSQL::ServicesView, 0, 0, 1);
    view(CSQL::ServicesView, 1, 1, 2);
    view(CSQL::ServicesView, 2, 1, 1);
    view(CSQL::ServicesView, 4, 1, 1);
    // Customers.
    view(CSQL::CustomersView, 0, 0, 9);
    view(CSQL::CustomersView, 1, 0, 9);
    view(CSQL::CustomersView, 2, 0, 10);
    view(CSQL::CustomersView, 3, 0, 13);
    view(CSQL::CustomersView, 4, 0, 5);
    view(CSQL::CustomersView, 5, 0, 9);
    view(CSQL::CustomersView, 6, 0, 9);
    view(CSQL::CustomersView, 100, 0, 0);
    // Receivables.
    view(CSQL::ReceivablesView, 0, 0, 1);
    view(CSQL::ReceivablesView, 1, 0, 6);
    view(CSQL::ReceivablesView, 2, 0, 13);
    view(CSQL::ReceivablesView, 3, 0, 10);
    view(CSQL::ReceivablesView, 4, 0, 13);
    view(CSQL::ReceivablesView, 5, 0, 3);
    view(CSQL::ReceivablesView, 6, 1, 2);
    view(CSQL::ReceivablesView, 7, 1, 2);
    view(CSQL::ReceivablesView, 8, 1, 2);
    // Reports.
    for (int branch = 0; branch <= 3; ++branch)
        view(CSQL::ReportsView, branch, 1, 5);
    view(CSQL::ReportsView, 4, 1, 16);
    view(CSQL::ReportsView, 5, 1, 4);
    view(CSQL::ReportsView, 6, 1, 5);
    view(CSQL::ReportsView, 7, 1, 7);
    view(CSQL::ReportsView, 9, 1, 4);
    // The item list of every job type.
    for (int jobType = 0; jobType <= 5; ++jobType)
        view(0, jobType, 0, 0);

    // Printed lists from the jobs view (orders, history) and the receivables
    // view (unpaid, paid), with and without costs.
    struct Screen { int view, branch, item; const char *kind; int first, last; };
    static const Screen screens[] = {
        {CSQL::JobsView, 0, 1, "Jobs", 100, 109},
        {CSQL::JobsView, 3, 3, "Jobs", 100, 109},
        {CSQL::ReceivablesView, 1, 1, "Ar", 100, 102},
        {CSQL::ReceivablesView, 2, 3, "Ar", 101, 102},
        {CSQL::ReportsView, 4, 2, "Other", 0, 0},
    };
    for (const Screen &s : screens) {
        for (int code = s.first; code <= s.last; ++code) {
            for (int value = 0; value <= 1; ++value) {
                ListCase c;
                c.kind = ListCase::Printed;
                c.view = s.view;
                c.branch = s.branch;
                c.item = s.item;
                c.printKind = s.kind;
                c.code = code;
                c.value = value;
                c.name = std::string("print_") + s.kind + std::to_string(100 * s.branch + s.item) + "_"
                    + std::to_string(code) + "_" + std::to_string(value);
                cases.push_back(c);
            }
        }
    }
    for (int code = 101; code <= 120; ++code) {
        ListCase c;
        c.kind = ListCase::Posting;
        c.code = code;
        c.name = "posting_" + std::to_string(code);
        cases.push_back(c);
    }
    static const int choices[] = {0, 1, 2, 4, 8, 16, 32, 8 | 32, 64, 64 | 16 | 32, 128};
    for (int code = 101; code <= 111; ++code) {
        for (int choice : choices) {
            ListCase c;
            c.kind = ListCase::Production;
            c.code = code;
            c.value = choice;
            c.name = "production_" + std::to_string(code) + "_" + std::to_string(choice);
            cases.push_back(c);
        }
    }
    return cases;
}

// The small shop and a new, empty database, made once for all cases.
class ListRunTest : public TavrelTest, public ::testing::WithParamInterface<ListCase>
{
public:
    static void SetUpTestSuite()
    {
        platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 0)));
        s_dir = std::make_unique<QTemporaryDir>();
        s_shopPath = s_dir->filePath(QStringLiteral("Shop.mdb"));
        s_emptyPath = s_dir->filePath(QStringLiteral("Empty.mdb"));
        CreateShopDatabase(s_shopPath);
        CreateShopDatabase(s_emptyPath);
        platform::Database db;
        db.open(s_shopPath);
        FillShop(db);
        platform::Clock::reset();
    }
    static void TearDownTestSuite() { s_dir.reset(); }

protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 0)));
    }

    // The statement of the case, built over the given database.
    QString statement(const ListCase &c, platform::Database &db)
    {
        switch (c.kind) {
        case ListCase::View:
            return CSQL(c.view, c.branch, c.item, c.filter, QString(), 0, false).m_strSQL;
        case ListCase::Printed: {
            const CSQL screen(c.view, c.branch, c.item, QString(), QString(), 0, false);
            CXDaoSet list(&db);
            list.Open(CXDaoSet::dbOpenSnapshot, screen.m_strSQL);
            EXPECT_TRUE(list.IsOpen());
            return CSQL(list, QString::fromLatin1(c.printKind), c.code, c.value).m_strSQL;
        }
        case ListCase::Posting: {
            CSQL q;
            q.BuildPostingSQL(c.code, 2);
            return q.m_strSQL;
        }
        case ListCase::Production: {
            CSQL q;
            bool weekly = false;
            int bit128 = 0;
            QString title, note;
            q.BuildProductionListSQL(c.code, c.value, weekly, bit128, title, note);
            EXPECT_EQ(weekly, c.code == 101);
            EXPECT_EQ(bit128, c.value & 128);
            return q.m_strSQL;
        }
        }
        return QString();
    }

    void runOn(const QString &file)
    {
        platform::Database db;
        db.open(file);
        const QString sql = statement(GetParam(), db);
        ASSERT_FALSE(sql.isEmpty());
        try {
            CountRows(db, sql);
        } catch (const platform::DbException &e) {
            ADD_FAILURE() << "Error " << e.number() << ": " << e.description().toStdString() << "\n"
                          << sql.toStdString();
        }
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static QString s_shopPath;
    static QString s_emptyPath;
};

std::unique_ptr<QTemporaryDir> ListRunTest::s_dir;
QString ListRunTest::s_shopPath;
QString ListRunTest::s_emptyPath;

TEST_P(ListRunTest, RunsOnShopAndOnEmptyDatabase)
{
    runOn(s_shopPath);
    runOn(s_emptyPath);
}

INSTANTIATE_TEST_SUITE_P(AllLists, ListRunTest, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<ListCase> &info) { return info.param.name; });

} // namespace
