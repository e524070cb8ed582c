#include "controls/CXRecordsetSource.h"

#include "data/DaoError.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QRegularExpression>

CXRecordsetSource::CXRecordsetSource(platform::Recordset &recordset, const QString &statement)
    : m_rs(&recordset), m_statement(statement)
{
}

CXRecordsetSource::CXRecordsetSource(std::unique_ptr<platform::Recordset> owned, const QString &statement)
    : m_owned(std::move(owned)), m_rs(m_owned.get()), m_statement(statement)
{
}

CXRecordsetSource::~CXRecordsetSource() = default;

std::unique_ptr<CXRecordsetSource> CXRecordsetSource::openSnapshot(platform::Database &db, const QString &sql,
                                                                   int firstRows)
{
    auto rs = std::make_unique<platform::Recordset>(db);
    try {
        if (firstRows >= 0)
            rs->openFirstRows(sql, firstRows);
        else
            rs->open(platform::Recordset::Type::Snapshot, sql);
    } catch (const platform::DbException &e) {
        reportOpenFailure(e, sql);
        return nullptr;
    }
    auto source = std::unique_ptr<CXRecordsetSource>(new CXRecordsetSource(std::move(rs), sql));
    source->m_holds = true;
    return source;
}

std::unique_ptr<CXRecordsetSource> CXRecordsetSource::adopt(std::unique_ptr<platform::Recordset> recordset,
                                                           const QString &statement)
{
    auto source = std::unique_ptr<CXRecordsetSource>(new CXRecordsetSource(std::move(recordset), statement));
    source->m_holds = true;
    return source;
}

void CXRecordsetSource::reportOpenFailure(const platform::DbException &e, const QString &source)
{
    ShowDaoError(e, QStringLiteral("Could not run query:\n\n") + source);
    platform::Prompt::messageBox(QStringLiteral("Your database or network may be busy.\nWait a moment, and then try "
                                                "the operation again.\n\nIf this error persists, re-start Tavrel."));
}

bool CXRecordsetSource::isOpen() const
{
    return m_rs->isOpen();
}

int CXRecordsetSource::fieldCount() const
{
    return m_rs->isOpen() ? m_rs->fieldCount() : 0;
}

QString CXRecordsetSource::fieldName(int field) const
{
    return m_rs->fieldName(field);
}

platform::FieldType CXRecordsetSource::fieldType(int field) const
{
    return m_rs->fieldType(field);
}

int CXRecordsetSource::fieldSize(int field) const
{
    return m_rs->fieldSize(field);
}

bool CXRecordsetSource::fieldIsComputed(int field) const
{
    return m_rs->fieldIsComputed(field);
}

bool CXRecordsetSource::isEmpty() const
{
    return !m_rs->isOpen() || (m_rs->isEOF() && m_rs->isBOF());
}

long CXRecordsetSource::countRecords()
{
    if (isEmpty())
        return 0;
    if (m_holds) {
        // A snapshot knows its count without moving, read to its end or not.
        m_rs->moveFirst();
        return m_rs->expectedCount();
    }
    try {
        m_rs->moveLast();
        const long n = m_rs->recordCount();
        m_rs->moveFirst();
        return n;
    } catch (const platform::DbException &) {
        // The count is only a guide for the progress window; reading goes on
        // from the first record.
        try {
            m_rs->moveFirst();
        } catch (const platform::DbException &) {
        }
        return m_rs->recordCount();
    }
}

void CXRecordsetSource::moveFirst()
{
    m_rs->moveFirst();
}

void CXRecordsetSource::moveNext()
{
    m_rs->moveNext();
}

long CXRecordsetSource::heldCount() const
{
    return m_rs->heldCount();
}

platform::Value CXRecordsetSource::valueAt(long record, int field)
{
    return m_rs->valueAt(record, field);
}

bool CXRecordsetSource::isReading() const
{
    return m_holds && m_rs->isReading();
}

bool CXRecordsetSource::readMore(int records)
{
    return m_holds && m_rs->readMore(records);
}

bool CXRecordsetSource::waitForRows(int ms)
{
    return m_rs->waitForRows(ms);
}

void CXRecordsetSource::stopReading()
{
    m_rs->stopReading();
}


bool CXRecordsetSource::isEOF() const
{
    return m_rs->isEOF();
}

platform::Value CXRecordsetSource::value(int field) const
{
    return m_rs->value(field);
}

QString CXRecordsetSource::whereText() const
{
    if (!m_statement.isEmpty())
        return whereOf(m_statement);
    QString filter = m_rs->filter();
    return filter.remove(QLatin1Char('#'));
}

QString CXRecordsetSource::whereOf(const QString &statement)
{
    const int at = statement.indexOf(QLatin1String(" WHERE "), 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    // The condition ends where the statement goes on with its grouping,
    // order or a further SELECT; words inside brackets, parentheses or
    // quotes do not end it. Jet takes such a word right after a closing
    // parenthesis, bracket or quote too ("Date()GROUP BY").
    static const QRegularExpression clauseEnd(QStringLiteral("\\s*(GROUP\\s+BY|HAVING|ORDER\\s+BY|UNION)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    const int start = at + 7;
    int end = int(statement.size());
    int depth = 0;
    QChar quote;
    for (int i = start; i < statement.size(); ++i) {
        const QChar c = statement.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            quote = QLatin1Char(']');
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(';') && depth == 0) {
            end = i;
            break;
        } else if (depth == 0 && (c.isSpace() || (i > start && QStringView(u")]'\"").contains(statement.at(i - 1))))
                   && clauseEnd.match(statement, i, QRegularExpression::NormalMatch,
                                      QRegularExpression::AnchorAtOffsetMatchOption)
                          .hasMatch()) {
            end = i;
            break;
        }
    }
    QString where = statement.mid(start, end - start);
    return where.remove(QLatin1Char('#'));
}
