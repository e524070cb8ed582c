#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Customers, with the customer rules several areas share: finding a
// customer and its name, its address block, a copy of a customer, the
// defaults of a new one, the next number and the removal of a customer with
// the rows that hang off it.
//
// Fixed customers: 10 is the "Default Customer" whose settings new customers
// copy, 31 the walk-in customer; both come with every new database. The
// rows of customer 0 in CustomerAlerts are the program-wide settings, so no
// customer number of 0 or below is ever deleted.
class CCusSet : public CXDaoSet
{
public:
    enum { DefaultCustomer = 10, WalkInCustomer = 31 };

    explicit CCusSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    bool ListsChangedFieldsWhenAsking() const override { return true; }

    // False for 0 without a query.
    bool FindCustomer(qint32 cusNo, bool edit = false);
    // The customer's Name; "" for 0 (no query) or a customer that is missing.
    QString &GetCustomerName(QString &out, qint32 cusNo);

    // The current row's address block: Address, Address2, "City State Zip"
    // and Country, one per line, empty parts left out; the name is not in it.
    QString &FormatAddress(QString &out) const;
    // A customer by number in a layout: 0 the address block, 9 the name,
    // 4 the paying contact's "Title First Last", a line break and the block;
    // any other layout "". "" when the customer is missing.
    QString FormatCustomer(qint32 cusNo, int layout);
    // The bill-to text of the current row: the company's name, then its
    // address block.
    QString FormatBillTo() const;

    // Copies the settings of another customer into the current (new) row:
    // the codes, flags, city, state, zip, country, ids and credit limit, and,
    // unless the source is the default customer, also its name (its first 50
    // characters + " - Copy"), address lines and parent. False, and the row
    // left alone, when the source is missing.
    bool CopyCustomer(qint32 sourceCusNo);
    // The values of a new customer: "< new >", active, rounded prices, tax 1,
    // created and modified today, everything else empty or 0.
    void InitNewCustomer();
    // CusNo = the highest number in use + 1, and never below 31 (the numbers
    // up to the walk-in customer are kept for the program's own customers).
    // False, CusNo left alone, when no number is left (the message shown).
    bool GetNextCusNo();
    // That number; 0 (the message shown) when none is left.
    static qint32 NextCusNo(platform::Database *database = nullptr);
    // Stores the record; a new one takes the next customer number as it is
    // written (CXDaoSet::SaveNewRecord).
    bool SaveNew(unsigned beepType = 0);

    // Deletes the customer's ship-to addresses, contacts and alert rows, all
    // or none. Refused for 0 and below.
    bool DeleteCustomerRows(qint32 cusNo);
    // Deletes the customer row together with those rows, all or none.
    // Refused for 0 and below.
    bool DeleteCustomer(qint32 cusNo);

    qint32 m_CusNo = 0;
    QString m_Name;
    QString m_Address;
    QString m_Address2;
    QString m_City;
    QString m_State;
    QString m_Zip;
    QString m_Country;
    qint32 m_ShiptoNo = 0;
    qint32 m_BuyerNo = 0;
    qint32 m_PayerNo = 0;
    quint8 m_Business = 0;
    quint8 m_Source = 0;
    quint8 m_Location = 0;
    quint8 m_ShipVia = 0;
    quint8 m_SRepNo = 0;
    quint8 m_Tax = 0;
    quint8 m_Terms = 0;
    quint8 m_Priority = 0;
    quint8 m_POReq = 0;
    quint8 m_LateFee = 0;
    quint8 m_Statement = 0;
    quint8 m_WebAccess = 0;
    quint8 m_AlertIf = 0;
    quint8 m_CusStatus = 0; // 0 active, 1 on hold, 2 hidden for new jobs
    quint8 m_PriceLevel = 0;
    quint8 m_PriceRound = 0;
    quint8 m_Discount = 0;
    qint32 m_Alert1 = 0;
    qint32 m_Alert2 = 0;
    qint32 m_Alert3 = 0;
    DateTime m_DateCreated;
    DateTime m_DateModified;
    Money m_CreditDue;   // credit the shop owes the customer
    Money m_CreditLimit;
    QString m_CusID;
    QString m_GroupID;
    QString m_Memo;
    qint32 m_ParentNo = 0;
    quint8 m_PropID = 0;
};
