#pragma once

#include <QtWidgets/QDialog>

#include <memory>

class LongRun;
class QLabel;

// The modeless window shown while a document prints. Its Cancel sets the
// print-abort flag, which the print loop tests between pages, and closes
// the window. While it is up the printing is a long run (see LongRun): the
// rest of the program waits, and Exit or Alt+F4 asks "Do you want to stop
// now?"; Yes sets the print-abort flag and the program ends after the run.
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
    // Exit or Alt+F4 during the printing: whether the program is to end
    // once the printing stops.
    bool endAsked();

    QLabel *m_status = nullptr;
    std::unique_ptr<LongRun> m_run;
};
