#pragma once

#include "views/CDlg0.h"

class CXListCtrl;

// The reminders of a view, or of one record, in a list: the earliest
// unfinished one selected, new ones added, opened, marked done or to do, and
// deleted. Which reminders show (everyone's or the user's, to do or done)
// is the workstation's choice, kept in its settings.
class CTodoList : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kList = 1401;

    CTodoList(qint32 selectedTodo, qint32 viewId, qint32 refId, int hue, QWidget *parent);
    ~CTodoList() override;

    // Set by the caller before DoModal: the view's or record's name.
    QString m_strCaption;

    // Read by the caller afterwards.
    qint32 selectedTodo() const { return m_nSelectedTodo; }
    qint32 selectedRef() const { return m_nSelectedRef; }
    int changed() const { return m_bChanged; }

    // The title of a list choice (29820-29832).
    static QString ListChoiceText(int choice);
    QString filter() const { return m_strFilter; }
    QString sql() const { return m_strSql; }
    int listChoice() const { return m_nListChoice; }
    CXListCtrl *list() const { return m_list; }
    QString okText();

    void FillList();
    void OnNew();
    void OnOpen();
    // The state of the selected reminders; the count saved.
    int OnSetStatus(int status);
    // Deletes the selected reminders after the user's rights and two
    // confirmations; the count deleted.
    int OnDelete();
    void OnListChoice(int choice);
    bool OnOptions();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnSize(int type, int cx, int cy) override;

private:
    void OnSelectionChanged();
    void OnContextMenu(const QPoint &point);
    void OnTitleMenu();
    QList<qint32> SelectedTodos();

    CXListCtrl *m_list = nullptr;
    qint32 m_nSelectedTodo = 0;
    qint32 m_nSelectedRef = 0;
    qint32 m_nViewID = 0;
    qint32 m_nRefID = 0;
    bool m_bFilling = false;
    int m_bChanged = 0;
    int m_nOption = 0;
    int m_nSection = 0;
    int m_nListChoice = 29831;
    QString m_strFilter;
    QString m_strSql;
};
