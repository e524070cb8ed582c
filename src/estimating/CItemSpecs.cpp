#include "estimating/CItemSpecs.h"
#include "estimating/CPaperCutterDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/Choices.h"
#include "app/base/Codes.h"
#include "app/base/Confirmation.h"
#include "app/base/Menus.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "app/base/SqlText.h"
#include "app/base/TextUtil.h"
#include "catalogue/CEditPaper.h"
#include "catalogue/CEditService.h"
#include "catalogue/CInventory.h"
#include "catalogue/CSerList.h"
#include "controls/CXListCtrl.h"
#include "data/CItemSet.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "estimating/CListBoxDragDlg.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CDlgTree.h"
#include "views/CNoteDlg.h"

#include <QtCore/QItemSelectionModel>
#include <QtCore/QPointer>
#include <QtGui/QCursor>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPlainTextEdit>

namespace {

using platform::Prompt;

constexpr unsigned kItemBar = 1731;
constexpr unsigned kAddBar = 1732;
constexpr unsigned kServicesBar = 1733;
constexpr unsigned kProductButton = 30380;
constexpr unsigned kNoteButton = 30263;
constexpr unsigned kItemGrid = 2111;
constexpr unsigned kPriceGrid = 2112;
constexpr unsigned kList = 1401;
constexpr unsigned kNote = 1302;

constexpr int kSaveClose = 30444;
constexpr int kAllDepartments = 31000;
constexpr int kSpecsMenu = 170;
constexpr int kSpecsSubMenu = 5;
constexpr int kServiceMessage = 30243;
constexpr int kGridChanged = 30247;

CItemSpecs::Windows &windows()
{
    static CItemSpecs::Windows w;
    return w;
}

void sayNotAvailable(const QString &what)
{
    Prompt::messageBox(what + QStringLiteral(" is not yet available in this version of Tavrel."));
}

QString priceLevelList()
{
    return QStringLiteral("Normal,Bid,Rush,Special,------------------,Ask Unit Price,Ask Item Price,------------------,");
}

const char *const kDocumentSize =
    "ABOUT DOCUMENT SIZE:\n\nThe Document Size is required only if the Item has one or more services that are set up "
    "to be priced by Dimensions (example: Area, Perimeter). In other conditions, this Size information can be used to "
    "indicate the finished or folded size of a document.\n\nThis size will be printed on Work Orders, Invoices, and "
    "Quotes.\n\nEnter the size as Width x Height.\n\nNOTE: Document Size and Paper Finish Size are not linked; i.e., "
    "changing the Document Size does not change the Finish Size, and vice versa. ";

// Copies a menu's items (and sub-menus) into another.
void copyMenu(const QMenu &from, QMenu &to)
{
    for (QAction *action : from.actions()) {
        if (action->isSeparator()) {
            to.addSeparator();
        } else if (action->menu()) {
            copyMenu(*action->menu(), *to.addMenu(action->text()));
        } else {
            QAction *copy = to.addAction(action->text());
            copy->setData(action->data());
            copy->setCheckable(action->isCheckable());
        }
    }
}

void buildSpecsMenu(QMenu &menu, const QMenu *earlier)
{
    // Positions 0-4 belong to the other windows of the menu resource: what
    // was registered for them before is kept.
    const QList<QAction *> earlierItems = earlier ? earlier->actions() : QList<QAction *>();
    for (int i = 0; i < kSpecsSubMenu; ++i) {
        QAction *old = i < earlierItems.size() ? earlierItems.at(i) : nullptr;
        QMenu *sub = menu.addMenu(old ? old->text() : QStringLiteral("·"));
        if (old && old->menu())
            copyMenu(*old->menu(), *sub);
    }
    BuildSpecsPopupMenu(*menu.addMenu(QStringLiteral("Specs")));
}

} // namespace

void BuildSpecsPopupMenu(QMenu &menu)
{
    QMenu *specs = &menu;
    const struct
    {
        int id;
        const char *text;
    } items[] = {{30110, "Add a Similiar Service..."},
                 {30111, "Paste this Service (Duplicate)"},
                 {0, nullptr},
                 {6071, "Edit Service Specs..."},
                 {30391, "Edit Paper Specs..."},
                 {6006, "Edit Service Note..."},
                 {0, nullptr},
                 {30113, "Delete this Service...\tDel"},
                 {30632, "Delete All Services..."},
                 {0, nullptr},
                 {30551, "Show Space Between Services"},
                 {30532, "Show/Hide Service Notes"},
                 {30159, "Rearrange Service Order..."},
                 {0, nullptr},
                 {30377, "View Service Properties..."},
                 {30746, "Selected Service"}};
    for (const auto &item : items) {
        if (!item.text) {
            specs->addSeparator();
            continue;
        }
        QAction *action = specs->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        if (item.id == 30551 || item.id == 30532)
            action->setCheckable(true);
    }
}

void CItemSpecs::SetWindows(const Windows &w)
{
    windows() = w;
}

CItemSpecs::CItemSpecs(CItemSet *item, QWidget *parent)
    : CDlg0(700, parent)
    , m_data(item)
{
    m_strWindowTitle = QStringLiteral("Printing");
    if (CZqApp *app = ZqApp())
        m_bSpace = app->GetSettingInt(QStringLiteral("SpaceBetweenServices"), 0) != 0;
    resize(900, 640);
    AddPlaceholder(kItemBar, QRect(0, 0, 360, 36));
    AddPlaceholder(kItemGrid, QRect(4, 40, 352, 112));
    AddPlaceholder(kPriceGrid, QRect(4, 156, 352, 112));
    AddPlaceholder(kProductButton, QRect(4, 272, 352, 30), QStringLiteral("Product Type?"));
    AddPlaceholder(kNoteButton, QRect(4, 306, 352, 28), QStringLiteral("Item Note:"));
    m_note = AddMultiLineEdit(kNote, QRect(4, 338, 352, 244));
    AddPlaceholder(kServicesBar, QRect(364, 0, 536, 36));
    m_list = new CXListCtrl(this);
    m_list->setObjectName(QStringLiteral("1401"));
    m_list->setProperty("controlId", kList);
    m_list->setGeometry(364, 40, 532, 542);
    AddPlaceholder(kAddBar, QRect(0, 590, 900, 50));
    AddSizeMarker(QPoint(900, 640));

    m_data.hooks().postCommand = [this](int id) { Post(id); };
    m_data.hooks().editItemRow = [this](int row) {
        // Once the check that asked for it has finished.
        QPointer<CItemSpecs> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, row] {
                if (self)
                    self->m_wndItemGrid.EditRow(row);
            },
            Qt::QueuedConnection);
    };
    m_data.hooks().pickerFollow = [this](qint32 serNo, bool added) { FollowPicker(serNo, added); };
    m_data.hooks().editServiceSpecs = [this](CItemSet &row, const CSerSet &service, int startRow,
                                             CItemSpecsData::SpecsResult &result) {
        if (!windows().editSpecs) {
            sayNotAvailable(IsPaperCategory(service.m_CatNo) ? QStringLiteral("The paper specs window")
                                                             : QStringLiteral("The service specs window"));
            return false;
        }
        return windows().editSpecs(*this, row, service, startRow, result);
    };
}

CItemSpecs::~CItemSpecs() = default;

int CItemSpecs::EditItem(qint32 itemId, QWidget *parent, bool preview, const CItemSpecsData::JobAlongside &job)
{
    CItemSet item;
    if (!item.OpenByItemID(itemId, false))
        return platform::IDCANCEL;
    CItemSet header(item);
    CItemSpecs dlg(&header, parent);
    dlg.SetPreview(preview);
    dlg.data().SetJobAlongside(job);
    return dlg.DoModal();
}

int CItemSpecs::NewItem(qint32 jobId, QWidget *parent, const std::function<void(CItemSpecsData &)> &preset,
                        const CItemSpecsData::JobAlongside &job)
{
    CItemSet header;
    header.m_JobID = jobId;
    header.m_ItemID = 0;
    CItemSpecs dlg(&header, parent);
    if (preset)
        preset(dlg.data());
    dlg.data().SetJobAlongside(job);
    return dlg.DoModal();
}

// ---------------------------------------------------------------------------
// Opening

bool CItemSpecs::OnInitDialog()
{
    if (!m_data.Load()) {
        EndDialog(platform::IDCANCEL);
        return false;
    }
    m_nColorScheme = m_data.m_bPreview ? 1 : GetJobTypeHue(m_data.m_nJobType);
    const QString itemNo = m_data.m_pItem->m_ItemID > 0 ? m_data.m_pItem->GetItemNoText(QString())
                                                         : QStringLiteral("NEW ITEM");
    m_strRibbonTitle = QStringLiteral("SPECS: %1 - %2").arg(itemNo, m_data.m_strJobLabel);
    if (m_data.m_bPreview)
        m_strRibbonTitle += QStringLiteral(" - PREVIEW");
    m_strWindowTitle += m_data.m_strCopiedFrom;
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    setWindowTitle(m_strRibbonTitle + m_data.m_strCopiedFrom);

    m_list->AddColumn(QStringLiteral("Category"), 120, 10, false, 0);
    m_list->AddColumn(QStringLiteral("Service   (right-click for options)"), 400, 10, false, 0);
    m_list->AddColumn(QStringLiteral("SerNo"), 0, 4, false, 1);
    m_list->AddColumn(QStringLiteral("Sort"), 0, 4, false, 1);
    m_list->SetImageListAndStyle(131, 0, 0);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CItemSpecs::OnListContextMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { OnListDoubleClick(index.row(), index.column()); });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &index) {
                // A paper line chosen makes that paper the current one.
                const qint32 id = index.isValid() ? qint32(m_list->GetItemData(index.row())) : 0;
                if (m_data.IsPaperRow(id))
                    m_data.m_nPaperId = id;
            });

    BuildRibbons();
    FillGrids();
    m_note->setPlainText(m_data.m_strNote);
    m_note->setReadOnly(m_data.m_bPreview);
    RebuildList();
    if (m_nFocusRowId != 0 && m_list->FindItemByData(m_nFocusRowId, true) >= 0) {
        m_list->setFocus();
    } else {
        m_wndItemGrid.setFocus();
        if (!m_data.m_bPreview)
            m_wndItemGrid.EditRow(m_nFocusRow);
    }
    return true;
}

void CItemSpecs::BuildRibbons()
{
    auto route = [this](CXRibbon &bar) { connect(&bar, &CXWnd::commandTriggered, this, &CDlg0::SendCommand); };
    const QString itemNo = m_data.m_pItem->m_ItemID > 0 ? m_data.m_pItem->GetItemNoText(QString())
                                                         : QStringLiteral("NEW ITEM");
    if (m_wndItemBar.Create(this, kItemBar, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 0)) {
        route(m_wndItemBar);
        m_wndItemBar.AddItem(30410, QStringLiteral("ITEM ") + itemNo, struct_RIB_ITEM::Normal, 0, 255, 4, 2084, 0, 0,
                             130);
        m_wndItemBar.AddItem(30282, QStringLiteral("Item Properties"), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 160);
        m_wndItemBar.RecalcLayout(255);
    }
    if (m_wndServicesBar.Create(this, kServicesBar, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 0)) {
        route(m_wndServicesBar);
        m_wndServicesBar.AddItem(30281, QStringLiteral("SERVICES"), struct_RIB_ITEM::Plain, 0, 255, 4, 2084, 0, 0, 110);
        m_wndServicesBar.AddItem(6071, QStringLiteral("Service Specs"), struct_RIB_ITEM::Normal, 0, 255, 2, 2084, 0, 2,
                                 120);
        m_wndServicesBar.AddItem(30532, QString(), struct_RIB_ITEM::Normal, 131, 244, 2, 2084, 0, 2, 36, 0, 0,
                                 QStringLiteral("Show/Hide Service Notes"));
        m_wndServicesBar.RecalcLayout(255);
    }
    if (m_wndAddBar.Create(this, kAddBar, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        route(m_wndAddBar);
        CXRibbon &b = m_wndAddBar;
        b.AddItem(30282, QStringLiteral("Add Services From:"), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 130);
        b.AddItem(kAllDepartments, QStringLiteral("All Departments"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2,
                  110);
        // The departments that have at least one active service.
        const QString sql = QStringLiteral(
            "SELECT DISTINCT ServiceDepartments.DepNo, ServiceDepartments.DepName, ServiceDepartments.SortNo FROM "
            "(ServiceDepartments INNER JOIN ServiceCategories ON ServiceDepartments.DepNo = ServiceCategories.DepNo) "
            "INNER JOIN Services ON ServiceCategories.CatNo = Services.CatNo WHERE ServiceDepartments.DepNo > 0 AND "
            "Services.SerStatus <> 2 AND Services.SerNo > 0 ORDER BY ServiceDepartments.SortNo");
        QList<std::pair<int, QString>> departments;
        try {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot, sql);
            for (; !rs.isEOF(); rs.moveNext())
                departments.append({rs.value(0).toInt(), rs.value(1).toString()});
        } catch (const platform::DbException &) {
        }
        // Every button stays inside the window, Save & Close and Cancel last:
        // the window widens for the departments as far as the screen allows,
        // and beyond that the department buttons share what room is left.
        constexpr int kFixedWidth = 130 + 110 + 20 + 120 + 100;
        constexpr int kDepartmentWidth = 100;
        const int frame = std::max(0, frameGeometry().width() - geometry().width());
        const QScreen *shown = screen();
        const int screenWidth = shown ? shown->availableGeometry().width() - frame : 1280;
        const int needed = kFixedWidth + int(departments.size()) * kDepartmentWidth + 24;
        if (needed > width())
            resize(std::min(needed, screenWidth), height());
        int each = kDepartmentWidth;
        if (!departments.isEmpty() && needed > width())
            each = std::max(40, (width() - kFixedWidth - 24) / int(departments.size()));
        for (const auto &[number, name] : departments)
            b.AddItem(unsigned(kAllDepartments + number), name, struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, each,
                      0, 0, name);
        b.AddSpacer(20, 0);
        b.AddItem(kSaveClose, QStringLiteral("Save & Close"), struct_RIB_ITEM::Normal, 131, 223, 2, 2084, 0, 2, 120);
        b.AddItem(2, QStringLiteral("Cancel"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2, 100);
        b.RecalcLayout(255);
    }
    if (m_wndProduct.CreateWithText(this, kProductButton, m_nColorScheme, 131, 8, 16, 3, 0, 3, 26))
        route(m_wndProduct);
    if (m_wndNoteButton.CreateWithText(this, kNoteButton, m_nColorScheme, 131, 8, 16, 3, 0, 3, 24))
        route(m_wndNoteButton);
    RefreshProductButton();
}

void CItemSpecs::RefreshProductButton()
{
    QString name;
    if (m_data.m_nProductType != 0 && ZqApp())
        name = ZqApp()->GetProductTypeName(m_data.m_nProductType);
    m_wndProduct.SetItemText(kProductButton, name.isEmpty() ? QStringLiteral("Product Type?") : name);
}

void CItemSpecs::FillGrids()
{
    const bool editable = !m_data.m_bPreview;
    if (!m_wndItemGrid.GetRowCount()) {
        m_wndItemGrid.AddListRow(3, QStringLiteral("Description"), GetQuickNotesSql(0, 0), 0, editable, 30381);
        m_wndItemGrid.AddRow(7, QStringLiteral("Quantity"), QStringLiteral("%d"), editable, 30382);
        m_wndItemGrid.AddRow(7, GetQuantityUnitName(m_data.m_nUnit), QStringLiteral("%d"), editable, 30105);
        // The quantity and the originals (or sets) are counts: "-5", or one
        // past the largest count, is refused naming the row.
        m_wndItemGrid.SetRowNotNegative(1);
        m_wndItemGrid.SetRowNotNegative(2);
        m_wndItemGrid.AddTextRow(QStringLiteral("Sides"), QString());
        m_wndItemGrid.CreateInDlgItem(this, kItemGrid, m_nColorScheme, 120);
        connect(&m_wndItemGrid, &CXWnd::ownerMessage, this, &CItemSpecs::OnGridChanged);
        connect(&m_wndItemGrid, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);

        const int level = m_wndPriceGrid.AddListRow(2, QStringLiteral("Price Level"), priceLevelList(), 0, editable);
        for (int i = 1; i <= 100; ++i)
            m_wndPriceGrid.AddPickItem(level, 7 + i, QString::number(i) + QStringLiteral("% up"));
        for (int i = 1; i <= 50; ++i)
            m_wndPriceGrid.AddPickItem(level, 107 + i, QString::number(-i) + QStringLiteral("% down"));
        m_wndPriceGrid.AddListRow(2, QStringLiteral("Price Rounding"), QStringLiteral("Off,On,"), 0, editable);
        m_wndPriceGrid.AddListRow(2, QStringLiteral("Format Unit Price"), QStringLiteral(",Per Each,Per 1000,"), 0,
                                  editable);
        m_wndPriceGrid.AddListRow(3, QStringLiteral("Size (W x H)"), GetQuickNotesSql(2, 0), 0, editable, 30389);
        m_wndPriceGrid.CreateInDlgItem(this, kPriceGrid, m_nColorScheme, 120);
        connect(&m_wndPriceGrid, &CXWnd::ownerMessage, this, &CItemSpecs::OnGridChanged);
        connect(&m_wndPriceGrid, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    ExchangeGrids(false);
}

void CItemSpecs::ExchangeGrids(bool save)
{
    m_wndItemGrid.SetSaveMode(save ? 1 : 0);
    m_wndItemGrid.ExchangeText(0, m_data.m_strDescription);
    m_wndItemGrid.ExchangeLong(1, m_data.m_nQuantity);
    m_wndItemGrid.ExchangeLong(2, m_data.m_nSheets);
    m_wndPriceGrid.SetSaveMode(save ? 1 : 0);
    m_wndPriceGrid.ExchangeByte(0, m_data.m_nPriceLevel);
    m_wndPriceGrid.ExchangeByte(1, m_data.m_nRounding);
    m_wndPriceGrid.ExchangeByte(2, m_data.m_nUnitFormat);
    m_wndPriceGrid.ExchangeText(3, m_data.m_strSize);
    if (!save) {
        m_wndItemGrid.SetRowText(3, m_data.m_strSides);
        m_wndItemGrid.EnableRow(2, !m_data.m_bPreview && m_data.m_nPaperCount < 2);
        // The quantity row counts pads for a pad item; the unit row names the unit.
        m_wndItemGrid.SetRowLabel(1, m_data.m_nUnit == 7 ? QStringLiteral("#Pads") : QStringLiteral("Quantity"));
        m_wndItemGrid.SetRowLabel(2, GetQuantityUnitName(m_data.m_nUnit));
    } else {
        m_data.m_strNote = m_note->toPlainText();
    }
}

// ---------------------------------------------------------------------------
// The service list

QString CItemSpecs::FormatServiceLine(qint32 id)
{
    const CItemSet *row = m_data.Row(id);
    const CSerSet *service = m_data.ServiceOf(id);
    if (!row || !service)
        return QString();
    QString line = service->m_Name;
    const QString gap(9, QLatin1Char(' '));
    QString vendor;
    if (row->m_Vendor)
        GetVendorName(vendor, row->m_Vendor);
    if (IsPaperCategory(service->m_CatNo)) {
        AppendText(line, service->m_Size.trimmed(), gap);
        AppendText(line, row->m_strPlainNote, gap);
        AppendText(line, row->GetSheetsText(GetQuantityUnitName(m_data.m_nUnit)), gap);
        AppendText(line, vendor, gap);
    } else if (IsPressCategory(service->m_CatNo)) {
        AppendText(line, row->GetWashMixText(QStringLiteral("   ")), gap);
        AppendText(line, row->m_Note, gap);
    } else if (IsDigitalCategory(service->m_CatNo)) {
        AppendText(line, row->m_Note, gap);
    } else {
        if (row->m_Out != 0) {
            line += QStringLiteral(":  ");
            line += service->m_AskHowMany.size() >= 2
                        ? QStringLiteral("%1 %2").arg(row->m_Out).arg(service->m_AskHowMany)
                        : QString::number(row->m_Out);
        }
        AppendText(line, vendor, gap);
        AppendText(line, row->m_Note, gap);
    }
    return line;
}

void CItemSpecs::RebuildList()
{
    const qint32 selected = selectedRowId();
    m_list->ClearList(false);
    int line = 0;
    auto addLine = [&](const QString &category, const QString &text, qint64 data, int image, qint32 serNo,
                       qint32 sortKey) {
        const int at = m_list->InsertRow(line++, category, data, image);
        m_list->SetItemText(at, 1, text);
        m_list->SetItemText(at, 2, serNo ? QString::number(serNo) : QString());
        m_list->SetItemText(at, 3, QString::number(sortKey));
        return at;
    };
    CZqApp *app = ZqApp();
    for (qint32 id : m_data.Order()) {
        const CItemSet *row = m_data.Row(id);
        const CSerSet *service = m_data.ServiceOf(id);
        if (!row || !service)
            continue;
        QString category;
        int icon = 255;
        if (app)
            app->GetCategoryNameAndIcon(service->m_CatNo, category, icon);
        addLine(category, FormatServiceLine(id), id, icon, row->m_SerNo, m_data.SortKeyOf(row->m_SerNo));
        if (m_bShowNotes && IsPaperCategory(service->m_CatNo)) {
            const bool shortNames = m_data.m_bDigital;
            addLine(QString(), row->GetRunFinishText(QStringLiteral("      ")), id, 199, 0, 0);
            addLine(QString(),
                    QStringLiteral("Front: %1      %2").arg(GetInkColorsText(row->m_Side1, shortNames), row->m_strFrontInks),
                    id, GetInkImageIndex(row->m_Side1), 0, 0);
            addLine(QString(),
                    QStringLiteral("Back:  %1      %2").arg(GetInkColorsText(row->m_Side2, shortNames), row->m_strBackInks),
                    id, GetInkImageIndex(row->m_Side2), 0, 0);
            const QString press = row->GetPressSpecText(QStringLiteral("   "));
            addLine(QString(), press, id, press.isEmpty() ? 255 : 228, 0, 0);
        }
        if (m_bSpace)
            addLine(QString(), QString(), 0, 255, 0, 0);
    }
    if (selected)
        m_list->FindItemByData(selected, true);
    FillGridsSides();
}

void CItemSpecs::FillGridsSides()
{
    m_wndItemGrid.SetRowText(3, m_data.m_strSides);
    qint32 sheets = m_data.m_nSheets;
    m_wndItemGrid.SetSaveMode(0);
    m_wndItemGrid.ExchangeLong(2, sheets);
}

QStringList CItemSpecs::lineTexts() const
{
    QStringList out;
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        out << m_list->GetItemText(i, 1);
    return out;
}

qint32 CItemSpecs::selectedRowId() const
{
    return m_list ? qint32(m_list->GetSelectedData()) : 0;
}

void CItemSpecs::selectRow(qint32 id)
{
    m_list->FindItemByData(id, true);
    if (m_data.IsPaperRow(id))
        m_data.m_nPaperId = id;
}

// ---------------------------------------------------------------------------
// Commands

void CItemSpecs::Post(int id)
{
    QPointer<CItemSpecs> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, id] {
            if (!self)
                return;
            if (id < 0)
                self->FocusItem(unsigned(-id));
            else
                self->SendCommand(id);
        },
        Qt::QueuedConnection);
}

bool CItemSpecs::OnCommand(int id)
{
    const bool preview = m_data.m_bPreview;
    const qint32 selected = selectedRowId();
    const CSerSet *selectedService = m_data.ServiceOf(selected);
    if (id >= kAllDepartments && id <= kAllDepartments + 100) {
        if (!preview)
            OpenPicker(id - kAllDepartments, 0);
        return true;
    }
    switch (id) {
    case kSaveClose:
        OnSaveClose();
        return true;
    case 2:
        OnCancel();
        return true;
    case 30380:
        if (!preview)
            OnProductType();
        return true;
    case 30381:
        EditNote(true);
        return true;
    case 30263:
        EditNote(false);
        return true;
    case 30382:
        if (!preview)
            OnQuantity();
        return true;
    case 30105:
        if (!preview)
            OnUnitButton();
        return true;
    case 30389:
        Prompt::messageBox(QString::fromUtf8(kDocumentSize), QString(), platform::MB_ICONINFORMATION);
        return true;
    case 30386: {
        const CSerSet *paper = m_data.ServiceOf(m_data.m_nPaperId);
        if (paper)
            OpenPicker(ZqApp() ? ZqApp()->GetCategoryDepartment(paper->m_CatNo) : 0, paper->m_CatNo);
        else
            OpenPicker(ZqApp() ? ZqApp()->GetCategoryDepartment(101) : 0, 101);
        return true;
    }
    case 30387: {
        const CSerSet *press = m_data.ServiceOf(m_data.m_nPressId);
        qint32 cat = press ? press->m_CatNo : 0;
        if (!cat)
            cat = (ZqApp() && ZqApp()->GetCategoryServiceCount(201) > 0) ? 201 : 301;
        OpenPicker(ZqApp() ? ZqApp()->GetCategoryDepartment(cat) : 0, cat);
        return true;
    }
    case 30391:
        if (preview)
            return true; // a preview changes no specs
        if (m_data.m_nPaperId)
            m_data.EditService(m_data.m_nPaperId, 4), RebuildList();
        else
            OpenPicker(ZqApp() ? ZqApp()->GetCategoryDepartment(101) : 0, 101);
        return true;
    case 30104:
        if (!windows().cutter) {
            sayNotAvailable(QStringLiteral("The paper cutter"));
        } else if (CItemSet *paper = m_data.Row(m_data.m_nPaperId)) {
            qint32 toRun = 0;
            qint32 toFinish = 0;
            if (windows().cutter(*this, *paper, toRun, toFinish)) {
                const bool onePaper = m_data.m_nPaperCount < 2;
                m_data.SetServiceQuantity(CItemSpecsData::kCutToRunSize, toRun, onePaper);
                m_data.SetServiceQuantity(CItemSpecsData::kCutToFinishSize, toFinish, onePaper);
                RebuildList();
            }
        }
        return true;
    case 30110:
        if (selectedService && !preview)
            OpenPicker(ZqApp() ? ZqApp()->GetCategoryDepartment(selectedService->m_CatNo) : 0,
                       selectedService->m_CatNo);
        return true;
    case 30111:
        if (selected && !preview) {
            m_data.DuplicateService(selected);
            RebuildList();
        }
        return true;
    case 6071:
        if (selected && !preview) {
            m_data.EditService(selected, 4);
            RebuildList();
        }
        return true;
    case 6006:
        if (const CItemSet *row = m_data.Row(selected)) {
            CNoteDlg note(QStringLiteral("Service Note"), m_data.ServiceOf(selected)->m_Name,
                          IsPaperCategory(selectedService->m_CatNo) ? row->m_strPlainNote : row->m_Note,
                          preview ? CNoteDlg::ShowText : CNoteDlg::EditNote, this);
            if (note.DoModal() == platform::IDOK && !preview) {
                m_data.EditServiceNote(selected, note.m_strNote.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
                RebuildList();
            }
        }
        return true;
    case 30113:
        if (selected && !preview
            && Prompt::messageBox(QStringLiteral("Do you want to remove the selected Service from the list?"),
                                  QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                   == platform::IDYES) {
            const int line = m_list->FindItemByData(selected, false);
            m_data.RemoveService(selected);
            RebuildList();
            if (m_list->GetItemCount() > 0)
                m_list->SelectItem(std::min(line, m_list->GetItemCount() - 1));
        }
        return true;
    case 30632:
        if (!preview && ConfirmAction(QStringLiteral("delete all Services"))) {
            m_data.RemoveAllServices();
            RebuildList();
        }
        return true;
    case 30551:
        m_bSpace = !m_bSpace;
        if (CZqApp *app = ZqApp())
            app->WriteSettingInt(QStringLiteral("SpaceBetweenServices"), m_bSpace ? 1 : 0);
        RebuildList();
        return true;
    case 30532:
        m_bShowNotes = !m_bShowNotes;
        RebuildList();
        return true;
    case 30159:
        if (!preview)
            RearrangeServices();
        return true;
    case 30377:
        if (selectedService && ZqApp())
            ZqApp()->OpenService(selectedService->m_SerNo, 1, false);
        return true;
    case 30746:
        if (selectedService) {
            if (windows().inventory)
                windows().inventory(*this, selectedService->m_SerNo);
            else
                sayNotAvailable(QStringLiteral("The inventory window"));
        }
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CItemSpecs::RearrangeServices()
{
    CListBoxDragDlg order(0, CListBoxDragDlg::MoveButtons, this);
    order.m_strRibbonTitle = QStringLiteral("Rearrange Services");
    order.m_strStripText = m_data.m_strDescription;
    order.m_nColorScheme = m_nColorScheme;
    CZqApp *app = ZqApp();
    for (qint32 id : m_data.Order()) {
        const CSerSet *service = m_data.ServiceOf(id);
        if (!service)
            continue;
        QString category;
        int icon = 6;
        if (app)
            app->GetCategoryNameAndIcon(service->m_CatNo, category, icon);
        order.AddItem(id, category + QStringLiteral(": ") + service->m_Name, icon, service->m_SerNo, 0);
    }
    if (order.DoModal() != platform::IDOK)
        return;
    std::vector<qint32> ids;
    for (const CListItem &row : order.m_rowsOut)
        ids.push_back(row.m_value);
    m_data.Reorder(ids);
    RebuildList();
}

void CItemSpecs::OpenPicker(qint32 depNo, qint32 catNo)
{
    if (m_data.m_bPreview)
        return;
    if (!windows().pickServices)
        return sayNotAvailable(QStringLiteral("The service list"));
    windows().pickServices(*this, depNo, catNo);
}

void CItemSpecs::OnServiceMessage(qint32 serNo, bool add)
{
    if (m_data.m_bPreview)
        return;
    if (add)
        m_data.AddService(serNo);
    else
        m_data.RemoveServiceBySerNo(serNo);
    RebuildList();
}

void CItemSpecs::OnOwnerMessage(int message, qintptr wParam, qintptr lParam)
{
    if (message == kServiceMessage)
        OnServiceMessage(qint32(wParam), lParam != 0);
}

void CItemSpecs::FollowPicker(qint32 serNo, bool added)
{
    // An open service list ticks or clears the service as this window added
    // or removed it, without telling this window back.
    if (CSerList *picker = CSerList::FindOpenPicker())
        picker->SetTicked(serNo, added);
}

void CItemSpecs::OnGridChanged(int message, qintptr wParam, qintptr lParam)
{
    if (message != kGridChanged)
        return;
    if (wParam == kItemGrid) {
        const qint32 sheets = m_data.m_nSheets;
        ExchangeGrids(true);
        if (lParam == 2 && m_data.m_nPaperCount == 1) {
            const qint32 typed = m_data.m_nSheets;
            m_data.m_nSheets = sheets;
            m_data.SetSheetsPerSet(typed);
            RebuildList();
        }
    } else if (wParam == kPriceGrid) {
        ExchangeGrids(true);
    }
}

void CItemSpecs::OnListDoubleClick(int line, int column)
{
    if (m_data.m_bPreview)
        return;
    const qint32 id = qint32(m_list->GetItemData(line));
    const CSerSet *service = m_data.ServiceOf(id);
    if (!service)
        return;
    const QString category = m_list->GetItemText(line, 0);
    // A double-click on the category's picture opens the picker there.
    const bool onPicture = m_list->viewport()->mapFromGlobal(QCursor::pos()).x() < 20;
    if (column == 0 && onPicture && !category.isEmpty()) {
        OpenPicker(ZqApp() ? ZqApp()->GetCategoryDepartment(service->m_CatNo) : 0, service->m_CatNo);
        return;
    }
    if (!IsPaperCategory(service->m_CatNo)) {
        m_data.EditService(id, 0);
    } else {
        const int image = m_list->GetItemImage(line);
        int start = 4;
        if (!category.isEmpty()) {
            start = 4;
        } else if (image == 199) {
            SendCommand(30104);
            return;
        } else if (image >= 239 && image <= 243) {
            start = (line > 0 && m_list->GetItemImage(line - 1) == 199) ? 12 : 14;
        } else {
            start = 18;
        }
        m_data.m_nPaperId = id;
        m_data.EditService(id, start);
    }
    RebuildList();
}

void CItemSpecs::OnListContextMenu(const QPoint &pos)
{
    if (m_data.m_bPreview)
        return;
    std::unique_ptr<QMenu> menu = LoadMenuResource(kSpecsMenu);
    if (!menu || menu->actions().size() <= kSpecsSubMenu)
        return;
    QMenu *specs = menu->actions().at(kSpecsSubMenu)->menu();
    if (!specs)
        return;
    for (QAction *action : specs->actions()) {
        if (action->data().toInt() == 30532)
            action->setChecked(m_bShowNotes);
        if (action->data().toInt() == 30551)
            action->setChecked(m_bSpace);
    }
    if (QAction *chosen = specs->exec(m_list->viewport()->mapToGlobal(pos)))
        SendCommand(chosen->data().toInt());
}

void CItemSpecs::OnProductType()
{
    CDlgTree tree(40, m_data.m_nProductType, this);
    if (tree.DoModal() != platform::IDOK)
        return;
    m_data.m_nProductType = quint8(tree.m_nChosen);
    if (CZqApp *app = ZqApp(); app && app->IsProductTypeKnown(m_data.m_nProductType)) {
        const int unit = app->CurrentCodeItem.number(2);
        if (unit >= 0 && unit <= 7)
            m_data.m_nUnit = quint8(unit);
    }
    RefreshProductButton();
    ExchangeGrids(false);
}

void CItemSpecs::OnUnitButton()
{
    CDlgOptions options(QStringLiteral("Document Types"), QStringLiteral("This information will be printed on invoices"),
                        0, this);
    options.AddRadioGroup(QStringLiteral("Select Document Type"), 0);
    for (int unit = 0; unit <= 7; ++unit)
        options.AddEntry(unit + 1, GetQuantityUnitName(quint8(unit)));
    options.m_nSelect = {m_data.m_nUnit + 1, 0, 0};
    if (options.DoModal() != platform::IDOK)
        return;
    const long code = options.GetCheckedInRange(1, 8);
    if (code >= 1) {
        m_data.m_nUnit = quint8(code - 1);
        m_data.CountPapers();
        ExchangeGrids(false);
        RebuildList();
    }
}

void CItemSpecs::EditNote(bool description)
{
    ExchangeGrids(true);
    QString &text = description ? m_data.m_strDescription : m_data.m_strNote;
    CNoteDlg note(description ? QStringLiteral("Item Description") : QStringLiteral("Item Note"), QString(), text,
                  m_data.m_bPreview ? CNoteDlg::ShowText : CNoteDlg::EditNote, this);
    // The item keeps its line breaks as "\n".
    note.HoldNoteTo(QStringLiteral("Items"), description ? QStringLiteral("Description") : QStringLiteral("Note"), false);
    if (note.DoModal() != platform::IDOK || m_data.m_bPreview)
        return;
    text = note.m_strNote.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_note->setPlainText(m_data.m_strNote);
    ExchangeGrids(false);
}

void CItemSpecs::OnQuantity()
{
    ExchangeGrids(true);
    if (m_data.m_nJobType == 1) {
        CDlgData entry(CItemSpecsData::QuantityBreaks(m_data.m_strNote), 50, QStringLiteral("Quantity Breaks"),
                       QStringLiteral("Type up to 10 quantities, separated by a space:"),
                       CItemSpecsData::QuantityBreaksPrompt(m_data.m_nQuantity), this);
        if (entry.DoModal() != platform::IDOK)
            return;
        QString refusal;
        m_data.m_strNote =
            CItemSpecsData::ApplyQuantityBreaks(m_data.m_strNote, entry.m_strValue, m_data.m_nQuantity, &refusal);
        if (!refusal.isEmpty()) {
            platform::Prompt::messageBox(refusal, QString(), platform::MB_ICONEXCLAMATION);
            return;
        }
        m_note->setPlainText(m_data.m_strNote);
        ExchangeGrids(false);
        return;
    }
    QString title = QStringLiteral("Item Quantity");
    if (m_data.m_nProductType != 0 && ZqApp())
        title = ZqApp()->GetProductTypeName(m_data.m_nProductType);
    CDlgOptions options(title, QStringLiteral("Common Quantities"), 11, this);
    options.m_strWindowTitle = QStringLiteral("Quick List");
    options.AddRadioGroup(QStringLiteral("Select a Finish Quantity"), 0);
    options.AddCodedListEntries(CItemSpecsData::CommonQuantities());
    options.m_nSelect = {m_data.m_nQuantity, 0, 0};
    if (options.DoModal() != platform::IDOK)
        return;
    const long code = options.GetCheckedInRange(1, 1000000);
    const int quantity = code ? ToInt(options.GetEntryText(code)) : 0;
    if (quantity > 0 && quantity != m_data.m_nQuantity) {
        m_data.m_nQuantity = quantity;
        ExchangeGrids(false);
    }
}

// ---------------------------------------------------------------------------
// Save and Cancel

void CItemSpecs::OnSaveClose()
{
    if (m_data.m_bPreview) {
        EndDialog(platform::IDOK);
        return;
    }
    m_wndItemGrid.EndEdit();
    m_wndPriceGrid.EndEdit();
    ExchangeGrids(true);
    if (!m_data.ValidateItem()) {
        RebuildList();
        return;
    }
    bool priced = false;
    if (!m_data.SaveItem(priced))
        return;
    m_bChanged = priced;
    EndDialog(platform::IDOK);
}

void CItemSpecs::OnCancel()
{
    if (m_data.m_bPreview) {
        EndDialog(platform::IDCANCEL);
        return;
    }
    m_wndItemGrid.EndEdit();
    m_wndPriceGrid.EndEdit();
    ExchangeGrids(true);
    if (!m_data.HasChanges()) {
        EndDialog(platform::IDCANCEL);
        return;
    }
    const int answer = Prompt::messageBox(QStringLiteral("Do you want to save the changes?"), QString(),
                                          platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    if (answer == platform::IDYES)
        Post(kSaveClose);
    else if (answer == platform::IDNO)
        EndDialog(platform::IDCANCEL);
    // Cancel: back to the window with everything as it was.
}

void CItemSpecs::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    const int dx = widthDelta();
    const int dy = heightDelta();
    GrowItemBy(kNote, 0, dy);
    if (m_list)
        m_list->resize(m_list->width() + dx, m_list->height() + dy);
    GrowItemBy(kServicesBar, dx, 0);
    MoveItemBy(kAddBar, 0, dy);
    GrowItemBy(kAddBar, dx, 0);
}

// ---------------------------------------------------------------------------

void InstallItemSpecs()
{
    std::shared_ptr<QMenu> earlier(LoadMenuResource(kSpecsMenu).release());
    RegisterMenuResource(kSpecsMenu, [earlier](QMenu &menu) { buildSpecsMenu(menu, earlier.get()); });
    if (CZqApp *app = ZqApp())
        app->setItemPreviewer([](long itemId) { CItemSpecs::EditItem(qint32(itemId), QApplication::activeWindow(), true); });

    // The catalogue's windows the item window opens.
    CItemSpecs::Windows w;
    w.pickServices = [](CItemSpecs &owner, qint32 depNo, qint32 catNo) {
        CSerList picker(depNo, catNo, 0, true, &owner);
        picker.m_pBeside = &owner;
        for (qint32 id : owner.data().Order())
            if (const CItemSet *row = owner.data().Row(id))
                picker.AddChecked(row->m_SerNo);
        QObject::connect(&picker, &CSerList::serviceTicked, &owner,
                         [&owner](qint32 serNo, bool ticked) { owner.OnServiceMessage(serNo, ticked); });
        picker.DoModal();
    };
    w.editSpecs = [](CItemSpecs &owner, CItemSet &row, const CSerSet &service, int startRow,
                     CItemSpecsData::SpecsResult &result) {
        result = {};
        if (!IsPaperCategory(service.m_CatNo)) {
            CEditService specs(row, service, 100, &owner);
            if (startRow > 0)
                specs.m_nStartRow = startRow;
            return specs.DoModal() == IDOK_RESULT;
        }
        CEditPaper paper(row, service, 100, &owner);
        paper.m_nQuantityUnit = owner.data().m_nUnit;
        paper.m_bDigital = owner.data().m_bDigital;
        paper.m_bNoReplace = owner.data().m_bPreview;
        if (startRow > 0)
            paper.m_nStartRow = startRow;
        if (paper.DoModal() != IDOK_RESULT)
            return false;
        // New sizes bring the cut counts of their layout with them.
        if (paper.m_bSizesChanged) {
            result.flags |= CItemSpecsData::SizesChanged;
            result.cutsToRun = paper.m_nCutsToRun;
            result.cutsToFinish = paper.m_nCutsToFinish;
        }
        if (paper.paper().m_SerNo != row.m_SerNo) {
            // A replaced paper: its number, its sheet size and its vendor.
            row.m_SerNo = paper.paper().m_SerNo;
            row.m_strPaperSize = paper.paper().m_Size.trimmed();
            row.m_Vendor = paper.paper().m_VendorNo;
            if (paper.m_bSizesChanged) {
                paper.CalcLayouts();
                result.cutsToRun = paper.m_nCutsToRun;
                result.cutsToFinish = paper.m_nCutsToFinish;
            }
        }
        if (paper.m_bInksChanged)
            result.flags |= CItemSpecsData::InksChanged;
        if (paper.m_bSecondPaper)
            result.flags |= CItemSpecsData::AddSecondPaper;
        return true;
    };
    w.inventory = [](CItemSpecs &owner, qint32 serNo) {
        CInventory inventory(30746, serNo, &owner);
        inventory.m_bPreview = !(CItemSet::GetInventoryRules().optionBits & 128);
        inventory.DoModal();
    };
    w.cutter = [](CItemSpecs &owner, CItemSet &paper, qint32 &toRunSize, qint32 &toFinishSize) {
        const CSerSet *service = owner.data().Service(paper.m_SerNo);
        return RunPaperCutter(paper, service ? service->m_Name.trimmed() : QString(), true, toRunSize, toFinishSize,
                              &owner);
    };
    CItemSpecs::SetWindows(w);
}
