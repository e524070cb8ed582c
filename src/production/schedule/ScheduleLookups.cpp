#include "production/schedule/ScheduleLookups.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "production/schedule/ScheduleLists.h"

const QString &ScheduleLookups::ScheduleStatusName(int status)
{
    Status &s = m_statuses[quint8(status)];
    if (!s.known) {
        m_app->GetScheduleStatusName(s.name, quint8(status));
        s.icon = m_app->GetScheduleStatusIcon(quint8(status));
        s.known = true;
    }
    return s.name;
}

int ScheduleLookups::ScheduleStatusIcon(int status)
{
    ScheduleStatusName(status);
    return m_statuses[quint8(status)].icon;
}

int ScheduleLookups::CategoryDepartment(int catNo)
{
    auto it = m_categoryDepartments.constFind(catNo);
    if (it == m_categoryDepartments.constEnd())
        it = m_categoryDepartments.insert(catNo, m_app->GetCategoryDepartment(catNo));
    return it.value();
}

const QString &ScheduleLookups::DepartmentName(int depNo)
{
    auto it = m_departments.find(depNo);
    if (it == m_departments.end())
        it = m_departments.insert(depNo, {m_app->GetDepartmentName(depNo), m_app->GetDepartmentIcon(depNo)});
    return it->name;
}

int ScheduleLookups::DepartmentIcon(int depNo)
{
    DepartmentName(depNo);
    return m_departments.value(depNo).icon;
}

const QString &ScheduleLookups::ServiceFullName(int serNo)
{
    auto it = m_serviceNames.find(serNo);
    if (it == m_serviceNames.end())
        it = m_serviceNames.insert(serNo, m_app->GetServiceFullName(serNo));
    return it.value();
}

int ScheduleLookups::CategoryStateIcon(int catNo, int status)
{
    // The application's icon differs only between a service done (status
    // below 1) and one to do.
    const bool done = status < 1;
    const int key = catNo * 2 + (done ? 1 : 0);
    auto it = m_categoryIcons.constFind(key);
    if (it == m_categoryIcons.constEnd())
        it = m_categoryIcons.insert(key, m_app->GetCategoryStateIcon(catNo, done ? 0 : 1));
    return it.value();
}

const QString &ScheduleLookups::EmployeeName(int empNo)
{
    CodeSlot &s = m_employeeNames[quint8(empNo)];
    if (!s.known) {
        s.code.name = m_app->GetEmployeeName(quint8(empNo));
        s.known = true;
    }
    return s.code.name;
}

namespace {

// A code's cell from the slot of its number, looked up the first time.
template <typename Slot, typename Lookup>
const auto &codeIn(Slot &slot, Lookup lookup)
{
    if (!slot.known) {
        slot.code.shown = lookup(slot.code.name, slot.code.icon);
        slot.known = true;
    }
    return slot.code;
}

} // namespace

const ScheduleLookups::Code &ScheduleLookups::Employee(int empNo)
{
    return codeIn(m_employees[quint8(empNo)], [&](QString &name, int &icon) {
        return m_app->GetEmployeeNameAndIcon(quint8(empNo), name, icon);
    });
}

const ScheduleLookups::Code &ScheduleLookups::Tag(int tag)
{
    return codeIn(m_tags[quint8(tag)],
                  [&](QString &name, int &icon) { return m_app->GetTagNameAndIcon(quint8(tag), name, icon); });
}

const ScheduleLookups::Code &ScheduleLookups::Priority(int priority)
{
    return codeIn(m_priorities[quint8(priority)], [&](QString &name, int &icon) {
        return m_app->GetStockStatusNameAndIcon(quint8(priority), name, icon);
    });
}

const QString &ScheduleLookups::DateText(const QDate &date)
{
    const qint64 day = date.isValid() ? date.toJulianDay() : std::numeric_limits<qint64>::min();
    auto it = m_dates.find(day);
    if (it == m_dates.end())
        it = m_dates.insert(day, ScheduleDateText(date));
    return it.value();
}

const ScheduleLookups::Minutes &ScheduleLookups::MinutesOf(int minutes)
{
    auto it = m_minutes.find(minutes);
    if (it == m_minutes.end()) {
        Minutes m;
        m.text = MinutesToText(minutes);
        m.readBack = HoursMinutesToInt(m.text);
        it = m_minutes.insert(minutes, m);
    }
    return it.value();
}

const QString &ScheduleLookups::MinutesText(int minutes)
{
    return MinutesOf(minutes).text;
}

int ScheduleLookups::MinutesReadBack(int minutes)
{
    return MinutesOf(minutes).readBack;
}

const QString &ScheduleLookups::QuantityText(int quantity)
{
    auto it = m_quantities.find(quantity);
    if (it == m_quantities.end())
        it = m_quantities.insert(quantity, quantity == 0 ? QString() : GroupThousands(QString::number(quantity)));
    return it.value();
}
