#pragma once

#include "data/CFormsSet.h"
#include "views/CDlg0.h"

class CXTreeOptCtrl;
class CXWnd;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The document forms: for each printed document (a row of table Forms) its
// title, description, default note or letter, footer, margins, font, column
// colours, default options, and the printer (with copies) it goes to. The
// selected row is saved by Save and before another document is selected;
// printer choices are stored at once; Close saves nothing.
class CFormsDlg : public CDlg0
{
    Q_OBJECT

public:
    explicit CFormsDlg(QWidget *parent);

    // The form shown first (set before DoModal).
    int m_nFormNo = 1;
    // Set after a successful save.
    bool m_bSaved = false;

    CXTreeOptCtrl *documentTree() const { return m_documents; }
    CXTreeOptCtrl *optionsTree() const { return m_optionsTree; }
    QLineEdit *titleEdit() const { return m_title; }
    QLineEdit *descEdit() const { return m_desc; }
    QLineEdit *leftEdit() const { return m_left; }
    QLineEdit *topEdit() const { return m_top; }
    QPlainTextEdit *noteEdit() const { return m_note; }
    QPlainTextEdit *footerEdit() const { return m_footer; }
    QLabel *fontLabel() const { return m_fontFace; }
    QLabel *sizeLabel() const { return m_fontSize; }
    QLabel *printerLabel() const { return m_printer; }
    QLabel *copiesLabel() const { return m_copies; }
    std::uint32_t backColour() const { return m_crBackWork; }
    std::uint32_t textColour() const { return m_crTextWork; }
    // Selects a document as a click on it does (saving the current one first).
    void SelectDocument(int formNo);
    // Ticks or clears an option as a click on its box does.
    void SetOption(int option, bool on);
    // Saves the current row; false when it could not be saved.
    bool SaveForm();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void FillDocumentTree();
    void LoadForm(int formNo);
    void FillOptions();
    void ShowColours();
    void OnDocumentChanged(int formNo);
    void OnOptionChecked(int option, bool on);
    void ChooseFont();
    void ChoosePrinter();
    void ClearPrinter();
    void ChooseColour(bool back);
    static QString DocumentText(const QString &title, const QString &desc);

    CXTreeOptCtrl *m_documents = nullptr;
    CXTreeOptCtrl *m_optionsTree = nullptr;
    QLineEdit *m_title = nullptr;
    QLineEdit *m_desc = nullptr;
    QPlainTextEdit *m_note = nullptr;
    QPlainTextEdit *m_footer = nullptr;
    QLineEdit *m_left = nullptr;
    QLineEdit *m_top = nullptr;
    QLabel *m_fontFace = nullptr;
    QLabel *m_fontSize = nullptr;
    QLabel *m_printer = nullptr;
    QLabel *m_copies = nullptr;
    QLabel *m_sample = nullptr;
    CFormsSet m_set;
    bool m_bRowOpen = false;
    int m_nCurrent = 0;
    std::uint32_t m_crBackWork = 0xFFFFFF;
    std::uint32_t m_crTextWork = 0;
    bool m_bFilling = false;
};
