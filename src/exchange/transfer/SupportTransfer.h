#pragma once

#include "platform/UserFile.h"

#include <QtCore/QFile>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QTimer>

#include "platform/NetworkWait.h"

#include <atomic>
#include <memory>

// One file moved between this workstation and the support site's FTP
// server, anonymously and in active mode: a file sent into the site's
// folder "incoming", or one fetched from its folder "Downloads". The
// transfer runs in 4096-byte blocks beside the window (NetworkWait), which
// looks in on it by a timer, so the window stays live, also while the
// server is slow to confirm the file, and Stop takes effect at once. A fetched file appears
// only when it is complete; a stopped or failed one leaves nothing behind.
class SupportTransfer : public QObject
{
    Q_OBJECT

public:
    enum Outcome { Done, Cancelled, ConnectFailed, NotFound, Failed };
    static constexpr int kBlockSize = 4096;

    SupportTransfer();
    ~SupportTransfer() override;

    // "ftp://host[:port]" (or a bare host name) of the site.
    void setSite(const QString &site);
    QString site() const { return m_site; }
    QString host() const;

    // The names in the site's "Downloads" folder, fresh from the server.
    // Waits for the server behind the progress window; stopped there, it
    // fails with an empty error.
    bool ListDownloads(QStringList &names, QString &error);

    // Starts sending the local file as `remoteName` into "incoming".
    bool StartSend(const QString &localPath, const QString &remoteName);
    // Starts fetching `remoteName` from "Downloads" into the local path.
    bool StartDownload(const QString &remoteName, const QString &localPath);
    void Stop();
    bool IsRunning() const { return m_job != nullptr; }

    qint64 bytesDone() const { return m_done; }
    qint64 bytesExpected() const { return m_expected; }
    QString errorText() const { return m_error; }

    // "%dk of %dk (%d%%)": an empty file is complete at once (100 %).
    static QString ProgressText(qint64 done, qint64 expected);

signals:
    // The server has taken the logon and the transfer is about to begin.
    void opened();
    // After each block.
    void progress(qint64 done, qint64 expected);
    void finished(int outcome);

private:
    static size_t readBlock(char *buffer, size_t size, size_t count, void *self);
    static size_t writeBlock(char *buffer, size_t size, size_t count, void *self);
    static int connected(void *self, char *, char *, int, int);
    bool start(void *easy);
    void pump();
    void end(int outcome);
    QString url(const QString &folder, const QString &name) const;

    QString m_site;
    static constexpr int kLookInMilliseconds = 50;
    QTimer m_timer;
    std::unique_ptr<NetworkWait::Transfer> m_job;
    void *m_easy = nullptr; // CURL
    QFile m_source;
    std::unique_ptr<platform::UserFile> m_target;
    // Written by the transfer's worker, read by the window.
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_expected{0};
    std::atomic<bool> m_bStop{false};
    bool m_bSending = false;
    std::atomic<bool> m_bWriteFailed{false};
    std::atomic<bool> m_bOpened{false}; // the site took the logon
    QString m_error;
};
