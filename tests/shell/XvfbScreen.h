#pragma once

#include <QtCore/QProcess>
#include <QtCore/QString>

// The virtual screen of the tests that drive the real program: the display
// that TAVREL_XVFB_DISPLAY names. When a screen already answers there (CI
// starts one for the whole test run, and ctest runs these tests one at a
// time) it is used as it is; otherwise one is started here and ended with
// the object.
class XvfbScreen
{
public:
    XvfbScreen() = default;
    ~XvfbScreen();
    XvfbScreen(const XvfbScreen &) = delete;
    XvfbScreen &operator=(const XvfbScreen &) = delete;

    // The display named for these tests; empty when none is.
    static QString display();
    // Whether an X server answers on the display.
    static bool answers(const QString &display);
    // Makes the display usable; false with the reason when it cannot be.
    bool open(QString &error);
    // Starts a screen of its own of a size ("1024x768") on a display no
    // other server uses (the server picks it), ended with the object; false
    // with the reason when it cannot be.
    bool openOwn(const QString &size, QString &error);
    // The display in use: the screen's own, else the named one.
    QString used() const { return m_display.isEmpty() ? display() : m_display; }

private:
    QString m_display;
    QProcess m_server;
};
