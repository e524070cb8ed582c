#include "jobs/ItemFinderQuery.h"

#include "app/base/SqlText.h"
#include "jobs/FindConditions.h"

QString LiteralLikePattern(const QString &text, bool starAfter, bool starBefore)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    if (starBefore)
        out.prepend(QLatin1Char('*'));
    if (starAfter)
        out += QLatin1Char('*');
    return QuoteText(out);
}

QString ItemFinderCustomerCondition(const QString &typed)
{
    const QString head = typed.left(9);
    bool alnum = !head.isEmpty();
    for (const QChar c : head)
        if (!c.isLetterOrNumber())
            alnum = false;
    const qint32 number = alnum ? head.toInt() : 0;
    if (number != 0)
        return QStringLiteral("Customers.CusNo = %1 ").arg(number);
    return QStringLiteral("Customers.Name like %1 ").arg(LiteralLikePattern(typed, true, false));
}

QString ItemFinderFrom(const ItemFinderFilter &f)
{
    if (f.serNo != 0)
        return QStringLiteral("FROM ProductTypes RIGHT JOIN ((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER "
                              "JOIN Items AS Items_1 ON (Items.ItemNo = Items_1.ItemNo) AND (Items.JobID = "
                              "Items_1.JobID)) ON ProductTypes.[No] = Items.Side1 ");
    return QStringLiteral("FROM ProductTypes RIGHT JOIN (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON "
                          "ProductTypes.[No] = Items.Side1 ");
}

QString ItemFinderWhere(const ItemFinderFilter &f)
{
    QString where;
    AppendWhere(where, QStringLiteral("Jobs.JobType = %1 and Jobs.Creator < 98 and Items.SerNo = 0").arg(f.jobType));
    if (f.cusNo != 0)
        AppendWhere(where, QStringLiteral("Jobs.CusNo = %1").arg(f.cusNo));
    // The date column comes from the dialog's own list, never from typing.
    static const QStringList dateFields{QStringLiteral("DateIn"), QStringLiteral("DateDue"),
                                        QStringLiteral("DateShipped"), QStringLiteral("DateReorder")};
    const QString field = dateFields.contains(f.dateField) ? f.dateField : QStringLiteral("DateShipped");
    if (f.dateRange == 1 && f.date1.isValid())
        AppendWhere(where, QStringLiteral("Jobs.%1 < %2").arg(field, FindDateLiteral(f.date1)));
    else if (f.dateRange == 2 && f.date1.isValid())
        AppendWhere(where, QStringLiteral("Jobs.%1 > %2").arg(field, FindDateLiteral(f.date1)));
    else if (f.dateRange == 3 && f.date1.isValid() && f.date2.isValid())
        AppendWhere(where, QStringLiteral("(Jobs.%1 between %2 and %3)")
                               .arg(field, FindDateLiteral(f.date1), FindDateLiteral(f.date2)));
    if (f.csrNo >= 0)
        AppendWhere(where, QStringLiteral("Jobs.CSRNo = %1 ").arg(f.csrNo));
    if (f.serNo != 0)
        AppendWhere(where, QStringLiteral("Items_1.SerNo=%1").arg(f.serNo));
    if (f.productType >= 0)
        AppendWhere(where, QStringLiteral("Side1 = %1 ").arg(f.productType));
    if (!f.description.isEmpty())
        AppendWhere(where, QStringLiteral("Items.Description like %1 ")
                               .arg(QuoteText(QLatin1Char('*') + f.description + QLatin1Char('*'))));
    if (!f.note.isEmpty())
        AppendWhere(where,
                    QStringLiteral("Items.Note like %1 ").arg(QuoteText(QLatin1Char('*') + f.note + QLatin1Char('*'))));
    return where;
}

int ItemFinderFitMode(int button)
{
    return button == kListByProduct ? 1 : button == kListByDescription ? 0 : 6;
}

QString ItemFinderSql(const ItemFinderFilter &f, int button)
{
    const QString a = QStringLiteral("Jobs.JobNo, Items.ItemNo, Jobs.CusNo, Jobs.DateIn, Jobs.DateShipped as [Shipped]");
    const QString b = QStringLiteral("ProductTypes.Name AS Product, Items.Description as [Item Description], "
                                     "Items.Note, Items.Sheets AS Orig, Items.ChargeQty AS Quantity, Items.Price");
    QString columns;
    QString order;
    if (button == kListByProduct) {
        columns = b + QStringLiteral(", ") + a;
        order = QStringLiteral("ProductTypes.Name, Format(Items.Description), Jobs.DateIn DESC");
    } else if (button == kListByDescription) {
        columns = QStringLiteral("Items.Description as [Item Description], ProductTypes.Name AS Product, Items.Sheets "
                                 "AS Orig, Items.ChargeQty AS Quantity, Items.Price, ") +
            a;
        order = QStringLiteral("Format(Items.Description), Jobs.DateIn DESC");
    } else {
        columns = a + QStringLiteral(", ") + b;
        order = QStringLiteral("Jobs.JobNo DESC, Items.ItemNo");
    }
    return QStringLiteral("SELECT ") + columns + QStringLiteral(", Items.ItemID ") + ItemFinderFrom(f) +
        ItemFinderWhere(f) + QStringLiteral(" ORDER BY ") + order;
}
