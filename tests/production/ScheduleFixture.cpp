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
    ProductionShopTest::SetUp();
    exec(QStringLiteral("DELETE FROM Services WHERE SerNo in (901, 902)"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, ProdDepID) "
                        "SELECT 901, Min(CatNo), 'Offset Run', 0 FROM ServiceCategories WHERE CatNo > 0"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, ProdDepID) "
                        "SELECT 902, Max(CatNo), 'Fold', 0 FROM ServiceCategories WHERE CatNo > 0"));
    loadApplication();
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

ScheduleTest::FilmAndPaper ScheduleTest::addFilmAndPaper(qint32 jobNo, int itemStatus, int filmSerNo,
                                                          int paperSerNo, int paperStock, bool refuseWrites)
{
    FilmAndPaper made;
    made.order = addOrder(jobNo, 0, today(), today().addDays(9));
    made.item = addItem(made.order, 1, itemStatus);
    made.film = addService(made.order, 1, filmSerNo, 2, 2, 30);
    made.paper = addService(made.order, 1, paperSerNo, 2, 2, 30);
    exec(QStringLiteral("UPDATE Items SET SortNo = 1 WHERE ItemID = %1").arg(made.film));
    exec(QStringLiteral("UPDATE Items SET SortNo = 2, ActualQty = 250, Tag2 = %1 WHERE ItemID = %2")
             .arg(paperStock)
             .arg(made.paper));
    if (refuseWrites)
        SharedDatabase().executeNative(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Items WHEN NEW.ItemID = "
                                                      "%1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                           .arg(made.paper));
    return made;
}

void ScheduleTest::refuseNoMore()
{
    SharedDatabase().executeNative(QStringLiteral("DROP TRIGGER IF EXISTS refuse"));
}

void ScheduleTest::snapshot(QWidget &widget, const QString &name)
{
    QApplication::processEvents();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/schedule");
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG"));
}
