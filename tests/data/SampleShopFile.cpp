#include "SampleShopFile.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

QString SampleShopFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("TavrelData.mdb"));
        QProcess tool;
        tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), file, QStringLiteral("--jobs"),
                                                   QStringLiteral("300"), QStringLiteral("--seed"), QStringLiteral("48")});
        if (!tool.waitForFinished(300000) || tool.exitCode() != 0 || !QFile::exists(file))
            return QString();
        return file;
    }();
    return path;
}
