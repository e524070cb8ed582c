// The job window's item commands that change how an item is priced: tax
// exemption, the price lock, repricing one item, and the entries into the
// item's specifications and costs windows. Each works on the window's item
// record positioned on the selected row and ends with a refill.
#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "estimating/CItemCosts.h"
#include "estimating/CItemPrice.h"
#include "estimating/CItemSpecs.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "views/CDlgOptions.h"

namespace {

using platform::Prompt;

QString itemLabel(const CItemSet &item)
{
    return item.GetItemNoText(QStringLiteral("ITEM "));
}

bool askYesNo(const QString &text, unsigned icon)
{
    return Prompt::messageBox(text, QString(), platform::MB_YESNO | icon) == platform::IDYES;
}

bool checkPasswordLevel(int level)
{
    CZqApp *app = ZqApp();
    return app && app->CheckPassword(-level, QString());
}

} // namespace

CItemSet &CJobDlg::itemRecord()
{
    if (!m_pItem)
        m_pItem = std::make_unique<CItemSet>(m_pJob->m_pDatabase);
    return *m_pItem;
}

bool CJobDlg::ItemsChangeable() const
{
    // A preview, and a credit or credited invoice, is posted or read-only:
    // no command may change its items (their totals would go stale).
    return !isPreview() && !m_pJob->IsCreditOrCredited();
}

bool CJobDlg::SelectCurrentItem(bool edit)
{
    if (m_wndList.GetItemCount() == 0)
        return false;
    int row = m_wndList.GetCurrentRow();
    if (row < 0 || !m_wndList.IsItemSelected(row)) {
        row = -1;
        for (int r = 0; r < m_wndList.GetItemCount() && row < 0; ++r)
            if (m_wndList.IsItemSelected(r))
                row = r;
    }
    if (row < 0) {
        row = 0;
        m_wndList.SelectItem(0);
    }
    qint64 itemId = m_wndList.GetItemData(row);
    if (itemId == 0 && row > 0)
        itemId = m_wndList.GetItemData(row - 1);
    if (itemId == 0)
        return false;
    CItemSet &item = itemRecord();
    try {
        if (item.GetEditMode() != CXDaoSet::dbEditNone)
            item.CancelUpdate();
        item.m_strFilter = QStringLiteral("ItemID = %1").arg(itemId);
        if (!item.RequeryOrOpen(false) || item.IsEmptySet())
            return false;
    } catch (const platform::DbException &) {
        return false;
    }
    // A service row leads to its item's own row.
    if (item.m_SerNo != 0) {
        item.m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = %3 and SerNo = 0")
                               .arg(item.m_JobID)
                               .arg(item.m_ItemNo)
                               .arg(item.m_SubNo);
        if (!item.RequeryOrOpen(false) || item.IsEmptySet())
            return false;
    }
    m_nCurrentItemId = item.m_ItemID;
    return edit ? item.SafeEdit() : true;
}

bool CJobDlg::PriceLockRefuses(const QString &action)
{
    if (!SelectCurrentItem(false))
        return false;
    CItemSet &item = itemRecord();
    const int level = item.m_Mix;
    if (level == 0)
        return false;
    QString text = QStringLiteral("%1 - PRICE IS LOCKED. \n\nIf you %2:\n - The current price may be lost.\n - The "
                                  "new price will remain locked.\n\nDo you want to %2?")
                       .arg(itemLabel(item), action);
    if (level >= 2)
        text += QStringLiteral("\n(you need password level %1)").arg(level - 1);
    if (!askYesNo(text, platform::MB_ICONSTOP))
        return true;
    if (level == 1)
        return false;
    return !checkPasswordLevel(level - 1);
}

void CJobDlg::OnTaxExempt()
{
    if (!ItemsChangeable() || !SelectCurrentItem(true))
        return;
    CItemSet &item = itemRecord();
    const bool exempt = item.m_Bleed == 1;
    if (!askYesNo(QStringLiteral("Do you want to make the %1 TAX%2?")
                      .arg(itemLabel(item), exempt ? QStringLiteral("ABLE") : QStringLiteral("-EXEMPT")),
                  platform::MB_ICONQUESTION)) {
        item.CancelUpdate();
        return;
    }
    item.m_Bleed = exempt ? 0 : 1;
    if (!item.SaveRecord())
        return;
    RefillItems(true);
    CheckAndSave(1);
}

void CJobDlg::OnLockPrice()
{
    if (!ItemsChangeable() || !SelectCurrentItem(true))
        return;
    CItemSet &item = itemRecord();
    auto stop = [&] { item.CancelUpdate(); };
    if (item.m_Mix > 0) {
        if (!askYesNo(QStringLiteral("Do you want to unlock the price of ") + itemLabel(item) + QStringLiteral("?"),
                      platform::MB_ICONQUESTION))
            return stop();
        if (item.m_Mix >= 2 && !checkPasswordLevel(item.m_Mix - 1))
            return stop();
        item.m_Mix = 0;
    } else {
        CDlgOptions options(QStringLiteral("Lock Item Price"), QString(), CDlgOptions::kHeadingImage, this);
        options.AddRadioGroup(QStringLiteral("Select a Password Protection Level:"), 0);
        options.AddEntry(2, QStringLiteral("TOP LEVEL Protection (requires top level password to lock/unlock)"));
        options.AddEntry(3, QStringLiteral("Level 2"));
        options.AddEntry(4, QStringLiteral("Level 3"));
        options.AddEntry(5, QStringLiteral("Level 4"));
        options.AddEntry(6, QStringLiteral("Level 5"));
        options.AddEntry(1, QStringLiteral("LOW LEVEL Protection (no password is asked, just a Yes or No question "
                                           "to unlock)"),
                         1); // preselected
        options.m_nSelect = {1, 0, 0};
        if (options.DoModal() != IDOK_RESULT)
            return stop();
        const long level = options.GetCheckedInRange(1, 6);
        if (level < 1)
            return stop();
        if (level >= 2 && !checkPasswordLevel(int(level) - 1))
            return stop();
        item.m_Mix = quint8(level);
    }
    if (!item.SaveRecord())
        return;
    RefillItems(false);
    CheckAndSave(1);
}

void CJobDlg::OnRepriceItem()
{
    if (!ItemsChangeable() || !SelectCurrentItem(false) || PriceLockRefuses(QStringLiteral("reprice")))
        return;
    {
        CItemPrice engine(&itemRecord(), false);
        engine.PriceItem(0);
    }
    RefillItems(false);
    CheckAndSave(1);
}

void CJobDlg::EditItemSpecs(qint32 focusItemId)
{
    if (!SelectCurrentItem(false))
        return;
    if (ItemsChangeable() && PriceLockRefuses(QStringLiteral("edit specs")))
        return;
    Q_UNUSED(focusItemId); // the window opens on the item; it picks its own row
    const qint32 itemId = itemRecord().m_ItemID;
    if (CItemSpecs::EditItem(itemId, this, !ItemsChangeable()) != IDOK_RESULT)
        return;
    if (RefillItems(false))
        CheckAndSave(1);
}

void CJobDlg::EditItemCosts(qint32 focusItemId)
{
    CZqApp *app = ZqApp();
    if (!SelectCurrentItem(false))
        return;
    if (!app || !app->CheckPassword(41 + m_pJob->m_JobType, QString()))
        return;
    if (ItemsChangeable() && PriceLockRefuses(QStringLiteral("edit costs")))
        return;
    const QString jobLabel = m_pJob->GetJobLabel();
    if (CItemCosts::EditCosts(&itemRecord(), jobLabel, m_nHue, !ItemsChangeable(), focusItemId, this) != IDOK_RESULT)
        return;
    if (RefillItems(false))
        CheckAndSave(1);
}
