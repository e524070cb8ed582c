#pragma once

#include <QtCore/QString>

#include <stdexcept>

// A failed file operation: the cause code (the system's error number), the
// file it concerned and the system's message for it. Thrown where a file
// operation cannot go on, caught and shown by ReportException.
class FileException : public std::runtime_error
{
public:
    FileException(int cause, const QString &fileName, const QString &message)
        : std::runtime_error(message.toStdString()), m_cause(cause), m_fileName(fileName), m_message(message)
    {
    }

    // The error of the last failed system call (errno) on the file.
    static FileException fromLastError(const QString &fileName);

    int cause() const { return m_cause; }
    QString fileName() const { return m_fileName; }
    QString message() const { return m_message; }

private:
    int m_cause;
    QString m_fileName;
    QString m_message;
};
