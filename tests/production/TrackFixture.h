#pragma once

#include "ProductionShopFixture.h"

#include "app/base/CZqApp.h"
#include "platform/Value.h"

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QTime>

#include <QtCore/QStringList>

#include <memory>
#include <ostream>

// Readable failure messages for the texts these tests compare.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << '{' << l.join(QStringLiteral("|")).toStdString() << '}';
}

class CViewTrack;

// A shop database in the test's folder opened as the shared database, the
// clock fixed on Wednesday 06/12/2024, an application object with its caches,
// two operators (Carla 3, Ben 5), a customer and an order with one item and
// two services (offset run 901, fold 902).
class TrackTest : public ProductionShopTest
{
protected:
    void SetUp() override;

    // The clock at that time of the fixed day.
    void at(int hour, int minute);
    // The tracker options text (settings row 221), loaded into the application.
    void setTrackOptions(const QString &text);
    // A Times row; returns its TimeID.
    qint32 addTime(int timeFor, int empNo, qint32 itemId, const QString &start, const QString &finish, int minutes,
                   int status, int material = 0);

    // The view, started and shown, with the operator chosen (0: none).
    std::unique_ptr<CViewTrack> makeView(int empNo);

    static void snapshot(QWidget &widget, const QString &name);

    qint32 jobId = 0;
    qint32 itemRow = 0;
    qint32 offsetRun = 0; // service 901: ChargeTime 60, ActualTime 60, TimeCost 30.00, ActualQty 1000, MatCost 50.00
    qint32 fold = 0;      // service 902
};
