#include "app/base/ErrorBoxes.h"

#include "app/base/FileException.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr int kMaxExceptionMessage = 255;
}

FileException FileException::fromLastError(const QString &fileName)
{
    const int code = errno;
    return FileException(code, fileName, QString::fromLocal8Bit(std::strerror(code)));
}

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('\n');
}

int ShowError(int error, const QString &extra, unsigned type)
{
    return ShowError(SystemError{error, QString::fromLocal8Bit(std::strerror(error))}, extra, type);
}

int ShowError(const SystemError &error, const QString &extra, unsigned type)
{
    const QString text =
        QStringLiteral("Error %1 occurred:\n\n").arg(error.code) + error.text + QLatin1Char('\n') + extra;
    return platform::Prompt::messageBox(text, QString(), type);
}

int ReportException(const FileException &exception, const QString &action)
{
    const QString text = QStringLiteral("Error %1 occurred while ").arg(exception.cause()) + action
        + QStringLiteral(":\n") + GetExceptionMessage(exception);
    platform::Prompt::messageBox(text, QString(), platform::MB_OK);
    return 0;
}

QString GetExceptionMessage(const FileException &exception)
{
    return exception.message().left(kMaxExceptionMessage);
}

QString GetExceptionMessage(const std::exception &exception)
{
    return QString::fromLocal8Bit(exception.what()).left(kMaxExceptionMessage);
}
