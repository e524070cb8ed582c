#include "app/base/CZqApp.h"
#include "shell/AppShell.h"
#include "shell/ScriptedLayout.h"
#include "shell/ScriptedPrompts.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Tavrel"));

    ScriptedPrompts scripted;
    ScriptedLayout layout;
    CZqApp app;
    AppShell shell(app);
    try {
        if (!shell.InitInstance())
            return shell.ExitInstance(1);
        // The start-up bench times the program up to its first view: it ends
        // once the events that show the view are handled.
        if (qEnvironmentVariableIsSet("TAVREL_QUIT_AT_FIRST_VIEW"))
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        return shell.ExitInstance(QApplication::exec());
    } catch (const platform::UnansweredPrompt &e) {
        // Only a scripted run has unanswered prompts.
        scripted.report();
        QString what = QString::fromStdString(e.what());
        what.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        std::fprintf(stdout, "UNANSWERED: %s\n", what.toUtf8().constData());
        std::fflush(stdout);
        return ScriptedPrompts::kUnansweredExitCode;
    }
}
