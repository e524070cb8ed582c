#include "ToolArgs.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

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

bool OpenToolDatabase(const QString &path, QTextStream &err)
{
    try {
        SharedDatabase().open(path);
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return false;
    }
    return true;
}

void LoadScheduleCaches(CZqApp &app)
{
    InstallAppQueryReader(app);
    app.LoadServiceDepartments();
    app.LoadServiceCategories();
    app.LoadServices(2);
    app.BuildPopupMenus();
    Appearance::instance().LoadViewSettings();
}
