#include "data/CodeLookups.h"

#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"

#include <array>

namespace {

std::array<CodeLookup, 4> &installedLookups()
{
    static std::array<CodeLookup, 4> lookups;
    return lookups;
}

ItemStatusQuestion &installedQuestion()
{
    static ItemStatusQuestion question;
    return question;
}

// The first row of a statement with one parameter; false when there is none
// or the database cannot answer (a missing code).
bool readRow(const QString &sql, qint32 code, platform::Recordset *&row, std::unique_ptr<platform::Recordset> &holder)
{
    platform::Database &db = SharedDatabase();
    if (!db.isOpen())
        return false;
    try {
        holder = std::make_unique<platform::Recordset>(db);
        holder->open(platform::Recordset::Type::Snapshot, sql, {platform::Value(code)});
        if (holder->isEOF())
            return false;
        row = holder.get();
        return true;
    } catch (const platform::DbException &) {
        return false;
    }
}

bool databaseLookup(CodeTable table, qint32 code, CachedCode &out)
{
    out = CachedCode();
    out.code = code;
    if (table == CodeTable::Employees && code == 100) {
        out.text = QStringLiteral("Everyone");
        return true;
    }
    std::unique_ptr<platform::Recordset> holder;
    platform::Recordset *row = nullptr;
    try {
        switch (table) {
        case CodeTable::ServiceDepartments:
            if (!readRow(QStringLiteral("SELECT DepName, DepNo, IconNo FROM ServiceDepartments WHERE DepNo = ?"),
                         code, row, holder))
                return false;
            out.text = row->value(0).toString();
            out.number1 = row->value(1).toInt();
            out.number2 = row->value(2).toInt();
            return true;
        case CodeTable::ServiceCategories:
            if (!readRow(QStringLiteral("SELECT CatName, DepNo, IconNo FROM ServiceCategories WHERE CatNo = ?"),
                         code, row, holder))
                return false;
            out.text = row->value(0).toString();
            out.number1 = row->value(1).toInt();
            out.number2 = row->value(2).toInt();
            return true;
        case CodeTable::Services: {
            if (!readRow(QStringLiteral("SELECT Name, CatNo, SerStatus, [Size] FROM Services WHERE SerNo = ?"), code,
                         row, holder))
                return false;
            // The display name: the name, " (HIDDEN)" for a discontinued
            // service, and " · " with the size when it has one.
            QString name = row->value(0).toString();
            if (row->value(2).toInt() == 2)
                name += QStringLiteral(" (HIDDEN)");
            QString size = row->value(3).toString();
            while (!size.isEmpty() && size.at(0) == QLatin1Char(' '))
                size.remove(0, 1);
            if (!size.isEmpty())
                name += QStringLiteral(" \u00B7 ") + size;
            out.text = name;
            out.number1 = row->value(1).toInt();
            return true;
        }
        case CodeTable::Employees:
            if (!readRow(QStringLiteral("SELECT Name, Type FROM Employees WHERE EmpNo = ?"), code, row, holder))
                return false;
            out.text = row->value(0).toString();
            out.number1 = row->value(1).toInt();
            return true;
        }
    } catch (const platform::DbException &) {
        return false;
    }
    return false;
}

} // namespace

void SetCodeLookup(CodeTable table, CodeLookup lookup)
{
    installedLookups()[std::size_t(table)] = std::move(lookup);
}

bool LookupCode(CodeTable table, qint32 code, CachedCode &out)
{
    const CodeLookup &lookup = installedLookups()[std::size_t(table)];
    if (lookup)
        return lookup(code, out);
    return databaseLookup(table, code, out);
}

QString EmployeeName(quint8 empNo)
{
    CachedCode entry;
    return LookupCode(CodeTable::Employees, empNo, entry) ? entry.text : QStringLiteral("?");
}

void SetItemStatusQuestion(ItemStatusQuestion question)
{
    installedQuestion() = std::move(question);
}

bool ConfirmItemStatusChange(quint8 current, quint8 target)
{
    const ItemStatusQuestion &question = installedQuestion();
    return question ? question(current, target) : true;
}
