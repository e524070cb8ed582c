#include "ScheduleJobCommand.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "production/schedule/CScheduleJob.h"

namespace {

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("/"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

} // namespace

int runScheduleJobCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool jobOk = false;
    const qint32 jobNo = args.size() >= 2 ? args[1].toInt(&jobOk) : 0;
    int scroll = 0;
    bool scrollOk = true;
    const int scrollAt = args.indexOf(QStringLiteral("--scroll"));
    if (scrollAt >= 0)
        scroll = scrollAt + 1 < args.size() ? args[scrollAt + 1].toInt(&scrollOk) : (scrollOk = false, 0);
    const bool automatic = args.contains(QStringLiteral("--auto"));
    if (!jobOk || jobNo <= 0 || !scrollOk) {
        err << "usage: tavrel-dbtool schedule-job DB JOBNO [--today MM/DD/YYYY] [--scroll N] [--auto]\n";
        return 2;
    }
    try {
        SharedDatabase().open(args[0]);
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
    CZqApp app;
    InstallAppQueryReader(app);
    app.LoadServiceDepartments();
    app.LoadServiceCategories();
    app.LoadServices(2);
    app.BuildPopupMenus();
    Appearance::instance().LoadViewSettings();

    platform::TestResponder responder;
    for (int i = 0; i < 100; ++i)
        responder.answer(platform::IDNO);
    int result = 0;
    try {
        CJobSet job;
        job.m_strFilter = QStringLiteral("JobType = 0 and JobNo = %1").arg(jobNo);
        if (!job.RequeryOrOpen(false) || job.IsEOF()) {
            err << "No order " << jobNo << '\n';
            SharedDatabase().close();
            return 1;
        }
        CScheduleJob dialog(&job, nullptr);
        dialog.FillGrid(scroll);
        if (automatic) {
            dialog.AutoSchedule();
            for (const platform::PromptRecord &r : responder.shown())
                out << "PROMPT: " << oneLine(r.text) << '\n';
            responder.clear();
        }
        const CXTable &t = dialog.grid().table();
        for (int c = 0; c < t.GetColumnCount(); ++c)
            out << (c ? "\t" : "") << oneLine(t.GetColumnName(c));
        out << '\n';
        for (int row = 0; row < t.GetRowCount(); ++row) {
            for (int c = 0; c < t.GetColumnCount(); ++c) {
                out << (c ? "\t" : "") << oneLine(t.GetCellText(row, c));
                const int icon = t.GetCellFormat(row, c);
                if (icon >= 1 && icon <= 254)
                    out << '#' << icon;
            }
            out << '\n';
        }
        if (!dialog.grid().lateNote().isEmpty())
            out << dialog.grid().lateNote() << '\n';
    } catch (const platform::UnansweredPrompt &e) {
        err << e.what() << '\n';
        result = 1;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        result = 1;
    }
    SharedDatabase().close();
    return result;
}
