#include "app/base/CZqApp.h"
#include "support/TestEnvironment.h"

namespace {

class CZqAppTexts : public TavrelTest
{
protected:
    CZqApp app;
};

TEST_F(CZqAppTexts, StatusNames)
{
    struct Row
    {
        int code;
        const char *job, *clock, *task, *todo, *stock, *schedule;
    };
    const Row rows[] = {
        {0, "In Progress", "IN", "Working", "To-Do", "", "Schedule"},
        {1, "On Hold", "ON BREAK", "Paused", "In Progress", "1", "Hold"},
        {2, "Ready to Ship", "OUT", "Finished", "Paused", "2", "Wait"},
        {3, "Ready to Post", "OUT", "Finished", "Done", "3", "Proof"},
        {4, "In Progress", "?", "?", "To-Do", "4", "In Production"},
        {7, "In Progress", "?", "?", "To-Do", "7", ""}, // department 3 is not cached
        {10, "In Progress", "?", "?", "To-Do", "To-Order", ""},
        {12, "In Progress", "?", "?", "To-Do", "In-Stock", ""},
        {17, "In Progress", "?", "?", "To-Do", "17", "Done"},
        {18, "In Progress", "?", "?", "To-Do", "18", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.code);
        QString job, clock, task, todo, stock, schedule;
        CZqApp::GetJobStatusName(job, quint8(r.code));
        CZqApp::GetClockStatusName(clock, quint8(r.code), false);
        CZqApp::GetClockStatusName(task, quint8(r.code), true);
        CZqApp::GetTodoStatusName(todo, quint8(r.code));
        CZqApp::GetStockStatusName(stock, quint8(r.code));
        app.GetScheduleStatusName(schedule, quint8(r.code));
        EXPECT_EQ(QStringList({job, clock, task, todo, stock, schedule}),
                  QStringList({r.job, r.clock, r.task, r.todo, r.stock, r.schedule}));
    }
}

TEST_F(CZqAppTexts, StatusPictures)
{
    EXPECT_EQ(CZqApp::GetStockStatusIcon(0), 255);
    EXPECT_EQ(CZqApp::GetStockStatusIcon(5), 162);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(11, 133), 2);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(11, 131), 117);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(100, 134), 100);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(0, 132), 116);

    // Wednesday 06/12/2024; without a horizon no day lies beyond it.
    app.m_today = DateTime(2024, 6, 12);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 8, 1)), 134);
    app.m_horizon = app.m_today.addDays(15);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 11, 23, 0)), 128);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 12, 15, 0)), 129);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 16)), 130); // Sunday
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 26)), 133);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 27)), 137);
}

TEST_F(CZqAppTexts, CompanyText)
{
    CompanyInfo &c = app.m_company;
    c.m_strName = QStringLiteral("Halden Print");
    c.m_strAddress = QStringLiteral("12 Mill St");
    c.m_strCity = QStringLiteral("Keene");
    c.m_strState = QStringLiteral("NH");
    c.m_strZip = QStringLiteral("03431");
    c.m_strPhone = QStringLiteral("603-555-0100");
    QString t;
    app.GetCompanyText(t, -3);
    EXPECT_EQ(t, QStringLiteral("Halden Print \u00B7 12 Mill St \u00B7 Keene NH 03431 \u00B7 603-555-0100"));
    app.GetCompanyText(t, 64);
    EXPECT_EQ(t, c.FormatAddress(2));
    app.GetCompanyText(t, 128);
    EXPECT_EQ(t, QStringLiteral("\r\n603-555-0100"));
    c.m_strFax = QStringLiteral("603-555-0101");
    app.GetCompanyText(t, 32 | 128);
    EXPECT_EQ(t, QStringLiteral("Halden Print\r\n603-555-0100 Fax: 603-555-0101"));
}

TEST_F(CZqAppTexts, MailFields)
{
    const QString mail = QStringLiteral("Web Order\r\nQuantity: 1,500 boxes\r\nTotal: $1,234.56\r\n"
                                        "Options:\r\n\r\nGloss  |  Fold\r\n\r\nSecond line\r\nLast");
    QString v;
    const int quantity = int(mail.indexOf(QStringLiteral("Quantity:")));
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Quantity:"), v, 0, 0, QStringLiteral("es")), quantity + 9);
    EXPECT_EQ(v, QStringLiteral("1,500 box"));

    // Lines below the label: empty ones do not count; bars become dashed
    // lines; the mail's last line counts without a break after it.
    const int options = int(mail.indexOf(QStringLiteral("Options:")));
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Options: [+] 1"), v, 0, 0, QString()), options);
    EXPECT_EQ(v, QStringLiteral("Gloss\r\n-Fold"));
    CZqApp::ExtractMailField(mail, QStringLiteral("Options:[+]2"), v, 0, 0, QString());
    EXPECT_EQ(v, QStringLiteral("Second line"));
    CZqApp::ExtractMailField(mail, QStringLiteral("Options: [+] 3"), v, 0, 0, QString());
    EXPECT_EQ(v, QStringLiteral("Last"));
    // Fewer lines than asked for: nothing, not the last line found.
    CZqApp::ExtractMailField(mail, QStringLiteral("Options: [+] 4"), v, 0, 0, QString());
    EXPECT_EQ(v, QString());
    // A line of blanks is no line.
    const QString order = QStringLiteral("Buyer\r\n  \r\nxx\r\nHugo Adams\r\n");
    CZqApp::ExtractMailField(order, QStringLiteral("Buyer [+] 2"), v, 0, 0, QString());
    EXPECT_EQ(v, QStringLiteral("Hugo Adams"));

    // Past a positive limit, or "~".
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Total:"), v, 0, 20, QString()), 0);
    EXPECT_EQ(v, QString());
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("~"), v, 0, 0, QString()), 0);

    int n = -1;
    CZqApp::ExtractMailNumber(mail, QStringLiteral("Quantity:"), n, 0, 0);
    EXPECT_EQ(n, 1500);
    CZqApp::ExtractMailNumber(mail, QStringLiteral("Total:"), n, 0, 0);
    EXPECT_EQ(n, 1234);
    CZqApp::ExtractMailNumber(mail, QStringLiteral("Options:"), n, 0, 0);
    EXPECT_EQ(n, 0);
}

TEST_F(CZqAppTexts, TrackedDayReadsMinutesAsTheTimeFieldsDo)
{
    // "7:3" is 7:30, as every hours-and-minutes field reads it.
    app.SetTrackOptionsText(QStringLiteral("0,7:3,16:30,"));
    EXPECT_EQ(app.trackStart(), 7 * 60 + 30);
    app.SetShopOptionsText(QStringLiteral("1x,1,"));
    EXPECT_EQ(app.printingMethod(), 1);
}

} // namespace
