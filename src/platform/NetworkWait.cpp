#include "platform/NetworkWait.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>

#include <curl/curl.h>

#include <QtCore/QtGlobal>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#endif

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace {

// How long the window's thread waits for the worker before the window is
// served again.
constexpr auto kPoll = std::chrono::milliseconds(50);

int g_waits = 0;            // waits in progress, nested ones included
bool g_stopWaiting = false; // the innermost wait is to end
std::atomic<int> g_stops{0};

NetworkWait::WindowMaker &maker()
{
    static NetworkWait::WindowMaker m;
    return m;
}

// What the program knows of one session's connections: the sockets the
// library opened for it (so that a Stop can cut them while the library
// waits inside a step of its own) and how much has moved.
struct Session
{
    std::mutex mutex;
    std::set<curl_socket_t> sockets;
    bool dropped = false; // cut: no new connection is opened either
    std::atomic<bool> stop{false};
    std::atomic<long long> moved{0};
    long long unsent = 0; // handed to the system, not yet taken by the server, when cut

    // Cuts every connection: a wait for the server inside the library
    // returns at once. The connection is reset, not closed in order: what
    // the system still holds for the server is thrown away, so a message
    // whose end was still on its way never reaches it whole.
    void drop()
    {
        stop = true;
        std::lock_guard<std::mutex> lock(mutex);
        dropped = true;
        unsent = 0;
        for (const curl_socket_t s : sockets) {
#ifdef Q_OS_LINUX
            // What the system still holds for the server.
            int queued = 0;
            if (::ioctl(s, SIOCOUTQ, &queued) == 0 && queued > 0)
                unsent += queued;
#endif
            const linger reset{1, 0};
#ifdef Q_OS_WIN
            ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&reset), sizeof reset);
            ::shutdown(s, SD_BOTH);
#else
            ::setsockopt(s, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::shutdown(s, SHUT_RDWR);
            // Connecting a stream socket to no address drops its connection
            // at once with a reset.
            sockaddr none{};
            none.sa_family = AF_UNSPEC;
            ::connect(s, &none, sizeof none);
#endif
        }
    }
};

// The sessions by handle. Never freed: a closing that goes on beside the
// program may still use its entry while the program ends.
struct Sessions
{
    std::mutex mutex;
    std::map<CURL *, std::shared_ptr<Session>> byHandle;
};

Sessions &sessions()
{
    static Sessions *s = new Sessions;
    return *s;
}

curl_socket_t openSocket(void *user, curlsocktype, curl_sockaddr *address)
{
    auto *session = static_cast<Session *>(user);
    std::lock_guard<std::mutex> lock(session->mutex);
    if (session->dropped)
        return CURL_SOCKET_BAD;
#ifdef Q_OS_WIN
    const curl_socket_t s = ::socket(address->family, address->socktype, address->protocol);
#else
    const curl_socket_t s = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
#endif
    if (s != CURL_SOCKET_BAD)
        session->sockets.insert(s);
    return s;
}

int closeSocket(void *user, curl_socket_t s)
{
    auto *session = static_cast<Session *>(user);
    std::lock_guard<std::mutex> lock(session->mutex);
    session->sockets.erase(s);
#ifdef Q_OS_WIN
    return ::closesocket(s);
#else
    return ::close(s);
#endif
}

int progress(void *user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
{
    auto *session = static_cast<Session *>(user);
    session->moved = static_cast<long long>(received + sent);
    return session->stop ? 1 : 0;
}

// The session of a handle, made on first use, its callbacks installed.
std::shared_ptr<Session> sessionOf(CURL *curl)
{
    Sessions &all = sessions();
    std::lock_guard<std::mutex> lock(all.mutex);
    std::shared_ptr<Session> &session = all.byHandle[curl];
    if (!session)
        session = std::make_shared<Session>();
    {
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, openSocket);
        curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, session.get());
        curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, closeSocket);
        curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, session.get());
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, session.get());
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    }
    session->stop = false;
    session->moved = 0;
    std::lock_guard<std::mutex> sessionLock(session->mutex);
    session->dropped = false;
    session->unsent = 0;
    return session;
}

QString progressText(const Session &session)
{
    const long long moved = session.moved;
    return moved > 0 ? QStringLiteral("%1k").arg(moved / 1024) : QStringLiteral("Waiting for the server...");
}

size_t discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

size_t readNothing(char *, size_t, size_t, void *)
{
    return 0;
}

struct Waiting
{
    Waiting()
    {
        ++g_waits;
        g_stopWaiting = false;
    }
    ~Waiting()
    {
        --g_waits;
        g_stopWaiting = false;
    }
};

} // namespace

void NetworkWait::SetWindowMaker(WindowMaker m)
{
    maker() = std::move(m);
}

// One transfer on its worker.
struct NetworkWait::Transfer::State
{
    CURL *curl = nullptr;
    std::shared_ptr<Session> session;
    std::thread worker;
    mutable std::mutex mutex;
    mutable std::condition_variable ended;
    bool done = false;
    bool stopped = false;
    int result = CURLE_OK;
};

NetworkWait::Transfer::Transfer(std::shared_ptr<State> state) : m_state(std::move(state)) {}

NetworkWait::Transfer::~Transfer()
{
    stop();
}

bool NetworkWait::Transfer::done() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->done;
}

bool NetworkWait::Transfer::waitFor(int milliseconds) const
{
    std::unique_lock<std::mutex> lock(m_state->mutex);
    return m_state->ended.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return m_state->done; });
}

int NetworkWait::Transfer::result() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->stopped ? int(CURLE_ABORTED_BY_CALLBACK) : m_state->result;
}

void NetworkWait::Transfer::stop()
{
    if (!m_state->worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (!m_state->done) {
            // Nothing more is waited for and nothing more is sent: the
            // connections are cut, so the library's own waits return at
            // once and a message under way is never ended (the server
            // throws away what arrived of it).
            m_state->stopped = true;
            m_state->session->drop();
        }
    }
    // The worker has ended, or ends within moments of its connections being
    // cut: the caller's buffers stay its own from here on.
    m_state->worker.join();
}

std::unique_ptr<NetworkWait::Transfer> NetworkWait::Start(CURL *curl)
{
    auto state = std::make_shared<Transfer::State>();
    state->curl = curl;
    state->session = sessionOf(curl);
    state->worker = std::thread([state] {
        const int result = curl_easy_perform(state->curl);
        std::lock_guard<std::mutex> lock(state->mutex);
        state->result = result;
        state->done = true;
        state->ended.notify_all();
    });
    return std::unique_ptr<Transfer>(new Transfer(state));
}

int NetworkWait::Perform(CURL *curl, const QString &title)
{
    std::unique_ptr<Window> window = maker() ? maker()(title) : nullptr;
    if (!window) {
        sessionOf(curl);
        return curl_easy_perform(curl);
    }
    Waiting waiting;
    std::unique_ptr<Transfer> transfer = Start(curl);
    const Session &session = *transfer->m_state->session;
    while (!transfer->waitFor(int(kPoll.count()))) {
        if (!window->step(progressText(session)) || g_stopWaiting) {
            ++g_stops;
            transfer->stop();
            break;
        }
    }
    transfer->stop(); // joins the worker that has ended
    return transfer->result();
}

void NetworkWait::Close(CURL *curl)
{
    if (!curl)
        return;
    // The handle's entry goes now: once freed, its address may come back
    // as a new session's. The closing keeps what it needs.
    std::shared_ptr<Session> session;
    {
        Sessions &all = sessions();
        std::lock_guard<std::mutex> lock(all.mutex);
        auto it = all.byHandle.find(curl);
        if (it != all.byHandle.end()) {
            session = it->second;
            all.byHandle.erase(it);
        }
    }
    // The closing needs nothing of the caller's: its buffers, lists and
    // callbacks are let go here.
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 0L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, discard);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readNothing);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, nullptr);
    auto close = [curl, session] {
        if (session) {
            // The library waits for the answer to QUIT by its own clock: a
            // server that keeps silent has its connection cut instead.
            struct Closing
            {
                std::mutex mutex;
                std::condition_variable ended;
                bool done = false;
            };
            auto closing = std::make_shared<Closing>();
            std::thread cleaner([curl, closing] {
                curl_easy_cleanup(curl);
                std::lock_guard<std::mutex> lock(closing->mutex);
                closing->done = true;
                closing->ended.notify_all();
            });
            {
                std::unique_lock<std::mutex> lock(closing->mutex);
                if (!closing->ended.wait_for(lock, std::chrono::seconds(kClosingSeconds),
                                             [&] { return closing->done; })) {
                    lock.unlock();
                    session->drop();
                }
            }
            cleaner.join();
        } else {
            curl_easy_cleanup(curl);
        }
    };
    if (!maker()) {
        close();
        return;
    }
    std::thread(close).detach();
}

bool NetworkWait::WaitFor(const QString &title, const std::function<bool()> &done,
                          const std::function<QString()> &text)
{
    std::unique_ptr<Window> window = maker() ? maker()(title) : nullptr;
    if (!window) {
        while (!done()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            QThread::msleep(20);
        }
        return false;
    }
    Waiting waiting;
    while (!done()) {
        if (!window->step(text()) || g_stopWaiting) {
            ++g_stops;
            return true;
        }
        if (!done())
            QThread::msleep(20);
    }
    return false;
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

int NetworkWait::StopCount()
{
    return g_stops;
}

qint64 NetworkWait::LeftUnsent(CURL *curl)
{
    Sessions &all = sessions();
    std::shared_ptr<Session> session;
    {
        std::lock_guard<std::mutex> lock(all.mutex);
        auto it = all.byHandle.find(curl);
        if (it == all.byHandle.end())
            return 0;
        session = it->second;
    }
    std::lock_guard<std::mutex> lock(session->mutex);
    return session->unsent;
}
