#include "app/base/CompanyInfo.h"

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
