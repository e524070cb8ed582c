#include "exchange/FtpCurl.h"

#include <QtCore/QByteArray>

#include <curl/curl.h>

#include <mutex>

namespace {
constexpr long kConnectSeconds = 20;
constexpr long kStalledSeconds = 60;
} // namespace

CURL *OpenFtpSession(const QString &url, const QString &user, const QString &password)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL *curl = curl_easy_init();
    if (!curl)
        return nullptr;
    curl_easy_setopt(curl, CURLOPT_URL, url.toUtf8().constData());
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.toUtf8().constData());
    }
    curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(curl, CURLOPT_FTP_RESPONSE_TIMEOUT, kStalledSeconds);
    return curl;
}

size_t AppendReceivedBytes(char *data, size_t size, size_t count, void *bytes)
{
    static_cast<QByteArray *>(bytes)->append(data, qsizetype(size * count));
    return size * count;
}

size_t DiscardReceivedBytes(char *, size_t size, size_t count, void *)
{
    return size * count;
}

QString FtpConnectError(const QString &host, int curlCode)
{
    return QStringLiteral("Cannot connect to: ") + host + QStringLiteral("\n\nError ") + QString::number(curlCode) +
           QStringLiteral(": ") + QString::fromUtf8(curl_easy_strerror(CURLcode(curlCode)));
}
