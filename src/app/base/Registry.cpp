#include "app/base/Registry.h"

#include "app/base/ProgramPaths.h"
#include "platform/Settings.h"

namespace {
const QString kProgramKey = QStringLiteral("Software\\Halvane\\Tavrel\\");
}

QString RegReadString(const QString &keyPath, const QString &valueName)
{
    QString key = keyPath;
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (!key.startsWith(kProgramKey, Qt::CaseInsensitive))
        return QString();
    const QString section = key.mid(kProgramKey.size());
    if (section.isEmpty() || section.contains(QLatin1Char('\\')) || valueName.isEmpty())
        return QString();
    return platform::Settings::readString(section, valueName, QString());
}

QString GetInstallPathFromRegistry()
{
    return GetFolderPart(RegReadString(kProgramKey + QStringLiteral("Settings"), QStringLiteral("TavrelPath")));
}
