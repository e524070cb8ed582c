#include "platform/db/jet/JetTranslator.h"

#include "platform/db/jet/JetEmitter.h"
#include "platform/db/jet/JetErrors.h"
#include "platform/db/jet/JetParser.h"

#include <QtCore/QHash>

#include <mutex>

namespace platform::jet {

namespace {

// Past this many entries the cache starts afresh (lists with typed-in
// filters make many one-off texts).
constexpr qsizetype kCacheLimit = 4000;

QChar separator()
{
    return QChar(0x1F);
}

} // namespace

class JetTranslator::Impl
{
public:
    explicit Impl(const SchemaCatalog &c) : catalog(c) {}

    const SchemaCatalog &catalog;
    mutable std::mutex mutex;
    mutable quint64 generation = 0;
    mutable bool generationKnown = false;
    mutable QHash<QString, Translation> cache;
    mutable QHash<QString, QString> criteria;

    // Drops every cached text when the schema changed (the mutex held).
    void checkGeneration() const
    {
        const quint64 g = catalog.schemaGeneration();
        if (!generationKnown || g != generation) {
            cache.clear();
            criteria.clear();
            generation = g;
            generationKnown = true;
        }
    }

    // Finds a cached translation.
    bool lookup(const QString &key, Translation &out) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        checkGeneration();
        const auto it = cache.constFind(key);
        if (it == cache.constEnd())
            return false;
        out = it.value();
        return true;
    }

    void store(const QString &key, const Translation &t) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (cache.size() >= kCacheLimit)
            cache.clear();
        cache.insert(key, t);
    }

    // A source that is only a name: a table (all its rows) or a saved query.
    std::optional<QString> nameAlone(const QString &text, bool &savedQuery) const
    {
        QString whole = text.trimmed();
        if (whole.endsWith(QLatin1Char(';')))
            whole.chop(1);
        whole = whole.trimmed();
        if (whole.startsWith(QLatin1Char('[')) && whole.endsWith(QLatin1Char(']')))
            whole = whole.mid(1, whole.size() - 2);
        if (!whole.isEmpty() && !whole.contains(QLatin1Char(']'))) {
            if (catalog.tableColumns(whole)) {
                savedQuery = false;
                return whole;
            }
            if (catalog.savedQuery(whole)) {
                savedQuery = true;
                return whole;
            }
        }
        return std::nullopt;
    }

    Translation build(const QString &jetSql, const QString &filter, const QString &sort, bool savedText) const
    {
        bool allowImplicit = savedText;
        QString text = jetSql;
        bool isSaved = false;
        if (const auto name = nameAlone(jetSql, isSaved)) {
            if (isSaved) {
                text = *catalog.savedQuery(*name);
                allowImplicit = true;
            } else {
                text = QStringLiteral("SELECT * FROM [%1]").arg(*name);
            }
        }
        JetEmitter::Request request;
        JetParser parser(text);
        request.statement = std::make_shared<syntax::Statement>(parser.parseStatement());
        request.allowImplicitParameters = allowImplicit;
        if (!filter.trimmed().isEmpty()) {
            JetParser f(filter);
            request.filter = std::shared_ptr<syntax::Expr>(f.parseStandaloneExpression().release());
        }
        if (!sort.trimmed().isEmpty()) {
            JetParser s(sort);
            request.sort = std::make_shared<std::vector<syntax::OrderTerm>>(s.parseStandaloneOrderList());
        }
        JetEmitter emitter(catalog);
        return emitter.translate(request);
    }

    Translation translate(const QString &jetSql, const QString &filter, const QString &sort, bool savedText) const
    {
        // A plain statement is its own key (shared, not copied); the other
        // forms are told apart by a prefix no statement starts with.
        QString key = jetSql;
        if (savedText || !filter.isEmpty() || !sort.isEmpty()) {
            key = QString();
            key.reserve(jetSql.size() + filter.size() + sort.size() + 4);
            key += separator();
            key += savedText ? QLatin1Char('Q') : QLatin1Char('F');
            key += jetSql;
            key += separator();
            key += filter;
            key += separator();
            key += sort;
        }
        Translation t;
        if (lookup(key, t))
            return t;
        t = build(jetSql, filter, sort, savedText);
        store(key, t);
        return t;
    }
};

JetTranslator::JetTranslator(const SchemaCatalog &catalog)
    : d(std::make_unique<Impl>(catalog))
{
}

JetTranslator::~JetTranslator() = default;

Translation JetTranslator::translate(const QString &jetSql) const
{
    return d->translate(jetSql, QString(), QString(), false);
}

Translation JetTranslator::translateSavedQuery(const QString &jetSql) const
{
    return d->translate(jetSql, QString(), QString(), true);
}

Translation JetTranslator::translateWithFilter(const QString &jetSql, const QString &filter, const QString &sort) const
{
    return d->translate(jetSql, filter, sort, false);
}

QString JetTranslator::translateCriterion(const QString &criterion, const QList<ResultColumn> &columns) const
{
    QString key = criterion;
    for (const ResultColumn &c : columns) {
        key += separator();
        key += c.name;
        key += QChar(ushort(int(c.type)) + 0x30);
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->checkGeneration();
        const auto it = d->criteria.constFind(key);
        if (it != d->criteria.constEnd())
            return it.value();
    }
    JetParser parser(criterion);
    const syntax::ExprPtr e = parser.parseStandaloneExpression();
    JetEmitter emitter(d->catalog);
    const QString sql = emitter.emitCriterion(*e, criterion, columns);
    std::lock_guard<std::mutex> lock(d->mutex);
    if (d->criteria.size() >= kCacheLimit)
        d->criteria.clear();
    d->criteria.insert(key, sql);
    return sql;
}

} // namespace platform::jet
