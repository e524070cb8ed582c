#pragma once

#include "data/CItemSet.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Item rows read through the join with their services and service categories,
// so that an item's service rows come in the order of the shop's catalogue.
// A row of the join supplies only the ItemID; GetDescription reads the full
// Items row by that id into this object and fills the display members that
// the item lists, documents, schedule and exports show.
class CItemSetX : public CItemSet
{
public:
    explicit CItemSetX(platform::Database *database = nullptr);
    ~CItemSetX() override;

    QString GetDefaultSQL() const override;
    // The join binds no columns of its own.
    void DoFieldExchange(FieldExchange *pFX) override;

    // --- openers (TRUE when a row was found) -----------------------------------
    bool OpenJobItemsAndServices(qint32 jobId);
    // The job's item rows only (those whose SerNo 0 joins the catalogue).
    bool OpenJobItems(qint32 jobId);
    bool OpenItemServices(qint32 jobId, int itemNo, int subNo, bool servicesOnly = false);
    // Whether the item has a digital (categories 301-399) and a paper
    // (101-199) service.
    void DetectItemKinds(qint32 jobId, int itemNo, int subNo);

    // --- display texts ------------------------------------------------------------
    // Image of the registration code (the inventory statuses have their own).
    int GetRegisImage() const;
    // The service's text with its inks into the description text.
    void GetInkText(bool withUnitWord);
    // One line describing a service row.
    void GetRunText(QString &out, bool withHeading, bool withNote, bool withExtra, bool withInks);
    // Reads the current row's full Items row and fills the display members;
    // `zeroText` stands for quantities and times of 0.
    void GetDescription(const QString &zeroText, bool withSheets);

    // The row's service (a Services row, read by GetDescription).
    CXDaoSet m_Service;

    // --- display members ------------------------------------------------------------
    QString m_strHeading;
    QString m_strDescription;
    QString m_strSpare;
    QString m_strExtra;
    qint32 m_nCatNo = 0;
    int m_nDecimals = 0;     // 1 price per each, 2 per thousand
    int m_nRowColor = 255;   // 255: not set
    int m_nRegisImage = 255; // 255: not set
    qint32 m_nQuantity = 0;  // ChargeQty of an item row
    qint32 m_nSheets = 0;    // Sheets of an item row
    quint8 m_nUnit = 0;      // Opt1 of an item row
    QString m_strUnitWord;
    bool m_bHasDigital = false;
    bool m_bHasPaper = false;
    QString m_strActualTime;
    QString m_strChargeTime;
    QString m_strActualQty;
    QString m_strChargeQty;
    QString m_strUnitPrice;
    QString m_strCost;
    QString m_strPrice;

private:
    QString ServiceText(const char *column) const;
    QString InkNames(quint8 side) const;
    // Whether the connection wrote anything since the job's look-ups below
    // were read (they are read again when it did).
    bool lookupsCurrent(qint32 jobId) const;
    void readLookups(qint32 jobId);

    // Read once per walk of a job instead of once per row: each item's kinds
    // (bit 1 digital, bit 2 paper; by ItemNo * 256 + SubNo) and the shop's
    // unit-price choice.
    QHash<int, int> m_itemKinds;
    int m_unitPriceMode = 0;
    qint32 m_lookupsJobId = -1;
    qint64 m_lookupsChanges = -1;
};
