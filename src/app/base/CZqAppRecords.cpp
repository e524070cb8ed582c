// The application object's record dialogs: a job, a customer, a service or an
// item opened from anywhere in the program. The areas that own the dialogs
// install the openers; this floor only routes to them.
#include "app/base/CZqApp.h"

#include "platform/Prompt.h"

namespace {
void sayNotAvailable(const QString &what)
{
    platform::Prompt::messageBox(what + QStringLiteral(" is not yet available in this version of Tavrel."));
}
} // namespace

void CZqApp::OpenJob(long jobId)
{
    if (jobId == 0)
        return;
    if (!m_jobOpener)
        return sayNotAvailable(QStringLiteral("The job window"));
    m_jobOpener(jobId);
}

void CZqApp::OpenCustomer(long cusNo)
{
    if (cusNo == 0)
        return;
    if (!m_customerOpener)
        return sayNotAvailable(QStringLiteral("The customer window"));
    m_customerOpener(cusNo);
}

void CZqApp::OpenService(long serNo, int value, bool more)
{
    if (serNo == 0)
        return;
    if (!m_serviceOpener)
        return sayNotAvailable(QStringLiteral("The service window"));
    m_serviceOpener(serNo, value, more);
}

void CZqApp::PreviewItem(long itemId)
{
    if (itemId == 0)
        return;
    if (!m_itemPreviewer)
        return sayNotAvailable(QStringLiteral("The item window"));
    m_itemPreviewer(itemId);
}

void CZqApp::OpenFileTransfer(long command)
{
    if (!m_fileTransfer)
        return sayNotAvailable(QStringLiteral("File transfer"));
    m_fileTransfer(command);
}

bool CZqApp::SendMail(const QString &to, const QString &subject, const QString &text, const QString &attachment)
{
    if (!m_mailSender) {
        sayNotAvailable(QStringLiteral("E-mail"));
        return false;
    }
    return m_mailSender(to, subject, text, attachment);
}

void CZqApp::ShowHtmlDialog(const QString &html)
{
    if (!m_htmlDialog)
        return sayNotAvailable(QStringLiteral("The HTML window"));
    m_htmlDialog(html);
}
