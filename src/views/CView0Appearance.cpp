#include "views/CView0.h"

#include "app/base/DateRangeMenu.h"

#include "app/base/Appearance.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "views/CViewColor.h"
#include "views/CViewOptions.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTreeWidgetItemIterator>

#include <algorithm>

void CView0::OnCustomizeAppearance()
{
    CViewOptions dialog(unsigned(m_nViewId), this);
    connect(&dialog, &CViewOptions::viewMessage, this, [this](int message, qintptr setting, qintptr value) {
        if (message == CViewColor::kAppearanceMessage)
            OnAppearanceMessage(int(setting), int(value));
    });
    dialog.DoModal();
}

void CView0::OnWindowColor()
{
    CViewColor dialog(unsigned(m_nViewId), m_nHue, this);
    connect(&dialog, &CViewColor::viewMessage, this, [this](int message, qintptr setting, qintptr value) {
        if (message == CViewColor::kAppearanceMessage)
            OnAppearanceMessage(int(setting), int(value));
    });
    dialog.DoModal();
}

void CView0::OnAppearanceMessage(int setting, int value)
{
    Appearance &look = Appearance::instance();
    switch (setting) {
    case 0:
        // The hue belongs to this view only.
        m_nHue = value != 0 ? value : look.GetViewHue(unsigned(m_nViewId), false);
        look.SaveViewSetting(unsigned(m_nViewId), m_nHue);
        ApplyColors();
        return;
    case 1:
        look.SetButtonStyle(quint8(value));
        break;
    case 2:
        look.SetFillStyle(quint8(value));
        break;
    case 3:
        look.SetListManagerStyle(quint8(value));
        break;
    case 4:
        look.SetColorIntensity(quint8(value));
        break;
    case 5:
        look.SetFontSize(value);
        break;
    default:
        return;
    }
    // The workstation's settings are every view's: each open view takes them now.
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        if (auto *view = qobject_cast<CView0 *>(widget))
            view->ApplyAppearance();
    }
}

void CView0::ApplyAppearance()
{
    if (!m_mainBar)
        return;
    Appearance &look = Appearance::instance();
    const int buttonStyle = look.buttonStyle();
    m_mainBar->SetBarStyle(buttonStyle == 2 ? 2 : buttonStyle == 3 ? 3 : 0);
    const std::uint8_t fill = std::uint8_t(look.fillStyle());
    m_managerBar->SetItemColor(0, fill);
    m_listBar->SetItemColor(0, fill);
    m_tree->SetImageListAndFont(131, 2);
    m_list->setFont(look.GetFont(2));
    ApplyColors();
    LayoutBars();
    update();
}

int CView0::ListManagerWidth()
{
    constexpr int kNarrowest = 200;
    constexpr int kWidest = 320;
    const QString key = QStringLiteral("ListManagerWidth-") + m_strViewName;
    if (!m_tree || m_tree->topLevelItemCount() == 0) {
        if (m_nManagerWidth == 0)
            m_nManagerWidth = std::clamp(platform::Settings::readInt(QStringLiteral("View Settings"), key, kNarrowest),
                                         kNarrowest, kWidest);
        return m_nManagerWidth;
    }
    QFont bold = m_tree->font();
    bold.setBold(true);
    const QFontMetrics plainMetrics(m_tree->font());
    const QFontMetrics boldMetrics(bold);
    int widest = 0;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
            ++depth;
        const QFontMetrics &metrics = depth == 0 ? boldMetrics : plainMetrics;
        const int needed = m_tree->indentation() * (depth + 1) + m_tree->iconSize().width() + 12 +
                           metrics.horizontalAdvance((*it)->text(0)) + 12;
        widest = std::max(widest, needed);
    }
    // Room for the scroll bar, which shows when the entries are opened.
    widest += m_tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_tree) + 2 * m_tree->frameWidth();
    const int width = std::clamp(widest, kNarrowest, kWidest);
    if (width != m_nManagerWidth) {
        m_nManagerWidth = width;
        platform::Settings::writeInt(QStringLiteral("View Settings"), key, width);
    }
    return width;
}

void CView0::AddListMenuCommands(QMenu &menu) const
{
    const QList<MenuCommand> commands = ListMenuCommands();
    if (commands.isEmpty())
        return;
    // The list menu is the one with the shared "Copy and Paste" entry; the
    // view's commands go after it, in a group of their own.
    const QList<QAction *> actions = menu.actions();
    int at = -1;
    for (int i = 0; i < actions.size(); ++i)
        if (!actions[i]->isSeparator() && actions[i]->data().toInt() == 30111)
            at = i;
    if (at < 0)
        return;
    QAction *before = at + 1 < actions.size() ? actions[at + 1] : nullptr;
    menu.insertSeparator(before);
    for (const MenuCommand &command : commands) {
        auto *action = new QAction(command.text, &menu);
        action->setData(command.id);
        menu.insertAction(before, action);
    }
}

void CView0::OnInitPopupMenu(QMenu *subMenu, int position)
{
    if (!subMenu)
        return;
    if (position == 1)
        AddListMenuCommands(*subMenu);
    for (QAction *action : subMenu->actions()) {
        const int id = action->data().toInt();
        if (action->isSeparator() || id == 0)
            continue;
        // Views, dates and the application's own commands are always there.
        const bool always = (id >= 30000 && id <= 30009) || (id >= 20031 && id <= 20055) || id == 57664 ||
                            id == 30515 || id == 30529 || id == 30418;
        action->setEnabled(always || IsCommandEnabled(id));
        // This view carries the check mark.
        if (id >= 30000 && id <= 30009) {
            action->setCheckable(true);
            action->setChecked(id == m_nViewId);
        }
    }
    CheckDateRangeMenu(subMenu, m_nDateRangeCode);
}
