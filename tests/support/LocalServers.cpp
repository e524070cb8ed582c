#include "support/LocalServers.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>
#include <QtCore/QThread>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>

namespace testservers {

quint16 FreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

bool WaitForPort(quint16 port, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(200)) {
            socket.disconnectFromHost();
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

namespace {

// Starts the server program under `timeout` (so it ends by itself when a
// test dies) and waits until it listens on the port; the reason when not.
bool StartBounded(QProcess &process, const QString &program, const QStringList &args, int lifetimeSeconds,
                  quint16 port, int waitMs, QString &error)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("timeout"), QStringList{QString::number(lifetimeSeconds), program} + args);
    if (!process.waitForStarted(5000)) {
        error = QFileInfo(program).fileName() + QStringLiteral(" did not start");
        return false;
    }
    if (WaitForPort(port, waitMs))
        return true;
    error = QFileInfo(program).fileName() + QStringLiteral(" is not listening: ") + QString::fromUtf8(process.readAll());
    return false;
}

void StopBounded(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

QString DebianPython()
{
    // Debian's own interpreter carries the packaged modules.
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                 : QStandardPaths::findExecutable(QStringLiteral("python3"));
}

} // namespace

void LocalServer::stop()
{
    StopBounded(m_process);
}

FtpServer::FtpServer(const QString &root, int lifetimeSeconds, bool uploads)
    : m_config(std::make_unique<QTemporaryDir>())
{
    QString program = QStandardPaths::findExecutable(QStringLiteral("vsftpd"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("vsftpd"), {QStringLiteral("/usr/sbin")});
    if (program.isEmpty()) {
        m_error = QStringLiteral("vsftpd is not installed");
        return;
    }
    m_port = FreePort();
    const QString empty = m_config->filePath(QStringLiteral("empty"));
    QDir().mkpath(empty);
    const QString conf = m_config->filePath(QStringLiteral("vsftpd.conf"));
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write ") + conf;
        return;
    }
    // Anonymous only: no system user is made or used, and the server runs as
    // the test's own user.
    const QString text = QStringLiteral("listen=YES\n"
                                        "listen_ipv6=NO\n"
                                        "listen_address=127.0.0.1\n"
                                        "listen_port=%1\n"
                                        "background=NO\n"
                                        "run_as_launching_user=YES\n"
                                        "anonymous_enable=YES\n"
                                        "no_anon_password=YES\n"
                                        "anon_root=%2\n"
                                        "local_enable=NO\n"
                                        "write_enable=%5\n"
                                        "anon_upload_enable=%5\n"
                                        "anon_umask=022\n"
                                        "port_enable=YES\n"
                                        "connect_from_port_20=NO\n"
                                        "pasv_enable=YES\n"
                                        "pasv_address=127.0.0.1\n"
                                        "secure_chroot_dir=%3\n"
                                        "seccomp_sandbox=NO\n"
                                        "isolate=NO\n"
                                        "isolate_network=NO\n"
                                        "xferlog_enable=NO\n"
                                        "vsftpd_log_file=%4\n"
                                        "dual_log_enable=NO\n"
                                        "syslog_enable=NO\n"
                                        "use_localtime=NO\n"
                                        "mdtm_write=NO\n")
                             .arg(m_port)
                             .arg(QDir(root).absolutePath(), empty, m_config->filePath(QStringLiteral("log")),
                                  uploads ? QStringLiteral("YES") : QStringLiteral("NO"));
    file.write(text.toUtf8());
    file.close();
    m_started = StartBounded(m_process, program, {conf}, lifetimeSeconds, m_port, 5000, m_error);
}

FtpServer::~FtpServer()
{
    stop(); // before its folder goes
}

QString FtpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

PopServer::PopServer(const QString &password, int lifetimeSeconds) : m_dir(std::make_unique<QTemporaryDir>())
{
    QString program = QStandardPaths::findExecutable(QStringLiteral("dovecot"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("dovecot"), {QStringLiteral("/usr/sbin")});
    if (program.isEmpty()) {
        m_error = QStringLiteral("dovecot is not installed");
        return;
    }
    // The server's own users read the folder; the mail belongs to "nobody".
    const QString root = m_dir->path();
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    m_maildir = root + QStringLiteral("/mail/shop");
    for (const char *sub : {"new", "cur", "tmp"})
        QDir().mkpath(m_maildir + QLatin1Char('/') + QLatin1String(sub));
    QDir().mkpath(root + QStringLiteral("/base"));
    QDir().mkpath(root + QStringLiteral("/state"));
    m_port = FreePort();
    auto write = [](const QString &path, const QString &text) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
    };
    write(root + QStringLiteral("/passwd"),
          QStringLiteral("shop:{PLAIN}%1:65534:65534::%2\n").arg(password, m_maildir));
    const QString conf = root + QStringLiteral("/dovecot.conf");
    write(conf, QStringLiteral("protocols = pop3\n"
                               "listen = 127.0.0.1\n"
                               "base_dir = %1/base\n"
                               "state_dir = %1/state\n"
                               "log_path = %1/log\n"
                               "ssl = no\n"
                               "disable_plaintext_auth = no\n"
                               "auth_mechanisms = plain\n"
                               "default_internal_user = dovecot\n"
                               "default_internal_group = dovecot\n"
                               "default_login_user = dovenull\n"
                               "first_valid_uid = 1\n"
                               "mail_location = maildir:%1/mail/%u\n"
                               "passdb {\n  driver = passwd-file\n  args = %1/passwd\n}\n"
                               "userdb {\n  driver = passwd-file\n  args = %1/passwd\n}\n"
                               "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n"
                               "    port = %2\n  }\n  inet_listener pop3s {\n    port = 0\n  }\n  chroot =\n}\n"
                               "service anvil {\n  chroot =\n}\n")
                    .arg(root)
                    .arg(m_port));
    QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("65534:65534"),
                                                root + QStringLiteral("/mail")});
    m_started = StartBounded(m_process, program, {QStringLiteral("-F"), QStringLiteral("-c"), conf}, lifetimeSeconds,
                             m_port, 8000, m_error);
    if (!m_started) {
        QFile log(root + QStringLiteral("/log"));
        log.open(QIODevice::ReadOnly);
        m_error += QString::fromUtf8(log.readAll());
    }
}

PopServer::~PopServer()
{
    stop(); // before its folder goes
}

bool PopServer::addMessage(const QString &name, const QByteArray &bytes)
{
    const QString path = m_maildir + QStringLiteral("/new/") + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return QProcess::execute(QStringLiteral("chown"), {QStringLiteral("65534:65534"), path}) == 0;
}

int PopServer::messageCount() const
{
    return int(QDir(m_maildir + QStringLiteral("/new")).entryList(QDir::Files).size() +
               QDir(m_maildir + QStringLiteral("/cur")).entryList(QDir::Files).size());
}

SmtpServer::SmtpServer(const QString &folder, bool refuse, int lifetimeSeconds)
{
    const QString python = DebianPython();
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 is not installed");
        return;
    }
    QDir().mkpath(folder);
    m_port = FreePort();
    static const char script[] = R"(
import os, sys, time
from aiosmtpd.controller import Controller
port, folder, refuse = int(sys.argv[1]), sys.argv[2], sys.argv[3] == '1'
class Handler:
    count = 0
    async def handle_RCPT(self, server, session, envelope, address, options):
        if refuse:
            return '550 5.1.1 Mailbox unavailable: ' + address
        envelope.rcpt_tos.append(address)
        return '250 OK'
    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        base = os.path.join(folder, str(Handler.count))
        with open(base + '.tmp', 'wb') as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + '.env', 'w') as f:
            f.write(envelope.mail_from + chr(10) + chr(10).join(envelope.rcpt_tos) + chr(10))
        os.replace(base + '.tmp', base + '.eml')
        return '250 Message accepted'
controller = Controller(Handler(), hostname='127.0.0.1', port=port)
controller.start()
while True:
    time.sleep(1)
)";
    m_started = StartBounded(m_process, python,
                             {QStringLiteral("-c"), QString::fromLatin1(script), QString::number(m_port), folder,
                              refuse ? QStringLiteral("1") : QStringLiteral("0")},
                             lifetimeSeconds, m_port, 10000, m_error);
}

QString SmtpServer::url() const
{
    return QStringLiteral("smtp://127.0.0.1:%1").arg(m_port);
}

SlowSmtpServer::SlowSmtpServer(const QString &folder, int bytesPerSecond, int lifetimeSeconds, int finalReply)
{
    const QString python = DebianPython();
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 is not installed");
        return;
    }
    QDir().mkpath(folder);
    m_port = FreePort();
    static const char script[] = R"(
import os, socket, sys, time
port, folder, rate, final = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
chunk = 16384
srv = socket.socket()
srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
srv.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 65536)
srv.bind(('127.0.0.1', port))
srv.listen(4)
count = 0
def note(name, text, mode='w'):
    with open(os.path.join(folder, name), mode) as f:
        f.write(text)
while True:
    c, _ = srv.accept()
    c.sendall(b'220 slow.test ESMTP\r\n')
    buf, data, greeted = b'', None, False
    while True:
        try:
            part = c.recv(chunk)
        except OSError:
            part = b''
        if not part:
            break
        if data is not None:
            data += part
            note('got.tmp', str(len(data) - 2))
            os.replace(os.path.join(folder, 'got.tmp'), os.path.join(folder, 'got'))
            time.sleep(len(part) / rate)
            end = data.find(b'\r\n.\r\n')
            if end < 0:
                continue
            count += 1
            with open(os.path.join(folder, '%d.eml' % count), 'wb') as f:
                f.write(data[2:end + 2])
            buf, data = data[end + 5:], None
            if final == -2:
                break
            if final == -1:
                # Taken, and never a word about it: the client's wait is
                # all there is until it hangs up.
                while True:
                    try:
                        if not c.recv(chunk):
                            break
                    except OSError:
                        break
                break
            time.sleep(final)
            try:
                c.sendall(b'250 Message accepted\r\n')
            except OSError:
                break
        else:
            buf += part
        while data is None and b'\r\n' in buf:
            line, buf = buf.split(b'\r\n', 1)
            verb = line[:4].upper()
            if verb == b'EHLO':
                greeted = True
                c.sendall(b'250-slow.test\r\n250 SIZE 100000000\r\n')
            elif verb == b'DATA':
                c.sendall(b'354 End data with <CR><LF>.<CR><LF>\r\n')
                data, buf = b'\r\n' + buf, b''
            elif verb == b'QUIT':
                c.sendall(b'221 Bye\r\n')
            else:
                c.sendall(b'250 OK\r\n')
    if data is not None:
        count += 1
        note('%d.cut' % count, str(len(data) - 2))
    c.close()
    if greeted:
        note('closed', 'session\n', 'a')
)";
    m_started = StartBounded(m_process, python,
                             {QStringLiteral("-c"), QString::fromLatin1(script), QString::number(m_port), folder,
                              QString::number(bytesPerSecond), QString::number(finalReply)},
                             lifetimeSeconds, m_port, 10000, m_error);
}

QString SlowSmtpServer::url() const
{
    return QStringLiteral("smtp://127.0.0.1:%1").arg(m_port);
}

SlowFtpServer::SlowFtpServer(const QString &root, const QString &logFolder, int closingDelay, bool quitUnanswered,
                             int lifetimeSeconds)
{
    const QString python = DebianPython();
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 is not installed");
        return;
    }
    QDir().mkpath(logFolder);
    m_port = FreePort();
    static const char script[] = R"(
import os, socket, sys, threading, time
port, root, delay, never, logdir = int(sys.argv[1]), sys.argv[2], float(sys.argv[3]), sys.argv[4] == '1', sys.argv[5]
lock = threading.Lock()
def note(text):
    with lock:
        with open(os.path.join(logdir, 'log'), 'a') as f:
            f.write(text + '\n')
def local(cwd, name):
    path = os.path.normpath(os.path.join(cwd, name)) if not name.startswith('/') else os.path.normpath(name)
    return path, os.path.join(root, path.lstrip('/'))
def session(c):
    f = c.makefile('rb')
    def say(text):
        c.sendall(text.encode('latin-1') + b'\r\n')
    say('220 slow.test FTP')
    cwd, peer, passive = '/', None, None
    def data():
        if passive is not None:
            d, _ = passive.accept()
            return d
        d = socket.create_connection(peer)
        return d
    try:
        for raw in f:
            line = raw.decode('latin-1').rstrip('\r\n')
            verb, _, arg = line.partition(' ')
            verb = verb.upper()
            if verb == 'USER':
                note('session')
            note(line)
            if verb == 'USER':
                say('331 Password please')
            elif verb == 'PASS':
                say('230 Logged on')
            elif verb == 'PWD':
                say('257 "%s"' % cwd)
            elif verb == 'CWD':
                path, real = local(cwd, arg)
                if os.path.isdir(real):
                    cwd = path
                    say('250 OK')
                else:
                    say('550 No such folder')
            elif verb in ('TYPE', 'MODE', 'STRU'):
                say('200 OK')
            elif verb == 'EPRT':
                parts = arg.split(arg[0])
                peer, passive = (parts[2], int(parts[3])), None
                say('200 OK')
            elif verb == 'PORT':
                n = [int(x) for x in arg.split(',')]
                peer, passive = ('.'.join(map(str, n[:4])), n[4] * 256 + n[5]), None
                say('200 OK')
            elif verb == 'EPSV':
                passive = socket.socket()
                passive.bind(('127.0.0.1', 0))
                passive.listen(1)
                say('229 Entering extended passive mode (|||%d|)' % passive.getsockname()[1])
            elif verb == 'SIZE':
                _, real = local(cwd, arg)
                if os.path.isfile(real):
                    say('213 %d' % os.path.getsize(real))
                else:
                    say('550 No such file')
            elif verb == 'MDTM':
                _, real = local(cwd, arg)
                if os.path.isfile(real):
                    say('213 ' + time.strftime('%Y%m%d%H%M%S', time.gmtime(os.path.getmtime(real))))
                else:
                    say('550 No such file')
            elif verb == 'REST':
                say('350 OK')
            elif verb in ('NLST', 'LIST', 'RETR'):
                _, real = local(cwd, arg if verb == 'RETR' else '.')
                if verb == 'RETR' and not os.path.isfile(real):
                    say('550 No such file')
                    continue
                d = data()
                say('150 Here it comes')
                if verb == 'RETR':
                    with open(real, 'rb') as r:
                        d.sendall(r.read())
                else:
                    d.sendall(''.join(n + '\r\n' for n in sorted(os.listdir(real))).encode('latin-1'))
                d.close()
                time.sleep(delay)
                say('226 Done')
            elif verb == 'QUIT':
                if never:
                    continue
                say('221 Bye')
                break
            else:
                say('502 Not here')
    except OSError:
        pass
    note('bye')
    c.close()
srv = socket.socket()
srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
srv.bind(('127.0.0.1', port))
srv.listen(8)
while True:
    c, _ = srv.accept()
    threading.Thread(target=session, args=(c,), daemon=True).start()
)";
    m_started = StartBounded(m_process, python,
                             {QStringLiteral("-c"), QString::fromLatin1(script), QString::number(m_port), root,
                              QString::number(closingDelay), quitUnanswered ? QStringLiteral("1") : QStringLiteral("0"),
                              logFolder},
                             lifetimeSeconds, m_port, 10000, m_error);
}

QString SlowFtpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

TricklingHttpServer::TricklingHttpServer(const QString &logFolder, int size, int bytesPerSecond, int lifetimeSeconds)
{
    const QString python = DebianPython();
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 is not installed");
        return;
    }
    QDir().mkpath(logFolder);
    m_port = FreePort();
    static const char script[] = R"(
import os, socket, sys, threading, time
port, logdir, size, rate = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
def serve(c):
    try:
        head = b''
        while b'\r\n\r\n' not in head:
            part = c.recv(4096)
            if not part:
                return
            head += part
        path = head.split(b' ')[1].decode('latin-1')
        with open(os.path.join(logdir, 'requests'), 'a') as f:
            f.write(path + '\n')
        c.sendall(b'HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: %d\r\n\r\n' % size)
        sent, step = 0, max(1, rate // 10)
        while sent < size:
            n = min(step, size - sent)
            c.sendall(b'x' * n)
            sent += n
            time.sleep(0.1)
    except OSError:
        pass
    finally:
        c.close()
srv = socket.socket()
srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
srv.bind(('127.0.0.1', port))
srv.listen(8)
while True:
    c, _ = srv.accept()
    threading.Thread(target=serve, args=(c,), daemon=True).start()
)";
    m_started = StartBounded(m_process, python,
                             {QStringLiteral("-c"), QString::fromLatin1(script), QString::number(m_port), logFolder,
                              QString::number(size), QString::number(bytesPerSecond)},
                             lifetimeSeconds, m_port, 10000, m_error);
}

QString TricklingHttpServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

HttpServer::HttpServer(const QString &root, int lifetimeSeconds)
{
    const QString python = DebianPython();
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 is not installed");
        return;
    }
    m_port = FreePort();
    m_started = StartBounded(m_process, python,
                             {QStringLiteral("-m"), QStringLiteral("http.server"), QString::number(m_port),
                              QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--directory"), root},
                             lifetimeSeconds, m_port, 10000, m_error);
}

QString HttpServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

RedirectingHttpServer::RedirectingHttpServer(const QString &root, const QMap<QString, QString> &redirects,
                                             int lifetimeSeconds)
{
    const QString python = DebianPython();
    if (python.isEmpty()) {
        m_error = QStringLiteral("python3 is not installed");
        return;
    }
    m_port = FreePort();
    static const char script[] = R"(
import functools, http.server, sys
port, root, pairs = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
moves = dict(zip(pairs[0::2], pairs[1::2]))
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path in moves:
            self.send_response(302)
            self.send_header('Location', moves[self.path])
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        return super().do_GET()
    def log_message(self, *args):
        pass
http.server.ThreadingHTTPServer(('127.0.0.1', port), functools.partial(Handler, directory=root)).serve_forever()
)";
    QStringList args{QStringLiteral("-c"), QString::fromLatin1(script), QString::number(m_port), root};
    for (auto it = redirects.cbegin(); it != redirects.cend(); ++it)
        args << it.key() << it.value();
    m_started = StartBounded(m_process, python, args, lifetimeSeconds, m_port, 10000, m_error);
}

QString RedirectingHttpServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

SilentServer::SilentServer() : m_server(std::make_unique<QTcpServer>())
{
    m_server->listen(QHostAddress::LocalHost, 0);
}

SilentServer::~SilentServer() = default;

bool SilentServer::started() const
{
    return m_server->isListening();
}

quint16 SilentServer::port() const
{
    return m_server->serverPort();
}

} // namespace testservers
