#pragma once

#include <QtCore/QString>

#include <functional>
#include <memory>

typedef void CURL;

// Every wait of the program for a server on the network (a web page, a
// download, an FTP site, a mail server) goes through here. The floors that
// wait know nothing of windows: the floor of the progress window installs
// the maker of its window at start-up, as the record layer's failures are
// shown by the floor that installs their reporter.
//
// With a window the transfer runs on a worker thread beside the window's
// thread, which only shows the window: it repaints and answers its Stop all
// the while, also while the library waits inside a step of its own (a mail
// server's answer to the end of a message, an FTP server's "226" after a
// file). Stop ends the wait at once: the session's connections are cut, so
// the worker ends within moments and nothing more reaches the server.
// Without a window (the command-line tool, which has no window) a transfer
// runs on the calling thread to its own time-outs.
class NetworkWait
{
public:
    // What a wait shows: a window that moves on with each step and tells
    // whether the user has stopped the wait.
    class Window
    {
    public:
        virtual ~Window() = default;
        // Shows what has arrived so far; false once the user has stopped.
        virtual bool step(const QString &text) = 0;
    };
    // Makes the window of one wait, titled with what is waited for; null when
    // no window can be shown now.
    using WindowMaker = std::function<std::unique_ptr<Window>(const QString &title)>;
    static void SetWindowMaker(WindowMaker maker);

    // Runs a prepared libcurl session to its end, behind the window when one
    // is installed. The library's result; CURLE_ABORTED_BY_CALLBACK when the
    // user stopped it. A session may run several transfers (one FTP
    // connection for a batch of files) and ends with Close.
    static int Perform(CURL *curl, const QString &title);
    // One transfer started beside the window (for a window with its own
    // progress and Stop, such as a file transfer window): the caller asks
    // whether it has ended. Destroying it stops it first when it has not.
    class Transfer
    {
    public:
        ~Transfer();
        Transfer(const Transfer &) = delete;
        Transfer &operator=(const Transfer &) = delete;
        bool done() const;
        // The library's result once done; CURLE_ABORTED_BY_CALLBACK after Stop.
        int result() const;
        // Cuts the session's connections and waits for the worker, which
        // then ends within moments.
        void stop();
        // Waits up to the time for the end; whether it has ended.
        bool waitFor(int milliseconds) const;
        struct State;

    private:
        friend class NetworkWait;
        explicit Transfer(std::shared_ptr<State> state);
        std::shared_ptr<State> m_state;
    };
    static std::unique_ptr<Transfer> Start(CURL *curl);

    // Ends a session: its connections are closed (an FTP or mail server is
    // told QUIT) and the session freed. The server's answer to the closing is
    // waited for kClosingSeconds at most, and with a window not by the
    // window's thread at all: the closing goes on beside the program, holds
    // nothing of the caller's and never holds the program's end.
    static void Close(CURL *curl);
    static constexpr long kClosingSeconds = 3;

    // Waits behind the window for a dialogue that the window's own event
    // loop moves on (a mailbox read on the program's sockets) until `done`
    // answers true; `text` tells what has arrived so far. True when the user
    // stopped the wait. Without a window the events are handled until done.
    static bool WaitFor(const QString &title, const std::function<bool()> &done, const std::function<QString()> &text);

    // Ends the wait in progress at its next step as its window's Stop does
    // (a window's own Stop button answered without the question); nothing
    // when no wait is in progress.
    static void StopWaiting();
    // Whether a result is that of a wait the user stopped.
    static bool WasStopped(int curlCode);
    // How many waits the user has stopped since the program started: a batch
    // of transfers compares it before and after each to end at a Stop.
    static int StopCount();
    // What a session's transfer had handed to the system for the server but
    // the server had not yet taken when the user stopped it (0 when none,
    // or not stopped): a message whose end was among it never reached the
    // server whole.
    static qint64 LeftUnsent(CURL *curl);
};
