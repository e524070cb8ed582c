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
