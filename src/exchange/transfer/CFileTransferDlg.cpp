#include "exchange/transfer/CFileTransferDlg.h"

#include "app/base/FileChoice.h"
#include "app/base/HtmlText.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "views/DatabaseBackup.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

namespace {
constexpr unsigned kFile = 1201;
constexpr unsigned kTarget = 1202;
constexpr unsigned kBar = 1601;
constexpr unsigned kBrowse = 1001;
constexpr unsigned kStart = 30230;
constexpr unsigned kTargetLabel = 1904;
const QString kStop = QStringLiteral("&Stop");

QString baseName(const QString &path)
{
    const int slash = int(std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/'))));
    return path.mid(slash + 1);
}
} // namespace

QString CFileTransferDlg::SentFileName(const QString &localPath)
{
    return QStringLiteral("PI-") + SupportCustomerNo() + baseName(localPath);
}

CFileTransferDlg::CFileTransferDlg(int mode, QWidget *parent) : CDlg0(450, parent), m_nMode(mode)
{
    m_strWindowTitle = QStringLiteral("Tavrel File Transfer Tool");
    resize(540, 300);
    AddPlaceholder(1901, QRect(0, 0, 540, 72));
    AddPlaceholder(1902, QRect(0, 72, 540, 24));
    AddLabel(QStringLiteral("File Name"), QRect(16, 116, 110, 24));
    m_file = new QComboBox(this);
    m_file->setEditable(true);
    m_file->setGeometry(130, 114, 284, 26);
    SetDlgCtrlID(m_file, kFile);
    AddButton(kBrowse, QStringLiteral("&Browse..."), QRect(422, 114, 104, 26));
    m_targetLabel = AddLabel(QString(), QRect(16, 152, 110, 24), kTargetLabel);
    m_target = new QComboBox(this);
    m_target->setEditable(true);
    m_target->setGeometry(130, 150, 284, 26);
    SetDlgCtrlID(m_target, kTarget);
    m_bar = new QProgressBar(this);
    m_bar->setGeometry(16, 196, 508, 18);
    m_bar->setTextVisible(false);
    SetDlgCtrlID(m_bar, kBar);
    m_start = AddButton(kStart, QStringLiteral("&Start"), QRect(296, 248, 112, 32));
    AddButton(2, QStringLiteral("Close"), QRect(414, 248, 112, 32));
    connect(&m_transfer, &SupportTransfer::progress, this, [this](qint64 done, qint64 expected) {
        SetStrip(SupportTransfer::ProgressText(done, expected));
        m_bar->setRange(0, int(expected / 1024));
        m_bar->setValue(int(done / 1024));
    });
    connect(&m_transfer, &SupportTransfer::finished, this, &CFileTransferDlg::Finish);
    connect(&m_transfer, &SupportTransfer::opened, this,
            [this] { SetStrip(QStringLiteral("Ftp Site Opened.Transfering...")); });
}

void CFileTransferDlg::SetStrip(const QString &text)
{
    m_strStrip = text;
    SetStripText(text);
}

bool CFileTransferDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(3, 1, 2, 14);
    SetBackColor(0xFFFFFF);
    m_transfer.setSite(SupportFtpHost());
    m_bar->hide();
    if (m_nMode == Download) {
        SetRibbonTitle(QStringLiteral("Download a File from Halvane"));
        SetStrip(QStringLiteral("Select a file and click Download Now"));
        m_targetLabel->setText(QStringLiteral("Download To"));
        ShowItem(kBrowse, false);
        m_start->setText(QStringLiteral("Download Now"));
        m_file->setEditText(QStringLiteral("< select a file >"));
        m_target->setEditText(QDir::toNativeSeparators(QDir::tempPath()) + QDir::separator());
        ListSiteFiles();
    } else {
        SetRibbonTitle(QStringLiteral("Send a File to Halvane"));
        SetStrip(QStringLiteral("Select a file and click Send Now"));
        m_targetLabel->setText(QStringLiteral("Send To"));
        m_start->setText(QStringLiteral("Send Now"));
        const QString database = DataFolder() + DatabaseFileName();
        m_file->addItem(database);
        m_file->setEditText(database);
        m_target->addItem(m_transfer.host());
        m_target->setEditText(m_transfer.host());
        m_target->setEnabled(false);
    }
    return true;
}

void CFileTransferDlg::ListSiteFiles()
{
    QStringList names;
    QString error;
    const bool listed = m_transfer.ListDownloads(names, error);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_bar->setRange(0, 4);
    m_bar->show();
    for (int i = 0; i < names.size(); ++i) {
        m_file->addItem(names.at(i));
        const int step = i % 8;
        m_bar->setValue(step <= 4 ? step : 8 - step);
    }
    // The names are offered, none chosen: the file text stays the prompt
    // until the user picks one.
    m_file->setCurrentIndex(-1);
    m_file->setEditText(QStringLiteral("< select a file >"));
    m_bar->hide();
    QGuiApplication::restoreOverrideCursor();
    if (listed)
        return;
    if (error.isEmpty()) {
        SetStrip(QStringLiteral("Transfer cancelled!"));
        return;
    }
    platform::Prompt::messageBox(error);
}

bool CFileTransferDlg::OnCommand(int id)
{
    if (id == int(kBrowse)) {
        QString folder = QFileInfo(m_file->currentText()).absolutePath() + QDir::separator();
        QString name = baseName(m_file->currentText());
        if (ChooseFile(true, folder, name, QStringLiteral("mdb"),
                       QStringLiteral("Tavrel (TavrelData.MDB)|TavrelData.MDB|All Files (*.*)|*.*||"), QString(),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST))
            m_file->setEditText(folder + name);
        return true;
    }
    if (id == int(kStart)) {
        if (m_start->text() == kStop)
            StopTransfer();
        else
            StartTransfer();
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CFileTransferDlg::StartTransfer()
{
    const QString file = m_file->currentText().trimmed();
    m_strStartText = m_start->text();
    m_bar->setRange(0, 0);
    m_bar->setValue(0);
    m_bar->show();
    m_start->setText(kStop);
    SetStrip(QStringLiteral("Opening Ftp Site..."));
    bool started = false;
    if (m_nMode == Send) {
        QString path = QDir::fromNativeSeparators(file);
        // The shop's own database is in use: what goes out is a consistent
        // copy taken through the database, never the live file.
        const QFileInfo chosen(path);
        const QFileInfo live(SharedDatabase().name());
        if (SharedDatabase().isOpen() && chosen.exists() && chosen.canonicalFilePath() == live.canonicalFilePath()) {
            SetStrip(QStringLiteral("Copying the database..."));
            m_snapshotDir = std::make_unique<QTemporaryDir>();
            const QString snapshot = m_snapshotDir->filePath(baseName(path));
            QString error;
            if (!BackupDatabase(SharedDatabase(), snapshot, &error)) {
                platform::Prompt::messageBox(error, QString(), platform::MB_ICONHAND);
                Finish(SupportTransfer::Failed);
                return;
            }
            path = snapshot;
        }
        SetStrip(QStringLiteral("Opening Ftp Site..."));
        started = m_transfer.StartSend(path, SentFileName(file));
    } else {
        const QString name = baseName(file);
        // The site is looked up first, behind the progress window: this
        // window's own Stop answers meanwhile too.
        LongRun::SetStopControl(m_start, [this] { StopTransfer(); });
        started = m_transfer.StartDownload(name, m_target->currentText() + name);
        LongRun::SetStopControl(nullptr, {});
        if (!started && !m_transfer.IsRunning())
            return; // finished() has said why
    }
    if (!started && !m_transfer.IsRunning())
        Finish(SupportTransfer::Failed);
}

void CFileTransferDlg::StopTransfer()
{
    SetStrip(QStringLiteral("Transfer cancelled!"));
    m_transfer.Stop();
    m_bar->hide();
}

void CFileTransferDlg::Finish(int outcome)
{
    switch (outcome) {
    case SupportTransfer::Done:
        SetStrip(QStringLiteral("Transfered the file successfully."));
        break;
    case SupportTransfer::Cancelled:
        SetStrip(QStringLiteral("Transfer cancelled!"));
        break;
    case SupportTransfer::ConnectFailed:
        platform::Prompt::messageBox(m_transfer.errorText());
        SetStrip(QStringLiteral("Cannot connect! Make sure you are connected to the internet."));
        break;
    case SupportTransfer::NotFound:
        SetStrip(m_transfer.errorText() + QStringLiteral(" Nothing was downloaded."));
        break;
    default:
        SetStrip(m_transfer.errorText().isEmpty() ? QStringLiteral("Cannot create file.") : m_transfer.errorText());
        break;
    }
    m_snapshotDir.reset();
    if (!m_strStartText.isEmpty())
        m_start->setText(m_strStartText);
    m_bar->hide();
}

void CFileTransferDlg::OnCancel()
{
    m_transfer.Stop();
    CDlg0::OnCancel();
}
