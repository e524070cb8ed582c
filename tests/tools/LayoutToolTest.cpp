// tavrel-dbtool layout: the counts printed, the layout drawn to PNG and PDF.
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtGui/QColor>
#include <QtGui/QImage>

namespace {

class CutLayoutTool : public TavrelTest
{
};

TEST_F(CutLayoutTool, PrintsCountsAndDrawsPngAndPdf)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
    QDir().mkpath(folder);
    const QString png = folder + QStringLiteral("/layout-18x12-5x3.png");
    const QString pdf = tempPath(QStringLiteral("layout.pdf"));
    const ToolRun r = RunDbTool({QStringLiteral("layout"), QStringLiteral("18 x 12"), QStringLiteral("5 x 3"),
                                 QStringLiteral("--options"), QStringLiteral("0xC1"), QStringLiteral("--png"), png,
                                 QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Pieces\tCuts\tSheet\tPiece\n14\t14\t18 x 12\t5 x 3\n"));

    // The picture: grey sheet, white pieces with red outlines.
    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(60, 60), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(410, 290), QColor(239, 239, 239)); // the waste corner
    bool red = false;
    for (int x = 100; x < 140 && !red; ++x)
        red = image.pixelColor(x, 60) == QColor(239, 0, 0);
    EXPECT_TRUE(red);

    // The PDF renders, with the sheet's sides written beside it.
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(words.contains(QStringLiteral("18"))) << words.toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("12"))) << words.toStdString();
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                  folder + QStringLiteral("/layout-pdf")});
    ASSERT_TRUE(render.waitForFinished(30000));
    EXPECT_EQ(render.exitCode(), 0);
    EXPECT_FALSE(QImage(folder + QStringLiteral("/layout-pdf.png")).isNull());
}

TEST_F(CutLayoutTool, RefusesBadArguments)
{
    EXPECT_EQ(RunDbTool({QStringLiteral("layout"), QStringLiteral("12 x 18")}).exitCode, 2);
    EXPECT_EQ(RunDbTool({QStringLiteral("layout"), QStringLiteral("12 x 18"), QStringLiteral("4 x 6"),
                         QStringLiteral("--options")})
                  .exitCode,
              2);
    const ToolRun none = RunDbTool({QStringLiteral("layout"), QStringLiteral("0 x 18"), QStringLiteral("4 x 6")});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, QStringLiteral("Pieces\tCuts\tSheet\tPiece\n0\t0\t0 x 18\t4 x 6\n"));
    // 12000 x 18000 pieces: the bound stops the layout, which is no result.
    const ToolRun tiny = RunDbTool({QStringLiteral("layout"), QStringLiteral("12 x 18"), QStringLiteral("0.001 x 0.001")});
    EXPECT_EQ(tiny.exitCode, 1);
    EXPECT_EQ(tiny.out, QString());
    EXPECT_TRUE(tiny.err.endsWith(QStringLiteral("The piece 0.001 x 0.001 is too small for the sheet 12 x 18: the "
                                                 "layout stops at 10000 pieces a pass, so it has no complete counts.\n")))
        << tiny.err.toStdString();
}

} // namespace
