#include "app/base/ProgramPaths.h"

#include "app/base/Paths.h"

#include <QtCore/QCoreApplication>

#include <algorithm>

namespace {
int lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}
} // namespace

QString GetModulePath()
{
    return NativePath(QCoreApplication::applicationFilePath());
}

bool GetProgramFolderTo(QString &out)
{
    out = GetFolderPart(GetModulePath());
    AddTrailingBackslash(out);
    return true;
}

QString GetProgramFolder()
{
    QString folder;
    GetProgramFolderTo(folder);
    return folder;
}

QString GetFileNamePart(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString GetFolderPart(const QString &path)
{
    const int at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at + 1);
}
