#include "CatalogueFixture.h"

#include "app/base/Appearance.h"
#include "catalogue/CSerDlg.h"
#include "controls/CXRibbon.h"
#include "catalogue/CSerDlgMore.h"
#include "catalogue/CSerList.h"
#include "controls/CXEdit.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CSerSet.h"
#include "platform/Settings.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"

#include <QtGui/QFontMetrics>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <sqlite3.h>

namespace {

class ServiceDialogTest : public CatalogueTest
{
protected:
    // Runs the dialog on a new service of the category; the handler drives it.
    void runNew(qint32 catNo, std::function<int(CSerDlg &)> handler)
    {
        CSerSet set;
        ASSERT_TRUE(set.SafeAddNew());
        set.ResetFields(catNo);
        CSerDlg dialog(set, nullptr, nullptr);
        onDialog<CSerDlg>(std::move(handler));
        dialog.DoModal();
    }
    // Runs the dialog on a stored service as the list's Open does.
    void runStored(qint32 serNo, int openMode, std::function<int(CSerDlg &)> handler)
    {
        CSerSet set;
        set.m_strFilter = QStringLiteral("Services.SerNo = %1").arg(serNo);
        ASSERT_TRUE(set.RequeryOrOpen(false));
        CSerDlg dialog(set, nullptr, nullptr);
        dialog.m_nOpenMode = openMode;
        onDialog<CSerDlg>(std::move(handler));
        dialog.DoModal();
    }
    static void type(CSerDlg &d, unsigned id, const QString &text)
    {
        d.edit(id)->setText(text);
        d.UpdateLayout();
    }
};

TEST_F(ServiceDialogTest, NewServicesAreSavedWithTheirCategoryDefaults)
{
    struct Case
    {
        qint32 catNo;
        const char *row; // QtyBy|WasteBy|CostBy|PriceBy|Unit
    };
    const Case cases[] = {
        {101, "4|1|2|2|2"}, {201, "8|0|3|2|1"}, {301, "8|0|3|2|1"}, {6, "9|0|2|2|1"}, {401, "1|0|2|2|1"},
    };
    qint32 serNo = 194;
    for (const Case &c : cases) {
        app->ServicesChanged = 0;
        runNew(c.catNo, [&](CSerDlg &d) {
            EXPECT_EQ(d.edit(CSerDlg::IDC_NAME)->text(), QStringLiteral("< new >"));
            d.edit(CSerDlg::IDC_NAME)->setText(QStringLiteral("New %1").arg(c.catNo));
            return press(d, 30443);
        });
        EXPECT_EQ(sqlite(QStringLiteral("SELECT CatNo, Name, QtyBy, WasteBy, CostBy, PriceBy, Unit FROM Services "
                                        "WHERE SerNo = %1")
                             .arg(serNo)),
                  QStringLiteral("%1|New %1|").arg(c.catNo) + QString::fromLatin1(c.row));
        EXPECT_EQ(app->ServicesChanged, 1);
        ++serNo;
    }
}

TEST_F(ServiceDialogTest, TheFieldsShownFollowTheCategoryAndMethods)
{
    runStored(10, 30103, [&](CSerDlg &d) {
        EXPECT_TRUE(d.isEditable());
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Service No: 10  -  Category No: 101  -  Category Name: Bond  -  "
                                                  "Category Type: Paper"));
        EXPECT_TRUE(d.control(CSerDlg::IDC_SIZE)->isVisibleTo(&d));
        EXPECT_FALSE(d.control(CSerDlg::IDC_COLORS)->isVisibleTo(&d));
        EXPECT_FALSE(d.control(CSerDlg::IDC_QTYBY)->isEnabled()); // paper counts parent sheets
        EXPECT_EQ(d.combo(CSerDlg::IDC_QTYBY)->currentData().toInt(), 4);
        snapshot(d, QStringLiteral("service-paper"));
        // No cost clears the price; a price method brings material cost back.
        d.ChooseListEntry(CSerDlg::IDC_COSTBY, 0);
        EXPECT_EQ(d.combo(CSerDlg::IDC_PRICEBY)->currentData().toInt(), 0);
        EXPECT_FALSE(d.control(CSerDlg::IDC_MARKUP)->isVisibleTo(&d));
        d.ChooseListEntry(CSerDlg::IDC_PRICEBY, 2);
        EXPECT_EQ(d.combo(CSerDlg::IDC_COSTBY)->currentData().toInt(), 2);
        EXPECT_TRUE(d.control(CSerDlg::IDC_MARKUP2)->isVisibleTo(&d));
        EXPECT_TRUE(d.isModified());
        prompts().answer(platform::IDNO);
        return press(d, 2);
    });
}

TEST_F(ServiceDialogTest, TheTimeBoxShowsItsLongestChoiceWhole)
{
    native(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SerStatus, RunCost1, RunCost2, QtyBy) "
                          "VALUES (50, 301, 1, 'Color Copier', '', 0, 0, 0, 8)"));
    for (qint32 serNo : {10, 20, 50}) {
        runStored(serNo, 30103, [&](CSerDlg &d) {
            QComboBox *box = d.combo(CSerDlg::IDC_TIMEBY);
            EXPECT_TRUE(box->isVisibleTo(&d));
            QStyleOptionComboBox option;
            option.initFrom(box);
            option.editable = box->isEditable();
            const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, box);
            for (int i = 0; i < box->count(); ++i)
                EXPECT_LE(box->fontMetrics().horizontalAdvance(box->itemText(i)), field.width())
                    << serNo << " " << box->itemText(i).toStdString();
            EXPECT_LE(box->geometry().right(), d.width());
            if (serNo == 50)
                prompts().answer(platform::IDNO); // the new row's empty fields read as changes
            return press(d, 2);
        });
    }
}

TEST_F(ServiceDialogTest, PressShowsColorsAndPlatesAndPreviewIsReadOnly)
{
    runStored(20, 30103, [&](CSerDlg &d) {
        EXPECT_TRUE(d.control(CSerDlg::IDC_COLORS)->isVisibleTo(&d));
        EXPECT_TRUE(d.control(CSerDlg::IDC_DEFPLATE)->isVisibleTo(&d));
        EXPECT_EQ(d.combo(CSerDlg::IDC_DEFPLATE)->findText(QStringLiteral("Metal Plate")), 1);
        EXPECT_FALSE(d.control(CSerDlg::IDC_SIZE)->isVisibleTo(&d));
        snapshot(d, QStringLiteral("service-press"));
        return press(d, 2);
    });
    runStored(20, 1, [&](CSerDlg &d) {
        EXPECT_FALSE(d.isEditable());
        EXPECT_FALSE(d.edit(CSerDlg::IDC_NAME)->isEnabled());
        EXPECT_EQ(d.commandRibbon().FindItem(30213), -1); // no Save in a preview
        return press(d, 2);
    });
}

TEST_F(ServiceDialogTest, LiftExceptionIsHighlightedUntilTheQuantityNameStartsWithASlash)
{
    runStored(41, 30103, [&](CSerDlg &d) {
        d.ChooseListEntry(CSerDlg::IDC_COSTBY, 1); // its time is costed
        d.ChooseListEntry(CSerDlg::IDC_QTYBY, 1);
        type(d, CSerDlg::IDC_DIVIDE, QStringLiteral("500"));
        EXPECT_TRUE(d.liftHighlight());
        EXPECT_EQ(qobject_cast<QPushButton *>(d.control(CSerDlg::CAP_DIVIDE))->text(),
                  QStringLiteral("  * Divide by..."));
        type(d, CSerDlg::IDC_ASK, QStringLiteral("/"));
        EXPECT_FALSE(d.liftHighlight());
        EXPECT_EQ(qobject_cast<QPushButton *>(d.control(CSerDlg::CAP_DIVIDE))->text(), QStringLiteral("Divide by..."));
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT QtyBy, Divide, AskHowMany FROM Services WHERE SerNo = 41")),
              QStringLiteral("1|500|/"));
}

// Each text of the service window and of More Properties holds to its
// column: typing stops at the column's size, and the row keeps what the
// field shows (Parent Size was kept as its first 20 characters, the names
// and the reminder as their first 50, the SKU as its first 16, while the
// fields showed them whole).
struct HeldText
{
    unsigned id;
    const char *column;
    int size;
};

TEST_F(ServiceDialogTest, EveryTextFieldHoldsToItsColumnAndIsStoredAsShown)
{
    const HeldText texts[] = {{CSerDlg::IDC_NAME, "Name", 50},         {CSerDlg::IDC_NAME2, "Name2", 50},
                              {CSerDlg::IDC_REMIND, "SerRemind", 50},  {CSerDlg::IDC_DEFNOTE, "DefNote", 50},
                              {CSerDlg::IDC_SIZE, "Size", 20},         {CSerDlg::IDC_ASK, "AskHowMany", 16}};
    QStringList shown;
    runStored(10, 30103, [&](CSerDlg &d) {
        for (const HeldText &t : texts) {
            d.edit(t.id)->clear();
            d.edit(t.id)->setFocus();
            QTest::keyClicks(d.edit(t.id), QString(t.size + 5, QLatin1Char('k')));
            EXPECT_EQ(d.edit(t.id)->text().size(), t.size) << t.column;
            shown << d.edit(t.id)->text();
        }
        d.UpdateLayout();
        return press(d, 30443);
    });
    QStringList columns;
    for (const HeldText &t : texts)
        columns << QString::fromLatin1(t.column);
    const QString read =
        QStringLiteral("SELECT %1 FROM Services WHERE SerNo = 10").arg(columns.join(QStringLiteral(", ")));
    EXPECT_EQ(sqlite(read), shown.join(QLatin1Char('|')));

    CSerSet set;
    set.m_strFilter = QStringLiteral("SerNo = 20");
    ASSERT_TRUE(set.RequeryOrOpen(true));
    CSerDlgMore more(set, nullptr);
    onDialog<CSerDlgMore>([&](CSerDlgMore &d) {
        for (unsigned id : {CSerDlgMore::IDC_SKU, CSerDlgMore::IDC_UPC, CSerDlgMore::IDC_FSC}) {
            d.edit(id)->clear();
            d.edit(id)->setFocus();
            QTest::keyClicks(d.edit(id), QStringLiteral("SKU-0123456789-ABCDEF"));
            EXPECT_EQ(d.edit(id)->text(), QStringLiteral("SKU-0123456789-A")) << id;
        }
        return press(d, 1);
    });
    EXPECT_EQ(more.DoModal(), 1);
    EXPECT_EQ(set.m_SKU, QStringLiteral("SKU-0123456789-A"));
    ASSERT_TRUE(set.SaveRecord(0));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SKU, UPC, FSC FROM Services WHERE SerNo = 20")),
              QStringLiteral("SKU-0123456789-A|SKU-0123456789-A|SKU-0123456789-A"));
}

TEST_F(ServiceDialogTest, ChecksBeforeSaving)
{
    runStored(10, 30103, [&](CSerDlg &d) {
        type(d, CSerDlg::IDC_NAME, QString());
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("This service has no name!"));
        type(d, CSerDlg::IDC_NAME, QStringLiteral("20# Bond"));
        // A number that does not read is refused naming its field (the
        // caption beside it changes with the service, or is a button).
        const struct
        {
            unsigned id;
            const char *typed;
            const char *message;
            bool back = false; // the value from before the typing is shown again
        } refusals[] = {
            {CSerDlg::IDC_CALIPER, "thin", "Caliper: Please enter a number."},
            {CSerDlg::IDC_DIVIDE, "2.5", "Divide by: Please enter a quantity.", true},
            {CSerDlg::IDC_ROUND, "1,00", "Round-up to: Please enter a quantity.", true},
            {CSerDlg::IDC_MARKUP, "abc", "Markup: Please enter an integer."},
            {CSerDlg::IDC_MINPRICE, "12.345", "Minimum Price: Please enter an amount with at most 2 decimals."},
            {CSerDlg::IDC_MINPRICE, "100,000,000,000.01",
             "Minimum Price: Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
            // No decimal field takes an infinity or a not-a-number (the
            // file's column would refuse it on saving as an overflow).
            {CSerDlg::IDC_CALIPER, "inf", "Caliper: Please enter a number."},
            {CSerDlg::IDC_SETTIME, "nan", "Setup (Min/Plate): Please enter a number."},
            {CSerDlg::IDC_IMPHOUR, "-inf", "Run (Imp/Hr): Please enter a number."},
            {CSerDlg::IDC_COSTOH, "nan", "Multiplier: Please enter a number."},
            {CSerDlg::IDC_BID, "inf", "Bid: Please enter a number."},
            {CSerDlg::IDC_RUSH, "NaN", "Rush: Please enter a number."},
            {CSerDlg::IDC_SPCL, "Infinity", "Special: Please enter a number."},
            // A paper's set-up minutes and run speed are never below 0 (taken
            // before), and go by the captions a paper shows.
            {CSerDlg::IDC_SETTIME, "-2", "Setup (Min/Plate): Please enter a number of 0 or more."},
            {CSerDlg::IDC_IMPHOUR, "-0.5", "Run (Imp/Hr): Please enter a number of 0 or more."},
            {CSerDlg::IDC_MULTIPLY, "2.5", "Number of Parts: Please enter a quantity.", true},
            // Counts, read as every count is: a divisor from 1, the others
            // from 0, none past the largest count; what the field showed
            // before comes back.
            {CSerDlg::IDC_DIVIDE, "2,000,000,000", "Divide by: Please enter a quantity from 1 to 1,000,000,000.", true},
            {CSerDlg::IDC_DIVIDE, "1000000001", "Divide by: Please enter a quantity from 1 to 1,000,000,000.", true},
            {CSerDlg::IDC_DIVIDE, "3000000000", "Divide by: Please enter a quantity from 1 to 1,000,000,000.", true},
            {CSerDlg::IDC_DIVIDE, "-5", "Divide by: Please enter a quantity from 1 to 1,000,000,000.", true},
            {CSerDlg::IDC_DIVIDE, "0", "Divide by: Please enter a quantity from 1 to 1,000,000,000.", true},
            {CSerDlg::IDC_MULTIPLY, "2147483647", "Number of Parts: Please enter a quantity from 0 to 1,000,000,000.",
             true},
            {CSerDlg::IDC_MULTIPLY, "1,000,000,001",
             "Number of Parts: Please enter a quantity from 0 to 1,000,000,000.", true},
            {CSerDlg::IDC_MULTIPLY, "3000000000", "Number of Parts: Please enter a quantity from 0 to 1,000,000,000.",
             true},
            {CSerDlg::IDC_MULTIPLY, "-5", "Number of Parts: Please enter a quantity from 0 to 1,000,000,000.", true},
            {CSerDlg::IDC_ROUND, "1,000,000,001", "Round-up to: Please enter a quantity from 0 to 1,000,000,000.", true},
            {CSerDlg::IDC_ROUND, "3000000000", "Round-up to: Please enter a quantity from 0 to 1,000,000,000.", true},
            {CSerDlg::IDC_ROUND, "-5", "Round-up to: Please enter a quantity from 0 to 1,000,000,000.", true},
        };
        for (const auto &r : refusals) {
            SCOPED_TRACE(r.typed);
            const QString before = d.edit(r.id)->text();
            type(d, r.id, QString::fromLatin1(r.typed));
            prompts().answer(platform::IDOK);
            d.SendCommand(30213);
            EXPECT_EQ(prompts().lastText(), QString::fromLatin1(r.message));
            if (r.back) {
                EXPECT_EQ(d.edit(r.id)->text(), before);
            }
            type(d, r.id, before);
        }
        // A negative waste is refused as its field is left, naming it, with
        // what it showed back.
        for (const auto &[id, name] : {std::pair{unsigned(CSerDlg::IDC_SETTIME), "Setup (Min/Plate)"},
                                       std::pair{unsigned(CSerDlg::IDC_IMPHOUR), "Run (Imp/Hr)"}}) {
            QLineEdit *field = d.edit(id);
            const QString before = field->text();
            prompts().clear();
            prompts().answer(platform::IDOK);
            field->setText(QStringLiteral("-3"));
            emit field->editingFinished();
            EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(name) + QStringLiteral(": Please enter a number of 0 or more.")});
            EXPECT_EQ(field->text(), before);
        }
        type(d, CSerDlg::IDC_CALIPER, QStringLiteral("0.004"));
        // Cancel with a change asks; Cancel in the question stays.
        prompts().answer(platform::IDCANCEL);
        d.SendCommand(2);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Do you want to save the changes?")));
        EXPECT_EQ(d.result(), 0);
        prompts().answer(platform::IDNO);
        return press(d, 2);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, Caliper FROM Services WHERE SerNo = 10")),
              QStringLiteral("20# Bond|"));
    runStored(41, 30103, [&](CSerDlg &d) {
        d.ChooseListEntry(CSerDlg::IDC_COSTBY, 1); // its time is costed
        // A speed and a set-up time typed below 0 are refused in their cells,
        // naming the column, and the cell keeps what it had.
        const struct
        {
            CXGridCtrl *grid;
            const char *message;
        } cells[] = {{&d.runGrid(), "Units/Hour: Please enter a number of 0 or more."},
                     {&d.setupGrid(), "Minutes: Please enter a number of 0 or more."}};
        for (const auto &c : cells) {
            SCOPED_TRACE(c.message);
            const qint64 before = c.grid->GetCellValue(0, 1);
            prompts().clear();
            prompts().answer(platform::IDOK);
            c.grid->EditCell(0, 1);
            c.grid->typedEditor()->setText(QStringLiteral("-5"));
            c.grid->EndEdit();
            EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(c.message)});
            EXPECT_EQ(c.grid->GetCellValue(0, 1), before);
        }
        prompts().clear();
        prompts().answer(platform::IDNO);
        return press(d, 2);
    });
    prompts().clear();
    // Off a paper the pair is waste: sheets and a percent of what the
    // caption says, and a refusal names them so.
    const struct
    {
        qint32 catNo;
        const char *setup;
        const char *percent;
    } wastes[] = {{201, "Setup (#Sheets)", "% of Run Qty"}, {401, "Setup (#Sheets)", "% of Fin.Qty"}};
    for (const auto &w : wastes) {
        SCOPED_TRACE(w.catNo);
        runNew(w.catNo, [&](CSerDlg &d) {
            for (const auto &[id, name] : {std::pair{unsigned(CSerDlg::IDC_SETTIME), w.setup},
                                           std::pair{unsigned(CSerDlg::IDC_IMPHOUR), w.percent}}) {
                prompts().clear();
                prompts().answer(platform::IDOK);
                d.edit(id)->setText(QStringLiteral("-1"));
                emit d.edit(id)->editingFinished();
                EXPECT_EQ(prompts().texts(),
                          QStringList{QString::fromLatin1(name) + QStringLiteral(": Please enter a number of 0 or more.")});
            }
            prompts().clear();
            prompts().answer(platform::IDNO);
            return press(d, 2);
        });
        prompts().clear();
    }

    // Numbers as every field reads them: "1e3" and "1,000" are a thousand.
    runStored(10, 30103, [&](CSerDlg &d) {
        type(d, CSerDlg::IDC_ROUND, QStringLiteral("1e3"));
        type(d, CSerDlg::IDC_MARKUP, QStringLiteral("1,000"));
        type(d, CSerDlg::IDC_MINPRICE, QStringLiteral("$1,234.50"));
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT [Round], Markup, MinPrice FROM Services WHERE SerNo = 10")),
              QStringLiteral("1000|1000|1234.5"));
    // The largest count is taken in each count field.
    prompts().clear();
    runStored(41, 30103, [&](CSerDlg &d) {
        for (unsigned id : {unsigned(CSerDlg::IDC_DIVIDE), unsigned(CSerDlg::IDC_MULTIPLY), unsigned(CSerDlg::IDC_ROUND)})
            type(d, id, QStringLiteral("1,000,000,000"));
        return press(d, 30443);
    });
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(u'|').toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Divide, Multiply, [Round] FROM Services WHERE SerNo = 41")),
              QStringLiteral("1000000000|1000000000|1000000000"));
}

// Another workstation holding the file while a new service is saved: the
// save is refused, and the window still holds the new service as typed, so
// Save, or Close and its question, stores it once the file is free.
TEST_F(ServiceDialogTest, ANewServiceRefusedWhileTheFileIsBusyIsKept)
{
    sqlite3_busy_timeout(SharedDatabase().handle(), 100);
    const QString busy = QStringLiteral("Cannot save Services\n\nError 3260 occured:\n\nCouldn't update; currently "
                                        "locked by another workstation.\n\n");
    for (const int finish : {30213, 2}) {
        SCOPED_TRACE(finish);
        const QString name = QStringLiteral("Laminating %1").arg(finish);
        runNew(401, [&](CSerDlg &d) {
            type(d, CSerDlg::IDC_NAME, name);
            auto other = std::make_unique<platform::Database>();
            other->open(SharedDatabase().name());
            other->beginTrans();
            prompts().clear();
            prompts().answer(platform::IDNO);
            d.SendCommand(30213);
            EXPECT_TRUE(prompts().lastText().startsWith(busy)) << prompts().lastText().toStdString();
            EXPECT_EQ(d.record().m_SerNo, 0);
            other->rollback();
            other.reset();

            if (finish == 30213) {
                d.SendCommand(30213);
                EXPECT_EQ(d.edit(CSerDlg::IDC_NAME)->text(), name);
                return press(d, 2);
            }
            prompts().answer(platform::IDYES);
            const int result = press(d, 2);
            EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Do you want to save the new record?")))
                << prompts().texts().join(QLatin1Char('|')).toStdString();
            return result;
        });
    }
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, CatNo, Name FROM Services WHERE SerNo >= 194")),
              QStringLiteral("194|401|Laminating 30213\n195|401|Laminating 2"));
    sqlite3_busy_timeout(SharedDatabase().handle(), platform::Database::busyTimeout());
}

TEST_F(ServiceDialogTest, StatusChangeMarksTheServicesChanged)
{
    runStored(11, 30103, [&](CSerDlg &d) {
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_TRUE(o.tree()->IsOptionChecked(1));
            o.tree()->SetOptionChecked(1, false);
            o.tree()->SetOptionChecked(3, true);
            return press(o, 1);
        });
        d.SendCommand(30526);
        app->ServicesChanged = 0;
        return press(d, 30443);
    });
    EXPECT_EQ(app->ServicesChanged, 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerStatus FROM Services WHERE SerNo = 11")), QStringLiteral("2"));
}

TEST_F(ServiceDialogTest, TablesOfANewServiceOpenOnlyAfterItIsSaved)
{
    runNew(401, [&](CSerDlg &d) {
        d.ChooseListEntry(CSerDlg::IDC_PRICEBY, 4);
        prompts().answer(platform::IDNO);
        d.SendCommand(30645);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("To open the Price Table, you must save the new Service "
                                                       "first.\n\nSave the Service?"));
        EXPECT_EQ(d.record().m_SerNo, 0);
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(30645);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("The price table window is not yet available in this version "
                                                       "of Tavrel."));
        EXPECT_EQ(d.record().m_SerNo, 194);
        return press(d, 2);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PriceBy FROM Services WHERE SerNo = 194")), QStringLiteral("4"));
}

TEST_F(ServiceDialogTest, SpecialServicesExplainThemselves)
{
    runStored(174, 30103, [&](CSerDlg &d) {
        EXPECT_TRUE(d.m_wndRecordRibbon.GetItemText(30281).endsWith(
            QStringLiteral("\n(this is a special Service, click here to learn more...)")));
        EXPECT_TRUE(d.m_wndRecordRibbon.isBlinking(30281));
        // The title reads whole in its item, the service's name beside it.
        const QString title = d.m_wndRecordRibbon.GetItemText(30281).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QRect titleRect = d.m_wndRecordRibbon.itemRect(30281);
        EXPECT_GE(titleRect.width() - 6, QFontMetrics(Appearance::instance().GetFont(3)).horizontalAdvance(title));
        EXPECT_LE(d.m_wndRecordRibbon.itemRect(30526).right(), d.m_wndRecordRibbon.width());
        EXPECT_GE(d.m_wndRecordRibbon.itemRect(30282).width(), 150);
        prompts().answer(platform::IDOK);
        d.SendCommand(30281);
        EXPECT_TRUE(prompts().lastText().contains(QStringLiteral("the Run Size is smaller than the Parent Size")));
        return press(d, 2);
    });
}

// --- more properties and the picker ------------------------------------------------------

TEST_F(ServiceDialogTest, MorePropertiesPicksAndClearsAutoAdd)
{
    CSerSet set;
    set.m_strFilter = QStringLiteral("SerNo = 20");
    ASSERT_TRUE(set.RequeryOrOpen(true));
    CSerDlgMore more(set, nullptr);
    onDialog<CSerDlgMore>([&](CSerDlgMore &d) {
        EXPECT_EQ(d.autoAddButton()->text(), QStringLiteral("< click to select >"));
        onDialog<CSerList>([](CSerList &picker) {
            picker.ShowCategory(401);
            picker.serviceTree().SetOptionChecked(41, true);
            return press(picker, 1);
        });
        d.SendCommand(CSerDlgMore::IDC_AUTOADD);
        EXPECT_EQ(d.autoAddButton()->text(), QStringLiteral("Cutting: Cutting Large"));
        snapshot(d, QStringLiteral("more-properties"));
        // "< none >" clears it again.
        onDialog<CSerList>([](CSerList &picker) {
            picker.ShowCategory(401);
            picker.serviceTree().SetOptionChecked(0, true);
            return press(picker, 1);
        });
        d.SendCommand(CSerDlgMore::IDC_AUTOADD);
        EXPECT_EQ(set.m_AutoAdd, 0);
        d.edit(CSerDlgMore::IDC_INSTOCK)->setText(QStringLiteral("250"));
        return press(d, 1);
    });
    EXPECT_EQ(more.DoModal(), 1);
    EXPECT_EQ(set.m_InStock, 250);
    // The more dialog writes nothing itself.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = 20")), QStringLiteral("0"));
}

// More Properties reads each number as its kind, as the inventory grid does:
// a minimum level, a ream, what is in stock and what is on order are counts
// (0 to 1,000,000,000), the wage is an amount. A refusal names the field,
// puts back what it showed and keeps the window open; Save stores the rest.
TEST_F(ServiceDialogTest, MorePropertiesReadsItsNumbersAsTheirKinds)
{
    CSerSet set;
    set.m_strFilter = QStringLiteral("SerNo = 20");
    ASSERT_TRUE(set.RequeryOrOpen(true));
    const struct
    {
        unsigned id;
        const char *typed;
        const char *message; // null: kept
    } rows[] = {
        {CSerDlgMore::IDC_MINLEVEL, "-5", "Minimum Level: Please enter a quantity."},
        {CSerDlgMore::IDC_REORDER, "-500", "Ream Quantity: Please enter a quantity."},
        {CSerDlgMore::IDC_ONORDER, "2.5", "On Order: Please enter a quantity."},
        // What is on order is ordered: never below 0 (taken before).
        {CSerDlgMore::IDC_ONORDER, "-5", "On Order: Please enter a quantity."},
        {CSerDlgMore::IDC_MINLEVEL, "1,000,000,001", "Minimum Level: Please enter a quantity from 0 to 1,000,000,000."},
        {CSerDlgMore::IDC_MINLEVEL, "3000000000", "Minimum Level: Please enter a quantity from 0 to 1,000,000,000."},
        // What is in stock is a count as well: stock taken out stops at 0.
        {CSerDlgMore::IDC_INSTOCK, "-5", "In Stock: Please enter a quantity."},
        {CSerDlgMore::IDC_INSTOCK, "2.5", "In Stock: Please enter a quantity."},
        {CSerDlgMore::IDC_INSTOCK, "1,000,000,001", "In Stock: Please enter a quantity from 0 to 1,000,000,000."},
        {CSerDlgMore::IDC_INSTOCK, "3000000000", "In Stock: Please enter a quantity from 0 to 1,000,000,000."},
        {CSerDlgMore::IDC_ONORDER, "3000000000", "On Order: Please enter a quantity from 0 to 1,000,000,000."},
        {CSerDlgMore::IDC_WAGEHR, "12.345", "Wage / Hour: Please enter an amount with at most 2 decimals."},
        {CSerDlgMore::IDC_MINLEVEL, "1,000", nullptr},
        {CSerDlgMore::IDC_REORDER, "500", nullptr},
        {CSerDlgMore::IDC_INSTOCK, "1,000,000,000", nullptr},
        {CSerDlgMore::IDC_ONORDER, "1e3", nullptr},
        {CSerDlgMore::IDC_WAGEHR, "$5,000", nullptr},
    };
    CSerDlgMore more(set, nullptr);
    onDialog<CSerDlgMore>([&](CSerDlgMore &d) {
        for (const auto &row : rows) {
            SCOPED_TRACE(row.typed);
            QLineEdit *field = d.edit(row.id);
            const QString before = field->text();
            prompts().clear();
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, QString::fromLatin1(row.typed));
            if (!row.message)
                continue;
            prompts().answer(platform::IDOK);
            EXPECT_EQ(press(d, 1), 0); // still open
            EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(row.message)});
            EXPECT_EQ(field->text(), before);
        }
        prompts().clear();
        return press(d, 1);
    });
    EXPECT_EQ(more.DoModal(), 1);
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(u'|').toStdString();
    ASSERT_TRUE(set.SaveRecord(0));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT MinLevel, ReOrder, InStock, OnOrder, WageHr FROM Services WHERE SerNo = 20")),
              QStringLiteral("1000|500|1000000000|1000|5000"));
}

TEST_F(ServiceDialogTest, PickerListsActiveServicesInGroups)
{
    CSerList picker(0, 0, 0, true, nullptr);
    onDialog<CSerList>([](CSerList &d) {
        // Categories without active services are not offered.
        EXPECT_EQ(d.departmentTree().FindChildByData(105), nullptr);
        EXPECT_NE(d.departmentTree().FindChildByData(401), nullptr);
        d.ShowCategory(401);
        QStringList lines;
        std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *item, int depth) {
            lines << QString(depth, QLatin1Char('-')) + item->text(0);
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), depth + 1);
        };
        walk(d.serviceTree().topLevelItem(0), 0);
        // The cache names carry " · " and the size.
        EXPECT_EQ(lines, (QStringList{QStringLiteral("Cutting"), QStringLiteral("-To FinSz \u00B7 Cuts/Sheet"),
                                      QStringLiteral("-To RunSz \u00B7 Cuts/Sheet"), QStringLiteral("-Cutting"),
                                      QStringLiteral("--Cutting Small"), QStringLiteral("--Cutting Large"),
                                      QStringLiteral("-Folding"), QStringLiteral("--Folding Letter")}));
        // Paper by size: discontinued paper is left out.
        d.ShowCategory(101);
        EXPECT_EQ(d.paperStyle(), 1);
        QTreeWidgetItem *root = d.serviceTree().topLevelItem(0);
        EXPECT_EQ(root->childCount(), 2);
        EXPECT_EQ(root->child(0)->text(0), QStringLiteral("11 x 17"));
        EXPECT_EQ(root->child(1)->text(0), QStringLiteral("8.5 x 11"));
        EXPECT_EQ(root->child(1)->childCount(), 2);
        snapshot(d, QStringLiteral("picker-by-size"));
        d.SendCommand(30283);
        EXPECT_EQ(d.serviceTree().topLevelItem(0)->child(0)->text(0), QStringLiteral("20# Bond"));
        d.serviceTree().SetOptionChecked(12, true);
        return press(d, 1);
    });
    EXPECT_EQ(picker.DoModal(), 1);
    EXPECT_EQ(picker.GetChecked(0), 12);
    EXPECT_EQ(picker.GetChecked(1), 0);
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("Settings"), QStringLiteral("PaperList Style"), 1), 0);

    // The ticked list holds no 0 and no number twice.
    picker.AddChecked(0);
    picker.AddChecked(12);
    picker.AddChecked(30);
    EXPECT_EQ(picker.checked(), (QList<qint32>{12, 30}));
    picker.RemoveChecked(12);
    EXPECT_EQ(picker.GetChecked(0), 30);
}

} // namespace

namespace {

TEST_F(ServiceDialogTest, PickerTicksTravelBetweenItAndItsOwner)
{
    CSerList picker(0, 401, 0, true, nullptr);
    QList<QPair<qint32, bool>> told;
    QObject::connect(&picker, &CSerList::serviceTicked, [&](qint32 serNo, bool ticked) { told << qMakePair(serNo, ticked); });
    onDialog<CSerList>([&](CSerList &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Service List:"));
        EXPECT_EQ(CSerList::FindOpenPicker(), &d);
        // The category to open is listed at once.
        EXPECT_NE(d.serviceTree().FindOption(41), nullptr);
        // From the owner (30244): the item follows, the owner is not told back.
        d.SetTicked(41, true);
        EXPECT_TRUE(d.serviceTree().IsOptionChecked(41));
        EXPECT_TRUE(told.isEmpty());
        // From the user (30243): the owner hears of it.
        emit d.serviceTree().ownerMessage(30243, 40, 1);
        EXPECT_EQ(told, (QList<QPair<qint32, bool>>{{40, true}}));
        EXPECT_EQ(d.checked(), (QList<qint32>{41, 40}));
        // A tick leaves every row where it was: a category listed again (as
        // another choice in the department tree and back does) starts as
        // before, with no "< none >" pushed in front.
        const auto firstRows = [&d] {
            QStringList texts;
            QTreeWidgetItem *root = d.serviceTree().topLevelItem(0);
            for (int i = 0; root && i < root->childCount(); ++i)
                texts << root->child(i)->text(0);
            return texts;
        };
        d.ShowCategory(101);
        d.ShowCategory(401);
        EXPECT_EQ(firstRows().value(0), QStringLiteral("To FinSz \u00B7 Cuts/Sheet"));
        EXPECT_TRUE(d.serviceTree().IsOptionChecked(40));
        emit d.serviceTree().ownerMessage(30243, 41, 0);
        EXPECT_EQ(d.checked(), (QList<qint32>{40}));
        return press(d, 2);
    });
    EXPECT_EQ(picker.DoModal(), 2);
}

} // namespace

namespace {

TEST_F(ServiceDialogTest, NewInTheDialogSavesFirstAndStartsAnotherOfTheSameCategory)
{
    runNew(401, [&](CSerDlg &d) {
        d.edit(CSerDlg::IDC_NAME)->setText(QStringLiteral("Drilling"));
        d.SendCommand(30100);
        EXPECT_EQ(d.record().m_SerNo, 0);
        EXPECT_EQ(d.record().m_CatNo, 401);
        EXPECT_EQ(d.edit(CSerDlg::IDC_NAME)->text(), QStringLiteral("< new >"));
        d.edit(CSerDlg::IDC_NAME)->setText(QStringLiteral("Punching"));
        return press(d, 30443);
    });
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, Name, CatNo FROM Services WHERE SerNo > 193 ORDER BY SerNo")),
              QStringLiteral("194|Drilling|401\n195|Punching|401"));
}

TEST_F(ServiceDialogTest, FindLooksForServicesOfTheCategoryShown)
{
    QString asked;
    CDlgList::SetFindRunner([&asked](const QString &source, QString &findText, QString &filterText) {
        asked = source;
        filterText = QStringLiteral("Services.SerNo = 11");
        findText = filterText;
        return true;
    });
    qint32 shown = 0;
    QString name;
    runStored(10, 30103, [&](CSerDlg &d) {
        d.SendCommand(30101);
        shown = d.record().m_SerNo;
        name = d.edit(CSerDlg::IDC_NAME)->text();
        return press(d, 2);
    });
    CDlgList::SetFindRunner(nullptr);
    EXPECT_EQ(asked, QStringLiteral("Services"));
    EXPECT_EQ(shown, 11);
    EXPECT_EQ(name, QStringLiteral("24# Bond"));
}

} // namespace

// The service window open while another workstation saves the same service:
// Save writes only what was typed here, onto the other's row, and the window
// then shows the row as stored, so a later save writes nothing old back; a
// field both changed is put to the user.
TEST_F(ServiceDialogTest, ASaveAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameField)
{
    const struct
    {
        const char *what;
        const char *byA;  // SET clause of the other workstation's save
        int answer;       // 0: nothing asked
        QString stored;   // Name2|Size|SerRemind afterwards
        QString asked = QStringLiteral("Parent Size: the other user's \"11 x 17 Cut\", yours \"12 x 18\"");
        const char *name2ByB = nullptr;
    } cases[] = {
        {"different fields", "Name2 = 'Heavy'", 0, QStringLiteral("Heavy|12 x 18|Check stock")},
        {"the same field, the other user's kept", "Name2 = 'Heavy', Size = '11 x 17 Cut'", platform::IDNO,
         QStringLiteral("Heavy|11 x 17 Cut|Check stock")},
        // The column is Name2; the window labels it Invoice Name.
        {"both changed the invoice name: named as the window labels it", "Name2 = 'Heavy'", platform::IDNO,
         QStringLiteral("Heavy|12 x 18|Check stock"),
         QStringLiteral("Invoice Name: the other user's \"Heavy\", yours \"Light\""), "Light"},
    };
    platform::Database other;
    other.open(m_path);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("UPDATE Services SET Name2 = '', Size = '11 x 17', SerRemind = '' WHERE SerNo = 11"));
        prompts().clear();
        runStored(11, 30103, [&](CSerDlg &d) {
            other.execute(QStringLiteral("UPDATE Services SET %1 WHERE SerNo = 11").arg(QLatin1String(c.byA)));
            type(d, CSerDlg::IDC_SIZE, QStringLiteral("12 x 18"));
            if (c.name2ByB)
                type(d, CSerDlg::IDC_NAME2, QString::fromLatin1(c.name2ByB));
            if (c.answer != 0)
                prompts().answer(c.answer);
            d.SendCommand(30213);
            if (c.answer == 0)
                EXPECT_EQ(prompts().texts(), QStringList());
            else
                EXPECT_EQ(prompts().texts(),
                          QStringList{QStringLiteral(
                              "Another user has saved this record since you opened it, and changed the same field:\n\n")
                                      + c.asked
                                      + QStringLiteral("\n\nSave what you typed over it?\n\nYes saves yours, No keeps "
                                                       "the other user's; your other changes are saved either way. "
                                                       "Cancel saves nothing now.")});
            // The window shows the other's change now; a later save keeps it.
            EXPECT_EQ(d.edit(CSerDlg::IDC_NAME2)->text(), QStringLiteral("Heavy"));
            type(d, CSerDlg::IDC_REMIND, QStringLiteral("Check stock"));
            return press(d, 30443);
        });
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Name2, Size, SerRemind FROM Services WHERE SerNo = 11")), c.stored);
    }
}
