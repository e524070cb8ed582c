#include "ShellFixture.h"

#include "data/SharedDatabase.h"
#include "platform/LongRun.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "shell/CMainFrame.h"
#include "support/ToolRun.h"
#include "views/CView0.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtTest/QTest>

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
