#pragma once

#include "platform/Prompt.h"

#include <QtCore/QString>

#include <exception>

class FileException;

// The two generic error boxes beside the database error box: one for a
// failure of the system by its error number, one for a caught file exception.

// A failure of the system or the engine outside a database statement: its
// number and the system's (or the engine's) text for it.
struct SystemError
{
    int code = 0;
    QString text;
};

// The system's message text for an error number, ending with a line break
// (so an extra text starts on a line of its own).
QString SystemErrorText(int error);

// Shows "Error %d occurred:\n\n%s%s" with the system's text for the number and
// the caller's extra text, in a box of the given type; returns the button.
int ShowError(int error, const QString &extra, unsigned type = platform::MB_OK);
// The same box for an error whose text is already known (one of the engine's
// numbers has no text of the system's).
int ShowError(const SystemError &error, const QString &extra, unsigned type = platform::MB_OK);

// Shows "Error %d occurred while %s:\n%s" with the exception's cause code, the
// action and the exception's message (OK only); returns 0.
int ReportException(const FileException &exception, const QString &action);

// The exception's message, at most 255 characters.
QString GetExceptionMessage(const FileException &exception);
QString GetExceptionMessage(const std::exception &exception);
