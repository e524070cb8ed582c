#include "exchange/weborders/XmlOrders.h"

#include "platform/UserFile.h"

#include "exchange/FtpCurl.h"
#include "exchange/weborders/OrderNumbers.h"
#include "exchange/xml/XmlDocument.h"
#include "platform/NetworkWait.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QUrl>

#include <curl/curl.h>


namespace {

size_t writeToFile(char *data, size_t size, size_t count, void *user)
{
    auto *file = static_cast<platform::UserFile *>(user);
    return file->write(data, qint64(size * count)) == qint64(size * count) ? size * count : 0;
}

QString connectError(const QString &host, CURLcode code)
{
    return FtpConnectError(host, int(code));
}

QString percentPath(const QString &path)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

} // namespace

XmlOrderLocation ParseXmlOrderLocation(const QString &incomingText)
{
    XmlOrderLocation where;
    const QString incoming = incomingText.trimmed();
    if (incoming.isEmpty())
        return where;
    if (incoming.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)) {
        const QString rest = incoming.mid(6);
        where.host = rest.section(QLatin1Char('/'), 0, 0);
        where.remote = rest.section(QLatin1Char('/'), 1);
        while (where.remote.endsWith(QLatin1Char('/')))
            where.remote.chop(1);
        where.ftp = true;
    } else if (QFileInfo(incoming).isDir()) {
        // A folder that exists is a folder, even with a dot in its name.
        where.folder = QDir::cleanPath(QDir::fromNativeSeparators(incoming));
        where.valid = true;
        return where;
    } else {
        const QString normal = QString(incoming).replace(QLatin1Char('/'), QLatin1Char('\\'));
        const int last = int(normal.lastIndexOf(QLatin1Char('\\')));
        const QString before = last >= 0 ? normal.left(last + 1) : QString();
        const QString after = last >= 0 ? normal.mid(last + 1) : normal;
        if (QString(before).remove(QLatin1Char('\\')).isEmpty() || after.isEmpty())
            return where;
        if (!incoming.contains(QLatin1Char('.'))) {
            where.folder = QDir::cleanPath(QDir::fromNativeSeparators(incoming));
            where.valid = true;
            return where;
        }
        where.ftp = true;
        where.host = QString(before).remove(QLatin1Char('\\'));
        where.remote = after;
    }
    if (where.host.isEmpty() || where.remote.isEmpty())
        return where;
    where.url = QStringLiteral("ftp://") + where.host + QLatin1Char('/') + percentPath(where.remote);
    where.valid = true;
    return where;
}

bool ListXmlOrderFiles(const QString &incoming, const QString &user, const QString &password,
                       QList<XmlOrderFile> &files, QString &log, QString &error)
{
    files.clear();
    error.clear();
    const XmlOrderLocation where = ParseXmlOrderLocation(incoming);
    if (!where.valid || (!where.ftp && !QFileInfo(where.folder).isDir())) {
        log += QStringLiteral("\r\n*** XML folder does not exist ***");
        error = incoming + QStringLiteral("\n\n") + log;
        return false;
    }
    if (!where.ftp) {
        const QFileInfoList found = QDir(where.folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files,
                                                                     QDir::Unsorted);
        for (const QFileInfo &info : found)
            files.append(XmlOrderFile{info.fileName(), QDir::toNativeSeparators(info.absoluteFilePath()),
                                      info.lastModified().toString(QStringLiteral("MM/dd/yyyy")), info.size()});
        return true;
    }

    // The folder's names, fresh from the server.
    QByteArray listing;
    CURL *curl = OpenFtpSession(where.url + QLatin1Char('/'), user, password);
    if (!curl) {
        error = connectError(where.host, CURLE_FAILED_INIT);
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendReceivedBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &listing);
    const QString waiting = QStringLiteral("Receiving orders from ") + where.host;
    const CURLcode result = CURLcode(NetworkWait::Perform(curl, waiting));
    if (NetworkWait::WasStopped(result)) {
        NetworkWait::Close(curl);
        log += QStringLiteral("\r\nStopped.");
        return false;
    }
    if (result != CURLE_OK) {
        NetworkWait::Close(curl);
        error = connectError(where.host, result);
        return false;
    }
    log += QStringLiteral("\r\nConnected to ") + incoming;
    const QStringList names = QString::fromUtf8(listing).split(QRegularExpression(QStringLiteral("[\r\n]+")),
                                                               Qt::SkipEmptyParts);
    // Size and date of each file by the server's SIZE and MDTM, on the
    // listing's own connection: one session serves the whole folder. A
    // server without them leaves the date empty.
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_FILETIME, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DiscardReceivedBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, DiscardReceivedBytes);
    for (const QString &name : names) {
        if (!name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            continue;
        XmlOrderFile file;
        file.name = name;
        file.fullPath = where.url + QLatin1Char('/') + name;
        const QByteArray fileUrl = (where.url + QLatin1Char('/') + percentPath(name)).toUtf8();
        curl_easy_setopt(curl, CURLOPT_URL, fileUrl.constData());
        const CURLcode looked = CURLcode(NetworkWait::Perform(curl, waiting));
        if (NetworkWait::WasStopped(looked)) {
            NetworkWait::Close(curl);
            files.clear();
            log += QStringLiteral("\r\nStopped.");
            return false;
        }
        if (looked == CURLE_OK) {
            curl_off_t size = -1;
            long when = -1;
            if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size) == CURLE_OK && size >= 0)
                file.size = qint64(size);
            if (curl_easy_getinfo(curl, CURLINFO_FILETIME, &when) == CURLE_OK && when >= 0)
                file.date = QDateTime::fromSecsSinceEpoch(when).toString(QStringLiteral("MM/dd/yyyy"));
        }
        files.append(file);
    }
    NetworkWait::Close(curl);
    log += QStringLiteral("\r\nFound ") + QString::number(files.size()) + QStringLiteral(" files.");
    return true;
}

bool FetchXmlOrderFile(const QString &fullPath, const QString &user, const QString &password, QString &localPath,
                       QString &error)
{
    error.clear();
    if (!fullPath.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)) {
        localPath = fullPath;
        return true;
    }
    // The full path is the folder's address as listed (already escaped) and
    // the file's name as the server gave it: only the name is escaped here.
    const QString host = fullPath.mid(6).section(QLatin1Char('/'), 0, 0);
    const int slash = int(fullPath.lastIndexOf(QLatin1Char('/')));
    const QString name = fullPath.mid(slash + 1);
    const QString url = fullPath.left(slash + 1) + percentPath(name);
    platform::UserFile file(localPath);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("Cannot create: ") + localPath + QStringLiteral("\n\n") + file.errorString();
        return false;
    }
    CURL *curl = OpenFtpSession(url, user, password);
    if (!curl) {
        error = connectError(host, CURLE_FAILED_INIT);
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    const CURLcode result = CURLcode(NetworkWait::Perform(curl, QStringLiteral("Reading ") + name));
    NetworkWait::Close(curl);
    if (NetworkWait::WasStopped(result)) {
        file.cancelWriting();
        return false;
    }
    // A file that could not be written (a full disk) is said as such, not
    // as a connection that failed.
    if (file.failed() || (result == CURLE_OK && !file.commit())) {
        error = QStringLiteral("Cannot write: ") + localPath + QStringLiteral("\n\n") + file.errorString();
        file.cancelWriting();
        return false;
    }
    if (result != CURLE_OK) {
        file.cancelWriting();
        error = connectError(host, result);
        return false;
    }
    return true;
}

QList<XmlOrderItem> ReadXmlOrderItems(const XmlDocument &order, const XmlOrderKeys &keys)
{
    QList<XmlOrderItem> items;
    const QString box = keys.quantity;
    // A path read inside each item's own element, or by its running count;
    // each path's values are read in one pass over the document.
    auto values = [&](const QString &path, const QString &attribute) {
        return order.LiesInside(path, box) ? order.GetXmlValuesInside(box, path, attribute, kMaxOrderItems)
                                           : order.GetXmlValues(path, attribute, kMaxOrderItems);
    };
    const QStringList descriptions = values(keys.description, QString());
    if (descriptions.isEmpty() || descriptions.first().isEmpty())
        return items;
    const QStringList quantities = values(keys.quantity, QStringLiteral("quantity"));
    const QStringList prices = values(keys.price, QString());
    const QStringList templateNos = values(keys.templateNo, QString());
    const QStringList links = values(keys.link, QString());
    for (qsizetype i = 0; i < descriptions.size() && i < kMaxOrderItems; ++i) {
        XmlOrderItem item;
        item.description = descriptions.at(i);
        if (item.description.isEmpty())
            break;
        const QString written = quantities.value(i);
        if (!written.trimmed().isEmpty() && !ReadOrderQuantity(written, item.quantity, item.originals)) {
            item.quantity = 0;
            item.badQuantity = written;
        }
        item.unitPrice = prices.value(i);
        item.jobItem = templateNos.value(i);
        if (item.jobItem.isEmpty())
            item.jobItem = QStringLiteral("999-1");
        item.jobItem = item.jobItem.left(14);
        item.link = links.value(i);
        items.append(item);
    }
    return items;
}
