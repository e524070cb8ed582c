#pragma once

#include <QtCore/QMap>
#include <QtCore/QProcess>
#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

#include <memory>

class QTcpServer;

// The servers that tests talk to are real Debian programs, started here on
// 127.0.0.1 with their own configuration in a temporary folder and stopped
// when the object goes. Each is bounded in time: it is run under `timeout`,
// so a test that dies never leaves a server behind for long.
namespace testservers {

// A free TCP port on 127.0.0.1 at the moment of asking.
quint16 FreePort();
// True once something accepts connections on the port (within the time).
bool WaitForPort(quint16 port, int milliseconds);

// What every server here has: its process (stopped when the object goes),
// its port, and whether it came up (and if not, why).
class LocalServer
{
public:
    LocalServer(const LocalServer &) = delete;
    LocalServer &operator=(const LocalServer &) = delete;

    bool started() const { return m_started; }
    QString error() const { return m_error; }
    quint16 port() const { return m_port; }

protected:
    LocalServer() = default;
    ~LocalServer() { stop(); }
    // Ends the server (one with files of its own stops before they go).
    void stop();

    QProcess m_process;
    quint16 m_port = 0;
    bool m_started = false;
    QString m_error;
};

// An FTP server (vsftpd) serving one folder to anonymous users, in active
// and passive mode. started() is false (and error() says why) when the
// program is missing or does not come up.
class FtpServer : public LocalServer
{
public:
    // `root` is the folder served as "/"; with `uploads` anonymous users may
    // put files into it (not overwrite or delete them).
    explicit FtpServer(const QString &root, int lifetimeSeconds = 300, bool uploads = false);
    ~FtpServer();

    // "127.0.0.1:port", the host part of an ftp:// address.
    QString host() const;

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

// A POP3 server (dovecot) with one mailbox, user "shop", in a maildir of
// its own. The mailbox is owned by the system's "nobody" user and the
// server's helpers run as the users its package made, so the tests need
// neither a user of their own nor the system's running dovecot.
class PopServer : public LocalServer
{
public:
    explicit PopServer(const QString &password, int lifetimeSeconds = 300);
    ~PopServer();

    // Puts a message (its bytes as they are) into the mailbox.
    bool addMessage(const QString &name, const QByteArray &bytes);
    // How many messages the mailbox holds now.
    int messageCount() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_maildir;
};

// An SMTP server (python3's aiosmtpd) on 127.0.0.1 that writes each message
// it takes into a folder as n.eml (the data as received) and n.env (the
// envelope: sender, then one recipient a line). A refusing server answers
// every recipient with 550.
class SmtpServer : public LocalServer
{
public:
    SmtpServer(const QString &folder, bool refuse = false, int lifetimeSeconds = 300);

    // "smtp://127.0.0.1:port"
    QString url() const;
};

// An SMTP server on a slow line: python3 reading the message's data at
// bytesPerSecond through a small receive window (commands go at full speed).
// A message whose data ends with its final dot is taken and written into the
// folder as n.eml; data cut off by the client's closing is thrown away and
// only its length written, as n.cut. While data comes, the file "got" holds
// how many bytes of it the server has read so far. Each session that greeted ends with a
// line in the folder's file "closed". The answer to a message's final dot
// comes after finalReply seconds; with kNoFinalReply never (the server keeps
// the connection until the client hangs up), with kHangUpAtFinalDot the
// server hangs up instead. The message is written before that answer either
// way: the whole of it reached the server.
class SlowSmtpServer : public LocalServer
{
public:
    static constexpr int kNoFinalReply = -1;
    static constexpr int kHangUpAtFinalDot = -2;
    SlowSmtpServer(const QString &folder, int bytesPerSecond, int lifetimeSeconds = 120, int finalReply = 0);

    QString url() const;
};

// An FTP server (python3) serving one folder, slow in its closing replies:
// the "226" after each listing or file comes after closingDelay seconds,
// and with quitUnanswered QUIT is never answered (the server keeps the
// connection until the client hangs up). Each session that logged on is a
// line "session" in the file "log" of `logFolder`, followed by the commands
// it received, one a line; "bye" when the client hung up.
class SlowFtpServer : public LocalServer
{
public:
    SlowFtpServer(const QString &root, const QString &logFolder, int closingDelay, bool quitUnanswered,
                  int lifetimeSeconds = 60);

    QString host() const;
};

// A web server (python3) that sends every file it is asked for as `size`
// bytes at bytesPerSecond: a download that trickles in. The paths asked
// for are lines of the file "requests" in `logFolder`.
class TricklingHttpServer : public LocalServer
{
public:
    TricklingHttpServer(const QString &logFolder, int size, int bytesPerSecond, int lifetimeSeconds = 60);

    // "http://127.0.0.1:port/"
    QString url() const;
};

// A web server (python3 -m http.server) serving one folder on 127.0.0.1.
class HttpServer : public LocalServer
{
public:
    explicit HttpServer(const QString &root, int lifetimeSeconds = 300);

    // "http://127.0.0.1:port/"
    QString url() const;
};

// A web server (python3) serving one folder on 127.0.0.1 that redirects
// some paths: each key of `redirects` (a path such as "/loop.pdf") is
// answered "302 Found" with its value as the Location (an address, a path of
// this server, or "file:///etc/passwd"). Other paths are served from the
// folder, "404 Not Found" when missing.
class RedirectingHttpServer : public LocalServer
{
public:
    RedirectingHttpServer(const QString &root, const QMap<QString, QString> &redirects, int lifetimeSeconds = 120);

    // "http://127.0.0.1:port/"
    QString url() const;
};

// A port on 127.0.0.1 that takes every connection and never says a word:
// a site that does not answer.
class SilentServer
{
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    bool started() const;
    quint16 port() const;

private:
    std::unique_ptr<QTcpServer> m_server;
};

} // namespace testservers
