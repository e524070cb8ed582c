#include "estimating/CItemNew.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/SqlText.h"
#include "controls/CSearchList.h"
#include "controls/DlgItem.h"
#include "data/CXDaoSet.h"
#include "platform/Prompt.h"

#include <QtCore/QTimer>
#include <QtGui/QResizeEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

#include <algorithm>

namespace {

constexpr unsigned kRibbon = 1721;
constexpr unsigned kTree = 2201;
constexpr unsigned kList = 1401;
constexpr int kListNow = 30401;
constexpr int kOptions = 30540;
constexpr int kSearchList = 30218;
constexpr int kAddFilter = 30534;
constexpr int kNoImage = CXListCtrl::kNoImage;

CItemNew::FindHook &findHook()
{
    static CItemNew::FindHook hook;
    return hook;
}

// The joins every copy listing reads: the item rows with their job, the
// job's buyer and the item's product type (kept in the item row's Side1).
const QString kItemsFrom = QStringLiteral(
    " FROM Contacts RIGHT JOIN (ProductTypes RIGHT JOIN (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON "
    "ProductTypes.[No] = Items.Side1) ON Contacts.ContactNo = Jobs.BuyerNo");

struct Listing
{
    QString select;
    QString from;
    QString condition;
    QString order;
    int checkColumn;
};

Listing listingFor(int listBy)
{
    switch (listBy) {
    case CItemNew::ByProduct:
        return {QStringLiteral("SELECT DISTINCTROW ProductTypes.Name AS [Product_w_90], '' as [Item_w_180], '' AS "
                               "[Qty_L_w_50], '' AS [Price_C_w_60], '' as [Job-Item_L_w_60], '' as [DateIn_D_w_70], '' "
                               "as [View_w_60], ProductTypes.[No]"),
                kItemsFrom, QStringLiteral("Items.SerNo = 0 and  Left(ProductTypes.Name, 1) <> '~'"),
                QStringLiteral(" ORDER BY ProductTypes.Sort, ProductTypes.Name"), 1};
    case CItemNew::ByJobNumber:
        return {QStringLiteral("SELECT DISTINCTROW Jobs.JobNo, '' AS [_w_17], Jobs.Title as [Title / Item_w_180], '' "
                               "AS [Qty_L_w_50], Contacts.First, Contacts.Last, Jobs.DateIn, 'Job' as [View_w_60], "
                               "Jobs.JobID"),
                kItemsFrom, QStringLiteral("Items.SerNo = 0"), QStringLiteral(" ORDER BY Jobs.JobNo DESC"), 2};
    case CItemNew::ByDescription:
        return {QStringLiteral("SELECT Items.Description as [Item Description_w_160], ProductTypes.Name AS Product, "
                               "Items.ChargeQty AS Quantity, Items.Price, Jobs.JobNo & '-' & Items.ItemNo & '.' & "
                               "Items.SubNo as [Job-Item_L_w_60], Jobs.DateIn, 'Item' as [View_w_60], Items.ItemID"),
                kItemsFrom, QStringLiteral("Items.SerNo = 0"),
                QStringLiteral(" ORDER BY Format(Items.Description), Jobs.JobNo DESC, Items.ItemNo, Items.SubNo"), 0};
    default:
        return {QStringLiteral("SELECT Name AS [Product Name_w_120], Qty AS [Item Quantity], Type as [Document Type "
                               "(in sets of)_w_120], ProductTypes.[No]"),
                QStringLiteral(" FROM ProductTypes"), QStringLiteral("Left(Name, 1) <> '~'"),
                QStringLiteral(" ORDER BY Sort, Name"), -1};
    }
}

} // namespace

void CItemNew::SetFindHook(FindHook hook)
{
    findHook() = std::move(hook);
}

int CItemNew::JobTypeOfSource(int source)
{
    if (source >= CustomerOrders && source <= CustomerHistory)
        return source - CustomerOrders;
    if (source >= AllTemplates && source <= WebTemplates)
        return 2;
    return -1;
}

QString CItemNew::ListingStatement(int listBy, QString &filter)
{
    const Listing listing = listingFor(listBy);
    AppendWhere(filter, listing.condition);
    return listing.select + listing.from + filter + listing.order;
}

CItemNew::CItemNew(qint32 cusNo, QWidget *parent) : CDlg0(690, parent), m_nCusNo(cusNo)
{
    m_strWindowTitle = QStringLiteral("New");
    if (CZqApp *app = ZqApp()) {
        m_nSource = app->GetSettingIntInRange(QStringLiteral("NewItem-From"), 21, 31, 21);
        m_nListBy = app->GetSettingIntInRange(QStringLiteral("NewItem-ListBy"), ByProduct, ByDescription, ByProduct);
    } else {
        m_nSource = NewItem;
    }
    resize(920, 620);
    setSizeGripEnabled(true);
    AddPlaceholder(kRibbon, QRect(0, 0, 920, 44));
    m_tree.setParent(this);
    SetDlgCtrlID(&m_tree, kTree);
    m_list.setParent(this);
    SetDlgCtrlID(&m_list, kList);
    m_options = AddButton(kOptions, QStringLiteral("&Options..."), QRect());
    m_search = AddButton(kSearchList, QStringLiteral("&Search List"), QRect());
    m_ok = AddButton(1, QStringLiteral("OK"), QRect());
    m_cancel = AddButton(2, QStringLiteral("Cancel"), QRect());
    m_bEnterAsTab = 0;

    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (current && !m_bFilling)
            QMetaObject::invokeMethod(this, [this] { SendCommand(kListNow); }, Qt::QueuedConnection);
    });
    connect(&m_tree, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!m_bFilling)
            QMetaObject::invokeMethod(this, [this] { SendCommand(kListNow); }, Qt::QueuedConnection);
    });
    m_tree.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_tree, &QWidget::customContextMenuRequested, this, &CItemNew::OnTreeMenu);
    connect(&m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            OnListClick(index.row(), index.column());
    });
    connect(&m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            OnListDoubleClick(index.row(), index.column());
    });
    // A column click first closes every open group, then sorts.
    disconnect(m_list.header(), &QHeaderView::sectionClicked, &m_list, &CXListCtrl::OnColumnClick);
    connect(m_list.header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_nListedBy == ByProduct || m_nListedBy == ByJobNumber) {
            m_list.setUpdatesEnabled(false);
            for (int row = m_list.GetItemCount() - 1; row >= 0; --row)
                if (m_list.GetSubItemImage(row, 0) == GroupOpen)
                    CollapseRow(row);
            m_list.setUpdatesEnabled(true);
        }
        m_list.OnColumnClick(column);
    });
    connect(m_list.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { OnSelectionChanged(); });
}

void CItemNew::resizeEvent(QResizeEvent *event)
{
    CDlg0::resizeEvent(event);
    const int w = width();
    const int h = height();
    if (QWidget *bar = GetDlgItem(this, kRibbon))
        bar->setGeometry(0, 0, w, bar->height() > 0 ? bar->height() : 44);
    m_tree.setGeometry(8, 52, 240, h - 52 - 52);
    m_list.setGeometry(256, 52, w - 264, h - 52 - 52);
    m_options->setGeometry(8, h - 42, 110, 32);
    m_search->setGeometry(126, h - 42, 110, 32);
    m_ok->setGeometry(w - 238, h - 42, 110, 32);
    m_cancel->setGeometry(w - 118, h - 42, 110, 32);
    if (m_list.GetItemCount() > 0)
        m_list.AutoSizeColumns();
}

bool CItemNew::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_ribbon.Create(this, kRibbon, m_nColorScheme, 1, 131, 1, 0, 0, 0, 0, 0)) {
        m_ribbon.AddItem(30281, QString(), struct_RIB_ITEM::Plain, 0, 255, 7, 2084, 0, 0, 200);
        m_ribbon.AddItem(30282, QString(), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 300);
        m_ribbon.AddItem(ByProduct, QStringLiteral("Items by Product"), struct_RIB_ITEM::Normal, 131, 255, 2, 2085, 0,
                         0, 120);
        m_ribbon.AddItem(ByJobNumber, QStringLiteral("Items by Job Number"), struct_RIB_ITEM::Normal, 131, 255, 2,
                         2085, 0, 0, 140);
        m_ribbon.AddItem(ByDescription, QStringLiteral("Items by Description"), struct_RIB_ITEM::Normal, 131, 255, 2,
                         2085, 0, 0, 140);
        m_ribbon.RecalcLayout(30282);
        connect(&m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    m_tree.SetImageListAndFont(132, 2);
    m_tree.setHeaderHidden(true);
    m_list.SetImageListAndStyle(131, 48, 0x14573);
    BuildTree();
    ShowListByButtons();
    QResizeEvent fit(size(), size());
    resizeEvent(&fit);
    return true;
}

void CItemNew::BuildTree()
{
    // While the entries go in no selection lists; the last one does.
    m_bFilling = true;
    m_tree.ClearAll();
    if (m_nSource == 22)
        m_nSource = NewItem;
    if (m_ribbon.isCreated())
        m_ribbon.SetItemText(30281, QStringLiteral("New Item(s)"));
    HTREEITEM scratch = m_tree.AddItem(nullptr, QStringLiteral("Create from scratch:"), 0, 20);
    m_tree.AddItem(scratch, QStringLiteral("New Item"), NewItem, 0);
    m_tree.AddItem(scratch, QStringLiteral("Booklet Items"), BookletItems, 24);
    HTREEITEM customer = m_tree.AddItem(nullptr, QStringLiteral("Copy from Customer's:"), 0, 23);
    m_tree.AddItem(customer, QStringLiteral("Orders"), CustomerOrders, 11);
    m_tree.AddItem(customer, QStringLiteral("Quotes"), CustomerQuotes, 12);
    m_tree.AddItem(customer, QStringLiteral("Templates"), CustomerTemplates, 13);
    m_tree.AddItem(customer, QStringLiteral("History"), CustomerHistory, 14);
    m_tree.AddItem(customer, QStringLiteral("Find..."), FindItems, 1);
    HTREEITEM templates = m_tree.AddItem(nullptr, QStringLiteral("Copy from Templates:"), 0, 23);
    m_tree.AddItem(templates, QStringLiteral("All"), AllTemplates, 60);
    m_tree.AddItem(templates, QStringLiteral("Offset"), OffsetTemplates, 78);
    m_tree.AddItem(templates, QStringLiteral("Digital"), DigitalTemplates, 79);
    m_tree.AddItem(templates, QStringLiteral("Web (Pell) Template"), WebTemplates, 49);
    m_tree.ExpandAll(true);
    if (HTREEITEM chosen = m_tree.FindItemByData(quint32(m_nSource)))
        m_tree.SelectAndShow(chosen);
    m_bFilling = false;
    ListNow();
}

void CItemNew::SetHint(const QString &hint)
{
    m_strHint = hint;
    if (m_ribbon.isCreated())
        m_ribbon.SetItemText(30282, hint);
}

void CItemNew::ShowListByButtons()
{
    if (!m_ribbon.isCreated())
        return;
    const bool scratch = m_nSource >= NewItem && m_nSource <= BookletItems;
    for (int id = ByProduct; id <= ByDescription; ++id)
        m_ribbon.SetItemState(unsigned(id), scratch ? struct_RIB_ITEM::Hidden : struct_RIB_ITEM::Normal);
    if (!scratch)
        m_ribbon.CheckRadioItem(ByProduct, ByDescription, unsigned(m_nListBy), struct_RIB_ITEM::Selected, true);
    m_ribbon.RecalcLayout(30282);
}

void CItemNew::BoldSource()
{
    m_tree.MarkItemByData(quint32(m_nSource), false);
}

void CItemNew::ListNow()
{
    const int source = int(m_tree.GetSelectedData());
    if (source == 0)
        return;
    m_nSource = source;
    int listBy = 0;
    QString filter;
    if (source >= NewItem && source <= BookletItems) {
        SetHint(QStringLiteral("Select a Product Type and click OK"));
    } else {
        // The customer: for the shop's templates also its parent's and the
        // walk-in customer's; for the customer's own lists only its own.
        if (source >= AllTemplates && source <= WebTemplates && m_nCusNo != kWalkInCustomer) {
            qint32 parent = 0;
            CXDaoSet customer;
            customer.Open(CXDaoSet::dbOpenSnapshot,
                          QStringLiteral("Select ParentNo FROM Customers WHERE CusNo = %1").arg(m_nCusNo));
            if (customer.IsOpen() && !customer.IsEmptySet() && !customer.GetFieldValue(0).isNull())
                parent = customer.GetLong(0);
            if (parent == 0 || parent == m_nCusNo)
                AppendWhere(filter, QStringLiteral("(Jobs.CusNo = %1 or Jobs.CusNo = 31)").arg(m_nCusNo));
            else
                AppendWhere(filter, QStringLiteral("(Jobs.CusNo = %1 or Jobs.CusNo = %2 or Jobs.CusNo = 31)")
                                        .arg(m_nCusNo)
                                        .arg(parent));
        } else {
            AppendWhere(filter, QStringLiteral("Jobs.CusNo = %1").arg(m_nCusNo));
        }
        if (source >= CustomerOrders && source <= AllTemplates)
            AppendWhere(filter, QStringLiteral("Jobs.JobType = %1").arg(JobTypeOfSource(source)));
        else if (source >= OffsetTemplates && source <= WebTemplates)
            AppendWhere(filter, QStringLiteral("Jobs.JobType = 2 and Jobs.Status = %1").arg(source - OffsetTemplates));
        else if (source == FindItems && RunFind(source) < 0)
            return;
        SetHint(QStringLiteral("Click [+] icon to list Items"));
        listBy = m_nListBy;
    }
    BoldSource();

    const Listing listing = listingFor(listBy);
    AppendWhere(filter, listing.condition);
    // A find's matches run beside the window, with its progress and Stop.
    const bool found = !m_strUserFilter.isEmpty();
    AppendWhere(filter, m_strUserFilter);
    m_strUserFilter.clear();
    m_strFilter = filter;
    m_nListedBy = listBy;
    m_nCheckColumn = listing.checkColumn;
    m_nViewColumn = -1;
    m_list.SetAutoSizeMode(CXListCtrl::kFitSpread, false);
    m_bFilling = true;
    if (found) {
        m_list.FillFromUserSql(listing.select + listing.from + filter + listing.order, QStringLiteral("z"));
    } else {
        m_list.FillFromSql(listing.select + listing.from + filter + listing.order, QStringLiteral("z"));
        m_list.FetchAll();
    }
    m_bFilling = false;
    if (listBy == ByDescription)
        SetHint(QStringLiteral("Check the Items you want to add and click OK"));
    const int rows = m_list.GetItemCount();
    const int rowImage = listBy == 0 ? ProductRow : listBy == ByDescription ? CheckClear : GroupClosed;
    for (int row = 0; row < rows; ++row)
        m_list.SetSubItemImage(row, 0, rowImage);
    if (rows == 0) {
        SetHint(QStringLiteral("None found"));
    } else {
        m_nViewColumn = m_list.FindColumn(QStringLiteral("View"));
        if (listBy == 0) {
            for (int row = 0; row < rows; ++row)
                m_list.SetItemText(row, 2, GetQuantityUnitName(std::uint8_t(m_list.GetItemInt(row, 2))));
            m_bFilling = true;
            const int chosen = m_list.FindItemByData(m_nProductType, true);
            m_bFilling = false;
            if (chosen >= 0)
                m_list.SetSubItemImage(chosen, 0, ProductRowChosen);
        } else if (m_nViewColumn >= 0 && listBy != ByProduct) {
            // A product row opens nothing: only jobs and items carry the mark.
            for (int row = 0; row < rows; ++row)
                m_list.SetSubItemImage(row, m_nViewColumn, ViewMark);
        } else if (listBy == ByProduct && m_nViewColumn >= 0) {
            for (int row = 0; row < rows; ++row)
                m_list.SetItemText(row, m_nViewColumn, QString());
        }
    }
    m_list.AutoSizeColumns();
    // Room for the job's check box and the "View" mark with its word.
    if (listBy == ByJobNumber)
        m_list.SetColumnWidth(1, 26);
    if (m_nViewColumn >= 0 && listBy != ByProduct)
        m_list.SetColumnWidth(m_nViewColumn, std::max(m_list.GetColumnWidth(m_nViewColumn), 64));
    EnableItem(kSearchList, rows > 0);
    ShowListByButtons();
}

bool CItemNew::isGroupRow(int row)
{
    if (m_nListedBy != ByProduct && m_nListedBy != ByJobNumber)
        return false;
    const int image = m_list.GetSubItemImage(row, 0);
    return image == GroupClosed || image == GroupOpen;
}

void CItemNew::ExpandRow(int row)
{
    if (row < 0 || row >= m_list.GetItemCount() || !isGroupRow(row) || m_list.GetSubItemImage(row, 0) == GroupOpen)
        return;
    const qint64 key = m_list.GetItemData(row);
    QString sql;
    if (m_nListedBy == ByJobNumber)
        sql = QStringLiteral("SELECT Items.ItemNo & '.' & Items.SubNo & ' ' & Items.Description, Items.ChargeQty, "
                             "Items.ItemID FROM Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID WHERE Items.SerNo = "
                             "0 and Jobs.JobID = %1 ORDER BY Items.ItemNo, Items.SubNo")
                  .arg(key);
    else
        sql = QStringLiteral("SELECT Items.Description, Items.ChargeQty, Items.Price, Jobs.JobNo & '-' & Items.ItemNo "
                             "& '.' & Items.SubNo, Jobs.DateIn, Items.ItemID FROM ProductTypes INNER JOIN (Items "
                             "INNER JOIN Jobs ON Items.JobID = Jobs.JobID) ON ProductTypes.[No] = Items.Side1") +
              m_strFilter + QStringLiteral(" and Items.Side1 = %1").arg(key) +
              QStringLiteral(" ORDER BY Jobs.JobNo DESC, Items.ItemNo, Items.SubNo");
    CXDaoSet items;
    items.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (!items.IsOpen() || items.IsEmptySet()) {
        SetHint(QStringLiteral("None found"));
        return;
    }
    m_list.SetSubItemImage(row, 0, GroupOpen);
    if (m_nListedBy == ByJobNumber)
        m_list.SetSubItemImage(row, 1, CheckClear);
    const int fields = items.GetFieldCount();
    int at = row + 1;
    for (; !items.IsEOF(); items.MoveNext(), ++at) {
        const qint32 itemId = items.GetLong(fields - 1);
        m_list.InsertRow(at, QString(), itemId, kNoImage);
        for (int f = 0; f + 1 < fields; ++f) {
            const platform::Value v = items.GetFieldValue(f);
            QString text;
            if (m_nListedBy == ByProduct && f == 2)
                text = v.isNull() ? QString() : FormatMoneyGrouped(v.toMoney());
            else if (m_nListedBy == ByProduct && f == 4)
                text = v.isNull() ? QString() : v.toDateTime().dateText();
            else if (f == 1)
                text = v.isNull() ? QString() : FormatInt(v.toInt(), true, false);
            else
                text = v.toString();
            m_list.SetItemText(at, m_nCheckColumn + f, text);
        }
        m_list.SetSubItemImage(at, m_nCheckColumn, CheckClear);
        if (m_nViewColumn >= 0) {
            m_list.SetItemText(at, m_nViewColumn, QStringLiteral("Item"));
            m_list.SetSubItemImage(at, m_nViewColumn, ViewMark);
        }
    }
    m_list.InsertRow(at, QString(), 0, kNoImage);
    SetHint(QStringLiteral("Select Items (click check boxes) and click OK"));
}

void CItemNew::CollapseRow(int row)
{
    if (row < 0 || row >= m_list.GetItemCount() || m_list.GetSubItemImage(row, 0) != GroupOpen)
        return;
    m_list.SetSubItemImage(row, 0, GroupClosed);
    if (m_nListedBy == ByJobNumber)
        m_list.SetSubItemImage(row, 1, kNoImage);
    while (row + 1 < m_list.GetItemCount() && !isGroupRow(row + 1))
        m_list.DeleteItem(row + 1);
}

void CItemNew::ToggleCheck(int row)
{
    // The row's own check box: a group row's in column 1, an item's in the
    // check column.
    if (row < 0 || row >= m_list.GetItemCount() || m_nCheckColumn < 0)
        return;
    const bool group = isGroupRow(row);
    const int column = group ? 1 : m_nCheckColumn;
    const int image = m_list.GetSubItemImage(row, column);
    if (!isCheckImage(image))
        return;
    const int state = image == CheckClear ? CheckTicked : CheckClear;
    m_list.SetSubItemImage(row, column, state);
    if (!group)
        return;
    // A job's box ticks or clears every item listed under it.
    for (int r = row + 1; r < m_list.GetItemCount() && isCheckImage(m_list.GetSubItemImage(r, m_nCheckColumn)); ++r)
        m_list.SetSubItemImage(r, m_nCheckColumn, state);
}

void CItemNew::OnListClick(int row, int column)
{
    if (row < 0 || row >= m_list.GetItemCount())
        return;
    const int image = m_list.GetSubItemImage(row, column);
    if (m_nListedBy == 0) {
        m_nProductType = int(m_list.GetItemData(row));
        return;
    }
    if (column == 0 && image == GroupClosed) {
        ExpandRow(row);
    } else if (column == 0 && image == GroupOpen) {
        CollapseRow(row);
    } else if (isCheckImage(image)) {
        ToggleCheck(row);
    } else if (image == ViewMark && column == m_nViewColumn) {
        CZqApp *app = ZqApp();
        if (!app)
            return;
        const qint64 key = m_list.GetItemData(row);
        if (isGroupRow(row))
            app->OpenJob(long(key));
        else if (key != 0)
            app->PreviewItem(long(key));
    }
}

void CItemNew::OnListDoubleClick(int row, int column)
{
    if (row < 0 || row >= m_list.GetItemCount())
        return;
    if (m_nSource >= NewItem && m_nSource <= BookletItems) {
        m_nProductType = int(m_list.GetItemData(row));
        QTimer::singleShot(150, this, [this] { SendCommand(1); });
        return;
    }
    if (m_nListedBy == ByJobNumber) {
        if (isGroupRow(row)) {
            if (m_list.GetSubItemImage(row, 0) == GroupOpen)
                CollapseRow(row);
            else
                ExpandRow(row);
        } else if (isCheckImage(m_list.GetSubItemImage(row, column))) {
            ToggleCheck(row);
        }
    } else if (m_nListedBy == ByDescription) {
        if (isCheckImage(m_list.GetSubItemImage(row, 0)))
            ToggleCheck(row);
        QTimer::singleShot(150, this, [this] { SendCommand(1); });
    }
}

void CItemNew::OnSelectionChanged()
{
    if (m_nListedBy != 0 || m_bFilling)
        return;
    const int current = m_list.GetCurrentRow();
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        m_list.SetSubItemImage(row, 0, row == current ? ProductRowChosen : ProductRow);
    if (current >= 0 && current < m_list.GetItemCount())
        m_nProductType = int(m_list.GetItemData(current));
}

int CItemNew::RunFind(int source)
{
    if (source < CustomerOrders || source > FindItems)
        return -1;
    if (!findHook()) {
        platform::Prompt::messageBox(QStringLiteral("Finding items is not yet available in this version of Tavrel."),
                                     QString(), platform::MB_ICONINFORMATION);
        return -1;
    }
    FindRequest request;
    request.fieldChoice[0] = m_findChoice[0];
    request.fieldChoice[1] = m_findChoice[1];
    if (source == FindItems) {
        request.jobType = 3;
        request.jobTypeFixed = false;
    } else {
        request.jobType = JobTypeOfSource(source);
        request.jobTypeFixed = true;
    }
    if (!findHook()(request, this))
        return -1;
    m_findChoice[0] = request.fieldChoice[0];
    m_findChoice[1] = request.fieldChoice[1];
    m_strUserFilter = QStringLiteral("Jobs.JobType = %1").arg(request.jobType);
    AppendWhere(m_strUserFilter, request.where);
    return request.jobType;
}

void CItemNew::OnTreeMenu(const QPoint &point)
{
    QTreeWidgetItem *item = m_tree.itemAt(point);
    const int source = item ? int(CXTreeCtrl::GetItemData(item)) : 0;
    if (source < CustomerOrders || source > WebTemplates)
        return;
    m_tree.setCurrentItem(item);
    QMenu menu(this);
    QAction *filter = menu.addAction(QStringLiteral("&Add Filter..."));
    if (menu.exec(m_tree.viewport()->mapToGlobal(point)) == filter)
        SendCommand(kAddFilter);
}

void CItemNew::OnOptions()
{
    if (platform::Prompt::messageBox(
            QStringLiteral("New Item Option (for this computer)\n\nDo you want to set current selections as default?"),
            QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    CZqApp *app = ZqApp();
    if (!app)
        return;
    app->WriteSettingInt(QStringLiteral("NewItem-From"), m_nSource);
    if (m_nSource >= NewItem && m_nSource <= BookletItems)
        app->WriteSettingInt(QStringLiteral("NewItem-Product"), m_nProductType);
    else
        app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), m_nListBy);
}

void CItemNew::OnSearchList()
{
    if (m_list.GetItemCount() == 0)
        return;
    CSearchList dlg(&m_list, this);
    dlg.DoModal();
}

bool CItemNew::OnCommand(int id)
{
    switch (id) {
    case kListNow:
        ListNow();
        return true;
    case ByProduct:
    case ByJobNumber:
    case ByDescription:
        m_nListBy = id;
        QMetaObject::invokeMethod(this, [this] { SendCommand(kListNow); }, Qt::QueuedConnection);
        return true;
    case kOptions:
        OnOptions();
        return true;
    case kSearchList:
        OnSearchList();
        return true;
    case kAddFilter:
        if (RunFind(int(m_tree.GetSelectedData())) != -1)
            QMetaObject::invokeMethod(this, [this] { SendCommand(kListNow); }, Qt::QueuedConnection);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CItemNew::OnOK()
{
    m_chosenItems.clear();
    if (m_nSource == NewItem || m_nSource == BookletItems) {
        EndDialog(IDOK_RESULT);
        return;
    }
    if (m_nCheckColumn >= 0)
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            if (!isGroupRow(row) && m_list.GetSubItemImage(row, m_nCheckColumn) == CheckTicked) {
                const qint64 key = m_list.GetItemData(row);
                if (key != 0)
                    m_chosenItems.push_back(qint32(key));
            }
    if (m_chosenItems.empty()) {
        platform::Prompt::messageBox(QStringLiteral("Please select one or more Items."));
        return;
    }
    EndDialog(IDOK_RESULT);
}
