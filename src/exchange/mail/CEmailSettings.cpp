#include "exchange/mail/CEmailSettings.h"

#include "app/base/CZqApp.h"
#include "app/base/FileChoice.h"
#include "controls/DlgItem.h"
#include "platform/Settings.h"

#include "platform/PlacedFile.h"

#include <QtCore/QFile>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr unsigned kBrowse = 30101;

struct TextField
{
    unsigned id;
    const char *label;
};
const TextField kTexts[] = {
    {1301, "Email Address"},
    {1302, "User Name (ID)"},
    {1303, "Password"},
    {1304, "Incoming mail server (POP3)"},
    {1305, "Outgoing mail server (SMTP)"},
    {1306, ""},
};
const TextField kChecks[] = {
    {1101, "Download files to this folder"},
    {1102, "Save files to a sub-folder under the folder above (sub-folder name = customer no) "},
    {1103, "Open the job"},
    {1104, "Send an email to customer"},
    {1105, "Delete emails from the server"},
    {1106, "If email has no Template#, search Customer's Templates by Item Description"},
    {1107, "Search Customer's History instead of Templates"},
    {1108, "Reserved"},
};

QString *textOf(CZqApp::EmailSettings &s, int i)
{
    QString *texts[] = {&s.Address, &s.LogonName, &s.LogonPass, &s.Incoming, &s.Outgoing, &s.DownloadTo};
    return texts[i];
}

int *numberOf(CZqApp::EmailSettings &s, int i)
{
    int *numbers[] = {&s.AutoDownload, &s.AutoByCus, &s.AutoOpen, &s.AutoReply,
                      &s.AutoDelete,   &s.Other1,    &s.Other2,   &s.Other3};
    return numbers[i];
}

} // namespace

CEmailSettings::CEmailSettings(QWidget *parent) : CDlg0(762, parent)
{
    m_strWindowTitle = QStringLiteral("Account Settings");
    resize(560, 576);
    auto group = [this](unsigned id, const QString &title, const QRect &rect) {
        auto *box = new QGroupBox(title, this);
        box->setGeometry(rect);
        SetDlgCtrlID(box, id);
    };
    group(1901, QStringLiteral("Logon Information:"), QRect(8, 8, 544, 112));
    group(1902, QStringLiteral("Server Information:"), QRect(8, 126, 544, 80));
    group(1903, QStringLiteral("Download Folder:"), QRect(8, 212, 544, 106));
    group(1904, QStringLiteral("After Saving Email as Order or Quote:"), QRect(8, 324, 544, 70));
    group(1905, QStringLiteral("Other Options:"), QRect(8, 400, 544, 116));
    const int rows[] = {30, 56, 82, 150, 176};
    for (int i = 0; i < 5; ++i) {
        AddLabel(QString::fromLatin1(kTexts[i].label), QRect(20, rows[i], 200, 22));
        AddEdit(kTexts[i].id, QRect(224, rows[i], 316, 22));
    }
    if (auto *password = qobject_cast<QLineEdit *>(GetDlgItem(this, 1303)))
        password->setEchoMode(QLineEdit::Password);
    AddEdit(1306, QRect(20, 236, 412, 22));
    AddButton(kBrowse, QStringLiteral("Browse..."), QRect(440, 234, 100, 26));
    const int checkRows[] = {264, 288, 348, 370, 422, 444, 466, 488};
    for (int i = 0; i < 8; ++i) {
        auto *check = new QCheckBox(QString::fromLatin1(kChecks[i].label), this);
        check->setGeometry(20, checkRows[i], 524, 20);
        SetDlgCtrlID(check, kChecks[i].id);
    }
    AddButton(1, QStringLiteral("OK"), QRect(324, 532, 108, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(444, 532, 108, 32));
}

bool CEmailSettings::OnInitDialog()
{
    CDlg0::OnInitDialog();
    for (unsigned id = 1901; id <= 1905; ++id)
        SetItemFont(id, 4);
    SetItemCueBanner(1305, CZqApp::ExampleOutgoingServer());
    ToControls();
    return true;
}

void CEmailSettings::ToControls()
{
    CZqApp::EmailSettings &s = ZqApp()->emailSettings();
    for (int i = 0; i < 6; ++i)
        SetItemText(kTexts[i].id, *textOf(s, i));
    for (int i = 0; i < 8; ++i)
        SetItemCheck(kChecks[i].id, *numberOf(s, i) != 0 ? 1 : 0);
}

void CEmailSettings::FromControls()
{
    CZqApp::EmailSettings &s = ZqApp()->emailSettings();
    for (int i = 0; i < 6; ++i)
        *textOf(s, i) = GetItemText(kTexts[i].id);
    for (int i = 0; i < 8; ++i)
        *numberOf(s, i) = IsItemChecked(kChecks[i].id) ? 1 : 0;
}

bool CEmailSettings::OnCommand(int id)
{
    if (id == int(kBrowse)) {
        FromControls();
        QString folder = ZqApp()->emailSettings().DownloadTo;
        if (BrowseForFolder(this, folder, QStringLiteral("Please select a downlaod folder"))) {
            ZqApp()->emailSettings().DownloadTo = folder;
            ToControls();
        }
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CEmailSettings::OnOK()
{
    FromControls();
    ZqApp()->SaveEmailSettings();
    ProtectSettingsFile();
    CDlg0::OnOK();
}

void CEmailSettings::OnCancel()
{
    ZqApp()->LoadEmailSettings();
    CDlg0::OnCancel();
}

void CEmailSettings::ProtectSettingsFile()
{
    platform::Settings::sync();
    const QString file = platform::Settings::fileName();
#ifdef Q_OS_UNIX
    // Through the open file, never by name, and only an ordinary file of
    // this user's: a link someone put in the settings file's place does not
    // get another file's mode changed.
    QString refusal;
    const int fd = platform::PlacedFile::Open(file, refusal, true);
    if (fd < 0)
        return;
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
#endif
}
