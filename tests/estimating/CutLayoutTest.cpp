// The cutting layout: pieces and cuts of the shop's worked examples, the
// fit tolerance, sizes that give no layout, the bound on a pass and the
// rectangles drawn.
#include "support/TestEnvironment.h"

#include "estimating/CutLayout.h"

#include <QtGui/QImage>

namespace {

struct LayoutCase
{
    const char *sheet;
    const char *piece;
    int options;
    float trim;
    int pieces;
    int cuts;
    const char *pieceAfter; // the piece text as the layout rewrote it
};

TEST(CutLayoutRules, WorkedExamples)
{
    const LayoutCase cases[] = {
        // Three across, three down: two cuts in the first row (the third
        // piece ends on the edge), three under each of the first two rows.
        {"12 x 18", "4 x 6", 0, 0, 9, 8, "4 x 6"},
        {"12 x 18", "4 x 6", 0x02, 0, 9, 4, "4 x 6"},
        // Fits as typed, so not turned.
        {"12 x 18", "6 x 4", 0, 0, 8, 8, "6 x 4"},
        // Fits only turned (13 is wider than the sheet): three across with
        // two cuts between them, one cut off the waste below.
        {"12 x 18", "13 x 4", 0, 0, 3, 3, "13 x 4"},
        // Fits in neither orientation: the whole sheet.
        {"12 x 18", "20 x 5", 0, 0, 1, 0, "12 x 18"},
        // Waste at the right and at the bottom each cost a cut.
        {"13 x 19", "4 x 6", 0, 0, 9, 10, "4 x 6"},
        {"13 x 19", "4 x 6", 0x04, 0, 9, 11, "4 x 6"},
        {"13 x 19", "4 x 6", 0x0C, 0, 9, 12, "4 x 6"},
        // Gutters both ways; a gutter's second cut only before another piece.
        {"12 x 18", "4 x 6", 0x30, 0.25f, 4, 8, "4 x 6"},
        // Mixed grain: turned pieces in the band below, or the strip at the right.
        {"12 x 22", "4 x 6", 0x01, 0, 11, 10, "4 x 6"},
        {"12 x 22", "4 x 6", 0, 0, 9, 9, "4 x 6"},
        {"18 x 12", "5 x 3", 0x01, 0, 14, 14, "5 x 3"},
        {"18 x 12", "5 x 3", 0x03, 0, 14, 8, "5 x 3"},
        // The upper-case mark reads the same; the texts come back rewritten.
        {"12X18", "4X6", 0, 0, 9, 8, "4 x 6"},
        // The first stage of a 25 x 38 parent: upright 1 x 3, turned 2 x 2.
        {"25 x 38", "19 x 12.5", 0, 0, 3, 4, "19 x 12.5"},
        {"25 x 38", "12.5 x 19", 0, 0, 4, 3, "12.5 x 19"},
        // Ten pieces of 0.1 added up in floats end a hair past 1: they still fit.
        {"1 x 1", "0.1 x 1", 0, 0, 10, 9, "0.1 x 1"},
        // Grip bits change nothing in the counts.
        {"12 x 18", "4 x 6", 0xC0, 0, 9, 8, "4 x 6"},
    };
    for (const LayoutCase &c : cases) {
        CutLayout layout;
        QString sheet = QString::fromLatin1(c.sheet);
        QString piece = QString::fromLatin1(c.piece);
        const QString what = sheet + QStringLiteral(" / ") + piece + QStringLiteral(" options ") + QString::number(c.options);
        EXPECT_TRUE(layout.CalcLayout(sheet, piece, c.options, c.trim)) << what.toStdString();
        EXPECT_EQ(layout.m_nPieces, c.pieces) << what.toStdString();
        EXPECT_EQ(layout.m_nCuts, c.cuts) << what.toStdString();
        EXPECT_EQ(piece, QString::fromLatin1(c.pieceAfter)) << what.toStdString();
        EXPECT_EQ(int(layout.m_rects.size()), c.pieces + 1) << what.toStdString();
    }
}

TEST(CutLayoutRules, NoSizeNoLayout)
{
    // A zero, a negative side or text that does not parse gives nothing.
    const char *cases[][2] = {{"0 x 18", "4 x 6"}, {"12 x 18", "4 x 0"}, {"-12 x 18", "4 x 6"},
                              {"12 x 18", "4 x -6"}, {"x", "4 x 6"}, {"12 x 18", ""}, {"abc", "def"}};
    for (const auto &c : cases) {
        CutLayout layout;
        QString sheet = QString::fromLatin1(c[0]);
        QString piece = QString::fromLatin1(c[1]);
        EXPECT_FALSE(layout.CalcLayout(sheet, piece, 0x3F, 0.25f)) << c[0] << " / " << c[1];
        EXPECT_EQ(layout.m_nPieces, 0) << c[0];
        EXPECT_EQ(layout.m_nCuts, 0) << c[0];
        EXPECT_TRUE(layout.m_rects.empty()) << c[0];
    }
}

TEST(CutLayoutRules, APassStopsAtItsBound)
{
    // Pieces so small that float additions no longer move: the placement
    // still ends, with each pass at its bound.
    CutLayout layout;
    QString sheet = QStringLiteral("100000 x 100000");
    QString piece = QStringLiteral("0.0001 x 0.0001");
    EXPECT_TRUE(layout.CalcLayout(sheet, piece, 0, 0));
    EXPECT_EQ(layout.m_nPieces, CutLayout::kMaxPiecesPerPass);
    EXPECT_TRUE(layout.m_bCapped);
    // Exactly as many pieces as the bound, the last on the sheet's corner:
    // complete.
    QString square = QStringLiteral("100 x 100");
    QString unit = QStringLiteral("1 x 1");
    CutLayout full;
    EXPECT_TRUE(full.CalcLayout(square, unit, 0, 0));
    EXPECT_EQ(full.m_nPieces, 10000);
    EXPECT_FALSE(full.m_bCapped);
    CutLayout mixed;
    EXPECT_TRUE(mixed.CalcLayout(sheet, piece, 0x01, 0));
    EXPECT_LE(mixed.m_nPieces, 2 * CutLayout::kMaxPiecesPerPass);
}

TEST(CutLayoutRules, ParseFractionReadsTheTrimList)
{
    const struct
    {
        const char *text;
        float value;
    } cases[] = {{" ", 0}, {"", 0}, {"1/128", 1.0f / 128}, {"1/4", 0.25f}, {"15/16", 15.0f / 16},
                 {"1.0", 1}, {"1.5", 1.5f}, {"2.0", 2}, {"3/0", 3}, {"0.25", 0.25f}};
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(ParseFraction(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(CutLayoutRules, RectanglesScaleIntoTheAreaAndCentringMovesOnlyPieces)
{
    // 412 x 315 leaves 380 x 300 below and left of the labels: 20 pixels an
    // inch for a 13 x 19 sheet (the height decides... 300/19 < 380/13).
    CutLayout plain;
    plain.SetDrawingArea(QRect(0, 0, 412, 315));
    QString sheet = QStringLiteral("13 x 19");
    QString piece = QStringLiteral("4 x 6");
    ASSERT_TRUE(plain.CalcLayout(sheet, piece, 0, 0));
    const double scale = 300.0 / 19;
    const CutLayout::Box s = plain.m_rects[0];
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 15);
    EXPECT_EQ(s.right, int(13 * scale));
    EXPECT_EQ(s.bottom, 15 + int(19 * scale));
    // The first piece starts at the corner; the second one pixel before its
    // place so that neighbours share their outline.
    EXPECT_EQ(plain.m_rects[1].left, 0);
    EXPECT_EQ(plain.m_rects[1].right, int(4 * scale));
    EXPECT_EQ(plain.m_rects[2].left, int(4 * scale) - 1);

    CutLayout centred;
    centred.SetDrawingArea(QRect(0, 0, 412, 315));
    ASSERT_TRUE(centred.CalcLayout(sheet, piece, 0x0C, 0));
    EXPECT_EQ(centred.m_rects[0].left, s.left);
    EXPECT_EQ(centred.m_rects[0].right, s.right);
    const int dx = int(0.5 * scale + 0.49);
    const int dy = int(0.5 * scale + 0.49);
    for (std::size_t i = 1; i < plain.m_rects.size(); ++i) {
        EXPECT_EQ(centred.m_rects[i].left, plain.m_rects[i].left + dx) << i;
        EXPECT_EQ(centred.m_rects[i].top, plain.m_rects[i].top + dy) << i;
    }
}

} // namespace
