#include "ScheduleFixture.h"

#include "app/base/Appearance.h"
#include "data/AppDataServices.h"
#include "data/DatabaseFiles.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

void ScheduleTest::SetUp()
{
    TavrelTest::SetUp();
    m_dataFolder = DataFolder();
    m_path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(m_path);
    SharedDatabase().open(m_path);
    platform::Clock::setFixed(QDateTime(today(), QTime(10, 0)));

    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, Terms, Tax) "
                        "VALUES (100, 'Acme Printing Co', 0, 1, 0)"));
    exec(QStringLiteral("DELETE FROM Employees"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (0, ' ', 0, 0, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (3, 'Carla', 1, 1, 0, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) VALUES (5, 'Ben', 1, 2, 0, 0)"));
    exec(QStringLiteral("DELETE FROM Services WHERE SerNo in (901, 902)"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, ProdDepID) "
                        "SELECT 901, Min(CatNo), 'Offset Run', 0 FROM ServiceCategories WHERE CatNo > 0"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, ProdDepID) "
                        "SELECT 902, Max(CatNo), 'Fold', 0 FROM ServiceCategories WHERE CatNo > 0"));

    app = std::make_unique<CZqApp>();
    InstallAppQueryReader(*app);
    app->LoadServiceDepartments();
    app->LoadServiceCategories();
    app->LoadServices(2);
    app->BuildPopupMenus();
    Appearance::instance().LoadViewSettings();
}

void ScheduleTest::TearDown()
{
    QApplication::processEvents();
    app.reset();
    platform::Clock::reset();
    if (SharedDatabase().isOpen())
        SharedDatabase().close();
    SetDataFolder(m_dataFolder);
    TavrelTest::TearDown();
}

void ScheduleTest::exec(const QString &sql)
{
    SharedDatabase().execute(sql);
}

platform::Value ScheduleTest::scalar(const QString &sql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}

QString ScheduleTest::sqliteRows(const QString &sql)
{
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {m_path, sql});
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

qint32 ScheduleTest::addOrder(qint32 jobNo, int status, const QDate &dateIn, const QDate &due)
{
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, DateIn, DateDue, Status, Creator, CSRNo, "
                        "ShiptoNo) VALUES (0, %1, 100, 'Order %1', #%2#, #%3#, %4, 0, 3, 0)")
             .arg(jobNo)
             .arg(dateIn.toString(QStringLiteral("MM/dd/yyyy")), due.toString(QStringLiteral("MM/dd/yyyy")))
             .arg(status));
    return scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
}

qint32 ScheduleTest::addItem(qint32 jobId, int itemNo, int status, const QString &description)
{
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                        "Days2, EmpNo, Tag1, Tag2) VALUES (%1, 0, %2, 0, '%3', %4, 500, 0, 0, 0, 0, 0)")
             .arg(jobId)
             .arg(itemNo)
             .arg(description)
             .arg(status));
    return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
}

qint32 ScheduleTest::addService(qint32 jobId, int itemNo, int serNo, int status, int days2, int minutes, int empNo)
{
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                        "Days2, EmpNo, Tag1, Tag2) VALUES (%1, %2, %3, 0, '', %4, 1000, %5, %6, %7, 0, 0)")
             .arg(jobId)
             .arg(serNo)
             .arg(itemNo)
             .arg(status)
             .arg(minutes)
             .arg(days2)
             .arg(empNo));
    return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
}

void ScheduleTest::snapshot(QWidget &widget, const QString &name)
{
    QApplication::processEvents();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/schedule");
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG"));
}
