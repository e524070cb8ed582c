#include "data/CShiptoSet.h"

#include "app/base/DateRanges.h"
#include "app/base/TextUtil.h"

CShiptoSet::CShiptoSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CShiptoSet::GetDefaultSQL() const
{
    return QStringLiteral("[Shipto]");
}

void CShiptoSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[ShiptoNo]"), m_ShiptoNo);
    DFX_LongNoNull(pFX, QStringLiteral("[CusNo]"), m_CusNo);
    DFX_Byte(pFX, QStringLiteral("[Type]"), m_Type);
    DFX_TextLimit(pFX, QStringLiteral("[Attention]"), m_Attention);
    DFX_TextLimit(pFX, QStringLiteral("[Company]"), m_Company);
    DFX_TextLimit(pFX, QStringLiteral("[Address]"), m_Address);
    DFX_TextLimit(pFX, QStringLiteral("[Address2]"), m_Address2);
    DFX_TextLimit(pFX, QStringLiteral("[City]"), m_City);
    DFX_TextLimit(pFX, QStringLiteral("[State]"), m_State);
    DFX_TextLimit(pFX, QStringLiteral("[Zip]"), m_Zip);
    DFX_TextLimit(pFX, QStringLiteral("[Country]"), m_Country);
    DFX_TextLimit(pFX, QStringLiteral("[Phone]"), m_Phone);
    DFX_TextLimit(pFX, QStringLiteral("[ShipNote]"), m_ShipNote);
    DFX_Byte(pFX, QStringLiteral("[ShipBy]"), m_ShipBy);
    DFX_Byte(pFX, QStringLiteral("[TaxBy]"), m_TaxBy);
    DFX_DateTime(pFX, QStringLiteral("[Created]"), m_Created);
    DFX_DateTime(pFX, QStringLiteral("[Modified]"), m_Modified);
    m_nLastDfxOp = pFX->operation();
}

void CShiptoSet::ResetFields()
{
    m_CusNo = 0;
    m_Type = 0;
    m_Attention.clear();
    m_Company.clear();
    m_Address.clear();
    m_Address2.clear();
    m_City.clear();
    m_State.clear();
    m_Zip.clear();
    m_Country.clear();
    m_Phone.clear();
    m_ShipNote.clear();
    m_ShipBy = 0;
    m_TaxBy = 0;
    m_Created = GetToday();
    m_Modified = DateTime();
}

CShiptoSet &CShiptoSet::operator=(const CShiptoSet &other)
{
    if (this == &other)
        return *this;
    m_CusNo = other.m_CusNo;
    m_Type = other.m_Type;
    m_Attention = other.m_Attention;
    m_Company = other.m_Company;
    m_Address = other.m_Address;
    m_Address2 = other.m_Address2;
    m_City = other.m_City;
    m_State = other.m_State;
    m_Zip = other.m_Zip;
    m_Country = other.m_Country;
    m_Phone = other.m_Phone;
    m_ShipNote = other.m_ShipNote;
    m_ShipBy = other.m_ShipBy;
    m_TaxBy = other.m_TaxBy;
    m_Created = other.m_Created;
    m_Modified = other.m_Modified;
    return *this;
}

bool CShiptoSet::FindByNo(qint32 shiptoNo, bool edit)
{
    m_strFilter = QStringLiteral("ShiptoNo = %1").arg(shiptoNo);
    m_strSort.clear();
    if (shiptoNo == 0)
        return false;
    return RequeryOrOpen(edit);
}

QString &CShiptoSet::FormatAddress(QString &out, int layout) const
{
    if (layout == 9) {
        out = m_Company;
        return out;
    }
    // Layout 2 shows each address line on one line; the row keeps its own.
    QString address = m_Address;
    QString address2 = m_Address2;
    if (layout == 2) {
        address.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        address2.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    }
    QString cityLine = m_City + QLatin1Char(' ') + m_State + QLatin1Char(' ') + m_Zip;
    TrimText(cityLine);

    const QString lineBreak = QStringLiteral("\n");
    out = m_Attention;
    AppendText(out, m_Company, lineBreak);
    AppendText(out, address, lineBreak);
    AppendText(out, address2, lineBreak);
    AppendText(out, cityLine, lineBreak);
    AppendText(out, m_Country, lineBreak);
    return out;
}

QString CShiptoSet::GetAddress(int layout) const
{
    QString text;
    return FormatAddress(text, layout);
}

QString CShiptoSet::GetAddressText(qint32 shiptoNo, int layout)
{
    if (FindByNo(shiptoNo))
        return GetAddress(layout);
    if (layout == 0)
        return QString();
    return shiptoNo == 0 ? QStringLiteral("< Same as Bill To >") : QStringLiteral("< not found >");
}
