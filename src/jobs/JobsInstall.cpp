#include "jobs/JobsInstall.h"

#include "app/base/CZqApp.h"
#include "app/base/Menus.h"
#include "controls/CXRibbon.h"
#include "data/CJobSet.h"
#include "jobs/CJobDlg.h"
#include "jobs/CQuickSale.h"
#include "views/QuickSaleSlot.h"

#include <QtWidgets/QMenu>

namespace {

constexpr int kRecordMenus = 170;

void addEntries(QMenu &menu, std::initializer_list<std::pair<int, const char *>> entries)
{
    for (const auto &[id, text] : entries) {
        if (id == 0) {
            menu.addSeparator();
            continue;
        }
        menu.addAction(QString::fromUtf8(text))->setData(id);
    }
}

// Copies the sub-menu at a position of a menu resource into a bar's drop-down.
void resolveMenu(QMenu &menu, unsigned menuId, int subMenu)
{
    const std::unique_ptr<QMenu> resource = LoadMenuResource(int(menuId));
    if (!resource)
        return;
    const QList<QAction *> subs = resource->actions();
    if (subMenu < 0 || subMenu >= subs.size() || !subs[subMenu]->menu())
        return;
    for (QAction *action : subs[subMenu]->menu()->actions()) {
        if (action->isSeparator())
            menu.addSeparator();
        else
            menu.addAction(action->text())->setData(action->data());
    }
}

} // namespace

void BuildJobPopupMenu(QMenu &menu)
{
    addEntries(menu, {{30244, "Check for Missing Data..."},
                          {30215, "Show/Hide..."},
                          {30342, "Change the &Number of this Job..."},
                          {30341, "Set the Next Job &Number..."}});
}

void BuildItemPopupMenu(QMenu &menu)
{
    addEntries(menu, {{30361, "&New Item..."},
                           {30379, "         Sub-Item..."},
                           {30369, "Paste this Item..."},
                           {0, ""},
                           {30362, "Edit &Specs..."},
                           {30363, "Edit &Costs..."},
                           {30377, "Edit Service..."},
                           {0, ""},
                           {30113, "&Delete this Item..."},
                           {0, ""},
                           {30364, "&Reprice this Item..."},
                           {30372, "Reprice &All Items..."},
                           {30365, "Price &List..."},
                           {0, ""},
                           {30633, "Compare this Item..."},
                           {30431, "S&hipments..."},
                           {0, ""},
                           {30528, "L&ock/Unlock Item Price"},
                           {30527, "&Tax/Exempt Item Price"},
                           {0, ""},
                           {30366, "Attach a File..."},
                           {30159, "Rearrange Items..."},
                           {30215, "Customize Job View..."},
                           {0, ""},
                           {30632, "D&elete All Items..."}});
}

void RegisterJobMenus()
{
    RegisterMenuResource(kRecordMenus, [](QMenu &menu) {
        // Positions 0 and 1 are the list manager's and the list's menus.
        menu.addMenu(QString());
        menu.addMenu(QString());
        BuildJobPopupMenu(*menu.addMenu(QStringLiteral("Job")));
        BuildItemPopupMenu(*menu.addMenu(QStringLiteral("Item")));
    });
}

void InstallJobs(CZqApp &app, std::function<QWidget *()> owner)
{
    RegisterJobMenus();
    CXRibbon::SetMenuResolver(resolveMenu);
    InstallQuickSale();
    // A job opened from anywhere by its id: a preview, without a lock.
    app.setJobOpener([owner](long jobId) {
        if (jobId == 0)
            return;
        CJobSet job;
        if (!job.FindByField(QStringLiteral("JobID"), qint32(jobId)))
            return;
        {
            CJobDlg window(&job, true, nullptr, owner ? owner() : nullptr);
            window.DoModal();
        }
        job.Close();
    });
}

void RemoveJobs(CZqApp &app)
{
    app.setJobOpener(nullptr);
    quickSaleRunner() = nullptr;
    CXRibbon::SetMenuResolver(nullptr);
    RegisterMenuResource(kRecordMenus, nullptr);
}
