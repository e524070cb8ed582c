#pragma once

#include <functional>

#include "app/base/Menus.h"
#include "platform/DateTime.h"
#include "views/CBarCode.h"
#include "views/FindPrompt.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtGui/QBrush>
#include <QtWidgets/QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class CXChartCtrl;
class CXProgress;
class CXDaoSet;
class CXListCtrl;
class CXTable;
class CXRibbon;
class CXTreeCtrl;
class CXWnd;
class ImageList;
class QKeyEvent;
class QLabel;
class QTreeWidgetItem;

// The base of every main view: the list manager (a tree of lists) on the left,
// the record list on the right, four command ribbons (main commands and view
// tabs, list-manager title, list caption, status line) and a coloured side
// strip. A list is named by its code, 100 x branch + entry; filling the list
// builds the view's canned statement for that code. The commands every view
// answers the same way (refresh, find and filter, column sizes, list option,
// date ranges, deletion, database backup ...) live here; derived views add
// their own through OnCommand and IsCommandEnabled.
struct ViewPrintRequest;

class CView0 : public QWidget, public PopupMenuOwner
{
    Q_OBJECT

public:
    // Control ids of the view's windows.
    enum ControlId : unsigned {
        IDC_LIST = 1401,
        IDC_CHART = 1501,
        IDC_TREE = 2201,
        IDC_HTML = 2501,
        IDC_MAIN_BAR = 1721,
        IDC_MANAGER_BAR = 1722,
        IDC_LIST_BAR = 1723,
        IDC_STATUS_BAR = 1724,
        IDC_SIDE_STRIP = 1391,
    };

    explicit CView0(int viewId, QWidget *parent = nullptr);
    ~CView0() override;

    // Runs once after construction: bars, tabs, ribbons, tree and list set-up.
    virtual void OnInitialUpdate();
    bool isInitialised() const { return m_initialised; }

    // Commands: true when the view handled the id.
    virtual bool OnCommand(int id);
    // Runs a command the user gave in the view: the view's own, otherwise it
    // goes on to the main frame (through unhandledCommand).
    void RunCommand(int id);
    // Posts a command to the view (runs from the event loop, as RunCommand).
    void PostCommand(int id);
    virtual bool IsCommandEnabled(int id);
    // The view's own commands that its list menus offer (the list bar's menu
    // and the right-click menu of the list), each with its menu text; they
    // follow the shared entries New, Find, Open and Copy and Paste.
    struct MenuCommand
    {
        int id;
        QString text;
    };
    virtual QList<MenuCommand> ListMenuCommands() const { return {}; }
    virtual int OnScanCommand(int command, int key);
    // The view's bar-code reader: every key press in the view goes to it first.
    CBarCode &barCode() { return m_barCode; }

    // List manager.
    void LoadTreeBranches(int firstResource, int lastResource, int images, int firstBranch);
    bool ReadTreeSelection();
    int GetTreeBranch() const;
    void SelectTreeCode(int code);

    // The list.
    virtual void FillList();
    virtual void OnRefresh();
    // Notes that the list is read now from the file as it is. Views that
    // fill a list of their own call it when they fill it.
    void NoteListed();
    // The list bar's caption with the count of rows shown, the status line's
    // count and the commands' states, after the rows changed.
    // The caption of a list being read: its name only, no count yet.
    void ShowReadingCaption();
    void ShowListedCount();
    // Shows no rows under the chosen list's caption: the list is emptied, the
    // notice button hidden, and the caption, count and commands say so.
    void ShowEmptyList();
    // A branch heading was chosen in the tree (ReadTreeSelection found no
    // list entry): the caption names the heading, and the list shows no row
    // of another list under it.
    void ShowHeadingChosen();
    // The one way a list follows the data: when rows were written since the
    // shown list was read (a record window saved, a posting or compaction
    // ran), the list is read again, its selected row kept. Runs when the view
    // is shown and after each record window ends; a list never filled is
    // left alone.
    void RefreshIfChanged();
    // Whether what the view shows is a list that RefreshIfChanged may read
    // again; a selection that opens a window instead of listing answers false.
    virtual bool RefillsWhenChanged() const { return true; }
    // Asks every shown view to refresh when its rows changed, once the
    // running command has ended.
    static void RefreshShownViews();
    QString GetListKey() const;
    void ClearFilter();
    std::int64_t GetSelectedItemData();
    // The keys of the rows a command acts on ("all listed", or the
    // highlighted rows only), always from the key column of the query the
    // caption names, every row read. A list that shows anything else (its
    // statement with every column, a list read before the caption changed)
    // is first read again from that query, so the rows, the count and the
    // selection the user sees are the ones acted on; its highlight is then
    // gone.
    QList<std::int64_t> ListedKeys(bool highlightedOnly);
    // Whether the list shows the rows and keys of the query the caption names.
    bool ListShowsCaptionQuery() const;
    // True when the list shows what its caption names; otherwise it is read
    // again from the caption's query, with no row highlighted, and false.
    bool ListMatchesCaption();
    // For a command over the highlighted rows: true when the list shows the
    // caption's query and a row is highlighted. Otherwise the list is read
    // again from that query where it showed another, the user is told what
    // to do, and false.
    bool HighlightedRowsOfCaption(const QString &refusal);
    // The list bar's caption: the list caption, and what a diagnostic form
    // shows beside it.
    QString ShownCaption() const;
    void UpdateRibbonStates();
    void SetNoticeButton(const QString &text, std::uint8_t colour);
    void ShowListManager(bool show);
    virtual void ShowSummary(const QString &name, const QString &summarySql);
    // The summary grid dialog of a table ("Invoices": the unpaid invoices by
    // the summary statement's groups), shown modally over the parent.
    static void RunSummary(QWidget *parent, int hue, const QString &name, const QString &summarySql);
    // Clears the filter and asks for a new one with the find dialog for the
    // view's target; false when cancelled or no list entry is selected.
    virtual bool ResetFilter();
    // Find (30101): the find dialog, then the list of what it found.
    virtual void FindRecord();
    // Runs the find dialog for a kind with the view's remembered choices and
    // keeps the filter and sort it returns; true on Find Now.
    bool RunFindDialog(const QString &kind, bool showFindItems, bool allowListChoice);
    // After a fill from a search: when the user stopped it, says so (what
    // it found before the stop is listed) and answers true.
    bool ReportStoppedSearch();
    // Shows the chart over the rows of the view's table in the list's place.
    void ShowChart();

    // Date ranges.
    void ApplyDateRange(int code);

    // Row dragging. A view allows it by setting the drop-on-tree or the
    // move-in-list member; rows are dragged from the list onto an entry of the
    // list manager, or to another place in the list. Points are in the view's
    // coordinates.
    void OnListBeginDrag(int row, int column, const QPoint &point);
    void OnMouseMove(const QPoint &point);
    void OnLButtonUp(const QPoint &point);
    // The image shown while a row is dragged; -1 refuses the drag. The base
    // gives the image of the dragged cell.
    virtual int GetDragImage(int row, int column);
    // Whether rows may be dropped on a list-manager entry; the base takes none.
    virtual bool CanDropOnTree(QTreeWidgetItem *entry);
    // Rows dropped on the drop tree entry; the base does nothing.
    virtual void DropOnTree();
    // Moves the drag row (command 0: to the drop row) or the current row
    // (30236 top, 30237 bottom, 30238 down, 30239 up); false when the list
    // refuses the move.
    bool MoveListRow(int command);
    void OnRowMoveCommand(int id);
    bool isDragging() const { return m_bDragging; }
    int dragRow() const { return m_nDragRow; }
    int dropRow() const { return m_nDropRow; }
    int moveCount() const { return m_nMoveCount; }
    QTreeWidgetItem *dropTreeEntry() const { return m_pDropTreeEntry; }

    // Deleting the selected rows by key: jobs by the job rules, customers
    // 1, 10 and 31 never, customers and services used in jobs hidden.
    void DeleteSelected(const QString &keyField, const QString &table);

    // Accessors.
    int viewId() const { return m_nViewId; }
    QString viewName() const { return m_strViewName; }
    int branch() const { return m_nBranch; }
    int item() const { return m_nItem; }
    int chosenCode() const { return m_nChosenCode; }
    QString listCaption() const { return m_strListCaption; }
    QString branchText() const { return m_strBranchText; }
    QString itemText() const { return m_strItemText; }
    QString filterText() const { return m_strFilterText; }
    QString filterSql() const { return m_strFilterSql; }
    void setFilter(const QString &shown, const QString &sql)
    {
        m_strFilterText = shown;
        m_strFilterSql = sql;
    }
    int listOption() const { return m_nListOption; }
    int dateRangeCode() const { return m_nDateRangeCode; }
    QString dateRangeCaption() const { return m_strDateRangeCaption; }
    QString dateRangeCondition() const { return m_strDateRangeCondition; }
    QString priorPeriodCondition() const { return m_strPriorCondition; }
    DateTime fromDate() const { return m_dtFrom; }
    DateTime toDate() const { return m_dtTo; }
    void setDateRange(const DateTime &from, const DateTime &to)
    {
        m_dtFrom = from;
        m_dtTo = to;
    }
    int colourHue() const { return m_nHue; }
    bool isChartShown() const { return m_bChartShown; }
    bool isListShown() const { return m_bListShown; }
    void setDeleteAllowed(bool on) { m_bDeleteAllowed = on; }
    int pendingCommand() const { return m_nPendingCommand; }

    CXListCtrl *list() const { return m_list; }
    CXTreeCtrl *tree() const { return m_tree; }
    CXRibbon *mainBar() const { return m_mainBar; }
    CXRibbon *managerBar() const { return m_managerBar; }
    CXRibbon *listBar() const { return m_listBar; }
    CXRibbon *statusBar() const { return m_statusBar; }
    CXChartCtrl *chart() const { return m_chart; }
    CXTable *table() const { return m_table.get(); }

    // "View Filter" with Ctrl held shows the statement behind the list in the
    // query dialog of the reports subsystem, which installs the opener here.
    using StatementViewer = std::function<void(QWidget *view, const QString &sql)>;
    static void SetStatementViewer(StatementViewer viewer);
    QString lastListSql() const { return m_strLastListSql; }

    // The message shown by commands whose subsystem is not part of the program
    // yet; never a silent no-op.
    static void ReportNotAvailable(const QString &what);
    // E-mail from templates to the people behind the selected rows; `kind`
    // proposes the template ("Job", "Cus", "AR").
    virtual void OnEmail(const QString &kind);
    // Command 30166: the price list of the shop's templates (estimating
    // fills the slot; while it is empty the command says it is not available).
    using PriceListOpener = std::function<void(QWidget *parent)>;
    static void SetPriceListOpener(PriceListOpener opener);
    // Command 30123: the chart's table, or the shown list through the export entry.
    void ExportShownList();

    // The appearance message (30249) of the option and colour dialogs:
    // setting 0 the view's hue (0 = its default), 1 button style, 2 fill style,
    // 3 list-manager background, 4 colour intensity, 5 font size. The change
    // is stored for the workstation and shows at once in every open view.
    void OnAppearanceMessage(int setting, int value);
    // Takes the workstation's appearance again: bar style, fills, colours, fonts.
    void ApplyAppearance();
    // Before one of the view's ribbon menus shows: an entry whose command the
    // view does not offer now is disabled.
    void OnInitPopupMenu(QMenu *subMenu, int position) override;
    void AddListMenuCommands(QMenu &menu) const;

signals:
    // The user asked for another main view (30000-30008); the main frame switches.
    void switchViewRequested(int viewId);
    // A command the view does not answer (About, the workstation options,
    // Exit ...); the main frame runs it.
    void unhandledCommand(int id);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

    // The progress of a long run (steps done, steps in all): its window opens
    // at the first step under the title, can be stopped, and closes when the
    // run tells its end, before the outcome is said. A step told again (the
    // same done) is a look at the window while that step takes long. The
    // window lives in the caller's pointer; a run of several parts gives each
    // part its own progress on the one window, which starts anew under the
    // part's title and stays open at the part's end unless `last`.
    static std::function<bool(int, int)> StepWindow(std::unique_ptr<CXProgress> &window, const QString &title,
                                                    bool last = true);

    void CreateBars();
    void FillViewTabs();
    virtual void FillRibbons();
    void LayoutBars();
    void ApplyColors();
    void OnCustomizeAppearance();
    // The list manager's width: what its longest entry needs, between 200 and
    // 320 pixels; kept for the workstation under "ListManagerWidth-" + view name.
    int ListManagerWidth();
    void OnWindowColor();
    // Starts the companion data-tools program installed beside this one, or
    // says that it is not installed.
    void OnDataTools();
    virtual void ShowSecurityState();
    virtual void ShowDefaultCsr();
    void LoadListOptions(const QString &caption, int width, int reserved, int position);
    virtual void ShowListOptionState();

    // Commands of the base.
    void OnDateRangeCommand(int id);
    void OnListOption();
    void OnColumnSizes();
    void OnStartupView();
    void OnAddFilter();
    void OnBackup();
    void OnViewFilter();
    void OnTypeCommand();
    void OnDataSourceFolders();
    void OnFavorites();
    void OnAddToFavorites();
    void OnSearch();
    void OnCompact(bool reindex);
    void OnKeyCheck();
    void OnSecurity();
    void OnWhoAmI();
    void OnListSelectionChanged();

    // Handles a key before the focused control: Enter opens or lists, the
    // application's accelerators become commands. True when consumed.
    bool HandleKey(QWidget *target, QKeyEvent *event);

    int m_nViewId = 0;
    QString m_strViewName;
    QString m_strManagerTitle = QStringLiteral("List Manager");
    QString m_strListCaption = QStringLiteral("List (empty)");
    QString m_strBranchText;
    QString m_strItemText;
    int m_nHue = -1;
    int m_nBranch = 0;
    int m_nItem = 0;
    int m_nChosenCode = 0;
    int m_nLastListed = -1;
    quint64 m_nListedAtWrites = 0; // the database's write count when the list was read; 0 never
    int m_nCodeBase = 0;
    int m_nChosenImage = 0;
    int m_nPendingCommand = 0;
    QString m_strFilterTable;
    QString m_strFindTarget;
    FindRequest m_find; // the find dialog's last choice in this view
    QString m_strFilterText;
    QString m_strFilterSql;
    QString m_strSortText;
    QString m_strLastListSql; // the statement the list was last filled from
    // The query the caption names, and its key hint: the list's statement
    // without the columns a diagnostic fill adds.
    QString m_strCaptionSql;
    QString m_strCaptionKey;
    bool m_bPlainFill = false; // the next fill is the caption's query as it is
    // A click on a list entry with Ctrl and Shift held asks for the next fill
    // in the diagnostic form (every column); that form is shown now.
    bool m_bDiagnosticClick = false;
    bool m_bDiagnosticShown = false;
    // A heading of the list manager is chosen: no list is shown, and none
    // comes back when the data changes.
    bool m_bHeadingShown = false;
    int m_nListOption = 0;
    int m_nDateRangeCode = 0;
    QString m_strDateRangeCaption;
    DateTime m_dtFrom;
    DateTime m_dtTo;
    QString m_strDateRangeCondition;
    QString m_strPriorCondition;
    bool m_bAppearanceChanged = false;
    bool m_bChartShown = false;
    bool m_bDeleteAllowed = true;
    bool m_bListShown = true;
    bool m_bTreeFilling = false;
    bool m_initialised = false;
    bool m_managerShown = true;
    int m_nManagerWidth = 0; // 0: not measured yet

    // Row dragging.
    int m_nDropOnTree = 0;
    int m_nMoveInList = 0;
    bool m_bDragging = false;
    int m_nNoticeCommand = 0;
    const ImageList *m_pDragImageList = nullptr;
    int m_nDragImage = -1;
    int m_nDragRow = -1;
    QWidget *m_pWndUnder = nullptr;
    int m_nDropRow = -1;
    int m_nMoveCount = 0;
    QTreeWidgetItem *m_pDropTreeEntry = nullptr;

    CXListCtrl *m_list = nullptr;
    CXTreeCtrl *m_tree = nullptr;
    CXRibbon *m_mainBar = nullptr;
    CXRibbon *m_managerBar = nullptr;
    CXRibbon *m_listBar = nullptr;
    CXRibbon *m_statusBar = nullptr;
    CXWnd *m_sideStrip = nullptr;
    std::unique_ptr<CXTable> m_table;
    CXChartCtrl *m_chart = nullptr;
    CBarCode m_barCode;

    // Printing of the list or chart as shown (57607-57609) and of the screen (30335).
    void PrintListAsShown(int command);
    // The print command (30330): the print entry with the view's list, chart
    // or current record; what it answers is carried out. A view may change
    // the request before it goes.
    void PrintView(const std::function<void(ViewPrintRequest &)> &adjust = {});
    void PrintScreenOfList();

private:
    // The control (tree or list) a point of the view lies over, else the
    // child there, else null.
    QWidget *dragWindowAt(const QPoint &point) const;
    void setDropTreeEntry(QTreeWidgetItem *entry);
    void endListDrag();

    QLabel *m_dragLabel = nullptr;
    QBrush m_dropEntryBack;
    QBrush m_dropEntryText;
};
