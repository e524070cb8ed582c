#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

// The recordset of table Items. Rows with SerNo 0 are the items of a job (what
// the customer buys); rows with SerNo above 0 are the service rows of an item,
// one per service of the shop applied to it, with its quantities, times,
// costs and price. Besides the columns it carries the openers, the item and
// sub-item numbering, the note parts of a paper row, the short texts that
// describe an item, and the production rules: the defaults of a new service
// row, the status change with its day stamp and inventory, and the booking of
// actual quantities and minutes.
//
// A price of 0 means not priced; +/-0.0001 marks a priced item that is not
// charged.
class CItemSet : public CXDaoSet
{
public:
    // Kinds of rows the openers select.
    enum RowKind { AllRows = 0, ItemRows = 1, ServiceRows = 2, UnfinishedServices = 3, FinishedServices = 4 };

    explicit CItemSet(platform::Database *database = nullptr);
    // A holder of another row's values; it is never opened.
    CItemSet(const CItemSet &other);
    ~CItemSet() override;

    // Copies the columns (the key included) and the working members; the
    // recordset state is not copied.
    CItemSet &operator=(const CItemSet &other);
    void CopyFields(const CItemSet &other);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // Every column but the key to 0 or "", except Sheets 1 and Status 1 (not
    // finished); the working members cleared. Callers that add a row call it
    // after SafeAddNew.
    void ResetFields() override;

    // --- openers (TRUE when a row was found) -----------------------------------
    bool OpenByItemID(qint32 itemId, bool edit = false);
    bool OpenJobRows(qint32 jobId, int kind);
    bool OpenItemRows(qint32 jobId, int itemNo, int subNo, int kind);
    bool OpenOwnServices(int kind);
    bool OpenServicesOfItem(const CItemSet &item, int kind);

    // --- numbering ------------------------------------------------------------
    // The next item number of a job (1 for a job without items). A job that
    // already has item 255 gets no further number: the user is told and the
    // result is 0.
    static quint8 GetNextItemNo(qint32 jobId);
    // The next sub-item number of an item, with the same limit.
    static quint8 GetNextSubNo(qint32 jobId, int itemNo);
    // The day of the job on which this service is done (DateIn + Days2 - 1);
    // the date 0.0 when the job has no valid DateIn.
    DateTime GetJobDateIn() const;

    // --- note parts of a paper row ------------------------------------------------
    // The Note holds the plain note, then " · " run size " · " finish size,
    // then " • " front inks " • " back inks. `service` is the set positioned
    // on the item's product service (its Size and CatNo are read).
    void JoinNoteParts(const CXDaoSet &service);
    void SplitNoteParts(const CXDaoSet &service);
    // Removes the first part in braces from Description.
    void StripBracedText();
    // A copied item takes its source's attached file: the first Samples row
    // of `fromItemId` whose path is not empty is given to `toItemId`.
    static void CopySample(platform::Database &db, qint32 fromItemId, qint32 toItemId);

    // --- texts ------------------------------------------------------------------
    // "NEW ITEM" for a row not numbered yet, else prefix and "3" or "3.2".
    QString GetItemNoText(const QString &prefix) const;
    void GetItemNoText(QString &out, const QString &prefix) const;
    QString GetWashMixText(const QString &separator) const;
    QString GetRunFinishText(const QString &separator) const;
    // The price choice a service row holds in Side2.
    QString GetChoiceText() const;
    // Print style, coverage, registration and bleed.
    QString GetPressSpecText(const QString &separator) const;
    // "1,500 Sheets"; one sheet drops the plural "s" of each word.
    QString GetSheetsText(const QString &unitWord) const;

    // --- production rules -----------------------------------------------------------
    // Defaults of a new service row from shop option 44331.
    void SetDefaults();
    // Status of a new item from shop option 44332.
    void SetDefaultStatus();
    // The two shop options as the rules above read them (a missing row gives
    // its default), for the dialog that edits them.
    static qint32 GetServiceDefaultsOption();
    static qint32 GetItemStatusOption();
    // what 1 sets EmpNo, 2 Tag1, 3 Tag2, anything else the Status (with the
    // day stamp, inventory and actual costs of a service row). ItemID 0 works
    // on the current row. 0 nothing saved, 1 saved, 2 saved and actual costs
    // rebooked.
    int SetServiceStatus(int value, int what, qint32 itemId);
    // Marks the open item row (SerNo 0) Done with its services: every service
    // still to do is finished first, and the item is written Done only when
    // all of them were. A finish refused or cancelled stops there and leaves
    // the item's status as it was. Without the shop's inventory it is one
    // transaction, all or none; with it each row is its own write (finishing
    // may ask about the stock, never while the file is held), and the services
    // finished before the refusal stay finished. `finished` gets the services
    // whose finish is stored. A database error is thrown.
    bool SetItemDone(QList<qint32> &finished);
    // The quantity moved out of stock when this service is finished (negative
    // when a finished service is reopened), 0 when no stock moves, -1 when the
    // change is refused or cancelled. The stock is booked at once.
    int CheckInventoryForStatus(bool reopen);
    // Today's day number within the job (1 on the day it came in, at most 254);
    // 0 without a valid DateIn.
    quint8 GetDaysSinceJobIn() const;
    // Books actual material and minutes, rescales their costs and rolls the
    // cost up into the item and the job. FALSE when nothing was booked.
    bool SetActualCosts(qint32 quantity, qint32 minutes);

    // The inventory rule, set by the application at start-up: the inventory
    // switch, the shop option bits (option 30749: 8 confirm the quantity in
    // the inventory dialog before stock moves, 16 book the confirmed quantity
    // as the actual quantity) and the dialog. The dialog gets the service,
    // whether stock is given back, the quantity and the new stock, and returns
    // false when cancelled; without a dialog the quantities stand as computed.
    struct InventoryRules
    {
        bool enabled = false;
        qint32 optionBits = 11;
        std::function<bool(qint32 serNo, bool giveBack, qint32 &quantity, qint32 &newStock)> confirm;
    };
    static void SetInventoryRules(const InventoryRules &rules);
    static const InventoryRules &GetInventoryRules();

    // --- columns ------------------------------------------------------------
    qint32 m_ItemID = 0;
    QString m_Description;
    QString m_Note;
    qint32 m_JobID = 0;
    qint32 m_SerNo = 0;
    quint8 m_ItemNo = 0;
    quint8 m_SubNo = 0;
    quint8 m_SortNo = 0;
    float m_Width = 0;
    float m_Height = 0;
    qint32 m_Sheets = 1;
    qint32 m_Pages = 0;
    qint32 m_Out = 0;
    qint32 m_Up = 0;
    qint32 m_Data1 = 0;
    qint32 m_Data2 = 0;
    quint8 m_Side1 = 0;
    quint8 m_Side2 = 0;
    quint8 m_Covrg = 0;
    quint8 m_Regis = 0;
    quint8 m_Bleed = 0;
    quint8 m_PrtAs = 0;
    quint8 m_Vendor = 0;
    quint8 m_Opt1 = 0;
    quint8 m_Opt2 = 0;
    quint8 m_Opt3 = 0;
    quint8 m_Opt4 = 0;
    quint8 m_Wash = 0;
    quint8 m_Mix = 0;
    quint8 m_EmpNo = 0;
    quint8 m_Status = 1;
    quint8 m_Days2 = 0;
    quint8 m_Tag1 = 0;
    quint8 m_Tag2 = 0;
    qint32 m_ActualTime = 0;
    qint32 m_ChargeTime = 0;
    qint32 m_ActualQty = 0;
    qint32 m_ChargeQty = 0;
    Money m_TimeCost;
    Money m_MatCost;
    Money m_Cost;
    Money m_Price;

    static constexpr int kFieldCount = 42;

    // --- working members of the pricing and layout code (never stored) -----
    qint32 m_nSerQty = 0;      // service quantity
    qint32 m_nDivide = 0;      // divisor of the quantity
    qint32 m_nSetMinutes = 0;  // set-up minutes
    qint64 m_nSetCost = 0;     // set-up cost, cents (64 bits: up to the largest amount)
    qint64 m_nSetPrice = 0;    // set-up price, cents
    qint32 m_nRunMinutes = 0;  // run minutes
    qint64 m_nRunCost = 0;     // run cost, cents
    qint64 m_nRunPrice = 0;    // run price, cents
    qint32 m_nWorkFlags = 0;   // flags of the pricing code
    double m_dRunSpeed = 0;    // units per hour
    // The note parts of a paper row.
    QString m_strPaperSize;
    QString m_strRunSize;
    QString m_strFinishSize;
    QString m_strPlainNote;
    QString m_strFrontInks;
    QString m_strBackInks;
    QString m_strExplain;      // explanation text of the pricing code

protected:
    platform::Database &database();
    // The working members below the columns back to their defaults.
    void ClearWorkingMembers();

private:
    // What a status change does to the stock of an inventory service, decided
    // (with any question) before anything is written.
    // Held in 64 bits: a stock near the largest count given back, or taken
    // from a stock past it, is worked whole and refused by name.
    struct StockMove
    {
        qint32 serNo = 0;
        qint64 quantity = 0;
        qint64 change = 0; // added to the stock
    };
    int DecideInventory(bool reopen, StockMove &move, bool &refused);
    // Empty when the stock moved (or had nothing to move); the refusal,
    // naming the service, when the stock it would take is past the largest
    // count: then nothing is written.
    static QString ApplyStockMove(platform::Database &db, const StockMove &move);
    // A status set by this user, with the day stamp that goes with it.
    struct StatusChange
    {
        bool set = false;
        quint8 value = 0;
        quint8 days = 0;
    };
    // Writes the status change and the booking of actual quantity and
    // minutes (which finishes the service) onto the row as it is now, read
    // under the write lock: another user's save of other fields is kept, the
    // costs are rescaled from the figures stored now and rolled up into the
    // job, and the stock move goes with them. A field both changed is asked
    // about with the file free, and the row read again. 0 when nothing was
    // written (cancelled, refused or failed, shown; the edit is dropped), 1
    // written, 2 written with actuals booked.
    int WriteOntoRowNow(const CItemSet &before, const StatusChange &status, qint32 quantity, qint32 minutes,
                        const StockMove &move);
    // Leaves the edit and shows the row as the database holds it.
    void DropEdit(const CItemSet &before);
};
