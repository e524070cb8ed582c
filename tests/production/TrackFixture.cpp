#include "TrackFixture.h"

#include "app/base/Appearance.h"
#include "data/AppDataServices.h"
#include "data/DatabaseFiles.h"
#include "data/SharedDatabase.h"
#include "data/SettingRows.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "production/tracking/CViewTrack.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

void TrackTest::SetUp()
{
    ProductionShopTest::SetUp();
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (41, 1, 49, 'Press', 1)"));
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) VALUES (42, 2, 50, 'Bindery', 2)"));
    exec(QStringLiteral("DELETE FROM Services WHERE SerNo in (901, 902)"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, ProdDepID, SortNo) VALUES (901, 41, 'Offset Run', 0, 1)"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, ProdDepID, SortNo) VALUES (902, 42, 'Fold', 0, 2)"));
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, DateIn, DateDue, Status, Creator, CSRNo, ShiptoNo) "
                        "VALUES (0, 8001, 100, 'Order 8001', #06/12/2024#, #06/14/2024#, 0, 0, 3, 0)"));
    jobId = scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                        "Days2, EmpNo, Tag1, Tag2, Cost) VALUES (%1, 0, 1, 0, 'Flyers', 4, 1000, 0, 0, 0, 0, 0, 80)")
             .arg(jobId));
    itemRow = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                        "ActualQty, ActualTime, MatCost, TimeCost, Cost, Days2, EmpNo, Tag1, Tag2) "
                        "VALUES (%1, 901, 1, 0, '', 1, 1000, 60, 1000, 60, 50, 30, 80, 1, 0, 0, 0)")
             .arg(jobId));
    offsetRun = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, "
                        "ActualQty, ActualTime, MatCost, TimeCost, Cost, Days2, EmpNo, Tag1, Tag2) "
                        "VALUES (%1, 902, 1, 0, '', 1, 1000, 30, 0, 0, 0, 0, 0, 2, 0, 0, 0)")
             .arg(jobId));
    fold = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    exec(QStringLiteral("UPDATE Jobs SET Cost = 80 WHERE JobID = %1").arg(jobId));

    loadApplication();
    setTrackOptions(QStringLiteral("0,,, 0,0,0,0,  0,0,0,0,0,  0,0,0,"));
}

void TrackTest::at(int hour, int minute)
{
    platform::Clock::setFixed(QDateTime(today(), QTime(hour, minute)));
}

void TrackTest::setTrackOptions(const QString &text)
{
    exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 221"));
    SaveGlobalAlertText(221, text);
    LoadTrackOptions(*app, 221);
}

qint32 TrackTest::addTime(int timeFor, int empNo, qint32 itemId, const QString &start, const QString &finish,
                          int minutes, int status, int material)
{
    exec(QStringLiteral("INSERT INTO Times (TimeFor, EmpNo, ItemID, Start, Finish, Minutes, Material, [Option], Status, "
                        "Subgroup, [Note]) VALUES (%1, %2, %3, #%4#, %5, %6, %7, 0, %8, 0, '')")
             .arg(timeFor)
             .arg(empNo)
             .arg(itemId)
             .arg(start)
             .arg(finish.isEmpty() ? QStringLiteral("Null") : QLatin1Char('#') + finish + QLatin1Char('#'))
             .arg(minutes)
             .arg(material)
             .arg(status));
    return scalar(QStringLiteral("SELECT Max(TimeID) FROM Times")).toInt();
}

std::unique_ptr<CViewTrack> TrackTest::makeView(int empNo)
{
    auto view = std::make_unique<CViewTrack>();
    view->resize(1180, 640);
    view->OnInitialUpdate();
    view->show();
    QApplication::processEvents();
    if (empNo > 0)
        view->SelectOperator(empNo, true);
    return view;
}

void TrackTest::snapshot(QWidget &widget, const QString &name)
{
    SaveSnapshot(widget, QStringLiteral("tracking"), name);
}
