#include "data/FieldExchange.h"

#include "data/CXDaoSet.h"

FieldExchange::FieldExchange(Operation operation, CXDaoSet *set, const void *onlyMember)
    : m_nOperation(operation), m_prs(set), m_pOnly(onlyMember)
{
}

void FieldExchange::exchange(const QString &column, MemberType type, void *member, Hook hook)
{
    const int position = m_nField++;
    if (hook != Hook::None)
        m_prs->runHook(m_nOperation, position, column, hook, member);
    if (m_nOperation == Fixup && m_prs->fixupFromHeld(position, member))
        return;
    m_prs->exchangeField(*this, position, column, type, member, hook);
}

void DFX_Bool(FieldExchange *pFX, const QString &column, bool &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Bool, &value);
}

void DFX_Byte(FieldExchange *pFX, const QString &column, quint8 &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Byte, &value);
}

void DFX_Short(FieldExchange *pFX, const QString &column, qint16 &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Short, &value);
}

void DFX_Long(FieldExchange *pFX, const QString &column, qint32 &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Long, &value);
}

void DFX_Single(FieldExchange *pFX, const QString &column, float &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Single, &value);
}

void DFX_Double(FieldExchange *pFX, const QString &column, double &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Double, &value);
}

void DFX_Currency(FieldExchange *pFX, const QString &column, Money &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Currency, &value);
}

void DFX_DateTime(FieldExchange *pFX, const QString &column, DateTime &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Date, &value);
}

void DFX_Text(FieldExchange *pFX, const QString &column, QString &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Text, &value);
}

// The hooks themselves are run by CXDaoSet, which knows the bound column.
void DFX_SingleNoNull(FieldExchange *pFX, const QString &column, float &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Single, &value, FieldExchange::Hook::SingleNoNull);
}

void DFX_LongNoNull(FieldExchange *pFX, const QString &column, qint32 &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Long, &value, FieldExchange::Hook::LongNoNull);
}

void DFX_TextLimit(FieldExchange *pFX, const QString &column, QString &value)
{
    pFX->exchange(column, FieldExchange::MemberType::Text, &value, FieldExchange::Hook::TextLimit);
}
