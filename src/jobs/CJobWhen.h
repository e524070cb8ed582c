#pragma once

#include "data/CJobSet.h"
#include "views/CDlg0.h"

#include <QtCore/QString>

class CXStatic;
class QComboBox;

// The job dates dialog "When" (753): a job's title, dates, times, shipping
// method, P.O., location, CSR and status, edited in place on the caller's job
// record, which is in edit mode and saved by the caller after OK. It shows
// missing required information in red, warns about proof and due dates on a
// closed weekend day and refuses status changes to or from "Ready to Post"
// that the job does not support. Cancel puts back what the record held when
// the dialog opened.
class CJobWhen : public CDlg0
{
    Q_OBJECT

public:
    CJobWhen(CJobSet *job, QWidget *parent);

    QComboBox *combo(unsigned id) const;
    CXStatic *label(unsigned id) const;
    // True when the label is shown as incomplete information.
    bool isMarked(unsigned id) const;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    bool Exchange(bool save);
    void MarkIncomplete();
    void Mark(unsigned labelId);

    CJobSet *m_pJob = nullptr;
    quint8 m_nOldStatus = 0;
    CJobSet m_snapshot;
    bool m_bMarked = false;
};
