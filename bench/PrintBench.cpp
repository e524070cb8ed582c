// Printing a 10,000-row table to a PDF through the print engine, beside a
// plain QPainter loop that writes the same cells on pages of the same size;
// and how soon a preview shows its first page.

#include "BenchSupport.h"
#include "controls/CXListCtrl.h"
#include "printing/CPrintForm.h"
#include "printing/PrintColumnFit.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtGui/QFontMetrics>
#include <QtGui/QImage>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtWidgets/QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

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

// A preview of a 45,089-row table opened on its first page: the columns
// measured, page 1 found and drawn at screen size (the other pages are found
// later, while the window waits).
void BM_PreviewFirstPage(benchmark::State &state)
{
    constexpr int kPreviewRows = 45089;
    CPrintForm form;
    for (auto _ : state) {
        state.PauseTiming();
        form.ResetOptions();
        form.m_table.Reset();
        form.m_table.SetSize(kPreviewRows, kColumns);
        form.m_table.SetColumnName(0, QStringLiteral("Customer"), 20, 10);
        form.m_table.SetColumnName(1, QStringLiteral("Job"), 8, 10);
        form.m_table.SetColumnName(2, QStringLiteral("Description"), 30, 10);
        form.m_table.SetColumnName(3, QStringLiteral("Amount"), 12, 10);
        form.m_table.m_totalMode = CXTable::TotalsNone;
        for (int r = 0; r < kPreviewRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                form.m_table.SetCellText(r, c, cellText(r, c));
        form.m_nKind = 101;
        form.m_nRecords = kPreviewRows;
        form.m_form.ClearFields();
        form.m_form.m_FontSize = 90;
        state.ResumeTiming();
        form.BeginPreview(1200, 1200, 10200, 13200);
        QImage page(850, 1100, QImage::Format_RGB32);
        page.setDotsPerMeterX(47244);
        page.setDotsPerMeterY(47244);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            painter.scale(850.0 / 10200, 1100.0 / 13200);
            form.DrawPreviewPage(painter, 1);
        }
        form.EndPreview();
    }
}
BENCHMARK(BM_PreviewFirstPage)->Unit(benchmark::kMillisecond)->Iterations(5);

// The preview of the list on the screen, 200,000 rows of a record list:
// the time to its first page (the list's texts read, the columns measured,
// page 1 found and drawn at screen size), and, as its pages are then
// counted beside the window, the longest time one page takes to find
// (the window answers, and its Stop is seen, between two pages).
void BM_ListPreviewFirstPage(benchmark::State &state)
{
    constexpr int kListRows = 200000;
    CXListCtrl list;
    list.AddColumn(QStringLiteral("Customer"), 160, 10, true);
    list.AddColumn(QStringLiteral("Job"), 60, 4);
    list.AddColumn(QStringLiteral("Description"), 220, 10);
    list.AddColumn(QStringLiteral("Amount"), 90, 5);
    for (int r = 0; r < kListRows; ++r) {
        const int row = list.InsertRow(r, cellText(r, 0), r + 1);
        for (int c = 1; c < kColumns; ++c)
            list.SetItemText(row, c, cellText(r, c));
    }
    CPrintForm form;
    qint64 longestPage = 0;
    for (auto _ : state) {
        form.ResetOptions();
        form.m_nKind = 100;
        form.m_pList = &list;
        form.m_nRecords = list.GetItemCount();
        form.m_form.ClearFields();
        form.m_form.m_FontSize = 90;
        form.BeginPreview(1200, 1200, 10200, 13200);
        QImage page(850, 1100, QImage::Format_RGB32);
        page.setDotsPerMeterX(47244);
        page.setDotsPerMeterY(47244);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            painter.scale(850.0 / 10200, 1100.0 / 13200);
            form.DrawPreviewPage(painter, 1);
        }
        state.PauseTiming();
        for (int n = 0; n < 200; ++n) {
            QElapsedTimer one;
            one.start();
            if (!form.FindNextPreviewPage())
                break;
            longestPage = std::max(longestPage, one.nsecsElapsed() / 1000);
        }
        form.EndPreview();
        state.ResumeTiming();
    }
    state.counters["page_find_us"] = double(longestPage);
}
BENCHMARK(BM_ListPreviewFirstPage)->Unit(benchmark::kMillisecond)->Iterations(3);

// The widest of 1.78 million different texts of a column, as the column fit
// looks for it in a printed list.
void BM_WidestOfDistinctTexts(benchmark::State &state)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(75);
    const QFontMetrics metrics(font);
    std::vector<QString> texts;
    texts.reserve(1780000);
    for (int n = 0; n < 1780000; ++n)
        texts.push_back(QStringLiteral("Brochures %1-%2").arg(1000 + n / 18).arg(n % 18 + 1000));
    for (auto _ : state) {
        const int widest = PrintColumnFit::WidestText(texts, [&metrics](const QString &text) {
            return metrics.horizontalAdvance(text) + 50;
        });
        benchmark::DoNotOptimize(widest);
    }
}
BENCHMARK(BM_WidestOfDistinctTexts)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
