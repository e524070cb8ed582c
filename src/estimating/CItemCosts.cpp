#include "estimating/CItemCosts.h"
#include "data/AnswersOutsideLock.h"
#include <map>
#include <optional>

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "controls/DlgItem.h"
#include "data/CSerSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "views/CNoteDlg.h"

#include <QtGui/QCursor>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

namespace {

using Sheet = CItemCostSheet;
using platform::Prompt;

constexpr unsigned kPreviewService = 1001;
constexpr unsigned kQuantityDetail = 1002;
constexpr unsigned kSavedVsDefault = 1003;
constexpr unsigned kItemDirectCost = 1005;
constexpr unsigned kSaveLocked = 1006;
constexpr int kRowCommands = 31000;
constexpr int kTotalsCommands = 31010;
constexpr int kCellEntered = 30240;
constexpr int kCellChanged = 30247;

struct ColumnSpec
{
    const char *title;
    unsigned width;
    unsigned type;
    const char *format;
    bool editable;
};

// The 18 columns of the services grid (the totals grid has the same widths).
const ColumnSpec kColumns[Sheet::ColumnCount] = {
    {"Category: Name", 210, 1, "&60", false},
    {"", 3, 1, "&1", false},
    {"Cost\nPer Hour", 70, 8, "4", true},
    {"Actual\nTime", 50, 5, ":", true},
    {"Charge\nTime", 50, 5, ":", true},
    {"Time\nCost", 60, 8, "$", true},
    {"", 3, 1, "&1", false},
    {"Unit\nCost", 70, 8, "4", true},
    {"Per", 30, 1, "&10", false},
    {"Actual\nQuantity", 60, 7, "%8d", true},
    {"Charge\nQuantity", 60, 7, "%8d", true},
    {"Mat'l\nCost", 60, 8, "$", true},
    {"", 3, 1, "&1", false},
    {"Service\nCost", 70, 8, "$", false},
    {"\u00b1", 20, 1, "&1", false},
    {"Markup\n%", 50, 8, "1", true},
    {"Service\nPrice", 70, 8, "$", true},
    {"\u00b1", 20, 1, "&1", false},
};

QString figuresMoney(Money value)
{
    return FormatMoney(value);
}

// A plain table window (template 420) the Costs window shows its
// comparisons in.
class CTableWindow : public CDlgGrid
{
public:
    CTableWindow(QWidget *parent, int colourScheme, int width, int rows)
        : CDlgGrid(420, parent, 0, colourScheme)
    {
        m_strWindowTitle = QStringLiteral("Table");
        AddStandardLayout(QSize(width + 2 * kMargin, rows * 24 + 230), QRect(kMargin, 76, width, rows * 24 + 60));
    }
};

} // namespace

CItemCosts::CItemCosts(CItemSet *item, QWidget *parent)
    : CDlgGrid(710, parent, 0, 210), m_pItem(item)
{
    m_strWindowTitle = QStringLiteral("Costs");
    int width = 0;
    for (const ColumnSpec &c : kColumns)
        width += int(c.width);
    width += 20;
    AddStandardLayout(QSize(width + 2 * kMargin, 740), QRect(kMargin, 100, width, 34 + 19 * 21 + 2));
    AddPlaceholder(kHeaderGrid, QRect(kMargin, 74, width, 24));
    SetGridOffsets(0, 0, 0, 4);
}

CItemCosts::~CItemCosts() = default;

int CItemCosts::EditCosts(CItemSet *item, const QString &jobLabel, int colourScheme, bool preview,
                          qint32 selectItemId, QWidget *parent, const CItemSpecsData::JobAlongside &job)
{
    if (!item)
        return IDCANCEL_RESULT;
    CItemCosts dialog(item, parent);
    dialog.m_nColorScheme = colourScheme;
    dialog.m_bPreview = preview;
    dialog.m_nSelectItemId = selectItemId;
    dialog.m_job = job;
    dialog.m_strWindowTitle = QStringLiteral("COSTS: %1 - %2 %3")
                                  .arg(jobLabel, item->GetItemNoText(QStringLiteral("ITEM ")),
                                       preview ? QStringLiteral("PREVIEW ") : QString());
    return dialog.DoModal();
}

bool CItemCosts::RunQuery()
{
    m_query.clear();
    const QString sql =
        QStringLiteral(
            "SELECT ServiceCategories.CatNo, Items.SerNo, Items.ItemID, ServiceCategories.CatName & ': ' & "
            "Services.Name, Items.ActualTime, Items.ChargeTime, Items.TimeCost, Items.ActualQty, Items.ChargeQty, "
            "Items.MatCost, Items.Cost, Items.Price FROM ServiceCategories INNER JOIN (Items INNER JOIN Services ON "
            "Items.SerNo = Services.SerNo) ON ServiceCategories.CatNo = Services.CatNo WHERE Items.JobID = %1 AND "
            "Items.ItemNo = %2 AND Items.SubNo = %3 AND Items.SerNo > 0 ORDER BY Items.SortNo, "
            "ServiceCategories.SortNo, Services.SortNo, Services.Name")
            .arg(m_pItem->m_JobID)
            .arg(m_pItem->m_ItemNo)
            .arg(m_pItem->m_SubNo);
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (!set.IsOpen())
        return false;
    for (; !set.IsEOF(); set.MoveNext()) {
        QueryRow row;
        set.GetFieldLong(0, row.catNo);
        set.GetFieldLong(1, row.serNo);
        set.GetFieldLong(2, row.itemId);
        set.GetFieldString(3, row.name);
        set.GetFieldLong(4, row.figures.actualTime);
        set.GetFieldLong(5, row.figures.chargeTime);
        set.GetFieldCurrency(6, row.figures.timeCost);
        set.GetFieldLong(7, row.figures.actualQty);
        set.GetFieldLong(8, row.figures.chargeQty);
        set.GetFieldCurrency(9, row.figures.matCost);
        set.GetFieldCurrency(10, row.figures.cost);
        set.GetFieldCurrency(11, row.figures.price);
        m_query.push_back(row);
    }
    return true;
}

bool CItemCosts::OnInitDialog()
{
    m_strHelpText = QStringLiteral(" ");
    if (!m_pItem || !RunQuery() || m_query.empty()) {
        const QString label = m_pItem ? m_pItem->GetItemNoText(QStringLiteral("ITEM ")) : QStringLiteral("ITEM");
        Prompt::messageBox(label + QStringLiteral(" does not have any Services.\n\nTo edit costs, you must add "
                                                  "Service(s) in the Specs window."),
                           QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
        EndDialog(IDCANCEL_RESULT);
        return false;
    }
    m_nRowCount = int(m_query.size());
    m_saved.OpenServicesOfItem(*m_pItem, 0);
    bool header = false;
    for (; m_saved.IsOpen() && !m_saved.IsEOF(); m_saved.MoveNext()) {
        m_asRead.emplace(m_saved.m_ItemID, CItemSet(m_saved));
        if (m_saved.m_SerNo == 0 && !header) {
            header = true;
            m_nItemRowPriceLock = m_saved.m_Mix;
            m_itemSavedCost = m_saved.m_Cost;
            m_itemSavedPrice = m_saved.m_Price;
            m_strRibbonTitle = m_saved.m_Description;
        }
    }

    // Today's figures: one silent pricing, which writes nothing.
    m_pEngine = std::make_unique<CItemPrice>(m_pItem, true);
    m_pEngine->PriceItem(0);

    BuildGrids();
    CDlgGrid::OnInitDialog();
    m_wndHeader.SetColorScheme(m_nColorScheme);
    m_wndHeader.Create(this, kHeaderGrid, m_wndGrid.x(), m_wndGrid.y() - (m_wndHeader.GetHeaderHeight() + 2));
    ShowItem(kHeaderGrid, true);
    for (auto [id, text] : {std::pair{kPreviewService, "Preview Service"}, std::pair{kQuantityDetail, "Quantity Detail"},
                            std::pair{kSavedVsDefault, "Saved vs Default"}, std::pair{kItemDirectCost, "Item Direct Cost"},
                            std::pair{kSaveLocked, "Save as Locked..."}}) {
        SetItemText(id, QString::fromLatin1(text));
        ShowItem(id, true);
    }
    SetItemText(1, QStringLiteral("Save"));
    // The five buttons wide enough for their captions.
    int left = kMargin;
    for (unsigned id : {kPreviewService, kQuantityDetail, kSavedVsDefault, kItemDirectCost, kSaveLocked}) {
        if (QWidget *button = GetDlgItem(this, id)) {
            if (id == kItemDirectCost)
                left = m_wndGrid.geometry().right() + 1 - 2 * 136 + 6;
            button->setGeometry(left, button->y(), 130, button->height());
            left += 136;
        }
    }
    if (m_nItemRowPriceLock != 0) {
        SetItemText(kSaveLocked, QStringLiteral("Locked"));
        EnableItem(kSaveLocked, false);
    }
    EnableItem(1, !m_bPreview);
    if (m_bPreview)
        EnableItem(kSaveLocked, false);

    connect(&m_wndGrid, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr cell) {
        int row, column;
        m_wndGrid.IndexToCell(int(cell), row, column);
        if (message == kCellChanged)
            OnCellChanged(CDlgGrid::kGrid, row, column);
        else if (message == kCellEntered)
            OnCellSelected(CDlgGrid::kGrid, row, column);
    });
    connect(&m_wndGrid2, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr cell) {
        int row, column;
        m_wndGrid2.IndexToCell(int(cell), row, column);
        if (message == kCellChanged)
            OnCellChanged(CDlgGrid::kSecondGrid, row, column);
        else if (message == kCellEntered)
            OnCellSelected(CDlgGrid::kSecondGrid, row, column);
    });
    connect(&m_wndGrid, &CXGridCtrl::notified, this, [this](int code, int row, int column, const QPoint &point) {
        if (code == -3)
            OnGridDoubleClick(row, column, point);
        else if (code == -5)
            OnGridRightClick(false, row, point);
    });
    connect(&m_wndGrid2, &CXGridCtrl::notified, this, [this](int code, int row, int, const QPoint &point) {
        if (code == -5)
            OnGridRightClick(true, row, point);
    });

    FillSheet();
    int select = 0;
    for (int r = 0; r < m_sheet.RowCount(); ++r)
        if (m_nSelectItemId != 0 && m_sheet.RowAt(r).itemId == m_nSelectItemId)
            select = r;
    SetCurrentRow(select);
    m_wndGrid.EditCell(select, m_nStartColumn);
    if (!m_bPreview)
        m_sheet.SetChanged(false);
    return true;
}

void CItemCosts::BuildGrids()
{
    // Group headings over the services grid.
    m_wndHeader.SetHeaderHeight(24);
    constexpr std::uint32_t centred = 0x1;
    m_wndHeader.AddColumn(QStringLiteral("SERVICE"), 210, 1, QString(), 0, centred);
    m_wndHeader.AddColumn(QString(), 3, 1, QString(), 0);
    m_wndHeader.AddColumn(QStringLiteral("TIME"), 230, 1, QString(), 0, centred);
    m_wndHeader.AddColumn(QString(), 3, 1, QString(), 0);
    m_wndHeader.AddColumn(QStringLiteral("MATERIAL"), 280, 1, QString(), 0, centred);
    m_wndHeader.AddColumn(QString(), 3, 1, QString(), 0);
    m_wndHeader.AddColumn(QStringLiteral("TIME + MATERIAL"), 230, 1, QString(), 0, centred);
    // One row of no height: only the headings show.
    m_wndHeader.SetRows(1, 1);
    m_wndHeader.SetRowHeight(0);

    m_wndGrid.SetHeaderHeight(34);
    m_wndGrid.SetEnterMovesDown(false);
    // Money columns hold any amount an item may have (64 bits).
    for (const ColumnSpec &c : kColumns) {
        const int column = m_wndGrid.AddColumn(QString::fromUtf8(c.title), c.width, c.type,
                                               QString::fromLatin1(c.format), c.editable ? 1 : 0);
        m_wndGrid.SetColumnWide(column);
    }
    m_wndGrid.SetRows(m_nRowCount, std::min(m_nRowCount, 19));

    // The totals grid shows no headings; its columns carry the titles all
    // the same, so that a value refused there is named by its column.
    m_wndGrid2.SetHeaderHeight(0);
    for (int c = 0; c < Sheet::ColumnCount; ++c) {
        const ColumnSpec &s = kColumns[c];
        const bool editable = c == Sheet::ColMarkup || c == Sheet::ColPrice;
        m_wndGrid2.SetColumnWide(m_wndGrid2.AddColumn(QString::fromUtf8(s.title), s.width, s.type,
                                                      QString::fromLatin1(s.format), editable ? 1 : 0));
    }
    // Amounts read as every money field reads them; the markup is a rate.
    for (CXGridCtrl *grid : {&m_wndGrid, &m_wndGrid2}) {
        grid->SetColumnMoney(Sheet::ColRate);
        grid->SetColumnMoney(Sheet::ColUnitCost);
        grid->SetColumnRate(Sheet::ColMarkup);
    }
    m_wndGrid2.SetRows(3, 3);
    m_wndGrid2.SetCellEditable(Sheet::DefaultRow, Sheet::ColMarkup, 0);
    m_wndGrid2.SetCellEditable(Sheet::DefaultRow, Sheet::ColPrice, 0);
}

void CItemCosts::FillSheet()
{
    m_sheet.Clear();
    CSerSet service;
    for (const QueryRow &q : m_query) {
        qint32 unit = 0;
        if (service.FindBySerNo(q.serNo))
            unit = service.m_Unit;
        m_sheet.AddRow(q.itemId, q.catNo, q.serNo, unit, q.name, q.figures);
        CItemCostSheet::Figures def;
        const auto &rows = m_pEngine->Rows();
        const auto it = rows.find(q.itemId);
        if (it != rows.end()) {
            const CItemSet &r = it->second;
            def.actualTime = r.m_ActualTime;
            def.chargeTime = r.m_ChargeTime;
            def.actualQty = r.m_ActualQty;
            def.chargeQty = r.m_ChargeQty;
            def.timeCost = r.m_TimeCost;
            def.matCost = r.m_MatCost;
            def.cost = r.m_Cost;
            def.price = r.m_Price;
            m_sheet.SetDefaultRow(q.itemId, def);
        }
    }
    m_sheet.SetItemDefaults(m_pEngine->GetNewCost(), m_pEngine->GetNewPrice());
    m_sheet.InitRows();
    ShowAllRows();
}

void CItemCosts::ShowRow(int r)
{
    if (r < 0 || r >= m_sheet.RowCount())
        return;
    const Sheet::Row &row = m_sheet.RowAt(r);
    m_wndGrid.SetCellText(r, Sheet::ColName, row.name);
    if (CZqApp *app = ZqApp())
        m_wndGrid.SetCellImage(r, Sheet::ColName, std::uint8_t(app->GetServiceColor(row.serNo)));
    m_wndGrid.SetCellText(r, Sheet::ColPer, row.unitLabel);
    for (int c = 0; c < Sheet::ColumnCount; ++c)
        if (Sheet::Cell(const_cast<Sheet::Row &>(row), c))
            m_wndGrid.SetCellValue(r, c, Sheet::CellValue(row, c));
    m_wndGrid.SetCellText(r, Sheet::ColCostMark, row.costMark);
    m_wndGrid.SetCellText(r, Sheet::ColPriceMark, row.priceMark);
    m_wndGrid.RefreshRow(r);
}

void CItemCosts::ShowTotals()
{
    for (int t = 0; t < 3; ++t) {
        const Sheet::Row &row = m_sheet.Totals(t);
        m_wndGrid2.SetCellText(t, Sheet::ColName, row.name);
        for (int c = 0; c < Sheet::ColumnCount; ++c)
            if (Sheet::Cell(const_cast<Sheet::Row &>(row), c))
                m_wndGrid2.SetCellValue(t, c, Sheet::CellValue(row, c));
        m_wndGrid2.SetCellText(t, Sheet::ColCostMark, row.costMark);
        m_wndGrid2.SetCellText(t, Sheet::ColPriceMark, row.priceMark);
    }
    // The Margin row shows only its percentage and amount.
    for (int c = 0; c < Sheet::ColumnCount; ++c)
        if (c != Sheet::ColName && c != Sheet::ColMarkup && c != Sheet::ColPrice
            && Sheet::Cell(const_cast<Sheet::Row &>(m_sheet.Totals(1)), c))
            m_wndGrid2.SetCellValue(Sheet::MarginRow, c, 0);
    m_wndGrid2.RefreshRow(-1);
    EnableSave();
}

void CItemCosts::ShowAllRows()
{
    for (int r = 0; r < m_sheet.RowCount(); ++r)
        ShowRow(r);
    ShowTotals();
}

void CItemCosts::EnableSave()
{
    if (m_sheet.IsChanged() && !m_bPreview)
        EnableItem(1, true);
}

void CItemCosts::SetCurrentRow(int row)
{
    if (row >= 0 && row < m_sheet.RowCount())
        m_nCurRow = row;
}

void CItemCosts::OnCellSelected(unsigned gridId, int row, int column)
{
    QString field, of, what;
    if (gridId == CDlgGrid::kGrid) {
        SetCurrentRow(row);
        field = m_wndGrid.GetColumnHeader(column).replace(QLatin1Char('\n'), QLatin1Char(' '));
        of = QStringLiteral("Service");
        what = Sheet::RecalcWording(column);
    } else {
        field = column == Sheet::ColMarkup ? QStringLiteral("Markup") : QStringLiteral("Price");
        of = QStringLiteral("Item");
        what = QStringLiteral("Markups and Prices of ALL Services");
    }
    SetStripText(QStringLiteral("If you change the %1 of the %2, %3 will be recalculated.\nRight-click a '\u00b1' "
                                "field for more options.")
                     .arg(field, of, what));
}

void CItemCosts::OnCellChanged(unsigned gridId, int row, int column)
{
    if (gridId == CDlgGrid::kGrid) {
        if (row < 0 || row >= m_sheet.RowCount())
            return;
        SetCurrentRow(row);
        if (qint64 *cell = Sheet::Cell(m_sheet.RowAt(row), column))
            *cell = m_wndGrid.GetCellValue(row, column);
        if (m_sheet.OnCellChanged(row, column)) {
            ShowRow(row);
            ShowTotals();
        }
        return;
    }
    if (!m_sheet.OnTotalsChanged(row, column, m_wndGrid2.GetCellValue(row, column))) {
        // A margin of 100 % or more: refused, the total kept.
        Prompt::beep();
        ShowTotals();
        return;
    }
    ShowAllRows();
}

void CItemCosts::BuildApplyMenu(QMenu &menu, bool totals, int row)
{
    Sheet::Figures saved, def;
    QString costMark, priceMark;
    if (totals) {
        saved.cost = m_itemSavedCost;
        saved.price = m_itemSavedPrice;
        def.cost = m_sheet.ItemDefaultCost();
        def.price = m_sheet.ItemDefaultPrice();
    } else if (row >= 0 && row < m_sheet.RowCount()) {
        const Sheet::Row &r = m_sheet.RowAt(row);
        saved = m_sheet.SavedOf(r.itemId);
        def = m_sheet.DefaultOf(r.itemId);
        costMark = r.costMark;
        priceMark = r.priceMark;
    }
    const int base = totals ? kTotalsCommands : kRowCommands;
    auto add = [&](int offset, const QString &text, bool enabled) {
        QAction *action = menu.addAction(text);
        action->setData(base + offset);
        action->setEnabled(enabled);
    };
    const bool bothQuiet = (costMark.isEmpty() && priceMark.isEmpty())
                           || (costMark == QStringLiteral("nc") && priceMark == QStringLiteral("nc"));
    const bool costs = totals || (!costMark.isEmpty() && !bothQuiet);
    const bool prices = totals || (!priceMark.isEmpty() && !bothQuiet);
    add(0, QStringLiteral("Apply Saved Cost    $\t") + figuresMoney(saved.cost), costs);
    add(1, QStringLiteral("Apply Default Cost  $\t") + figuresMoney(def.cost), costs);
    menu.addSeparator();
    add(2, QStringLiteral("Apply Saved Price   $\t") + figuresMoney(saved.price), prices);
    add(3, QStringLiteral("Apply Default Price $\t") + figuresMoney(def.price), prices);
    menu.addSeparator();
    add(4, QStringLiteral("Apply All Saved Values"), true);
    add(5, QStringLiteral("Apply All Default Values"), true);
    if (totals) {
        menu.addSeparator();
        add(6, QStringLiteral("Clear All Values"), true);
    }
}

void CItemCosts::OnGridRightClick(bool totals, int row, const QPoint &screen)
{
    if (!totals)
        SetCurrentRow(row);
    QMenu menu(this);
    BuildApplyMenu(menu, totals, totals ? row : m_nCurRow);
    QAction *chosen = menu.exec(screen + QPoint(0, 10));
    if (!chosen)
        return;
    const int id = chosen->data().toInt();
    if (totals)
        OnApplyTotalsCommand(id);
    else
        OnApplyRowCommand(id);
}

void CItemCosts::OnApplyRowCommand(int id)
{
    m_sheet.ApplyRowCommand(m_nCurRow, id - kRowCommands);
    ShowRow(m_nCurRow);
    ShowTotals();
    m_wndGrid.EditCell(m_nCurRow, m_wndGrid.GetCurCol());
}

void CItemCosts::OnApplyTotalsCommand(int id)
{
    const int command = id == kTotalsCommands + 6 ? 6 : id - kTotalsCommands;
    if (command == 4) {
        // The services grid filled again from the query.
        RunQuery();
        FillSheet();
    } else {
        m_sheet.ApplyTotalsCommand(command);
    }
    ShowAllRows();
    m_wndGrid2.EditCell(std::max(0, m_wndGrid2.GetCurRow()), m_wndGrid2.GetCurCol());
}

void CItemCosts::OnGridDoubleClick(int row, int column, const QPoint &point)
{
    SetCurrentRow(row);
    if (column == 0 && point.x() < 20)
        SendCommand(kPreviewService);
    else if (column <= Sheet::ColPer)
        SendCommand(kQuantityDetail);
    else
        SendCommand(kSavedVsDefault);
}

bool CItemCosts::OnCommand(int id)
{
    const qint32 itemId = m_sheet.RowCount() ? m_sheet.RowAt(m_nCurRow).itemId : 0;
    switch (id) {
    case kPreviewService:
        if (m_pEngine && itemId)
            m_pEngine->OpenRowService(itemId);
        return true;
    case kQuantityDetail:
        if (m_pEngine && itemId)
            m_pEngine->ExplainServiceQuantity(itemId);
        return true;
    case kSavedVsDefault: OnSavedVsDefault(); return true;
    case kItemDirectCost: OnItemDirectCost(); return true;
    case kSaveLocked:
        if (m_bPreview)
            return true;
        if (Prompt::messageBox(QStringLiteral("Save the Item Price as locked?\nThis is a low level (no password) "
                                              "protection."),
                               QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES) {
            m_wndGrid.EndEdit();
            m_wndGrid2.EndEdit();
            if (SaveCosts(true))
                EndDialog(IDOK_RESULT);
        }
        return true;
    default:
        if (id >= kRowCommands && id <= kRowCommands + 5) {
            OnApplyRowCommand(id);
            return true;
        }
        if (id >= kTotalsCommands && id <= kTotalsCommands + 6) {
            OnApplyTotalsCommand(id);
            return true;
        }
        return CDlgGrid::OnCommand(id);
    }
}

void CItemCosts::OnOK()
{
    if (m_bPreview)
        return;
    m_wndGrid.EndEdit();
    m_wndGrid2.EndEdit();
    if (SaveCosts(false))
        EndDialog(IDOK_RESULT);
}

void CItemCosts::ShowAsRead(const CItemSet &read, bool itemRow)
{
    // Each field the sheet writes that the row holds now other than as this
    // sheet read it: what was read is what this user was shown of it.
    using platform::FieldType;
    using platform::Value;
    const auto whole = [](qint32 v) { return Value(std::int64_t(v), FieldType::Long); };
    const auto over = [this](const auto &now, const auto &was, const Value &shown) {
        if (!(now == was))
            m_saved.SetFieldValueOverShown(&now, shown);
    };
    // An item's cost and price (and its mark against the default) are the
    // totals of its lines: written as worked, never asked about.
    if (!itemRow) {
        over(m_saved.m_Cost, read.m_Cost, Value(read.m_Cost));
        over(m_saved.m_Price, read.m_Price, Value(read.m_Price));
    }
    over(m_saved.m_Mix, read.m_Mix, Value(std::int64_t(read.m_Mix), FieldType::Byte));
    over(m_saved.m_ActualTime, read.m_ActualTime, whole(read.m_ActualTime));
    over(m_saved.m_ChargeTime, read.m_ChargeTime, whole(read.m_ChargeTime));
    over(m_saved.m_ActualQty, read.m_ActualQty, whole(read.m_ActualQty));
    over(m_saved.m_ChargeQty, read.m_ChargeQty, whole(read.m_ChargeQty));
    over(m_saved.m_TimeCost, read.m_TimeCost, Value(read.m_TimeCost));
    over(m_saved.m_MatCost, read.m_MatCost, Value(read.m_MatCost));
}

void CItemCosts::NameWrittenFields(const QString &line)
{
    using platform::Value;
    const bool item = line.isEmpty();
    const CXGridCtrl &grid = item ? m_wndGrid2 : m_wndGrid;
    const QString row = item ? Sheet::TotalsLabel(Sheet::CurrentTotal) : line;
    const auto caption = [&](int column) {
        const QString heading = grid.GetColumnHeader(column).simplified();
        return heading.isEmpty() ? row : row + QStringLiteral(", ") + heading;
    };
    const auto name = [&](const void *member, int column, bool money) {
        m_saved.SetFieldCaption(member, caption(column));
        m_saved.SetFieldShownAs(member, [&grid, column, money](const Value &v) {
            if (v.isNull())
                return QString();
            return grid.ShownValueText(column, money ? CurrencyToCents(v.toMoney()) : v.toInt64());
        });
    };
    name(&m_saved.m_ActualTime, Sheet::ColActualTime, false);
    name(&m_saved.m_ChargeTime, Sheet::ColChargeTime, false);
    name(&m_saved.m_ActualQty, Sheet::ColActualQty, false);
    name(&m_saved.m_ChargeQty, Sheet::ColChargeQty, false);
    name(&m_saved.m_TimeCost, Sheet::ColTimeCost, true);
    name(&m_saved.m_MatCost, Sheet::ColMatCost, true);
    name(&m_saved.m_Cost, Sheet::ColCost, true);
    name(&m_saved.m_Price, Sheet::ColPrice, true);
    // The item's price against its default price: the mark beside the
    // price, in the marks the sheet's help explains.
    m_saved.SetFieldCaption(&m_saved.m_Regis, caption(Sheet::ColPriceMark));
    m_saved.SetFieldShownAs(&m_saved.m_Regis, [](const Value &v) {
        const qint64 state = v.isNull() ? 0 : v.toInt64();
        return state == 11 ? QStringLiteral("+") : state == 12 ? QStringLiteral("-") : QStringLiteral("=");
    });
    // The item's price lock: the window's lock button.
    m_saved.SetFieldCaption(&m_saved.m_Mix, QStringLiteral("Save as Locked"));
    m_saved.SetFieldShownAs(&m_saved.m_Mix, [](const Value &v) {
        const qint64 level = v.isNull() ? 0 : v.toInt64();
        if (level <= 0)
            return QStringLiteral("Not locked");
        return level == 1 ? QStringLiteral("Locked") : QStringLiteral("Locked (password level %1)").arg(level - 1);
    });
}

bool CItemCosts::SaveCosts(bool lock)
{
    if (!m_saved.IsOpen())
        return false;
    std::map<qint32, const Sheet::Row *> byId;
    for (int r = 0; r < m_sheet.RowCount(); ++r)
        byId[m_sheet.RowAt(r).itemId] = &m_sheet.RowAt(r);
    const Sheet::Row &current = m_sheet.Totals(Sheet::CurrentTotal);
    // An item or job total past the largest amount is refused by name; the
    // sheet stays open with what was typed.
    if (const QString refusal = CItemPrice::PastLargestAmount(m_pItem->m_JobID, m_pItem->m_ItemNo, m_pItem->m_SubNo,
                                                              CentsToCurrency(current.cost),
                                                              CentsToCurrency(current.price));
        !refusal.isEmpty()) {
        Prompt::messageBox(refusal + QStringLiteral("\n\nThe item's prices are not saved."), QString(),
                           platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    if (m_job.check) {
        if (const QString why = m_job.check(); !why.isEmpty()) {
            Prompt::messageBox(why, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return false;
        }
    }
    // Each row is written under the one rule for shared rows: only what this
    // sheet changes, over the row as the sheet read it, onto the row as it is
    // now; a field another user saved too is asked about, outside the
    // transaction (see AnswersOutsideLock), and the save is made again.
    const std::map<qint32, CItemSet> &asRead = m_asRead;
    QString refused;
    bool jobRefused = false;
    bool cancelled = false;
    bool failed = false;
    bool dbFailed = false;
    AnswersOutsideLock answers;
    answers.Run(
        SharedDatabase(),
        [&]() -> std::optional<AnswersOutsideLock::Pending> {
            std::optional<AnswersOutsideLock::Pending> question;
            DeferredDaoErrors deferred;
            try {
                // Every row or none: a failure leaves the item as it was.
                platform::Transaction transaction(SharedDatabase());
                m_saved.Requery();
                // The lines first, the item after them: the item's cost and
                // price are the totals of its lines as they are stored now,
                // another user's figures kept among them, and are never
                // asked about themselves.
                Sheet stored = m_sheet;
                std::map<qint32, int> storedRow;
                for (int r = 0; r < stored.RowCount(); ++r)
                    storedRow[stored.RowAt(r).itemId] = r;
                for (int pass = 0; pass < 2 && !cancelled && !failed; ++pass)
                for (m_saved.MoveFirst(); !m_saved.IsEOF(); m_saved.MoveNext()) {
                    if ((m_saved.m_SerNo == 0) != (pass == 1))
                        continue;
                    const auto read = asRead.find(m_saved.m_ItemID);
                    m_saved.Edit();
                    if (read != asRead.end())
                        ShowAsRead(read->second, m_saved.m_SerNo == 0);
                    const auto line = byId.find(m_saved.m_ItemID);
                    if (m_saved.m_SerNo == 0)
                        NameWrittenFields(QString());
                    else if (line != byId.end())
                        NameWrittenFields(line->second->name);
                    if (m_saved.m_SerNo == 0) {
                        stored.UpdateTotals(false);
                        const Sheet::Row &total = stored.Totals(Sheet::CurrentTotal);
                        m_saved.m_Cost = CentsToCurrency(total.cost);
                        m_saved.m_Price = CentsToCurrency(total.price);
                        m_saved.m_Regis =
                            quint8(CItemPrice::GetPriceChangeState(m_saved.m_Price, m_pEngine->GetNewPrice()));
                        if (lock)
                            m_saved.m_Mix = 1;
                    } else if (line != byId.end()) {
                        const Sheet::Row &row = *line->second;
                        m_saved.m_ActualTime = row.actualTime;
                        m_saved.m_ChargeTime = row.chargeTime;
                        m_saved.m_ActualQty = row.actualQty;
                        m_saved.m_ChargeQty = row.chargeQty;
                        m_saved.m_TimeCost = CentsToCurrency(row.timeCost);
                        m_saved.m_MatCost = CentsToCurrency(row.matCost);
                        m_saved.m_Cost = CentsToCurrency(row.cost);
                        m_saved.m_Price = CentsToCurrency(row.price);
                    }
                    // Under the one rule; a failure is kept until the
                    // transaction has rolled back, and the edit is gone then.
                    if (!m_saved.SafeUpdate(QString())) {
                        if (m_saved.GetEditMode() == CXDaoSet::dbEditNone) {
                            failed = true;
                            break;
                        }
                        cancelled = true; // the user chose to save nothing now
                        break;
                    }
                    // The line as stored now, for the item's totals.
                    if (const auto at = storedRow.find(m_saved.m_ItemID);
                        m_saved.m_SerNo != 0 && at != storedRow.end()) {
                        Sheet::Row &row = stored.RowAt(at->second);
                        row.actualTime = m_saved.m_ActualTime;
                        row.chargeTime = m_saved.m_ChargeTime;
                        row.actualQty = m_saved.m_ActualQty;
                        row.chargeQty = m_saved.m_ChargeQty;
                        row.timeCost = CurrencyToCents(m_saved.m_TimeCost);
                        row.matCost = CurrencyToCents(m_saved.m_MatCost);
                        row.cost = CurrencyToCents(m_saved.m_Cost);
                        row.price = CurrencyToCents(m_saved.m_Price);
                    }
                }
                // Cancelled, failed or the job refused: rolled back as the
                // transaction ends.
                if (!cancelled && !failed && m_job.save && !m_job.save(refused))
                    jobRefused = true;
                else if (!cancelled && !failed)
                    transaction.commit();
            } catch (const AnswersOutsideLock::Pending &pending) {
                question.emplace(pending);
            } catch (const platform::DbException &e) {
                // Rolled back already; the rows in memory may hold the failed edits.
                if (m_saved.GetEditMode() != 0)
                    m_saved.CancelUpdate();
                m_saved.Requery();
                ShowDaoError(e, QStringLiteral("Cannot save "));
                dbFailed = true;
            }
            return question;
        },
        [&] {
            if (m_saved.GetEditMode() != 0)
                m_saved.CancelUpdate();
        });
    if (dbFailed)
        return false;
    if (failed) {
        m_saved.Requery();
        return false;
    }
    if (cancelled) {
        // Nothing saved, the sheet keeps what was typed over the rows as read.
        if (m_saved.GetEditMode() != 0)
            m_saved.CancelUpdate();
        m_saved.Requery();
        return false;
    }
    if (jobRefused) {
        // Rolled back with the job's refusal (empty: the user has been told):
        // said as the check says it now that nothing of it is in the file.
        m_saved.Requery();
        if (!refused.isEmpty() && m_job.check)
            if (const QString now = m_job.check(); !now.isEmpty())
                refused = now;
        if (!refused.isEmpty())
            Prompt::messageBox(refused, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    // Saved: the rows as written are what the sheet has read now.
    m_asRead.clear();
    for (m_saved.Requery(); !m_saved.IsEOF(); m_saved.MoveNext())
        m_asRead.emplace(m_saved.m_ItemID, CItemSet(m_saved));
    return true;
}

void CItemCosts::OnSavedVsDefault()
{
    if (m_sheet.RowCount() == 0)
        return;
    const Sheet::Row &row = m_sheet.RowAt(m_nCurRow);
    const Sheet::Figures saved = m_sheet.SavedOf(row.itemId);
    const Sheet::Figures def = m_sheet.DefaultOf(row.itemId);
    CTableWindow window(this, m_nColorScheme, 200 + 9 * 66 + 2 * 3 + 20, 3);
    window.m_strWindowTitle = QStringLiteral("Saved vs Default");
    window.m_strRibbonTitle = row.name;
    window.m_strStripText = QStringLiteral("'Saved Pricing' row shows the values that were saved when this Item was "
                                           "edited/priced last time.\n'Default Pricing' row shows the calculated "
                                           "values based on your current settings.");
    CXGridCtrl &g = window.m_wndGrid;
    g.SetHeaderHeight(34);
    g.AddColumn(QStringLiteral("Compare"), 200, 1, QStringLiteral("&60"), 0);
    g.AddColumn(QStringLiteral("Actual\nTime"), 66, 5, QStringLiteral(":"), 0);
    g.AddColumn(QStringLiteral("Charge\nTime"), 66, 5, QStringLiteral(":"), 0);
    g.AddColumn(QStringLiteral("Time\nCost"), 66, 8, QStringLiteral("$"), 0);
    g.AddColumn(QString(), 3, 1, QStringLiteral("&1"), 0);
    g.AddColumn(QStringLiteral("Actual\nQuantity"), 66, 7, QStringLiteral("%8d"), 0);
    g.AddColumn(QStringLiteral("Charge\nQuantity"), 66, 7, QStringLiteral("%8d"), 0);
    g.AddColumn(QStringLiteral("Mat'l\nCost"), 66, 8, QStringLiteral("$"), 0);
    g.AddColumn(QString(), 3, 1, QStringLiteral("&1"), 0);
    g.AddColumn(QStringLiteral("Service\nCost"), 66, 8, QStringLiteral("$"), 0);
    g.AddColumn(QStringLiteral("Service\nPrice"), 66, 8, QStringLiteral("$"), 0);
    g.SetRows(3, 3);
    auto put = [&g](int r, const QString &label, int image, qint64 actual, qint64 charge, Money time, qint64 aq,
                    qint64 cq, Money mat, Money cost, Money price) {
        g.SetCellText(r, 0, label);
        g.SetCellImage(r, 0, std::uint8_t(image));
        const qint64 values[] = {actual, charge, CurrencyToCents(time), 0, aq, cq, CurrencyToCents(mat), 0,
                                 CurrencyToCents(cost), CurrencyToCents(price)};
        for (int c = 1; c <= 10; ++c) {
            if (c == 4 || c == 8)
                continue;
            const qint64 v = values[c - 1];
            g.SetCellValue(r, c, v);
            if (r == 2 && v != 0)
                g.SetCellColor(r, c, v > 0 ? 10 : 21);
        }
    };
    put(0, QStringLiteral("Saved Pricing"), 179, saved.actualTime, saved.chargeTime, saved.timeCost, saved.actualQty,
        saved.chargeQty, saved.matCost, saved.cost, saved.price);
    put(1, QStringLiteral("Default Pricing"), 179, def.actualTime, def.chargeTime, def.timeCost, def.actualQty,
        def.chargeQty, def.matCost, def.cost, def.price);
    put(2, QStringLiteral("Difference = Saved - Default"), 237, qint64(saved.actualTime) - def.actualTime,
        qint64(saved.chargeTime) - def.chargeTime, saved.timeCost - def.timeCost,
        qint64(saved.actualQty) - def.actualQty, qint64(saved.chargeQty) - def.chargeQty, saved.matCost - def.matCost,
        saved.cost - def.cost, saved.price - def.price);
    window.DoModal();
}

void CItemCosts::OnItemDirectCost()
{
    qint64 directTime = 0, timeCost = 0, directMat = 0, matCost = 0;
    CSerSet service;
    for (int r = 0; r < m_sheet.RowCount(); ++r) {
        const Sheet::Row &row = m_sheet.RowAt(r);
        const bool found = service.FindBySerNo(row.serNo);
        if (row.actualTime != 0 && row.timeCost > 1) {
            // Wage per hour in cents; without one, a quarter of the cost per hour.
            qint64 wage = found ? CurrencyToCents(service.m_WageHr) : 0;
            if (wage == 0)
                wage = row.rate / 400;
            directTime += qint64(double(row.actualTime) * double(wage) / 60.0);
            timeCost += row.timeCost;
        }
        if (row.actualQty != 0 && row.matCost > 1) {
            const double overhead = found ? double(service.m_CostOH) : 0.0;
            directMat += overhead > 1.0 ? qint64(row.matCost / overhead) : row.matCost;
            matCost += row.matCost;
        }
    }
    const Sheet::Row &current = m_sheet.Totals(Sheet::CurrentTotal);
    const qint64 price = current.price;
    CTableWindow window(this, m_nColorScheme, 150 + 90 + 50 + 90 + 50 + 20, 5);
    window.m_strWindowTitle = QStringLiteral("Item Cost");
    window.m_strRibbonTitle = QStringLiteral("Item Direct Cost");
    window.m_strStripText = QStringLiteral("Direct Time Cost = Actual Time x Wage/Hour of Service\nDirect Mat'l Cost = "
                                           "Mat'l Cost / Overhead Multiplier of Service\n");
    CXGridCtrl &g = window.m_wndGrid;
    g.SetHeaderHeight(34);
    g.AddColumn(QStringLiteral("Description"), 150, 1, QStringLiteral("&32"), 0);
    g.AddColumn(QStringLiteral("Direct Cost"), 90, 8, QStringLiteral("$"), 0);
    g.AddColumn(QStringLiteral("% of\nPrice"), 50, 8, QStringLiteral("1"), 0);
    g.AddColumn(QStringLiteral("Cost with\nOverhead"), 90, 8, QStringLiteral("$"), 0);
    g.AddColumn(QStringLiteral("% of\nPrice"), 50, 8, QStringLiteral("1"), 0);
    g.SetRows(5, 5);
    const qint64 directTotal = directTime + directMat;
    const struct
    {
        const char *label;
        int image;
        qint64 direct, overhead;
    } rows[] = {
        {"Time Cost", 235, directTime, timeCost},
        {"Material Cost", 235, directMat, matCost},
        {"Total Cost", 234, directTotal, current.cost},
        {"Item Price", 179, price, price},
        {"Margin = Price - Cost", 237, price - directTotal, price - current.cost},
    };
    for (int r = 0; r < 5; ++r) {
        g.SetCellText(r, 0, QString::fromLatin1(rows[r].label));
        g.SetCellImage(r, 0, std::uint8_t(rows[r].image));
        g.SetCellValue(r, 1, rows[r].direct);
        g.SetCellValue(r, 2, Sheet::PercentOfPrice(rows[r].direct, price));
        g.SetCellValue(r, 3, rows[r].overhead);
        g.SetCellValue(r, 4, Sheet::PercentOfPrice(rows[r].overhead, price));
    }
    window.DoModal();
}

QString CItemCosts::HelpText()
{
    const QString separator = QString(42, QLatin1Char('-')) + QLatin1Char('\t') + QString(75, QLatin1Char('-'))
                              + QLatin1Char('\n');
    return QStringLiteral("When you open the Costs window, you will see the costs and prices that were saved when the "
                          "Item was priced or edited last time. ")
           + QStringLiteral("If you change a field, Tavrel recalculates other fields.\n\n") + separator
           + QStringLiteral("If you change:\t\t\tTavrel recalculates:\n") + separator
           + QStringLiteral("Cost/Hour or Unit Cost\t\tCost and Price\n")
           + QStringLiteral("Actual Time or Quantity\t\tCost and Markup\n")
           + QStringLiteral("Charge Time or Quantity\t\tMarkup and Price\n")
           + QStringLiteral("Time or Material Cost\t\tUnit Cost and Price\n")
           + QStringLiteral("Service Markup\t\t\tPrice\n") + QStringLiteral("Service Price\t\t\tMarkup\n")
           + QStringLiteral("Item Markup or Price\t\tMarkups and Prices of ALL SERVICES\n\n") + separator
           + QStringLiteral("In the '\u00b1' column, you will see:\tWhen the cost or price on the screen is:\n")
           + separator + QStringLiteral("  \t\t\t\t= equal to the default value\n")
           + QStringLiteral("+ \t\t\t\t> greater than the default value\n")
           + QStringLiteral("- \t\t\t\t< less than the default value\n")
           + QStringLiteral("? \t\t\t\t= 0.00 (unknown)\n") + QStringLiteral("nc \t\t\t\t= 0.01 (No Charge)\n")
           + separator + QStringLiteral("\nTIP: Right-click a '\u00b1' field for more options.");
}

void CItemCosts::ShowHelp()
{
    m_strHelpText = HelpText();
    CNoteDlg note(QStringLiteral("Help"), QStringLiteral("Costs"), m_strHelpText, 0, this);
    note.DoModal();
}
