#pragma once

#include <QtCore/QString>

#include <functional>
#include <memory>

typedef void CURL;

// Every wait of the program for a server on the network (a web page, a
// download, an FTP site, a mail server) goes through here. The floors that
// wait know nothing of windows: the floor of the progress window installs
// the maker of its window at start-up, as the record layer's failures are
// shown by the floor that installs their reporter. With a window the wait
// shows it from the start, the window repaints and answers its Stop all the
// while (also while the server stays silent), and Stop ends the wait at
// once. Without one (the command-line tool, which has no window) a wait runs
// to its own time-outs.
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
    // user stopped it.
    static int Perform(CURL *curl, const QString &title);
    // Ends the wait in progress at its next step as its window's Stop does
    // (a window's own Stop button answered without the question); nothing
    // when no wait is in progress.
    static void StopWaiting();
    // Whether a result is that of a wait the user stopped.
    static bool WasStopped(int curlCode);
};
