#pragma once

#include <QtCore/QtGlobal>

class QWidget;

// The shipping dialogs as the job window and the jobs view open them.

// The shipments of a job's item (every shipment for item 0), modal.
void RunShipments(qint32 jobId, qint32 itemId, QWidget *parent);
// The shipping-label dialog for a job, with the item selected first when
// one is given, modal.
void RunShipLabels(qint32 jobId, qint32 itemId, QWidget *parent);
