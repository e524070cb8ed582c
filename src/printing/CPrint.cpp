#include "printing/CPrint.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/FileChoice.h"
#include "app/base/ProgramPaths.h"
#include "controls/ListWork.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/LongRun.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "platform/UserFile.h"
#include "printing/CPrintPreview.h"
#include "printing/RecordingDevice.h"
#include "views/CPrintStatus.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtGui/QFontMetrics>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtPrintSupport/QPrinterInfo>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr int kPdfDpi = 600;

// Whether a PDF the printer wrote by name is whole: the printer says nothing
// of a write that failed, and a file cut short by a full disk or the
// file-size limit ends before the PDF's end mark. False with the reason, as
// far as it can be told afterwards.
bool IsWholePdf(const QString &path, QString &reason)
{
    QFile file;
    if (!platform::PlacedFile::OpenFile(path, file, reason))
        return false;
    const qint64 size = file.size();
    file.seek(std::max<qint64>(0, size - 1024));
    if (file.readAll().contains("%%EOF"))
        return true;
    struct rlimit limit {};
    struct statvfs disk {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && rlim_t(size) >= limit.rlim_cur)
        reason = platform::UserFile::ReasonText(EFBIG);
    else if (::statvfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &disk) == 0
             && qint64(disk.f_bavail) * qint64(disk.f_frsize) < 64 * 1024)
        reason = platform::UserFile::ReasonText(ENOSPC);
    else
        reason = QStringLiteral("The printer's file was not written whole.");
    return false;
}

QWidget *mainWindow()
{
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (w->isVisible() && w->inherits("QMainWindow"))
            return w;
    return nullptr;
}

} // namespace

CPrint::CPrint()
{
    ResetOptions();
}

CPrint::~CPrint() = default;

void CPrint::ResetOptions()
{
    m_nBatchKey = 0;
    m_nRecords = 0;
    if (m_file.isOpen())
        m_file.close();
    m_fileStream.reset();
    m_pSourceWnd = nullptr;
    m_pTree = nullptr;
    m_pList = nullptr;
    m_pChart = nullptr;
    m_pGrid2 = nullptr;
    m_pBitmap.reset();
    m_strTitle.clear();
    m_strHeading1.clear();
    m_strHeading2.clear();
    m_strHeading3.clear();
    m_strHeading4.clear();
    m_strPeriod.clear();
    m_strOutputFile.clear();
    m_nListSelector = 0;
    m_nListFlag = 0;
    m_nListBranch = 0;
    m_nListItem = 0;
    m_strSubtitle.clear();
    m_nKind = 0;
    m_nContext = 0;
    m_nOptions = 0;
    m_bGroupPages = 0;
    m_bTotals = 1;
    m_dTopMargin = 0.25;
    m_dLeftMargin = 0;
    m_nFromPage = 1;
    m_nToPage = PrintInfo::kOpenEnd;
    m_afterPrinted.clear();
    SetColors(0xFFFFFF, 0);
}

void CPrint::SetColors(std::uint32_t fill, std::uint32_t text)
{
    if (fill == text) {
        m_crFill = 0xFFFFFF;
        m_crText = 0;
        return;
    }
    m_crFill = fill;
    m_crText = text;
}

// --- units and fonts -------------------------------------------------------------

int CPrint::InchToDevice(double inches, bool across) const
{
    if (across)
        return int(inches * m_sizeDpi.width());
    return int((m_dTopMargin + inches) * m_sizeDpi.height());
}

PrintRect CPrint::RectFromInches(double left, double top, double right, double bottom) const
{
    return PrintRect(InchToDevice(left, true), InchToDevice(top, false), InchToDevice(right, true),
                     InchToDevice(bottom, false));
}

QFont CPrint::CreatePrintFont(const QString &face, int tenths, int weight, bool italic, bool underline) const
{
    QFont font = Appearance::CreatePointFont(face, std::max(tenths, 1));
    // The character height of a point font on this device.
    font.setPixelSize(std::max(1, m_sizeDpi.height() * tenths / 720));
    if (weight >= 700)
        font.setBold(true);
    if (italic)
        font.setItalic(true);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

void CPrint::CreateFonts(int size)
{
    if (m_bFontsCreated)
        return;
    QString face = m_form.m_FontName.trimmed();
    if (face.isEmpty())
        face = QStringLiteral("Tahoma");
    const int body = size >= 50 ? size : std::clamp<int>(m_form.m_FontSize, 50, 120);
    QString barFace = QStringLiteral("WASP M 39");
    int barSize = 0;
    if (SharedDatabase().isOpen()) {
        barFace = GetGlobalAlertText(241, 0, barFace);
        barSize = GetGlobalAlertText(241, 1, QStringLiteral("0")).toInt();
    }
    m_fonts[Font7] = CreatePrintFont(face, 70, 400, false, false);
    m_fonts[Font8] = CreatePrintFont(face, 80, 400, false, false);
    m_fonts[Font8Bold] = CreatePrintFont(face, 80, 700, false, false);
    m_fonts[FontBody] = CreatePrintFont(face, body, 400, false, false);
    m_fonts[FontBodyBold] = CreatePrintFont(face, body, 700, false, false);
    m_fonts[FontItalic] = CreatePrintFont(QStringLiteral("Times New Roman"), body, 400, true, false);
    m_fonts[Font12Bold] = CreatePrintFont(face, 120, 700, false, false);
    m_fonts[Font14Bold] = CreatePrintFont(face, 140, 700, false, false);
    // Bar codes are drawn as bars; the font keeps the height the setting asks
    // for (24 points when it names none).
    m_fonts[FontBarCode] = CreatePrintFont(barFace, barSize > 0 ? barSize : 240, 400, false, false);
    m_bFontsCreated = true;
}

void CPrint::DeleteFonts()
{
    if (!m_bFontsCreated)
        return;
    for (QFont &f : m_fonts)
        f = QFont();
    m_pCaptionFont = nullptr;
    m_bFontsCreated = false;
}

// --- the run -------------------------------------------------------------------

void CPrint::AfterPrinted(std::function<void()> work)
{
    if (m_pass == PrintInfo::Pass::Print && work)
        m_afterPrinted.push_back(std::move(work));
}

namespace {
bool &recordBesidePdf()
{
    static bool on = !qEnvironmentVariableIsEmpty("TAVREL_PRINT_RECORD");
    return on;
}
QStringList &cutsBesidePdfs()
{
    static QStringList lines;
    return lines;
}
} // namespace

void CPrint::SetRecordBesidePdf(bool on)
{
    recordBesidePdf() = on;
}

bool CPrint::RecordBesidePdf()
{
    return recordBesidePdf();
}

void CPrint::beginRecord(const QPaintDevice &device)
{
    m_cutRecord.clear();
    m_recordDevice = &device;
}

void CPrint::endRecord(QPaintDevice &device)
{
    m_recordDevice = nullptr;
    QString file;
    file.swap(m_recordFile);
    if (!RecordBesidePdf())
        return;
    if (file.isEmpty())
        if (const auto *printer = dynamic_cast<const QPrinter *>(&device))
            if (printer->outputFormat() == QPrinter::PdfFormat)
                file = printer->outputFileName();
    // A PDF being made under a passing name is named for its final one.
    if (file.endsWith(QLatin1String(".partial")))
        file.chop(8);
    if (!file.isEmpty())
        m_recordBeside = PrintCutRecord::pathBeside(file);
}

void CPrint::keepRecord(bool printed)
{
    QString beside;
    beside.swap(m_recordBeside);
    if (!printed || beside.isEmpty())
        return;
    m_cutRecord.write(beside);
    if (!m_cutRecord.isEmpty()) {
        QStringList &lines = cutsBesidePdfs();
        lines << QStringLiteral("%1: %2 texts cut").arg(beside.chopped(5)).arg(m_cutRecord.cuts().size());
        lines << m_cutRecord.describe();
    }
}

QStringList CPrint::CutsBesidePdfs()
{
    return cutsBesidePdfs();
}

bool CPrint::CanPrintKind(int) const
{
    return true;
}

int CPrint::DoPrint(int command)
{
    m_nResult = 0;
    m_strWrittenFile.clear();
    if (!CanPrintKind(m_nKind)) {
        platform::Prompt::messageBox(QStringLiteral("Printing this document is not yet available in this version."),
                                     QString(), platform::MB_ICONINFORMATION);
        return m_nResult;
    }
    if (m_strOutputFile.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return printToPdf(m_strOutputFile);
    if (command == kPrintPreview)
        return preview();
    PrintInfo info;
    std::unique_ptr<QPrinter> printer = preparePrinter(command, info);
    if (!printer) {
        if (m_file.isOpen())
            m_file.close();
        return m_nResult;
    }
    QPrinter *p = printer.get();
    if (!p->outputFileName().isEmpty())
        return printToFile(*p, info);
    return runJob(*p, [p] { return p->newPage(); }, info, true);
}

int CPrint::DoPrintOn(QPaintDevice &device, const std::function<bool()> &newPage, PrintInfo::Pass pass,
                      const QString &pdfFile, const FinishOutput &finish)
{
    m_recordFile = pdfFile;
    m_nResult = 0;
    m_strWrittenFile.clear();
    PrintInfo info;
    info.pass = pass;
    info.direct = true;
    info.fromPage = m_nFromPage;
    info.toPage = m_nToPage;
    if (pass == PrintInfo::Pass::Preview) {
        // As a preview: every page is counted first.
        m_measure = std::make_unique<RecordingDevice>(device.logicalDpiX(), device.logicalDpiY(), device.width(),
                                                      device.height());
        m_pass = pass;
        m_bPreparingStopped = false;
        {
            QPainter measure(m_measure.get());
            OnBeginPrinting(measure, info);
        }
        if (m_bPreparingStopped) {
            QPainter end(m_measure.get());
            OnEndPrinting(end, info);
            m_afterPrinted.clear();
            return m_nResult = 1;
        }
        info.currentPage = 1;
        while (CountPages(info) && info.maxPage == PrintInfo::kOpenEnd)
            info.currentPage = int(m_pageStarts.size()) + 1;
        QPainter painter;
        beginRecord(device);
        for (int page = 1; page <= int(m_pageStarts.size()); ++page) {
            info.currentPage = page;
            OnPrepareDC(painter, info);
            if (!info.continuePrinting)
                break;
            m_cutRecord.setPage(page);
            if (page == 1)
                painter.begin(&device);
            else
                newPage();
            info.drawRect = PrintRect(0, 0, device.width(), device.height());
            OnPrint(painter, info);
        }
        if (painter.isActive())
            painter.end();
        endRecord(device);
        QPainter end(m_measure.get());
        OnEndPrinting(end, info);
        m_afterPrinted.clear();
        m_nResult = !finish || finish(true) ? 2 : 1;
        keepRecord(m_nResult == 2);
        return m_nResult;
    }
    return runJob(device, newPage, info, false, finish);
}

int CPrint::runJob(QPaintDevice &device, const std::function<bool()> &newPage, PrintInfo &info, bool showStatus,
                   const FinishOutput &finish)
{
    m_afterPrinted.clear();
    m_pass = PrintInfo::Pass::Print;
    info.pass = PrintInfo::Pass::Print;
    m_measure = std::make_unique<RecordingDevice>(device.logicalDpiX(), device.logicalDpiY(), device.width(),
                                                  device.height());
    m_bPreparingStopped = false;
    {
        QPainter measure(m_measure.get());
        OnBeginPrinting(measure, info);
    }
    if (m_bPreparingStopped) {
        // Stopped while the list's texts were read: no page is printed.
        QPainter end(m_measure.get());
        OnEndPrinting(end, info);
        m_afterPrinted.clear();
        return m_nResult = 1;
    }

    std::unique_ptr<CPrintStatus> status;
    QWidget *frame = mainWindow();
    if (showStatus) {
        // A window of its own, whose run holds back the main window's input
        // while the pages print (the main window is not disabled: its Exit
        // and Alt+F4 must reach the run, which asks to stop).
        status = std::make_unique<CPrintStatus>(nullptr);
        if (frame)
            status->move(frame->frameGeometry().center() - status->rect().center());
        status->SetStatusText(QCoreApplication::applicationName());
    } else {
        CPrintStatus::SetUserAbort(false);
    }

    const int first = std::clamp(info.fromPage, info.minPage, info.maxPage);
    int last = std::clamp(info.toPage, info.minPage, info.maxPage);
    const int step = last < first ? -1 : 1;
    if (last != PrintInfo::kOpenEnd)
        last += step;

    QPainter painter;
    beginRecord(device);
    bool error = false;
    bool failedStart = false;
    // The status window is drawn, and a click on its Cancel taken, some
    // twenty times a second rather than after every page: drawing it after
    // each page of a long list took a twentieth of the run.
    constexpr qint64 kEventsEveryMs = 50;
    QElapsedTimer sinceEvents;
    for (int page = first; page != last; page += step) {
        info.currentPage = page;
        OnPrepareDC(painter, info);
        if (!info.continuePrinting)
            break;
        if (status)
            status->SetStatusText(QStringLiteral("Page %1").arg(page));
        info.drawRect = PrintRect(0, 0, device.width(), device.height());
        if (!painter.isActive()) {
            if (!painter.begin(&device)) {
                failedStart = true;
                break;
            }
        } else if (!newPage()) {
            error = true;
            break;
        }
        OnPrepareDC(painter, info);
        m_cutRecord.setPage(page);
        OnPrint(painter, info);
        if (!sinceEvents.isValid() || sinceEvents.elapsed() >= kEventsEveryMs) {
            // The status window's run handles them: the windows behind it
            // wait, and Exit or Alt+F4 asks to stop.
            LongRun::Pump();
            sinceEvents.start();
        }
        if (CPrintStatus::IsUserAbort()) {
            error = true;
            break;
        }
    }
    if (painter.isActive())
        painter.end();
    endRecord(device);
    {
        QPainter end(m_measure.get());
        OnEndPrinting(end, info);
    }
    status.reset();
    ListWork::GiveBackFreedMemory();
    if (failedStart) {
        keepRecord(false);
        m_afterPrinted.clear();
        m_nResult = 0;
        platform::Prompt::messageBox(QStringLiteral("The print job could not be started."), QString(),
                                     platform::MB_ICONEXCLAMATION);
        return m_nResult;
    }
    m_nResult = error ? 1 : 2;
    // A file that could not be put in place is no print: what it was for
    // (marking the documents printed, mailing them) does not happen. A
    // device whose file stopped taking pages ends the run early too: its
    // output says why.
    if (finish && !finish(m_nResult == 2))
        m_nResult = 1;
    keepRecord(m_nResult == 2);
    std::vector<std::function<void()>> work;
    work.swap(m_afterPrinted);
    if (m_nResult == 2)
        for (const auto &w : work)
            w();
    return m_nResult;
}

std::unique_ptr<QPrinter> CPrint::preparePrinter(int command, PrintInfo &info)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The print job, and a PDF made from it, are named after the document:
    // without the characters a file name cannot hold ("Jobs / Late" would
    // propose a file in a folder "Jobs ").
    const QString docName = RemoveExportNameChars(m_strTitle).simplified();
    printer->setDocName(docName.isEmpty() ? QCoreApplication::applicationName() : docName);
    printer->setFullPage(false);
    CZqApp *app = ZqApp();
    bool ask = command != kPrintDirect;
    if (m_batch.active && m_batch.chosen) {
        // A further document of the run goes where the first one went.
        ++m_batch.documents;
        info.direct = true;
        printer->setPrinterName(m_batch.printerName);
        printer->setCopyCount(m_batch.copies);
        if (!m_batch.outputFile.isEmpty()) {
            const QFileInfo file(m_batch.outputFile);
            const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
            printer->setOutputFileName(file.path() + QLatin1Char('/') + file.completeBaseName() +
                                       QStringLiteral("-%1").arg(m_batch.documents) + suffix);
        }
        if (app && app->m_nLandscape && m_nKind >= 100)
            printer->setPageOrientation(QPageLayout::Landscape);
        printer->setFromTo(0, 0);
        return printer;
    }
    if (command == kPrintDirect) {
        info.direct = true;
        const int form = m_form.m_No ? m_form.m_No : 100;
        if (app && app->SelectFormPrinter(form)) {
            printer->setPrinterName(app->currentPrinterName());
            printer->setCopyCount(app->currentPrinterCopies());
            printer->setPageOrientation(app->currentPrinterLandscape() ? QPageLayout::Landscape
                                                                      : QPageLayout::Portrait);
        } else if (QPrinterInfo::defaultPrinter().isNull()) {
            // No printer stored for the form and none by default: ask.
            ask = true;
            info.direct = false;
        }
    } else if (app && app->m_nLandscape && m_nKind >= 100) {
        printer->setPageOrientation(QPageLayout::Landscape);
    }
    if (ask) {
        QPrintDialog dialog(printer.get(), mainWindow());
        dialog.setObjectName(QStringLiteral("PrintDialog"));
        dialog.setMinMax(1, PrintInfo::kOpenEnd);
        dialog.setFromTo(1, PrintInfo::kOpenEnd);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
            return nullptr;
        if (m_batch.active) {
            m_batch.chosen = true;
            m_batch.printerName = printer->printerName();
            m_batch.outputFile = printer->outputFileName();
            m_batch.copies = printer->copyCount();
            m_batch.documents = 1;
        }
        if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
            info.fromPage = printer->fromPage();
            info.toPage = printer->toPage() > 0 ? printer->toPage() : PrintInfo::kOpenEnd;
        }
    }
    // The run's pages come from the range chosen here, not from the printer.
    printer->setFromTo(0, 0);
    return printer;
}

int CPrint::printToPdf(const QString &path)
{
    PrintInfo info;
    info.direct = true;
    info.fromPage = m_nFromPage;
    info.toPage = m_nToPage;
    // Made in a work file beside the name and put in place only when whole;
    // a link someone put at the name is replaced, a pipe or a folder there
    // refused (said, and nothing printed).
    platform::UserFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reportUnwritable(path, file.errorString());
        return m_nResult = 1;
    }
    // The PDF replaces an older one only when it was made whole: a write
    // that failed on the way (a full disk, the file-size limit) is said and
    // the run is a failed one; a run that printed no page (a range past the
    // end) makes no file.
    const auto finish = [&](bool printed) {
        if (file.failed()) {
            reportUnwritable(path, file.errorString());
            file.cancelWriting();
            return false;
        }
        if (!printed || file.size() == 0) {
            file.cancelWriting();
            return printed;
        }
        if (!file.commit()) {
            reportUnwritable(path, file.errorString());
            return false;
        }
        m_strWrittenFile = path;
        return true;
    };
    int result = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setCreator(QCoreApplication::applicationName());
        writer.setTitle(m_strTitle);
        QPdfWriter *w = &writer;
        m_recordFile = path;
        result = runJob(writer, [w] { return w->newPage(); }, info, true, finish);
    }
    file.cancelWriting(); // a run stopped half way leaves what was there
    return result;
}

void CPrint::reportUnwritable(const QString &path, const QString &reason) const
{
    QString text = QStringLiteral("Cannot write: ") + path + QStringLiteral("\n\n") + reason;
    if (!m_strUnwrittenNote.isEmpty())
        text += QStringLiteral("\n\n") + m_strUnwrittenNote;
    platform::Prompt::messageBox(text, QString(), platform::MB_OK | platform::MB_ICONHAND);
}

int CPrint::printToFile(QPrinter &printer, PrintInfo &info)
{
    // The printer writes its file by name, following whatever is there: it
    // writes into a folder of this process's own, and the finished file
    // goes to the name the user chose through the one writer of the user's
    // files.
    const QString wanted = printer.outputFileName();
    QTemporaryDir own;
    if (!own.isValid()) {
        reportUnwritable(wanted, own.errorString());
        return m_nResult = 1;
    }
    QString refusal;
    QString destination;
    if (!platform::UserFile::Destination(wanted, destination, refusal)) {
        reportUnwritable(wanted, refusal);
        return m_nResult = 1;
    }
    const QString made = own.filePath(QStringLiteral("print.out"));
    printer.setOutputFileName(made);
    m_recordFile = wanted;
    // The printer's file is ended with the run's last page; it goes to the
    // name only when it is whole (the printer says nothing of a write that
    // failed: a full disk or the file-size limit leaves a PDF without its
    // end).
    const auto finish = [&](bool printed) {
        if (!QFileInfo::exists(made))
            return printed; // no page printed, no file
        QString error;
        if (!IsWholePdf(made, error)) {
            reportUnwritable(wanted, error);
            return false;
        }
        if (!printed)
            return false;
        if (!platform::UserFile::CopyFrom(made, wanted, error)) {
            reportUnwritable(wanted, error);
            return false;
        }
        m_strWrittenFile = wanted;
        return true;
    };
    QPrinter *p = &printer;
    const int result = runJob(printer, [p] { return p->newPage(); }, info, true, finish);
    printer.setOutputFileName(wanted);
    return result;
}

int CPrint::preview()
{
    m_nResult = 0;
    // The printer gives the preview its paper, resolution and orientation;
    // the pages are drawn on the screen only as they are shown.
    QPrinter printer(QPrinter::HighResolution);
    CZqApp *app = ZqApp();
    if (app && app->m_nLandscape && m_nKind >= 100)
        printer.setPageOrientation(QPageLayout::Landscape);
    if (!BeginPreview(printer.logicalDpiX(), printer.logicalDpiY(), printer.width(), printer.height())) {
        EndPreview();
        return m_nResult = 1;
    }
    int answer = 0;
    {
        CPrintPreview window(*this, mainWindow());
        window.setWindowTitle(m_strTitle.isEmpty() ? QStringLiteral("Print Preview") : m_strTitle);
        answer = platform::Prompt::execDialog(window);
    }
    EndPreview();
    // Print... of the preview: the pages through the printer dialog.
    if (answer == CPrintPreview::kPrintAnswer)
        return DoPrint(kPrintDialog);
    return m_nResult = 0;
}

bool CPrint::BeginPreview(int dpiX, int dpiY, int width, int height)
{
    m_nResult = 0;
    m_strWrittenFile.clear();
    m_afterPrinted.clear();
    m_previewInfo = PrintInfo();
    m_previewInfo.pass = PrintInfo::Pass::Preview;
    m_previewInfo.direct = true;
    m_previewAllFound = false;
    m_previewActive = true;
    m_pass = PrintInfo::Pass::Preview;
    m_measure = std::make_unique<RecordingDevice>(dpiX, dpiY, width, height);
    m_bPreparingStopped = false;
    {
        QPainter measure(m_measure.get());
        OnBeginPrinting(measure, m_previewInfo);
    }
    if (m_bPreparingStopped)
        return false;
    if (m_nRecords < 1)
        m_previewAllFound = true;
    // The first page is found by drawing it (without output): the page
    // after it starts where it ended.
    FindNextPreviewPage();
    return true;
}

int CPrint::PreviewPagesFound() const
{
    if (!m_previewActive || m_nRecords < 1)
        return 0;
    return int(m_pageStarts.size());
}

bool CPrint::FindNextPreviewPage()
{
    if (!m_previewActive || m_previewAllFound)
        return false;
    PrintInfo &info = m_previewInfo;
    const int before = int(m_pageStarts.size());
    info.currentPage = before + 1;
    CountPages(info);
    if (int(m_pageStarts.size()) > before && info.maxPage == PrintInfo::kOpenEnd)
        return true;
    // The last page drew its last record, or drew none.
    m_previewAllFound = true;
    info.maxPage = int(m_pageStarts.size());
    return int(m_pageStarts.size()) > before;
}

void CPrint::DrawPreviewPage(QPainter &painter, int page)
{
    if (!m_previewActive || page < 1 || page > PreviewPagesFound())
        return;
    PrintInfo &info = m_previewInfo;
    info.pass = PrintInfo::Pass::Preview;
    m_pass = PrintInfo::Pass::Preview;
    info.currentPage = page;
    OnPrepareDC(painter, info);
    if (info.continuePrinting) {
        info.drawRect = PrintRect(0, 0, m_sizePage.width(), m_sizePage.height());
        OnPrint(painter, info);
    }
    info.continuePrinting = true;
    // Drawing the last page found finds the one after it, as counting does.
    if (info.maxPage != PrintInfo::kOpenEnd) {
        m_previewAllFound = true;
        info.maxPage = int(m_pageStarts.size());
    }
}

void CPrint::EndPreview()
{
    if (!m_previewActive)
        return;
    if (m_measure) {
        QPainter end(m_measure.get());
        OnEndPrinting(end, m_previewInfo);
    }
    m_afterPrinted.clear();
    m_previewActive = false;
    m_previewAllFound = false;
    // What the run measured goes with it: a preview of a long list keeps
    // nothing of it once its window is closed.
    m_tableColumns = {};
    m_tableFullNeeds = {};
    m_pageStarts = {};
    m_pageRowLines = {};
    m_pageGroups = {};
    m_measure.reset();
    m_pass = PrintInfo::Pass::Print;
    ListWork::GiveBackFreedMemory();
}

// --- page loop steps ---------------------------------------------------------------

void CPrint::OnPrepareDC(QPainter &, PrintInfo &info)
{
    info.continuePrinting = true;
    if (m_nRecords < 1) {
        info.continuePrinting = false;
        return;
    }
    const int found = int(m_pageStarts.size());
    if (info.pass != PrintInfo::Pass::Print) {
        info.continuePrinting = info.currentPage <= found;
        return;
    }
    if (info.maxPage != PrintInfo::kOpenEnd) {
        info.continuePrinting = info.currentPage <= info.maxPage && info.currentPage <= found;
        return;
    }
    if (info.currentPage <= found)
        return;
    info.continuePrinting = CountPages(info);
}

void CPrint::OnBeginPrinting(QPainter &dc, PrintInfo &info)
{
    QPaintDevice *device = dc.device();
    m_sizePage = QSize(device->width(), device->height());
    m_sizeDpi = QSize(device->logicalDpiX(), device->logicalDpiY());
    CreateFonts(0);
    m_fontHeight = -1; // a run's devices measure afresh
    m_pCaptionFont = &m_fonts[FontBodyBold];
    const QFontMetrics fm(m_fonts[FontBody], device);
    // The internal leading counts twice, as the height holds it already.
    m_nLineHeight = fm.height() + fm.leading() + (fm.height() - m_fonts[FontBody].pixelSize());
    m_nCharWidth = fm.averageCharWidth();
    m_dColumnScale = 0;
    m_nPad = m_nLineHeight / 3;
    m_nQuarterLine = m_nLineHeight / 4;
    m_nCaptionHeight = m_nLineHeight;
    const int h = m_nCaptionHeight;
    m_pageStarts.clear();
    m_pageStarts.append(0);
    m_pageRowLines.assign(1, 0);
    m_pageGroups = QStringList{QString()};
    info.currentPage = 1;
    info.maxPage = PrintInfo::kOpenEnd;
    m_strGroup.clear();
    if (m_strProgramLine.isEmpty()) {
        const QString title = ZqApp() ? ZqApp()->m_strTitle : QCoreApplication::applicationName();
        m_strProgramLine = title + QStringLiteral(" (")
            + QFileInfo(GetModulePath()).lastModified().toString(QStringLiteral("MM.dd.yy")) + QLatin1Char(')');
    }
    if (m_nKind == 204) {
        if (m_file.isOpen()) {
            m_file.seek(0);
            m_fileStream = std::make_unique<QTextStream>(&m_file);
        }
    } else if (m_nKind >= 100 && m_nKind != 203) {
        BuildColumns();
        FitPrintColumns(dc);
    }
    m_nBodyTop = InchToDevice(1.25, false);
    m_nFooterTop = m_sizePage.height() - 2 * h;
    m_nListTop = m_nBodyTop + m_nCaptionHeight + m_nQuarterLine;
    m_nBodyBottom = m_nFooterTop - 2 * m_nLineHeight;
    m_nLastKey = -1;
}

void CPrint::OnPrint(QPainter &, PrintInfo &)
{
}

void CPrint::OnEndPrinting(QPainter &, PrintInfo &)
{
    m_pageStarts.clear();
    m_pageRowLines.clear();
    m_pageGroups.clear();
    DeleteFonts();
    m_fileStream.reset();
    if (m_file.isOpen())
        m_file.close();
}

bool CPrint::CountPages(PrintInfo &info)
{
    const int wanted = info.currentPage;
    const PrintRect savedRect = info.drawRect;
    const PrintInfo::Pass savedPass = info.pass;
    const PrintInfo::Pass savedEnginePass = m_pass;
    info.pass = PrintInfo::Pass::Count;
    m_pass = PrintInfo::Pass::Count;
    if (!m_measure)
        m_measure = std::make_unique<RecordingDevice>(m_sizeDpi.width(), m_sizeDpi.height(), m_sizePage.width(),
                                                      m_sizePage.height());
    QPainter discard(m_measure.get());
    info.currentPage = int(m_pageStarts.size());
    while (info.currentPage < wanted && info.maxPage == PrintInfo::kOpenEnd) {
        const int before = int(m_pageStarts.size());
        OnPrepareDC(discard, info);
        if (!info.continuePrinting)
            break;
        info.drawRect = PrintRect(0, 0, m_sizePage.width(), m_sizePage.height());
        OnPrint(discard, info);
        if (int(m_pageStarts.size()) == before)
            break;
        ++info.currentPage;
    }
    const bool reached = info.currentPage >= wanted && wanted <= int(m_pageStarts.size());
    discard.end();
    info.currentPage = wanted;
    info.drawRect = savedRect;
    info.pass = savedPass;
    m_pass = savedEnginePass;
    info.continuePrinting = true;
    return reached;
}

QString CPrint::GetPageNumberText(const PrintInfo &info) const
{
    // Paper learns how many pages it has only after its last one: each page
    // says its own number alone (a document's first page says nothing). A
    // preview, which may know the count before it draws a page, draws it as
    // the paper prints it; its window tells the count.
    if (m_nKind < 100 && info.currentPage == 1)
        return QString();
    return QStringLiteral("Page %1").arg(info.currentPage);
}

bool CPrint::OpenTextFile(const QString &path)
{
    if (m_file.isOpen())
        m_file.close();
    // A text to print is put where it is by whoever made it: it is opened
    // through the checks, so that a pipe or a device under its name is
    // refused at once, and nothing past the largest record index is read.
    constexpr qint64 kMaxText = 0x7FFFFFFF;
    QString refusal;
    const int fd = platform::PlacedFile::Open(path, refusal, false, kMaxText);
    if (fd < 0)
        return false;
    m_file.setFileName(path);
    if (!m_file.open(fd, QIODevice::ReadOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    // The record index of a text file is its read position.
    m_nRecords = int(std::min<qint64>(m_file.size(), 0x7FFFFFFF));
    return true;
}
