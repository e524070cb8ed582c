#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QProcess>

class TrackTool : public TavrelTest
{
};

// An operator's day through the clock command, then the day closed through
// the tracking command, each run a new process on the same file.
TEST_F(TrackTool, ClocksADayAndClosesIt)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("8")}).exitCode, 0);
    ASSERT_EQ(RunDbTool({QStringLiteral("sql"), db,
                         QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES "
                                        "(6, 'Casey', 0, 6, 0, 0)")})
                  .exitCode,
              0);
    const QString service = SqliteRows(db, QStringLiteral("SELECT Min(ItemID) FROM Items WHERE SerNo > 0"));
    ASSERT_FALSE(service.isEmpty());
    auto clock = [&](const QString &now, const QStringList &action) {
        return RunDbTool(QStringList{QStringLiteral("clock"), db, QStringLiteral("--now"), now, QStringLiteral("6")}
                         + action);
    };
    const QString head = QStringLiteral("TimeID\tTimeFor\tEmpNo\tItemID\tStart\tFinish\tMinutes\tMaterial\tStatus\tSubgroup\n");

    ToolRun r = clock(QStringLiteral("06/12/2024 08:00"), {QStringLiteral("day")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("PROMPT: Casey, do you want to start a new workday?\n") + head
                         + QStringLiteral("1\t0\t6\t0\t06/12/2024 08:00\t\t0\t0\t0\t0\n"));
    r = clock(QStringLiteral("06/12/2024 09:00"), {QStringLiteral("task"), service});
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("2\t1\t6\t%1\t06/12/2024 09:00\t\t0\t0\t0\t0\n").arg(service)))
        << r.out.toStdString();
    // The service scanned again finishes its task.
    r = clock(QStringLiteral("06/12/2024 10:30"), {QStringLiteral("scan"), service});
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("2\t1\t6\t%1\t06/12/2024 09:00\t06/12/2024 10:30\t90\t0\t2\t0\n").arg(service)))
        << r.out.toStdString();
    r = clock(QStringLiteral("06/12/2024 17:00"), {QStringLiteral("end")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("PROMPT: Casey, you are now OUT. Bye..\\n\\n\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("1\t0\t6\t0\t06/12/2024 08:00\t06/12/2024 17:00\t540\t0\t2\t0\n")));
    // A bad action is refused with the usage.
    EXPECT_EQ(clock(QStringLiteral("06/12/2024 17:00"), {QStringLiteral("lunch")}).exitCode, 2);

    r = RunDbTool({QStringLiteral("tracking"), db, QStringLiteral("9105"), QStringLiteral("--close")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("PROMPT: Do you want to start closing all tasks now?\n"
                                                "PROMPT: Are you sure you want to start closing all tasks now?\n"
                                                "PROMPT: Closed 2 Task(s)\n")))
        << r.out.toStdString();
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Status FROM Times ORDER BY TimeID")), QStringLiteral("3\n3"));
    // The closed day is in the history's time sheet.
    r = RunDbTool({QStringLiteral("tracking"), db, QStringLiteral("9201"), QStringLiteral("--from"),
                   QStringLiteral("06/01/2024"), QStringLiteral("--to"), QStringLiteral("06/30/2024")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Report Date Range: Custom Date Range (1 Jun 2024 - 30 Jun 2024)\n")));
    // No paused time shows as an empty cell.
    EXPECT_TRUE(r.out.contains(QStringLiteral("Casey\t06/12/2024\t08:00\t17:00\t09:00\t\t9:00\t1:30")))
        << r.out.toStdString();
}
