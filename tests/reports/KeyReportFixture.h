#pragma once

// A small hand-made shop for the Key Reports' renderers: the shared
// database of a fresh shop, the clock fixed on 16 March 2011 and the period
// March 2011, and the rendered table read back row by row.

#include "support/ShopTest.h"

#include "app/base/PriceText.h"
#include "app/base/Appearance.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXTable.h"
#include "controls/DlgItem.h"
#include "platform/Clock.h"
#include "printing/CPrintForm.h"
#include "reports/CReportRun.h"
#include "reports/ReportPrinting.h"

#include <memory>

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QStringList>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QLabel>

#include <initializer_list>

class KeyReportFixture : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 0)));
        // The fixtures make their own customers, employees and payment kinds.
        execAll({"DELETE FROM Customers", "DELETE FROM Employees", "DELETE FROM PayGroups", "DELETE FROM PaymentTypes"});
    }
    void TearDown() override
    {
        platform::Clock::reset();
        ShopTest::TearDown();
    }

    void execAll(std::initializer_list<const char *> rows)
    {
        for (const char *sql : rows)
            exec(QString::fromLatin1(sql));
    }

    // A new run of the report code for March 2011, at 9:00 on the 16th.
    CReportRun &context(int code)
    {
        m_run = std::make_unique<CReportRun>(SharedDatabase(), table);
        CReportRun &c = *m_run;
        c.code = code;
        c.fromDate = DateTime(2011, 3, 1);
        c.toDate = DateTime(2011, 3, 31);
        c.thisPeriod = QStringLiteral(" between #03/01/2011# and #03/31/2011# ");
        c.lastPeriod = QStringLiteral(" between #03/01/2010# and #03/31/2010#");
        c.filter = QStringLiteral(" (PostingDate ") + c.thisPeriod + QStringLiteral(") ");
        c.now = DateTime(2011, 3, 16, 9, 0);
        c.nowFixed = true;
        return c;
    }

    // One text per row: its flags, ":", then the cells joined by "|".
    QStringList rows(int firstColumn = 0, int lastColumn = -1) const
    {
        QStringList out;
        const int last = lastColumn < 0 ? table.GetColumnCount() - 1 : lastColumn;
        for (int r = 0; r < table.GetRowCount(); ++r) {
            QStringList cells;
            for (int c = firstColumn; c <= last; ++c)
                cells << table.GetCellText(r, c);
            out << QString::number(table.GetRowFlags(r)) + QLatin1Char(':') + cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QString cell(int row, int column) const { return table.GetCellText(row, column); }
    Money amount(int row, int column) const { return table.GetCellValue(row, column); }
    // The first row whose column holds the text; -1 when none.
    int rowOf(const QString &text, int column) const
    {
        for (int r = 0; r < table.GetRowCount(); ++r) {
            if (table.GetCellText(r, column) == text)
                return r;
        }
        return -1;
    }

    // Draws the table as the reports view's chart window shows it into
    // build/tests/reports/<name>.png.
    void savePng(const QString &name)
    {
        Appearance::instance().LoadViewSettings();
        QWidget host;
        host.resize(1000, 600);
        auto *place = new QLabel(&host);
        place->setGeometry(0, 0, 1000, 600);
        SetDlgCtrlID(place, 1001);
        auto *chart = new CXChartCtrl;
        ASSERT_TRUE(chart->CreateInDlgItem(&host, 1001, 210));
        chart->LoadTable(&table, CXChartCtrl::ChartTable);
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/reports");
        QDir().mkpath(folder);
        EXPECT_TRUE(chart->renderImage().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG"));
    }

    // The table printed as the reports view prints it, through the printer
    // dialog to a PDF file (the printer's page and margins), read back by
    // pdftotext -layout; empty when it was not printed.
    QString printedText(const QString &name)
    {
        const QString pdf = tempPath(name + QStringLiteral(".pdf"));
        prompts().onDialog([pdf](QDialog &d) {
            auto *dialog = dynamic_cast<QPrintDialog *>(&d);
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        });
        CPrintForm form;
        CXChartCtrl chart;
        chart.resize(800, 600);
        chart.LoadTable(&table, 0);
        if (PrintReportTable(form, &chart, CPrint::kPrintDialog) != 2)
            return QString();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static bool havePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

    CXTable table;
    std::unique_ptr<CReportRun> m_run;
};

// The run's now as the reports write it.
inline const QString kNowText = QStringLiteral("Wednesday, March 16, 2011   09:00 AM");

inline Money Cents(std::int64_t cents)
{
    return Money::fromCents(cents);
}
