#pragma once

#include "data/FieldExchange.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/Value.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QList>
#include <QtCore/QSet>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>
#include <memory>

class QWidget;

// The base of every recordset of the program. A set is given a database or
// none (it then uses the shared database, opening it on demand); it wraps the
// engine's add, edit, save, delete and requery so that a database failure is
// shown to the user and turned into a false result; it reads fields by index
// or name with the conversions the program relies on.
//
// A table class declares its table and its columns:
//
//     class CTaxSet : public CXDaoSet
//     {
//     public:
//         quint8 m_No = 0; QString m_Name; qint32 m_TaxPercent = 0;
//         QString GetDefaultSQL() const override { return QStringLiteral("[Taxes]"); }
//         void DoFieldExchange(FieldExchange *pFX) override
//         { DFX_Byte(pFX, "[No]", m_No); DFX_Text(pFX, "[Name]", m_Name);
//           DFX_Long(pFX, "[TaxPercent]", m_TaxPercent); }
//     };
//
// and the base keeps the members in step with the current row: they are
// loaded on every move, requery and open, remembered when an edit or add
// starts, and the changed ones are written when the record is stored. Sets
// without columns of their own (plain CXDaoSet on a SELECT) read and write
// through GetFieldValue / SetFieldValue.
class CXDaoSet
{
public:
    // Open types.
    enum { dbOpenTable = 1, dbOpenDynaset = 2, dbOpenSnapshot = 4, kDefaultType = -1 };
    // Open options (accepted; the engine streams every set forward anyway).
    enum { dbForwardOnly = 0x100 };
    // Edit modes.
    enum EditMode { dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2 };

    explicit CXDaoSet(platform::Database *database = nullptr);
    virtual ~CXDaoSet();
    CXDaoSet(const CXDaoSet &) = delete;
    CXDaoSet &operator=(const CXDaoSet &) = delete;

    // --- overridable ---------------------------------------------------
    // Opens the set (closing it first when open). type -1 is the default
    // type; an empty SQL text means the default SQL with the filter and sort.
    // A failure is shown to the user and leaves the set closed.
    virtual void Open(int openType = kDefaultType, const QString &sql = QString(), int options = 0);
    virtual void Close();
    virtual QString GetDefaultDBName() const;
    virtual QString GetDefaultSQL() const;
    virtual void DoFieldExchange(FieldExchange *pFX);
    // Puts every bound member to its empty default; called on each new record.
    virtual void ResetFields();
    // Job and customer sets name their changed fields when asking to save.
    virtual bool ListsChangedFieldsWhenAsking() const { return false; }

    // --- state ----------------------------------------------------------
    bool IsOpen() const;
    // TRUE when the set is not open or has no current record at all.
    bool IsEmptySet() const;
    bool IsEOF() const;
    bool IsBOF() const;
    bool CanUpdate() const;
    bool CanAppend() const;
    bool CanRestart() const;
    int GetEditMode() const;
    // Rows visited so far; exact after MoveLast.
    int GetRecordCount() const;
    // The SQL text the set was last opened or requeried with.
    QString GetSQL() const { return m_strSQL; }

    // --- engine operations (throw platform::DbException) ---------------
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    bool FindFirst(const QString &criteria);
    bool FindNext(const QString &criteria);
    void Requery();
    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    void Delete();

    // Fields of the statement by 0-based index or by name.
    int GetFieldCount() const;
    QString GetFieldName(int index) const;
    platform::FieldType GetFieldType(int index) const;
    int GetFieldIndex(const QString &name) const; // -1 when absent
    platform::Value GetFieldValue(int index) const;
    platform::Value GetFieldValue(const QString &name) const;
    void SetFieldValue(int index, const platform::Value &value);
    void SetFieldValue(const QString &name, const platform::Value &value);
    void SetFieldValueNull(int index);
    // A field set to what this user typed over what this user was shown,
    // for a row read again only to be written (a list's or grid's row): the
    // save takes the shown value as the one this user read, so a change
    // another workstation made in between is settled as any other (see
    // SaveRecord) and never silently written over.
    void SetFieldValueOverShown(int index, const platform::Value &value, const platform::Value &shown);
    // The same for a bound member, while the record is edited: the member
    // holds what this user typed, `shown` what this user was shown of it.
    void SetFieldValueOverShown(const void *member, const platform::Value &shown);

    // Status of bound members (nullptr: every bound member).
    void SetFieldDirty(const void *member, bool dirty = true);
    void SetFieldNull(const void *member, bool null = true);
    bool IsFieldDirty(const void *member);
    bool IsFieldNull(const void *member) const;
    // The name a window shows for a column (its label or heading), used
    // where a message names the field to the user; without one, the
    // column's name in words (ColumnInWords).
    void SetFieldCaption(const QString &column, const QString &caption);
    void SetFieldCaption(const void *member, const QString &caption); // a bound member's column
    // How the window shows a column's values (a choice by the text of its
    // entry, not its stored code), for the same messages; without it a
    // value is shown as its text.
    void SetFieldShownAs(const QString &column, const std::function<QString(const platform::Value &)> &shownAs);
    void SetFieldShownAs(const void *member, const std::function<QString(const platform::Value &)> &shownAs);
    // A column's name in words: "CreditLimit" is "Credit Limit", "GroupID"
    // "Group ID".
    static QString ColumnInWords(const QString &column);
    // TRUE when a bound member differs from its remembered value or a field
    // was written directly (only meaningful in an edit or add).
    bool HasDirtyFields();

    // Locking: the engine writes with optimistic locking only (a record is
    // locked only while it is written); conflicts show up at Update.
    bool IsPessimisticLocking() const { return false; }

    // --- guarded record operations (report and return false on failure) --
    // On a database opened for reading only, a record opened for editing
    // (RequeryOrOpen) is only read, and a save with nothing changed since
    // succeeds without writing. Every operation that would write (an edit, a
    // new record, a changed one saved, a deletion) ends with the database's
    // read-only message.
    bool SafeAddNew(const QString &context = QString());
    bool SafeEdit(const QString &context = QString());
    bool SafeUpdate(const QString &context = QString());
    bool SaveRecord(unsigned beepType = 0, const QString &context = QString());
    // Stores a new record that takes a number of its own (a service's, a
    // customer's, a job's): the number is taken and the row written in one
    // write, so no other workstation can take the same number in between.
    // Should a row with the number be there all the same (3022, a
    // workstation that wrote it another way), the next number is taken and
    // the row written again. nextNumber gives the number (0, after saying
    // why, when there is none) and may write as it does (a counter row);
    // those writes stand or fall with the row. A record not being added is
    // saved as SaveRecord saves it. On failure nothing is written, number is
    // as it was and the record is still being added with everything typed,
    // so that it can be saved again or its changes asked about.
    bool SaveNewRecord(qint32 &number, const std::function<qint32()> &nextNumber, unsigned beepType = 0);
    bool DeleteWithConfirm(const QString &action);
    // Deletes every record from the current one to the end, as one change:
    // a failure deletes nothing.
    bool DeleteAllWithConfirm(const QString &action);
    bool DeleteAllRows(const QString &action) { return DeleteAllWithConfirm(action); }
    bool RequeryOrOpen(bool edit = false, const QString &context = QString());
    bool FindByField(const QString &field, qint32 value);

    // --- queries ---------------------------------------------------------
    int CountRecords();
    // 0 (nothing to save), or the answer IDYES, IDNO or IDCANCEL.
    // Mode 0: silent test for changes; 1: ask when a field changed; 2: ask
    // whenever a new or edited record is pending.
    int AskSaveChanges(int mode);

    // --- typed field access by index (0-based) ---------------------------
    void GetFieldDate(int index, DateTime &out) const;
    void GetFieldCurrency(int index, Money &out) const;
    void GetFieldByte(int index, quint8 &out) const;
    void GetFieldLong(int index, qint32 &out) const;
    qint32 GetLong(int index) const;
    void GetFieldLongByName(const QString &name, qint32 &out) const;
    qint32 GetLongByName(const QString &name) const;
    void GetFieldString(int index, QString &out) const;
    void GetFieldStringByName(const QString &name, QString &out) const;
    QString GetStringByName(const QString &name) const;
    void GetFieldText(int index, QString &out, bool oneLine) const;
    // Writes a long converted to the field's type (money as cents; dates get
    // the current moment; texts are left alone).
    void SetFieldFromLong(int index, qint32 value);
    // The defined size of a field (characters for texts); 2147483647 when it
    // cannot be described. A set not yet open gives the size its table
    // defines for the column.
    qint32 GetFieldSize(const QString &name) const;

    // The conversion of any field value to a long that the program relies on:
    // money in cents, floating point cut toward zero, texts by their leading
    // digits, booleans -1 or 0, dates and Null 0.
    static qint32 ValueToLong(const platform::Value &value);

    // --- length checks --------------------------------------------------------
    bool CheckFieldLength(const QString &field, const QString &text, bool show) const;
    // The control's text against the field; a too-long text gets the focus.
    bool CheckDlgItemLength(const QString &field, QWidget *dialog, int controlId, bool show) const;

    // --- SQL parts --------------------------------------------------------
    void SplitSQL();
    QString GetWhereText(const QString &prefix);
    void ShowWhereText(const QString &prefix);

    // --- saved queries (the database's query definitions) ------------------
    // Each works on the set's database (the shared one when none is given)
    // and throws platform::DbException with the engine's number.
    static bool QueryDefExists(const QString &name, platform::Database *database = nullptr);
    static QString GetQueryDefSQL(const QString &name, platform::Database *database = nullptr); // 3265
    // A user's query: checked against the schema first (a name that is no
    // column, alias or declared parameter is 3061 "Too few parameters.
    // Expected n."), then kept (3012 when the name is taken).
    static void CreateQueryDef(const QString &name, const QString &sql, platform::Database *database = nullptr);
    // Replaces a saved query's SQL, checked the same way (3265 when absent).
    static void SetQueryDefSQL(const QString &name, const QString &sql, platform::Database *database = nullptr);
    static void DeleteQueryDef(const QString &name, platform::Database *database = nullptr); // 3265
    // The names of the saved queries of the given DAO types (0 select,
    // 16 crosstab, 128 union, ...), in the engine's name order.
    static QStringList GetQueryDefNames(const QList<int> &types, platform::Database *database = nullptr);
    // Opens the set on a saved query: its declared parameters are asked
    // through the prompt service first; the engine checks the query against
    // the schema again as it runs. False when the user cancels or the query
    // fails (the failure is shown as for Open).
    bool OpenQueryDef(const QString &name, int openType = dbOpenSnapshot);

    // --- rows saved by another workstation meanwhile ----------------------
    // One line of the question below: a field both users changed, with the
    // other user's value beside this user's.
    static QString BothChangedLine(const QString &field, const platform::Value &theirs, const platform::Value &mine);
    // The same line of values already shown as the window shows them.
    static QString BothChangedLine(const QString &field, const QString &theirs, const QString &mine);
    // The question put to the user when another workstation saved fields
    // that this user changed too (one line each): IDYES keeps this user's
    // values, IDNO the other user's, anything else saves nothing now.
    static int AskAboutBothChanged(const QStringList &lines);

    // --- module helpers -----------------------------------------------------
    // The first field of the first row plus 1; 1 when there is no row. 0,
    // after NumberAfter's message, when that row holds the largest number.
    static qint32 GetNextNumber(const QString &sql, platform::Database *database = nullptr);
    // The number after the last one given out. Numbers are Long: after
    // 2147483647 there is none, and 0 comes back once NoNumberLeftText is
    // shown, so that the caller opens nothing for editing.
    static qint32 NumberAfter(qint64 last);
    static QString NoNumberLeftText();
    // Adds a copy of the statement's first row with the field at keyIndex set
    // to newValue. AutoNumber fields take a new number.
    static bool CopyRows(const QString &sql, qint32 newValue, int keyIndex);

    // The current row's own key in its table (see Recordset::currentRowKey):
    // a row read again later is found by it whatever was added, deleted or
    // sorted before it meanwhile. -1 without one.
    qint64 GetRowKey() const;
    // The numbers every row of the set's table holds now in the column under
    // a field, the rows outside the set's own included (a number another
    // workstation stored since the set was opened too): the numbers a new
    // row's key must not take. Read within the write that adds the row,
    // none can be taken in between. Empty for a set that writes no table
    // and for a computed field; throws platform::DbException.
    QSet<qint64> GetStoredNumbers(int index) const;

    // The underlying engine set while open (nullptr when closed).
    platform::Recordset *recordset() const { return m_set.get(); }

    // --- members used by callers and table classes ---------------------------
    platform::Database *m_pDatabase = nullptr;
    QString m_strFilter;
    // Values bound, in order, to the "?" marks of m_strFilter: a text from
    // outside goes into a filter this way, never into its text.
    QList<platform::Value> m_filterValues;
    QString m_strSort;
    int m_nFields = 0; // bound columns (known once the set has been opened)
    bool m_bCheckCacheForDirtyFields = true;
    int m_nDefaultType = dbOpenDynaset;
    QString m_strSQL;

    // The parts of the statement after SplitSQL.
    QString m_strSqlHead;    // SELECT and its list
    QString m_strSqlFrom;
    QString m_strSqlWhere;
    QString m_strSqlGroupBy;
    QString m_strSqlHaving;
    QString m_strSqlOrderBy;
    QString m_strSqlPivot;

    // Table classes store the exchange operation of their last exchange here.
    int m_nLastDfxOp = 0;

private:
    // True (after showing the database's read-only message with the context)
    // when the set cannot write because its database is read-only.
    bool refusedAsReadOnly(const QString &context);
    bool readOnlyDatabase() const;
    // A record only read: whether a bound member was changed since.
    bool changedSinceRead();
    // Throws 3163 naming the first bound text that its column cannot hold,
    // and 3349 naming the first number or amount that its column cannot.
    void refuseTextsTooLong();
protected:
    // Update(), under the one rule for a row that others may save too: what
    // this user changed is written, and only over the row as this user read
    // it. When another workstation saved the row meanwhile (3197), the row
    // is read again and only this user's changes go onto it; a field both
    // changed, to different values, is put to the user, who keeps either
    // value. False when the user chose to save nothing now: the edit stays
    // open with everything typed, still checked against the row as read.
    // Any other failure throws.
    bool updateAsRead();

private:
    // The settling of a 3197, for updateAsRead.
    bool saveOntoRowNow();
    // The size of a text column of the set's table (2147483647 for any other).
    qint32 tableColumnSize(const QString &name) const;
    friend class FieldExchange;

    struct BoundField;
    struct Binding;

    // One column of the exchange list, by its position in the list.
    void exchangeField(FieldExchange &fx, int position, const QString &column, FieldExchange::MemberType type,
                       void *member, FieldExchange::Hook hook);
    // What a NoNull or Limit column does to its member before each step.
    void runHook(FieldExchange::Operation op, int position, const QString &column, FieldExchange::Hook hook,
                 void *member);
    // One step of the exchange for one bound column.
    void exchangeBound(FieldExchange::Operation op, BoundField &field, const void *onlyMember);
    // A Fixup's usual step while the members are filled from a snapshot's
    // held row: true when the member was set (otherwise exchangeField sets it).
    bool fixupFromHeld(int position, void *member);

    void runExchange(FieldExchange::Operation op, const void *onlyMember = nullptr);
    void bindColumns();
    void loadCurrentRow();
    // AddNew's work up to remembering the members (the engine's new row, the
    // members Null, its AutoNumber shown).
    void startNewRecord();
    void markDirtyFields();
    void writeDirtyFields();
    QString buildSql(const QString &source) const;
    // Open's work with the saved query's parameter values; false on failure.
    bool openSource(int type, const QString &source, const QList<platform::Value> &parameters,
                    const std::function<QString()> &context);
    platform::Recordset &set() const; // throws 3420 when the set is closed
    // True while the set is open, after it has read its rows again when it
    // outlived its database's connection (the one way a kept set survives a
    // reopening); a failure to read them again throws.
    bool current(bool openClosedDatabase = true) const;
    // For the questions about a set: current() without opening a closed
    // database, a failure counted as a closed set.
    bool usable() const;
    // Opens the shared database through the opening sequence when it is
    // closed (a compaction that could not reopen it); 3420 when that fails
    // or the set's closed database is another.
    void openDatabaseAgain() const;
    int resolveIndex(const QString &name) const; // throws 3265 when absent
    BoundField *boundFieldFor(const void *member) const;
    // The bound column at a place of the list when it is the member's (as
    // it is while the list is run), else the member's wherever it is.
    BoundField *boundFieldAt(int position, const void *member) const;

    std::unique_ptr<platform::Recordset> m_set;
    QString m_source; // the table or statement the set was opened on
    std::unique_ptr<Binding> m_binding;
};
