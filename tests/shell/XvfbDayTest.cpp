#include "RealProgramTest.h"

#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QThread>

#include <functional>
#include <optional>

// A shop's day on the real program, by mouse and keys only, on a fresh sample
// shop and without a restart: a new customer whose typed name replaces the
// placeholder, the database compacted from the main menu, every list read
// again, the jobs view's copy of a job, the brief help and the time clock,
// with no error box at any step. After each step the sqlite3 program reads
// what the step stored; a screenshot of each step is kept under
// build/tests/usable/. Runs when TAVREL_XVFB_DISPLAY names a display and
// Xvfb, xdotool, import and sqlite3 are installed; bounded to three minutes.
namespace {

class XvfbDay : public RealProgramTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"), QStringLiteral("sqlite3")},
                   180000);
    }
    void shot(const QString &name) { screenshot(QStringLiteral("xvfb-day-") + name); }
};

} // namespace

TEST_F(XvfbDay, ADayOnAFreshSampleShopWithoutARestart)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Customers WHERE Name LIKE '%Lincoln%'")), QStringLiteral("0"));
    shot(QStringLiteral("01-start"));

    // 1. A new customer: F2, the typed name replaces "< new >", "Save & Close".
    ASSERT_TRUE(showView(30003));
    pressKey(QStringLiteral("F2"));
    ASSERT_TRUE(waitFor([&] { return !windowTitled(QStringLiteral("Customer No:")).isEmpty(); }))
        << "no customer window";
    const QString cusNo = windowTitled(QStringLiteral("Customer No:")).section(QLatin1Char(':'), 1).trimmed();
    typeText(QStringLiteral("Lincoln High School"));
    shot(QStringLiteral("02-customer"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    EXPECT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Customer No:")).isEmpty(); }))
        << "the customer window stayed open: " << message().toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = ") + cusNo),
              QStringLiteral("Lincoln High School"));
    expectNoMessage(QStringLiteral("new customer"));
    shot(QStringLiteral("03-customers"));

    // 2. Compact Database from the main menu: its question, its success.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30280")));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30573"))) << "no Compact Database entry";
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("This process will compact and reindex")));
    EXPECT_EQ(answerMessage(60000), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    shot(QStringLiteral("04-compacted"));
    EXPECT_EQ(sqlite(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = ") + cusNo),
              QStringLiteral("Lincoln High School"));

    // 3. Every list read again after the reopening: no error box.
    for (int view : {30003, 30001, 30002, 30004, 30007}) {
        ASSERT_TRUE(showView(view)) << view;
        pressKey(QStringLiteral("F5"));
        expectNoMessage(QStringLiteral("view %1 after compacting").arg(view));
        shot(QStringLiteral("05-view-%1").arg(view));
    }

    // 4. The quote-to-order road of the jobs view: a job selected in the
    // list, the view's "Copy" button asks what to paste it as.
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(clickSpot(QStringLiteral("tree"), QStringLiteral("Orders")));
    const std::optional<QPoint> caption = spot(QStringLiteral("item"), QStringLiteral("30673"));
    ASSERT_TRUE(caption.has_value());
    click(*caption + QPoint(0, 42)); // the list's first row, under the caption and the header
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30111")));
    EXPECT_TRUE(waitFor([&] {
        for (const QStringList &f : layoutLines(QStringLiteral("item")))
            if (f.value(7) == QLatin1String("Copy and Paste the Selected Job"))
                return true;
        return false;
    })) << "no copy dialog: " << message().toStdString();
    shot(QStringLiteral("06-copy"));
    pressKey(QStringLiteral("Escape"));
    expectNoMessage(QStringLiteral("copy dialog"));

    // 5. F1: the brief help comes up over the view.
    pressKey(QStringLiteral("F1"));
    EXPECT_TRUE(waitFor([&] { return layoutLines(QStringLiteral("window")).size() >= 2; })) << "no brief help";
    shot(QStringLiteral("07-help"));
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(waitFor([&] { return layoutLines(QStringLiteral("window")).size() == 1; }));

    // 6. The time clock: "Who are you?" lists the shop's operator.
    ASSERT_TRUE(showView(30008));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30422")));
    EXPECT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), QStringLiteral("Jordan")).has_value(); }))
        << "no operator to choose";
    shot(QStringLiteral("08-operator"));
    pressKey(QStringLiteral("Escape"));
    expectNoMessage(QStringLiteral("time clock"));

    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the day";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the day took too long";
}
