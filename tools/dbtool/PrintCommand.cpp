#include "PrintCommand.h"
#include "ToolArgs.h"

#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "platform/UserFile.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "printing/CBarCodeDlg.h"
#include "printing/CPrintDlg.h"
#include "printing/CPrintForm.h"
#include "printing/Code39.h"
#include "views/CBarCode.h"
#include "views/CDlgGrid.h"
#include "views/CView0.h"
#include "customers/CViewAR.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CSQL.h"

#include <QtCore/QDate>
#include <QtCore/QRegularExpression>
#include <QtGui/QImage>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

namespace {

// The paper the PDF stands for: "--paper A4" or Letter.
QPageSize::PageSizeId g_paper = QPageSize::Letter;

// Prints the form into a PDF of the paper (Letter unless "--paper A4") that stands for paper; false (said
// on err) when the file could not be written. The print's result goes to
// `result`.
bool PrintToPaperPdf(CPrintForm &form, const QString &file, PrintInfo::Pass pass, QTextStream &err, int &result)
{
    platform::UserFile target(file);
    if (!OpenToolFile(target, err))
        return false;
    // The file is put in place when the last page is drawn, before the run
    // marks anything printed: a file that cannot be written is no print.
    bool finished = false;
    bool written = true;
    const auto finish = [&](bool printed) {
        finished = true;
        if (!printed && !target.failed()) {
            target.cancelWriting();
            return false;
        }
        written = FinishToolFile(target, err);
        return written && printed;
    };
    {
        QPdfWriter writer(&target);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(g_paper), QPageLayout::Portrait, QMarginsF()));
        result = form.DoPrintOn(writer, [&writer] { return writer.newPage(); }, pass, file, finish);
    }
    if (!finished)
        target.cancelWriting(); // a run that did not end leaves what was there
    return written;
}

// "--rows N": the first N rows of what a run printed, as its cells' texts
// (one line a row, the cells of the shown columns joined by tabs), for
// reading the printout back against them.
void writePrintedRows(const QStringList &args, CPrintForm &form, CXListCtrl *list, QTextStream &out)
{
    if (!args.contains(QStringLiteral("--rows")))
        return;
    const int wanted = OptionValue(args, QStringLiteral("--rows")).toInt();
    if (form.m_nKind == 100 && list) {
        for (int r = 0; r < std::min(wanted, list->GetItemCount()); ++r) {
            QStringList cells;
            for (int c = 0; c < list->GetColumnCount(); ++c)
                if (list->GetColumnWidth(c) > 0)
                    cells << list->GetItemFullText(r, c).replace(QLatin1Char('\n'), QLatin1Char(' '));
            out << "row\t" << cells.join(QLatin1Char('\t')) << '\n';
        }
    } else if (form.m_nKind > 100 && form.m_nKind < 200) {
        const CXTable &table = form.m_table;
        for (int r = 0; r < std::min(wanted, table.GetRowCount()); ++r) {
            QStringList cells;
            for (int c = 0; c < table.GetColumnCount(); ++c)
                if (table.GetColumnCharWidth(c) > 0)
                    cells << table.GetCellFullText(r, c).replace(QLatin1Char('\n'), QLatin1Char(' '));
            out << "row\t" << cells.join(QLatin1Char('\t')) << '\n';
        }
    }
}

// The print entry of a view, its print dialog answered from the command line:
// the dialog starts as the program's does (the view's documents, the job's
// stored choice, the form's stored options), "--kind" picks the document and
// "--options" the ticks when given. "--pdf FILE" prints for real (further list
// parts of a batch go to FILE-2.pdf, FILE-3.pdf ...), with "--preview" it
// previews into FILE and marks nothing printed; "--attach DIR" makes the
// e-mail PDF in that folder and prints its path. "--list" puts the view's
// list of the branch and item on the screen first (narrowed by "--filter
// COND", every row selected), so that the list itself, its printed lists
// and the sheets of its selected rows can be printed; "--list --query NAME"
// shows the saved query of that name instead.
int runViewPrint(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool ok = true;
    const int view = OptionValue(args, QStringLiteral("--view")).toInt(&ok);
    const int branch = args.contains(QStringLiteral("--branch")) ? OptionValue(args, QStringLiteral("--branch")).toInt() : 0;
    const int item = args.contains(QStringLiteral("--item")) ? OptionValue(args, QStringLiteral("--item")).toInt() : 0;
    const int kind = OptionValue(args, QStringLiteral("--kind")).toInt();
    const qint64 key = OptionValue(args, QStringLiteral("--key")).toLongLong();
    const QString pdf = OptionValue(args, QStringLiteral("--pdf"));
    const QString attach = OptionValue(args, QStringLiteral("--attach"));
    const bool preview = args.contains(QStringLiteral("--preview"));
    const bool ticks = args.contains(QStringLiteral("--options"));
    int options = 0;
    if (ticks) {
        const QString bits = OptionValue(args, QStringLiteral("--options"));
        options = bits.startsWith(QLatin1String("0x")) ? bits.mid(2).toInt(&ok, 16) : bits.toInt(&ok);
    }
    if (!ok || view <= 0 || kind <= 0 || (pdf.isEmpty() == attach.isEmpty()) || (preview && !attach.isEmpty())
        || (!pdf.isEmpty() && !pdf.endsWith(QLatin1String(".pdf")))) {
        err << "usage: tavrel-dbtool print DB --view V [--branch B --item I] [--list [--filter COND | --query NAME]] --kind K "
               "--key KEY [--options BITS] (--pdf FILE.pdf [--preview] | --attach DIR) [--today M/D/YYYY]\n";
        return 2;
    }
    if (!OpenToolDatabase(args[0], err))
        return 1;
    CZqApp app;
    InstallAppQueryReader(app);
    app.LoadCompanyInfo();
    std::unique_ptr<CXListCtrl> list;
    const QString savedQuery = OptionValue(args, QStringLiteral("--query"));
    if (args.contains(QStringLiteral("--list")) && !savedQuery.isEmpty()) {
        // A saved query shown as the reports view shows it.
        list = std::make_unique<CXListCtrl>();
        list->resize(1000, 700);
        if (!list->FillFromQueryDef(savedQuery)) {
            err << "The saved query " << savedQuery << " cannot be shown.\n";
            return 1;
        }
        list->FetchAll();
        list->SelectAll();
    } else if (args.contains(QStringLiteral("--list"))) {
        CSQL statement(view, branch, item, OptionValue(args, QStringLiteral("--filter")), QString(), 0, false);
        if (statement.m_strSQL.isEmpty()) {
            err << "View " << view << " has no list " << branch << '/' << item << ".\n";
            return 1;
        }
        list = std::make_unique<CXListCtrl>();
        list->resize(1000, 700);
        list->FillFromSql(statement.m_strSQL, statement.m_strKey);
        list->FetchAll();
        list->SelectAll();
    }
    CPrintForm form;
    if (!attach.isEmpty()) {
        // The folder given, without touching the user's settings.
        form.m_strAttachmentFolder = attach.endsWith(QLatin1Char('/')) ? attach : attach + QLatin1Char('/');
    }
    if (view == 44231 || (view == 30005 && branch == 6)) {
        // The posting's header lines, as after a posting.
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Invoices, QSales FROM PostingJournal WHERE PostingNo = ?"),
                {platform::Value(qint32(key))});
        if (!rs.isEOF()) {
            form.m_strPostingLine1 = QStringLiteral("Posting No %1").arg(key);
            form.m_strPostingLine2 =
                QStringLiteral("%1 Orders and %2 QuickSales").arg(rs.value(0).toInt()).arg(rs.value(1).toInt());
        }
    }
    platform::TestResponder responder; // any other prompt is answered OK and written to stderr
    bool offered = false;
    responder.onDialog([&](QDialog &shown) {
        auto *dialog = qobject_cast<CPrintDlg *>(&shown);
        if (!dialog)
            return 2;
        if (!dialog->documentTree()->FindOption(unsigned(kind)))
            return 2;
        offered = true;
        dialog->SelectDocument(kind);
        if (ticks)
            dialog->optionsTree()->SetCheckedBits(quint32(options));
        // E-mail goes to the folder given, past the PDF writer's set-up.
        dialog->EndWith(!attach.isEmpty() ? 30562 : preview ? CPrint::kPrintPreview : CPrint::kPrintDirect);
        return dialog->result();
    });
    for (int i = 0; i < 8; ++i)
        responder.answer(platform::IDOK);
    const int command = form.PrintJobDocument(view, branch, item, key, list.get(), nullptr, nullptr);
    PrintPrompts(responder, err, true);
    if (!offered && command <= 0) {
        err << "The print dialog of view " << view << " does not offer document " << kind << ".\n";
        return 1;
    }
    if (command <= 0)
        return 1;
    if (!attach.isEmpty()) {
        // The mail's folder holds the attachment only.
        CPrint::SetRecordBesidePdf(false);
        const int next = form.RunPrintCommand(command, QString(), QString(), QString());
        PrintPrompts(responder, err, true);
        out << "result " << form.m_nResult << '\n';
        if (next != 30108)
            return 1;
        out << form.m_strAttachment << '\n';
        return 0;
    }
    // Each run of the batch to its own file, as paper would take it.
    int part = 1;
    int result = 0;
    while (true) {
        const QString file = part == 1 ? pdf : pdf.chopped(4) + QStringLiteral("-%1.pdf").arg(part);
        if (!PrintToPaperPdf(form, file, preview ? PrintInfo::Pass::Preview : PrintInfo::Pass::Print, err, result))
            return 1;
        out << "result " << result << ' ' << file << ' ' << form.m_strTitle << '\n';
        writePrintedRows(args, form, list.get(), out);
        if (result != 2)
            break;
        const bool posting = view == 44231 || (view == 30005 && branch == 6);
        if (!(posting && form.m_nKind > 100 && form.NextListPart() != 0))
            break;
        ++part;
    }
    return result == 2 ? 0 : 1;
}

} // namespace

// A bar-code sheet of the bar-code dialog (301-305) into a PDF.
int runSheetPrint(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const int kind = OptionValue(args, QStringLiteral("--sheet")).toInt();
    const QString pdf = OptionValue(args, QStringLiteral("--pdf"));
    const QString title = CBarCodeDlg::SheetTitle(kind);
    if (title.isEmpty() || !pdf.endsWith(QLatin1String(".pdf"))) {
        err << "usage: tavrel-dbtool print DB --sheet 301-305 --pdf FILE.pdf (300 and 306 have no sheet)\n";
        return 2;
    }
    if (!OpenToolDatabase(args[0], err))
        return 1;
    CZqApp app;
    InstallAppQueryReader(app);
    app.LoadCompanyInfo();
    // The employee cache and the item-location menu.
    app.BuildPopupMenus();
    CPrintForm form;
    form.ResetOptions();
    form.m_nKind = 100;
    form.m_nFormNo = 100;
    form.FindForm();
    form.m_nKind = kind;
    form.m_strTitle = title;
    form.m_nRecords = CPrintForm::SheetRowsOf(kind, 0);
    int result = 0;
    if (!PrintToPaperPdf(form, pdf, PrintInfo::Pass::Print, err, result))
        return 1;
    out << "result " << result << '\n';
    return result == 2 ? 0 : 1;
}

// The receivables view's Summary of Invoices by Age, printed as its printer
// button prints it: the dialog is shown as the view shows it and its grid
// printed into the PDF. Each row of the summary is written out ("row", age,
// balance) to read the printout against.
int runArSummaryPrint(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString pdf = OptionValue(args, QStringLiteral("--pdf"));
    if (!pdf.endsWith(QLatin1String(".pdf"))) {
        err << "usage: tavrel-dbtool print DB --ar-summary --pdf FILE.pdf [--today M/D/YYYY]\n";
        return 2;
    }
    if (!OpenToolDatabase(args[0], err))
        return 1;
    CZqApp app;
    InstallAppQueryReader(app);
    app.LoadCompanyInfo();
    CPrintForm form;
    bool shown = false;
    // Any message (a file that cannot be written, a row the summary cannot
    // add up) is answered and written to stderr.
    platform::TestResponder responder;
    for (int i = 0; i < 8; ++i)
        responder.answer(platform::IDOK);
    responder.onDialog([&](QDialog &dialog) {
        auto *grid = qobject_cast<CDlgGrid *>(&dialog);
        if (!grid)
            return 2;
        shown = true;
        grid->m_wndGrid.EndEdit();
        form.ResetOptions();
        form.m_nFormNo = 100;
        form.FindForm();
        form.m_strTitle = grid->m_strRibbonTitle;
        form.m_strOutputFile = pdf;
        form.CPrint::PrintGrid(grid, &grid->m_wndGrid, grid->m_wndGrid2.isCreated() ? &grid->m_wndGrid2 : nullptr,
                               grid->m_strStripText.isEmpty() ? grid->m_strRibbonTitle : grid->m_strStripText);
        for (int r = 0; r < grid->m_wndGrid.GetRowCount(); ++r)
            out << "row\t" << grid->m_wndGrid.GetShownText(r, 0) << '\t' << grid->m_wndGrid.GetShownText(r, 1)
                << '\n';
        return 2;
    });
    CView0::RunSummary(nullptr, 210, QStringLiteral("Invoices"), CViewAR::AgingSql());
    const bool said = !responder.shown().isEmpty();
    PrintPrompts(responder, err, true);
    if (!shown) {
        if (!said)
            err << "There are no unpaid invoices to summarize.\n";
        return 1;
    }
    out << "result " << form.m_nResult << ' ' << pdf << ' ' << form.m_strTitle << '\n';
    return form.m_nResult == 2 ? 0 : 1;
}

int runPrintCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.contains(QStringLiteral("--paper"))) {
        const QString paper = OptionValue(args, QStringLiteral("--paper"));
        if (paper.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0) {
            g_paper = QPageSize::A4;
        } else if (paper.compare(QLatin1String("Letter"), Qt::CaseInsensitive) != 0) {
            err << "--paper takes A4 or Letter\n";
            return 2;
        }
    }
    if (args.contains(QStringLiteral("--ar-summary")))
        return runArSummaryPrint(args, out, err);
    if (args.contains(QStringLiteral("--view")))
        return runViewPrint(args, out, err);
    if (args.contains(QStringLiteral("--sheet")))
        return runSheetPrint(args, out, err);
    const QString sql = OptionValue(args, QStringLiteral("--sql"));
    const QString pdf = OptionValue(args, QStringLiteral("--pdf"));
    const QString jobText = OptionValue(args, QStringLiteral("--job"));
    const QString statementText = OptionValue(args, QStringLiteral("--statement"));
    if (args.isEmpty() || (int(!sql.isEmpty()) + int(!jobText.isEmpty()) + int(!statementText.isEmpty()) != 1) || pdf.isEmpty() || !pdf.endsWith(QLatin1String(".pdf"))) {
        err << "usage: tavrel-dbtool print DB --sql \"SELECT ...\" --pdf FILE.pdf [--pages A-B] [--preview] "
               "[--today MM/DD/YYYY]\n"
               "       tavrel-dbtool print DB --job JOBID --kind K [--form N] [--options BITS] "
               "--pdf FILE.pdf [--pages A-B] [--preview] [--attach] [--today MM/DD/YYYY]\n"
               "       tavrel-dbtool print DB --statement CUSNO --kind 1-4 [--past-due] [--options BITS] "
               "--pdf FILE.pdf [--pages A-B] [--preview] [--attach] [--today MM/DD/YYYY]\n"
               "       tavrel-dbtool print DB --view V [--branch B --item I] [--list [--filter COND | --query NAME]] --kind K --key KEY [--options BITS] "
               "(--pdf FILE.pdf | --attach DIR) [--today M/D/YYYY]\n"
               "       tavrel-dbtool print DB --ar-summary --pdf FILE.pdf [--today M/D/YYYY]\n";
        return 2;
    }
    bool ok = true;
    const qint32 jobId = jobText.isEmpty() ? 0 : jobText.toInt(&ok);
    const int kind = OptionValue(args, QStringLiteral("--kind")).toInt();
    const qint32 cusNo = statementText.isEmpty() ? 0 : statementText.toInt(&ok);
    if (!statementText.isEmpty() && (!ok || cusNo <= 0 || kind < 1 || kind > 4)) {
        err << "--statement takes a CusNo and --kind a statement kind from 1 to 4\n";
        return 2;
    }
    if (!ok || (!jobText.isEmpty() && (jobId <= 0 || kind < 1 || kind > 9))) {
        err << "--job takes a JobID and --kind a job document kind from 1 to 9\n";
        return 2;
    }
    int formNo = 0;
    if (args.contains(QStringLiteral("--form")))
        formNo = OptionValue(args, QStringLiteral("--form")).toInt();
    int options = -1;
    if (args.contains(QStringLiteral("--options"))) {
        const QString bits = OptionValue(args, QStringLiteral("--options"));
        options = bits.startsWith(QLatin1String("0x")) ? bits.mid(2).toInt(&ok, 16) : bits.toInt(&ok);
        if (!ok || options < 0) {
            err << "--options takes the document's option bits (decimal or 0x...)\n";
            return 2;
        }
    }
    int from = 1;
    int to = PrintInfo::kOpenEnd;
    const QString pages = OptionValue(args, QStringLiteral("--pages"));
    if (!pages.isEmpty()) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d+)-(\\d+)$")).match(pages);
        if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1) {
            err << "--pages takes a range such as 3-5\n";
            return 2;
        }
        from = m.captured(1).toInt();
        to = m.captured(2).toInt();
    }
    const QString today = OptionValue(args, QStringLiteral("--today"));
    if (!today.isEmpty()) {
        const QDate date = QDate::fromString(today, QStringLiteral("MM/dd/yyyy"));
        if (!date.isValid()) {
            err << "--today takes a date as MM/DD/YYYY\n";
            return 2;
        }
        platform::Clock::setFixed(QDateTime(date, QTime(9, 0)));
    }
    if (!OpenToolDatabase(args[0], err))
        return 1;
    CZqApp app;
    InstallAppQueryReader(app);
    app.LoadCompanyInfo();
    CPrintForm form;
    if (cusNo != 0) {
        // An invoice whose stored amounts cannot be read is said as the
        // program says it, and nothing is printed.
        platform::TestResponder responder;
        for (int i = 0; i < 4; ++i)
            responder.answer(platform::IDOK);
        const int count = form.LoadStatement(cusNo, kind, args.contains(QStringLiteral("--past-due")), options);
        PrintPrompts(responder, err, true);
        if (count == 0)
            err << form.m_strTitle << " has no items to print!\n";
        if (count <= 0)
            return 1;
    } else if (jobId != 0) {
        if (!form.LoadJobDocument(jobId, kind, formNo, options)) {
            err << "Cannot find the job to print!\n";
            return 1;
        }
        form.ApplyJobTitle();
    } else if (!form.SetupTablePrint(sql, QStringLiteral("Query"))) {
        err << "The statement gave no rows.\n";
        return 1;
    } else {
        form.m_strHeading1 = sql;
    }
    form.m_nFromPage = from;
    form.m_nToPage = to;
    int result = 0;
    const bool preview = args.contains(QStringLiteral("--preview"));
    if (preview || ((jobId != 0 || cusNo != 0) && !args.contains(QStringLiteral("--attach")))) {
        // A preview, or a real print that is not an attachment: the PDF
        // stands for paper.
        if (!PrintToPaperPdf(form, pdf, preview ? PrintInfo::Pass::Preview : PrintInfo::Pass::Print, err, result))
            return 1;
    } else {
        form.m_strOutputFile = pdf;
        result = form.DoPrint(CPrint::kPrintDirect);
    }
    out << "result " << result << '\n';
    if (!sql.isEmpty())
        writePrintedRows(args, form, nullptr, out);
    return result == 2 ? 0 : 1;
}

int runBarcodeCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool ok = false;
    const qint64 number = args.size() == 3 ? args[1].toLongLong(&ok) : 0;
    if (args.size() != 3 || args[0].size() != 1 || !args[0][0].isDigit() || !ok || number < 0
        || number > 2147483647) {
        err << "usage: tavrel-dbtool barcode DIGIT NUMBER FILE.png\n";
        return 2;
    }
    CBarCode code;
    code.m_cObjectKind = char(args[0][0].toLatin1());
    code.m_nObject = std::int32_t(number);
    const QString text = code.GetText(true);
    const QString symbols = Code39::SymbolsOfPrintedText(text);
    // Narrow bars of 0.010 inch at 600 dpi, a quiet zone of ten narrow bars
    // on either side, 24 points high.
    const int narrow = 6;
    const int quiet = 10 * narrow;
    const int height = 200;
    const int width = Code39::Modules(symbols).size() * narrow + 2 * quiet;
    QImage image(width, height + 2 * quiet, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(23622);
    image.setDotsPerMeterY(23622);
    QPainter painter(&image);
    Code39::DrawBars(painter, quiet, quiet, narrow, height, symbols);
    painter.end();
    platform::UserFile target(args[2]);
    if (!OpenToolFile(target, err))
        return 1;
    if (!image.save(&target, "PNG")) {
        err << "Cannot write: " << args[2] << ": " << target.errorString() << '\n';
        return 1;
    }
    if (!FinishToolFile(target, err))
        return 1;
    out << text << '\n';
    return 0;
}

int runScanCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty()) {
        err << "usage: tavrel-dbtool scan \"Shift 6 1 2 Shift 3\" [--gap MS]\n";
        return 2;
    }
    int gap = 5;
    const QString gapText = OptionValue(args, QStringLiteral("--gap"));
    if (!gapText.isEmpty())
        gap = gapText.toInt();
    std::int64_t now = 0;
    CBarCode reader;
    reader.SetClock([&now] { return now; });
    const char shifted[] = ")!@#$%^&*(";
    bool shift = false;
    const QStringList keys = args[0].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &name : keys) {
        CBarCode::Key key;
        if (name.compare(QLatin1String("Shift"), Qt::CaseInsensitive) == 0) {
            key.key = Qt::Key_Shift;
            key.modifiers = Qt::ShiftModifier;
            shift = true;
        } else if (name.compare(QLatin1String("Esc"), Qt::CaseInsensitive) == 0) {
            key.key = Qt::Key_Escape;
            shift = false;
        } else if (name.size() == 1 && name[0].isDigit()) {
            const int d = name[0].digitValue();
            key.key = shift ? shifted[d] : '0' + d;
            key.modifiers = shift ? int(Qt::ShiftModifier) : 0;
            key.text = shift ? QString(QLatin1Char(shifted[d])) : name;
            shift = false;
        } else if (name.size() == 1) {
            key.key = name[0].toUpper().unicode();
            key.text = shift ? name.toUpper() : name;
            key.modifiers = shift ? int(Qt::ShiftModifier) : 0;
            shift = false;
        } else {
            err << "Unknown key: " << name << '\n';
            return 2;
        }
        out << "result " << reader.OnScannerKey(key) << '\n';
        reader.TakeReplay();
        now += gap;
    }
    auto kind = [](char k) { return k ? QString(QLatin1Char(k)) : QStringLiteral("0"); };
    out << "object " << reader.m_nObject << ' ' << kind(reader.m_cObjectKind) << '\n';
    out << "action " << reader.m_nAction << ' ' << kind(reader.m_cActionKind) << '\n';
    out << "order " << reader.m_nOrder << '\n';
    return 0;
}
