// Every command that opens, creates, copies or deletes can be given again
// after its window was closed or its question cancelled: in each main view,
// on the first list of each branch of its list manager, New, Open, Copy and
// Delete each run three times over, every window closed with its own Close
// and every box answered Cancel. No run shows an error of the database, and
// the second and third runs open the same windows as the first.
#include "ScreenWalk.h"

#include "views/CDlg0.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QSet>

#include <iostream>

namespace {

// One run of a command: the windows it opened (class and title) and the
// texts of the boxes it showed.
struct CommandRun
{
    QStringList windows;
    QStringList boxes;
};

} // namespace

class RepeatCommandsTest : public ScreenWalkTest, public ::testing::WithParamInterface<int>
{
protected:
    void visit(QWidget *, const QString &) override {}

    // Runs the command once: each window opened is closed as a user closes
    // it (its Close), each box is answered Cancel.
    CommandRun runOnce(CView0 &view, int command)
    {
        CommandRun run;
        platform::TestResponder answers;
        for (int i = 0; i < 8; ++i) {
            answers.answer(platform::IDCANCEL);
            answers.onDialog([&run](QDialog &d) {
                run.windows << QStringLiteral("%1 \"%2\"")
                                   .arg(QString::fromLatin1(d.metaObject()->className()), d.windowTitle());
                if (auto *dialog = dynamic_cast<CDlg0 *>(&d)) {
                    platform::TestResponder inside;
                    for (int k = 0; k < 4; ++k)
                        inside.answer(platform::IDCANCEL);
                    try {
                        dialog->SendCommand(2);
                        QApplication::processEvents();
                    } catch (const platform::UnansweredPrompt &) {
                    }
                    run.boxes << inside.texts();
                    if (!dialog->isVisible())
                        return dialog->result();
                }
                return 2;
            });
        }
        try {
            view.RunCommand(command);
            for (int i = 0; i < 4; ++i)
                QApplication::processEvents();
        } catch (const platform::UnansweredPrompt &) {
        }
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
                dialog->hide();
        run.boxes << answers.texts();
        return run;
    }
};

TEST_P(RepeatCommandsTest, NewOpenCopyAndDeleteCanBeGivenAgainAfterClose)
{
    static const QRegularExpression engineError(QStringLiteral("Error \\d+ occured"));
    const int viewId = GetParam();
    CView0 *view = qobject_cast<CView0 *>(frame->SwitchView(viewId));
    ASSERT_NE(view, nullptr);
    // The first list of each branch.
    QList<int> codes;
    QSet<int> branches;
    if (view->tree())
        for (QTreeWidgetItemIterator it(view->tree()); *it; ++it) {
            const int code = int(CXTreeCtrl::GetItemData(*it));
            if ((*it)->parent() && code > 0 && !branches.contains(code / 100)) {
                branches.insert(code / 100);
                codes << code;
            }
        }
    if (codes.isEmpty())
        codes << 0;
    const std::set<int> offered = OfferedCommands(*view);
    QStringList faults;
    int windowsOpened = 0;
    for (int code : codes) {
        for (int command : {30100, 30103, 30111, 30113}) {
            if (!offered.count(command))
                continue;
            const QString where = QStringLiteral("view %1 list %2 command %3").arg(viewId).arg(code).arg(command);
            QList<CommandRun> runs;
            for (int round = 0; round < 3; ++round) {
                frame->SwitchView(viewId);
                if (code > 0) {
                    platform::TestResponder quiet;
                    for (int i = 0; i < 4; ++i)
                        quiet.answer(platform::IDCANCEL);
                    try {
                        view->SelectTreeCode(code);
                        QApplication::processEvents();
                    } catch (const platform::UnansweredPrompt &) {
                    }
                }
                if (view->list() && view->list()->GetItemCount() > 0)
                    view->list()->SelectItem(0);
                runs << runOnce(*view, command);
            }
            for (int round = 0; round < 3; ++round)
                for (const QString &box : runs[round].boxes)
                    if (engineError.match(box).hasMatch())
                        faults << QStringLiteral("%1, run %2: %3").arg(where).arg(round + 1).arg(box);
            windowsOpened += int(runs[0].windows.size());
            // A new record's window is titled with its own number: compare
            // the kinds of windows, and no window of number 0.
            auto kinds = [](const QStringList &windows) {
                QStringList out;
                for (const QString &w : windows)
                    out << w.section(QLatin1Char(' '), 0, 0);
                return out;
            };
            for (int round = 1; round < 3; ++round)
                if (kinds(runs[round].windows) != kinds(runs[0].windows))
                    faults << QStringLiteral("%1, run %2 opened [%3], the first [%4]")
                                  .arg(where)
                                  .arg(round + 1)
                                  .arg(runs[round].windows.join(QStringLiteral(", ")),
                                       runs[0].windows.join(QStringLiteral(", ")));
            for (const CommandRun &run : runs)
                for (const QString &w : run.windows)
                    if (w.endsWith(QLatin1String(" No: 0\"")))
                        faults << QStringLiteral("%1 opened %2").arg(where, w);
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << faults.join(QLatin1Char('\n')).toStdString();
    std::cout << "view " << viewId << ": " << codes.size() << " lists, " << windowsOpened << " windows opened\n";
}

INSTANTIATE_TEST_SUITE_P(MainViews, RepeatCommandsTest,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008));
