#include "ScheduleCommand.h"
#include "ToolArgs.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "printing/CPrintForm.h"
#include "production/schedule/CViewSchedule.h"

#include <QtWidgets/QApplication>

#include <memory>

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

// "--pdf FILE": what the list printed, for reading the file back against
// it: the run's result and title, its "List Size" heading, the bounds of
// its columns and of the page's body in points (1/72 inch, left to right and
// top to bottom of the sheet), and its rows' printed cells.
void writePrintout(CPrintForm &form, CXListCtrl &list, const QString &pdf, QTextStream &out)
{
    // The PDF is written at 600 dots per inch.
    const auto points = [](int device) { return QString::number(device * 72.0 / 600.0, 'f', 2); };
    out << "result " << form.m_nResult << ' ' << pdf << ' ' << form.m_strTitle << '\n';
    out << "size\t" << form.m_strHeading3.trimmed() << '\n';
    out << "body\t" << points(form.m_nBodyTop) << '\t' << points(form.m_nFooterTop) << '\n';
    QStringList bounds;
    int x = 0;
    bounds << points(x);
    for (const CGridCell &c : form.m_columns) {
        if (c.m_width <= 0)
            continue;
        x += c.m_width;
        bounds << points(x);
    }
    out << "columns\t" << bounds.join(QLatin1Char('\t')) << '\n';
    for (int row = 0; row < list.GetItemCount(); ++row) {
        QStringList cells;
        for (const CGridCell &c : form.m_columns)
            if (c.m_width > 0)
                cells << list.GetItemText(row, c.m_index);
        out << "row\t" << cells.join(QLatin1Char('\t')) << '\n';
    }
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
    const QString pdf = OptionValue(args, QStringLiteral("--pdf"));
    const bool printing = args.contains(QStringLiteral("--pdf"));
    if (!codeOk || code <= 31100 || !optionsOk || !commandOk || (!keysText.isEmpty() && command == 0)
        || (printing && !pdf.endsWith(QLatin1String(".pdf")))) {
        err << "usage: tavrel-dbtool schedule DB CODE [--options MASK] [--today MM/DD/YYYY] [--filter \"COND\"] "
               "[--keys K,... --command ID] [--pdf FILE.pdf]\n";
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
        if (printing) {
            // The list printed as the view's Print prints "- the list on the
            // screen -", into the file in place of the printer.
            app.LoadCompanyInfo();
            auto service = std::make_unique<CPrintForm>();
            CPrintForm &form = *service;
            form.m_nPresetCommand = CPrint::kPrintDirect;
            form.m_nPresetKind = 100;
            form.m_strPresetOutput = pdf;
            app.setPrintService(std::move(service));
            view.OnCommand(30330);
            PrintPrompts(responder, err, true);
            writePrintout(form, list, pdf, out);
            const int printed = form.m_nResult;
            app.setPrintService(nullptr);
            SharedDatabase().close();
            return printed == 2 ? 0 : 1;
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
