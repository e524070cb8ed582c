#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

// Text helpers of the export files.

// The text in Windows-1252, one byte a character; a character the code page
// lacks becomes "?". Line ends are left as they are.
QByteArray ToWindows1252(const QString &text);
// The Windows-1252 byte of a character, or -1 when the code page lacks it.
int Windows1252Byte(QChar c);
// A value for an RTF document: "\", "{" and "}" escaped, characters above 127
// as \'hh (or \uN? beyond the code page), CR LF (or a lone line break) as
// the paragraph mark "\par ".
QString RtfValue(const QString &text);
