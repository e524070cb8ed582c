#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QProcess>

#include <algorithm>

class ScheduleTool : public TavrelTest
{
};

TEST_F(ScheduleTool, ListsOrdersAndSetsAStatusInOneRun)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    int code = -1;
    RunDbToolOut({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("30")}, &code);
    ASSERT_EQ(code, 0);
    const QString jobId = SqliteRows(db, QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE JobType = 0 AND Status = 0 "
                                                    "AND Creator < 98"));
    ASSERT_FALSE(jobId.isEmpty());

    QString out = RunDbToolOut({QStringLiteral("schedule"), db, QStringLiteral("31101"), QStringLiteral("--options"),
                       QStringLiteral("0"), QStringLiteral("--today"), QStringLiteral("06/12/2024")},
                      &code);
    ASSERT_EQ(code, 0);
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("KEY\tKIND\tGroup By...\t\tOrder\tJobID\tCustomer")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\tO\t")));

    out = RunDbToolOut({QStringLiteral("schedule"), db, QStringLiteral("31101"), QStringLiteral("--options"),
               QStringLiteral("0"), QStringLiteral("--keys"), jobId, QStringLiteral("--command"),
               QStringLiteral("31104")},
              &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)), QStringLiteral("2"));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 AND ((SerNo = 0 AND Status <> 17) "
                                        "OR (SerNo > 0 AND Status > 0))").arg(jobId)),
              QStringLiteral("0"));

    // The update of 30728 asks first and reports its count.
    out = RunDbToolOut({QStringLiteral("schedule"), db, QStringLiteral("31101"), QStringLiteral("--keys"), jobId,
               QStringLiteral("--command"), QStringLiteral("30728")},
              &code);
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(out.contains(QStringLiteral("PROMPT: Updated the status of 0 Order(s).\n")));

    // Bad arguments are refused with the usage.
    RunDbToolOut({QStringLiteral("schedule"), db, QStringLiteral("abc")}, &code);
    EXPECT_EQ(code, 2);
}

TEST_F(ScheduleTool, PrintsAnOrdersDayGridAndSchedulesIt)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    int code = -1;
    RunDbToolOut({QStringLiteral("create"), db}, &code);
    ASSERT_EQ(code, 0);
    const QStringList statements = {
        QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, Terms, Tax) VALUES (100, 'Acme', 0, 1, 0)"),
        QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (20, 1, 'Prep', "
                       "20, 1)"),
        QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (201, 3, "
                       "'Printing', 2, 4)"),
        QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) VALUES (951, 20, 'Film', "
                       "0, 0, 1)"),
        QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) VALUES (954, 201, "
                       "'Press', 0, 0, 1)"),
        QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, Title, DateIn, DateDue, Status, Creator, CSRNo, "
                       "ShiptoNo) VALUES (7, 0, 700, 100, 'Flyers', #06/12/2024#, #06/14/2024#, 0, 0, 0, 0)"),
        QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, Title, DateIn, Status, Creator, CSRNo, "
                       "ShiptoNo) VALUES (8, 0, 701, 100, 'Cards', #06/12/2024#, 0, 0, 0, 0)"),
    };
    for (const QString &sql : statements) {
        RunDbToolOut({QStringLiteral("sql"), db, sql}, &code);
        ASSERT_EQ(code, 0) << sql.toStdString();
    }
    for (int job : {7, 8}) {
        const QString rows = QStringLiteral(
            "INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, Days2, EmpNo, "
            "Tag1, Tag2) VALUES (%1, %2, 1, 0, '', %3, 100, 0, %3, 0, 0, 0)");
        RunDbToolOut({QStringLiteral("sql"), db, rows.arg(job).arg(0).arg(5)}, &code);
        RunDbToolOut({QStringLiteral("sql"), db, rows.arg(job).arg(951).arg(1)}, &code);
        RunDbToolOut({QStringLiteral("sql"), db, rows.arg(job).arg(954).arg(9)}, &code);
    }
    const QStringList today = {QStringLiteral("--today"), QStringLiteral("06/12/2024")};

    QString out = RunDbToolOut(QStringList{QStringLiteral("schedule-job"), db, QStringLiteral("700")} + today, &code);
    ASSERT_EQ(code, 0) << out.toStdString();
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 7);
    const QStringList headers = lines[0].split(QLatin1Char('\t'));
    ASSERT_EQ(headers.size(), 32);
    EXPECT_EQ(headers.mid(3, 4), (QStringList{QStringLiteral("<</Jun"), QStringLiteral("To-/day"),
                                              QStringLiteral("Th/13"), QStringLiteral(" F/14")}));
    EXPECT_EQ(headers[19], QStringLiteral(">>/Jun"));
    const QStringList item = lines[1].split(QLatin1Char('\t'));
    EXPECT_EQ(item[4], QStringLiteral("#146"));
    EXPECT_EQ(item[6], QStringLiteral("#155"));
    const QStringList press = lines[3].split(QLatin1Char('\t'));
    EXPECT_EQ(press[1].left(16), QStringLiteral("Printing: Press#"));
    EXPECT_TRUE(press[2].startsWith(QStringLiteral("06/20/24#"))) << press[2].toStdString();
    EXPECT_TRUE(press[12].startsWith(QStringLiteral("#")));
    EXPECT_EQ(lines[5], QString(45, QLatin1Char('-')));
    EXPECT_EQ(lines[6], QStringLiteral(" 1 Service is scheduled after the Job Due Date."));

    out = RunDbToolOut(QStringList{QStringLiteral("schedule-job"), db, QStringLiteral("700"), QStringLiteral("--auto")} + today,
              &code);
    ASSERT_EQ(code, 0);
    lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines[0], QStringLiteral("PROMPT: Scheduled 2 Service(s)."));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Status FROM Items WHERE JobID = 7 ORDER BY ItemID")),
              QStringLiteral("5\n2\n3"));
    EXPECT_FALSE(out.contains(QStringLiteral("after the Job Due Date")));

    // Without a due date it asks, is answered No, and nothing changes.
    out = RunDbToolOut(QStringList{QStringLiteral("schedule-job"), db, QStringLiteral("701"), QStringLiteral("--auto")} + today,
              &code);
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(out.startsWith(
        QStringLiteral("PROMPT: To Auto-Schedule, you must set Date Due.\\n\\nDo you want to set date(s)?\n")));
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Status FROM Items WHERE JobID = 8 ORDER BY ItemID")),
              QStringLiteral("5\n1\n9"));

    RunDbToolOut({QStringLiteral("schedule-job"), db, QStringLiteral("x")}, &code);
    EXPECT_EQ(code, 2);

    // The shop's workdays decide as in the program: an order in on Saturday
    // 06/15 puts its first service on Sunday only when Sunday is a workday.
    const QStringList weekend = {
        QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, Title, DateIn, DateDue, Status, Creator, "
                       "CSRNo, ShiptoNo) VALUES (9, 0, 702, 100, 'Menus', #06/15/2024#, #06/20/2024#, 0, 0, 0, 0)"),
        QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                       "Days2, EmpNo, Tag1, Tag2) VALUES (9, 0, 1, 0, '', 5, 100, 0, 5, 0, 0, 0)"),
        QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                       "Days2, EmpNo, Tag1, Tag2) VALUES (9, 951, 1, 0, '', 9, 100, 0, 9, 0, 0, 0)"),
        QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                       "Days2, EmpNo, Tag1, Tag2) VALUES (9, 954, 1, 0, '', 9, 100, 0, 9, 0, 0, 0)"),
        QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 100, '0,0,0,')"),
    };
    for (const QString &sql : weekend) {
        RunDbToolOut({QStringLiteral("sql"), db, sql}, &code);
        ASSERT_EQ(code, 0) << sql.toStdString();
    }
    const QStringList auto702 = QStringList{QStringLiteral("schedule-job"), db, QStringLiteral("702"),
                                            QStringLiteral("--auto")} + today;
    RunDbToolOut(auto702, &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Status FROM Items WHERE JobID = 9 AND SerNo > 0 ORDER BY ItemID")),
              QStringLiteral("3\n4")); // Monday and Tuesday
    RunDbToolOut({QStringLiteral("sql"), db,
                  QStringLiteral("UPDATE CustomerAlerts SET AlertText = '0,0,1,' WHERE CusNo = 0 AND AlertType = 100")},
                 &code);
    RunDbToolOut(auto702, &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(SqliteRows(db, QStringLiteral("SELECT Status FROM Items WHERE JobID = 9 AND SerNo > 0 ORDER BY ItemID")),
              QStringLiteral("2\n3")); // Sunday and Monday
}

// Each department's entry of the scheduler's tree lists the service rows of
// that department's categories, and only those: together they are the "All"
// list, row for row, on the sample shop.
TEST_F(ScheduleTool, EachDepartmentListsItsOwnServices)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    int code = -1;
    RunDbToolOut({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("60")}, &code);
    ASSERT_EQ(code, 0);
    const auto serviceKeys = [&](int command) {
        const QString out = RunDbToolOut({QStringLiteral("schedule"), db, QString::number(command),
                                          QStringLiteral("--options"), QStringLiteral("0")},
                                         &code);
        EXPECT_EQ(code, 0) << command;
        QStringList keys;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.value(1) == QLatin1String("S"))
                keys << f[0];
        }
        std::sort(keys.begin(), keys.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
        return keys;
    };
    const QStringList all = serviceKeys(31301);
    ASSERT_FALSE(all.isEmpty());
    int listed = 0;
    int departmentsWithWork = 0;
    for (const QString &dep : SqliteRows(db, QStringLiteral("SELECT DepNo FROM ServiceDepartments ORDER BY DepNo"))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList keys = serviceKeys(31302 + dep.toInt());
        const QString expected = SqliteRows(
            db, QStringLiteral("SELECT group_concat(ItemID, ',') FROM (SELECT Items.ItemID FROM (Items INNER JOIN "
                               "Services ON Services.SerNo = Items.SerNo) INNER JOIN ServiceCategories ON "
                               "ServiceCategories.CatNo = Services.CatNo WHERE ServiceCategories.DepNo = %1 AND "
                               "Items.ItemID IN (%2) ORDER BY Items.ItemID)")
                    .arg(dep, all.join(QLatin1Char(','))));
        EXPECT_EQ(keys.join(QLatin1Char(',')), expected) << "department " << dep.toStdString();
        listed += keys.size();
        departmentsWithWork += keys.isEmpty() ? 0 : 1;
    }
    EXPECT_EQ(listed, all.size());
    EXPECT_GE(departmentsWithWork, 3);
}
