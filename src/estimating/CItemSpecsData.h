#pragma once

#include "data/CItemSet.h"
#include "data/CSerSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

// The working copy of one item of a job while the item window edits it: the
// header fields, the service rows (stored rows by their ItemID, rows not yet
// stored under temporary ids -1001, -1002, ...), the change counters, and the
// shop's rules on them: adding and removing services with their follow-ups,
// the paper count, the print style and plates of each paper, the press's
// wash-ups and ink mixes, the quantity breaks of a quote, the checks before a
// save, and the write of the header and every service row in one transaction.
//
// It shows nothing itself: questions and messages go through the prompt
// service, the print-style choice through the program's choices dialog, and
// what needs a window of the item dialog (the editor of a grid row, a command
// to run once the current one is finished, a service's specs) through the
// hooks below. Nothing reaches the database before WriteItem.
class CItemSpecsData
{
public:
    // Change counters (see the save): 0 quantity, sheets, size or pages;
    // 1 price level or rounding; 2 a paper row; 3 wash or mix of the press;
    // 4 quantity or vendor of another service; 5 services added; 6 services
    // removed; 7 notes only.
    static constexpr int kCounters = 8;

    // Services the layout and carbonless rules add and remove by number.
    static constexpr qint32 kCutToRunSize = 174;
    static constexpr qint32 kCutToFinishSize = 175;
    static constexpr qint32 kCarbonlessPadding = 193;

    // What the specs window of a row found besides the row itself: the
    // SpecsFlags, and, with SizesChanged, the cut counts of the paper's new
    // cutting layout.
    struct SpecsResult
    {
        int flags = 0;
        qint32 cutsToRun = 0;
        qint32 cutsToFinish = 0;
    };

    struct Hooks
    {
        // A command for the item window to run after the current one has
        // finished (a negative id moves the focus to that control).
        std::function<void(int id)> postCommand;
        // Opens the item grid's editor on a row.
        std::function<void(int row)> editItemRow;
        // The specs window of a service row (paper specs for a paper row);
        // true on OK with the row changed in place. `result` returns what the
        // paper specs found.
        std::function<bool(CItemSet &row, const CSerSet &service, int startRow, SpecsResult &result)>
            editServiceSpecs;
        // Tells an open service picker that a service was added or removed.
        std::function<void(qint32 serNo, bool added)> pickerFollow;
    };
    enum SpecsFlags { InksChanged = 1, AddSecondPaper = 2, SizesChanged = 4 };

    // The item's job, saved with the item by the window that shows the job.
    // `check`, before anything is written: why the item cannot be saved onto
    // the job now (empty when it can). `save`, inside the item's transaction
    // once its rows and prices are written: writes the job's figures worked
    // from its items; false refuses the whole save, with why (empty when the
    // user has been asked and chose to save nothing now).
    struct JobAlongside
    {
        std::function<QString()> check;
        std::function<bool(QString &why)> save;
    };

    // The caller's item: its JobID, ItemNo and SubNo name the item, its ItemID
    // the stored header row (0 for a new item). The save writes it back.
    explicit CItemSpecsData(CItemSet *item);
    ~CItemSpecsData();
    CItemSpecsData(const CItemSpecsData &) = delete;
    CItemSpecsData &operator=(const CItemSpecsData &) = delete;

    Hooks &hooks() { return m_hooks; }

    // --- opening ---------------------------------------------------------------
    // Reads the job and the item's rows. False when the job is missing. Rows
    // whose service no longer exists are left out after the discrepancy
    // message.
    bool Load();

    // --- the working set -------------------------------------------------------
    // Rows in list order (by ItemID), each with its row and service.
    const std::vector<qint32> &Order() const { return m_order; }
    CItemSet *Row(qint32 id);
    const CItemSet *Row(qint32 id) const;
    const CSerSet *ServiceOf(qint32 id) const;
    const CSerSet *Service(qint32 serNo);
    qint32 FindRowOfService(qint32 serNo) const;
    int ServiceRowCount() const { return int(m_order.size()); }
    // The place of a service in the catalogue: its category's sort number x
    // 2000 + its own sort number.
    qint32 SortKeyOf(qint32 serNo);

    // Adds a service with its automatic follow-ups; the new row's id, or 0
    // when the service does not exist. `askSpecs` opens the specs of a paper
    // or a service that asks how many.
    qint32 AddService(qint32 serNo, bool askSpecs = true);
    // Removes a row with everything that goes with it.
    void RemoveService(qint32 id);
    void RemoveServiceBySerNo(qint32 serNo);
    void RemoveAllServices();
    // A copy of a row under a new temporary id, placed right after it.
    qint32 DuplicateService(qint32 id);
    // Sets a service's quantity (Out), adding the service when missing; with
    // removeAtZero a quantity of 0 removes it.
    void SetServiceQuantity(qint32 serNo, qint32 quantity, bool removeAtZero);
    // Edits a row: its note (noteOnly) or its specs; counts what changed.
    bool EditServiceNote(qint32 id, const QString &note);
    void EditService(qint32 id, int startRow = 4);
    // Puts rows into a new order (ids in the new order).
    void Reorder(const std::vector<qint32> &ids);
    // The item grid's sheets per set: with exactly one paper its sheets and
    // pages follow.
    void SetSheetsPerSet(qint32 sheets);

    // Paper count, sheets per set, pages and the sides text.
    void CountPapers();
    bool IsPaperRow(qint32 id) const;
    bool IsPressRow(qint32 id) const;
    bool IsPlateRow(qint32 id) const;

    // --- plates and print style -------------------------------------------------
    // Worked in 64 bits: a paper of many originals needs more plates than
    // the program holds, and CheckPlates refuses such a count by name.
    struct PlateCounts
    {
        qint64 regular = 0;
        qint64 turn = 0;
        qint64 sig = 0;
        qint64 a1 = 0;
        qint64 b = 0;
        bool turnPossible = false;
        bool sigPossible = false;
        bool workSigPossible = false;
        // False when the counts stop at regular (fewer than 2 plates or 1 up).
        bool choice = false;
    };
    // The plate counts of one paper of S originals, U up, and the front and
    // back ink codes; pads count one original.
    static PlateCounts CountPlates(qint32 S, qint32 U, quint8 front, quint8 back, bool pads);
    // The style a paper is proposed, from its stored style and the counts.
    static quint8 ProposeStyle(const PlateCounts &counts, quint8 stored);
    // "1 Plate", "12 Plates".
    static QString PlateCountText(qint64 count);
    // Plates needed for one paper, updating its print style (may ask).
    qint64 ChoosePrintStyle(qint32 S, qint32 U, quint8 front, quint8 back, quint8 &style);
    // Plates of the whole item against its press; false stops the save (a
    // count of plates past the largest count is refused by name).
    bool CheckPlates();

    // --- wash-ups and mixing ------------------------------------------------------
    void CountWashMix(quint8 &wash, quint8 &mix) const;
    // Counts the numbered inks of an ink text.
    static int CountInkMixes(const QString &inkText);
    // Recounts and offers the new counts to the press.
    void OnInksChanged();

    // --- quantity breaks of a quote ------------------------------------------------
    static QString QuantityBreaksPrompt(qint32 quantity);
    // The text between the braces of a note.
    static QString QuantityBreaks(const QString &note);
    // The note with the breaks typed (only those above the quantity, each
    // read whole as every count is: "1,000" is a thousand; a word is
    // dropped); no braces when none is left. A break past the largest count
    // is refused: the note comes back as it was and `refusal` names it.
    static QString ApplyQuantityBreaks(const QString &note, const QString &typed, qint32 quantity,
                                       QString *refusal = nullptr);
    // The quick list of common quantities.
    static QString CommonQuantities();

    // --- saving ----------------------------------------------------------------------
    // A check's message: "?" makes it a Yes/No question. True (the save
    // stops) on OK or Yes; then a command id above 0 is posted, a negative one
    // moves the focus.
    bool AskAndGo(const QString &text, int commandId);
    bool ValidateItem();
    bool CheckRunSize();
    // Writes the header and every service row in one transaction. On a
    // failure nothing is written, the user is told and the working copy stays
    // as it was.
    // askQuantities false: the caller asked them (AskQuantitiesBeforeWrite)
    // before its transaction began, and what a refusal says is left in
    // m_sayAfterRollback, for the caller to say once it has rolled back.
    bool WriteItem(bool askQuantities = true);
    // Whether the save must price the item (any of counters 0 to 6).
    bool NeedsPricing() const;
    // After the write: prices the item when something that affects its price
    // changed (the pricing engine may ask), else sounds the information beep.
    // True when it priced.
    // With pastLargest, the save's own check: a count, time or amount past what
    // the program holds, worked from the rows as written, is put there (and the
    // pricing writes nothing and says nothing of it).
    bool PriceAfterWrite(QString *pastLargest = nullptr);
    // What a save says when its quantity makes such a figure.
    QString PastLargestRefusal(const QString &pastLargest) const;
    // Cancel's test: counters against the stored row and the working copy
    // against what was read.
    bool HasChanges();
    // Save & Close after the checks: the item's rows, its prices and, with a
    // job alongside, the job's figures, as one change. Refused or failed,
    // nothing of it is written and the working copy stays as it was (the
    // user has been told why). True when saved; `priced` tells whether the
    // item was priced.
    bool SaveItem(bool &priced);
    void SetJobAlongside(const JobAlongside &job) { m_job = job; }

    // --- fields -----------------------------------------------------------------
    CItemSet *m_pItem = nullptr;
    quint8 m_nJobType = 0;
    QString m_strJobLabel;
    QString m_strDescription;
    QString m_strNote;
    qint32 m_nQuantity = 1;
    qint32 m_nSheets = 1;
    qint32 m_nPages = 1;
    quint8 m_nProductType = 0;
    quint8 m_nPriceLevel = 0;
    quint8 m_nRounding = 1;
    quint8 m_nUnitFormat = 0;
    quint8 m_nUnit = 0;
    QString m_strSize;
    // The printed sheet of a booklet's item (pages side by side): paper rows
    // added here take it as their finish size. Empty for other items.
    QString m_strFlatSize;
    QString m_strCopiedFrom;
    quint8 m_nPaperCount = 0;
    QString m_strSides;
    qint32 m_nPaperId = 0;
    qint32 m_nPressId = 0;
    qint32 m_nNextId = -1000;
    bool m_bPreview = false;
    bool m_bDigital = false;
    std::array<int, kCounters> m_nChanged{};
    QString m_strDiscrepancy;

private:
    qint32 NewRowId() { return --m_nNextId; }
    qint32 InsertRow(CItemSet &row, const std::shared_ptr<CSerSet> &service);
    void EraseRow(qint32 id);
    void Follow(qint32 serNo, bool added);
    void AddPrinter(CItemSet &row, const std::shared_ptr<CSerSet> &service);
    void AddFollowUps(qint32 serNo);
    bool FindStoredHeader(CItemSet &header);
    bool WriteRows(CItemSet &header, std::array<int, kCounters> &counters, qint32 &itemNo);
    std::function<void()> m_sayAfterRollback; // see WriteItem
    bool AskQuantitiesBeforeWrite();
    QString Snapshot() const;
    // The item's own fields named and shown as this window shows them, for
    // the question about a field another workstation changed too.
    void NameHeaderFields(CItemSet &head) const;
    // A stored service row being written: each field the row holds now other
    // than as read takes the read value as what this user was shown, and
    // every field is named by the service and what it is.
    static void ShowRowAsRead(CItemSet &row, const CItemSet &read, const QString &serviceName);

    Hooks m_hooks;
    JobAlongside m_job;
    bool m_bSaveCancelled = false; // the last write stopped at the user's Cancel
    // The item's own row as read at opening: what this user was shown of
    // each field, so that only what was changed here is written.
    std::unique_ptr<CItemSet> m_readHeader;
    std::map<qint32, CItemSet> m_readRows; // the service rows as read, by ItemID
    std::map<qint32, CItemSet> m_rows;
    std::map<qint32, std::shared_ptr<CSerSet>> m_serviceRows; // by ItemID
    std::map<qint32, std::shared_ptr<CSerSet>> m_services;    // by SerNo
    std::vector<qint32> m_order;
    std::vector<qint32> m_readIds; // ids read at opening
    QString m_strReadState;        // the working copy as read, for Cancel
    CSerSet m_finder;
};
