#include "shell/ScriptedPrompts.h"

#include <cstdio>

ScriptedPrompts::ScriptedPrompts()
{
    if (!qEnvironmentVariableIsSet("TAVREL_SCRIPTED_ANSWERS"))
        return;
    m_responder = std::make_unique<platform::TestResponder>();
    const QStringList answers =
        qEnvironmentVariable("TAVREL_SCRIPTED_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &a : answers)
        m_responder->answer(a.trimmed().toInt());
}

ScriptedPrompts::~ScriptedPrompts()
{
    report();
}

void ScriptedPrompts::report()
{
    if (!m_responder)
        return;
    for (const platform::PromptRecord &r : m_responder->shown()) {
        QString text = r.text;
        text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        std::fprintf(stdout, "PROMPT: %s\n", text.toUtf8().constData());
    }
    std::fflush(stdout);
    m_responder->clear();
}
