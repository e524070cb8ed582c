#pragma once

#include <QtCore/QList>
#include <QtCore/QSet>
#include <QtCore/QString>
#include <QtCore/QStringList>
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
    bool operator==(const OrganisedCategory &) const = default;
};
struct OrganisedDepartment
{
    qint32 depNo = 0;
    QString name;
    int colour = 0;
    QList<OrganisedCategory> categories;
    bool operator==(const OrganisedDepartment &) const = default;
};

// The arrangement as the tables hold it now: the departments but the
// placeholder 0 in their order, each with its categories in order, the
// colour as stored. Empty when it cannot be read (the error is shown).
QList<OrganisedDepartment> ReadOrganisation();

// What a save makes of the arrangement this user left (`mine`), the one
// the organiser opened with (`read`) and the one the tables hold now
// (`now`): only what this user changed is taken onto what is there now.
// A name, colour or category's department that both users changed apart
// is a line of `bothChanged` (the row and field as the organiser shows
// them), settled by `keepMine`: yours, or the other user's when false.
// Entries this user added take the next free number when another user
// took theirs meanwhile; entries this user deleted go, those another user
// added stay; the order is this user's when this user moved something,
// else the other user's, with the entries only one side has at the end.
// What could not be done as asked is said in `notes`.
struct OrganisationMerge
{
    QList<OrganisedDepartment> merged;
    QList<qint32> deletedDepartments;
    QList<qint32> deletedCategories;
    QStringList bothChanged;
    QStringList notes;
};
OrganisationMerge MergeOrganisation(const QList<OrganisedDepartment> &read, const QList<OrganisedDepartment> &mine,
                                    const QList<OrganisedDepartment> &now, bool keepMine = true);

// Saves the arrangement the user left over the one the organiser opened
// with (`read`), onto the tables as they are now: only what this user
// changed is written, a field both changed is asked about ("Saved by
// another user"; Cancel saves nothing and gives false), and the whole is
// written in one transaction: departments numbered 1, 2, 3 ... in order,
// categories 1, 2, 3 ... over all departments, each picture following its
// department. Names are bound, never spliced into the statement, and cut
// to the columns' lengths. A category that holds services is not deleted.
// On a failure nothing is written, the error is shown and the result is
// false. On success `read` becomes what was saved.
bool SaveOrganisation(const QList<OrganisedDepartment> &mine, QList<OrganisedDepartment> &read);

// The number of services in a department (or, with category set, in one
// category); the organiser refuses to delete either while it is above 0.
int CountServicesIn(qint32 number, bool category);
