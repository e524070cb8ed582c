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
    const QList<int> offered = type == ExportIif || type == ExportPeachtree
                                   ? QList<int>{ExportTabDelimited, ExportCommaDelimited, ExportIif, ExportPeachtree}
                                   : QList<int>{ExportTabDelimited, ExportCommaDelimited};
    return ChooseExportFile(name, type, file, title, offered);
}

bool ChooseExportFile(QString &name, int &type, platform::UserFile *file, const QString &title,
                      const QList<int> &offered)
{
    // The types in their numbering; the dialog opens on the type asked for
    // and the name it proposes carries that type's extension.
    struct FileType
    {
        const char *label;
        const char *extension;
    };
    static const FileType types[] = {
        {"Tab Delimited (.txt)", "txt"},
        {"Comma Delimited (.csv)", "csv"},
        {"Quickbooks (.iif)", "iif"},
        {"Peachtree (.csv)", "csv"},
    };
    QList<int> shown;
    for (int t : offered)
        if (t >= ExportTabDelimited && t <= ExportPeachtree && !shown.contains(t))
            shown.append(t);
    if (shown.isEmpty())
        shown = {ExportTabDelimited, ExportCommaDelimited};
    const int opening = shown.contains(type)                   ? type
                        : shown.contains(ExportCommaDelimited) ? int(ExportCommaDelimited)
                                                               : shown.first();
    QString filter;
    for (int t : shown)
        filter += QString::fromLatin1(types[t - 1].label) + QStringLiteral("|*.") +
                  QString::fromLatin1(types[t - 1].extension) + QLatin1Char('|');
    const QStringList entries = DialogFilter(filter).split(QStringLiteral(";;"));
    QString selected = entries[shown.indexOf(opening)];

    QString folder = platform::Settings::readString(kSettingsSection, kExportPathKey, QString());
    if (!folder.isEmpty())
        AddTrailingBackslash(folder);
    QString proposed = RemoveExportNameChars(name);
    if (!proposed.isEmpty())
        proposed += QLatin1Char('.') + QString::fromLatin1(types[opening - 1].extension);

    QString chosen =
        platform::Prompt::saveFileName(title, NativePath(folder + proposed), DialogFilter(filter), &selected);
    if (chosen.isEmpty())
        return false;
    chosen = NativePath(chosen);

    // The type left selected decides the file made, and the file's extension
    // follows it: another export type's extension is replaced, any other
    // text after a dot is kept as part of the name.
    const qsizetype at = entries.indexOf(selected);
    const int chosenType = at >= 0 && at < shown.size() ? shown[at] : opening;
    const QString extension = QString::fromLatin1(types[chosenType - 1].extension);
    const QString current = extensionOf(chosen);
    if (current.compare(extension, Qt::CaseInsensitive) != 0) {
        bool exportExtension = false;
        for (const FileType &t : types)
            exportExtension = exportExtension || current.compare(QLatin1String(t.extension), Qt::CaseInsensitive) == 0;
        if (exportExtension)
            chosen.chop(current.size() + 1);
        chosen += QLatin1Char('.') + extension;
    }

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
