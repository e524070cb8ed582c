#include "app/base/CompanyInfo.h"

#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

void CompanyInfo::FormatAddress(QString &out, int layout) const
{
    switch (layout) {
    case 1:
        out = QStringLiteral("%1\n%2\n%3 %4 %5").arg(m_strName, m_strAddress, m_strCity, m_strState, m_strZip);
        break;
    case 2:
        out = QStringLiteral("\n\n%1\n%2 %3 %4").arg(m_strAddress, m_strCity, m_strState, m_strZip);
        break;
    case 3: {
        // One line; a part the shop has not filled in leaves no empty " · ".
        QStringList parts;
        for (const QString &part : {m_strName, m_strAddress,
                                    QStringLiteral("%1 %2 %3").arg(m_strCity, m_strState, m_strZip).simplified(),
                                    m_strPhone}) {
            if (!part.trimmed().isEmpty())
                parts.append(part);
        }
        out = parts.join(QStringLiteral(" \u00B7 "));
        break;
    }
    case 4:
        out = QStringLiteral("%1\n%2\n%3 %4 %5\n\nPhone %6\nFax %7")
                  .arg(m_strName, m_strAddress, m_strCity, m_strState, m_strZip, m_strPhone, m_strFax);
        break;
    case 5:
        out = m_strAddress;
        break;
    case 6:
        out = QStringLiteral("%1 %2 %3").arg(m_strCity, m_strState, m_strZip);
        break;
    default:
        out = m_strName;
        break;
    }
}

QString CompanyInfo::FormatAddress(int layout) const
{
    QString out;
    FormatAddress(out, layout);
    return out;
}

QString CompanyInfo::SelectStatement()
{
    return QStringLiteral(
        "SELECT Customers.Name, Customers.Address, Customers.City, Customers.State, Customers.Zip, "
        "Contacts.Phone, Contacts.Fax FROM Contacts RIGHT JOIN Customers "
        "ON Contacts.ContactNo = Customers.BuyerNo WHERE Customers.CusNo = 1");
}

void CompanyInfo::Assign(const QList<platform::Value> &row)
{
    QString *const fields[] = {&m_strName, &m_strAddress, &m_strCity, &m_strState,
                               &m_strZip,  &m_strPhone,   &m_strFax};
    for (int i = 0; i < 7; ++i)
        *fields[i] = i < row.size() ? row.at(i).toString() : QString();
}

void CompanyInfo::Clear()
{
    Assign({});
}

void CompanyInfo::Save(platform::Database &db) const
{
    using platform::Value;
    platform::Transaction work(db);
    db.execute(QStringLiteral("UPDATE Customers SET Name = ?, Address = ?, City = ?, State = ?, Zip = ? WHERE CusNo = 1"),
               {Value(m_strName), Value(m_strAddress), Value(m_strCity), Value(m_strState), Value(m_strZip)});
    std::int64_t buyer = 0;
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Contacts.ContactNo FROM Contacts INNER JOIN Customers ON Contacts.ContactNo = "
                               "Customers.BuyerNo WHERE Customers.CusNo = 1"));
        if (!rs.isEOF())
            buyer = rs.value(0).toInt64();
    }
    if (buyer != 0) {
        db.execute(QStringLiteral("UPDATE Contacts SET Phone = ?, Fax = ? WHERE ContactNo = ?"),
                   {Value(m_strPhone), Value(m_strFax), Value(buyer)});
    } else {
        db.execute(QStringLiteral("INSERT INTO Contacts (CusNo, First, Last, Phone, Fax, Type, KeyContact, Created) "
                                  "VALUES (1, '', 'Office', ?, ?, 0, 1, ?)"),
                   {Value(m_strPhone), Value(m_strFax), Value(DateTime::fromDate(platform::Clock::today()))});
        db.execute(QStringLiteral("UPDATE Customers SET BuyerNo = (SELECT Max(ContactNo) FROM Contacts WHERE CusNo = 1) "
                                  "WHERE CusNo = 1"));
    }
    work.commit();
}
