#include "app/base/Paths.h"

#include <QtCore/QDir>

QChar FolderSeparator()
{
    return QDir::separator();
}

QString NativePath(const QString &path)
{
    QString p = path;
    const QChar sep = FolderSeparator();
    for (QChar &c : p)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            c = sep;
    return p;
}

void AddTrailingBackslash(QString &path)
{
    if (path.isEmpty() || (path.back() != QLatin1Char('/') && path.back() != QLatin1Char('\\')))
        path += FolderSeparator();
}
