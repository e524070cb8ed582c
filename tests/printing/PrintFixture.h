#pragma once

#include "printing/CPrintForm.h"
#include "printing/RecordingDevice.h"
#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

// A printed-documents object on its own, a recording device of Letter paper
// at 600 dpi, and a test kind (150) whose pages print "Row n" lines up to the
// body bottom, so that page breaks are known exactly.
class PrintTest : public TavrelTest
{
protected:
    static constexpr int kRowsKind = 150;

    void SetUp() override
    {
        TavrelTest::SetUp();
        form = std::make_unique<CPrintForm>();
        form->RegisterRenderer(kRowsKind, kRowsKind, [this](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
            f.DrawPageHeader(dc, info);
            int y = f.m_nListTop;
            while (row < f.m_nRecords && y + f.m_nLineHeight <= f.m_nBodyBottom) {
                f.DrawText(dc, PrintRect(0, y, 4000, y + f.m_nLineHeight), QStringLiteral("Row %1").arg(row), 0x820);
                y += f.m_nLineHeight;
                ++row;
            }
            f.AfterPrinted([this] { ++afterPrinted; });
            if (info.currentPage == abortOnPage && !info.isCounting())
                CPrintStatus_SetAbort();
        });
    }

    // Answers the next printer dialog with a PDF file as the printer.
    void printTo(const QString &pdf)
    {
        prompts().onDialog([pdf](QDialog &d) {
            auto *dialog = dynamic_cast<QPrintDialog *>(&d);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        });
    }

    // Sets up a run of the test kind with the number of rows.
    void setupRows(int rows)
    {
        form->ResetOptions();
        form->m_nKind = kRowsKind;
        form->m_nRecords = rows;
        form->m_form.ClearFields();
        form->m_form.m_FontSize = 90;
    }

    int print(RecordingDevice &device, PrintInfo::Pass pass = PrintInfo::Pass::Print)
    {
        return form->DoPrintOn(device, [&device] { device.newPage(); return true; }, pass);
    }

    // "Row n" texts of one page of the device.
    static QStringList rowTexts(const RecordingDevice &device, int page)
    {
        QStringList out;
        for (const QString &t : device.pageTexts(page))
            if (t.startsWith(QLatin1String("Row ")))
                out << t;
        return out;
    }

    // Prints the run set up into a PDF and saves its pages as PNGs at 80 dpi
    // under build/tests/printing (name-1.png, name-2.png ...); the PDF's path.
    QString savePages(const QString &name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/printing");
        QDir().mkpath(folder);
        const QString pdf = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
        form->m_strOutputFile = pdf;
        form->DoPrint(CPrint::kPrintDirect);
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"), pdf,
                           folder + QLatin1Char('/') + name});
        return pdf;
    }

    static void CPrintStatus_SetAbort();

    std::unique_ptr<CPrintForm> form;
    int afterPrinted = 0;
    int abortOnPage = -1;
};

// Runs a program; its standard output, or an empty text when it failed.
inline QString runTool(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        if (exitCode)
            *exitCode = -1;
        return QString();
    }
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline bool haveTool(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}
