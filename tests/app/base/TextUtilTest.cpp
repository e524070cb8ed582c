#include "app/base/TextUtil.h"
#include "resources/Strings.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The in-place helpers, shown as "text|out" so each case fits one line.
QString splitAtKey(QString text, const QString &key)
{
    QString rest = QStringLiteral("stale");
    SplitAtKey(text, rest, key);
    return text + QLatin1Char('|') + rest;
}

QString splitCity(QString line)
{
    QString state, zip;
    SplitCityStateZip(line, state, zip);
    return line + QLatin1Char('|') + state + QLatin1Char('|') + zip;
}

QString extractBraced(QString text, bool remove)
{
    const QString part = ExtractBraced(text, remove);
    return part + QLatin1Char('|') + text;
}

QString removeBracketed(QString text)
{
    RemoveDelimited(text, QStringLiteral("["), QStringLiteral("]"));
    return text;
}

} // namespace

TEST(StringTableLists, EntriesAreCountedAfterEachComma)
{
    EXPECT_EQ(GetResourceListItem(IDS_JOB_TYPES, 0), "Order");
    EXPECT_EQ(GetResourceListItem(IDS_JOB_TYPES, 5), "PellQuote");
    EXPECT_EQ(GetResourceListItem(IDS_JOB_TYPES, 6), "");
    EXPECT_EQ(GetResourceListItem(IDS_INK_COLORS, 0), " ");
    EXPECT_EQ(GetResourceListItem(IDS_INK_COLORS, 17), "12 Colors");
    EXPECT_EQ(GetResourceListItem(IDS_JOB_TYPES, -1), "Order,Quote,Template,History,PellOrder,PellQuote,");
    EXPECT_EQ(GetResourceListItem(IDS_SOCKETS_INIT_FAILED, 0), ""); // no text in the table
    EXPECT_EQ(GetResourceListItem(IDS_SOCKETS_INIT_FAILED, -1), "");
    EXPECT_EQ(LoadResourceString(IDR_MAINFRAME).split(QLatin1Char('\n')).size(), 7);

    const QString list = QStringLiteral("Jobs,\u00b7Heading,Open,\u00b7,Closed,,Last,");
    EXPECT_EQ(GetCommaListItem(list, 1), "Open");
    EXPECT_EQ(GetCommaListItem(list, 2), "Closed");
    EXPECT_EQ(GetCommaListItem(list, 3), ""); // an empty item still counts
    EXPECT_EQ(GetCommaListItem(list, 4), "Last");
    EXPECT_EQ(GetCommaListItem(QStringLiteral("a,b"), 1), ""); // no final comma: not an item
}

TEST(CommaLists, SplitKeepsEmptyItemsAndDropsTheUnterminatedTail)
{
    QStringList items{QStringLiteral("old")};
    EXPECT_EQ(SplitToArray(QStringLiteral("a,,b,"), items), 3);
    EXPECT_EQ(items, (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitToArray(QStringLiteral("a,b"), items), 1);
    EXPECT_EQ(items, QStringList{"a"});
}

TEST(TextSplitting, KeysCitiesMarkersAndBraces)
{
    EXPECT_EQ(splitAtKey(QStringLiteral("key=value=more"), "="), "key|value=more");
    EXPECT_EQ(splitAtKey(QStringLiteral("no key"), "="), "no key|");
    EXPECT_EQ(splitAtKey(QStringLiteral("=abc"), "="), "|abc");
    EXPECT_EQ(splitAtKey(QStringLiteral("whole"), QString()), "|whole");

    EXPECT_EQ(splitCity(QStringLiteral("Springfield, IL 62701")), "Springfield|IL|62701");
    EXPECT_EQ(splitCity(QStringLiteral("Springfield IL")), "Springfield IL||");

    EXPECT_EQ(GetTextBetween(QStringLiteral("(x)"), "(", ")"), "x");
    EXPECT_EQ(GetTextBetween(QStringLiteral("a()b"), "(", ")"), "");
    EXPECT_EQ(GetTextBetween(QStringLiteral("a)b(c"), "(", ")"), "");
    EXPECT_EQ(GetTextBetween(QStringLiteral("<b>bold</b>"), "<b>", "</b>"), "bold");

    EXPECT_EQ(removeBracketed(QStringLiteral("a[1]b[2]c")), "abc");
    EXPECT_EQ(removeBracketed(QStringLiteral("a[1b")), "a[1b");
    EXPECT_EQ(removeBracketed(QStringLiteral("a]b[c]")), "a]b");

    EXPECT_EQ(extractBraced(QStringLiteral("Form {Invoice} copy"), false), "Invoice|Form {Invoice} copy");
    EXPECT_EQ(extractBraced(QStringLiteral("Form {Invoice} copy"), true), "Invoice|Form  copy");
    EXPECT_EQ(extractBraced(QStringLiteral("{}rest"), true), "|{}rest");
    EXPECT_EQ(extractBraced(QStringLiteral("head}tail"), true), "head|tail"); // no "{"
}

TEST(TextJoining, AppendTrimSearchAndRemove)
{
    QString text;
    AppendText(text, QStringLiteral("Main St"), QStringLiteral(", "), QStringLiteral("at "));
    AppendText(text, QString(), QStringLiteral(", "), QStringLiteral("x"));
    AppendText(text, QStringLiteral("Suite 4"), QStringLiteral(", "));
    EXPECT_EQ(text, "at Main St, Suite 4");

    text = QStringLiteral(" \t\r\n a b \n");
    TrimText(text);
    EXPECT_EQ(text, "a b");
    EXPECT_EQ(FindNoCase(QStringLiteral("Hello World"), QStringLiteral("WORLD")), 6);
    EXPECT_EQ(FindNoCase(QStringLiteral("Hello"), QStringLiteral("xyz")), -1);
    EXPECT_EQ(RemoveChars(QStringLiteral("(555) 123-4567"), QStringLiteral("() -")), "5551234567");
}

TEST(IntegersAndFlags, CLibraryReadingBitsAndChanges)
{
    EXPECT_EQ(ToInt(QStringLiteral("-5")), -5);
    EXPECT_EQ(ToInt(QStringLiteral("  42abc")), 42);
    EXPECT_EQ(ToInt(QStringLiteral("abc")), 0);
    EXPECT_EQ(ToInt(QStringLiteral("99999999999")), INT_MAX);
    EXPECT_EQ(ToInt(QStringLiteral("-99999999999")), INT_MIN);
    EXPECT_EQ(AlnumToInt(QStringLiteral("-5")), 0);
    EXPECT_EQ(AlnumToInt(QStringLiteral("12ab")), 12);

    EXPECT_TRUE(IsBitSet(6, 2));
    EXPECT_FALSE(IsBitSet(6, 1));
    EXPECT_TRUE(IsBitSet(1, 0));
    EXPECT_TRUE(IsBitSet(std::int32_t(0x80000000u), 32));
    EXPECT_FALSE(IsBitSet(-1, 33));
    std::int32_t flags = 1;
    ToggleFlag(flags, 3);
    EXPECT_EQ(flags, 0);
    ToggleFlag(flags, 3);
    EXPECT_EQ(flags, 3);

    int changes = 0;
    QString name = QStringLiteral("Abc");
    SetTextIfChanged(name, QStringLiteral("Abc"), changes);
    SetTextIfChanged(name, QStringLiteral("abc"), changes);
    EXPECT_EQ(changes, 1);
}
