// Two counters of one shop, each the real program with settings of its own,
// on one shop file: both open the same customer; A changes Address1 and the
// Credit Limit and saves and closes; B, still showing the old values, changes
// City and Group ID and saves. Both changes are stored, and a second Save of
// B's writes none of the old values back.
#include "XvfbAfternoon.h"

#include <QtCore/QProcess>

namespace {

class XvfbTwoCounters : public XvfbAfternoon
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"), QStringLiteral("sqlite3")},
                   180000);
    }
    void TearDown() override
    {
        if (m_counterA.state() != QProcess::NotRunning) {
            m_counterA.terminate();
            if (!m_counterA.waitForFinished(3000)) {
                m_counterA.kill();
                m_counterA.waitForFinished(3000);
            }
        }
        m_layoutName = QStringLiteral("layout.txt");
        XvfbAfternoon::TearDown();
    }
    void shot(const QString &name) { screenshot(QStringLiteral("xvfb-two-counters-") + name); }

    // The customer window's text field that shows the text: clicked, its
    // text selected and replaced by typing.
    bool retype(const QString &shown, const QString &typed)
    {
        std::optional<QRect> at;
        waitFor([&] {
            for (const auto &f : fieldTextsOf(QStringLiteral("CCusDlg")))
                if (f.second == shown)
                    at = f.first;
            return at.has_value();
        });
        if (!at)
            return false;
        click(at->center());
        pressKey(QStringLiteral("ctrl+a"));
        typeText(typed);
        return true;
    }
    QString stored(const QString &cusNo)
    {
        return sqlite(QStringLiteral("SELECT Address, City, GroupID, CreditLimit FROM Customers WHERE CusNo = ") + cusNo);
    }

    QProcess m_counterA;
};

} // namespace

TEST_F(XvfbTwoCounters, ASavedCreditLimitSurvivesTheOtherCountersSave)
{
    const QString prepare = QStringLiteral(
        "UPDATE Customers SET Address = '1 Mill St', City = 'Salem', GroupID = 'RETAIL', CreditLimit = 2000 "
        "WHERE CusNo = (SELECT CusNo FROM Customers WHERE Name || '' = 'Granite Bakery')");
    const QString failed = startOnSampleShop(20, prepare);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString cusNo = sqlite(QStringLiteral("SELECT CusNo FROM Customers WHERE Name || '' = 'Granite Bakery'"));
    ASSERT_EQ(stored(cusNo), QStringLiteral("1 Mill St|Salem|RETAIL|2000")) << cusNo.toStdString();

    // B opens the customer and leaves it open.
    ASSERT_TRUE(openRow(30003, QStringLiteral("Customers + Prospects"), QStringLiteral("All (any status)"), cusNo.toLongLong()));
    ASSERT_TRUE(waitFor([&] { return !windowTitled(QStringLiteral("Customer No: ") + cusNo).isEmpty(); }))
        << "B's customer window did not open";
    shot(QStringLiteral("01-b-open"));

    // A, the other counter: its own settings and layout file, the same shop.
    m_layoutName = QStringLiteral("layout-a.txt");
    QProcessEnvironment envA = environment();
    envA.insert(QStringLiteral("XDG_CONFIG_HOME"), tempPath(QStringLiteral("config-a")));
    m_counterA.setProcessEnvironment(envA);
    m_counterA.setWorkingDirectory(tempPath(QStringLiteral("work")));
    m_counterA.start(QStringLiteral(TAVREL_EXE), {});
    ASSERT_TRUE(m_counterA.waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("item"), QStringLiteral("30000")).has_value(); }, 30000))
        << "A's main window did not show its tabs";
    ASSERT_TRUE(openRow(30003, QStringLiteral("Customers + Prospects"), QStringLiteral("All (any status)"), cusNo.toLongLong()));
    ASSERT_TRUE(waitFor([&] { return !windowTitled(QStringLiteral("Customer No: ") + cusNo).isEmpty(); }))
        << "A's customer window did not open";
    // Address1 follows the name.
    ASSERT_TRUE(retype(QStringLiteral("Granite Bakery"), QStringLiteral("Granite Bakery")));
    pressKey(QStringLiteral("Tab"));
    pressKey(QStringLiteral("ctrl+a"));
    typeText(QStringLiteral("9 Quarry Rd"));
    std::optional<QString> limitText;
    for (const auto &f : fieldTextsOf(QStringLiteral("CCusDlg")))
        if (QString(f.second).remove(QLatin1Char(',')) == QLatin1String("2000.00"))
            limitText = f.second;
    ASSERT_TRUE(limitText.has_value()) << "no Credit Limit field showing 2000.00";
    ASSERT_TRUE(retype(*limitText, QStringLiteral("5000.00")));
    shot(QStringLiteral("02-a-typed"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    EXPECT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Customer No:")).isEmpty(); }))
        << "A's customer window stayed open: " << message().toStdString();
    ASSERT_EQ(stored(cusNo), QStringLiteral("9 Quarry Rd|Salem|RETAIL|5000"));
    m_counterA.terminate();
    ASSERT_TRUE(m_counterA.waitForFinished(10000));

    // B, still showing the old values, changes City and Group ID and saves.
    m_layoutName = QStringLiteral("layout.txt");
    ASSERT_TRUE(retype(QStringLiteral("Salem"), QStringLiteral("Dover")));
    ASSERT_TRUE(retype(QStringLiteral("RETAIL"), QStringLiteral("WHOLESALE")));
    shot(QStringLiteral("03-b-typed"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30213")));
    // Nothing to refuse: what B changed goes onto A's row.
    QThread::msleep(800);
    const QString said = message();
    EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    if (!said.isEmpty()) {
        // As a clerk would: OK, then Save again.
        shot(QStringLiteral("04-b-message"));
        pressKey(QStringLiteral("Return"));
        waitFor([&] { return message().isEmpty(); }, 5000);
        ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30213")));
        QThread::msleep(800);
    }
    shot(QStringLiteral("04-b-saved"));
    EXPECT_EQ(stored(cusNo), QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000"));
    // B's window shows A's credit limit now, and Save again changes nothing.
    bool showsFiveThousand = false;
    for (const auto &f : fieldTextsOf(QStringLiteral("CCusDlg")))
        showsFiveThousand = showsFiveThousand || QString(f.second).remove(QLatin1Char(',')) == QLatin1String("5000.00");
    EXPECT_TRUE(showsFiveThousand);
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    EXPECT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Customer No:")).isEmpty(); }))
        << "B's customer window stayed open: " << message().toStdString();
    EXPECT_EQ(stored(cusNo), QStringLiteral("9 Quarry Rd|Dover|WHOLESALE|5000"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}
