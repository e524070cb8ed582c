#pragma once

#include "production/schedule/ScheduleLists.h"
#include "views/CView0.h"

#include <QtCore/QElapsedTimer>

class CZqApp;

// The production board: lists of open orders, of their items and of their
// services chosen in the list manager, the workload summaries, and the
// commands that change an order's status and an item's or service's
// schedule from the list. Row kinds are told by the icons of fixed columns
// (job status in column 2, item status in column 5, service state in
// column 6); each row keeps its record key (JobID or ItemID) as item data.
class CViewSchedule : public CView0
{
    Q_OBJECT

public:
    static constexpr int kViewId = 30007;
    static constexpr int kCodeBase = 31100;
    // Menu resource of the list popups and the positions of the schedule's.
    static constexpr int kListMenus = 170;
    static constexpr int kScheduleListMenu = 13;
    static constexpr int kInventoryMenu = 20;
    static constexpr int kSettingsMenu = 21;
    static constexpr int kInventoryButton = 30740;
    static constexpr int kSettingsButton = 30674;
    static constexpr int kSettingsView = 30006;
    // List option: ask before a service's date replaces the status of an
    // item on Hold, Wait or Proof.
    static constexpr int kAskItemStatusOption = 0x80000;

    explicit CViewSchedule(QWidget *parent = nullptr);
    ~CViewSchedule() override;

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;
    void FillList() override;
    bool CanDropOnTree(QTreeWidgetItem *entry) override;
    void DropOnTree() override;
    int GetDragImage(int row, int column) override;
    // Scanned codes: orders, items and service lines are found and listed;
    // statuses, operators, weekdays and commands act on the selected rows.
    int OnScanCommand(int command, int key) override;
    // Lists the order of a scanned order (30598), item (30410) or service
    // line (30390) and selects its row; false with a message when missing.
    bool ScanRecord(int command, qint32 number);

    // List kind: the tree branch of the list ((code - 31100) / 100).
    int listKind() const { return m_nListKind; }
    int listCommand() const { return m_nListCommand; }
    QString unitWord() const { return m_table.unitWord; }
    QString groupCaption() const { return m_table.groupCaption; }
    QString lastSql() const { return m_table.sql; }
    int listedCount() const { return m_nListed; }
    void setListOptions(int options) { m_nListOption = options; }

    // Row kinds read from the icons of the fixed columns.
    bool IsOrderRow(int row);
    bool IsItemRow(int row);
    bool IsServiceRow(int row);
    bool IsExpandable(int row);
    bool IsPreviewRow(int row);

    // Expands or collapses one row of the list.
    void ExpandRow(int row);
    void CollapseRow(int row);
    void OnExpandAll();
    void OnCollapseAll();
    void Flatten();
    // A click on a cell (the list's click handler): expand marks, state
    // columns; onImage: the press was on the image the cell shows (a
    // service's state icon acts only then).
    void OnListClick(int row, int column, bool onImage = true);
    void OnColumnClick(int column);

    // Order status of the selected order rows (31102-31104) and the
    // automatic update of 30728. Return the count of changed orders.
    int OnOrderStatus(int status);
    int UpdateSelectedOrderStatus();
    // Item status of the selected rows (31201-31299), the update of 30729.
    int OnItemStatus(int status);
    int OnUpdateItemStatus();
    bool SetItemStatus(int itemRow, int serviceRow, int status);
    // Service date (31503 + days from today) or done (31599) of the selected
    // service rows; each also works out its item's status again.
    int OnServiceDate(int id);
    bool SetServiceDate(int row, int id);
    // Operator, tag and priority of the selected rows.
    int OnAssign(int what, int value);
    // The command a double-click on a cell posts: 30406 on column 7,
    // 30745/30746 on the priority, else 30102; 0 on a heading or spacer row.
    int DoubleClickCommand(int row, int column);
    // The catalogue's inventory window in one of its modes (30741-30746).
    void OnInventory(int mode);
    // The inventory history list (30747) and the shop's inventory options (30749).
    void OnInventoryHistory();
    void OnInventoryOptions();
    // The shared popup menu of a cell by row kind and column; -1 for none.
    int CellMenuFor(int row, int column);
    // The list popup (position of menu resource 170) of a cell without a
    // menu of its own.
    int FallbackMenuFor(int row, int column);
    // Right-click on the list: the cell's menu, its command runs on the
    // selected rows.
    void OnListContextMenu(const QPoint &point);
    // The JobID of the context row (the current row, else the first selected).
    qint32 ContextJobId();
    // The job window of the context row's order (30331, Ctrl+Open).
    void OpenContextJob();
    // The scheduling window of the context row's order (30102/30103), on
    // the context row's item or service; lists again after a change.
    void ScheduleContextOrder();
    // The job dates dialog of the context row's order (30406), read-only
    // while another user has the job open; true when saved.
    bool OnJobDates();
    // The shop-wide options of new and pasted items (30543), rights first.
    bool OnItemOptions();
    // The setup-table editors of production (30720-30724), rights first.
    void OnSetupTable(int id);
    // Moves the services of the selected rows to a production center
    // (31401-31499); the right is asked once per run. Lists again on a change.
    int OnCenter(int depId);
    // The "Scheduler List Options" dialog (30541): only a changed mask is
    // stored and listed again. True when the options changed.
    bool OnListOptions();
    // "You have Selected: ..." over the selected service rows.
    QString TotalsText();
    void OnFindOrder();
    void FindOrder(const QString &typed);

private:
    void LoadListOptions();
    void BuildTree();
    void ShowTable(const ScheduleTable &table);
    void InsertRows(int at, const QList<ScheduleRow> &rows);
    void SetCell(int row, int column, const QString &text, int image);
    // A column of the order, item and service lists as placed in this list.
    int Col(int column) const { return column >= 7 ? column + m_nShift : column; }
    int ItemRowAbove(int row);
    int OrderRowOf(int row);
    QList<int> SelectedRows();
    void RepaintOrderRow(int row, qint32 jobId);
    void MarkItemsDone(int orderRow);
    // The rows of the services whose finish was stored show them done.
    void ShowServicesDone(const QList<qint32> &serviceIds);

    ScheduleLists m_lists;
    ScheduleTable m_table;
    int m_nListKind = -1;
    int m_nListCommand = 0;
    int m_nPreviousCommand = 0;
    int m_nListed = 0;
    int m_nShift = 0; // status columns of the item status tracker before the date column
    int m_nItemOptions = 4;
    bool m_bCenterRightsAsked = false;
    bool m_bCenterRightsGiven = false;
    bool m_bExpandingAll = false; // the list opens every row: its widths are fitted once after
};
