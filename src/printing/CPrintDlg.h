#pragma once

#include "views/CDlg0.h"

#include <QtCore/QList>
#include <QtCore/QString>

class CXChartCtrl;
class CXListCtrl;
class CXRibbon;
class CXTreeOptCtrl;

// The print dialog: which document of the current view to print, its
// options, and the way out (preview, print now, print through the printer
// dialog, mail as PDF or as an RTF letter). It also sets up the PDF writer of
// attachments and opens the document forms for their defaults.
//
// The caller reads kind, options and title after DoModal; the answer is the
// command that closed it: 2 Close, 57609 Preview, 57608 Print Now (also Enter
// and a double click on a document), 57607 Print To, 30562 Email PDF, 30563
// Email RTF.
class CPrintDlg : public CDlg0
{
    Q_OBJECT

public:
    // One entry of a view's document list: a heading (kind 0) or a document.
    struct DocumentEntry
    {
        int kind = 0;
        QString text;
    };

    CPrintDlg(int viewId, int listBranch, int listItem, int kind, CXListCtrl *list, CXChartCtrl *chart,
              int options, QWidget *parent);

    // The document list (string-table id) a view offers on a branch and item.
    static int DocumentListId(int viewId, int listBranch, int listItem);
    // The documents offered, in order, with the texts the dialog shows: the
    // headings, "- the list on the screen -" as kind 100 and the entries after
    // it from 101 on (only with a list on screen), documents with a form by
    // their form's title and description.
    // Without a record chosen (withRecord false) the record's own documents
    // (kinds below 100) and their headings are left out: only the list's
    // entries remain.
    static QList<DocumentEntry> DocumentEntries(int viewId, int listBranch, int listItem, bool withList,
                                                bool withRecord = true);
    // The form of a kind in this view and branch, 0 when it has none.
    static int FormNumberOf(int viewId, int listBranch, int kind, bool withList);
    // The option list of the options tree for a kind without a form: its
    // string-table text, the heading it goes under and the options ticked.
    // False when the kind has none.
    static bool ExtraOptionList(int viewId, int listBranch, int kind, QString &list, QString &heading,
                                int &ticked);

    // The preset of a job's stored print choice (kind PropID1, options
    // PrintOption), applied when that document is selected.
    int m_nPresetKind = 0;
    int m_nPresetOptions = 0;
    // A record (a job, a customer's statement) is chosen: its documents are
    // offered beside the list's.
    bool m_bWithRecord = true;

    int m_nViewId = 0;
    int m_nListBranch = 0;
    int m_nListItem = 0;
    int m_nKind = 0;
    int m_nFormNo = 0;
    int m_nOptions = 0;
    QString m_strTitle;
    bool m_bRightsGranted = false;

    CXTreeOptCtrl *documentTree() const { return m_documents; }
    CXTreeOptCtrl *optionsTree() const { return m_optionsTree; }
    CXRibbon *ribbon() const { return m_ribbon; }
    // Selects a document as a click on it does.
    void SelectDocument(int kind);
    // Ticks or clears an option as a click on its box does (with the radio
    // groups' rules).
    void SetOption(int option, bool on);
    // Ends the dialog with a command as its ribbon does once any question is
    // settled: the chosen document's title and the ticked options are read.
    void EndWith(int command);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void FillDocumentTree();
    void FillOptionsTree();
    void UpdateRibbonStates();
    void UpdateTitle();
    void OnDocumentChanged(int kind);
    void OnOptionChecked(int option, bool on);
    void OnEmailPdf();
    // The two steps of the PDF set-up; false when it was cancelled before
    // the writer was stored.
    bool SetupPdf();
    void OnLandscape();
    void OnDefaults();
    QString DefaultPrinterName();

    CXListCtrl *m_pListCtrl = nullptr;
    CXChartCtrl *m_pChartCtrl = nullptr;
    CXRibbon *m_ribbon = nullptr;
    CXTreeOptCtrl *m_documents = nullptr;
    CXTreeOptCtrl *m_optionsTree = nullptr;
    QString m_strPrinterCache;
    bool m_bPrinterLooked = false;
    bool m_bFilling = false;
};

// The name the built-in PDF writer is stored under for attachments.
QString PdfWriterName();
// The folder PDF attachments are written to ("Settings"/"Path-Attachment",
// by default the documents folder's "Tavrel" folder), with its trailing
// separator; made when it does not exist.
QString AttachmentFolder();
