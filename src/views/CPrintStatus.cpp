#include "views/CPrintStatus.h"

#include "platform/LongRun.h"
#include "platform/Prompt.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {
bool g_userAbort = false;
}

CPrintStatus::CPrintStatus(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CPrintStatus"));
    setWindowTitle(platform::Prompt::defaultCaption());
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Printing"), this));
    m_status = new QLabel(this);
    layout->addWidget(m_status);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrintStatus::OnCancel);
    setMinimumWidth(300);
    g_userAbort = false;
    adjustSize();
    if (parent)
        move(parent->frameGeometry().center() - rect().center());
    show();
    m_run = std::make_unique<LongRun>(this, [this] { return endAsked(); });
}

CPrintStatus::~CPrintStatus()
{
    // The run ends while the window is whole.
    hide();
    m_run.reset();
}

bool CPrintStatus::endAsked()
{
    if (g_userAbort)
        return true;
    if (platform::Prompt::messageBox(QStringLiteral("Do you want to stop now?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return false;
    g_userAbort = true;
    return true;
}

void CPrintStatus::SetStatusText(const QString &text)
{
    m_status->setText(text);
}

void CPrintStatus::OnCancel()
{
    g_userAbort = true;
    QDialog::reject();
}

void CPrintStatus::reject()
{
    OnCancel();
}

bool CPrintStatus::IsUserAbort()
{
    return g_userAbort;
}

void CPrintStatus::SetUserAbort(bool abort)
{
    g_userAbort = abort;
}
