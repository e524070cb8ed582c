#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QIODevice>
#include <QtCore/QString>

namespace platform {

// Every file the program or the tool writes for the user (an export, a PDF,
// an RTF or XML document, merge data, a backup, a downloaded file) is written
// through this one writer, by one rule for what it finds at the name:
//  - nothing, or an ordinary file (whoever's): a work file of its own is
//    written beside it and renamed over the name when it is finished, so the
//    name holds the old file or the whole new one, never half of it; the
//    user's own file keeps its permissions and group;
//  - a symbolic link: written through only when the link, every link it
//    leads through and the file it names at last are this user's own and
//    that file is an ordinary one (a document kept elsewhere and linked);
//    any other link (one another user put in a shared folder, or the user's
//    own that leads through one of another user's) is replaced by the new
//    file, and the file it named is left untouched;
//  - a folder, a pipe, a device or a socket (or the user's own link to one):
//    refused with words that name it; a pipe never holds the writer.
// Folders on the way to the name are followed as the user named them.
class UserFile : public QIODevice
{
public:
    explicit UserFile(const QString &name = QString());
    ~UserFile() override; // an unfinished file is dropped: what was there stays
    UserFile(const UserFile &) = delete;
    UserFile &operator=(const UserFile &) = delete;

    void setFileName(const QString &name);
    QString fileName() const { return m_name; }

    // Starts the file (WriteOnly; Text and Truncate are taken as given).
    // False, with errorString() saying why, when what is at the name may not
    // be replaced or no work file can be made.
    bool open(OpenMode mode) override;
    // Puts the finished file in place. False, with errorString(), when a
    // write failed or it cannot be put in place: the name then holds what
    // it held before.
    bool commit();
    // Drops the work file; the name keeps what it held.
    void cancelWriting();
    // Finishes the file (as commit).
    void close() override;
    bool flush();
    // Whether a write (or the finishing) failed since open.
    bool failed() const { return m_failed; }
    // Whether open refused what is at the name (trying again will not help).
    bool refused() const { return m_refused; }

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 pos) override;

    // The name whose file the finished file replaces: path itself, or the
    // file the user's own link names at last through links of his own only
    // (real path, without links). False with the refusal ("It is a pipe
    // (FIFO), not an ordinary file; ...") when nothing may be written there.
    static bool Destination(const QString &path, QString &destination, QString &refusal);
    // Why a write failed, in the user's words for a full disk ("Not enough
    // space on disk.", also for a used-up quota) and for the file-size limit
    // of his session; the system's text otherwise.
    static QString ReasonText(int code);
    // The whole file in one go; false with the reason.
    static bool Write(const QString &path, const QByteArray &bytes, QString &error);
    // A finished file that another program made (one that writes only by
    // name, into a folder of this process's own) copied to path.
    static bool CopyFrom(const QString &source, const QString &path, QString &error);
    // A write past the file-size limit of the user's session ends the
    // process with a signal (and leaves the work file behind) unless the
    // signal is ignored: from the first call on, such a write fails (EFBIG)
    // and is said as every other failed write is. Every file the program
    // writes (its own database too) asks for it before the first write.
    static void FailWritesPastTheSizeLimit();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool flushBuffer();
    void fail(const QString &reason);
    void release();
    // A file written over in place gets its old bytes back.
    void putBackOld();

    QString m_name;
    QString m_destination;
    QByteArray m_work;
    QByteArray m_buffer;
    QByteArray m_old;  // the bytes of a file written over in place
    qint64 m_end = 0;  // how far the new bytes reach in it
    int m_fd = -1;
    bool m_inPlace = false;
    bool m_failed = false;
    bool m_refused = false;
};

} // namespace platform
