#include "TransferCommand.h"

#include "data/SharedDatabase.h"
#include "exchange/transfer/CFileTransferDlg.h"
#include "exchange/transfer/SupportTransfer.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "views/DatabaseBackup.h"

#include <QtCore/QDir>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>

namespace {

const char kUsage[] = "usage: tavrel-dbtool transfer DB send|get [NAME] --site ftp://HOST:PORT [--to DIR]\n";

QString optionValue(QStringList &args, const QString &name)
{
    const int at = int(args.indexOf(name));
    if (at < 0 || at + 1 >= args.size())
        return QString();
    const QString value = args[at + 1];
    args.remove(at, 2);
    return value;
}

int run(SupportTransfer &transfer, bool started, QTextStream &out, QTextStream &err)
{
    int outcome = SupportTransfer::Failed;
    if (started) {
        QEventLoop loop;
        QObject::connect(&transfer, &SupportTransfer::finished, &loop, [&](int o) {
            outcome = o;
            loop.quit();
        });
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (outcome != SupportTransfer::Done) {
        err << (transfer.errorText().isEmpty() ? QStringLiteral("Cannot create file.") : transfer.errorText()) << '\n';
        return 1;
    }
    out << SupportTransfer::ProgressText(transfer.bytesDone(), transfer.bytesExpected()) << '\n'
        << "Transfered the file successfully.\n";
    return 0;
}

} // namespace

int runTransferCommand(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    QStringList args = argsIn;
    const QString site = optionValue(args, QStringLiteral("--site"));
    QString to = optionValue(args, QStringLiteral("--to"));
    if (site.isEmpty() || args.size() < 2 || (args[1] != QLatin1String("send") && args[1] != QLatin1String("get"))) {
        err << kUsage;
        return 2;
    }
    SupportTransfer transfer;
    transfer.setSite(site);
    try {
        if (args[1] == QLatin1String("send")) {
            SharedDatabase().open(args[0]);
            // The live file is never read directly: a snapshot goes out.
            QTemporaryDir dir;
            const QString snapshot = dir.filePath(QFileInfo(args[0]).fileName());
            QString error;
            if (!BackupDatabase(SharedDatabase(), snapshot, &error)) {
                err << error << '\n';
                return 1;
            }
            const QString remote = CFileTransferDlg::SentFileName(args[0]);
            out << "Sending " << remote << '\n';
            return run(transfer, transfer.StartSend(snapshot, remote), out, err);
        }
        if (args.size() != 3) {
            err << kUsage;
            return 2;
        }
        if (to.isEmpty())
            to = QDir::currentPath();
        const QString target = QDir(to).filePath(args[2]);
        return run(transfer, transfer.StartDownload(args[2], target), out, err);
    } catch (const platform::DbException &e) {
        err << e.what() << '\n';
        return 1;
    }
}
