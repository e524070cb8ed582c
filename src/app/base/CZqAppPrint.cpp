#include "app/base/CZqApp.h"

#include "app/base/PrintService.h"
#include "platform/Prompt.h"

void CZqApp::setPrintService(std::unique_ptr<PrintService> service)
{
    m_printService = std::move(service);
}

void CZqApp::PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2, const QString &caption3)
{
    if (!list)
        return;
    if (!m_printService) {
        platform::Prompt::messageBox(QStringLiteral("Printing a list is not yet available in this version."));
        return;
    }
    m_printService->PrintList(list, caption1, caption2, caption3, 57607);
}
