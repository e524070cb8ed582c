#include "ControlsFixture.h"

#include "controls/CGraphWnd.h"
#include "controls/CHtmlCtrl.h"
#include "controls/CPieChartCtrl.h"
#include "controls/CXGridCtrl.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>

#include <iostream>

namespace {

void savePng(const QImage &image, const QString &name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/charts");
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name;
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
    std::cout << "chart picture: " << path.toStdString() << std::endl;
}

QImage grabImage(QWidget *w)
{
    return w->grab().toImage();
}

} // namespace

class PieChartTest : public ControlsTest
{
};

TEST_F(PieChartTest, SharesSkipTinyPiecesAndZeroTotalsDrawOnlyTheFrame)
{
    CPieChartCtrl pie(host.get());
    pie.resize(360, 420);
    pie.show();
    pie.AddPiece(QStringLiteral("Brochures"), Money::fromWhole(600), GetSysColorEx(48));
    pie.AddPiece(QStringLiteral("Cards"), Money::fromWhole(396), GetSysColorEx(49));
    pie.AddPiece(QStringLiteral("Stickers"), Money::fromWhole(4), GetSysColorEx(50)); // 0.4 %
    pie.AddPiece(QStringLiteral("Nothing"), Money(), GetSysColorEx(51));
    pie.SetShowLabels(true);
    const QImage image = grabImage(&pie);
    savePng(image, QStringLiteral("pie-control.png"));

    ASSERT_EQ(pie.pieceCount(), 4);
    EXPECT_EQ(pie.pieRect(), QRect(30, 7, 300, 300));
    EXPECT_EQ(pie.piece(0).percentText, QStringLiteral("60%"));
    EXPECT_EQ(pie.piece(1).percentText, QStringLiteral("40%"));
    EXPECT_EQ(pie.piece(2).percentText, QStringLiteral("0%"));
    EXPECT_EQ(pie.piece(3).percentText, QStringLiteral("0%"));
    EXPECT_EQ(pie.piece(0).endAngle, 216);
    // 216 degrees clockwise from twelve o'clock on a radius of 150.
    EXPECT_EQ(pie.piece(0).endPoint, pie.GetEdgePoint(216, false));
    EXPECT_EQ(pie.piece(0).endPoint, QPoint(180 + int(std::sin(216 * M_PI / 180) * 150),
                                            157 - int(std::cos(216 * M_PI / 180) * 150)));
    // The first wedge is filled in its colour; a skipped piece has no legend.
    EXPECT_TRUE(same(image.pixelColor(200, 80), rgb(GetSysColorEx(48)), 8));
    const int h = QFontMetrics(Appearance::instance().GetFont(2)).height();
    const QPoint stickerSwatch(10 + h / 2, pie.pieRect().bottom() + 2 * h + h / 2 + h / 2);
    EXPECT_TRUE(same(image.pixelColor(stickerSwatch), Qt::white));

    // A new set of pieces is laid out at the next paint; one piece goes all round.
    pie.RemoveAll();
    EXPECT_TRUE(pie.pieRect().isEmpty());
    pie.AddPiece(QStringLiteral("All"), Money::fromWhole(5), GetSysColorEx(52));
    const QImage whole = grabImage(&pie);
    EXPECT_EQ(pie.piece(0).percentText, QStringLiteral("100%"));
    EXPECT_EQ(pie.piece(0).endPoint, QPoint(180, 7));
    EXPECT_TRUE(same(whole.pixelColor(100, 157), rgb(GetSysColorEx(52)), 8));

    // Pieces summing to zero, and a window too small for a pie, paint safely.
    pie.RemoveAll();
    pie.AddPiece(QStringLiteral("Plus"), Money::fromWhole(5), GetSysColorEx(48));
    pie.AddPiece(QStringLiteral("Minus"), Money::fromWhole(-5), GetSysColorEx(49));
    savePng(grabImage(&pie), QStringLiteral("pie-control-zero.png"));
    EXPECT_EQ(pie.piece(0).percentText, QStringLiteral("0%"));
    pie.resize(40, 40);
    grabImage(&pie);
    EXPECT_TRUE(pie.pieRect().isEmpty());
}

class GraphTest : public ControlsTest
{
protected:
    // Quantity, price and target in hundredths.
    void fillGrid(CXGridCtrl &grid, const std::vector<std::array<int, 3>> &rows)
    {
        grid.AddColumn(QStringLiteral("Qty"), 60, 3);
        grid.AddColumn(QStringLiteral("Price"), 80, 3);
        grid.AddColumn(QStringLiteral("Target"), 80, 3);
        grid.SetRows(int(rows.size()), int(rows.size()));
        for (size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 3; ++c)
                grid.SetCellValue(int(r), c, rows[r][size_t(c)]);
    }
};

TEST_F(GraphTest, SeriesComeFromTheGridAndScaleToTheTop)
{
    CXGridCtrl grid(host.get());
    fillGrid(grid, {{{500, 12000, 15000}}, {{1000, 0, 22000}}, {{2500, 31000, 30000}}, {{5000, 50000, 42000}}});
    CGraphWnd graph;
    ASSERT_TRUE(graph.Create(host.get(), 2112, QRect(0, 0, 420, 300), &grid));
    EXPECT_FALSE(graph.isVisible());
    graph.Reload();
    const CGraphWnd::CGraph &model = graph.graph();
    ASSERT_EQ(model.m_Series.size(), 2u);
    EXPECT_EQ(model.m_Series[0].y[1], 0);
    EXPECT_EQ(model.m_Series[1].y[3], 42000);
    EXPECT_EQ(model.GetMaxX(), 5000);
    EXPECT_EQ(model.GetMaxY(), 50000);
    EXPECT_EQ(model.TopY(), 100000); // 50000 is raised to the next multiple above it
    EXPECT_EQ(model.m_Series[0].marker.m_nShape, CGraphWnd::CMarker::Circle);
    EXPECT_TRUE(model.m_Series[0].marker.hasFill());
    EXPECT_EQ(model.m_Series[1].marker.m_nShape, CGraphWnd::CMarker::Triangle);
    EXPECT_FALSE(model.m_Series[1].marker.hasFill());

    graph.show();
    const QImage image = grabImage(&graph);
    savePng(image, QStringLiteral("price-graph.png"));
    // The price line bridges the row without a price: from the first point to
    // the third, its middle lies on the red line.
    const QPoint a = model.PointAt(500, 12000);
    const QPoint c = model.PointAt(2500, 31000);
    const QPoint middle((a.x() + c.x()) / 2, (a.y() + c.y()) / 2);
    bool red = false;
    for (int dy = -1; dy <= 1 && !red; ++dy)
        red = same(image.pixelColor(middle.x(), middle.y() + dy), QColor(192, 16, 16), 60);
    EXPECT_TRUE(red);

    // A style with an unknown shape keeps the old one.
    CGraphWnd::CMarker marker;
    marker.SetStyle(3, MakeColorRef(1, 2, 3), 5, 2);
    EXPECT_EQ(marker.m_nShape, CGraphWnd::CMarker::Circle);
    EXPECT_FALSE(marker.m_bFilled);
    EXPECT_EQ(marker.m_pBrush->color(), QColor(Qt::white));
}

TEST_F(GraphTest, GraphsWithoutRowsOrQuantitiesDrawOnlyTheFrame)
{
    CXGridCtrl empty(host.get());
    fillGrid(empty, {});
    CGraphWnd graph;
    ASSERT_TRUE(graph.Create(host.get(), 2112, QRect(0, 0, 300, 200), &empty));
    graph.Reload();
    graph.show();
    savePng(grabImage(&graph), QStringLiteral("price-graph-empty.png"));
    EXPECT_EQ(graph.graph().GetMaxX(), 0);

    CXGridCtrl noQuantities(host.get());
    fillGrid(noQuantities, {{{0, 1200, 1500}}, {{0, 0, 0}}});
    CGraphWnd second;
    ASSERT_TRUE(second.Create(host.get(), 2113, QRect(0, 0, 300, 200), &noQuantities));
    second.Reload();
    second.show();
    const QImage image = grabImage(&second);
    EXPECT_TRUE(same(image.pixelColor(150, 100), Qt::white));
    EXPECT_FALSE(second.graph().m_rcPlot.isValid() && second.graph().m_fScaleX > 0);

    // A graph with no grid at all.
    CGraphWnd bare(host.get());
    bare.resize(100, 60);
    bare.show();
    grabImage(&bare);
}

class HtmlTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        CHtmlCtrl::SetOpenHook([this](const QUrl &url) {
            opened.append(url.toString());
            return true;
        });
    }
    void TearDown() override
    {
        CHtmlCtrl::SetOpenHook({});
        ControlsTest::TearDown();
    }
    // Clicks the link whose text is `text`.
    static void clickLink(CHtmlCtrl &html, const QString &text)
    {
        const QTextCursor found = html.document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor inside(html.document());
        inside.setPosition(found.selectionStart() + 1);
        const QPoint at = html.cursorRect(inside).center();
        QTest::mouseClick(html.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    QStringList opened;
};

TEST_F(HtmlTest, AppLinksComeBackAsCommands)
{
    QLabel *label = placeholder(2501, QRect(10, 10, 500, 300));
    CHtmlCtrl html;
    ASSERT_TRUE(html.CreateFromStatic(host.get(), 2501));
    QApplication::processEvents();
    EXPECT_EQ(GetDlgItem(host.get(), 2501), &html);
    EXPECT_EQ(html.geometry(), QRect(10, 10, 500, 300));
    Q_UNUSED(label);
    EXPECT_FALSE(CHtmlCtrl().CreateFromStatic(host.get(), 9999));

    QSignalSpy commands(&html, &CHtmlCtrl::commandTriggered);
    html.LoadHtml(QStringLiteral("<html><body><p><a href=\"app:30510\">Jobs</a></p>"
                                 "<p><a href=\"app:Backup\">Backup</a></p>"
                                 "<p><a href=\"app:0\">Zero</a></p>"
                                 "<p><a href=\"app:Two%20Words\">Words</a></p>"
                                 "<p><a href=\"https://example.org/help.html\">Help</a></p>"
                                 "<p><a href=\"file:///tmp/feed.xml\">Feed</a></p></body></html>"));
    clickLink(html, QStringLiteral("Jobs"));
    ASSERT_TRUE(commands.wait(500));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 30510);
    EXPECT_TRUE(opened.isEmpty()); // an app: link never navigates

    clickLink(html, QStringLiteral("Backup"));
    QApplication::processEvents();
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(1).at(0).toInt(), CHtmlCtrl::kNamedLinkCommand);
    EXPECT_EQ(html.linkText(), QStringLiteral("Backup"));

    clickLink(html, QStringLiteral("Zero"));
    QApplication::processEvents();
    EXPECT_EQ(commands.at(2).at(0).toInt(), CHtmlCtrl::kNamedLinkCommand);
    EXPECT_EQ(html.linkText(), QStringLiteral("0"));

    // An escaped link comes back as written, and no click complains on the
    // error output.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        warnings << text;
    });
    clickLink(html, QStringLiteral("Words"));
    QApplication::processEvents();
    EXPECT_EQ(html.linkText(), QStringLiteral("Two Words"));
    clickLink(html, QStringLiteral("Zero"));
    QApplication::processEvents();
    qInstallMessageHandler(before);
    EXPECT_EQ(warnings, QStringList());
    ASSERT_EQ(commands.count(), 5);
    EXPECT_EQ(commands.at(3).at(0).toInt(), CHtmlCtrl::kNamedLinkCommand);
    EXPECT_EQ(html.linkText(), QStringLiteral("0"));
    commands.removeLast();
    commands.removeLast();

    clickLink(html, QStringLiteral("Help"));
    QApplication::processEvents();
    EXPECT_EQ(commands.count(), 3);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0), QStringLiteral("https://example.org/help.html"));
    EXPECT_EQ(html.linkText(), QStringLiteral("https://example.org/help.html"));
    // The page asked for replaces the one shown.
    EXPECT_TRUE(html.toPlainText().contains(QStringLiteral("https://example.org/help.html is opened in your web browser.")))
        << html.toPlainText().toStdString();

    html.LoadHtml(QStringLiteral("<html><body><p><a href=\"file:///tmp/feed.xml\">Feed</a></p></body></html>"));
    clickLink(html, QStringLiteral("Feed"));
    QApplication::processEvents();
    ASSERT_EQ(commands.count(), 4);
    EXPECT_EQ(commands.at(3).at(0).toInt(), CHtmlCtrl::kXmlPageCommand);
    EXPECT_EQ(opened.size(), 2); // and the page still opens

    // A blank page empties the control.
    html.Navigate(QStringLiteral("about:blank"));
    EXPECT_TRUE(html.toPlainText().isEmpty());
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(HtmlTest, AMissingBrowserIsToldAndThePageGivesWay)
{
    CHtmlCtrl::SetOpenHook([](const QUrl &) { return false; });
    CHtmlCtrl html;
    html.LoadHtml(QStringLiteral("<html><body><p>Old page</p></body></html>"));
    prompts().answer(platform::IDOK);
    html.Navigate(QStringLiteral("https://example.org/updates/"));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Tavrel cannot open the page\nhttps://example.org/updates/\n\nNo web "
                                                   "browser is set up on this computer."));
    EXPECT_FALSE(html.toPlainText().contains(QStringLiteral("Old page")));
    EXPECT_TRUE(html.toPlainText().contains(QStringLiteral("could not be opened")));
}
