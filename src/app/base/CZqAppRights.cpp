// The user rights: the password check before a guarded action, the temporary
// security level of this running program and the default CSR choice.
#include "app/base/CZqApp.h"

#include "platform/Prompt.h"

namespace {

constexpr int kMaxLevel = 5;
constexpr int kPasswordDataKind = 40;
constexpr int kTries = 3;

// The level rows from the top level down to the level needed: the password
// of any of them opens an action of that level.
CZqApp::QueryResult levelPasswords(const CZqApp &app, int level)
{
    return app.ReadQuery(
        QStringLiteral("SELECT Passwords.Password FROM Passwords WHERE Passwords.[No] <= %1 ORDER BY Passwords.[No]")
            .arg(level));
}

// Whether an action of the level whose rows these are asks for a password:
// no level rows, or an empty password of the level itself, switch it off.
bool needsPassword(const CZqApp::QueryResult &levels)
{
    return !levels.isEmpty() && !levels.rows.last().value(0).toString().isEmpty();
}

// Whether this workstation may turn levels first to 5 off. That opens every
// action of those levels without a word, so it takes a password that opens
// each of them: the first level that asks for one decides (a password
// accepted there is accepted by every level below it). An empty password of
// the chosen level opens only that level's own actions, never a lower level
// that has a password of its own.
bool mayTurnOffFrom(CZqApp &app, int first)
{
    for (int level = first; level <= kMaxLevel; ++level) {
        if (needsPassword(levelPasswords(app, level)))
            return app.CheckPassword(-level, QString());
    }
    return true;
}

} // namespace

int CZqApp::ChoiceDialog::GetCheckedInRange(int low, int high) const
{
    for (const ChoiceGroup &group : groups) {
        for (const ChoiceEntry &entry : group.entries) {
            if (entry.checked && entry.code >= low && entry.code <= high)
                return entry.code;
        }
    }
    return 0;
}

bool CZqApp::CheckPassword(int noOrLevel, const QString &action)
{
    if (m_nSecurityLevel == 0)
        return true;

    // The level the action needs.
    int level = 0;
    if (noOrLevel < 0) {
        level = quint8(-noOrLevel);
    } else if (noOrLevel > 0) {
        const QueryResult row =
            ReadQuery(QStringLiteral("SELECT Passwords.Level FROM Passwords WHERE Passwords.[No] = %1").arg(noOrLevel),
                      1);
        if (row.isEmpty())
            return true;
        level = quint8(row.rows.first().value(0).toInt());
    }
    if (level < 1 || level > kMaxLevel)
        return true;
    // Levels from the temporary security level down to 5 are switched off.
    if (m_nSecurityLevel > 0 && m_nSecurityLevel <= level)
        return true;

    const QueryResult levels = levelPasswords(*this, level);
    if (!needsPassword(levels))
        return true;

    const QString strip =
        action.isEmpty() ? QString() : QStringLiteral("You need a password to ") + action + QLatin1Char('.');
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        if (attempt > 1
            && platform::Prompt::messageBox(
                   QStringLiteral("The password you've typed is not correct.\n\nDo you want to try again?"),
                   QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                   != platform::IDYES)
            return false;
        const QString prompt =
            attempt == kTries ? QStringLiteral("Last try!") : QStringLiteral("Please type your password:");
        QString typed;
        // Without the entry dialog no password can be given.
        if (!m_dataEntry
            || m_dataEntry(typed, kPasswordDataKind, QStringLiteral("Password"), prompt, strip) != platform::IDOK)
            return false;
        // A level whose password is empty is off for its own actions, but an
        // empty entry never stands in for the password of a lower level.
        if (typed.isEmpty())
            continue;
        for (const QList<platform::Value> &row : levels.rows) {
            if (row.value(0).toString() == typed)
                return true;
        }
    }
    return false;
}

bool CZqApp::ChangeSecurityLevel()
{
    if (!m_choiceDialog)
        return false;
    ChoiceDialog dialog;
    dialog.ribbonTitle = QStringLiteral("Change Security Level - Temporarily");
    dialog.stripText = QStringLiteral("(for this computer only)");
    dialog.mode = 11;
    ChoiceGroup group;
    group.heading = QStringLiteral("Security Level:");
    group.groupValue = 11;
    group.radio = true;
    group.entries = {
        {2, QStringLiteral("Highest: Turn all passwords ON  (this is the default level when you start Tavrel)")},
        {6, QStringLiteral("5: Turn off password for level 5")},
        {5, QStringLiteral("4: Turn off passwords for level 4 and 5")},
        {4, QStringLiteral("3: Turn off passwords for level 3, 4, and 5")},
        {3, QStringLiteral("2: Turn off passwords for level 2, 3, 4, and 5")},
        {1, QStringLiteral("Lowest: Turn all passwords OFF (you need the top level password for this option)")},
    };
    dialog.selectCode = m_nSecurityLevel >= 0 && m_nSecurityLevel <= kMaxLevel ? m_nSecurityLevel + 1 : 2;
    // The level in force is the ticked one.
    for (ChoiceEntry &entry : group.entries)
        entry.checked = entry.code == dialog.selectCode;
    dialog.groups << group;

    if (m_choiceDialog(dialog) != platform::IDOK)
        return false;

    // Every change starts from all passwords on, so a failed password never
    // leaves the level lower than the top.
    m_nSecurityLevel = -1;
    const int chosen = dialog.GetCheckedInRange(1, 6) - 1;
    if (chosen == 0 || (chosen >= 2 && chosen <= kMaxLevel)) {
        if (mayTurnOffFrom(*this, chosen == 0 ? 1 : chosen))
            m_nSecurityLevel = chosen;
    }
    return true;
}

bool CZqApp::ChooseDefaultCsr(quint8 kind)
{
    if (!m_treePicker)
        return false;
    int code = m_nDefaultCsr;
    if (m_treePicker(kind, code) != platform::IDOK)
        return false;
    m_nDefaultCsr = quint8(code);
    WriteSettingInt(QStringLiteral("DefCSR"), m_nDefaultCsr, kSettings);
    return true;
}
