#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Shipto: a customer's delivery addresses, and the address texts that
// documents, lists and dialogs show.
//
// Address layouts: 9 the company alone; 2 the block with the line breaks
// inside the two address lines turned into blanks (for one-line fields of
// printed documents); any other layout the block of attention, company,
// address lines, "City State Zip" and country, one per line, empty parts left
// out.
class CShiptoSet : public CXDaoSet
{
public:
    explicit CShiptoSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A new address: no customer, empty texts, created today; the key is left
    // alone.
    void ResetFields() override;

    // Copies every column but the key from another ship-to set's current row
    // into this set's current row.
    CShiptoSet &operator=(const CShiptoSet &other);

    // False for 0 without a query.
    bool FindByNo(qint32 shiptoNo, bool edit = false);

    // The current row in a layout. The row's own fields are never changed.
    QString &FormatAddress(QString &out, int layout) const;
    QString GetAddress(int layout) const;

    // The address of that number in a layout. Not found: layout 0 gives "";
    // any other layout "< Same as Bill To >" for ship-to 0 (the bill-to
    // address) and "< not found >" for a number that names no row.
    QString GetAddressText(qint32 shiptoNo, int layout);

    qint32 m_ShiptoNo = 0;
    qint32 m_CusNo = 0;
    quint8 m_Type = 0; // 2: hidden from lists
    QString m_Attention;
    QString m_Company;
    QString m_Address;
    QString m_Address2;
    QString m_City;
    QString m_State;
    QString m_Zip;
    QString m_Country;
    QString m_Phone;
    QString m_ShipNote;
    quint8 m_ShipBy = 0;
    quint8 m_TaxBy = 0;
    DateTime m_Created;
    DateTime m_Modified;
};
