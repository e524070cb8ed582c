#pragma once

#include "views/CDlg0.h"

class QLineEdit;
class QPlainTextEdit;

// The message as it will go out, for the user to review before it is sent:
// addressee, subject and text can be changed; the attachment is shown.
// Send ends it with 1, Cancel with 2.
class CMailCompose : public CDlg0
{
    Q_OBJECT

public:
    CMailCompose(const QString &from, const QString &to, const QString &subject, const QString &text,
                 const QString &attachment, QWidget *parent);

    QString m_strTo;
    QString m_strSubject;
    QString m_strText;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnSize(int type, int cx, int cy) override;

private:
    QLineEdit *m_to = nullptr;
    QLineEdit *m_subject = nullptr;
    QPlainTextEdit *m_text = nullptr;
};
