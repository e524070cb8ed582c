#pragma once

#include "data/CItemSet.h"
#include "data/CSerSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <map>
#include <memory>
#include <set>
#include <vector>

// The shop rows the pricing engine reads besides the item's own rows: the
// Services rows, the markup and waste tables, the presses' difficulty rows,
// the service price tables, the price-rounding lists and the job types. Each
// is read from the database the first time it is asked for and then kept.
//
// Every engine has one of its own. A caller that prices many items in one run
// (the job window's reprice, the price book, a report) creates one cache for
// the run and hands it to every engine, so that the shop tables are read once
// for the run rather than once per item; it drops the cache (or calls Clear)
// when the run ends, so a later run sees the shop's changes.
class PricingCache
{
public:
    // The row of table number 0 of a service's price table.
    struct PriceTable
    {
        bool present = false;
        bool tooShort = false;
        int columnBasis = 0;
        int rowBasis = 0;
        int reading = 0;
        int method = 0;
        int multiplier = 0;
        qint32 grid[13][11] = {};
    };

    // The cells of a difficulty row in their stored order (paper rows 1..19
    // of four, job rows 1..19 of five, nine run-length pairs).
    struct DiffRow
    {
        qint32 paper[20][5] = {};
        qint32 job[20][5] = {};
        qint32 runLength[9][2] = {};
    };

    PricingCache() = default;
    PricingCache(const PricingCache &) = delete;
    PricingCache &operator=(const PricingCache &) = delete;

    // Forgets everything read so far.
    void Clear();

    // Reads the Services rows of the numbers not held yet, all in one query.
    void LoadServices(const std::vector<qint32> &serNos);
    // The Services row of a number; nullptr when Services has no such row.
    std::shared_ptr<const CSerSet> Service(qint32 serNo);

    // MarkupTable: row 0 the cost breaks in currency units (64 bits: a break
    // of $300,000 is 3,000,000,000 units), rows 1..19 the percentages of the
    // markup levels.
    const qint64 (&Markup())[20][9];
    // WasteTable rows 0..20: Setup, Waste1..Waste7.
    const qint32 (&Waste())[21][8];
    // The difficulty row of a service; nullptr when it has none.
    const DiffRow *Difficulty(qint32 serNo);
    const PriceTable &PriceTableOf(qint32 serNo);

    // The two price-rounding settings rows: false when there are none.
    bool RoundingLists(QString &limits, QString &steps);

    quint8 JobType(qint32 jobId);

    // The rows of one item of a job: its item row (SerNo 0) and its service
    // rows, by SerNo. The first question about a job reads the rows of all
    // its items in one statement, so that a job's reprice reads them once
    // rather than walking the job's every row for each item. When this
    // connection has written anything since, the job is read again. nullptr
    // when the item's rows are not held (an engine wrote them, see below):
    // the engine reads them itself then. An item without rows gets an empty
    // list.
    const std::vector<CItemSet> *ItemRows(qint32 jobId, qint32 itemNo, qint32 subNo);
    // An engine has just saved the rows of this item (and nothing else): the
    // other items' rows stay held, this item's are no longer.
    void ItemRowsWritten(qint32 jobId, qint32 itemNo, qint32 subNo);
    // Rows a caller is about to write for a new job, in the order it will
    // write them: they are held as the job's rows, as if read, so that its
    // items are priced before their rows are first written. They stay held
    // until this connection writes anything.
    void HoldJobRows(qint32 jobId, const std::vector<CItemSet> &rows);

private:
    void ReadJobRows(qint32 jobId);
    // Puts the rows held for the job (as read or handed in) in SerNo order,
    // item by item.
    void SortJobRows();

    std::map<qint32, std::shared_ptr<const CSerSet>> m_services;
    std::set<qint32> m_missingServices;

    bool m_bMarkupRead = false;
    qint64 m_Markup[20][9] = {};
    bool m_bWasteRead = false;
    qint32 m_Waste[21][8] = {};

    std::map<qint32, std::unique_ptr<DiffRow>> m_difficulty; // nullptr: the service has no row
    std::map<qint32, PriceTable> m_priceTables;

    bool m_bRoundingRead = false;
    bool m_bHasRoundingRows = false;
    QString m_strRoundLimits;
    QString m_strRoundSteps;

    std::map<qint32, quint8> m_jobTypes;

    // The rows of the job last asked for, by (ItemNo, SubNo), and the
    // connection's change count when they were read.
    qint32 m_nRowsJobId = 0;
    bool m_bJobRowsRead = false;
    qint64 m_nRowsChanges = 0;
    std::map<std::pair<qint32, qint32>, std::vector<CItemSet>> m_jobRows;
    std::set<std::pair<qint32, qint32>> m_writtenItems;
};
