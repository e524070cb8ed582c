#pragma once

#include <QtCore/QList>
#include <QtCore/QSet>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The rules of the departments and categories organiser that need no window:
// which category types may be added, the number a new category gets, the
// free department number, and the save of the whole arrangement.

// The most departments a shop may have (numbers 1 to 12).
inline constexpr int kMostDepartments = 12;
// Names as the tables keep them.
inline constexpr int kDepartmentNameLength = 50;
inline constexpr int kCategoryNameLength = 30;

// One type offered in "New Category": its option text and its numbers. A
// fixed type has first == last and is offered only while that number is
// free; a ranged type takes one more than the highest number in (after,
// last) and `first` when there is none.
struct CategoryType
{
    QString text;
    qint32 after = 0;
    qint32 first = 0;
    qint32 last = 0;
    bool fixed() const { return first == last; }
    // The type's name: its option text without the remark in brackets.
    QString name() const { return text.section(QLatin1Char('('), 0, 0).simplified(); }
};

// Every type in the order the dialog offers them.
const QList<CategoryType> &CategoryTypes();
// The types offered while the categories given exist.
QList<CategoryType> OfferedCategoryTypes(const QSet<qint32> &existing);
// The number a new category of the type gets; 0 when the type's range is
// used up (the rule gives a number already in use).
qint32 NextCategoryNumber(const CategoryType &type, const QSet<qint32> &existing);

// The smallest department number 1..12 that is not in use; 0 when none is free.
qint32 FreeDepartmentNumber(const QSet<qint32> &used);

// The arrangement of the organiser's tree: departments in order, each with
// its colour (0-11) and its categories in order.
struct OrganisedCategory
{
    qint32 catNo = 0;
    QString name;
};
struct OrganisedDepartment
{
    qint32 depNo = 0;
    QString name;
    int colour = 0;
    QList<OrganisedCategory> categories;
};

// Writes the arrangement in one transaction: departments numbered 1, 2, 3 ...
// in order, categories numbered 1, 2, 3 ... over all departments, each row
// updated when the table had it when the organiser opened (knownDepartments,
// knownCategories) and inserted otherwise, then the deleted categories and
// departments removed. Names are bound, never spliced into the statement,
// and cut to the columns' lengths. On a failure nothing is written, the error
// is shown and the result is false.
bool SaveOrganisation(const QList<OrganisedDepartment> &departments, const QSet<qint32> &knownDepartments,
                      const QSet<qint32> &knownCategories, const QList<qint32> &deletedCategories,
                      const QList<qint32> &deletedDepartments);

// The number of services in a department (or, with category set, in one
// category); the organiser refuses to delete either while it is above 0.
int CountServicesIn(qint32 number, bool category);
