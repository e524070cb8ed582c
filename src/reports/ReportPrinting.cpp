#include "reports/ReportPrinting.h"

#include "controls/CXChartCtrl.h"
#include "controls/CXTable.h"
#include "printing/CPrintForm.h"

int PrintReportTable(PrintService &service, CXChartCtrl *chart, int command, const QString &outputFile)
{
    CXTable *table = chart ? chart->table() : nullptr;
    if (!table || table->GetRowCount() == 0)
        return 0;
    auto *form = dynamic_cast<CPrintForm *>(&service);
    if (!form) {
        table->ApplyColumnFlags();
        service.PrintViewList(30005, nullptr, chart, table->m_title, table->m_subtitle, QString(), command);
        return 2;
    }
    form->ResetOptions();
    form->m_nKind = 100;
    form->m_nContext = 30005;
    form->m_pChart = chart;
    form->m_nRecords = table->GetRowCount();
    form->TakeReportTableTexts(*table);
    form->m_nFormNo = 100;
    form->FindForm();
    form->m_strOutputFile = outputFile;
    return form->DoPrint(command);
}
