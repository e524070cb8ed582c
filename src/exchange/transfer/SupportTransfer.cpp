#include "exchange/transfer/SupportTransfer.h"

#include "platform/PlacedFile.h"
#include "platform/UserFile.h"

#include "exchange/FtpCurl.h"
#include "platform/NetworkWait.h"

#include <QtCore/QUrl>

#include <curl/curl.h>


namespace {

CURL *anonymousSession(const QString &url)
{
    return OpenFtpSession(url);
}

QString connectError(const QString &host, CURLcode code)
{
    return QStringLiteral("Cannot connect to: ") + host + QStringLiteral("\n\n") +
           QString::fromUtf8(curl_easy_strerror(code));
}

} // namespace

SupportTransfer::SupportTransfer()
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SupportTransfer::pump);
}

SupportTransfer::~SupportTransfer()
{
    if (m_job) {
        m_bStop = true;
        end(Cancelled);
    }
}

void SupportTransfer::Stop()
{
    m_bStop = true;
    // The transfer under way ends at once, also in a wait for the server's
    // answer after the last block.
    if (m_job) {
        m_job->stop();
        m_timer.start(0);
    }
    // Also a wait for the site that is going on now (the look-up of a
    // download) ends at once.
    NetworkWait::StopWaiting();
}

void SupportTransfer::setSite(const QString &site)
{
    m_site = site.trimmed().toLower();
    if (!m_site.contains(QLatin1String("://")))
        m_site = QStringLiteral("ftp://") + m_site;
    while (m_site.endsWith(QLatin1Char('/')))
        m_site.chop(1);
}

QString SupportTransfer::host() const
{
    return QUrl(m_site).host();
}

QString SupportTransfer::url(const QString &folder, const QString &name) const
{
    return m_site + QLatin1Char('/') + folder + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

bool SupportTransfer::ListDownloads(QStringList &names, QString &error)
{
    names.clear();
    QByteArray listing;
    CURL *curl = anonymousSession(m_site + QStringLiteral("/Downloads/"));
    if (!curl) {
        error = connectError(host(), CURLE_FAILED_INIT);
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendReceivedBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &listing);
    const CURLcode result = CURLcode(NetworkWait::Perform(curl, QStringLiteral("Opening Ftp Site...")));
    NetworkWait::Close(curl);
    if (NetworkWait::WasStopped(result)) {
        error.clear(); // the user's own choice: nothing to say
        return false;
    }
    if (result != CURLE_OK) {
        error = connectError(host(), result);
        return false;
    }
    for (const QByteArray &line : listing.split('\n')) {
        const QString name = QString::fromUtf8(line).trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return true;
}

QString SupportTransfer::ProgressText(qint64 done, qint64 expected)
{
    const qint64 percent = expected > 0 ? done * 100 / expected : 100;
    return QStringLiteral("%1k of %2k (%3%)").arg(done / 1024).arg(expected / 1024).arg(percent);
}

size_t SupportTransfer::readBlock(char *buffer, size_t size, size_t count, void *user)
{
    auto *self = static_cast<SupportTransfer *>(user);
    if (self->m_bStop)
        return CURL_READFUNC_ABORT;
    const qint64 wanted = std::min<qint64>(qint64(size * count), kBlockSize);
    const qint64 got = self->m_source.read(buffer, wanted);
    if (got < 0) {
        self->m_bWriteFailed = true;
        return CURL_READFUNC_ABORT;
    }
    self->m_done += got;
    if (self->m_done >= self->m_expected)
        self->m_expected = self->m_done.load();
    emit self->progress(self->m_done, self->m_expected);
    return size_t(got);
}

size_t SupportTransfer::writeBlock(char *buffer, size_t size, size_t count, void *user)
{
    auto *self = static_cast<SupportTransfer *>(user);
    if (self->m_bStop)
        return 0;
    const qint64 n = qint64(size * count);
    if (!self->m_target || self->m_target->write(buffer, n) != n) {
        self->m_bWriteFailed = true;
        return 0;
    }
    self->m_done += n;
    if (self->m_done >= self->m_expected)
        self->m_expected = self->m_done.load();
    emit self->progress(self->m_done, self->m_expected);
    return size_t(n);
}

int SupportTransfer::connected(void *user, char *, char *, int, int)
{
    auto *self = static_cast<SupportTransfer *>(user);
    self->m_bOpened = true;
    emit self->opened();
    return 0; // CURL_PREREQFUNC_OK
}

bool SupportTransfer::start(void *easy)
{
    m_easy = easy;
    // The site is open once the server has taken the logon; a failure
    // before that is a failure to connect.
    m_bOpened = false;
    curl_easy_setopt(static_cast<CURL *>(easy), CURLOPT_PREREQFUNCTION, connected);
    curl_easy_setopt(static_cast<CURL *>(easy), CURLOPT_PREREQDATA, this);
    // The transfer runs beside the window; the window looks in on it.
    m_job = NetworkWait::Start(static_cast<CURL *>(easy));
    m_timer.start(kLookInMilliseconds);
    return true;
}

bool SupportTransfer::StartSend(const QString &localPath, const QString &remoteName)
{
    if (m_job)
        return false;
    m_bSending = true;
    m_bStop = false;
    m_bWriteFailed = false;
    m_error.clear();
    m_done = 0;
    // The file is the one the user named: only an ordinary file is sent (a
    // pipe would hold the program, a device would be read for ever), and a
    // link only when it is not another user's way to a file of this user's.
    QString refusal;
    bool checked = false;
    if (!platform::PlacedFile::OpenFile(localPath, m_source, refusal, false, -1, &checked)) {
        m_error = checked ? QStringLiteral("Cannot use ") + localPath + QStringLiteral(": ") + refusal + QLatin1Char('.')
                          : QStringLiteral("Cannot open: ") + localPath;
        return false;
    }
    m_expected = m_source.size();
    CURL *curl = anonymousSession(url(QStringLiteral("incoming"), remoteName));
    if (!curl) {
        m_source.close();
        m_error = connectError(host(), CURLE_FAILED_INIT);
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD_BUFFERSIZE, long(kBlockSize));
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readBlock);
    curl_easy_setopt(curl, CURLOPT_READDATA, this);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(m_expected));
    return start(curl);
}

bool SupportTransfer::StartDownload(const QString &remoteName, const QString &localPath)
{
    if (m_job)
        return false;
    m_bSending = false;
    m_bStop = false;
    m_bWriteFailed = false;
    m_error.clear();
    m_done = 0;
    m_expected = 0;
    // Looked up first: a name the site does not hold creates nothing, here
    // or there.
    CURL *probe = anonymousSession(url(QStringLiteral("Downloads"), remoteName));
    if (!probe) {
        m_error = connectError(host(), CURLE_FAILED_INIT);
        return false;
    }
    curl_easy_setopt(probe, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(probe, CURLOPT_WRITEFUNCTION, DiscardReceivedBytes);
    curl_easy_setopt(probe, CURLOPT_HEADERFUNCTION, DiscardReceivedBytes);
    const CURLcode found = CURLcode(NetworkWait::Perform(probe, QStringLiteral("Opening Ftp Site...")));
    curl_off_t size = -1;
    curl_easy_getinfo(probe, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    NetworkWait::Close(probe);
    if (NetworkWait::WasStopped(found)) {
        emit finished(Cancelled);
        return false;
    }
    if (found == CURLE_REMOTE_FILE_NOT_FOUND || found == CURLE_FTP_COULDNT_RETR_FILE) {
        m_error = QStringLiteral("The site has no file named ") + remoteName + QStringLiteral(".");
        emit finished(NotFound);
        return false;
    }
    if (found != CURLE_OK) {
        m_error = connectError(host(), found);
        emit finished(ConnectFailed);
        return false;
    }
    m_expected = size > 0 ? qint64(size) : 0;
    m_target = std::make_unique<platform::UserFile>(localPath);
    if (!m_target->open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("Cannot create: ") + localPath + QStringLiteral("\n\n") + m_target->errorString();
        m_target.reset();
        return false;
    }
    CURL *curl = anonymousSession(url(QStringLiteral("Downloads"), remoteName));
    if (!curl) {
        m_target->cancelWriting();
        m_target.reset();
        m_error = connectError(host(), CURLE_FAILED_INIT);
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, long(kBlockSize));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBlock);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    return start(curl);
}

void SupportTransfer::pump()
{
    if (!m_job)
        return;
    if (m_bStop) {
        m_job->stop();
        end(Cancelled);
        return;
    }
    if (!m_job->done())
        return;
    const CURLcode result = CURLcode(m_job->result());
    if (m_bWriteFailed) {
        m_error = QStringLiteral("Cannot write to file, try again.");
        // The reason of a download's file that could not be written (a full disk).
        if (m_target && m_target->failed())
            m_error += QStringLiteral("\n\n") + m_target->fileName() + QStringLiteral(": ") + m_target->errorString();
        end(Failed);
    } else if (result == CURLE_OK) {
        end(Done);
    } else if (!m_bOpened) {
        // Only a failure before the site took the logon is one to connect:
        // a data connection refused later is the transfer's own failure.
        m_error = connectError(host(), result);
        end(ConnectFailed);
    } else {
        m_error = QString::fromUtf8(curl_easy_strerror(result));
        end(Failed);
    }
}

void SupportTransfer::end(int outcome)
{
    m_timer.stop();
    if (m_job) {
        m_job->stop();
        m_job.reset();
        NetworkWait::Close(static_cast<CURL *>(m_easy));
        m_easy = nullptr;
    }
    m_source.close();
    if (m_target) {
        if (outcome == Done) {
            if (!m_target->commit()) {
                m_error = QStringLiteral("Cannot write to file, try again.\n\n") + m_target->fileName()
                    + QStringLiteral(": ") + m_target->errorString();
                outcome = Failed;
            }
        } else {
            m_target->cancelWriting();
        }
        m_target.reset();
    }
    if (outcome == Done && m_expected < m_done)
        m_expected = m_done.load();
    emit finished(outcome);
}
