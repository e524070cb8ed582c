#include "catalogue/CInventory.h"

#include "app/base/CZqApp.h"
#include "app/base/Choices.h"
#include "app/base/Clipboard.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "controls/DlgItem.h"
#include "data/DaoError.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Money.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "views/CDlgList.h"
#include "views/CNoteDlg.h"

#include <QtGui/QGuiApplication>

namespace {

constexpr int kOptionsId = 30749;
constexpr int kOptionsDefault = 11;
constexpr std::uint8_t kUnchecked = 215;
constexpr std::uint8_t kChecked = 216;

std::uint8_t statusIcon(int status)
{
    switch (status) {
    case kToOrder: return 104;
    case kOnOrder: return 103;
    case kInStock: return 102;
    default: return 255;
    }
}

QString unitLetter(int unit)
{
    return unit == 2 ? QStringLiteral("M") : unit == 3 ? QStringLiteral("T") : QStringLiteral("Ea");
}

} // namespace

CInventory::CInventory(int mode, qint32 id, QWidget *parent)
    : CDlgGrid(990, parent, 0, 120), m_nMode(mode), m_nId(id)
{
    if (CZqApp *app = ZqApp())
        m_nDepartment = app->GetCategoryDepartment(101);
    AddStandardLayout(QSize(1180, 620), QRect(kMargin, 76, 1150, 20 * 21 + 48));
}

QString CInventory::FieldsHelp()
{
    const QString line = QStringLiteral("\n") + QString(132, QLatin1Char('-')) + QStringLiteral("\n");
    return QStringLiteral("\nNote: Fields marked with * are Service Properties\n") + line +
        QStringLiteral("* Category: Name") + QStringLiteral("* Size\n") + QStringLiteral("* Vendor\n") +
        QStringLiteral("* SKU\n") +
        QStringLiteral("* Minimum Level \t Minimum quantity you would like to have in-stock\n") +
        QStringLiteral("* Ream Quantity \t Order quantity will be rounded-up to this\n") +
        QStringLiteral("* InStock \t Current quantity In-Stock\n") +
        QStringLiteral("* OnOrder \t Current quantity On-Order\n") + line +
        QStringLiteral("   Item  \t\t Number of Job Services not marked as done\n") +
        QStringLiteral("   Need  \t\t Sum of Actual quantities of Job Services not marked as done\n") +
        QStringLiteral("   Order/Received \tQuantity you want to Order or Receive\n") + line +
        QStringLiteral("* UnitCost \tThe first Material Cost field of the Run Table\n") +
        QStringLiteral("* Per   \t\t Unit\n") + QStringLiteral("   Cost  \t\t UnitCost x (Order/Receive Quantity)\n") +
        line;
}

bool CInventory::OnInitDialog()
{
    CZqApp *app = ZqApp();
    const QString menuText = InventoryMenuText(m_nMode);
    m_strWindowTitle = QStringLiteral("Inventory - ") + menuText;
    const QString departmentName = app && m_nDepartment > 0 ? app->GetDepartmentName(m_nDepartment) : QString();
    m_strRibbonTitle = m_nDepartment > 0 ? departmentName : QStringLiteral("All Departments");
    switch (m_nMode) {
    case InventorySetup: m_nColorScheme = 30; break;
    case InventoryReceive: m_nColorScheme = 360; break;
    case InventoryCheck: m_nColorScheme = 210; break;
    default: m_nColorScheme = 120; break;
    }
    if (m_bPreview)
        m_nColorScheme = 1;
    m_strHelpText = FieldsHelp();

    const int options = GetOptionValue(kOptionsId, kOptionsDefault);
    m_nOptionBits = options;
    m_query = BuildInventoryQuery(m_nMode, m_nId, m_nDepartment, departmentName, options);
    // The one job or service named in the title.
    try {
        platform::Recordset set(SharedDatabase());
        if (m_nMode == InventoryOfJob) {
            set.open(platform::Recordset::Type::Snapshot,
                     QStringLiteral("SELECT JobNo, Title FROM Jobs WHERE JobID = %1").arg(m_nId));
            if (!set.isEOF())
                m_strRibbonTitle = QStringLiteral("Job No. ") + set.value(0).toString() + QStringLiteral(" - ") +
                    set.value(1).toString();
        } else if (m_nMode == InventoryOfService) {
            set.open(platform::Recordset::Type::Snapshot,
                     QStringLiteral("SELECT Size FROM Services WHERE SerNo = %1").arg(m_nId));
            if (!set.isEOF() && app)
                m_strRibbonTitle = app->GetServiceFullName(m_nId) + QLatin1Char(' ') + set.value(0).toString();
        }
        if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)
            CopyTextToClipboard(this, m_query.listSql());
        m_rows = LoadStockRows(m_nMode, m_query);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot requery Inventory"));
        m_rows.clear();
    }
    if (m_rows.isEmpty()) {
        platform::Prompt::messageBox(m_strWindowTitle + QStringLiteral("\nNot found."));
        EndDialog(IDCANCEL_RESULT);
        return false;
    }
    m_strStripText = QStringLiteral("Listed ") + m_query.title;
    if (m_nMode != InventorySetup)
        m_strStripText += QStringLiteral(". Need Column = Quantity of ") + m_query.needText + QLatin1Char('.');
    else if (!UnitCostSaved())
        m_strStripText += QStringLiteral(". Unit Cost and InStock Cost are not saved here (inventory option \"Save "
                                         "Unit Cost, if edited\" is off): they cannot be edited.");

    BuildColumns();
    // The rows' texts are in the grid before it is placed, so that its
    // columns take them whole.
    for (int r = 0; r < m_rows.size(); ++r)
        ShowRow(r);
    m_wndGrid.WidenToTexts();
    const bool created = CDlgGrid::OnInitDialog();
    m_wndRibbon.AddItem(30390, QStringLiteral("Service Properties"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2,
                        120, 0, 0, QString(), 1);
    m_wndRibbon.AddItem(30537, QStringLiteral("Need Breakdown"), m_nMode == InventorySetup ? struct_RIB_ITEM::Disabled
                                                                                           : struct_RIB_ITEM::Normal,
                        0, 255, 2, 2085, 0, 2, 120, 0, 0, QString(), 2);
    m_wndRibbon.AddItem(30262, QStringLiteral("Listed: %1").arg(m_rows.size()), struct_RIB_ITEM::Normal, 0, 255, 2,
                        2085, 0, 2, 90, 0, 0, QString(), 3);
    m_wndRibbon.AddItem(30525, QString(), struct_RIB_ITEM::Plain, 0, 255, 2, 2085, 0, 0, 110, 0, 0, QString(), 4);
    m_wndRibbon.RecalcLayout(30281);

    QString okText;
    switch (m_nMode) {
    case InventorySetup: okText = QStringLiteral("Save Changes"); break;
    case InventoryReceive:
        okText = QStringLiteral("OK --> Update InStock and OnOrder fields of Services and Priority field of Job Services");
        break;
    case InventoryCheck: okText = QStringLiteral("OK --> Update Priority field of Job Services"); break;
    default: okText = QStringLiteral("OK --> Update OnOrder field of Services and Priority field of Job Services"); break;
    }
    SetItemText(1, okText);
    if (QWidget *ok = GetDlgItem(this, 1)) {
        ok->resize(std::max(ok->width(), 560), ok->height());
        ok->move(width() / 2 - ok->width() / 2 - 60, ok->y());
        MoveItemBy(2, 0, 0);
        if (QWidget *cancel = GetDlgItem(this, 2))
            cancel->move(ok->geometry().right() + 12, ok->y());
    }
    if (m_bPreview) {
        EnableItem(1, false);
        ShowItem(1, false);
    }

    connect(&m_wndGrid, &CXWnd::ownerMessage, this, [this](int message, qintptr wParam, qintptr lParam) {
        int row = 0;
        int column = 0;
        switch (message) {
        case 30247:
            m_wndGrid.IndexToCell(int(lParam), row, column);
            OnCellChanged(row, column);
            break;
        case 30250: OnHeaderClick(int(wParam)); break;
        case 30251:
            m_wndGrid.IndexToCell(int(lParam), row, column);
            OnImageClick(row, column);
            break;
        default: break;
        }
    });
    connect(&m_wndGrid, &CXGridCtrl::notified, this, [this](int code, int row, int column, const QPoint &) {
        if (code != -3 || row < 0 || row >= m_rows.size())
            return;
        if (column == ColItems || column == ColNeed)
            ShowNeedBreakdown(row);
        else if (ZqApp())
            ZqApp()->OpenService(m_rows[row].serNo, 0, column >= ColVendor && column <= ColOnOrder);
    });
    UpdateTotal();
    m_wndGrid.EditCell(0, m_nMode == InventorySetup ? ColInStock : ColOrder);
    return created;
}

void CInventory::BuildColumns()
{
    CXGridCtrl &g = m_wndGrid;
    const bool setup = m_nMode == InventorySetup;
    const bool check = m_nMode == InventoryCheck;
    const QString number = QStringLiteral("%8d");
    g.AddColumn(setup ? QStringLiteral("Service\nClick here to set track options...") : QStringLiteral("Service"), 230,
                1, QString(), 0);
    g.AddColumn(QStringLiteral("Size"), 70, 1, QString(), 0);
    g.AddColumn(QString(), 6, 1, QString(), 0);
    g.AddColumn(QStringLiteral("Vendor"), 90, 1, QString(), 0);
    g.AddColumn(QStringLiteral("SKU"), 70, 1, QString(), check ? 0 : 1);
    g.AddColumn(QString(), 6, 1, QString(), 0);
    g.AddColumn(QStringLiteral("Minimum\nLevel"), 66, 7, number, check ? 0 : 1);
    g.AddColumn(QStringLiteral("Ream\nQuantity"), 66, 7, number, check ? 0 : 1);
    g.AddColumn(QStringLiteral("In\nStock"), 66, 7, number, 1);
    g.AddColumn(QStringLiteral("On\nOrder"), 66, 7, number, check ? 0 : 1);
    g.AddColumn(QString(), 6, 1, QString(), 0);
    g.AddColumn(QStringLiteral("Item"), setup ? 0 : 40, 7, QStringLiteral("%4d"), 0);
    g.AddColumn(QStringLiteral("Need"), setup ? 0 : 66, 7, number, 0);
    const QString orderTitle = m_nMode == InventoryReceive ? QStringLiteral("Received")
        : check                                            ? QStringLiteral("To be\nOrdered")
                                                           : QStringLiteral("Order");
    g.AddColumn(orderTitle, setup ? 0 : 66, 7, number, setup || check ? 0 : 1);
    g.AddColumn(QString(), setup ? 0 : 26, 1, QString(), 0);
    g.AddColumn(QStringLiteral("Unit\nCost"), check ? 0 : 66, 7, QStringLiteral("2"), check ? 0 : 1);
    g.AddColumn(QStringLiteral("/"), check ? 0 : 26, 1, QString(), 0);
    g.AddColumn(setup ? QStringLiteral("InStock\nCost") : QStringLiteral("Extended\nCost"), check ? 0 : 80, 7,
                QStringLiteral("$"), check ? 0 : 1);
    for (const char *hidden : {"Unit", "Track", "Vendor", "Service\nNo"})
        g.AddColumn(QString::fromUtf8(hidden), 0, 7, QStringLiteral("%3d"), 0);
    // A level, a ream, what is in stock, what is on order and an order or a
    // receipt are counts of sheets, read as every count is (0 to the largest
    // count, also past the eight figures they are shown in): a negative one,
    // or one past the largest, is refused naming the column, never booked
    // (stock taken out stops at 0, never below).
    for (int column : {int(ColMinimum), int(ColReam), int(ColInStock), int(ColOnOrder), int(ColOrder)}) {
        g.SetColumnNotNegative(column);
        g.SetColumnRange(column, 0, kLargestCount);
    }
    g.SetColumnMoney(ColUnitCost);
    // A SKU typed here is kept in the service's SKU column: typing stops at its size.
    try {
        const platform::TableDef services = SharedDatabase().tableDef(QStringLiteral("Services"));
        if (const platform::FieldDef *sku = services.field(QStringLiteral("SKU")))
            g.SetColumnTextSize(ColSku, sku->size);
    } catch (const platform::DbException &) {
    }
    g.SetRows(int(m_rows.size()), std::min(20, int(m_rows.size())));
    g.SetHeaderHeight(48);
    // Setup writes the unit cost into the service only with the option that
    // saves it (and the in-stock cost is worked from it): without it, what
    // was typed would be shown and lost. Their cells take no typing; a click
    // there opens no editor (the column stays, so that it is not skipped to
    // the next one that takes typing).
    if (setup && !UnitCostSaved())
        for (int r = 0; r < int(m_rows.size()); ++r)
            for (int column : {int(ColUnitCost), int(ColExtended)})
                g.SetCellEditable(r, column, 0);
}

void CInventory::ShowRow(int r)
{
    const StockRow &row = m_rows[r];
    CXGridCtrl &g = m_wndGrid;
    g.SetCellText(r, ColService, row.name);
    g.SetCellImage(r, ColService, row.track ? 146 : 251);
    g.SetCellText(r, ColSize, row.size);
    g.SetCellText(r, ColVendor, row.vendorName);
    g.SetCellText(r, ColSku, row.sku);
    g.SetCellValue(r, ColMinimum, row.minLevel);
    g.SetCellValue(r, ColReam, row.ream);
    g.SetCellValue(r, ColInStock, row.inStock);
    g.SetCellValue(r, ColOnOrder, row.onOrder);
    g.SetCellValue(r, ColItems, row.items);
    g.SetCellValue(r, ColNeed, row.need);
    g.SetCellValue(r, ColOrder, row.order);
    if (m_nMode == InventorySetup || m_nMode == InventoryCheck)
        g.SetCellImage(r, ColStatus, statusIcon(StockStatus(row.inStock, row.need, row.onOrder, row.order)));
    else
        g.SetCellImage(r, ColStatus, row.order != 0 ? kChecked : kUnchecked);
    g.SetCellValue(r, ColUnitCost, row.unitCost);
    g.SetCellText(r, ColPer, unitLetter(row.unit));
    g.SetCellValue(r, ColExtended, row.extended);
    g.SetCellValue(r, ColUnit, row.unit);
    g.SetCellValue(r, ColTrack, row.track);
    g.SetCellValue(r, ColVendorNo, row.vendorNo);
    g.SetCellValue(r, ColSerNo, row.serNo);
    g.RefreshRow(r);
}

void CInventory::ReadRow(int r)
{
    StockRow &row = m_rows[r];
    const CXGridCtrl &g = m_wndGrid;
    row.sku = g.GetCellText(r, ColSku).trimmed();
    row.minLevel = g.GetCellValue(r, ColMinimum);
    row.ream = g.GetCellValue(r, ColReam);
    row.inStock = g.GetCellValue(r, ColInStock);
    row.onOrder = g.GetCellValue(r, ColOnOrder);
    row.order = g.GetCellValue(r, ColOrder);
    row.unitCost = g.GetCellValue(r, ColUnitCost);
    row.extended = g.GetCellValue(r, ColExtended);
}

void CInventory::UpdateTotal()
{
    // Each cost is held within kMostExtendedCost, so that the sum of some
    // thousands of them never passes 64 bits; the ribbon shows it whole.
    m_nTotal = 0;
    for (const StockRow &row : m_rows)
        m_nTotal = std::clamp(m_nTotal + row.extended, -kMostExtendedCost, kMostExtendedCost);
    m_wndRibbon.SetItemText(30525, FormatMoneyGrouped(Money::fromCents(m_nTotal)));
}

void CInventory::OnCellChanged(int r, int column)
{
    if (r < 0 || r >= m_rows.size())
        return;
    ReadRow(r);
    StockRow &row = m_rows[r];
    if ((column >= ColMinimum && column <= ColOnOrder) || column == ColOrder || column == ColUnitCost) {
        row.extended = ExtendedCost(row.unitCost, CostQuantity(m_nMode, row), row.unit);
    } else if (column == ColExtended) {
        if (CostQuantity(m_nMode, row) <= 0 && row.extended != ExtendedCost(row.unitCost, 0, row.unit)) {
            // A cost of nothing has no unit cost to keep it in: it would be
            // shown and lost at the save. It is refused, and what it showed
            // before is back.
            const bool setup = m_nMode == InventorySetup;
            row.extended = ExtendedCost(row.unitCost, 0, row.unit);
            ShowRow(r);
            platform::Prompt::messageBox(
                FieldMessage(setup ? QStringLiteral("InStock Cost") : QStringLiteral("Extended Cost"),
                             setup ? QStringLiteral("Nothing is in stock: enter the InStock quantity first, or the "
                                                    "Unit Cost.")
                                   : QStringLiteral("Nothing is ordered: enter the quantity first, or the Unit Cost.")),
                QString(), platform::MB_ICONEXCLAMATION);
            return;
        }
        row.unitCost = UnitCostOf(row.extended, CostQuantity(m_nMode, row), row.unit, row.unitCost);
    } else {
        return;
    }
    m_wndGrid.m_modified = 1;
    ShowRow(r);
    UpdateTotal();
}

void CInventory::SetOrder(int r, qint64 quantity)
{
    StockRow &row = m_rows[r];
    row.order = quantity;
    row.extended = ExtendedCost(row.unitCost, CostQuantity(m_nMode, row), row.unit);
    ShowRow(r);
}

void CInventory::OnHeaderClick(int column)
{
    m_wndGrid.EndEdit();
    if (column == ColService && m_nMode == InventorySetup) {
        const int choice = AskChoice(QStringLiteral("Track Option for All Services listed"), QStringLiteral("Select One:"),
                                     QStringLiteral("Track None,Track All,"),
                                     QStringLiteral("IMPORTANT: Your selection will apply to all Services listed."));
        if (choice == 0)
            return;
        for (int r = 0; r < m_rows.size(); ++r) {
            m_rows[r].track = choice == 2 ? 1 : 0;
            ShowRow(r);
        }
        m_wndGrid.m_modified = 1;
    } else if (column == ColStatus && m_nMode != InventorySetup) {
        m_bAllOff = !m_bAllOff;
        for (int r = 0; r < m_rows.size(); ++r)
            SetOrder(r, m_bAllOff ? 0 : RuleQuantity(m_nMode, m_rows[r]));
        UpdateTotal();
        m_wndGrid.m_modified = 1;
    }
}

void CInventory::OnImageClick(int r, int column)
{
    if (r < 0 || r >= m_rows.size())
        return;
    m_wndGrid.EndEdit();
    if (column == ColService && m_nMode == InventorySetup) {
        m_rows[r].track = m_rows[r].track ? 0 : 1;
        ShowRow(r);
        m_wndGrid.m_modified = 1;
    } else if (column == ColStatus) {
        const std::uint8_t image = m_wndGrid.cellImage(r, ColStatus);
        if (image != kChecked && image != kUnchecked)
            return;
        SetOrder(r, m_rows[r].order != 0 ? 0 : RuleQuantity(m_nMode, m_rows[r]));
        UpdateTotal();
        m_wndGrid.m_modified = 1;
    }
}

void CInventory::ShowNeedBreakdown(int r)
{
    if (r < 0 || r >= m_rows.size() || m_nMode == InventorySetup)
        return;
    const QString sql =
        QStringLiteral(
            "SELECT Jobs.JobNo & '-' & Items.ItemNo AS [Job-Item No_w_50], Customers.Name as [Customer], (SELECT "
            "CStr(Items0.Description) FROM Items as Items0 WHERE ((Items0.JobID = Items.JobID) AND (Items0.SerNo=0) "
            "AND (Items0.ItemNo = Items.ItemNo) AND (Items0.SubNo = Items.SubNo))) AS [Item Description], "
            "IIf(InStr([Items].[Note],'·')>0, Mid(Items.Note,1,InStr([Items].[Note],'·')-1), "
            "IIf(InStr([Items].[Note],'•')>0, Mid(Items.Note,1,InStr([Items].[Note],'•')-1),Items.Note)) "
            "AS [Paper Color], Items.ActualQty, IIf(Items.Status > 0, 'To-Do', 'Done') AS [Status_w_40], "
            "IIf(Items.Tag2 = 12, 'In-Stock', IIf(Items.Tag2 = 11, 'On-Order', IIf(Items.Tag2 = 10, 'To-Order', "
            "CStr(Items.Tag2)))) AS [Priority_w_50], Vendors.Name AS [Vendor_w_60] "
            "FROM (((ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = Services.CatNo) INNER JOIN "
            "(Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON Services.SerNo = Items.SerNo) INNER JOIN Vendors "
            "ON Items.Vendor = Vendors.[No]) INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo ") +
        m_query.jobFilter + QStringLiteral(" AND Items.SerNo = %1").arg(m_rows[r].serNo) +
        QStringLiteral(" ORDER BY Jobs.JobNo, Items.ItemNo, ServiceCategories.SortNo, Services.SortNo");
    CDlgList list(QStringLiteral("Need Breakdown"), m_rows[r].name, sql, 0, 0, 0, m_nColorScheme, this);
    list.DoModal();
}

void CInventory::ShowHelp()
{
    CNoteDlg note(QStringLiteral("About"), QStringLiteral("INVENTORY FIELDS"), m_strHelpText, 1, this);
    note.DoModal();
}

bool CInventory::OnCommand(int id)
{
    switch (id) {
    case 30390: {
        const int r = m_wndGrid.GetCurRow();
        if (r >= 0 && r < m_rows.size() && ZqApp())
            ZqApp()->OpenService(m_rows[r].serNo, 0, true);
        return true;
    }
    case 30537:
        ShowNeedBreakdown(m_wndGrid.GetCurRow());
        return true;
    case 30262:
        platform::Prompt::messageBox(QStringLiteral("LIST FILTER:\n\n") + m_query.jobFilter);
        return true;
    default:
        return CDlgGrid::OnCommand(id);
    }
}

void CInventory::OnOK()
{
    if (m_bPreview)
        return;
    m_wndGrid.EndEdit();
    int count = 0;
    for (const StockRow &row : m_rows)
        if (row.order != 0)
            ++count;
    if (count > 0) {
        const QString question = InventoryMenuText(m_nMode) + QLatin1Char(' ') +
            FormatCountWithUnit(count, QStringLiteral("Service"), QStringLiteral("Services")) + QLatin1Char('?');
        if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) !=
            platform::IDYES)
            return;
    }
    StockBooking booking;
    booking.mode = m_nMode;
    booking.query = m_query;
    booking.optionBits = GetOptionValue(kOptionsId, kOptionsDefault);
    booking.today = DateTime::fromDate(platform::Clock::today());
    try {
        QString refusal;
        if (!BookStock(booking, m_rows, &refusal)) {
            // The user chose to save nothing now, or a figure cannot be kept:
            // the window keeps what was typed.
            if (!refusal.isEmpty())
                platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return;
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Inventory"));
        return; // nothing was written; the window keeps what was typed
    }
    EndDialog(IDOK_RESULT);
}
