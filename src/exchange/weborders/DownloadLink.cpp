#include "exchange/weborders/DownloadLink.h"

#include "platform/UserFile.h"

#include "app/base/CZqApp.h"
#include "app/base/FileChoice.h"
#include "app/base/ShellFiles.h"
#include "app/base/WebRead.h"
#include "platform/Prompt.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

bool isFetchable(const QString &link)
{
    const QString lower = link.toLower();
    return lower.startsWith(QLatin1String("http://")) || lower.startsWith(QLatin1String("https://")) ||
           lower.startsWith(QLatin1String("ftp://"));
}

bool fetchTo(const QString &url, const QString &path)
{
    platform::UserFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot create: ") + path + QStringLiteral("\n\n") + file.errorString(),
                                     QString(), platform::MB_ICONHAND);
        return false;
    }
    QString unused;
    QString why;
    if (!HttpGetText(url, unused, &file, &why)) {
        const bool writing = file.failed();
        file.cancelWriting();
        if (!why.isEmpty())
            platform::Prompt::messageBox(DownloadFailureText(path, why, writing), QString(), platform::MB_ICONHAND);
        return false;
    }
    if (!file.commit()) {
        platform::Prompt::messageBox(QStringLiteral("Cannot write: ") + path + QStringLiteral("\n\n") + file.errorString(),
                                     QString(), platform::MB_ICONHAND);
        return false;
    }
    return true;
}

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
        folder += QDir::separator();
    return folder;
}

} // namespace

QString FreeFileName(const QString &folder, const QString &name)
{
    if (!QFileInfo::exists(folder + name))
        return name;
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(extension);
        if (!QFileInfo::exists(folder + candidate))
            return candidate;
    }
}

QString DownloadLink(const QString &linkText, bool ask, qint32 cusNo)
{
    if (linkText.isEmpty())
        return QString();
    const QString link = linkText.section(QLatin1Char(' '), 0, 0);
    // A mail is written by anyone: only web and FTP addresses are followed,
    // never a program or a file of this computer ("file:", a path).
    if (!isFetchable(link)) {
        platform::Prompt::messageBox(link + QStringLiteral("\n\nis not a web address. Only links starting with "
                                                           "http://, https:// or ftp:// are opened or downloaded."),
                                     QString(), platform::MB_ICONINFORMATION);
        return QString();
    }
    const QString lower = link.toLower();
    QString kind;
    if (lower.contains(QLatin1String(".asp")))
        kind = QStringLiteral("application");
    if (lower.contains(QLatin1String(".exe")))
        kind = QStringLiteral("application");
    if (lower.contains(QLatin1String(".htm")))
        kind = QStringLiteral("page");
    if (!kind.isEmpty()) {
        const int answer = platform::Prompt::messageBox(
            link + QStringLiteral(" is a web ") + kind +
                QStringLiteral(".\nDo you want to open it? \n\n(click Yes to open, No to download)"),
            QString(), platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
        if (answer == platform::IDYES) {
            ShellExecuteFile(QStringLiteral("open"), link, QString(), QString());
            return QString();
        }
        if (answer != platform::IDNO)
            return QString();
    }
    CZqApp *app = ZqApp();
    QString folder = app ? app->emailSettings().DownloadTo : QString();
    QString name = link.mid(link.lastIndexOf(QLatin1Char('/')) + 1);
    if (folder.isEmpty() || name.isEmpty())
        return QString();
    folder = withSeparator(folder);
    if (app && app->emailSettings().AutoByCus != 0) {
        folder += QString::number(cusNo) + QDir::separator();
        if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
            platform::Prompt::messageBox(QStringLiteral("Couldn't create directory: ") + folder);
            return QString();
        }
    }
    static const QString badChars = QStringLiteral("\\/:*?<>|");
    for (const QChar c : name)
        if (badChars.contains(c))
            ask = true;
    if (ask) {
        if (!ChooseFile(false, folder, name, QStringLiteral("*.*"), QString(), QStringLiteral("Download the file to:"),
                        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY))
            return QString();
        folder = withSeparator(folder);
    } else {
        name = FreeFileName(folder, name);
    }
    const QString path = folder + name;
    if (!fetchTo(link, path))
        return QString();
    if (ask)
        platform::Prompt::messageBox(QStringLiteral("Downloaded ") + path);
    return path;
}
