// The new-item dialog: where it opens, which jobs each source lists, how
// ticking a job ticks its items, what OK hands back, and the booklet
// dialog's sheets, flat size and refusals.
#include "support/ShopTest.h"
#include "support/TypeInto.h"

#include "app/base/DialogControls.h"
#include "app/base/QuantityText.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "estimating/CBooklet.h"
#include "estimating/CItemNew.h"
#include "platform/db/Recordset.h"
#include "views/CDlgData.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtTest/QTest>

namespace {

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

void snapshot(QWidget &w, const char *name)
{
    QApplication::processEvents();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
    QDir().mkpath(folder);
    EXPECT_TRUE(w.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name), "PNG"));
}

class ItemNew : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, ParentNo) VALUES (60, 'Parent Co', 0, 0)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, ParentNo) VALUES (50, 'Branch Co', 0, 60)"));
        exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, ParentNo) VALUES (70, 'Other Co', 0, 0)"));
        exec(QStringLiteral("DELETE FROM ProductTypes"));
        exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (1, 'Business Cards', 1, 500, 1)"));
        exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (2, 'Letterheads', 2, 1000, 5)"));
        exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (3, '~Retired', 3, 0, 0)"));
        // Templates of each customer, one order of the branch, one quote.
        job(1001, 2, 0, 50, {{"Branch Card", 1}, {"Branch Letterhead", 2}});
        job(1002, 2, 1, 60, {{"Parent Card", 1}});
        job(1003, 2, 2, 31, {{"Walk-in Card", 1}});
        job(1004, 2, 0, 70, {{"Other Card", 1}});
        job(1005, 0, 0, 50, {{"Branch Order Card", 1}, {"Branch Order Letterhead", 2}});
        job(1006, 1, 0, 50, {{"Retired Thing", 3}});
    }

    qint32 job(qint32 jobNo, int type, int status, qint32 cusNo, std::initializer_list<std::pair<const char *, int>> items)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, Title, DateIn) VALUES (%1, %2, %3, %4, "
                            "'Job %2', #6/1/2024#)")
                 .arg(type)
                 .arg(jobNo)
                 .arg(status)
                 .arg(cusNo));
        const qint32 jobId = sqlite(QStringLiteral("SELECT max(JobID) FROM Jobs")).toInt();
        int itemNo = 0;
        for (const auto &[description, product] : items) {
            ++itemNo;
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Side1, Price, "
                                "Sheets, Status) VALUES (%1, 0, %2, 0, '%3', %4, %5, %6, 1, 1)")
                     .arg(jobId)
                     .arg(itemNo)
                     .arg(QString::fromLatin1(description))
                     .arg(250 * itemNo)
                     .arg(product)
                     .arg(12.5 * itemNo));
            // A service row that no listing shows.
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Sheets, Status, Side1) "
                                "VALUES (%1, 101, %2, 0, 'Paper', 1, 1, %3)")
                     .arg(jobId)
                     .arg(itemNo)
                     .arg(product));
        }
        return jobId;
    }

    // Selects a source as a click on the tree does and lists it.
    static void choose(CItemNew &d, int source)
    {
        d.tree().SelectAndShow(d.tree().FindItemByData(quint32(source)));
        QApplication::processEvents();
    }
    static QStringList column(CItemNew &d, int col)
    {
        QStringList texts;
        for (int row = 0; row < d.list().GetItemCount(); ++row)
            texts << d.list().GetItemText(row, col);
        return texts;
    }

    // Runs the dialog for customer 50; the handler acts and answers.
    int run(const std::function<int(CItemNew &)> &act, qint32 cusNo = 50, CItemNew **out = nullptr)
    {
        CItemNew d(cusNo, nullptr);
        d.m_nProductType = 2;
        onDialog<CItemNew>(act);
        const int result = d.DoModal();
        m_source = d.m_nSource;
        m_product = d.m_nProductType;
        m_chosen = d.m_chosenItems;
        Q_UNUSED(out);
        return result;
    }
    qint32 itemId(const char *description)
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT ItemID FROM Items WHERE SerNo = 0 and Description = '%1'")
                    .arg(QString::fromLatin1(description)));
        return rs.isEOF() ? 0 : rs.value(0).toInt();
    }

    int m_source = 0;
    int m_product = 0;
    std::vector<qint32> m_chosen;
};

TEST_F(ItemNew, OpensOnTheStoredSourceClampedToTheTree)
{
    const struct
    {
        int stored;
        int source;
        const char *selected;
        const char *hint;
    } cases[] = {
        {22, 21, "New Item", "Select a Product Type and click OK"},
        {40, 31, "Web (Pell) Template", "Click [+] icon to list Items"},
        {26, 26, "Templates", "Click [+] icon to list Items"},
    };
    for (const auto &c : cases) {
        app->WriteSettingInt(QStringLiteral("NewItem-From"), c.stored);
        run([&](CItemNew &d) {
            EXPECT_EQ(d.tree().GetSelectedText(), QString::fromLatin1(c.selected)) << c.stored;
            EXPECT_EQ(d.hint(), QString::fromLatin1(c.hint)) << c.stored;
            return 2;
        });
        EXPECT_EQ(m_source, c.source);
    }
}

TEST_F(ItemNew, ProductTypesHideRetiredNamesAndShowTheUnit)
{
    app->WriteSettingInt(QStringLiteral("NewItem-From"), 21);
    run([&](CItemNew &d) {
        EXPECT_EQ(column(d, 0), (QStringList{QStringLiteral("Business Cards"), QStringLiteral("Letterheads")}));
        EXPECT_EQ(column(d, 2), (QStringList{GetQuantityUnitName(1), GetQuantityUnitName(5)}));
        // The preset product type is the chosen row.
        EXPECT_EQ(d.list().GetSubItemImage(1, 0), CItemNew::ProductRowChosen);
        EXPECT_EQ(d.list().GetSubItemImage(0, 0), CItemNew::ProductRow);
        snapshot(d, "item-new-product-types.png");
        d.SendCommand(1);
        return d.result();
    });
    // OK without a click hands back the preset product type.
    EXPECT_EQ(m_source, 21);
    EXPECT_EQ(m_product, 2);
    EXPECT_TRUE(m_chosen.empty());
}

TEST_F(ItemNew, EachSourceListsItsJobs)
{
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByJobNumber);
    struct Case
    {
        qint32 cusNo;
        int source;
        QStringList jobs;
    };
    const Case cases[] = {
        // The customer's own templates only.
        {50, CItemNew::CustomerTemplates, {QStringLiteral("1001")}},
        {50, CItemNew::CustomerOrders, {QStringLiteral("1005")}},
        {50, CItemNew::CustomerQuotes, {QStringLiteral("1006")}},
        {50, CItemNew::CustomerHistory, {}},
        // The shop's templates: the customer's, its parent's and the walk-in customer's.
        {50, CItemNew::AllTemplates, {QStringLiteral("1003"), QStringLiteral("1002"), QStringLiteral("1001")}},
        {50, CItemNew::OffsetTemplates, {QStringLiteral("1001")}},
        {50, CItemNew::DigitalTemplates, {QStringLiteral("1002")}},
        {50, CItemNew::WebTemplates, {QStringLiteral("1003")}},
        // A customer without a parent, and the walk-in customer itself.
        {70, CItemNew::AllTemplates, {QStringLiteral("1004"), QStringLiteral("1003")}},
        {31, CItemNew::AllTemplates, {QStringLiteral("1003")}},
    };
    for (const Case &c : cases) {
        run(
            [&](CItemNew &d) {
                choose(d, c.source);
                EXPECT_EQ(column(d, 0), c.jobs) << c.cusNo << " source " << c.source;
                EXPECT_EQ(d.hint(), c.jobs.isEmpty() ? QStringLiteral("None found")
                                                     : QStringLiteral("Click [+] icon to list Items"))
                    << c.source;
                return 2;
            },
            c.cusNo);
    }
}

TEST_F(ItemNew, TickingAJobTicksItsListedItems)
{
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::AllTemplates);
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByJobNumber);
    run([&](CItemNew &d) {
        EXPECT_EQ(column(d, 0), (QStringList{QStringLiteral("1003"), QStringLiteral("1002"), QStringLiteral("1001")}));
        // Job 1001 opened: its two items under it, then one empty row.
        d.OnListClick(2, 0);
        EXPECT_EQ(d.list().GetSubItemImage(2, 0), CItemNew::GroupOpen);
        EXPECT_EQ(d.hint(), QStringLiteral("Select Items (click check boxes) and click OK"));
        EXPECT_EQ(d.list().GetItemCount(), 6);
        EXPECT_EQ(d.list().GetItemText(3, 2), QStringLiteral("1.0 Branch Card"));
        EXPECT_EQ(d.list().GetItemText(4, 2), QStringLiteral("2.0 Branch Letterhead"));
        EXPECT_EQ(d.list().GetItemText(4, 3), QStringLiteral("500"));
        EXPECT_EQ(d.list().GetItemText(5, 2), QString());
        EXPECT_EQ(d.list().GetItemText(3, d.viewColumn()), QStringLiteral("Item"));
        // The job's box ticks both.
        d.OnListClick(2, 1);
        EXPECT_EQ(d.list().GetSubItemImage(3, 2), CItemNew::CheckTicked);
        EXPECT_EQ(d.list().GetSubItemImage(4, 2), CItemNew::CheckTicked);
        // One cleared again by its own box.
        d.OnListClick(4, 2);
        EXPECT_EQ(d.list().GetSubItemImage(4, 2), CItemNew::CheckClear);
        snapshot(d, "item-new-by-job.png");
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(m_chosen, (std::vector<qint32>{itemId("Branch Card")}));
}

TEST_F(ItemNew, ItemsOfUnopenedJobsCannotBeChosen)
{
    prompts().answer(IDOK);
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::AllTemplates);
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByJobNumber);
    run([&](CItemNew &d) {
        d.OnListClick(0, 1); // no box on a closed job
        d.SendCommand(1);
        EXPECT_TRUE(d.isVisible());
        // Opened and closed again: nothing stays behind.
        d.OnListClick(0, 0);
        EXPECT_EQ(d.list().GetItemCount(), 5);
        d.OnListClick(0, 0);
        EXPECT_EQ(d.list().GetItemCount(), 3);
        EXPECT_EQ(d.list().GetSubItemImage(0, 1), CXListCtrl::kNoImage);
        return 2;
    });
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Please select one or more Items.")}));
}

TEST_F(ItemNew, ByProductListsItemsOfAProductWithoutViewMarksOnProducts)
{
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::AllTemplates);
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByProduct);
    run([&](CItemNew &d) {
        EXPECT_EQ(column(d, 0), (QStringList{QStringLiteral("Business Cards"), QStringLiteral("Letterheads")}));
        // A product row opens no job: it has no "View" mark.
        EXPECT_GE(d.viewColumn(), 0);
        EXPECT_NE(d.list().GetSubItemImage(0, d.viewColumn()), CItemNew::ViewMark);
        d.OnListClick(0, 0);
        // Business cards of the three customers' templates, newest job first.
        EXPECT_EQ(d.list().GetItemCount(), 2 + 3 + 1);
        EXPECT_EQ(d.list().GetItemText(1, 1), QStringLiteral("Walk-in Card"));
        EXPECT_EQ(d.list().GetItemText(2, 1), QStringLiteral("Parent Card"));
        EXPECT_EQ(d.list().GetItemText(3, 1), QStringLiteral("Branch Card"));
        EXPECT_EQ(d.list().GetItemText(3, 3), QStringLiteral("12.50"));
        EXPECT_EQ(d.list().GetItemText(3, 4), QStringLiteral("1001-1.0"));
        EXPECT_EQ(d.list().GetItemText(3, 5), QStringLiteral("06/01/2024"));
        EXPECT_EQ(d.list().GetSubItemImage(3, d.viewColumn()), CItemNew::ViewMark);
        d.OnListClick(1, 1);
        d.OnListClick(3, 1);
        snapshot(d, "item-new-by-product.png");
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(m_chosen, (std::vector<qint32>{itemId("Walk-in Card"), itemId("Branch Card")}));
}

TEST_F(ItemNew, ByDescriptionDoubleClickTogglesThenOk)
{
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::CustomerOrders);
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByDescription);
    prompts().answer(IDOK);
    run([&](CItemNew &d) {
        EXPECT_EQ(d.hint(), QStringLiteral("Check the Items you want to add and click OK"));
        EXPECT_EQ(column(d, 0),
                  (QStringList{QStringLiteral("Branch Order Card"), QStringLiteral("Branch Order Letterhead")}));
        snapshot(d, "item-new-by-description.png");
        // Ticked by a click, then cleared by the double-click, whose OK finds nothing.
        d.OnListClick(0, 0);
        EXPECT_EQ(d.list().GetSubItemImage(0, 0), CItemNew::CheckTicked);
        d.OnListDoubleClick(0, 0);
        EXPECT_EQ(d.list().GetSubItemImage(0, 0), CItemNew::CheckClear);
        QTest::qWait(250);
        EXPECT_TRUE(d.isVisible());
        // A double-click on a clear row ticks it and ends the dialog.
        d.OnListDoubleClick(1, 0);
        QTest::qWait(250);
        return d.result();
    });
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Please select one or more Items.")}));
    EXPECT_EQ(m_chosen, (std::vector<qint32>{itemId("Branch Order Letterhead")}));
}

TEST_F(ItemNew, OptionsKeepTheSelectionsForThisComputer)
{
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::CustomerOrders);
    prompts().answer(IDYES);
    prompts().answer(IDYES);
    run([&](CItemNew &d) {
        d.SendCommand(CItemNew::ByDescription);
        QApplication::processEvents();
        d.SendCommand(30540);
        choose(d, CItemNew::BookletItems);
        d.list().SelectItem(0); // Business Cards
        QApplication::processEvents();
        d.SendCommand(30540);
        return 2;
    });
    EXPECT_EQ(prompts().texts().value(0),
              QStringLiteral("New Item Option (for this computer)\n\nDo you want to set current selections as default?"));
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("NewItem-ListBy"), 0), int(CItemNew::ByDescription));
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("NewItem-From"), 0), int(CItemNew::BookletItems));
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("NewItem-Product"), 0), 1);
}

TEST_F(ItemNew, FindWithoutTheFindDialogSaysSoAndListsNothing)
{
    prompts().answer(IDOK);
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::CustomerOrders);
    run([&](CItemNew &d) {
        const int before = d.list().GetItemCount();
        choose(d, CItemNew::FindItems);
        EXPECT_EQ(d.list().GetItemCount(), before);
        return 2;
    });
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Finding items is not yet available in this version of Tavrel.")}));
}

TEST_F(ItemNew, FindAddsItsConditionToTheNextListing)
{
    CItemNew::FindRequest seen;
    CItemNew::SetFindHook([&](CItemNew::FindRequest &request, QWidget *) {
        seen = request;
        request.jobType = 0;
        request.fieldChoice[0] = 4;
        request.where = QStringLiteral("Items.Description Like '*Letterhead*'");
        return true;
    });
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::CustomerOrders);
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByDescription);
    run([&](CItemNew &d) {
        choose(d, CItemNew::FindItems);
        EXPECT_EQ(column(d, 0), (QStringList{QStringLiteral("Branch Order Letterhead")}));
        return 2;
    });
    CItemNew::SetFindHook({});
    EXPECT_EQ(seen.jobType, 3);
    EXPECT_FALSE(seen.jobTypeFixed);
}

// --- booklet ---------------------------------------------------------------------

class Booklet : public ShopTest
{
};

TEST_F(Booklet, SheetsFromPages)
{
    const struct
    {
        int type;
        int pages;
        int pagesAfter;
        int sheets;
    } cases[] = {{CBooklet::FoldedBooklet, 10, 10, 3}, {CBooklet::FlatBook, 10, 10, 5},
                 {CBooklet::FoldedBooklet, 2, 4, 1},   {CBooklet::FlatBook, 0, 2, 1},
                 {CBooklet::FoldedBooklet, 16, 16, 4}, {CBooklet::FlatBook, 17, 17, 9}};
    for (const auto &c : cases) {
        CBooklet b(nullptr);
        b.m_nDocumentType = c.type;
        b.m_nPages = c.pages;
        b.CalcSheets();
        EXPECT_EQ(b.m_nPages, c.pagesAfter) << c.type << " " << c.pages;
        EXPECT_EQ(b.m_nSheets, c.sheets) << c.type << " " << c.pages;
    }
    EXPECT_EQ(CBooklet::FlatSizeOf(QStringLiteral("6 x 9"), CBooklet::FoldedBooklet), QStringLiteral("9 x 12"));
    EXPECT_EQ(CBooklet::FlatSizeOf(QStringLiteral("8.5 x 11"), CBooklet::FoldedBooklet), QStringLiteral("11 x 17"));
    EXPECT_EQ(CBooklet::FlatSizeOf(QStringLiteral("8.5 x 11"), CBooklet::FlatBook), QStringLiteral("8.5 x 11"));
}

// The counts are read as every typed count is: the largest is taken, one
// past it (once taken, or read as 0 past 32 bits) is refused naming the field.
TEST_F(Booklet, CountsReadAsQuantities)
{
    const QString past = QStringLiteral("#Books: Please enter a quantity from 0 to 1,000,000,000.");
    const struct
    {
        const char *typed;
        int books;
        const QString *refusal;
    } cases[] = {{"1,000,000,000", 1000000000, nullptr},
                 {"1e3", 1000, nullptr},
                 {"1,000,000,001", 10, &past},
                 {"3000000000", 10, &past}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        prompts().clear();
        CBooklet b(nullptr);
        b.m_strTitle = QStringLiteral("Menu");
        b.m_nBooks = 10;
        prompts().answer(c.refusal ? IDOK : IDYES);
        onDialog<CBooklet>([&](CBooklet &d) {
            auto *books = qobject_cast<QLineEdit *>(GetDlgItem(&d, 1302));
            typing::enter(books, typing::Entry::SelectAll);
            typing::typeKeys(books, QString::fromLatin1(c.typed));
            d.SendCommand(1);
            if (c.refusal) {
                EXPECT_TRUE(d.isVisible());
                EXPECT_EQ(books->text(), QStringLiteral("10"));
                d.SendCommand(2);
            }
            return d.result();
        });
        EXPECT_EQ(b.DoModal(), c.refusal ? IDCANCEL_RESULT : IDOK_RESULT);
        EXPECT_EQ(b.m_nBooks, c.books);
        EXPECT_EQ(prompts().texts(), QStringList{c.refusal ? *c.refusal : QStringLiteral("Create 1 Item?")});
    }
    // "#Pages" works the sheets out when it is left (a flat book, 2 pages a
    // sheet), from a count that reads; one that does not is refused naming
    // the field and the 24 pages come back, never the least book of 2.
    const QString pagesPast = QStringLiteral("#Pages: Please enter a quantity from 0 to 1,000,000,000.");
    const struct
    {
        const char *typed;
        const char *pages;
        const char *sheets;
        const QString *refusal;
    } pages[] = {{"40", "40", "20", nullptr},
                 {"1e3", "1000", "500", nullptr},
                 {"3000000000", "24", "12", &pagesPast},
                 {"1,000,000,001", "24", "12", &pagesPast}};
    for (const auto &c : pages) {
        SCOPED_TRACE(c.typed);
        prompts().clear();
        CBooklet b(nullptr);
        b.m_strTitle = QStringLiteral("Menu");
        b.m_nBooks = 10;
        onDialog<CBooklet>([&](CBooklet &d) {
            auto *pagesEdit = qobject_cast<QLineEdit *>(GetDlgItem(&d, 1303));
            auto *sheetsEdit = qobject_cast<QLineEdit *>(GetDlgItem(&d, 1304));
            typing::enter(pagesEdit, typing::Entry::SelectAll);
            typing::typeAndLeave(pagesEdit, QStringLiteral("24"));
            EXPECT_EQ(sheetsEdit->text(), QStringLiteral("12"));
            if (c.refusal)
                prompts().answer(IDOK);
            typing::enter(pagesEdit, typing::Entry::SelectAll);
            typing::typeAndLeave(pagesEdit, QString::fromLatin1(c.typed));
            EXPECT_EQ(pagesEdit->text(), QString::fromLatin1(c.pages));
            EXPECT_EQ(sheetsEdit->text(), QString::fromLatin1(c.sheets));
            EXPECT_EQ(prompts().texts(), c.refusal ? QStringList{*c.refusal} : QStringList());
            d.SendCommand(2);
            return d.result();
        });
        b.DoModal();
    }
}

TEST_F(Booklet, OtherSizeFoldedAndConfirmed)
{
    int sizeAsked = 0;
    CBooklet b(nullptr);
    b.m_strTitle = QStringLiteral("Newsletter");
    b.m_nBooks = 250;
    prompts().answer(IDNO);
    prompts().answer(IDYES);
    onDialog<CBooklet>([&](CBooklet &d) {
        EXPECT_EQ(d.m_strPagesLabel, QStringLiteral("Total Pages (including self-cover)"));
        d.OnChoice(CBooklet::FoldedBooklet);
        d.OnChoice(23);
        EXPECT_EQ(d.m_strPagesLabel, QStringLiteral("Inside Pages (excluding cover)"));
        // A click on "Other..." asks for the size once.
        QTreeWidgetItem *other = d.optionsTree().FindOption(CBooklet::SizeOther);
        const QRect place = d.optionsTree().visualItemRect(other);
        QTest::mouseClick(d.optionsTree().viewport(), Qt::LeftButton, {}, place.center());
        QApplication::processEvents();
        EXPECT_EQ(sizeAsked, 1);
        EXPECT_EQ(other->text(0), QStringLiteral("6 x 9"));
        d.m_nPages = 10;
        d.CalcSheets();
        snapshot(d, "booklet.png");
        d.SendCommand(1); // No: stays
        EXPECT_TRUE(d.isVisible());
        d.SendCommand(1);
        return d.result();
    });
    onDialog<CDlgData>([&sizeAsked](CDlgData &data) {
        ++sizeAsked;
        data.edit()->setText(QStringLiteral("6 x 9"));
        data.SendCommand(1);
        return data.result();
    });
    ASSERT_EQ(b.DoModal(), IDOK_RESULT);
    EXPECT_EQ(b.m_nItemCount, 3);
    EXPECT_EQ(b.m_nSheets, 3);
    EXPECT_EQ(b.m_strPageSize, QStringLiteral("6 x 9"));
    EXPECT_EQ(b.m_strFlatSize, QStringLiteral("9 x 12"));
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Create 3 Items?"), QStringLiteral("Create 3 Items?")}));
}

TEST_F(Booklet, MissingFieldsAreListedTogether)
{
    CBooklet b(nullptr);
    prompts().answer(IDOK);
    prompts().answer(IDYES);
    onDialog<CBooklet>([&](CBooklet &d) {
        d.OnChoice(CBooklet::SizeOther);
        d.SendCommand(1);
        // Completed: one item, no "s".
        d.m_strTitle = QStringLiteral("Menu");
        d.m_nBooks = 10;
        d.OnChoice(CBooklet::Size55x85);
        d.CalcSheets(); // shows the members in the controls
        d.SendCommand(1);
        return d.result();
    });
    onDialog<CDlgData>([](CDlgData &data) {
        data.edit()->setText(QStringLiteral("x"));
        data.SendCommand(1);
        return data.result();
    });
    EXPECT_EQ(b.DoModal(), IDOK_RESULT);
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Please complete:\n\n--> Title\n--> Quantity\n--> Page Size"),
                           QStringLiteral("Create 1 Item?")}));
}

} // namespace
