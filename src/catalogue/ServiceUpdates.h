#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The services view's changes to many Services rows at once. Each runs in
// one transaction on the shared database: every row is written or none, a
// failure is shown to the user, and the count returned is the number of rows
// written (-1 after a failure, when nothing was written). Numbers of services
// that no longer exist are skipped and not counted.

// SerStatus of every service (0 Active, 1 Active + group header, 2 Discontinued).
int SetServicesStatus(const QList<qint32> &serNos, quint8 status);

// The material overhead multiplier (CostOH) of every service.
int SetServicesCostMultiplier(const QList<qint32> &serNos, float multiplier);

// Raises or lowers the nine run costs of every service by the percentage
// (in ten-thousandths of a percent) and rounds each up to the step in cents
// (see RaisedRunCost). A service one of whose costs would pass what its
// column holds keeps every cost it had and is not counted; `refusal` then
// names each such service and the column.
int UpdateServicesRunCosts(const QList<qint32> &serNos, qint64 percentTenThousandths, int step,
                           QString *refusal = nullptr);

// Moves every service to the category.
int MoveServicesToCategory(const QList<qint32> &serNos, qint32 catNo);

// SortNo 1, 2, 3 ... in the order given; false after a failure (nothing
// written).
bool SaveServicesSortOrder(const QList<qint32> &serNosInOrder);

// Copies the service, its price table number 0 and its difficulty row under
// the next free service number, named as DuplicateServiceName says. Returns
// the new number; 0 when the service is gone or the copy failed (nothing
// written).
qint32 DuplicateService(qint32 serNo);

// Whether a dragged service may be dropped on a category: paper only among
// paper, printing only among printing, plates never elsewhere.
bool CanMoveServiceToCategory(qint32 serviceCatNo, qint32 targetCatNo);
