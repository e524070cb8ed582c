#pragma once

#include <QtWidgets/QDialog>

class QLabel;

// The modeless window shown while a document prints. Its Cancel sets the
// print-abort flag, which the print loop tests between pages, and closes
// the window.
class CPrintStatus : public QDialog
{
    Q_OBJECT

public:
    // Shows the window at once, in front of the parent, and clears the
    // print-abort flag.
    explicit CPrintStatus(QWidget *parent = nullptr);
    ~CPrintStatus() override;

    // The line under "Printing" (the document and page the loop is at).
    void SetStatusText(const QString &text);

    void OnCancel();
    // Esc: as Cancel.
    void reject() override;

    // The print-abort flag: set by Cancel, cleared when a window is made.
    static bool IsUserAbort();
    static void SetUserAbort(bool abort);

private:
    QLabel *m_status = nullptr;
};
