#pragma once

#include "platform/Money.h"

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The figures of the customer and company summaries, free of widgets: the
// sales ranking by year, the credit position and the monthly sales statement.

// One year of a customer's ranking among all customers by invoiced net sales
// (subtotal + discount of history jobs shipped that year).
struct RankingYear
{
    int year = 0;
    int rank = 0;     // 1 for the largest; 0 when the customer had no sales
    Money netSale;    // 0 without sales
    QString rankText() const { return rank > 0 ? QString::number(rank) : QStringLiteral("n/a"); }
};
// This year and the four before it, newest first.
QList<RankingYear> CustomerRanking(qint32 cusNo, int thisYear);
// True when both this year's and last year's ranks are known and the
// customer fell back (this year's rank number is larger).
bool RankingFell(const QList<RankingYear> &years);

// The credit position in whole cents (each sum from the database rounded to
// the cent, halves away from zero, as every money text is). For the company (customer 0) it covers every
// customer, and there is no credit limit.
struct CreditPosition
{
    qint64 inProgress = 0; // open balances of orders not yet invoiced
    qint64 current = 0;    // invoices not yet due
    qint64 pastDue = 0;    // invoices past their due date
    qint64 lessCredit = 0; // minus the credit the shop owes
    qint64 total = 0;
    qint64 creditLimit = 0;
    qint64 available = 0;  // credit limit - total
    bool overLimit() const { return available < 0; }
    QString availableLabel() const
    {
        return overLimit() ? QStringLiteral("Over Credit Limit") : QStringLiteral("Credit Available");
    }
};
CreditPosition ComputeCreditPosition(qint32 cusNo);
CreditPosition ComputeCompanyPosition();
// Cents as "%.2f" text ("-120.00").
QString CentsText(qint64 cents);

// The monthly sales statement starts on the first day of the month 35 months
// before today's (36 months with this one).
QDate MonthlySalesStart(const QDate &today);
// The start date as a Jet date literal, "#m/d/yyyy#", whatever the locale.
QString JetDateLiteral(const QDate &date);
QString CustomerMonthlySalesSql(qint32 cusNo, const QDate &start);
QString CompanyMonthlySalesSql(const QDate &start);

// The statements of the summaries' lists.
QString CustomerOrdersSql(qint32 cusNo);
QString CustomerPaymentsSql(qint32 cusNo);
QString CustomerAgingSql(qint32 cusNo);
// The months still ahead, the nearest first, at most seven: the reorders of
// invoices from today on, and the open balances of invoices not yet due (the
// A/R Current of the Total, by the month they fall due).
QString ReordersExpectedSql(const QDate &today);
QString PaymentsExpectedSql(const QDate &today);
QString PaymentsReceivedSql();
