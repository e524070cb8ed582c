// The shared popup menus of the schedule and production windows, and the
// three code caches that are read while they are built: employees,
// production departments and production tags. Each item carries the command
// id derived from its code.
#include "app/base/CZqApp.h"

#include "app/base/DateRanges.h"

#include <QtGui/QAction>
#include <QtWidgets/QMenu>

namespace {

void addItem(QMenu *menu, const QString &text, int commandId)
{
    if (!menu)
        return;
    QAction *action = menu->addAction(text);
    action->setData(commandId);
}

} // namespace

QMenu *CZqApp::GetPopupMenu(PopupMenu menu) const
{
    return menu >= 0 && menu < PopupMenuCount ? m_menus[menu].get() : nullptr;
}

void CZqApp::loadEmployees()
{
    // "Everyone" stands for all employees and exists without a row.
    m_caches[Employees].insert(100, CListItem(100, QStringLiteral("Everyone"), 0));
    const QueryResult r = ReadQuery(QStringLiteral("SELECT EmpNo, Name, Type FROM Employees ORDER BY Type, Sort, EmpNo"));
    QMenu *operators = m_menus[OperatorsMenu].get();
    for (int i = 0; i < r.rows.size(); ++i) {
        const quint8 empNo = quint8(r.intValue(i, "EmpNo"));
        const QString name = r.textValue(i, "Name");
        const int type = r.intValue(i, "Type");
        m_caches[Employees].insert(empNo, CListItem(empNo, name, type, GetEmployeeIcon(empNo, 131)));
        // Operators are the employees of type 0 not marked with "~".
        if (type == 0 && !name.startsWith(QLatin1Char('~')))
            addItem(operators, name, OperatorCommand(empNo));
    }
}

void CZqApp::ReloadEmployees()
{
    m_caches[Employees].clear();
    if (QMenu *operators = m_menus[OperatorsMenu].get())
        operators->clear();
    loadEmployees();
}

void CZqApp::loadProductionDepts()
{
    const QueryResult r = ReadQuery(QStringLiteral("SELECT DepID, Name, IconNo FROM ProductionDepts ORDER BY Sort, Name"));
    QMenu *menu = m_menus[ProductionDeptsMenu].get();
    for (int i = 0; i < r.rows.size(); ++i) {
        const quint8 depId = quint8(r.intValue(i, "DepID"));
        const qint32 iconNo = r.intValue(i, "IconNo");
        const QString name = r.textValue(i, "Name");
        m_caches[ProductionDepts].insert(depId, CListItem(depId, name, iconNo, depId == 0 ? 157 : iconNo + 157));
        addItem(menu, name, ProductionDeptCommand(depId));
    }
}

void CZqApp::loadProductionTags()
{
    const QueryResult r =
        ReadQuery(QStringLiteral("SELECT TagID, Name, Color, Type FROM ProductionTags ORDER BY Sort, Name"));
    for (int i = 0; i < r.rows.size(); ++i) {
        const quint8 tagId = quint8(r.intValue(i, "TagID"));
        const qint32 color = r.intValue(i, "Color");
        const QString name = r.textValue(i, "Name");
        const int icon = tagId == 0 ? 255 : qMax(color + 104, 105);
        m_caches[ProductionTags].insert(tagId, CListItem(tagId, name, color, icon));
        // Tag 0 (no tag) stands in both menus; the others by their type.
        const bool typed = r.intValue(i, "Type") != 0;
        if (tagId == 0 || typed)
            addItem(m_menus[TagsAMenu].get(), name, TagCommand(tagId));
        if (tagId == 0 || !typed)
            addItem(m_menus[TagsBMenu].get(), name, TagCommand(tagId));
    }
}

void CZqApp::BuildPopupMenus()
{
    if (m_menus[JobStatusMenu])
        return;
    for (auto &menu : m_menus)
        menu = std::make_unique<QMenu>();

    QMenu *jobStatus = m_menus[JobStatusMenu].get();
    const QStringList jobStatuses = {QStringLiteral("In Progress"), QStringLiteral("On Hold"),
                                     QStringLiteral("Ready to Ship")};
    for (int i = 0; i < jobStatuses.size(); ++i)
        addItem(jobStatus, jobStatuses[i], JobStatusCommand(i));

    // Schedule statuses, and the service departments after the first as the
    // production steps an item can wait at.
    QMenu *schedule = m_menus[ScheduleStatusMenu].get();
    QString name;
    for (int status = 0; status <= 3; ++status) {
        GetScheduleStatusName(name, quint8(status));
        addItem(schedule, name, ScheduleStatusCommand(status));
    }
    schedule->addSeparator();
    GetScheduleStatusName(name, 4);
    addItem(schedule, name, ScheduleStatusCommand(4));
    for (int i = 1; i < DepartmentList.size(); ++i)
        addItem(schedule, DepartmentList[i].m_text, ScheduleDepartmentCommand(DepartmentList[i].m_value));
    schedule->addSeparator();
    GetScheduleStatusName(name, 17);
    addItem(schedule, name, ScheduleStatusCommand(17));

    // The next sixteen days; the last one stands for any later day.
    QMenu *dates = m_menus[DatesMenu].get();
    const DateTime today = GetToday();
    for (int d = 0; d <= 15; ++d) {
        const DateTime day = today.addDays(d);
        QString text = day.format(QStringLiteral("%m/%d/%y "));
        if (d == 0)
            text += QStringLiteral("Today");
        else if (d == 15)
            text += QStringLiteral(" or Later");
        else
            text += day.format(QStringLiteral("%A"));
        addItem(dates, text, DateCommand(d));
        if (d == 0 || d == 7 || d == 15)
            dates->addSeparator();
    }
    addItem(dates, QStringLiteral("Done"), kDateDoneCommand);

    loadEmployees();
    loadProductionDepts();
    loadProductionTags();

    QMenu *inventory = m_menus[InventoryStatusMenu].get();
    for (int status = 0; status <= 12; ++status) {
        if (status == 10)
            inventory->addSeparator();
        GetStockStatusName(name, quint8(status));
        addItem(inventory, name, InventoryStatusCommand(status));
    }
    // The ninth menu stays empty: the ribbon fills it each time it shows it.
}
