#include "data/CompanyRows.h"

#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <vector>

using platform::Value;

namespace {

// One of the seven texts: the row it lives in (0 the shop's customer row,
// 1 its buyer contact), its column there, and its member of the block.
struct CompanyField
{
    int row;
    int index; // in that row's statement
    QString CompanyInfo::*member;
};

const CompanyField kFields[7] = {
    {0, 1, &CompanyInfo::m_strName},  {0, 2, &CompanyInfo::m_strAddress}, {0, 3, &CompanyInfo::m_strCity},
    {0, 4, &CompanyInfo::m_strState}, {0, 5, &CompanyInfo::m_strZip},     {1, 1, &CompanyInfo::m_strPhone},
    {1, 2, &CompanyInfo::m_strFax},
};

QString customerSql()
{
    return QStringLiteral("SELECT CusNo, Name, Address, City, State, Zip FROM Customers WHERE CusNo = 1");
}

QString contactSql(qint64 contactNo)
{
    return QStringLiteral("SELECT ContactNo, Phone, Fax FROM Contacts WHERE ContactNo = %1").arg(contactNo);
}

qint64 buyerOf(platform::Database &db)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Contacts.ContactNo FROM Contacts INNER JOIN Customers ON Contacts.ContactNo = "
                           "Customers.BuyerNo WHERE Customers.CusNo = 1"));
    return rs.isEOF() ? 0 : rs.value(0).toInt64();
}

QString textOf(const Value &value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

CompanyInfo CompanyRows::Read(platform::Database *database)
{
    CompanyInfo company;
    CXDaoSet set(database);
    set.Open(CXDaoSet::dbOpenSnapshot, CompanyInfo::SelectStatement());
    if (set.IsEmptySet())
        return company;
    QList<Value> row;
    for (int i = 0; i < 7; ++i)
        row.append(set.GetFieldValue(i));
    company.Assign(row);
    return company;
}

bool CompanyRows::Save(const CompanyInfo &asRead, const CompanyInfo &typed, const QStringList &labels,
                       platform::Database *database)
{
    platform::Database &db = database ? *database : SharedDatabase();
    if (RefusedAsReadOnly(&db, QStringLiteral("Cannot save My Company")))
        return false;
    // Both rows read now, each edited from here on: the question below is
    // asked about the rows as they are, and each write checks that no one
    // saved them again in between (settled as every row is, should they).
    CXDaoSet rows[2] = {CXDaoSet(&db), CXDaoSet(&db)};
    rows[0].Open(CXDaoSet::dbOpenDynaset, customerSql());
    if (rows[0].IsEmptySet() || !rows[0].SafeEdit())
        return false;
    qint64 buyer = 0;
    try {
        buyer = buyerOf(db);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save My Company"));
        return false;
    }
    if (buyer != 0) {
        rows[1].Open(CXDaoSet::dbOpenDynaset, contactSql(buyer));
        if (rows[1].IsEmptySet() || !rows[1].SafeEdit())
            return false;
    }

    // A field is named as the window labels it.
    for (int i = 0; i < 7; ++i) {
        const CompanyField &f = kFields[i];
        if (f.row == 0 || buyer != 0)
            rows[f.row].SetFieldCaption(rows[f.row].GetFieldName(f.index), labels.value(i));
    }

    // What this user changed, and which of it another user changed too.
    std::vector<bool> write(7, false);
    QStringList lines;
    std::vector<int> asked;
    for (int i = 0; i < 7; ++i) {
        const CompanyField &f = kFields[i];
        const QString mine = typed.*f.member;
        const QString seen = asRead.*f.member;
        if (mine == seen)
            continue;
        write[size_t(i)] = true;
        const QString now = f.row == 0 || buyer != 0 ? textOf(rows[f.row].GetFieldValue(f.index)) : QString();
        if (now == seen || now == mine)
            continue;
        asked.push_back(i);
        lines.append(CXDaoSet::BothChangedLine(labels.value(i), Value(now), Value(mine)));
    }
    if (!lines.isEmpty()) {
        const int answer = CXDaoSet::AskAboutBothChanged(lines);
        if (answer != platform::IDYES && answer != platform::IDNO)
            return false;
        if (answer == platform::IDNO)
            for (int i : asked)
                write[size_t(i)] = false;
    }

    try {
        platform::Transaction work(db);
        bool contactChanged = false;
        for (int i = 0; i < 7; ++i) {
            if (!write[size_t(i)])
                continue;
            const CompanyField &f = kFields[i];
            if (f.row == 1)
                contactChanged = true;
            if (f.row == 0 || buyer != 0)
                rows[f.row].SetFieldValue(f.index, Value(typed.*f.member));
        }
        if (!rows[0].SafeUpdate(QStringLiteral("Customers")))
            return false; // the transaction is rolled back: nothing saved
        if (buyer != 0) {
            if (!rows[1].SafeUpdate(QStringLiteral("Contacts")))
                return false;
        } else if (contactChanged) {
            // The first phone or fax: the shop's buyer contact is added. One
            // another workstation added meanwhile takes this user's changes
            // instead (no second contact).
            buyer = buyerOf(db);
            if (buyer == 0) {
                db.execute(QStringLiteral("INSERT INTO Contacts (CusNo, First, Last, Phone, Fax, Type, KeyContact, "
                                          "Created) VALUES (1, '', 'Office', ?, ?, 0, 1, ?)"),
                           {Value(typed.m_strPhone), Value(typed.m_strFax),
                            Value(DateTime::fromDate(platform::Clock::today()))});
                db.execute(QStringLiteral("UPDATE Customers SET BuyerNo = (SELECT Max(ContactNo) FROM Contacts WHERE "
                                          "CusNo = 1) WHERE CusNo = 1"));
            } else {
                CXDaoSet contact(&db);
                contact.Open(CXDaoSet::dbOpenDynaset, contactSql(buyer));
                if (contact.IsEmptySet() || !contact.SafeEdit())
                    return false;
                for (int i = 5; i < 7; ++i) {
                    if (!write[size_t(i)])
                        continue;
                    // Shown empty (there was no contact): what the other
                    // user stored is settled as any change of theirs.
                    contact.SetFieldValueOverShown(kFields[i].index, Value(typed.*kFields[i].member),
                                                   contact.GetFieldValue(kFields[i].index).isNull() ? Value() : Value(QString()));
                    contact.SetFieldCaption(contact.GetFieldName(kFields[i].index), labels.value(i));
                }
                if (!contact.SafeUpdate(QStringLiteral("Contacts")))
                    return false;
            }
        }
        work.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save My Company"));
        return false;
    }
    return true;
}
