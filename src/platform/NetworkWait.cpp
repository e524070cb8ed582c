#include "platform/NetworkWait.h"

#include <curl/curl.h>

namespace {

// How long one wait for the server lasts before the window is served again.
constexpr int kPollMilliseconds = 50;

int g_waits = 0;          // waits in progress, nested ones included
bool g_stopWaiting = false; // the innermost wait is to end

NetworkWait::WindowMaker &maker()
{
    static NetworkWait::WindowMaker m;
    return m;
}

QString progressText(CURL *curl)
{
    curl_off_t received = 0;
    curl_off_t sent = 0;
    curl_easy_getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &sent);
    const curl_off_t moved = received + sent;
    return moved > 0 ? QStringLiteral("%1k").arg(qint64(moved / 1024)) : QStringLiteral("Waiting for the server...");
}

} // namespace

void NetworkWait::SetWindowMaker(WindowMaker m)
{
    maker() = std::move(m);
}

int NetworkWait::Perform(CURL *curl, const QString &title)
{
    std::unique_ptr<Window> window = maker() ? maker()(title) : nullptr;
    if (!window)
        return curl_easy_perform(curl);
    CURLM *multi = curl_multi_init();
    if (!multi)
        return CURLE_FAILED_INIT;
    curl_multi_add_handle(multi, curl);
    struct Waiting
    {
        Waiting() { ++g_waits; g_stopWaiting = false; }
        ~Waiting() { --g_waits; g_stopWaiting = false; }
    } waiting;
    CURLcode result = CURLE_OK;
    bool stopped = false;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0)
            break;
        curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
        if (!window->step(progressText(curl)) || g_stopWaiting) {
            stopped = true;
            break;
        }
    }
    if (stopped) {
        // Nothing more is waited for: a server that kept silent would
        // otherwise hold the closing of the session (an FTP QUIT) for minutes.
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

void NetworkWait::StopWaiting()
{
    if (g_waits > 0)
        g_stopWaiting = true;
}

bool NetworkWait::WasStopped(int curlCode)
{
    return curlCode == CURLE_ABORTED_BY_CALLBACK;
}
