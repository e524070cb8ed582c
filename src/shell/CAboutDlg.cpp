#include "shell/CAboutDlg.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/HtmlText.h"
#include "app/base/ImageList.h"
#include "app/base/SystemInfo.h"
#include "app/base/Workstations.h"
#include "controls/DlgItem.h"
#include "views/CNoteDlg.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {
constexpr int kAboutPicture = 15;
}

CAboutDlg::CAboutDlg(const CZqApp &app, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(WindowTitle());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    auto *outer = new QHBoxLayout(this);
    auto *icon = new QLabel(this);
    SetDlgCtrlID(icon, IDC_ICON);
    if (const ImageList *list = Appearance::instance().GetImageList(133))
        icon->setPixmap(list->pixmap(kAboutPicture));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    outer->addWidget(icon);

    auto *right = new QVBoxLayout;
    auto *grid = new QGridLayout;
    QString workstation;
    GetSystemInfoText(workstation, 0);
    QString database;
    GetDatabaseFileInfo(database);
    grid->addWidget(addPanel(IDC_PANEL_COMPANY, QStringLiteral("My Company"), app.m_company.FormatAddress(4)), 0, 0);
    grid->addWidget(addPanel(IDC_PANEL_PROGRAM, QStringLiteral("My Tavrel"), GetProgramFileInfo(0)), 0, 1);
    grid->addWidget(addPanel(IDC_PANEL_DATABASE, QStringLiteral("My Database"), database), 1, 0);
    grid->addWidget(addPanel(IDC_PANEL_WORKSTATION, QStringLiteral("My Workstation"), workstation), 1, 1);
    right->addLayout(grid);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton *users = buttons->addButton(QStringLiteral("Users..."), QDialogButtonBox::ActionRole);
    SetDlgCtrlID(users, IDC_USERS);
    connect(users, &QPushButton::clicked, this, &CAboutDlg::OnUsers);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    right->addWidget(buttons);
    outer->addLayout(right, 1);
    setMinimumWidth(760);
}

CAboutDlg::~CAboutDlg() = default;

QLabel *CAboutDlg::addPanel(unsigned id, const QString &heading, const QString &text)
{
    auto *panel = new QLabel(heading + QLatin1Char('\n') + text, this);
    SetDlgCtrlID(panel, id);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panel->setWordWrap(true);
    panel->setTextInteractionFlags(Qt::NoTextInteraction);
    panel->setMargin(8);
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

QString CAboutDlg::panelText(unsigned id) const
{
    return GetControlText(GetDlgItem(this, id));
}

void CAboutDlg::OnUsers()
{
    CNoteDlg note(QStringLiteral("About"), QStringLiteral("Users"), WorkstationsText(), CNoteDlg::ShowText, this);
    note.DoModal();
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}
