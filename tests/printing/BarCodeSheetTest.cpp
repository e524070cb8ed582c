#include "PrintFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/AppDataServices.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "printing/CBarCodeDlg.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtGui/QFontDatabase>
#include <QtWidgets/QFontDialog>

namespace {

class BarCodeSheetTest : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        SharedDatabase().open(path);
        app = std::make_unique<CZqApp>();
        Appearance::instance().LoadViewSettings();
        InstallPrinting(*app);
        engine = CPrintForm::Instance();
    }
    void TearDown() override
    {
        app.reset();
        SharedDatabase().close();
        PrintTest::TearDown();
    }
    static void exec(const QString &sql) { SharedDatabase().execute(sql); }
    QString sqlite(const QString &sql) const
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {path, sql});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    // Prints the engine's run into build/tests/printing/<name>.pdf and reads
    // the bar codes of each page with zbarimg: strip by strip (left and right
    // edges in inches), each strip top to bottom.
    QList<QStringList> readSheet(const QString &name, const QList<std::pair<double, double>> &strips = {{0.0, 8.5}})
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/printing");
        QDir().mkpath(folder);
        const QString pdf = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
        engine->m_strOutputFile = pdf;
        EXPECT_EQ(engine->DoPrint(CPrint::kPrintDirect), 2);
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("80"),
                                                       QStringLiteral("-png"), pdf, folder + QLatin1Char('/') + name});
        const QString png = tempPath(name);
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"),
                                                       QStringLiteral("-gray"), QStringLiteral("-png"), pdf, png});
        QList<QStringList> pages;
        for (int page = 1; QFile::exists(png + QStringLiteral("-%1.png").arg(page)); ++page) {
            const QImage image(png + QStringLiteral("-%1.png").arg(page));
            QStringList codes;
            for (const auto &[left, right] : strips) {
                const QString part = png + QStringLiteral("-strip.png");
                image.copy(int(left * 300), 0, int((right - left) * 300), image.height()).save(part);
                // The scanner reports the codes of a column from the bottom up.
                QStringList found = runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), part})
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                std::reverse(found.begin(), found.end());
                for (QString &f : found)
                    codes << f.remove(QStringLiteral("CODE-39:"));
            }
            pages << codes;
        }
        return pages;
    }
    std::unique_ptr<CZqApp> app;
    CPrintForm *engine = nullptr;
    QString path;
};

} // namespace

TEST_F(BarCodeSheetTest, TheDialogsGroupsDocumentsAndFont)
{
    onDialog<CBarCodeDlg>([&](CBarCodeDlg &d) {
        // No settings row: the default face and size.
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Barcode Font: WASP 39 M   Size: 24.0 points"));
        // On "Documents" only the font can be chosen; the forms carry their
        // own bits (form 1 bit 0, form 5 bit 4, form 11 bit 7, form 15 bit 11).
        CXRibbon &r = d.ribbon();
        EXPECT_EQ(r.itemAt(r.FindItem(57608)).state, struct_RIB_ITEM::Disabled);
        EXPECT_NE(r.itemAt(r.FindItem(30219)).state, struct_RIB_ITEM::Disabled);
        EXPECT_EQ(d.optionTree()->FindOption(1)->text(0), QStringLiteral("Work Order"));
        EXPECT_EQ(d.optionTree()->FindOption(5)->text(0), QStringLiteral("Invoice"));
        EXPECT_EQ(d.optionTree()->FindOption(8)->text(0), QStringLiteral("Estimate"));
        EXPECT_EQ(d.optionTree()->FindOption(12)->text(0), QStringLiteral("Quotation"));
        EXPECT_EQ(r.itemAt(r.FindItem(30213)).state, struct_RIB_ITEM::Disabled);
        // The user ticks "Invoice" (the space bar on the chosen entry).
        CXTreeOptCtrl *tree = d.optionTree();
        tree->setCurrentItem(tree->FindOption(5));
        QTest::keyClick(tree, Qt::Key_Space);
        QApplication::processEvents();
        EXPECT_TRUE(tree->IsOptionChecked(5));
        EXPECT_EQ(d.m_nDocMask, 16);
        EXPECT_NE(r.itemAt(r.FindItem(30213)).state, struct_RIB_ITEM::Disabled);
        d.SendCommand(30213);
        // Any other group: printing, no font.
        d.ChooseGroup(302);
        EXPECT_NE(r.itemAt(r.FindItem(57608)).state, struct_RIB_ITEM::Disabled);
        EXPECT_EQ(r.itemAt(r.FindItem(30219)).state, struct_RIB_ITEM::Disabled);
        SaveSnapshot(d, QStringLiteral("printing"), QStringLiteral("barcode_dialog"));
        return 2;
    });
    CBarCodeDlg dialog(nullptr);
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 241")),
              QStringLiteral("WASP 39 M,240,16,"));

    // Form 3 added: ticking it sets bit 2, whatever its place in the list.
    exec(QStringLiteral("UPDATE CustomerAlerts SET AlertText = 'WASP 39 M,240,0,' WHERE CusNo = 0 AND AlertType = 241"));
    exec(QStringLiteral("DELETE FROM Forms WHERE [No] = 3"));
    exec(QStringLiteral("INSERT INTO Forms ([No], Title, FontName, FontSize, Options) VALUES (3, 'Delivery Ticket', "
                        "'Arial', 90, 0)"));
    onDialog<CBarCodeDlg>([&](CBarCodeDlg &d) {
        d.SetDocument(3, true);
        d.SendCommand(30213);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 241")),
                  QStringLiteral("WASP 39 M,240,4,"));
        // A face of the dialog's own list is taken under its own name, a
        // generic face ("Sans Serif", drawn with an installed stand-in) too.
        EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Sans Serif")));
        onDialog<QFontDialog>([](QFontDialog &f) {
            QFont font(QStringLiteral("Sans Serif"));
            font.setPointSizeF(18);
            f.setCurrentFont(font);
            return int(QDialog::Accepted);
        });
        d.SendCommand(30219);
        for (const QString &text : prompts().texts())
            EXPECT_FALSE(text.contains(QStringLiteral("is not installed"))) << text.toStdString();
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Barcode Font: Sans Serif   Size: 18.0 points"));
        // A new font is saved at once with the mask.
        onDialog<QFontDialog>([](QFontDialog &f) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(20);
            f.setCurrentFont(font);
            return int(QDialog::Accepted);
        });
        d.SendCommand(30219);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Barcode Font: DejaVu Sans   Size: 20.0 points"));
        return 2;
    });
    CBarCodeDlg second(nullptr);
    second.DoModal();
    const QString row = sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 241"));
    EXPECT_TRUE(row.endsWith(QStringLiteral(",200,4,"))) << qPrintable(row);

    // "Print Now" on "Employees" sets up the sheet and ends with the command.
    onDialog<CBarCodeDlg>([&](CBarCodeDlg &d) {
        d.ChooseGroup(302);
        d.SendCommand(57608);
        return d.result();
    });
    CBarCodeDlg third(nullptr);
    EXPECT_EQ(third.DoModal(), 57608);
    EXPECT_EQ(engine->m_nKind, 302);
    EXPECT_EQ(engine->m_nRecords, 255);
    EXPECT_EQ(engine->m_strTitle, QStringLiteral("Employee Barcodes"));
}

TEST_F(BarCodeSheetTest, SheetsReadBackWithAScanner)
{
    if (!haveTool(QStringLiteral("zbarimg")) || !haveTool(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "zbar-tools or poppler-utils are not installed";
    auto sheet = [&](int kind) {
        engine->ResetOptions();
        engine->m_nKind = 100;
        engine->m_nFormNo = 100;
        engine->FindForm();
        engine->m_nKind = kind;
        engine->m_strTitle = CBarCodeDlg::SheetTitle(kind);
        engine->m_nRecords = CPrintForm::SheetRowsOf(kind, 0);
    };
    // Weekdays: 1-7 this week, 8-14 next week, 15-21 later.
    sheet(303);
    const QList<QStringList> weekdays =
        readSheet(QStringLiteral("sheet_weekdays"), {{0.0, 2.8}, {2.8, 5.6}, {5.6, 8.5}});
    ASSERT_EQ(weekdays.size(), 1);
    QStringList expected;
    for (int n = 1; n <= 21; ++n)
        expected << QStringLiteral("%V%1/C").arg(n);
    EXPECT_EQ(weekdays[0], expected);

    // Commands in their order.
    sheet(301);
    const QList<QStringList> commands = readSheet(QStringLiteral("sheet_commands"));
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0], QStringList({"/A30202/C", "/A30321/C", "/A30322/C", "/A30133/C", "/A30144/C",
                                        "/A30600/C", "/A30601/C"}));

    // Employees: none whose name begins with "~", and 0/100/200 are headings.
    exec(QStringLiteral("DELETE FROM Employees"));
    const std::pair<int, const char *> employees[] = {
        {1, "Ann"}, {2, "~Retired"}, {100, "Csr Hundred"}, {101, "Carla"}, {200, "Rep Two Hundred"}, {201, "Sam"}};
    for (const auto &[no, name] : employees)
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate, PercentOf) "
                            "VALUES (%1, '%2', 1, 1, 0, 0)")
                 .arg(no)
                 .arg(QString::fromLatin1(name)));
    app = std::make_unique<CZqApp>();
    InstallAppQueryReader(*app);
    app->BuildPopupMenus(); // the employee cache
    InstallPrinting(*app);
    engine = CPrintForm::Instance();
    sheet(302);
    const QList<QStringList> staff = readSheet(QStringLiteral("sheet_employees"));
    ASSERT_EQ(staff.size(), 1);
    EXPECT_EQ(staff[0], QStringList({"/I1/C", "/I101/C", "/I201/C"}));

    // Time tracker: six command codes, then the office tasks.
    sheet(305);
    const QList<QStringList> tracker = readSheet(QStringLiteral("sheet_tracker"), {{0.0, 2.8}, {2.8, 5.6}});
    ASSERT_EQ(tracker.size(), 1);
    EXPECT_EQ(tracker[0].mid(0, 6), QStringList({"/A29130/C", "/A29131/C", "/A29133/C", "/A29121/C", "/A29122/C",
                                                 "/A29123/C"}));
}

TEST_F(BarCodeSheetTest, ListSheetsPrintTheSelectedRowsInListOrder)
{
    if (!haveTool(QStringLiteral("zbarimg")) || !haveTool(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "zbar-tools or poppler-utils are not installed";
    // Customers: the selected ones, in the list's order.
    for (int c : {501, 502, 503})
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (%1, 'Customer %1')").arg(c));
    CXListCtrl customers;
    customers.AddColumn(QStringLiteral("Name"), 100, 10, true, 0);
    const int order[] = {503, 501, 502};
    for (int r = 0; r < 3; ++r)
        customers.InsertRow(r, QString::number(order[r]), order[r]);
    customers.SelectAll();
    engine->m_nPresetCommand = CPrint::kPrintPreview;
    engine->m_nPresetKind = 101;
    ASSERT_EQ(engine->PrintJobDocument(30003, 1, 1, 503, &customers, nullptr, nullptr), CPrint::kPrintPreview);
    EXPECT_EQ(engine->m_nKind, 308);
    const QList<QStringList> sheet = readSheet(QStringLiteral("sheet_customers"), {{0.0, 3.0}, {5.0, 8.5}});
    ASSERT_EQ(sheet.size(), 1);
    // The customers, then the five commands beside them.
    EXPECT_EQ(sheet[0].mid(0, 3), QStringList({"/H503/C", "/H501/C", "/H502/C"}));
    EXPECT_EQ(sheet[0].mid(3), QStringList({"/A30600/C", "/A30601/C", "/A30610/C", "/A30611/C", "/A30613/C"}));

    // Items of the selected jobs; a job of many items goes on on the next page.
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo) VALUES (0, 7001, 'Many', 501)"));
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo) VALUES (0, 7002, 'Services only', 501)"));
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo) VALUES (0, 7003, 'One', 501)"));
    const QString many = sqlite(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 7001"));
    for (int i = 1; i <= 20; ++i)
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description) VALUES (%1, 0, %2, 0, 'Item "
                            "%2')")
                 .arg(many)
                 .arg(i));
    const QString servicesOnly = sqlite(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 7002"));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo) VALUES (%1, 901, 1, 0)").arg(servicesOnly));
    const QString one = sqlite(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 7003"));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description) VALUES (%1, 0, 1, 0, 'Sole "
                        "booklet, saddle stitched, 64 pages with a heavy cover')")
             .arg(one));
    CXListCtrl jobs;
    jobs.AddColumn(QStringLiteral("Job"), 100, 10, true, 0);
    jobs.InsertRow(0, QStringLiteral("7001"), many.toInt());
    jobs.InsertRow(1, QStringLiteral("7002"), servicesOnly.toInt());
    jobs.InsertRow(2, QStringLiteral("7003"), one.toInt());
    jobs.SelectAll();
    engine->m_nPresetKind = 107;
    ASSERT_EQ(engine->PrintJobDocument(30001, 0, 1, many.toInt(), &jobs, nullptr, nullptr), CPrint::kPrintPreview);
    EXPECT_EQ(engine->m_nKind, 307);
    const QList<QStringList> items = readSheet(QStringLiteral("sheet_items"), {{0.0, 3.0}});
    QStringList all;
    for (const QStringList &page : items)
        all << page;
    QStringList expected;
    const QString ids = sqlite(QStringLiteral("SELECT ItemID FROM Items WHERE SerNo = 0 AND JobID IN (%1, %2) ORDER BY "
                                              "JobID, ItemNo")
                                   .arg(many, one));
    for (const QString &id : ids.split(QLatin1Char('\n')))
        expected << QStringLiteral("/F%1/C").arg(id.trimmed());
    EXPECT_GE(items.size(), 2) << "twenty items do not fit one page";
    EXPECT_EQ(all, expected);
    // A description takes the whole column right of the bar codes (5.5
    // inches of Letter paper): 56 letters on one line.
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QCoreApplication::applicationDirPath() + QStringLiteral("/printing/sheet_items.pdf"),
                QStringLiteral("-")});
    text.waitForFinished(30000);
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput())
                    .contains(QStringLiteral("7003-1: Sole booklet, saddle stitched, 64 pages with a heavy cover")));
}
