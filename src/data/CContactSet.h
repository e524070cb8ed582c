#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Contacts: the people of a customer, and the texts that documents,
// lists and dialogs show for them.
//
// Name layouts: 1 "First Last", 2 "Last, First", 3 "Title Last:",
// 4 "Title First Last", 5 and 6 the card with e-mail and phone lines,
// 7 the tabbed name, phone and fax lines; any other layout is empty.
class CContactSet : public CXDaoSet
{
public:
    explicit CContactSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A new contact: no customer, empty texts, the four yes/no choices on,
    // created and modified today; the key is left alone.
    void ResetFields() override;

    // Copies every column but the key from another contact set's current row
    // into this set's current row (for instance a new one).
    CContactSet &operator=(const CContactSet &other);

    // False for 0 without a query.
    bool FindContact(qint32 contactNo, bool edit = false);

    // The current row in a layout, trimmed at both ends.
    QString &FormatName(QString &out, int layout) const;
    QString GetNameText(int layout) const;

    // The contact of that number in a layout. A number that names no contact
    // gives "< not found >"; contact 0 (or layout 0) gives the empty form of
    // the layout: "Name:\nPhone:\nFax:" for layouts 6 and 7, else "".
    QString GetContactCard(qint32 contactNo, int layout);

    qint32 m_ContactNo = 0;
    qint32 m_CusNo = 0;
    QString m_Title;
    QString m_Postion; // the job title; the column is spelled so
    QString m_First;
    QString m_Last;
    QString m_Phone;
    QString m_Email;
    QString m_Fax;
    QString m_Phone2;
    QString m_Cell;
    QString m_ContactNote;
    quint8 m_Type = 0; // 2: hidden from lists
    quint8 m_Dept = 0;
    quint8 m_PropID = 0;
    quint8 m_SendEmail = 0;
    quint8 m_SendSurvey = 0;
    quint8 m_KeyContact = 0;
    quint8 m_WebOption = 0;
    DateTime m_Created;
    DateTime m_Modified;
    DateTime m_OtherDate;
    DateTime m_LastEmail;
    DateTime m_LastSurvey;
};
