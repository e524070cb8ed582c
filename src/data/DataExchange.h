#pragma once

class QWidget;

// The context of one exchange between a dialog's controls and the members
// they show: load (members to controls) or save (controls to members, with
// validation). A save that meets bad input fails: the message has been shown,
// the control has the focus, the dialog stays open and the rest of the save
// is skipped.
class DataExchange
{
public:
    DataExchange(QWidget *dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
    {
    }

    bool isSaving() const { return m_bSaveAndValidate; }
    bool failed() const { return m_failed; }
    // Marks the exchange failed and gives the control the focus.
    void Fail(QWidget *control);

    bool m_bSaveAndValidate;
    QWidget *m_pDlgWnd;

private:
    bool m_failed = false;
};
