#pragma once

#include "controls/CGridCell.h"
#include "controls/CXBitmap.h"
#include "controls/CXTable.h"
#include "data/CFormsSet.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "printing/PrintColumnFit.h"
#include "printing/PrintCutRecord.h"
#include "printing/PrintInfo.h"
#include "views/CBarCode.h"

#include <QtCore/QFile>
#include <QtCore/QList>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTextStream>
#include <QtGui/QFont>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CXChartCtrl;
class CXGridCtrl;
class QTextOption;
class CXListCtrl;
class CXTreeCtrl;
class ImageList;
class QPaintDevice;
class QFontMetrics;
class QPainter;
class QPrinter;
class QWidget;

// The print engine under every printed page: paper, preview and PDF.
//
// A run, in short:
//   ResetOptions();                         // every option back to its start
//   m_nKind = ...; m_nRecords = ...;        // what is printed, how many records
//   m_strTitle = ...; m_form = ...;         // headings, the form definition
//   DoPrint(57607 / 57608 / 57609);         // printer dialog, stored printer, preview
//   if (m_nResult == 2) ...                 // 0 not started, 1 cancelled or failed, 2 printed
// With m_strOutputFile set to a ".pdf" name the run writes that PDF (600 dpi,
// Letter, the whole sheet printable) instead of printing; m_nFromPage and
// m_nToPage choose its pages.
//
// Pages are found while they are printed: m_pageStarts keeps, for each page
// found so far, the first record it prints. OnPrint (of CPrintForm) draws one
// page through the renderer of the run's kind, which advances the record
// index. Printing a later page first counts the earlier ones on a discarding
// device. The preview window (CPrintPreview) draws only the page it shows and
// finds the pages after it a few at a time while the window waits for the
// user: its pages say "Page n" until the last one is found, then "Page n of N".
//
// Drawing works in device units (y down) through the primitives below, with
// a QPainter standing for the device context. Renderers never write data
// while drawing (a page may be drawn to count it, or for a preview): they
// hand such work to AfterPrinted, which runs it once after a run that printed.
class CPrint
{
public:
    // Commands.
    static constexpr int kPrintDialog = 57607;
    static constexpr int kPrintDirect = 57608;
    static constexpr int kPrintPreview = 57609;

    // Font indexes.
    enum FontIndex {
        Font7 = 0, Font8 = 1, Font8Bold = 2, FontBody = 3, FontBodyBold = 4, FontItalic = 5,
        Font12Bold = 6, Font14Bold = 7, FontBarCode = 8, FontCount = 9
    };

    CPrint();
    virtual ~CPrint();
    CPrint(const CPrint &) = delete;
    CPrint &operator=(const CPrint &) = delete;

    // --- Set-up -----------------------------------------------------------------

    void ResetOptions();
    // The caption band colours; equal colours give white bands with black text.
    void SetColors(std::uint32_t fill, std::uint32_t text);

    // --- Running --------------------------------------------------------------

    // Runs the job: 57607 asks for a printer, 57608 prints on the form's
    // stored printer (asking only when there is none), 57609 previews; a
    // ".pdf" output file is written instead. Sets and returns m_nResult.
    int DoPrint(int command);
    // Runs the job on a device of the caller (tests and tools): pages from
    // m_nFromPage to m_nToPage, the pass given. Sets and returns m_nResult.
    // A device writing a PDF names its file, for the run's cut record.
    // `finish`, when given, is called once the device has ended, with
    // whether every page was printed: it puts the device's file in place
    // then, or drops it, and says so when the file's writing failed. Its
    // false (nothing put in place) makes the run a failed one (1), and
    // nothing is marked printed.
    using FinishOutput = std::function<bool(bool printed)>;
    int DoPrintOn(QPaintDevice &device, const std::function<bool()> &newPage,
                  PrintInfo::Pass pass = PrintInfo::Pass::Print, const QString &pdfFile = QString(),
                  const FinishOutput &finish = {});
    // Work for after the run (marking documents printed and the like): kept
    // only while a page is drawn for printing, run once when the run ends with
    // result 2, dropped otherwise.
    void AfterPrinted(std::function<void()> work);
    // What the last run drew on its output that did not fit its cell.
    const PrintCutRecord &cutRecord() const { return m_cutRecord; }
    // Whether a run that writes a PDF writes its cut record beside it
    // (PrintCutRecord::pathBeside). Off unless the environment sets
    // TAVREL_PRINT_RECORD; the diagnosis tool turns it on.
    static void SetRecordBesidePdf(bool on);
    static bool RecordBesidePdf();
    // Every record with a cut that a run wrote beside its PDF since the
    // process started: a line naming the PDF, then the record's own lines
    // (PrintCutRecord::describe). Empty while every PDF printed whole.
    static QStringList CutsBesidePdfs();

    // The page loop's steps.
    virtual void OnPrepareDC(QPainter &dc, PrintInfo &info);
    virtual void OnBeginPrinting(QPainter &dc, PrintInfo &info);
    virtual void OnPrint(QPainter &dc, PrintInfo &info);
    virtual void OnEndPrinting(QPainter &dc, PrintInfo &info);
    // Draws the pages before the current one without output; true when the
    // wanted page was reached.
    bool CountPages(PrintInfo &info);

    // --- The preview's pages ----------------------------------------------------
    // A preview lays its pages out on a device of the output's resolution and
    // size, and holds no page: each is drawn when it is shown.
    // Begins the run (a long list's texts are read with progress and Stop)
    // and finds its first page. False when the user stopped the reading.
    bool BeginPreview(int dpiX, int dpiY, int width, int height);
    // Finds the page after the last one found; false when there is none.
    bool FindNextPreviewPage();
    // The pages found so far, and whether the last page is among them.
    int PreviewPagesFound() const;
    bool PreviewAllFound() const { return m_previewAllFound; }
    // Draws a found page on the painter, in the page's device units.
    void DrawPreviewPage(QPainter &painter, int page);
    // Ends the run begun by BeginPreview.
    void EndPreview();
    QSize PreviewPageSize() const { return m_sizePage; }
    QSize PreviewPageDpi() const { return m_sizeDpi; }
    QString GetPageNumberText(const PrintInfo &info) const;

    // --- Units and fonts -------------------------------------------------------

    // Inches to device units: across from the left, down from the top margin.
    int InchToDevice(double inches, bool across) const;
    PrintRect RectFromInches(double left, double top, double right, double bottom) const;
    void CreateFonts(int size);
    // A print font of the face (" Italic" / " Bold" honoured) at tenths of a
    // point for the run's device.
    QFont CreatePrintFont(const QString &face, int tenths, int weight, bool italic, bool underline) const;
    void DeleteFonts();
    const QFont &font(int index) const { return m_fonts[size_t(index)]; }
    bool fontsCreated() const { return m_bFontsCreated; }

    // --- Page primitives ---------------------------------------------------------

    // Text in a rectangle with DrawText format bits; returns the height drawn.
    // With word break, a word wider than the rectangle is broken between
    // letters at a hyphen (recorded as a break of the run, not a cut).
    int DrawText(QPainter &dc, const PrintRect &rect, const QString &text, unsigned format);
    int DrawTextLine(QPainter &dc, const QString &text, PrintRect &rect, unsigned format, int factor,
                     const QFont *font);
    int DrawTextBox(QPainter &dc, const QString &text, PrintRect &rect, int width, unsigned format,
                    const QFont *font);
    // A text kept inside its cell at the font's size: wrapped at its words
    // (a word wider than the cell broken between letters at a hyphen) onto
    // as many lines as the cell is tall, at least one; when it needs more,
    // its last line shown ends with "...". The cell's left and right are
    // inset as DrawTextBox insets them; the alignment is the format's.
    // Returns the lines drawn.
    int DrawTextInCell(QPainter &dc, const QString &text, const PrintRect &cell, unsigned format,
                       const QFont *font);
    int DrawNumberBox(QPainter &dc, int number, PrintRect &rect, int width, unsigned format, const QFont *font);
    int DrawDateBox(QPainter &dc, const DateTime &date, PrintRect &rect, int width, unsigned format,
                    const QFont *font);
    int DrawMoneyBox(QPainter &dc, Money amount, PrintRect &rect, int width, unsigned format, const QFont *font);
    int DrawTextPair(QPainter &dc, const QString &label, const QString &value, PrintRect &rect, int labelWidth,
                     unsigned labelFormat, unsigned valueFormat, const QFont *font);
    int DrawFilledLine(QPainter &dc, const QString &text, PrintRect &rect, unsigned format, int factor,
                       const QFont *font, std::uint32_t fill, bool frame);
    // Bold text of size fiftieths of an inch, turned by angle degrees from the
    // rectangle's top left; flags: 2 at the rectangle's right, 8 ending at
    // its bottom, 16 kept above its bottom (moved up, or made smaller when
    // the page's top leaves too little room).
    void DrawRotatedText(QPainter &dc, const QString &text, PrintRect rect, int size, int angle, int flags);
    // Bars of the engine's bar code (object code or command code) from the
    // rect's left + pad; returns the height.
    int DrawBarCode(QPainter &dc, PrintRect rect, bool object);
    void DrawLine(QPainter &dc, int x1, int y1, int x2, int y2);
    void DrawRule(QPainter &dc, PrintRect &rect, int height, bool advance);
    void DrawBox(QPainter &dc, const QString &caption, const QString &body, PrintRect &rect, int width, int style,
                 unsigned format, const QFont *font, std::uint32_t colour);
    void DrawBoxInches(QPainter &dc, const QString &caption, const QString &body, PrintRect &rect, double width,
                       int style, unsigned format, const QFont *font, std::uint32_t colour);
    void DrawCaptionBox(QPainter &dc, const QString &caption, const QString &body, PrintRect &rect, int style,
                        unsigned format, const QFont *font, std::uint32_t colour);
    void DrawNote(QPainter &dc, const QString &caption, const QString &note, PrintRect &rect, int style,
                  unsigned format, const QFont *font, std::uint32_t colour, int pageHeight);
    void DrawPageHeader(QPainter &dc, PrintInfo &info);
    // A row of a document's columns (an item table, a row of totals boxes),
    // each asking the width its layout gives it, fitted to the room as the
    // columns of printed lists are (PrintColumnFit): a column of amounts or
    // numbers widens to hold its widest text whole, taking the room from the
    // columns beside it that need less (a text column down to its widest
    // word, its text wrapping), and only when the amounts alone do not fit is
    // the row drawn smaller. Returns the widths; scale gets the size the row
    // is drawn at (1 when as set).
    struct DocumentColumn
    {
        int base = 0;              // the layout's width; 0 leaves the column out
        QStringList texts;         // what its cells print
        const QFont *font = nullptr;
        QString title;             // its caption, in the caption font
        const QFont *titleFont = nullptr;
        bool whole = true;         // false: a text that wraps at its words
        int most = 0;              // what its widest text counts at most (0: all of it)
        bool titleWhole = false;   // its caption is drawn on one line: never narrower than it
    };
    std::vector<int> FitDocumentColumns(QPainter &dc, const std::vector<DocumentColumn> &columns, int room,
                                        double *scale = nullptr);

    // --- Lists, tables, grids, trees, text files --------------------------------

    void BuildColumns();
    void AddColumn(const QString &title, int width, int fieldType, int format);
    void DrawColumnHeaders(QPainter &dc, PrintInfo &info, int top);
    void PrintListCtrl(QPainter &dc, PrintInfo &info, int &row);
    void DrawListRows(QPainter &dc, PrintInfo &info, int &row, int top);
    void DrawTotalsRow(QPainter &dc, PrintRect rect);
    // Whether the list being printed has totals of its rows: a totals row
    // prints them, or is not printed.
    bool ListHasTotals() const;
    // The text of a print column's total, by the total's kind.
    static QString TotalText(const CGridCell &column);
    void PrintTable(QPainter &dc, PrintInfo &info, int &row, CXChartCtrl *chart, int hue);
    // Prints a grid dialog's table (the dialog's first grid and its second
    // one below) with the printer dialog.
    void PrintGrid(QWidget *dialog, CXGridCtrl *grid, CXGridCtrl *secondGrid, const QString &title);
    void PrintGridDialog(QPainter &dc, PrintInfo &info, int &row);
    void DrawGridRow(QPainter &dc, PrintInfo &info, int &row, CXGridCtrl *grid);
    // Where the rows of a list or grid come from, for DrawWrappedRows:
    // a cell's text by row and print column; optionally its picture (-1:
    // none), the row's font, and whether the row is left out.
    struct RowSource
    {
        std::function<QString(int row, int column)> text;
        std::function<int(int row, int column)> image;
        const ImageList *images = nullptr;
        std::function<const QFont &(int row)> font;
        std::function<bool(int row)> skip;
    };
    // Prints rows from row on below top, up to m_nRecords or the page's
    // foot: each text cell wrapped at its words in its column (beside its
    // picture), the row as tall as its most lines. A row that does not fit in
    // what is left of the page starts the next; one taller than a page goes
    // on over the pages (m_nRowLineStart, m_nRowLineNext). Leaves the bottom
    // of the last row in info.drawRect.bottom.
    void DrawWrappedRows(QPainter &dc, PrintInfo &info, int &row, int top, const RowSource &source);
    void PrintTree(QPainter &dc, PrintInfo &info, int &row);
    void PrintTextFile(QPainter &dc, PrintInfo &info, int &position);
    // Opens a text file for kind 204; false when it cannot be read.
    bool OpenTextFile(const QString &path);

    // --- Pictures ------------------------------------------------------------

    PrintRect DrawLogo(QPainter &dc, PrintInfo &info);
    void LoadLogo(QPainter &dc, PrintInfo &info, const PrintRect &area, const QString &path);
    void PrintBitmapPage(QPainter &dc, PrintInfo &info, int &row);
    // Captures the window (or its part, joined with a second part) and prints
    // it; command 0 asks first what to capture and where to print.
    void PrintScreen(QWidget *window, QWidget *part, QWidget *secondPart, QString title, const QString &partName,
                     bool clientArea, int command);

    // --- Members --------------------------------------------------------------

    int m_nBatchKey = 0;
    int m_nRecords = 0;
    CFormsSet m_form;
    QRect m_rectCapture;
    CXTable m_table;
    CBarCode m_barCode;
    QWidget *m_pSourceWnd = nullptr;
    CXTreeCtrl *m_pTree = nullptr;
    CXListCtrl *m_pList = nullptr;
    CXChartCtrl *m_pChart = nullptr;
    CXGridCtrl *m_pGrid = nullptr;
    CXGridCtrl *m_pGrid2 = nullptr;
    std::unique_ptr<CXBitmap> m_pBitmap;
    QString m_strTitle;
    QString m_strHeading1;
    QString m_strHeading2;
    QString m_strHeading3;
    QString m_strHeading4;
    QString m_strPeriod;
    QString m_strOutputFile;
    // The file the last run wrote and put in place (a PDF, or a printer's
    // file); empty when it wrote none: a run that failed to write keeps
    // nothing of an older file of the name for its own.
    QString m_strWrittenFile;
    // Said after the reason when the run's file cannot be written (what the
    // caller will not do without it); empty for a plain print.
    QString m_strUnwrittenNote;
    int m_nListSelector = 0;
    int m_nListFlag = 0;
    // The list-manager entry of the view that asked (branch and entry).
    int m_nListBranch = 0;
    int m_nListItem = 0;
    // A second heading line of list parts.
    QString m_strSubtitle;
    int m_nKind = 0;
    int m_nContext = 0;
    int m_nOptions = 0;
    int m_nResult = 0;
    int m_bGroupPages = 0;
    int m_bTotals = 1;
    std::uint32_t m_crFill = 0xFFFFFF;
    std::uint32_t m_crText = 0;
    const QFont *m_pCaptionFont = nullptr;
    int m_nLineHeight = 0;
    int m_nCaptionHeight = 0;
    int m_nCharWidth = 0;
    int m_nPad = 0;
    int m_nQuarterLine = 0;
    int m_nBodyTop = 0;
    int m_nFooterTop = 0;
    int m_nListTop = 0;
    int m_nBodyBottom = 0;
    QSize m_sizeDpi;
    QSize m_sizePage;
    double m_dTopMargin = 0.25;
    double m_dLeftMargin = 0;
    double m_dColumnScale = 0;
    // The size the table being printed is drawn at, as its columns were
    // fitted to the page (PrintColumnFit).
    double m_dTableScale = 1.0;
    // What the columns of the table or list being printed need, measured
    // once for all its pages, with what they were measured for (the table,
    // its size, the font and the device); and each text column's full need,
    // which it wraps to when it is narrower (0 for numbers and dates, which
    // never wrap).
    std::vector<PrintColumnFit::Column> m_tableColumns;
    std::vector<int> m_tableFullNeeds;
    // The user stopped the reading of a long list's texts before its pages:
    // nothing of the run is printed.
    bool m_bPreparingStopped = false;
    QString m_tableColumnsKey;
    std::array<Money, 6> m_amounts{};
    std::vector<CGridCell> m_columns;
    int m_nTotalWidth = 0;
    int m_nLastKey = -1;
    QList<int> m_pageStarts;
    // A row taller than the room left on a page goes on on the next: for
    // each page found, the lines of its first row printed on the pages
    // before it (0: the row starts there). The renderer reads the page's in
    // m_nRowLineStart and leaves in m_nRowLineNext where the row it stopped
    // inside goes on (0: it stopped between rows).
    std::vector<int> m_pageRowLines;
    int m_nRowLineStart = 0;
    int m_nRowLineNext = 0;
    // The pages a PDF or tool run prints.
    int m_nFromPage = 1;
    int m_nToPage = PrintInfo::kOpenEnd;
    // The program line of the page header: title and program file date.
    QString m_strProgramLine;

protected:
    // A printed table is drawn at the size its fit chose: the body fonts, the
    // line height, the cell inset and the caption height are scaled from
    // BeginTableScale to EndTableScale (the page header stays as it is).
    void BeginTableScale(QPainter &dc, double scale);
    void EndTableScale();
    // The width a text needs in a printed cell, its inset included.
    int CellNeed(const QFontMetrics &metrics, const QString &text) const;
    // The lines a text takes in a cell of that width in the painter's font
    // (1 when it fits on one).
    int CellLines(QPainter &dc, const QString &text, int width) const;
    // The text with each word wider than room (in the metrics' font) broken
    // between letters: every piece but the last takes as many letters as fit
    // beside a hyphen and is followed by mark and a line separator (its line
    // breaks become line separators too). The pieces broken off, with their
    // hyphens, are added to pieces.
    static QString BreakLongWords(const QFontMetrics &fm, const QString &text, int room, const QString &mark,
                                  QStringList *pieces = nullptr);
    // Ends a line of CellTextLines that stops inside a word.
    static constexpr QChar kBreakMark = QChar(0x00AD);
    // The text broken into the lines a cell of that width holds in the
    // painter's font: at its words (its own line breaks kept), inside a word
    // only when the word alone is wider than the cell, between letters, the
    // line ending with kBreakMark (room is left for the hyphen it prints as).
    QStringList CellTextLines(QPainter &dc, const QString &text, int width) const;
    // Lines from first (count of them) of a cell's wrapped text, one line
    // height each from the rectangle's top, in the cell's alignment; a line
    // ending inside a word prints a hyphen there and is recorded as a break.
    void DrawCellLines(QPainter &dc, const QStringList &lines, int first, int count, const PrintRect &cell,
                       int width, unsigned format);
    // Measures the columns of a table once for all its pages.
    void MeasureTableColumns(QPainter &dc, const CXTable &table);
    // Fits the list control's or grid's print columns to the page.
    void FitPrintColumns(QPainter &dc);
    // The font a row of the list control prints in (an index of m_fonts).
    int ListRowFont(int row) const;
    // A column title broken into the lines a column of that width holds, in
    // the painter's font (PrintColumnFit::WrapTitle).
    QString WrappedTitle(QPainter &dc, const QString &title, int width) const;
    // The height of the heading band of the print columns at their widths.
    int ColumnHeadingHeight(QPainter &dc) const;
    // The height of one printed row: its tallest wrapped text cell.
    int WrappedRowHeight(QPainter &dc, const std::function<QString(int column)> &textOf,
                         const std::vector<int> &widths, const std::vector<int> &fullNeeds) const;

    // Whether the run's kind has a page renderer; a run of a kind without one
    // says so and prints nothing.
    virtual bool CanPrintKind(int kind) const;
    // The run on a prepared output: the page loop with the status window;
    // then `finish` (as for DoPrintOn) before the work after printing.
    int runJob(QPaintDevice &device, const std::function<bool()> &newPage, PrintInfo &info, bool showStatus,
               const FinishOutput &finish = {});
    // The QPrinter of a command, or none (dialog cancelled).
    std::unique_ptr<QPrinter> preparePrinter(int command, PrintInfo &info);
    // A run of several documents printed one after another (selected jobs,
    // posting reports): the printer chosen for the first serves them all,
    // so the printer dialog is asked once. A file output gets one file per
    // document ("name-2.pdf", "name-3.pdf" ...).
    void beginPrinterBatch()
    {
        m_batch = PrinterBatch();
        m_batch.active = true;
    }
    void endPrinterBatch() { m_batch = PrinterBatch{}; }
    int printToPdf(const QString &path);
    // A print run the user sent to a file from the printer dialog.
    int printToFile(QPrinter &printer, PrintInfo &info);
    // "Cannot write: " with the path and why, with the error icon, and the
    // run's note on what did not happen for it (m_strUnwrittenNote).
    void reportUnwritable(const QString &path, const QString &reason) const;
    // The preview window over the run's pages; its Print... prints them
    // through the printer dialog.
    int preview();
    // The device the run measures and counts on (the output's size and resolution).
    QPaintDevice *measureDevice() const { return m_measure.get(); }

    struct PrinterBatch
    {
        bool active = false;
        bool chosen = false; // a printer was chosen in this run
        QString printerName;
        QString outputFile;
        int copies = 1;
        int documents = 0;
    };
    PrinterBatch m_batch;

    QFile m_file;
    std::unique_ptr<QTextStream> m_fileStream;
    std::array<QFont, FontCount> m_fonts;
    bool m_bFontsCreated = false;
    std::unique_ptr<QPaintDevice> m_measure;
    PrintInfo::Pass m_pass = PrintInfo::Pass::Print;
    std::vector<std::function<void()>> m_afterPrinted;
    QString m_strGroup; // page-per-group: the current group's text
    // The group each found page starts in (a page may be drawn again, and
    // out of its order, in a preview).
    QStringList m_pageGroups;
    // The page loop of a preview (BeginPreview .. EndPreview).
    PrintInfo m_previewInfo;
    bool m_previewActive = false;
    bool m_previewAllFound = false;
    struct TableScaleSaved
    {
        bool active = false;
        QFont body, bold, italic;
        int lineHeight = 0, pad = 0, quarterLine = 0, captionHeight = 0;
    };
    TableScaleSaved m_tableScaleSaved;
    int m_nTreeItems = 0;
    // The height of the last font DrawText measured, on a device of that
    // resolution: the next line in the same font reads it from here.
    QFont m_heightFont;
    const QPaintDevice *m_heightDevice = nullptr;
    int m_heightDpi = 0;
    int m_fontHeight = -1;
    int painterFontHeight(const QPainter &dc);

    // The cut record of the run: texts are measured only on the run's output
    // (not while pages are counted or notes measured).
    PrintCutRecord m_cutRecord;
    const QPaintDevice *m_recordDevice = nullptr;
    QString m_recordFile; // the PDF the run writes, when known
    void beginRecord(const QPaintDevice &device);
    // Ends the record of a run on the device; when asked, it is written beside
    // its PDF once the run has put the PDF in place (keepRecord): a run whose
    // file was not written leaves no record behind either.
    void endRecord(QPaintDevice &device);
    void keepRecord(bool printed);
    QString m_recordBeside; // where the ended record goes when the run printed
    // Measures a text drawn in a rectangle with a format against it.
    void recordText(const QPainter &dc, const QRect &rect, const QString &shown, unsigned format, const QSize &need);
    // DrawText's lines when one runs right to left: each in its own direction.
    int drawLinesInTheirDirections(QPainter &dc, const QRect &rect, const QString &shown, unsigned format,
                                   const QTextOption &option);
};
