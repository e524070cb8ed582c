#include "app/base/Choices.h"

#include "app/base/SqlText.h"
#include "platform/Prompt.h"

namespace {

CZqApp::ChoiceDialogRunner &runner()
{
    static CZqApp::ChoiceDialogRunner r;
    return r;
}

constexpr int kChoiceMode = 11;
constexpr int kRadioGroupValue = 11;
constexpr int kQuickNotesGroupValue = 215;

// A text as a single-line field reads it: up to its first line break.
QString firstLine(const QString &text)
{
    qsizetype end = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
            end = i;
            break;
        }
    }
    return text.left(end);
}

} // namespace

void SetChoiceRunner(CZqApp::ChoiceDialogRunner r)
{
    runner() = std::move(r);
}

int RunChoiceDialog(CZqApp::ChoiceDialog &dialog)
{
    if (!runner())
        return platform::IDCANCEL;
    return runner()(dialog);
}

int AskChoice(const QString &title, const QString &stripText, const QString &choices, const QString &question)
{
    CZqApp::ChoiceDialog dialog;
    dialog.ribbonTitle = title;
    dialog.stripText = stripText;
    dialog.mode = kChoiceMode;
    CZqApp::ChoiceGroup group;
    group.heading = question;
    group.groupValue = kRadioGroupValue;
    group.radio = true;
    int code = 0;
    int from = 0;
    for (;;) {
        const int comma = choices.indexOf(QLatin1Char(','), from);
        if (comma < 0)
            break;
        group.entries.append({++code, choices.mid(from, comma - from), false});
        from = comma + 1;
    }
    dialog.groups << group;
    if (RunChoiceDialog(dialog) != platform::IDOK)
        return 0;
    return dialog.GetCheckedInRange(1, code);
}

bool AskItemStatusChange(quint8 currentStatus, quint8 newStatus)
{
    if (currentStatus < 1 || currentStatus > 3)
        return true;
    CZqApp *app = ZqApp();
    QString current;
    QString next;
    if (app) {
        app->GetScheduleStatusName(current, currentStatus);
        app->GetScheduleStatusName(next, newStatus);
    }
    const QString choices =
        QStringLiteral("Keep as %1,Change to %2,").arg(current.toUpper(), next.toUpper());
    return AskChoice(QStringLiteral("Item is not in production"), QStringLiteral("Service Status is updated."),
                     choices, QStringLiteral("Keep or Change Item Status?"))
        == 2;
}

bool PickQuickNote(QString &text, quint8 type, int category, const QString &separator)
{
    const CZqApp *app = ZqApp();
    const CZqApp::QueryResult rows = app ? app->ReadQuery(GetQuickNotesSql(type, category)) : CZqApp::QueryResult();
    if (rows.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("Could not find any Quick Notes."));
        return false;
    }

    CZqApp::ChoiceDialog dialog;
    dialog.ribbonTitle = QStringLiteral("Add Quick Notes");
    dialog.mode = kChoiceMode;
    CZqApp::ChoiceGroup group;
    group.heading = QStringLiteral("Check all that apply:");
    group.groupValue = kQuickNotesGroupValue;
    group.radio = false;
    int code = 0;
    for (const QList<platform::Value> &row : rows.rows) {
        const QString note = row.size() > 1 ? firstLine(row[1].toString()) : QString();
        if (!note.isEmpty())
            group.entries.append({++code, note, text.contains(note)});
    }
    dialog.groups << group;
    if (RunChoiceDialog(dialog) != platform::IDOK)
        return false;

    for (const CZqApp::ChoiceEntry &entry : dialog.groups.first().entries) {
        const bool contained = text.contains(entry.text);
        if (entry.checked && !contained) {
            if (!text.isEmpty())
                text += separator;
            text += entry.text;
        } else if (!entry.checked && contained) {
            const QString joined = separator + entry.text;
            if (text.contains(joined))
                text.remove(joined);
            else
                text.remove(entry.text);
        }
    }
    if (!separator.isEmpty() && text.startsWith(separator))
        text.remove(0, separator.size());
    return true;
}
