#include "catalogue/OrganizeRules.h"

#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

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

bool SaveOrganisation(const QList<OrganisedDepartment> &departments, const QSet<qint32> &knownDepartments,
                      const QSet<qint32> &knownCategories, const QList<qint32> &deletedCategories,
                      const QList<qint32> &deletedDepartments)
{
    // A number deleted and then given again belongs to the new entry.
    QSet<qint32> inTreeDepartments;
    QSet<qint32> inTreeCategories;
    for (const OrganisedDepartment &department : departments) {
        inTreeDepartments.insert(department.depNo);
        for (const OrganisedCategory &category : department.categories)
            inTreeCategories.insert(category.catNo);
    }
    platform::Database &db = SharedDatabase();
    try {
        platform::Transaction transaction(db);
        qint32 d = 0;
        qint32 c = 0;
        for (const OrganisedDepartment &department : departments) {
            ++d;
            const QString name = department.name.left(kDepartmentNameLength);
            if (knownDepartments.contains(department.depNo))
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
                if (knownCategories.contains(category.catNo))
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
        for (qint32 catNo : deletedCategories)
            if (!inTreeCategories.contains(catNo))
                db.execute(QStringLiteral("DELETE FROM ServiceCategories WHERE CatNo = ?"), {Value(catNo)});
        for (qint32 depNo : deletedDepartments)
            if (!inTreeDepartments.contains(depNo))
                db.execute(QStringLiteral("DELETE FROM ServiceDepartments WHERE DepNo = ?"), {Value(depNo)});
        transaction.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save ServiceCategories"));
        return false;
    }
    return true;
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
