#include "exchange/mail/CMailCompose.h"

#include "controls/DlgItem.h"
#include "platform/Prompt.h"

#include <QtCore/QFileInfo>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

namespace {
constexpr unsigned kTo = 1301;
constexpr unsigned kSubject = 1302;
constexpr unsigned kText = 1303;
constexpr unsigned kFrom = 1304;
constexpr unsigned kAttachment = 1305;
} // namespace

CMailCompose::CMailCompose(const QString &from, const QString &to, const QString &subject, const QString &text,
                           const QString &attachment, QWidget *parent)
    : CDlg0(763, parent), m_strTo(to), m_strSubject(subject), m_strText(text)
{
    m_strWindowTitle = QStringLiteral("New Message");
    resize(620, 520);
    AddLabel(QStringLiteral("From:"), QRect(8, 12, 80, 22));
    AddLabel(from, QRect(92, 12, 520, 22), kFrom);
    AddLabel(QStringLiteral("To:"), QRect(8, 40, 80, 22));
    m_to = AddEdit(kTo, QRect(92, 40, 520, 22));
    AddLabel(QStringLiteral("Subject:"), QRect(8, 68, 80, 22));
    m_subject = AddEdit(kSubject, QRect(92, 68, 520, 22));
    AddLabel(QStringLiteral("Attached:"), QRect(8, 96, 80, 22));
    AddLabel(attachment.isEmpty() ? QStringLiteral("(none)") : QFileInfo(attachment).fileName(),
             QRect(92, 96, 520, 22), kAttachment);
    m_text = AddMultiLineEdit(kText, QRect(8, 124, 604, 340));
    AddButton(1, QStringLiteral("Send"), QRect(384, 476, 108, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(504, 476, 108, 32));
    AddSizeMarker(QPoint(620, 520));
}

bool CMailCompose::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_to->setText(m_strTo);
    m_subject->setText(m_strSubject);
    m_text->setPlainText(QString(m_strText).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    (m_strTo.isEmpty() ? static_cast<QWidget *>(m_to) : static_cast<QWidget *>(m_text))->setFocus();
    return true;
}

void CMailCompose::OnOK()
{
    if (m_to->text().trimmed().isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("Please enter the address to send the email to."));
        m_to->setFocus();
        return;
    }
    m_strTo = m_to->text().trimmed();
    m_strSubject = m_subject->text();
    m_strText = m_text->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    CDlg0::OnOK();
}

void CMailCompose::OnSize(int type, int cx, int cy)
{
    CDlg0::OnSize(type, cx, cy);
    if (!CalcSizeDelta(type, cx, cy))
        return;
    GrowItemBy(kText, widthDelta(), heightDelta());
    GrowItemBy(kTo, widthDelta(), 0);
    GrowItemBy(kSubject, widthDelta(), 0);
    MoveItemBy(1, widthDelta(), heightDelta());
    MoveItemBy(2, widthDelta(), heightDelta());
}
