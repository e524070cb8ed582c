#include "ToolArgs.h"

#include "platform/Prompt.h"

QString OptionValue(const QStringList &args, const QString &name)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

QString TakeOption(QStringList &args, const QString &name)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return QString();
    const QString value = args[at + 1];
    args.remove(at, 2);
    return value;
}

void PrintPrompts(platform::TestResponder &responder, QTextStream &stream, bool messagesOnly)
{
    for (const platform::PromptRecord &r : responder.shown())
        if (!messagesOnly || r.kind == platform::PromptRecord::Kind::MessageBox)
            stream << "PROMPT: " << QString(r.text).replace(QLatin1Char('\n'), QLatin1String("\\n")) << '\n';
    responder.clear();
}
