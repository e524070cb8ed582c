#include "views/CDlgRibbon.h"
#include "views/TextRoom.h"
#include "views/RemindersService.h"

#include "app/base/CZqApp.h"
#include "controls/DlgItem.h"

#include <QtGui/QScreen>

CDlgRibbon::CDlgRibbon(unsigned templateId, QWidget *parent) : CDlg0(templateId, parent)
{
    // The lists are the dialog's children from the start but only become
    // controls when a derived dialog places them.
    m_wndList.setParent(this);
    m_wndList.hide();
    m_wndList2.setParent(this);
    m_wndList2.hide();
    setMinimumSize(kMinTrackWidth, kMinTrackHeight);
    setSizeGripEnabled(true);
}

void CDlgRibbon::CreateRecordList(CXListCtrl &list, unsigned id, const QRect &rect)
{
    list.setGeometry(rect);
    SetDlgCtrlID(&list, id);
    list.show();
}

bool CDlgRibbon::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_crBack)
        SetBackColor(m_crBack);
    if (m_wndRecordRibbon.Create(this, kRecordRibbon, m_nColorScheme, 1, 131, 1, 0, 0, 0, 0, 0)) {
        connect(&m_wndRecordRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = m_wndRecordRibbon;
        r.AddItem(30281, m_strRibbonTitle, struct_RIB_ITEM::Plain, 0, 255, 7, 2085, 0, 0, 120);
        r.AddItem(30282, QString(), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 100);
        r.AddItem(30526, QString(), struct_RIB_ITEM::Normal, 132, 81, 2, 2084, 0, 0, 180);
        r.RecalcLayout(30282);
    }
    if (GetDlgItem(this, kNavRibbon) &&
        m_wndNavRibbon.Create(this, kNavRibbon, m_nColorScheme, 2, 131, 2, 0, 0, 0, 0, 0)) {
        connect(&m_wndNavRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndNavRibbon.AddNavigationGroup();
        m_wndNavRibbon.RecalcLayout(250);
        UpdateNavButtons(true);
    }
    if (GetDlgItem(this, kSideRibbon) &&
        m_wndSideRibbon.Create(this, kSideRibbon, m_nColorScheme, 1, 132, 1, 0, 0, 0, 0, 0, true)) {
        connect(&m_wndSideRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndSideRibbon.AddSpacer(10, 0);
    }
    RestorePlacement(1004, 728);
    return true;
}

long CDlgRibbon::NavigateRecord(unsigned cmd)
{
    if (!m_pAttachedList || cmd < CXListCtrl::ID_RECORD_FIRST || cmd > CXListCtrl::ID_RECORD_PREV)
        return 0;
    return long(m_pAttachedList->NavigateRecord(int(cmd)));
}

void CDlgRibbon::UpdateNavButtons(bool enable)
{
    if (!m_wndNavRibbon.isCreated())
        return;
    m_wndNavRibbon.EnableItem(30101, enable && m_pAttachedList);
    for (int cmd = CXListCtrl::ID_RECORD_FIRST; cmd <= CXListCtrl::ID_RECORD_PREV; ++cmd) {
        const int target = enable && m_pAttachedList ? m_pAttachedList->GetNavigationTarget(cmd) : -1;
        m_wndNavRibbon.EnableItem(unsigned(cmd), target >= 0);
        m_wndNavRibbon.SetItemTip(unsigned(cmd), target >= 0 ? m_pAttachedList->GetItemText(target, 0) : QString());
    }
}

void CDlgRibbon::SetStatusButton(const QString &text, int imageFlag)
{
    if (!m_wndRecordRibbon.isCreated())
        return;
    m_wndRecordRibbon.SetItemText(30526, text);
    m_wndRecordRibbon.SetItemImageFlag(30526, std::uint8_t(imageFlag));
}

void CDlgRibbon::RestorePlacement(int minWidth, int minHeight)
{
    // A record dialog opened for the first time has nothing stored yet: it
    // then gets the minimum size and the middle of the screen like a dialog
    // whose placement is not kept.
    if (m_bSavePlacement && ZqApp() && ZqApp()->RestoreWindowPlacement(placementName(), this)) {
        // A place kept on a larger screen is brought inside this one.
        const QSize room = WindowRoom(this);
        if (width() > room.width() || height() > room.height())
            resize(std::min(width(), room.width()), std::min(height(), room.height()));
        return;
    }
    const int w = std::max(width(), minWidth);
    const int h = std::max(height(), minHeight);
    if (w != width() || h != height())
        resize(w, h);
    if (QScreen *s = screen()) {
        QRect r = frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
}

void CDlgRibbon::OnCancel()
{
    if (m_bReadOnly == 0 && m_bSavePlacement && ZqApp())
        ZqApp()->SaveWindowPos(placementName(), this);
    EndDialog(IDCANCEL_RESULT);
}

void CDlgRibbon::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    GrowItemBy(kRecordRibbon, m_nDeltaX, 0);
    GrowItemBy(kRibbon3, m_nDeltaX, 0);
    GrowItemBy(kRibbon4, m_nDeltaX, 0);
    GrowItemBy(kSideRibbon, 0, m_nDeltaY);
    MoveItemBy(kRibbon5, 0, m_nDeltaY);
    GrowItemBy(kRibbon5, m_nDeltaX, 0);
    if (auto *list = qobject_cast<CXListCtrl *>(GetDlgItem(this, kRecordList))) {
        GrowItemBy(kRecordList, m_nDeltaX, m_nDeltaY);
        list->AutoSizeColumns();
    }
}

void CDlgRibbon::AddRemindersItem(qint32 viewId, qint32 refId)
{
    if (!m_wndRecordRibbon.isCreated())
        return;
    if (m_wndRecordRibbon.FindItem(8900) < 0) {
        m_wndRecordRibbon.AddItem(8900, QStringLiteral("Reminders"), struct_RIB_ITEM::Normal, 131, 96, 2, 2084, 0, 0,
                                  110);
        m_wndRecordRibbon.RecalcLayout(30282);
    }
    if (refId != 0)
        UpdateReminderCounts(&m_wndRecordRibbon, viewId, refId);
}

void CDlgRibbon::ShowReminders(qint32 viewId, qint32 refId)
{
    RemindersRequest request;
    request.viewId = viewId;
    request.refId = refId;
    request.caption = windowTitle();
    request.hue = m_nColorScheme;
    ::ShowReminders(request, this, &m_wndRecordRibbon);
}
