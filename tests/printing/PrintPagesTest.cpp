#include "PrintFixture.h"
#include "support/CountingProgress.h"

#include "app/base/CZqApp.h"
#include "app/base/SqlText.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/ListWork.h"
#include "controls/CXTreeCtrl.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "printing/CPrintPreview.h"
#include "printing/PrintColumnFit.h"
#include "printing/PrintCutRecord.h"
#include "platform/db/Database.h"

#include <QtTest/QTest>
#include <QtCore/QLocale>
#include <QtCore/QTextStream>
#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <algorithm>
#include <sys/stat.h>
#include <QtCore/QElapsedTimer>
#include <QtWidgets/QTreeWidgetItem>

namespace {

// A record list of names and amounts; column widths as on screen.
std::unique_ptr<CXListCtrl> makeList(int rows, int nameWidth = 300, int amountWidth = 500)
{
    auto list = std::make_unique<CXListCtrl>();
    list->AddColumn(QStringLiteral("Name"), nameWidth, 10, true, 0);
    list->AddColumn(QStringLiteral("Amount"), amountWidth, 5, false, 1);
    for (int r = 0; r < rows; ++r) {
        list->InsertRow(r, QStringLiteral("Name %1").arg(r), r + 1);
        list->SetItemText(r, 1, QStringLiteral("%1.00").arg(r));
    }
    list->SetColumnWidth(0, nameWidth);
    list->SetColumnWidth(1, amountWidth);
    return list;
}

int countOf(const QStringList &texts, const QString &text)
{
    return int(texts.count(text));
}

} // namespace

TEST_F(PrintTest, ListColumnsStretchToThePageAndPagesEndWithContinuedButTheLast)
{
    auto list = makeList(130);
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = list.get();
    form->m_nRecords = list->GetItemCount();
    RecordingDevice device(600, 600, 4800, 6600, true);
    EXPECT_EQ(print(device), 2);
    // 300 + 500 screen pixels on 4800 device units: six times as wide.
    ASSERT_EQ(form->m_columns.size(), 2u);
    EXPECT_EQ(form->m_columns[0].m_width, 1800);
    EXPECT_EQ(form->m_columns[1].m_width, 3000);
    EXPECT_DOUBLE_EQ(form->m_dColumnScale, 6.0);
    ASSERT_GE(device.pageCount(), 2);
    for (int p = 0; p < device.pageCount(); ++p) {
        const QStringList texts = device.pageTexts(p);
        EXPECT_EQ(countOf(texts, QStringLiteral("continued...")), p + 1 < device.pageCount() ? 1 : 0) << p;
        EXPECT_EQ(countOf(texts, QStringLiteral("Name")), 1) << p; // headings on every page
    }
    EXPECT_TRUE(device.pageTexts(device.pageCount() - 1).contains(QStringLiteral("Name 129")));
}

TEST_F(PrintTest, SelectedRowsOnlyPrintsThoseRowsWithoutTotals)
{
    auto list = makeList(10);
    list->show();
    for (int r : {2, 5, 7})
        list->selectionModel()->select(list->model()->index(r, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_nOptions = 1;
    form->m_pList = list.get();
    form->m_nRecords = 10;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    EXPECT_EQ(device.pageCount(), 1);
    QStringList names;
    for (const QString &t : device.pageTexts(0))
        if (t.startsWith(QLatin1String("Name ")))
            names << t;
    EXPECT_EQ(names, QStringList({QStringLiteral("Name 2"), QStringLiteral("Name 5"), QStringLiteral("Name 7")}));
    EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("- Selected Rows Only - ")));
    EXPECT_EQ(form->m_bTotals, 0);
}

TEST_F(PrintTest, TablePagePerGroupStartsEveryGroupOnItsOwnPage)
{
    form->ResetOptions();
    CXTable &t = form->m_table;
    const int groupSizes[] = {3, 150, 2};
    const char *groups[] = {"Anna", "Bert", "Cleo"};
    int rows = 0;
    for (int n : groupSizes)
        rows += n;
    t.SetSize(rows, 2);
    t.SetColumnName(0, QStringLiteral("Customer"), 20, 10);
    t.SetColumnName(1, QStringLiteral("Job"), 10, 10);
    t.m_parentColumn = 0;
    t.m_totalMode = CXTable::TotalsNone;
    int r = 0;
    for (int g = 0; g < 3; ++g) {
        for (int i = 0; i < groupSizes[g]; ++i, ++r) {
            t.SetCellText(r, 0, i == 0 ? QLatin1String(groups[g]) : QString());
            t.SetCellText(r, 1, QStringLiteral("Job %1-%2").arg(g).arg(i));
            t.SetRowFlags(r, i == 0 ? CXTable::RowGroupStart : 0);
        }
    }
    form->m_nKind = 101;
    form->m_nRecords = rows;
    form->m_bGroupPages = 1;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    ASSERT_EQ(device.pageCount(), 4); // Anna, Bert, Bert continued, Cleo
    auto has = [&](int page, const QString &text) { return device.pageTexts(page).contains(text); };
    EXPECT_TRUE(has(0, QStringLiteral("Anna")));
    EXPECT_TRUE(has(0, QStringLiteral("Job 0-2")));
    EXPECT_FALSE(has(0, QStringLiteral("Job 1-0")));
    EXPECT_EQ(device.pageTexts(1).count(QStringLiteral("Bert")), 2); // heading and first row
    EXPECT_TRUE(has(1, QStringLiteral("Job 1-0")));
    // The page that continues the group names it in its first row and heading.
    EXPECT_EQ(device.pageTexts(2).count(QStringLiteral("Bert")), 2);
    EXPECT_TRUE(has(2, QStringLiteral("continued...")) || has(1, QStringLiteral("continued...")));
    EXPECT_TRUE(has(3, QStringLiteral("Cleo")));
    EXPECT_TRUE(has(3, QStringLiteral("Job 2-1")));
    EXPECT_EQ(t.GetCellText(groupSizes[0] + 60, 0), QString()); // the table itself is not written

    // A preview draws a page again once every page is found: the page that
    // continues "Bert" still names it, not the group the last page found.
    ASSERT_TRUE(form->BeginPreview(600, 600, 5100, 6600));
    while (form->FindNextPreviewPage()) {
    }
    ASSERT_EQ(form->PreviewPagesFound(), 4);
    RecordingDevice again(600, 600, 5100, 6600, true);
    {
        QPainter painter(&again);
        form->DrawPreviewPage(painter, 3);
    }
    form->EndPreview();
    EXPECT_EQ(again.pageTexts(0).count(QStringLiteral("Bert")), 2);
    EXPECT_FALSE(again.pageTexts(0).contains(QStringLiteral("Cleo")));
    // Numbered as the paper's page 3 is.
    EXPECT_TRUE(again.pageTexts(0).contains(QStringLiteral("Page 3")));
    EXPECT_FALSE(again.pageTexts(0).contains(QStringLiteral("Page 3 of 4")));
}

TEST_F(PrintTest, AHeadingRowNearTheBottomTakesItsRowsToTheNextPage)
{
    // Find the page's capacity: plain rows until the body bottom.
    auto fill = [&](int rows, int special) {
        form->ResetOptions();
        CXTable &t = form->m_table;
        t.Reset();
        t.SetSize(rows, 1);
        t.SetColumnName(0, QStringLiteral("Job"), 10, 10);
        t.m_totalMode = CXTable::TotalsNone;
        for (int r = 0; r < rows; ++r) {
            t.SetCellText(r, 0, QStringLiteral("Line %1").arg(r));
            t.SetRowFlags(r, r == special ? CXTable::RowSpecial : 0);
        }
        form->m_nKind = 101;
        form->m_nRecords = rows;
    };
    fill(400, -1);
    RecordingDevice plain(600, 600, 5100, 6600, true);
    print(plain);
    const int line = form->m_nLineHeight;
    const int listTop = form->m_nListTop;
    const int bottom = form->m_nBodyBottom;
    // The first row after which fewer than three lines remain.
    int k = 0;
    while (bottom - (listTop + (k + 1) * line) >= 3 * line)
        ++k;
    ASSERT_LE(listTop + (k + 1) * line, bottom);
    fill(400, k);
    RecordingDevice kept(600, 600, 5100, 6600, true);
    print(kept);
    EXPECT_TRUE(kept.pageTexts(0).contains(QStringLiteral("Line %1").arg(k)));
    EXPECT_FALSE(kept.pageTexts(0).contains(QStringLiteral("Line %1").arg(k + 1)));
    EXPECT_TRUE(kept.pageTexts(1).contains(QStringLiteral("Line %1").arg(k + 1)));
    EXPECT_TRUE(plain.pageTexts(0).contains(QStringLiteral("Line %1").arg(k + 1)));
}

TEST_F(PrintTest, TreePagesSayFromWhichItemToTheCount)
{
    CXTreeCtrl tree;
    int items = 0;
    for (int b = 0; b < 10 && items < 100; ++b) {
        auto *branch = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("Branch %1").arg(b)));
        ++items;
        for (int e = 0; e < 9 && items < 100; ++e, ++items)
            new QTreeWidgetItem(branch, QStringList(QStringLiteral("Entry %1.%2").arg(b).arg(e)));
    }
    ASSERT_EQ(items, 100);
    form->ResetOptions();
    form->m_nKind = 202;
    form->m_pTree = &tree;
    form->m_nRecords = 100;
    form->m_form.m_FontSize = 120;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    ASSERT_GE(device.pageCount(), 2);
    int firstPage = 0;
    for (const QString &t : device.pageTexts(0))
        firstPage += (t.startsWith(QLatin1String("Branch")) || t.startsWith(QLatin1String("Entry"))) ? 1 : 0;
    EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("From 0 To 100")));
    EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("continued...")));
    EXPECT_TRUE(device.pageTexts(1).contains(QStringLiteral("From %1 To 100").arg(firstPage)));
    EXPECT_TRUE(device.pageTexts(device.pageCount() - 1).contains(QStringLiteral("Entry 9.8")));
}

TEST_F(PrintTest, NotesFitMoveToTheNextPageOrWarnThatTheyAreCut)
{
    struct Case
    {
        const char *name;
        int lines;        // lines of the note
        bool nearBottom;  // starts five lines above the body bottom
        const char *shows;
    };
    const Case cases[] = {
        {"fits", 3, false, "Note line 2"},
        {"moves", 40, true, "see note on the next page..."},
        {"cut", 400, false, " --- LAST PART OF THIS NOTE MAY BE CUT-OFF. PLEASE CHECK ---"},
    };
    for (const Case &c : cases) {
        QStringList lines;
        for (int i = 0; i < c.lines; ++i)
            lines << QStringLiteral("Note line %1").arg(i);
        const QString note = QStringLiteral("Keep <<for the office only>> this. ") + lines.join(QLatin1Char('\n'));
        int after = 0;
        form->RegisterRenderer(151, 151, [&](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
            PrintRect r(0, c.nearBottom ? f.m_nBodyBottom - 5 * f.m_nLineHeight : f.m_nListTop, 4000, 0);
            f.DrawNote(dc, QStringLiteral("Note"), note, r, 1, 0x10, nullptr, 0, f.m_nBodyBottom - f.m_nListTop);
            after = r.top;
            row = f.m_nRecords;
        });
        form->ResetOptions();
        form->m_nKind = 151;
        form->m_nRecords = 1;
        RecordingDevice device(600, 600, 5100, 6600, true);
        print(device);
        const QString all = device.pageTexts(0).join(QLatin1Char('|'));
        EXPECT_TRUE(all.contains(QLatin1String(c.shows))) << c.name;
        EXPECT_FALSE(all.contains(QStringLiteral("office"))) << c.name;
        if (QLatin1String(c.name) == QLatin1String("fits")) {
            EXPECT_TRUE(all.contains(QStringLiteral("Keep  this.")) || all.contains(QStringLiteral("Keep  this. Note line 0")));
            EXPECT_LT(after, form->m_nBodyBottom);
        } else if (QLatin1String(c.name) == QLatin1String("moves")) {
            EXPECT_FALSE(all.contains(QStringLiteral("Note line 39")));
            EXPECT_EQ(after, form->m_nBodyBottom + form->m_nLineHeight);
        } else {
            EXPECT_LE(after, form->m_nBodyBottom);
        }
    }
}

// A list of a million rows: reading its texts for the columns shows the
// progress window from the start, and its Stop ends the printing before the
// first page.
TEST_F(PrintTest, AMillionRowListShowsProgressBeforeItsPagesAndStops)
{
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    SharedDatabase().open(path);
    {
        platform::Transaction tx(SharedDatabase());
        SharedDatabase().execute(QStringLiteral("DELETE FROM Customers"));
        for (int n = 1; n <= 1000; ++n)
            SharedDatabase().execute(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (%1, 'Customer %1')").arg(n));
        tx.commit();
    }
    CXListCtrl list;
    list.resize(400, 300);
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Name AS Other, A.CusNo FROM Customers AS A, Customers AS B"),
                         QStringLiteral("CusNo"));
    ASSERT_EQ(list.GetItemCount(), 1000000);
    const int quiet = ListWork::QuietTime();
    ListWork::SetQuietTime(0);
    QStringList titles;
    int steps = 0;
    CXProgress::SetFactory([&] { return std::make_unique<CountingProgress>(titles, steps, 300); });
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = &list;
    form->m_nRecords = list.GetItemCount();
    RecordingDevice device(600, 600, 4800, 6600, true);
    EXPECT_EQ(print(device), 1);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Preparing the list to print [Stop]")});
    EXPECT_EQ(steps, 300);
    // Nothing was drawn.
    for (int p = 0; p < device.pageCount(); ++p)
        EXPECT_TRUE(device.pageTexts(p).isEmpty()) << p;

    // Its preview, once its texts are read, opens on its first page at once:
    // the page shown is the only one drawn and held, the pages after it are
    // found a few at a time while the window waits, and Stop leaves those
    // found to look through (Next finds one more). Closed, the preview keeps
    // nothing of the list's pages.
    titles.clear();
    steps = 0;
    CXProgress::SetFactory([&] { return std::make_unique<CountingProgress>(titles, steps, -1); });
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = &list;
    form->m_nRecords = list.GetItemCount();
    int foundWhenShown = 0;
    prompts().onDialog([&](QDialog &d) {
        auto *preview = dynamic_cast<CPrintPreview *>(&d);
        EXPECT_NE(preview, nullptr);
        if (!preview)
            return int(QDialog::Rejected);
        foundWhenShown = form->PreviewPagesFound();
        EXPECT_GE(foundWhenShown, 2);
        EXPECT_LT(foundWhenShown, 2000); // of some 12,000
        EXPECT_LE(preview->pagesDrawn(), 2);
        EXPECT_EQ(preview->pagesHeld(), 1);
        EXPECT_EQ(preview->shownPage(), 1);
        EXPECT_TRUE(preview->isFinding());
        preview->StopFinding();
        EXPECT_FALSE(preview->isFinding());
        const int found = form->PreviewPagesFound();
        EXPECT_EQ(preview->statusText(), QStringLiteral("Page 1 (counting stopped at %1 pages)").arg(QLocale().toString(found)));
        // Ctrl+End (as Last) goes to the last page found, and pressed again
        // stays there: drawing that page finds only where a next one starts.
        for (int press = 0; press < 2; ++press) {
            QTest::keyClick(preview, Qt::Key_End, Qt::ControlModifier);
            EXPECT_EQ(preview->shownPage(), found) << press;
            EXPECT_EQ(preview->statusText(),
                      QStringLiteral("Page %1 (counting stopped at %1 pages)").arg(QLocale().toString(found)));
        }
        preview->ShowPage(found + 1);
        EXPECT_EQ(preview->shownPage(), found + 1);
        EXPECT_EQ(preview->statusText(),
                  QStringLiteral("Page %1 (counting stopped at %1 pages)").arg(QLocale().toString(found + 1)));
        EXPECT_EQ(form->PreviewPagesFound(), found + 2);
        EXPECT_EQ(preview->pagesHeld(), 1);
        EXPECT_FALSE(form->PreviewAllFound());
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(form->DoPrint(CPrint::kPrintPreview), 0);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Preparing the list to print [Stop]")});
    EXPECT_GT(foundWhenShown, 0);
    EXPECT_EQ(form->PreviewPagesFound(), 0);
    CXProgress::SetFactory({});
    ListWork::SetQuietTime(quiet);
    SharedDatabase().close();
}

TEST_F(PrintTest, ANewDatabaseHasFormOneHundredAndMissingFormsFallBackToIt)
{
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    SharedDatabase().open(path);
    form->ResetOptions();
    form->m_nFormNo = 21; // a template document: a new file has none
    EXPECT_TRUE(form->FindForm());
    EXPECT_EQ(form->m_nFormNo, 100);
    EXPECT_EQ(form->m_form.m_Title, QStringLiteral("List"));
    EXPECT_EQ(form->m_form.m_FontName, QStringLiteral("Arial"));
    EXPECT_EQ(form->m_form.m_FontSize, 90);
    EXPECT_DOUBLE_EQ(form->m_dTopMargin, 0.25);
    SharedDatabase().close();
}

TEST_F(PrintTest, TextFilesPrintLineByLineAcrossPages)
{
    const QString path = tempPath(QStringLiteral("notes.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QTextStream out(&f);
        for (int i = 0; i < 120; ++i)
            out << "Line " << i << "\tof the file\n";
    }
    form->ResetOptions();
    form->m_nKind = 204;
    ASSERT_TRUE(form->OpenTextFile(path));
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    ASSERT_GE(device.pageCount(), 2);
    const QString all = device.pageTexts(0).join(QLatin1Char('|')) + device.pageTexts(device.pageCount() - 1).join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QStringLiteral("Line 0")));
    EXPECT_TRUE(all.contains(QStringLiteral("Line 119")));
    // A pipe under a text's name is refused at once, not waited on.
    const QString fifo = tempPath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(form->OpenTextFile(fifo));
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(PrintTest, DocumentBodyColumnsAndLimitsFollowTheForm)
{
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    SharedDatabase().open(path);
    platform::Database &db = SharedDatabase();
    // Form 2: left margin 5 inches, top margin -1; form 3: left 0.5, top 0.5.
    db.execute(QStringLiteral("DELETE FROM Forms WHERE [No] IN (2, 3)"));
    db.execute(QStringLiteral("INSERT INTO Forms ([No], Title, TopMargin, LeftMargin, FontName, FontSize, Options, "
                              "ColBack, ColText) VALUES (2, 'Order Receipt', -1, 5, 'Arial', 90, 0, 16777215, 0)"));
    db.execute(QStringLiteral("INSERT INTO Forms ([No], Title, TopMargin, LeftMargin, FontName, FontSize, Options, "
                              "ColBack, ColText) VALUES (3, 'Delivery Ticket', 0.5, 0.5, 'Arial', 90, 2, 255, 0)"));
    form->RegisterRenderer(2, 8, [](CPrintForm &f, QPainter &, PrintInfo &, int &row) { row = f.m_nRecords; });
    struct Case
    {
        int formNo;
        int options;
        double bodyLeft;    // inches
        double topMargin;   // inches
        double bodyEnd;     // inches below the top margin; 0: five lines above the page end
    };
    const Case cases[] = {
        {2, 0, 0.25, 0.0, 0},   // half the spare width of 8.5 - 8 inches; a negative top margin counts as 0
        {3, 2, 0.25, 0.5, 8.3}, // option 2: the body ends 8.3 inches below the top margin
    };
    for (const Case &c : cases) {
        form->ResetOptions();
        form->m_nKind = c.formNo;
        form->m_nContext = 30001;
        form->m_nRecords = 1;
        form->m_nFormNo = quint8(c.formNo);
        ASSERT_TRUE(form->FindForm());
        form->m_nOptions = c.options;
        EXPECT_DOUBLE_EQ(form->m_dTopMargin, c.topMargin);
        RecordingDevice device(600, 600, 5100, 6600);
        QPainter painter(&device);
        PrintInfo info;
        form->OnBeginPrinting(painter, info);
        EXPECT_EQ(form->m_nBodyLeft, int(c.bodyLeft * 600)) << c.formNo;
        EXPECT_EQ(form->m_nBodyRight - form->m_nBodyLeft, 4800);
        const int end = c.bodyEnd > 0 ? int((c.topMargin + c.bodyEnd) * 600) : 6600 - 5 * form->m_nLineHeight;
        EXPECT_EQ(form->m_nBodyBottom, end - 2 * form->m_nLineHeight) << c.formNo;
        form->OnEndPrinting(painter, info);
    }
    // A job list in a colour of its own prints in the job type's hue; white and black stays plain.
    form->ResetOptions();
    form->m_nKind = 101;
    form->m_nContext = 30001;
    form->m_nListBranch = 1;
    form->m_nFormNo = 3;
    form->FindForm();
    EXPECT_EQ(form->m_crText, 0xFFFFFFu);
    EXPECT_NE(form->m_crFill, 0xFFu);
    form->m_nFormNo = 2;
    form->FindForm();
    EXPECT_EQ(form->m_crFill, 0xFFFFFFu);
    EXPECT_EQ(form->m_crText, 0u);
    SharedDatabase().close();
}

// Each row of a printed table shows in its own look, whatever the row before
// it was: amounts below zero in red, heading rows in bold, the grand total
// white on its band, and plain rows after them black again.
TEST_F(PrintTest, TableRowsKeepTheirOwnColourAndWeightAfterHeadingAndTotalRows)
{
    form->ResetOptions();
    CXTable &t = form->m_table;
    t.Reset();
    t.SetSize(6, 2);
    t.SetColumnName(0, QStringLiteral("Customer"), 20, 10);
    t.SetColumnName(1, QStringLiteral("Amount"), 10, 10);
    t.m_totalMode = CXTable::TotalsNone;
    const char *cells[6][2] = {{"Anna", "10.00"}, {"Bert", "-5.00"}, {"Subtotal", "5.00"},
                               {"Cleo", "7.00"},  {"Dora", "-1.00"}, {"TOTAL", "11.00"}};
    for (int r = 0; r < 6; ++r) {
        t.SetCellText(r, 0, QLatin1String(cells[r][0]));
        t.SetCellText(r, 1, QLatin1String(cells[r][1]));
        t.SetRowFlags(r, r == 2 || r == 5 ? CXTable::RowSpecial : 0);
    }
    form->m_nKind = 101;
    form->m_nRecords = 6;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    const QColor red(192, 16, 16);
    struct Look
    {
        const char *text;
        QColor colour;
        bool bold;
    };
    const Look looks[] = {{"Anna", Qt::black, false}, {"-5.00", red, false},      {"Subtotal", Qt::black, true},
                          {"5.00", Qt::black, true},  {"Cleo", Qt::black, false}, {"7.00", Qt::black, false},
                          {"-1.00", red, false},      {"TOTAL", Qt::white, true}, {"11.00", Qt::white, true}};
    for (const Look &look : looks) {
        const auto found = std::find_if(device.texts().begin(), device.texts().end(),
                                        [&](const RecordingDevice::Text &x) { return x.text == QLatin1String(look.text); });
        ASSERT_NE(found, device.texts().end()) << look.text;
        EXPECT_EQ(found->colour, look.colour) << look.text;
        EXPECT_EQ(found->bold, look.bold) << look.text;
    }
}

// A table wider than the page: drawn smaller, its long text wrapped onto more
// lines, every amount whole and nothing left of the page's edge.
TEST_F(PrintTest, ATableWiderThanThePagePrintsSmallerAndWrapsItsTextsButNotItsNumbers)
{
    form->ResetOptions();
    CXTable &t = form->m_table;
    t.Reset();
    constexpr int kAmounts = 9;
    t.SetSize(3, kAmounts + 1);
    t.SetColumnName(0, QStringLiteral("Customer"), 20, 10);
    for (int c = 1; c <= kAmounts; ++c)
        t.SetColumnName(c, QStringLiteral("Amount %1").arg(c), 10, 5);
    t.m_totalMode = CXTable::TotalsNone;
    const QString name = QStringLiteral("Northwestern Regional Medical Center Foundation of the Valley");
    for (int r = 0; r < 3; ++r) {
        t.SetCellText(r, 0, name);
        for (int c = 1; c <= kAmounts; ++c)
            t.SetCellCurrency(r, c, Money::fromDouble(1234567.89));
    }
    form->m_nKind = 101;
    form->m_nRecords = 3;
    form->m_form.m_FontSize = 100;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    EXPECT_LT(form->m_dTableScale, 1.0);
    const QStringList texts = device.pageTexts(0);
    EXPECT_EQ(texts.count(QStringLiteral("1,234,567.89")), 3 * kAmounts);
    EXPECT_FALSE(texts.contains(name));
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const QString &x) { return x.startsWith(QLatin1String("Northwestern")); }),
              3);
    EXPECT_EQ(texts.count(QStringLiteral("the Valley")), 3);
    for (const RecordingDevice::Text &x : device.texts())
        EXPECT_GE(x.position.x(), 0) << x.text.toStdString();

    // Sixteen amounts are too many even at the floor: the table is drawn
    // smaller still and each text column is exactly as wide as its widest
    // word, its title's ("Identification") or its cells' ("Superintendents"),
    // which prints whole; a list of the same columns likewise.
    constexpr int kMany = 16;
    const QString titleWord = QStringLiteral("Identification");
    const QString cellWord = QStringLiteral("Superintendents");
    form->ResetOptions();
    t.Reset();
    t.SetSize(3, kMany + 2);
    t.SetColumnName(0, titleWord, 10, 10);
    t.SetColumnName(1, QStringLiteral("Note"), 10, 10);
    for (int c = 2; c < kMany + 2; ++c)
        t.SetColumnName(c, QStringLiteral("Amount"), 10, 5);
    t.m_totalMode = CXTable::TotalsNone;
    CXListCtrl list;
    list.AddColumn(titleWord, 100, 10, true, 0);
    list.AddColumn(QStringLiteral("Note"), 100, 10, false, 0);
    for (int c = 2; c < kMany + 2; ++c)
        list.AddColumn(QStringLiteral("Amount"), 100, 5, false, 1);
    for (int r = 0; r < 3; ++r) {
        t.SetCellText(r, 0, QStringLiteral("x"));
        t.SetCellText(r, 1, cellWord);
        list.InsertRow(r, QStringLiteral("x"), r + 1);
        list.SetItemText(r, 1, cellWord);
        for (int c = 2; c < kMany + 2; ++c) {
            t.SetCellCurrency(r, c, Money::fromDouble(1234567.89));
            list.SetItemText(r, c, QStringLiteral("1,234,567.89"));
        }
    }
    for (int c = 0; c < kMany + 2; ++c)
        list.SetColumnWidth(c, 100);
    for (const bool isList : {false, true}) {
        form->ResetOptions();
        form->m_nKind = isList ? 100 : 101;
        form->m_pList = isList ? &list : nullptr;
        form->m_nRecords = 3;
        form->m_form.m_FontSize = 100;
        RecordingDevice many(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(many), 2) << isList;
        EXPECT_LT(form->m_dTableScale, PrintColumnFit::kLegibleFloor) << isList;
        const QStringList shown = many.pageTexts(0);
        EXPECT_EQ(shown.count(QStringLiteral("1,234,567.89")), 3 * kMany) << isList;
        EXPECT_EQ(shown.count(cellWord), 3) << isList;
        EXPECT_EQ(shown.count(titleWord), 1) << isList;
        EXPECT_TRUE(form->cutRecord().isEmpty())
            << isList << ": " << form->cutRecord().describe().join(QLatin1Char('\n')).toStdString();
    }

    // A memo whose first line is a number, among numbers: its column is one
    // of texts all the same (every line of the cell is read, not only the
    // line a list shows), so its long line wraps at its words at full size
    // instead of drawing the table smaller, and every word prints whole; in
    // a table, and in a list read from the file.
    // Longer than a line of the page, so that it wraps in a list's column
    // stretched to the page too.
    const QString sentence = QStringLiteral("Deliver the proofs to the back door and ask for Pat before noon on "
                                            "weekdays, never on Saturdays, Sundays or holidays; leave the boxes "
                                            "with the porter when the door is locked and telephone the office");
    const QString counts[] = {QStringLiteral("12"), QStringLiteral("12\n") + sentence, QStringLiteral("7")};
    t.Reset();
    t.SetSize(3, 2);
    t.SetColumnName(0, QStringLiteral("Customer"), 20, 10);
    t.SetColumnName(1, QStringLiteral("Jobs"), 10, 10);
    t.m_totalMode = CXTable::TotalsNone;
    for (int r = 0; r < 3; ++r) {
        t.SetCellText(r, 0, QStringLiteral("Acme"));
        t.SetCellText(r, 1, counts[r]);
    }
    CreateShopDatabase(tempPath(QStringLiteral("TavrelData.mdb")));
    SharedDatabase().open(tempPath(QStringLiteral("TavrelData.mdb")));
    for (int r = 0; r < 3; ++r)
        SharedDatabase().execute(QStringLiteral("INSERT INTO Customers (CusNo, Name, Memo) VALUES (%1, 'Acme', %2)")
                                     .arg(900 + r)
                                     .arg(QuoteText(counts[r])));
    CXListCtrl memoList;
    memoList.FillFromSql(
        QStringLiteral("SELECT Name AS Customer, Memo AS Jobs FROM Customers WHERE CusNo >= 900 ORDER BY CusNo"));
    ASSERT_EQ(memoList.GetItemCount(), 3);
    ASSERT_EQ(memoList.GetItemText(1, 1).left(2), QStringLiteral("12"));
    memoList.SetColumnWidth(0, 100);
    memoList.SetColumnWidth(1, 100);
    for (const bool isList : {false, true}) {
        SCOPED_TRACE(isList);
        form->ResetOptions();
        form->m_nKind = isList ? 100 : 101;
        form->m_pList = isList ? &memoList : nullptr;
        form->m_nRecords = 3;
        form->m_form.m_FontSize = 100;
        RecordingDevice memo(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(memo), 2);
        EXPECT_EQ(form->m_dTableScale, 1.0);
        const QStringList memoTexts = memo.pageTexts(0);
        EXPECT_EQ(memoTexts.count(QStringLiteral("12")), 2);
        EXPECT_FALSE(memoTexts.contains(sentence)) << "the memo's line was not wrapped";
        QStringList printedWords;
        for (const QString &x : memoTexts)
            if (x != QLatin1String("Acme") && x != QLatin1String("12") && x != QLatin1String("7"))
                printedWords << x.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &word : sentence.split(QLatin1Char(' ')))
            EXPECT_TRUE(printedWords.contains(word)) << word.toStdString();
        EXPECT_TRUE(form->cutRecord().isEmpty())
            << form->cutRecord().describe().join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(PrintTest, AListTotalWiderThanItsRowsAndTitlePrintsWhole)
{
    // Three customers owing 600.00 each under a short title: the total,
    // 1,800.00, is the widest text of its column and the column narrow on
    // screen, so only the total's own width keeps it whole.
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    SharedDatabase().open(path);
    for (int i = 0; i < 3; ++i)
        SharedDatabase().execute(
            QStringLiteral("INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (%1, 'Shop %1', 600)").arg(900 + i));
    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT Name, CreditDue AS [Due], CusNo FROM Customers WHERE CusNo >= 900"));
    ASSERT_EQ(list.GetItemCount(), 3);
    list.SetColumnWidth(0, 500);
    list.SetColumnWidth(1, 10);
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = &list;
    form->m_nRecords = list.GetItemCount();
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    EXPECT_DOUBLE_EQ(form->m_dTableScale, 1.0);
    ASSERT_GE(form->m_columns.size(), 2u);
    const QStringList texts = device.pageTexts(0);
    EXPECT_EQ(texts.count(QStringLiteral("600.00")), 3);
    // The total is right-aligned in its column: whole, it starts inside it.
    const RecordingDevice::Text *name = nullptr;
    const RecordingDevice::Text *total = nullptr;
    for (const RecordingDevice::Text &x : device.texts()) {
        if (x.text == QLatin1String("Name") && !name)
            name = &x;
        if (x.text == QLatin1String("1,800.00"))
            total = &x;
    }
    ASSERT_NE(name, nullptr);
    ASSERT_NE(total, nullptr) << texts.join(QLatin1Char('|')).toStdString();
    const int dueLeft = name->position.x() - form->m_nPad + form->m_columns[0].m_width;
    EXPECT_GE(total->position.x(), dueLeft) << "the total starts left of its column";
    SharedDatabase().close();
}

TEST_F(PrintTest, TitlesThatFitOnlyAtTheirWordsPrintAtFullSize)
{
    // Twelve columns titled "Amount Owed By The Customer": on one line the
    // titles are wider than the page, broken at their words they fit. The table prints at full size with its titles wrapped, never
    // smaller.
    const QString title = QStringLiteral("Amount Owed By The Customer");
    constexpr int kColumns = 12;
    CXListCtrl list;
    for (int c = 0; c < kColumns; ++c)
        list.AddColumn(title, 100, 10, c == 0, 0);
    for (int r = 0; r < 3; ++r) {
        list.InsertRow(r, QStringLiteral("x"), r + 1);
        for (int c = 1; c < kColumns; ++c)
            list.SetItemText(r, c, QStringLiteral("x"));
    }
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = &list;
    form->m_nRecords = list.GetItemCount();
    {
        RecordingDevice device(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(device), 2);
        EXPECT_DOUBLE_EQ(form->m_dTableScale, 1.0) << "the list";
        EXPECT_FALSE(device.pageTexts(0).contains(title)) << "the list's titles wrap";
    }

    form->ResetOptions();
    CXTable &t = form->m_table;
    t.Reset();
    t.SetSize(3, kColumns);
    for (int c = 0; c < kColumns; ++c)
        t.SetColumnName(c, title, 10, 10);
    t.m_totalMode = CXTable::TotalsNone;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < kColumns; ++c)
            t.SetCellText(r, c, QStringLiteral("x"));
    form->m_nKind = 101;
    form->m_nRecords = 3;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    EXPECT_DOUBLE_EQ(form->m_dTableScale, 1.0) << "the table";
    EXPECT_FALSE(device.pageTexts(0).contains(title)) << "the table's titles wrap";
}

TEST_F(PrintTest, AListCellsPictureIsPartOfItsColumnAndATallRowGoesOnOverThePages)
{
    // An order number with its status picture in a column as narrow as the
    // number alone, and a note of 150 lines between two short rows.
    auto list = std::make_unique<CXListCtrl>();
    list->SetImageListAndStyle(131, 0, 0);
    list->AddColumn(QStringLiteral("Order"), 40, 10, true, 0);
    list->AddColumn(QStringLiteral("Number"), 10, 10, false, 0);
    list->AddColumn(QStringLiteral("Note"), 300, 10, false, 0);
    QStringList note;
    for (int k = 1; k <= 150; ++k)
        note << QStringLiteral("line %1").arg(k);
    const QStringList names = {QStringLiteral("First"), QStringLiteral("Tall"), QStringLiteral("Last")};
    for (int r = 0; r < 3; ++r) {
        list->InsertRow(r, names[r], r + 1);
        list->SetItemText(r, 1, QStringLiteral("1014-%1").arg(r + 1));
        list->SetSubItemImage(r, 1, CZqApp::GetJobStatusIcon(0));
    }
    list->SetItemText(1, 2, note.join(QLatin1Char('\n')));
    list->SetColumnWidth(0, 40);
    list->SetColumnWidth(1, 10);
    list->SetColumnWidth(2, 300);
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_pList = list.get();
    form->m_nRecords = 3;
    form->m_form.m_FontSize = 90;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);

    // The number column holds the picture's square and the number beside it.
    ASSERT_EQ(form->m_columns.size(), 3u);
    const int left = form->m_columns[0].m_width;
    const int width = form->m_columns[1].m_width;
    const int line = form->m_nLineHeight;
    int numbers = 0;
    for (const RecordingDevice::Text &t : device.texts()) {
        if (!t.text.startsWith(QLatin1String("1014-")))
            continue;
        ++numbers;
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(t.pixelSize);
        const QFontMetrics metrics(font, &device);
        EXPECT_GE(t.position.x(), left + line) << t.text.toStdString();
        EXPECT_LE(t.position.x() + metrics.horizontalAdvance(t.text), left + width) << t.text.toStdString();
    }
    EXPECT_EQ(numbers, 3);

    // The tall row starts a page of its own and goes on over the next ones,
    // every line once, in order, within the body; "Last" follows it.
    ASSERT_GE(device.pageCount(), 4);
    QStringList lines;
    int lastPage = -1;
    for (const RecordingDevice::Text &t : device.texts()) {
        if (t.text.startsWith(QLatin1String("line "))) {
            lines << t.text;
            EXPECT_LE(t.position.y(), form->m_nBodyBottom + line) << t.text.toStdString();
            EXPECT_GE(t.page, 1) << t.text.toStdString();
        }
        if (t.text == QLatin1String("Last"))
            lastPage = t.page;
    }
    EXPECT_EQ(lines, note);
    EXPECT_EQ(lastPage, device.pageCount() - 1);
    EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("First")));
    for (int p = 0; p + 1 < device.pageCount(); ++p)
        EXPECT_EQ(countOf(device.pageTexts(p), QStringLiteral("continued...")), 1) << p;
}

TEST_F(PrintTest, ATableRowTallerThanAPageGoesOnOverThePages)
{
    form->ResetOptions();
    CXTable &t = form->m_table;
    t.Reset();
    t.SetSize(3, 2);
    t.SetColumnName(0, QStringLiteral("Name"), 20, 10);
    t.SetColumnName(1, QStringLiteral("Note"), 40, 10);
    t.m_totalMode = CXTable::TotalsNone;
    QStringList note;
    for (int k = 1; k <= 150; ++k)
        note << QStringLiteral("line %1").arg(k);
    const QStringList names = {QStringLiteral("First"), QStringLiteral("Tall"), QStringLiteral("Last")};
    for (int r = 0; r < 3; ++r)
        t.SetCellText(r, 0, names[r]);
    t.SetCellText(1, 1, note.join(QLatin1Char('\n')));
    form->m_nKind = 101;
    form->m_nRecords = 3;
    form->m_form.m_FontSize = 90;
    RecordingDevice device(600, 600, 5100, 6600, true);
    EXPECT_EQ(print(device), 2);
    ASSERT_GE(device.pageCount(), 3);
    QStringList lines;
    int lastPage = -1;
    for (const RecordingDevice::Text &x : device.texts()) {
        if (x.text.startsWith(QLatin1String("line "))) {
            lines << x.text;
            EXPECT_LE(x.position.y(), form->m_nBodyBottom + form->m_nLineHeight) << x.text.toStdString();
        }
        if (x.text == QLatin1String("Last"))
            lastPage = x.page;
    }
    EXPECT_EQ(lines, note);
    EXPECT_EQ(lastPage, device.pageCount() - 1);
    EXPECT_EQ(countOf(device.pageTexts(0), QStringLiteral("First")), 1);
}
