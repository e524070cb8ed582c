// The job window's item copies: pasting an item (or a whole group) within
// the job, adding an item of another job, and the scanner's item and job
// codes.
#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtWidgets/QApplication>

#include <vector>

namespace {

// The copy choice that gives a copied item the customer's price level.
constexpr int kItemPriceLevelChoice = 2048;
// How often a paste is tried against a busy database before it gives up.
constexpr int kPasteAttempts = 3;

// The item number the last copied main item of a group got, so that the
// group's sub-items copied after it join it; kept for the program's run.
int g_lastGroupItemNo = 0;

struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

bool hasSamplesTable(platform::Database &db)
{
    try {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Count(*) FROM Samples WHERE ItemID = 0"));
        return true;
    } catch (const platform::DbException &) {
        return false;
    }
}

} // namespace

bool CJobDlg::PasteItemRows(qint32 jobId, int itemNo, int subNo, quint8 priceLevel, int mode)
{
    if (jobId == 0 || itemNo == 0 || !ItemsChangeable())
        return false;
    WaitCursor wait;
    platform::Database &db = m_pJob->m_pDatabase ? *m_pJob->m_pDatabase : SharedDatabase();
    // The source rows as they are stored: the item row first, then its services.
    std::vector<CItemSet> sources;
    try {
        CItemSet source(&db);
        if (!source.OpenItemRows(jobId, itemNo, subNo, CItemSet::AllRows) || source.IsEmptySet())
            return false;
        for (; !source.IsEOF(); source.MoveNext())
            sources.emplace_back(source);
    } catch (const platform::DbException &) {
        return false;
    }

    // The numbers of the copy.
    const qint32 thisJob = m_pJob->m_JobID;
    int targetItemNo = 0;
    int targetSubNo = 0;
    if (mode == 2) {
        targetItemNo = itemNo;
        targetSubNo = CItemSet::GetNextSubNo(thisJob, itemNo);
        if (targetSubNo == 0)
            return false;
    } else if (mode == 1 && subNo != 0) {
        targetItemNo = subNo == 1 ? CItemSet::GetNextItemNo(thisJob) : g_lastGroupItemNo;
        targetSubNo = subNo;
        g_lastGroupItemNo = targetItemNo;
    } else {
        targetItemNo = CItemSet::GetNextItemNo(thisJob);
    }
    if (targetItemNo == 0)
        return false;

    const bool order = m_pJob->m_JobType == CJobSet::Order;
    const bool samples = hasSamplesTable(db);
    QString description;
    qint32 newItemId = 0;
    // The item, its service rows, its sample and the job's figures are one
    // change: a row that cannot be written takes the whole item back, and the
    // user may try the whole item again a few times while another
    // workstation holds the file.
    for (int attempt = 1;; ++attempt) {
        QString failure;
        const bool pasted = SaveItemsWithJob([&] {
            CItemSet target(&db);
            target.m_strFilter = QStringLiteral("ItemID = 0");
            target.Open(CXDaoSet::dbOpenDynaset);
            newItemId = 0;
            for (const CItemSet &row : sources) {
                target.AddNew();
                target.CopyFields(row);
                target.m_JobID = thisJob;
                target.m_ItemNo = quint8(targetItemNo);
                target.m_SubNo = quint8(targetSubNo);
                if (row.m_SerNo == 0) {
                    target.m_Up = -row.m_ItemID;
                    target.m_Status = 0;
                    if (order)
                        target.StripBracedText();
                    if (target.m_Description.startsWith(QStringLiteral("--> ")))
                        target.m_Description.remove(0, 4);
                    if (priceLevel != 255)
                        target.m_Side2 = priceLevel;
                    target.SetDefaultStatus();
                    description = target.m_Description;
                } else {
                    target.SetDefaults();
                }
                target.Update();
                if (row.m_SerNo == 0) {
                    platform::Recordset id(db);
                    id.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(ItemID) FROM Items"));
                    newItemId = id.value(0).toInt();
                    if (samples)
                        CItemSet::CopySample(db, row.m_ItemID, newItemId);
                }
            }
            target.Close();
            return true;
        }, false, QStringLiteral("The Item was not pasted."), &failure);
        if (pasted)
            break;
        if (!failure.isEmpty()) {
            if (attempt < kPasteAttempts) {
                platform::Prompt::messageBox(QStringLiteral("Database is too busy to paste item!\nClick OK to try again."),
                                             QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
                continue;
            }
            platform::Prompt::messageBox(QStringLiteral("The Item could not be pasted; nothing was changed.\n\n") +
                                             failure,
                                         QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        }
        return false;
    }
    if (m_pJob->m_Title.trimmed().isEmpty())
        UpdateTitleItems(description);
    if (newItemId != 0)
        m_nCurrentItemId = newItemId;
    RefillItems(false);
    CheckAndSave(1);
    return true;
}

void CJobDlg::OnPasteItem()
{
    if (!ItemsChangeable() || !SelectCurrentItem(false))
        return;
    const CItemSet &item = itemRecord();
    const qint32 jobId = item.m_JobID;
    const int itemNo = item.m_ItemNo;
    const int subNo = item.m_SubNo;
    auto ask = [](const char *text) {
        return platform::Prompt::messageBox(QString::fromLatin1(text), QString(), platform::MB_YESNO) ==
               platform::IDYES;
    };
    if (subNo == 1) {
        if (!ask("Paste the selected Item and its Sub-Items?"))
            return;
        std::vector<int> subNos;
        try {
            CItemSet group(m_pJob->m_pDatabase);
            group.m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SerNo = 0").arg(jobId).arg(itemNo);
            group.m_strSort = QStringLiteral("SubNo");
            group.Open(CXDaoSet::dbOpenSnapshot);
            for (; !group.IsEOF(); group.MoveNext())
                subNos.push_back(group.m_SubNo);
        } catch (const platform::DbException &) {
            return;
        }
        for (const int s : subNos)
            if (PasteItemRows(jobId, itemNo, s, 255, 1))
                EditItemSpecs(m_nCurrentItemId);
    } else if (subNo >= 2) {
        if (ask("Paste the selected Sub-Item?") && PasteItemRows(jobId, itemNo, subNo, 255, 2))
            EditItemSpecs(m_nCurrentItemId);
    } else {
        if (ask("Paste the selected Item?") && PasteItemRows(jobId, itemNo, 0, 255, 0))
            EditItemSpecs(m_nCurrentItemId);
    }
}

void CJobDlg::AddItemFromJob(qint32 jobId, int itemNo, int subNo)
{
    if (jobId == 0 || itemNo == 0)
        return;
    // The source's type matters only for an order; otherwise it counts as one.
    quint8 sourceType = 0;
    if (m_pJob->m_JobType == CJobSet::Order) {
        CJobSet source(m_pJob->m_pDatabase);
        try {
            if (source.FindByField(QStringLiteral("JobID"), jobId))
                sourceType = source.m_JobType;
        } catch (const platform::DbException &) {
            sourceType = 0;
        }
    }
    const int choices = GetConvertOptions(sourceType, quint8(m_pJob->m_JobType));
    const quint8 level = (choices & kItemPriceLevelChoice) ? m_nPriceLevel : quint8(255);
    if (!PasteItemRows(jobId, itemNo, subNo, level, 0))
        return;
    OnRepriceItem();
    if (sourceType == CJobSet::Template)
        EditItemSpecs(m_nCurrentItemId);
}

void CJobDlg::OnScanCommand(int command)
{
    switch (command) {
    case 30410: {
        const qint32 itemId = m_barCode.m_nObject;
        m_barCode.Reset();
        if (isPreview() || itemId == 0)
            return;
        CItemSet item(m_pJob->m_pDatabase);
        try {
            if (!item.OpenByItemID(itemId) || item.IsEmptySet())
                return; // an item that does not exist adds nothing
        } catch (const platform::DbException &) {
            return;
        }
        if (platform::Prompt::messageBox(item.m_Description +
                                             QStringLiteral("\n\nDo you want to add the Item you scanned to this job?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
            AddItemFromJob(item.m_JobID, item.m_ItemNo, item.m_SubNo);
        return;
    }
    case 30598:
        EndWithCommand(30598);
        return;
    default:
        m_barCode.Reset();
        return;
    }
}
