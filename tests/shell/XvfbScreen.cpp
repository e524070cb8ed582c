#include "XvfbScreen.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QThread>

XvfbScreen::~XvfbScreen()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000)) {
        m_server.kill();
        m_server.waitForFinished(3000);
    }
}

QString XvfbScreen::display()
{
    return qEnvironmentVariable("TAVREL_XVFB_DISPLAY");
}

bool XvfbScreen::answers(const QString &display)
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")});
    if (!probe.waitForFinished(5000)) {
        probe.kill();
        probe.waitForFinished(1000);
        return false;
    }
    return probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

bool XvfbScreen::open(QString &error)
{
    m_display = display();
    if (m_display.isEmpty()) {
        error = QStringLiteral("TAVREL_XVFB_DISPLAY is not set");
        return false;
    }
    if (answers(m_display))
        return true;
    m_server.start(QStringLiteral("Xvfb"), {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                                            QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp")});
    if (!m_server.waitForStarted(5000)) {
        error = QStringLiteral("Xvfb did not start");
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        if (m_server.state() != QProcess::Running) {
            error = QStringLiteral("the display %1 is taken").arg(m_display);
            return false;
        }
        if (answers(m_display))
            return true;
        QThread::msleep(200);
    }
    error = QStringLiteral("the display %1 does not answer").arg(m_display);
    return false;
}

bool XvfbScreen::openOwn(const QString &size, QString &error)
{
    // The server writes the display it took to its output once it answers.
    m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                            QStringLiteral("0"), size + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp")});
    if (!m_server.waitForStarted(5000)) {
        error = QStringLiteral("Xvfb did not start");
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    QByteArray number;
    while (waited.elapsed() < 20000 && !number.contains('\n')) {
        if (m_server.state() != QProcess::Running) {
            error = QStringLiteral("Xvfb ended: ") + QString::fromUtf8(m_server.readAllStandardError());
            return false;
        }
        m_server.waitForReadyRead(200);
        number += m_server.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        error = QStringLiteral("Xvfb named no display");
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    if (!answers(m_display)) {
        error = QStringLiteral("the display %1 does not answer").arg(m_display);
        return false;
    }
    return true;
}
