#include "jobs/CShipments.h"

#include "app/base/QuantityText.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "data/CShippedSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "jobs/CShipment.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QTimer>

namespace {
constexpr unsigned kList = 1401;
constexpr int kOpenImage = 169;
const QString kNineBlanks = QStringLiteral("         ");
} // namespace

CShipments::CShipments(qint32 jobId, qint32 itemId, QWidget *parent)
    : CDlg0(422, parent), m_nJobID(jobId), m_nItemID(itemId)
{
    m_nColorScheme = kHue;
    m_strWindowTitle = QStringLiteral("Shipments");
    m_strRibbonTitle = QStringLiteral("Shipments");
    m_strStripText = QStringLiteral("Shipment");
    resize(900, 420);
    AddPlaceholder(1901, QRect(0, 0, 900, 40));
    AddPlaceholder(1902, QRect(0, 40, 900, 24));
    m_list = new CXListCtrl(this);
    m_list->setGeometry(4, 68, 892, 304);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetDlgCtrlID(m_list, kList);
    AddPlaceholder(1903, QRect(0, 376, 900, 44));
    AddSizeMarker(QPoint(900, 420));
    m_pList = m_list;
    connect(m_list, &CXListCtrl::clicked, this, [this](const QModelIndex &) {
        OnSelectionChanged();
        if (m_list->GetClickedCellImage() == kOpenImage && m_nShipID != 0)
            OnOpen();
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this] { QTimer::singleShot(150, this, [this] { OnOpen(); }); });
}

bool CShipments::OnInitDialog()
{
    CDlg0::OnInitDialog();
    // The title the dialog base prints and exports the list under.
    m_strRibbonTitle = QStringLiteral("Shipment List of Job-Items ");
    InitListRibbons(42, true, false, false);
    if (m_wndRibbon.isCreated()) {
        m_wndRibbon.RemoveItem(30112);
        m_wndRibbon.SetItemText(30102, QStringLiteral("Open"));
        m_wndRibbon.SetItemText(30281, QStringLiteral("Shipments"));
        m_wndRibbon.SetFontIndex(4);
    }
    SetStripText(QStringLiteral("Shipment"));
    m_list->SetImageListAndStyle(131, 0, 0);
    if (m_list->selectionModel())
        connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] { OnSelectionChanged(); });
    Refill();
    if (m_list->GetItemCount() == 0) {
        // Nothing shipped yet: straight into a new shipment.
        QTimer::singleShot(0, this, [this] { SendCommand(30100); });
    }
    return true;
}

QString CShipments::WherePart() const
{
    return m_nItemID != 0 ? QStringLiteral("WHERE ShippedItems.ItemID = %1 ").arg(m_nItemID) : QString();
}

QString CShipments::ListSql() const
{
    return QStringLiteral(
               "SELECT Jobs.JobNo & '-' & Items.ItemNo as [Job-Item_w_70], ShippedItems.ItemDes as [Description], "
               "Items.ChargeQty as [ItemQty], ShippedItems.QtyShipped as [ShipQty], ShippedItems.QtyPerBox as "
               "[PerBox], ShippedItems.Boxes, ShippedItems.Shipped, ShippedItems.Received, ShipBy.Name as [By_w_80], "
               "ShippedItems.ShipAmt, ShippedItems.Tracking, ShippedItems.ShipNote, ShippedItems.ItemID, "
               "ShippedItems.ShiptoNo as [HIDE2], ShippedItems.ShipID FROM (ShipTo RIGHT JOIN (((Jobs INNER JOIN "
               "Items ON Jobs.JobID = Items.JobID) INNER JOIN ShippedItems ON Items.ItemID = ShippedItems.ItemID) "
               "INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo) ON ShipTo.ShiptoNo = ShippedItems.ShiptoNo) "
               "LEFT JOIN ShipBy ON ShippedItems.ShipBy = ShipBy.[No] ")
           + WherePart() + QStringLiteral("ORDER BY Jobs.JobNo, Items.ItemNo, Items.SubNo ");
}

QString CShipments::TotalsSql() const
{
    return QStringLiteral("SELECT Items.ChargeQty, Sum(ShippedItems.QtyShipped) FROM Items INNER JOIN ShippedItems ON "
                          "Items.ItemID = ShippedItems.ItemID ")
           + WherePart() + QStringLiteral(" GROUP BY Items.ChargeQty, ShippedItems.ItemID");
}

QString CShipments::TotalsText() const
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, TotalsSql());
    if (rs.isEOF())
        return kNineBlanks + QStringLiteral("None found!");
    // Without an item the first item's figures stand for the list.
    const qint32 quantity = rs.value(0).toInt();
    const qint32 shipped = rs.value(1).toInt();
    const auto number = [](qint32 n) { return FormatNumberOrMinutes(n, true, QString()); };
    return QStringLiteral("%1 Item Quantity: %2%3 Shipped: %4%5 To Ship: %6")
        .arg(kNineBlanks, number(quantity), kNineBlanks, number(shipped), kNineBlanks, number(quantity - shipped));
}

void CShipments::Refill()
{
    m_bFilling = true;
    m_list->ClearList(false);
    try {
        m_list->FillFromSql(ListSql());
        m_list->FetchAll();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Shipments"));
    }
    if (m_list->GetColumnCount() > 13) {
        m_list->SetColumnWidth(12, 0);
        m_list->SetColumnWidth(13, 0);
    }
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        m_list->SetSubItemImage(row, 0, kOpenImage);
    if (m_list->GetItemCount() > 0)
        m_list->SelectItem(0);
    m_bFilling = false;
    m_nShipID = m_list->GetItemCount() > 0 ? qint32(m_list->GetItemData(0)) : 0;
    if (m_wndRibbon.isCreated()) {
        m_wndRibbon.EnableItem(30102, m_nShipID != 0);
        m_wndRibbon.EnableItem(30113, m_nShipID != 0);
    }
    if (m_wndRibbonBottom.isCreated()) {
        m_wndRibbonBottom.SetItemText(30262, QStringLiteral("Listed: %1").arg(m_list->GetItemCount()));
        m_wndRibbonBottom.EnableItem(1, true);
    }
    QString totals;
    try {
        totals = TotalsText();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Shipments"));
    }
    SetStripText(totals);
}

void CShipments::OnSelectionChanged()
{
    if (m_bFilling)
        return;
    // The row that became selected: the current one, else the first selected.
    int row = m_list->GetCurrentRow();
    if (row < 0 || row >= m_list->GetItemCount() || !m_list->IsItemSelected(row)) {
        row = -1;
        for (int r = 0; r < m_list->GetItemCount() && row < 0; ++r)
            if (m_list->IsItemSelected(r))
                row = r;
    }
    if (row < 0)
        return;
    m_nShipID = qint32(m_list->GetItemData(row));
    if (m_wndRibbon.isCreated()) {
        m_wndRibbon.EnableItem(30102, m_nShipID != 0);
        m_wndRibbon.EnableItem(30113, m_nShipID != 0);
    }
}

bool CShipments::OnCommand(int id)
{
    switch (id) {
    case 30100:
        m_nShipID = 0;
        OnOpen();
        return true;
    case 30102:
        OnOpen();
        return true;
    case 30113:
        OnDelete();
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CShipments::OnOpen()
{
    CShipment shipment(m_nJobID, m_nItemID, m_nShipID, m_nColorScheme, this);
    if (shipment.DoModal() != IDOK_RESULT || !shipment.m_bSaved)
        return;
    m_bChanged = true;
    const qint32 saved = shipment.m_nShipID;
    const qint32 current = m_nShipID == 0 ? saved : m_nShipID;
    Refill();
    const int row = m_list->FindItemByData(current, true);
    if (row >= 0) {
        m_list->SelectItem(row);
        m_nShipID = current;
    }
}

void CShipments::OnDelete()
{
    if (platform::Prompt::messageBox(QStringLiteral("Delete selected shipments"), QString(), platform::MB_YESNO)
        != platform::IDYES)
        return;
    QList<qint32> keys;
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->IsItemSelected(row) && m_list->GetItemData(row) != 0)
            keys << qint32(m_list->GetItemData(row));
    int deleted = 0;
    try {
        // The selected shipments go together or not at all.
        platform::Transaction transaction(SharedDatabase());
        for (const qint32 key : keys) {
            CShippedSet row;
            row.m_strFilter = QStringLiteral("ShipID = %1").arg(key);
            row.Open();
            if (!row.IsEOF()) {
                row.Delete();
                ++deleted;
            }
        }
        transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot delete shipments"));
        deleted = 0;
    }
    if (deleted > 0)
        m_bChanged = true;
    platform::Prompt::messageBox(QStringLiteral("Deleted: %1").arg(deleted));
    m_nShipID = 0;
    Refill();
}

void CShipments::OnOK()
{
    // Enter with several rows selected is meant for the list, not the dialog.
    if (m_list->GetSelectedCount() >= 2)
        return;
    EndDialog(IDOK_RESULT);
}
