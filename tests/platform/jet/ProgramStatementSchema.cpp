#include "ProgramStatementSchema.h"

#include "platform/db/jet/JetTokenizer.h"

#include <QtCore/QMap>
#include <QtCore/QSet>

#include <algorithm>

using platform::FieldType;
using platform::jet::JetToken;
using platform::jet::JetTokenizer;

namespace {

bool isKeyword(const QList<JetToken> &t, qsizetype i)
{
    static const QSet<QString> words = {
        "select", "from", "where", "and", "or", "not", "as", "on", "inner", "left", "right", "outer", "join",
        "having", "union", "all", "distinct", "distinctrow", "top", "percent", "in", "is", "null", "like",
        "between", "true", "false", "into", "values", "set", "update", "delete", "insert", "transform",
        "pivot", "parameters", "mod", "exists", "xor", "eqv", "imp"};
    const JetToken &k = t[i];
    if (k.kind != JetToken::Name)
        return false;
    const QString w = k.text.toLower();
    if (w == QLatin1String("group") || w == QLatin1String("order"))
        return i + 1 < t.size() && t[i + 1].isWord("by");
    if (w == QLatin1String("by"))
        return i > 0 && (t[i - 1].isWord("group") || t[i - 1].isWord("order"));
    if (w == QLatin1String("desc") || w == QLatin1String("asc"))
        return i > 0 && (t[i - 1].isName() || t[i - 1].isSymbol(")")) && i + 1 < t.size()
               && (t[i + 1].kind == JetToken::End || t[i + 1].isSymbol(",") || t[i + 1].isSymbol(";")
                   || t[i + 1].isSymbol(")") || t[i + 1].isWord("pivot"));
    return words.contains(w);
}

} // namespace

NamedSchema namesOf(const QString &sql)
{
    NamedSchema s;
    const QList<JetToken> t = JetTokenizer::tokenize(sql);
    QSet<qsizetype> used;
    QMap<qsizetype, QString> tableTokens;   // token index -> table as first written
    auto addTable = [&](qsizetype i) {
        const QString name = t[i].text;
        tableTokens.insert(i, name);
        if (!s.columns.contains(name.toLower())) {
            s.tables.append(name);
            s.columns.insert(name.toLower(), {});
        } else {
            for (const QString &known : s.tables) {
                if (known.compare(name, Qt::CaseInsensitive) == 0)
                    tableTokens[i] = known;
            }
        }
        used.insert(i);
        qsizetype a = i + 1;
        if (a < t.size() && t[a].isWord("as"))
            ++a;
        if (a < t.size() && t[a].isName() && !isKeyword(t, a)) {
            s.aliases.insert(t[a].text.toLower(), name.toLower());
            used.insert(a);
            return a;
        }
        return i;
    };
    qsizetype start = 0;
    if (!t.isEmpty() && t[0].isWord("parameters")) {
        while (start < t.size() && !t[start].isSymbol(";"))
            used.insert(start++);
    }
    for (qsizetype i = start; i < t.size(); ++i) {
        const bool intoTable = t[i].isWord("into") && i > 0 && t[i - 1].isWord("insert");
        if (!(t[i].isWord("from") || t[i].isWord("join") || t[i].isWord("update") || intoTable))
            continue;
        qsizetype j = i + 1;
        while (true) {
            while (j < t.size() && t[j].isSymbol("("))
                ++j;
            if (j >= t.size() || !t[j].isName() || t[j].isWord("select"))
                break;
            j = addTable(j) + 1;
            while (j < t.size() && t[j].isSymbol(")"))
                ++j;
            if (j < t.size() && t[j].isSymbol(",") && !t[i].isWord("join") && !intoTable) {
                ++j;
                continue;
            }
            break;
        }
    }
    auto tableOf = [&](const QString &name) -> QString {
        const QString l = name.toLower();
        if (s.columns.contains(l))
            return l;
        return s.aliases.value(l);
    };
    auto addColumn = [&](const QString &table, const QString &column) {
        QStringList &cols = s.columns[table];
        for (const QString &c : cols) {
            if (c.compare(column, Qt::CaseInsensitive) == 0)
                return;
        }
        cols.append(column);
    };
    for (qsizetype i = start; i + 2 < t.size(); ++i) {
        if (t[i].isName() && t[i + 1].isSymbol(".") && t[i + 2].isName() && !used.contains(i)) {
            const QString table = tableOf(t[i].text);
            if (!table.isEmpty())
                addColumn(table, t[i + 2].text);
            used.insert(i);
            used.insert(i + 2);
        }
    }
    if (s.tables.isEmpty())
        return s;
    // A name standing alone belongs to a table of its own SELECT: the one
    // whose name starts like it (PostingDate, PostingJournal), else the first.
    QList<qsizetype> coreStarts{start};
    int depth = 0;
    for (qsizetype i = start; i < t.size(); ++i) {
        depth += t[i].isSymbol("(") ? 1 : t[i].isSymbol(")") ? -1 : 0;
        if (depth == 0 && t[i].isWord("union"))
            coreStarts.append(i);
    }
    coreStarts.append(t.size());
    for (qsizetype c = 0; c + 1 < coreStarts.size(); ++c) {
        QStringList coreTables;
        for (auto it = tableTokens.constBegin(); it != tableTokens.constEnd(); ++it) {
            if (it.key() >= coreStarts[c] && it.key() < coreStarts[c + 1] && !coreTables.contains(it.value()))
                coreTables.append(it.value());
        }
        std::sort(coreTables.begin(), coreTables.end(), [&](const QString &a, const QString &b) {
            return s.tables.indexOf(a) < s.tables.indexOf(b);
        });
        if (coreTables.isEmpty())
            coreTables.append(s.tables.front());
        for (qsizetype i = coreStarts[c]; i < coreStarts[c + 1]; ++i) {
            if (!t[i].isName() || used.contains(i) || isKeyword(t, i))
                continue;
            if (i + 1 < t.size() && (t[i + 1].isSymbol("(") || t[i + 1].isSymbol(".")))
                continue;
            if (i > 0 && (t[i - 1].isWord("as") || t[i - 1].isSymbol(".")))
                continue;
            if (!tableOf(t[i].text).isEmpty())
                continue;
            bool known = false;
            for (const QString &table : coreTables) {
                for (const QString &col : s.columns.value(table.toLower()))
                    known = known || col.compare(t[i].text, Qt::CaseInsensitive) == 0;
            }
            if (known)
                continue;
            QString owner = coreTables.front();
            for (const QString &table : coreTables) {
                if (table.left(4).compare(t[i].text.left(4), Qt::CaseInsensitive) == 0) {
                    owner = table;
                    break;
                }
            }
            addColumn(owner.toLower(), t[i].text);
        }
    }
    return s;
}

// A type read off the column's name, so money, dates and texts take their paths.
FieldType guessType(const QString &column)
{
    const QString c = column.toLower();
    static const char *const money[] = {"price", "cost", "amount", "subtotal", "discount", "shipping", "postage",
                                        "tax", "balance", "paid", "credit", "total", "writeoff", "latefee", "material",
                                        "taxable", "markup"};
    static const char *const text[] = {"name", "title", "description", "note", "first", "last", "text", "company",
                                       "address", "city", "state", "zip", "phone", "fax", "path", "po", "memo",
                                       "reference", "password", "size", "sku", "des", "attention", "country", "do"};
    if (c.startsWith(QLatin1String("date")) || c == QLatin1String("when") || c == QLatin1String("start")
        || c == QLatin1String("finish") || c.endsWith(QLatin1String("date")))
        return FieldType::Date;
    for (const char *m : money) {
        if (c.contains(QLatin1String(m)) && !c.endsWith(QLatin1String("no")) && !c.endsWith(QLatin1String("id")))
            return FieldType::Currency;
    }
    for (const char *x : text) {
        const QLatin1String word(x);
        if (word.size() <= 3 ? c == word : c.contains(word))
            return FieldType::Text;
    }
    return FieldType::Long;
}

