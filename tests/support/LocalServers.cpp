#include "support/LocalServers.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
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

FtpServer::FtpServer(const QString &root, int lifetimeSeconds) : m_config(std::make_unique<QTemporaryDir>())
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
                                        "write_enable=NO\n"
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
                             .arg(QDir(root).absolutePath(), empty, m_config->filePath(QStringLiteral("log")));
    file.write(text.toUtf8());
    file.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("timeout"), {QString::number(lifetimeSeconds), program, conf});
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("vsftpd did not start");
        return;
    }
    m_started = WaitForPort(m_port, 5000);
    if (!m_started)
        m_error = QStringLiteral("vsftpd is not listening: ") + QString::fromUtf8(m_process.readAll());
}

FtpServer::~FtpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

QString FtpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

} // namespace testservers
