#pragma once

#include "data/CItemSet.h"
#include "data/CSerSet.h"
#include "estimating/PricingCache.h"
#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// The pricing engine of one item of a job. It loads the item's rows (the item
// row, SerNo 0, and one row per service), the Services row of every service
// and the shop's markup, waste and difficulty tables; it turns the item's
// paper, press and services into quantities, waste, set-up and run times,
// costs and prices with a written explanation per row; it sums them into the
// item's cost and price, rounds the price, decides what to keep and writes the
// rows back.
//
// Callers that only need the figures pass the silent flag: a silent engine
// never asks anything and never writes.
class CItemPrice
{
public:
    // Which cost and which price an item keeps (command ids of the choice).
    enum PriceChoice {
        DefaultCostDefaultPrice = 30451,
        RevisedCostDefaultPrice = 30452,
        DefaultCostLastPrice = 30453,
        RevisedCostLastPrice = 30454,
        DefaultCostRevisedPrice = 30455,
        RevisedCostRevisedPrice = 30456,
        NoChoiceYet = 30459,
    };

    // The item dialog that runs the pricing: its counts of services added and
    // removed since it opened.
    struct Owner
    {
        int servicesAdded = 0;
        int servicesRemoved = 0;
    };

    // The price-change dialog, run when the new figures differ from the saved
    // ones and no rule decides: it gets the engine and the window title and
    // returns the chosen PriceChoice, or 0 when cancelled.
    using PriceChangeDialog = std::function<int(CItemPrice &engine, const QString &title)>;

    CItemPrice();
    // A caller that prices many items in one run passes the run's cache (see
    // PricingCache); without one the engine reads the shop tables itself.
    CItemPrice(CItemSet *item, bool silent, PricingCache *cache = nullptr);
    ~CItemPrice();
    CItemPrice(const CItemPrice &) = delete;
    CItemPrice &operator=(const CItemPrice &) = delete;

    // --- loading ---------------------------------------------------------------
    // Loads the item whose JobID, ItemNo and SubNo the set's current row holds.
    void LoadItemServices(CItemSet *item, bool silent, PricingCache *cache = nullptr);
    void LoadMarkupTable();
    void LoadWasteTable();
    void LoadDifficultyTables(qint32 pressSerNo, qint32 paperCatNo, const QString &paperSize);
    // False when the loading stopped on a service that does not exist.
    bool IsLoaded() const { return m_bLoaded; }

    // --- pricing ------------------------------------------------------------------
    // Silent: TRUE when the new price is not zero. Otherwise the choice that
    // was saved (30451..30456), or 0 when nothing was written.
    int PriceItem(int quantity = 0);
    // The same pricing, every question of it asked (a missing count, time or
    // rate, the price of an item priced by hand, the figures to keep, what is
    // said of them), but nothing written: the choice to be written by
    // SaveChosenRows (30451..30456), or 0 when nothing is to be written. A
    // caller that writes the item in a transaction with other rows prices it
    // so before the transaction, and no workstation waits on a question.
    int PriceItemUnsaved(int quantity = 0);
    // Writes the rows of the last PriceItemUnsaved as chosen onto the item's
    // rows as stored now, asking nothing: the caller's transaction holds the
    // file and has checked that the rows are the ones priced. A refusal (an
    // amount past the largest) is put into `refusal`, to be said once the
    // transaction is over; a database failure is shown as any other. False
    // when nothing was written.
    bool SaveChosenRows(QString *refusal);
    // Prices the item at this price level in place of the one its row holds
    // (a caller that saves the level with the price); before PriceItem.
    void SetPriceLevel(int level) { m_nPriceLevel = level; }
    static int GetPriceChangeState(Money saved, Money defaultPrice);
    void SpreadItemPrice(Money price);

    // --- prompts ------------------------------------------------------------------
    // An amount in ten-thousandths; false (amount unchanged) on cancel.
    bool AskAmount(qint64 *amount, const QString &what, const QString &help = QString());
    bool AskCount(qint32 *value, bool time);
    void AskItemPrice(Money revised);

    // --- the steps, public for the dialogs that show them ----------------------------
    bool LoadWorkRow(qint32 itemId);
    void StoreWorkRow();
    void ComputePaperQuantity();
    void ComputePressQuantity();
    void ComputeServiceQuantity();
    qint32 GetServiceQuantity(quint8 qtyBy) const;
    void ComputeSetupAndRun();
    double GetRunLengthIncrease(qint32 runLength) const;
    void PriceService();
    double GetMarkupFactor(Money cost) const;
    Money LookupPriceTable();
    qint32 ComputeWaste(int method, qint32 runQty, qint32 out, qint32 runLength, qint32 passes, qint32 plates);
    void AddJobDifficulty(int row, const QString &name);
    qint32 GetPasses(quint8 c1, quint8 c2, quint8 printAs) const;
    qint32 GetRunLength(qint32 parts, qint32 up, qint32 sheets, quint8 printAs) const;
    static double GetCaliper(const CSerSet &paper, const CItemSet &row);
    static double CaliperFromWeight(qint32 weight, qint32 catNo);

    // --- a row explained ----------------------------------------------------------
    // How a priced row's service quantity is reached, its time and its own
    // explanation; empty when the row is not loaded. Price the item first.
    QString GetQuantityExplanation(qint32 itemId);
    // The same text in the note window ("How Service Quantity is Calculated").
    void ExplainServiceQuantity(qint32 itemId);
    // The service dialog on the service of a row.
    void OpenRowService(qint32 itemId);

    // --- control -----------------------------------------------------------------
    void SetPresetChoice(int choice) { m_nPresetChoice = choice; }
    int GetPresetChoice() const { return m_nPresetChoice; }
    int GetChoice() const { return m_nChoice; }
    void SetOwner(const Owner *owner) { m_pOwner = owner; }
    // A caller that refuses its whole write when the pricing makes a figure
    // past what the program holds (PastLargestFigure) says so itself: the
    // pricing then writes nothing and says nothing of it.
    void SetPastLargestSaidByCaller(bool byCaller) { m_bPastLargestByCaller = byCaller; }
    // A copy of the figures the price-change dialog shows (new, revised and
    // last cost and price, the price lock and state, the owner's counts),
    // apart from this engine's rows and tables.
    std::shared_ptr<CItemPrice> FiguresShown() const;
    const Owner *GetOwner() const { return m_pOwner; }
    void SetPriceChangeDialog(PriceChangeDialog dialog) { m_priceChangeDialog = std::move(dialog); }
    // The price-change dialog of every engine that was given none of its own
    // (the program installs the "Price Changed" window at start-up).
    static void SetDefaultPriceChangeDialog(PriceChangeDialog dialog);
    // Why an item of the job may not be saved with this cost and price: the
    // item's Price or Cost, or the job's Subtotal or Cost with the item's
    // figures in place of those it has now, past the largest amount the
    // program takes (the message names the figure). Empty when it may.
    static QString PastLargestAmount(qint32 jobId, qint32 itemNo, qint32 subNo, Money itemCost, Money itemPrice);

    // Why the last pricing could not be kept: a count, a time or an amount
    // it would make past what the program holds, as its refusal says it
    // ("the Run Sheets of Bond 20# would be 2,000,000,000, more than
    // 1,000,000,000, the largest count the program holds."), or the item's
    // Quantity itself past the largest count. Empty when nothing passes.
    // Such a pricing leaves the item unpriced and writes nothing.
    const QString &PastLargestFigure() const { return m_strPastBound; }

    // --- results -----------------------------------------------------------------
    Money GetNewCost() const { return m_NewCost; }
    Money GetNewPrice() const { return m_NewPrice; }
    Money GetRevisedCost() const { return m_RevCost; }
    Money GetRevisedPrice() const { return m_RevPrice; }
    Money GetLastCost() const { return m_LastCost; }
    Money GetLastPrice() const { return m_LastPrice; }
    // The item row's price lock (Mix) and price-change state (Regis) as loaded.
    int GetPriceLock() const { return m_nPriceLock; }
    int GetPriceState() const { return m_nPriceState; }
    bool AllServicesPriced() const { return m_bAllPriced; }
    qint32 GetItemQuantity() const { return m_nItemQty; }
    int GetPriceLevel() const { return m_nPriceLevel; }
    int GetPassCount() const { return m_nPass; }
    // The service rows, ascending by ItemID, as last priced (the item row too).
    const std::map<qint32, CItemSet> &Rows() const { return m_rows; }
    // The Services row of a service number, nullptr when not loaded.
    const CSerSet *Service(qint32 serNo) const;
    const CItemSet &WorkRow() const { return m_work; }

    // Item-wide counts of the last paper calculation.
    struct Counts
    {
        qint32 sheetsPerSet = 0;
        qint32 pagesPerSet = 0;
        qint32 passes = 0;
        qint32 maxRunLength = 0;
        qint32 howSides = 0;
        qint32 parentSheets = 0;
        qint32 runSheets = 0;        // with waste
        qint32 runSheetsNoWaste = 0;
        qint32 finishSheets = 0;
        qint32 impressions = 0;
        double caliper = 0;
    };
    const Counts &GetCounts() const { return m_counts; }
    qint32 GetSetupPlates() const { return m_nPlateTotal - m_nPlatesOwnQty; }
    qint32 GetPlateTotal() const { return m_nPlateTotal; }
    const qint32 *JobDifficulty() const { return m_JobDiff[0]; }
    const QString &JobDifficultyNames() const { return m_strDiffNames; }

private:
    using PriceTable = PricingCache::PriceTable;

    void Reset();
    bool IsPaperRow(const CSerSet &ser) const;
    bool IsPressRow(const CSerSet &ser) const;
    const PriceTable &PriceTableOf(qint32 serNo);
    void RoundNewPrice();
    void ShowItemMessage(const QString &text, unsigned icon);
    QString ItemTitle() const;
    bool OpenItemRowSet();
    bool SaveRows(int choice, bool spreadTyped);
    // `refused`: where a refusal goes instead of being shown (nullptr: shown).
    bool WriteRows(int choice, bool spreadTyped, QString *refused = nullptr);
    int PriceAndChoose(int quantity, bool write);
    void ChosenFigures(int choice, Money &itemCost, Money &itemPrice) const;
    // Why the figures of the choice may not be saved (PastLargestAmount).
    QString PastLargestOfChoice(int choice) const;
    void PaperDifficultyOf(const CSerSet &paper, int &level) const;
    // The figure, worked in more bits than it is kept in, held to the largest
    // count (or amount, in ten-thousandths): past it, the first such figure
    // of the pricing is remembered with its name (the figure and whose it
    // is: "Run Sheets of Bond 20#") and the largest is given instead, so that
    // nothing wraps while the pricing runs to its refusal.
    // The name is made only when the figure is refused: the pricing holds
    // thousands of figures, hardly ever one past the largest.
    struct FigureName
    {
        // The figure ("Run Sheets"), followed by `whose` when given, else by
        // " of " and the name of the service being priced.
        FigureName(const char *figure) : m_figure(figure) {}
        FigureName(const char *figure, const QString &whose) : m_figure(figure), m_whose(&whose) {}
        const char *m_figure;
        const QString *m_whose = nullptr;
    };
    qint32 HeldCount(__int128 value, FigureName figure) const;
    qint32 HeldCount(double value, FigureName figure) const;
    qint64 HeldAmount(__int128 units, FigureName figure) const;
    qint64 HeldAmount(double units, FigureName figure) const;
    // Rounds up to a multiple of step (above 1), held as a count.
    qint32 HeldRoundUp(qint32 value, qint32 step, FigureName figure) const;
    // The figure's name as a refusal says it: "Run Sheets of Bond 20#".
    QString FigureText(FigureName figure) const;
    // "of " and the name of the service being priced.
    QString OfService() const;

    // The item being priced and the rows.
    CItemSet *m_pItem = nullptr;
    CItemSet m_items;              // all rows of the item, opened to read them without a run's cache and to write back
    std::vector<CItemSet> m_ownRows; // the item's rows when read here
    std::vector<qint32> m_serNos;
    CItemSet m_work;               // the row being priced
    const CSerSet *m_pSer = nullptr; // its service
    std::map<qint32, CItemSet> m_rows;
    std::map<qint32, std::shared_ptr<const CSerSet>> m_services;
    std::vector<qint32> m_paperRows;
    std::map<qint32, Money> m_savedCost;   // as loaded, by ItemID
    std::map<qint32, Money> m_savedPrice;
    std::map<qint32, QString> m_setupText; // set-up explanation of the first pass
    std::map<qint32, qint32> m_runQty;     // run sheets of each paper row
    // The shop tables: the caller's cache of the run, or the engine's own.
    PricingCache *m_pCache = nullptr;
    std::unique_ptr<PricingCache> m_ownCache;

    bool m_bSilent = false;
    bool m_bPastLargestByCaller = false;
    bool m_bLoaded = false;
    int m_nPass = 0;
    int m_nPresetChoice = NoChoiceYet;
    int m_nChoice = NoChoiceYet;
    int m_nChosen = 0;     // the choice PriceItemUnsaved left to be written
    bool m_bSpread = false; // a price typed or kept was spread over the rows
    const Owner *m_pOwner = nullptr;
    Owner m_ownerShown; // the owner's counts, held by a copy of the figures
    PriceChangeDialog m_priceChangeDialog;
    int m_nJobType = 0;

    // Item row values.
    qint32 m_nItemRowId = 0;
    qint32 m_nItemQty = 1;
    qint32 m_nItemSheets = 1;
    int m_nPriceLevel = 0;
    bool m_bRoundPrices = false;
    quint8 m_nQtyUnit = 0;
    float m_fWidth = 0;
    float m_fHeight = 0;
    Money m_LastCost;
    Money m_LastPrice;
    int m_nPriceLock = 0;
    int m_nPriceState = 0;
    QString m_strDescription;
    QString m_strItemLabel;

    // Paper row values.
    qint32 m_nPaperRowId = 0;
    qint32 m_nPaperCatNo = 0;
    QString m_strPaperSize;
    quint8 m_nCoverage = 0;
    quint8 m_nRegister = 0;
    quint8 m_nBleed = 0;
    quint8 m_nPrintAs = 0;
    float m_fPaperSetTime = 0;
    float m_fPaperImpHour = 0;
    bool m_bBothSides = false;
    qint32 m_nPaperUp = 0;

    // Press row values.
    qint32 m_nPressRowId = 0;
    qint32 m_nPressSerNo = 0;
    qint32 m_nWashes = 0;
    qint32 m_nMixes = 0;
    quint8 m_nPressColors = 0;
    quint8 m_nPressWasteBy = 0;
    float m_fPressSetTime = 0;
    float m_fPressImpHour = 0;
    bool m_bDigital = false;
    bool m_bUsePaperProps = false;
    qint32 m_nPlateSetTime = 0; // hundredths, from the press's set-up table
    double m_dMinutesPerPlate = 0;

    // Other rows.
    qint32 m_nPlateTotal = 0;
    qint32 m_nPlatesOwnQty = 0;
    qint32 m_nFinishSetWaste = 0;
    double m_dFinishRunWaste = 0;

    // Tables.
    qint64 m_Markup[20][9] = {};
    qint32 m_Waste[21][8] = {};
    qint32 m_JobDiff[20][5] = {};
    qint32 m_PapDiff[20][5] = {};
    qint32 m_RunLength[9][2] = {};
    QString m_strDiffNames;
    double m_dPaperDiffSetup = 0;
    qint32 m_nPaperDiffSpeed = 0;
    int m_nPaperLevel = 0; // difficulty level of the paper row being counted

    Counts m_counts;

    // Totals.
    Money m_NewCost;
    Money m_NewPrice;
    Money m_RevCost;
    Money m_RevPrice;
    Money m_DefaultPrice; // the new price after rounding, before any spread
    bool m_bAllPriced = true;
    mutable QString m_strPastBound; // PastLargestFigure
};

