#include "customers/CPickList.h"

#include "app/base/CZqApp.h"
#include "app/base/Confirmation.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "data/CXDaoSet.h"
#include "platform/Prompt.h"

#include <QtCore/QTimer>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMenu>

namespace {
constexpr unsigned kList = 1401;
constexpr int kEditImage = 169;
constexpr int kMarkImage = 211;
constexpr int kNoImage = 255;
} // namespace

CPickList::CPickList(qint32 cusNo, qint32 current, int colourScheme, const QString &caption, QWidget *parent)
    : CDlg0(422, parent), m_nCurrent(current), m_nCusNo(cusNo), m_nStart(current), m_strCaption(caption)
{
    m_nColorScheme = colourScheme;
    m_bDefault = caption.contains(QStringLiteral("Default"));
    if (!m_bDefault)
        m_strCondition = QStringLiteral(" and Type <> %1 ").arg(2);
    m_bEnterAsTab = 0;
    resize(760, 480);
    AddPlaceholder(1901, QRect(0, 0, 760, 40));
    AddPlaceholder(1902, QRect(0, 40, 760, 24));
    m_list = new CXListCtrl(this);
    m_list->setGeometry(4, 68, 752, 364);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    SetDlgCtrlID(m_list, kList);
    AddPlaceholder(1903, QRect(0, 436, 760, 44));
    AddSizeMarker(QPoint(760, 480));
    m_pList = m_list;
    connect(m_list, &CXListCtrl::clicked, this, [this](const QModelIndex &index) {
        OnSelectionChanged();
        if (index.column() == OpenColumn() && m_nCurrent != 0)
            OnRecord(30102);
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this] { QTimer::singleShot(150, this, [this] { OnRecord(30102); }); });
    connect(m_list, &QWidget::customContextMenuRequested, this, &CPickList::OnContextMenu);
    // A column's header sorts by it: the list answers the click itself.
}

bool CPickList::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitListRibbons(149, true, false, false);
    if (m_wndRibbon.isCreated()) {
        // The open command is named after what it does here.
        m_wndRibbon.SetItemText(30102, QStringLiteral("Edit"));
    }
    m_list->SetImageListAndStyle(131, 0, 0);
    m_list->SetDrawStyle(2, 0xFFFFFF, 0, kMarkImage, kMarkImage);
    if (m_list->selectionModel())
        connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] { OnSelectionChanged(); });
    Refill();
    if (m_nCurrent == 0 && m_list->GetItemCount() == 1) {
        // Nothing to choose from yet: straight into a new row.
        OnRecord(30100);
        EndDialog(m_nCurrent == 0 ? IDCANCEL_RESULT : IDOK_RESULT);
        if (m_nCurrent != 0)
            m_strResult = ResultText(m_nCurrent);
    }
    return true;
}

void CPickList::Refill()
{
    m_bBusy = true;
    m_list->ClearList(false);
    m_list->FillFromSql(ListSql().arg(m_nCusNo).arg(m_strCondition));
    m_list->FetchAll();
    const qint32 marked = MarksCurrentRow() ? m_nCurrent : m_nStart;
    m_list->InsertRow(0, NoneText(), 0, marked == 0 ? NoneImage() : kNoImage);
    const int statusColumn = StatusColumn();
    for (int row = 1; row < m_list->GetItemCount(); ++row) {
        int status = m_list->GetItemText(row, statusColumn).toInt();
        status = std::clamp(status, 0, 2);
        static const char *const names[] = {"Active", "On Hold", "Hidden"};
        m_list->SetItemText(row, statusColumn, QString::fromLatin1(names[status]));
        const qint32 key = qint32(m_list->GetItemData(row));
        m_list->SetSubItemImage(row, 0, key == marked ? kMarkImage : StatusImage(status));
        m_list->SetSubItemImage(row, OpenColumn(), kEditImage);
    }
    m_list->SetAutoSizeMode(CXListCtrl::kFitSpread, true);
    m_bBusy = false;
    SelectKey(m_nCurrent);
    if (m_wndRibbonBottom.isCreated())
        m_wndRibbonBottom.SetItemText(30262, QStringLiteral("Listed: %1").arg(m_list->GetItemCount()));
}

void CPickList::SelectKey(qint32 key)
{
    const int row = key == 0 ? 0 : m_list->FindItemByData(key, false);
    if (row >= 0)
        m_list->SelectItem(row);
    OnSelectionChanged();
}

QList<qint32> CPickList::SelectedKeys()
{
    QList<qint32> keys;
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->IsItemSelected(row))
            keys << qint32(m_list->GetItemData(row));
    return keys;
}

void CPickList::OnSelectionChanged()
{
    if (m_bBusy)
        return;
    const int row = m_list->GetCurrentRow();
    if (row < 0 || row >= m_list->GetItemCount())
        return;
    m_nCurrent = qint32(m_list->GetItemData(row));
    const bool real = m_nCurrent != 0;
    if (m_wndRibbon.isCreated()) {
        m_wndRibbon.EnableItem(30102, real);
        m_wndRibbon.EnableItem(30112, real);
        m_wndRibbon.EnableItem(30113, real);
    }
    if (!m_wndRibbonBottom.isCreated())
        return;
    const bool same = m_nCurrent == m_nStart;
    m_wndRibbonBottom.EnableItem(1, m_bChanged || !same);
    const QString text = m_strCaption + QStringLiteral(": ") + OkText(row);
    if (same) {
        m_wndRibbonBottom.SetItemText(1, text);
        m_wndRibbonBottom.SetItemImageFlag(1, 223);
    } else {
        m_wndRibbonBottom.SetItemText(1, QStringLiteral("Click here to apply  ->  ") + text);
        m_wndRibbonBottom.SetItemImageFlag(1, kMarkImage);
        m_wndRibbonBottom.SetItemColor(1, 14);
    }
}

bool CPickList::OnCommand(int id)
{
    switch (id) {
    case 30100: case 30102: case 30112:
        OnRecord(id);
        return true;
    case 30113:
        OnDelete();
        return true;
    case 30131: case 30132: case 30133:
        OnSetStatus(id - 30131);
        return true;
    case 30262: {
        CXDaoSet parts;
        parts.m_strSQL = ListSql().arg(m_nCusNo).arg(m_strCondition);
        parts.ShowWhereText(QStringLiteral("FILTER:\n\n"));
        return true;
    }
    default:
        return CDlg0::OnCommand(id);
    }
}

void CPickList::OnRecord(int command)
{
    qint32 key = m_nCurrent;
    qint32 copyFrom = 0;
    if (command == 30100) {
        m_nCurrent = 0;
        key = 0;
    } else if (command == 30112) {
        if (m_nCurrent == 0)
            return;
        copyFrom = m_nCurrent;
        key = 0;
    }
    const qint32 saved = RunRecordDialog(key, copyFrom);
    if (saved == 0)
        return;
    m_bChanged = true;
    if (command == 30112 || m_nCurrent == 0)
        m_nCurrent = saved;
    Refill();
}

void CPickList::OnOK()
{
    if (m_list->GetSelectedCount() > 1) {
        platform::Prompt::messageBox(QStringLiteral("Please select one %1.").arg(Noun()));
        return;
    }
    if (m_nCurrent != 0 && IsHidden(m_nCurrent)) {
        platform::Prompt::messageBox(QStringLiteral("Please select %1 %2 that is not hidden.").arg(Article(), Noun()));
        return;
    }
    m_strResult = ResultText(m_nCurrent);
    EndDialog(IDOK_RESULT);
}

void CPickList::OnSetStatus(int status)
{
    if (!m_bDefault && ZqApp() && !ZqApp()->CheckPassword(12, QString()))
        return;
    if (platform::Prompt::messageBox(QStringLiteral("Do you want to change the status of selected %1?").arg(Plural()),
                                     QString(), platform::MB_YESNO) != platform::IDYES)
        return;
    if (SetRecordStatus(Kind(), SelectedKeys(), status, false) > 0)
        Refill();
}

void CPickList::OnDelete()
{
    if (!m_bDefault && ZqApp() && !ZqApp()->CheckPassword(12, QString()))
        return;
    const QList<qint32> keys = SelectedKeys();
    const QString action = QStringLiteral("delete selected (%1) %2?\n\nNote: Any %2 used in Jobs will be hidden, not "
                                          "deleted.")
                               .arg(keys.size())
                               .arg(Plural());
    if (!ConfirmAction(action))
        return;
    const DeleteOutcome outcome = DeleteRows(keys);
    if (!outcome.ok)
        return; // the database's refusal has been shown; nothing changed
    platform::Prompt::messageBox(QStringLiteral("Deleted: %1\nHidden: %2").arg(outcome.deleted).arg(outcome.hidden));
    m_nCurrent = 0;
    Refill();
}

void CPickList::OnContextMenu(const QPoint &pos)
{
    if (m_list->GetItemCount() == 0)
        return;
    QMenu menu(this);
    auto add = [](QMenu &m, const QString &text, int id) { m.addAction(text)->setData(id); };
    add(menu, QStringLiteral("Open Properties"), 30102);
    QMenu *status = menu.addMenu(QStringLiteral("Set Status"));
    add(*status, QStringLiteral("Active..."), 30131);
    add(*status, QStringLiteral("On Hold..."), 30132);
    add(*status, QStringLiteral("Hidden..."), 30133);
    add(menu, QStringLiteral("Paste..."), 30112);
    add(menu, QStringLiteral("&Delete...\tDel"), 30113);
    if (QAction *chosen = menu.exec(m_list->viewport()->mapToGlobal(pos)))
        SendCommand(chosen->data().toInt());
}

void CPickList::OnSize(int type, int cx, int cy)
{
    LayoutListOnSize(type, cx, cy, m_list);
}
