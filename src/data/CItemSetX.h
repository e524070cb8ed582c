#pragma once

#include "data/CItemSet.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <utility>
#include <vector>

// Item rows read through the join with their services and service categories,
// so that an item's service rows come in the order of the shop's catalogue.
// Each row of the join is a whole Items row, bound to the columns as the set
// moves; GetDescription fills from it the display members that the item
// lists, documents, schedule and exports show.
class CItemSetX : public CItemSet
{
public:
    explicit CItemSetX(platform::Database *database = nullptr);
    ~CItemSetX() override;

    QString GetDefaultSQL() const override;

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
    // Fills the display members of the current row (of an empty row past
    // the last); `zeroText` stands for quantities and times of 0.
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

    // A column of the row's service (null without one); the column's place
    // is looked up once per reading of the services.
    platform::Value ServiceValue(const char *column) const;

private:
    QString ServiceText(const char *column) const;
    QString InkNames(quint8 side) const;
    // Whether the connection wrote anything since the job's look-ups below
    // were read (they are read again when it did).
    bool lookupsCurrent(qint32 jobId) const;
    void readLookups(qint32 jobId);
    // An opener's walk begins: what the last walk read is dropped.
    void startWalk(qint32 jobId);
    // Puts m_Service on the Services row of serNo.
    void positionService(qint32 serNo);
    // The category name and row colour of the service m_Service is on, read
    // once per service in a walk.
    struct ServiceLooks
    {
        QString categoryName;
        int color = 255;
    };
    const ServiceLooks &serviceLooks(qint32 serNo);
    // The columns a service row's description takes from the service
    // m_Service is on, read once per service while m_Service holds the rows
    // it was read with.
    struct ServiceTexts
    {
        QString name;
        QString size; // trimmed
        int catNo = 0;
        int unit = 0;
        int status = 0;
        int costBy = 0;
    };
    const ServiceTexts &serviceTexts(qint32 serNo);

    // Read once per walk of a job instead of once per row: each item's kinds
    // (bit 1 digital, bit 2 paper; by ItemNo * 256 + SubNo) and the shop's
    // unit-price choice.
    QHash<int, int> m_itemKinds;
    int m_unitPriceMode = 0;
    qint32 m_lookupsJobId = -1;
    qint64 m_lookupsChanges = -1;
    // The walk's job (0 for a set opened otherwise), the services it has
    // met and the vendors' names.
    qint32 m_walkJobId = 0;
    QHash<qint32, ServiceLooks> m_services;
    QHash<int, QString> m_vendorNames;
    // m_Service holding every service of the walk's job, sorted by SerNo:
    // each SerNo's place, the place it is on (-1 when it holds one row
    // only) and the connection's write count when it was read.
    QHash<qint32, int> m_servicePlaces;
    // The places of the columns ServiceText read in m_Service (-1: none).
    mutable std::vector<std::pair<const char *, int>> m_serviceColumns;
    QHash<qint32, ServiceTexts> m_serviceTexts; // emptied whenever m_Service is read again
    int m_servicePlace = -1;
    qint64 m_servicesChanges = -1;
};
