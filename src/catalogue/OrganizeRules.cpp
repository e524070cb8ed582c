#include "catalogue/OrganizeRules.h"

#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "platform/Prompt.h"

#include <QtCore/QHash>

using platform::Value;

const QList<CategoryType> &CategoryTypes()
{
    static const QList<CategoryType> types = {
        {QStringLiteral("Paper"), 117, 118, 199},
        {QStringLiteral("Offset Press or Digital Printer    (Production Difficulty Table may be used)"), 201, 202, 299},
        {QStringLiteral("Digital Printer") + QString(31, QLatin1Char(' '))
             + QStringLiteral("(Production Difficulty Table is not used)"),
         301, 302, 399},
        {QStringLiteral("Carbonless"), 0, 105, 105},
        {QStringLiteral("Envelope"), 0, 113, 113},
        {QStringLiteral("Plate"), 0, 6, 6},
        {QStringLiteral("Proof"), 0, 7, 7},
        {QStringLiteral("Quick Sale"), 0, 999, 999},
        {QStringLiteral("Other"), 600, 601, 999},
    };
    return types;
}

QList<CategoryType> OfferedCategoryTypes(const QSet<qint32> &existing)
{
    QList<CategoryType> offered;
    for (const CategoryType &type : CategoryTypes())
        if (!type.fixed() || !existing.contains(type.first))
            offered << type;
    return offered;
}

qint32 NextCategoryNumber(const CategoryType &type, const QSet<qint32> &existing)
{
    qint32 number = type.first;
    if (!type.fixed()) {
        qint32 highest = 0;
        for (qint32 n : existing)
            if (n > type.after && n < type.last && n > highest)
                highest = n;
        if (highest > 0)
            number = highest + 1;
    }
    return existing.contains(number) ? 0 : number;
}

qint32 FreeDepartmentNumber(const QSet<qint32> &used)
{
    for (qint32 n = 1; n <= kMostDepartments; ++n)
        if (!used.contains(n))
            return n;
    return 0;
}

namespace {

struct FlatDepartment
{
    QString name;
    int colour = 0;
};
struct FlatCategory
{
    QString name;
    qint32 depNo = 0;
};
// An arrangement as rows: departments and categories by number, and their
// orders (categories over all departments in tree order).
struct Flat
{
    QList<qint32> departmentOrder;
    QHash<qint32, FlatDepartment> departments;
    QList<qint32> categoryOrder;
    QHash<qint32, FlatCategory> categories;
};

Flat flatten(const QList<OrganisedDepartment> &tree)
{
    Flat flat;
    for (const OrganisedDepartment &d : tree) {
        flat.departmentOrder << d.depNo;
        flat.departments.insert(d.depNo, {d.name, d.colour});
        for (const OrganisedCategory &c : d.categories) {
            flat.categoryOrder << c.catNo;
            flat.categories.insert(c.catNo, {c.name, d.depNo});
        }
    }
    return flat;
}

// The entries of `order` that `keep` holds, in that order.
template <typename Hash>
QList<qint32> kept(const QList<qint32> &order, const Hash &keep)
{
    QList<qint32> out;
    for (qint32 n : order)
        if (keep.contains(n))
            out << n;
    return out;
}

// The type a category number belongs to: a fixed type by its number, else
// the range that holds it; null when none does.
const CategoryType *typeOf(qint32 catNo)
{
    for (const CategoryType &type : CategoryTypes())
        if (type.fixed() && type.first == catNo)
            return &type;
    for (const CategoryType &type : CategoryTypes())
        if (!type.fixed() && catNo >= type.first && catNo <= type.last)
            return &type;
    return nullptr;
}

} // namespace

namespace {

QList<OrganisedDepartment> readOrganisation(platform::Database &db)
{
    QList<OrganisedDepartment> tree;
    {
        platform::Recordset departments(db);
        departments.open(platform::Recordset::Type::Snapshot,
                         QStringLiteral("SELECT DepNo, DepName, IconNo FROM ServiceDepartments WHERE DepNo <> 0 "
                                        "ORDER BY SortNo, DepNo"));
        QHash<qint32, int> at;
        for (; !departments.isEOF(); departments.moveNext()) {
            OrganisedDepartment d;
            d.depNo = departments.value(0).toInt();
            d.name = departments.value(1).toString();
            d.colour = departments.value(2).toInt();
            at.insert(d.depNo, int(tree.size()));
            tree << d;
        }
        platform::Recordset categories(db);
        categories.open(platform::Recordset::Type::Snapshot,
                        QStringLiteral("SELECT CatNo, DepNo, CatName FROM ServiceCategories ORDER BY SortNo, CatNo"));
        for (; !categories.isEOF(); categories.moveNext()) {
            const auto d = at.constFind(categories.value(1).toInt());
            if (d != at.constEnd())
                tree[*d].categories << OrganisedCategory{categories.value(0).toInt(), categories.value(2).toString()};
        }
    }
    return tree;
}

} // namespace

QList<OrganisedDepartment> ReadOrganisation()
{
    try {
        return readOrganisation(SharedDatabase());
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
        return {};
    }
}

OrganisationMerge MergeOrganisation(const QList<OrganisedDepartment> &readTree, const QList<OrganisedDepartment> &mineTree,
                                    const QList<OrganisedDepartment> &nowTree, bool keepMine)
{
    const Flat read = flatten(readTree);
    const Flat mine = flatten(mineTree);
    const Flat now = flatten(nowTree);
    OrganisationMerge out;
    // A field of a row both sides have: this user's change over what is
    // there now; both changed apart, asked.
    const auto settle = [&](const QString &row, const QString &field, const auto &r, const auto &m, const auto &n,
                            auto shown) {
        if (m == r || m == n)
            return n;
        if (n == r)
            return m;
        out.bothChanged << CXDaoSet::BothChangedLine(row + QStringLiteral(", ") + field, shown(n), shown(m));
        return keepMine ? m : n;
    };
    const auto asText = [](const QString &t) { return t; };
    const auto asNumber = [](int v) { return QString::number(v); };

    // Departments.
    QHash<qint32, FlatDepartment> departments;
    QHash<qint32, qint32> renumbered; // this user's new department: number chosen -> number given
    QSet<qint32> taken;
    for (auto it = now.departments.cbegin(); it != now.departments.cend(); ++it)
        taken.insert(it.key());
    for (auto it = mine.departments.cbegin(); it != mine.departments.cend(); ++it)
        taken.insert(it.key());
    for (qint32 depNo : mine.departmentOrder) {
        const FlatDepartment &m = mine.departments[depNo];
        if (read.departments.contains(depNo)) {
            const FlatDepartment &r = read.departments[depNo];
            if (!now.departments.contains(depNo)) {
                out.notes << QStringLiteral("\"%1\" was deleted by another user.").arg(r.name);
                continue;
            }
            const FlatDepartment &n = now.departments[depNo];
            departments.insert(depNo, {settle(r.name, QStringLiteral("Name"), r.name, m.name, n.name, asText),
                                       settle(r.name, QStringLiteral("Color"), r.colour, m.colour, n.colour, asNumber)});
            continue;
        }
        qint32 number = depNo;
        if (now.departments.contains(depNo)) {
            number = FreeDepartmentNumber(taken);
            if (number == 0) {
                out.notes << QStringLiteral("\"%1\" was not added: another user added a department, and you can add "
                                            "up to %2 departments.")
                                 .arg(m.name)
                                 .arg(kMostDepartments);
                continue;
            }
            taken.insert(number);
            out.notes << QStringLiteral("\"%1\" was added as department %2: another user took %3 meanwhile.")
                             .arg(m.name)
                             .arg(number)
                             .arg(depNo);
        }
        renumbered.insert(depNo, number);
        departments.insert(number, m);
    }
    QList<qint32> goneDepartments;
    for (qint32 depNo : now.departmentOrder) {
        if (departments.contains(depNo))
            continue;
        if (read.departments.contains(depNo) && !mine.departments.contains(depNo))
            goneDepartments << depNo; // deleted here: goes unless it still holds categories
        else if (!read.departments.contains(depNo))
            departments.insert(depNo, now.departments[depNo]); // added by the other user
    }
    const auto departmentOf = [&](qint32 mineDepNo) {
        return read.departments.contains(mineDepNo) ? mineDepNo : renumbered.value(mineDepNo, -1);
    };
    const auto departmentName = [&](qint32 depNo) {
        if (departments.contains(depNo))
            return departments[depNo].name;
        return now.departments.contains(depNo) ? now.departments[depNo].name : read.departments.value(depNo).name;
    };

    // Categories.
    QHash<qint32, FlatCategory> categories;
    QHash<qint32, qint32> renumberedCategories;
    QSet<qint32> takenCategories;
    for (auto it = now.categories.cbegin(); it != now.categories.cend(); ++it)
        takenCategories.insert(it.key());
    for (auto it = mine.categories.cbegin(); it != mine.categories.cend(); ++it)
        takenCategories.insert(it.key());
    for (qint32 catNo : mine.categoryOrder) {
        const FlatCategory &m = mine.categories[catNo];
        const qint32 mineDepNo = departmentOf(m.depNo);
        if (read.categories.contains(catNo)) {
            const FlatCategory &r = read.categories[catNo];
            if (!now.categories.contains(catNo)) {
                out.notes << QStringLiteral("\"%1\" was deleted by another user.").arg(r.name);
                continue;
            }
            const FlatCategory &n = now.categories[catNo];
            qint32 depNo = n.depNo;
            if (mineDepNo != r.depNo && mineDepNo != n.depNo) {
                if (n.depNo != r.depNo) {
                    out.bothChanged << CXDaoSet::BothChangedLine(r.name + QStringLiteral(", Department"),
                                                                 departmentName(n.depNo), departmentName(mineDepNo));
                    depNo = keepMine ? mineDepNo : n.depNo;
                } else {
                    depNo = mineDepNo;
                }
            }
            if (depNo < 0 || (!departments.contains(depNo) && !goneDepartments.contains(depNo))) {
                out.notes << QStringLiteral("\"%1\" stays in \"%2\": the department it was moved to is gone.")
                                 .arg(r.name, departmentName(n.depNo));
                depNo = n.depNo;
            }
            categories.insert(catNo, {settle(r.name, QStringLiteral("Name"), r.name, m.name, n.name, asText), depNo});
            continue;
        }
        if (mineDepNo < 0 || !departments.contains(mineDepNo)) {
            out.notes << QStringLiteral("\"%1\" was not added: its department is gone.").arg(m.name);
            continue;
        }
        qint32 number = catNo;
        if (now.categories.contains(catNo)) {
            const CategoryType *type = typeOf(catNo);
            number = type ? NextCategoryNumber(*type, takenCategories) : 0;
            if (number == 0) {
                out.notes << QStringLiteral("\"%1\" was not added: another user added category %2 meanwhile.")
                                 .arg(m.name)
                                 .arg(catNo);
                continue;
            }
            takenCategories.insert(number);
            out.notes << QStringLiteral("\"%1\" was added as category %2: another user took %3 meanwhile.")
                             .arg(m.name)
                             .arg(number)
                             .arg(catNo);
        }
        renumberedCategories.insert(catNo, number);
        categories.insert(number, {m.name, mineDepNo});
    }
    for (qint32 catNo : now.categoryOrder) {
        if (categories.contains(catNo))
            continue;
        if (read.categories.contains(catNo) && !mine.categories.contains(catNo))
            out.deletedCategories << catNo;
        else if (!read.categories.contains(catNo)) {
            const FlatCategory &n = now.categories[catNo];
            if (departments.contains(n.depNo) || goneDepartments.contains(n.depNo))
                categories.insert(catNo, n); // added by the other user
        }
    }
    // A department deleted here that another user filled meanwhile stays.
    for (qint32 depNo : goneDepartments) {
        bool holds = false;
        for (auto it = categories.cbegin(); it != categories.cend() && !holds; ++it)
            holds = it->depNo == depNo;
        if (holds) {
            departments.insert(depNo, now.departments[depNo]);
            out.notes << QStringLiteral("\"%1\" was not deleted: another user put a category in it.")
                             .arg(now.departments[depNo].name);
        } else {
            out.deletedDepartments << depNo;
        }
    }

    // The order: this user's where this user moved something, else the
    // other user's; what only one side has goes at the end, in its order.
    const auto numbersOf = [](const QList<qint32> &order, const QHash<qint32, qint32> &map) {
        QList<qint32> out;
        for (qint32 n : order)
            out << map.value(n, n);
        return out;
    };
    const auto order = [&](const QList<qint32> &readOrder, const QList<qint32> &mineOrder,
                           const QList<qint32> &nowOrder, const auto &final) {
        const QList<qint32> mineOld = kept(mineOrder, QSet<qint32>(readOrder.cbegin(), readOrder.cend()));
        const QList<qint32> readKept = kept(readOrder, QSet<qint32>(mineOrder.cbegin(), mineOrder.cend()));
        const bool movedHere = mineOld != readKept;
        QList<qint32> result = kept(movedHere ? mineOrder : nowOrder, final);
        for (qint32 n : kept(movedHere ? nowOrder : mineOrder, final))
            if (!result.contains(n))
                result << n;
        for (auto it = final.cbegin(); it != final.cend(); ++it)
            if (!result.contains(it.key()))
                result << it.key();
        return result;
    };
    const QList<qint32> departmentOrder =
        order(read.departmentOrder, numbersOf(mine.departmentOrder, renumbered), now.departmentOrder, departments);
    const QList<qint32> categoryOrder = order(read.categoryOrder, numbersOf(mine.categoryOrder, renumberedCategories),
                                              now.categoryOrder, categories);
    for (qint32 depNo : departmentOrder) {
        OrganisedDepartment d;
        d.depNo = depNo;
        d.name = departments[depNo].name;
        d.colour = departments[depNo].colour;
        for (qint32 catNo : categoryOrder)
            if (categories[catNo].depNo == depNo)
                d.categories << OrganisedCategory{catNo, categories[catNo].name};
        out.merged << d;
    }
    return out;
}

bool SaveOrganisation(const QList<OrganisedDepartment> &mine, QList<OrganisedDepartment> &read)
{
    platform::Database &db = SharedDatabase();
    try {
        QList<OrganisedDepartment> now = readOrganisation(db);
        for (int round = 0;; ++round) {
            // Settled (and asked) before the write lock is taken.
            OrganisationMerge merge = MergeOrganisation(read, mine, now);
            if (!merge.bothChanged.isEmpty()) {
                const int answer = CXDaoSet::AskAboutBothChanged(merge.bothChanged);
                if (answer != platform::IDYES && answer != platform::IDNO)
                    return false; // cancelled: nothing saved
                merge = MergeOrganisation(read, mine, now, answer == platform::IDYES);
            }
            platform::Transaction transaction(db);
            const QList<OrganisedDepartment> stored = readOrganisation(db);
            if (round < 5 && stored != now) {
                now = stored;
                continue; // saved again meanwhile: settled again (the lock is let go first)
            }
            const Flat was = flatten(stored);
            qint32 d = 0;
            qint32 c = 0;
            for (const OrganisedDepartment &department : merge.merged) {
                ++d;
                const QString name = department.name.left(kDepartmentNameLength);
                if (was.departments.contains(department.depNo))
                    db.execute(QStringLiteral("UPDATE ServiceDepartments SET DepName = ?, IconNo = ?, SortNo = ? "
                                              "WHERE [DepNo] = ?"),
                               {Value(name), Value(department.colour), Value(d), Value(department.depNo)});
                else
                    db.execute(QStringLiteral("INSERT INTO ServiceDepartments ([DepNo], DepName, IconNo, SortNo) "
                                              "VALUES (?, ?, ?, ?)"),
                               {Value(department.depNo), Value(name), Value(department.colour), Value(d)});
                for (const OrganisedCategory &category : department.categories) {
                    ++c;
                    const QString catName = category.name.left(kCategoryNameLength);
                    const int icon = department.colour + 48;
                    if (was.categories.contains(category.catNo))
                        db.execute(QStringLiteral("UPDATE ServiceCategories SET [DepNo] = ?, CatName = ?, IconNo = ?, "
                                                  "SortNo = ? WHERE CatNo = ?"),
                                   {Value(department.depNo), Value(catName), Value(icon), Value(c),
                                    Value(category.catNo)});
                    else
                        db.execute(QStringLiteral("INSERT INTO ServiceCategories ([DepNo], CatNo, CatName, IconNo, "
                                                  "SortNo) VALUES (?, ?, ?, ?, ?)"),
                                   {Value(department.depNo), Value(category.catNo), Value(catName), Value(icon),
                                    Value(c)});
                }
            }
            // A category given services meanwhile is not deleted.
            for (qint32 catNo : merge.deletedCategories)
                db.execute(QStringLiteral("DELETE FROM ServiceCategories WHERE CatNo = ? AND NOT EXISTS (SELECT "
                                          "SerNo FROM Services WHERE Services.CatNo = ?)"),
                           {Value(catNo), Value(catNo)});
            for (qint32 depNo : merge.deletedDepartments)
                db.execute(QStringLiteral("DELETE FROM ServiceDepartments WHERE DepNo = ? AND NOT EXISTS (SELECT "
                                          "CatNo FROM ServiceCategories WHERE ServiceCategories.DepNo = ?)"),
                           {Value(depNo), Value(depNo)});
            transaction.commit();
            read = merge.merged;
            if (!merge.notes.isEmpty())
                platform::Prompt::messageBox(merge.notes.join(QLatin1Char('\n')), QStringLiteral("Saved by another user"),
                                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return true;
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save ServiceCategories"));
        return false;
    }
}

int CountServicesIn(qint32 number, bool category)
{
    const QString sql = QStringLiteral(
        "SELECT Count(Services.CatNo) FROM (ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = "
        "Services.CatNo) INNER JOIN ServiceDepartments ON ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE ")
                        + (category ? QStringLiteral("Services.CatNo = ?") : QStringLiteral("ServiceCategories.DepNo = ?"));
    try {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, sql, {Value(number)});
        return rs.isEOF() ? 0 : int(rs.value(0).toInt());
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
        return -1;
    }
}
