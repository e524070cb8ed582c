#include "app/base/CZqApp.h"
#include "app/shell/AppShell.h"
#include "app/shell/ScriptedLayout.h"
#include "app/shell/ScriptedPrompts.h"

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
