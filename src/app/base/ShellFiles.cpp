#include "app/base/ShellFiles.h"

#include "app/base/ErrorBoxes.h"
#include "app/base/FileException.h"
#include "app/base/Paths.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

#include <cerrno>
#include <cstdio>

namespace {

// Above this a shell call succeeded, as callers test it.
constexpr int kShellSuccess = 42;

bool isAddress(const QString &file)
{
    const QUrl url(file);
    return url.isValid() && url.scheme().size() > 1
        && (file.contains(QStringLiteral("://")) || url.scheme() == QLatin1String("mailto"));
}

} // namespace

int ShellExecuteFile(const QString &verb, const QString &file, const QString &parameters, const QString &folder)
{
    Q_UNUSED(verb); // the desktop chooses the program; "open" is the only verb it knows
    int error = 0;
    if (isAddress(file)) {
        if (!QDesktopServices::openUrl(QUrl(file)))
            error = ENOEXEC;
    } else {
        const QString path = NativePath(file);
        const QFileInfo info(QFileInfo(path).isRelative() && !folder.isEmpty() ? NativePath(folder) + path : path);
        if (!info.exists()) {
            error = ENOENT;
        } else if (!parameters.isEmpty() && info.isExecutable() && info.isFile()) {
            if (!QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(parameters),
                                         folder.isEmpty() ? QString() : NativePath(folder)))
                error = ENOEXEC;
        } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()))) {
            error = ENOEXEC;
        }
    }
    if (error == 0)
        return kShellSuccess;
    ShowError(error, file + QLatin1Char('\n') + parameters + QLatin1Char('\n') + folder, 0);
    return error;
}

bool DeleteFileIfExists(const QString &path)
{
    const QString native = NativePath(path);
    if (!QFileInfo::exists(native))
        return true;
    errno = 0;
    if (std::remove(QFile::encodeName(native).constData()) != 0) {
        ReportException(FileException::fromLastError(native), QStringLiteral(" deleting file"));
        return false;
    }
    return true;
}

bool FileExists(const QString &folder, const QString &name)
{
    return QFileInfo(NativePath(folder + name)).isFile();
}
