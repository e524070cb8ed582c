#include "printing/EstimatingPrints.h"

#include "estimating/CPaperCutterDlg.h"
#include "printing/CPrintForm.h"

#include <QtGui/QPainter>

namespace {

// The kind of the cutting layout page.
constexpr int kCuttingLayoutKind = 205;

CPrintForm::CutterLayout pageLayout(const CLayout *layout)
{
    CPrintForm::CutterLayout page;
    if (!layout)
        return page;
    page.caption = layout->layout().m_strCaption1;
    page.secondText = layout->layout().m_strCaption2;
    if (!layout->layout().m_rects.empty())
        page.draw = [layout](QPainter &dc, const QRect &area) {
            return layout->DrawLayout(dc, area.left(), area.top());
        };
    return page;
}

bool printCuttingLayout(const CPaperCutterDlg::PrintRequest &request)
{
    CPrintForm form;
    form.ResetOptions();
    const CPrintForm::CutterLayout first = pageLayout(request.first);
    const CPrintForm::CutterLayout second = pageLayout(request.second);
    form.RegisterRenderer(kCuttingLayoutKind, kCuttingLayoutKind,
                          [&](CPrintForm &f, QPainter &dc, PrintInfo &info, int &row) {
                              f.PrintPaperCutter(dc, info, first, second);
                              ++row;
                          });
    form.m_nKind = kCuttingLayoutKind;
    form.m_nRecords = 1;
    form.m_strTitle = QStringLiteral("Cutting Layout");
    form.m_strHeading1 = request.title;
    form.m_strHeading2 = request.heading;
    form.m_nFormNo = 100;
    form.FindForm();
    form.m_strOutputFile = request.outputFile;
    return form.DoPrint(request.command) == 2;
}

} // namespace

void InstallEstimatingPrints()
{
    CPaperCutterDlg::SetPrintHook(printCuttingLayout);
}
