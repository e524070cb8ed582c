#pragma once

#include "views/CView0.h"

class CHtmlCtrl;

// The home view: information pages about the program, the database and the
// shop shown in place of the record list, with "app:" links that come back
// as commands; the statement runner for experts and the deletion of practice
// data.
class CViewHome : public CView0
{
    Q_OBJECT

public:
    explicit CViewHome(QWidget *parent = nullptr);

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;

    // Page pieces.
    void AddHtmlElement(const QString &tag, const QString &text);
    void AddHtml(int kind, const QString &text);
    void AddHtmlPair(const QString &title, const QString &text, int kind);
    QString pageText() const { return m_strPage; }
    CHtmlCtrl *browser() const { return m_html; }

    void RunSqlStatement();
    void DeletePractice();
    void ShowPage();
    // The system information to the maker's support address.
    void MailSystemInformation();
    void SetCompactReminder();
    // "My Company": edits the shop's identity and shows it at once.
    void EditCompany();
    static constexpr int kEditCompany = 30539;

protected:
    // The database page tells the file as it is now: it is built again each
    // time the view is shown and at Refresh.
    void showEvent(QShowEvent *event) override;
    void OnRefresh() override;

private:
    void AppendAppLink(int id, const QString &text, const QString &trailing = QString());
    // Back and forward over the outside pages: the page steps in the
    // browser's history and the tree and caption step with it to the entry
    // that page belongs to.
    void StepPage(bool back);

    CHtmlCtrl *m_html = nullptr;
    QString m_strPage;
    int m_nShownCode = 0;     // the entry whose page is shown
    QList<int> m_backCodes;    // the entries Back returns to, the last first
    QList<int> m_forwardCodes; // the entries Forward returns to
};
