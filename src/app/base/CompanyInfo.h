#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>

// The shop's own identity: name, street address, city, state, zip, phone and
// fax, as the home page, the About box, printed documents, e-mail texts and
// the default rows of a new database show it.
//
// It lives in the shop's database, so that every workstation shows the same:
// the shop is customer 1, and its name and address are that customer's, its
// phone and fax those of the customer's buyer contact. The shop edits it as it
// edits any customer; the application object reads it once the database is
// open, before the first window shows it.
class CompanyInfo
{
public:
    // Writes the block in one of its layouts:
    //  1 name, address, "city state zip" on three lines
    //  2 two empty lines, address, "city state zip"
    //  3 one line: name · address · city state zip · phone
    //  4 as 1, then an empty line, "Phone ..." and "Fax ..."
    //  5 address
    //  6 city state zip
    //  any other: the name alone.
    // Empty fields keep their separators.
    void FormatAddress(QString &out, int layout) const;
    QString FormatAddress(int layout) const;

    // The statement that reads the seven texts, in their order, from the
    // shop's customer row and its buyer contact.
    static QString SelectStatement();
    // Takes the seven texts from a row of that statement; Null reads as empty,
    // and a missing row (an empty list) empties the block.
    void Assign(const QList<platform::Value> &row);
    void Clear();
    // (The texts are written by the data layer's CompanyRows, under the rule
    // for rows other workstations save too.)

    QString m_strName;
    QString m_strAddress;
    QString m_strCity;
    QString m_strState;
    QString m_strZip;
    QString m_strPhone;
    QString m_strFax;
};
