// Printing a 10,000-row table to a PDF through the print engine, beside a
// plain QPainter loop that writes the same cells on pages of the same size.

#include "BenchSupport.h"
#include "printing/CPrintForm.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QFontMetrics>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 4;

QString cellText(int row, int column)
{
    switch (column) {
    case 0: return QStringLiteral("Customer %1").arg(row % 500);
    case 1: return QString::number(1000 + row);
    case 2: return QStringLiteral("Flyers, %1 colours, folded").arg(row % 4 + 1);
    default: return QStringLiteral("%1.%2").arg(row % 9000).arg(row % 100, 2, 10, QLatin1Char('0'));
    }
}

void fillTable(CXTable &table)
{
    table.Reset();
    table.SetSize(kRows, kColumns);
    table.SetColumnName(0, QStringLiteral("Customer"), 20, 10);
    table.SetColumnName(1, QStringLiteral("Job"), 8, 10);
    table.SetColumnName(2, QStringLiteral("Description"), 30, 10);
    table.SetColumnName(3, QStringLiteral("Amount"), 12, 10);
    table.m_totalMode = CXTable::TotalsNone;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            table.SetCellText(r, c, cellText(r, c));
}

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_EngineTableToPdf(benchmark::State &state)
{
    CPrintForm form;
    for (auto _ : state) {
        state.PauseTiming();
        form.ResetOptions();
        fillTable(form.m_table);
        form.m_nKind = 101;
        form.m_nRecords = kRows;
        form.m_form.ClearFields();
        form.m_form.m_FontSize = 90;
        form.m_strOutputFile = folder().filePath(QStringLiteral("engine.pdf"));
        state.ResumeTiming();
        form.DoPrint(CPrint::kPrintDirect);
    }
}
BENCHMARK(BM_EngineTableToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PlainPainterToPdf(benchmark::State &state)
{
    for (auto _ : state) {
        QPdfWriter writer(folder().filePath(QStringLiteral("plain.pdf")));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&writer);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(75);
        p.setFont(font);
        const QFontMetrics fm(font, &writer);
        const int line = 2 * fm.height() - 75;
        const int widths[kColumns] = {1350, 600, 2000, 1150};
        const int top = 1050;
        const int bottom = 6600 - 4 * line;
        int y = top;
        for (int r = 0; r < kRows; ++r) {
            int x = 0;
            for (int c = 0; c < kColumns; ++c) {
                p.drawText(QRect(x + 30, y, widths[c] - 60, line),
                           (c == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine,
                           cellText(r, c));
                x += widths[c];
            }
            y += line;
            if (y > bottom && r + 1 < kRows) {
                writer.newPage();
                y = top;
            }
        }
    }
}
BENCHMARK(BM_PlainPainterToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
