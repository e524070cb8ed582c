#pragma once

#include "views/CDlg0.h"

class CXDaoSet;
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

    // The note is kept in `column` of the set's table (or of `table`):
    // typing stops at the column's size, each line break counting the two
    // characters "\r\n" it is kept as (one, for a caller that keeps "\n"),
    // and a longer note is refused at OK naming the note by its title. A
    // memo column leaves the note free.
    void HoldNoteTo(const CXDaoSet &set, const QString &column, bool breaksAsTwo = true);
    void HoldNoteTo(const QString &table, const QString &column, bool breaksAsTwo = true);

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
