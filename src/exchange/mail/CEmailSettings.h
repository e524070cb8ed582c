#pragma once

#include "views/CDlg0.h"

// "Account Settings": the workstation's e-mail settings (the mailbox, the
// download folder and what follows saving a mail as an order or quote),
// edited straight in the application's settings block. OK writes all
// fourteen values; Cancel reads them back, undoing every change.
class CEmailSettings : public CDlg0
{
    Q_OBJECT

public:
    explicit CEmailSettings(QWidget *parent);

    // The settings file holds the mailbox password as typed: it is made
    // readable by its owner only.
    static void ProtectSettingsFile();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ToControls();
    void FromControls();
};
