#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CJobSet;

// Table PostingJournal: one row of totals per posting run.
class CPostSet : public CXDaoSet
{
public:
    explicit CPostSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A new run: dated today, every count and amount 0.
    void ResetFields() override;

    // Adds one invoice as posting stores it, with the balance it is posted
    // with. An invoice that bears tax adds its subtotal after discount to
    // the taxable net sale.
    void AddInvoice(const CJobSet &job, Money balance);
    // Why the invoice cannot be added: one of its amounts (its total too),
    // or one of the posting's sums with it added, past the largest amount
    // the program takes; the message names the figure. Empty when it can.
    QString InvoicePastLargest(const CJobSet &job, Money balance) const;
    // Adds one quick sale; one that bears tax adds its subtotal to the
    // taxable quick sales.
    void AddQuickSale(Money subtotal, Money tax);

    qint32 m_PostingNo = 0;
    DateTime m_PostingDate;
    qint32 m_Invoices = 0; // invoices posted
    Money m_Cost;
    Money m_Subtotal;
    Money m_Discount;
    Money m_Shipping;
    Money m_Postage;
    Money m_Tax;
    Money m_Latefee;
    Money m_Paid;
    Money m_Writeoff;
    Money m_Balance;
    Money m_Commission;
    Money m_TaxableNetSale;
    qint32 m_QSales = 0; // quick sales posted
    Money m_QSaleSubtotal;
    Money m_QSaleTax;
    Money m_TaxableQSale;
    Money m_DepositNew;
    Money m_DepositOld;
    Money m_DepositNow;
    Money m_AllPayments;
    Money m_CreditsDue;
    Money m_ARBalance; // receivables balance after the run
};
