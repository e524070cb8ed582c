// The job window's item list: its three views, the refill that fills the rows
// (and sums the job's Cost and Subtotal from the service rows while it walks
// them), the show/hide bits and the reselection of the current item.
#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "controls/CColumnAlias.h"
#include "controls/CXListCtrl.h"
#include "data/CItemSet.h"
#include "data/CItemSetX.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"
#include "estimating/CItemPrice.h"
#include "estimating/PricingCache.h"
#include "jobs/CViewJobs.h"
#include "jobs/JobHooks.h"
#include "jobs/JobItemTotals.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"
#include <QtCore/QMetaObject>
#include <QtCore/QSet>
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/ReadScope.h"

#include <QtGui/QCursor>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <optional>

namespace {

// Images of list 131 used by the rows.
constexpr int kGroupHeaderImage = 337;
constexpr int kNoteRowImage = 255;
constexpr int kNoteTextImage = 197;
constexpr int kHiddenServiceImage = 333;
constexpr int kUnlockedImage = 207;
constexpr int kLockLowImage = 208;
constexpr int kLockPasswordImage = 209;
constexpr int kNoSampleImage = 185;
constexpr int kSampleImage = 186;
constexpr int kMoreImage = 235;
constexpr int kLessImage = 236;
constexpr int kServicesShownOffset = 12;
constexpr int kUnscheduledOffset = 36;

constexpr int kLeft = 0;
constexpr int kRight = 1;
constexpr int kCentre = 2;
constexpr int kDefault = -1;

struct Column
{
    const char *heading;
    int width;
    int format;
};

// Widths of "Price/Hr" and "Unit Price" when bit 2 of the show/hide bits is set.
constexpr int kRateWidth = 60;
constexpr int kUnitPriceWidth = 80;

QString cutAtBar(const QString &description)
{
    const int at = description.indexOf(QStringLiteral(" | "));
    return at < 0 ? description : description.left(at);
}

// The items of a job that have a sample attached.
QSet<qint32> itemsWithSamples(platform::Database *db, qint32 jobId)
{
    QSet<qint32> items;
    try {
        CXDaoSet sample(db);
        sample.m_filterValues = {platform::Value(jobId)};
        sample.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Samples.ItemID FROM Samples INNER JOIN Items ON "
                                                             "Samples.ItemID = Items.ItemID WHERE Items.JobID = ?"));
        for (; sample.IsOpen() && !sample.IsEOF(); sample.MoveNext())
            items.insert(sample.GetFieldValue(0).toInt());
    } catch (const platform::DbException &) {
        // a database without a Samples table has no samples
    }
    return items;
}

} // namespace

void CJobDlg::SetupItemColumns(CXListCtrl &list, int view, int showHide)
{
    static constexpr Column items[] = {{"Item", 60, kDefault},       {"Description", 300, kLeft},
                                       {"Quantity", 60, kRight},     {"Time", 50, kRight},
                                       {"Price/Hr", 60, kRight},     {"Unit Price", 80, kRight},
                                       {"Price     ", 80, kRight},   {"\u00B1", 20, kCentre},
                                       {"L", 20, kCentre},           {"E*", 27, kCentre},
                                       {"S", 20, kCentre}};
    static constexpr Column notes[] = {{"Item", 60, kDefault},         {"Description", 300, kLeft},
                                       {"", 0, kDefault},              {"Specs Note", 220, kDefault},
                                       {"Service Note", 120, kDefault}, {"Reminder", 80, kDefault},
                                       {"Modified", 80, kDefault}};
    static constexpr Column saved[] = {{"Item", 60, kDefault},          {"Description", 300, kLeft},
                                       {"Quantity", 70, kRight},        {"Default", 60, kRight},
                                       {"Time", 60, kRight},            {"Default", 50, kRight},
                                       {"Price", 90, kRight},           {"Default Price", 80, kRight},
                                       {"Difference", 80, kRight}};
    const Column *columns = items;
    int count = int(std::size(items));
    if (view == kNotesView) {
        columns = notes;
        count = int(std::size(notes));
    } else if (view == kSavedView) {
        columns = saved;
        count = int(std::size(saved));
    }
    for (int c = 0; c < count; ++c) {
        int width = columns[c].width;
        if (view == kItemsView && (c == 4 || c == 5) && (showHide & kRatesBit) == 0)
            width = 0;
        list.AddColumn(QString::fromUtf8(columns[c].heading), width, CColumnAlias::TypeText, c == 0,
                       columns[c].format);
    }
}

void CJobDlg::OnViewMode(int view)
{
    if (view == m_nItemView && m_wndList.GetColumnCount() > 0)
        return;
    m_nItemView = view;
    SetupItemColumns(m_wndList, view, m_nShowHide);
    RefillItems(false);
}

void CJobDlg::ToggleShowHideBit(int bit, bool refill)
{
    m_nShowHide ^= bit;
    if (refill)
        RefillItems(false);
}

bool CJobDlg::RefillItems(bool forceTotals)
{
    ++m_nRefills;
    if (m_wndList.GetColumnCount() == 0)
        SetupItemColumns(m_wndList, m_nItemView, m_nShowHide);
    CJobSet &job = *m_pJob;
    const qint64 remembered = m_wndList.GetSelectedData();
    const int rememberedRow = remembered > 0 ? m_wndList.FindItemByData(remembered, false) : -1;
    const int rememberedTop =
        rememberedRow > 0 ? m_wndList.visualRect(m_wndList.model()->index(rememberedRow, 0)).top() : 0;
    if (m_nCurrentItemId == 0 && remembered > 0)
        m_nCurrentItemId = qint32(remembered);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    const bool showServices = (m_nShowHide & kServicesBit) != 0;
    const bool statusMode = (m_nShowHide & kStatusBit) != 0 && IsOrder();
    const int view = m_nItemView;
    int itemImage = GetJobTypeImage(job.m_JobType) + (showServices ? kServicesShownOffset : 0);

    // The rows, their services and their texts are read under one read lock
    // (taken once instead of for each of the thousands of small reads).
    std::optional<platform::ReadScope> reading;
    if (job.m_pDatabase)
        reading.emplace(*job.m_pDatabase);
    CItemSetX rows(job.m_pDatabase);
    std::vector<JobItemRow> walk;
    try {
        rows.OpenJobItemsAndServices(job.m_JobID);
    } catch (const platform::DbException &) {
    }
    const QSet<qint32> withSamples = itemsWithSamples(job.m_pDatabase, job.m_JobID);

    // View 30053 prices every item compute-only (nothing is saved), reading
    // the shop's tables once for the whole refill.
    std::unique_ptr<PricingCache> cache;
    std::unique_ptr<CItemPrice> engine;
    bool engineResult = false;
    if (view == kSavedView)
        cache = std::make_unique<PricingCache>();

    m_wndList.setUpdatesEnabled(false);
    // The rows are told to the view once, when the walk is over (or stopped
    // by a failure).
    m_wndList.BeginRefill();
    struct RefillEnd
    {
        CXListCtrl &list;
        ~RefillEnd() { list.EndRefill(); }
    } refillEnd{m_wndList};
    m_nItems = 0;
    int pendingHeader = -1;
    Money groupSum;
    auto writeHeader = [&] {
        if (pendingHeader >= 0)
            m_wndList.SetItemText(pendingHeader, 6, FormatPrice(groupSum));
        pendingHeader = -1;
        groupSum = Money();
    };

    while (rows.IsOpen() && !rows.IsEmptySet() && !rows.IsEOF()) {
        rows.GetDescription(QString(), true);
        walk.push_back({rows.m_ItemNo, rows.m_SubNo, rows.m_SerNo, rows.m_Cost, rows.m_Price});
        const bool itemRow = rows.m_SerNo == 0;
        int image = CXListCtrl::kNoImage;
        int column1Image = CXListCtrl::kNoImage;
        QString column0;
        QString column1;
        QString starText;
        QString exemptText;
        int lockImage = kUnlockedImage;
        int sampleImage = kNoSampleImage;
        if (itemRow) {
            if ((m_nShowHide & kSpacerBit) && m_nItems > 0 && showServices && rows.m_SubNo < 2)
                m_wndList.InsertRow(m_wndList.GetItemCount(), QString(), 0, CXListCtrl::kNoImage);
            if (view == kItemsView) {
                if (pendingHeader >= 0 && rows.m_SubNo <= 1)
                    writeHeader();
                if (rows.m_SubNo != 0) {
                    if (rows.m_SubNo == 1) {
                        groupSum = Money();
                        if (showServices) {
                            pendingHeader =
                                m_wndList.InsertRow(m_wndList.GetItemCount(), QString(), 0, kGroupHeaderImage);
                            m_wndList.SetItemText(pendingHeader, 1, cutAtBar(rows.m_Description));
                        }
                    }
                    if (IsMoneyAmount(rows.m_Price))
                        groupSum += rows.m_Price;
                }
            }
            ++m_nItems;
            if (statusMode && showServices) {
                image = ZqApp() ? ZqApp()->GetScheduleStatusIcon(rows.m_Status) : itemImage;
            } else {
                image = (rows.m_SubNo >= 2 && !showServices) ? CXListCtrl::kNoImage : itemImage;
            }
            column0 = rows.m_strHeading;
            column1 = rows.m_strDescription + QStringLiteral("   ") + rows.m_strPaperSize;
            if (rows.m_Side2 != 0)
                column1 += QStringLiteral(" \u00B7 ") + rows.GetChoiceText();
            starText = rows.m_Side2 != m_nPriceLevel ? QStringLiteral("*") : QString();
            exemptText = rows.m_Bleed != 0 ? QStringLiteral("E") : QString();
            lockImage = rows.m_Mix == 1 ? kLockLowImage : rows.m_Mix >= 2 ? kLockPasswordImage : kUnlockedImage;
            sampleImage = withSamples.contains(rows.m_ItemID) ? kSampleImage : kNoSampleImage;
            if (view == kSavedView) {
                CItemSet own(job.m_pDatabase);
                own.m_strFilter = QStringLiteral("ItemID = %1").arg(rows.m_ItemID);
                engine.reset();
                engineResult = false;
                try {
                    if (own.RequeryOrOpen(false) && !own.IsEmptySet()) {
                        engine = std::make_unique<CItemPrice>();
                        engine->LoadItemServices(&own, true, cache.get());
                        engineResult = engine->PriceItem(0) != 0;
                    }
                } catch (const platform::DbException &) {
                    engine.reset();
                }
            }
        } else if (showServices) {
            QString run;
            rows.GetRunText(run, true, true, true, true);
            column1 = run;
            column1Image = rows.m_nRowColor == 255 ? CXListCtrl::kNoImage : rows.m_nRowColor;
            if (statusMode && rows.m_Status == 0 && column1Image != CXListCtrl::kNoImage)
                column1Image += kUnscheduledOffset;
        }

        if (itemRow || showServices) {
            if (!itemRow && rows.m_strDescription.endsWith(QStringLiteral(" (HIDDEN)")))
                image = kHiddenServiceImage;
            const int row = m_wndList.InsertRow(m_wndList.GetItemCount(), column0, rows.m_ItemID, image);
            m_wndList.SetItemText(row, 1, column1);
            if (column1Image != CXListCtrl::kNoImage)
                m_wndList.SetSubItemImage(row, 1, column1Image);
            if (view == kItemsView) {
                m_wndList.SetItemText(row, 6, rows.m_strPrice);
                if (itemRow) {
                    m_wndList.SetItemText(row, 2, rows.m_strChargeQty);
                    m_wndList.SetItemText(row, 5, rows.m_strUnitPrice);
                    m_wndList.SetItemText(row, 9, exemptText + starText);
                    if (rows.m_nRegisImage != 255)
                        m_wndList.SetSubItemImage(row, 7, rows.m_nRegisImage);
                    m_wndList.SetSubItemImage(row, 8, lockImage);
                    m_wndList.SetSubItemImage(row, 10, sampleImage);
                    if (showServices && (m_nShowHide & kItemNoteBit) && !rows.m_Note.isEmpty()) {
                        const int note = m_wndList.InsertRow(m_wndList.GetItemCount(), QString(), rows.m_ItemID,
                                                             kNoteRowImage);
                        m_wndList.SetItemText(note, 1, QString(rows.m_Note).replace(QStringLiteral("\r\n"),
                                                                                    QStringLiteral(" ")));
                        m_wndList.SetSubItemImage(note, 1, kNoteTextImage);
                    }
                } else {
                    m_wndList.SetItemText(row, 2, rows.m_strChargeQty);
                    m_wndList.SetItemText(row, 3, rows.m_strChargeTime);
                    const bool timeCostOnly =
                        rows.m_Service.IsOpen() && rows.ServiceValue("CostBy").toInt() == 1;
                    // The charged time is in minutes; the rate is per hour.
                    if (rows.m_ChargeTime != 0 && timeCostOnly)
                        m_wndList.SetItemText(row, 4, FormatRate(rows.m_Price, rows.m_ChargeTime, 0, 0, false));
                    m_wndList.SetItemText(row, 5, rows.m_strUnitPrice);
                }
            } else if (view == kNotesView) {
                m_wndList.SetItemText(row, 3, rows.m_Note);
                if (!itemRow && rows.m_Service.IsOpen() && !rows.m_Service.IsEmptySet()) {
                    const CXDaoSet &s = rows.m_Service;
                    m_wndList.SetItemText(row, 4, s.GetFieldValue(QStringLiteral("SerNote")).toString());
                    m_wndList.SetItemText(row, 5, s.GetFieldValue(QStringLiteral("SerRemind")).toString());
                    const platform::Value modified = s.GetFieldValue(QStringLiteral("Modified"));
                    if (!modified.isNull())
                        m_wndList.SetItemText(row, 6, DateToText(modified.toDateTime()));
                }
            } else if (view == kSavedView) {
                // Saved against default: the row as saved beside the row as
                // the engine prices it now.
                const qint32 savedQty = rows.m_ChargeQty;
                const qint32 savedTime = rows.m_ChargeTime;
                const Money savedPrice = rows.m_Price;
                qint32 defaultQty = savedQty;
                qint32 defaultTime = 0;
                qint32 shownSavedTime = itemRow ? 0 : savedTime;
                Money defaultPrice;
                if (itemRow) {
                    if (engine)
                        defaultPrice = engine->GetNewPrice();
                } else if (engine) {
                    const auto &priced = engine->Rows();
                    const auto found = priced.find(rows.m_ItemID);
                    if (found != priced.end()) {
                        defaultQty = found->second.m_ChargeQty;
                        defaultTime = found->second.m_ChargeTime;
                        defaultPrice = found->second.m_Price;
                    }
                }
                m_wndList.SetItemText(row, 2, FormatNumberOrMinutes(savedQty, true, QString()));
                m_wndList.SetItemText(row, 4, FormatNumberOrMinutes(shownSavedTime, false, QString()));
                m_wndList.SetItemText(row, 6, FormatPrice(savedPrice));
                m_wndList.SetItemText(row, 3, FormatNumberOrMinutes(defaultQty, true, QString()));
                m_wndList.SetItemText(row, 5, FormatNumberOrMinutes(defaultTime, false, QString()));
                m_wndList.SetItemText(row, 7, FormatPrice(defaultPrice));
                if (savedPrice != defaultPrice)
                    m_wndList.SetItemText(row, 8, FormatMoneyGrouped(savedPrice - defaultPrice));
                if (engineResult) {
                    auto sign = [&](int column, qint64 saved, qint64 fallback) {
                        if (saved != 0 && saved < fallback)
                            m_wndList.SetSubItemImage(row, column, kLessImage);
                        else if (saved != 0 && saved > fallback)
                            m_wndList.SetSubItemImage(row, column, kMoreImage);
                    };
                    sign(2, savedQty, defaultQty);
                    sign(4, shownSavedTime, defaultTime);
                    if (!savedPrice.isZero()) {
                        sign(6, savedPrice.units(), defaultPrice.units());
                        sign(8, savedPrice.units(), defaultPrice.units());
                    }
                }
            }
        }
        rows.MoveNext();
    }
    reading.reset();
    if (view == kItemsView)
        writeHeader();
    m_wndList.EndRefill();
    m_wndList.KeepTextsWhole();

    const JobItemSums sums = SumJobItems(walk, job.IsCreditInvoice());
    const bool changed = ApplyJobItemSums(job, sums, forceTotals);

    UpdateTotalsPanels();
    m_wndList.setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();

    // Reselect the current item, keeping it at its height on the screen.
    int selected = m_nCurrentItemId > 0 ? m_wndList.FindItemByData(m_nCurrentItemId, false) : -1;
    if (selected < 0 && m_wndList.GetItemCount() > 0)
        selected = 0;
    if (selected >= 0) {
        m_wndList.SelectItem(selected);
        if (rememberedRow > 0 && selected > 0) {
            const int top = m_wndList.visualRect(m_wndList.model()->index(selected, 0)).top();
            QScrollBar *bar = m_wndList.verticalScrollBar();
            const int step = std::max(1, m_wndList.visualRect(m_wndList.model()->index(0, 0)).height());
            bar->setValue(bar->value() + (top - rememberedTop) / step);
        }
        m_nCurrentItemId = qint32(m_wndList.GetItemData(selected));
    }
    UpdateRibbonStates();
    return changed;
}

// --- clicks, double-clicks and the show/hide options ------------------------------------

namespace {

void say(const QString &text)
{
    platform::Prompt::messageBox(text, QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
}

} // namespace

void CJobDlg::ColumnAction(int column, bool doubleClick)
{
    if (doubleClick && !SelectCurrentItem(false))
        return;
    switch (column) {
    case 7: {
        QString text = QStringLiteral("The signs you see in the '\u00B1' column show you which price was saved \nthe "
                                      "last time an Item was priced.\n\n");
        text += QStringLiteral("Sign\tThe saved price (as shown on the screen) was:\n------\t") +
                QString(60, QLatin1Char('-')) + QStringLiteral("\n");
        for (const char *line : {"  =\tEqual to", "  +\tMore than", "   -\tLess than", "   !\tNot compared to"})
            text += QString::fromUtf8(line) + QStringLiteral(" the default price\n");
        text += QStringLiteral("\nSigns are updated when you change specs, edit prices, and reprice.\n");
        text += QStringLiteral("Default prices are calculated based on Item Price Level.\n\n");
        text += QStringLiteral("When the Price Level of an Item is not equal to the Customer's Price \nLevel (") +
                CViewJobs::PriorityText(m_nPriceLevel) +
                QStringLiteral("), you will see an asterisk (*) in this column.\n");
        text += QStringLiteral("You may change the Price Level in the Specs window.");
        say(text);
        return;
    }
    case 8:
        if (doubleClick)
            return OnLockPrice();
        say(QStringLiteral("This column shows whether the Item Price is locked or not.\n\n") +
            QStringLiteral("To Lock/Unlock Item Price, right click on the Item or double-click the lock icon."));
        return;
    case 9:
        if (doubleClick)
            return OnTaxExempt();
        say(QStringLiteral("In this column, you see additional information about Item price:\n\n") +
            QStringLiteral("E  means Item is Tax Exempt\n") +
            QStringLiteral("*  means Item Price Level is not equal to the customer's default level\n\n") +
            QStringLiteral("To change Item Tax Status, right click on the Item or double-click the exempt-column of "
                           "the Item. To change Item Price Level, open the Specs."));
        return;
    case 10:
        if (doubleClick)
            return OnItemDocuments();
        say(QStringLiteral("This column shows whether a sample is attached to the Item or not.\n\n") +
            QStringLiteral("The file may be an image file (pdf, gif, bmp, jpeg, etc.) or a document\n") +
            QStringLiteral("file (doc, html), located on any computer, usually the server.\n\n") +
            QStringLiteral("To attach a sample, right click on the Item or double-click the attachment icon."));
        return;
    default: return;
    }
}

void CJobDlg::OnItemColumnClick(int column)
{
    if (column == 0)
        return ToggleShowHideBit(kServicesBit, true);
    if (column == 1) {
        QMetaObject::invokeMethod(this, [this] { SendCommand(30362); }, Qt::QueuedConnection);
        return;
    }
    if (m_nItemView == kItemsView) {
        if (column >= 7)
            return ColumnAction(column, false);
        return EditItemCosts(qint32(m_wndList.GetSelectedData()));
    }
    if (m_nItemView == kNotesView) {
        say(column == 3 ? QStringLiteral("Open the Specs window (right or double-click the cell) to view/edit job "
                                         "specific notes.")
                        : QStringLiteral("Right-click on a Service and select 'Edit Service' to view/edit this data."));
        return;
    }
    say(QStringLiteral("This view shows SAVED and DEFAULT quantities and prices."));
}

void CJobDlg::OnItemDoubleClick(int row, int column)
{
    if (row < 0)
        return;
    const qint32 itemId = qint32(m_wndList.GetItemData(row));
    const bool itemRow = !m_wndList.GetItemText(row, 0).isEmpty();
    if (column == 0) {
        if (itemRow)
            return EditItemSpecs(0);
        return OnServiceProperties();
    }
    if (column == 1 || (column == 2 && itemRow))
        return EditItemSpecs(itemId);
    if (m_nItemView == kItemsView && column >= 7)
        return ColumnAction(column, true);
    if (m_nItemView == kNotesView)
        return EditItemNote(row, column);
    EditItemCosts(itemId);
}

void CJobDlg::OnCustomizeView()
{
    static const char *const entries[] = {
        "Item Note (below Item Description)",
        "Price/Hr (for 'Time Cost only' Services) and Unit Price (for all Services)",
        "Services (if unchecked, you will see Items only)",
        "Status of Items and Services (works with Scheduler and RaroVirider tools)",
        "Space between Items (improves view)",
        "Job Note | Memo | Totals (at the bottom of window)"};
    CDlgOptions options(QStringLiteral("Customize Default Job View"), QString(), CDlgOptions::kHeadingImage, this);
    options.AddCheckGroup(QStringLiteral("Which information do you want to see?"), 0);
    for (int code = 1; code <= 6; ++code)
        options.AddEntry(code, QString::fromUtf8(entries[code - 1]), (m_nShowHide & (1 << (code - 1))) ? 1 : 0);
    if (options.DoModal() != IDOK_RESULT)
        return;
    int bits = m_nShowHide & ~63;
    for (int code = 1; code <= 6; ++code)
        if (options.IsEntryChecked(code))
            bits |= 1 << (code - 1);
    const int changed = bits ^ m_nShowHide;
    if (changed == 0)
        return;
    m_nShowHide = bits;
    if (CZqApp *app = ZqApp())
        app->WriteSettingInt(QStringLiteral("ShowHide-Job"), bits, CZqApp::kSettings);
    if (changed & kNotesBarBit)
        ShowNotesBar();
    if ((changed & kRatesBit) && m_nItemView == kItemsView) {
        const bool shown = (bits & kRatesBit) != 0;
        m_wndList.SetColumnWidth(4, shown ? kRateWidth : 0);
        m_wndList.SetColumnWidth(5, shown ? kUnitPriceWidth : 0);
    }
    if (changed & (kItemNoteBit | kServicesBit | kStatusBit | kSpacerBit))
        RefillItems(false);
}

void CJobDlg::EditItemNote(int row, int column)
{
    if (m_nItemView != kNotesView || row < 0 || row >= m_wndList.GetItemCount())
        return;
    m_wndList.SelectItem(row);
    const qint64 itemId = m_wndList.GetItemData(row);
    if (itemId <= 0)
        return;
    const bool itemRow = !m_wndList.GetItemText(row, 0).isEmpty();
    if (!itemRow && column != 3) {
        const QString what = column == 6 ? QStringLiteral("MODIFIED") : column == 5 ? QStringLiteral("REMINDER")
                                                                                   : QStringLiteral("NOTE");
        say(QStringLiteral("SERVICE %1: ").arg(what) + m_wndList.GetItemText(row, column) +
            QStringLiteral("\n\nRight-click on a Service and select 'Edit Service' to view/edit this data."));
        return;
    }
    CItemSet note(m_pJob->m_pDatabase);
    note.m_strFilter = QStringLiteral("ItemID = %1").arg(itemId);
    try {
        if (!note.RequeryOrOpen(false) || note.IsEmptySet())
            return;
    } catch (const platform::DbException &) {
        return;
    }
    const QString old = note.m_Note;
    QString edited;
    if (itemRow) {
        CNoteDlg dialog(QStringLiteral("Item Note"), QStringLiteral("ITEM ") + m_wndList.GetItemText(row, 0), old,
                        ItemsChangeable() ? CNoteDlg::EditNote : CNoteDlg::ShowText, this);
        dialog.HoldNoteTo(note, QStringLiteral("Note"));
        if (dialog.DoModal() != IDOK_RESULT)
            return;
        edited = dialog.m_strNote;
    } else {
        // The ink-colour part after " · " is kept as it is.
        const int at = old.indexOf(QStringLiteral(" \u00B7 "));
        const QString editable = at < 0 ? old : old.left(at);
        const QString kept = at < 0 ? QString() : old.mid(at);
        CDlgData dialog(editable, 1024, QStringLiteral("Note"), m_wndList.GetItemText(row, 1),
                        m_wndList.GetItemText(row, 5), this);
        if (dialog.DoModal() != IDOK_RESULT)
            return;
        edited = dialog.m_strValue + kept;
    }
    if (edited == old || !ItemsChangeable())
        return;
    if (!note.SafeEdit())
        return;
    note.m_Note = edited;
    if (!note.SaveRecord())
        return;
    RefillItems(false);
}
