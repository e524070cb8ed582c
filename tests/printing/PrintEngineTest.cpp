#include "PrintFixture.h"
#include "support/TestFiles.h"

#include "platform/Clock.h"
#include "views/CPrintStatus.h"

#include <QtCore/QDir>
#include <QtCore/QRegularExpression>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtGui/QFontMetrics>

void PrintTest::CPrintStatus_SetAbort()
{
    CPrintStatus::SetUserAbort(true);
}

namespace {

// Rows per page of the test kind on Letter paper at 600 dpi.
int rowsPerPage(PrintTest *, CPrintForm &form)
{
    RecordingDevice device(600, 600, 5100, 6600, true);
    form.ResetOptions();
    form.m_nKind = 150;
    form.m_nRecords = 1000;
    form.m_form.ClearFields();
    form.m_form.m_FontSize = 90;
    form.DoPrintOn(device, [&device] { device.newPage(); return true; });
    int n = 0;
    for (const QString &t : device.pageTexts(0))
        n += t.startsWith(QLatin1String("Row ")) ? 1 : 0;
    return n;
}

} // namespace

TEST_F(PrintTest, InchesAndFontsFollowTheDeviceAndTheForm)
{
    RecordingDevice device;
    setupRows(1);
    form->m_dTopMargin = 0.5;
    struct Case { int formSize; int pixels; };
    // 5 points at the least, 12 at the most: pixel size = 600 x tenths / 720.
    const Case cases[] = {{0, 41}, {49, 41}, {90, 75}, {120, 100}, {200, 100}};
    for (const Case &c : cases) {
        form->m_form.m_FontSize = c.formSize;
        QPainter painter(&device);
        PrintInfo info;
        form->OnBeginPrinting(painter, info);
        EXPECT_EQ(form->font(CPrint::FontBody).pixelSize(), c.pixels) << c.formSize;
        EXPECT_EQ(form->font(CPrint::Font12Bold).pixelSize(), 100);
        // Line = height + leading + internal leading.
        const QFontMetrics fm(form->font(CPrint::FontBody), &device);
        EXPECT_EQ(form->m_nLineHeight, 2 * fm.height() + fm.leading() - c.pixels);
        EXPECT_EQ(form->InchToDevice(1.0, false), 900);
        EXPECT_EQ(form->InchToDevice(1.0, true), 600);
        form->OnEndPrinting(painter, info);
        EXPECT_FALSE(form->fontsCreated());
    }
}

TEST_F(PrintTest, PagesThreeToFiveAreThoseOfTheFullRun)
{
    // Page headers print the time to the second: both runs print at one time.
    platform::Clock::setFixed(QDateTime(QDate(2026, 3, 2), QTime(9, 15, 30)));
    const int perPage = rowsPerPage(this, *form);
    afterPrinted = 0;
    ASSERT_GT(perPage, 20);
    const int rows = 7 * perPage + perPage / 2; // eight pages

    RecordingDevice full(600, 600, 5100, 6600, true);
    setupRows(rows);
    EXPECT_EQ(print(full), 2);
    ASSERT_EQ(full.pageCount(), 8);
    EXPECT_EQ(afterPrinted, 8);
    EXPECT_TRUE(full.pageTexts(0).contains(QStringLiteral("Page 1")));

    RecordingDevice part(600, 600, 5100, 6600, true);
    setupRows(rows);
    form->m_nFromPage = 3;
    form->m_nToPage = 5;
    afterPrinted = 0;
    EXPECT_EQ(print(part), 2);
    ASSERT_EQ(part.pageCount(), 3);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(part.pageTexts(p), full.pageTexts(p + 2)) << "page " << p + 3;
    // Pages 1 and 2 were only counted: nothing of them is kept for later.
    EXPECT_EQ(afterPrinted, 3);
}

TEST_F(PrintTest, RangePastTheEndPrintsNothingAndSucceeds)
{
    const int perPage = rowsPerPage(this, *form);
    afterPrinted = 0;
    RecordingDevice device(600, 600, 5100, 6600, true);
    setupRows(2 * perPage);
    form->m_nFromPage = 5;
    form->m_nToPage = 9;
    EXPECT_EQ(print(device), 2);
    EXPECT_TRUE(device.texts().isEmpty());
    EXPECT_EQ(afterPrinted, 0);

    // No record: no page, and still a run that ended normally.
    RecordingDevice empty(600, 600, 5100, 6600, true);
    setupRows(0);
    EXPECT_EQ(print(empty), 2);
    EXPECT_TRUE(empty.texts().isEmpty());
}

TEST_F(PrintTest, CancelAfterPageTwoFailsTheRunAndDropsItsAfterWork)
{
    const int perPage = rowsPerPage(this, *form);
    afterPrinted = 0;
    RecordingDevice device(600, 600, 5100, 6600, true);
    setupRows(5 * perPage);
    abortOnPage = 2;
    EXPECT_EQ(print(device), 1);
    EXPECT_EQ(device.pageCount(), 2);
    EXPECT_EQ(afterPrinted, 0);
    EXPECT_FALSE(form->fontsCreated()); // ended as a normal run
}

TEST_F(PrintTest, PreviewCountsFirstAndBreaksAsPrintingDoes)
{
    const int perPage = rowsPerPage(this, *form);
    afterPrinted = 0;
    const int rows = 2 * perPage + 3;
    RecordingDevice printed(600, 600, 5100, 6600, true);
    setupRows(rows);
    print(printed);
    afterPrinted = 0;
    RecordingDevice preview(600, 600, 5100, 6600, true);
    setupRows(rows);
    EXPECT_EQ(print(preview, PrintInfo::Pass::Preview), 2);
    ASSERT_EQ(preview.pageCount(), 3);
    ASSERT_EQ(printed.pageCount(), 3);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(rowTexts(preview, p), rowTexts(printed, p));
        // The same page numbers as the paper's, though the preview counted first.
        EXPECT_TRUE(preview.pageTexts(p).contains(QStringLiteral("Page %1").arg(p + 1)));
        EXPECT_FALSE(preview.pageTexts(p).contains(QStringLiteral("Page %1 of 3").arg(p + 1)));
        EXPECT_TRUE(printed.pageTexts(p).contains(QStringLiteral("Page %1").arg(p + 1)));
    }
    EXPECT_EQ(afterPrinted, 0); // a preview never writes
}

TEST_F(PrintTest, PdfPagesBreakWhereTheRecordingDoes)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    const int perPage = rowsPerPage(this, *form);
    afterPrinted = 0;
    const int rows = 2 * perPage + 5;
    RecordingDevice printed(600, 600, 5100, 6600, true);
    setupRows(rows);
    print(printed);
    setupRows(rows);
    const QString pdf = tempPath(QStringLiteral("rows.pdf"));
    form->m_strOutputFile = pdf;
    EXPECT_EQ(form->DoPrint(CPrint::kPrintDirect), 2);
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << qPrintable(info);
    EXPECT_TRUE(info.contains(QStringLiteral("612 x 792 pts (letter)")));
    for (int p = 0; p < 3; ++p) {
        const QString text = runTool(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-f"), QString::number(p + 1), QStringLiteral("-l"),
                                      QString::number(p + 1), pdf, QStringLiteral("-")});
        const QStringList expected = rowTexts(printed, p);
        EXPECT_TRUE(text.contains(expected.first() + QLatin1Char('\n'))) << p;
        EXPECT_TRUE(text.contains(expected.last() + QLatin1Char('\n'))) << p;
        EXPECT_EQ(text.count(QStringLiteral("Row ")), expected.size()) << p;
    }

    // A pipe at the name: refused by name, nothing waits for a reader.
    const QString fifo = tempPath(QStringLiteral("pipe.pdf"));
    ASSERT_TRUE(MakeTestFifo(fifo));
    setupRows(rows);
    form->m_strOutputFile = fifo;
    prompts().answer(platform::IDOK);
    EXPECT_EQ(form->DoPrint(CPrint::kPrintDirect), 1);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot write: ") + fifo +
                                        QStringLiteral("\n\nIt is a pipe (FIFO), not an ordinary file; nothing was "
                                                       "written to it."));
    EXPECT_TRUE(IsTestFifo(fifo));
    form->m_strOutputFile.clear();

    // Another user's link at the name, to this user's private file: the PDF
    // replaces the link, whether made as a PDF file or sent to a file from
    // the printer dialog; the private file stays as it was.
    if (::geteuid() != 0)
        return;
    ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("shared"))));
    for (const bool fromDialog : {false, true}) {
        SCOPED_TRACE(fromDialog ? "printer dialog" : "PDF");
        const PlantedLink planted{tempPath(QStringLiteral("shared/rows.pdf")), tempPath(QStringLiteral("home/private"))};
        ASSERT_TRUE(planted.plant());
        setupRows(rows);
        int result = 0;
        if (fromDialog) {
            prompts().onDialog([&](QDialog &d) {
                auto *dialog = qobject_cast<QPrintDialog *>(&d);
                EXPECT_NE(dialog, nullptr);
                if (!dialog)
                    return int(QDialog::Rejected);
                dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
                dialog->printer()->setOutputFileName(planted.name);
                return int(QDialog::Accepted);
            });
            result = form->DoPrint(CPrint::kPrintDialog);
        } else {
            form->m_strOutputFile = planted.name;
            result = form->DoPrint(CPrint::kPrintDirect);
            form->m_strOutputFile.clear();
        }
        EXPECT_EQ(result, 2);
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
        // A whole PDF (the printer's paper may be another size than Letter).
        EXPECT_TRUE(runTool(QStringLiteral("pdfinfo"), {planted.name}).contains(QStringLiteral("Pages:")));
    }
}

// A PDF that meets a full disk or the file-size limit is no print: the run
// says it cannot write the file and why, fails (1), marks nothing printed,
// and the file of that name printed before stays whole, with no work file
// left; whether made as a PDF file or sent to a file from the printer
// dialog, whether it fails on the way (a long list) or when it is finished
// (a short one).
TEST_F(PrintTest, APdfThatCannotBeWrittenIsSaidFailsAndLeavesTheOldFileWhole)
{
    const QByteArray old = "last month's PDF";
    const QString limited = tempPath(QStringLiteral("limited"));
    ASSERT_TRUE(QDir().mkpath(limited));
    const FullDisk disk(tempPath(QStringLiteral("full")));
    struct Way
    {
        const char *what;
        QString folder;
        rlim_t limit;
        QString reason;
    };
    std::vector<Way> ways = {{"size limit", limited, 4096,
                              QStringLiteral("The file would be larger than the file-size limit allows.")}};
    if (disk.mounted()) {
        for (const char *name : {"/list-5.pdf", "/list-20000.pdf", "/dialog-5.pdf", "/dialog-20000.pdf"})
            ASSERT_TRUE(WriteTestFile(tempPath(QStringLiteral("full")) + QLatin1String(name), old));
        ASSERT_TRUE(disk.fill());
        ways.push_back({"full disk", tempPath(QStringLiteral("full")), 0, QStringLiteral("Not enough space on disk.")});
    }
    for (const Way &w : ways) {
        for (const bool fromDialog : {false, true}) {
            for (const int rows : {5, 20000}) {
                const QString name = w.folder + (fromDialog ? QStringLiteral("/dialog-") : QStringLiteral("/list-"))
                    + QString::number(rows) + QStringLiteral(".pdf");
                SCOPED_TRACE(std::string(w.what) + " " + name.toStdString());
                if (w.limit > 0)
                    ASSERT_TRUE(WriteTestFile(name, old));
                setupRows(rows);
                afterPrinted = 0;
                prompts().clear();
                prompts().answer(platform::IDOK);
                int result = 0;
                {
                    std::unique_ptr<FileSizeLimit> limit;
                    if (w.limit > 0)
                        limit = std::make_unique<FileSizeLimit>(w.limit);
                    if (fromDialog) {
                        printTo(name);
                        result = form->DoPrint(CPrint::kPrintDialog);
                    } else {
                        form->m_strOutputFile = name;
                        result = form->DoPrint(CPrint::kPrintDirect);
                        form->m_strOutputFile.clear();
                    }
                }
                EXPECT_EQ(result, 1);
                EXPECT_EQ(afterPrinted, 0);
                EXPECT_EQ(prompts().texts(),
                          QStringList{QStringLiteral("Cannot write: ") + name + QStringLiteral("\n\n") + w.reason});
                EXPECT_EQ(ReadTestFile(name), old);
                EXPECT_TRUE(WorkFilesOf(name).isEmpty());
            }
        }
    }
}

TEST_F(PrintTest, AKindWithoutARendererSaysSoAndPrintsNothing)
{
    setupRows(3);
    form->m_nKind = 250; // no renderer is registered for it
    prompts().answer(platform::IDOK);
    EXPECT_EQ(form->DoPrint(CPrint::kPrintDirect), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Printing this document is not yet available in this version."));
}

TEST_F(PrintTest, EqualCaptionColoursGiveWhiteBandsAndBlackText)
{
    form->SetColors(0x123456, 0x123456);
    EXPECT_EQ(form->m_crFill, 0xFFFFFFu);
    EXPECT_EQ(form->m_crText, 0u);
    form->SetColors(0x808080, 0xFFFFFF);
    EXPECT_EQ(form->m_crFill, 0x808080u);
}

TEST_F(PrintTest, PageNumbersOfDocumentsAndLists)
{
    PrintInfo info;
    form->m_nKind = 5;
    EXPECT_EQ(form->GetPageNumberText(info), QString()); // a document's first page
    info.currentPage = 2;
    EXPECT_EQ(form->GetPageNumberText(info), QStringLiteral("Page 2"));
    form->m_nKind = 100;
    info.currentPage = 1;
    EXPECT_EQ(form->GetPageNumberText(info), QStringLiteral("Page 1"));
    // A count known before the page is drawn (a preview, pages printed last
    // to first) changes nothing: paper learns it only after its last page.
    info.maxPage = 4;
    EXPECT_EQ(form->GetPageNumberText(info), QStringLiteral("Page 1"));
    form->m_nKind = 5;
    info.pass = PrintInfo::Pass::Preview;
    EXPECT_EQ(form->GetPageNumberText(info), QString());
}
