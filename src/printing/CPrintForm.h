#pragma once

#include "app/base/CompanyInfo.h"
#include "app/base/PrintService.h"
#include "data/CCusSet.h"
#include "data/CItemSetX.h"
#include "data/CJobSet.h"
#include "printing/CPrint.h"

#include <QtCore/QList>

#include <functional>
#include <array>
#include <map>
#include <vector>

// The printed-documents object: the print engine with the records documents
// need, the form definition of table Forms, and the page dispatch that sends
// every page to the renderer of the run's kind. The application owns exactly
// one (through the print service it installs); every view, dialog and report
// prints through it.
//
// Kinds and their renderers: 100 the list on the screen (or a chart's table),
// 101-199 list parts printed from the engine's own table, 200 a grid dialog,
// 202 a tree, 203 a captured screen, 204 a text file. Documents of records
// (job documents below 100, receipts 201, bar-code sheets 300-308) are
// registered by their subsystems with RegisterRenderer.
//
// Form numbers: 1-9 order documents, 11-19 quote documents, 41-49 A/R
// documents, 99 receipts, 100 lists and everything else; a missing form
// falls back to form 100, then to the cleared defaults.
class CXTable;

class CPrintForm : public CPrint, public PrintService
{
public:
    // Draws one page from the record index, which it advances.
    using PageRenderer = std::function<void(CPrintForm &form, QPainter &dc, PrintInfo &info, int &row)>;

    // A layout of the paper-cutter sheet: its drawing into a rectangle
    // (returning the rectangle used), its caption and its second text.
    struct CutterLayout
    {
        std::function<QRect(QPainter &dc, const QRect &area)> draw;
        QString caption;
        QString secondText;
    };

    CPrintForm();
    ~CPrintForm() override;

    void RegisterRenderer(int firstKind, int lastKind, PageRenderer renderer);
    bool HasRenderer(int kind) const;

    // Loads the Forms row of m_nFormNo (form 100 when it is missing, the
    // cleared defaults when that is missing too) with its margins, title
    // and colours. True when a row was found.
    bool FindForm();
    // Loads the form of a job document or statement (FindForm on formNo) and
    // takes its title; a document whose form row is missing prints on form
    // 100 under the title the print dialog gives it, never the list's.
    void LoadDocumentForm(int formNo, int listBranch);

    void OnBeginPrinting(QPainter &dc, PrintInfo &info) override;
    void OnPrint(QPainter &dc, PrintInfo &info) override;

    // "continued..." centred on one line of the body column at y.
    void DrawContinuedLine(QPainter &dc, int y);
    // The form's footer, the shop's address (one line, or wrapped at its
    // words when longer) and "(print# n)" beside its first line.
    void DrawDocumentFooter(QPainter &dc, PrintInfo &info, int y, int printCount);
    // How far down from y the document footer reaches (room kept for a
    // print count).
    int DocumentFooterHeight(QPainter &dc, const PrintInfo &info);
    // The height of the shop's address in the footer between left and
    // right (one line of its font at least), and the box it wraps in.
    int CompanyFooterHeight(QPainter &dc, int left, int right, bool counted);
    PrintRect FooterCompanyBox(QPainter &dc, int left, int right, int top, const QString &count) const;
    void PrintPaperCutter(QPainter &dc, PrintInfo &info, const CutterLayout &first, const CutterLayout &second);

    // PrintService.
    void PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2, const QString &caption3,
                   int command) override;
    void PrintViewList(int viewId, CXListCtrl *list, CXChartCtrl *chart, const QString &viewName,
                       const QString &listCaption, const QString &filterText, int command) override;
    void PrintGrid(QWidget *dialog, CXGridCtrl *grid, CXGridCtrl *secondGrid, const QString &title,
                   const QString &subtitle) override;
    void PrintScreen(QWidget *window, QWidget *part, const QString &title, const QString &partName,
                     int command) override;

    // Sets up a table print of SQL's rows from the engine's own table on form
    // 100, a total row at the end (kind 101). False when the query gave no rows.
    bool SetupTablePrint(const QString &sql, const QString &title);

    // --- the print entry of the views -----------------------------------------

    // Works out which document the user wants (the print dialog), loads and
    // counts its records, prepares its title and attachment name and selects
    // the form's printer. The command for the caller: 0 nothing to do,
    // negative from the job's check (-30103 open the job), 57607 print with
    // the printer dialog, 57608 print now, 57609 preview, 30562 a PDF to
    // mail, 30563 an RTF letter to mail.
    int PrintJobDocument(int viewId, int listBranch, int listItem, qint64 recordKey, CXListCtrl *list,
                         CXChartCtrl *chart, QWidget *view);
    // The steps before the dialog: the remembered choice and the job's
    // check. 1 to go on to the dialog, else the entry's result.
    int PrepareChoice(int viewId, int listBranch, qint64 recordKey);
    // The steps after the dialog (or a caller that chose without it).
    int ApplyChoice(int viewId, int listBranch, int listItem, qint64 recordKey, CXListCtrl *list, CXChartCtrl *chart,
                    QWidget *view, int command, int kind, int options, const QString &title);
    // Documents of records (kinds below 100): loads the record of the key.
    // The record count, 0 for none, or a negative command from the check.
    int BuildSelection();
    // List parts (kinds above 100): loads the part's rows into the table.
    int LoadListPart();
    // The next chosen part of a list report (its kind), 0 when none is left.
    int NextListPart();
    // The next record of a batch; its record count.
    int SelectRecord(qint64 key);
    // Carries out an entry's command: prints (the e-mail attachment to its
    // file), then the rest of a batch after a real print. The command the
    // view follows with (30108 mail the attachment), or 0.
    int RunPrintCommand(int command, const QString &viewName, const QString &listCaption,
                        const QString &filterText);
    // A report table printed as it is shown: its column titles' breaks, and
    // its title, subtitle, filter line (when it names a condition) and
    // heading as the printout's heading lines.
    void TakeReportTableTexts(CXTable &table);
    // The attachment file name of a title: the ten characters ? < > | : * / \ .
    // and the double quote removed, "List" for the list on the screen, the
    // job number or the customer number added, ".pdf".
    static QString AttachmentName(const QString &title, int kind, int viewId, qint32 jobNo, qint32 cusNo);

    int PrintView(const ViewPrintRequest &request) override;

    QString TakeAttachmentName() override;
    int PrintReceipt(const ReceiptData &receipt) override;
    void PrintPostingReports(int postingNo, int orders, int quickSales, QWidget *view) override;
    void EditDocumentForms(QWidget *parent) override;
    int EditBarCodes(QWidget *parent) override;

    // Chooses without the dialog (tools and tests): the command, kind,
    // options and title the dialog would have returned; 0 shows the dialog.
    int m_nPresetCommand = 0;
    int m_nPresetKind = 0;
    int m_nPresetOptions = 0;
    // With a preset print command (57607, 57608): the PDF the run writes in
    // place of the printer (tools), "" for the printer.
    QString m_strPresetOutput;

    // The user's last choice (kept between runs of the same list).
    int m_nChoiceKind = 0;
    int m_nChoiceOptions = 0;
    int m_nChoiceView = 0;
    int m_nChoiceBranch = -1;
    int m_nChoicePresetKind = 0;
    int m_nChoicePresetOptions = 0;
    qint64 m_nRecordKey = -1;
    QWidget *m_pCallerView = nullptr;
    // A folder for attachments in place of the user's (tools), with its
    // trailing separator; empty: the folder of the settings.
    QString m_strAttachmentFolder;
    // The full path of the attachment being made (PDF) or its name (RTF).
    QString m_strAttachment;
    QString m_strMailAttachment; // the finished PDF waiting to be mailed
    // The list row of the batch's current record.
    int m_nBatchRow = -1;
    // The records the view lists, for the list on the screen's "List Size"
    // (-1: its rows), while a print command of a view runs.
    int m_nListedCount = -1;
    // The statement of the list part loaded last.
    QString m_strPartSql;
    // Header lines 2 and 3 of posting reports ("Posting No %d" ...).
    QString m_strPostingLine1;
    QString m_strPostingLine2;

    // --- bar-code sheets (kinds 301-305, 307 item codes, 308 customer codes) ---

    // One page of a sheet; the row index is the next employee number, or for
    // the list sheets the list row times kSheetItemsPerRow plus the items of
    // that row already printed.
    void PrintBarCodeSheet(QPainter &dc, PrintInfo &info, int &row, int kind);
    static constexpr int kSheetItemsPerRow = 1000;
    // The record count of a sheet over a list of that many rows.
    static int SheetRowsOf(int kind, int listRows);
    // Prints a sheet of the bar-code dialog (301-305) on form 100; 0 for a
    // kind without a sheet, else the run's result.
    int PrintBarCodes(int kind, const QString &title, int command);

    // --- receipts (kind 201 on form 99) ------------------------------------------

    // The receipt's text lines, 40 columns wide; header lines are centred. An
    // empty line is not printed; a line of one blank prints empty.
    struct ReceiptForm
    {
        QString title;
        QString text;
        QString footer;
        bool bell = false;
    };
    static QStringList BuildReceiptLines(const ReceiptData &receipt, const ReceiptForm &form,
                                         const CompanyInfo &shop, bool twoTaxes, const QString &taxName,
                                         const QString &tax1Name, const QString &tax2Name);
    void PrintReceiptPage(QPainter &dc, PrintInfo &info, int &row);
    // A deposit's receipt (title "DEPOSIT") and a quick sale's (title
    // "PAYMENT"); the run's result.
    int PrintDeposit(const ReceiptData &receipt);
    int PrintPayment(const ReceiptData &receipt);
    int PrintReceiptAs(const ReceiptData &receipt, const QString &title);
    // A PDF file receipts are written to instead of a printer (tools, tests).
    QString m_strReceiptOutput;
    QStringList m_receiptLines;

    // --- job documents (quotes, orders, invoices: kinds 2-9 of the jobs view) ---

    // One item or service row of the job being printed, with the texts the
    // documents show; read once when the job is loaded so that every page
    // (counted, previewed or printed) sees the same rows.
    struct DocumentRow
    {
        qint32 itemId = 0;
        qint32 serNo = 0;
        int itemNo = 0;
        int subNo = 0;
        qint32 chargeQty = 0;
        int unitFormat = 0;
        bool taxExempt = false;
        qint32 catNo = 0;
        Money price;
        QString ownDescription; // the row's Description column
        QString description;    // the display description
        QString sizeText;
        QString quantityText;
        QString unitPriceText;
        QString priceText;
        QString note;
        QString serviceText; // a service row's text with its inks
        QString name2;       // a service's second name
    };

    // Loads the job, its customer and its rows for a document of the kind on
    // the form (0: the kind's form, plus 10 for quotes); the options are the
    // form's unless given (>= 0). False (with a message) when the job is
    // missing.
    bool LoadJobDocument(qint32 jobId, int kind, int formNo = 0, int options = -1);
    // The title a loaded job's document takes from the job itself: a credit
    // invoice's own title and reference, "Copy of " before a history job's
    // and "Pell " before a web portal job's document title.
    void ApplyJobTitle();
    // Prints a loaded job document (57607 dialog, 57608 direct, 57609 preview;
    // an output file set before is written instead); the run's result.
    int PrintLoadedJobDocument(int command);

    void PrintJobDocumentPage(QPainter &dc, PrintInfo &info, int &row);
    void GetJobContactTexts(QString &attention, QString &orderedBy, QString &phone, QString &fax);
    void GetDocumentDateText(QString &text, bool label);
    void MergeFormText(QString &text);
    // The widths of the item lines' Quantity, Description, Unit Price and
    // Price columns in a body of that width (FitDocumentColumns); keeps what
    // the widest service price needs in m_nServicePriceNeed.
    std::array<int, 4> ItemColumnWidths(QPainter &dc, int bodyWidth, int priceWidth, bool unitPrice, bool itemPrice,
                                        bool titleOnly);
    int m_nServicePriceNeed = 0;
    // The item lines from row on, the first of them from its line
    // lineOffset on (lines printed on the pages before); a row taller than
    // what is left of the page goes on over the next (m_nRowLineNext).
    void PrintItemLines(QPainter &dc, PrintRect body, int firstY, int bottom, int priceWidth, int &row, int style,
                        bool breakMode, int lineOffset);

    // One printed line of a document's row that may go on over pages: a
    // piece of a text wrapped in its column, with what is drawn beside it
    // (the row's cells on its first line), or the first line of a block that
    // is drawn whole (a table) and the lines it takes after it.
    struct FlowLine
    {
        QString text;
        int left = 0;
        int width = 0;
        unsigned format = 0x820;
        const QFont *font = nullptr;
        std::uint32_t fill = 0; // drawn on this colour (0: none)
        int fillWidth = 0;      // the width of the colour (0: the line's)
        std::function<void(int top)> beside;
        int block = 0; // a block's first line: the lines it takes; -1 the lines after it
    };
    // A text wrapped in a column of the width (its insets within) appended
    // as lines.
    void AddFlowText(QPainter &dc, std::vector<FlowLine> &lines, const QString &text, int left, int width,
                     unsigned format, const QFont *font, std::uint32_t fill = 0);
    // How many of the lines from first fit from y down to bottom, a block
    // whole or not at all.
    int FlowLinesFitting(const std::vector<FlowLine> &lines, int first, int y, int bottom) const;
    // Draws count lines from first, one line height each from y.
    void DrawFlowLines(QPainter &dc, const std::vector<FlowLine> &lines, int first, int count, int y);
    // The lines of the document's merged text (its form text and memo) in a
    // column, as printed before the item lines.
    std::vector<FlowLine> MemoLines(QPainter &dc, const QString &merged, int left, int width);
    void LoadQuantityBreaks(const DocumentRow &row, bool breakMode);
    void PrintQuantityBreaks(QPainter &dc, PrintRect &rect, bool unitPrice, bool wholeJob, const DocumentRow &current);
    // A width across the body of a form document given in inches of its
    // 8-inch layout: as it is, or less in proportion on paper narrower than
    // the layout.
    int BodyAcross(double inches) const;
    void DrawPriceColumnTotals(QPainter &dc, PrintRect rect, bool breakMode);
    // The lines of the Classic totals block: label, amount, font; a line
    // with space set is an empty line.
    struct TotalLine
    {
        QString label;
        QString value;
        const QFont *font = nullptr;
        int space = 0;
    };
    std::vector<TotalLine> PriceColumnTotalLines(bool breakMode);
    // The Classic totals block's left edge: the one given, or further left
    // when its labels and amounts need more room to print whole.
    int PriceColumnTotalsLeft(QPainter &dc, int left, int right, bool breakMode);
    // The label of a job's discount line: the first of the rates the
    // discount may have been worked from (hundredths of a percent: the rate
    // typed, the customer's) that gives the amount back to the cent, as
    // "10.0% Discount" or "12.47% Discount"; else the rate the amount is of
    // the subtotal to a tenth when that gives it back, else "Discount".
    static QString DiscountLabel(Money subtotal, Money discount, const QList<qint32> &ratesWorkedFrom = {});
    void DrawJobTotals(QPainter &dc, PrintRect rect, int style, bool termsOnly, int extraWidth);
    // The lines of the tax cell over the totals row of that width (none
    // without a tax or with the terms only), and the height the cell takes
    // above the line over the row (its lines past the first).
    QStringList JobTotalsTaxLines(QPainter &dc, int rowWidth, bool termsOnly);
    int JobTotalsTaxOver(QPainter &dc, bool termsOnly);
    // Marks the job printed after a run that really printed (never on a
    // preview, a counting pass, a cancelled or failed run).
    void MarkJobPrinted(PrintInfo &info);
    // The job's printed count as the footer shows it with this print.
    int PrintCountWithThisPrint(const PrintInfo &info) const;
    // Whether the job prints in quantity-break mode.
    bool IsQuantityBreakMode() const;

    std::vector<DocumentRow> m_docRows;

    // --- the job ticket (kind 1 of the jobs view) ----------------------------------

    // One item or service row of a job ticket with every text the shop floor
    // sees, read once when the job is loaded.
    struct TicketRow
    {
        qint32 itemId = 0;
        qint32 serNo = 0;
        int itemNo = 0;
        qint32 catNo = 0;
        qint32 department = 0;
        QString label;       // "ITEM 2" or empty for services (set by the page)
        QString departmentName;
        QString description; // the main line's description
        QString note;        // the row note drawn in a note box
        QString estTime, actualTime, quantity, actualQuantity, cost, price;
        QString subLines[5]; // Run, Finish, Front, Back, press
        bool hasFinish = false;
        int shading = -1;    // the option bit that shades the row
        QString barText;     // the text beside the row's bar code
    };

    // Reads the job's rows for the ticket (after LoadJobDocument set the job
    // and the options).
    void LoadTicketRows();
    void PrintJobTicket(QPainter &dc, PrintInfo &info, int &row);
    void PrintServiceBarcodePage(QPainter &dc, PrintInfo &info, int &row);
    // Good sheets a paper row ends with: finish sheets over the number up,
    // rounded up past 0.01; -1 when Up is 0 (no such line).
    static qint64 TicketEndCount(qint64 finishSheets, qint32 up);
    // Height of the vertical job number in fiftieths of an inch.
    static int TicketNumberHeight(qint32 jobNo);

    std::vector<TicketRow> m_ticketRows;
    // Set by a renderer whose page deliberately printed no rows (the page
    // was full before its table): the same rows start the next page.
    bool m_bRowsDeferred = false;

    // --- customer statements (kinds 1-4 of the receivables view) ----------------

    // One open invoice of a statement as read when the statement is loaded.
    struct StatementRow
    {
        qint32 jobNo = 0;
        DateTime dateShipped;
        QString title;
        qint32 buyerNo = 0;
        QString po;
        Money total;
        Money latefee;
        Money paid;
        Money writeoff;
        Money balance;
    };

    // Loads the customer and its open invoices (and those of its child
    // accounts; past-due ones only when asked) for a statement of the kind on
    // form kind + 40; the options are the form's unless given (>= 0). The
    // record count: the invoices, 1 for a statement of credit alone, 0 when
    // there is nothing to print, -1 when a stored amount of an invoice cannot
    // be read as one (said, as the database's errors are: nothing is printed).
    int LoadStatement(qint32 cusNo, int kind, bool pastDueOnly, int options = -1);
    void PrintStatement(QPainter &dc, PrintInfo &info, int &row);
    // The aging column of an invoice this many days old: 0 "0 - 30",
    // 1 "31 - 60", 2 "61 - 90", 3 "Over 90".
    static int StatementAgeBucket(int days);

    // The "Ordered By" text of each invoice of the statement, read once.
    QStringList m_statementOrderedBy;
    std::vector<StatementRow> m_statementRows;
    // Quantities priced for the break tables of this run (by ItemID and
    // quantity), so that counting and printing price each only once.
    std::map<std::pair<qint32, int>, std::pair<bool, Money>> m_breakPrices;

    // The customer's name above its address block, as the printed documents
    // address a customer (empty when the customer is missing).
    static QString CustomerAddressBlock(qint32 cusNo);

    // The records a table on the screen lists: its rows but its heading and
    // totals rows.
    static int RecordRows(const CXTable &table);
    // The page's line of the size of a list of so many rows listed (format:
    // its "%1"); a list that holds only the first rows of its query says so.
    static QString ListSizeText(const CXListCtrl &list, int listed, const QString &format);

    // The one instance the application owns (null before the printing
    // subsystem is installed).
    static CPrintForm *Instance();

    quint8 m_nFormNo = 100;
    CJobSet m_job;
    CCusSet m_customer;
    int m_nItemCount = 0;
    int m_bBarCode = 0;
    CItemSetX m_items;
    QWidget *m_pReceiptSource = nullptr;
    QWidget *m_pReceiptOwner = nullptr;
    QList<int> m_quantityBreaks;
    long m_nLastJob = 0;
    int m_nLastTicketRow = -1;
    int m_nBodyLeft = 0;
    int m_nBodyRight = 0;

protected:
    bool CanPrintKind(int kind) const override;
    // A page whose header needs more room than its layout gives it: its
    // body's top and first line move down by as much, on this page only.
    class BodyShift
    {
    public:
        BodyShift(CPrintForm &form, int by) : m_form(form), m_by(by)
        {
            m_form.m_nBodyTop += m_by;
            m_form.m_nListTop += m_by;
        }
        ~BodyShift()
        {
            m_form.m_nBodyTop -= m_by;
            m_form.m_nListTop -= m_by;
        }
        BodyShift(const BodyShift &) = delete;
        BodyShift &operator=(const BodyShift &) = delete;

    private:
        CPrintForm &m_form;
        int m_by;
    };
    // How far down a text drawn from top in the font reaches, wrapped at its
    // words between left and right.
    int TextBottom(QPainter &dc, const QString &text, int left, int top, int right, const QFont &font);
    // Where the address block under the shop's block begins: at top, where
    // the layout puts it, or a quarter line under the shop's block when that
    // block (a long name or address, wrapped between left and right) reaches
    // further down, so that no line of the one is printed over the other.
    int AddressTop(QPainter &dc, const QString &shop, int left, int shopTop, int right, int top);

private:
    const PageRenderer *rendererOf(int kind) const;
    // The first kind of each registered range, with its last kind.
    std::map<int, std::pair<int, PageRenderer>> m_renderers;
};

// Installs the printed-documents object as the application's print service.
void InstallPrinting(class CZqApp &app);
