#pragma once

class QMenu;

#include "controls/CXGridProp.h"
#include "controls/CXRibbon.h"
#include "estimating/CItemSpecsData.h"
#include "views/CDlg0.h"

#include <functional>

class CXListCtrl;
class QPlainTextEdit;

// The item window: one item of a job with its description, quantity, product
// type, size, pricing options and note, and the services that make it
// (papers, printer, plates, cutting, bindery ...), each with its own specs.
// It works on a copy (CItemSpecsData); "Save & Close" checks the item, writes
// the header and every service row in one transaction and prices the item
// when something that affects the price changed.
//
// How to open it:
//   - an item of a job: CItemSpecs::EditItem(itemId, parent), or construct it
//     on the caller's Items set positioned on the item's header row;
//   - a new item of a job: CItemSpecs::NewItem(jobId, parent, preset); preset
//     may fill the header fields (description, quantity ...) of data() first;
//   - read-only: CItemSpecs::EditItem(itemId, parent, true) (what the
//     application's item preview opens).
// DoModal returns IDOK when the item was saved (and priced when needed); the
// caller's Items set then holds the saved header row.
class CItemSpecs : public CDlg0
{
    Q_OBJECT

public:
    // The windows of the service catalogue the item window opens. Each slot
    // left empty makes its command say plainly that it is not available.
    struct Windows
    {
        // The service picker beside the item window, at a department and
        // category (0 = all); it sends message 30243 back.
        std::function<void(CItemSpecs &owner, qint32 depNo, qint32 catNo)> pickServices;
        // The specs of a service row (paper specs for a paper); see
        // CItemSpecsData::Hooks::editServiceSpecs.
        std::function<bool(CItemSpecs &owner, CItemSet &row, const CSerSet &service, int startRow,
                           CItemSpecsData::SpecsResult &result)>
            editSpecs;
        // The inventory window of a service.
        std::function<void(CItemSpecs &owner, qint32 serNo)> inventory;
        // The paper cutter on a paper row: the two cut counts come back.
        std::function<bool(CItemSpecs &owner, CItemSet &paper, qint32 &toRunSize, qint32 &toFinishSize)> cutter;
    };
    static void SetWindows(const Windows &windows);

    CItemSpecs(CItemSet *item, QWidget *parent);
    ~CItemSpecs() override;

    // `job`: the window that shows the item's job saves the job's figures
    // with the item (CItemSpecsData::JobAlongside).
    static int EditItem(qint32 itemId, QWidget *parent, bool preview = false,
                        const CItemSpecsData::JobAlongside &job = {});
    static int NewItem(qint32 jobId, QWidget *parent, const std::function<void(CItemSpecsData &)> &preset = {},
                       const CItemSpecsData::JobAlongside &job = {});

    CItemSpecsData &data() { return m_data; }
    void SetPreview(bool preview) { m_data.m_bPreview = preview; }
    bool changed() const { return m_bChanged; }

    // Message 30243 from a picker or specs window: a service ticked or not.
    void OnServiceMessage(qint32 serNo, bool add);
    // The numbered messages other windows send to this one (30243: wParam the
    // service number, lParam 1 added or 0 removed). An open picker gets 30244
    // the same way through its own OnOwnerMessage.
    Q_INVOKABLE void OnOwnerMessage(int message, qintptr wParam, qintptr lParam);

    // Where the focus goes when the window opens: an item grid row, or the
    // list line of a row id when that is not 0.
    int m_nFocusRow = 0;
    qint32 m_nFocusRowId = 0;

    // The controls, for tests and the callers that place the focus.
    CXGridProp &itemGrid() { return m_wndItemGrid; }
    CXRibbon &addBar() { return m_wndAddBar; }
    CXGridProp &pricingGrid() { return m_wndPriceGrid; }
    CXListCtrl *serviceList() const { return m_list; }
    QPlainTextEdit *noteEdit() const { return m_note; }
    // The list's line texts (column 1), detail and spacer lines included.
    QStringList lineTexts() const;
    qint32 selectedRowId() const;
    void selectRow(qint32 id);

    // One line of the service list for a row.
    QString FormatServiceLine(qint32 id);

    // The item's rules, as the working copy applies them (see CItemSpecsData).
    qint64 ChoosePrintStyle(qint32 S, qint32 U, quint8 front, quint8 back, quint8 &style)
    {
        return m_data.ChoosePrintStyle(S, U, front, back, style);
    }
    bool CheckPlates() { return m_data.CheckPlates(); }
    bool CheckRunSize() { return m_data.CheckRunSize(); }
    bool ValidateItem() { return m_data.ValidateItem(); }
    bool WriteItem() { return m_data.WriteItem(); }
    bool AskAndGo(const QString &text, int commandId) { return m_data.AskAndGo(text, commandId); }
    void CountWashMix(quint8 &wash, quint8 &mix) const { m_data.CountWashMix(wash, mix); }
    void OnInksChanged() { m_data.OnInksChanged(); }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnCancel() override;
    void OnSize(int type, int cx, int cy) override;

private:
    void BuildRibbons();
    void FillGrids();
    void ExchangeGrids(bool save);
    void RebuildList();
    void FillGridsSides();
    void RefreshProductButton();
    void OnSaveClose();
    void OnQuantity();
    void OnProductType();
    void OnUnitButton();
    void EditNote(bool description);
    void OpenPicker(qint32 depNo, qint32 catNo);
    void RearrangeServices();
    void OnGridChanged(int message, qintptr wParam, qintptr lParam);
    void OnListDoubleClick(int line, int column);
    void OnListContextMenu(const QPoint &pos);
    void Post(int id);
    void FollowPicker(qint32 serNo, bool added);

    CItemSpecsData m_data;
    CXRibbon m_wndItemBar;
    CXRibbon m_wndServicesBar;
    CXRibbon m_wndAddBar;
    CXRibbon m_wndProduct;
    CXRibbon m_wndNoteButton;
    CXGridProp m_wndItemGrid;
    CXGridProp m_wndPriceGrid;
    CXListCtrl *m_list = nullptr;
    QPlainTextEdit *m_note = nullptr;
    bool m_bShowNotes = true;
    bool m_bSpace = false;
    bool m_bChanged = false;
};

// Installs the application's item preview (the Items list's "Open" too).
void InstallItemSpecs();

// The "Specs" entries of the item window's pop-up menu (menu 170, position 5).
void BuildSpecsPopupMenu(QMenu &menu);
