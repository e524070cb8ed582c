#include "jobs/CShipLabel.h"

#include "jobs/ShipBoxes.h"

#include "app/base/CZqApp.h"
#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "controls/CColumnAlias.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/CShiptoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "jobs/JobHooks.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "views/CDlgRibbon.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {
constexpr unsigned kDescription = 1301;
constexpr unsigned kShipped = 1302;
constexpr unsigned kPerBox = 1303;
constexpr unsigned kBoxes = 1304;
constexpr unsigned kBoxText = 1903;
constexpr unsigned kAddressText = 1904;
constexpr unsigned kItemIcon = 1909;
constexpr unsigned kTree = 2201;
constexpr unsigned kList = 1401;
constexpr unsigned kExpand = 30532;
constexpr unsigned kStep2 = 30282;
constexpr unsigned kAddCmd = 30404;
constexpr unsigned kRemoveCmd = 30405;
constexpr unsigned kPrintCmd = 30330;
constexpr unsigned kShipToCmd = 30408;
constexpr int kOrderImage = 11;
constexpr int kItemImage = 213;
constexpr int kItemSelectedImage = 214;

} // namespace

CShipLabel::CShipLabel(qint32 jobId, QWidget *parent) : CDlg0(910, parent), m_nJobID(jobId)
{
    // From a record window (the job window) only that job's items are shown.
    m_bFromRecord = jobId != 0 && qobject_cast<CDlgRibbon *>(parent) != nullptr;
    m_strWindowTitle = QStringLiteral("Shipping");
    m_nColorScheme = 40;
    resize(1000, 640);
    AddPlaceholder(1721, QRect(0, 0, 1000, 36));
    m_tree = new CXTreeCtrl(this);
    m_tree->setGeometry(6, 42, 300, 300);
    SetDlgCtrlID(m_tree, kTree);
    AddPlaceholder(1521, QRect(316, 42, 120, 26), QStringLiteral("Description"));
    AddEdit(kDescription, QRect(442, 42, 400, 26));
    AddPlaceholder(kItemIcon, QRect(860, 40, 48, 48))->hide();
    auto label = [this](const QString &text, int y) { AddLabel(text, QRect(320, y + 3, 120, 20)); };
    label(QStringLiteral("Quantity Shipped"), 78);
    AddEdit(kShipped, QRect(442, 78, 90, 26));
    label(QStringLiteral("Quantity per Box"), 108);
    AddEdit(kPerBox, QRect(442, 108, 90, 26));
    label(QStringLiteral("Number of Boxes"), 138);
    AddEdit(kBoxes, QRect(442, 138, 90, 26));
    for (unsigned id : {kShipped, kPerBox, kBoxes})
        edit(id)->setAlignment(Qt::AlignRight);
    AddLabel(QString(), QRect(548, 78, 440, 90), kBoxText)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddPlaceholder(kShipToCmd, QRect(316, 178, 116, 28), QStringLiteral("Ship To..."));
    AddLabel(QString(), QRect(442, 178, 540, 60), kAddressText)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddPlaceholder(1722, QRect(316, 300, 680, 36));
    m_list = new CXListCtrl(this);
    m_list->setGeometry(6, 350, 988, 230);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    SetDlgCtrlID(m_list, kList);
    AddPlaceholder(1723, QRect(0, 592, 1000, 40));
    for (unsigned id : {kShipped, kPerBox, kBoxes}) {
        connect(edit(id), &QLineEdit::textEdited, this, [this, id] { OnQuantityEdited(id); });
        connect(edit(id), &QLineEdit::editingFinished, this, [this, id] { OnQuantityLeft(id); });
    }
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *) { OnTreeSelection(current); });
}

QLineEdit *CShipLabel::edit(unsigned id) const
{
    return qobject_cast<QLineEdit *>(GetDlgItem(this, id));
}

bool CShipLabel::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_descriptionCaption.CreateFromItem(this, 1521, m_nColorScheme, 14, 2, 2, 2085, QStringLiteral("Description"));
    if (m_wndShipTo.Create(this, kShipToCmd, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 26)) {
        m_wndShipTo.AddItem(kShipToCmd, QStringLiteral("Ship To..."), struct_RIB_ITEM::Disabled, 131, 186, 2, 2084,
                            7, 2, 112);
        m_wndShipTo.RecalcLayout(251);
        connect(&m_wndShipTo, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    if (m_wndSteps.Create(this, 1721, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 30)) {
        m_wndSteps.AddItem(kExpand, QStringLiteral(" STEP 1 - Select an Item"), struct_RIB_ITEM::Normal, 131, 178, 4,
                           2084, 7, 2, 300, 0, 0, QStringLiteral("Expand/Collapse List Manager"));
        m_wndSteps.AddItem(kStep2, QStringLiteral(" STEP 2 - Set Label Properties"), struct_RIB_ITEM::Plain, 131, 171,
                           4, 2084, 0, 0, 300);
        m_wndSteps.RecalcLayout(251);
        connect(&m_wndSteps, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    if (m_wndAdd.Create(this, 1722, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 30)) {
        m_wndAdd.AddItem(kAddCmd, QStringLiteral(" STEP 3 - Add"), struct_RIB_ITEM::Disabled, 131, 187, 4, 2084, 7, 2,
                         360);
        m_wndAdd.AddItem(kRemoveCmd, QStringLiteral("Remove from the list"), struct_RIB_ITEM::Disabled, 131, 200, 2,
                         2084, 7, 2, 200);
        m_wndAdd.RecalcLayout(251);
        connect(&m_wndAdd, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    if (m_wndPrint.Create(this, 1723, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 30)) {
        m_wndPrint.AddItem(2, QStringLiteral("Close"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2, 120);
        m_wndPrint.AddItem(kPrintCmd, QStringLiteral(" STEP 4 - Print Labels"), struct_RIB_ITEM::Disabled, 131, 190,
                           4, 2084, 7, 2, 260);
        m_wndPrint.RecalcLayout(251);
        connect(&m_wndPrint, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    SetItemIcon(kItemIcon, 132, 42);
    for (unsigned id = kDescription; id <= kBoxes; ++id)
        SetItemFont(id, 3);
    m_tree->SetImageListAndFont(131, 2);
    m_tree->SetClickToExpand(true);

    m_list->SetImageListAndStyle(131, 0, 0);
    struct Col
    {
        const char *heading;
        int width;
        bool number;
    };
    const Col columns[] = {{"JobNo", 60, false},      {"Item", 40, false},      {"Description", 200, false},
                           {"QtyShipped", 70, true},  {"Qty/Box ", 70, true},   {"Labels", 50, true},
                           {"Shipto", 50, true},      {"Address", 200, false}};
    for (const Col &c : columns)
        m_list->AddColumn(QString::fromLatin1(c.heading), c.width, c.number ? CColumnAlias::TypeLong : CColumnAlias::TypeText,
                          false, c.number ? 1 : 0);
    if (m_list->selectionModel())
        connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { OnListSelection(); });
    FillTree();
    return true;
}

QString CShipLabel::TreeSql() const
{
    QString sql = QStringLiteral(
        "SELECT Jobs.JobNo, Customers.Name, Items.Description, Items.JobID, Items.ItemID FROM Customers RIGHT JOIN "
        "(Jobs RIGHT JOIN Items ON Items.JobID = Jobs.JobID) ON Customers.CusNo = Jobs.CusNo WHERE Jobs.JobType = 0 "
        "AND Items.SerNo = 0 ");
    if (m_bFromRecord && m_nJobID != 0)
        sql += QStringLiteral("and Jobs.JobID = %1 ").arg(m_nJobID);
    return sql + QStringLiteral("ORDER BY Jobs.JobNo DESC, Items.ItemNo");
}

void CShipLabel::FillTree()
{
    m_bFillingTree = true;
    m_tree->ClearAll();
    try {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, TreeSql());
        HTREEITEM root = nullptr;
        qint32 previousJob = -1;
        for (; !rs.isEOF(); rs.moveNext()) {
            const qint32 jobId = rs.value(3).toInt();
            if (jobId != previousJob || !root) {
                root = m_tree->AddItem(TVI_ROOT, rs.value(0).toString() + QLatin1Char(' ') + rs.value(1).toString(),
                                       quint32(jobId), kOrderImage);
                previousJob = jobId;
            }
            m_tree->AddItem(root, rs.value(2).toString(), quint32(rs.value(4).toInt()), kItemImage, kItemSelectedImage);
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Shipping labels"));
    }
    m_bFillingTree = false;
    if (m_nJobID != 0) {
        HTREEITEM job = nullptr;
        for (int i = 0; i < m_tree->topLevelItemCount() && !job; ++i)
            if (CXTreeCtrl::GetItemData(m_tree->topLevelItem(i)) == quint32(m_nJobID))
                job = m_tree->topLevelItem(i);
        m_nJobID = 0;
        if (job) {
            m_tree->SelectAndShow(job);
            job->setExpanded(true);
            if (m_nItemID != 0) {
                for (int i = 0; i < job->childCount(); ++i) {
                    if (CXTreeCtrl::GetItemData(job->child(i)) == quint32(m_nItemID)) {
                        m_tree->SelectAndShow(job->child(i));
                        break;
                    }
                }
            }
        }
    }
}

void CShipLabel::OnTreeSelection(QTreeWidgetItem *item)
{
    if (m_bFillingTree || !item || item->childCount() > 0 || !item->parent())
        return;
    SelectItem(qint32(CXTreeCtrl::GetItemData(item)));
}

void CShipLabel::SelectItem(qint32 itemId)
{
    if (m_wndShipTo.isCreated())
        m_wndShipTo.EnableItem(kShipToCmd, itemId != 0);
    if (itemId == 0)
        return;
    ShowItem(kItemIcon, true);
    m_nItemID = itemId;
    try {
        CItemSet item;
        item.m_strFilter = QStringLiteral("Items.SerNo = 0 and Items.ItemID = %1").arg(itemId);
        item.Open();
        // An item that is gone leaves the properties as they were.
        if (item.IsEOF())
            return;
        CJobSet job;
        job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(item.m_JobID);
        job.Open();
        if (!job.IsEOF()) {
            m_nLoadedJobNo = job.m_JobNo;
            m_nLoadedStatus = job.m_Status;
            m_nLoadedCusNo = job.m_CusNo;
            m_nShiptoNo = job.m_ShiptoNo;
            CShiptoSet shipto;
            m_strAddress = shipto.GetAddressText(m_nShiptoNo, 1);
        }
        m_nLoadedItemNo = item.m_ItemNo;
        ShowValues();
        for (int row = 0; row < m_list->GetItemCount(); ++row) {
            if (m_list->GetItemData(row) == itemId) {
                // Listed already: the row's values, not the item's.
                m_list->SelectItem(row);
                OnListSelection();
                return;
            }
        }
        m_strDescription = item.m_Description;
        m_boxes = InitialLabelBoxes(item.m_ChargeQty);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Shipping labels"));
        return;
    }
    m_strBoxText = LabelBoxText(m_boxes);
    SetStep3Caption();
    ShowValues();
}

void CShipLabel::SetStep3Caption()
{
    if (!m_wndAdd.isCreated())
        return;
    m_wndAdd.SetItemText(kAddCmd, QStringLiteral(" STEP 3 - Add ") +
                                      FormatCountWithUnit(m_boxes.boxes, QStringLiteral("Label"),
                                                          QStringLiteral("Labels")) +
                                      QStringLiteral(" to the List"));
    m_wndAdd.EnableItem(kAddCmd, m_boxes.boxes != 0);
    m_wndAdd.RecalcLayout(251);
    m_wndAdd.update();
}

void CShipLabel::ShowValues(unsigned typed)
{
    m_bShowing = true;
    if (typed == 0)
        m_typing = 0; // every field shows its value: none is being typed
    if (QLineEdit *e = edit(kDescription); e && e->text() != m_strDescription)
        e->setText(m_strDescription);
    const std::pair<unsigned, qint32> fields[] = {
        {kShipped, m_boxes.quantity}, {kPerBox, m_boxes.perBox}, {kBoxes, m_boxes.boxes}};
    for (const auto &[id, value] : fields) {
        QLineEdit *e = edit(id);
        const QString text = QString::number(value);
        // The field being typed shows what is typed, key by key.
        if (e && id != typed && e->text() != text)
            e->setText(text);
    }
    SetItemText(kBoxText, m_strBoxText);
    SetItemText(kAddressText, m_strAddress);
    m_bShowing = false;
}

void CShipLabel::ReadDescription()
{
    if (QLineEdit *e = edit(kDescription))
        m_strDescription = e->text();
}

void CShipLabel::OnQuantityEdited(unsigned id)
{
    if (m_bShowing)
        return;
    if (m_typing != id) {
        if (m_typing != 0)
            OnQuantityLeft(m_typing);
        m_typing = id;
        m_beforeTyping = m_boxes;
    }
    ReadDescription();
    const ShipBoxField field = id == kBoxes ? ShipBoxField::Boxes
                               : id == kPerBox ? ShipBoxField::PerBox
                                               : ShipBoxField::Quantity;
    // Text that is no count the field takes yet ("2.", "-") leaves the
    // others as they were before this typing.
    QString refusal;
    if (!TypedShipBoxes(m_beforeTyping, field, edit(id)->text(), m_boxes, refusal))
        m_boxes = m_beforeTyping;
    m_strBoxText = LabelBoxText(m_boxes);
    SetStep3Caption();
    ShowValues(id);
}

bool CShipLabel::OnQuantityLeft(unsigned id)
{
    if (m_bShowing || m_typing != id)
        return true;
    const ShipBoxField field = id == kBoxes ? ShipBoxField::Boxes
                               : id == kPerBox ? ShipBoxField::PerBox
                                               : ShipBoxField::Quantity;
    QString refusal;
    const bool kept = TypedShipBoxes(m_beforeTyping, field, edit(id)->text(), m_boxes, refusal);
    if (!kept)
        m_boxes = m_beforeTyping;
    m_strBoxText = LabelBoxText(m_boxes);
    SetStep3Caption();
    ShowValues();
    if (!kept)
        RefuseTyped(edit(id), refusal);
    return kept;
}

void CShipLabel::OnAdd()
{
    // A quantity still being typed is read first, as when it is left.
    if (m_nItemID == 0 || (m_typing != 0 && !OnQuantityLeft(m_typing)))
        return;
    ReadDescription();
    QString description = m_strDescription;
    // The merge file is delimited text: quotes would break its fields.
    description.replace(QLatin1Char('"'), QLatin1Char(' '));
    CZqApp *app = ZqApp();
    const int row = m_list->InsertRow(m_list->GetItemCount(), QString::number(m_nLoadedJobNo), m_nItemID,
                                      app ? CZqApp::GetJobStatusIcon(m_nLoadedStatus) : CXListCtrl::kNoImage);
    m_list->SetItemText(row, ColItem, QString::number(m_nLoadedItemNo));
    m_list->SetItemText(row, ColDescription, description);
    m_list->SetItemText(row, ColShipped, QString::number(m_boxes.quantity));
    m_list->SetItemText(row, ColPerBox, QString::number(m_boxes.perBox));
    m_list->SetItemText(row, ColLabels, QString::number(m_boxes.boxes));
    m_list->SetItemText(row, ColShipto, QString::number(m_nShiptoNo));
    QString address = m_strAddress;
    address.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    address.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_list->SetItemText(row, ColAddress, address);
    if (m_wndPrint.isCreated())
        m_wndPrint.EnableItem(kPrintCmd, true);
}

int CShipLabel::SelectedRow() const
{
    const int current = m_list->GetCurrentRow();
    if (current >= 0 && current < m_list->GetItemCount() && m_list->IsItemSelected(current))
        return current;
    for (int r = 0; r < m_list->GetItemCount(); ++r)
        if (m_list->IsItemSelected(r))
            return r;
    return -1;
}

void CShipLabel::OnListSelection()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_strDescription = m_list->GetItemText(row, ColDescription);
    m_boxes.quantity = m_list->GetItemText(row, ColShipped).toInt();
    m_boxes.perBox = m_list->GetItemText(row, ColPerBox).toInt();
    m_boxes.boxes = m_list->GetItemText(row, ColLabels).toInt();
    m_strBoxText = LabelBoxText(m_boxes);
    SetStep3Caption();
    ShowValues();
    if (m_wndAdd.isCreated())
        m_wndAdd.EnableItem(kRemoveCmd, true);
}

void CShipLabel::OnRemove()
{
    if (const int row = SelectedRow(); row >= 0)
        m_list->DeleteItem(row);
    if (m_wndAdd.isCreated())
        m_wndAdd.EnableItem(kRemoveCmd, false);
    if (m_wndPrint.isCreated())
        m_wndPrint.EnableItem(kPrintCmd, m_list->GetItemCount() > 0);
}

void CShipLabel::OnShipTo()
{
    JobHooks &hooks = GetJobHooks();
    if (!hooks.pickShipto) {
        ReportJobFeatureNotAvailable(QStringLiteral("The ship-to list"));
        return;
    }
    qint32 chosen = m_nShiptoNo;
    if (hooks.pickShipto(m_nLoadedCusNo, chosen, m_nColorScheme, this) != IDOK_RESULT || chosen == m_nShiptoNo)
        return;
    m_nShiptoNo = chosen;
    try {
        CShiptoSet shipto;
        m_strAddress = shipto.GetAddressText(m_nShiptoNo, 1);
    } catch (const platform::DbException &) {
        m_strAddress = QStringLiteral("< not found >");
    }
    SetItemText(kAddressText, m_strAddress);
}

void CShipLabel::OnPrint()
{
    if (m_list->GetItemCount() == 0)
        return;
    JobHooks &hooks = GetJobHooks();
    if (!hooks.printShippingLabels) {
        ReportJobFeatureNotAvailable(QStringLiteral("Printing shipping labels"));
        return;
    }
    QList<JobHooks::LabelRow> rows;
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
        JobHooks::LabelRow r;
        r.itemId = qint32(m_list->GetItemData(row));
        r.description = m_list->GetItemText(row, ColDescription);
        r.shipped = m_list->GetItemText(row, ColShipped).toInt();
        r.perBox = m_list->GetItemText(row, ColPerBox).toInt();
        r.boxes = m_list->GetItemText(row, ColLabels).toInt();
        r.shiptoNo = m_list->GetItemText(row, ColShipto).toInt();
        rows << r;
    }
    hooks.printShippingLabels(rows, this);
}

bool CShipLabel::OnCommand(int id)
{
    switch (id) {
    case kExpand:
        m_tree->ToggleExpandAll();
        if (m_wndSteps.isCreated())
            m_wndSteps.SetItemImage(kExpand, m_tree->GetExpandState() ? 179 : 178, 2);
        return true;
    case kShipToCmd: OnShipTo(); return true;
    case kAddCmd: OnAdd(); return true;
    case kRemoveCmd: OnRemove(); return true;
    case kPrintCmd: OnPrint(); return true;
    default: return CDlg0::OnCommand(id);
    }
}
