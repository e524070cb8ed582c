#include "data/FieldExchange.h"

#include "data/CXDaoSet.h"

FieldExchange::FieldExchange(Operation operation, CXDaoSet *set, const void *onlyMember)
    : m_nOperation(operation), m_prs(set), m_pOnly(onlyMember)
{
}

void FieldExchange::exchange(const QString &column, MemberType type, void *member)
{
    const int position = m_nField++;
    if (m_nOperation == Fixup && m_prs->fixupFromHeld(position, member))
        return;
    m_prs->exchangeField(*this, position, column, type, member);
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

void DFX_SingleNoNull(FieldExchange *pFX, const QString &column, float &value)
{
    if (value == FieldExchange::kSingleNull)
        value = 0;
    DFX_Single(pFX, column, value);
}

void DFX_LongNoNull(FieldExchange *pFX, const QString &column, qint32 &value)
{
    if (pFX->isMarking()) {
        if (value == FieldExchange::kLongNull)
            value = 0;
        // A Null in the row is written as the 0 the member shows.
        CXDaoSet *set = pFX->recordset();
        if (set->IsFieldNull(&value)) {
            set->SetFieldNull(&value, false);
            set->SetFieldDirty(&value, true);
        }
    }
    DFX_Long(pFX, column, value);
}

void DFX_TextLimit(FieldExchange *pFX, const QString &column, QString &value)
{
    if (pFX->isMarking()) {
        const qint32 size = pFX->recordset()->GetFieldSize(column);
        if (value.size() > size)
            value.truncate(size);
    }
    DFX_Text(pFX, column, value);
}
