#include "customers/DepositRules.h"

#include "app/base/MoneyText.h"
#include "platform/db/Recordset.h"

DepositAmounts TenderedLeft(quint8 kind, Money due, Money tendered)
{
    DepositAmounts result{tendered, Money()};
    if (kind == 0) {
        if (tendered.units() < 0)
            result.tendered = -due;
        else if (tendered.units() < due.units())
            result.tendered = due;
    }
    if (due.units() > 0 && result.tendered.units() > due.units())
        result.change = result.tendered - due;
    return result;
}

QString DepositTitle(quint8 kind, qint32 cusNo, qint32 jobNo)
{
    switch (kind) {
    case 0: return QStringLiteral("Payment for Quick Sale");
    case 1: return QStringLiteral("Deposit for Order ") + QString::number(jobNo);
    default: return QStringLiteral("A/R Payment from Customer %1").arg(cusNo);
    }
}

QString DepositSettingsWord(quint8 kind)
{
    return kind == 0 ? QStringLiteral("Quick Sales") : QStringLiteral("Deposits");
}

QList<std::pair<int, QString>> ChoosablePaymentTypes(platform::Database &db)
{
    QList<std::pair<int, QString>> types;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT [No], Name FROM PaymentTypes WHERE Left(Name, 1) <> '~' ORDER BY Sort, Name"));
    for (; !rs.isEOF(); rs.moveNext())
        types.append({rs.value(0).toInt(), rs.value(1).isNull() ? QString() : rs.value(1).toString()});
    return types;
}

QString DepositMoneyText(Money value)
{
    if (value.units() == 1)
        return QStringLiteral("No Charge");
    return FormatMoney(value);
}
