#pragma once

#include "views/CDlg0.h"

#include <QtCore/QStringList>

#include <functional>

class CXListCtrl;

// The generic modal list: the rows of an SQL statement, of a canned list of
// the views ("Jobs", "Services", "Customers", "Customer", "Items") or of a
// tab- or comma-delimited text file ("TextFile"); the user may filter them
// with the find dialog, open a row's record, export the list and pick one row.
// After IDOK m_nChosenId holds the chosen row's key and, for a text file,
// m_rowTexts its field texts in column order.
class CDlgList : public CDlg0
{
    Q_OBJECT

public:
    CDlgList(const QString &windowTitle, const QString &ribbonTitle, const QString &source, int category,
             long chosenId, int findMode, int colourScheme, QWidget *parent);

    QString m_strSource;
    int m_nCategory = 0;
    int m_nSecondList = 0;
    long m_nChosenId = 0;
    int m_nFindMode = 0;
    int m_nAutoSize = 251;
    std::uint8_t m_nTitleImage = 77;
    QString m_strFind;
    QString m_strFilter;
    QString m_strOKPrefix;
    QString m_strTextFile; // the text file's path once known
    QStringList m_headers;
    QStringList m_rowTexts;
    QChar m_delimiter;

    CXListCtrl *list() const { return m_list; }
    bool isOKAllowed() const { return m_bOKAllowed; }

    // Services the layers above provide. Each is optional; without it the
    // command says plainly that it is not available yet.
    // The find dialog for the source; true on OK with the find and filter texts.
    using FindRunner = std::function<bool(const QString &source, QString &findText, QString &filterText)>;
    static void SetFindRunner(FindRunner runner);

signals:
    // The source is empty: the owner fills the list itself.
    void fillRequested(CDlgList *dialog);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnSize(int type, int cx, int cy) override;

private:
    void FillList();
    bool ShowTextFile();
    void AfterFill();
    void OnRowChosen();
    // False when the dialog was ended (find mode cancelled or one hit taken).
    bool RunFind();
    void ShowFilter();
    void OpenRecord();
    static int ViewOfSource(const QString &source);

    CXListCtrl *m_list = nullptr;
    bool m_bOKAllowed = false;
    QString m_strSql;
};
