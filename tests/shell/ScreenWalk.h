#pragma once

// The walk over every window of the program at 1024 x 768: each main view,
// each list of its tree, and every window and box its commands open (with
// the job window's own windows), on a sample shop. A test derived from it
// says what it does with each window it is shown.

#include "ShellFixture.h"
#include "ViewCommands.h"

#include "app/base/Menus.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "jobs/CJobDlg.h"
#include "platform/Prompt.h"
#include "shell/CMainFrame.h"
#include "views/CDlg0.h"
#include "views/CView0.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QTreeWidgetItemIterator>

#include <functional>
#include <set>

class ScreenWalkTest : public ShellTest
{
protected:
    // The commands that leave the program or its screen: not run.
    static const std::set<int> &notRun()
    {
        static const std::set<int> commands = {
            30529, // Exit
            30575, // the companion tool
            30109, // support mail
        };
        return commands;
    }

    // The sample shop, made once for the run.
    static QString sampleShop()
    {
        static QTemporaryDir dir;
        static const QString path = [] {
            const QString file = dir.filePath(QStringLiteral("TavrelData.mdb"));
            QProcess tool;
            tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), file, QStringLiteral("--jobs"),
                                                       QStringLiteral("40"), QStringLiteral("--seed"),
                                                       QStringLiteral("7")});
            if (!tool.waitForFinished(120000) || tool.exitCode() != 0 || !QFile::exists(file))
                return QString();
            return file;
        }();
        return path;
    }

    void SetUp() override
    {
        ShellTest::SetUp();
        ASSERT_FALSE(sampleShop().isEmpty()) << "the sample shop was not made";
        ASSERT_TRUE(QFile::copy(sampleShop(), tempPath(QStringLiteral("TavrelData.mdb"))));
        QFile::setPermissions(tempPath(QStringLiteral("TavrelData.mdb")), QFile::ReadOwner | QFile::WriteOwner);
        answerScreenWarning();
        ASSERT_TRUE(shell->InitInstance());
        frame = shell->mainFrame();
        frame->resize(1024, 768);
        QApplication::processEvents();
    }

    // What the test does with a window shown to it (the main window with a
    // view and list, or a dialog as it opens).
    virtual void visit(QWidget *window, const QString &where) = 0;
    // The commands of a dialog opened by the walk that the walk runs too
    // (each window they open is visited); none unless the test says.
    virtual QList<int> commandsInside(QDialog &) { return {}; }

    // Runs a command with every box answered Cancel and every window
    // visited as it opens and then cancelled.
    void runVisited(CView0 &view, int command, const QString &where)
    {
        platform::TestResponder answers;
        queueVisits(answers, QStringLiteral("%1 command %2").arg(where).arg(command), 8);
        try {
            view.RunCommand(command);
            QApplication::processEvents();
        } catch (const platform::UnansweredPrompt &) {
        }
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
                dialog->hide();
    }

    // Answers for the boxes and windows of one command: each window is
    // visited, then the commands inside it run, then it is cancelled.
    void queueVisits(platform::TestResponder &answers, const QString &where, int count)
    {
        for (int i = 0; i < count; ++i) {
            answers.answer(platform::IDCANCEL);
            answers.onDialog([this, where](QDialog &d) {
                visit(&d, where);
                for (int inside : commandsInside(d)) {
                    auto *dialog = dynamic_cast<CDlg0 *>(&d);
                    if (!dialog)
                        break;
                    platform::TestResponder nested;
                    queueVisits(nested, QStringLiteral("%1 > %2").arg(where).arg(inside), 4);
                    try {
                        dialog->SendCommand(inside);
                        QApplication::processEvents();
                    } catch (const platform::UnansweredPrompt &) {
                    }
                }
                return 2;
            });
        }
    }

    // The lists of a view's tree, each once, in the tree's order.
    static QList<int> listCodes(CView0 &view)
    {
        QList<int> codes;
        if (view.tree())
            for (QTreeWidgetItemIterator it(view.tree()); *it; ++it)
                if (const int code = int(CXTreeCtrl::GetItemData(*it)); code > 0 && !codes.contains(code))
                    codes << code;
        return codes;
    }

    // Shows one list of the view, answering what it asks on the way.
    void selectList(CView0 &view, const QString &where, int code)
    {
        platform::TestResponder answers;
        queueVisits(answers, where, 4);
        try {
            view.SelectTreeCode(code);
            QApplication::processEvents();
        } catch (const platform::UnansweredPrompt &) {
        }
    }

    static std::set<int> commandsOf(CView0 &view)
    {
        std::set<int> ids = OfferedCommands(view);
        // Main views are switched to by the test itself.
        for (int v = 30000; v <= 30008; ++v)
            ids.erase(v);
        for (int id : notRun())
            ids.erase(id);
        return ids;
    }

    // The view with each of its lists, then every window its commands open,
    // on the first list with its first row.
    void walkView(int viewId)
    {
        CView0 *view = qobject_cast<CView0 *>(frame->SwitchView(viewId));
        ASSERT_NE(view, nullptr);
        const QString name = QStringLiteral("view %1").arg(viewId);
        // A pop-up menu a command opens is closed, as a user's Esc would.
        QTimer closePopups;
        QObject::connect(&closePopups, &QTimer::timeout, [] {
            if (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
        });
        closePopups.start(20);

        const QList<int> codes = listCodes(*view);
        visit(frame, name);
        for (int code : codes) {
            frame->SwitchView(viewId);
            selectList(*view, QStringLiteral("%1 list %2").arg(name).arg(code), code);
            visit(frame, QStringLiteral("%1 list %2").arg(name).arg(code));
        }

        frame->SwitchView(viewId);
        if (view->list() && view->list()->GetItemCount() > 0)
            view->list()->SelectItem(0);
        for (int id : commandsOf(*view)) {
            frame->SwitchView(viewId);
            runVisited(*view, id, name);
        }
    }

    CMainFrame *frame = nullptr;
};
