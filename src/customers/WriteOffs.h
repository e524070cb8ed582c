#pragma once

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

namespace platform {
class Database;
}

// The write-off rule kept in settings row 253 of CustomerAlerts as
// "balance,age,": write off invoices whose balance is below the limit (in
// cents) or that were shipped more than the given days ago; 0 is no limit.
struct WriteOffRule
{
    int balanceCents = 0;
    int ageDays = 0;

    static constexpr int kAlertType = 253;
    static QString DefaultText() { return QStringLiteral(",,"); }
    static WriteOffRule FromText(const QString &text);
    QString Text() const;
    // The list filter of the rule as of the given day; empty for no limit.
    QString FilterText(const QDate &today) const;
};

// Writing off the balance of invoices: Writeoff takes the balance, Balance
// becomes 0 and DatePaid today, each with its audit row; one transaction per
// batch. Only balances owed (above the No Charge marker) are written off: a
// credit balance is left as it is.
class WriteOffs
{
public:
    explicit WriteOffs(platform::Database &db);

    WriteOffRule ReadRule();
    bool StoreRule(const WriteOffRule &rule);
    bool WriteOff(const QList<qint32> &jobIds);

    static QString Question(int count);

private:
    platform::Database &m_db;
};
