#include "CatalogueFixture.h"

#include "catalogue/CDigital.h"
#include "catalogue/CEditPaper.h"
#include "catalogue/CEditService.h"
#include "catalogue/CSerList.h"
#include "controls/DlgItem.h"
#include "data/CItemSet.h"
#include "data/CSerSet.h"
#include "support/TypeInto.h"

#include <QtGui/QFontMetrics>
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>

namespace {

class SpecsWindowsTest : public CatalogueTest
{
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        native(QStringLiteral("INSERT OR REPLACE INTO Vendors ([No], Type, Name, Sort) VALUES (0, 0, '(none)', 0), "
                              "(1, 0, 'Paper Co', 1), (2, 1, 'Outside Bindery', 2), (3, 0, 'Mill Direct', 3)"));
        native(QStringLiteral("UPDATE Services SET VendorNo = 1 WHERE SerNo = 10"));
        native(QStringLiteral("UPDATE Services SET VendorNo = 3 WHERE SerNo = 11"));
        native(QStringLiteral("UPDATE Services SET AskHowMany = 'Sheets', Multiply = 4 WHERE SerNo = 41"));
        native(QStringLiteral("UPDATE Services SET AskHowMany = '% of the run' WHERE SerNo = 42"));
    }
    CSerSet &service(qint32 serNo)
    {
        m_service = std::make_unique<CSerSet>();
        EXPECT_TRUE(m_service->FindBySerNo(serNo));
        return *m_service;
    }
    // A paper row as the item window holds it: note parts split.
    static CItemSet paperRow()
    {
        CItemSet row;
        row.m_SerNo = 10;
        row.m_Sheets = 1;
        row.m_Side1 = 1;
        row.m_Out = 2;
        row.m_Up = 4;
        row.m_Vendor = 1;
        row.m_strPaperSize = QStringLiteral("8.5 x 11");
        row.m_strRunSize = QStringLiteral("8.5 x 11");
        row.m_strFinishSize = QStringLiteral("4.25 x 5.5");
        row.m_strPlainNote = QStringLiteral("White");
        return row;
    }
    // Whether a message box with that text was shown.
    bool wasShown(const QString &text)
    {
        for (const auto &record : prompts().shown())
            if (record.kind == platform::PromptRecord::Kind::MessageBox && record.text == text)
                return true;
        return false;
    }
    std::unique_ptr<CSerSet> m_service;
};

TEST_F(SpecsWindowsTest, ServiceSpecsRowsFollowTheKindOfService)
{
    struct Case
    {
        qint32 serNo;
        qint32 out;
        const char *question;
        const char *countLabel;
        int startCount;
        bool vendorEditable;
    };
    const Case cases[] = {
        {20, 0, "How many?", "Wash", 2, false},          // press: wash 2
        {30, 0, "How many?", "Plates", 1, false},        // plates: at least one
        {41, 0, "How many Sheets?", " ", 4, true},       // the service's default count
        {41, 7, "How many Sheets?", " ", 7, true},
        {42, 0, "% of the run?", " ", 1, true},
    };
    for (const Case &c : cases) {
        CSerSet &s = service(c.serNo);
        CItemSet row;
        row.m_SerNo = c.serNo;
        row.m_Out = c.out;
        row.m_Wash = 2;
        row.m_Mix = 1;
        CEditService dialog(row, s, 100, nullptr);
        onDialog<CEditService>([&](CEditService &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Service Specs"));
            EXPECT_EQ(d.grid().rowLabel(CEditService::RowQuestion), QString::fromUtf8(c.question)) << c.serNo;
            EXPECT_EQ(d.grid().rowLabel(CEditService::RowCount), QString::fromUtf8(c.countLabel)) << c.serNo;
            EXPECT_EQ(d.grid().GetRowValue(CEditService::RowCount), c.startCount) << c.serNo;
            EXPECT_EQ(d.grid().IsRowEnabled(CEditService::RowVendor), c.vendorEditable) << c.serNo;
            if (c.serNo == 20)
                snapshot(d, QStringLiteral("service-specs"));
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        // OK stores what differed from the row: a default count is a change.
        const int expected = (c.serNo == 30 || (c.serNo == 41 && c.out == 0) || c.serNo == 42) ? 1 : 0;
        EXPECT_EQ(dialog.changeCount(), expected) << c.serNo;
    }
}

// Plates, and the count a service asks for, are counts: below 0 or past the
// largest count they are refused naming the row, the count shown before
// stays; the largest is kept.
TEST_F(SpecsWindowsTest, ServiceSpecsCountsAreReadAsEveryCount)
{
    const struct
    {
        qint32 serNo;
        const char *typed;
        const char *refusal; // null: kept
    } cases[] = {
        {30, "-5", "Plates: Please enter a number of 0 or more."},
        {30, "1,000,000,001", "Plates: Please enter a quantity from 0 to 1,000,000,000."},
        {30, "3000000000", "Plates: Please enter a quantity from 0 to 1,000,000,000."},
        {30, "1,000,000,000", nullptr},
        {41, "-5", "Please enter a number of 0 or more."},
        {41, "3000000000", "Please enter a quantity from 0 to 1,000,000,000."},
        {41, "1000000000", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.serNo) + " " + c.typed);
        CItemSet row;
        row.m_SerNo = c.serNo;
        row.m_Out = 3;
        CEditService dialog(row, service(c.serNo), 100, nullptr);
        onDialog<CEditService>([&](CEditService &d) {
            prompts().clear();
            if (c.refusal)
                prompts().answer(platform::IDOK);
            d.grid().EditRow(CEditService::RowCount);
            d.grid().textEditor()->setText(QString::fromLatin1(c.typed));
            d.grid().EndEdit();
            EXPECT_EQ(prompts().texts(), c.refusal ? QStringList{QString::fromLatin1(c.refusal)} : QStringList());
            EXPECT_EQ(d.grid().GetRowValue(CEditService::RowCount), c.refusal ? 3 : 1000000000);
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(row.m_Out, c.refusal ? 3 : 1000000000);
    }
}

TEST_F(SpecsWindowsTest, ServiceSpecsStoresVendorAndNoteButNotAPressVendor)
{
    CSerSet &bindery = service(41);
    CItemSet row;
    row.m_SerNo = 41;
    row.m_Out = 3;
    CEditService dialog(row, bindery, 0, nullptr);
    onDialog<CEditService>([&](CEditService &d) {
        d.grid().SetRowValue(CEditService::RowVendor, 2);
        d.noteEdit()->setPlainText(QStringLiteral("Rush"));
        return press(d, 1);
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.changeCount(), 2);
    EXPECT_EQ(row.m_Vendor, 2);
    EXPECT_EQ(row.m_Note, QStringLiteral("Rush"));

    CSerSet &pressService = service(20);
    CItemSet pressRow;
    pressRow.m_SerNo = 20;
    CEditService pressDialog(pressRow, pressService, 0, nullptr);
    onDialog<CEditService>([&](CEditService &d) {
        d.grid().SetRowValue(CEditService::RowVendor, 2);
        d.grid().EditRow(CEditService::RowCount);
        auto *editor = qobject_cast<QLineEdit *>(d.grid().editor());
        EXPECT_NE(editor, nullptr);
        if (editor)
            editor->setText(QStringLiteral("3"));
        return press(d, 1);
    });
    pressDialog.DoModal();
    EXPECT_EQ(pressDialog.changeCount(), 1);
    EXPECT_EQ(pressRow.m_Wash, 3);
    EXPECT_EQ(pressRow.m_Vendor, 0);
}

TEST_F(SpecsWindowsTest, DigitalCountsSheetsFromPagesAndSides)
{
    struct Case
    {
        int how;
        qint32 pages;
        qint32 sheets;
        qint32 pagesAfter;
    };
    const Case cases[] = {{2, 7, 4, 7}, {1, 7, 7, 7}, {0, 7, 4, 7}, {5, 1, 1, 2}, {3, 0, 1, 1}};
    for (const Case &c : cases) {
        qint32 pages = c.pages;
        qint32 perSheet = 0;
        EXPECT_EQ(CDigital::SheetsFor(pages, c.how, perSheet), c.sheets) << c.how << " " << c.pages;
        EXPECT_EQ(pages, c.pagesAfter);
    }
}

// Pages typed over 7 (Black / Black, 4 sheets) and left are read whole: a
// count is kept and the sheets worked out from it; anything else is refused
// naming the field, the 7 shown before back. OK reads the same way.
TEST_F(SpecsWindowsTest, DigitalPagesAreReadWholeOrRefusedNamingTheField)
{
    const QString refusal = QStringLiteral("Pages: Please enter a quantity.");
    const QString past = QStringLiteral("Pages: Please enter a quantity from 0 to 1,000,000,000.");
    struct Case
    {
        const char *typed;
        int end; // 0 left with Tab, 1 OK pressed, 2 Enter pressed in the field, 3 Color / Black picked
        const char *pages;
        const char *sheets;
        bool refused;
        const QString *message = nullptr; // the refusal when not the first
    };
    const Case cases[] = {
        {"9", 0, "9", "5", false},      {"1e1", 0, "10", "5", false},
        {"1,000", 0, "1000", "500", false}, {"abc", 0, "7", "4", true},
        {"12 k", 0, "7", "4", true},    {"-3", 0, "7", "4", true},
        {"2.5", 0, "7", "4", true},     {"abc", 1, "7", "4", true},
        {"12 k", 1, "7", "4", true},    {"abc", 2, "7", "4", true},
        // The largest count is kept; past it, also past 32 bits, refused
        // by name, also when the printing is picked while it is typed.
        {"1,000,000,000", 0, "1000000000", "500000000", false},
        {"1,000,000,001", 0, "7", "4", true, &past},
        {"3000000000", 0, "7", "4", true, &past},
        {"3000000000", 1, "7", "4", true, &past},
        {"3000000000", 3, "7", "4", true, &past},
        {"abc", 3, "7", "4", true},
    };
    for (const Case &c : cases) {
        const char *ends[] = {" left", " OK", " Enter", " Color / Black"};
        SCOPED_TRACE(std::string(c.typed) + ends[c.end]);
        prompts().clear();
        CDigital dialog(nullptr);
        dialog.m_nPages = 7;
        dialog.m_nSheets = 4;
        dialog.m_nHowPrinted = 2;
        onDialog<CDigital>([&](CDigital &d) {
            if (c.refused)
                prompts().answer(platform::IDOK);
            typing::enter(d.pagesEdit(), typing::Entry::SelectAll);
            typing::typeKeys(d.pagesEdit(), QString::fromLatin1(c.typed));
            EXPECT_EQ(d.pagesEdit()->text(), QString::fromLatin1(c.typed)) << "shown while typed";
            if (c.end == 1)
                d.SendCommand(1);
            else if (c.end == 2)
                QTest::keyClick(d.pagesEdit(), Qt::Key_Return);
            else if (c.end == 3)
                d.sidesList()->setCurrentRow(4);
            else
                typing::leave(d.pagesEdit());
            EXPECT_EQ(d.pagesEdit()->text(), QString::fromLatin1(c.pages));
            EXPECT_EQ(d.sheetsEdit()->text(), QString::fromLatin1(c.sheets));
            EXPECT_EQ(prompts().texts(), c.refused ? QStringList{c.message ? *c.message : refusal} : QStringList());
            // Refused on OK or Enter, the window stays open.
            EXPECT_EQ(d.result(), 0);
            return int(IDCANCEL_RESULT);
        });
        dialog.DoModal();
    }
}

TEST_F(SpecsWindowsTest, OddPagesAskForASecondPaperAndNoPrintHasNoPages)
{
    // A paper of a long name: the title reads whole, the buttons inside.
    native(QStringLiteral("UPDATE Services SET Name = 'Premium Silk Coated Two Sides Bright White', "
                          "Size = '12.5 x 19' WHERE SerNo = 10"));
    CSerSet &paper = service(10);
    CItemSet row = paperRow();
    CEditPaper dialog(row, paper, 100, nullptr);
    dialog.m_nQuantityUnit = 1;
    onDialog<CEditPaper>([&](CEditPaper &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Paper Specs for Offset Printing"));
        const QString title = d.topRibbon().GetItemText(30281);
        EXPECT_TRUE(title.endsWith(QStringLiteral("Premium Silk Coated Two Sides Bright White 12.5 x 19")));
        const QRect titleRect = d.topRibbon().itemRect(30281);
        EXPECT_GE(titleRect.width() - 3, QFontMetrics(Appearance::instance().GetFont(6)).horizontalAdvance(title));
        for (unsigned id : {1u, 2u})
            EXPECT_LE(GetDlgItem(&d, id)->geometry().right(), d.width()) << id;
        EXPECT_EQ(d.grid().rowLabel(CEditPaper::RowSheets), QStringLiteral("Sheets"));
        // Sheets are a count, read as the item window reads its originals:
        // "-5", or one past the largest count, is refused naming the row and
        // the count shown before stays.
        const qint64 shown = d.grid().GetRowValue(CEditPaper::RowSheets);
        for (const auto &[typed, refusal] :
             {std::pair{"-5", "Sheets: Please enter a number of 0 or more."},
              std::pair{"1,000,000,001", "Sheets: Please enter a quantity from 0 to 1,000,000,000."},
              std::pair{"3000000000", "Sheets: Please enter a quantity from 0 to 1,000,000,000."}}) {
            prompts().clear();
            prompts().answer(platform::IDOK);
            d.grid().EditRow(CEditPaper::RowSheets);
            d.grid().textEditor()->setText(QString::fromLatin1(typed));
            d.grid().EndEdit();
            EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(refusal)}) << typed;
            EXPECT_EQ(d.grid().GetRowValue(CEditPaper::RowSheets), shown) << typed;
        }
        prompts().clear();
        EXPECT_EQ(d.grid().rowLabel(CEditPaper::RowSizes), QStringLiteral("Sizes   (2 Out x 4 Up = 8)"));
        EXPECT_EQ(d.grid().rowLabel(CEditPaper::RowSides), QStringLiteral("Side"));
        snapshot(d, QStringLiteral("paper-specs"));
        // Black / Black, 7 pages: 4 sheets; Yes keeps 3 and asks for a second paper.
        onDialog<CDigital>([](CDigital &digital) {
            digital.sidesList()->setCurrentRow(2);
            digital.pagesEdit()->setText(QStringLiteral("7"));
            digital.Recalculate();
            EXPECT_EQ(digital.sheetsEdit()->text(), QStringLiteral("4"));
            snapshot(digital, QStringLiteral("digital-printing"));
            return press(digital, 1);
        });
        prompts().answer(platform::IDYES);
        d.SendCommand(30383);
        EXPECT_TRUE(wasShown(QStringLiteral("You entered an odd number of pages: 7.\nTherefore, you need two sets of paper:\n\n"
                                 "     3 sheets (6 pages) as two-sided printing and\n"
                                 "     1 sheet (1 page) as one-sided printing.\n\n"
                                 "Do you want the second paper to be added?\n"
                                 "If you click Yes, Tavrel will add the second paper.")));
        EXPECT_TRUE(d.m_bSecondPaper);
        EXPECT_EQ(d.item().m_Sheets, 3);
        EXPECT_EQ(d.item().m_Pages, 6);
        EXPECT_EQ(d.grid().rowLabel(CEditPaper::RowSides), QStringLiteral("Sides"));
        // "< no print >" in sides-only mode: both sides 0, no pages.
        onDialog<CDigital>([](CDigital &digital) {
            EXPECT_FALSE(digital.pagesEdit()->isEnabled());
            digital.sidesList()->setCurrentRow(0);
            return press(digital, 1);
        });
        d.SendCommand(30388);
        EXPECT_EQ(d.item().m_Side1, 0);
        EXPECT_EQ(d.item().m_Side2, 0);
        EXPECT_EQ(d.item().m_Pages, 0);
        return press(d, 1);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(row.m_Pages, 0);
    EXPECT_EQ(row.m_Sheets, 3);
}

TEST_F(SpecsWindowsTest, SizesFitTheParentAndBleedReminds)
{
    CSerSet &paper = service(10);
    CItemSet row = paperRow();
    int cutterCalls = 0;
    CEditPaper::SetCutterHook([&](CEditPaper &d, bool show) {
        EXPECT_FALSE(show);
        ++cutterCalls;
        d.m_nCutsToFinish = 3;
        return true;
    });
    CEditPaper dialog(row, paper, 100, nullptr);
    onDialog<CEditPaper>([&](CEditPaper &d) {
        // A run size larger than the parent comes back to the parent, 1 out.
        d.grid().SetRowText(CEditPaper::RowRun, QStringLiteral("12 x 18"));
        d.OnRowChanged(CEditPaper::RowRun);
        EXPECT_EQ(d.item().m_strRunSize, QStringLiteral("8.5 x 11"));
        EXPECT_EQ(d.item().m_Out, 1);
        EXPECT_TRUE(d.m_bSizesChanged);
        EXPECT_EQ(d.m_nCutsToFinish, 3);
        // A finish size larger than the run comes back to the run, 1 up.
        d.grid().SetRowText(CEditPaper::RowFinish, QStringLiteral("11 x 17"));
        d.OnRowChanged(CEditPaper::RowFinish);
        EXPECT_EQ(d.item().m_strFinishSize, QStringLiteral("8.5 x 11"));
        EXPECT_EQ(d.item().m_Up, 1);
        EXPECT_EQ(d.grid().rowLabel(CEditPaper::RowSizes), QStringLiteral("Sizes"));
        // Bleed with nothing to trim reminds.
        prompts().answer(platform::IDOK);
        d.grid().SetRowValue(CEditPaper::RowBleed, 1);
        d.OnRowChanged(CEditPaper::RowBleed);
        EXPECT_EQ(prompts().shown().last().text,
                  QStringLiteral("REMINDER: Make sure the Paper Run Size and the number of finishing cuts are "
                                 "accurate to handle the bleed."));
        // Back the same as front.
        prompts().answer(platform::IDYES);
        d.SendCommand(30110);
        EXPECT_EQ(d.item().m_Side2, 1);
        return press(d, 2);
    });
    dialog.DoModal();
    EXPECT_EQ(cutterCalls, 2);
    CEditPaper::SetCutterHook({});

    // A paper without a size of its own takes the run size as the parent.
    native(QStringLiteral("UPDATE Services SET Size = '' WHERE SerNo = 12"));
    CSerSet &loose = service(12);
    CItemSet looseRow = paperRow();
    looseRow.m_SerNo = 12;
    CEditPaper second(looseRow, loose, 0, nullptr);
    onDialog<CEditPaper>([&](CEditPaper &d) {
        d.grid().SetRowText(CEditPaper::RowRun, QStringLiteral("6 x 9"));
        d.OnRowChanged(CEditPaper::RowRun);
        EXPECT_EQ(d.item().m_strPaperSize, QStringLiteral("6 x 9"));
        return press(d, 1);
    });
    second.DoModal();
}

TEST_F(SpecsWindowsTest, ReplaceListsBothConsequencesAndHandsTheNewPaperBack)
{
    CSerSet &paper = service(10);
    CItemSet row = paperRow();
    CEditPaper dialog(row, paper, 100, nullptr);
    onDialog<CEditPaper>([&](CEditPaper &d) {
        // No: the paper stays and the window too.
        onDialog<CSerList>([](CSerList &picker) {
            picker.SetTicked(10, false);
            picker.SetTicked(11, true);
            return press(picker, 1);
        });
        prompts().answer(platform::IDNO);
        d.SendCommand(30522);

        EXPECT_TRUE(wasShown(QStringLiteral("Do you want to replace this paper with \nBond: 24# Bond?\n\nIf you click Yes:\n"
                                 "- Parent Size will change from 8.5 x 11 to 11 x 17\n- Run and Finish Sizes, #Outs, "
                                 "#Cuts will be recalculated.\n- Vendor will change.")));
        EXPECT_EQ(d.paper().m_SerNo, 10);
        // Same size and vendor: no list; Yes ends the window.
        onDialog<CSerList>([](CSerList &picker) {
            picker.SetTicked(10, false);
            picker.SetTicked(12, true);
            return press(picker, 1);
        });
        native(QStringLiteral("UPDATE Services SET VendorNo = 1 WHERE SerNo = 12"));
        prompts().answer(platform::IDYES);
        d.SendCommand(30522);
        return d.result();
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_TRUE(wasShown(QStringLiteral("Do you want to replace this paper with \nBond: 20# Bond Pink?")));
    EXPECT_EQ(dialog.paper().m_SerNo, 12);
    EXPECT_EQ(row.m_SerNo, 10); // the caller takes the new number
}

} // namespace
