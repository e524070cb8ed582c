#include "jobs/JobShipping.h"

#include "jobs/CShipLabel.h"
#include "jobs/CShipments.h"

void RunShipments(qint32 jobId, qint32 itemId, QWidget *parent)
{
    CShipments shipments(jobId, itemId, parent);
    shipments.DoModal();
}

void RunShipLabels(qint32 jobId, qint32 itemId, QWidget *parent)
{
    CShipLabel labels(jobId, parent);
    labels.m_nItemID = itemId;
    labels.DoModal();
}
