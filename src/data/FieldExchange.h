#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <limits>

class CXDaoSet;

// The exchange between a table class's members and the columns of its
// recordset. A table class lists its columns once, in DoFieldExchange:
//
//     void CTaxSet::DoFieldExchange(FieldExchange *pFX)
//     {
//         DFX_Byte(pFX, "[No]", m_No);
//         DFX_Text(pFX, "[Name]", m_Name);
//         DFX_Long(pFX, "[TaxPercent]", m_TaxPercent);
//     }
//
// (the same columns in the same order every time; a column that is absent
// from the set's statement fails the open) and the base runs that list for
// every step of a record's life: binding the columns when the set opens,
// loading the members from each row it moves to, remembering them when an edit
// or add starts (after ResetFields for a new record), finding the changed
// members and writing them into the record before it is stored. A new record
// gets every member that holds a value; an edited one only the changed ones.
//
// A column that is Null gives its member the empty value: numbers 0, money
// zero, texts the empty text, dates the null status. Arithmetic therefore never
// sees a no-value pattern; the field remembers that it was Null, so a member
// left untouched is written back as Null, and one given a value is written
// with it. SetFieldNull makes a member Null explicitly. (A number member set
// to its type's no-value pattern below is still written as Null, for code
// written against the engine's patterns.)
class FieldExchange
{
public:
    // The operations, numbered as the program's table classes store them in
    // CXDaoSet::m_nLastDfxOp.
    enum Operation {
        BindField = 2,     // collect the bound columns (the set's field list)
        Fixup = 4,         // members <- current row
        StoreField = 6,    // members -> the set's change cache
        LoadField = 7,     // members <- the set's change cache
        SetFieldNull = 9,  // members <- their no-value pattern, fields marked Null
        MarkForAddNew = 10, // compare with the cache; changed members become dirty
        MarkForEdit = 11,
        SetDirtyField = 12, // dirty members -> the record's edit buffer
    };

    // The engine's no-value patterns of the numeric member types; a member
    // never holds one after a read.
    static constexpr qint32 kLongNull = 0x4A4D4120; // 1246576928
    static constexpr qint16 kShortNull = 0x7EE4;
    static constexpr quint8 kByteNull = 255;
    static constexpr float kSingleNull = -9.123e19f;
    static constexpr double kDoubleNull = -9.123e19;

    FieldExchange(Operation operation, CXDaoSet *set, const void *onlyMember = nullptr);

    Operation operation() const { return m_nOperation; }
    // The one member a SetFieldNull is for; nullptr: every member.
    const void *onlyMember() const { return m_pOnly; }
    CXDaoSet *recordset() const { return m_prs; }
    bool isMarking() const { return m_nOperation == MarkForAddNew || m_nOperation == MarkForEdit; }

    // The member kinds a column can be bound to.
    enum class MemberType { Bool, Byte, Short, Long, Single, Double, Currency, Date, Text };

    // What a DFX_ function does to its member before the exchange (the
    // NoNull and Limit kinds below); kept with the bound column, so that a
    // pass over the bound columns does the same without the table class.
    enum class Hook : quint8 { None, SingleNoNull, LongNoNull, TextLimit };

    // Runs the current operation for one bound column. The DFX_ functions
    // below are the only callers; table classes use those.
    void exchange(const QString &column, MemberType type, void *member, Hook hook = Hook::None);

    Operation m_nOperation;
    CXDaoSet *m_prs;

private:
    const void *m_pOnly; // SetFieldNull of one member; nullptr: all
    int m_nField = 0;    // position of the next column in the exchange list
};

// Binds one column (its name as the statement names it; brackets and a table
// prefix are allowed: "[No]", "Taxes.[Name]") to a member.
void DFX_Bool(FieldExchange *pFX, const QString &column, bool &value);
void DFX_Byte(FieldExchange *pFX, const QString &column, quint8 &value);
void DFX_Short(FieldExchange *pFX, const QString &column, qint16 &value);
void DFX_Long(FieldExchange *pFX, const QString &column, qint32 &value);
void DFX_Single(FieldExchange *pFX, const QString &column, float &value);
void DFX_Double(FieldExchange *pFX, const QString &column, double &value);
void DFX_Currency(FieldExchange *pFX, const QString &column, Money &value);
void DFX_DateTime(FieldExchange *pFX, const QString &column, DateTime &value);
void DFX_Text(FieldExchange *pFX, const QString &column, QString &value); // Text and Memo

// Single column that never keeps the no-value pattern: a Null reads as 0 from
// the next exchange on.
void DFX_SingleNoNull(FieldExchange *pFX, const QString &column, float &value);
// Long column whose Null is written as 0 when its record is added or edited.
void DFX_LongNoNull(FieldExchange *pFX, const QString &column, qint32 &value);
// Text column whose member is cut to the column's size before it is written,
// so a text that is too long is stored cut rather than refused.
void DFX_TextLimit(FieldExchange *pFX, const QString &column, QString &value);
