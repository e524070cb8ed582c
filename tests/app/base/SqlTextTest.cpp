#include "app/base/SqlText.h"

#include "platform/DateTime.h"

#include <gtest/gtest.h>

TEST(SqlPieces, WhereAndOrderByGrowOnePieceAtATime)
{
    QString filter;
    AppendWhere(filter, QString());
    EXPECT_EQ(filter, "");
    AppendWhere(filter, QStringLiteral("A = 1"));
    AppendWhere(filter, QString());
    AppendWhere(filter, QStringLiteral("B = 2"));
    EXPECT_EQ(filter, " WHERE A = 1 and B = 2");

    QString order;
    AppendOrderBy(order, QString());
    EXPECT_EQ(order, "");
    AppendOrderBy(order, QStringLiteral("a"));
    AppendOrderBy(order, QStringLiteral("b"));
    EXPECT_EQ(order, " ORDER BY a, b");
}

TEST(SqlPieces, JoinFromWhereLaysOutUpperCaseClauses)
{
    const QString sep = QStringLiteral("\r\n\r\n");
    EXPECT_EQ(JoinFromWhere(QStringLiteral("SELECT 1"), sep), "SELECT 1");
    EXPECT_EQ(JoinFromWhere(QStringLiteral("DELETE * FROM T"), sep), "DELETE * \r\n\r\nFROM T");
    EXPECT_EQ(JoinFromWhere(QStringLiteral("SELECT a FROM T WHERE b GROUP BY a ORDER BY a UNION SELECT c FROM U"), QStringLiteral("|")),
              "SELECT a |FROM T |WHERE b |GROUP BY a |ORDER BY a |UNION SELECT c |FROM U");
    EXPECT_EQ(JoinFromWhere(QStringLiteral("select a from T where b ORDER BY"), sep), "select a from T where b ORDER BY");
}

TEST(SqlPieces, QuoteTextDoublesTheChosenQuote)
{
    EXPECT_EQ(QuoteText(QString()), "\"\"");
    EXPECT_EQ(QuoteText(QStringLiteral("Smith")), "\"Smith\"");
    EXPECT_EQ(QuoteText(QStringLiteral("O'Brien")), "\"O'Brien\"");
    EXPECT_EQ(QuoteText(QStringLiteral("12\" roll")), "'12\" roll'");
    EXPECT_EQ(QuoteText(QStringLiteral("12\" O'Brien's")), "'12\" O''Brien''s'");
    // A text built to close the literal and add a condition stays one literal.
    const QString attack = QStringLiteral("x\" or \"1\"=\"1");
    EXPECT_EQ(QuoteText(attack), "'x\" or \"1\"=\"1'");
    const QString both = QStringLiteral("a\"' or 1=1 --");
    EXPECT_EQ(QuoteText(both), "'a\"'' or 1=1 --'");
}

TEST(SqlPieces, DateFormatsAndQuickNotes)
{
    const DateTime d(2011, 3, 7);
    EXPECT_EQ(d.format(FormatSqlDate(true)), "#03/07/2011#");
    EXPECT_EQ(d.format(FormatSqlDate(false)), "03/07/2011");
    EXPECT_EQ(GetQuickNotesSql(2, 0), "SELECT [No], [Note] FROM QuickNotes WHERE Type = 2 ORDER BY [Sort], [Note]");
    EXPECT_EQ(GetQuickNotesSql(2, 5),
              "SELECT [No], [Note] FROM QuickNotes WHERE (Type = 2 or QCatNo = 5) ORDER BY [Sort], [Note]");
}

TEST(ColumnAliases, WidthDirectives)
{
    struct Case { const char *alias; const char *name; int width; };
    const Case cases[] = {
        {"Customer_w_30", "Customer", 30}, {"Name|||", "Name", 4}, {"Qty_w_8|", "Qty", 8},
        {"Plain", "Plain", 0}, {"_w_12", "", 12}, {"|Lead", "|Lead", 0}, {"A|b|c", "Abc", 1},
    };
    for (const Case &c : cases) {
        QString name = QString::fromLatin1(c.alias);
        std::int32_t width = -1;
        ParseColumnWidth(name, width);
        EXPECT_EQ(name, c.name) << c.alias;
        EXPECT_EQ(width, c.width) << c.alias;
    }
}

TEST(ColumnAliases, TypeSuffixes)
{
    struct Case { const char *alias; std::int16_t type; const char *name; std::int16_t result; };
    const Case cases[] = {
        {"Total_C", 10, "Total", 5}, {"Qty_L", 10, "Qty", 4}, {"N_B", 10, "N", 2},
        {"When_D", 10, "When", 8}, {"Hours_T", 10, "Hours", 22}, {"AB_X", 10, "AB", 10},
        {"_C", 10, "_C", 10}, {"Total_C", 4, "Total_C", 4}, {"TotalC", 10, "TotalC", 10},
    };
    for (const Case &c : cases) {
        QString name = QString::fromLatin1(c.alias);
        std::int16_t type = c.type;
        ApplyColumnTypeSuffix(name, type);
        EXPECT_EQ(name, c.name) << c.alias;
        EXPECT_EQ(type, c.result) << c.alias;
    }
}
