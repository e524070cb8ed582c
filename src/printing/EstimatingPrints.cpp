#include "printing/EstimatingPrints.h"

#include "controls/CXListCtrl.h"
#include "estimating/CPaperCutterDlg.h"
#include "estimating/CPriceBook.h"
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

// The list code of the price list.
constexpr int kPriceListCode = 44233;

int printPriceList(const CPriceBook::PrintRequest &request)
{
    if (!request.list)
        return 0;
    request.list->FetchAll();
    if (request.list->GetItemCount() < 1)
        return 0;
    CPrintForm form;
    form.ResetOptions();
    form.m_nKind = 100;
    form.m_nContext = kPriceListCode;
    form.m_pList = request.list;
    form.m_nRecords = request.list->GetItemCount();
    form.m_strTitle = QStringLiteral("Price List");
    QString *headings[4] = {&form.m_strHeading1, &form.m_strHeading2, &form.m_strHeading3, &form.m_strHeading4};
    for (int i = 0; i < 4 && i < request.headings.size(); ++i)
        *headings[i] = request.headings[i];
    // More lines than headings (several papers) share the last one.
    if (request.headings.size() > 4)
        form.m_strHeading4 = request.headings.mid(3).join(QStringLiteral("   "));
    form.m_nFormNo = 100;
    form.FindForm();
    form.m_strOutputFile = request.outputFile;
    return form.DoPrint(request.command);
}

} // namespace

void InstallEstimatingPrints()
{
    CPaperCutterDlg::SetPrintHook(printCuttingLayout);
    CPriceBook::SetPrintHook(printPriceList);
}
