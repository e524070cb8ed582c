#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table ShippedItems: the shipments of a job item (quantity, boxes, carrier,
// tracking number, dates, tax and shipping charged).
class CShippedSet : public CXDaoSet
{
public:
    explicit CShippedSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A new shipment: every number, amount and date zero, texts empty; the
    // key is left alone.
    void ResetFields() override;

    qint32 m_ShipID = 0;
    qint32 m_ItemID = 0;
    qint32 m_ShiptoNo = 0;
    qint32 m_QtyShipped = 0;
    qint32 m_QtyPerBox = 0;
    qint32 m_Boxes = 0;
    quint8 m_ShipBy = 0;
    quint8 m_Status = 0;
    quint8 m_TaxBy = 0;
    QString m_ItemDes;
    QString m_Tracking;
    QString m_ShipNote;
    DateTime m_Shipped;
    DateTime m_Received;
    Money m_TaxAmt;
    Money m_ShipAmt;
};
