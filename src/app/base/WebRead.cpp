#include "app/base/WebRead.h"

#include "platform/UserFile.h"

#include "app/base/ErrorBoxes.h"
#include "app/base/FileChoice.h"
#include "app/base/FileException.h"
#include "app/base/Paths.h"
#include "platform/NetworkWait.h"
#include "platform/Prompt.h"

#include <QtCore/QIODevice>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 30;
// A transfer slower than a byte a second for this long counts as broken.
constexpr long kStalledSeconds = 60;

constexpr qint64 kDefaultLargestDownload = qint64(2) * 1024 * 1024 * 1024;
// Text is kept in memory: a page or a listing is never near this.
constexpr qint64 kLargestText = qint64(64) * 1024 * 1024;
std::atomic<qint64> g_largestDownload{kDefaultLargestDownload};

struct Transfer
{
    QByteArray body;
    QIODevice *file = nullptr;
    bool writeFailed = false;
    int writeErrno = 0;
    qint64 received = 0;
    qint64 largest = 0;
    bool tooLarge = false;
};

size_t receive(char *data, size_t size, size_t count, void *context)
{
    auto *t = static_cast<Transfer *>(context);
    const size_t n = size * count;
    t->received += qint64(n);
    if (t->received > t->largest) {
        t->tooLarge = true;
        return 0; // makes the library stop with a write error
    }
    if (!t->file) {
        t->body.append(data, qsizetype(n));
        return n;
    }
    errno = 0;
    if (t->file->write(data, qint64(n)) != qint64(n)) {
        t->writeFailed = true;
        t->writeErrno = errno != 0 ? errno : EIO;
        return 0; // makes the library stop with a write error
    }
    return n;
}

// The host of an address as the user wrote it ("shop.example.com:8080").
QString hostOf(const QString &address)
{
    QString rest = address.section(QStringLiteral("://"), 1);
    rest = rest.section(QLatin1Char('/'), 0, 0);
    return rest.section(QLatin1Char('@'), -1);
}

QString statusText(long status)
{
    switch (status) {
    case 400: return QStringLiteral("400 (Bad Request)");
    case 401: return QStringLiteral("401 (Unauthorized)");
    case 403: return QStringLiteral("403 (Forbidden)");
    case 404: return QStringLiteral("404 (Not Found)");
    case 410: return QStringLiteral("410 (Gone)");
    case 500: return QStringLiteral("500 (Internal Server Error)");
    case 502: return QStringLiteral("502 (Bad Gateway)");
    case 503: return QStringLiteral("503 (Service Unavailable)");
    default: return QString::number(status);
    }
}

// Why a read failed, in the user's words, from the library's result and
// what the session knows afterwards.
QString failureText(CURL *curl, CURLcode result, const QString &address, const char *details)
{
    const QString host = hostOf(address);
    switch (result) {
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("The server %1 refused the connection (no web server answers there).").arg(host);
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("The server %1 is not known: its name cannot be found.").arg(host);
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("The proxy server is not known: its name cannot be found.");
    case CURLE_HTTP_RETURNED_ERROR: {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        char *last = nullptr;
        curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &last);
        return QStringLiteral("The server answered %1 for %2.")
            .arg(statusText(status), last ? QString::fromUtf8(last) : address);
    }
    case CURLE_TOO_MANY_REDIRECTS:
        return QStringLiteral("The address redirects again and again (a loop of redirections).");
    case CURLE_UNSUPPORTED_PROTOCOL: {
        // Where the redirection led (the session stops there, refused).
        char *next = nullptr;
        curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &next);
        if (!next || !*next || QString::fromUtf8(next) == address)
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next);
        if (next && *next && QString::fromUtf8(next) != address)
            return QStringLiteral("The address redirects to %1, which is not a web address; it is not followed.")
                .arg(QString::fromUtf8(next));
        return QStringLiteral("The address is not a web address.");
    }
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("The server %1 did not answer in time.").arg(host);
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("The server %1 broke off the transfer before the end.").arg(host);
    default:
        return details && *details ? QString::fromUtf8(details) : QString::fromUtf8(curl_easy_strerror(result));
    }
}

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

bool HttpGetText(const QString &address, QString &text, QIODevice *file, QString *failure)
{
    initialiseLibrary();
    CURL *curl = curl_easy_init();
    if (!curl)
        return false;
    const QByteArray url = address.toUtf8();
    Transfer transfer;
    transfer.file = file;
    transfer.largest = file ? LargestDownload() : std::min(LargestDownload(), kLargestText);
    curl_slist *headers = nullptr;
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    // Only web and FTP addresses are read, and only they are followed when
    // a server redirects: never a file of this computer ("file:"). A loop
    // of redirections ends.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
    char details[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, details);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Tavrel");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(transfer.largest));
    const CURLcode result = CURLcode(NetworkWait::Perform(curl, QStringLiteral("Reading ") + address));
    // A read the user stopped is no failure to explain.
    const QString why = result != CURLE_OK && result != CURLE_ABORTED_BY_CALLBACK && result != CURLE_WRITE_ERROR
        ? failureText(curl, result, address, details)
        : QString();
    NetworkWait::Close(curl);
    curl_slist_free_all(headers);

    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        platform::Prompt::messageBox(QStringLiteral("The download from %1 was stopped: it is larger than %2 MB.")
                                         .arg(address)
                                         .arg(transfer.largest / (1024 * 1024)),
                                     QString(), platform::MB_ICONEXCLAMATION);
        return false;
    }
    if (transfer.writeFailed) {
        if (failure) {
            // The caller says it with the file's name.
            const QString reason = file ? file->errorString() : QString();
            *failure = !reason.isEmpty() ? reason : SystemErrorText(transfer.writeErrno).trimmed();
            return false;
        }
        const QString name = file ? file->objectName() : QString();
        ReportException(FileException(transfer.writeErrno, name, SystemErrorText(transfer.writeErrno).trimmed()),
                        address);
        return false;
    }
    if (result != CURLE_OK) {
        if (failure)
            *failure = why;
        return false;
    }
    if (!file)
        text += QString::fromLatin1(transfer.body);
    return true;
}

qint64 LargestDownload()
{
    return g_largestDownload;
}

void SetLargestDownload(qint64 bytes)
{
    g_largestDownload = bytes;
}

bool DownloadFile(const QString &url, QString folder, bool ask)
{
    if (url.isEmpty())
        return false;
    QString name = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    if (folder.isEmpty() || ask) {
        if (!ChooseFile(false, folder, name, QStringLiteral("*.*"), QString(),
                        QStringLiteral("Download the file to:"), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY))
            return false;
    }
    AddTrailingBackslash(folder);
    const QString path = folder + name;

    platform::UserFile file(NativePath(path));
    file.setObjectName(path);
    errno = 0;
    if (name.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        ReportException(FileException(errno != 0 ? errno : EIO, path, file.errorString()),
                        QStringLiteral("creating ") + path);
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
    errno = 0;
    if (!file.commit()) {
        ReportException(FileException(errno != 0 ? errno : EIO, path, file.errorString()),
                        QStringLiteral("saving ") + path);
        return false;
    }
    if (ask)
        platform::Prompt::messageBox(QStringLiteral("Downloaded ") + path);
    return true;
}

QString DownloadFailureText(const QString &path, const QString &reason, bool writing)
{
    return (writing ? QStringLiteral("Cannot write: ") : QStringLiteral("Cannot download: ")) + path
        + QStringLiteral("\n\n") + reason;
}
