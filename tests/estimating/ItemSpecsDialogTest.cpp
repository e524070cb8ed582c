// The item window driven offscreen: opening, the save road with its checks,
// Cancel, quantity breaks, and what reaches table Items (read back with the
// sqlite3 command-line tool).
#include "PricingFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "app/base/Menus.h"
#include "catalogue/CEditPaper.h"
#include "catalogue/CEditService.h"
#include "catalogue/CSerList.h"
#include "estimating/CItemSpecs.h"
#include "estimating/CListBoxDragDlg.h"
#include "estimating/CPaperCutterDlg.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "controls/CXTreeOptCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPlainTextEdit>

namespace {

using platform::IDCANCEL;
using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::PromptRecord;

constexpr int kSaveClose = 30444;

class ItemSpecsDialog : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        app = std::make_unique<CZqApp>();
        InstallAppQueryReader(*app);
        Appearance::instance().LoadViewSettings();
        for (const auto &[cat, dep, name, sort] : {std::tuple{101, 2, "Paper", 10}, std::tuple{201, 3, "Offset Press", 20},
                                                   std::tuple{6, 3, "Plates", 30}, std::tuple{402, 5, "Bindery", 40}})
            exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (%1, %2, "
                                "'%3', %4, %5)")
                     .arg(cat)
                     .arg(dep)
                     .arg(QString::fromLatin1(name))
                     .arg(dep)
                     .arg(sort));
        addService(110, 101, QStringLiteral("60# Offset White"), {{"Size", QStringLiteral("'23 x 35'")}});
        addService(111, 101, QStringLiteral("80# Cover Blue"), {{"Size", QStringLiteral("'20 x 26'")}});
        addService(200, 201, QStringLiteral("2-Color Press"));
        addService(400, 402, QStringLiteral("Fold"));
        addService(401, 402, QStringLiteral("Drill"), {{"AskHowMany", QStringLiteral("'holes'")}});
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);

        m_job = addJob(1044);
        m_header = addRow(m_job, 0, {{"Description", QStringLiteral("'Letterhead'")}, {"ChargeQty", QStringLiteral("500")},
                                     {"Pages", QStringLiteral("1")}});
        m_paper = addRow(m_job, 110, {{"Note", QStringLiteral("'White'")}, {"Pages", QStringLiteral("1")},
                                      {"Side1", QStringLiteral("1")}, {"Out", QStringLiteral("1")},
                                      {"Up", QStringLiteral("1")}, {"SortNo", QStringLiteral("1")}});
        m_press = addRow(m_job, 200, {{"SortNo", QStringLiteral("2")}});
        m_fold = addRow(m_job, 400, {{"SortNo", QStringLiteral("3")}});
    }
    void TearDown() override
    {
        QApplication::processEvents();
        app.reset();
        PricingTest::TearDown();
    }

    // The Items table as the sqlite3 tool reads it from the file.
    QString itemsDump(const QString &columns = QStringLiteral("ItemID, JobID, ItemNo, SerNo, SortNo, Description, "
                                                              "Note, ChargeQty, Out, Price"))
    {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {databasePath(), QStringLiteral("SELECT %1 FROM Items ORDER BY ItemID").arg(columns)});
        sqlite.waitForFinished(10000);
        return QString::fromUtf8(sqlite.readAllStandardOutput());
    }
    QString sqliteValue(const QString &sql)
    {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {databasePath(), sql});
        sqlite.waitForFinished(10000);
        return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
    }

    static int press(CDlg0 &dialog, int id)
    {
        dialog.SendCommand(id);
        QApplication::processEvents();
        return dialog.result();
    }
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("estimating"), name);
    }
    int beeps() const
    {
        int n = 0;
        for (const PromptRecord &r : const_cast<ItemSpecsDialog *>(this)->prompts().shown())
            n += r.kind == PromptRecord::Kind::Beep ? 1 : 0;
        return n;
    }
    CItemSet headerRow()
    {
        CItemSet item;
        item.OpenByItemID(m_header, false);
        return CItemSet(item);
    }

    std::unique_ptr<CZqApp> app;
    qint32 m_job = 0;
    qint32 m_header = 0;
    qint32 m_paper = 0;
    qint32 m_press = 0;
    qint32 m_fold = 0;
};

TEST_F(ItemSpecsDialog, OpensWithItsServicesInCatalogueOrder)
{
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("SPECS: 1 - Quote 1044"));
        const QStringList lines = d.lineTexts();
        EXPECT_EQ(lines.value(0), QStringLiteral("60# Offset White         23 x 35         White         1 Original"));
        EXPECT_TRUE(lines.value(2).startsWith(QStringLiteral("Front: ")));
        EXPECT_EQ(lines.value(5), QStringLiteral("2-Color Press"));
        EXPECT_EQ(lines.value(6), QStringLiteral("Fold"));
        EXPECT_EQ(d.itemGrid().rowText(3), QStringLiteral("1 printed + 1 blank"));
        return press(d, 2);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(prompts().texts().isEmpty()) << "nothing changed: Cancel asks nothing";
}

TEST_F(ItemSpecsDialog, PreviewClosesWithoutChecks)
{
    exec(QStringLiteral("UPDATE Items SET Description = '' WHERE ItemID = %1").arg(m_header));
    const QString before = itemsDump();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    dlg.SetPreview(true);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        EXPECT_TRUE(d.windowTitle().endsWith(QStringLiteral(" - PREVIEW")));
        d.noteEdit()->setPlainText(QStringLiteral("typed into a preview"));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(prompts().texts(), QStringList()) << "no check, no message";
    EXPECT_EQ(itemsDump(), before);
}

TEST_F(ItemSpecsDialog, EmptyDescriptionStopsWithTheEditorOnIt)
{
    exec(QStringLiteral("UPDATE Items SET Description = '' WHERE ItemID = %1").arg(m_header));
    const QString before = itemsDump();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        prompts().answer(IDOK);
        d.SendCommand(kSaveClose);
        QApplication::processEvents();
        EXPECT_TRUE(d.isVisible()) << "the window stays open";
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter the Item Description."));
        EXPECT_EQ(d.itemGrid().GetCurRow(), 0);
        EXPECT_NE(d.itemGrid().editor(), nullptr);
        EXPECT_TRUE(d.itemGrid().editor() && d.itemGrid().editor()->isVisible());
        return press(d, 2);
    });
    dlg.DoModal();
    EXPECT_EQ(itemsDump(), before);
}

TEST_F(ItemSpecsDialog, NoteOnlyChangeIsWrittenUnpriced)
{
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        d.noteEdit()->setPlainText(QStringLiteral("Deliver to the back door"));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(beeps(), 1);
    EXPECT_FALSE(dlg.changed());
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Note FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("Deliver to the back door"));
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 AND SerNo > 0 AND Price <> 0")
                              .arg(m_job)),
              QStringLiteral("0"))
        << "not priced";
    EXPECT_EQ(header.m_Note, QStringLiteral("Deliver to the back door")) << "the caller's item holds the saved row";
}

TEST_F(ItemSpecsDialog, DeletedServiceGoesAndTheItemReprices)
{
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        d.selectRow(m_fold);
        prompts().answer(IDYES);
        d.SendCommand(30113);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to remove the selected Service from the list?"));
        EXPECT_FALSE(d.lineTexts().contains(QStringLiteral("Fold")));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.changed());
    EXPECT_EQ(beeps(), 0);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Count(*) FROM Items WHERE ItemID = %1").arg(m_fold)), QStringLiteral("0"));
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT SerNo || ':' || SortNo || ':' || Price FROM Items WHERE JobID = %1 AND "
                                         "SerNo > 0 ORDER BY SortNo")
                              .arg(m_job)),
              QStringLiteral("110:1:0.0001\n200:2:0.0001"))
        << "the remaining services were priced (No Charge services)";
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("0.0001"));
}

TEST_F(ItemSpecsDialog, NewItemTakesTheJobsNextNumber)
{
    CItemSet header;
    header.m_JobID = m_job;
    CItemSpecs dlg(&header, nullptr);
    dlg.data().m_strDescription = QStringLiteral("Envelopes");
    dlg.data().m_nQuantity = 250;
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("SPECS: NEW ITEM - Quote 1044"));
        d.OnServiceMessage(400, true);
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(header.m_ItemNo, 2);
    EXPECT_GT(header.m_ItemID, m_fold);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT ItemNo || ':' || SerNo || ':' || ifnull(Description, '') || ':' || ChargeQty FROM "
                                         "Items WHERE JobID = %1 AND ItemNo = 2 ORDER BY SerNo")
                              .arg(m_job)),
              QStringLiteral("2:0:Envelopes:250\n2:400::1"));
}

TEST_F(ItemSpecsDialog, QuoteBreaksAreStoredInTheNote)
{
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        onDialog<CDlgData>([](CDlgData &entry) {
            EXPECT_EQ(entry.windowTitle(), QStringLiteral("Quantity Breaks"));
            EXPECT_EQ(entry.m_strStripText, QStringLiteral("Enter quantities in increasing order. The first quantity "
                                                           "must be greater than 500. These quantities will be saved "
                                                           "in the 'Note' field."));
            entry.edit()->setText(QStringLiteral("250 1000 word 2500"));
            return press(entry, 1);
        });
        d.SendCommand(30382);
        EXPECT_EQ(d.noteEdit()->toPlainText(), QStringLiteral("{1000 2500}"));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Note FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("{1000 2500}"));
}

TEST_F(ItemSpecsDialog, FailedWriteLeavesItemsUnchangedAndTheWindowOpen)
{
    // The third row written (the press) is refused by the database.
    SharedDatabase().executeNative(QStringLiteral("CREATE TRIGGER RefusePress BEFORE UPDATE ON Items WHEN NEW.SerNo = "
                                                  "200 BEGIN SELECT RAISE(ABORT, 'JET 3022: duplicate'); END"));
    const QString before = itemsDump();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        d.noteEdit()->setPlainText(QStringLiteral("changed"));
        d.data().Row(m_press)->m_Wash = 2;
        d.selectRow(m_fold);
        prompts().answer(IDYES);
        d.SendCommand(30113);
        prompts().answer(IDOK);
        prompts().answer(IDOK);
        d.SendCommand(kSaveClose);
        QApplication::processEvents();
        EXPECT_TRUE(d.isVisible());
        const QStringList texts = prompts().texts();
        EXPECT_TRUE(texts.value(texts.size() - 2).startsWith(QStringLiteral("Cannot save "))) << texts.join('|').toStdString();
        EXPECT_EQ(texts.last(), QStringLiteral("The Item could not be saved, and nothing of it was changed.\n\nYour "
                                               "changes are still in this window; please try again."));
        EXPECT_EQ(itemsDump(), before);
        // The working copy is kept: without the refusal the same save goes through.
        SharedDatabase().executeNative(QStringLiteral("DROP TRIGGER RefusePress"));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Count(*) FROM Items WHERE ItemID = %1").arg(m_fold)), QStringLiteral("0"));
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Note FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("changed"));
}

TEST_F(ItemSpecsDialog, CancelAsksWhenTheWorkingCopyChanged)
{
    struct Case
    {
        const char *name;
        std::function<void(CItemSpecs &)> change;
    };
    const Case cases[] = {
        {"a note", [](CItemSpecs &d) { d.noteEdit()->setPlainText(QStringLiteral("x")); }},
        {"a service added", [](CItemSpecs &d) { d.OnServiceMessage(400, true); }},
        {"a paper's specs", [this](CItemSpecs &d) { d.data().Row(m_paper)->m_Side2 = 1; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompts().clear();
        CItemSet header = headerRow();
        CItemSpecs dlg(&header, nullptr);
        onDialog<CItemSpecs>([&](CItemSpecs &d) {
            c.change(d);
            prompts().answer(IDCANCEL);
            d.SendCommand(2);
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to save the changes?"));
            EXPECT_TRUE(d.isVisible()) << "Cancel in the question returns to the window";
            prompts().answer(IDNO);
            return press(d, 2);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
}

TEST_F(ItemSpecsDialog, CancelOnAnUntouchedNewItemClosesWithoutAsking)
{
    // A booklet part's description ends in a blank.
    for (const QString &description : {QStringLiteral("Booklets | Bindery "), QStringLiteral("Booklets")}) {
        SCOPED_TRACE(description.toStdString());
        prompts().clear();
        onDialog<CItemSpecs>([](CItemSpecs &d) { return press(d, 2); });
        const int answer = CItemSpecs::NewItem(m_job, nullptr, [&](CItemSpecsData &data) {
            data.m_strDescription = description;
            data.m_nQuantity = 100;
        });
        EXPECT_EQ(answer, IDCANCEL);
        EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    }
}

TEST_F(ItemSpecsDialog, FiveDepartmentsLeaveSaveAndCancelInsideTheWindow)
{
    // Five departments with active services: each gets its button.
    exec(QStringLiteral("DELETE FROM ServiceDepartments"));
    int department = 1;
    for (const char *name : {"Paper", "Press", "Prepress", "Bindery", "Shipping"}) {
        exec(QStringLiteral("INSERT INTO ServiceDepartments (DepNo, DepName, IconNo, SortNo) VALUES (%1, '%2', %1, %1)")
                 .arg(department)
                 .arg(QString::fromLatin1(name)));
        ++department;
    }
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (301, 1, 'Stock', "
                        "1, 50)"));
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (501, 4, 'Art', 4, "
                        "60)"));
    addService(300, 301, QStringLiteral("Envelope"));
    addService(500, 501, QStringLiteral("Layout"));
    app->LoadServiceDepartments();
    app->LoadServiceCategories();
    app->LoadServices(1);
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        QApplication::processEvents();
        CXRibbon &bar = d.addBar();
        int departments = 0;
        for (int i = 0; i < bar.GetItemCount(); ++i)
            departments += bar.GetItemId(i) >= 31000 ? 1 : 0;
        EXPECT_EQ(departments, 6); // All Departments and the five
        for (unsigned id : {unsigned(30444), 2u}) {
            const QRect button = bar.itemRect(id);
            EXPECT_FALSE(button.isEmpty()) << id;
            EXPECT_LE(bar.mapTo(&d, button.bottomRight()).x(), d.width()) << id;
        }
        snapshot(d, QStringLiteral("item-specs-five-departments"));
        return press(d, 2);
    });
    dlg.DoModal();
}

TEST_F(ItemSpecsDialog, PictureWithTwoPapersAndNotes)
{
    exec(QStringLiteral("UPDATE Items SET Note = 'White · 11 x 17 · 8.5 x 11 • PMS 185 • ' WHERE ItemID = %1")
             .arg(m_paper));
    exec(QStringLiteral("UPDATE Items SET Side1 = 3, Side2 = 1, Sheets = 4, Pages = 8, Up = 2 WHERE ItemID = %1")
             .arg(m_paper));
    addRow(m_job, 111, {{"Note", QStringLiteral("'Blue'")}, {"Pages", QStringLiteral("1")}, {"Side1", QStringLiteral("1")},
                        {"Out", QStringLiteral("1")}, {"Up", QStringLiteral("1")}, {"SortNo", QStringLiteral("4")}});
    exec(QStringLiteral("UPDATE Items SET Note = 'Rush: proof by Friday' WHERE ItemID = %1").arg(m_header));
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        EXPECT_EQ(d.itemGrid().rowText(3), QStringLiteral("9 printed + 1 blank   (from 2 papers)"));
        snapshot(d, QStringLiteral("item-specs"));
        return press(d, 2);
    });
    dlg.DoModal();
}

} // namespace

namespace {

TEST_F(ItemSpecsDialog, RearrangedServicesAreRenumberedOnSave)
{
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        onDialog<CListBoxDragDlg>([&](CListBoxDragDlg &order) {
            EXPECT_EQ(order.m_rowsIn.size(), 3);
            EXPECT_EQ(order.m_rowsIn.at(2).m_text, QStringLiteral("Bindery: Fold"));
            order.SelectId(m_fold);
            order.SendCommand(30236);
            return press(order, 1);
        });
        d.SendCommand(30159);
        EXPECT_EQ(d.lineTexts().value(0), QStringLiteral("Fold"));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT SerNo || ':' || SortNo FROM Items WHERE JobID = %1 AND SerNo > 0 "
                                         "ORDER BY SortNo")
                              .arg(m_job)),
              QStringLiteral("400:1\n110:2\n200:3"));
}

} // namespace

namespace {

TEST_F(ItemSpecsDialog, RowOfAMissingServiceIsLeftOutAfterTheDiscrepancyMessage)
{
    addRow(m_job, 999, {{"SortNo", QStringLiteral("4")}});
    exec(QStringLiteral("UPDATE Items SET Opt1 = 7 WHERE ItemID = %1").arg(m_header));
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    prompts().answer(IDOK);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        EXPECT_EQ(d.data().ServiceRowCount(), 3);
        EXPECT_EQ(d.itemGrid().rowLabel(1), QStringLiteral("#Pads"));
        EXPECT_EQ(d.itemGrid().rowLabel(2), QStringLiteral("Sheets/Pad"));
        EXPECT_EQ(d.itemGrid().rowText(3), QStringLiteral("1")) << "a pad item lists the printed sides per paper";
        return press(d, 2);
    });
    dlg.DoModal();
    EXPECT_EQ(prompts().texts().value(0), QStringLiteral("This Item has a discrepancy: 4 vs 5"));
}

TEST_F(ItemSpecsDialog, OrderQuantityFromTheQuickList)
{
    exec(QStringLiteral("UPDATE Jobs SET JobType = 0 WHERE JobID = %1").arg(m_job));
    for (const auto &[pick, expected] : {std::pair{7500, 7500}, std::pair{500, 500}}) {
        SCOPED_TRACE(pick);
        CItemSet header = headerRow();
        CItemSpecs dlg(&header, nullptr);
        onDialog<CItemSpecs>([&](CItemSpecs &d) {
            onDialog<CDlgOptions>([&](CDlgOptions &options) {
                EXPECT_EQ(options.m_strWindowTitle, QStringLiteral("Quick List"));
                EXPECT_EQ(options.m_strStripText, QStringLiteral("Common Quantities"));
                EXPECT_EQ(options.m_strRibbonTitle, QStringLiteral("Item Quantity"));
                EXPECT_EQ(options.GetEntryText(7500), QStringLiteral("7500"));
                options.tree()->SetItemChecked(options.tree()->FindOption(unsigned(pick)), true);
                return press(options, 1);
            });
            d.SendCommand(30382);
            EXPECT_EQ(d.data().m_nQuantity, expected);
            EXPECT_EQ(d.itemGrid().GetRowValue(1), expected);
            return press(d, 2 /* the question on a changed quantity is answered No */);
        });
        if (pick != 500)
            prompts().answer(IDNO);
        dlg.DoModal();
    }
}

} // namespace

namespace {

TEST_F(ItemSpecsDialog, AnOpenServiceListFollowsTheWindow)
{
    // The service list open beside the window ticks what the window adds and
    // clears what it removes.
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        CSerList picker(0, 402, 0, true, &d);
        picker.AddChecked(400);
        onDialog<CSerList>([&](CSerList &p) {
            CXTreeOptCtrl &tree = p.serviceTree();
            EXPECT_TRUE(tree.IsOptionChecked(400));
            EXPECT_FALSE(tree.IsOptionChecked(401));
            QMetaObject::invokeMethod(&d, "OnOwnerMessage", Q_ARG(int, 30243), Q_ARG(qintptr, 401),
                                      Q_ARG(qintptr, 1));
            EXPECT_TRUE(d.lineTexts().contains(QStringLiteral("Drill")));
            d.selectRow(m_fold);
            prompts().answer(IDYES);
            d.SendCommand(30113);
            EXPECT_FALSE(tree.IsOptionChecked(400));
            EXPECT_TRUE(tree.IsOptionChecked(401));
            EXPECT_EQ(p.checked(), (QList<qint32>{401}));
            return 2;
        });
        picker.DoModal();
        // Saving asks the drill's quantity first: again the specs window.
        prompts().answer(IDOK);
        return press(d, kSaveClose);
    });
    // The drill asks how many when added; its specs window is not connected.
    prompts().answer(IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(prompts().texts().value(0),
              QStringLiteral("The service specs window is not yet available in this version of Tavrel."));
}

TEST_F(ItemSpecsDialog, TheApplicationsItemPreviewOpensItReadOnly)
{
    InstallItemSpecs();
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        EXPECT_TRUE(d.data().m_bPreview);
        EXPECT_EQ(d.lineTexts().value(6), QStringLiteral("Fold"));
        d.SendCommand(30113);
        EXPECT_EQ(d.data().ServiceRowCount(), 3) << "a preview removes nothing";
        return press(d, 2);
    });
    app->PreviewItem(m_header);
    EXPECT_EQ(prompts().shown().size(), 1);
    RegisterMenuResource(170, nullptr);
}

} // namespace

namespace {

TEST_F(ItemSpecsDialog, SheetsPerSetFollowsIntoTheOnlyPaperAndTheWindowResizes)
{
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        d.itemGrid().SetRowValue(2, 4);
        emit d.itemGrid().ownerMessage(30247, 2111, 2);
        EXPECT_EQ(d.data().Row(m_paper)->m_Sheets, 4);
        EXPECT_EQ(d.data().Row(m_paper)->m_Pages, 4) << "printed on one side";
        EXPECT_EQ(d.itemGrid().rowText(3), QStringLiteral("4 printed + 4 blank"));

        const QRect list = d.serviceList()->geometry();
        const QRect note = d.noteEdit()->geometry();
        d.resize(d.width() + 200, d.height() + 100);
        QApplication::processEvents();
        EXPECT_EQ(d.serviceList()->width(), list.width() + 200);
        EXPECT_EQ(d.serviceList()->height(), list.height() + 100);
        EXPECT_EQ(d.noteEdit()->height(), note.height() + 100);
        EXPECT_EQ(d.noteEdit()->width(), note.width());
        snapshot(d, QStringLiteral("item-specs-resized"));
        prompts().answer(IDNO);
        return press(d, 2);
    });
    dlg.DoModal();

    // Originals are counted: "-5" and "-1" typed are refused naming the row,
    // the count shown before stays, and the saved item and its paper keep it.
    const QString before = sqliteValue(QStringLiteral("SELECT Sheets FROM Items WHERE ItemID = %1").arg(m_paper));
    CItemSet again = headerRow();
    CItemSpecs typed(&again, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        const QString label = d.itemGrid().rowLabel(2);
        const int shown = d.itemGrid().GetRowValue(2);
        for (const char *count : {"-5", "-1"}) {
            prompts().clear();
            prompts().answer(IDOK);
            d.itemGrid().EditRow(2);
            d.itemGrid().textEditor()->setText(QString::fromLatin1(count));
            d.itemGrid().EndEdit();
            EXPECT_EQ(prompts().texts(), QStringList{label + QStringLiteral(": Please enter a number of 0 or more.")})
                << count;
            EXPECT_EQ(d.itemGrid().GetRowValue(2), shown) << count;
        }
        d.noteEdit()->setPlainText(QStringLiteral("Originals as before"));
        return press(d, kSaveClose);
    });
    EXPECT_EQ(typed.DoModal(), IDOK);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Sheets FROM Items WHERE ItemID = %1").arg(m_paper)), before);
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Sheets, Note FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("%1|Originals as before").arg(before));
}

// The quantity is a count: "-5" and one past the largest count are refused in
// its cell, naming it; one whose sheets would pass the largest count is
// refused at Save & Close, naming the quantity, with nothing written (1,073,741,824
// once saved -271,119,805 sheets); at half of it every count is kept whole.
TEST_F(ItemSpecsDialog, AQuantityAndWhatItMakesStayWithinTheLargestCount)
{
    const QString before = itemsDump();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        struct Typed
        {
            const char *text;
            const char *refusal;
        };
        for (const Typed &t : {Typed{"-5", "Quantity: Please enter a number of 0 or more."},
                               Typed{"1073741824", "Quantity: Please enter a quantity from 0 to 1,000,000,000."},
                               Typed{"1,000,000,001", "Quantity: Please enter a quantity from 0 to 1,000,000,000."},
                               Typed{"3000000000", "Quantity: Please enter a quantity from 0 to 1,000,000,000."}}) {
            prompts().clear();
            prompts().answer(IDOK);
            d.itemGrid().EditRow(1);
            d.itemGrid().textEditor()->setText(QString::fromLatin1(t.text));
            d.itemGrid().EndEdit();
            EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(t.refusal)}) << t.text;
            EXPECT_EQ(d.itemGrid().GetRowValue(1), 500) << t.text;
        }
        // Two sheets a set: 600,000,000 copies make 1,200,000,000 sheets.
        d.itemGrid().SetRowValue(2, 2);
        emit d.itemGrid().ownerMessage(30247, 2111, 2);
        d.itemGrid().EditRow(1);
        d.itemGrid().textEditor()->setText(QStringLiteral("600,000,000"));
        d.itemGrid().EndEdit();
        prompts().clear();
        prompts().answer(IDOK);
        EXPECT_NE(press(d, kSaveClose), IDOK);
        EXPECT_EQ(prompts().texts(),
                  QStringList{QStringLiteral("Quantity: at 600,000,000, the Finish Sheets of 60# Offset White would be "
                                             "1,200,000,000, more than 1,000,000,000, the largest count the program "
                                             "holds.")});
        EXPECT_EQ(itemsDump(), before);
        d.itemGrid().EditRow(1);
        d.itemGrid().textEditor()->setText(QStringLiteral("400000000"));
        d.itemGrid().EndEdit();
        prompts().clear();
        return press(d, kSaveClose);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // 400,000,000 copies of two sheets, one pass each: 800,000,000 impressions.
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT ChargeQty, Sheets FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("400000000|2"));
    EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Out FROM Items WHERE ItemID = %1").arg(m_press)),
              QStringLiteral("800000000"));
}

} // namespace

namespace {

TEST_F(ItemSpecsDialog, SpecsMenuJoinsTheMenuResource)
{
    RegisterMenuResource(170, [](QMenu &menu) {
        QMenu *inventory = menu.addMenu(QStringLiteral("Inventory"));
        inventory->addAction(QStringLiteral("To-Order"))->setData(31001);
    });
    InstallItemSpecs();
    std::unique_ptr<QMenu> menu = LoadMenuResource(170);
    ASSERT_TRUE(menu);
    ASSERT_GE(menu->actions().size(), 6);
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Inventory"));
    QString text;
    GetMenuItemText(text, 170, 0, 31001);
    EXPECT_EQ(text, QStringLiteral("To-Order")) << "what was registered before is kept";
    GetMenuItemText(text, 170, 5, 30113);
    EXPECT_EQ(text, QStringLiteral("Delete this Service...\tDel"));
    GetMenuItemText(text, 170, 5, 30159);
    EXPECT_EQ(text, QStringLiteral("Rearrange Service Order..."));
    RegisterMenuResource(170, nullptr);
}

} // namespace

namespace {

TEST_F(ItemSpecsDialog, InstalledWindowsEditPaperAndServiceSpecs)
{
    InstallItemSpecs();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        onDialog<CEditPaper>([](CEditPaper &paper) {
            EXPECT_EQ(paper.windowTitle(), QStringLiteral("Paper Specs for Offset Printing"));
            paper.grid().SetRowValue(CEditPaper::RowBack, 1); // the back printed too
            return press(paper, 1);
        });
        d.data().EditService(m_paper, 0);
        EXPECT_EQ(d.data().Row(m_paper)->m_Side2, 1);
        onDialog<CEditService>([](CEditService &specs) {
            EXPECT_EQ(specs.grid().rowLabel(CEditService::RowCount), QStringLiteral("Wash"));
            return press(specs, 2);
        });
        d.data().EditService(m_press, 0);
        prompts().answer(IDNO);
        return press(d, 2);
    });
    dlg.DoModal();
    EXPECT_FALSE(prompts().texts().contains(
        QStringLiteral("The paper specs window is not yet available in this version of Tavrel.")));
    CItemSpecs::SetWindows({});
    RegisterMenuResource(170, nullptr);
}

// The paper's colour shares the item's note (255 characters) with the run
// and finish sizes and the inks; a colour that does not fit is refused by
// name with the room it has, never left to the save (which failed with
// "Error 3163 ... field is too small", naming no field).
TEST_F(ItemSpecsDialog, APaperColourLongerThanTheNoteHoldsIsRefusedNamingTheField)
{
    InstallItemSpecs();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        onDialog<CEditPaper>([this](CEditPaper &paper) {
            paper.grid().SetRowText(CEditPaper::RowRun, QStringLiteral("11.5 x 17.5"));
            paper.grid().SetRowText(CEditPaper::RowFinish, QStringLiteral("8.5 x 11"));
            paper.grid().SetRowText(CEditPaper::RowFrontInks, QStringLiteral("Black"));
            paper.grid().SetRowText(CEditPaper::RowBackInks, QStringLiteral("Black"));
            // " · 11.5 x 17.5 · 8.5 x 11" is 25 characters, " • Black • Black"
            // 16: 214 are left for the colour.
            for (int length : {270, 215}) {
                paper.grid().SetRowText(CEditPaper::RowColor, QString(length, QLatin1Char('c')));
                prompts().answer(IDOK);
                paper.SendCommand(1);
                EXPECT_EQ(prompts().lastText(), QStringLiteral("Paper Color: Please enter at most 214 characters."))
                    << length;
                EXPECT_EQ(paper.result(), 0) << length;
                // The refusal opens the colour's editor; the next text is put in the row itself.
                EXPECT_EQ(paper.grid().GetCurRow(), int(CEditPaper::RowColor));
                paper.grid().HideEditor();
            }
            paper.grid().SetRowText(CEditPaper::RowColor, QString(214, QLatin1Char('c')));
            return press(paper, 1);
        });
        d.data().EditService(m_paper, 0);
        const CItemSet *row = d.data().Row(m_paper);
        EXPECT_EQ(row->m_Note.size(), 255);
        EXPECT_EQ(row->m_strPlainNote, QString(214, QLatin1Char('c')));
        prompts().answer(IDNO);
        return press(d, 2);
    });
    dlg.DoModal();
    CItemSpecs::SetWindows({});
    RegisterMenuResource(170, nullptr);
}

TEST_F(ItemSpecsDialog, ANewRunSizeInThePaperSpecsCountsTheCuttingServices)
{
    // The shop's two cutting services come with a new database.
    InstallItemSpecs();
    InstallPaperCutter();
    CItemSet header = headerRow();
    CItemSpecs dlg(&header, nullptr);
    qint32 cutsToRun = -1;
    qint32 cutsToFinish = -1;
    onDialog<CItemSpecs>([&](CItemSpecs &d) {
        onDialog<CEditPaper>([&](CEditPaper &paper) {
            // The 23 x 35 sheet cut in four for the press.
            paper.grid().SetRowText(CEditPaper::RowRun, QStringLiteral("11.5 x 17.5"));
            paper.OnRowChanged(CEditPaper::RowRun);
            cutsToRun = paper.m_nCutsToRun;
            cutsToFinish = paper.m_nCutsToFinish;
            return press(paper, 1);
        });
        d.data().EditService(m_paper, 0);
        const CItemSpecsData &data = d.data();
        EXPECT_EQ(data.Row(m_paper)->m_Out, 4);
        const qint32 toRun = data.FindRowOfService(CItemSpecsData::kCutToRunSize);
        EXPECT_GT(cutsToRun, 0);
        EXPECT_NE(toRun, 0);
        if (toRun != 0)
            EXPECT_EQ(data.Row(toRun)->m_Out, cutsToRun);
        // No finish size: no second stage, and with one paper no service for it.
        EXPECT_EQ(cutsToFinish, 0);
        EXPECT_EQ(data.FindRowOfService(CItemSpecsData::kCutToFinishSize), 0);
        prompts().answer(IDNO);
        return press(d, 2);
    });
    dlg.DoModal();
    CItemSpecs::SetWindows({});
    CEditPaper::SetCutterHook({});
    RegisterMenuResource(170, nullptr);
}

} // namespace


// Another workstation saved the item while this window had it open (it took
// the job over, or changed the item from its own job window): Save & Close
// writes only what was changed here, onto the rows as they are now; a field
// both changed is asked about, named and shown as this window shows it.
TEST_F(ItemSpecsDialog, AnItemSavedMeanwhileKeepsWhatThisWindowLeftAlone)
{
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what you "
        "typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either way. "
        "Cancel saves nothing now.");
    struct Case
    {
        const char *what;
        const char *byOther;     // SET clause on the item's row (%1: header, %2: fold row)
        const char *noteHere;    // typed here (nullptr: left alone)
        int levelHere;           // price level picked here (-1: left alone)
        int answer;              // to the question (0: none asked)
        QString asked;
        QString stored;          // Description|Note|Side2 of the item, Out of the fold row
    } cases[] = {
        {"the other's note kept by a save that left it alone", "UPDATE Items SET Note = 'Call Dana' WHERE ItemID = %1",
         nullptr, -1, 0, QString(), QStringLiteral("Letterhead|Call Dana|0|0")},
        {"both changed the note: the other's kept", "UPDATE Items SET Note = 'Call Dana' WHERE ItemID = %1",
         "Deliver to the back door", -1, IDNO,
         QStringLiteral("Item Note: the other user's \"Call Dana\", yours \"Deliver to the back door\""),
         QStringLiteral("Letterhead|Call Dana|0|0")},
        {"both changed the note: this one's kept", "UPDATE Items SET Note = 'Call Dana' WHERE ItemID = %1",
         "Deliver to the back door", -1, IDYES,
         QStringLiteral("Item Note: the other user's \"Call Dana\", yours \"Deliver to the back door\""),
         QStringLiteral("Letterhead|Deliver to the back door|0|0")},
        {"both changed the price level: shown by its entries", "UPDATE Items SET Side2 = 1 WHERE ItemID = %1", nullptr,
         2, IDNO, QStringLiteral("Price Level: the other user's \"Bid\", yours \"Rush\""),
         QStringLiteral("Letterhead||1|0")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sqliteValue(QStringLiteral("UPDATE Items SET Description = 'Letterhead', Note = '', Side2 = 0 WHERE ItemID = %1; "
                                   "UPDATE Items SET Out = 0 WHERE ItemID = %2")
                        .arg(m_header)
                        .arg(m_fold));
        prompts().clear();
        CItemSet header = headerRow();
        CItemSpecs dlg(&header, nullptr);
        onDialog<CItemSpecs>([&](CItemSpecs &d) {
            sqliteValue(QString::fromLatin1(c.byOther).arg(m_header).arg(m_fold));
            if (c.noteHere)
                d.noteEdit()->setPlainText(QString::fromLatin1(c.noteHere));
            if (c.levelHere >= 0)
                d.pricingGrid().SetRowValue(0, c.levelHere);
            if (c.answer != 0)
                prompts().answer(c.answer);
            return press(d, kSaveClose);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        QStringList asked;
        for (const QString &text : prompts().texts())
            if (text.startsWith(QStringLiteral("Another user")))
                asked << text;
        EXPECT_EQ(asked, c.asked.isEmpty() ? QStringList() : QStringList{question.arg(c.asked)});
        EXPECT_EQ(sqliteValue(QStringLiteral("SELECT Description, Note, Side2, (SELECT Out FROM Items WHERE ItemID = %2) "
                                             "FROM Items WHERE ItemID = %1")
                                  .arg(m_header)
                                  .arg(m_fold)),
                  c.stored);
    }
}
