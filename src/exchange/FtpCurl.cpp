#include "exchange/FtpCurl.h"

#include "views/CStatusDlg.h"

#include <QtCore/QByteArray>

#include <curl/curl.h>

#include <QtWidgets/QApplication>

#include <mutex>

namespace {
constexpr long kConnectSeconds = 20;
// How long one wait for the server lasts before the window is served again.
constexpr int kPollMilliseconds = 50;
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

int PerformWithStop(CURL *curl, const QString &title)
{
    // The command-line tool has no windows: there the transfer runs to its
    // own time-outs.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return curl_easy_perform(curl);
    CURLM *multi = curl_multi_init();
    if (!multi)
        return CURLE_FAILED_INIT;
    curl_multi_add_handle(multi, curl);
    CStatusDlg wait(QApplication::activeWindow());
    wait.Start(0, title, false, true);
    CURLcode result = CURLE_OK;
    bool stopped = false;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        if (running == 0)
            break;
        curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
        curl_off_t received = 0;
        curl_off_t sent = 0;
        curl_easy_getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
        curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &sent);
        const curl_off_t moved = received + sent;
        if (!wait.Step(moved > 0 ? QStringLiteral("%1k").arg(qint64(moved / 1024))
                                 : QStringLiteral("Waiting for the server..."))) {
            stopped = true;
            break;
        }
    }
    if (stopped) {
        // Nothing more is waited for: a server that kept silent would
        // otherwise hold the closing of the session (its QUIT) for minutes.
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 1L);
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, 1L);
        // The transfer ends here as a failed one, inside the library, before
        // it is taken out: taken out while under way it would be finished as
        // a whole one (a mail's data ended with its final dot, so the server
        // delivers the half that arrived); failed, its connection is dropped
        // and the server throws the part away.
        curl_multi_perform(multi, &running);
    }
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            result = message->data.result;
    curl_multi_remove_handle(multi, curl);
    curl_multi_cleanup(multi);
    return stopped ? CURLE_ABORTED_BY_CALLBACK : result;
}

bool WasStopped(int curlCode)
{
    return curlCode == CURLE_ABORTED_BY_CALLBACK;
}
