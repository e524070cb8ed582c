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
        {5, "In Progress", "?", "?", "To-Do", "5", ""}, // department 1 is not cached
        {7, "In Progress", "?", "?", "To-Do", "7", ""},
        {10, "In Progress", "?", "?", "To-Do", "To-Order", ""},
        {11, "In Progress", "?", "?", "To-Do", "On-Order", ""},
        {12, "In Progress", "?", "?", "To-Do", "In-Stock", ""},
        {17, "In Progress", "?", "?", "To-Do", "17", "Done"},
        {18, "In Progress", "?", "?", "To-Do", "18", ""},
        {255, "In Progress", "?", "?", "To-Do", "255", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.code);
        QString t;
        CZqApp::GetJobStatusName(t, quint8(r.code));
        EXPECT_EQ(t, QLatin1String(r.job));
        CZqApp::GetClockStatusName(t, quint8(r.code), false);
        EXPECT_EQ(t, QLatin1String(r.clock));
        CZqApp::GetClockStatusName(t, quint8(r.code), true);
        EXPECT_EQ(t, QLatin1String(r.task));
        CZqApp::GetTodoStatusName(t, quint8(r.code));
        EXPECT_EQ(t, QLatin1String(r.todo));
        CZqApp::GetStockStatusName(t, quint8(r.code));
        EXPECT_EQ(t, QLatin1String(r.stock));
        app.GetScheduleStatusName(t, quint8(r.code));
        EXPECT_EQ(t, QLatin1String(r.schedule));
    }
}

TEST_F(CZqAppTexts, StatusPictures)
{
    EXPECT_EQ(CZqApp::GetJobStatusIcon(0), 24);
    EXPECT_EQ(CZqApp::GetJobStatusIcon(1), 25);
    EXPECT_EQ(CZqApp::GetJobStatusIcon(2), 28);
    EXPECT_EQ(CZqApp::GetJobStatusIcon(3), 26);
    EXPECT_EQ(CZqApp::GetJobStatusIcon(9), 24);
    EXPECT_EQ(CZqApp::GetStatusIconOffset(0), 60);
    EXPECT_EQ(CZqApp::GetStatusIconOffset(1), 72);
    EXPECT_EQ(CZqApp::GetStatusIconOffset(3), 84);
    EXPECT_EQ(CZqApp::GetStatusIconOffset(255), 48);
    EXPECT_EQ(CZqApp::GetTodoStatusIcon(3), 212);
    EXPECT_EQ(CZqApp::GetTodoStatusIcon(2), 72);
    EXPECT_EQ(CZqApp::GetTodoStatusIcon(7), 48);
    EXPECT_EQ(CZqApp::GetStockStatusIcon(0), 255);
    EXPECT_EQ(CZqApp::GetStockStatusIcon(5), 162);
    EXPECT_EQ(CZqApp::GetStockStatusIcon(10), 104);
    EXPECT_EQ(CZqApp::GetStockStatusIcon(11), 103);
    EXPECT_EQ(CZqApp::GetStockStatusIcon(12), 102);
    QString name;
    int icon = 0;
    EXPECT_EQ(app.GetStockStatusNameAndIcon(11, name, icon), 103);
    EXPECT_EQ(name, QStringLiteral("On-Order"));

    EXPECT_EQ(CZqApp::GetEmployeeIcon(11, 133), 2);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(11, 131), 117);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(100, 134), 100);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(100, 131), 115);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(0, 132), 116);
    EXPECT_EQ(CZqApp::GetEmployeeIcon(10, 133), 11);

    // Wednesday 06/12/2024 with the horizon fifteen days on.
    app.m_today = DateTime(2024, 6, 12);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 20)), 134); // no horizon yet: Thursday
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 8, 1)), 134);
    app.m_horizon = app.m_today.addDays(15);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 11, 23, 0)), 128);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 12, 15, 0)), 129);
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 16)), 130); // Sunday
    EXPECT_EQ(app.GetDateIcon(DateTime(2024, 6, 22)), 136); // Saturday
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
    app.GetCompanyText(t, -1);
    EXPECT_EQ(t, QStringLiteral("Halden Print\n12 Mill St\nKeene NH 03431"));
    app.GetCompanyText(t, 32 | 64);
    EXPECT_EQ(t, c.FormatAddress(1));
    app.GetCompanyText(t, 32);
    EXPECT_EQ(t, QStringLiteral("Halden Print"));
    app.GetCompanyText(t, 64);
    EXPECT_EQ(t, c.FormatAddress(2));
    app.GetCompanyText(t, 128);
    EXPECT_EQ(t, QStringLiteral("\r\n603-555-0100"));
    c.m_strFax = QStringLiteral("603-555-0101");
    app.GetCompanyText(t, 32 | 128);
    EXPECT_EQ(t, QStringLiteral("Halden Print\r\n603-555-0100 Fax: 603-555-0101"));
    app.GetCompanyText(t, 1);
    EXPECT_EQ(t, QString());
}

TEST_F(CZqAppTexts, MailFields)
{
    const QString mail = QStringLiteral("Web Order\r\nName: Jo Smith\r\nQuantity: 1,500 boxes\r\nTotal: $1,234.56\r\n"
                                        "Options:\r\n\r\nGloss  |  Fold\r\n\r\nSecond line\r\nLast");
    QString v;
    const int name = int(mail.indexOf(QStringLiteral("Name:")));
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Name:"), v, 0, 0, QString()), name + 5);
    EXPECT_EQ(v, QStringLiteral("Jo Smith"));
    CZqApp::ExtractMailField(mail, QStringLiteral("Name:"), v, 0, 0, QStringLiteral("o"));
    EXPECT_EQ(v, QStringLiteral("J Smith"));

    // Lines below the label: empty ones do not count; bars become dashed lines.
    const int options = int(mail.indexOf(QStringLiteral("Options:")));
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Options: [+] 1"), v, 0, 0, QString()), options);
    EXPECT_EQ(v, QStringLiteral("Gloss\r\n-Fold"));
    CZqApp::ExtractMailField(mail, QStringLiteral("Options:[+]2"), v, 0, 0, QString());
    EXPECT_EQ(v, QStringLiteral("Second line"));
    // The mail's last line counts without a break after it; past the end the
    // last line found stands.
    CZqApp::ExtractMailField(mail, QStringLiteral("Options: [+] 3"), v, 0, 0, QString());
    EXPECT_EQ(v, QStringLiteral("Last"));
    CZqApp::ExtractMailField(mail, QStringLiteral("Options: [+] 9"), v, 0, 0, QString());
    EXPECT_EQ(v, QStringLiteral("Last"));

    // Not there: "~", a missing label, a label past the limit or before the start.
    v = QStringLiteral("old");
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("~"), v, 0, 0, QString()), 0);
    EXPECT_EQ(v, QString());
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Phone:"), v, 0, 0, QString()), 0);
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Total:"), v, 0, 20, QString()), 0);
    EXPECT_EQ(v, QString());
    EXPECT_EQ(CZqApp::ExtractMailField(mail, QStringLiteral("Name:"), v, name + 1, 0, QString()), 0);

    int n = -1;
    CZqApp::ExtractMailNumber(mail, QStringLiteral("Quantity:"), n, 0, 0);
    EXPECT_EQ(n, 1500);
    CZqApp::ExtractMailNumber(mail, QStringLiteral("Total:"), n, 0, 0);
    EXPECT_EQ(n, 1234);
    CZqApp::ExtractMailNumber(mail, QStringLiteral("Name:"), n, 0, 0);
    EXPECT_EQ(n, 0);
}

TEST_F(CZqAppTexts, TrackedDayReadsHoursAndMinutesAsEverywhere)
{
    // A single minute digit is tens of minutes, as the hours-and-minutes
    // reader of the time fields takes it.
    app.SetTrackOptionsText(QStringLiteral("0,7:3,16:30,"));
    EXPECT_EQ(app.trackStart(), 7 * 60 + 30);
    EXPECT_EQ(app.trackEnd(), 16 * 60 + 30);
    app.SetShopOptionsText(QStringLiteral("1x,1,"));
    EXPECT_EQ(app.printingMethod(), 1);
    EXPECT_TRUE(app.saturdayWorkday());
    EXPECT_FALSE(app.sundayWorkday());
}

} // namespace
