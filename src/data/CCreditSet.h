#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Credits: the credits given to a customer and the credit used. A
// customer's CreditDue is the sum of its Credits rows: every credit raises
// it by its amount, every use (a negative amount) lowers it.
class CCreditSet : public CXDaoSet
{
public:
    explicit CCreditSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;

    // Adds a Credits row dated today and saves it; the customer's CreditDue
    // is the caller's. False when the add or the save failed (shown).
    bool AddCredit(qint32 cusNo, qint32 jobNo, Money amount, quint8 reasonId);

    // Adds the Credits row and moves the customer's CreditDue by the amount,
    // both or neither. False, with nothing written, when the customer does
    // not exist or the database refuses (shown).
    bool PostCredit(qint32 cusNo, qint32 jobNo, Money amount, quint8 reasonId);
    // Removes a Credits row and takes its amount back out of the customer's
    // CreditDue, both or neither. False when the row does not exist.
    bool DeleteCredit(qint32 creditId);

    // Why a customer's credit due cannot be stored as `creditDue`: past the
    // largest amount the program holds, either way, it is refused by name
    // before anything is written. Empty when it can.
    static QString CreditDuePastLargest(Money creditDue);
    // The same for a customer's credit due moved from `before` to `after`,
    // and for every customer's credit due together, which the next posting
    // stores: refused by name when the move takes that sum past the largest
    // amount (a sum already past it may still come down).
    static QString CreditDuePastLargest(platform::Database &db, Money before, Money after);

    qint32 m_CreditID = 0;
    qint32 m_CusNo = 0;
    qint32 m_JobNo = 0;
    Money m_Amount; // signed: credit given above 0, credit used below
    DateTime m_Date;
    quint8 m_ReasonID = 0; // an ID of table Properties
};
