// The job window's item structure commands: adding an item through the
// item specs window and deleting ticked items.
#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemSpecs.h"
#include "estimating/CListBoxDragDlg.h"
#include "app/base/CListItem.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "views/CDlgOptions.h"

#include <QtCore/QStringList>

#include <algorithm>

namespace {

struct ItemEntry
{
    qint32 itemId = 0;
    int itemNo = 0;
    int subNo = 0;
    int lock = 0;
    QString description;
};

std::vector<ItemEntry> jobItems(platform::Database *db, qint32 jobId)
{
    std::vector<ItemEntry> out;
    CXDaoSet rows(db);
    rows.Open(CXDaoSet::dbOpenSnapshot,
              QStringLiteral("SELECT ItemID, ItemNo, SubNo, Mix, Description FROM Items WHERE JobID = %1 and SerNo = 0 "
                             "ORDER BY ItemNo, SubNo")
                  .arg(jobId));
    while (!rows.IsEmptySet() && !rows.IsEOF()) {
        out.push_back({rows.GetFieldValue(0).toInt(), rows.GetFieldValue(1).toInt(), rows.GetFieldValue(2).toInt(),
                       rows.GetFieldValue(3).toInt(), rows.GetFieldValue(4).toString()});
        rows.MoveNext();
    }
    return out;
}

QString itemNumber(int itemNo, int subNo)
{
    return subNo != 0 ? QStringLiteral("%1.%2").arg(itemNo).arg(subNo) : QString::number(itemNo);
}

} // namespace

bool CJobDlg::ItemRowsDeletable(int itemNo, int subNo)
{
    if (m_pJob->IsCreditOrCredited()) {
        platform::Prompt::messageBox(QStringLiteral("Can not delete Items of CREDIT or CREDITED Invoices."), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    CXDaoSet first(m_pJob->m_pDatabase);
    first.Open(CXDaoSet::dbOpenSnapshot,
               QStringLiteral("SELECT SerNo, Mix FROM Items WHERE JobID = %1 and ItemNo = %2 and SubNo = %3 "
                              "ORDER BY SerNo")
                   .arg(m_pJob->m_JobID)
                   .arg(itemNo)
                   .arg(subNo));
    if (!first.IsEmptySet() && first.GetFieldValue(0).toInt() == 0 && first.GetFieldValue(1).toInt() > 0) {
        platform::Prompt::messageBox(QStringLiteral("Can not delete LOCKED Items.\n\nITEM ") +
                                         itemNumber(itemNo, subNo) + QStringLiteral(" will not be deleted."),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CJobDlg::DeleteItemRows(int itemNo, int subNo)
{
    // A main item (SubNo 1) takes its sub-items along.
    QString condition = QStringLiteral("JobID = %1 and ItemNo = %2").arg(m_pJob->m_JobID).arg(itemNo);
    if (subNo != 1)
        condition += QStringLiteral(" and SubNo = %1").arg(subNo);
    platform::Database &db = m_pJob->m_pDatabase ? *m_pJob->m_pDatabase : SharedDatabase();
    db.execute(QStringLiteral("DELETE FROM Items WHERE ") + condition);
}

void CJobDlg::DeleteCheckedItems(qint32 preselect)
{
    // A credit or credited invoice (always shown read-only) keeps all its
    // items: said at once rather than after the items were ticked.
    if (m_pJob->IsCreditOrCredited() && m_nItems > 0) {
        ItemRowsDeletable(0, 0);
        return;
    }
    if (isPreview() || m_nItems == 0)
        return;
    const std::vector<ItemEntry> items = jobItems(m_pJob->m_pDatabase, m_pJob->m_JobID);
    CDlgOptions options(QStringLiteral("Delete Checked Item(s)"),
                        QStringLiteral("IMPORTANT: If you delete a main Sub-Item (1.1, 2.1), its Sub-Items will be "
                                       "deleted, too."),
                        CDlgOptions::kHeadingImage, this);
    options.AddCheckGroup(QStringLiteral("Check Items you want to delete:"), 0);
    for (const ItemEntry &e : items)
        options.AddEntry(e.itemId,
                         QStringLiteral("%1%2.%3 %4")
                             .arg(e.subNo >= 2 ? QStringLiteral("      ") : QString())
                             .arg(e.itemNo)
                             .arg(e.subNo)
                             .arg(e.description),
                         e.itemId == preselect ? 1 : 0);
    options.m_strConfirm = QStringLiteral("Delete the checked Items now?");
    if (options.DoModal() != IDOK_RESULT)
        return;

    // The refusals are said first; the deletion and the job's new totals are
    // then one change.
    std::vector<const ItemEntry *> chosen;
    for (const ItemEntry &e : items)
        if (options.IsEntryChecked(e.itemId) && ItemRowsDeletable(e.itemNo, e.subNo))
            chosen.push_back(&e);
    if (chosen.empty())
        return;
    QString failure;
    const bool done = SaveItemsWithJob(
        [&] {
            for (const ItemEntry *e : chosen)
                DeleteItemRows(e->itemNo, e->subNo);
            return true;
        },
        false, QStringLiteral("None of the checked items was deleted."), &failure);
    if (!failure.isEmpty())
        platform::Prompt::messageBox(QStringLiteral("The items could not be deleted; nothing was changed.\n\n") +
                                         failure,
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    if (!done)
        return;
    RefillItems(false);
    CheckAndSave(1);
}

void CJobDlg::AddNewItem(int productType)
{
    if (!ItemsChangeable())
        return;
    qint32 before = 0;
    {
        CXDaoSet last(m_pJob->m_pDatabase);
        last.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Max(ItemID) FROM Items"));
        if (!last.IsEmptySet() && !last.GetFieldValue(0).isNull())
            before = last.GetFieldValue(0).toInt();
    }
    // The product type chosen in the new-item dialog, when one was.
    const auto preset = [productType](CItemSpecsData &data) {
        if (productType > 0)
            data.m_nProductType = quint8(productType);
    };
    if (CItemSpecs::NewItem(m_pJob->m_JobID, this, preset, ItemSaveAlongside()) != IDOK_RESULT)
        return;
    CXDaoSet added(m_pJob->m_pDatabase);
    added.Open(CXDaoSet::dbOpenSnapshot,
               QStringLiteral("SELECT ItemID, Description FROM Items WHERE JobID = %1 and SerNo = 0 and ItemID > %2 "
                              "ORDER BY ItemID DESC")
                   .arg(m_pJob->m_JobID)
                   .arg(before));
    if (!added.IsEmptySet()) {
        UpdateTitleItems(added.GetFieldValue(1).toString());
        m_nCurrentItemId = added.GetFieldValue(0).toInt();
    }
    RefillItems(false);
    CheckAndSave(1);
}

void CJobDlg::OnSubItem()
{
    if (!ItemsChangeable() || !SelectCurrentItem(false))
        return;
    if (platform::Prompt::messageBox(QStringLiteral("Add a Sub-Item to the selected Item?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    const CItemSet &item = itemRecord();
    platform::Database &db = m_pJob->m_pDatabase ? *m_pJob->m_pDatabase : SharedDatabase();
    qint32 added = 0;
    // The renumbering into a group, the new row and the job's figures are
    // one change.
    QString failure;
    const bool done = SaveItemsWithJob([&] {
        if (item.m_SubNo == 0)
            db.execute(QStringLiteral("UPDATE Items SET Items.SubNo = 1 WHERE Items.JobID = %1 and Items.ItemNo = %2")
                           .arg(item.m_JobID)
                           .arg(item.m_ItemNo));
        CXDaoSet last(&db);
        last.Open(CXDaoSet::dbOpenSnapshot,
                  QStringLiteral("SELECT Max(SubNo) FROM Items WHERE JobID = %1 and ItemNo = %2")
                      .arg(item.m_JobID)
                      .arg(item.m_ItemNo));
        const int subNo = std::max(1, last.IsEmptySet() ? 1 : last.GetFieldValue(0).toInt()) + 1;
        last.Close();
        // A new row starts with every number at 0 (never Null, which the
        // money rules, the tax sum among them, would not count).
        CItemSet sub(&db);
        sub.m_strFilter = QStringLiteral("ItemID = 0");
        sub.Open(CXDaoSet::dbOpenDynaset);
        sub.AddNew();
        sub.m_JobID = item.m_JobID;
        sub.m_ItemNo = item.m_ItemNo;
        sub.m_SubNo = quint8(subNo);
        sub.m_Description = item.m_Description;
        sub.m_ChargeQty = item.m_ChargeQty;
        sub.m_Side1 = item.m_Side1;
        sub.m_Side2 = item.m_Side2;
        sub.m_Opt1 = item.m_Opt1;
        sub.m_Opt2 = item.m_Opt2;
        sub.m_Opt3 = item.m_Opt3;
        sub.m_Width = item.m_Width;
        sub.m_Height = item.m_Height;
        sub.m_Sheets = 1;
        sub.SetDefaultStatus();
        sub.Update();
        sub.Close();
        CXDaoSet id(&db);
        id.Open(CXDaoSet::dbOpenSnapshot,
                QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 and ItemNo = %2 and SubNo = %3 and SerNo = 0")
                    .arg(item.m_JobID)
                    .arg(item.m_ItemNo)
                    .arg(subNo));
        added = id.IsEmptySet() ? 0 : id.GetFieldValue(0).toInt();
        id.Close();
        return true;
    }, false, QStringLiteral("The Sub-Item was not added."), &failure);
    if (!failure.isEmpty())
        platform::Prompt::messageBox(QStringLiteral("The Sub-Item could not be added; nothing was changed.\n\n") +
                                         failure,
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    if (!done)
        return;
    if (added)
        m_nCurrentItemId = added;
    RefillItems(false);
    CheckAndSave(1);
    EditItemSpecs(added);
}

void CJobDlg::OnRearrange()
{
    if (!ItemsChangeable() || m_nItems == 0)
        return;
    const std::vector<ItemEntry> items = jobItems(m_pJob->m_pDatabase, m_pJob->m_JobID);
    CListBoxDragDlg dialog(0, CListBoxDragDlg::LevelButtons | CListBoxDragDlg::MoveButtons, this);
    dialog.m_strWindowTitle = QStringLiteral("Rearrange Items");
    dialog.m_strRibbonTitle = QStringLiteral("Rearrange Items");
    dialog.m_nColorScheme = m_nHue;
    for (const ItemEntry &e : items)
        dialog.AddItem(e.itemId, e.description, 20, e.itemNo, e.subNo);
    if (dialog.DoModal() != IDOK_RESULT)
        return;

    // Each moved item's rows (the item row and its services) are found by
    // their old numbers first and renumbered by ItemID, so that items
    // swapping numbers never take each other's rows; the whole
    // rearrangement is one change.
    platform::Database &db = m_pJob->m_pDatabase ? *m_pJob->m_pDatabase : SharedDatabase();
    try {
        // The rows of each item are looked up within the write, so a service
        // another workstation added to an item meanwhile moves with it.
        platform::Transaction transaction(db);
        struct Move
        {
            QStringList ids;
            int itemNo;
            int subNo;
        };
        std::vector<Move> moves;
        for (const CListItem &out : dialog.m_rowsOut) {
            const auto found = std::find_if(items.begin(), items.end(),
                                            [&](const ItemEntry &e) { return e.itemId == out.m_value; });
            if (found == items.end())
                continue;
            const int itemNo = out.number(7);
            const int subNo = out.number(8);
            if (itemNo == found->itemNo && subNo == found->subNo)
                continue;
            Move move{{}, itemNo, subNo};
            CXDaoSet rows(&db);
            rows.Open(CXDaoSet::dbOpenSnapshot,
                      QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 and ItemNo = %2 and SubNo = %3")
                          .arg(m_pJob->m_JobID)
                          .arg(found->itemNo)
                          .arg(found->subNo));
            while (!rows.IsEmptySet() && !rows.IsEOF()) {
                move.ids << QString::number(rows.GetFieldValue(0).toInt());
                rows.MoveNext();
            }
            moves.push_back(move);
        }
        for (const Move &m : moves)
            if (!m.ids.isEmpty())
                db.execute(QStringLiteral("UPDATE Items SET ItemNo = %1, SubNo = %2 WHERE ItemID IN (%3)")
                               .arg(m.itemNo)
                               .arg(m.subNo)
                               .arg(m.ids.join(QLatin1Char(','))));
        transaction.commit();
    } catch (const platform::DbException &e) {
        platform::Prompt::messageBox(QStringLiteral("The items could not be rearranged; nothing was changed.\n\n") +
                                         e.description(),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    RefillItems(false);
}
