#pragma once

#include <QtCore/QString>

#include <exception>
#include <string>

namespace platform {

// A failure of the database engine, carrying the engine's error number (the
// numbers the program tests: 3022 duplicate key, 3043 disk or network, 3075
// syntax, 3078 missing table, 3197 conflict, 3260 locked, 3280, 3283, 3284 ...)
// and the text shown to the user.
class DbException : public std::exception
{
public:
    DbException(int number, const QString &description)
        : m_number(number), m_description(description), m_what(description.toStdString())
    {
    }

    int number() const { return m_number; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

} // namespace platform
