#pragma once

#include <QtCore/QString>

// The texts shared by the Key Reports statements, made from the view's two
// period conditions: this period " between #from# and #to# " (blanks at both
// ends) and the period before it " between #from# and #to#" (no trailing
// blank). The statements join these texts to their literals with nothing in
// between, so every blank here is part of the statements.
struct ReportSqlFragments
{
    ReportSqlFragments(const QString &thisPeriod, const QString &lastPeriod);

    QString ThisPeriod;
    QString LastPeriod;
    // The from date with its # marks and no blanks ("#01/01/2010#").
    QString FromDate;
    // The to date with its # marks and the blanks around it (" #12/31/2010# ").
    QString ToDate;
    // Conditions that keep out the no-charge marker (plus or minus 0.0001).
    QString NonZeroSubtotal;
    QString NonZeroNetSale;
    QString NonZeroPrice;
    QString CostSum;
    QString PriceSum;
    QString NetSalesTwoPeriods;
    QString SalesTwoPeriods;
    QString WhereThisPeriod;
    QString WhereEitherPeriod;
    QString WhereEitherPeriodServices;
    QString OrderByThisPeriodSales;
    QString ServiceName;
};
