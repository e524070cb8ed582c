#include "PrintFixture.h"
#include "printing/CPrintPreview.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "controls/CXListCtrl.h"
#include "views/CDlgGrid.h"
#include "views/CDlgOptions.h"
#include "views/CView0.h"

#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtCore/QRegularExpression>
#include <QtWidgets/QApplication>

namespace {

// A grid dialog of prices with the print engine installed as the
// application's print service.
class PriceDialog : public CDlgGrid
{
public:
    PriceDialog() : CDlgGrid(9002, nullptr, 0, 120)
    {
        m_strRibbonTitle = QStringLiteral("Price Table");
        m_strStripText = QStringLiteral("Flyers, 4 colours");
        AddStandardLayout(QSize(420, 300), QRect(15, 70, 200, 120));
        m_wndGrid.AddColumn(QStringLiteral("Quantity"), 80, 3, QStringLiteral("%d"));
        m_wndGrid.AddColumn(QStringLiteral("Price"), 80, 1);
        m_wndGrid.SetRows(4, 4);
    }
};

class PrintServiceTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        app = std::make_unique<CZqApp>();
        Appearance::instance().LoadViewSettings();
        InstallPrinting(*app);
    }
    void TearDown() override
    {
        app.reset();
        SharedDatabase().close();
        PrintTest::TearDown();
    }
    std::unique_ptr<CZqApp> app;
};

} // namespace

TEST_F(PrintServiceTest, AGridDialogPrintsItsTableThroughTheInstalledEngine)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    PriceDialog dlg;
    const QString pdf = tempPath(QStringLiteral("grid.pdf"));
    prompts().onDialog([&](QDialog &d) {
        auto &grid = dynamic_cast<PriceDialog &>(d);
        for (int r = 0; r < 4; ++r) {
            grid.m_wndGrid.SetCellText(r, 0, QString::number((r + 1) * 500));
            grid.m_wndGrid.SetCellText(r, 1, QStringLiteral("%1.00").arg(60 + 25 * r));
        }
        printTo(pdf);
        grid.SendCommand(30330);
        return 2;
    });
    dlg.DoModal();
    ASSERT_TRUE(QFile::exists(pdf));
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Price Table"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Flyers, 4 colours")));
    EXPECT_TRUE(text.contains(QStringLiteral("Quantity")));
    EXPECT_TRUE(text.contains(QStringLiteral("2000")));
    EXPECT_TRUE(text.contains(QStringLiteral("135.00")));
    EXPECT_EQ(CPrintForm::Instance()->m_nResult, 2);
}

TEST_F(PrintServiceTest, ThePrinterDialogsRangeAndThePreviewUseThePageLoop)
{
    CPrintForm *engine = CPrintForm::Instance();
    ASSERT_NE(engine, nullptr);
    int drawn = 0;
    engine->RegisterRenderer(150, 150, [&drawn](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.DrawPageHeader(dc, info);
        ++drawn;
        row += 10; // ten records a page
        f.AfterPrinted([&f] { f.m_nBatchKey += 1; });
    });
    auto setup = [&] {
        engine->ResetOptions();
        engine->m_nKind = 150;
        engine->m_nRecords = 50; // five pages
    };
    // Pages 2 to 3 chosen in the printer dialog.
    setup();
    const QString pdf = tempPath(QStringLiteral("range.pdf"));
    prompts().onDialog([pdf](QDialog &d) {
        auto &dialog = dynamic_cast<QPrintDialog &>(d);
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(pdf);
        dialog.printer()->setPrintRange(QPrinter::PageRange);
        dialog.printer()->setFromTo(2, 3);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(engine->DoPrint(CPrint::kPrintDialog), 2);
    EXPECT_EQ(drawn, 3); // page 1 counted, pages 2 and 3 printed
    EXPECT_EQ(engine->m_nBatchKey, 2);
    if (haveTool(QStringLiteral("pdfinfo")))
        EXPECT_TRUE(runTool(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));

    // Cancelling the dialog prints nothing.
    setup();
    drawn = 0;
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_EQ(engine->DoPrint(CPrint::kPrintDialog), 0);
    EXPECT_EQ(drawn, 0);

    // The preview draws the page it shows, and only that one: opening it
    // finds page 1 (drawn once to count it) and draws it; the other pages are
    // found while the window waits, after which the page shown is drawn again
    // to say of how many. It never writes.
    setup();
    drawn = 0;
    QStringList previewed;
    engine->RegisterRenderer(150, 150, [&](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.DrawPageHeader(dc, info);
        ++drawn;
        if (info.isPreview())
            previewed << f.GetPageNumberText(info);
        row += 10;
        f.AfterPrinted([&f] { f.m_nBatchKey += 1; });
    });
    prompts().onDialog([&](QDialog &d) {
        auto *preview = dynamic_cast<CPrintPreview *>(&d);
        EXPECT_NE(preview, nullptr);
        if (!preview)
            return int(QDialog::Rejected);
        // Shown, the window found the other four pages at its first look.
        EXPECT_EQ(drawn, 7);
        EXPECT_EQ(previewed, (QStringList{QStringLiteral("Page 1"), QStringLiteral("Page 1")}));
        EXPECT_EQ(preview->pagesHeld(), 1);
        EXPECT_FALSE(preview->isFinding());
        EXPECT_EQ(preview->statusText(), QStringLiteral("Page 1 of 5"));
        preview->ShowPage(4);
        preview->ShowPage(9); // past the end: the last page
        EXPECT_EQ(preview->shownPage(), 5);
        EXPECT_EQ(preview->pagesHeld(), 1);
        return int(QDialog::Rejected);
    });
    engine->DoPrint(CPrint::kPrintPreview);
    // Page 1 counted and drawn; pages 2-5 counted; page 1 drawn again with the
    // count, then pages 4 and 5.
    EXPECT_EQ(drawn, 9);
    // Its pages say their numbers as the paper's do; the window says of how many.
    EXPECT_EQ(previewed, (QStringList{QStringLiteral("Page 1"), QStringLiteral("Page 1"), QStringLiteral("Page 4"),
                                      QStringLiteral("Page 5")}));
    EXPECT_EQ(engine->m_nBatchKey, 0);
    EXPECT_EQ(engine->m_nResult, 0);

    // Print... of the preview closes it and prints every page through the
    // printer dialog, as a print (the work after printing done once a page).
    setup();
    const QString fromPreview = tempPath(QStringLiteral("from-preview.pdf"));
    prompts().onDialog([](QDialog &d) {
        EXPECT_NE(dynamic_cast<CPrintPreview *>(&d), nullptr);
        return CPrintPreview::kPrintAnswer;
    });
    prompts().onDialog([fromPreview](QDialog &d) {
        auto &dialog = dynamic_cast<QPrintDialog &>(d);
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(fromPreview);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(engine->DoPrint(CPrint::kPrintPreview), 2);
    EXPECT_EQ(engine->m_nBatchKey, 5);
    EXPECT_TRUE(QFile::exists(fromPreview));
}

TEST_F(PrintServiceTest, AViewPrintsItsListAsShownAndAsksWhatToCaptureForAScreenPrint)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    CView0 view(30001);
    view.resize(1000, 640);
    view.OnInitialUpdate();
    view.show();
    CXListCtrl &list = *view.list();
    list.ClearList();
    list.AddColumn(QStringLiteral("Customer"), 200, 10, true, 0);
    for (int r = 0; r < 5; ++r)
        list.InsertRow(r, QStringLiteral("Customer %1").arg(r), r + 1);
    QApplication::processEvents();
    const QString pdf = tempPath(QStringLiteral("view.pdf"));
    printTo(pdf);
    view.RunCommand(57607);
    ASSERT_TRUE(QFile::exists(pdf));
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Customer 4")));
    EXPECT_TRUE(text.contains(QStringLiteral("List Size: 5")));

    prompts().onDialog([](QDialog &d) {
        auto &ask = dynamic_cast<CDlgOptions &>(d);
        EXPECT_TRUE(ask.GetEntryText(30336).startsWith(QStringLiteral("Partial window: ")));
        return 2;
    });
    view.RunCommand(30335);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}
