#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/PrintService.h"
#include "controls/CXEdit.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "platform/PromptWatch.h"
#include "platform/Settings.h"
#include "data/AppDataServices.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"
#include "views/CDlgOptions.h"
#include "views/CSetupGridDlg.h"
#include "views/CViewDefaults.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtGui/QAction>
#include <QtGui/QScreen>
#include <QtWidgets/QMenu>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTreeWidgetItemIterator>

#include <cstdio>
#include <memory>

namespace {

// The sample shop, made once per test program and copied for each test.
QString setupSampleShop()
{
    static QString path;
    if (path.isEmpty()) {
        const QString folder =
            QDir::tempPath() + QStringLiteral("/tavrel-setup-sample-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(folder);
        path = folder + QStringLiteral("/TavrelData.mdb");
        QProcess tool;
        tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), path, QStringLiteral("--jobs"), QStringLiteral("40")});
        tool.waitForFinished(120000);
    }
    return path;
}

// Every line of the file's SQL text dump.
QStringList dumpLines(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {path, QStringLiteral(".dump")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
}

// The lines of `a` missing from `b` (as many times as they are missing).
QStringList missingLines(QStringList a, const QStringList &b)
{
    for (const QString &line : b)
        a.removeOne(line);
    return a;
}

// The setup tables of the settings view and of the areas that borrow it.
const int kTableCodes[] = {102, 103, 302, 303, 401, 402, 403, 404, 405, 501, 502, 503, 504, 505, 601, 602, 603,
                           701, 702, 703, 801, 802, 803, 804, 805, 806, 2001, 2002, 30721, 30722, 30723};

} // namespace

class SetupGridsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        Appearance::instance().LoadViewSettings();
        const QString source = setupSampleShop();
        ASSERT_TRUE(QFile::exists(source));
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_TRUE(QFile::copy(source, m_path));
        SharedDatabase().open(m_path);
        m_app = std::make_unique<CZqApp>();
        m_app->m_nSecurityLevel = 0; // the passwords entry asks for the top level first
    }
    void TearDown() override
    {
        platform::WatchMessageBoxes(nullptr);
        QApplication::processEvents();
        m_app.reset();
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        TavrelTest::TearDown();
    }

    // While each message box is up another workstation writes with no wait
    // at all (a row rewritten as it is): it must succeed, the file free
    // while the box is on screen. Counts the boxes so met.
    void writeAtOnceWhileBoxesShow(int &writes)
    {
        writes = 0;
        platform::WatchMessageBoxes([this, &writes](const platform::PromptRecord &box) {
            QProcess other;
            other.start(QStringLiteral("sqlite3"), {m_path, QStringLiteral("UPDATE Terms SET Days = Days WHERE [No] = 1;")});
            EXPECT_TRUE(other.waitForFinished(60000));
            EXPECT_EQ(other.exitCode(), 0) << box.text.toStdString() << ": " << other.readAllStandardError().toStdString();
            ++writes;
        });
    }

    QString m_path;
    std::unique_ptr<CZqApp> m_app;
};

TEST_F(SetupGridsTest, OkWithoutEditsWritesNothingInAnySetupTable)
{
    CViewDefaults view;
    for (int code : kTableCodes) {
        const QStringList before = dumpLines(m_path);
        bool shown = false;
        prompts().onDialog([&shown](QDialog &) {
            shown = true;
            return int(QDialog::Accepted);
        });
        view.EditSetupTable(code, 5, 120);
        EXPECT_TRUE(shown) << code;
        if (!shown)
            prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); }); // keep the queue for the next
        const QStringList after = dumpLines(m_path);
        EXPECT_EQ(missingLines(before, after), QStringList()) << code;
        EXPECT_EQ(missingLines(after, before), QStringList()) << code;
    }
}

TEST_F(SetupGridsTest, OneEditChangesExactlyOneRow)
{
    CViewDefaults view;
    int editedTables = 0;
    for (int code : kTableCodes) {
        const QStringList before = dumpLines(m_path);
        QString edited;
        prompts().onDialog([&edited](QDialog &dialog) {
            auto *setup = qobject_cast<CSetupGridDlg *>(&dialog);
            CXGridCtrl *grid = setup ? setup->grid(0) : nullptr;
            if (!grid)
                return int(QDialog::Rejected);
            // The first editable text cell of a row that came from a record,
            // else its first editable number.
            for (int pass = 0; pass < 2 && edited.isEmpty(); ++pass) {
                for (int r = 0; r < grid->GetRowCount() && edited.isEmpty(); ++r) {
                    if (grid->rowRecord(r) < 0)
                        continue;
                    for (int c = 0; c < grid->GetColumnCount() && edited.isEmpty(); ++c) {
                        if (!grid->IsCellEditable(r, c) || grid->columnField(c) == 255)
                            continue;
                        const bool text = grid->GetColumnType(c) == 1;
                        if (pass == 0 && text && !grid->GetCellText(r, c).trimmed().isEmpty()) {
                            grid->SetCellText(r, c, grid->GetCellText(r, c).left(10) + QStringLiteral("Z"));
                            edited = grid->GetCellText(r, c);
                        } else if (pass == 1 && (grid->GetColumnType(c) == 6 || grid->GetColumnType(c) == 7)) {
                            grid->SetCellValue(r, c, grid->GetCellValue(r, c) == 1 ? 2 : 1);
                            edited = QString::number(grid->GetCellValue(r, c));
                        }
                    }
                }
            }
            return int(QDialog::Accepted);
        });
        const bool asksRestart = code == 602 || code == 603 || code == 30721 || code == 30722;
        if (asksRestart)
            prompts().answer(platform::IDOK);
        view.EditSetupTable(code, 5, 120);
        if (asksRestart && !edited.isEmpty())
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Your changes will be used after you restart Tavrel."));
        const QStringList after = dumpLines(m_path);
        if (edited.isEmpty())
            continue; // an empty table in the sample: nothing to edit
        ++editedTables;
        const QStringList gone = missingLines(before, after);
        const QStringList added = missingLines(after, before);
        EXPECT_EQ(gone.size(), 1) << code << " " << gone.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(added.size(), 1) << code << " " << added.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(added.first().contains(edited)) << code << " " << added.first().toStdString();
    }
    std::printf("setup tables edited: %d\n", editedTables);
    EXPECT_GE(editedTables, 12); // the tables the sample shop fills
}

TEST_F(SetupGridsTest, FixedRowsShowOnlyTheRecordsOfTheirNumbers)
{
    // The sample's terms are a new file's 0 C.O.D., 1 Net 30 and 4 Net 10th
    // of Month with its own 2 Net 15 and 3 Net 60. Each record shows in the
    // row of its own number.
    CViewDefaults view;
    QStringList shown;
    prompts().onDialog([&shown](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        for (int r = 0; r < 5; ++r)
            shown << QStringLiteral("%1 %2 %3").arg(grid->GetCellValue(r, 0)).arg(grid->GetCellText(r, 1)).arg(grid->GetCellValue(r, 2));
        return int(QDialog::Accepted);
    });
    view.EditSetupTable(503, 0, 120);
    EXPECT_EQ(shown, QStringList({QStringLiteral("0 C.O.D. 0"), QStringLiteral("1 Net 30 30"), QStringLiteral("2 Net 15 15"),
                                  QStringLiteral("3 Net 60 60"), QStringLiteral("4 Net 10th of Month 0")}));
}

TEST_F(SetupGridsTest, WasteLevelsShowInTheRowsOfTheirNumbers)
{
    // Levels 1 to 4 and the limit (20) are stored: the limit belongs in the
    // last row, not in the fifth, and typing there changes that one record.
    SharedDatabase().execute(QStringLiteral("DELETE FROM WasteTable"));
    for (const char *row : {"0, '', 0", "1, 'Easy', 10", "2, 'Fair', 20", "3, 'Hard', 30", "4, 'Worst', 40",
                            "20, 'Limit', 5"})
        SharedDatabase().execute(QStringLiteral("INSERT INTO WasteTable ([Level], Name, Setup) VALUES (%1)")
                                     .arg(QLatin1String(row)));
    CViewDefaults view;
    prompts().onDialog([](QDialog &dialog) {
        CXGridCtrl *levels = qobject_cast<CSetupGridDlg *>(&dialog)->grid(1);
        EXPECT_EQ(levels->GetCellText(3, 1).trimmed(), QStringLiteral("Worst"));
        EXPECT_EQ(levels->GetCellValue(4, 2), 0);
        EXPECT_EQ(levels->GetCellValue(19, 2), 5);
        levels->SetCellValue(19, 2, 7);
        return int(QDialog::Accepted);
    });
    view.EditSetupTable(2002, 0, 120);
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {m_path, QStringLiteral("SELECT [Level], Setup FROM WasteTable WHERE [Level] > 4")});
    p.waitForFinished(30000);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("20|7\n"));
}

TEST_F(SetupGridsTest, HowToSaveItemPriceSetsTheOptionsThePricingReads)
{
    // Stored: "Always ask" on save and "Show"; repricing not set yet.
    SharedDatabase().execute(QStringLiteral("DELETE FROM Options WHERE OptionID BETWEEN 44312 AND 44314"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44312, 1)"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44314, 1)"));
    CViewDefaults view;
    QStringList texts;
    prompts().onDialog([&texts](QDialog &dialog) {
        auto &options = static_cast<CDlgOptions &>(dialog);
        for (int i = 0; i < options.GetEntryCount(); ++i)
            texts << options.entry(i).m_text;
        EXPECT_TRUE(options.IsEntryChecked(4431201));
        EXPECT_TRUE(options.IsEntryChecked(4431401));
        options.tree()->SetOptionChecked(4431302, true);
        options.tree()->SetOptionChecked(4431402, true);
        options.SendCommand(1);
        return options.result();
    });
    view.EditSetupTable(306, 0, 120);
    EXPECT_EQ(texts.mid(0, 3), (QStringList{QStringLiteral("When saving an Item (Specs window):"),
                                            QStringLiteral("Always ask"),
                                            QStringLiteral("Always save default price (do not ask)")}));
    EXPECT_EQ(texts.value(5), QStringLiteral("When repricing Items (Job window):"));
    EXPECT_EQ(texts.value(10), QStringLiteral("Show Item Cost in the 'Price Changed' window?"));
    EXPECT_EQ(GetOptionValue(44312, 0), 1);
    EXPECT_EQ(GetOptionValue(44313, 0), 2); // repricing saves the default price without asking
    EXPECT_EQ(GetOptionValue(44314, 0), 2); // the cost column is hidden
}

TEST_F(SetupGridsTest, DialogsFitTheScreenPasswordsAreMaskedAndEscapeEndsOnlyTheEdit)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/usable");
    QDir().mkpath(folder);
    CViewDefaults view;
    for (int code : {701, 502, 102, 2002, 503}) {
        QSize size;
        QRect area;
        prompts().onDialog([&, code](QDialog &dialog) {
            QApplication::processEvents();
            size = dialog.frameGeometry().size();
            area = dialog.screen()->availableGeometry();
            dialog.grab().save(folder + QStringLiteral("/setup-%1.png").arg(code));
            if (code != 102)
                return int(QDialog::Rejected);
            CXGridCtrl *levels = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
            levels->EditCell(0, 2);
            EXPECT_EQ(levels->textEditor()->echoMode(), QLineEdit::Password);
            QTest::keyClicks(levels->textEditor(), QStringLiteral("secret"));
            QTest::keyClick(levels->textEditor(), Qt::Key_Escape);
            QApplication::processEvents();
            EXPECT_FALSE(levels->textEditor()->isVisible());
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), 0);
            EXPECT_NE(levels->GetCellText(0, 2), QStringLiteral("secret"));
            return int(QDialog::Rejected);
        });
        view.EditSetupTable(code, 0, 120);
        EXPECT_LE(size.width(), area.width()) << code;
        EXPECT_LE(size.height(), area.height()) << code;
    }
}

// A rate is a share of the amount: a tax 0 to 100 %, a commission the same,
// typed with or without its "%"; a cost break is an amount, read as every
// money field reads it, and like an impressions break never below 0.
// Anything else is refused naming the column, the value shown before kept.
TEST_F(SetupGridsTest, RatesAndBreaksAreReadAsEveryFieldReadsThem)
{
    CViewDefaults view;
    const QString taxRange = QStringLiteral("Rate (%): Please enter a number from 0.0000 to 100.0000.");
    const QString commRange = QStringLiteral("Comm%: Please enter a number from 0.00 to 100.00.");
    const struct
    {
        int code;
        int grid;
        int row;
        int column;
        const char *typed;
        qint64 kept; // -1: refused, the value before stays
        QString message;
    } rows[] = {
        {502, 0, 1, 2, "8.25", 82500, {}},
        {502, 0, 1, 2, "101", -1, taxRange},
        {502, 0, 1, 2, "-5", -1, taxRange},
        {502, 0, 1, 2, "100.0001", -1, taxRange},
        {502, 0, 1, 2, "100", 1000000, {}},
        {502, 0, 1, 2, "0", 0, {}},
        {502, 0, 1, 2, "10%", 100000, {}},
        {502, 0, 1, 2, "7.5 %", 75000, {}},
        {502, 0, 1, 2, "101%", -1, taxRange},
        // Sales reps' commission
        {603, 0, 0, 3, "10%", 1000, {}},
        {603, 0, 0, 3, "12.5", 1250, {}},
        {603, 0, 0, 3, "101", -1, commRange},
        {603, 0, 0, 3, "-5", -1, commRange},
        {603, 0, 0, 3, "1000", -1, commRange},
        {603, 0, 0, 3, "100", 10000, {}},
        // Markup table: cost breaks in whole dollars, markups in percent
        {2001, 0, 0, 2, "$5,000", 5000, {}},
        {2001, 0, 0, 2, "1,500", 1500, {}},
        {2001, 0, 0, 2, "-5", -1, QStringLiteral("Cost 1: Please enter a number of 0 or more.")},
        {2001, 0, 0, 2, "$5.50", -1, QStringLiteral("Cost 1: Please enter an integer.")},
        {2001, 1, 0, 2, "10%", 10, {}},
        // Waste table: impressions breaks, waste rates
        {2002, 0, 0, 3, "-5", -1, QStringLiteral("Break 1: Please enter a number of 0 or more.")},
        {2002, 0, 0, 3, "2,000", 2000, {}},
        {2002, 1, 0, 3, "2.5%", 250, {}},
        // Waste is never below 0: set-up sheets and rates alike.
        {2002, 1, 0, 2, "-5", -1, QStringLiteral("Setup (sheets): Please enter a number of 0 or more.")},
        {2002, 1, 0, 2, "1,000", 1000, {}},
        {2002, 1, 0, 3, "-0.5", -1, QStringLiteral("%: Please enter a number of 0 or more.")},
        {2002, 1, 19, 2, "-1", -1, QStringLiteral("Setup (sheets): Please enter a number of 0 or more.")},
    };
    for (int code : {502, 603, 2001, 2002}) {
        prompts().onDialog([&](QDialog &dialog) {
            auto *setup = qobject_cast<CSetupGridDlg *>(&dialog);
            for (const auto &row : rows) {
                if (row.code != code)
                    continue;
                SCOPED_TRACE(std::to_string(code) + " \"" + row.typed + "\"");
                CXGridCtrl *grid = setup->grid(row.grid);
                const qint64 before = grid->GetCellValue(row.row, row.column);
                prompts().clear();
                if (row.kept < 0)
                    prompts().answer(platform::IDOK);
                grid->EditCell(row.row, row.column);
                auto *editor = qobject_cast<CXEdit *>(grid->editor());
                if (!editor) {
                    ADD_FAILURE() << "no typed editor";
                    break;
                }
                editor->selectAll();
                QTest::keyClicks(editor, QString::fromLatin1(row.typed));
                grid->EndEdit();
                EXPECT_EQ(grid->GetCellValue(row.row, row.column), row.kept < 0 ? before : row.kept);
                EXPECT_EQ(prompts().texts(), row.kept < 0 ? QStringList{row.message} : QStringList());
            }
            return int(QDialog::Rejected);
        });
        view.EditSetupTable(code, 0, 120);
    }
}

// A text cell takes no more letters than its column keeps, its "&N" or its
// table column's size, whichever is smaller: typed one letter past, it stops
// with a beep, and OK stores exactly what the cell showed.
TEST_F(SetupGridsTest, ATextCellStopsAtItsSizeAndOkStoresWhatItShowed)
{
    CViewDefaults view;
    const QString letters = QStringLiteral("Abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const struct
    {
        int code;
        int grid;
        int column;
        int size; // what the column keeps
    } rows[] = {
        {502, 0, 1, 20}, // Taxes: Name
        {503, 0, 1, 20}, // Terms: Name
        {603, 0, 1, 20}, // Sales Reps: Name
        {2001, 1, 1, 30}, // Markup Table: Markup Description (its table column holds 32)
        {302, 0, 1, 20}, // Product Types: Product Name
        {501, 0, 1, 20}, // Sales Departments: Department ID and Name
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        const QString typed = letters.left(row.size + 1);
        const QStringList before = dumpLines(m_path);
        QString shown;
        int beeps = -1;
        prompts().onDialog([&](QDialog &dialog) {
            CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(row.grid);
            int r = 0;
            while (r < grid->GetRowCount() && !(grid->rowRecord(r) >= 0 && grid->IsCellEditable(r, row.column)))
                ++r;
            if (r >= grid->GetRowCount()) {
                ADD_FAILURE() << "no row of a record";
                return int(QDialog::Rejected);
            }
            grid->EditCell(r, row.column);
            grid->textEditor()->selectAll();
            const qsizetype shownBefore = prompts().shown().size();
            QTest::keyClicks(grid->textEditor(), typed);
            shown = grid->textEditor()->text();
            beeps = 0;
            for (qsizetype i = shownBefore; i < prompts().shown().size(); ++i)
                beeps += prompts().shown().at(i).kind == platform::PromptRecord::Kind::Beep ? 1 : 0;
            QTest::keyClick(grid->editor(), Qt::Key_Tab);
            return int(QDialog::Accepted);
        });
        if (row.code == 603)
            prompts().answer(platform::IDOK); // the restart note
        view.EditSetupTable(row.code, 5, 120);
        EXPECT_EQ(shown, typed.left(row.size));
        EXPECT_EQ(beeps, 1);
        const QStringList added = missingLines(dumpLines(m_path), before);
        ASSERT_EQ(added.size(), 1) << added.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(added.first().contains(QLatin1Char('\'') + shown + QLatin1Char('\''))) << added.first().toStdString();
    }
}

TEST_F(SetupGridsTest, ABorrowedEditorIsCentredOverTheWindowThatAskedForIt)
{
    // The service window opens the waste table through a settings view of
    // its own that is never shown.
    QWidget asking;
    asking.setGeometry(120, 90, 420, 320);
    asking.show();
    asking.activateWindow();
    QApplication::setActiveWindow(&asking);
    QApplication::processEvents();
    CViewDefaults borrowed;
    QRect shown;
    prompts().onDialog([&shown](QDialog &dialog) {
        QApplication::processEvents();
        shown = dialog.frameGeometry();
        return int(QDialog::Rejected);
    });
    borrowed.EditSetupTable(503, 0, 120);
    ASSERT_TRUE(shown.isValid());
    EXPECT_LE(std::abs(shown.center().x() - asking.frameGeometry().center().x()), 1);
    EXPECT_LE(std::abs(shown.center().y() - asking.frameGeometry().center().y()), 1);
}

namespace {

// Answers the bar-code window: first a preview of a sheet, then a close.
class BarCodeAnswers : public PrintService
{
public:
    QList<int> answers;
    int asked = 0;
    void PrintList(CXListCtrl *, const QString &, const QString &, const QString &, int) override {}
    void PrintViewList(int, CXListCtrl *, CXChartCtrl *, const QString &, const QString &, const QString &,
                       int) override {}
    void PrintGrid(QWidget *, CXGridCtrl *, CXGridCtrl *, const QString &, const QString &) override {}
    void PrintScreen(QWidget *, QWidget *, const QString &, const QString &, int) override {}
    int PrintView(const ViewPrintRequest &) override { return 0; }
    int PrintReceipt(const ReceiptData &) override { return 0; }
    void PrintPostingReports(int, int, int, QWidget *) override {}
    void EditDocumentForms(QWidget *) override {}
    int EditBarCodes(QWidget *) override { return asked < answers.size() ? answers[asked++] : (++asked, 0); }
};

} // namespace

TEST_F(SetupGridsTest, BarcodeOptionsOpenAgainAfterASheetIsPrinted)
{
    auto service = std::make_unique<BarCodeAnswers>();
    BarCodeAnswers *barCodes = service.get();
    barCodes->answers = {57609, 57608, 0};
    m_app->setPrintService(std::move(service));
    CViewDefaults view;
    view.resize(1000, 700);
    view.OnInitialUpdate();
    view.show();
    QApplication::processEvents();
    // "Printing" is the second branch, "Barcode Options" its second entry.
    QTreeWidgetItem *entry = view.tree()->FindItemByData(102);
    ASSERT_NE(entry, nullptr);
    view.tree()->setCurrentItem(entry);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    // A preview, then a print, each brings the window back; closing it ends.
    EXPECT_EQ(barCodes->asked, 3);
}

TEST_F(SetupGridsTest, EveryTaskRowTakesALevelAndTheLevelIsThenAsked)
{
    // Opening orders (21) and quotes (22) and the quick sale (61) have no
    // description in the table, yet guard real actions.
    platform::Database &db = SharedDatabase();
    db.execute(QStringLiteral("UPDATE Passwords SET [Password] = 'clerk' WHERE [No] = 3"));
    const auto field = [&db](const QString &sql) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, sql);
        return rs.isEOF() ? QString() : rs.value(0).toString();
    };
    ASSERT_EQ(field(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 61")), QString());
    CViewDefaults view;
    prompts().onDialog([](QDialog &dialog) {
        CXGridCtrl *tasks = qobject_cast<CSetupGridDlg *>(&dialog)->grid(1);
        for (int no : {21, 22, 61}) {
            int row = -1;
            for (int r = 0; r < tasks->GetRowCount() && row < 0; ++r)
                if (tasks->GetCellValue(r, 0) == no)
                    row = r;
            EXPECT_GE(row, 0) << no;
            if (row < 0)
                continue;
            EXPECT_TRUE(tasks->IsCellEditable(row, 2)) << no;
            tasks->EditCell(row, 2);
            QTest::keyClicks(tasks->typedEditor(), QStringLiteral("3"));
            QTest::keyClick(tasks->typedEditor(), Qt::Key_Return);
            QApplication::processEvents();
        }
        return int(QDialog::Accepted);
    });
    view.EditSetupTable(102, 0, 120);
    for (int no : {21, 22, 61})
        EXPECT_EQ(field(QStringLiteral("SELECT Level FROM Passwords WHERE [No] = %1").arg(no)), QStringLiteral("3")) << no;

    // With the passwords on, each of the three actions asks for the password.
    InstallAppQueryReader(*m_app);
    m_app->m_nSecurityLevel = -1;
    int asked = 0;
    m_app->setDataEntryDialog([&asked](QString &value, int, const QString &, const QString &, const QString &) {
        ++asked;
        value = QStringLiteral("clerk");
        return 1;
    });
    for (int no : {21, 22, 61})
        EXPECT_TRUE(m_app->CheckPassword(no, QString())) << no;
    EXPECT_EQ(asked, 3);
}

TEST(GridFit, RowsScrollAndTextColumnsNarrowToFit)
{
    QWidget host;
    CXGridCtrl grid;
    grid.AddColumn(QStringLiteral("No"), 30, 6, QStringLiteral("%3d"), 0);
    grid.AddColumn(QStringLiteral("Name"), 400, 1, QStringLiteral("&50"));
    grid.AddColumn(QStringLiteral("Note"), 200, 1, QStringLiteral("&50"));
    grid.SetRows(100, 30, true);
    ASSERT_TRUE(grid.Create(&host, 1801, 0, 0));
    const QSize before = grid.naturalSize();
    grid.FitInto(500, 300);
    EXPECT_LE(grid.width(), 500);
    EXPECT_LE(grid.height(), 300);
    EXPECT_EQ(grid.width(), grid.naturalSize().width());
    EXPECT_GT(before.width(), 500);
    EXPECT_LT(grid.visibleRowCount(), 30);
    // A box with room changes nothing; the key column keeps its width.
    const QSize fitted = grid.size();
    grid.FitInto(2000, 2000);
    EXPECT_EQ(grid.size(), fitted);
}

// A text column narrows no further than its heading and its longest text
// need; when the grid is still too wide it scrolls sideways instead.
TEST(GridFit, TextColumnsNeverNarrowPastTheirTexts)
{
    const QString longest = QStringLiteral("Saddle stitch and three-hole drill");
    const struct
    {
        int box;           // the width the grid is fitted into
        bool sideways;     // whether the columns then scroll under a bar
    } cases[] = {
        {700, false}, // room for both texts: the spare width comes off
        {250, true},  // less than the texts need: no column is cut
    };
    for (const auto &c : cases) {
        QWidget host;
        CXGridCtrl grid;
        grid.AddColumn(QStringLiteral("No"), 30, 6, QStringLiteral("%3d"), 0);
        grid.AddColumn(QStringLiteral("Name"), 400, 1, QStringLiteral("&50"));
        grid.AddColumn(QStringLiteral("Note"), 400, 1, QStringLiteral("&50"));
        grid.SetRows(3, 3, true);
        ASSERT_TRUE(grid.Create(&host, 1801, 0, 0));
        grid.SetCellText(1, 1, longest);
        grid.SetCellText(2, 2, QStringLiteral("Rush"));
        const QFontMetrics cells(Appearance::instance().GetFont(1));
        grid.FitInto(c.box, 300);
        EXPECT_LE(grid.width(), c.box) << c.box;
        EXPECT_GE(int(grid.GetColumnWidth(1)), cells.horizontalAdvance(longest) + 8) << c.box;
        EXPECT_GE(int(grid.GetColumnWidth(2)), 60) << c.box;
        EXPECT_EQ(grid.isHorzScrollShown(), c.sideways) << c.box;
    }
}

TEST_F(SetupGridsTest, ListManagerTakesTheWidthOfItsLongestEntry)
{
    CViewDefaults view;
    view.resize(1000, 700);
    view.OnInitialUpdate();
    view.show();
    QApplication::processEvents();
    CXTreeCtrl *tree = view.tree();
    int widest = 0;
    QTreeWidgetItem *longest = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const int w = tree->fontMetrics().horizontalAdvance((*it)->text(0));
        if (w > widest) {
            widest = w;
            longest = *it;
        }
    }
    ASSERT_NE(longest, nullptr);
    EXPECT_GT(tree->width(), 200);
    EXPECT_LE(tree->width(), 320);
    tree->expandAll();
    QApplication::processEvents();
    // The longest entry is drawn whole.
    EXPECT_LE(tree->visualItemRect(longest).left() + widest, tree->viewport()->width())
        << longest->text(0).toStdString() << " in " << tree->width();
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("View Settings"), QStringLiteral("ListManagerWidth-Settings"), 0),
              tree->width());
}

TEST_F(SetupGridsTest, OptionPickerWidensForItsTitleAndEntriesWithinTheScreen)
{
    const QString entry = QStringLiteral("Reprice Item and Save Default Price (do not reprice if Item Price is locked)");
    CDlgOptions dlg(QStringLiteral("Jobs / Data to Reset (after paste)"), QStringLiteral("Check all that apply:"), 158,
                    nullptr);
    dlg.AddCheckGroup(QStringLiteral("History to Order:"), 0);
    dlg.AddEntry(1, entry, 0);
    int width = 0;
    int needed = 0;
    QRect area;
    prompts().onDialog([&](QDialog &d) {
        width = d.width();
        area = d.screen()->availableGeometry();
        needed = d.fontMetrics().horizontalAdvance(entry);
        return int(QDialog::Rejected);
    });
    dlg.DoModal();
    EXPECT_GT(width, 420);
    EXPECT_GT(width, needed);
    EXPECT_LE(width, area.width());
}

TEST_F(SetupGridsTest, AppearanceChangesShowAtOnceInEveryOpenView)
{
    CViewDefaults first;
    CViewDefaults second;
    for (CViewDefaults *v : {&first, &second}) {
        v->resize(900, 600);
        v->OnInitialUpdate();
    }
    // Icons only (button style 2): every open view's main bar takes it and
    // the workstation keeps it.
    first.OnAppearanceMessage(1, 2);
    EXPECT_EQ(first.mainBar()->barStyle(), 2);
    EXPECT_EQ(second.mainBar()->barStyle(), 2);
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("View Settings"), QStringLiteral("Style"), -1), 2);
    // Text only (style 3): every caption has its whole width on its button.
    first.OnAppearanceMessage(1, 3);
    CXRibbon &bar = *first.mainBar();
    int buttons = 0;
    for (int i = 0; i < bar.GetItemCount(); ++i) {
        const unsigned id = bar.GetItemId(i);
        const QString caption = id ? bar.GetItemText(id) : QString();
        if (caption.isEmpty() || bar.itemRect(id).height() > 40)
            continue;
        ++buttons;
        EXPECT_GE(bar.itemRect(id).width(), bar.MeasureText(caption, bar.item().font) + 8) << caption.toStdString();
    }
    EXPECT_GT(buttons, 3);
    // A window colour belongs to the view it was chosen for; 0 is its default.
    first.OnAppearanceMessage(0, 40);
    EXPECT_EQ(first.mainBar()->colorSchemeHue(), 40);
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("View Settings"), QStringLiteral("Settings"), -1), 40);
    first.OnAppearanceMessage(0, 0);
    EXPECT_EQ(first.mainBar()->colorSchemeHue(), 270);
    first.OnAppearanceMessage(1, 0);
}

TEST_F(SetupGridsTest, AnOperatorAddedInSettingsIsKnownAtOnce)
{
    // The caches are loaded as at start; then an operator is added in the
    // first empty row of the operators' table (its row is its number).
    InstallAppQueryReader(*m_app);
    m_app->BuildPopupMenus();
    const auto operatorNames = [this] {
        QStringList names;
        for (QAction *action : m_app->GetPopupMenu(CZqApp::OperatorsMenu)->actions())
            names << action->text();
        return names;
    };
    ASSERT_TRUE(operatorNames().contains(QStringLiteral("Jordan")));
    int added = -1;
    prompts().onDialog([&added](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        // Numbers 1 to 5 belong to the sample's other employees.
        for (int r = 6; r < grid->GetRowCount() && added < 0; ++r)
            if (grid->rowRecord(r) < 0 && grid->GetCellText(r, 1).trimmed().isEmpty()) {
                grid->SetCellText(r, 1, QStringLiteral("Casey"));
                added = r;
            }
        return int(QDialog::Accepted);
    });
    CViewDefaults view;
    view.EditSetupTable(601, 0, 120);
    ASSERT_GT(added, 0);
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT EmpNo FROM Employees WHERE Name = 'Casey' AND Type = 0"));
    ASSERT_FALSE(rs.isEOF());
    ASSERT_EQ(rs.value(0).toString(), QString::number(added));
    // The name the time clock and the lists show, and the scheduler's operators menu.
    EXPECT_EQ(m_app->GetEmployeeName(quint8(added)), QStringLiteral("Casey"));
    EXPECT_TRUE(operatorNames().contains(QStringLiteral("Casey")));
    EXPECT_EQ(operatorNames().count(QStringLiteral("Jordan")), 1);
}

// A setup table edited here while another workstation saves the same row: OK
// writes only the cells typed here, onto the other's row; a cell both
// changed is put to the user.
TEST_F(SetupGridsTest, OkAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameCell)
{
    const struct
    {
        const char *what;
        const char *byOther; // SET clause of the other workstation's save
        QString name;   // typed into Net 30's name (empty: left alone)
        int days;       // typed into its days (-1: left alone)
        int answer;     // 0: nothing asked
        QString asked;  // the question's field line
        QString stored; // Name|Days of term 1 afterwards
    } cases[] = {
        {"different cells", "Name = 'Net Thirty'", QString(), 45, 0, QString(), QStringLiteral("Net Thirty|45")},
        {"the same cell, the other user's kept", "Name = 'Net Thirty'", QStringLiteral("Net 30 Days"), 45,
         platform::IDNO, QStringLiteral("Net 30, Name: the other user's \"Net Thirty\", yours \"Net 30 Days\""),
         QStringLiteral("Net Thirty|45")},
        {"the same cell, this user's kept", "Name = 'Net Thirty'", QStringLiteral("Net 30 Days"), -1, platform::IDYES,
         QStringLiteral("Net 30, Name: the other user's \"Net Thirty\", yours \"Net 30 Days\""),
         QStringLiteral("Net 30 Days|30")},
        // A number cell: left as loaded it keeps the other's change; typed, it
        // is weighed against what was loaded (30), not the row read at Ok.
        {"a number cell left alone keeps the other's number", "Days = 60", QStringLiteral("Net 30 Days"), -1, 0,
         QString(), QStringLiteral("Net 30 Days|60")},
        {"the same number cell, the other user's kept", "Days = 60", QString(), 45, platform::IDNO,
         QStringLiteral("Net 30, Net Days: the other user's \"60\", yours \"45\""), QStringLiteral("Net 30|60")},
    };
    platform::Database other;
    other.open(m_path);
    CViewDefaults view;
    int writesWhileAsked = 0;
    writeAtOnceWhileBoxesShow(writesWhileAsked);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writesWhileAsked = 0;
        SharedDatabase().execute(QStringLiteral("UPDATE Terms SET Name = 'Net 30', Days = 30 WHERE [No] = 1"));
        prompts().clear();
        prompts().onDialog([&](QDialog &dialog) {
            CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
            EXPECT_EQ(grid->GetCellText(1, 1), QStringLiteral("Net 30"));
            other.execute(QStringLiteral("UPDATE Terms SET %1 WHERE [No] = 1").arg(QLatin1String(c.byOther)));
            if (!c.name.isEmpty())
                grid->SetCellText(1, 1, c.name);
            if (c.days >= 0)
                grid->SetCellValue(1, 2, c.days);
            return int(QDialog::Accepted);
        });
        if (c.answer != 0)
            prompts().answer(c.answer);
        view.EditSetupTable(503, 0, 120);
        if (c.answer == 0)
            EXPECT_EQ(prompts().texts(), QStringList());
        else
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral(
                          "Another user has saved this record since you opened it, and changed the same field:\n\n")
                          + c.asked
                          + QStringLiteral("\n\nSave what you typed over it?\n\nYes saves yours, No keeps the other "
                                           "user's; your other changes are saved either way. Cancel saves nothing now.")});
        platform::Recordset stored(other);
        stored.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Name & '|' & Days FROM Terms WHERE [No] = 1"));
        EXPECT_EQ(stored.value(0).toString(), c.stored);
        EXPECT_EQ(writesWhileAsked, prompts().texts().size());
    }
    platform::WatchMessageBoxes(nullptr);
}

// Rows are matched to records by key: what the other workstation added,
// deleted or sorted before a row meanwhile never moves this user's typing
// onto another record; a cell both changed is asked about by the row's
// name, its heading and the value as shown; Cancel saves nothing and shows
// the grid again with what was typed.
TEST_F(SetupGridsTest, OkMatchesRowsByKeyAfterAnotherWorkstationAddsDeletesOrSorts)
{
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\n"
        "Save what you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved "
        "either way. Cancel saves nothing now.");
    const auto rowOf = [](CXGridCtrl &grid, const QString &name) {
        for (int r = 0; r < grid.GetRowCount(); ++r)
            if (grid.GetCellText(r, 1).trimmed() == name)
                return r;
        return -1;
    };
    const auto listed = [](const QString &sql) {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, sql);
        QStringList out;
        for (; !rs.isEOF(); rs.moveNext())
            out << rs.value(0).toString() + QLatin1Char('=') + rs.value(1).toString();
        return out.join(QLatin1Char(' '));
    };
    const QString reps = QStringLiteral("SELECT Name, CommRate FROM Employees WHERE Type = 2 ORDER BY Name");
    const struct
    {
        const char *what;
        const char *byOther;  // the other workstation's statements, ";" apart
        int alex;             // Comm% typed for Alex and Zed, hundredths (-1: left alone)
        int zed;
        int answer;           // 0: nothing asked
        const char *asked;    // the question's field line
        int again;            // after Cancel: the answer on the second OK (0: the grid is cancelled)
        const char *stored;   // the reps afterwards
        const char *added = ""; // a rep typed here into the first empty row, Comm% 6.00
        const char *numbers = ""; // the reps' numbers afterwards (empty: not looked at)
    } cases[] = {
        {"a rep added that sorts first",
         "INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES (203, 'Terry', 2, 1, 400)", 900, 700, 0,
         "", 0, "Alex=900 Terry=400 Zed=700"},
        {"the reps sorted the other way round", "UPDATE Employees SET Sort = 5 WHERE Name = 'Alex'", -1, 700, 0, "",
         0, "Alex=500 Zed=700"},
        {"a rep added, and Alex's Comm% changed by both: mine kept",
         "INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES (203, 'Terry', 2, 1, 400);"
         "UPDATE Employees SET CommRate = 800 WHERE Name = 'Alex'",
         900, 700, platform::IDYES, "Alex, Comm%: the other user's \"8.00\", yours \"9.00\"", 0,
         "Alex=900 Terry=400 Zed=700"},
        {"Cancel saves no row and shows the grid again; Cancel there",
         "UPDATE Employees SET CommRate = 800 WHERE Name = 'Alex'", 900, 700, platform::IDCANCEL,
         "Alex, Comm%: the other user's \"8.00\", yours \"9.00\"", 0, "Alex=800 Zed=500"},
        {"Cancel, then OK again keeping the other's",
         "UPDATE Employees SET CommRate = 800 WHERE Name = 'Alex'", 900, 700, platform::IDCANCEL,
         "Alex, Comm%: the other user's \"8.00\", yours \"9.00\"", platform::IDNO, "Alex=800 Zed=700"},
        // A new rep's number is free among the grid's rows and the table's
        // records as they are at OK, whatever the other added meanwhile.
        {"both add a rep at once: the other's took 203, mine takes 204",
         "INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES (203, 'Terry', 2, 1, 400)", -1, -1, 0, "",
         0, "Alex=500 Sam=600 Terry=400 Zed=500", "Sam", "Alex=201 Sam=204 Terry=203 Zed=202"},
        {"the other's reps took 203 and 205: mine takes the gap between",
         "INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES (203, 'Terry', 2, 1, 400);"
         "INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES (205, 'Uma', 2, 4, 400)",
         -1, 900, 0, "", 0, "Alex=500 Sam=600 Terry=400 Uma=400 Zed=900", "Sam",
         "Alex=201 Sam=204 Terry=203 Uma=205 Zed=202"},
        {"Zed deleted by the other: 202 is still Zed's row here, so mine takes 203",
         "DELETE FROM Employees WHERE Name = 'Zed'", -1, -1, 0, "", 0, "Alex=500 Sam=600", "Sam",
         "Alex=201 Sam=203"},
    };
    platform::Database other;
    other.open(m_path);
    CViewDefaults view;
    int writesWhileAsked = 0;
    writeAtOnceWhileBoxesShow(writesWhileAsked);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writesWhileAsked = 0;
        SharedDatabase().execute(QStringLiteral("DELETE FROM Employees WHERE Type = 2"));
        SharedDatabase().execute(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES "
                                                "(201, 'Alex', 2, 2, 500)"));
        SharedDatabase().execute(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES "
                                                "(202, 'Zed', 2, 3, 500)"));
        prompts().clear();
        prompts().onDialog([&](QDialog &dialog) {
            CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
            for (const QString &sql : QString::fromLatin1(c.byOther).split(QLatin1Char(';')))
                other.execute(sql);
            if (c.alex >= 0)
                grid->SetCellValue(rowOf(*grid, QStringLiteral("Alex")), 3, c.alex);
            if (c.zed >= 0)
                grid->SetCellValue(rowOf(*grid, QStringLiteral("Zed")), 3, c.zed);
            if (*c.added) {
                const int empty = rowOf(*grid, QString());
                grid->SetCellText(empty, 1, QString::fromLatin1(c.added));
                grid->SetCellValue(empty, 3, 600);
            }
            return int(QDialog::Accepted);
        });
        if (c.answer != 0)
            prompts().answer(c.answer);
        if (c.answer == platform::IDCANCEL) {
            // Shown again with what was typed, nothing of it saved.
            prompts().onDialog([&](QDialog &dialog) {
                CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
                EXPECT_EQ(grid->GetCellValue(rowOf(*grid, QStringLiteral("Alex")), 3), 900);
                EXPECT_EQ(grid->GetCellValue(rowOf(*grid, QStringLiteral("Zed")), 3), 700);
                EXPECT_EQ(listed(reps), QStringLiteral("Alex=800 Zed=500"));
                return int(c.again ? QDialog::Accepted : QDialog::Rejected);
            });
            if (c.again)
                prompts().answer(c.again);
        }
        if (c.answer != platform::IDCANCEL || c.again != 0)
            prompts().answer(platform::IDOK); // "Your changes will be used after you restart Tavrel."
        view.EditSetupTable(603, 0, 120);
        QStringList asked;
        if (c.answer != 0)
            asked << question.arg(QString::fromLatin1(c.asked));
        if (c.again != 0)
            asked << question.arg(QString::fromLatin1(c.asked));
        if (c.answer != platform::IDCANCEL || c.again != 0)
            asked << QStringLiteral("Your changes will be used after you restart Tavrel.");
        EXPECT_EQ(prompts().texts(), asked);
        EXPECT_EQ(writesWhileAsked, asked.size());
        EXPECT_EQ(listed(reps), QString::fromLatin1(c.stored));
        if (*c.numbers)
            EXPECT_EQ(listed(QStringLiteral("SELECT Name, EmpNo FROM Employees WHERE Type = 2 ORDER BY Name")),
                      QString::fromLatin1(c.numbers));
    }

    // A product type deleted by the other workstation: a change to it is
    // said, nothing is saved and the grid shows again; OK there saves the
    // rename of another row, and the deleted one anew.
    SharedDatabase().execute(QStringLiteral("DELETE FROM ProductTypes"));
    for (const char *values : {"(1, 'Brochures', 1, 0, 0)", "(2, 'Flyers', 2, 0, 0)", "(3, 'Posters', 3, 0, 0)"})
        SharedDatabase().execute(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Type, Qty) VALUES ")
                                 + QLatin1String(values));
    const QString types = QStringLiteral("SELECT [No], Name FROM ProductTypes ORDER BY [No]");
    prompts().clear();
    prompts().onDialog([&](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        other.execute(QStringLiteral("DELETE FROM ProductTypes WHERE Name = 'Brochures'"));
        grid->SetCellText(rowOf(*grid, QStringLiteral("Flyers")), 1, QStringLiteral("Fliers"));
        grid->SetCellValue(rowOf(*grid, QStringLiteral("Brochures")), 3, 250);
        return int(QDialog::Accepted);
    });
    prompts().answer(platform::IDOK);
    prompts().onDialog([&](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        EXPECT_GE(rowOf(*grid, QStringLiteral("Fliers")), 0);
        EXPECT_EQ(listed(types), QStringLiteral("2=Flyers 3=Posters"));
        return int(QDialog::Accepted);
    });
    writesWhileAsked = 0;
    view.EditSetupTable(302, 0, 120);
    EXPECT_EQ(writesWhileAsked, 1);
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("Another user has deleted \"Brochures\" since you opened this window, so "
                                         "nothing was saved.\n\nOK saves your changes again, with \"Brochures\" as a "
                                         "new row; clear it to leave it out.")});
    EXPECT_EQ(listed(types), QStringLiteral("1=Brochures 2=Fliers 3=Posters"));

    // Laid out by key, a new type keeps its row's number only while no
    // record has it: the other's Cards took 4, so Banners typed in row 4
    // takes 5, the first number free both here and in the table.
    prompts().clear();
    prompts().onDialog([&](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        other.execute(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Type, Qty) VALUES (4, 'Cards', 4, 0, 0)"));
        EXPECT_EQ(grid->GetCellText(4, 1).trimmed(), QString());
        grid->SetCellText(4, 1, QStringLiteral("Banners"));
        return int(QDialog::Accepted);
    });
    view.EditSetupTable(302, 0, 120);
    EXPECT_EQ(prompts().texts(), QStringList());
    EXPECT_EQ(listed(types), QStringLiteral("1=Brochures 2=Fliers 3=Posters 4=Cards 5=Banners"));

    // A rep the other deleted, its number then given to the other's Terry
    // (and its row key to Uma): Zed's change goes onto neither; saved again
    // as a new row, Zed takes 203, the first number free here and there.
    SharedDatabase().execute(QStringLiteral("DELETE FROM Employees WHERE Type = 2"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES "
                                            "(201, 'Alex', 2, 2, 500)"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES "
                                            "(202, 'Zed', 2, 3, 500)"));
    prompts().clear();
    prompts().onDialog([&](QDialog &dialog) {
        CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
        other.execute(QStringLiteral("DELETE FROM Employees WHERE Name = 'Zed'"));
        other.execute(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES "
                                     "(205, 'Uma', 2, 4, 400)"));
        other.execute(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort, CommRate) VALUES "
                                     "(202, 'Terry', 2, 1, 400)"));
        grid->SetCellValue(rowOf(*grid, QStringLiteral("Zed")), 3, 700);
        return int(QDialog::Accepted);
    });
    prompts().answer(platform::IDOK);
    prompts().onDialog([](QDialog &) { return int(QDialog::Accepted); });
    prompts().answer(platform::IDOK);
    writesWhileAsked = 0;
    view.EditSetupTable(603, 0, 120);
    platform::WatchMessageBoxes(nullptr);
    EXPECT_EQ(writesWhileAsked, 2);
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Another user has deleted \"Zed\" since you opened this window, so nothing "
                                          "was saved.\n\nOK saves your changes again, with \"Zed\" as a new row; "
                                          "clear it to leave it out."),
                           QStringLiteral("Your changes will be used after you restart Tavrel.")}));
    EXPECT_EQ(listed(QStringLiteral("SELECT Name, EmpNo & '/' & CommRate FROM Employees WHERE Type = 2 ORDER BY Name")),
              QStringLiteral("Alex=201/500 Terry=202/400 Uma=205/400 Zed=203/700"));
}

// The accounts of Settings > Accounting, kept as one list in one row: OK
// settles them account by account against what another workstation saved
// meanwhile, asking about an account both changed by its name.
TEST_F(SetupGridsTest, AccountsOkAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameAccount)
{
    const QString standard = QStringLiteral("1152,1150,4800,7390,7560,2150,2160,1151,1153,1490,");
    const struct
    {
        const char *what;
        const char *byOther; // the other's list
        int row;             // the account typed here: its row and number
        const char *typed;
        int answer;          // 0: nothing asked
        const char *asked;   // the question's line
        const char *stored;  // the list afterwards
    } cases[] = {
        {"different accounts: both kept", "4000,1150,4800,7390,7560,2150,2160,1151,1153,1490,", 2, "4810", 0, "",
         "4000,1150,4810,7390,7560,2150,2160,1151,1153,1490,"},
        {"the same account, the other's kept", "4000,1150,4800,7390,7560,2150,2160,1151,1153,1490,", 0, "4010",
         platform::IDNO, "Total Sales: the other user's \"4000\", yours \"4010\"",
         "4000,1150,4800,7390,7560,2150,2160,1151,1153,1490,"},
        {"the same account, this user's kept", "4000,1150,4800,7390,7560,2150,2160,1151,1153,1490,", 0, "4010",
         platform::IDYES, "Total Sales: the other user's \"4000\", yours \"4010\"",
         "4010,1150,4800,7390,7560,2150,2160,1151,1153,1490,"},
        {"Cancel saves nothing and shows the grid again", "4000,1150,4800,7390,7560,2150,2160,1151,1153,1490,", 0,
         "4010", platform::IDCANCEL, "Total Sales: the other user's \"4000\", yours \"4010\"",
         "4000,1150,4800,7390,7560,2150,2160,1151,1153,1490,"},
    };
    const auto accounts = [] {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 255"));
        return rs.isEOF() ? QString() : rs.value(0).toString();
    };
    platform::Database other;
    other.open(m_path);
    CViewDefaults view;
    int writesWhileAsked = 0;
    writeAtOnceWhileBoxesShow(writesWhileAsked);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writesWhileAsked = 0;
        SharedDatabase().execute(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 255"));
        SharedDatabase().execute(
            QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 255, ?)"),
            {platform::Value(standard)});
        prompts().clear();
        prompts().onDialog([&](QDialog &dialog) {
            CXGridCtrl *grid = qobject_cast<CSetupGridDlg *>(&dialog)->grid(0);
            other.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ? WHERE CusNo = 0 AND AlertType = 255"),
                          {platform::Value(QString::fromLatin1(c.byOther))});
            grid->SetCellText(c.row, 1, QString::fromLatin1(c.typed));
            return int(QDialog::Accepted);
        });
        if (c.answer != 0)
            prompts().answer(c.answer);
        if (c.answer == platform::IDCANCEL)
            prompts().onDialog([&](QDialog &dialog) {
                EXPECT_EQ(qobject_cast<CSetupGridDlg *>(&dialog)->grid(0)->GetCellText(c.row, 1),
                          QString::fromLatin1(c.typed));
                return int(QDialog::Rejected);
            });
        view.EditSetupTable(506, 0, 30);
        EXPECT_EQ(prompts().texts(),
                  c.answer == 0 ? QStringList()
                                : QStringList{QStringLiteral("Another user has saved this record since you opened it, "
                                                             "and changed the same field:\n\n")
                                              + QString::fromLatin1(c.asked)
                                              + QStringLiteral("\n\nSave what you typed over it?\n\nYes saves yours, "
                                                               "No keeps the other user's; your other changes are "
                                                               "saved either way. Cancel saves nothing now.")});
        EXPECT_EQ(writesWhileAsked, c.answer == 0 ? 0 : 1);
        EXPECT_EQ(accounts(), QString::fromLatin1(c.stored));
    }
    platform::WatchMessageBoxes(nullptr);
}
