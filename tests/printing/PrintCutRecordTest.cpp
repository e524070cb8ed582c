// The print engine's record of what it cut: every text drawn on the output is
// measured against its cell, and what did not fit is kept with its page.

#include "PrintFixture.h"

#include "controls/CXGridCtrl.h"
#include "printing/PrintCutRecord.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtGui/QPdfWriter>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>

#include <sys/stat.h>

namespace {

class PrintCutRecordTest : public PrintTest
{
protected:
    // One page drawn by the function, on the device, in the pass given.
    void drawPage(QPaintDevice &device, const std::function<void(CPrintForm &, QPainter &)> &draw,
                  PrintInfo::Pass pass = PrintInfo::Pass::Print, const QString &pdf = QString())
    {
        form->RegisterRenderer(155, 155, [draw](CPrintForm &f, QPainter &dc, PrintInfo &, int &row) {
            draw(f, dc);
            row = f.m_nRecords;
        });
        form->ResetOptions();
        form->m_nKind = 155;
        form->m_nRecords = 1;
        form->m_form.ClearFields();
        form->m_form.m_FontSize = 100;
        form->DoPrintOn(device, [] { return true; }, pass, pdf);
    }
};

const QString kLong = QStringLiteral(
    "Full colour brochure on gloss stock folded twice with a die cut pocket on the inside back panel and "
    "a perforated reply card, shrink wrapped in bundles of fifty and boxed for delivery to three branches");

} // namespace

TEST_F(PrintCutRecordTest, EveryTextIsMeasuredAgainstItsCell)
{
    ASSERT_EQ(kLong.size(), 200);
    const struct
    {
        const char *name;
        QString text;
        PrintRect cell;
        unsigned format;
        bool cut;
        PrintCutRecord::Kind kind;
    } cases[] = {
        // A date of about 450 units in a cell of 200: its end is clipped.
        {"date in a narrow cell", QStringLiteral("01/22/2025"), PrintRect(100, 1000, 300, 1150), 0x820, true,
         PrintCutRecord::Kind::Across},
        {"date in a wide cell", QStringLiteral("01/22/2025"), PrintRect(100, 1000, 2100, 1150), 0x820, false, {}},
        {"amount right-aligned", QStringLiteral("12,783.45"), PrintRect(100, 1000, 2100, 1150), 0x822, false, {}},
        // Blanks after a date set from the left show nothing when clipped;
        // set from the right they push its first figures out of the cell.
        {"date and blanks from the left", QStringLiteral("01/22/2025        "), PrintRect(100, 1000, 600, 1150), 0x820,
         false, {}},
        {"date and blanks from the right", QStringLiteral("01/22/2025        "), PrintRect(100, 1000, 600, 1150), 0x822,
         true, PrintCutRecord::Kind::Across},
        // Five lines of text in a cell one line tall.
        {"description in one line's height", kLong, PrintRect(100, 1000, 1300, 1150), 0x850, true,
         PrintCutRecord::Kind::Below},
        {"description in room for its lines", kLong, PrintRect(100, 1000, 1300, 4000), 0x850, false, {}},
        // "Production" is wider than the cell: broken between its letters at
        // a hyphen, no cut (the break is kept apart, below).
        {"word wider than its cell", QStringLiteral("In Production"), PrintRect(100, 1000, 350, 4000), 0x850, false,
         {}},
        // Sixty capitals need about 4,700 units at the body's size: broken
        // onto four lines or more of a cell 1,200 wide when it wraps, cut
        // when set on one.
        {"a word of sixty capitals in room for its lines", QString(60, QLatin1Char('W')),
         PrintRect(100, 1000, 1300, 4000), 0x850, false, {}},
        {"sixty capitals set on one line", QString(60, QLatin1Char('W')), PrintRect(100, 1000, 1300, 4000), 0x820, true,
         PrintCutRecord::Kind::Across},
        // Centred and wrapped at its words (a shop's address in a footer).
        {"an address centred on lines", QStringLiteral("Halvane Press \u00B7 12 Mill Road \u00B7 Springfield IL 62701"),
         PrintRect(100, 1000, 1300, 4000), 0x811, false, {}},
        {"unclipped past its cell", QStringLiteral("01/22/2025"), PrintRect(100, 1000, 300, 1150), 0x920, true,
         PrintCutRecord::Kind::Beyond},
        // The page is 5100 units wide.
        {"off the page's edge", QStringLiteral("Total"), PrintRect(5050, 1000, 5400, 1150), 0x920, true,
         PrintCutRecord::Kind::Page},
    };
    for (const auto &c : cases) {
        for (PrintInfo::Pass pass : {PrintInfo::Pass::Print, PrintInfo::Pass::Preview}) {
            RecordingDevice device(600, 600, 5100, 6600, true);
            drawPage(device, [&](CPrintForm &f, QPainter &dc) {
                dc.setFont(f.font(CPrint::FontBody));
                f.DrawText(dc, c.cell, c.text, c.format);
                // Measuring draws nothing and is not measured.
                f.DrawText(dc, c.cell, c.text, c.format | 0x400);
            }, pass);
            const PrintCutRecord &record = form->cutRecord();
            // Counted pages are drawn again for the output: one text measured.
            EXPECT_EQ(record.textsMeasured(), 1) << c.name;
            ASSERT_EQ(record.cuts().size(), c.cut ? 1u : 0u) << c.name << ": " << record.describe().join(QLatin1Char('\n')).toStdString();
            // Only the long word is broken, into pieces that fit the cell.
            const bool broken = c.text == QLatin1String("In Production") || (c.format & 0x10 && c.text.startsWith(QLatin1String("WWW")));
            ASSERT_EQ(record.breaks().empty(), !broken) << c.name;
            if (broken) {
                // The word's pieces in their order, each but the last with its
                // hyphen, each fitting the cell.
                const QString word = c.text.section(QLatin1Char(' '), -1);
                QString letters;
                for (const PrintCutRecord::Break &b : record.breaks()) {
                    EXPECT_TRUE(b.piece.endsWith(QLatin1Char('-'))) << b.piece.toStdString();
                    letters += b.piece.chopped(1);
                    EXPECT_LE(QFontMetrics(form->font(CPrint::FontBody), &device).horizontalAdvance(b.piece),
                              c.cell.width());
                }
                EXPECT_TRUE(word.startsWith(letters) && letters.size() < word.size()) << c.name;
                // 4,700 units of capitals take at least four lines of 1,200.
                EXPECT_GE(record.breaks().size(), c.text == word ? 3u : 1u) << c.name;
            }
            if (c.cut) {
                EXPECT_EQ(record.cuts()[0].kind, c.kind) << c.name;
                EXPECT_EQ(record.cuts()[0].page, 1) << c.name;
                EXPECT_EQ(record.cuts()[0].text, c.text) << c.name;
                EXPECT_EQ(record.cuts()[0].cell, c.cell.toQRect()) << c.name;
            }
        }
    }

    // The record as a file beside its PDF, read back as written.
    PrintCutRecord written;
    written.countText();
    written.setPage(3);
    written.add(PrintCutRecord::Kind::Below, QRect(10, 20, 30, 40), QSize(50, 60), QStringLiteral("a\tb\nc\\d"));
    const QString file = tempPath(QStringLiteral("x.pdf.cuts"));
    ASSERT_TRUE(written.write(file));
    PrintCutRecord read;
    ASSERT_TRUE(read.read(file));
    EXPECT_EQ(read.textsMeasured(), 1);
    ASSERT_EQ(read.cuts().size(), 1u);
    EXPECT_EQ(read.cuts()[0].page, 3);
    EXPECT_EQ(read.cuts()[0].kind, PrintCutRecord::Kind::Below);
    EXPECT_EQ(read.cuts()[0].cell, QRect(10, 20, 30, 40));
    EXPECT_EQ(read.cuts()[0].need, QSize(50, 60));
    EXPECT_EQ(read.cuts()[0].text, QStringLiteral("a\tb\nc\\d"));
    EXPECT_FALSE(read.read(tempPath(QStringLiteral("missing.cuts"))));
    // A pipe under the record's name is refused at once, not waited on.
    const QString fifo = tempPath(QStringLiteral("fifo.pdf.cuts"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(read.read(fifo));
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(PrintCutRecordTest, ThePictureOfThePageAgreesWithTheRecord)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    const QString pdf = tempPath(QStringLiteral("cut.pdf"));
    const bool keep = CPrint::RecordBesidePdf();
    CPrint::SetRecordBesidePdf(true);
    int need = 0;
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        drawPage(writer, [&](CPrintForm &f, QPainter &dc) {
            dc.setFont(f.font(CPrint::FontBody));
            need = dc.fontMetrics().horizontalAdvance(QStringLiteral("01/22/2025"));
            f.DrawText(dc, PrintRect(600, 1200, 800, 1400), QStringLiteral("01/22/2025"), 0x820);
            f.DrawText(dc, PrintRect(600, 2400, 3000, 2600), QStringLiteral("01/22/2025"), 0x820);
        }, PrintInfo::Pass::Print, pdf);
    }
    CPrint::SetRecordBesidePdf(keep);
    PrintCutRecord record;
    ASSERT_TRUE(record.read(PrintCutRecord::pathBeside(pdf)));
    EXPECT_EQ(record.textsMeasured(), 2);
    ASSERT_EQ(record.cuts().size(), 1u);
    EXPECT_EQ(record.cuts()[0].cell, QRect(600, 1200, 200, 200));
    ASSERT_GT(need, 300);

    // Rendered at 100 dpi: 6 device units a pixel.
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, tempPath(QStringLiteral("cut"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QImage page(tempPath(QStringLiteral("cut.png")));
    ASSERT_FALSE(page.isNull());
    const auto ink = [&](int left, int top, int right, int bottom) {
        int dark = 0;
        for (int y = top / 6; y < bottom / 6; ++y)
            for (int x = left / 6; x < right / 6; ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    ++dark;
        return dark;
    };
    // The cut date shows up to its cell's edge and not past it; the whole one
    // shows its full width.
    EXPECT_GT(ink(600, 1200, 800, 1400), 0);
    EXPECT_EQ(ink(806, 1200, 600 + need, 1400), 0);
    EXPECT_GT(ink(806, 2400, 600 + need, 2600), 0);
}

TEST_F(PrintCutRecordTest, AGridPrintsEveryRowFromItsDataAndWrapsItsTexts)
{
    // A grid of the shape of the reprice grid: sixty rows of which twenty
    // show, never drawn on the screen; money cells get their texts only when
    // drawn. The 31st row's remark is 150 lines long, taller than a page.
    QWidget parent;
    parent.resize(900, 600);
    CXGridCtrl grid;
    grid.AddColumn(QStringLiteral("Item"), 60, 1, QString(), 0);
    grid.AddColumn(QStringLiteral("Description"), 200, 1, QString(), 0);
    grid.AddColumn(QStringLiteral("Price in File"), 75, 8, QStringLiteral("$"), 0);
    grid.AddColumn(QStringLiteral("Remark"), 160, 1, QString(), 0);
    constexpr int kRows = 60;
    grid.SetRows(kRows, 20, false);
    for (int r = 0; r < kRows; ++r) {
        grid.SetCellText(r, 0, QStringLiteral("ITEM %1").arg(r + 1));
        grid.SetCellText(r, 1, r % 3 == 0 ? kLong : QStringLiteral("Postcards"));
        grid.SetCellValue(r, 2, 60000 + r * 1001); // 600.00, 610.01, ...
        grid.SetCellText(r, 3, QStringLiteral("Saved the Default Price"));
    }
    QStringList note;
    for (int k = 1; k <= 150; ++k)
        note << QStringLiteral("line %1").arg(k);
    grid.SetCellText(30, 3, note.join(QLatin1Char('\n')));
    // The 47th row's description is one word of 200 letters.
    QString word;
    for (int k = 0; k < 200; ++k)
        word += QChar(u'a' + k % 26);
    grid.SetCellText(46, 1, word);
    ASSERT_TRUE(grid.Create(&parent, 2111, 0, 0));

    form->ResetOptions();
    form->m_nKind = 200;
    form->m_pSourceWnd = &parent;
    form->m_pGrid = &grid;
    form->m_nRecords = kRows;
    form->m_strHeading1 = QStringLiteral("Job is Repriced");
    form->m_form.m_FontName = QStringLiteral("Tahoma");
    form->m_form.m_FontSize = 80;
    RecordingDevice device(600, 600, 5100, 6600, true);
    ASSERT_EQ(print(device), 2);

    QStringList words;
    for (const RecordingDevice::Text &t : device.texts())
        words << t.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int r = 0; r < kRows; ++r) {
        const int cents = 60000 + r * 1001;
        const QString amount = QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
        EXPECT_TRUE(words.contains(amount)) << "row " << r + 1 << " lacks " << amount.toStdString();
    }
    // The word does not take the grid below the legible size: it is broken
    // between letters, each piece but its last ending its line with a
    // hyphen, and is whole across its pieces.
    EXPECT_GE(form->m_dTableScale, PrintColumnFit::kLegibleFloor);
    QString joined;
    int pieces = 0;
    for (const RecordingDevice::Text &t : device.texts()) {
        if (joined.isEmpty() && !t.text.startsWith(QLatin1String("abcdefghij")))
            continue;
        if (joined.size() >= word.size())
            break;
        ++pieces;
        joined += t.text.endsWith(QLatin1Char('-')) ? t.text.chopped(1) : t.text;
        if (!t.text.endsWith(QLatin1Char('-')))
            break;
        // A piece fills its line: the hyphen had its room when it was cut.
        EXPECT_GT(t.text.size(), 20) << t.text.toStdString();
    }
    EXPECT_EQ(joined, word);
    EXPECT_GE(pieces, 2);
    EXPECT_EQ(int(form->cutRecord().breaks().size()), pieces - 1);
    // The description prints whole on every page it is on, wrapped in its cell.
    for (const QString &w : kLong.split(QLatin1Char(' ')))
        EXPECT_GE(words.count(w), 1) << w.toStdString();
    EXPECT_GE(words.count(QStringLiteral("branches")), 20);
    // The tall row goes on over the pages, every line once and in order,
    // within the body; the next row follows its last line.
    QStringList lines;
    int lastLinePage = -1;
    int nextRowPage = -1;
    for (const RecordingDevice::Text &t : device.texts()) {
        if (t.text.startsWith(QLatin1String("line "))) {
            lines << t.text;
            lastLinePage = t.page;
            EXPECT_LE(t.position.y(), form->m_nBodyBottom + form->m_nLineHeight) << t.text.toStdString();
        }
        if (t.text == QLatin1String("ITEM 32"))
            nextRowPage = t.page;
    }
    EXPECT_EQ(lines, note);
    EXPECT_GE(lastLinePage, 2);
    EXPECT_EQ(nextRowPage, lastLinePage);
    EXPECT_GT(form->cutRecord().textsMeasured(), kRows * 4);
    EXPECT_TRUE(form->cutRecord().isEmpty()) << form->cutRecord().describe().join(QLatin1Char('\n')).toStdString();
}
