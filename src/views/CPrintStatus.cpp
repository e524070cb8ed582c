#include "views/CPrintStatus.h"

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
}

CPrintStatus::~CPrintStatus() = default;

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
