#pragma once

#include "estimating/CItemSpecsData.h"

#include "platform/Money.h"
#include "views/CBarCode.h"
#include "views/CDlgRibbon.h"

#include <QtCore/QString>

#include <cstdint>
#include <functional>
#include <memory>

class CItemSet;
class CJobSet;
class CXListCtrl;

// The job window (dialog 750, window name "Job"): the modal record window of
// one job, an order, quote, template, history job, portal job, credit invoice
// or credited invoice. It shows and edits the current row of a job recordset
// its caller owns and has positioned (and locked, unless the window is a
// preview), shows the job's parties, dates, notes, totals and balance as bar
// panels, and ends with a command id the caller carries out: the window
// itself never prints or creates jobs.
//
// Five bars: the record bar (type label, title, job number, status), the job
// bar down the left side, the items bar, the parties bar and the notes bar.
class CJobDlg : public CDlgRibbon
{
    Q_OBJECT

public:
    // Commands the caller receives.
    enum Result : int {
        ResultNewJob = 30100,
        ResultNewJobSameBuyer = 30599,
        ResultDuplicate = 30111,
        ResultEmailLetter = 30108,
        ResultPrint = 30330,
        ResultSchedule = 30270,
        ResultFind = 30101,
        ResultItemFinder = 30609,
    };
    // Bits of the "ShowHide-Job" setting.
    static constexpr int kItemNoteBit = 1;
    static constexpr int kRatesBit = 2;
    static constexpr int kServicesBit = 4;
    static constexpr int kStatusBit = 8;
    static constexpr int kSpacerBit = 16;
    static constexpr int kNotesBarBit = 32;
    // Views of the item list.
    static constexpr int kItemsView = 30051;
    static constexpr int kNotesView = 30052;
    static constexpr int kSavedView = 30053;

    // Preview is on when asked, for history jobs and for credit and credited
    // invoices.
    CJobDlg(CJobSet *job, bool preview, CXListCtrl *attachedList, QWidget *parent);
    ~CJobDlg() override;

    // The view that opened the window and runs its result; none when the
    // window was opened elsewhere (its result commands are then disabled).
    void SetResultReceiver(QObject *receiver) { m_pReceiver = receiver; }
    // Set by a receivables window (the payment dialog) that is no record
    // window: late fee, payments and write-off can then be edited.
    void SetOpenedFromReceivables(bool on) { m_bFromReceivables = on; }

    // Record operations: fill the window from the record; check and save it.
    // Mode 1 before ending with a command, 0 from Close and navigation, 99
    // from the totals dialog (saves even in preview). TRUE when the window
    // may go on.
    void FillControls(bool reload);
    bool CheckAndSave(int mode);

    // The panels (each refreshes what it names).
    void UpdateTitleItems(const QString &proposedTitle);
    void UpdatePartiesPanels();
    void UpdateTotalsPanels();
    void UpdateDatesPanel();
    void ShowNotesBar();
    void SetNoteTip(unsigned id, const QString &note);
    // Enables the bars' items by the window's state.
    void UpdateRibbonStates();

    // The item list: refills it with the current view and sums the job's
    // Cost and Subtotal from the service rows (the record is not saved);
    // TRUE when either changed. forceTotals reruns the job's totals even when
    // the Subtotal did not move (a change of the taxable share).
    bool RefillItems(bool forceTotals);
    // Sets the item list's view; the view already shown does nothing.
    void OnViewMode(int view);
    // Flips one show/hide bit (in memory) and refills when asked.
    void ToggleShowHideBit(int bit, bool refill);
    // The columns of one view (bit 2 of showHide shows "Price/Hr" and "Unit Price").
    static void SetupItemColumns(CXListCtrl &list, int view, int showHide);
    // Item commands: select the current item (its row in the item record,
    // put into edit mode with edit), the price-lock guard (TRUE: the command
    // must not go on), tax exemption, price lock, reprice, specs and costs.
    bool SelectCurrentItem(bool edit);
    bool PriceLockRefuses(const QString &action);
    void OnTaxExempt();
    void OnLockPrice();
    void OnRepriceItem();
    void OnRepriceAll();
    void EditItemSpecs(qint32 focusItemId);
    // The job saved with an item of it: the item window writes the job's
    // figures, worked from its items, in the item's transaction, and is
    // refused with nothing written when the job was posted or deleted, or
    // another workstation saved its figures, since this window read it.
    // `saveCaption` names the button that saves the item window.
    CItemSpecsData::JobAlongside ItemSaveAlongside(const QString &saveCaption = QStringLiteral("Save & Close"));
    // The same rule for the item commands of this window: `write` changes the
    // job's item rows inside the transaction this holds (false: it failed or
    // was given up, the user told); the job's figures, worked from the items
    // as then stored, are written with them. Refused with nothing written
    // when the job was posted or deleted, or another workstation saved its
    // figures, since this window read it: said, with `nothing` naming what
    // was not done. A database failure is handed back in `failure` when given
    // (the caller says it), else shown. TRUE when saved.
    bool SaveItemsWithJob(const std::function<bool()> &write, bool forceTotals, const QString &nothing,
                          QString *failure = nullptr);
    // The same, for a `write` that may find the job's items changed since it
    // read them: it gives ItemsJobReady when it wrote, ItemsJobFiguresChanged
    // when the rows it worked from were saved meanwhile (refused as figures
    // saved meanwhile), ItemsJobCancelled when it failed or was given up
    // (the user told once the file is let go). Nothing is asked while the
    // transaction holds the file: a database failure inside it is shown
    // after the rollback.
    bool SaveItemsOntoJob(const std::function<int()> &write, bool forceTotals, const QString &nothing,
                          QString *failure = nullptr);
    void EditItemCosts(qint32 focusItemId);
    // Structure: a new item through the item specs window; the list of
    // items to tick for deletion (preselect: an ItemID or 0).
    void AddNewItem(int productType);
    // The new-item dialog: a new item, booklet items or copies of items.
    void OnNewItem();
    // The price list of the job's items, on the current item.
    void OnPriceList();
    // The document attached to the current item (table Samples): shown,
    // replaced or removed in the item-document window.
    void OnItemDocuments();
    void AddBookletItems(int productType);
    void DeleteCheckedItems(qint32 preselect);
    // Adds a sub-item to the current item (a plain item becomes a group first).
    void OnSubItem();
    // Puts the items into a new order and groups (only moved rows are written).
    void OnRearrange();
    // Copies an item's rows into this job: mode 0 a new item, 1 an item of a
    // copied group, 2 a new sub-item of the source's item; a price level of
    // 255 keeps the copy's own. The item, its services and its sample are
    // one change. TRUE when it was pasted.
    bool PasteItemRows(qint32 jobId, int itemNo, int subNo, quint8 priceLevel, int mode);
    // Pastes the current item, sub-item or group within the job (30369).
    void OnPasteItem();
    // Adds an item of another job (or this one) as a new item, repriced.
    void AddItemFromJob(qint32 jobId, int itemNo, int subNo);
    // A code the scanner completed: 30410 an item to add, 30598 a job (the
    // window ends with it; the caller reads the code from barCode()).
    void OnScanCommand(int command);
    CBarCode &barCode() { return m_barCode; }
    // Says why an item cannot be deleted (credit invoice, locked item).
    bool ItemRowsDeletable(int itemNo, int subNo);
    // Deletes the item's rows; a main item (SubNo 1) with its sub-items.
    void DeleteItemRows(int itemNo, int subNo);
    // The list's header clicks, double-clicks, the marker columns' help and
    // actions, and the show/hide options ("Customize Job View").
    void OnItemColumnClick(int column);
    void OnItemDoubleClick(int row, int column);
    void ColumnAction(int column, bool doubleClick);
    void OnCustomizeView();
    // Notes view: edits the note of a row (item note or service note).
    void EditItemNote(int row, int column);
    // FALSE in preview and on credit or credited invoices.
    bool ItemsChangeable() const;
    CItemSet &itemRecord();
    int itemView() const { return m_nItemView; }
    int refillCount() const { return m_nRefills; }
    qint32 currentItemId() const { return m_nCurrentItemId; }
    void setCurrentItemId(qint32 itemId) { m_nCurrentItemId = itemId; }

    bool isPreview() const { return m_bReadOnly != 0; }
    bool isEditable() const;
    int hue() const { return m_nHue; }
    int itemCount() const { return m_nItems; }
    int showHideBits() const { return m_nShowHide; }
    QString typeLabel() const { return m_strTypeLabel; }
    CJobSet *job() const { return m_pJob; }

    CXRibbon &jobBar() { return m_wndSideRibbon; }
    CXRibbon &recordBar() { return m_wndRecordRibbon; }
    CXRibbon &itemsBar() { return m_wndRibbon3; }
    CXRibbon &partiesBar() { return m_wndRibbon4; }
    CXRibbon &notesBar() { return m_wndRibbon5; }
    CXListCtrl &itemList() { return m_wndList; }

    // Placeholders of the bars.
    static constexpr unsigned kJobBar = kSideRibbon;
    static constexpr unsigned kItemsBar = kRibbon3;
    static constexpr unsigned kPartiesBar = kRibbon4;
    static constexpr unsigned kNotesBar = kRibbon5;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnCancel() override;
    // Asks about unsaved changes and saves or drops them; false when the
    // user stays or the save failed.
    bool SettleChanges();
    void OnSize(int type, int cx, int cy) override;

private:
    void BuildBars();
    void BuildRecordBar();
    void BuildJobBar();
    void RebuildJobBar();
    void BuildItemsBar();
    void BuildPanelBars();
    void SetPreview(bool preview);
    void ApplyHue();
    bool DecideCsrOwnership();
    void NavigateTo(unsigned cmd);
    void EndWithCommand(int id);
    void ToggleHistoryEdit();
    void EditNote(unsigned id);
    void ChooseBuyerOrShipto(unsigned id);
    void OnJobDates();
    // The Bill To and status commands.
    void OnChangeCustomer();
    void OnJobStatus();
    void OnCompare(bool item);
    void OnJobTotals();
    void OnApplyCredit();
    void OnServiceProperties();
    void OnSetNextJobNumber();
    void OnChangeJobNumber();
    bool IsOrder() const;
    // Why items cannot be saved onto the job as it is stored now (state: a
    // CJobSet::ItemsJobState), ending with `nothing`; after figures saved
    // meanwhile the job is read again when `readAgain` and the window holds
    // no change of its own, and the text ends with `again` (read again) or
    // `reopen` (not). Empty when there is nothing to say.
    QString ItemsRefusal(int state, bool readAgain, const QString &nothing, const QString &again,
                         const QString &reopen);

public:
    // The missing-data check (command 30244), run by itself on opening.
    void CheckMissingData();

private:
    CJobSet *m_pJob = nullptr;
    QObject *m_pReceiver = nullptr;
    int m_nHue = 120;
    int m_nShowHide = 38;
    int m_nCsrMode = 0;
    int m_nCreditOption = 0;
    int m_nItems = 0;
    int m_nItemView = 30051;
    int m_nRefills = 0;
    std::unique_ptr<CItemSet> m_pItem;
    qint32 m_nCurrentItemId = 0;
    CBarCode m_barCode;
    quint8 m_nPriceLevel = 0;
    quint8 m_nPriceRound = 0;
    Money m_creditDue;
    QString m_strTypeLabel;
    bool m_bCallerPreview = false;
    bool m_bFromReceivables = false;
    bool m_bFirstCheckPending = false;
    bool m_bHistoryEditAllowed = false;
    bool m_bServiceEditAllowed = false;
    bool m_bNotesBarShown = true;
};
