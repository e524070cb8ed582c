#pragma once

#include "views/CDlg0.h"

class QPlainTextEdit;

// The one multi-line text dialog: edits a note (mode 1: date stamps, clear,
// "Save & Close", "Cancel"), shows a help text or a longer message (mode 0:
// "Close" only) or asks to confirm a text (mode 2: "OK", "Cancel"). The caller
// reads m_strNote after OK; nothing is handed back otherwise.
class CNoteDlg : public CDlg0
{
    Q_OBJECT

public:
    enum Mode { ShowText = 0, EditNote = 1, ConfirmText = 2 };

    CNoteDlg(const QString &ribbonTitle, const QString &stripText, const QString &note, int mode,
             QWidget *parent);

    QString m_strNote;
    int m_nMode = 0;

    QPlainTextEdit *edit() const { return m_edit; }
    CXRibbon &commandRibbon() { return m_wndCommands; }

    // The stamp put into a note: the date (or date and time) as this
    // workstation writes them, then ": ".
    static QString StampText(bool withTime);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnSize(int type, int cx, int cy) override;

private:
    void Stamp(bool withTime);

    QPlainTextEdit *m_edit = nullptr;
    CXRibbon m_wndTitle;
    CXRibbon m_wndCommands;
};
