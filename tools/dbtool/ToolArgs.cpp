#include "ToolArgs.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/TypedValue.h"
#include "data/AppDataServices.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/UserFile.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

bool ReadToolAmount(const QString &text, Money &out, QTextStream &err, const QString &name)
{
    if (ReadTypedMoney(text, out, 2))
        return true;
    err << name << " \"" << text << "\": " << TypedMoneyMessage(text) << '\n';
    return false;
}

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

qint32 FindToolJob(platform::Database &db, const QString &jobText, const QString &typeText, QTextStream &err,
                   int &failure)
{
    failure = 2;
    bool ok = false;
    const qint32 jobNo = jobText.toInt(&ok);
    if (!ok) {
        err << "JOBNO must be a number\n";
        return 0;
    }
    int type = -1;
    if (!typeText.isEmpty()) {
        type = typeText.toInt(&ok);
        for (int t = CJobSet::Order; !ok && t <= CJobSet::PellQuote; ++t) {
            QString name;
            GetJobTypeName(name, t);
            if (name.compare(typeText, Qt::CaseInsensitive) == 0) {
                type = t;
                ok = true;
            }
        }
        if (!ok || type < CJobSet::Order || type > CJobSet::PellQuote) {
            err << "--type takes order, quote, template, history, pellorder or pellquote\n";
            return 0;
        }
    }
    // An order keeps its number when it becomes history.
    QString where = QStringLiteral("JobNo = ?");
    if (type == CJobSet::Order || type == CJobSet::History)
        where += QStringLiteral(" AND (JobType = 0 OR JobType = 3)");
    else if (type >= 0)
        where += QStringLiteral(" AND JobType = %1").arg(type);
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT JobID, JobType FROM Jobs WHERE %1 ORDER BY JobType").arg(where),
            {platform::Value(jobNo)});
    QList<std::pair<qint32, int>> found;
    for (; !rs.isEOF(); rs.moveNext())
        found.append({rs.value(0).toInt(), rs.value(1).toInt()});
    if (found.isEmpty()) {
        err << "Job " << jobNo << " is not found.\n";
        failure = 1;
        return 0;
    }
    if (found.size() > 1) {
        QStringList names;
        for (const auto &[id, t] : found) {
            QString name;
            GetJobTypeName(name, t);
            names << name.toLower();
        }
        err << "Job " << jobNo << " is " << names.join(QStringLiteral(" and ")) << ": say which with --type.\n";
        return 0;
    }
    failure = 0;
    return found.first().first;
}

int OpenJobItem(const QString &path, const QString &jobText, const QString &typeText, const QString &itemText,
                CItemSet &item, QTextStream &err)
{
    bool itemOk = false;
    const int itemNo = itemText.toInt(&itemOk);
    if (!itemOk || itemNo < 0 || itemNo > 255) {
        err << "JOBNO and ITEMNO must be numbers\n";
        return 2;
    }
    platform::Database &db = SharedDatabase();
    db.open(path);
    int failure = 0;
    const qint32 jobId = FindToolJob(db, jobText, typeText, err, failure);
    if (jobId == 0)
        return failure;
    item.m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = 0 and SerNo = 0").arg(jobId).arg(itemNo);
    item.Open(CXDaoSet::dbOpenSnapshot);
    if (!item.IsOpen() || item.IsEOF()) {
        err << "Item " << itemNo << " of job " << jobText << " is not found.\n";
        return 1;
    }
    return 0;
}

bool OpenToolFile(platform::UserFile &file, QTextStream &err)
{
    if (file.open(QIODevice::WriteOnly))
        return true;
    err << "Cannot create: " << file.fileName() << ": " << file.errorString() << '\n';
    return false;
}

bool FinishToolFile(platform::UserFile &file, QTextStream &err)
{
    // A PDF of no page (a range past the end) is no file.
    if (!file.failed() && file.size() == 0) {
        file.cancelWriting();
        return true;
    }
    if (!file.failed() && file.commit())
        return true;
    err << "Cannot write: " << file.fileName() << ": " << file.errorString() << '\n';
    file.cancelWriting();
    return false;
}
