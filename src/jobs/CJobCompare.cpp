#include "jobs/CJobCompare.h"

#include "app/base/CZqApp.h"
#include "app/base/DialogControls.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/CItemSet.h"
#include "data/CItemSetX.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"
#include "estimating/CItemPrice.h"
#include "platform/db/DbException.h"
#include "resources/Strings.h"
#include "views/TextRoom.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>

namespace {

constexpr unsigned kTree = 2201, kLeftBar = 1721, kRightBar = 1722, kLeftList = 1401, kRightList = 1402;
constexpr unsigned kCaption = 1901, kWhen = 1902;
constexpr int kOtherItemImage = 333, kLessImage = 236, kMoreImage = 235;

QString typeName(int type)
{
    QString name;
    GetJobTypeName(name, type);
    return name;
}

QString dateText(const DateTime &d)
{
    return d.isValid() ? d.date().toString(QStringLiteral("MM/dd/yyyy")) : QString();
}

double numberOf(QString text)
{
    text.remove(QLatin1Char(','));
    text.remove(QLatin1Char('$'));
    return text.trimmed().toDouble();
}

} // namespace

CJobCompare::CJobCompare(qint32 jobId, QWidget *parent) : CDlg0(755, parent), m_nJobId(jobId)
{
    m_strWindowTitle = QStringLiteral("Compare Jobs");
    resize(1060, 640);
    m_tree = new CXTreeCtrl(this);
    m_tree->setGeometry(10, 10, 1040, 140);
    SetDlgCtrlID(m_tree, kTree);
    AddPlaceholder(kLeftBar, QRect(10, 158, 515, 40));
    AddPlaceholder(kRightBar, QRect(535, 158, 515, 40));
    for (int half = 0; half < 2; ++half) {
        auto *list = new CXListCtrl(this);
        list->setGeometry(half == 0 ? 10 : 535, 202, 515, 380);
        SetDlgCtrlID(list, half == 0 ? kLeftList : kRightList);
        m_lists[size_t(half)] = list;
    }
    AddButton(2, QStringLiteral("Close"), QRect(940, 596, 110, 30));
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_bFilling)
            OnTreeSelection();
    });
}

bool CJobCompare::OnInitDialog()
{
    CDlg0::OnInitDialog();
    for (int half = 0; half < 2; ++half) {
        CXRibbon &bar = m_ribbons[size_t(half)];
        if (bar.Create(this, half == 0 ? kLeftBar : kRightBar, 120, 1, 131, 8, 32, 3, 0, 0, 30)) {
            bar.AddItem(kCaption, QString(), struct_RIB_ITEM::Plain, 0, 255, 3, 2084, 7, 2, 300);
            bar.AddItem(kWhen, QStringLiteral("When"), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 7, 2, 140);
            bar.RecalcLayout(251);
        }
        CXListCtrl *list = m_lists[size_t(half)];
        list->SetImageListAndStyle(131, 0, 0);
        list->AddColumn(QStringLiteral("Item"), 50, 10, true, 0);
        list->AddColumn(QStringLiteral("Description"), 220, 10, false, 0);
        list->AddColumn(QStringLiteral("Quantity "), 80, 10, false, 1);
        list->AddColumn(QStringLiteral("Time "), 60, 10, false, 1);
        list->AddColumn(QStringLiteral("Price"), 90, 10, false, 1);
    }
    SetCtrlFont(m_tree, 2);

    m_bFilling = true;
    m_root = m_tree->AddItem(nullptr, QString(), 0, 0);
    ShowJob(0, m_nJobId);
    const bool found = !m_ribbons[0].GetItemText(kCaption).isEmpty();
    const bool items = m_nHistoryKey < 0 && m_nHistoryKey != kNoHistory;
    QList<CompareNode> chain;
    bool walked = false;
    if (found && m_nHistoryKey != kNoHistory) {
        walked = true;
        if (items) {
            chain = ItemSourceChain(m_nHistoryKey);
        } else {
            bool exists = false;
            chain = JobSourceChain(m_nJobId, exists);
            CJobSet job;
            walked = job.FindById(m_nJobId) && job.m_FromJobNo != 0;
        }
    }
    QTreeWidgetItem *parent = m_root;
    QTreeWidgetItem *first = nullptr;
    for (const CompareNode &node : chain) {
        CJobSet job;
        const int image = job.FindById(node.jobId) ? GetJobTypeImageAlt(job.m_JobType) : 0;
        parent = m_tree->AddItem(parent, node.text, quint32(node.jobId), image);
        if (!first)
            first = parent;
    }
    m_root->setText(0, CompareRootText(items, int(chain.size()), walked));
    if (items)
        setWindowTitle(QStringLiteral("Compare Items"));
    m_tree->expandAll();
    m_bFilling = false;
    m_tree->setCurrentItem(first ? first : m_root);
    OnTreeSelection();
    MarkItem(0, m_nItemNo);
    // Within the screen: on a narrower one the halves give up width, each
    // list's Description column the rest its other columns leave.
    const QSize room = WindowRoom(this);
    for (CXListCtrl *list : m_lists)
        list->SetAutoSizeMode(1, false);
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
    for (CXListCtrl *list : m_lists)
        list->AutoSizeColumns();
    return true;
}

void CJobCompare::ShowJob(int half, qint32 jobId)
{
    CXRibbon &bar = m_ribbons[size_t(half)];
    CXListCtrl *list = m_lists[size_t(half)];
    bar.SetItemText(kCaption, QString());
    bar.SetItemTip(kCaption, QStringLiteral("Not Found!"));
    list->ClearList(false);
    CJobSet job;
    if (jobId == 0 || !job.FindById(jobId) || job.IsEmptySet())
        return;
    bar.SetItemText(kCaption, QStringLiteral("%1 %2: %3").arg(typeName(job.m_JobType)).arg(job.m_JobNo).arg(job.m_Title));
    CCusSet customer;
    CContactSet contact;
    bar.SetItemTip(kCaption, customer.FormatCustomer(job.m_CusNo, 0) + QStringLiteral("\n\n") +
                                 contact.GetContactCard(job.m_BuyerNo, 5));
    bar.SetColorScheme(GetJobTypeHue(job.m_JobType));
    QStringList statuses = LoadResourceString(44081 + job.m_JobType).split(QLatin1Char(','));
    QString from;
    job.GetFromJobText(from);
    CZqApp *app = ZqApp();
    bar.SetItemText(kWhen, QStringLiteral("When"));
    bar.SetItemTip(kWhen, QStringLiteral("In\t: %1\nDue\t: %2   %3\nShip'd\t: %4\nCSR\t: %5\nStatus\t: %6\nFrom\t: %7")
                              .arg(dateText(job.m_DateIn), dateText(job.m_DateDue), job.m_TimeDue,
                                   dateText(job.m_DateShipped), app ? app->GetEmployeeName(job.m_CSRNo) : QString(),
                                   statuses.value(job.m_Status), from));

    CItemSetX rows;
    try {
        if (!rows.OpenJobItemsAndServices(jobId))
            return;
    } catch (const platform::DbException &) {
        return;
    }
    for (; rows.IsOpen() && !rows.IsEOF(); rows.MoveNext()) {
        rows.GetDescription(QString(), true);
        const bool item = rows.m_SerNo == 0;
        const int row = list->InsertRow(list->GetItemCount(), item ? rows.GetItemNoText(QString()) : QString(),
                                        rows.m_ItemID);
        if (item) {
            list->SetItemText(row, 1, rows.m_Description);
        } else {
            QString run;
            rows.GetRunText(run, true, false, false, false);
            list->SetItemText(row, 1, run);
            if (app)
                list->SetSubItemImage(row, 1, app->GetCategoryIcon(rows.m_nCatNo));
        }
        list->SetItemText(row, 2, FormatNumberOrMinutes(rows.m_ChargeQty, true, QString()));
        list->SetItemText(row, 3, item ? QString() : FormatNumberOrMinutes(rows.m_ChargeTime, false, QString()));
        list->SetItemText(row, 4, FormatMoneyGrouped(rows.m_Price));
    }
}

void CJobCompare::SetValueHeadings(bool defaults)
{
    CXListCtrl *right = m_lists[1];
    right->SetColumnText(2, defaults ? QStringLiteral("Default Qty") : QStringLiteral("Quantity"));
    right->SetColumnText(3, defaults ? QStringLiteral("Def.Time") : QStringLiteral("Time"));
    right->SetColumnText(4, defaults ? QStringLiteral("Default Price") : QStringLiteral("Price"));
}

void CJobCompare::OnTreeSelection()
{
    QTreeWidgetItem *node = m_tree->currentItem();
    if (!node)
        return;
    const qint32 jobId = qint32(CXTreeCtrl::GetItemData(node));
    if (jobId == 0) {
        ShowJob(1, m_nJobId);
        ShowDefaultPricing();
        MarkItem(1, m_nItemNo);
        SetValueHeadings(true);
        return;
    }
    ShowJob(1, jobId);
    MarkItem(1, CompareNodeItemNo(node->text(0)));
    SetValueHeadings(false);
}

void CJobCompare::MarkItem(int half, int itemNo)
{
    if (itemNo == 0)
        return;
    CXListCtrl *list = m_lists[size_t(half)];
    bool other = false;
    for (int row = 0; row < list->GetItemCount(); ++row) {
        const QString label = list->GetItemText(row, 0);
        if (!label.isEmpty())
            other = label.section(QLatin1Char('-'), 0, 0).trimmed().toInt() != itemNo;
        list->SetSubItemImage(row, 0, other ? kOtherItemImage : CXListCtrl::kNoImage);
    }
}

void CJobCompare::ShowDefaultPricing()
{
    CXRibbon &right = m_ribbons[1];
    right.SetItemText(kCaption, m_ribbons[0].GetItemText(kCaption));
    right.SetItemTip(kCaption, QString());
    right.SetItemText(kWhen, QStringLiteral("Default Pricing"));
    right.SetItemTip(kWhen, QString());
    CXListCtrl *left = m_lists[0];
    CXListCtrl *list = m_lists[1];
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CItemSet items;
    if (items.OpenJobRows(m_nJobId, CItemSet::ItemRows)) {
        std::vector<qint32> ids;
        for (; !items.IsEOF(); items.MoveNext())
            ids.push_back(items.m_ItemID);
        PricingCache cache;
        for (const qint32 id : ids) {
            CItemSet own;
            if (!own.OpenByItemID(id))
                continue;
            CItemPrice engine;
            engine.LoadItemServices(&own, true, &cache);
            if (engine.PriceItem(0) == 0)
                continue;
            const auto &priced = engine.Rows();
            for (int row = 0; row < left->GetItemCount(); ++row) {
                const qint32 rowId = qint32(left->GetItemData(row));
                qint32 qty = 0, time = 0;
                Money price;
                bool itemRow = false;
                if (rowId == id) {
                    itemRow = true;
                    qty = own.m_ChargeQty;
                    price = engine.GetNewPrice();
                } else if (auto found = priced.find(rowId); found != priced.end()) {
                    qty = found->second.m_ChargeQty;
                    time = found->second.m_ChargeTime;
                    price = found->second.m_Price;
                } else {
                    continue;
                }
                const QString qtyText = FormatNumberOrMinutes(qty, true, QString());
                const QString priceText = FormatMoneyGrouped(price);
                list->SetItemText(row, 2, qtyText);
                list->SetItemText(row, 3, itemRow ? QString() : FormatNumberOrMinutes(time, false, QString()));
                list->SetItemText(row, 4, priceText);
                auto mark = [&](int column, const QString &defaultText) {
                    const QString saved = left->GetItemText(row, column);
                    if (QString::number(numberOf(saved), 'f', 2) == QString::number(numberOf(defaultText), 'f', 2))
                        return;
                    left->SetSubItemImage(row, column, numberOf(saved) < numberOf(defaultText) ? kLessImage : kMoreImage);
                };
                mark(2, qtyText);
                mark(4, priceText);
            }
        }
    }
    QGuiApplication::restoreOverrideCursor();
}

void CJobCompare::OnSize(int type, int cx, int cy)
{
    CDlg0::OnSize(type, cx, cy);
    CXListCtrl *right = m_lists[1];
    if (!right || !m_ribbons[1].isCreated())
        return;
    const int extraW = cx - right->geometry().right() - 10;
    const int extraH = cy - right->geometry().bottom() - 58;
    if (extraW == 0 && extraH == 0)
        return;
    const int half = extraW / 2;
    const int rest = extraW - half;
    m_tree->resize(m_tree->width() + extraW, m_tree->height());
    m_ribbons[0].resize(m_ribbons[0].width() + half, m_ribbons[0].height());
    m_lists[0]->resize(m_lists[0]->width() + half, m_lists[0]->height() + extraH);
    m_ribbons[1].setGeometry(m_ribbons[1].x() + half, m_ribbons[1].y(), m_ribbons[1].width() + rest,
                             m_ribbons[1].height());
    right->setGeometry(right->x() + half, right->y(), right->width() + rest, right->height() + extraH);
    MoveItemBy(2, extraW, extraH);
    for (CXListCtrl *list : m_lists)
        list->AutoSizeColumns();
}
