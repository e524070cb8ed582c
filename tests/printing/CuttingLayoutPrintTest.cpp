// The cutting layout dialog's print: one page with both layouts and their
// captions, read back from the PDF.
#include "support/ShopTest.h"

#include "estimating/CPaperCutterDlg.h"
#include "estimating/PaperCutting.h"
#include "printing/EstimatingPrints.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>

namespace {

class CuttingLayoutPrint : public ShopTest
{
protected:
    void TearDown() override
    {
        CPaperCutterDlg::SetPrintHook({});
        ShopTest::TearDown();
    }
};

TEST_F(CuttingLayoutPrint, BothStagesOnOnePage)
{
    InstallEstimatingPrints();
    PaperCutting::SaveOptions(PaperCutting::kDefaultOptionsKind, QString(), CutStages());
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
    QDir().mkpath(folder);
    const QString pdf = folder + QStringLiteral("/cutting-layout-print.pdf");
    QFile::remove(pdf);
    CPaperCutterDlg d(nullptr);
    d.m_strRibbonTitle = QStringLiteral("70# Gloss Text 25 x 38 White");
    d.m_strPrintFile = pdf;
    d.m_stages.parentSize = QStringLiteral("25 x 38");
    d.m_stages.runSize = QStringLiteral("12.5 x 19");
    d.m_stages.finishSize = QStringLiteral("4 x 6");
    onDialog<CPaperCutterDlg>([](CPaperCutterDlg &c) {
        c.SendCommand(30330);
        return 2;
    });
    d.DoModal();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected : {"Cutting Layout", "70# Gloss Text 25 x 38 White", "Parent Size 25 x 38", "4 out 3 cut",
                                 "Run Size 12.5 x 19", "9 up 10 cut", "Finish Size 4 x 6",
                                 "Total 36 out from Parent Size"})
        EXPECT_TRUE(words.contains(QString::fromLatin1(expected))) << expected << "\n" << words.toStdString();
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), pdf,
                                                   folder + QStringLiteral("/cutting-layout-print")});
}

TEST_F(CuttingLayoutPrint, WithoutThePrintedPageItSaysSo)
{
    prompts().answer(platform::IDOK);
    CPaperCutterDlg d(nullptr);
    onDialog<CPaperCutterDlg>([](CPaperCutterDlg &c) {
        c.SendCommand(30330);
        return 2;
    });
    d.DoModal();
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Printing the cutting layout is not yet available in this version of Tavrel.")}));
}

} // namespace
