#pragma once

#include <QtCore/QList>
#include <QtCore/QtGlobal>

// The order-status rules of the production board, free of widgets.
//
// An order's status changes only from In Progress (0), On Hold (1) and
// Ready to Ship (2); Ready to Post (3) is never set here and an order that
// is Ready to Post never changes. The automatic status (255) leaves an order
// On Hold alone and is In Progress while a service is still to do, else
// Ready to Ship. When an order becomes Ready to Ship all its items are
// marked Done (17) and all its services done (0). Without the shop's
// inventory the status change and this follow-up are one transaction: a
// failure leaves every row as it was. With it each row is its own write
// (finishing a service may ask about its stock), services first: the
// services finished before a refusal stay finished.
class OrderStatusRules
{
public:
    enum Result { Unchanged = 0, Changed = 1, Failed = 2 };
    static constexpr int kAutomatic = 255;
    static constexpr int kReadyToShip = 2;
    static constexpr int kReadyToPost = 3;
    static constexpr int kItemDone = 17;

    // Sets the order's status; Failed when writing was refused. `finished`,
    // when given, gets the services whose finish is stored (also on Failed).
    static Result SetOrderStatus(qint32 jobId, int status, QList<qint32> *finished = nullptr);
    // The status the order would get automatically; -1 when it is not an order.
    static int AutomaticStatus(qint32 jobId);
    // The order's status, -1 when there is no such order.
    static int CurrentStatus(qint32 jobId);
};
