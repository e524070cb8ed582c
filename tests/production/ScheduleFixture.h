#pragma once

#include "ProductionShopFixture.h"

#include "app/base/CZqApp.h"
#include "platform/Value.h"

#include <QtCore/QDate>
#include <QtCore/QString>

#include <memory>

class QWidget;

// A shop database in the test's folder opened as the shared database, today
// fixed at Wednesday 06/12/2024, an application object with its caches,
// a customer, three operators, two service categories with a service each.
class ScheduleTest : public ProductionShopTest
{
protected:
    void SetUp() override;

    // An order (JobType 0) of the status, dated in and due; returns its JobID.
    qint32 addOrder(qint32 jobNo, int status, const QDate &dateIn, const QDate &due);
    // An item row (SerNo 0) of the schedule status; returns its ItemID.
    qint32 addItem(qint32 jobId, int itemNo, int status, const QString &description = QStringLiteral("Flyers"));
    // A service row of the item: Status 0 done, else to do on day Days2.
    qint32 addService(qint32 jobId, int itemNo, int serNo, int status, int days2, int minutes, int empNo = 0);

    // An order's item 1 (of the item status) with a film (filmSerNo, sorted
    // first) and a paper (paperSerNo, sorted second, 250 used, of the stock
    // status) both still to do on day 2; with refuseWrites the database
    // refuses every write of the paper's row (until refuseNoMore).
    struct FilmAndPaper { qint32 order = 0, item = 0, film = 0, paper = 0; };
    FilmAndPaper addFilmAndPaper(qint32 jobNo, int itemStatus, int filmSerNo, int paperSerNo, int paperStock,
                                 bool refuseWrites = false);
    void refuseNoMore();

    // Saves the widget as shown into build/tests/schedule/<name>.png.
    static void snapshot(QWidget &widget, const QString &name);
};
