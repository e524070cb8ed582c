#include "shell/AppMenus.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/Menus.h"
#include "controls/CXRibbon.h"
#include "estimating/CItemSpecs.h"
#include "jobs/JobsInstall.h"

#include <QtGui/QAction>
#include <QtWidgets/QMenu>

namespace {

struct Entry
{
    int id; // 0: a separator
    const char *text;
};

void addEntries(QMenu *menu, std::initializer_list<Entry> entries)
{
    for (const Entry &e : entries) {
        if (e.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromUtf8(e.text));
        action->setData(e.id);
    }
}

// The views in the order of their tabs, each with its accelerator.
void addViews(QMenu *menu)
{
    static const struct
    {
        int id;
        const char *key;
    } kViews[] = {{30000, "H"}, {30001, "J"}, {30007, "U"}, {30008, "T"}, {30002, "S"},
                  {30003, "C"}, {30004, "A"}, {30005, "R"}, {30006, "E"}};
    for (const auto &v : kViews) {
        QAction *action = menu->addAction(Appearance::GetViewName(unsigned(v.id)) + QStringLiteral("\tCtrl+Shift+") +
                                          QString::fromLatin1(v.key));
        action->setData(v.id);
    }
}

void buildMainMenus(QMenu &menu)
{
    QMenu *main = menu.addMenu(QStringLiteral("Main Menu"));
    addViews(main);
    addEntries(main, {{0, ""},
                      {30515, "&Workstation Options..."},
                      {30516, "Start-up &View..."},
                      {30661, "&Appearance..."},
                      {30662, "Window &Colors..."},
                      {30576, "Change &Data Source Folders..."},
                      {0, ""},
                      {30572, "&Backup Database..."},
                      {30573, "C&ompact Database..."},
                      {30574, "Check &Keys and Indexes..."},
                      {30571, "File &Transfer..."},
                      {0, ""},
                      {57664, "About Tavrel"},
                      {30529, "E&xit\tAlt+F4"}});
    QMenu *help = menu.addMenu(QStringLiteral("Help"));
    addEntries(help, {{30418, "&Brief Help	F1"},
                      {30109, "Send Email to &Support..."},
                      {0, ""},
                      {57664, "About Tavrel	Ctrl+F1"}});
}

void buildListMenus(QMenu &menu)
{
    QMenu *tree = menu.addMenu(QStringLiteral("List Manager"));
    addEntries(tree, {{30401, "&List Now"},
                      {30126, "Add to &Favorites...\tCtrl+F4"},
                      {30124, "F&avorites...\tF4"},
                      {0, ""},
                      {30532, "&Expand/Collapse List Manager"},
                      {30216, "&Show/Hide List Manager"}});
    QMenu *list = menu.addMenu(QStringLiteral("List"));
    addEntries(list, {{30100, "&New...\tF2"},
                      {30101, "&Find...\tF3"},
                      {30103, "&Open\tF6"},
                      {30111, "Cop&y and Paste...\tCtrl+B"},
                      {0, ""},
                      {30330, "&Print...\tF7"},
                      {30107, "&Email...\tF8"},
                      {30123, "E&xport...\tF9"},
                      {0, ""},
                      {30121, "&Refresh List\tF5"},
                      {30120, "&Search List...\tCtrl+F3"},
                      {30064, "View Column &Totals\tCtrl+T"},
                      {30062, "View F&ilter...\tCtrl+I"},
                      {30538, "Set &Column Sizes..."},
                      {30115, "Select &All\tCtrl+A"}});
    // Positions 2 to 10 belong to the areas' own popups: the job window's
    // "Job" and "Item" menus and the item window's "Specs" menu.
    BuildJobPopupMenu(*menu.addMenu(QStringLiteral("Job")));
    BuildItemPopupMenu(*menu.addMenu(QStringLiteral("Item")));
    menu.addMenu(QString());
    BuildSpecsPopupMenu(*menu.addMenu(QStringLiteral("Specs")));
    for (int position = 6; position <= 10; ++position)
        menu.addMenu(QString());
    QMenu *dates = menu.addMenu(QStringLiteral("Date"));
    const int groupEnds[] = {DateRange::CmdToday, DateRange::CmdThisYear, DateRange::CmdLastYear,
                             DateRange::CmdLast12Months, DateRange::CmdYearToDate, 20053, DateRange::CmdBetween};
    for (int id = DateRange::CmdToday; id <= DateRange::CmdSetAsDefault; ++id) {
        QAction *action = dates->addAction(GetDateMenuItemText(id));
        action->setData(id);
        for (int end : groupEnds)
            if (id == end)
                dates->addSeparator();
    }
    // The schedule view's popups: its list (13) and the inventory commands (20).
    menu.addMenu(QString());
    QMenu *schedule = menu.addMenu(QStringLiteral("Schedule"));
    addEntries(schedule, {{30102, "Schedule Job"},
                          {30331, "Preview Job Specs"},
                          {30406, "Edit Job Dates"},
                          {0, ""},
                          {30728, "Update Status of Selected Jobs..."},
                          {30729, "Update Status of Selected Items..."},
                          {0, ""},
                          {30121, "Refresh\tF5"},
                          {30120, "Search...\tCtrl+F3"},
                          {0, ""},
                          {30530, "&Expand All"},
                          {30531, "&Collapse All"},
                          {0, ""},
                          {30115, "Select &All"},
                          {30062, "View F&ilter..."},
                          {30064, "View &Totals...\tCtrl+T"},
                          {30538, "Set Column Sizes..."}});
    for (int position = 14; position <= 19; ++position)
        menu.addMenu(QString());
    QMenu *inventory = menu.addMenu(QStringLiteral("Inventory"));
    addEntries(inventory, {{30741, "Setup/Adjust"},
                           {30744, "Check"},
                           {30742, "Order"},
                           {30743, "Receive"},
                           {0, ""},
                           {30746, "Selected Service"},
                           {30745, "Services of Selected Job"},
                           {0, ""},
                           {30747, "View History \u00b7 List"},
                           {30748, "View History \u00b7 XML"},
                           {0, ""},
                           {30749, "Inventory Options"}});
    // The schedule view's settings (21): its own options and setup tables.
    QMenu *settings = menu.addMenu(QStringLiteral("Scheduler Settings"));
    addEntries(settings, {{30541, "List Options..."},
                          {30543, "New Item Options..."},
                          {0, ""},
                          {30721, "Service Centers..."},
                          {30722, "Service Tags..."},
                          {30723, "Item Tags..."},
                          {0, ""},
                          {30674, "All Settings..."}});
}

void copyMenu(QMenu &to, const QMenu &from)
{
    for (QAction *action : from.actions()) {
        if (action->isSeparator()) {
            to.addSeparator();
            continue;
        }
        if (QMenu *sub = action->menu()) {
            QMenu *copy = to.addMenu(action->text());
            copyMenu(*copy, *sub);
            continue;
        }
        QAction *copy = to.addAction(action->text());
        copy->setData(action->data());
        copy->setCheckable(action->isCheckable());
        copy->setChecked(action->isChecked());
        copy->setEnabled(action->isEnabled());
    }
}

} // namespace

bool FillMenuFromResource(QMenu &menu, int menuId, int position)
{
    const std::unique_ptr<QMenu> resource = LoadMenuResource(menuId);
    if (!resource)
        return false;
    const auto actions = resource->actions();
    if (position < 0 || position >= actions.size() || !actions[position]->menu())
        return false;
    copyMenu(menu, *actions[position]->menu());
    return true;
}

void InstallAppMenus(CZqApp &app)
{
    Q_UNUSED(app);
    RegisterMenuResource(128, buildMainMenus);
    RegisterMenuResource(170, buildListMenus);
    CXRibbon::SetMenuResolver([](QMenu &menu, unsigned menuId, int subMenu) {
        FillMenuFromResource(menu, int(menuId), subMenu);
    });
}

void RemoveAppMenus()
{
    CXRibbon::SetMenuResolver(nullptr);
    RegisterMenuResource(128, nullptr);
    RegisterMenuResource(170, nullptr);
}
