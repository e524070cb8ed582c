// The cutting layout dialog: both stages counted in the better orientation,
// the shop's default options and favourite cuts as setting rows, the
// message about counts that differ from the specs, and OK refused until
// the defaults exist.
#include "support/ShopTest.h"

#include "app/base/DialogControls.h"
#include "controls/CXTreeCtrl.h"
#include "data/CItemSet.h"
#include "estimating/CPaperCutterDlg.h"
#include "estimating/PaperCutting.h"
#include "views/CDlgData.h"
#include "views/CFavoritesDlg.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtGui/QFocusEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

namespace {

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

class PaperCutter : public ShopTest
{
protected:
    QString row(int kind)
    {
        return sqlite(QStringLiteral("SELECT AlertText, AlertColor, AlertSound FROM CustomerAlerts WHERE CusNo = 0 and "
                                     "AlertType = %1 ORDER BY AlertNo")
                          .arg(kind));
    }
    static void snapshot(QWidget &w, const char *name)
    {
        QApplication::processEvents();
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
        QDir().mkpath(folder);
        EXPECT_TRUE(w.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name), "PNG"));
    }
};

TEST_F(PaperCutter, CalcLayoutsTakesTheBetterOrientation)
{
    struct Case
    {
        const char *parent;
        const char *run;
        const char *finish;
        const char *runAfter;
        const char *finishAfter;
        int outs;
        int ups;
    };
    const Case cases[] = {
        // Upright 1 x 3, turned 2 x 2: the turned run size wins.
        {"25 x 38", "19 x 12.5", "4 x 6", "12.5 x 19", "4 x 6", 4, 9},
        // A tie keeps the text as given, either way round.
        {"12 x 12", "4 x 6", "2 x 3", "4 x 6", "2 x 3", 6, 4},
        {"12 x 12", "6 x 4", "3 x 2", "6 x 4", "3 x 2", 6, 4},
        // No parent sheet: one out, no cuts.
        {"", "12 x 18", "4 x 6", "12 x 18", "4 x 6", 1, 9},
        // A finish size of nothing counts one piece.
        {"25 x 38", "12.5 x 19", "0 x 6", "12.5 x 19", "0 x 6", 4, 1},
    };
    for (const Case &c : cases) {
        CPaperCutterDlg d(nullptr);
        d.m_stages.parentSize = QString::fromLatin1(c.parent);
        d.m_stages.runSize = QString::fromLatin1(c.run);
        d.m_stages.finishSize = QString::fromLatin1(c.finish);
        d.m_stages.options1 = 0x3F; // replaced by the shop's defaults
        d.CalcLayouts();
        EXPECT_EQ(d.m_stages.runSize, QString::fromLatin1(c.runAfter)) << c.parent << " " << c.run;
        EXPECT_EQ(d.m_stages.finishSize, QString::fromLatin1(c.finishAfter)) << c.run << " " << c.finish;
        EXPECT_EQ(d.m_stages.outs, c.outs) << c.parent << " " << c.run;
        EXPECT_EQ(d.m_stages.ups, c.ups) << c.run << " " << c.finish;
        EXPECT_EQ(d.m_stages.options1, 0);
        EXPECT_EQ(d.m_stages.trimIndex1, 2);
        if (QString::fromLatin1(c.parent).isEmpty())
            EXPECT_EQ(d.m_stages.cutsToRun, 0);
    }
}

TEST_F(PaperCutter, DefaultsAreSavedOnceAndOkWaitsForThem)
{
    prompts().answer(IDOK);  // OK refused
    prompts().answer(IDNO);  // not now
    prompts().answer(IDYES); // save
    CPaperCutterDlg d(nullptr);
    d.m_stages.parentSize = QStringLiteral("25 x 38");
    d.m_stages.runSize = QStringLiteral("12.5 x 19");
    d.m_stages.finishSize = QStringLiteral("4 x 6");
    onDialog<CPaperCutterDlg>([&](CPaperCutterDlg &c) {
        EXPECT_FALSE(c.m_bDefaultsSaved);
        c.SendCommand(1);
        EXPECT_TRUE(c.isVisible());
        c.optionBox(1)->click(); // multi-cut on the first stage
        c.optionBox(7)->click(); // and on the second
        c.SendCommand(30442);
        EXPECT_FALSE(c.m_bDefaultsSaved);
        c.SendCommand(30442);
        EXPECT_TRUE(c.m_bDefaultsSaved);
        EXPECT_TRUE(c.m_bRightsGranted);
        // The saved row is told by the information beep.
        EXPECT_EQ(prompts().shown().last().kind, platform::PromptRecord::Kind::Beep);
        c.SendCommand(1);
        return c.result();
    });
    EXPECT_EQ(d.DoModal(), IDOK_RESULT);
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Please save your Default Options first, then click OK."),
                                              QStringLiteral("Do you want to save the Default Options?"),
                                              QStringLiteral("Do you want to save the Default Options?")}));
    EXPECT_EQ(row(210), QStringLiteral("2 \u00B7 2|2|2"));
    // Saving again replaces the one row.
    CutStages s;
    s.trimIndex1 = 7;
    s.trimIndex2 = 0;
    s.options1 = 0x05;
    s.options2 = 0xC0;
    EXPECT_TRUE(PaperCutting::SaveOptions(210, QString(), s));
    EXPECT_EQ(row(210), QStringLiteral("7 \u00B7 0|5|192"));
    CutStages loaded;
    EXPECT_TRUE(PaperCutting::LoadDefaultOptions(loaded));
    EXPECT_EQ(loaded.trimIndex1, 7);
    EXPECT_EQ(loaded.trimIndex2, 0);
    EXPECT_EQ(loaded.options2, 0xC0);

    // Another workstation saved the defaults after this window read them
    // ("2 · 2|2|2", trim 2 = 1/64): only what this user changed is written
    // onto its row; a trim size both changed is asked about by its label.
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what "
        "you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either "
        "way. Cancel saves nothing now.");
    const struct
    {
        const char *what;
        const char *byOther; // the other's row (AlertText|AlertColor|AlertSound); nullptr: no row
        int trim1, trim2, options1, options2; // this user's screen
        int answer;                            // to the question, if one comes
        const char *asked;                     // the question's line; nullptr: none
        bool saved;
        const char *stored;
    } cases[] = {
        {"different option boxes", "2 \u00B7 2|3|2", 2, 2, 2, 10, 0, nullptr, true, "2 \u00B7 2|3|10"},
        {"the same box turned by both", "2 \u00B7 2|3|2", 2, 2, 3, 2, 0, nullptr, true, "2 \u00B7 2|3|2"},
        {"one box on, the other's off", "2 \u00B7 2|0|2", 2, 2, 6, 2, 0, nullptr, true, "2 \u00B7 2|4|2"},
        {"different trim sizes", "5 \u00B7 2|2|2", 2, 4, 2, 2, 0, nullptr, true, "5 \u00B7 4|2|2"},
        {"the same trim to one size", "5 \u00B7 2|2|2", 5, 2, 2, 2, 0, nullptr, true, "5 \u00B7 2|2|2"},
        {"one trim changed by both, Yes", "5 \u00B7 2|2|2", 7, 2, 2, 130, IDYES,
         "Trim (Parent to Run Size): the other user's \"1/8\", yours \"1/4\"", true, "7 \u00B7 2|2|130"},
        {"one trim changed by both, No", "5 \u00B7 2|2|2", 7, 2, 2, 130, IDNO,
         "Trim (Parent to Run Size): the other user's \"1/8\", yours \"1/4\"", true, "5 \u00B7 2|2|130"},
        {"one trim changed by both, Cancel", "5 \u00B7 2|2|2", 7, 2, 2, 130, platform::IDCANCEL,
         "Trim (Parent to Run Size): the other user's \"1/8\", yours \"1/4\"", false, "5 \u00B7 2|2|2"},
        {"the row deleted meanwhile", nullptr, 2, 2, 2, 3, 0, nullptr, true, "2 \u00B7 2|2|3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CutStages read;
        read.trimIndex1 = read.trimIndex2 = 2;
        read.options1 = read.options2 = 2;
        exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 0 and AlertType = 210"));
        if (c.byOther) {
            const QStringList parts = QString::fromUtf8(c.byOther).split(QLatin1Char('|'));
            exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertColor, AlertSound, "
                                "AlertPrint) VALUES (0, 210, '%1', %2, %3, 0)")
                     .arg(parts[0], parts[1], parts[2]));
        }
        CutStages mine;
        mine.trimIndex1 = c.trim1;
        mine.trimIndex2 = c.trim2;
        mine.options1 = c.options1;
        mine.options2 = c.options2;
        prompts().clear();
        if (c.asked)
            prompts().answer(c.answer);
        EXPECT_EQ(PaperCutting::SaveOptions(210, QString(), mine, &read), c.saved);
        EXPECT_EQ(row(210), QString::fromUtf8(c.stored));
        QStringList expected;
        if (c.asked)
            expected << question.arg(QString::fromUtf8(c.asked));
        EXPECT_EQ(prompts().texts(), expected);
    }
}

TEST_F(PaperCutter, CountsThatDifferFromTheSpecsAreListed)
{
    PaperCutting::SaveOptions(210, QString(), CutStages());
    prompts().answer(IDOK);
    CPaperCutterDlg d(nullptr);
    d.m_stages.parentSize = QStringLiteral("25 x 38");
    d.m_stages.runSize = QStringLiteral("12.5 x 19");
    d.m_stages.finishSize = QStringLiteral("4 x 6");
    d.m_stages.outs = 3;         // computed 4: listed
    d.m_stages.cutsToRun = 0;    // 0 is never listed
    d.m_stages.ups = 1;          // 1 is never listed
    d.m_stages.cutsToFinish = 5; // computed 10: listed
    onDialog<CPaperCutterDlg>([&](CPaperCutterDlg &c) {
        EXPECT_EQ(c.caption(1901), QStringLiteral("Parent Size 25 x 38 to Run Size 12.5 x 19"));
        EXPECT_EQ(c.caption(1902), QStringLiteral("Run Size 12.5 x 19 to Finish Size 4 x 6"));
        snapshot(c, "cutting-layout.png");
        return 2;
    });
    d.DoModal();
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral(
                  "Using the Default Options, Tavrel calculated the number of Out, Up, and Cuts.\nThe following ones are "
                  "different from the ones in the Specs window (shown in parenthesis):\n\n"
                  "- Number of Out:\t\t4 (3)\n- Number of Cuts to FinSize:\t10 (5)\n"
                  "\nIn the next window, you will see the default cutting layout and calculated values.")}));
}

TEST_F(PaperCutter, ATypedRunSizeIsLaidOutWhenItsBoxIsLeftAndOnOk)
{
    PaperCutting::SaveOptions(210, QString(), CutStages());
    CPaperCutterDlg d(nullptr);
    d.m_stages.parentSize = QStringLiteral("25 x 38");
    d.m_stages.runSize = QStringLiteral("12.5 x 19");
    d.m_stages.finishSize = QStringLiteral("4 x 6");
    d.m_stages.outs = 4;
    d.m_stages.ups = 9;
    onDialog<CPaperCutterDlg>([&](CPaperCutterDlg &c) {
        // Leaving the box: 5 across and 5 down on the parent (25 outs,
        // 4 cuts across, 5 under each of the first four rows, 1 under the
        // last); one 4 x 6 on a 5 x 7 (2 cuts).
        c.runCombo()->lineEdit()->setText(QStringLiteral("5 x 7"));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(c.runCombo(), &leave);
        EXPECT_EQ(c.caption(1901), QStringLiteral("Parent Size 25 x 38 to Run Size 5 x 7"));
        EXPECT_EQ(c.m_stages.outs, 25);
        EXPECT_EQ(c.m_stages.cutsToRun, 25);
        EXPECT_EQ(c.m_stages.ups, 1);
        EXPECT_EQ(c.m_stages.cutsToFinish, 2);
        // Typed and confirmed with OK at once, never turned: 19 x 12.5 goes
        // 1 across and 3 down the parent, and takes 4 x 2 pieces of 4 x 6.
        c.runCombo()->lineEdit()->setText(QStringLiteral("19 x 12.5"));
        c.SendCommand(1);
        return c.result();
    });
    EXPECT_EQ(d.DoModal(), IDOK_RESULT);
    EXPECT_EQ(d.m_stages.runSize, QStringLiteral("19 x 12.5"));
    EXPECT_EQ(d.m_stages.outs, 3);
    EXPECT_EQ(d.m_stages.cutsToRun, 4);
    EXPECT_EQ(d.m_stages.ups, 8);
    EXPECT_EQ(d.m_stages.cutsToFinish, 9);
}

// #Outs, #Cuts, #Ups are counts read as every typed count is: the largest
// is taken, OK refuses one past it (once taken, or read as 0 past 32 bits)
// naming the field.
TEST_F(PaperCutter, ATypedCountIsReadAsAQuantity)
{
    PaperCutting::SaveOptions(210, QString(), CutStages());
    const QString past = QStringLiteral("#Outs: Please enter a quantity from 0 to 1,000,000,000.");
    const struct
    {
        const char *typed;
        bool refused;
    } cases[] = {{"1,000,000,000", false}, {"1,000,000,001", true}, {"4294967296", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        prompts().clear();
        CPaperCutterDlg d(nullptr);
        d.m_stages.parentSize = QStringLiteral("25 x 38");
        d.m_stages.runSize = QStringLiteral("12.5 x 19");
        d.m_stages.finishSize = QStringLiteral("4 x 6");
        d.m_stages.outs = 4;
        d.m_stages.ups = 9;
        if (c.refused)
            prompts().answer(IDOK);
        onDialog<CPaperCutterDlg>([&](CPaperCutterDlg &dialog) {
            auto *outs = qobject_cast<QLineEdit *>(GetDlgItem(&dialog, 1301));
            outs->setText(QString::fromLatin1(c.typed));
            dialog.SendCommand(1);
            if (c.refused) {
                EXPECT_TRUE(dialog.isVisible());
                dialog.SendCommand(2);
            }
            return dialog.result();
        });
        EXPECT_EQ(d.DoModal(), c.refused ? IDCANCEL_RESULT : IDOK_RESULT);
        ASSERT_EQ(prompts().texts().size(), c.refused ? 1 : 0);
        if (c.refused)
            EXPECT_EQ(prompts().texts().value(0), past);
        else
            EXPECT_EQ(d.m_stages.outs, 1000000000);
    }
}

TEST_F(PaperCutter, FavoriteRoundTrip)
{
    PaperCutting::SaveOptions(210, QString(), CutStages());
    CPaperCutterDlg d(nullptr);
    d.m_stages.parentSize = QStringLiteral("25 x 38");
    d.m_stages.runSize = QStringLiteral("12.5 x 19");
    d.m_stages.finishSize = QStringLiteral("4 x 6");
    onDialog<CPaperCutterDlg>([&](CPaperCutterDlg &c) {
        c.optionBox(12)->click(); // grip top
        onDialog<CDlgData>([](CDlgData &name) {
            EXPECT_EQ(name.edit()->text(), QStringLiteral("12.5 x 19 -> 4 x 6"));
            // A middle dot in the name would shift every later part.
            name.edit()->setText(QStringLiteral("Cards \u00B7 9 up"));
            name.SendCommand(1);
            return name.result();
        });
        c.SendCommand(30126);
        // Elsewhere: another run size, then the favourite brings it back.
        c.runCombo()->setEditText(QStringLiteral("19 x 25"));
        c.optionBox(12)->click();
        c.OnOptionChange();
        onDialog<CFavoritesDlg>([](CFavoritesDlg &f) {
            QTreeWidgetItem *group = f.tree()->topLevelItem(0);
            EXPECT_EQ(group ? group->text(0) : QString(), QStringLiteral("25 x 38"));
            if (group && group->childCount() > 0)
                f.tree()->setCurrentItem(group->child(0));
            f.SendCommand(1);
            return f.result();
        });
        c.SendCommand(30124);
        EXPECT_EQ(c.runCombo()->currentText(), QStringLiteral("12.5 x 19"));
        EXPECT_TRUE(c.optionBox(12)->isChecked());
        EXPECT_EQ(c.m_stages.ups, 9);
        EXPECT_EQ(c.m_stages.outs, 4);
        return 2;
    });
    d.DoModal();
    EXPECT_EQ(row(211), QStringLiteral("25 x 38 \u00B7 Cards - 9 up \u00B7 12.5 x 19 \u00B7 4 x 6 \u00B7 4 \u00B7 3 \u00B7 9 "
                                       "\u00B7 10 \u00B7 2 \u00B7 2|0|64"));
}

TEST_F(PaperCutter, AFavoriteTooLongForItsRowIsRefused)
{
    prompts().answer(IDOK);
    CutStages s;
    s.parentSize = QStringLiteral("25 x 38");
    EXPECT_FALSE(PaperCutting::SaveOptions(211, PaperCutting::FavoriteText(s, QString(250, QLatin1Char('n'))), s));
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("This favorite cannot be saved: its text is longer than 255 characters.\n\n"
                                          "Please use a shorter name.")}));
    EXPECT_EQ(row(211), QString());
}

TEST_F(PaperCutter, ApplyingAFavoriteWithoutParentSize)
{
    CutStages s;
    PaperCutting::ApplyFavorite(s, QStringLiteral("12 x 18"),
                                QStringLiteral("4 x 6 \u00B7 2 \u00B7 3 \u00B7 9 \u00B7 8 \u00B7 5 \u00B7 6"), 3, 4);
    EXPECT_EQ(s.parentSize, QStringLiteral("12 x 18"));
    EXPECT_EQ(s.finishSize, QStringLiteral("4 x 6"));
    EXPECT_EQ(s.outs, 1);
    EXPECT_EQ(s.cutsToRun, 0);
    EXPECT_EQ(s.ups, 9);
    EXPECT_EQ(s.cutsToFinish, 8);
    EXPECT_EQ(s.trimIndex1, 5);
    EXPECT_EQ(s.trimIndex2, 6);
    EXPECT_EQ(s.options1, 3);
    EXPECT_EQ(s.options2, 4);
}

TEST_F(PaperCutter, ThePaperRowGetsTheCountsAndOptions)
{
    CItemSet paper;
    paper.m_strPaperSize = QStringLiteral("25 x 38");
    paper.m_strRunSize = QStringLiteral("19 x 12.5");
    paper.m_strFinishSize = QStringLiteral("4 x 6");
    paper.m_Opt3 = 9; // kept options: replaced by the shop's defaults when only computing
    qint32 toRun = 0;
    qint32 toFinish = 0;
    EXPECT_TRUE(RunPaperCutter(paper, QString(), false, toRun, toFinish, nullptr));
    EXPECT_EQ(paper.m_strRunSize, QStringLiteral("12.5 x 19"));
    EXPECT_EQ(paper.m_Out, 4);
    EXPECT_EQ(paper.m_Up, 9);
    EXPECT_EQ(toRun, 3);
    EXPECT_EQ(toFinish, 10);
    EXPECT_EQ(paper.m_Opt3, 2);
    EXPECT_EQ(paper.m_Opt4, 2);
}

} // namespace
