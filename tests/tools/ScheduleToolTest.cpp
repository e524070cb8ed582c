#include "support/TestEnvironment.h"

#include <QtCore/QProcess>

namespace {

QString run(const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(QStringLiteral(TAVREL_DBTOOL), args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString sqlite(const QString &db, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {db, sql});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

class ScheduleTool : public TavrelTest
{
};

TEST_F(ScheduleTool, ListsOrdersAndSetsAStatusInOneRun)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    int code = -1;
    run({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("12")}, &code);
    ASSERT_EQ(code, 0);
    const QString jobId = sqlite(db, QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE JobType = 0 AND Status = 0 "
                                                    "AND Creator < 98"));
    ASSERT_FALSE(jobId.isEmpty());

    QString out = run({QStringLiteral("schedule"), db, QStringLiteral("31101"), QStringLiteral("--options"),
                       QStringLiteral("0"), QStringLiteral("--today"), QStringLiteral("06/12/2024")},
                      &code);
    ASSERT_EQ(code, 0);
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("KEY\tKIND\tGroup By...\t\tOrder\tJobID\tCustomer")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\tO\t")));

    out = run({QStringLiteral("schedule"), db, QStringLiteral("31101"), QStringLiteral("--options"),
               QStringLiteral("0"), QStringLiteral("--keys"), jobId, QStringLiteral("--command"),
               QStringLiteral("31104")},
              &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)), QStringLiteral("2"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 AND ((SerNo = 0 AND Status <> 17) "
                                        "OR (SerNo > 0 AND Status > 0))").arg(jobId)),
              QStringLiteral("0"));

    // The update of 30728 asks first and reports its count.
    out = run({QStringLiteral("schedule"), db, QStringLiteral("31101"), QStringLiteral("--keys"), jobId,
               QStringLiteral("--command"), QStringLiteral("30728")},
              &code);
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(out.contains(QStringLiteral("PROMPT: Updated the status of 0 Order(s).\n")));

    // Bad arguments are refused with the usage.
    run({QStringLiteral("schedule"), db, QStringLiteral("abc")}, &code);
    EXPECT_EQ(code, 2);
}
