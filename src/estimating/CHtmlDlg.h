#pragma once

#include "views/CDlg0.h"

#include <QtCore/QString>

class CHtmlCtrl;
class CZqApp;
class QPdfDocument;
class QPdfView;
class QPushButton;

// The HTML window (426 "HTML"): either a piece of HTML text, or one
// document file. In item-document mode (mode 1) the job window hands in the
// path of the file attached to an item; the user may attach another or
// remove it, and the job window reads the path back ("about:Blank" for
// none). HTML, pictures and text show in the browser pane, PDF files in a
// PDF pane; other documents (rtf, doc, xls, ppt ...) open in the desktop's
// own program and the pane names them.
class CHtmlDlg : public CDlg0
{
    Q_OBJECT

public:
    static constexpr int kItemDocuments = 1;

    explicit CHtmlDlg(QWidget *parent);
    ~CHtmlDlg() override;

    QString m_strDocument = QStringLiteral("about:Blank");
    QString m_strHtml;
    int m_nMode = 0;

    void ShowDocument(const QString &path);

    CHtmlCtrl *view() const { return m_view; }
    QPdfView *pdfView() const { return m_pdfView; }
    QPdfDocument *pdfDocument() const { return m_pdf; }
    // Whether the PDF pane is the one shown, and the pages of its document.
    bool showingPdf() const;
    int pdfPageCount() const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void OnAdd();

    CHtmlCtrl *m_view = nullptr;
    QPdfView *m_pdfView = nullptr;
    QPdfDocument *m_pdf = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_close = nullptr;
};

// Installs the HTML window as the application's HTML dialog.
void InstallHtmlDialog(CZqApp &app);
