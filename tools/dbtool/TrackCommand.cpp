#include "TrackCommand.h"
#include "ToolArgs.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXTable.h"
#include "data/AppDataServices.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "production/tracking/CViewTrack.h"
#include "views/CDlgData.h"

#include <QtCore/QMap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

namespace {

// Every question Yes, every dialog OK with what it proposes; a password
// entry is given the password of its row, as a supervisor would type it.
void answerEverything(platform::TestResponder &responder)
{
    for (int i = 0; i < 2000; ++i) {
        responder.answer(platform::IDYES);
        responder.onDialog([](QDialog &d) {
            if (auto *entry = dynamic_cast<CDlgData *>(&d)) {
                if (entry->windowTitle() == QLatin1String("Password") || entry->m_strWindowTitle == QLatin1String("Password")) {
                    QString password;
                    GetPasswordText(password, entry->m_strStripText.contains(QLatin1String("History")) ? 222 : 221);
                    entry->m_strValue = password;
                } else {
                    entry->m_strValue.clear();
                }
            }
            return int(platform::IDOK);
        });
    }
}

void startApp(CZqApp &app)
{
    LoadScheduleCaches(app);
}

// TimeID -> the row's cells as printed.
QMap<qint32, QString> timesRows()
{
    QMap<qint32, QString> rows;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT TimeID, TimeFor, EmpNo, ItemID, Format(Start, 'mm/dd/yyyy hh:nn'), "
                           "Format(Finish, 'mm/dd/yyyy hh:nn'), Minutes, Material, Status, Subgroup FROM Times "
                           "ORDER BY TimeID"));
    for (; !rs.isEOF(); rs.moveNext()) {
        QStringList cells;
        for (int c = 0; c < 10; ++c)
            cells << rs.value(c).toString();
        rows.insert(rs.value(0).toInt(), cells.join(QLatin1Char('\t')));
    }
    return rows;
}


} // namespace

int runClockCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList rest = args;
    const QString nowText = OptionValue(rest, QStringLiteral("--now"));
    const QString pendingText = OptionValue(rest, QStringLiteral("--pending"));
    for (const QString &name : {QStringLiteral("--now"), QStringLiteral("--pending")}) {
        const int at = rest.indexOf(name);
        if (at >= 0)
            rest.remove(at, qMin(2, int(rest.size()) - at));
    }
    const QDateTime now = QDateTime::fromString(nowText, QStringLiteral("MM/dd/yyyy HH:mm"));
    const QStringList actions = {QStringLiteral("day"),    QStringLiteral("break"),  QStringLiteral("end"),
                                 QStringLiteral("task"),   QStringLiteral("office"), QStringLiteral("pause"),
                                 QStringLiteral("resume"), QStringLiteral("finish"), QStringLiteral("scan")};
    bool empOk = false;
    const int empNo = rest.size() >= 3 ? rest[1].toInt(&empOk) : 0;
    const QString action = rest.value(2);
    const bool needsId = actions.indexOf(action) >= 3;
    bool idOk = !needsId;
    const qint32 id = needsId && rest.size() >= 4 ? rest[3].toInt(&idOk) : 0;
    if (!now.isValid() || !empOk || !actions.contains(action) || !idOk) {
        err << "usage: tavrel-dbtool clock DB --now \"MM/DD/YYYY HH:MM\" EMPNO day|break|end|task ITEMID|office "
               "DEPID|pause TIMEID|resume TIMEID|finish TIMEID|scan ITEMID [--pending ID]\n";
        return 2;
    }
    if (!OpenToolDatabase(rest[0], err))
        return 1;
    platform::Clock::setFixed(now);
    CZqApp app;
    startApp(app);
    platform::TestResponder responder;
    answerEverything(responder);
    int result = 0;
    const QMap<qint32, QString> before = timesRows();
    try {
        CViewTrack view;
        view.resize(1200, 800);
        view.OnInitialUpdate();
        view.SelectOperator(empNo, true);
        responder.clear();
        if (action == QLatin1String("day")) {
            view.OnStartWorkday();
        } else if (action == QLatin1String("break")) {
            view.OnWorkdayCommand(29131);
        } else if (action == QLatin1String("end")) {
            view.OnWorkdayCommand(29133);
        } else if (action == QLatin1String("task")) {
            view.StartTask(1, id);
        } else if (action == QLatin1String("office")) {
            view.StartTask(2, id);
        } else if (action == QLatin1String("scan")) {
            if (!pendingText.isEmpty()) {
                view.barCode().m_nAction = pendingText.toInt();
                view.OnScanCommand(31000, 0);
            }
            view.barCode().m_nObject = id;
            view.OnScanCommand(30390, 0);
        } else {
            // A clock command on that record's row of the task list.
            const int command = action == QLatin1String("pause") ? 29121 : action == QLatin1String("resume") ? 29122 : 29123;
            if (view.SelectRowByKey(id))
                view.OnClockCommand(command);
            else
                err << "TimeID " << id << " is not listed\n";
        }
        QApplication::processEvents();
        PrintPrompts(responder, out, true);
        out << "TimeID\tTimeFor\tEmpNo\tItemID\tStart\tFinish\tMinutes\tMaterial\tStatus\tSubgroup\n";
        const QMap<qint32, QString> after = timesRows();
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (before.value(it.key()) != it.value())
                out << it.value() << '\n';
        }
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

int runTrackingCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool codeOk = false;
    const int code = args.size() >= 2 ? args[1].toInt(&codeOk) : 0;
    const QDate from = QDate::fromString(OptionValue(args, QStringLiteral("--from")), QStringLiteral("MM/dd/yyyy"));
    const QDate to = QDate::fromString(OptionValue(args, QStringLiteral("--to")), QStringLiteral("MM/dd/yyyy"));
    const bool ranged = args.contains(QStringLiteral("--from")) || args.contains(QStringLiteral("--to"));
    const QString operatorText = OptionValue(args, QStringLiteral("--operator"));
    bool operatorOk = true;
    const int empNo = operatorText.isEmpty() ? 100 : operatorText.toInt(&operatorOk);
    const bool update = args.contains(QStringLiteral("--update"));
    const bool close = args.contains(QStringLiteral("--close"));
    if (!codeOk || code < 9100 || code > 9406 || (ranged && (!from.isValid() || !to.isValid())) || !operatorOk
        || (update && close)) {
        err << "usage: tavrel-dbtool tracking DB CODE [--from MM/DD/YYYY --to MM/DD/YYYY] [--operator N] "
               "[--update | --close]\n";
        return 2;
    }
    if (!OpenToolDatabase(args[0], err))
        return 1;
    CZqApp app;
    startApp(app);
    platform::TestResponder responder;
    answerEverything(responder);
    int result = 0;
    try {
        CViewTrack view;
        view.resize(1200, 800);
        view.OnInitialUpdate();
        if (ranged) {
            view.setDateRange(DateTime::fromDate(from), DateTime::fromDate(to));
            view.ApplyDateRange(20054);
        }
        view.OnCommand(30052);
        if (view.isTrackMode()) {
            PrintPrompts(responder, out, true);
            err << "the Close/Review password was refused\n";
            SharedDatabase().close();
            return 1;
        }
        view.SelectOperator(empNo, false);
        responder.clear();
        view.OnCommand(code);
        if (update)
            view.OnUpdateJobServices();
        else if (close)
            view.OnCloseTasks();
        QApplication::processEvents();
        PrintPrompts(responder, out, true);
        const CXTable &table = *view.table();
        for (const QString &title : {table.m_title, table.m_subtitle, table.m_headingText}) {
            if (!title.isEmpty())
                out << QString(title).replace(QLatin1Char('\n'), QLatin1String("\\n")) << '\n';
        }
        QStringList heads;
        for (int c = 0; c < table.GetColumnCount(); ++c)
            heads << table.GetColumnName(c);
        out << heads.join(QLatin1Char('\t')) << '\n';
        for (int r = 0; r < table.GetRowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.GetColumnCount(); ++c)
                cells << table.GetCellText(r, c);
            out << cells.join(QLatin1Char('\t')) << '\n';
        }
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
