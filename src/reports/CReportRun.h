#pragma once

#include "platform/DateTime.h"

#include <QtCore/QString>

#include <functional>

class CXTable;

namespace platform {
class Database;
}

class CReportRun;

// A Key Report's layout: reads the run's state, loads and reworks the run's
// table and its texts. Returns false when the run was cancelled or could not
// be made (the runner then leaves the table as the renderer left it and shows
// nothing more); true when the report is laid out.
using ReportRenderer = std::function<bool(CReportRun &)>;

// Registers (or replaces) the renderer of one report code. The runner asks
// this table before its own list of table loads, so a registered renderer
// wins over the built-in load of the same code. An empty renderer removes the
// registration.
void RegisterReportRenderer(int code, ReportRenderer renderer);
// The registered renderer of the code; empty when none.
ReportRenderer FindReportRenderer(int code);

// The step that adds the two tax columns to "Summary of Taxes" (2003) and
// "List of Taxes" (2005) when the shop charges two separate taxes; it runs
// after the table load of those codes.
using ReportStep = std::function<void(CReportRun &)>;
void RegisterTaxColumnsStep(ReportStep step);
// The registered step; empty when none.
ReportStep FindTaxColumnsStep();

// A registered renderer does the whole work of its code's dispatch row
// (titles, notes, filter line); after it the runner still sets the "As of"
// subtitle of 2101-2104 and 2401-2403, attaches the table and counts the
// entries into the title.
//
// Registers the renderers of the Key Reports that are built into the
// program. Called once by every runner before its first dispatch (and safe to
// call again); the renderers' own file defines it.
void InstallKeyReportRenderers();

// One run of a Key Report of the reports view, free of widgets: the view (or
// the command-line tool, or a test) fills in the state below, calls Run(),
// and then shows or prints the run's table with the texts the run set on it.
// Renderers read the same state and lay the report out in the table.
class CReportRun
{
public:
    // The no-data message of every report.
    static const QString kNoDataText;
    // The message for a code that has no layout.
    static const QString kNotReadyText;

    CReportRun(platform::Database &database, CXTable &table);
    ~CReportRun();
    CReportRun(const CReportRun &) = delete;
    CReportRun &operator=(const CReportRun &) = delete;

    // ---- The view state that renderers read ----
    platform::Database &database() const { return m_database; }
    CXTable &table() const { return m_table; }

    int code = 0;               // 100 x branch + entry
    int branch() const { return code / 100; }
    int entry() const { return code % 100; }
    QString branchText;         // the tree's branch title ("Posting")
    QString entryText;          // the tree's entry text ("Summary")
    QString caption;            // "%s / %s" of branch and entry text (set by Run)

    // The chosen period: dates, the this-period condition
    // " between #mm/dd/yyyy# and #mm/dd/yyyy# ", the last-period condition
    // (the period of equal length before it, without the trailing blank), the
    // date-range caption ("Date Range: ..."), and the view's filter text
    // (" (field condition) ", or what Add Filter made).
    DateTime fromDate;
    DateTime toDate;
    QString thisPeriod;
    QString lastPeriod;
    QString dateRangeCaption;
    QString filter;

    // The date and time of the run ("As of" subtitles, aging); Run() sets it
    // to the clock's now unless the caller set it before (fixed in tests and
    // by the command-line tool's --today).
    DateTime now;
    bool nowFixed = false;

    // The shop charges two separate taxes (the application's two-tax flag).
    bool twoTaxes = false;

    // ---- The table's texts (they live on the table; shown and printed as set) ----
    // title: CXTable::m_title; subtitle: m_subtitle; filter line: m_filterText;
    // note (the text under the headings): m_headingText; no-data message:
    // m_note (the chart shows it when the table has no rows).
    QString title() const;
    void setTitle(const QString &text);
    QString subtitle() const;
    void setSubtitle(const QString &text);
    QString filterLine() const;
    void setFilterLine(const QString &text);
    QString note() const;
    void setNote(const QString &text);
    void appendNote(const QString &text);
    QString noDataText() const;
    void setNoDataText(const QString &text);
    // "As of %A, %B %d, %Y at %H:%M" of the run's now.
    QString AsOfText() const;

    // ---- Hooks (set by the owner; each has a widget-free default) ----
    // Progress of long work: (done, total, text); returns false when the user
    // cancelled. Default: never cancels.
    std::function<bool(int done, int total, const QString &text)> progressHook;
    // A message to the user (OK only). Default: the prompt service.
    std::function<void(const QString &text)> messageHook;
    // Attaches the finished table to the chart and returns the chart's entry
    // count. Default: the entries a chart without a height limit would take.
    std::function<int(CXTable &table)> attachHook;
    // Sees every statement the report builder makes for the run. Default:
    // nothing.
    std::function<void(const QString &sql)> sqlHook;
    // Renderer helpers report progress and ask for cancelling through these.
    bool Progress(int done, int total, const QString &text = QString());
    bool Cancelled() const { return m_cancelled; }
    void Message(const QString &text);

    // ---- Running ----
    // Runs the report of `code` (not the "At a Glance" branch, whose dialogs
    // the view opens): sets the caption and the shared texts, dispatches to a
    // registered renderer or the built-in load, adds the notes, attaches the
    // table and counts its entries into the title. Returns false when the
    // code has no layout ("This report is not ready yet!" was shown) or the
    // renderer failed or was cancelled.
    bool Run();
    // The chart entries counted by the last Run (0 before).
    int entryCount() const { return m_entryCount; }

    // The report's SQL for a code and the run's period and filter (empty for
    // a code the SQL builder does not hold).
    QString BuildSql(int reportCode) const;

    // Loads the report of the code into the table with the total mode
    // (0 none, 2 one total row, 3 rank bands, 4 per group) and the money
    // decimals option (2 for every caller), then adds the period notes of the
    // "Profitability" and "Comparison" branches.
    void LoadReportTable(int reportCode, int totalMode, int option = 2);

    // The note on paper sold with copier items of the period (for "Service
    // Departments", 2202); empty when there were none.
    QString GetCopierPaperNote();

    // Counts the entries a chart would take from the table (data rows, and
    // group rows of a per-group table whose labels are in column 0).
    static int CountChartEntries(const CXTable &table);

private:
    bool dispatchBuiltIn();

    platform::Database &m_database;
    CXTable &m_table;
    bool m_cancelled = false;
    int m_entryCount = 0;
};
