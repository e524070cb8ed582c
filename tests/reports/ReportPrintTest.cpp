// tavrel-dbtool report runs a Key Report through the runner and prints its
// texts and rows, and prints it as the view does: the PDF read back by
// pdftotext holds the title, the subtitle and the note.

#include "ReportsFixture.h"
#include "support/ToolRun.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>

namespace {

class ReportPrintTest : public TavrelTest
{
protected:
    static bool haveTool(const QString &name)
    {
        QProcess p;
        p.start(QStringLiteral("which"), {name});
        p.waitForFinished(10000);
        return p.exitCode() == 0;
    }
    static QString pdfText(const QString &pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The table rows the tool printed: the row flags, then the cells.
    static QList<QStringList> rows(const ToolRun &r)
    {
        QList<QStringList> out;
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        for (int i = 5; i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                out << lines[i].split(QLatin1Char('\t'));
        return out;
    }
    static ToolRun report(const QStringList &extra)
    {
        return RunDbTool(QStringList{QStringLiteral("report"), ReportsFixture::samplePath()} + extra
                         + QStringList{QStringLiteral("--from"), QStringLiteral("01/01/2010"), QStringLiteral("--to"),
                                       QStringLiteral("12/31/2010"), QStringLiteral("--today"),
                                       QStringLiteral("6/15/2010")});
    }
};

} // namespace

TEST_F(ReportPrintTest, TheToolPrintsTheTextsAndRowsOfTheRun)
{
    ToolRun r = report({QStringLiteral("2301")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 6);
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("Comparison / Sales Departments ("))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("Date Range: Custom Date Range (")));
    EXPECT_TRUE(lines[2].startsWith(QLatin1String("Filter: ")));
    EXPECT_EQ(lines[3], QStringLiteral("This Period:  01/01/2010 - 12/31/2010   Last Period:  01/01/2009 - 12/31/2009   "
                                       "(Quick Sales not included)"));
    EXPECT_TRUE(lines[4].startsWith(QLatin1String("Flags\t")));
    bool flags = false;
    lines[5].section(QLatin1Char('\t'), 0, 0).toInt(&flags);
    EXPECT_TRUE(flags) << lines[5].toStdString();

    // The At a Glance dialogs have no table; a code without layout says so.
    EXPECT_EQ(report({QStringLiteral("2502")}).exitCode, 2);
    r = report({QStringLiteral("2699")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("This report is not ready yet!\n")));
}

TEST_F(ReportPrintTest, APrintedReportHoldsItsTitleSubtitleAndNote)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    const QString pdf = tempPath(QStringLiteral("Products.pdf"));
    const ToolRun r = report({QStringLiteral("2204"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    const QString title = r.out.section(QLatin1Char('\n'), 0, 0);
    EXPECT_TRUE(title.startsWith(QLatin1String("Profitability / Products (")));
    EXPECT_TRUE(text.contains(title)) << text.toStdString();
    EXPECT_TRUE(text.contains(r.out.section(QLatin1Char('\n'), 1, 1))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("(Quick Sales not included)")));
    const QString kept = QCoreApplication::applicationDirPath() + QStringLiteral("/reports/ProductsReport.pdf");
    QDir().mkpath(QCoreApplication::applicationDirPath() + QStringLiteral("/reports"));
    QFile::remove(kept);
    QFile::copy(pdf, kept);
}

TEST_F(ReportPrintTest, APrintedAgingReportNamesItsCustomersWithWholeDatesAndFlagsEverySubtotal)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    const QString pdf = tempPath(QStringLiteral("Aging.pdf"));
    const ToolRun r = report({QStringLiteral("2103"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString text = pdfText(pdf);
    int titles = 0, dates = 0, subtotals = 0;
    const QList<QStringList> table = rows(r);
    ASSERT_GT(table.size(), 3);
    for (const QStringList &row : table) {
        const int flags = row[0].toInt();
        if (flags == 20) {
            // The title row: the customer's name and contact, as on screen.
            const QString name = row[2].section(QStringLiteral(" \u00b7 "), 0, 0);
            ASSERT_FALSE(name.isEmpty());
            EXPECT_TRUE(text.contains(name)) << name.toStdString();
            ++titles;
        } else if (flags == 0 && row[4].size() == 10) {
            EXPECT_TRUE(text.contains(row[4])) << row[4].toStdString();
            ++dates;
        } else if (flags & 1) {
            // Every customer's subtotal, the last one's too, and the grand total.
            EXPECT_EQ(flags, 3);
            ++subtotals;
        }
    }
    EXPECT_GT(titles, 1);
    EXPECT_GT(dates, 1);
    EXPECT_GT(subtotals, 2);
    // The grand totals print whole, each amount and percentage as the run
    // holds it.
    const QStringList &grand = table.last();
    int amounts = 0;
    for (int c = 1; c < grand.size(); ++c) {
        if (grand[c].isEmpty())
            continue;
        EXPECT_TRUE(text.contains(grand[c])) << grand[c].toStdString() << "\n" << text.toStdString();
        ++amounts;
    }
    EXPECT_GT(amounts, 2);
}

TEST_F(ReportPrintTest, TheFilterLineHoldsOnlyTheCondition)
{
    if (!haveTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    // Grouped statements, one with a second SELECT, one ordered.
    for (const char *code : {"2002", "2004", "2006"}) {
        const QString pdf = tempPath(QStringLiteral("Filter%1.pdf").arg(QString::fromLatin1(code)));
        const ToolRun r = report({QString::fromLatin1(code), QStringLiteral("--pdf"), pdf});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString filter = r.out.section(QLatin1Char('\n'), 2, 2);
        EXPECT_TRUE(filter.startsWith(QLatin1String("Filter: "))) << filter.toStdString();
        EXPECT_TRUE(filter.contains(QLatin1String("PostingDate"))) << filter.toStdString();
        for (const char *word : {"GROUP BY", "UNION", "ORDER BY", "SELECT"})
            EXPECT_FALSE(filter.contains(QLatin1String(word), Qt::CaseInsensitive)) << code << ": " << filter.toStdString();
        const QString text = pdfText(pdf);
        const int at = int(text.indexOf(QLatin1String("Filter:")));
        ASSERT_GE(at, 0) << code;
        EXPECT_FALSE(text.mid(at, 400).contains(QLatin1String("SELECT"), Qt::CaseInsensitive)) << code;
        EXPECT_TRUE(text.section(QLatin1Char('\n'), 0, -1).contains(QStringLiteral("between 01/01/2010 and 12/31/2010")))
            << code;
    }
    // A statement whose grouping follows a closing parenthesis directly:
    // the orders expected, three of them to reorder after today.
    const QString shop = tempPath(QStringLiteral("Reorders.mdb"));
    ASSERT_TRUE(QFile::copy(ReportsFixture::samplePath(), shop));
    QFile::setPermissions(shop, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(RunDbTool({QStringLiteral("sql"), shop,
                         QStringLiteral("UPDATE Jobs SET DateReorder = #09/01/2010# WHERE JobNo IN (SELECT TOP 3 JobNo "
                                        "FROM Jobs WHERE JobType = 3 AND Creator < 98 ORDER BY JobNo)")})
                  .exitCode,
              0);
    const QString pdf = tempPath(QStringLiteral("Filter2402.pdf"));
    const ToolRun r = RunDbTool({QStringLiteral("report"), shop, QStringLiteral("2402"), QStringLiteral("--today"),
                                 QStringLiteral("6/15/2010"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString line = QStringLiteral("Filter: Jobs.JobType = 3 and Jobs.Creator < 98 and DateReorder >= Date()");
    EXPECT_EQ(r.out.section(QLatin1Char('\n'), 2, 2), line);
    const QString printed = pdfText(pdf);
    const int at = int(printed.indexOf(line));
    ASSERT_GE(at, 0) << printed.toStdString();
    EXPECT_EQ(printed.mid(at).section(QLatin1Char('\n'), 0, 0).trimmed(), line);
}
