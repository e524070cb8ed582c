#include "ShellFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/CXRibbon.h"
#include "controls/ListWork.h"
#include "customers/CViewAR.h"
#include "jobs/CJobDlg.h"
#include "data/CJobSet.h"
#include "data/Compaction.h"
#include "data/SharedDatabase.h"
#include "exchange/export/CExport.h"
#include "platform/LongRun.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "printing/CPrintForm.h"
#include "shell/CMainFrame.h"
#include "support/ToolRun.h"
#include "views/CStatusDlg.h"
#include "views/CView0.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtGui/QCloseEvent>
#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtGui/QWindow>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLineEdit>

#include <optional>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {

// A run of the database housekeeping, given while the program is busy with
// it: the same command posted again, a key of the main window, the same
// command from elsewhere (a scanned code, a socket) and a close of the main
// window, all waiting in the queue as the run begins.
// How the user asks the program to end during the run.
enum class EndAsked { Close, ExitCommand, AltF4 };

struct RunCase
{
    const char *name;
    int command;
    QString question;       // what the command asks before it starts
    bool stopOnClose;       // the answer to "Do you want to stop now?"
    QStringList after;      // what the run says when it ends
    EndAsked end = EndAsked::Close;
};

class LongRunTest : public ShellTest
{
protected:
    // The shop of a few hundred jobs, open on the Home view.
    CView0 *start()
    {
        const QString file = tempPath(QStringLiteral("TavrelData.mdb"));
        QFile::remove(file);
        if (RunDbTool({QStringLiteral("sample"), file, QStringLiteral("--jobs"), QStringLiteral("300")}).exitCode != 0)
            return nullptr;
        platform::Settings::writeInt(QStringLiteral("View Settings"), QStringLiteral("ShowTabID"), 30000);
        answerScreenWarning();
        if (!shell->InitInstance())
            return nullptr;
        prompts().clear();
        return qobject_cast<CView0 *>(shell->mainFrame()->activeView());
    }
    static int beeps(const QList<platform::PromptRecord> &shown)
    {
        int n = 0;
        for (const platform::PromptRecord &r : shown)
            n += r.kind == platform::PromptRecord::Kind::Beep;
        return n;
    }
    QString one(const QString &sql) { return SqliteRows(tempPath(QStringLiteral("TavrelData.mdb")), sql); }
};

} // namespace

TEST_F(LongRunTest, NothingStartsInsideALongRunAndACloseEndsTheProgramAfterIt)
{
    const QString stopped = QStringLiteral("Do you want to stop now?");
    const RunCase cases[] = {
        {"compact and reindex", 30573, QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?"),
         false, {QStringLiteral("Successfully compacted and indexed TavrelData.mdb.")}},
        {"compact, closed and stopped", 30573,
         QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?"), true,
         {QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged.")}},
        {"key check", 30574, QString(), false, {QStringLiteral("The keys and indexes of the database are checked.")}},
        {"key check, closed and stopped", 30574, QString(), true,
         {QStringLiteral("The key check was stopped; the keys checked so far are in place.")}},
        // Exit (the status bar's, the main menu's) and Alt+F4 ask as the close does.
        {"compact, Exit and stopped", 30573,
         QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?"), true,
         {QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged.")}, EndAsked::ExitCommand},
        {"key check, Exit and going on", 30574, QString(), false,
         {QStringLiteral("The keys and indexes of the database are checked.")}, EndAsked::ExitCommand},
        {"key check, Alt+F4 and stopped", 30574, QString(), true,
         {QStringLiteral("The key check was stopped; the keys checked so far are in place.")}, EndAsked::AltF4},
        {"compact, Alt+F4 and going on", 30573,
         QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?"), false,
         {QStringLiteral("Successfully compacted and indexed TavrelData.mdb.")}, EndAsked::AltF4},
    };
    for (const RunCase &c : cases) {
        SCOPED_TRACE(c.name);
        newShell();
        CView0 *view = start();
        ASSERT_NE(view, nullptr);
        CMainFrame *frame = shell->mainFrame();
        const int viewId = frame->GetViewId();
        // A change made before the run must be in the file after it.
        const QString job = one(QStringLiteral("SELECT MAX(JobID) FROM Jobs"));
        SharedDatabase().execute(QStringLiteral("UPDATE Jobs SET Title = 'before the run' WHERE JobID = ") + job);
        const QString jobs = one(QStringLiteral("SELECT COUNT(*) FROM Jobs"));
        const int begun = LongRun::Begun();

        view->PostCommand(c.command);
        QCoreApplication::postEvent(frame, new QKeyEvent(QEvent::KeyPress, Qt::Key_C,
                                                         Qt::ControlModifier | Qt::ShiftModifier));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [view, c] { view->RunCommand(c.command); }, Qt::QueuedConnection);
        switch (c.end) {
        case EndAsked::Close: QCoreApplication::postEvent(frame, new QCloseEvent); break;
        case EndAsked::ExitCommand:
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [view] { view->RunCommand(30529); }, Qt::QueuedConnection);
            break;
        case EndAsked::AltF4:
            QCoreApplication::postEvent(frame, new QKeyEvent(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier));
            break;
        }

        if (!c.question.isEmpty())
            prompts().answer(IDYES);
        prompts().answer(c.stopOnClose ? IDYES : IDNO);
        prompts().answer(IDOK);
        view->RunCommand(c.command);

        QStringList expected;
        if (!c.question.isEmpty())
            expected << c.question;
        expected << stopped << c.after;
        EXPECT_EQ(prompts().texts(), expected);
        EXPECT_EQ(beeps(prompts().shown()), 1) << "the command from elsewhere is refused";
        EXPECT_GT(LongRun::Begun(), begun);
        EXPECT_FALSE(LongRun::IsWorking());
        EXPECT_EQ(frame->GetViewId(), viewId) << "the key of the main window was taken";
        EXPECT_TRUE(frame->isVisible());
        EXPECT_EQ(one(QStringLiteral("SELECT Title FROM Jobs WHERE JobID = ") + job), QStringLiteral("before the run"));
        EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM Jobs")), jobs);

        // Once the run has ended, the posted command comes; after a close
        // answered Yes the program ends instead.
        prompts().clear();
        QTest::keyRelease(frame, Qt::Key_Control); // the key's Ctrl is up again
        if (!c.stopOnClose)
            prompts().answer(c.question.isEmpty() ? IDOK : IDNO);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(frame->isVisible(), !c.stopOnClose);
        if (!c.stopOnClose)
            EXPECT_EQ(prompts().texts(), QStringList{c.question.isEmpty() ? c.after.first() : c.question});
        else
            EXPECT_TRUE(prompts().texts().isEmpty());
        shell->ExitInstance(0);
    }
}

namespace {

// The program's own progress window, telling the test when the part of the
// run it shows ends: just before the window (and its part of the run) goes,
// once its last step is done, and just after.
class EdgeProgress : public CXProgress
{
public:
    EdgeProgress(QWidget *owner, std::function<void()> beforeEnd, std::function<void()> afterEnd)
        : m_window(std::make_unique<CStatusDlg>(owner)), m_beforeEnd(std::move(beforeEnd)),
          m_afterEnd(std::move(afterEnd))
    {
    }
    ~EdgeProgress() override
    {
        if (m_beforeEnd)
            m_beforeEnd();
        m_window.reset();
        if (m_afterEnd)
            m_afterEnd();
    }
    void Start(int total, const QString &title, bool showBar, bool cancellable, const QString &line) override
    {
        m_window->Start(total, title, showBar, cancellable, line);
    }
    bool Step(const QString &text) override { return m_window->Step(text); }
    void SetMessage(const QString &text, bool step) override { m_window->SetMessage(text, step); }
    bool IsRunning() const override { return m_window->IsRunning(); }

private:
    std::unique_ptr<CStatusDlg> m_window;
    std::function<void()> m_beforeEnd;
    std::function<void()> m_afterEnd;
};

// When, in a run, the user gives Alt+F4: where nothing of the run handles
// the program's events (after the last step of its window, after its window
// closed), or, for a row that is asked, where a long step of the run looks
// at its window.
enum class Edge { AfterLastStep, AfterWindowClosed, BeforeCheckingCopy };

struct EdgeCase
{
    const char *name;
    int command;
    QString question;
    int window; // the run's progress window (1 the first) at whose end the key comes
    Edge edge;
    QString after;
    bool asked = false; // "Do you want to stop now?" asked, answered No: the program stays
};

} // namespace

// Alt+F4 given where the run does not look at the program's events (after the
// last step of its progress window, after the window closed before the copy
// replaces the file) is carried out once the run has ended: the program
// ends, after the run's own closing box. Given while the copy is made ready
// and checked (steps that take long on a large file, shown in the window),
// it is asked. The key reaches the program as the window system gives it, so
// a box in front of the main window would block it, as the real program's
// closing box does.
TEST_F(LongRunTest, AnEndGivenAtARunsEdgeIsCarriedOutWhenTheRunEnds)
{
    const QString compact = QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?");
    const QString compacted = QStringLiteral("Successfully compacted and indexed TavrelData.mdb.");
    const QString checked = QStringLiteral("The keys and indexes of the database are checked.");
    const EdgeCase cases[] = {
        {"key check, after its last step", 30574, QString(), 1, Edge::AfterLastStep, checked},
        {"compact, after its window closed", 30573, compact, 1, Edge::AfterWindowClosed, compacted},
        {"compact, after the check's last step", 30573, compact, 1, Edge::AfterLastStep, compacted},
        {"compact, before the copy is checked", 30573, compact, 0, Edge::BeforeCheckingCopy, compacted, true},
    };
    for (const EdgeCase &c : cases) {
        SCOPED_TRACE(c.name);
        newShell();
        CView0 *view = start();
        ASSERT_NE(view, nullptr);
        CMainFrame *frame = shell->mainFrame();
        QWindow *window = frame->windowHandle();
        ASSERT_NE(window, nullptr);
        // The key waits for the program's next look at its events.
        const std::function<void()> altF4 = [window] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [window] { QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier); },
                Qt::QueuedConnection);
        };
        int made = 0;
        CXProgress::SetFactory([&]() -> std::unique_ptr<CXProgress> {
            const bool mine = ++made == c.window;
            return std::make_unique<EdgeProgress>(frame, mine && c.edge == Edge::AfterLastStep ? altF4 : std::function<void()>(),
                                                  mine && c.edge == Edge::AfterWindowClosed ? altF4 : std::function<void()>());
        });
        if (c.edge == Edge::BeforeCheckingCopy)
            SetBeforeCheckingCopyStep([&](const QString &) { altF4(); });

        if (!c.question.isEmpty())
            prompts().answer(IDYES);
        prompts().answer(IDNO); // to "Do you want to stop now?", were it asked
        prompts().answer(IDOK);
        view->RunCommand(c.command);
        SetBeforeCheckingCopyStep(nullptr);
        CXProgress::SetFactory(nullptr);
        const QStringList shown = prompts().texts();
        while (prompts().pendingAnswers() > 0) // the answer to a question not asked
            prompts().takeAnswer(platform::PromptRecord());

        QStringList expected;
        if (!c.question.isEmpty())
            expected << c.question;
        if (c.asked)
            expected << QStringLiteral("Do you want to stop now?");
        expected << c.after;
        EXPECT_EQ(shown, expected);
        EXPECT_FALSE(LongRun::IsWorking());
        // A box in front of the main window, as the real program's closing
        // box is, while the program looks at its events.
        QDialog box;
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        box.hide();
        QCoreApplication::processEvents();
        if (c.asked)
            EXPECT_TRUE(frame->isVisible()) << "No to stopping ended the program";
        else
            EXPECT_FALSE(frame->isVisible()) << "the Alt+F4 given during the run was dropped";
        EXPECT_EQ(one(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        shell->ExitInstance(0);
    }
}

// The same rule for a run that has a stop question of its own and would
// still ask it: an Alt+F4 the run takes in as it ends (given after its last
// pass over the events) is carried out once it has ended, never put to the
// user as "stop now?", whose No would drop it.
TEST_F(LongRunTest, AnEndTakenInAsARunEndsIsNeverAskedEvenWhereTheRunWouldAsk)
{
    newShell();
    ASSERT_NE(start(), nullptr);
    CMainFrame *frame = shell->mainFrame();
    QWindow *window = frame->windowHandle();
    ASSERT_NE(window, nullptr);
    int asked = 0;
    {
        QWidget runWindow;
        runWindow.show();
        auto run = std::make_unique<LongRun>(&runWindow, [&] {
            ++asked; // a user who answers No
            return false;
        });
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [window] { QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier); },
            Qt::QueuedConnection);
        run.reset();
    }
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(LongRun::IsWorking());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame->isVisible()) << "the Alt+F4 given as the run ended was dropped";
    shell->ExitInstance(0);
}

// Exit during a posting, answered Yes: the posting stops at its next order
// and the program ends, with no closing box and no posting reports.
TEST_F(LongRunTest, StopAndEndDuringAPostingEndsTheProgramWithoutFurtherBoxes)
{
    CView0 *home = start();
    ASSERT_NE(home, nullptr);
    CMainFrame *frame = shell->mainFrame();
    auto *view = qobject_cast<CViewAR *>(frame->SwitchView(30004));
    ASSERT_NE(view, nullptr);
    view->SelectTreeCode(1);
    view->OnListNow();
    const int ready = view->list()->GetItemCount();
    ASSERT_GE(ready, 3) << "too few orders ready to post";
    view->list()->SelectAll();
    const int postingsBefore = one(QStringLiteral("SELECT COUNT(*) FROM PostingJournal")).toInt();

    // Exit comes as the second order is reached.
    QTimer exit;
    exit.setInterval(0);
    QObject::connect(&exit, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<CStatusDlg *>(top);
            if (window && window->IsRunning() && window->position() >= 2) {
                exit.stop();
                view->RunCommand(30529);
            }
        }
    });
    exit.start();
    prompts().answer(IDYES); // Do you want to start posting?
    prompts().answer(IDYES); // Are you sure?
    prompts().answer(IDYES); // Do you want to stop now?
    // Were they shown: the closing box and the reports' notice.
    prompts().answer(IDOK);
    prompts().answer(IDOK);
    view->RunCommand(30211);
    exit.stop();

    const QStringList shown = prompts().texts();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last(), QStringLiteral("Do you want to stop now?")) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(shown.count(QStringLiteral("Do you want to stop now?")), 1);
    EXPECT_FALSE(LongRun::IsWorking());
    // The orders posted before the stop are one posting.
    EXPECT_EQ(one(QStringLiteral("SELECT COUNT(*) FROM PostingJournal")).toInt(), postingsBefore + 1);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame->isVisible()) << "the program did not end";
    shell->ExitInstance(0);
}

namespace {

// How the user asks the program to end while a list is worked on.
enum class ListEnd { AltF4OnProgressWindow, ExitOnStatusBar };

struct ListRunCase
{
    const char *name;
    enum { Sort, Export, Print } run;
    ListEnd end;
    bool stop; // the answer to "Do you want to stop now?"
};

// The point of the status bar's Exit.
std::optional<QPoint> exitSpot(CXRibbon *bar)
{
    for (int x = 1; bar && x < bar->width(); x += 4)
        if (bar->ItemIdAt(QPoint(x, bar->height() / 2)) == 30529u)
            return QPoint(x, bar->height() / 2);
    return std::nullopt;
}

} // namespace

// Sorting, exporting or printing the orders list: Alt+F4 given to the run's
// own window (the active one while it works) or a click on the status bar's
// Exit (the main window disabled while pages print) asks "Do you want to stop
// now?" as during any long run; Yes stops the run (the list keeps its order,
// no file is written) and ends the program, No lets it finish.
TEST_F(LongRunTest, ExitOrAltF4DuringASortAnExportOrAPrintAsksToStop)
{
    const ListRunCase cases[] = {
        {"sort, Alt+F4 and stopped", ListRunCase::Sort, ListEnd::AltF4OnProgressWindow, true},
        {"sort, Exit and going on", ListRunCase::Sort, ListEnd::ExitOnStatusBar, false},
        {"export, Alt+F4 and going on", ListRunCase::Export, ListEnd::AltF4OnProgressWindow, false},
        {"export, Exit and stopped", ListRunCase::Export, ListEnd::ExitOnStatusBar, true},
        {"print, Exit and stopped", ListRunCase::Print, ListEnd::ExitOnStatusBar, true},
        {"print, Alt+F4 and going on", ListRunCase::Print, ListEnd::AltF4OnProgressWindow, false},
    };
    const int quiet = ListWork::QuietTime();
    for (const ListRunCase &c : cases) {
        SCOPED_TRACE(c.name);
        newShell();
        ASSERT_NE(start(), nullptr);
        CMainFrame *frame = shell->mainFrame();
        auto *view = qobject_cast<CView0 *>(frame->SwitchView(30001));
        ASSERT_NE(view, nullptr);
        CXListCtrl *list = view->list();
        ASSERT_NE(list, nullptr);
        list->FetchAll();
        const int rows = list->GetItemCount();
        ASSERT_GT(rows, 50);
        const qint64 firstBefore = list->GetItemData(0);
        // Sorting and exporting show their window from the start; pages
        // print under the printing window.
        ListWork::SetQuietTime(c.run == ListRunCase::Print ? quiet : 0);

        // The end is asked once the run's window is up.
        int asked = 0;
        QTimer end;
        end.setInterval(0);
        QObject::connect(&end, &QTimer::timeout, [&] {
            QWidget *window = nullptr;
            for (QWidget *top : QApplication::topLevelWidgets()) {
                const bool runs = c.run == ListRunCase::Print ? top->objectName() == QLatin1String("CPrintStatus")
                                                              : qobject_cast<CStatusDlg *>(top) != nullptr;
                if (runs && top->isVisible())
                    window = top;
            }
            if (!window)
                return;
            end.stop();
            ++asked;
            if (c.end == ListEnd::AltF4OnProgressWindow) {
                QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
            } else {
                const std::optional<QPoint> at = exitSpot(view->statusBar());
                ASSERT_TRUE(at.has_value()) << "no Exit on the status bar";
                QTest::mouseClick(view->statusBar(), Qt::LeftButton, Qt::NoModifier, *at);
            }
        });
        prompts().clear();
        while (prompts().pendingAnswers() > 0) // an answer left by an earlier case
            prompts().takeAnswer(platform::PromptRecord());
        prompts().answer(c.stop ? IDYES : IDNO); // Do you want to stop now?
        const QString file = tempPath(c.run == ListRunCase::Print ? QStringLiteral("Orders.pdf") : QStringLiteral("Orders.csv"));
        QFile::remove(file);
        end.start();
        switch (c.run) {
        case ListRunCase::Sort:
            list->OnColumnClick(1);
            break;
        case ListRunCase::Export: {
            prompts().answerFile(file);
            if (!c.stop)
                prompts().answer(IDNO); // open it?
            CExport e;
            e.ExportList(30001, 1, 1, QStringLiteral("All Orders"), list, true, 2);
            break;
        }
        case ListRunCase::Print: {
            CPrintForm form;
            form.ResetOptions();
            form.m_nKind = 100;
            form.m_pList = list;
            form.m_nRecords = rows;
            form.m_strOutputFile = file;
            EXPECT_EQ(form.DoPrint(CPrint::kPrintDirect), c.stop ? 1 : 2);
            break;
        }
        }
        end.stop();
        ListWork::SetQuietTime(quiet);
        EXPECT_EQ(asked, 1) << "the run's window never came up";
        const QStringList shown = prompts().texts();
        EXPECT_EQ(shown.value(0), QStringLiteral("Do you want to stop now?")) << shown.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(shown.count(QStringLiteral("Do you want to stop now?")), 1);
        EXPECT_FALSE(LongRun::IsWorking());
        if (c.stop) {
            EXPECT_EQ(shown.size(), 1) << shown.join(QLatin1Char('|')).toStdString();
            EXPECT_FALSE(QFile::exists(file));
            EXPECT_EQ(list->GetItemData(0), firstBefore) << "the stopped sort changed the order";
        } else if (c.run != ListRunCase::Sort) {
            EXPECT_TRUE(QFile::exists(file));
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(frame->isVisible(), !c.stop);
        shell->ExitInstance(0);
    }
}

// Alt+F4 given over the customer window and over the job window, each with a
// change typed in: the window in front is closed as its own Close closes it,
// which asks before the change is lost (No: nothing is saved).
TEST_F(LongRunTest, AltF4OverAWindowWithATypedChangeAsksToSaveIt)
{
    ASSERT_NE(start(), nullptr);
    CMainFrame *frame = shell->mainFrame();
    const struct
    {
        int viewId;
        const char *table;
        const char *key;
        const char *column;
    } windows[] = {
        {30003, "Customers", "CusNo", "Name"},
        {30001, "Jobs", "JobID", "PO"},
    };
    for (const auto &w : windows) {
        auto *view = qobject_cast<CView0 *>(frame->SwitchView(w.viewId));
        ASSERT_NE(view, nullptr);
        QCoreApplication::processEvents();
        ASSERT_GT(view->list()->GetItemCount(), 0) << w.table;
        view->list()->SelectItem(0);
        const qint64 key = view->GetSelectedItemData();
        ASSERT_GT(key, 0) << w.table;
        const QString read = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4").arg(QLatin1String(w.column), QLatin1String(w.table), QLatin1String(w.key)).arg(key);
        const QString before = one(read);
        bool closed = false;
        prompts().clear();
        prompts().answer(IDNO);
        prompts().onDialog([&](QDialog &d) {
            // The job window keeps its fields in its record as they are
            // typed: the P.O. changed there, as in the job window's own test.
            if (auto *job = dynamic_cast<CJobDlg *>(&d)) {
                job->job()->m_PO = before + QStringLiteral("-77");
                QTest::keyClick(&d, Qt::Key_F4, Qt::AltModifier);
                closed = !d.isVisible();
                return d.result();
            }
            // The customer's name, typed into as a user types.
            QLineEdit *field = nullptr;
            for (QLineEdit *edit : d.findChildren<QLineEdit *>())
                if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly() && edit->text() == before)
                    field = edit;
            EXPECT_NE(field, nullptr) << w.table;
            if (!field)
                return 2;
            field->setFocus();
            QTest::keyClicks(field, QStringLiteral(" and Sons"));
            QTest::keyClick(field, Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : field;
            QTest::keyClick(focus, Qt::Key_F4, Qt::AltModifier);
            closed = !d.isVisible();
            return d.result();
        });
        view->RunCommand(30103);
        QCoreApplication::processEvents();
        EXPECT_TRUE(closed) << w.table;
        EXPECT_TRUE(prompts().texts().value(0).startsWith(QStringLiteral("Do you want to save the changes?")))
            << w.table << ": " << prompts().texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(prompts().pendingAnswers(), 0) << w.table;
        EXPECT_EQ(one(read).toStdString(), before.toStdString()) << w.table;
    }
}
