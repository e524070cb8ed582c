#include "CatalogueFixture.h"

#include "catalogue/CSerDiffTable.h"
#include "catalogue/CSerDlg.h"
#include "catalogue/CSerPriceTable.h"
#include "catalogue/CatalogueInstall.h"
#include "catalogue/ServiceTables.h"
#include "controls/CXEdit.h"
#include "controls/CXListCtrl.h"
#include "controls/DrawTextFormat.h"
#include "data/CSerSet.h"
#include "platform/PromptWatch.h"
#include "platform/Settings.h"
#include "views/CDlgList.h"
#include "views/DelimitedText.h"
#include "support/TestFiles.h"

#include <algorithm>

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>

namespace {

class ServiceTablesTest : public CatalogueTest
{
protected:
    // The column names of a table as the database file lists them.
    QStringList columnsOf(const QString &table) const
    {
        return sqlite(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)).split(QLatin1Char('\n'));
    }
    // Whether a prompt of that kind (and text, when given) was shown.
    bool wasShown(platform::PromptRecord::Kind kind, const QString &text = QString())
    {
        for (const auto &record : prompts().shown())
            if (record.kind == kind && (text.isNull() || record.text == text))
                return true;
        return false;
    }
    static void typeInto(CXGridCtrl &grid, int row, int column, const QString &text)
    {
        grid.EditCell(row, column);
        ASSERT_EQ(grid.editor(), grid.typedEditor());
        grid.typedEditor()->setText(text);
        grid.EndEdit();
    }
};

TEST_F(ServiceTablesTest, StoredFieldsAreReadInTheSchemasOrder)
{
    const QStringList diff = columnsOf(QStringLiteral("ServiceDiffTables"));
    ASSERT_EQ(diff.size(), kDiffFieldCount);
    for (int i = 0; i < kDiffFieldCount; ++i)
        EXPECT_EQ(DiffTableFieldName(i), diff[i]) << i;
    EXPECT_EQ(DiffTableFieldName(kDiffJobFirst), QStringLiteral("JobR1C0"));
    EXPECT_EQ(DiffTableFieldName(kDiffSpeedFirst - 1), QStringLiteral("JobR19C4"));
    const QStringList price = columnsOf(QStringLiteral("ServicePriceTables"));
    ASSERT_EQ(price.size(), kPriceFieldCount);
    for (int i = 0; i < kPriceFieldCount; ++i)
        EXPECT_EQ(PriceTableFieldName(i), price[i]) << i;
}

TEST_F(ServiceTablesTest, FormulaLineFollowsTheFiveSettings)
{
    struct Case
    {
        PriceTableSettings s;
        bool impressions;
        bool digital;
        const char *line;
    };
    const Case cases[] = {
        {{1, 0, 1, 0, 0}, false, false, "Service Price = Cell Price x Item Quantity x Sheets per Set"},
        {{4, 0, 1, 0, 0}, false, false, "Service Price = Cell Price x Item Quantity x Sides (1 or 2)"},
        {{5, 0, 1, 0, 0}, false, true, "Service Price = Cell Price x Item Quantity x Pages Printed per Set"},
        {{5, 0, 1, 0, 0}, false, false, "Service Price = Cell Price x Item Quantity x Sheets per Set"},
        {{1, 1, 1, 0, 0}, false, false, "Service Price = Cell Price x Impressions"},
        {{1, 0, 1, 0, 0}, true, false, "Service Price = Cell Price x Impressions"},
        {{1, 0, 3, 0, 0}, false, false, "Service Price = Cell Price"},
        {{1, 0, 3, 0, 6}, false, false, "Service Price = Cell Price x Units Asked"},
        {{1, 0, 1, 0, 11}, false, false, "Service Price = Cell Price x Service Quantity"},
        {{1, 0, 1, 2, 4}, false, false, "Service Price = Sum of Prices at Quantity Breaks"},
        {{2, 0, 1, 3, 0}, false, false,
         "Service Price = Cell Price x Item Quantity x Pages Printed per Set (+ adjustment for the 1st quantity)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PriceFormulaLine(c.s, QStringLiteral("Impressions"), c.impressions, c.digital),
                  QString::fromLatin1(c.line));
}

TEST_F(ServiceTablesTest, DifficultyTableWritesOnlyAChangeAndKeepsItsOrder)
{
    CSerSet pressService;
    ASSERT_TRUE(pressService.FindBySerNo(20));
    // OK without a change creates no row.
    {
        CSerDiffTable dialog(pressService, nullptr);
        onDialog<CSerDiffTable>([&](CSerDiffTable &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Difficulty Table"));
            for (qint32 v : d.CellValues())
                EXPECT_EQ(v, 0);
            EXPECT_EQ(d.jobGrid().GetCellText(18, 1), QStringLiteral("Limits -->"));
            EXPECT_FALSE(d.jobGrid().IsCellEditable(5, 2));
            EXPECT_FALSE(d.jobGrid().IsCellEditable(15, 4));
            // The paper rows' numbers stand centred in their column.
            EXPECT_EQ(d.paperGrid().GetCellText(18, 0), QStringLiteral("19"));
            EXPECT_TRUE(d.paperGrid().GetCellFormat(18, 0) & DT_CENTER);
            EXPECT_FALSE(d.jobGrid().GetCellFormat(0, 0) & DT_CENTER);
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM ServiceDiffTables WHERE SerNo = 20")),
                  QStringLiteral("0"));
    }
    // Edits in each grid land in their fields; 1.5 minutes is 150.
    {
        CSerDiffTable dialog(pressService, nullptr);
        onDialog<CSerDiffTable>([&](CSerDiffTable &d) {
            typeInto(d.paperGrid(), 2, 1, QStringLiteral("1.5"));
            typeInto(d.jobGrid(), 0, 2, QStringLiteral("100"));
            typeInto(d.jobGrid(), 3, 2, QStringLiteral("1000"));
            typeInto(d.jobGrid(), 18, 6, QStringLiteral("25"));
            typeInto(d.speedGrid(), 8, 1, QStringLiteral("12"));
            snapshot(d, QStringLiteral("difficulty-table"));
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT PapR3C1, JobR1C0, JobR4C0, JobR19C4, RunR9C2, PapR1C1 "
                                        "FROM ServiceDiffTables WHERE SerNo = 20")),
                  QStringLiteral("150|100|1000|25|12|0"));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM ServiceDiffTables")), QStringLiteral("1"));
    }
    // Cancel after an edit asks; No keeps the stored row.
    {
        CSerDiffTable dialog(pressService, nullptr);
        onDialog<CSerDiffTable>([&](CSerDiffTable &d) {
            EXPECT_EQ(d.paperGrid().GetCellText(2, 1), QStringLiteral("1.50"));
            typeInto(d.paperGrid(), 2, 1, QStringLiteral("9"));
            prompts().answer(platform::IDNO);
            return press(d, 2);
        });
        EXPECT_EQ(dialog.DoModal(), 2);
        EXPECT_TRUE(wasShown(platform::PromptRecord::Kind::MessageBox, QStringLiteral("Save changes?")));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT PapR3C1 FROM ServiceDiffTables WHERE SerNo = 20")),
                  QStringLiteral("150"));
    }
}

TEST_F(ServiceTablesTest, FailedDifficultySaveKeepsTheWindowAndWhatWasTyped)
{
    CSerSet pressService;
    ASSERT_TRUE(pressService.FindBySerNo(20));
    CSerDiffTable dialog(pressService, nullptr);
    onDialog<CSerDiffTable>([&](CSerDiffTable &d) {
        typeInto(d.jobGrid(), 4, 3, QStringLiteral("2"));
        native(QStringLiteral("ALTER TABLE ServiceDiffTables RENAME TO Gone"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_TRUE(prompts().shown().last().text.startsWith(QStringLiteral("Cannot save ServiceDiffTables")));
        EXPECT_EQ(d.result(), 0); // still open
        EXPECT_EQ(d.jobGrid().GetCellValue(4, 3), 200);
        native(QStringLiteral("ALTER TABLE Gone RENAME TO ServiceDiffTables"));
        return press(d, 1);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobR5C1 FROM ServiceDiffTables WHERE SerNo = 20")), QStringLiteral("200"));
}

TEST_F(ServiceTablesTest, PriceTableOpensWithDefaultsAndSavesEveryField)
{
    CSerPriceTable dialog(10, 0, nullptr);
    dialog.m_nQtyBy = 4;
    onDialog<CSerPriceTable>([&](CSerPriceTable &d) {
        EXPECT_EQ(d.list(CSerPriceTable::IDC_COLUMN_BASIS)->currentText(), QStringLiteral("Sheets per Set (Originals)"));
        EXPECT_EQ(d.list(CSerPriceTable::IDC_ROW_BASIS)->currentText(), QStringLiteral("Item Quantity"));
        EXPECT_EQ(d.list(CSerPriceTable::IDC_READING)->currentText(), QStringLiteral("Per Each"));
        EXPECT_EQ(d.list(CSerPriceTable::IDC_METHOD)->currentText(), QStringLiteral("Step"));
        EXPECT_EQ(d.list(CSerPriceTable::IDC_MULTIPLIER)->currentText(), QStringLiteral("(built-in)"));
        EXPECT_EQ(d.formulaText(), QStringLiteral("Service Price = Cell Price x Item Quantity x Sheets per Set"));
        EXPECT_EQ(d.priceGrid().GetColumnHeader(1), QStringLiteral("Qty-Breaks\nItem Qty ->"));
        // The sides basis: five columns with the side headers, keys not used.
        d.ChooseListEntry(CSerPriceTable::IDC_COLUMN_BASIS, 4);
        EXPECT_EQ(d.keyGrid().GetCellText(0, 0), QStringLiteral("Not used"));
        EXPECT_EQ(d.priceGrid().GetColumnHeader(2), QStringLiteral("Price\nBlack/"));
        EXPECT_EQ(d.priceGrid().GetColumnHeader(6), QStringLiteral("Price\nCol/Col"));
        EXPECT_TRUE(d.priceGrid().IsCellEditable(0, 6));
        EXPECT_FALSE(d.priceGrid().IsCellEditable(0, 7));
        EXPECT_FALSE(d.keyGrid().IsCellEditable(0, 1));
        d.ChooseListEntry(CSerPriceTable::IDC_COLUMN_BASIS, 0);
        EXPECT_TRUE(d.priceGrid().IsCellEditable(0, 2));
        EXPECT_FALSE(d.priceGrid().IsCellEditable(0, 3));
        d.ChooseListEntry(CSerPriceTable::IDC_COLUMN_BASIS, 2);
        d.ChooseListEntry(CSerPriceTable::IDC_ROW_BASIS, 1);
        EXPECT_EQ(d.priceGrid().GetColumnHeader(1), QStringLiteral("Qty-Breaks\nService Qty ->"));
        d.ChooseListEntry(CSerPriceTable::IDC_METHOD, 1);
        typeInto(d.keyGrid(), 0, 1, QStringLiteral("2"));
        typeInto(d.keyGrid(), 0, 10, QStringLiteral("64"));
        typeInto(d.priceGrid(), 0, 1, QStringLiteral("500"));
        typeInto(d.priceGrid(), 0, 2, QStringLiteral("0.0125"));
        typeInto(d.priceGrid(), 11, 1, QStringLiteral("100000"));
        typeInto(d.priceGrid(), 11, 11, QStringLiteral("12.5"));
        snapshot(d, QStringLiteral("price-table"));
        return press(d, 1);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, Opt1, Opt2, Opt3, Opt4, Opt5, Opt6, R0C0, R0C9, Qty1, R1C0, Qty12, "
                                    "R12C9, R5C5 FROM ServicePriceTables")),
              QStringLiteral("10|0|2|1|1|1|0|2|64|500|125|100000|125000|0"));
    EXPECT_TRUE(wasShown(platform::PromptRecord::Kind::Beep));

    // Reopened: the same values; Cancel without a change asks nothing.
    CSerPriceTable again(10, 0, nullptr);
    again.m_nQtyBy = 4;
    const auto before = prompts().shown().size();
    onDialog<CSerPriceTable>([&](CSerPriceTable &d) {
        EXPECT_EQ(d.settings().columnBasis, 2);
        EXPECT_EQ(d.priceGrid().GetCellValue(11, 11), 125000);
        EXPECT_EQ(d.priceGrid().GetCellText(0, 2), QStringLiteral("0.0125"));
        return press(d, 2);
    });
    EXPECT_EQ(again.DoModal(), 2);
    EXPECT_EQ(prompts().shown().size(), before + 1); // the dialog itself only

    // A price beyond what a cell holds (99999999 is 999999990000
    // ten-thousandths): refused naming its column, the cell stays empty and
    // OK stores the row as it was, not a capped 214748.3647.
    const QString stored = sqlite(QStringLiteral("SELECT * FROM ServicePriceTables WHERE SerNo = 10"));
    CSerPriceTable third(10, 0, nullptr);
    third.m_nQtyBy = 4;
    onDialog<CSerPriceTable>([&](CSerPriceTable &d) {
        EXPECT_TRUE(d.priceGrid().IsCellEditable(4, 7));
        prompts().clear();
        prompts().answer(platform::IDOK);
        typeInto(d.priceGrid(), 4, 7, QStringLiteral("99999999"));
        EXPECT_EQ(d.priceGrid().GetCellValue(4, 7), 0);
        EXPECT_EQ(prompts().texts(),
                  QStringList{d.priceGrid().GetColumnHeader(7).simplified()
                              + QStringLiteral(": Please enter a number from -214748.3648 to 214748.3647.")});
        return press(d, 1);
    });
    EXPECT_EQ(third.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT * FROM ServicePriceTables WHERE SerNo = 10")), stored);
}

TEST_F(ServiceTablesTest, ImpressionsKeepTheBuiltInMultiplierAndFailedSaveStaysOpen)
{
    native(QStringLiteral("INSERT INTO ServicePriceTables (SerNo, Opt1, Opt2, Opt3, Opt4, Opt5, Opt6) "
                          "VALUES (20, 0, 1, 0, 1, 0, 6)"));
    CSerPriceTable dialog(20, 0, nullptr);
    dialog.m_nQtyBy = 8;
    onDialog<CSerPriceTable>([&](CSerPriceTable &d) {
        EXPECT_EQ(d.settings().multiplier, 0);
        EXPECT_FALSE(d.list(CSerPriceTable::IDC_MULTIPLIER)->isEnabled());
        EXPECT_EQ(d.formulaText(), QStringLiteral("Service Price = Cell Price x Impressions"));
        typeInto(d.priceGrid(), 0, 1, QStringLiteral("1000"));
        native(QStringLiteral("ALTER TABLE ServicePriceTables RENAME TO Gone"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_TRUE(prompts().shown().last().text.startsWith(QStringLiteral("Cannot save ServicePriceTables")));
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(d.priceGrid().GetCellValue(0, 1), 1000);
        native(QStringLiteral("ALTER TABLE Gone RENAME TO ServicePriceTables"));
        return press(d, 1);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Opt6, Qty1 FROM ServicePriceTables WHERE SerNo = 20")),
              QStringLiteral("0|1000"));
}

// Another workstation saves the same price table while it is open here:
// Save writes only what was changed here, onto the row as it is now; a
// field both changed is asked about as the window names and shows it.
TEST_F(ServiceTablesTest, PriceTableSavedByAnotherMeanwhileKeepsBothAndAsksAboutTheSameField)
{
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\n"
        "Save what you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved "
        "either way. Cancel saves nothing now.");
    const struct
    {
        const char *what;
        bool rowBefore;      // the row is there when the window opens
        const char *byOther; // the other workstation's statement
        int row;             // the price typed here: row (-1 none) and
        const char *price;   // its text in price column 1
        int method;          // chosen here (-1: left alone)
        int answer;          // 0: nothing asked; IDCANCEL: still open
        const char *asked;   // the question's field line
        const char *stored;  // Opt5|R1C0|R2C0 afterwards
    } cases[] = {
        {"row 1 by the other, row 2 here: both kept", true, "UPDATE ServicePriceTables SET R1C0 = 1600", 1, "0.13",
         -1, 0, "", "0|1600|1300"},
        {"the same price, the other's kept", true, "UPDATE ServicePriceTables SET R1C0 = 1600", 0, "0.17", -1,
         platform::IDNO, "Row 1, Price 1: the other user's \"0.1600\", yours \"0.1700\"", "0|1600|1200"},
        {"the same price, this user's kept", true, "UPDATE ServicePriceTables SET R1C0 = 1600", 0, "0.17", -1,
         platform::IDYES, "Row 1, Price 1: the other user's \"0.1600\", yours \"0.1700\"", "0|1700|1200"},
        {"the same price, Cancel: nothing saved, the window stays", true,
         "UPDATE ServicePriceTables SET R1C0 = 1600", 0, "0.17", 2, platform::IDCANCEL,
         "Row 1, Price 1: the other user's \"0.1600\", yours \"0.1700\"", "0|1600|1200"},
        {"a list both changed, named by its label, shown by its text", true,
         "UPDATE ServicePriceTables SET Opt5 = 1", 1, "0.13", 2, platform::IDNO,
         "Calculate the Service Price using this method: the other user's \"Linear\", yours \"Sum\"",
         "1|1500|1300"},
        {"no row when both opened: the other's row is added to", false,
         "INSERT INTO ServicePriceTables (SerNo, Opt1, Opt2, Opt3, Opt4, Opt5, Opt6, Qty1, R1C0) "
         "VALUES (10, 0, 1, 0, 1, 0, 0, 100, 1600)", 1,
         "0.13", -1, 0, "", "0|1600|1300"},
    };
    platform::Database other;
    other.open(m_path);
    // While the question is on screen a third workstation writes a row with
    // no wait at all: refused were the file still held by the save.
    int writesWhileAsked = 0;
    platform::WatchMessageBoxes([&](const platform::PromptRecord &box) {
        if (box.caption != QStringLiteral("Saved by another user"))
            return;
        QProcess third;
        third.start(QStringLiteral("sqlite3"),
                    {m_path, QStringLiteral("UPDATE Services SET Name = Name || '.' WHERE SerNo = 12;")});
        EXPECT_TRUE(third.waitForFinished(60000));
        EXPECT_EQ(third.exitCode(), 0) << third.readAllStandardError().toStdString();
        ++writesWhileAsked;
    });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writesWhileAsked = 0;
        native(QStringLiteral("DELETE FROM ServicePriceTables"));
        if (c.rowBefore)
            native(QStringLiteral("INSERT INTO ServicePriceTables (SerNo, Opt1, Opt2, Opt3, Opt4, Opt5, Opt6, Qty1, "
                                  "R1C0, Qty2, R2C0) VALUES (10, 0, 1, 0, 1, 0, 0, 100, 1500, 500, 1200)"));
        prompts().clear();
        CSerPriceTable dialog(10, 0, nullptr);
        dialog.m_nQtyBy = 4;
        onDialog<CSerPriceTable>([&](CSerPriceTable &d) {
            other.execute(QString::fromLatin1(c.byOther));
            if (c.row >= 0)
                typeInto(d.priceGrid(), c.row, 2, QString::fromLatin1(c.price));
            if (c.method >= 0)
                d.ChooseListEntry(CSerPriceTable::IDC_METHOD, c.method);
            if (c.answer != 0)
                prompts().answer(c.answer);
            const int result = press(d, 1);
            EXPECT_EQ(prompts().texts(), c.answer == 0 ? QStringList()
                                                       : QStringList{question.arg(QString::fromLatin1(c.asked))});
            if (c.answer != platform::IDCANCEL)
                return result;
            EXPECT_EQ(result, 0); // still open, with what was typed
            EXPECT_EQ(d.priceGrid().GetCellText(c.row, 2), QString::fromLatin1(c.price) + QStringLiteral("00"));
            prompts().answer(platform::IDNO); // "Save changes?"
            return press(d, 2);
        });
        dialog.DoModal();
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Opt5, R1C0, R2C0 FROM ServicePriceTables WHERE SerNo = 10")),
                  QString::fromLatin1(c.stored));
        EXPECT_EQ(writesWhileAsked, c.answer != 0 ? 1 : 0);
    }

    // The difficulty table by the same rule: a cell each, both kept; the
    // same cell asked about by its table, row and heading, as shown.
    CSerSet pressService;
    ASSERT_TRUE(pressService.FindBySerNo(20));
    native(QStringLiteral("INSERT INTO ServiceDiffTables (SerNo, PapR3C1, JobR1C0) VALUES (20, 150, 100)"));
    for (const int answer : {0, int(platform::IDYES)}) {
        SCOPED_TRACE(answer);
        prompts().clear();
        CSerDiffTable dialog(pressService, nullptr);
        onDialog<CSerDiffTable>([&](CSerDiffTable &d) {
            other.execute(QStringLiteral("UPDATE ServiceDiffTables SET PapR3C1 = PapR3C1 + 50"));
            typeInto(answer ? d.paperGrid() : d.jobGrid(), answer ? 2 : 0, answer ? 1 : 2,
                     answer ? QStringLiteral("1.75") : QStringLiteral("120"));
            if (answer)
                prompts().answer(answer);
            return press(d, 1);
        });
        writesWhileAsked = 0;
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(writesWhileAsked, answer ? 1 : 0);
        EXPECT_EQ(prompts().texts(),
                  answer ? QStringList{question.arg(QStringLiteral(
                               "Paper Difficulty Table, Row 3, Add Time/Plate (minutes): the other user's \"2.50\", "
                               "yours \"1.75\""))}
                         : QStringList());
    }
    platform::WatchMessageBoxes(nullptr);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PapR3C1, JobR1C0 FROM ServiceDiffTables WHERE SerNo = 20")),
              QStringLiteral("175|120"));
}

TEST_F(ServiceTablesTest, ImportReadsAWindowsPriceListThroughTheFieldRules)
{
    const QString folder = tempPath(QStringLiteral("prices"));
    QDir().mkpath(folder);
    const QString list = folder + QStringLiteral("/PriceList.txt");
    // Three breaks, then one block of prices per column; the name in Windows-1252.
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("open(r'%1','wb').write('ID\\tNAME\\tQ1\\tQ2\\tQ3\\tA1\\tA2\\tA3\\tB1\\tB2\\tB3\\r\\n"
                                 "77\\tCaf\\u00e9 Cover \\u2013 80#\\t250\\t500\\t1000\\t12.5\\t10.25\\t8.125\\t"
                                 "14\\t12\\t9.99999\\r\\n'.encode('cp1252'))")
                      .arg(list)});
    ASSERT_TRUE(python.waitForFinished(20000));
    auto writeRules = [&](const QString &text) {
        QFile rules(folder + QStringLiteral("/ImportFields.txt"));
        ASSERT_TRUE(rules.open(QIODevice::WriteOnly));
        rules.write(text.toUtf8());
    };
    writeRules(QStringLiteral("ID\nNAME\nQ1\nQ2\nQ3\n$\n"));

    auto runImport = [&](std::function<void(CSerPriceTable &)> check) {
        CSerPriceTable dialog(10, 0, nullptr);
        onDialog<CSerPriceTable>([&](CSerPriceTable &d) {
            prompts().answerFile(list);
            onDialog<CDlgList>([&](CDlgList &picker) {
                EXPECT_EQ(picker.list()->GetItemText(0, 1), QStringLiteral("Café Cover – 80#"));
                picker.list()->SelectItem(0);
                return press(picker, 1);
            });
            d.SendCommand(CSerPriceTable::IDC_IMPORT);
            check(d);
            return press(d, 1);
        });
        dialog.DoModal();
    };
    runImport([&](CSerPriceTable &d) {
        EXPECT_TRUE(d.isChanged());
        EXPECT_EQ(d.priceGrid().GetCellValue(2, 1), 1000);
        EXPECT_EQ(d.priceGrid().GetCellValue(2, 3), 99999);
    });
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("ImportPath")),
              QFileInfo(list).absolutePath());
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Qty1, R1C0, R1C1, Qty2, R2C0, R2C1, Qty3, R3C0, R3C1, Qty4 "
                                    "FROM ServicePriceTables WHERE SerNo = 10")),
              QStringLiteral("250|125000|140000|500|102500|120000|1000|81250|99999|0"));

    // An "X" between the breaks: the exact refusal, nothing filled.
    writeRules(QStringLiteral("ID\nNAME\nQ1\nX\nQ3\n$\n"));
    prompts().answer(platform::IDOK);
    runImport([&](CSerPriceTable &d) {
        EXPECT_EQ(prompts().shown().last().text,
                  QStringLiteral("Can not import! Please check %1\n\nQty Breaks = 2\nFirst Qty Column = 2\n"
                                 "First Price Column = 5")
                      .arg(QDir::toNativeSeparators(folder + QStringLiteral("/ImportFields.txt"))));
        EXPECT_FALSE(d.isChanged());
    });

    // A rules file that is a pipe (someone's in a shared folder) is refused
    // at once, by name, nothing filled; the program is never held. Should
    // it be opened and waited on, a writer comes after 20 s and lets it go.
    const QString rulesPath = folder + QStringLiteral("/ImportFields.txt");
    QFile::remove(rulesPath);
    ASSERT_TRUE(MakeTestFifo(rulesPath));
    QProcess writer;
    writer.start(QStringLiteral("timeout"), {QStringLiteral("30"), QStringLiteral("sh"), QStringLiteral("-c"),
                                             QStringLiteral("sleep 20; : > \"$0\""), rulesPath});
    ASSERT_TRUE(writer.waitForStarted(10000));
    prompts().clear();
    prompts().answer(platform::IDOK);
    QElapsedTimer clock;
    clock.start();
    runImport([&](CSerPriceTable &d) {
        EXPECT_LT(clock.elapsed(), 10000);
        ASSERT_FALSE(prompts().shown().isEmpty());
        EXPECT_EQ(prompts().shown().last().text,
                  QStringLiteral("Cannot use %1: it is not an ordinary file (it is a folder, a pipe, a device or a "
                                 "socket).")
                      .arg(QDir::toNativeSeparators(rulesPath)));
        EXPECT_FALSE(d.isChanged());
    });
    // The writer's own time-out passes the signal on to the shell it runs.
    writer.terminate();
    writer.waitForFinished(5000);
    EXPECT_TRUE(IsTestFifo(rulesPath));
}

TEST_F(ServiceTablesTest, ImportRulesSkipRowsAndIgnoreBreaksPastTwelve)
{
    // "-" skips its row; the prices keep their block positions.
    ImportFieldRules rules = ReadImportFieldRules({"ID", "10", "-", "30", "$"});
    ASSERT_TRUE(rules.usable());
    PriceRows rows = ImportPriceRows({"7", "10", "20", "30", "1", "2", "3"}, rules);
    EXPECT_EQ(rows.breaks[0], 10);
    EXPECT_EQ(rows.prices[0][0], 10000);
    EXPECT_EQ(rows.breaks[1], 30);
    EXPECT_EQ(rows.prices[1][0], 30000);
    EXPECT_EQ(rows.breaks[2], 0);
    // No break lines at all.
    rules = ReadImportFieldRules({"ID", "NAME", "$"});
    EXPECT_FALSE(rules.usable());
    EXPECT_EQ(ImportRefusalText(QStringLiteral("F"), rules),
              QStringLiteral("Can not import! Please check F\n\nQty Breaks = 0\nFirst Qty Column = -1\n"
                             "First Price Column = 2"));
    // Fourteen breaks fill twelve rows.
    QStringList lines;
    QStringList fields;
    for (int i = 0; i < 14; ++i) {
        lines << QStringLiteral("Q");
        fields << QString::number((i + 1) * 100);
    }
    lines << QStringLiteral("$");
    for (int i = 0; i < 14; ++i)
        fields << QStringLiteral("0.5");
    rules = ReadImportFieldRules(lines);
    rows = ImportPriceRows(fields, rules);
    EXPECT_EQ(rows.breaks[11], 1200);
    EXPECT_EQ(rows.prices[11][0], 5000);
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("Caf\xe9 \x96 \x80")), QStringLiteral("Café – €"));
}

TEST_F(ServiceTablesTest, ImportReadsNumbersAsWrittenOrRefusesThem)
{
    // One break and one price per line: field 1 the quantity, field 2 the price.
    const ImportFieldRules rules = ReadImportFieldRules({"Q", "$"});
    ASSERT_TRUE(rules.usable());
    struct Case
    {
        const char *quantity;
        const char *price;
        qint32 brk;
        qint32 units;
        const char *refused; // "" when the line is read
    };
    const QString price = QStringLiteral("a price from 0 to 214,748.3647 (written as 12.50, $12.50 or 1,250.00)");
    const Case cases[] = {
        {"1,000", "$12.50", 1000, 125000, ""},
        {"100.0", "1,234.5", 100, 12345000, ""},
        {"250", "214748.3647", 250, 2147483647, ""},
        {"250", "9.99999", 250, 99999, ""}, // decimals past the fourth are cut
        {"250", "", 250, 0, ""},
        {"250", "12.50 USD", 0, 0, "Field 2 of the picked line, \"12.50 USD\", is not P."},
        {"250", "999999.9999", 0, 0, "Field 2 of the picked line, \"999999.9999\", is not P."},
        {"250", "214748.3648", 0, 0, "Field 2 of the picked line, \"214748.3648\", is not P."},
        {"250", "1,5", 0, 0, "Field 2 of the picked line, \"1,5\", is not P."},
        {"250", "-5", 0, 0, "Field 2 of the picked line, \"-5\", is not P."},
        {"250", "-0.01", 0, 0, "Field 2 of the picked line, \"-0.01\", is not P."},
        {"-5", "1", 0, 0, "Field 1 of the picked line, \"-5\", is not a whole quantity."},
        {"1,5", "1", 0, 0, "Field 1 of the picked line, \"1,5\", is not a whole quantity."},
        {"12.5", "1", 0, 0, "Field 1 of the picked line, \"12.5\", is not a whole quantity."},
        // A break is a count: the largest is read, one past it is refused by name.
        {"1,000,000,000", "1", 1000000000, 10000, ""},
        {"1,000,000,001", "1", 0, 0,
         "Field 1 of the picked line, \"1,000,000,001\": \"Quantity\" cannot be more than 1,000,000,000, the largest "
         "count it holds."},
        {"2147483647", "1", 0, 0,
         "Field 1 of the picked line, \"2147483647\": \"Quantity\" cannot be more than 1,000,000,000, the largest "
         "count it holds."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.quantity) + " / " + c.price);
        QString problem = QStringLiteral("left over");
        const PriceRows rows = ImportPriceRows({QString::fromUtf8(c.quantity), QString::fromUtf8(c.price)}, rules, &problem);
        const QString refused = QString::fromUtf8(c.refused).replace(QStringLiteral("P."), price + QLatin1Char('.'));
        EXPECT_EQ(problem, refused.isEmpty() ? QString() : QStringLiteral("Can not import! ") + refused);
        if (refused.isEmpty()) {
            EXPECT_EQ(rows.breaks[0], c.brk);
            EXPECT_EQ(rows.prices[0][0], c.units);
        }
    }
    EXPECT_EQ(DecodeTextFileBytes(QByteArray("\xef\xbb\xbf" "Caf\xc3\xa9")), QStringLiteral("Café"));
}

TEST_F(ServiceTablesTest, ServiceDialogOpensBothTables)
{
    InstallCatalogue(*app);
    CSerSet set;
    set.m_strFilter = QStringLiteral("Services.SerNo = 20");
    ASSERT_TRUE(set.RequeryOrOpen(false));
    CSerDlg dialog(set, nullptr, nullptr);
    dialog.m_nOpenMode = 30103;
    onDialog<CSerDlg>([&](CSerDlg &d) {
        onDialog<CSerDiffTable>([](CSerDiffTable &t) { return press(t, 2); });
        d.SendCommand(30642);
        onDialog<CSerPriceTable>([&](CSerPriceTable &t) {
            EXPECT_EQ(t.settings().multiplier, 0);
            EXPECT_EQ(t.windowTitle(), QStringLiteral("Service: ") + d.record().m_Name);
            return press(t, 2);
        });
        prompts().answer(platform::IDOK);
        d.SendCommand(30645);
        return press(d, 2);
    });
    dialog.DoModal();
    int tables = 0;
    for (const auto &record : prompts().shown())
        if (record.kind == platform::PromptRecord::Kind::Dialog)
            ++tables;
    EXPECT_EQ(tables, 3);
}

} // namespace
