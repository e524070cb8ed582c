#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <ostream>

// Readable failure messages for the values these tests compare.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << '{' << l.join(QStringLiteral("|")).toStdString() << '}';
}

inline void PrintTo(const Money &m, std::ostream *os)
{
    *os << m.toPlainText().toStdString();
}
