// The print entry of the views: the document choice, the records a document
// needs, attachments, and batches of documents and list parts.

#include "printing/CPrintForm.h"

#include "app/base/CZqApp.h"
#include "app/base/Clipboard.h"
#include "app/base/FileChoice.h"
#include "app/base/TextUtil.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRowSource.h"
#include "controls/CXTable.h"
#include "data/CSQL.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "printing/CBarCodeDlg.h"
#include "printing/CFormsDlg.h"
#include "printing/CPrintDlg.h"
#include "views/CView0.h"

#include <QtCore/QFileInfo>
#include <QtWidgets/QApplication>

namespace {

constexpr int kJobsView = 30001;
constexpr int kCustomersView = 30003;
constexpr int kReceivablesView = 30004;
constexpr int kReportsView = 30005;
constexpr int kSchedulerView = 30007;
constexpr int kPostingReports = 44231;
constexpr int kDiscrepancies = 44240;
constexpr int kEmailPdf = 30562;
constexpr int kEmailRtf = 30563;

bool IsPostingReports(int viewId, int branch)
{
    return viewId == kPostingReports || (viewId == kReportsView && branch == 6);
}

// The statement the list on the screen was filled from.
QString ListStatement(CXListCtrl *list)
{
    if (!list || !list->recordset())
        return QString();
    return list->recordset()->statement();
}

// Lists of items and services grouped by job show the job's columns only on
// the group's first row: the other rows of a group leave them empty.
void BlankRepeatedGroupColumns(CXTable &table, int columns)
{
    const bool grouped = table.m_parentColumn >= 0;
    QStringList previous;
    for (int row = 0; row < table.GetRowCount(); ++row) {
        if (table.IsSpecialRow(row)) {
            previous.clear();
            continue;
        }
        const int count = std::min(columns, table.GetColumnCount());
        QStringList current;
        for (int c = 0; c < count; ++c)
            current << table.GetCellText(row, c);
        const bool groupStart = grouped ? (table.GetRowFlags(row) & CXTable::RowGroupStart) != 0
                                        : current != previous;
        if (!groupStart && !previous.isEmpty()) {
            for (int c = 0; c < count; ++c)
                table.SetCellText(row, c, QString());
        } else {
            previous = current;
        }
    }
}

} // namespace

QString CPrintForm::AttachmentName(const QString &title, int kind, int viewId, qint32 jobNo, qint32 cusNo)
{
    // The list on the screen is always "List.pdf".
    if (kind == 100)
        return QStringLiteral("List.pdf");
    QString name = RemoveExportNameChars(title.trimmed());
    if (viewId == kJobsView)
        name += QStringLiteral(" No ") + QString::number(jobNo);
    else if (viewId == kReceivablesView)
        name += QStringLiteral("-CusNo") + QString::number(cusNo);
    return name + QStringLiteral(".pdf");
}

int CPrintForm::PrepareChoice(int viewId, int listBranch, qint64 recordKey)
{
    // 1. The remembered choice: a caller's preselection, the last choice of
    // the same list, or nothing. A preselected document comes with its own
    // options (the form's, or the job's stored ones below when the job last
    // printed that document), never with those of what printed before it.
    const bool preselected = m_nChoiceKind < 0;
    if (preselected) {
        m_nChoiceKind = -m_nChoiceKind;
        m_nChoiceOptions = 0;
    } else if (viewId != m_nChoiceView || listBranch != m_nChoiceBranch) {
        m_nChoiceKind = 0;
        m_nChoiceOptions = 0;
    }
    m_nChoiceView = viewId;
    m_nChoiceBranch = listBranch;
    m_nChoicePresetKind = 0;
    m_nChoicePresetOptions = 0;

    // No row chosen (the print entry comes here so only with a list on the
    // screen): the list itself is what prints (its entries alone are
    // offered), so there is no job to check. A document of one job asked
    // for by name needs its job.
    if (recordKey <= 0) {
        if (preselected && m_nChoiceKind < 100) {
            platform::Prompt::messageBox(QStringLiteral("Please select the job to print."));
            return 0;
        }
        return 1;
    }

    // 2. The job's money is checked before anything of it prints; its
    // stored print choice comes back.
    if (viewId == kJobsView && m_nChoiceKind < 100 && (m_nChoiceOptions == 0 || recordKey != m_nLastJob)) {
        m_nLastJob = long(recordKey);
        CJobSet job;
        if (recordKey <= 0 || !job.FindById(qint32(recordKey)) || job.IsEOF()) {
            platform::Prompt::messageBox(QStringLiteral("Cannot find the job to print!"), QString(),
                                         platform::MB_ICONEXCLAMATION);
            return 0;
        }
        job.LoadCustomerDiscount();
        job.CalcBalance();
        if (!job.CheckBalance(1, QStringLiteral("Please open the job to fix discrepancy.")))
            return 0;
        if (job.CheckTotals(QStringLiteral(
                "\nTo fix discrepancy: Reprice each Item. If asked, click [Keep Saved Cost and Price].")))
            return 0;
        if (!preselected) {
            if (job.m_PrintOption >= 1 && !(job.m_JobType == CJobSet::Order && job.m_WOrderPrinted == 0)) {
                m_nChoiceKind = job.m_PropID1;
                m_nChoiceOptions = job.m_PrintOption;
            } else {
                m_nChoiceOptions = 0;
                if (job.m_JobType == CJobSet::Quote && job.m_PrintOption == 0 && m_nChoiceKind == 0)
                    m_nChoiceKind = 2;
            }
        } else if (job.m_PrintOption >= 1 && job.m_PropID1 == m_nChoiceKind) {
            m_nChoiceOptions = job.m_PrintOption;
        }
        if (job.m_PropID1 != 0) {
            m_nChoicePresetKind = job.m_PropID1;
            m_nChoicePresetOptions = job.m_PrintOption;
        }
    }
    return 1;
}

int CPrintForm::PrintJobDocument(int viewId, int listBranch, int listItem, qint64 recordKey, CXListCtrl *list,
                                 CXChartCtrl *chart, QWidget *view)
{
    const bool withList = list != nullptr || chart != nullptr;
    // Without a list on the screen a job's documents are all there is to
    // print: they need the job.
    if (viewId == kJobsView && recordKey <= 0 && !withList) {
        platform::Prompt::messageBox(QStringLiteral("Cannot find the job to print!"), QString(),
                                     platform::MB_ICONEXCLAMATION);
        return 0;
    }
    const int go = PrepareChoice(viewId, listBranch, recordKey);
    if (go != 1)
        return go;
    const bool withRecord = recordKey > 0 || !withList;

    // 3. The print dialog (or the choice a tool made in its place).
    int command = 0;
    int kind = 0;
    int options = 0;
    QString title;
    if (m_nPresetCommand != 0) {
        command = m_nPresetCommand;
        kind = m_nPresetKind;
        options = m_nPresetOptions;
        for (const CPrintDlg::DocumentEntry &e : CPrintDlg::DocumentEntries(viewId, listBranch, listItem, withList))
            if (e.kind == kind)
                title = e.text.trimmed();
    } else {
        CPrintDlg dialog(viewId, listBranch, listItem, m_nChoiceKind, list, chart, m_nChoiceOptions, view);
        dialog.m_nPresetKind = m_nChoicePresetKind;
        dialog.m_nPresetOptions = m_nChoicePresetOptions;
        dialog.m_bWithRecord = withRecord;
        command = dialog.DoModal();
        kind = dialog.m_nKind;
        options = dialog.m_nOptions;
        title = dialog.m_strTitle;
    }
    if (command <= 0 || command == 2)
        return 0;
    return ApplyChoice(viewId, listBranch, listItem, recordKey, list, chart, view, command, kind, options, title);
}

int CPrintForm::ApplyChoice(int viewId, int listBranch, int listItem, qint64 recordKey, CXListCtrl *list,
                            CXChartCtrl *chart, QWidget *view, int command, int kind, int options,
                            const QString &title)
{
    // 4. A fresh run with the call's arguments.
    ResetOptions();
    m_nContext = viewId;
    m_nListBranch = listBranch;
    m_nListItem = listItem;
    m_nRecordKey = recordKey;
    m_pList = list;
    m_pChart = chart;
    m_pCallerView = view;
    m_strAttachment.clear();
    // The batch goes on after the row of the record printed first.
    m_nBatchRow = list ? list->FindItemByData(recordKey, false) : -1;
    if (list && m_nBatchRow < 0)
        m_nBatchRow = list->GetCurrentRow();
    if (viewId == 0 || kind == 0)
        return 0;

    // 5. The choice, the list form and no quantity breaks yet.
    const bool ctrl = QApplication::keyboardModifiers() & Qt::ControlModifier;
    m_nChoiceKind = kind;
    m_nChoiceOptions = options;
    m_nKind = kind;
    m_nOptions = options;
    m_strTitle = title;
    m_nFormNo = 100;
    FindForm();
    m_quantityBreaks.clear();

    // 6. Posting reports start before their first chosen part.
    int count = 0;
    bool partsWalked = false;
    if (IsPostingReports(viewId, listBranch) && kind == 101) {
        m_nKind = 100;
        count = NextListPart() != 0 ? m_nRecords : 0;
        partsWalked = true;
    }

    // 7. The rows on the screen.
    m_nRecords = 0;
    int rowsOnScreen = 0;
    if (list) {
        list->FetchAll();
        rowsOnScreen = list->GetItemCount();
    } else if (chart && chart->table()) {
        rowsOnScreen = chart->table()->GetRowCount();
    }

    // 8. The record count.
    QString sqlForClipboard;
    if (partsWalked) {
        m_nRecords = count;
    } else if (kind == 100) {
        count = rowsOnScreen;
        m_nRecords = count;
    } else if (kind < 100) {
        count = BuildSelection();
    } else {
        count = LoadListPart();
    }
    // 9. With Ctrl held the list's SQL goes to the clipboard.
    if (ctrl && kind > 100) {
        sqlForClipboard = m_strPartSql;
        if (!sqlForClipboard.isEmpty())
            CopyTextToClipboard(view, sqlForClipboard);
    }
    // 10. Nothing to print.
    if (count == 0) {
        platform::Prompt::messageBox(m_strTitle + QStringLiteral(" has no items to print!"));
        return 0;
    }
    if (count < 0) {
        m_nRecords = 0;
        return count;
    }
    CZqApp *app = ZqApp();
    if (command == kEmailPdf) {
        // 11. The PDF attachment: written by the program's PDF writer into
        // the attachment folder.
        const qint32 jobNo = viewId == kJobsView ? m_job.m_JobNo : 0;
        const qint32 cusNo = viewId == kReceivablesView ? qint32(recordKey) : 0;
        const QString folder = m_strAttachmentFolder.isEmpty() ? AttachmentFolder() : m_strAttachmentFolder;
        m_strAttachment = folder + AttachmentName(m_strTitle, kind, viewId, jobNo, cusNo);
        if (app)
            app->SelectFormPrinter(30561);
    } else if (command == kEmailRtf) {
        // 12. The RTF letter is made by the mail command.
        m_strAttachment = listBranch == 1 ? QStringLiteral("Quotation.rtf") : QStringLiteral("Invoice.rtf");
    } else if (app) {
        // 13. The form's printer.
        app->SelectFormPrinter(m_nFormNo);
    }
    return command;
}

int CPrintForm::BuildSelection()
{
    if (m_nContext == kJobsView) {
        CJobSet job;
        if (m_nRecordKey <= 0 || !job.FindById(qint32(m_nRecordKey)) || job.IsEOF())
            return 0;
        const int check = job.CheckBeforePrint(m_nKind, m_strTitle);
        if (check != 0)
            return check;
        // Loading the job starts a fresh document; what the entry chose stays.
        CXListCtrl *list = m_pList;
        CXChartCtrl *chart = m_pChart;
        const int context = m_nContext;
        const int item = m_nListItem;
        const QString attachment = m_strAttachment;
        if (!LoadJobDocument(qint32(m_nRecordKey), m_nKind, 0, m_nOptions))
            return 0;
        m_pList = list;
        m_pChart = chart;
        m_nContext = context;
        m_nListItem = item;
        m_strAttachment = attachment;
        ApplyJobTitle();
        return m_nRecords;
    }
    if (m_nContext == kReceivablesView) {
        CXListCtrl *list = m_pList;
        CXChartCtrl *chart = m_pChart;
        const int branch = m_nListBranch;
        const int item = m_nListItem;
        const int count = LoadStatement(qint32(m_nRecordKey), m_nKind, m_nListItem == 2, m_nOptions);
        m_pList = list;
        m_pChart = chart;
        m_nListBranch = branch;
        m_nListItem = item;
        return count;
    }
    return 0;
}

void CPrintForm::ApplyJobTitle()
{
    if (m_job.IsCreditInvoice()) {
        m_strTitle = QStringLiteral("CREDIT_INVOICE");
        m_form.m_Text = QStringLiteral("* Ref: Invoice %1").arg(m_job.m_FromJobNo);
        m_form.m_Footer = m_strTitle;
    } else if (m_job.m_JobType == CJobSet::History) {
        m_strTitle = QStringLiteral("Copy of ") + m_strTitle;
    } else if (m_job.m_JobType == CJobSet::PellOrder || m_job.m_JobType == CJobSet::PellQuote) {
        m_strTitle = QStringLiteral("Pell ") + m_strTitle;
    }
}

int CPrintForm::SelectRecord(qint64 key)
{
    m_nRecordKey = key;
    m_nRecords = BuildSelection();
    return m_nRecords;
}

int CPrintForm::LoadListPart()
{
    m_table.Reset();
    int totals = CXTable::TotalsOneRow;
    bool groupFirstColumns = false;
    QString sql;
    CXDaoSet listSet;
    listSet.m_strSQL = ListStatement(m_pList);
    const int viewId = m_nContext;
    if (IsPostingReports(viewId, m_nListBranch)) {
        CSQL posting;
        posting.BuildPostingSQL(m_nKind, int(m_nRecordKey));
        sql = posting.m_strSQL;
        m_strTitle = GetResourceListItem(44351, m_nKind - 100);
        m_strHeading1 = m_strPostingLine1;
        m_strHeading2 = m_strPostingLine2;
    } else if (viewId == kJobsView) {
        CZqApp *app = ZqApp();
        if (app && !app->CheckPassword(m_nListBranch + 51, QString()))
            return 0;
        if (m_nKind == 107) {
            // The item bar codes of the selected jobs.
            if (!m_pList)
                return 0;
            m_nKind = 307;
            m_nRecords = SheetRowsOf(307, m_pList->GetItemCount());
            return m_nRecords;
        }
        if (listSet.m_strSQL.isEmpty())
            return 0;
        CSQL printed(listSet, QStringLiteral("Jobs"), m_nKind, m_nOptions & 1);
        sql = printed.m_strSQL;
        if (m_nKind >= 103 && m_nKind <= 106)
            totals = CXTable::TotalsPerGroup;
        groupFirstColumns = m_nKind == 103 || m_nKind == 104;
    } else if (viewId == kCustomersView) {
        if (m_nKind == 101) {
            // The bar codes of the selected customers.
            if (!m_pList)
                return 0;
            m_nKind = 308;
            m_nRecords = SheetRowsOf(308, m_pList->GetItemCount());
            return m_nRecords;
        }
        sql = listSet.m_strSQL;
    } else if (viewId == kReceivablesView) {
        if (listSet.m_strSQL.isEmpty())
            return 0;
        CSQL printed(listSet, QStringLiteral("Ar"), m_nKind, m_nOptions & 1);
        sql = printed.m_strSQL;
        if (m_nKind == 101) {
            totals = CXTable::TotalsPerGroup;
            m_strHeading4 = QStringLiteral("Note: This report does not include credits due to customers.");
        }
    } else if (viewId == kReportsView && m_nKind == 101) {
        sql = listSet.m_strSQL;
        totals = CXTable::TotalsPerGroup;
        m_strSubtitle = QStringLiteral("with totals");
    } else if (viewId == kSchedulerView) {
        totals = CXTable::TotalsNone;
        m_strSubtitle = QStringLiteral(" ");
        CSQL production;
        bool weekly = false;
        int bit128 = 0;
        QString title;
        QString note;
        production.BuildProductionListSQL(m_nKind, m_nOptions, weekly, bit128, title, note);
        sql = production.m_strSQL;
        if (!title.isEmpty())
            m_strTitle = title;
        groupFirstColumns = m_nKind == 102 || m_nKind == 103;
        if (!note.isEmpty())
            m_strHeading4 = note;
    }
    m_strPartSql = sql;
    if (sql.isEmpty())
        return 0;
    m_table.LoadQueryWithProgress(sql, totals, 2, QStringLiteral("Total"));
    m_nRecords = m_table.GetRowCount();
    // Each printed list names its own size: the records it lists, without
    // its group totals, grand total and the blank rows between groups.
    int listed = 0;
    for (int row = 0; row < m_nRecords; ++row)
        listed += (m_table.GetRowFlags(row) & (CXTable::RowSpecial | CXTable::RowSeparator)) ? 0 : 1;
    m_strHeading3 = QStringLiteral("List Size: %1 ").arg(listed);
    if (groupFirstColumns)
        BlankRepeatedGroupColumns(m_table, 3);
    return m_nRecords;
}

int CPrintForm::NextListPart()
{
    for (int k = std::max(101, m_nKind + 1); k <= 115; ++k) {
        m_nKind = k;
        if (!IsBitSet(m_nOptions, k - 100))
            continue;
        // A part without rows is passed over.
        if (LoadListPart() > 0)
            return k;
    }
    return 0;
}

int CPrintForm::RunPrintCommand(int command, const QString &viewName, const QString &listCaption,
                                const QString &filterText)
{
    if (command <= 0)
        return 0;
    // The headings of lists: the list caption, the filter and the size; a
    // report shown as a table keeps its own.
    if (m_nKind == 100 && m_nContext == kReportsView && m_pChart && m_pChart->table()) {
        TakeReportTableTexts(*m_pChart->table());
    } else if (m_nKind >= 100) {
        if (m_nKind == 100) {
            m_strTitle = viewName;
            if (m_strTitle.isEmpty())
                m_strTitle = listCaption;
            else
                m_strHeading1 = listCaption;
        } else if (m_strHeading1.isEmpty()) {
            m_strHeading1 = listCaption;
        }
        if (m_nContext != kSchedulerView && !filterText.isEmpty() && m_strHeading2.isEmpty()) {
            QString condition = filterText;
            condition.remove(QLatin1Char('#'));
            m_strHeading2 = QStringLiteral("Filter: ") + condition;
        }
        if (m_strHeading3.isEmpty()) {
            // A table on the screen lists its records; its heading and totals
            // rows are not counted.
            int listed = m_nRecords;
            if (m_nKind == 100 && m_nListedCount >= 0) {
                listed = m_nListedCount;
            } else if (m_nKind == 100 && !m_pList && m_pChart && m_pChart->table()) {
                listed = RecordRows(*m_pChart->table());
            }
            m_strHeading3 = m_nKind == 100 && m_pList ? ListSizeText(*m_pList, listed, QStringLiteral("List Size: %1 "))
                                                      : QStringLiteral("List Size: %1 ").arg(listed);
        }
    }
    if (command == 30563) {
        // The mail command fills the shop's RTF template for the job and
        // attaches the filled copy.
        m_strMailAttachment = m_strAttachment;
        return 30108;
    }
    if (command == 30562) {
        // The PDF is written under a temporary name and replaces an older
        // file only when it is complete; mail follows only a finished file.
        // A PDF that could not be written is said, and nothing is mailed:
        // never an older file of the name in its place.
        const QString path = m_strAttachment;
        m_strOutputFile = path;
        m_strUnwrittenNote = QStringLiteral("No e-mail is sent: the PDF to attach was not made.");
        DoPrint(kPrintDirect);
        m_strOutputFile.clear();
        m_strUnwrittenNote.clear();
        if (m_nResult != 2 || m_strWrittenFile != path)
            return 0;
        m_strMailAttachment = QFileInfo(path).fileName();
        return 30108;
    }
    if (command == kPrintPreview) {
        DoPrint(command);
        return 0;
    }
    beginPrinterBatch();
    if (m_nPresetCommand != 0 && !m_strPresetOutput.isEmpty())
        m_strOutputFile = m_strPresetOutput;
    DoPrint(command);
    // The batch: the record printed first, then one document per other
    // selected row in the list's order (rows above it too), one list part
    // after another, each without a dialog, while the runs really print.
    const int firstRow = m_nBatchRow;
    int lastRow = -1;
    while (m_nResult == 2) {
        if (m_nKind < 100 && m_pList) {
            int next = -1;
            for (int row = lastRow + 1; row < m_pList->GetItemCount(); ++row) {
                if (row != firstRow && m_pList->IsItemSelected(row)) {
                    next = row;
                    break;
                }
            }
            lastRow = next;
            if (next < 0)
                break;
            m_nBatchRow = next;
            if (SelectRecord(m_pList->GetItemData(next)) <= 0)
                break;
            DoPrint(kPrintDirect);
        } else if (m_nKind > 100 && IsPostingReports(m_nContext, m_nListBranch)) {
            if (NextListPart() == 0)
                break;
            DoPrint(kPrintDirect);
        } else {
            break;
        }
    }
    endPrinterBatch();
    if (m_nPresetCommand != 0 && !m_strPresetOutput.isEmpty())
        m_strOutputFile.clear();
    return 0;
}

void CPrintForm::TakeReportTableTexts(CXTable &table)
{
    // The column titles' "/" breaks become heading lines, as the chart shows them.
    table.ApplyColumnFlags();
    m_strTitle = table.m_title;
    m_strHeading1 = table.m_subtitle;
    QString filterLine = table.m_filterText;
    filterLine.remove(QLatin1Char('#'));
    m_strHeading2 = filterLine.trimmed() == QLatin1String("Filter:") ? QString() : filterLine;
    m_strHeading3 = table.m_headingText;
}

int CPrintForm::PrintView(const ViewPrintRequest &request)
{
    int viewId = request.viewId;
    int branch = request.branch;
    int item = request.item;
    qint64 key = request.key;
    CXListCtrl *list = request.list;
    CXChartCtrl *chart = request.chart;
    if (request.pendingCommand == 30103) {
        list = nullptr;
        chart = nullptr;
    }
    if (viewId == kDiscrepancies) {
        branch = 0;
        item = 0;
        key = 0;
    }
    if (request.preselection < 0)
        m_nChoiceKind = request.preselection;
    const int command = PrintJobDocument(viewId, branch, item, key, list, chart, request.view);
    if (command == -30103)
        return 30103;
    if (command <= 0)
        return 0;
    m_nListedCount = request.listedCount;
    const int next = RunPrintCommand(command, request.viewName, request.listCaption, request.filterText);
    m_nListedCount = -1;
    return next;
}

void CPrintForm::PrintPostingReports(int postingNo, int orders, int quickSales, QWidget *view)
{
    m_strPostingLine1 = QStringLiteral("Posting No %1").arg(postingNo);
    m_strPostingLine2 = QStringLiteral("%1 Orders and %2 QuickSales").arg(orders).arg(quickSales);
    // The favourite printouts are ticked when the dialog opens.
    m_nChoiceKind = -101;
    CView0 *caller = qobject_cast<CView0 *>(view);
    CXListCtrl *list = caller ? caller->list() : nullptr;
    const int command = PrintJobDocument(kPostingReports, 0, 0, postingNo, list, nullptr, view);
    if (command > 0)
        RunPrintCommand(command, QString(), QString(), QString());
    m_strPostingLine1.clear();
    m_strPostingLine2.clear();
}

int CPrintForm::EditBarCodes(QWidget *parent)
{
    CBarCodeDlg dialog(parent);
    const int command = dialog.DoModal();
    if (command != kPrintDialog && command != kPrintDirect && command != kPrintPreview)
        return 0;
    DoPrint(command);
    return command;
}

void CPrintForm::EditDocumentForms(QWidget *parent)
{
    CFormsDlg dialog(parent);
    dialog.m_nFormNo = 1;
    dialog.DoModal();
}

QString CPrintForm::TakeAttachmentName()
{
    return std::exchange(m_strMailAttachment, QString());
}
