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

bool IsForeignPath(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    const bool drive = path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter() &&
                       path.at(0).unicode() < 128;
    return drive || path.startsWith(QLatin1String("\\\\"));
#endif
}
