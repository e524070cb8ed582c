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

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

bool HttpGetText(const QString &address, QString &text, QIODevice *file)
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
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
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
        const QString name = file ? file->objectName() : QString();
        ReportException(FileException(transfer.writeErrno, name, SystemErrorText(transfer.writeErrno).trimmed()),
                        address);
        return false;
    }
    if (result != CURLE_OK)
        return false;
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
    if (!HttpGetText(url, unused, &file)) {
        file.cancelWriting();
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
