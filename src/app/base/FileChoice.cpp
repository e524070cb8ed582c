#include "app/base/FileChoice.h"

#include "app/base/Paths.h"
#include "app/base/ProgramPaths.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/UserFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

const QString kExportPathKey = QStringLiteral("ExportPath");
const QString kSettingsSection = QStringLiteral("Settings");

// The extension of a name (without the dot), empty when it has none.
QString extensionOf(const QString &name)
{
    const QString file = GetFileNamePart(name);
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? QString() : file.mid(dot + 1);
}

void addDefaultExtension(QString &path, const QString &defaultExtension)
{
    QString ext = defaultExtension;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    if (ext.isEmpty() || ext.contains(QLatin1Char('*')) || !extensionOf(path).isEmpty())
        return;
    path += QLatin1Char('.') + ext;
}

} // namespace

QString DialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

bool ChooseFile(bool open, QString &folder, QString &name, const QString &defaultExtension, const QString &filter,
                const QString &title, unsigned flags)
{
    Q_UNUSED(flags); // the dialogs always ask before overwriting and hide read-only choices
    using platform::Prompt;
    const QString start = NativePath(folder + name);
    QString chosen = open ? Prompt::openFileName(title, start, DialogFilter(filter))
                          : Prompt::saveFileName(title, start, DialogFilter(filter));
    if (chosen.isEmpty())
        return false;
    chosen = NativePath(chosen);
    if (!open)
        addDefaultExtension(chosen, defaultExtension);
    folder = GetFolderPart(chosen);
    name = GetFileNamePart(chosen);
    return true;
}

bool BrowseForFolder(QWidget *owner, QString &path, const QString &title)
{
    const QString chosen = platform::Prompt::folderName(title, path, owner);
    if (chosen.isEmpty()) {
        path.clear();
        return false;
    }
    path = NativePath(chosen);
    AddTrailingBackslash(path);
    return true;
}

QString RemoveExportNameChars(const QString &name)
{
    static const QString forbidden = QStringLiteral("?<>|:*/\\\".");
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        if (!forbidden.contains(c))
            out += c;
    return out;
}

bool ChooseExportFile(QString &name, int &type, platform::UserFile *file, const QString &title)
{
    QString folder = platform::Settings::readString(kSettingsSection, kExportPathKey, QString());
    // The type asked for comes first, so the dialog starts on it.
    QString filter = type == ExportCommaDelimited
                         ? QStringLiteral("Comma Delimited (.csv)|*.csv|Tab Delimited (.txt)|*.txt|")
                         : QStringLiteral("Tab Delimited (.txt)|*.txt|Comma Delimited (.csv)|*.csv|");
    QString defaultExtension = QStringLiteral(".csv");
    const bool allFour = type == ExportIif || type == ExportPeachtree;
    if (type == ExportTabDelimited) {
        defaultExtension = QStringLiteral(".txt");
    } else if (allFour) {
        filter += QStringLiteral("Quickbooks (.iif)|*.iif|Peachtree (.csv)|*.csv|");
        defaultExtension = QStringLiteral(".iif");
    }
    if (!folder.isEmpty())
        AddTrailingBackslash(folder);

    QString chosen = platform::Prompt::saveFileName(title, NativePath(folder + RemoveExportNameChars(name)),
                                                    DialogFilter(filter));
    if (chosen.isEmpty())
        return false;
    chosen = NativePath(chosen);
    addDefaultExtension(chosen, defaultExtension);

    // The format follows the chosen file's extension; the Peachtree and the
    // comma-delimited formats share ".csv", so a Peachtree export stays one.
    const QString ext = extensionOf(chosen).toLower();
    int chosenType = type >= 1 && type <= (allFour ? 4 : 2) ? type : ExportTabDelimited;
    if (ext == QLatin1String("txt"))
        chosenType = ExportTabDelimited;
    else if (ext == QLatin1String("csv"))
        chosenType = allFour && type == ExportPeachtree ? ExportPeachtree : ExportCommaDelimited;
    else if (ext == QLatin1String("iif") && allFour)
        chosenType = ExportIif;

    if (file) {
        file->setFileName(chosen);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            platform::Prompt::messageBox(QStringLiteral("Cannot open: ") + chosen + QStringLiteral("\n\n") +
                                             file->errorString(),
                                         QString(), platform::MB_ICONHAND);
            return false;
        }
    }
    name = chosen;
    type = chosenType;
    platform::Settings::writeString(kSettingsSection, kExportPathKey, GetFolderPart(chosen));
    return true;
}
