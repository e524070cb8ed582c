#pragma once

#include "exchange/transfer/SupportTransfer.h"
#include "views/CDlg0.h"

#include <QtCore/QTemporaryDir>

#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

// "Tavrel File Transfer Tool": sends a file (normally the shop's database,
// as a snapshot taken while it stays in use) to the support site, or
// downloads one of the site's files into a folder.
class CFileTransferDlg : public CDlg0
{
    Q_OBJECT

public:
    enum Mode { Download = 0, Send = 1 };
    CFileTransferDlg(int mode, QWidget *parent);

    // The name a sent file gets on the site: "PI-" + the shop's number + the
    // local file's name (without its folder).
    static QString SentFileName(const QString &localPath);

    QComboBox *fileBox() const { return m_file; }
    QComboBox *targetBox() const { return m_target; }
    QString stripText() const { return m_strStrip; }
    QPushButton *startButton() const { return m_start; }
    SupportTransfer &transfer() { return m_transfer; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnCancel() override;

private:
    void ListSiteFiles();
    void StartTransfer();
    void StopTransfer();
    void Finish(int outcome);
    void SetStrip(const QString &text);

    int m_nMode = Download;
    QComboBox *m_file = nullptr;
    QComboBox *m_target = nullptr;
    QLabel *m_targetLabel = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_start = nullptr;
    QString m_strStartText;
    QString m_strStrip;
    SupportTransfer m_transfer;
    std::unique_ptr<QTemporaryDir> m_snapshotDir;
};
