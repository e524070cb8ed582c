#include "views/CView0.h"
#include "views/ListChoice.h"
#include "views/RemindersService.h"
#include "views/ListExport.h"
#include "views/QuickSaleSlot.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/FileChoice.h"
#include "app/base/HtmlText.h"
#include "app/base/SystemInfo.h"
#include "app/base/ImageList.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/ProgramPaths.h"
#include "app/base/Menus.h"
#include "controls/CSearchList.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/CXRibbon.h"
#include "controls/CXRowSource.h"
#include "controls/CXTable.h"
#include "controls/CXTreeCtrl.h"
#include "controls/CXWnd.h"
#include "controls/DlgItem.h"
#include "data/CJobSet.h"
#include "data/CSQL.h"
#include "app/base/Confirmation.h"
#include "data/Compaction.h"
#include "data/DaoError.h"
#include "data/KeyCheck.h"
#include "data/TableReport.h"
#include "data/CustomerRows.h"
#include "data/SharedDatabase.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "platform/db/WriteCount.h"
#include "resources/Strings.h"
#include "app/base/PrintService.h"
#include "views/BarCodeKeyFeed.h"
#include "data/DatabaseFiles.h"
#include "views/DatabaseBackup.h"
#include "views/CDlgData.h"
#include "views/CDlgGrid.h"
#include "data/CXDaoSet.h"
#include "views/CDlgOptions.h"
#include "views/CDateRange.h"
#include "views/CFavoritesDlg.h"

#include <utility>
#include <QtCore/QProcess>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTreeWidgetItem>

#include <optional>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kViewSettings = QStringLiteral("View Settings");
const QString kViewColumns = QStringLiteral("View Columns");

// The order of the view tabs on the main bar.
constexpr int kTabOrder[] = {30000, 30001, 30007, 30008, 30002, 30003, 30004, 30005, 30006};

QColor toQColor(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// A placeholder child with a control id and a rectangle; the program's own
// controls take its place.
void makePlaceholder(QWidget *parent, unsigned id, const QRect &rect)
{
    auto *w = new QWidget(parent);
    SetDlgCtrlID(w, id);
    w->setGeometry(rect);
}

QString todayLong()
{
    return FormatNowLong(0);
}

// The plain table window of the base (template 420) that shows a summary.
class SummaryGridDlg : public CDlgGrid
{
public:
    SummaryGridDlg(QWidget *parent, int hue) : CDlgGrid(420, parent, 0, hue)
    {
        AddStandardLayout(QSize(330, 600), QRect(15, 70, 300, 444));
    }
};

} // namespace

CView0::CView0(int viewId, QWidget *parent)
    : QWidget(parent), m_nViewId(viewId), m_table(std::make_unique<CXTable>())
{
    setObjectName(QStringLiteral("CView0-%1").arg(viewId));
    // Year to date until a date-range command or a derived view says otherwise.
    GetDateRangeForCode(m_dtFrom, m_dtTo, DateRange::CmdYearToDate);
    m_nDateRangeCode = DateRange::CmdYearToDate;
}

CView0::~CView0()
{
    if (m_bDragging)
        QGuiApplication::restoreOverrideCursor();
}

void CView0::ExportShownList()
{
    // A chart shows its table: the table writes itself.
    if (m_bChartShown) {
        m_table->ExportToFile();
        return;
    }
    if (!m_list)
        return;
    // What is written is the list the caption names, however it was filled.
    ListMatchesCaption();
    if (m_list->GetItemCount() == 0)
        return;
    const ListExporter &exporter = listExporter();
    if (!exporter) {
        ReportNotAvailable(QStringLiteral("Exporting the list"));
        return;
    }
    // The posting journals of the reports view also go to the accounting files.
    const int format = m_nViewId == 30005 && m_nBranch == 6 ? 3 : 2;
    exporter(m_nViewId, m_nBranch, m_nItem, m_strBranchText + QLatin1Char(' ') + m_strItemText, m_list, false, format);
}

void CView0::OnEmail(const QString &kind)
{
    // A row of a list other than the caption's names no record to write to:
    // the list is read again and the user chooses anew.
    const bool agreed = !m_list || ListMatchesCaption();
    const std::int64_t chosen = agreed ? GetSelectedItemData() : -1;
    const qint32 key = chosen > 0 ? qint32(chosen) : 0;
    if (key < 1) {
        platform::Prompt::messageBox(QStringLiteral("To send emails, you need to select a contact, customer, or a job"));
        return;
    }
    const ListEmailer &emailer = listEmailer();
    if (!emailer) {
        ReportNotAvailable(QStringLiteral("E-mail"));
        return;
    }
    // The PDF the print command has just made for mailing goes along.
    PrintService *printer = ZqApp() ? ZqApp()->printService() : nullptr;
    emailer(m_list, m_nViewId, key, kind, printer ? printer->TakeAttachmentName() : QString());
}

namespace {

CView0::PriceListOpener &priceListOpener()
{
    static CView0::PriceListOpener opener;
    return opener;
}

} // namespace

void CView0::SetPriceListOpener(PriceListOpener opener)
{
    priceListOpener() = std::move(opener);
}

void CView0::OnDataTools()
{
    // The companion program is installed in the program's own folder.
    const QString folder = GetProgramFolder();
    QString program;
    for (const QString &name : {QStringLiteral("TavrelDataTools"), QStringLiteral("TavrelDataTools.exe")}) {
        const QFileInfo candidate(folder + name);
        if (candidate.isFile() && candidate.isExecutable()) {
            program = candidate.absoluteFilePath();
            break;
        }
    }
    if (program.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("The data tools are not installed.\n\nTavrel starts them as "
                                                    "\"TavrelDataTools\" from its own folder:\n") +
                                         folder,
                                     QString(), platform::MB_ICONINFORMATION);
        return;
    }
    if (!QProcess::startDetached(program, {}, folder))
        platform::Prompt::messageBox(QStringLiteral("The data tools could not be started:\n") + program, QString(),
                                     platform::MB_ICONEXCLAMATION);
}

void CView0::ReportNotAvailable(const QString &what)
{
    platform::Prompt::messageBox(what + QStringLiteral(" is not yet available in this version of Tavrel."),
                                 QString(), platform::MB_ICONINFORMATION);
}

// --- set-up --------------------------------------------------------------------

void CView0::OnInitialUpdate()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_strViewName = Appearance::GetViewName(unsigned(m_nViewId));
    if (width() < 400 || height() < 300)
        resize(900, 600);

    // The template's placeholders; the bars take their places.
    makePlaceholder(this, IDC_MAIN_BAR, QRect(0, 0, width(), 60));
    makePlaceholder(this, IDC_MANAGER_BAR, QRect(0, 60, 200, 26));
    makePlaceholder(this, IDC_LIST_BAR, QRect(206, 60, width() - 206, 26));
    makePlaceholder(this, IDC_STATUS_BAR, QRect(0, height() - 26, width(), 26));
    makePlaceholder(this, IDC_SIDE_STRIP, QRect(200, 86, 6, height() - 112));

    // Scans reach the view before any of its controls.
    new BarCodeKeyFeed(this, m_barCode, [this](int command) {
        OnScanCommand(command, 0);
    });

    m_tree = new CXTreeCtrl(this);
    SetDlgCtrlID(m_tree, IDC_TREE);
    m_list = new CXListCtrl(this);
    SetDlgCtrlID(m_list, IDC_LIST);

    CreateBars();
    FillViewTabs();
    FillRibbons();
    // The titles of the three narrow bars take whatever width their bar has
    // left, again at every resize.
    m_managerBar->RecalcLayout(30672);
    m_listBar->RecalcLayout(30673);
    m_statusBar->RecalcLayout(30262);
    ShowSecurityState();
    ShowDefaultCsr();

    Appearance &look = Appearance::instance();
    const unsigned back = look.GetListManagerBackColor(m_mainBar ? m_mainBar->color(2) : 0xFFFFFF);
    m_tree->SetImageListAndFont(131, 2);
    m_tree->SetClickToExpand(true);
    m_tree->SetColors(back, 0);
    m_tree->SetDrawStyle(2, 0x808080, 253, 253);
    m_tree->setHeaderHidden(true);

    m_list->SetImageListAndStyle(131, 48, 0x14573);
    m_list->SetDrawStyle(1, back);
    m_list->SetAutoSizeMode(
        platform::Settings::readInt(kViewSettings, QStringLiteral("AutoResize-") + m_strViewName, 255), false);
    m_list->AddColumn(todayLong(), 600, 10, true);

    // A tree selection lists at once, unless the program is filling the tree.
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (current && !m_bTreeFilling && !m_tree->isBusy()) {
            // The entry chosen shows as chosen while its list is read (the
            // click's own selection would come only after it).
            if (QItemSelectionModel *selection = m_tree->selectionModel())
                selection->select(m_tree->currentIndex(),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            m_tree->viewport()->repaint();
            OnCommand(30401);
        }
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { OnCommand(30401); });
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this] { QTimer::singleShot(150, this, [this] { PostCommand(30103); }); });
    // The keys move the current row after the selection: both tell.
    if (m_list->selectionModel()) {
        connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] { OnListSelectionChanged(); });
        connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this] { OnListSelectionChanged(); });
    }
    // A column's header sorts by it: the list answers the click itself, and
    // the status bar then tells where the chosen row went.
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this] { OnListSelectionChanged(); });
    m_tree->installEventFilter(this);
    m_tree->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &CXListCtrl::beginDrag, this, [this](int row, int column, const QPoint &point) {
        OnListBeginDrag(row, column, m_list->viewport()->mapTo(this, point));
    });

    LayoutBars();
    UpdateRibbonStates();
    // Reminders due today or earlier show (and may open) as the view opens.
    UpdateReminderCounts(m_mainBar, m_nViewId, 0, true);
}

void CView0::CreateBars()
{
    Appearance &look = Appearance::instance();
    if (m_nHue == -1)
        m_nHue = look.GetViewHue(unsigned(m_nViewId), true);
    const int buttonStyle = look.buttonStyle();
    const std::uint8_t barStyle = buttonStyle == 2 ? 2 : buttonStyle == 3 ? 3 : 0;
    const int itemHeight = buttonStyle == 2 ? 36 : buttonStyle == 3 ? 28 : 0;

    // The list-manager bar and the list bar are filled in the workstation's
    // fill style, the background they take again when the user changes it
    // (the colour intensity is a saturation percent, no background).
    const std::uint8_t barBack = std::uint8_t(look.fillStyle());
    m_mainBar = new CXRibbon(this);
    m_mainBar->Create(this, IDC_MAIN_BAR, m_nHue, barStyle, 132, 4, 0, 4, 6, 0, itemHeight);
    m_managerBar = new CXRibbon(this);
    m_managerBar->Create(this, IDC_MANAGER_BAR, m_nHue, 1, 131, barBack, 0, 0, 0, 0, 0);
    m_listBar = new CXRibbon(this);
    m_listBar->Create(this, IDC_LIST_BAR, m_nHue, 1, 131, barBack, 0, 0, 0, 0, 0);
    m_statusBar = new CXRibbon(this);
    m_statusBar->Create(this, IDC_STATUS_BAR, m_nHue, 1, 131, 6, 16, 0, 0, 0, 0);
    m_sideStrip = new CXWnd(this);
    m_sideStrip->CreateFromItem(this, IDC_SIDE_STRIP, m_nHue, 14, 0, 2, 2085, QStringLiteral("."));

    for (CXRibbon *bar : {m_mainBar, m_managerBar, m_listBar, m_statusBar})
        connect(bar, &CXWnd::commandTriggered, this, [this](int id) { RunCommand(id); });
}

void CView0::FillViewTabs()
{
    CZqApp *app = ZqApp();
    for (int id : kTabOrder) {
        if (app && !app->IsTabShown(id))
            continue;
        m_mainBar->AddLabel(unsigned(id), Appearance::GetViewName(unsigned(id)), id == m_nViewId ? 2 : 0, 50,
                            Appearance::GetViewTip(unsigned(id)));
    }
    m_mainBar->AddLabel(30671, QStringLiteral("Help"), 0, 24);
    m_mainBar->SetItemImage(30671, 131, 219);
    m_mainBar->SetItemLayout(30671, 128, 1);
}

void CView0::FillRibbons()
{
    const bool compact = m_mainBar->barStyle() == 2;
    const std::uint8_t border = compact ? 0 : 2;
    const int width = compact ? 44 : 64;
    auto button = [&](unsigned id, const char *caption, const char *tip, int image) {
        m_mainBar->AddItem(id, QString::fromUtf8(caption), 0, 132, std::uint8_t(image), 1, 2085, 0, border, width, 0, 0,
                           QString::fromUtf8(tip));
    };
    m_mainBar->AddItem(30280, m_strViewName, 0, 0, 255, 6, 2084, 0, border, 190, 128, 0,
                       QStringLiteral("Tavrel Main Menu"));
    m_mainBar->AddSpacer(8, 0);
    button(30100, "New", "F2", 0);
    button(30101, "Find", "F3", 1);
    button(30103, "Open", "F6", 2);
    m_mainBar->AddSpacer(8, 0);
    button(30330, "Print", "F7", 3);
    button(30107, "Email", "F8", 4);
    button(30123, "Export", "F9", 5);
    m_mainBar->AddSpacer(8, 0);
    button(30124, "Favorites", "F4", 41);
    m_mainBar->AddSpacer(8, 0);
    button(30512, "Security", "Set Security Level on/off", 76);
    button(8900, "Reminder", "", 84);
    button(30520, "Who am I?", "", 65);
    m_mainBar->EnableItem(30123, false);

    m_managerBar->AddItem(30532, QString(), 0, 0, 12, 2, 2085, 0, 0, 24, 0, 0,
                          QStringLiteral("Expand/Collapse List Manager"));
    m_managerBar->AddItem(30672, m_strManagerTitle, 4, 0, 255, 2, 2085, 0, 0, 24);
    m_managerBar->AddItem(30216, QString(), 0, 0, 9, 2, 2085, 0, 128, 24, 0, 0,
                          QStringLiteral("Show/Hide List Manager"));

    m_listBar->AddItem(30673, m_strListCaption, 0, 0, 255, 2, 2084, 0, 64, 200, 170, 1,
                       QStringLiteral("List Menu"));
    m_listBar->AddItem(30211, QString(), 5, 0, 255, 2, 2084, 0, 0, 150);

    // The exit item shows the whole date (its image, indent and caption).
    const QString exitCaption = QStringLiteral("Exit - ") + todayLong();
    m_statusBar->AddItem(30529, exitCaption, 0, 131, 224, 2, 2084, 14, 0,
                         std::max(211, m_statusBar->MeasureText(exitCaption, 2) + 18 + 16), 0, 0,
                         QStringLiteral("Exit Tavrel (Alt+F4)"));
    m_statusBar->AddItem(30262, QString(), 4, 0, 255, 2, 2084, 0, 0, 120);
    auto tool = [&](unsigned id, const char *caption, const char *tip, int image) {
        m_statusBar->AddItem(id, QString::fromUtf8(caption), 0, 131, std::uint8_t(image), 2, 2084, 0, 0, 70, 0, 0,
                             QString::fromUtf8(tip));
    };
    tool(30121, "Refresh", "Refresh List (F5)", 176);
    tool(30120, "Search", "Search List (Ctrl+F3)", 177);
    tool(30064, "Totals", "View Column Totals (Ctrl+T)", 179);
    tool(30062, "Filter", "View Filter (Ctrl+I)", 178);
    tool(30538, "Resize", "Set column sizes", 175);
}

void CView0::LayoutBars()
{
    if (!m_mainBar)
        return;
    const int w = width();
    const int h = height();
    const int top = qMax(m_mainBar->GetBarHeight(), 40);
    const int barH = 26;
    const int treeW = ListManagerWidth();
    const int strip = 6;
    const int bottom = h - barH;
    m_mainBar->setGeometry(0, 0, w, top);
    const int listLeft = m_managerShown ? treeW + strip : 0;
    m_managerBar->setGeometry(0, top, treeW, barH);
    m_listBar->setGeometry(listLeft, top, w - listLeft, barH);
    m_statusBar->setGeometry(0, bottom, w, barH);
    const int bodyTop = top + barH;
    m_tree->setGeometry(0, bodyTop, treeW, bottom - bodyTop);
    m_sideStrip->setGeometry(treeW, bodyTop, strip, bottom - bodyTop);
    m_tree->setVisible(m_managerShown);
    m_sideStrip->setVisible(m_managerShown);
    m_managerBar->setVisible(m_managerShown);
    const QRect listRect(listLeft, bodyTop, w - listLeft, bottom - bodyTop);
    m_list->setGeometry(listRect);
    for (unsigned id : {unsigned(IDC_HTML), unsigned(IDC_CHART)})
        if (QWidget *other = GetDlgItem(this, id))
            other->setGeometry(listRect);
}

void CView0::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutBars();
}

void CView0::ApplyColors()
{
    for (CXWnd *bar : {static_cast<CXWnd *>(m_mainBar), static_cast<CXWnd *>(m_managerBar),
                       static_cast<CXWnd *>(m_listBar), static_cast<CXWnd *>(m_statusBar), m_sideStrip})
        if (bar)
            bar->SetColorScheme(m_nHue);
    const unsigned back = Appearance::instance().GetListManagerBackColor(m_mainBar->color(2));
    m_tree->SetColors(back, 0);
    m_list->SetDrawStyle(1, back);
    update();
}

void CView0::ShowListManager(bool show)
{
    m_managerShown = show;
    LayoutBars();
}

void CView0::ShowSecurityState()
{
    CZqApp *app = ZqApp();
    if (app && m_mainBar)
        m_mainBar->SetItemImage(30512, 132, std::uint8_t(app->GetSecurityGlyph().unicode()));
}

void CView0::ShowDefaultCsr()
{
    CZqApp *app = ZqApp();
    if (!app || !m_mainBar || app->m_nDefaultCsr <= 0)
        return;
    const QString name = app->GetEmployeeName(quint8(app->m_nDefaultCsr));
    m_mainBar->SetItemImage(30520, 133, std::uint8_t(app->m_nDefaultCsr));
    m_mainBar->SetItemText(30520, name);
    m_mainBar->SetItemTip(30520, QStringLiteral("Default CSR: ") + name);
}

void CView0::SetNoticeButton(const QString &text, std::uint8_t colour)
{
    m_listBar->SetItemText(30211, text);
    if (text.isEmpty()) {
        m_listBar->SetItemState(30211, 5);
    } else {
        m_listBar->SetItemState(30211, 0);
        m_listBar->SetItemColor(30211, colour);
    }
}

// --- the list manager ------------------------------------------------------------

void CView0::LoadTreeBranches(int firstResource, int lastResource, int images, int firstBranch)
{
    int n = firstBranch;
    m_bTreeFilling = true;
    for (int id = firstResource; id <= lastResource; ++id) {
        const QString list = LoadResourceString(id);
        if (list.isEmpty())
            continue; // a missing resource adds no branch and shifts nothing
        m_tree->AddBranch(list, quint32(n * 100), images, images);
        ++n;
    }
    m_bTreeFilling = false;
    LayoutBars(); // the list manager takes the width its entries need
}

bool CView0::ReadTreeSelection()
{
    QTreeWidgetItem *entry = m_tree->currentItem();
    if (!entry)
        return false;
    const int code = int(CXTreeCtrl::GetItemData(entry));
    if (entry->parent()) {
        m_nChosenCode = code;
        m_nBranch = (code - m_nCodeBase) / 100;
        m_nItem = code % 100;
        m_strBranchText = entry->parent()->text(0);
        m_strItemText = entry->text(0);
        m_nChosenImage = CXTreeCtrl::GetImage(entry);
        if (m_strItemText == QLatin1String("All"))
            m_strListCaption = QStringLiteral("All %1").arg(m_strBranchText);
        else
            m_strListCaption = QStringLiteral("%1 / %2").arg(m_strBranchText, m_strItemText);
        m_strListCaption.remove(QLatin1String("..."));
        return true;
    }
    // A branch header names no list; the caption names the header chosen.
    m_nChosenCode = code;
    m_nItem = 0;
    m_strItemText.clear();
    m_strListCaption = entry->text(0) + QStringLiteral(" /");
    m_strListCaption.remove(QLatin1String("..."));
    return false;
}

int CView0::GetTreeBranch() const
{
    QTreeWidgetItem *entry = m_tree->currentItem();
    if (!entry)
        return 0;
    return (int(CXTreeCtrl::GetItemData(entry)) - m_nCodeBase) / 100;
}

void CView0::SelectTreeCode(int code)
{
    if (HTREEITEM entry = m_tree->FindItemByData(quint32(code))) {
        m_bTreeFilling = true;
        m_tree->SelectAndShow(entry);
        m_bTreeFilling = false;
    }
    OnRefresh();
}

// --- filling -----------------------------------------------------------------

QString CView0::GetListKey() const
{
    return QStringLiteral("%1-%2/%3").arg(m_strViewName, m_strBranchText, m_strItemText);
}

void CView0::ClearFilter()
{
    m_strFilterTable.clear();
    m_strFilterText.clear();
    m_strFilterSql.clear();
}

void CView0::FillList()
{
    const int code = m_nBranch * 100 + m_nItem;
    if (code != m_nChosenCode) {
        if (HTREEITEM entry = m_tree->FindItemByData(quint32(code))) {
            m_bTreeFilling = true;
            m_tree->SelectAndShow(entry);
            m_bTreeFilling = false;
        }
    }
    if (QTreeWidgetItem *entry = m_tree->currentItem())
        m_nChosenImage = CXTreeCtrl::GetImage(entry);
    if (m_bChartShown)
        return;

    // The same list again keeps its selected row.
    std::int64_t keep = -1;
    if (code == m_nLastListed && m_list->GetSelectedCount() > 0)
        keep = m_list->GetSelectedData();
    m_nLastListed = code;

    int image = m_nChosenImage;
    if (m_nItem == 0)
        image += (image >= 0 && image <= 10) ? 24 : 12;
    m_list->SetDefaultImage(image, m_nViewId == 30003 && m_nBranch > 4);

    // The statement with every column is a diagnostic form asked for by one
    // gesture alone: a click on a list entry with Ctrl and Shift held (no key
    // of the program makes it). Keys held while any other fill runs (a
    // view's own Ctrl+Shift shortcut among them) change nothing.
    const bool diagnostic = !m_bPlainFill && std::exchange(m_bDiagnosticClick, false);
    m_bPlainFill = false;
    m_bHeadingShown = false;
    m_bDiagnosticShown = diagnostic;
    CSQL statement(m_nViewId, m_nBranch, m_nItem, m_strFilterSql, m_strSortText, m_nListOption, diagnostic);
    // What the caption names is the list's query as it is; its diagnostic
    // form shows every column of the same rows, but commands take their
    // keys from the query itself (ListedKeys).
    if (diagnostic) {
        const CSQL plain(m_nViewId, m_nBranch, m_nItem, m_strFilterSql, m_strSortText, m_nListOption, false);
        m_strCaptionSql = plain.m_strSQL.trimmed();
        m_strCaptionKey = plain.m_strKey;
    } else {
        m_strCaptionSql = statement.m_strSQL.trimmed();
        m_strCaptionKey = statement.m_strKey;
    }

    m_strLastListSql = statement.m_strSQL;
    m_list->LoadColumnWidths(GetListKey(), false);
    // A filter of the user's own may keep the engine busy for long, and a
    // list of groups (the inactive customers, the top ones) has no first
    // row before every row of its tables is counted: both run beside the
    // window, which goes on answering and shows their progress.
    const bool groups = statement.m_strSQL.contains(QLatin1String(" GROUP BY "), Qt::CaseInsensitive);
    if (m_strFilterSql.isEmpty() && !groups) {
        m_list->FillFromSql(statement.m_strSQL, statement.m_strKey);
    } else {
        // While it is read the caption names what is read, not the list
        // before it and its count.
        ShowReadingCaption();
        m_list->FillFromUserSql(statement.m_strSQL, statement.m_strKey);
    }
    NoteListed();
    m_list->viewport()->update();

    ShowListedCount();
    if (m_nViewId == 30001 && m_nBranch == 0)
        m_list->SetStatusImages();

    if (keep != -1) {
        m_list->FindItemByData(keep, true);
    } else {
        // No row is chosen in a new list: nor does the status bar name one,
        // so every command finds the same (none) until a row is clicked.
        m_list->SelectItem(-1);
        ShowListedCount();
    }
}

bool CView0::ListShowsCaptionQuery() const
{
    return !m_strCaptionSql.isEmpty() && m_list->GetListedStatement() == m_strCaptionSql
           && m_list->GetListedKeyHint() == m_strCaptionKey;
}

bool CView0::ListMatchesCaption()
{
    // A view that lists by its own means (never through its list query)
    // shows what its caption names.
    if (m_strCaptionSql.isEmpty() || ListShowsCaptionQuery())
        return true;
    // Its highlight and current row belong to rows of another query.
    m_list->clearSelection();
    m_list->SelectItem(-1);
    m_bPlainFill = true;
    FillList();
    m_bPlainFill = false;
    return false;
}

bool CView0::HighlightedRowsOfCaption(const QString &refusal)
{
    if (!m_list || m_bChartShown)
        return false;
    if (!ListMatchesCaption()) {
        // The rows highlighted were rows of another list: the caption's own
        // is shown now, and the user chooses among its rows.
        TellListReadAgain(*this, QStringLiteral("rows"));
        return false;
    }
    if (m_list->GetSelectedCount() == 0) {
        platform::Prompt::messageBox(refusal);
        return false;
    }
    return true;
}

QList<std::int64_t> CView0::ListedKeys(bool highlightedOnly)
{
    QList<std::int64_t> keys;
    if (m_bChartShown)
        return keys;
    // Still another list after it was read again (the query could not be
    // read): nothing is acted on.
    if (!ListMatchesCaption() && !ListShowsCaptionQuery())
        return keys;
    // Every row, read to the end of the query.
    m_list->FetchAll();
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (!highlightedOnly || m_list->IsItemSelected(row))
            keys << m_list->GetItemData(row);
    return keys;
}

QString CView0::ShownCaption() const
{
    // The diagnostic form says what it is: its rows are those of the
    // statement's every table, not what the caption's list names.
    return m_bDiagnosticShown ? m_strListCaption + QStringLiteral(" - every column (diagnostic)") : m_strListCaption;
}

void CView0::ShowListedCount()
{
    UpdateRibbonStates();
    const int count = m_list->GetItemCount();
    m_listBar->SetItemText(30673, QStringLiteral("%1 (%2 listed)").arg(ShownCaption()).arg(count));
    QString shown = m_strFilterText;
    shown.remove(QLatin1Char('#'));
    m_statusBar->SetItemText(30262, QStringLiteral("Listed: %1   %2").arg(count).arg(shown));
}

void CView0::ShowReadingCaption()
{
    m_listBar->SetItemText(30673, ShownCaption());
    m_statusBar->SetItemText(30262, QString());
    m_listBar->repaint();
    m_statusBar->repaint();
}

void CView0::ShowEmptyList()
{
    m_list->ClearList();
    // Rows listed later are new rows: none is kept selected from these.
    m_nLastListed = -1;
    SetNoticeButton(QString(), 0);
    ShowListedCount();
}

void CView0::RefreshIfChanged()
{
    // Another window still open above the view refreshes it when it ends.
    // Nor while a long run works (a list being read beside the window among
    // them): the list it fills is not taken from under it.
    if (m_nListedAtWrites == 0 || !isVisible() || QApplication::activeModalWidget() || LongRun::IsWorking()
        || !RefillsWhenChanged())
        return;
    // A heading chosen in the list manager names no list: none comes back
    // under its caption when the data changes.
    if (m_bHeadingShown)
        return;
    platform::Database &db = SharedDatabase();
    if (!db.isOpen() || platform::databaseWriteCount(db) == m_nListedAtWrites)
        return;
    FillList();
}

void CView0::NoteListed()
{
    m_nListedAtWrites = platform::databaseWriteCount(SharedDatabase());
}

void CView0::RefreshShownViews()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        QList<CView0 *> views = top->findChildren<CView0 *>();
        if (auto *view = qobject_cast<CView0 *>(top))
            views << view;
        for (CView0 *view : views)
            if (view->isVisible())
                QMetaObject::invokeMethod(view, [view] { view->RefreshIfChanged(); }, Qt::QueuedConnection);
    }
}

void CView0::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QMetaObject::invokeMethod(this, [this] { RefreshIfChanged(); }, Qt::QueuedConnection);
}

void CView0::OnRefresh()
{
    if (!ReadTreeSelection()) {
        ShowHeadingChosen();
        return;
    }
    if (m_strItemText == QLatin1String("Other...") && !ResetFilter())
        return;
    FillList();
}

void CView0::ShowHeadingChosen()
{
    QTreeWidgetItem *entry = m_tree->currentItem();
    if (!entry || entry->parent())
        return;
    // A branch heading names no list: the list bar names the heading chosen,
    // and no row of the list chosen before it stays under that caption. What
    // a find listed under this very heading stays, and so do rows the view
    // put in the list itself.
    const int heading = (int(CXTreeCtrl::GetItemData(entry)) - m_nCodeBase) / 100 * 100;
    if (m_nLastListed != -1 && m_nLastListed != heading) {
        m_list->ClearAll();
        m_nLastListed = -1;
        m_bHeadingShown = true;
        m_bDiagnosticShown = false;
        m_strCaptionSql.clear();
        m_strCaptionKey.clear();
        SetNoticeButton(QString(), 0);
        ShowListedCount();
    }
    m_listBar->SetItemText(30673, m_strListCaption);
}

bool CView0::RunFindDialog(const QString &kind, bool showFindItems, bool allowListChoice)
{
    const FindPromptRunner &prompt = GetFindPrompt();
    if (!prompt) {
        ReportNotAvailable(QStringLiteral("The find dialog"));
        return false;
    }
    FindRequest request = m_find;
    request.kind = kind;
    request.hue = m_nHue;
    request.showFindItems = showFindItems;
    request.allowListChoice = allowListChoice;
    const int answer = prompt(request, this);
    if (answer == 30609) {
        PostCommand(30609);
        return false;
    }
    if (answer != 1)
        return false;
    m_find = request;
    m_strFilterTable = kind;
    m_strFindTarget = request.listLabel;
    m_strFilterSql = request.filter;
    m_strSortText = request.sort;
    // A column of the searched table is shown by its name alone.
    QString shown = request.filter;
    const qsizetype dot = shown.indexOf(QLatin1Char('.'));
    if (dot > 0) {
        const qsizetype start = shown.startsWith(QLatin1Char('(')) ? 1 : 0;
        if (shown.mid(start, dot - start) == kind)
            shown.remove(start, dot - start + 1);
    }
    m_strFilterText = shown;
    return true;
}

bool CView0::ResetFilter()
{
    if (!ReadTreeSelection())
        return false;
    ClearFilter();
    int listIndex = -1;
    const QString kind = FindTargetOfView(m_nViewId, m_nBranch, m_nItem, listIndex);
    m_find.listIndex = listIndex >= 0 ? listIndex : m_nBranch;
    return RunFindDialog(kind, m_nViewId == 30001, m_nViewId == 30001);
}

void CView0::FindRecord()
{
    m_nItem = 0;
    m_nBranch = GetTreeBranch();
    int listIndex = -1;
    const QString kind = FindTargetOfView(m_nViewId, m_nBranch, m_nItem, listIndex);
    m_find.listIndex = listIndex >= 0 ? listIndex : m_nBranch;
    ClearFilter();
    const int pending = m_nPendingCommand;
    m_nPendingCommand = 0;
    if (!RunFindDialog(kind, m_nViewId == 30001, m_nViewId == 30001)) {
        if (pending)
            PostCommand(pending);
        return;
    }
    if (m_nViewId == 30001)
        m_nBranch = m_find.listIndex;
    m_strListCaption = kind + QLatin1Char(' ') + m_strFilterText;
    m_strBranchText = kind;
    m_strItemText.clear();
    FillList();
    m_list->setFocus();
    // A search the user stopped found what it found before the stop: it is
    // no miss, and nothing more is asked or searched.
    if (ReportStoppedSearch())
        return;
    int rows = m_list->GetItemCount();
    bool switched = false;
    if (rows == 0 && m_nViewId == 30001 && m_strFilterSql.contains(QLatin1String("JobNo"))) {
        // A job number not among the orders may be posted already, and the
        // other way round.
        const bool history = m_nBranch == 3;
        if ((m_nBranch == 0 || history) &&
            platform::Prompt::messageBox(
                QStringLiteral("Cannot find the job in the %1 file. Search the %2 file?")
                    .arg(history ? QStringLiteral("History") : QStringLiteral("Order"),
                         history ? QStringLiteral("Order") : QStringLiteral("History")),
                QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES) {
            m_nBranch = history ? 0 : 3;
            m_find.listIndex = m_nBranch;
            FillList();
            if (ReportStoppedSearch())
                return;
            rows = m_list->GetItemCount();
            switched = true;
        }
    }
    if (rows == 0) {
        platform::Prompt::messageBox(QStringLiteral("Not found:\n\n") + m_strFilterText);
        m_nPendingCommand = pending;
        PostCommand(30101);
        return;
    }
    if (pending && (switched || rows == 1)) {
        // The command that waits (Open, say) takes the job found: it is the
        // row the list shows chosen.
        if (m_list->GetSelectedCount() == 0)
            m_list->SelectItem(0);
        PostCommand(pending);
    }
}

std::int64_t CView0::GetSelectedItemData()
{
    if (!m_list || m_list->GetItemCount() == 0 || (m_list->GetCurrentRow() < 0 && m_list->GetSelectedCount() == 0))
        return -1;
    // A row of another list than the caption's names no record of it: the
    // list is read again and the user chooses anew.
    if (!ListMatchesCaption())
        return -1;
    // Rows highlighted with none current (Select All): the first of them is
    // the row chosen, as the list shows it.
    if (m_list->GetCurrentRow() < 0)
        m_list->GetSelectedData();
    return m_list->GetItemData(m_list->GetCurrentRow());
}

void CView0::OnListSelectionChanged()
{
    const int row = m_list->GetCurrentRow();
    if (row < 0)
        m_statusBar->SetItemText(30262, QString());
    else
        m_statusBar->SetItemText(30262, QStringLiteral("%1 of %2").arg(row + 1).arg(m_list->GetItemCount()));
}

void CView0::UpdateRibbonStates()
{
    for (CXRibbon *bar : {m_mainBar, m_managerBar, m_listBar, m_statusBar}) {
        if (!bar)
            continue;
        for (int i = 0; i < bar->GetItemCount(); ++i) {
            const unsigned id = bar->GetItemId(i);
            if (id != 0)
                bar->EnableItemAt(i, IsCommandEnabled(int(id)));
        }
    }
}

// --- commands ----------------------------------------------------------------

void CView0::RunCommand(int id)
{
    // Exit during a long run (from a menu) asks the run whether to stop, as
    // a close of the main window does.
    if (id == 30529 && LongRun::AskToEnd())
        return;
    RunCommandReportingDaoErrors([this, id] {
        if (!OnCommand(id))
            emit unhandledCommand(id);
    });
}

void CView0::PostCommand(int id)
{
    QMetaObject::invokeMethod(
        this, [this, id] { LongRun::Deliver(this, [this, id] { RunCommand(id); }); }, Qt::QueuedConnection);
}

bool CView0::IsCommandEnabled(int id)
{
    int rows = 0;
    if (m_bChartShown)
        rows = m_table->GetRowCount();
    else if (m_bListShown && m_list && m_list->isVisible())
        rows = m_list->GetItemCount();

    if (id < 30062 || (id > 30270 && id < 30330))
        return true;
    switch (id) {
    case 30062: case 30064: case 30115: case 30120: case 30538:
        return m_bListShown && rows > 0 && !m_bChartShown;
    case 30100: case 30101: case 30124: case 30401: case 30534:
        return m_bListShown;
    case 30103: case 30121: case 30123: case 30126: case 30330:
        return rows > 0;
    case 30113:
        return rows > 0 && m_bDeleteAllowed;
    case 30106:
        return true;
    case 30107: case 30108: case 30111: case 30130: case 30166: case 30170: case 30181: case 30270: case 30343:
    case 30536:
        return false;
    default:
        return true;
    }
}

int CView0::OnScanCommand(int, int)
{
    return 0;
}

void CView0::PrintListAsShown(int command)
{
    PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr;
    if (!printing) {
        ReportNotAvailable(QStringLiteral("Printing"));
        return;
    }
    if (m_list && !m_bChartShown)
        ListMatchesCaption();
    printing->PrintViewList(m_nViewId, m_bChartShown ? nullptr : m_list, m_bChartShown ? m_chart : nullptr,
                            m_strViewName, m_strListCaption, m_strFilterSql, command);
}

void CView0::PrintView(const std::function<void(ViewPrintRequest &)> &adjust)
{
    PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr;
    if (!printing) {
        ReportNotAvailable(QStringLiteral("Printing"));
        return;
    }
    // The list printed is the one the caption names, however it was filled.
    if (m_list && !m_bChartShown)
        ListMatchesCaption();
    ViewPrintRequest request;
    request.viewId = m_nViewId;
    request.branch = m_nBranch;
    request.item = m_nItem;
    request.key = GetSelectedItemData();
    request.view = this;
    request.viewName = m_strViewName;
    request.listCaption = m_strListCaption;
    request.filterText = m_strFilterSql;
    request.pendingCommand = m_nPendingCommand;
    if (m_strItemText == QLatin1String("Discrepancies")) {
        // The discrepancy list prints as a list of its own.
        request.viewId = 44240;
        request.list = m_list;
    } else if (m_nPendingCommand != 30103) {
        if (m_bChartShown)
            request.chart = m_chart;
        else
            request.list = m_list;
    }
    if (adjust)
        adjust(request);
    const int next = printing->PrintView(request);
    if (next == 30103 || next == 30108)
        PostCommand(next);
    else if (m_nPendingCommand != 0)
        PostCommand(std::exchange(m_nPendingCommand, 0));
}

void CView0::PrintScreenOfList()
{
    PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr;
    if (!printing) {
        ReportNotAvailable(QStringLiteral("Printing"));
        return;
    }
    QWidget *part = nullptr;
    if (m_list && m_list->isVisible())
        part = m_list;
    else if (m_chart && m_chart->isVisible())
        part = m_chart;
    printing->PrintScreen(this, part, m_strViewName, m_strListCaption, 0);
}

bool CView0::OnCommand(int id)
{
    if (id >= 30000 && id <= 30009) {
        // The main frame switches views; it listens for this signal of the
        // view's parent chain through the factory's switcher.
        if (id != m_nViewId)
            emit switchViewRequested(id);
        return true;
    }
    if (id >= DateRange::CmdToday && id <= DateRange::CmdSetAsDefault) {
        OnDateRangeCommand(id);
        return true;
    }
    switch (id) {
    case 30050:
        ShowSecurityState();
        ShowDefaultCsr();
        UpdateRibbonStates();
        return true;
    case 30051: case 30052: case 30053:
        return true;
    case 30401:
    case 30121:
        OnRefresh();
        return true;
    case 30062:
        OnViewFilter();
        return true;
    case 30064:
        m_list->ShowTotals();
        return true;
    case 30115:
        m_list->SelectAll();
        return true;
    case 30120:
        OnSearch();
        return true;
    case 30124:
        OnFavorites();
        return true;
    case 30126:
        OnAddToFavorites();
        return true;
    case 30216:
        ShowListManager(!m_managerShown);
        return true;
    case 30532:
        if (!m_managerShown)
            ShowListManager(true);
        m_tree->ToggleExpandAll();
        m_managerBar->SetItemImage(30532, 0, m_tree->GetExpandState() ? 11 : 12);
        return true;
    case 30534:
        OnAddFilter();
        return true;
    case 30101:
        FindRecord();
        return true;
    case 30538:
        OnColumnSizes();
        return true;
    case 30546:
        OnListOption();
        return true;
    case 30516:
        OnStartupView();
        return true;
    case 30572:
        OnBackup();
        return true;
    case 30573:
        // With Ctrl held: the table report and a compaction without reindexing.
        OnCompact(!(QApplication::keyboardModifiers() & Qt::ControlModifier));
        return true;
    case 30577:
        OnCompact(false);
        return true;
    case 30574:
        OnKeyCheck();
        return true;
    case 30576:
        OnDataSourceFolders();
        return true;
    case 20000:
        OnTypeCommand();
        return true;
    case 30529:
        if (QWidget *top = window(); top && top != this)
            top->close();
        return true;
    case 30330:
        PrintView();
        return true;
    case 30335:
        PrintScreenOfList();
        return true;
    case 57607: case 57608: case 57609:
        PrintListAsShown(id);
        return true;
    case 30123:
        ExportShownList();
        return true;
    case 30106:
        if (const ListXmlExporter &exporter = listXmlExporter()) {
            if (m_list && !m_bChartShown)
                ListMatchesCaption();
            const QString view = Appearance::GetViewName(unsigned(m_nViewId));
            exporter(view, QStringLiteral(" "), view + QStringLiteral(" Document"));
        } else {
            ReportNotAvailable(QStringLiteral("Exporting the list"));
        }
        return true;
    case 30107: case 30108:
        OnEmail(Appearance::GetViewName(unsigned(m_nViewId)).left(3));
        return true;
    case 30109: {
        CZqApp *app = ZqApp();
        QString system;
        GetSystemInfoText(system, 1);
        app->SendMail(SupportEmailAddress(),
                      QStringLiteral("Customer %1 - %2").arg(SupportCustomerNo().toInt()).arg(app->m_company.m_strName),
                      QStringLiteral("\n\n\nNote: I am running %1 on %2.\n\nMy Name:\n\n ")
                          .arg(GetProgramFileInfo(1), system),
                      QString());
        return true;
    }
    case 8900: {
        RemindersRequest request;
        request.viewId = m_nViewId;
        request.caption = Appearance::GetViewName(unsigned(m_nViewId));
        request.hue = m_nHue;
        const RemindersAnswer answer = ShowReminders(request, this, m_mainBar);
        // Only the jobs view's list offers to open the reminder's job.
        if (answer.result == 1 && answer.selectedRef != 0 && ZqApp())
            ZqApp()->OpenJob(answer.selectedRef);
        return true;
    }
    case 30166:
        if (priceListOpener())
            priceListOpener()(this);
        else
            ReportNotAvailable(QStringLiteral("The price list"));
        return true;
    case 30167:
        if (quickSaleRunner())
            quickSaleRunner()();
        else
            ReportNotAvailable(QStringLiteral("Quick sale"));
        return true;
    case 30571:
        ZqApp()->OpenFileTransfer(30590);
        return true;
    case 30575:
        OnDataTools();
        return true;
    case 30661:
        OnCustomizeAppearance();
        return true;
    case 30662:
        OnWindowColor();
        return true;
    case 30512:
        OnSecurity();
        return true;
    case 30520:
        OnWhoAmI();
        return true;
    case 30236: case 30237: case 30238: case 30239:
        OnRowMoveCommand(id);
        return true;
    default:
        return false;
    }
}

bool CView0::HandleKey(QWidget *target, QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (target == m_list) {
            PostCommand(30103);
            return true;
        }
        if (target == m_tree) {
            if (ReadTreeSelection()) {
                PostCommand(30401);
                return true;
            }
            if (QTreeWidgetItem *entry = m_tree->currentItem())
                entry->setExpanded(true);
            return true;
        }
    }
    CZqApp *app = ZqApp();
    if (!app)
        return false;
    const int command = app->TranslateAppAccelerator(target, *event);
    if (command == 0)
        return false;
    RunCommand(command);
    return true;
}

namespace {
// Set while the list handles its own focus event, handed on by the view.
thread_local bool t_listTakingFocus = false;
} // namespace

bool CView0::eventFilter(QObject *watched, QEvent *event)
{
    // While a row is dragged the list's viewport holds the mouse: its moves
    // and the release belong to the drag.
    if (m_bDragging && m_list && watched == m_list->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            OnMouseMove(m_list->viewport()->mapTo(this, static_cast<QMouseEvent *>(event)->position().toPoint()));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            OnLButtonUp(m_list->viewport()->mapTo(this, static_cast<QMouseEvent *>(event)->position().toPoint()));
            return true;
        }
    }
    // Only this click asks for a list's diagnostic form: Ctrl and Shift held
    // as the entry is clicked (the fill runs while the press is handled).
    if (m_tree && watched == m_tree->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
            m_bDiagnosticClick = mouse->button() == Qt::LeftButton && (mouse->modifiers() & both) == both;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            // A click on the entry already chosen lists it again in that
            // form (a click on another entry has listed it as it was pressed).
            const auto *mouse = static_cast<QMouseEvent *>(event);
            QTreeWidgetItem *entry = m_tree->itemAt(mouse->position().toPoint());
            if (std::exchange(m_bDiagnosticClick, false) && entry && entry == m_tree->currentItem() && entry->parent()) {
                m_bDiagnosticClick = true;
                OnCommand(30401);
                m_bDiagnosticClick = false;
            }
        }
    }
    // Taking the keys chooses no row: a list with none current keeps none
    // (the list's own focus handling makes its first row current), so that
    // a command over one row finds none until one is clicked or moved to.
    if (event->type() == QEvent::FocusIn && m_list && watched == m_list && !t_listTakingFocus) {
        const bool none = !m_list->currentIndex().isValid();
        t_listTakingFocus = true;
        QCoreApplication::sendEvent(m_list, event);
        t_listTakingFocus = false;
        if (none && m_list->currentIndex().isValid() && !m_list->selectionModel()->hasSelection())
            m_list->SelectItem(-1);
        return true;
    }
    if (event->type() == QEvent::KeyPress && (watched == m_list || watched == m_tree))
        if (HandleKey(static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event)))
            return true;
    if (event->type() == QEvent::ContextMenu && m_list && watched == m_list->viewport() &&
        m_list->contextMenuPolicy() == Qt::CustomContextMenu)
        return false; // a view whose list has menus of its own (by cell) shows them
    if (event->type() == QEvent::ContextMenu && m_list && (watched == m_list->viewport() || watched == m_tree)) {
        // A right click: the list's menu over the list, the list manager's
        // over the tree (on a list entry, which it selects first).
        const QPoint at = static_cast<QContextMenuEvent *>(event)->globalPos();
        int position = 1;
        if (watched == m_tree) {
            QTreeWidgetItem *entry = m_tree->itemAt(m_tree->viewport()->mapFromGlobal(at));
            if (!entry || !entry->parent())
                return true;
            m_tree->setCurrentItem(entry);
            position = 0;
        }
        if (const int chosen = ShowPopupMenu(170, position, at.x(), at.y(), this, 0))
            RunCommand(chosen);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CView0::keyPressEvent(QKeyEvent *event)
{
    if (!HandleKey(this, event))
        QWidget::keyPressEvent(event);
}

bool CView0::ReportStoppedSearch()
{
    if (!m_list->WasFillStopped())
        return false;
    const int rows = m_list->GetItemCount();
    platform::Prompt::messageBox(
        rows == 0 ? QStringLiteral("The search was stopped before it found anything:\n\n") + m_strFilterText
                  : QStringLiteral("The search was stopped: the list shows what it found before the stop (%1).")
                        .arg(rows),
        QString(), platform::MB_ICONINFORMATION);
    return true;
}

void CView0::OnAddFilter()
{
    if (!ResetFilter())
        return;
    FillList();
    if (ReportStoppedSearch())
        return;
    if (m_list->GetItemCount() == 0) {
        platform::Prompt::messageBox(QStringLiteral("Not found:\n\n") + m_strFilterText);
        PostCommand(30101);
    } else {
        m_list->setFocus();
    }
}

namespace {
CView0::StatementViewer &statementViewer()
{
    static CView0::StatementViewer viewer;
    return viewer;
}
} // namespace

void CView0::SetStatementViewer(StatementViewer viewer)
{
    statementViewer() = std::move(viewer);
}

void CView0::OnViewFilter()
{
    if ((QApplication::keyboardModifiers() & Qt::ControlModifier) && statementViewer()) {
        statementViewer()(this, m_strLastListSql);
        return;
    }
    // The condition of what is shown: the chart table's query when the chart
    // is up, else the list's own statement (a list of late jobs, say, holds
    // its condition there even when the user has chosen no filter).
    QString condition;
    if (m_bChartShown && m_table) {
        condition = m_table->m_filterText;
        if (condition.startsWith(QLatin1String("Filter: ")))
            condition.remove(0, 8);
    } else if (m_list && m_list->recordset()) {
        condition = m_list->recordset()->whereText().trimmed();
    }
    if (condition.isEmpty())
        condition = m_strFilterSql;
    condition.remove(QLatin1Char('#'));
    platform::Prompt::messageBox(QStringLiteral("FILTER:\n\n") + condition, QString(),
                                 platform::MB_ICONINFORMATION);
}

// --- list option and column sizes ----------------------------------------------

void CView0::LoadListOptions(const QString &caption, int width, int, int position)
{
    m_nListOption = platform::Settings::readInt(kSettings, QStringLiteral("ListOpt1-") + m_strViewName, 0);
    m_listBar->AddItem(30546, caption, 0, 0, 255, 2, 2084, 0, 0, width, 0, 0, QString(), position);
    ShowListOptionState();
}

void CView0::ShowListOptionState()
{
    if (m_listBar)
        m_listBar->SetItemImage(30546, 131, m_nListOption ? 217 : 215);
}

void CView0::OnListOption()
{
    QString option;
    QString unchecked;
    QString explanation;
    switch (m_nViewId) {
    case 30001:
        option = QStringLiteral("List My Jobs Only");
        unchecked = QStringLiteral("to List all CSRs' Jobs");
        explanation = QStringLiteral("This option is %1")
                          .arg(ZqApp() && ZqApp()->m_nDefaultCsr > 0
                                   ? QStringLiteral("for the Orders, Quotes, and History Jobs of the default CSR")
                                   : QStringLiteral("ignored if no CSR is assigned"));
        break;
    case 30002:
        option = QStringLiteral("Exclude Discontinued Services");
        unchecked = QStringLiteral("to include");
        break;
    case 30003:
        option = QStringLiteral("Exclude Hidden Customers");
        unchecked = QStringLiteral("to include");
        explanation = QStringLiteral(
            "This option is used for Top Customers, Inactive Customers, Contacts, and Shipping Addresses");
        break;
    default:
        return;
    }
    CDlgOptions dlg(QStringLiteral("List Option:"), explanation, 0, this);
    dlg.AddCheckGroup(QStringLiteral("List Option:"), 0);
    dlg.AddEntry(1, QStringLiteral("%1  (uncheck this option %2)").arg(option, unchecked), m_nListOption ? 1 : 0);
    if (dlg.DoModal() != platform::IDOK)
        return;
    const int value = dlg.IsEntryChecked(1) ? 1 : 0;
    if (value == m_nListOption)
        return;
    m_nListOption = value;
    platform::Settings::writeInt(kSettings, QStringLiteral("ListOpt1-") + m_strViewName, value);
    ShowListOptionState();
    PostCommand(30121);
}

void CView0::OnColumnSizes()
{
    CDlgOptions dlg(QStringLiteral("Default Column Sizes "),
                    QStringLiteral("This option is for this computer and for this list"), 0, this);
    dlg.AddRadioGroup(QStringLiteral("How to set column widths for ") + m_strListCaption, 0);
    dlg.AddEntry(255, QStringLiteral("Use default widths"));
    dlg.AddEntry(252, QStringLiteral("Use custom widths as shown"));
    dlg.AddEntry(251, QStringLiteral("Fit all columns in window"));
    if (dlg.DoModal() != platform::IDOK)
        return;
    const long choice = dlg.GetCheckedInRange(251, 255);
    const QString key = GetListKey();
    if (choice == 255) {
        platform::Settings::remove(kViewColumns, key);
    } else if (choice == 252) {
        QString widths;
        for (int c = 0; c < m_list->GetColumnCount(); ++c)
            widths += QString::number(m_list->GetColumnWidth(c)) + QLatin1Char(',');
        platform::Settings::writeString(kViewColumns, key, widths);
    } else if (choice == 251) {
        platform::Settings::writeString(kViewColumns, key, QStringLiteral("AUTOFIT"));
    } else {
        return;
    }
    m_list->LoadColumnWidths(key, true);
    PostCommand(30121);
}

// --- date ranges ---------------------------------------------------------------

void CView0::ApplyDateRange(int code)
{
    QString description;
    DescribeDateRange(m_dtFrom, m_dtTo, code, m_strDateRangeCondition, description);
    m_nDateRangeCode = code;
    m_strDateRangeCaption = QStringLiteral("Date Range: ") + description;

    m_strPriorCondition = PriorPeriodCondition(m_dtFrom, m_dtTo);
    if (m_listBar)
        m_listBar->SetItemText(30673, m_strDateRangeCaption);
}

void CView0::OnDateRangeCommand(int id)
{
    if (id == DateRange::CmdSetAsDefault) {
        platform::Settings::writeInt(kSettings, QStringLiteral("DateRange-") + m_strViewName, m_nDateRangeCode);
        QString name = GetDateMenuItemText(m_nDateRangeCode);
        if (m_nDateRangeCode == DateRange::CmdBetween)
            name = QStringLiteral("Custom Date Range");
        name.remove(QLatin1Char('&'));
        name.remove(QLatin1String("..."));
        platform::Prompt::messageBox(QStringLiteral("Default Date Range for ") + m_strViewName +
                                     QStringLiteral(" is set as:\n") + name);
        return;
    }
    if (id == DateRange::CmdBetween) {
        CDateRange dlg(this);
        dlg.m_from = m_dtFrom.date();
        dlg.m_to = m_dtTo.date();
        if (dlg.DoModal() != platform::IDOK)
            return;
        m_dtFrom = DateTime::fromDate(dlg.m_from);
        m_dtTo = DateTime::fromDate(dlg.m_to);
    }
    ApplyDateRange(id);
    PostCommand(20059);
}

// --- start-up view, folders, typed commands, favourites -------------------------

void CView0::OnStartupView()
{
    const int current = platform::Settings::readInt(kViewSettings, QStringLiteral("ShowTabID"), 30001);
    if (current != m_nViewId) {
        platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabID"), m_nViewId);
        platform::Prompt::messageBox(m_strViewName + QStringLiteral(" is set as startup window."));
    } else {
        platform::Prompt::messageBox(m_strViewName + QStringLiteral(" is already set as startup window."));
    }
}

void CView0::OnDataSourceFolders()
{
    struct Source
    {
        const char *name;
        const char *key;
    };
    static const Source kSources[] = {{"PDF attachments", "Path-Attachment"},
                                      {"Label data", "Path-TemplateDataSource"},
                                      {"Export data", "ExportPath"}};
    auto folderOf = [](const Source &s) {
        QString folder = platform::Settings::readString(kSettings, QString::fromLatin1(s.key),
                                                        QStringLiteral("C:\\Tavrel\\"));
        if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('\\');
        return folder;
    };
    for (;;) {
        CDlgOptions dlg(QStringLiteral("Data Source Folders"), QString(), 0, this);
        dlg.AddRadioGroup(QStringLiteral("Data Sources:"), 0);
        for (int i = 0; i < 3; ++i)
            dlg.AddEntry(i + 1, QStringLiteral("%1: %2").arg(QString::fromLatin1(kSources[i].name),
                                                           folderOf(kSources[i])));
        dlg.m_strOKCaption = QStringLiteral("Change...");
        dlg.m_strCancelCaption = QStringLiteral("Close");
        if (dlg.DoModal() != platform::IDOK)
            return;
        const long chosen = dlg.GetCheckedInRange(1, 3);
        if (chosen < 1)
            continue;
        const Source &s = kSources[chosen - 1];
        const QString folder = platform::Prompt::folderName(QString::fromLatin1(s.name), folderOf(s), this);
        if (!folder.isEmpty())
            platform::Settings::writeString(kSettings, QString::fromLatin1(s.key), folder);
    }
}

void CView0::OnTypeCommand()
{
    CDlgData dlg(QString(), 0, QStringLiteral("Type Command"), QStringLiteral("Type Command"),
                 QStringLiteral("Command"), this);
    if (dlg.DoModal() != platform::IDOK)
        return;
    const int id = dlg.m_strValue.trimmed().toInt();
    if (id > 0)
        PostCommand(id);
}

void CView0::OnFavorites()
{
    CFavoritesDlg dlg(QStringLiteral("Favorites"), m_nViewId, CFavoritesDlg::kListFavorites, this);
    if (dlg.DoModal() != platform::IDOK || dlg.m_nAlertNo == 0)
        return;
    // The stored branch and entry name the list; selecting it must not list
    // before the favourite's filter is in place.
    if (HTREEITEM entry = m_tree->FindItemByData(quint32(dlg.m_nColor * 100 + dlg.m_nSound))) {
        m_bTreeFilling = true;
        m_tree->SelectAndShow(entry);
        m_bTreeFilling = false;
    }
    if (!ReadTreeSelection())
        return;
    m_strListCaption = dlg.m_strDescription;
    m_strFilterText = dlg.m_strFilter;
    m_strFilterSql = dlg.m_strExtra;
    FillList();
}

void CView0::OnAddToFavorites()
{
    // A shop open for reading only keeps no favourite: refused before the
    // name is asked for.
    if (RefusedAsReadOnly(&SharedDatabase(), QStringLiteral("Cannot add to the favorites")))
        return;
    CDlgData dlg(m_strBranchText + QLatin1Char(' ') + m_strItemText, 0, QStringLiteral("Add to Favorites"),
                 QStringLiteral("Name:"), QStringLiteral("Tavrel will create a short-cut to this report/list."), this);
    if (dlg.DoModal() != platform::IDOK)
        return;
    const QString name = dlg.m_strValue.trimmed();
    if (name.isEmpty())
        return;
    // Group, the name shown in the favourites, the filter as shown and as SQL;
    // the branch and entry (1 for a whole branch) come back with the choice.
    const int entry = m_nItem == 0 ? 1 : m_nItem;
    // A text the row cannot keep whole has been refused with its reason.
    if (!CFavoritesDlg::TextFits(
            CFavoritesDlg::JoinText(m_strViewName, name, m_strFilterText, m_strFilterSql)))
        return;
    // A failure the database gave has been shown already.
    const int failuresBefore = DaoErrorCount();
    if (CFavoritesDlg::AddFavorite(CFavoritesDlg::kListFavorites, m_nViewId, m_strViewName, name, m_strFilterText,
                                   m_strFilterSql, m_nBranch, entry) == 0
        && DaoErrorCount() == failuresBefore)
        platform::Prompt::messageBox(QStringLiteral("Cannot add ") + name + QStringLiteral(" to the favorites."),
                                     QString(), platform::MB_ICONEXCLAMATION);
}

void CView0::OnSearch()
{
    if (!m_list || m_list->GetItemCount() == 0)
        return;
    CSearchList dlg(m_list, this);
    dlg.DoModal();
}

// --- security and CSR ------------------------------------------------------------

void CView0::OnSecurity()
{
    CZqApp *app = ZqApp();
    if (!app || !app->ChangeSecurityLevel())
        return;
    ShowSecurityState();
    m_mainBar->BlinkItem(30512, true, 500, 7);
}

void CView0::OnWhoAmI()
{
    CZqApp *app = ZqApp();
    // Kind 2: the CSRs with "?" for none.
    if (app && app->ChooseDefaultCsr(2))
        ShowDefaultCsr();
}

// --- chart ---------------------------------------------------------------------

void CView0::ShowChart()
{
    if (!m_chart) {
        auto *place = new QWidget(this);
        SetDlgCtrlID(place, IDC_CHART);
        place->setGeometry(m_list->geometry());
        m_chart = new CXChartCtrl(this);
        m_chart->CreateInDlgItem(this, IDC_CHART, m_nHue);
        m_chart->setGeometry(m_list->geometry());
    }
    m_table->Reset();
    m_chart->LoadTable(m_table.get(), 0);
    m_list->hide();
    m_chart->show();
    m_bChartShown = true;
}

// --- database housekeeping ---------------------------------------------------------

std::function<bool(int, int)> CView0::StepWindow(std::unique_ptr<CXProgress> &window, const QString &title, bool last)
{
    struct Shown
    {
        bool started = false;
        int done = -1;
    };
    const auto shown = std::make_shared<Shown>();
    return [&window, title, last, shown](int done, int total) {
        if (done >= total) {
            if (last)
                window.reset();
            return true;
        }
        if (!window)
            window = CXProgress::Create();
        if (!shown->started) {
            window->Start(total, title, true, true);
            shown->started = true;
        } else if (done == shown->done) {
            return window->Look();
        }
        shown->done = done;
        return window->Step();
    };
}

void CView0::OnCompact(bool reindex)
{
    platform::Database &db = SharedDatabase();
    if (!db.isOpen())
        return;
    // A file open for reading only is refused before anything is shown.
    if (RefusedAsReadOnly(&db, QStringLiteral("Cannot compact ") + db.name()))
        return;
    // The copy, the reindexing and the check of the copy show their progress
    // in one window, from the compaction's first step to its last, and each
    // can be stopped: Exit during any of them asks. The compaction is one
    // run from its first step to its last box: an Exit given after the last
    // step ends the program once it is done.
    std::unique_ptr<LongRun> whole;
    std::unique_ptr<CXProgress> window;
    auto part = [&whole](const CompactProgress &step) -> CompactProgress {
        return [&whole, step](int done, int total) {
            if (!whole)
                whole = std::make_unique<LongRun>(nullptr, std::function<bool()>());
            return step(done, total);
        };
    };
    const QString file = DatabaseFileName();
    const CompactProgress progress = part(StepWindow(window, QStringLiteral("Compacting %1").arg(file), false));
    const CompactProgress reindexProgress = part(StepWindow(window, QStringLiteral("Reindexing %1").arg(file), false));
    const CompactProgress checkProgress = part(StepWindow(window, QStringLiteral("Checking the compacted %1").arg(file)));
    try {
        if (reindex) {
            CompactDatabase(&db, QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?"),
                            QString(), true, progress, reindexProgress, checkProgress);
        } else {
            ReportTablesAndIndexes(&db, false);
            CompactDatabase(&db, QStringLiteral("Compact without reindexing?"), QString(), false, progress,
                            CompactProgress(), checkProgress);
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
    }
}

void CView0::OnKeyCheck()
{
    platform::Database &db = SharedDatabase();
    if (!db.isOpen())
        return;
    QString log;
    std::unique_ptr<CXProgress> window;
    bool finished = false;
    try {
        finished = CheckDatabaseKeys(log, &db, StepWindow(window, QStringLiteral("Checking the keys and indexes")));
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
        return;
    }
    window.reset();
    if (!finished) {
        platform::Prompt::messageBox(log + QStringLiteral("The key check was stopped; the keys checked so far are in place."));
        return;
    }
    // Keys that could not be made are listed; otherwise the check says it ended.
    platform::Prompt::messageBox(log.isEmpty() ? QStringLiteral("The keys and indexes of the database are checked.")
                                               : log);
}

// --- backup --------------------------------------------------------------------

void CView0::OnBackup()
{
    platform::Database &db = SharedDatabase();
    if (!db.isOpen())
        return;
    const QString source = db.name();
    const QString folder = QFileInfo(source).absolutePath();
    QString targetFolder = folder + QLatin1Char('/');
    QString targetName = QStringLiteral("TavrelData-%1.mdb").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    if (!ChooseFile(false, targetFolder, targetName, QStringLiteral(".mdb"),
                    QStringLiteral("Tavrel (TavrelData.mdb)|*.mdb||"), QStringLiteral("Backup ") + source + QStringLiteral(" to:"),
                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY))
        return;
    const QString target = targetFolder + targetName;
    // The same file under another name (a link, a linked folder) counts as the same.
    if (IsSameFile(source, target)) {
        platform::Prompt::messageBox(QStringLiteral("Please enter a different name for the backup."));
        return;
    }
    QString error;
    QString note;
    if (BackupDatabase(db, target, &error, true, &note))
        platform::Prompt::messageBox(QStringLiteral("Successfully copied the database\n\nFrom:\t") + source +
                                     QStringLiteral("\nTo:\t") + target
                                     + (note.isEmpty() ? QString() : QStringLiteral("\n\n") + note));
    else
        platform::Prompt::messageBox(target + QStringLiteral("\n\nBackup failed.\n\n") + error, QString(),
                                     platform::MB_ICONEXCLAMATION);
}

// --- deleting ------------------------------------------------------------------

void CView0::DeleteSelected(const QString &keyField, const QString &table)
{
    if (m_list->GetSelectedCount() == 0 || keyField.isEmpty())
        return;
    // Rows highlighted in another list than the caption's: that list is
    // read again and the user told to choose anew.
    if (!HighlightedRowsOfCaption(QString()))
        return;
    const QList<std::int64_t> keys = ListedKeys(true);
    const int selected = int(keys.size());
    if (selected == 0)
        return;
    QString question = QStringLiteral("delete selected (%1) %2?").arg(selected).arg(table);
    if (keyField == QLatin1String("SerNo"))
        question += QStringLiteral("\n\nNote: Services used in Jobs will be hidden, not deleted.");
    else if (keyField == QLatin1String("CusNo"))
        question += QStringLiteral("\n\nNote:\tCustomer No 1, 10, and 31 will not be deleted.\n\tCustomers used "
                                   "in Jobs will be hidden, not deleted.");
    if (!ConfirmAction(question))
        return;

    platform::Database &db = SharedDatabase();
    int deleted = 0;
    int hidden = 0;
    QString reasons;
    auto count = [&db](const QString &sql, qint64 key) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, sql, {platform::Value(qint32(key))});
        return rs.isEOF() ? 0 : rs.value(0).toInt();
    };
    for (qint64 key : keys) {
        try {
            if (keyField == QLatin1String("JobID")) {
                CJobSet jobs;
                const auto result = jobs.DeleteJob(qint32(key));
                if (result == CJobSet::Deleted)
                    ++deleted;
                else if (result == CJobSet::DeleteRefused)
                    reasons += jobs.m_InvoiceNote;
                continue;
            }
            if (keyField == QLatin1String("CusNo")) {
                if (key == 1 || key == 10 || key == 31)
                    continue;
                if (count(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo = ?"), key) == 0)
                    continue;
                platform::Transaction transaction(db);
                if (count(QStringLiteral("SELECT Count(*) FROM Jobs WHERE Jobs.CusNo = ?"), key) > 0) {
                    db.execute(QStringLiteral("UPDATE Customers SET CusStatus = 2 WHERE CusNo = ?"),
                               {platform::Value(qint32(key))});
                    transaction.commit();
                    ++hidden;
                    continue;
                }
                if (!DeleteCustomerRows(qint32(key)))
                    continue;
                db.execute(QStringLiteral("DELETE FROM Customers WHERE CusNo = ?"), {platform::Value(qint32(key))});
                transaction.commit();
                ++deleted;
                continue;
            }
            if (keyField == QLatin1String("SerNo")) {
                if (count(QStringLiteral("SELECT Count(*) FROM Services WHERE SerNo = ?"), key) == 0)
                    continue;
                if (count(QStringLiteral("SELECT Count(*) FROM Items WHERE Items.SerNo = ?"), key) > 0) {
                    db.execute(QStringLiteral("UPDATE Services SET SerStatus = 2 WHERE SerNo = ?"),
                               {platform::Value(qint32(key))});
                    ++hidden;
                    continue;
                }
            }
            const QString where = QStringLiteral(" WHERE %1 = ?").arg(keyField);
            if (count(QStringLiteral("SELECT Count(*) FROM %1").arg(table) + where, key) == 0)
                continue;
            db.execute(QStringLiteral("DELETE FROM %1").arg(table) + where, {platform::Value(qint32(key))});
            ++deleted;
        } catch (const platform::DbException &e) {
            reasons += QStringLiteral("%1 %2: %3\n").arg(keyField).arg(key).arg(QString::fromUtf8(e.what()));
        }
    }

    QString summary;
    if (deleted > 0)
        summary = QStringLiteral(" Deleted: ") + FormatInt(deleted, true, false);
    if (hidden > 0) {
        if (!summary.isEmpty())
            summary += QLatin1Char('\n');
        summary += QStringLiteral(" Hidden: ") + FormatInt(hidden, true, false);
    }
    if (!reasons.isEmpty()) {
        if (!summary.isEmpty())
            summary += QLatin1Char('\n');
        summary += QStringLiteral("\nCannot delete:\n") + reasons;
    }
    if (summary.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("None deleted"));
        return;
    }
    if (platform::Prompt::messageBox(summary + QStringLiteral("\n\nDo you want to refresh the list?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        FillList();
    else
        m_list->ClearList();
}

// --- summary -------------------------------------------------------------------

void CView0::ShowSummary(const QString &name, const QString &summarySql)
{
    RunSummary(this, m_nHue < 0 ? 210 : m_nHue, name, summarySql);
}

void CView0::RunSummary(QWidget *parent, int hue, const QString &name, const QString &summarySql)
{
    // How many records the table holds, then one row per group of the
    // summary statement, in the base's plain table window.
    CXDaoSet set;
    const bool invoices = name == QLatin1String("Invoices");
    set.Open(CXDaoSet::dbOpenSnapshot, invoices ? QStringLiteral("SELECT * FROM Jobs WHERE JobType = 3 AND Balance > 0.0001")
                                                : QStringLiteral("SELECT * FROM ") + name);
    if (!set.IsOpen() || set.IsEmptySet())
        return;
    const int records = set.CountRecords();
    set.Open(CXDaoSet::dbOpenSnapshot, summarySql);
    if (!set.IsOpen() || set.IsEmptySet())
        return;
    const int rows = set.CountRecords();

    SummaryGridDlg dialog(parent, hue);
    dialog.m_strWindowTitle = QStringLiteral("Summary of ") + name;
    dialog.m_strRibbonTitle = QStringLiteral("Summary of ") + name;
    dialog.m_strStripText = QStringLiteral("%1 %2").arg(records).arg(name);
    CXGridCtrl &grid = dialog.m_wndGrid;
    if (invoices) {
        grid.AddColumn(QStringLiteral("Age"), 200, 1, QStringLiteral("&32"), 0);
        grid.AddColumn(QStringLiteral("Balance"), 80, 8, QStringLiteral("$"), 0);
    } else {
        grid.AddColumn(QStringLiteral("Type"), 200, 1, QStringLiteral("&32"), 0);
        grid.AddColumn(QStringLiteral("Count"), 80, 7, QStringLiteral("%9d"), 0);
    }
    grid.SetRows(rows, 20, true);
    grid.ExchangeRecordset(set, false);
    set.Close();
    dialog.DoModal();
}

// --- row dragging ---------------------------------------------------------------

int CView0::GetDragImage(int row, int column)
{
    const int image = m_list->GetSubItemImage(row, column);
    return image < 0 || image == CXListCtrl::kNoImage ? -1 : image;
}

bool CView0::CanDropOnTree(QTreeWidgetItem *entry)
{
    Q_UNUSED(entry);
    return false;
}

void CView0::DropOnTree()
{
}

void CView0::OnListBeginDrag(int row, int column, const QPoint &point)
{
    if ((!m_nDropOnTree && !m_nMoveInList) || m_bDragging || row < 0)
        return;
    m_nDragImage = GetDragImage(row, column);
    if (m_nDragImage == -1)
        return;
    m_pDragImageList = Appearance::instance().GetImageList(131);
    if (!m_dragLabel) {
        m_dragLabel = new QLabel(this);
        m_dragLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_dragLabel->setPixmap(m_pDragImageList ? m_pDragImageList->pixmap(m_nDragImage) : QPixmap());
    m_dragLabel->adjustSize();
    m_dragLabel->move(point - QPoint(20, 20));
    m_dragLabel->raise();
    m_dragLabel->show();
    m_bDragging = true;
    m_nDragRow = row;
    m_nDropRow = -1;
    m_pWndUnder = nullptr;
    setDropTreeEntry(nullptr);
    // The button is still down on the list: its viewport keeps the mouse
    // until the release, and the list leaves the moves to the drag.
    m_list->CaptureDrag(true);
    QGuiApplication::setOverrideCursor(QCursor(Qt::ForbiddenCursor));
}

QWidget *CView0::dragWindowAt(const QPoint &point) const
{
    QWidget *child = childAt(point);
    if (!child)
        return nullptr;
    if (child == m_tree || m_tree->isAncestorOf(child))
        return m_tree;
    if (child == m_list || m_list->isAncestorOf(child))
        return m_list;
    return child;
}

void CView0::setDropTreeEntry(QTreeWidgetItem *entry)
{
    if (entry == m_pDropTreeEntry)
        return;
    if (m_pDropTreeEntry) {
        m_pDropTreeEntry->setBackground(0, m_dropEntryBack);
        m_pDropTreeEntry->setForeground(0, m_dropEntryText);
    }
    m_pDropTreeEntry = entry;
    if (entry) {
        m_dropEntryBack = entry->background(0);
        m_dropEntryText = entry->foreground(0);
        entry->setBackground(0, m_tree->palette().brush(QPalette::Highlight));
        entry->setForeground(0, m_tree->palette().brush(QPalette::HighlightedText));
    }
}

void CView0::OnMouseMove(const QPoint &point)
{
    if (!m_bDragging)
        return;
    if (m_dragLabel)
        m_dragLabel->hide();
    bool target = false;
    QWidget *under = dragWindowAt(point);
    if (under != m_pWndUnder) {
        setDropTreeEntry(nullptr);
        if (m_nDropRow >= 0)
            m_list->SetDropHilited(m_nDropRow, false);
        m_nDropRow = -1;
        m_pWndUnder = under;
    }
    if (under == m_tree && m_nDropOnTree) {
        QTreeWidgetItem *entry = m_tree->itemAt(m_tree->viewport()->mapFrom(this, point));
        // Only list entries take rows, never a branch header.
        if (entry && entry->parent() && CanDropOnTree(entry)) {
            setDropTreeEntry(entry);
            target = true;
        } else {
            setDropTreeEntry(nullptr);
        }
    } else if (under == m_list && m_nMoveInList) {
        const QModelIndex at = m_list->indexAt(m_list->viewport()->mapFrom(this, point));
        const int row = at.isValid() ? at.row() : -1;
        if (row < 0) {
            // Below the last row or over the header: nothing to drop on.
            if (m_nDropRow >= 0)
                m_list->SetDropHilited(m_nDropRow, false);
            m_nDropRow = -1;
        } else if (m_nDropRow < 0 || row == m_nDropRow) {
            m_list->SetDropHilited(row, true);
            m_nDropRow = row;
            target = true;
        } else {
            // The highlight leaves the old row first; the new row takes it at
            // the next move.
            m_list->SetDropHilited(m_nDropRow, false);
            m_nDropRow = -1;
        }
    }
    QGuiApplication::changeOverrideCursor(target ? cursor() : QCursor(Qt::ForbiddenCursor));
    if (m_dragLabel) {
        m_dragLabel->move(point - QPoint(20, 20));
        m_dragLabel->raise();
        m_dragLabel->show();
    }
}

void CView0::endListDrag()
{
    m_bDragging = false;
    if (m_dragLabel)
        m_dragLabel->hide();
    m_pDragImageList = nullptr;
    m_list->CaptureDrag(false);
    QGuiApplication::restoreOverrideCursor();
    if (m_nDropRow >= 0)
        m_list->SetDropHilited(m_nDropRow, false);
}

void CView0::OnLButtonUp(const QPoint &point)
{
    if (!m_bDragging)
        return;
    endListDrag();
    QWidget *under = dragWindowAt(point);
    QTreeWidgetItem *entry = m_pDropTreeEntry;
    setDropTreeEntry(nullptr);
    if (under == m_tree && entry) {
        m_pDropTreeEntry = entry;
        DropOnTree();
        m_pDropTreeEntry = nullptr;
    } else if (under == m_list && m_nDropRow >= 0) {
        MoveListRow(0);
    }
    m_nDropRow = -1;
    m_pWndUnder = nullptr;
}

bool CView0::MoveListRow(int command)
{
    if (m_list->MoveSelectedRow(m_nDragRow, m_nDropRow, command) < 0)
        return false;
    ++m_nMoveCount;
    if (m_nMoveCount == 1 && m_nNoticeCommand == 30211)
        SetNoticeButton(QStringLiteral("Sort Order Changed..."), 21);
    m_nDragRow = -1;
    return true;
}

void CView0::OnRowMoveCommand(int id)
{
    if (m_nMoveInList)
        MoveListRow(id);
}
