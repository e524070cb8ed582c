#include "reports/CompanyPieRules.h"

#include "app/base/MoneyText.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

namespace {

QString AndCondition(const QString &rangeCondition)
{
    return rangeCondition.trimmed().isEmpty() ? QString() : QStringLiteral("and ") + rangeCondition;
}

} // namespace

QStringList CompanyPieCaptions()
{
    return {QStringLiteral("Top Customers"),      QStringLiteral("Top Departments"),
            QStringLiteral("Top Categories"),     QStringLiteral("Top Products"),
            QStringLiteral("Top Business Types"), QStringLiteral("Top Customer Sources"),
            QStringLiteral("Top Service Reps"),   QStringLiteral("Top Sales Reps")};
}

QStringList CompanyPieStatements(const QString &rangeCondition)
{
    const QString c = AndCondition(rangeCondition);
    const QString s = QStringLiteral(", SUM(Jobs.Subtotal+Jobs.Discount) as [Net}Pp] ");
    const QString o = QStringLiteral("ORDER BY SUM(Jobs.Subtotal+Jobs.Discount) DESC");
    return {
        QStringLiteral("SELECT TOP 5 Customers.Name") + s
            + QStringLiteral("FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo WHERE Jobs.JobType = 3 ") + c
            + QStringLiteral("GROUP BY Customers.Name, Jobs.JobType ") + o,
        QStringLiteral("SELECT TOP 5 SalesDepartments.Name as [Department], SUM(Items.Price)FROM Jobs INNER JOIN "
                       "((SalesDepartments INNER JOIN Services ON SalesDepartments.[No] = Services.SaleDept) INNER JOIN "
                       "Items ON Services.SerNo = Items.SerNo) ON Jobs.JobID = Items.JobID WHERE Jobs.JobType = 3 and "
                       "Items.SerNo > 0 ")
            + c + QStringLiteral("GROUP BY SalesDepartments.Name ORDER BY SUM(Items.Price) DESC"),
        QStringLiteral("SELECT TOP 5 ServiceCategories.CatName, SUM(Items.Price) FROM ServiceCategories INNER JOIN (Jobs "
                       "INNER JOIN (Services INNER JOIN Items ON Services.SerNo = Items.SerNo) ON Jobs.JobID = "
                       "Items.JobID) ON ServiceCategories.CatNo = Services.CatNo WHERE Jobs.JobType = 3 and Items.SerNo "
                       "> 0 ")
            + c + QStringLiteral("GROUP BY ServiceCategories.CatName ORDER BY SUM(Items.Price) DESC"),
        QStringLiteral("SELECT TOP 5 ProductTypes.Name, SUM(Items.Price) FROM ((ProductTypes INNER JOIN Items ON "
                       "ProductTypes.[No] = Items.Side1) INNER JOIN Jobs ON Jobs.JobID = Items.JobID) INNER JOIN Services "
                       "ON Services.SerNo = Items.SerNo WHERE Jobs.JobType = 3 and Items.SerNo = 0 ")
            + c + QStringLiteral("GROUP BY ProductTypes.Name ORDER BY SUM(Items.Price) DESC"),
        QStringLiteral("SELECT TOP 5 BusinessTypes.Name") + s
            + QStringLiteral("FROM (BusinessTypes INNER JOIN Customers ON BusinessTypes.[No] = Customers.Business) INNER "
                             "JOIN Jobs ON Customers.CusNo = Jobs.CusNo WHERE Jobs.JobType = 3 ")
            + c + QStringLiteral("GROUP BY BusinessTypes.Name, Jobs.JobType ") + o,
        QStringLiteral("SELECT TOP 5 CustomerSources.Name") + s
            + QStringLiteral("FROM (CustomerSources INNER JOIN Customers ON CustomerSources.[No] = Customers.Source) "
                             "INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo WHERE Jobs.JobType = 3 ")
            + c + QStringLiteral("GROUP BY CustomerSources.Name, Jobs.JobType ") + o,
        QStringLiteral("SELECT TOP 5 Employees.Name") + s
            + QStringLiteral("FROM Employees INNER JOIN Jobs ON Employees.EmpNo = Jobs.CSRNo WHERE Jobs.JobType = 3 ") + c
            + QStringLiteral("GROUP BY Employees.Name, Jobs.JobType ") + o,
        QStringLiteral("SELECT TOP 5 Employees.Name, SUM(Jobs.Subtotal+Jobs.Discount) as [Net Sale] FROM Employees "
                       "INNER JOIN Jobs ON Employees.EmpNo = Jobs.SRepNo WHERE Jobs.JobType = 3 ")
            + c + QStringLiteral("GROUP BY Employees.Name, Jobs.JobType ") + o,
    };
}

Money CompanyPieTotal(platform::Database &db, const QString &rangeCondition)
{
    try {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT SUM(Subtotal+Discount) as [Amount] FROM Jobs WHERE JobType = 3 ")
                    + AndCondition(rangeCondition));
        if (rs.isEOF() || rs.value(0).isNull())
            return Money();
        return rs.value(0).toMoney();
    } catch (const platform::DbException &) {
        return Money();
    }
}

QList<PieSlice> CompanyPieSlices(platform::Database &db, const QString &sql, Money total)
{
    QList<PieSlice> slices;
    if (total.isZero())
        return slices;
    std::int64_t sum = 0;
    int palette = 54;
    try {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, sql);
        for (; !rs.isEOF(); rs.moveNext()) {
            const platform::Value amountValue = rs.value(1);
            const Money amount = amountValue.isNull() ? Money() : amountValue.toMoney();
            slices.append(PieSlice{rs.value(0).toString(), amount, palette++});
            sum += amount.units();
        }
    } catch (const platform::DbException &) {
        return {};
    }
    const std::int64_t rest = total.units() - sum;
    if (rest > 0)
        slices.append(PieSlice{QStringLiteral("Others"), Money::fromUnits(rest), palette});
    return slices;
}

QString CompanyPieSalesCaption(Money total)
{
    return QStringLiteral("Net Sales $") + GroupThousands(FormatCurrency(total, 0));
}
