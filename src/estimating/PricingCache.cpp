#include "estimating/PricingCache.h"

#include "data/JobTypes.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

qint32 LongAt(const platform::Recordset &rs, int position)
{
    if (position >= rs.fieldCount())
        return 0;
    const platform::Value v = rs.value(position);
    return v.isNull() ? 0 : qint32(v.toInt64());
}

// Reads one statement's rows into a table of longs, `Rows` rows of `Columns`
// values. A table with fewer rows leaves the rest as they are (zero).
template <typename T, int Rows, int Columns>
void ReadLongTable(const QString &sql, T (&table)[Rows][Columns], qint32 firstRowScale)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    for (int r = 0; r < Rows && !rs.isEOF(); ++r, rs.moveNext()) {
        for (int c = 0; c < Columns && c < rs.fieldCount(); ++c) {
            const platform::Value v = rs.value(c);
            const qint64 n = v.isNull() ? 0 : v.toInt64();
            // A long read from the table is a long; a scaled break (the
            // markup table's cost breaks in ten-thousandths) is held whole
            // when the table holds 64 bits, else at the largest long, never
            // wrapped round to a negative break.
            const qint64 scaled = r == 0 ? n * firstRowScale : n;
            table[r][c] = T(std::clamp<qint64>(scaled, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
        }
    }
}

} // namespace

void PricingCache::Clear()
{
    m_services.clear();
    m_missingServices.clear();
    m_bMarkupRead = m_bWasteRead = false;
    std::memset(m_Markup, 0, sizeof m_Markup);
    std::memset(m_Waste, 0, sizeof m_Waste);
    m_difficulty.clear();
    m_priceTables.clear();
    m_bRoundingRead = m_bHasRoundingRows = false;
    m_strRoundLimits.clear();
    m_strRoundSteps.clear();
    m_jobTypes.clear();
    m_bJobRowsRead = false;
    m_nRowsJobId = 0;
    m_jobRows.clear();
    m_writtenItems.clear();
}

void PricingCache::LoadServices(const std::vector<qint32> &serNos)
{
    std::set<qint32> wanted;
    for (const qint32 serNo : serNos) {
        if (serNo != 0 && !m_services.count(serNo) && !m_missingServices.count(serNo))
            wanted.insert(serNo);
    }
    if (wanted.empty())
        return;
    QStringList numbers;
    for (const qint32 serNo : wanted)
        numbers << QString::number(serNo);
    CSerSet set;
    set.m_strFilter = QStringLiteral("SerNo IN (") + numbers.join(QStringLiteral(", ")) + QLatin1Char(')');
    set.Open(CXDaoSet::dbOpenSnapshot);
    if (!set.IsOpen()) {
        // Reported by the set; the services count as missing for this run,
        // so the engine stops on them rather than asking again and again.
        m_missingServices.insert(wanted.begin(), wanted.end());
        return;
    }
    for (; !set.IsEOF(); set.MoveNext()) {
        auto copy = std::make_shared<CSerSet>();
        *copy = set;
        wanted.erase(set.m_SerNo);
        m_services[set.m_SerNo] = std::move(copy);
    }
    m_missingServices.insert(wanted.begin(), wanted.end());
}

std::shared_ptr<const CSerSet> PricingCache::Service(qint32 serNo)
{
    if (serNo == 0)
        return nullptr;
    auto it = m_services.find(serNo);
    if (it == m_services.end()) {
        LoadServices({serNo});
        it = m_services.find(serNo);
    }
    return it == m_services.end() ? nullptr : it->second;
}

const qint64 (&PricingCache::Markup())[20][9]
{
    if (!m_bMarkupRead) {
        m_bMarkupRead = true;
        ReadLongTable(QStringLiteral("SELECT Markup1, Markup2, Markup3, Markup4, Markup5, Markup6, Markup7, Markup8, "
                                     "Markup9  FROM MarkupTable ORDER BY [No]"),
                      m_Markup, 10000);
    }
    return m_Markup;
}

const qint32 (&PricingCache::Waste())[21][8]
{
    if (!m_bWasteRead) {
        m_bWasteRead = true;
        ReadLongTable(QStringLiteral("SELECT Setup, Waste1, Waste2, Waste3, Waste4, Waste5, Waste6, Waste7  FROM "
                                     "WasteTable ORDER BY [Level]"),
                      m_Waste, 1);
    }
    return m_Waste;
}

const PricingCache::DiffRow *PricingCache::Difficulty(qint32 serNo)
{
    auto it = m_difficulty.find(serNo);
    if (it != m_difficulty.end())
        return it->second.get();
    std::unique_ptr<DiffRow> row;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT * FROM ServiceDiffTables WHERE SerNo = %1").arg(serNo));
    if (!rs.isEOF()) {
        row = std::make_unique<DiffRow>();
        int position = 1;
        for (int r = 1; r <= 19; ++r)
            for (int c = 1; c <= 4; ++c)
                row->paper[r][c] = LongAt(rs, position++);
        for (int r = 1; r <= 19; ++r)
            for (int c = 0; c <= 4; ++c)
                row->job[r][c] = LongAt(rs, position++);
        for (int r = 0; r < 9; ++r)
            for (int c = 0; c < 2; ++c)
                row->runLength[r][c] = LongAt(rs, position++);
    }
    return m_difficulty.emplace(serNo, std::move(row)).first->second.get();
}

const PricingCache::PriceTable &PricingCache::PriceTableOf(qint32 serNo)
{
    auto it = m_priceTables.find(serNo);
    if (it != m_priceTables.end())
        return it->second;
    PriceTable table;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT * FROM ServicePriceTables WHERE Opt1 = 0 and SerNo = %1").arg(serNo));
    if (!rs.isEOF()) {
        table.present = true;
        if (rs.fieldCount() < 151) {
            table.tooShort = true;
        } else {
            table.columnBasis = LongAt(rs, 2);
            table.rowBasis = LongAt(rs, 3);
            table.reading = LongAt(rs, 4);
            table.method = LongAt(rs, 5);
            table.multiplier = LongAt(rs, 6);
            int position = 8;
            for (int r = 0; r <= 12; ++r)
                for (int c = 0; c <= 10; ++c)
                    table.grid[r][c] = LongAt(rs, position++);
        }
    }
    return m_priceTables.emplace(serNo, table).first->second;
}

bool PricingCache::RoundingLists(QString &limits, QString &steps)
{
    if (!m_bRoundingRead) {
        m_bRoundingRead = true;
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("Select AlertText, CusNo, AlertType FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 254"));
        if (!rs.isEOF()) {
            m_bHasRoundingRows = true;
            m_strRoundLimits = rs.value(0).toString();
            rs.moveNext();
            if (!rs.isEOF())
                m_strRoundSteps = rs.value(0).toString();
        }
    }
    limits = m_strRoundLimits;
    steps = m_strRoundSteps;
    return m_bHasRoundingRows;
}

quint8 PricingCache::JobType(qint32 jobId)
{
    const auto it = m_jobTypes.find(jobId);
    if (it != m_jobTypes.end())
        return it->second;
    const quint8 type = GetJobType(jobId);
    m_jobTypes.emplace(jobId, type);
    return type;
}

namespace {

qint64 ConnectionChanges()
{
    sqlite3 *handle = SharedDatabase().isOpen() ? SharedDatabase().handle() : nullptr;
    return handle ? qint64(sqlite3_total_changes64(handle)) : 0;
}

} // namespace

void PricingCache::ReadJobRows(qint32 jobId)
{
    m_jobRows.clear();
    m_writtenItems.clear();
    m_nRowsJobId = jobId;
    m_bJobRowsRead = true;
    m_nRowsChanges = ConnectionChanges();
    CItemSet rows;
    // The job is bound: every job's read reuses one prepared statement.
    rows.m_strFilter = QStringLiteral("JobID = ? and SerNo > -1");
    rows.m_filterValues = {platform::Value(jobId)};
    // In the index's order (the order the rows were written in); each item's
    // rows are put in SerNo order below, as the engine reads an item's rows
    // on its own, without the database sorting the job's wide rows.
    rows.Open(CXDaoSet::dbOpenSnapshot);
    if (!rows.IsOpen()) {
        // Reported by the set; every item of the job reads its own rows.
        m_bJobRowsRead = false;
        return;
    }
    std::vector<CItemSet> *current = nullptr;
    std::pair<qint32, qint32> currentKey(-1, -1);
    for (; !rows.IsEOF(); rows.MoveNext()) {
        const std::pair<qint32, qint32> key(rows.m_ItemNo, rows.m_SubNo);
        if (!current || key != currentKey) {
            current = &m_jobRows[key];
            currentKey = key;
        }
        current->emplace_back(rows);
    }
    SortJobRows();
}

void PricingCache::HoldJobRows(qint32 jobId, const std::vector<CItemSet> &rows)
{
    m_jobRows.clear();
    m_writtenItems.clear();
    m_nRowsJobId = jobId;
    m_bJobRowsRead = true;
    m_nRowsChanges = ConnectionChanges();
    for (const CItemSet &row : rows)
        m_jobRows[std::make_pair(qint32(row.m_ItemNo), qint32(row.m_SubNo))].push_back(row);
    SortJobRows();
}

void PricingCache::SortJobRows()
{
    const auto bySerNo = [](const CItemSet &a, const CItemSet &b) { return a.m_SerNo < b.m_SerNo; };
    for (auto &[key, itemRows] : m_jobRows) {
        if (!std::is_sorted(itemRows.begin(), itemRows.end(), bySerNo))
            std::stable_sort(itemRows.begin(), itemRows.end(), bySerNo);
    }
}

const std::vector<CItemSet> *PricingCache::ItemRows(qint32 jobId, qint32 itemNo, qint32 subNo)
{
    if (!m_bJobRowsRead || m_nRowsJobId != jobId || m_nRowsChanges != ConnectionChanges())
        ReadJobRows(jobId);
    if (!m_bJobRowsRead)
        return nullptr;
    const std::pair<qint32, qint32> key(itemNo, subNo);
    if (m_writtenItems.count(key))
        return nullptr;
    static const std::vector<CItemSet> kNoRows;
    const auto it = m_jobRows.find(key);
    return it == m_jobRows.end() ? &kNoRows : &it->second;
}

void PricingCache::ItemRowsWritten(qint32 jobId, qint32 itemNo, qint32 subNo)
{
    if (!m_bJobRowsRead || m_nRowsJobId != jobId)
        return;
    const std::pair<qint32, qint32> key(itemNo, subNo);
    m_jobRows.erase(key);
    m_writtenItems.insert(key);
    // The engine's own save is the only change since: the rest stays good.
    m_nRowsChanges = ConnectionChanges();
}
