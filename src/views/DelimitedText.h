#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

// Reading tab- and comma-delimited text, as the program's own exports write
// it: a field that begins with a double quote runs to its closing quote, a
// doubled quote inside it stands for one quote, and delimiters and line
// breaks inside it belong to the field.

// The records of a text, in order, up to the first empty line. With the comma
// delimiter, stray quotes inside an unquoted field are removed; with the tab
// delimiter they are kept. A missing final delimiter is supplied (a record
// ends at its line break).
QList<QStringList> ReadDelimitedRecords(const QString &text, QChar delimiter);

// The delimiter of a file by its first line: tab when it holds one, else
// comma when it holds one, else a null character.
QChar DetectDelimiter(const QString &firstLine);

// A text file's bytes as text: UTF-8 when they are valid UTF-8 (a leading
// byte-order mark dropped), else Windows-1252, the code page price lists and
// other files from suppliers are mostly written in.
QString DecodeTextFileBytes(const QByteArray &bytes);
