#include "PrintFixture.h"

#include "app/base/SharedDatabaseHolder.h"
#include "printing/Code39.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QRegularExpression>

#include <sys/stat.h>

namespace {

const char kKinds[] = {'0', '1', '2', '4', '5', '6', '7', '9'};

// The narrow/wide sequence of a module dump: runs of one module are narrow,
// longer runs wide.
QString widthsOfModules(const QString &bits)
{
    QString out;
    int i = 0;
    while (i < bits.size()) {
        int j = i;
        while (j < bits.size() && bits[j] == bits[i])
            ++j;
        out += j - i == 1 ? QLatin1Char('n') : QLatin1Char('w');
        i = j;
    }
    return out;
}

} // namespace

TEST(Code39, FullAsciiWritesTheShopsSymbolsAsTheStandardDoes)
{
    struct Case { const char *text; const char *symbols; };
    const Case cases[] = {
        {"^1234#", "%N1234/C"}, {"$7", "/D7"},   {"%5", "/E5"},   {"&9#", "/F9/C"}, {"(42#", "/H42/C"},
        {")3#", "/I3/C"},       {"!31000#", "/A31000/C"}, {"@21#", "%V21/C"}, {"ab", "+A+B"}, {"A-. ", "A-. "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Code39::FullAsciiSymbols(QLatin1String(c.text)), QLatin1String(c.symbols)) << c.text;
    EXPECT_EQ(Code39::SymbolsOfPrintedText(QStringLiteral("*^1234#*")), QStringLiteral("%N1234/C"));
    EXPECT_TRUE(Code39::FullAsciiSymbols(QStringLiteral("é")).isEmpty());
    // Every symbol: nine elements, three wide (the four shift symbols: bars all narrow).
    for (const QChar s : QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+%")) {
        const QString p = Code39::SymbolPattern(s);
        ASSERT_EQ(p.size(), 9) << QString(s).toStdString();
        EXPECT_EQ(p.count(QLatin1Char('w')), 3) << QString(s).toStdString();
    }
}

TEST(Code39, NarrowAndWideSequenceEqualsTheReferenceEncoder)
{
    if (!haveTool(QStringLiteral("zint")))
        GTEST_SKIP() << "zint is not installed";
    for (const char *text : {"^1234#", "&77#", "!31000#", "(5#", "@3#"}) {
        int code = 0;
        const QString dump = runTool(QStringLiteral("zint"),
                                     {QStringLiteral("-b"), QStringLiteral("9"), QStringLiteral("--dump"),
                                      QStringLiteral("-d"), QLatin1String(text)},
                                     &code);
        ASSERT_EQ(code, 0) << text;
        QString bits;
        for (const QString &hex : dump.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            bits += QStringLiteral("%1").arg(hex.toUInt(nullptr, 16), hex.size() * 4, 2, QLatin1Char('0'));
        while (bits.endsWith(QLatin1Char('0')))
            bits.chop(1);
        EXPECT_EQ(widthsOfModules(bits), Code39::Pattern(Code39::FullAsciiSymbols(QLatin1String(text)))) << text;
    }
}

TEST_F(PrintTest, ScannersReadEveryKindOfCodeThePrintEngineDraws)
{
    if (!haveTool(QStringLiteral("zbarimg")) || !haveTool(QStringLiteral("pdftoppm")))
        GTEST_SKIP() << "zbar-tools or poppler-utils are not installed";
    form->RegisterRenderer(152, 152, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.DrawPageHeader(dc, info);
        int y = f.m_nListTop;
        for (const char kind : kKinds) {
            f.m_barCode.Reset();
            f.m_barCode.m_cObjectKind = kind;
            f.m_barCode.m_nObject = 1234;
            f.m_barCode.m_nAction = 31000;
            PrintRect r(f.InchToDevice(1.0, true), y, f.InchToDevice(7.0, true), y);
            const int h = f.DrawBarCode(dc, r, kind != '1');
            f.DrawText(dc, PrintRect(f.InchToDevice(5.5, true), y, f.InchToDevice(8.0, true), y + h),
                       f.m_barCode.GetText(kind != '1'), 0x824);
            y += h + f.m_nLineHeight;
        }
        row = f.m_nRecords;
    });
    form->ResetOptions();
    form->m_nKind = 152;
    form->m_nRecords = 1;
    form->m_strTitle = QStringLiteral("Bar codes");
    const QString pdf = savePages(QStringLiteral("barcodes"));
    const QString png = tempPath(QStringLiteral("codes"));
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"), pdf, png});
    const QString read = runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), png + QStringLiteral("-1.png")});
    QStringList expected;
    for (const char kind : kKinds) {
        CBarCode code;
        code.m_cObjectKind = kind;
        code.m_nObject = 1234;
        code.m_nAction = 31000;
        expected << QStringLiteral("CODE-39:") + Code39::SymbolsOfPrintedText(code.GetText(kind != '1'));
    }
    QStringList got = read.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    got.sort();
    expected.sort();
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(expected.contains(QStringLiteral("CODE-39:%N1234/C")));
}

TEST_F(PrintTest, ALogoOfThreeHundredPixelsPerInchPrintsAtItsTrueSize)
{
    if (!haveTool(QStringLiteral("pdfimages")))
        GTEST_SKIP() << "pdfimages is not installed";
    const QString folder = tempPath(QString());
    SharedDatabaseHolder::current().setDataFolder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    QImage logo(600, 300, QImage::Format_RGB32);
    logo.fill(QColor(20, 90, 160));
    QPainter p(&logo);
    p.fillRect(QRect(40, 40, 200, 200), Qt::yellow);
    p.end();
    logo.setDotsPerMeterX(11811); // 300 pixels per inch
    logo.setDotsPerMeterY(11811);
    ASSERT_TRUE(logo.save(folder + QStringLiteral("/LogoEmail.bmp"), "BMP"));
    form->RegisterRenderer(153, 153, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.DrawLogo(dc, info);
        row = f.m_nRecords;
    });
    form->ResetOptions();
    form->m_nKind = 153;
    form->m_nRecords = 1;
    const QString pdf = savePages(QStringLiteral("logo"));
    const QString list = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    const QStringList lines = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3) << qPrintable(list);
    const QStringList cols = lines[2].simplified().split(QLatin1Char(' '));
    ASSERT_GE(cols.size(), 14);
    EXPECT_EQ(cols[3], QStringLiteral("600"));
    EXPECT_EQ(cols[4], QStringLiteral("300"));
    EXPECT_EQ(cols[12], QStringLiteral("300"));
    EXPECT_EQ(cols[13], QStringLiteral("300"));
    SharedDatabaseHolder::current().setDataFolder(QString());
}

TEST_F(PrintTest, LogosFollowTheFormOptionTheTargetAndTheFilesResolution)
{
    const QString folder = tempPath(QStringLiteral("data")) + QLatin1Char('/');
    QDir().mkpath(folder);
    SharedDatabaseHolder::current().setDataFolder(folder);
    // 96 x 48 pixels; the file's header says 0 pixels per metre.
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    ASSERT_TRUE(logo.save(folder + QStringLiteral("LogoPrint.bmp"), "BMP"));
    {
        QFile f(folder + QStringLiteral("LogoPrint.bmp"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(14 + 24);
        f.write(QByteArray(8, '\0'));
    }
    form->RegisterRenderer(153, 153, [](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
        f.DrawLogo(dc, info);
        f.DrawText(dc, PrintRect(0, 3000, 4000, 3200), QStringLiteral("Body"), 0x820);
        row = f.m_nRecords;
    });
    struct Case { const char *name; int options; const char *file; int width; };
    const Case cases[] = {
        {"no logo option on paper", 0, "LogoPrint.bmp", 0},
        {"\"Company Logo\" is option 5", 1 << 4, "LogoPrint.bmp", 600}, // screen resolution: 96 pixels are an inch
        {"option 16 is an item-line option, no logo", 1 << 15, "LogoPrint.bmp", 0},
        {"missing file", 1 << 4, "Missing.bmp", 0},
        {"a pipe under the logo's name: no logo, printed at once", 1 << 4, "Pipe", 0},
    };
    for (const Case &c : cases) {
        if (QLatin1String(c.file) == QLatin1String("Missing.bmp"))
            QFile::rename(folder + QStringLiteral("LogoPrint.bmp"), folder + QStringLiteral("Other.bmp"));
        if (QLatin1String(c.file) == QLatin1String("Pipe"))
            ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("LogoPrint.bmp")).constData(), 0600), 0);
        QElapsedTimer clock;
        clock.start();
        form->ResetOptions();
        form->m_nKind = 153;
        form->m_nRecords = 1;
        form->m_nOptions = c.options;
        RecordingDevice device(600, 600, 5100, 6600, true);
        EXPECT_EQ(print(device), 2) << c.name;
        int width = 0;
        for (const RecordingDevice::Shape &s : device.shapes())
            if (s.image)
                width = s.rect.width();
        EXPECT_EQ(width, c.width) << c.name;
        EXPECT_LT(clock.elapsed(), 5000) << c.name;
        EXPECT_TRUE(device.pageTexts(0).contains(QStringLiteral("Body"))) << c.name;
    }
    SharedDatabaseHolder::current().setDataFolder(QString());
}
