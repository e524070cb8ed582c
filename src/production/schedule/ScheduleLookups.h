#pragma once

#include <QtCore/QDate>
#include <QtCore/QHash>
#include <QtCore/QString>

#include <array>
#include <limits>
#include <cstdint>

class CZqApp;

// The names, icons and cell texts a schedule list asks for row after row,
// each worked out once per fill: the application's code lookups (statuses,
// departments, categories, services, operators, tags, priorities) and the
// texts of dates, times and quantities. A value shared this way is one string
// for every row that shows it. Made for one fill and thrown away with it, so
// a code table reloaded in between is always seen.
class ScheduleLookups
{
public:
    // The code lookups need the application (the texts do not).
    explicit ScheduleLookups(CZqApp *app) : m_app(app) {}

    // The schedule status's name and icon.
    const QString &ScheduleStatusName(int status);
    int ScheduleStatusIcon(int status);
    // The service department of a category (0 when unknown).
    int CategoryDepartment(int catNo);
    const QString &DepartmentName(int depNo);
    int DepartmentIcon(int depNo);
    // "Category: Service" of a service.
    const QString &ServiceFullName(int serNo);
    // The category's icon for a service to do (status above 0) or done.
    int CategoryStateIcon(int catNo, int status);
    const QString &EmployeeName(int empNo);

    // An operator, tag or priority code cell: the name and icon, and the
    // value the application's lookup answers (0: nothing to show).
    struct Code
    {
        QString name;
        int icon = -1;
        int shown = 0;
    };
    const Code &Employee(int empNo);
    const Code &Tag(int tag);
    const Code &Priority(int priority);

    // "MM/dd/yyyy", "?" for an invalid date.
    const QString &DateText(const QDate &date);
    // Hours and minutes of a time, and the minutes read back from that text
    // (what a heading's total adds up).
    const QString &MinutesText(int minutes);
    int MinutesReadBack(int minutes);
    // A quantity with thousands separators, empty for 0.
    const QString &QuantityText(int quantity);

private:
    struct Status
    {
        bool known = false;
        QString name;
        int icon = -1;
    };
    struct Department
    {
        QString name;
        int icon = 0;
    };
    struct Minutes
    {
        QString text;
        int readBack = 0;
    };
    struct CodeSlot
    {
        bool known = false;
        Code code;
    };
    const Minutes &MinutesOf(int minutes);

    CZqApp *m_app;
    std::array<Status, 256> m_statuses;
    std::array<CodeSlot, 256> m_employees;
    std::array<CodeSlot, 256> m_tags;
    std::array<CodeSlot, 256> m_priorities;
    std::array<CodeSlot, 256> m_employeeNames;
    QHash<int, int> m_categoryDepartments;
    QHash<int, Department> m_departments;
    QHash<int, QString> m_serviceNames;
    QHash<int, int> m_categoryIcons;
    QHash<qint64, QString> m_dates;
    QHash<int, Minutes> m_minutes;
    QHash<int, QString> m_quantities;
};
