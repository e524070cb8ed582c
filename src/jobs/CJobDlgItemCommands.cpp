// The job window's item commands that change how an item is priced: tax
// exemption, the price lock, repricing one item, and the entries into the
// item's specs and costs windows. Each works on the window's item
// record positioned on the selected row and ends with a refill.
#include "jobs/CJobDlg.h"
#include "data/AnswersOutsideLock.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "controls/CXListCtrl.h"
#include "controls/DrawTextFormat.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemCosts.h"
#include "estimating/CItemPrice.h"
#include "estimating/CItemSpecs.h"
#include "estimating/PricingCache.h"
#include "jobs/JobItemTotals.h"
#include "views/CDlgGrid.h"
#include <optional>
#include <QtWidgets/QApplication>
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "views/CDlgOptions.h"

namespace {

// A writer of SaveItemsOntoJob runs again when the save was rolled back for a
// question (see AnswersOutsideLock): its item's row is read again as stored
// and edited anew, for the writer to set its change onto it again.
bool editAgain(CItemSet &item, int &runs)
{
    if (runs++ == 0)
        return true;
    try {
        if (item.GetEditMode() != CXDaoSet::dbEditNone)
            item.CancelUpdate();
        item.Requery();
    } catch (const platform::DbException &) {
        return false;
    }
    return !item.IsEmptySet() && item.SafeEdit();
}

using platform::Prompt;

QString itemLabel(const CItemSet &item)
{
    return item.GetItemNoText(QStringLiteral("ITEM "));
}

bool askYesNo(const QString &text, unsigned icon)
{
    return Prompt::messageBox(text, QString(), platform::MB_YESNO | icon) == platform::IDYES;
}

// A refused command leaves the item record as it was read.
void cancelItemEdit(CItemSet &item)
{
    try {
        if (item.GetEditMode() != CXDaoSet::dbEditNone)
            item.CancelUpdate();
    } catch (const platform::DbException &) {
    }
}

bool checkPasswordLevel(int level)
{
    CZqApp *app = ZqApp();
    return app && app->CheckPassword(-level, QString());
}

// Every column of the job's item rows as stored, a row a line: what a
// pricing works from, to be found the same when its figures are written.
// With an item's numbers, that item's rows only (a negative itemNo: all).
QStringList storedItemRows(platform::Database *database, qint32 jobId, int itemNo = -1, int subNo = 0)
{
    QStringList rows;
    platform::Recordset rs(database ? *database : SharedDatabase());
    if (itemNo < 0)
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT * FROM Items WHERE JobID = ? ORDER BY ItemID"), {platform::Value(jobId)});
    else
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT * FROM Items WHERE JobID = ? and ItemNo = ? and SubNo = ? ORDER BY ItemID"),
                {platform::Value(jobId), platform::Value(itemNo), platform::Value(subNo)});
    for (; !rs.isEOF(); rs.moveNext()) {
        QStringList values;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const platform::Value v = rs.value(i);
            values << (v.isNull() ? QStringLiteral("\u0001") : v.toString());
        }
        rows << values.join(QChar(0x1f));
    }
    return rows;
}

// Whether another user has stored a value of the item row's column, since
// this window read `read` there, other than `mine`: saving `mine` over it
// would have to ask which to keep.
bool storedOtherThan(platform::Database *database, qint32 itemId, const QString &column, int read, int mine)
{
    platform::Recordset rs(database ? *database : SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT %1 FROM Items WHERE ItemID = ?").arg(column),
            {platform::Value(itemId)});
    if (rs.isEOF())
        return false; // gone: the save says so
    const int now = rs.value(0).isNull() ? 0 : rs.value(0).toInt();
    return now != read && now != mine;
}

// The reprice result grid: the grid window laid out for its six columns.
class RepriceGrid : public CDlgGrid
{
public:
    RepriceGrid(QWidget *parent, int rows) : CDlgGrid(420, parent, 1, 214)
    {
        constexpr int width = 60 + 200 + 3 * 75 + 160 + 20;
        const int shown = std::clamp(rows, 3, 16);
        AddStandardLayout(QSize(width + 2 * kMargin, shown * 24 + 200), QRect(kMargin, 76, width, shown * 24 + 30));
    }
};

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
    const int read = item.m_Bleed;
    const quint8 wanted = exempt ? 0 : 1;
    item.m_Bleed = wanted;
    // The job's taxable amounts and taxes change with it. Another user's
    // other mark, saved while the question was up, is refused rather than
    // asked about while the file is held.
    int runs = 0;
    const auto write = [&] {
        if (!editAgain(item, runs))
            return int(CJobSet::ItemsJobFailed);
        item.m_Bleed = wanted;
        if (storedOtherThan(item.m_pDatabase, item.m_ItemID, QStringLiteral("Bleed"), read, item.m_Bleed))
            return int(CJobSet::ItemsJobFiguresChanged);
        return int(item.SaveRecord() ? CJobSet::ItemsJobReady : CJobSet::ItemsJobCancelled);
    };
    if (!SaveItemsOntoJob(write, true, QStringLiteral("Nothing of this item was saved."))) {
        cancelItemEdit(item);
        return;
    }
    RefillItems(true);
    CheckAndSave(1);
}

void CJobDlg::OnLockPrice()
{
    if (!ItemsChangeable() || !SelectCurrentItem(true))
        return;
    CItemSet &item = itemRecord();
    auto stop = [&] { item.CancelUpdate(); };
    const int read = item.m_Mix;
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
    // Another user's lock, saved while this one was chosen, is refused
    // rather than asked about while the file is held.
    const quint8 wanted = item.m_Mix;
    int runs = 0;
    const auto write = [&] {
        if (!editAgain(item, runs))
            return int(CJobSet::ItemsJobFailed);
        item.m_Mix = wanted;
        if (storedOtherThan(item.m_pDatabase, item.m_ItemID, QStringLiteral("Mix"), read, item.m_Mix))
            return int(CJobSet::ItemsJobFiguresChanged);
        return int(item.SaveRecord() ? CJobSet::ItemsJobReady : CJobSet::ItemsJobCancelled);
    };
    if (!SaveItemsOntoJob(write, false, QStringLiteral("Nothing of this item was saved."))) {
        cancelItemEdit(item);
        return;
    }
    RefillItems(false);
    CheckAndSave(1);
}

void CJobDlg::OnRepriceItem()
{
    if (!ItemsChangeable() || !SelectCurrentItem(false) || PriceLockRefuses(QStringLiteral("reprice")))
        return;
    // The pricing and every question it asks come first; the transaction
    // that writes the item's rows and the job's figures then only writes
    // what was priced, onto the item's rows as they were priced (the other
    // items count through the job's figures, which the save checks).
    const QString nothing = QStringLiteral("Nothing of this item was saved.");
    // A job posted, deleted or saved by another user since it was read is
    // refused before the pricing asks anything (nothing is written then).
    if (m_pJob->StoredStateForItems() != CJobSet::ItemsJobReady) {
        SaveItemsOntoJob([] { return int(CJobSet::ItemsJobReady); }, false, nothing);
        return;
    }
    const CItemSet &item = itemRecord();
    const qint32 itemNo = item.m_ItemNo;
    const qint32 subNo = item.m_SubNo;
    const QStringList priced = storedItemRows(m_pJob->m_pDatabase, m_pJob->m_JobID, itemNo, subNo);
    CItemPrice engine(&itemRecord(), false);
    const int choice = engine.PriceItemUnsaved(0);
    QString refusal;
    const bool saved = SaveItemsOntoJob(
        [&] {
            if (storedItemRows(m_pJob->m_pDatabase, m_pJob->m_JobID, itemNo, subNo) != priced)
                return int(CJobSet::ItemsJobFiguresChanged);
            if (choice != 0)
                engine.SaveChosenRows(&refusal);
            return int(CJobSet::ItemsJobReady);
        },
        false, nothing);
    if (!refusal.isEmpty())
        Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    if (!saved)
        return;
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
    if (CItemSpecs::EditItem(itemId, this, !ItemsChangeable(), ItemSaveAlongside()) != IDOK_RESULT)
        return;
    if (RefillItems(false))
        CheckAndSave(1);
}

QString CJobDlg::ItemsRefusal(int state, bool readAgain, const QString &nothing, const QString &again,
                              const QString &reopen)
{
    CJobSet &job = *m_pJob;
    const QString label = job.GetJobLabel();
    switch (CJobSet::ItemsJobState(state)) {
    case CJobSet::ItemsJobReady:
    case CJobSet::ItemsJobCancelled:
        return QString();
    case CJobSet::ItemsJobPosted:
        return label + QStringLiteral(" has been posted since you opened it: a posted job's items are not changed "
                                      "here.\n\n")
            + nothing;
    case CJobSet::ItemsJobGone:
        return label + QStringLiteral(" has been deleted since you opened it.\n\n") + nothing;
    case CJobSet::ItemsJobFiguresChanged:
        // Never inside the items' transaction: rows written there are not
        // the job's until it is kept.
        readAgain = readAgain && job.ReadAgainForItems();
        if (readAgain)
            FillControls(false);
        return QStringLiteral("Another user has saved the figures of ") + label
            + QStringLiteral(" (an item of it, or its totals) since you opened it.\n\n") + nothing
            + (readAgain ? again : reopen);
    case CJobSet::ItemsJobFailed:
        return QStringLiteral("The job of these items could not be saved.\n\n") + nothing;
    }
    return QString();
}

bool CJobDlg::SaveItemsWithJob(const std::function<bool()> &write, bool forceTotals, const QString &nothing,
                               QString *failure)
{
    return SaveItemsOntoJob(
        [&write] { return write() ? int(CJobSet::ItemsJobReady) : int(CJobSet::ItemsJobCancelled); }, forceTotals,
        nothing, failure);
}

bool CJobDlg::SaveItemsOntoJob(const std::function<int()> &write, bool forceTotals, const QString &nothing,
                               QString *failure)
{
    CJobSet &record = *m_pJob;
    CJobSet::ItemsJobState state = record.StoredStateForItems();
    bool said = false;
    if (state == CJobSet::ItemsJobReady) {
        // Refused, the record holds the job as it did before.
        CJobSet before(record.m_pDatabase);
        before = record;
        platform::Database &db = record.m_pDatabase ? *record.m_pDatabase : SharedDatabase();
        bool given = false; // the writer failed or gave up
        // A question the save meets inside its transaction (a field of the
        // job another user saved too) is asked once it has rolled back, and
        // the save is made again with the answer.
        AnswersOutsideLock answers;
        answers.Run(
            db,
            [&]() -> std::optional<AnswersOutsideLock::Pending> {
                std::optional<AnswersOutsideLock::Pending> question;
                // A failure is shown once the transaction is rolled back: no
                // workstation waits while its box is open.
                DeferredDaoErrors deferred;
                try {
                    platform::Transaction transaction(db);
                    state = CJobSet::ItemsJobState(write());
                    if (state == CJobSet::ItemsJobReady) {
                        ApplyJobItemSums(record, SumJobItems(ReadJobItemRows(record.m_pDatabase, record.m_JobID),
                                                             record.IsCreditInvoice()),
                                         forceTotals);
                        record.UpdateAutoStatus(false);
                        state = record.SaveWithItems();
                        if (state == CJobSet::ItemsJobReady)
                            transaction.commit();
                        else
                            said = state == CJobSet::ItemsJobFailed; // the save has shown its failure
                    } else {
                        given = state == CJobSet::ItemsJobCancelled;
                    }
                } catch (const AnswersOutsideLock::Pending &pending) {
                    question.emplace(pending);
                } catch (const platform::DbException &e) {
                    state = CJobSet::ItemsJobFailed;
                    said = true;
                    if (failure)
                        *failure = e.description();
                    else
                        ShowDaoError(e, QStringLiteral("Cannot save Items"));
                }
                return question;
            },
            [&] { record = before; });
        if (given)
            return false; // rolled back; the writer has said why
        if (state != CJobSet::ItemsJobReady) {
            if (record.GetEditMode() == CXDaoSet::dbEditNone)
                record.FindById(record.m_JobID, true);
            record = before;
        }
    }
    if (state == CJobSet::ItemsJobReady)
        return true;
    if (!said) {
        const QString why = ItemsRefusal(
            state, true, nothing,
            QStringLiteral(" The job has been read again: do it again to make the change on the job as it is now."),
            QStringLiteral(" Close the job and open it again to make the change on the job as it is now."));
        if (!why.isEmpty())
            Prompt::messageBox(why, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    // The items as they are stored.
    RefillItems(false);
    return false;
}

CItemSpecsData::JobAlongside CJobDlg::ItemSaveAlongside(const QString &saveCaption)
{
    // Why the item cannot go onto the job as it is stored now; after figures
    // saved meanwhile the window takes the job as stored, so that the item
    // window's next Save & Close saves onto it.
    const auto refusal = [this, saveCaption](CJobSet::ItemsJobState state, bool readAgain) -> QString {
        if (state == CJobSet::ItemsJobFailed)
            return QStringLiteral("The job of this item could not be saved.\n\nNothing of this item was saved.");
        return ItemsRefusal(state, readAgain, QStringLiteral("Nothing of this item was saved."),
                            QStringLiteral(" The job has been read again: ") + saveCaption
                                + QStringLiteral(" saves your changes onto it as it is now, with its figures worked "
                                                 "from all its items."),
                            QStringLiteral(" Close this window and the job, then open the job again to save onto it "
                                           "as it is now."));
    };
    CItemSpecsData::JobAlongside job;
    job.check = [this, refusal] {
        if (m_pJob->IsCreditOrCredited())
            return QString();
        return refusal(m_pJob->StoredStateForItems(), true);
    };
    job.save = [this, refusal](QString &why) {
        CJobSet &record = *m_pJob;
        if (record.IsCreditOrCredited())
            return true; // posted money: its figures stay as they are
        const CJobSet::ItemsJobState state = record.StoredStateForItems();
        if (state != CJobSet::ItemsJobReady) {
            why = refusal(state, false);
            return false;
        }
        // The figures from the items as they are now, in this transaction;
        // refused, the record holds the job as it did before.
        CJobSet before(record.m_pDatabase);
        before = record;
        ApplyJobItemSums(record, SumJobItems(ReadJobItemRows(record.m_pDatabase, record.m_JobID),
                                             record.IsCreditInvoice()),
                         false);
        CJobSet::ItemsJobState saved = CJobSet::ItemsJobFailed;
        try {
            saved = record.SaveWithItems();
        } catch (const AnswersOutsideLock::Pending &) {
            // Asked once the item's save has rolled back, and made again.
            record = before;
            throw;
        }
        if (saved == CJobSet::ItemsJobReady)
            return true;
        if (record.GetEditMode() == CXDaoSet::dbEditNone)
            record.FindById(record.m_JobID, true);
        record = before;
        why = saved == CJobSet::ItemsJobFailed ? QString() : refusal(saved, false); // a failure is said by the save
        return false;
    };
    return job;
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
    if (CItemCosts::EditCosts(&itemRecord(), jobLabel, m_nHue, !ItemsChangeable(), focusItemId, this,
                              ItemSaveAlongside(QStringLiteral("Save")))
        != IDOK_RESULT)
        return;
    if (RefillItems(false))
        CheckAndSave(1);
}

void CJobDlg::OnRepriceAll()
{
    if (!ItemsChangeable())
        return;
    if (!askYesNo(QStringLiteral("Do you want to reprice all Items of this job?\n\nIf you click Yes, each Item will be "
                                 "priced based on the customer's default setting and the price will be saved "
                                 "automatically. \n\nIf you are not sure about this feature, click No."),
                  platform::MB_ICONQUESTION))
        return;
    const QString nothing = QStringLiteral("None of the items was repriced.");
    if (m_pJob->StoredStateForItems() != CJobSet::ItemsJobReady) {
        SaveItemsOntoJob([] { return int(CJobSet::ItemsJobReady); }, false, nothing);
        return;
    }
    CItemSet &item = itemRecord();
    try {
        if (item.GetEditMode() != CXDaoSet::dbEditNone)
            item.CancelUpdate();
        item.m_strFilter = QStringLiteral("JobID = %1 and SerNo = 0").arg(m_pJob->m_JobID);
        item.m_strSort = QStringLiteral("ItemNo, SubNo");
        if (!item.RequeryOrOpen(false) || item.IsEmptySet())
            return;
    } catch (const platform::DbException &) {
        return;
    }
    std::vector<qint32> ids;
    while (!item.IsEOF()) {
        ids.push_back(item.m_ItemID);
        item.MoveNext();
    }
    item.m_strSort.clear();

    RepriceGrid grid(this, int(ids.size()));
    grid.m_strWindowTitle = QStringLiteral("Reprice");
    grid.m_strRibbonTitle = QStringLiteral("Job is Repriced");
    grid.m_wndGrid.AddColumn(QStringLiteral("Item"), 60, 1, QString(), 0);
    grid.m_wndGrid.AddColumn(QStringLiteral("Description"), 200, 1, QString(), 0);
    grid.m_wndGrid.AddColumn(QStringLiteral("Price in File"), 75, 8, QStringLiteral("$"), 0);
    grid.m_wndGrid.AddColumn(QStringLiteral("Default Price"), 75, 8, QStringLiteral("$"), 0);
    // The change is shown for every priced item, 0.00 for the same price (a
    // money cell would leave a zero empty).
    grid.m_wndGrid.AddColumn(QStringLiteral("\u00B1 Change"), 75, 1, QString(), 0, DT_RIGHT);
    grid.m_wndGrid.AddColumn(QStringLiteral("Remark"), 160, 1, QString(), 0);
    grid.m_wndGrid.SetRows(int(ids.size()), std::clamp(int(ids.size()), 3, 16), false);

    // Every item is priced first, with every question its pricing asks;
    // its new price and level, and the job's figures, are then one change
    // that asks nothing, made onto the job's items as they were priced.
    struct Priced
    {
        qint32 itemId = 0;
        bool newLevel = false; // the item takes the job's price level
        std::unique_ptr<CItemPrice> engine;
        int choice = 0;
    };
    std::vector<Priced> priced;
    const QStringList asPriced = storedItemRows(m_pJob->m_pDatabase, m_pJob->m_JobID);
    PricingCache cache; // one read of the shop's tables for every item
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int r = 0; r < int(ids.size()); ++r) {
        item.m_strFilter = QStringLiteral("ItemID = %1").arg(ids[size_t(r)]);
        if (!item.RequeryOrOpen(false) || item.IsEmptySet())
            continue;
        grid.m_wndGrid.SetCellText(r, 0, itemLabel(item));
        grid.m_wndGrid.SetCellText(r, 1, item.m_Description);
        if (item.m_Mix > 0) {
            grid.m_wndGrid.SetCellText(r, 5, QStringLiteral("Locked. Skipped Pricing"));
            continue;
        }
        Priced entry;
        entry.itemId = item.m_ItemID;
        entry.newLevel = item.m_Side2 != m_nPriceLevel;
        const Money inFile = item.m_Price;
        entry.engine = std::make_unique<CItemPrice>(&item, false, &cache);
        entry.engine->SetPriceLevel(m_nPriceLevel);
        entry.engine->SetPresetChoice(CItemPrice::DefaultCostDefaultPrice);
        const int answer = entry.engine->PriceItemUnsaved(0);
        entry.choice = answer;
        const Money newPrice = entry.engine->GetNewPrice();
        const Money change = newPrice - inFile;
        grid.m_wndGrid.SetCellValue(r, 2, inFile.units() / Money::kUnitsPerCent);
        grid.m_wndGrid.SetCellValue(r, 3, newPrice.units() / Money::kUnitsPerCent);
        grid.m_wndGrid.SetCellText(r, 4, FormatMoney(change));
        QString remark;
        if (answer == 30453 || answer == 30454)
            remark = QStringLiteral("Kept the Price-in-File");
        else if (!change.isZero())
            remark = QStringLiteral("Saved the Default Price");
        else
            remark = QStringLiteral("Same Price");
        grid.m_wndGrid.SetCellText(r, 5, remark);
        priced.push_back(std::move(entry));
    }
    QApplication::restoreOverrideCursor();
    QStringList refusals;
    const auto repriceAll = [&] {
        refusals.clear();
        if (storedItemRows(m_pJob->m_pDatabase, m_pJob->m_JobID) != asPriced)
            return int(CJobSet::ItemsJobFiguresChanged);
        for (Priced &entry : priced) {
            item.m_strFilter = QStringLiteral("ItemID = %1").arg(entry.itemId);
            if (!item.RequeryOrOpen(false) || item.IsEmptySet())
                continue;
            if (entry.newLevel) {
                try {
                    if (!item.SafeEdit())
                        continue;
                    item.m_Side2 = m_nPriceLevel;
                    if (!item.SaveRecord())
                        continue; // priced at the job's level: not written at the item's own
                } catch (const platform::DbException &) {
                    continue;
                }
            }
            QString refusal;
            if (entry.choice != 0 && !entry.engine->SaveChosenRows(&refusal) && !refusal.isEmpty())
                refusals << refusal;
        }
        return int(CJobSet::ItemsJobReady);
    };
    const bool saved = SaveItemsOntoJob(repriceAll, false, nothing);
    for (const QString &refusal : std::as_const(refusals))
        Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    if (!saved)
        return;
    RefillItems(false);
    CheckAndSave(1);
    grid.DoModal();
}
