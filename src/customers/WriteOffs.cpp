#include "customers/WriteOffs.h"

#include "app/base/DateRanges.h"
#include "customers/ReceivableRows.h"
#include "platform/db/Database.h"

WriteOffRule WriteOffRule::FromText(const QString &text)
{
    WriteOffRule rule;
    rule.balanceCents = IntegerItem(text, 0);
    rule.ageDays = IntegerItem(text, 1);
    return rule;
}

QString WriteOffRule::Text() const
{
    return QStringLiteral("%1,%2,").arg(balanceCents).arg(ageDays);
}

QString WriteOffRule::FilterText(const QDate &today) const
{
    const QString limit = QString::asprintf("%.2f", balanceCents / 100.0);
    const QDate d = today.addDays(-ageDays);
    const QString date = QStringLiteral("#%1/%2/%3#").arg(d.month()).arg(d.day()).arg(d.year());
    if (balanceCents != 0 && ageDays != 0)
        return QStringLiteral("(Jobs.Balance < %1 or Jobs.DateShipped < %2)").arg(limit, date);
    if (balanceCents != 0)
        return QStringLiteral("Jobs.Balance < %1").arg(limit);
    if (ageDays != 0)
        return QStringLiteral("Jobs.DateShipped < %1").arg(date);
    return QString();
}

WriteOffs::WriteOffs(platform::Database &db)
    : m_db(db)
{
}

QString WriteOffs::Question(int count)
{
    return QStringLiteral("write off selected %1 invoice(s)?").arg(count);
}

WriteOffRule WriteOffs::ReadRule()
{
    QString text = WriteOffRule::DefaultText();
    InOneTransaction(m_db, QStringLiteral("Cannot save CustomerAlerts"),
                     [&] { text = ReadSettingRow(m_db, WriteOffRule::kAlertType, WriteOffRule::DefaultText()); });
    return WriteOffRule::FromText(text);
}

bool WriteOffs::StoreRule(const WriteOffRule &rule)
{
    return InOneTransaction(m_db, QStringLiteral("Cannot save CustomerAlerts"),
                            [&] { WriteSettingRow(m_db, WriteOffRule::kAlertType, rule.Text()); });
}

bool WriteOffs::WriteOff(const QList<qint32> &jobIds)
{
    return InOneTransaction(m_db, QStringLiteral("Cannot save Jobs"), [&] {
        for (qint32 id : jobIds) {
            const ReceivableJob before = ReadReceivableJob(m_db, id);
            if (!before.found || before.balance <= Money::noChargeMarker())
                continue;
            ReceivableJob after = before;
            after.writeoff -= before.balance;
            after.balance = Money();
            WriteReceivableJob(m_db, before, after, GetToday());
        }
    });
}
