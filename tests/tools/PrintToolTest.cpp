#include "support/TestEnvironment.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>

namespace {

struct ToolResult
{
    int exitCode = -1;
    QString out;
};

ToolResult runProgram(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ToolResult r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

ToolResult dbtool(const QStringList &args)
{
    return runProgram(QStringLiteral(TAVREL_DBTOOL), args);
}

bool have(const char *program)
{
    return !QStandardPaths::findExecutable(QLatin1String(program)).isEmpty();
}

QString pageText(const QString &pdf, int page)
{
    return runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                             QString::number(page), pdf, QStringLiteral("-")})
        .out;
}

int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runProgram(QStringLiteral("pdfinfo"), {pdf}).out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintTool : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        if (!have("pdfinfo") || !have("pdftotext"))
            GTEST_SKIP() << "poppler-utils are not installed";
        db = tempPath(QStringLiteral("shop.mdb"));
        ASSERT_EQ(dbtool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("300")}).exitCode, 0);
    }
    ToolResult print(const QString &pdf, const QStringList &extra = {})
    {
        return dbtool(QStringList{QStringLiteral("print"), db, QStringLiteral("--sql"),
                                  QStringLiteral("SELECT JobNo, Title, Balance FROM Jobs ORDER BY JobID"),
                                  QStringLiteral("--pdf"), pdf, QStringLiteral("--today"),
                                  QStringLiteral("03/16/2011")}
                      + extra);
    }
    QString db;
};

} // namespace

TEST_F(PrintTool, PrintsATableOnFormOneHundredWithTotalsAndContinuedPages)
{
    const QString pdf = tempPath(QStringLiteral("jobs.pdf"));
    const ToolResult r = print(pdf);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("result 2\n"));
    const int pages = pageCount(pdf);
    ASSERT_GE(pages, 2);
    for (int p = 1; p <= pages; ++p) {
        const QString text = pageText(pdf, p);
        EXPECT_EQ(text.contains(QStringLiteral("continued...")), p < pages) << p;
        EXPECT_EQ(text.contains(QStringLiteral("Total\n")), p == pages) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("03/16/11 09:00:00"))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1\n").arg(p))) << p;
    }
    // The heading row starts 1.25 inches below a top margin of 0.25 inch: 108 points.
    const QString bbox = runProgram(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                              QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")})
                             .out;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("yMin=\"([\\d.]+)\"[^>]*>JobNo<")).match(bbox);
    ASSERT_TRUE(m.hasMatch());
    EXPECT_GE(m.captured(1).toDouble(), 108.0);
    EXPECT_LE(m.captured(1).toDouble(), 122.0);
}

TEST_F(PrintTool, PageRangesPreviewAndARangePastTheEnd)
{
    const QString full = tempPath(QStringLiteral("full.pdf"));
    ASSERT_EQ(print(full).exitCode, 0);
    const int pages = pageCount(full);
    ASSERT_GE(pages, 3);

    const QString part = tempPath(QStringLiteral("part.pdf"));
    EXPECT_EQ(print(part, {QStringLiteral("--pages"), QStringLiteral("2-3")}).out, QStringLiteral("result 2\n"));
    EXPECT_EQ(pageCount(part), 2);
    EXPECT_EQ(pageText(part, 1), pageText(full, 2));
    EXPECT_EQ(pageText(part, 2), pageText(full, 3));

    const QString none = tempPath(QStringLiteral("none.pdf"));
    EXPECT_EQ(print(none, {QStringLiteral("--pages"), QStringLiteral("40-41")}).out, QStringLiteral("result 2\n"));
    EXPECT_FALSE(QFile::exists(none));

    const QString preview = tempPath(QStringLiteral("preview.pdf"));
    ASSERT_EQ(print(preview, {QStringLiteral("--preview")}).exitCode, 0);
    EXPECT_EQ(pageCount(preview), pages);
    EXPECT_TRUE(pageText(preview, 1).contains(QStringLiteral("Page 1 of %1").arg(pages)));
    EXPECT_TRUE(pageText(preview, pages).contains(QStringLiteral("Total\n")));
}

TEST_F(PrintTool, BarcodeAndScanCommands)
{
    const QString png = tempPath(QStringLiteral("job.png"));
    const ToolResult code = dbtool({QStringLiteral("barcode"), QStringLiteral("6"), QStringLiteral("1234"), png});
    ASSERT_EQ(code.exitCode, 0);
    EXPECT_EQ(code.out, QStringLiteral("*^1234#*\n"));
    if (have("zbarimg"))
        EXPECT_EQ(runProgram(QStringLiteral("zbarimg"), {QStringLiteral("-q"), png}).out,
                  QStringLiteral("CODE-39:%N1234/C\n"));

    EXPECT_EQ(dbtool({QStringLiteral("scan"), QStringLiteral("Shift 6 1 2 Shift 3")}).out,
              QStringLiteral("result 1\nresult 1\nresult 1\nresult 1\nresult 1\nresult 30598\n"
                             "object 12 6\naction 0 0\norder 1\n"));
    // Customer then command: both kept, the object first.
    EXPECT_TRUE(dbtool({QStringLiteral("scan"), QStringLiteral("Shift 9 7 Shift 3 Shift 1 3 1 0 0 0 Shift 3")})
                    .out.endsWith(QStringLiteral("object 7 9\naction 31000 1\norder 1\n")));
    // At a person's pace nothing is taken.
    EXPECT_EQ(dbtool({QStringLiteral("scan"), QStringLiteral("Shift 2 1 2"), QStringLiteral("--gap"),
                      QStringLiteral("120")})
                  .out,
              QStringLiteral("result 1\nresult 0\nresult 0\nresult 0\nobject 0 0\naction 0 0\norder 0\n"));
}
