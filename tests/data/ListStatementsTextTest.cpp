// The statements of one list per branch of every view, of printed lists,
// posting printouts and production lists, word for word as kept in
// ListStatements.golden. Each entry is a line "# <what>" and the statement.
//
//   view <id> <branch> <item> [opt <n>] [csr <n>] [all] [| sort <text> | <filter>]
//   print <kind> <code> <value> | view <id> <branch> <item> [| <filter>]
//   posting <code> <posting number>
//   production <code> <date choice>

#include "ShopListFixture.h"

#include "data/CSQL.h"
#include "data/CXDaoSet.h"

#include <QtCore/QFile>

namespace {

struct Golden
{
    QString key;
    QString statement;
};

QList<Golden> readGolden()
{
    QFile file(QStringLiteral(TAVREL_TEST_DATA "/ListStatements.golden"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QList<Golden> out;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("# ")))
            out.append({line.mid(2), QString()});
        else if (!line.isEmpty() && !out.isEmpty())
            out.last().statement = line;
    }
    return out;
}

class ListStatementsTextTest : public ShopListTest
{
protected:
    // A list on screen from "<id> <branch> <item> [opt n] [csr n] [all]" and
    // the text after " | ".
    CSQL viewList(const QString &codes, const QString &tail)
    {
        const QStringList words = codes.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int option = 0;
        bool allColumns = false;
        app->m_nDefaultCsr = 0;
        for (int i = 3; i < words.size(); ++i) {
            if (words[i] == QLatin1String("opt"))
                option = words[++i].toInt();
            else if (words[i] == QLatin1String("csr"))
                app->m_nDefaultCsr = words[++i].toInt();
            else if (words[i] == QLatin1String("all"))
                allColumns = true;
        }
        const bool isSort = tail.startsWith(QLatin1String("sort "));
        return CSQL(words[0].toInt(), words[1].toInt(), words[2].toInt(), isSort ? QString() : tail,
                    isSort ? tail.mid(5) : QString(), option, allColumns);
    }

    QString build(const QString &key)
    {
        const QStringList parts = key.split(QStringLiteral(" | "));
        const QStringList words = parts[0].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words[0] == QLatin1String("view"))
            return viewList(parts[0].mid(5), parts.value(1)).m_strSQL;
        if (words[0] == QLatin1String("print")) {
            const CSQL screen = viewList(parts[1].mid(5), parts.value(2));
            CXDaoSet list(&db);
            list.Open(CXDaoSet::dbOpenSnapshot, screen.m_strSQL);
            return CSQL(list, words[1], words[2].toInt(), words[3].toInt()).m_strSQL;
        }
        CSQL q;
        if (words[0] == QLatin1String("posting")) {
            q.BuildPostingSQL(words[1].toInt(), words[2].toInt());
        } else {
            bool weekly = false;
            int bit128 = 0;
            QString title, note;
            q.BuildProductionListSQL(words[1].toInt(), words[2].toInt(), weekly, bit128, title, note);
        }
        return q.m_strSQL;
    }
};

TEST_F(ListStatementsTextTest, StatementsStandWordForWord)
{
    const QList<Golden> golden = readGolden();
    ASSERT_GE(golden.size(), 50);
    for (const Golden &g : golden) {
        SCOPED_TRACE(g.key.toStdString());
        EXPECT_EQ(build(g.key).toStdString(), g.statement.toStdString());
    }
}

} // namespace
