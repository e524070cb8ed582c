#pragma once

#include "views/CDlg0.h"

class QLineEdit;
class QPushButton;

// Asks for one value in one edit field: a number, a name, a date text, a note
// or a password (window title "Password": the typed characters are masked).
// DoModal returns IDOK, IDCANCEL or 1001 (the extra button, shown only with a
// caption); after IDOK or 1001 m_strValue holds the text shown. With a
// maximum length typing stops at it. Cancel leaves the value as it was given.
class CDlgData : public CDlg0
{
    Q_OBJECT

public:
    CDlgData(const QString &value, int maxLength, const QString &windowTitle, const QString &ribbonTitle,
             const QString &stripText, QWidget *parent);

    QString m_strValue;
    QString m_strExtraCaption;
    int m_nMaxLength = 0;

    QLineEdit *edit() const { return m_edit; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void Finish(int result);

    QLineEdit *m_edit = nullptr;
    QPushButton *m_extra = nullptr;
};
