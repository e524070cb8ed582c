#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "views/CDlgOptions.h"

#include <QtCore/QTextStream>
#include <QtPrintSupport/QPrintDialog>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTreeWidgetItem>
#include <QtWidgets/QVBoxLayout>

namespace {

// A shop with sixty customers owing money, opened as the shared database.
class PrintKindsTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        platform::Database &db = SharedDatabase();
        for (int i = 0; i < 60; ++i)
            db.execute(QStringLiteral("INSERT INTO Customers (CusNo, Name, City, CreditDue) VALUES (%1, 'Customer %1', '%2', %3)")
                           .arg(2000 + i)
                           .arg(i % 3 == 0 ? QStringLiteral("Springfield") : i % 3 == 1 ? QStringLiteral("Riverton") : QStringLiteral("Lakeside"))
                           .arg(i * 12.5 - (i == 7 ? 200 : 0)));
        app = std::make_unique<CZqApp>();
        app->m_company.m_strName = QStringLiteral("Halvane Press");
        Appearance::instance().LoadViewSettings();
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

TEST_F(PrintKindsTest, EveryPageKindAsAPng)
{
    // A record list with its totals band.
    CXListCtrl list;
    list.SetImageListAndStyle(131, 0, 0);
    list.FillFromSql(QStringLiteral("SELECT CusNo, Name, City, CreditDue AS [Owed] FROM Customers WHERE CusNo >= 2000"));
    list.SetColumnWidth(1, 220);
    // Through the list printer: the printer dialog comes first; cancelled, nothing prints.
    prompts().onDialog([](QDialog &d) {
        EXPECT_NE(dynamic_cast<QPrintDialog *>(&d), nullptr);
        return int(QDialog::Rejected);
    });
    form->PrintList(&list, QStringLiteral("Customers"), QStringLiteral("All Customers"), QString(), 57607);
    EXPECT_EQ(form->m_nResult, 0);
    EXPECT_EQ(form->m_strHeading3, QStringLiteral("List Size: 60"));
    EXPECT_EQ(form->m_form.m_FontSize, 90);
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = &list;
    form->m_nRecords = list.GetItemCount();
    form->m_nFormNo = 100;
    form->FindForm();
    form->m_strTitle = QStringLiteral("Customers");
    form->m_strHeading1 = QStringLiteral("All Customers");
    savePages(QStringLiteral("kind100-list"));
    EXPECT_TRUE(QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/printing/kind100-list-1.png")));

    // A grouped table with subtotals and the grand total.
    ASSERT_TRUE(form->SetupTablePrint(
        QStringLiteral("SELECT City AS [City__PARENT], Name, CreditDue AS [Owed] FROM Customers WHERE CusNo >= 2000 ORDER BY City, Name"),
        QStringLiteral("Balances by City")));
    form->m_table.LoadQueryWithProgress(
        QStringLiteral("SELECT City AS [City__PARENT], Name, CreditDue AS [Owed] FROM Customers WHERE CusNo >= 2000 ORDER BY City, Name"),
        CXTable::TotalsPerGroup, 2, QStringLiteral("Total"));
    form->m_nRecords = form->m_table.GetRowCount();
    savePages(QStringLiteral("kind101-table"));

    // A grid dialog's two grids.
    QWidget dialog;
    CXGridCtrl grid;
    grid.AddColumn(QStringLiteral("Quantity"), 80, 4);
    grid.AddColumn(QStringLiteral("Description"), 260, 1);
    grid.AddColumn(QStringLiteral("Price"), 90, 5);
    grid.SetRows(12, 12);
    for (int r = 0; r < 12; ++r) {
        grid.SetCellText(r, 0, QString::number((r + 1) * 250));
        grid.SetCellText(r, 1, QStringLiteral("Flyers, %1 colours").arg(r % 4 + 1));
        grid.SetCellText(r, 2, QStringLiteral("%1.00").arg(40 + r * 9));
    }
    form->ResetOptions();
    form->m_nKind = 200;
    form->m_pGrid = &grid;
    form->m_nRecords = 12;
    form->m_strTitle = QStringLiteral("Price Table");
    form->m_strHeading1 = QStringLiteral("Flyers");
    form->m_form.m_FontName = QStringLiteral("Tahoma");
    form->m_form.m_FontSize = 80;
    savePages(QStringLiteral("kind200-grid"));

    // A tree.
    CXTreeCtrl tree;
    int items = 0;
    for (int b = 0; b < 6; ++b) {
        auto *branch = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("Department %1").arg(b + 1)));
        ++items;
        for (int e = 0; e < 5; ++e, ++items)
            new QTreeWidgetItem(branch, QStringList(QStringLiteral("Service %1.%2").arg(b + 1).arg(e + 1)));
    }
    form->ResetOptions();
    form->m_nKind = 202;
    form->m_pTree = &tree;
    form->m_nRecords = items;
    form->m_strTitle = QStringLiteral("Services");
    savePages(QStringLiteral("kind202-tree"));

    // A text file with tabs.
    const QString text = tempPath(QStringLiteral("readme.txt"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QTextStream out(&f);
        for (int i = 0; i < 30; ++i)
            out << "Step " << i + 1 << "\tCheck the press and the paper stock before the run.\n";
    }
    form->ResetOptions();
    form->m_nKind = 204;
    ASSERT_TRUE(form->OpenTextFile(text));
    form->m_strTitle = QStringLiteral("readme.txt");
    savePages(QStringLiteral("kind204-text"));

    // A captured window.
    QWidget window;
    window.resize(420, 260);
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("Jobs due this week: 12"), &window);
    label->setStyleSheet(QStringLiteral("background: #2a6; color: white; font-size: 18px; padding: 8px"));
    layout->addWidget(label);
    layout->addWidget(new QLabel(QStringLiteral("Press 1 is free after 3 pm."), &window));
    window.show();
    QApplication::processEvents();
    form->ResetOptions();
    form->m_nKind = 203;
    form->m_nRecords = 1;
    form->m_strTitle = QStringLiteral("Screen");
    form->m_pBitmap = std::make_unique<CXBitmap>(window.grab().toImage());
    savePages(QStringLiteral("kind203-screen"));
}

// A user's query that gives more rows than a list holds: the list shows its
// first rows, and so does the page, which says that it holds only those
// (the list of a query read to its end names only its size).
TEST_F(PrintKindsTest, AListOfOnlyItsQuerysFirstRowsSaysSoOnThePage)
{
    CXListCtrl list;
    list.resize(400, 300);
    list.SetMostMemory(std::size_t(1) << 20);
    prompts().answer(platform::IDOK);
    // 216,000 rows of customers three times over, far more than 1 MB holds.
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Name AS Other, C.CusNo FROM Customers AS A, Customers AS B, "
                                        "Customers AS C WHERE A.CusNo >= 2000 AND B.CusNo >= 2000 AND C.CusNo >= 2000"));
    const int rows = list.GetItemCount();
    ASSERT_GT(rows, 0);
    ASSERT_LT(rows, 216000);
    ASSERT_TRUE(prompts().lastText().startsWith(QStringLiteral("This query gives more rows than a list can hold.")));
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    form->PrintList(&list, QStringLiteral("Reports"), QStringLiteral("Custom Queries"), QString(), 57607);
    const QString firstRowsOnly =
        QStringLiteral("List Size: %1 - only the first rows: the query gives more rows than a list can hold")
            .arg(FormatInt(rows, true, false));
    EXPECT_EQ(form->m_strHeading3, firstRowsOnly);
    // The same list printed from its view (the list on the screen).
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_nContext = 30005;
    form->m_pList = &list;
    form->m_nRecords = rows;
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    form->RunPrintCommand(57607, QStringLiteral("Reports"), QStringLiteral("Custom Queries / Customers"), QString());
    EXPECT_EQ(form->m_strHeading3, firstRowsOnly);

    // Read to its end, the same list names only its size.
    list.SetMostMemory(std::size_t(256) << 20);
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Name AS Other FROM Customers AS A, Customers AS B "
                                        "WHERE A.CusNo >= 2000 AND B.CusNo >= 2000"));
    ASSERT_EQ(list.GetItemCount(), 3600);
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    form->PrintList(&list, QStringLiteral("Reports"), QStringLiteral("Custom Queries"), QString(), 57607);
    EXPECT_EQ(form->m_strHeading3, QStringLiteral("List Size: 3600"));
}

TEST_F(PrintKindsTest, PrintScreenAsksWhatToCaptureAndCancelKeepsThePicture)
{
    QWidget view;
    view.setWindowTitle(QStringLiteral("Jobs"));
    auto *part = new QLabel(QStringLiteral("the list"), &view);
    view.resize(300, 200);
    view.show();
    form->m_pBitmap = std::make_unique<CXBitmap>(QImage(10, 10, QImage::Format_RGB32));
    const CXBitmap *before = form->m_pBitmap.get();
    prompts().onDialog([](QDialog &d) {
        auto &ask = dynamic_cast<CDlgOptions &>(d);
        EXPECT_EQ(ask.GetEntryText(30336), QStringLiteral("Partial window: All Orders"));
        EXPECT_EQ(ask.GetCheckedInRange(30335, 30336), 30336);
        EXPECT_EQ(ask.GetCheckedInRange(57607, 57609), 57608);
        return 2;
    });
    form->PrintScreen(&view, part, QString(), QStringLiteral("All Orders"), 0);
    EXPECT_EQ(form->m_pBitmap.get(), before);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}
