#include "ScheduleCommand.h"
#include "ToolArgs.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "production/schedule/CViewSchedule.h"

#include <QtWidgets/QApplication>

namespace {

char rowKind(CViewSchedule &view, int row)
{
    if (view.list()->GetItemData(row) == 0)
        return '-';
    if (view.IsServiceRow(row))
        return 'S';
    if (view.IsItemRow(row))
        return 'I';
    if (view.IsOrderRow(row))
        return 'O';
    return '-';
}

} // namespace

int runScheduleCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool codeOk = false;
    const int code = args.size() >= 2 ? args[1].toInt(&codeOk) : 0;
    bool optionsOk = true;
    const QString optionsText = OptionValue(args, QStringLiteral("--options"));
    const int options = optionsText.isEmpty() ? -1 : optionsText.toInt(&optionsOk, 0);
    const QString keysText = OptionValue(args, QStringLiteral("--keys"));
    const QString commandText = OptionValue(args, QStringLiteral("--command"));
    bool commandOk = true;
    const int command = commandText.isEmpty() ? 0 : commandText.toInt(&commandOk);
    if (!codeOk || code <= 31100 || !optionsOk || !commandOk || (!keysText.isEmpty() && command == 0)) {
        err << "usage: tavrel-dbtool schedule DB CODE [--options MASK] [--today MM/DD/YYYY] [--filter \"COND\"] "
               "[--keys K,... --command ID]\n";
        return 2;
    }
    if (!OpenToolDatabase(args[0], err))
        return 1;
    CZqApp app;
    LoadScheduleCaches(app);

    // Every question is answered Yes; every message is printed.
    platform::TestResponder responder;
    for (int i = 0; i < 10000; ++i)
        responder.answer(platform::IDYES);
    int result = 0;
    try {
        CViewSchedule view;
        view.resize(1200, 800);
        view.OnInitialUpdate();
        responder.clear();
        if (options >= 0)
            view.setListOptions(options);
        view.SelectTreeCode(code);
        view.ReadTreeSelection();
        const QString filter = OptionValue(args, QStringLiteral("--filter"));
        view.setFilter(filter, filter);
        view.FillList();
        CXListCtrl &list = *view.list();
        if (command != 0) {
            QList<qint64> keys;
            for (const QString &k : keysText.split(QLatin1Char(','), Qt::SkipEmptyParts))
                keys << k.trimmed().toLongLong();
            // Keys of rows under an order or item are found once expanded.
            bool missing = false;
            for (qint64 key : keys)
                missing = missing || list.FindItemByData(key, false) < 0;
            if (missing)
                view.OnExpandAll();
            list.clearSelection();
            for (int row = 0; row < list.GetItemCount(); ++row)
                if (keys.contains(list.GetItemData(row)))
                    list.selectionModel()->select(list.model()->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
            view.RunCommand(command);
            QApplication::processEvents();
        }
        PrintPrompts(responder, out);
        out << "KEY\tKIND";
        for (int c = 0; c < list.GetColumnCount(); ++c)
            out << '\t' << list.GetColumnText(c);
        out << '\n';
        for (int row = 0; row < list.GetItemCount(); ++row) {
            out << list.GetItemData(row) << '\t' << rowKind(view, row);
            for (int c = 0; c < list.GetColumnCount(); ++c)
                out << '\t' << list.GetItemText(row, c);
            out << '\n';
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
