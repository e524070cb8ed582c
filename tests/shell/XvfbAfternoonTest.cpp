#include "XvfbAfternoon.h"

// The afternoon on a fresh sample shop: an order of the sample that is
// shipped, invoiced and ready to post. Runs when TAVREL_XVFB_DISPLAY names a
// display and Xvfb, xdotool, import, sqlite3 and pdftotext are installed;
// bounded to four minutes (the fixture's own set-up).
TEST_F(XvfbAfternoon, PaymentsPostingReportsBackupAndCompactWithoutARestart)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QStringList order =
        sqlite(QStringLiteral("SELECT JobNo || ' ' || CusNo FROM Jobs WHERE JobType = 0 AND Status = 3 AND DateShipped > 0 "
                              "AND Balance > 200 ORDER BY JobNo LIMIT 1"))
            .split(QLatin1Char(' '));
    ASSERT_EQ(order.size(), 2) << "the sample has no order ready to post";
    runAfternoon(order[0].toInt(), order[1].toInt());
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the afternoon";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the afternoon took too long";
}
