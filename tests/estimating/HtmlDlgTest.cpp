// The HTML window: text lines, item documents found or not, a file added
// and removed, a PDF shown inline and other documents handed to their own
// program.
#include "support/TestEnvironment.h"

#include "app/base/HtmlText.h"
#include "controls/CHtmlCtrl.h"
#include "estimating/CHtmlDlg.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtWidgets/QApplication>
#include <QtTest/QTest>

#include <QtCore/QElapsedTimer>

#include <sys/stat.h>

namespace {

class HtmlDlg : public TavrelTest
{
protected:
    void TearDown() override
    {
        CHtmlCtrl::SetOpenHook({});
        TavrelTest::TearDown();
    }
    static void snapshot(QWidget &w, const char *name)
    {
        QApplication::processEvents();
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
        QDir().mkpath(folder);
        EXPECT_TRUE(w.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name), "PNG"));
    }
    QString writePdf()
    {
        const QString path = tempPath(QStringLiteral("proof.pdf"));
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        QPainter painter(&writer);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 28));
        painter.drawText(QRect(0, 0, 8000, 2000), Qt::AlignCenter, QStringLiteral("Proof of the cards"));
        writer.newPage();
        painter.drawText(QRect(0, 0, 8000, 2000), Qt::AlignCenter, QStringLiteral("Back side"));
        painter.end();
        return path;
    }
};

TEST_F(HtmlDlg, TextModeShowsTwoLines)
{
    CHtmlDlg d(nullptr);
    d.m_strHtml = QStringLiteral("First line\nSecond line");
    onDialog<CHtmlDlg>([](CHtmlDlg &h) {
        EXPECT_EQ(h.view()->toPlainText(), QStringLiteral("First line\nSecond line"));
        EXPECT_FALSE(h.findChild<QWidget *>() == nullptr);
        EXPECT_FALSE(h.IsItemVisible(30101));
        EXPECT_FALSE(h.IsItemVisible(30405));
        snapshot(h, "html-text.png");
        return 2;
    });
    d.DoModal();
}

TEST_F(HtmlDlg, ASupportLinkOfAHelpPageOpensInTheWebBrowser)
{
    QList<QUrl> opened;
    CHtmlCtrl::SetOpenHook([&](const QUrl &url) {
        opened << url;
        return true;
    });
    QString html;
    AddHtmlHeading(html, QStringLiteral("About Caliper"), QStringLiteral("Thickness of a sheet."));
    AddSupportLinks(html, QStringLiteral("caliper.htm"), QStringLiteral("Show me more examples"), QString());
    CHtmlDlg d(nullptr);
    d.m_strHtml = html;
    onDialog<CHtmlDlg>([&](CHtmlDlg &h) {
        emit h.view()->anchorClicked(QUrl(QStringLiteral("app:") + SupportAddress() + QStringLiteral("caliper.htm")));
        QCoreApplication::processEvents();
        EXPECT_EQ(h.view()->toPlainText().trimmed(),
                  QStringLiteral("The page ") + SupportAddress() + QStringLiteral("caliper.htm is opened in your web "
                                                                                   "browser."));
        return 2;
    });
    d.DoModal();
    EXPECT_EQ(opened, QList<QUrl>{QUrl(SupportAddress() + QStringLiteral("caliper.htm"))});
}

TEST_F(HtmlDlg, ItemDocumentsNoneFoundThenAddedAndRemoved)
{
    const QString pdf = writePdf();
    prompts().answerFile(pdf);
    CHtmlDlg d(nullptr);
    d.m_nMode = CHtmlDlg::kItemDocuments;
    onDialog<CHtmlDlg>([&](CHtmlDlg &h) {
        EXPECT_EQ(h.windowTitle(), QStringLiteral("Item Documents: None found"));
        EXPECT_TRUE(h.IsItemVisible(30101));
        EXPECT_TRUE(h.view()->toPlainText().isEmpty());
        h.SendCommand(30101);
        EXPECT_EQ(h.windowTitle(), QStringLiteral("Item Documents: ") + pdf);
        EXPECT_TRUE(h.showingPdf());
        EXPECT_EQ(h.pdfPageCount(), 2);
        QTest::qWait(800); // the pages render in the background
        snapshot(h, "html-pdf.png");
        h.SendCommand(30405);
        EXPECT_EQ(h.windowTitle(), QStringLiteral("Item Documents: None found"));
        EXPECT_FALSE(h.showingPdf());
        h.SendCommand(2);
        return h.result();
    });
    d.DoModal();
    EXPECT_EQ(d.m_strDocument, QStringLiteral("about:Blank"));
    EXPECT_EQ(prompts().shown().value(0).caption, QStringLiteral("Attach a file to an Item"));
}

TEST_F(HtmlDlg, DocumentsItCannotShowOpenInTheirProgram)
{
    QStringList opened;
    CHtmlCtrl::SetOpenHook([&](const QUrl &url) {
        opened << url.toLocalFile();
        return true;
    });
    const QString rtf = tempPath(QStringLiteral("quote.rtf"));
    QFile file(rtf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1 Quote}");
    file.close();
    const QString html = tempPath(QStringLiteral("note.html"));
    QFile page(html);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<p>Proof <b>approved</b></p>");
    page.close();
    CHtmlDlg d(nullptr);
    d.m_nMode = CHtmlDlg::kItemDocuments;
    d.m_strDocument = rtf;
    onDialog<CHtmlDlg>([&](CHtmlDlg &h) {
        EXPECT_EQ(opened, (QStringList{rtf}));
        EXPECT_EQ(h.view()->toPlainText().trimmed(), QStringLiteral("The document quote.rtf is opened in its own program."));
        h.ShowDocument(html);
        EXPECT_EQ(h.view()->toPlainText().trimmed(), QStringLiteral("Proof approved"));
        h.ShowDocument(tempPath(QStringLiteral("gone.doc")));
        EXPECT_TRUE(h.view()->toPlainText().contains(QStringLiteral("is not found")));
        // A pipe put under a help page's, a text's or a picture's name is
        // refused at once, not waited on, and nothing is opened for it.
        for (const QString &name : {QStringLiteral("help.htm"), QStringLiteral("notes.txt"),
                                    QStringLiteral("manual.pdf"), QStringLiteral("logo.png")}) {
            const QString fifo = tempPath(name);
            QFile::remove(fifo);
            EXPECT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0) << name.toStdString();
            QElapsedTimer clock;
            clock.start();
            h.ShowDocument(fifo);
            EXPECT_LT(clock.elapsed(), 5000) << name.toStdString();
            EXPECT_EQ(h.view()->toPlainText().trimmed(),
                      QStringLiteral("Cannot use ") + fifo +
                          QStringLiteral(": it is not an ordinary file (it is a folder, a pipe, a device or a socket)."))
                << name.toStdString();
        }
        return 2;
    });
    d.DoModal();
    EXPECT_EQ(opened.size(), 1);
}

} // namespace
