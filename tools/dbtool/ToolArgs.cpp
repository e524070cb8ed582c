#include "ToolArgs.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

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
    // The shop's options as the program reads them at start-up (the workdays
    // among them).
    ApplyShopOptions(app);
}

int OpenJobItem(const QString &path, const QString &jobText, const QString &itemText, CItemSet &item,
                QTextStream &err)
{
    bool jobOk = false;
    bool itemOk = false;
    const qint32 jobNo = jobText.toInt(&jobOk);
    const int itemNo = itemText.toInt(&itemOk);
    if (!jobOk || !itemOk || itemNo < 0 || itemNo > 255) {
        err << "JOBNO and ITEMNO must be numbers\n";
        return 2;
    }
    platform::Database &db = SharedDatabase();
    db.open(path);
    qint32 jobId = 0;
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = %1").arg(jobNo));
        if (!rs.isEOF())
            jobId = rs.value(0).toInt();
    }
    if (jobId == 0) {
        err << "Job " << jobNo << " is not found.\n";
        return 1;
    }
    item.m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = 0 and SerNo = 0").arg(jobId).arg(itemNo);
    item.Open(CXDaoSet::dbOpenSnapshot);
    if (!item.IsOpen() || item.IsEOF()) {
        err << "Item " << itemNo << " of job " << jobNo << " is not found.\n";
        return 1;
    }
    return 0;
}
