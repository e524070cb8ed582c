#pragma once

#include "XvfbScreen.h"

#include "support/TestEnvironment.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QStandardPaths>
#include <QtCore/QStringList>

// The base of the tests that run the real program on the virtual screen
// TAVREL_XVFB_DISPLAY names: they are skipped when no display is named or a
// tool they drive it with is missing, give up at their deadline, and never
// leave the program running.
class RealProgramTest : public TavrelTest
{
protected:
    // Call from SetUp, then return when the test was skipped (IsSkipped()).
    void PrepareRun(const QStringList &tools, int milliseconds)
    {
        if (XvfbScreen::display().isEmpty())
            GTEST_SKIP() << "TAVREL_XVFB_DISPLAY is not set";
        for (const QString &tool : tools)
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool.toStdString() << " is not installed";
        m_deadline = QDeadlineTimer(milliseconds);
    }
    void TearDown() override
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.terminate();
            if (!m_program.waitForFinished(3000)) {
                m_program.kill();
                m_program.waitForFinished(3000);
            }
        }
        TavrelTest::TearDown();
    }
    // The program's environment: the virtual screen, settings of the test's
    // own, and the file where it writes where its widgets are on screen.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), XvfbScreen::display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), tempPath(QStringLiteral("config")));
        env.insert(QStringLiteral("TAVREL_LAYOUT_FILE"), tempPath(QStringLiteral("layout.txt")));
        return env;
    }

    // Opens the virtual screen and starts the program in the folder work;
    // false, with the reason, when either fails.
    bool StartProgram(const QString &work, QString &error)
    {
        if (!m_screen.open(error))
            return false;
        m_program.setProcessEnvironment(environment());
        m_program.setWorkingDirectory(work);
        m_program.start(QStringLiteral(TAVREL_EXE), {});
        if (!m_program.waitForStarted(5000)) {
            error = QStringLiteral("the program did not start");
            return false;
        }
        return true;
    }

    XvfbScreen m_screen;
    QProcess m_program;
    QDeadlineTimer m_deadline;
};
