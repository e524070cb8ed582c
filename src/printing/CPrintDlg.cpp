#include "printing/CPrintDlg.h"

#include "views/TextRoom.h"
#include <QtWidgets/QHeaderView>
#include "printing/FormOptions.h"

#include "app/base/CZqApp.h"
#include "app/base/FileChoice.h"
#include "app/base/Paths.h"
#include "app/base/TextUtil.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "data/CFormsSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "printing/CFormsDlg.h"
#include "resources/Strings.h"

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtPrintSupport/QPrinterInfo>

namespace {

constexpr int kJobsView = 30001;
constexpr int kCustomersView = 30003;
constexpr int kReceivablesView = 30004;
constexpr int kReportsView = 30005;
constexpr int kSchedulerView = 30007;
constexpr int kPostingReports = 44231;

constexpr int kLandscape = 1101;
constexpr int kSetupPdf = 30561;
constexpr int kEmailPdf = 30562;
constexpr int kEmailRtf = 30563;
constexpr int kDefaults = 30278;
constexpr int kRootImage = 253;

bool IsPostingReports(int viewId, int branch)
{
    return viewId == kPostingReports || (viewId == kReportsView && branch == 6);
}


} // namespace

QString PdfWriterName()
{
    return QStringLiteral("Tavrel PDF Writer");
}

QString AttachmentFolder()
{
    QString folder;
    CZqApp *app = ZqApp();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = (documents.isEmpty() ? QDir::homePath() : documents) + QStringLiteral("/Tavrel/");
    if (app)
        app->GetSettingFolder(folder, QStringLiteral("Path-Attachment"), fallback);
    // A folder written on Windows ("C:\\Tavrel\\") names nothing here.
    if (!app || IsForeignPath(folder))
        folder = fallback;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    QDir().mkpath(folder);
    return folder;
}

CPrintDlg::CPrintDlg(int viewId, int listBranch, int listItem, int kind, CXListCtrl *list, CXChartCtrl *chart,
                     int options, QWidget *parent)
    : CDlg0(961, parent)
    , m_nViewId(viewId)
    , m_nListBranch(listBranch)
    , m_nListItem(listItem)
    , m_nKind(kind)
    , m_nOptions(options)
    , m_pListCtrl(list)
    , m_pChartCtrl(chart)
{
    m_strWindowTitle = QStringLiteral("Print");
    m_bEnterAsTab = 0;
    m_crBack = 0xFFFFFF;
    // As wide as the screen lets it be, up to the room the longest options
    // take; an option wider than its tree scrolls sideways inside it.
    const QSize room = WindowRoom(this);
    const int width = std::min(1040, room.width());
    const int height = std::min(560, room.height());
    resize(width, height);
    AddPlaceholder(1732, QRect(0, 0, width, 44));
    m_documents = new CXTreeOptCtrl(this);
    m_documents->setGeometry(8, 52, 380, height - 60);
    SetDlgCtrlID(m_documents, 2201);
    m_optionsTree = new CXTreeOptCtrl(this);
    m_optionsTree->setGeometry(396, 52, width - 396 - 8, height - 60);
    m_optionsTree->header()->setStretchLastSection(false);
    m_optionsTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    SetDlgCtrlID(m_optionsTree, 2202);
    connect(m_documents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (m_bFilling || !current)
            return;
        const unsigned id = m_documents->GetOptionId(current);
        if (id != 0) {
            m_documents->SetOptionChecked(id, true);
            OnDocumentChanged(int(id));
        }
    });
    connect(m_documents, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item, int) {
        if (item && m_documents->GetOptionId(item) != 0)
            EndWith(57608);
    });
    connect(m_optionsTree, &CXTreeCtrl::ownerMessage, this, [this](int message, qintptr wParam, qintptr lParam) {
        if (message == MSG_OPTION_CHECKED && !m_bFilling)
            OnOptionChecked(int(wParam), lParam != 0);
    });
}

// --- the documents ------------------------------------------------------------------

int CPrintDlg::DocumentListId(int viewId, int branch, int item)
{
    switch (viewId) {
    case kJobsView:
        return branch == 1 ? 44221 : 44220;
    case kCustomersView:
        return branch < 5 ? 44225 : 44240;
    case kReceivablesView:
        if ((branch == 1 && item < 4) || branch == 2)
            return 44226;
        return branch == 8 ? 44227 : 44240;
    case kReportsView:
        if ((branch == 4 && (item == 1 || (item >= 12 && item <= 14))) || (branch == 9 && (item == 1 || item == 3))
            || (branch == 7 && item == 1))
            return 44241;
        return branch == 6 ? 44231 : 44240;
    case kSchedulerView:
        return 44110;
    case kPostingReports:
        return 44231;
    default:
        return 44240;
    }
}

int CPrintDlg::FormNumberOf(int viewId, int branch, int kind, bool withList)
{
    if (kind == 100)
        return withList ? 100 : 0;
    if (kind <= 0 || kind > 100)
        return 0;
    if (viewId == kJobsView)
        return branch == 1 ? kind + 10 : kind;
    if (viewId == kReceivablesView && branch == 8)
        return kind + 40;
    return 0;
}

QList<CPrintDlg::DocumentEntry> CPrintDlg::DocumentEntries(int viewId, int branch, int item, bool withList,
                                                           bool withRecord)
{
    QList<DocumentEntry> entries;
    QStringList pieces = LoadResourceString(DocumentListId(viewId, branch, item)).split(QLatin1Char(','));
    pieces.removeLast();
    const QString prefix = viewId == kJobsView && branch == 3 ? QStringLiteral("Copy of ") : QString();
    int number = 0;
    // The record's documents come before the list's heading (or the list
    // itself, "?"): without a record they are counted but not offered.
    bool listPart = !pieces.contains(QStringLiteral("__List:")) && !pieces.contains(QStringLiteral("?"));
    for (const QString &piece : pieces) {
        if (piece == QLatin1String("__List:") || piece == QLatin1String("?"))
            listPart = true;
        const bool offered = withRecord || listPart;
        if (piece.startsWith(QLatin1String("__"))) {
            if (!withList && piece == QLatin1String("__List:"))
                break;
            if (offered)
                entries.append({0, piece.mid(2)});
            continue;
        }
        if (!offered) {
            ++number;
            continue;
        }
        if (piece == QLatin1String("?")) {
            // Without a list on the screen there is no list to print; the
            // entries after it keep their numbers.
            number = 100;
            if (withList)
                entries.append({100, QStringLiteral("- the list on the screen -")});
            continue;
        }
        ++number;
        QString text = piece;
        const int formNo = FormNumberOf(viewId, branch, number, withList);
        if (number < 100 && formNo > 0) {
            text = prefix + text;
            if (SharedDatabase().isOpen()) {
                CFormsSet form;
                if (form.FindByField(QStringLiteral("[No]"), formNo) && !form.IsEOF()) {
                    text = prefix + form.m_Title;
                    if (!form.m_Desc.isEmpty())
                        text += QStringLiteral(" (") + form.m_Desc + QLatin1Char(')');
                }
            }
        }
        entries.append({number, text});
    }
    return entries;
}

bool CPrintDlg::ExtraOptionList(int viewId, int branch, int kind, QString &list, QString &heading, int &ticked)
{
    if (viewId == kJobsView && (kind == 103 || kind == 105)) {
        list = QStringLiteral("Prices,");
        heading = QStringLiteral("Print:");
        return true;
    }
    if (viewId == kJobsView && (kind == 102 || kind == 104 || kind == 106)) {
        list = LoadResourceString(45104);
        heading = QStringLiteral("Print:");
        return true;
    }
    if (IsPostingReports(viewId, branch) && kind == 101) {
        // Without its first entry, which is the heading.
        list = LoadResourceString(44351);
        heading = GetResourceListItem(44351, 0);
        list = list.mid(list.indexOf(QLatin1Char(',')) + 1);
        ticked = SharedDatabase().isOpen() ? GetOptionValue(44351, 0) : 0;
        return true;
    }
    if (viewId == kSchedulerView && kind >= 104 && kind <= 111) {
        list = LoadResourceString(45105);
        heading = QStringLiteral("Service Date Range (select one):");
        return true;
    }
    return false;
}

bool CPrintDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_crBack)
        SetBackColor(m_crBack);
    m_ribbon = new CXRibbon(this);
    if (m_ribbon->Create(this, 1732, m_nColorScheme, 1, 132, 8, 32, 3, 0, 0, 36)) {
        connect(m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = *m_ribbon;
        const auto add = [&r](unsigned id, const QString &text, int list, int image) {
            r.AddItem(id, text, struct_RIB_ITEM::Normal, list, std::uint8_t(image), 2, 2084, 7, 2, 108);
        };
        add(2, QStringLiteral("Close"), 132, 6);
        r.AddSpacer(12, 5);
        add(57609, QStringLiteral("Preview"), 132, 51);
        add(57608, QStringLiteral("Print Now"), 132, 56);
        add(57607, QStringLiteral("Print To"), 132, 3);
        r.AddSpacer(12, 5);
        add(kEmailPdf, QStringLiteral("Email PDF"), 132, 4);
        add(kEmailRtf, QStringLiteral("Email RTF"), 132, 4);
        r.AddSpacer(12, 5);
        const bool landscape = ZqApp() && ZqApp()->m_nLandscape != 0;
        add(kLandscape, QStringLiteral("Landscape"), 131, landscape ? 216 : 215);
        r.AddSpacer(12, 5);
        add(kSetupPdf, QStringLiteral("Setup PDF"), 132, 35);
        add(kDefaults, QStringLiteral("Defaults"), 132, 35);
        for (unsigned id : {unsigned(kEmailPdf), unsigned(kEmailRtf), unsigned(kLandscape)})
            r.SetItemState(id, struct_RIB_ITEM::Hidden);
        r.RecalcLayout(0);
    }
    m_documents->SetImageListAndFont(131, 2);
    m_optionsTree->SetImageListAndFont(131, 2);
    FillDocumentTree();
    m_documents->setFocus();
    return true;
}

void CPrintDlg::FillDocumentTree()
{
    m_bFilling = true;
    m_documents->RemoveAllOptions();
    // A table shown as a chart is the list on the screen as well.
    const QList<DocumentEntry> entries =
        DocumentEntries(m_nViewId, m_nListBranch, m_nListItem, m_pListCtrl != nullptr || m_pChartCtrl != nullptr,
                        m_bWithRecord);
    HTREEITEM root = m_documents->AddRootOption(QStringLiteral("Select a Document:"), kRootImage);
    int first = 0;
    bool current = false;
    for (const DocumentEntry &e : entries) {
        if (e.kind == 0) {
            m_documents->AddGroupHeader(e.text, root);
            continue;
        }
        m_documents->AddRadio(unsigned(e.kind), e.text, root, false);
        if (first == 0)
            first = e.kind;
        current = current || e.kind == m_nKind;
    }
    // The posting reports start on their list parts.
    if (IsPostingReports(m_nViewId, m_nListBranch) && first == 100)
        first = 101;
    if (!current)
        m_nKind = first;
    m_documents->ExpandAll(true);
    if (m_nKind != 0) {
        m_documents->SetOptionChecked(unsigned(m_nKind), true);
        m_documents->SelectOption(unsigned(m_nKind));
    }
    m_bFilling = false;
    FillOptionsTree();
    UpdateRibbonStates();
}

void CPrintDlg::FillOptionsTree()
{
    m_bFilling = true;
    m_optionsTree->RemoveAllOptions();
    const bool withList = m_pListCtrl != nullptr || m_pChartCtrl != nullptr;
    m_nFormNo = FormNumberOf(m_nViewId, m_nListBranch, m_nKind, withList);
    QString list;
    QString heading;
    int ticked = m_nOptions;
    if (ExtraOptionList(m_nViewId, m_nListBranch, m_nKind, list, heading, ticked)) {
        m_nOptions = ticked;
        m_optionsTree->LoadOptions(heading, list, quint32(m_nOptions), kRootImage, true, false);
    } else if (m_nFormNo > 0) {
        CFormsSet form;
        bool found = false;
        if (SharedDatabase().isOpen()) {
            found = form.FindByField(QStringLiteral("[No]"), m_nFormNo) && !form.IsEOF();
            if (!found)
                found = form.FindByField(QStringLiteral("[No]"), 100) && !form.IsEOF();
        }
        if (!found) {
            form.ClearFields();
            form.m_No = quint8(m_nFormNo);
        }
        if (m_nOptions == 0)
            m_nOptions = form.m_Options;
        // The option list is that of the document's own form number.
        CFormsSet numbered;
        numbered.m_No = quint8(m_nFormNo);
        m_optionsTree->LoadOptions(QStringLiteral("Check Document Options:"),
                                   LoadResourceString(numbered.GetOptionListId()), quint32(m_nOptions), kRootImage,
                                   true, false);
        if (m_nFormNo > 11 && m_optionsTree->FindOption(22)) {
            if (HTREEITEM option22 = m_optionsTree->FindOption(22))
                option22->setText(0, m_nFormNo < 20 ? QStringLiteral("Prices for more quantities")
                                                    : QStringLiteral("(this option is not used)"));
        }
    }
    m_bFilling = false;
    UpdateTitle();
}

void CPrintDlg::UpdateTitle()
{
    QString document;
    if (HTREEITEM item = m_documents->FindOption(unsigned(m_nKind)))
        document = item->text(0);
    QString printer;
    int copies = 1;
    if (CZqApp *app = ZqApp())
        app->GetFormPrinter(m_nFormNo, printer, copies);
    if (printer.isEmpty())
        printer = DefaultPrinterName();
    setWindowTitle(QStringLiteral("Print %1 %2 of %3 to %4")
                       .arg(copies)
                       .arg(copies < 2 ? QStringLiteral("copy") : QStringLiteral("copies"))
                       .arg(document, printer));
}

QString CPrintDlg::DefaultPrinterName()
{
    if (!m_bPrinterLooked) {
        m_bPrinterLooked = true;
        m_strPrinterCache = QPrinterInfo::defaultPrinterName();
    }
    return m_strPrinterCache.isEmpty() ? QStringLiteral("< no default printer >") : m_strPrinterCache;
}

void CPrintDlg::UpdateRibbonStates()
{
    if (!m_ribbon)
        return;
    const auto show = [this](unsigned id, bool on) {
        m_ribbon->SetItemState(id, on ? struct_RIB_ITEM::Normal : struct_RIB_ITEM::Hidden);
    };
    show(kEmailPdf, m_nKind < 100);
    show(kEmailRtf, m_nViewId == kJobsView && m_nKind == 2);
    show(kLandscape, m_nKind >= 100);
    m_ribbon->RecalcLayout(0);
}

void CPrintDlg::SelectDocument(int kind)
{
    if (!m_documents->FindOption(unsigned(kind)))
        return;
    m_bFilling = true;
    m_documents->SetOptionChecked(unsigned(kind), true);
    m_documents->SelectOption(unsigned(kind));
    m_bFilling = false;
    OnDocumentChanged(kind);
}

void CPrintDlg::OnDocumentChanged(int kind)
{
    m_nKind = kind;
    if (m_nViewId != kSchedulerView)
        m_nOptions = kind == m_nPresetKind ? m_nPresetOptions : 0;
    FillOptionsTree();
    UpdateRibbonStates();
}

void CPrintDlg::SetOption(int option, bool on)
{
    CheckFormOption(*m_optionsTree, m_nFormNo, option, on);
}

void CPrintDlg::OnOptionChecked(int option, bool on)
{
    ClearFormOptionGroup(*m_optionsTree, m_nFormNo, option, on);
}

// --- commands -------------------------------------------------------------------------

void CPrintDlg::EndWith(int command)
{
    QString text;
    if (HTREEITEM item = m_documents->FindOption(unsigned(m_nKind)))
        text = item->text(0);
    while (!text.isEmpty() && text.front().isSpace())
        text.remove(0, 1);
    m_strTitle = text;
    m_nOptions = int(m_optionsTree->GetCheckedBits());
    EndDialog(command);
}

void CPrintDlg::OnOK()
{
    EndWith(57608);
}

bool CPrintDlg::OnCommand(int id)
{
    switch (id) {
    case 57607: case 57608: case 57609: case kEmailRtf:
        EndWith(id);
        return true;
    case kEmailPdf:
        OnEmailPdf();
        return true;
    case kSetupPdf:
        SetupPdf();
        return true;
    case kLandscape:
        OnLandscape();
        return true;
    case kDefaults:
        OnDefaults();
        return true;
    case 30330:
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CPrintDlg::OnEmailPdf()
{
    if (m_nViewId == kJobsView && m_nKind == 1) {
        QString document;
        if (HTREEITEM item = m_documents->FindOption(1))
            document = item->text(0).trimmed();
        if (platform::Prompt::messageBox(QStringLiteral("Are you sure you want to email the ") + document
                                             + QStringLiteral(" to the customer?"),
                                         QString(), platform::MB_YESNO | platform::MB_DEFBUTTON2)
            != platform::IDYES)
            return;
    }
    QString printer;
    int copies = 1;
    if (CZqApp *app = ZqApp())
        app->GetFormPrinter(kSetupPdf, printer, copies);
    if (!printer.isEmpty())
        EndWith(kEmailPdf);
    else
        SetupPdf();
}

bool CPrintDlg::SetupPdf()
{
    if (platform::Prompt::messageBox(
            QStringLiteral("You will setup your PDF printer in two steps:\n\nIn step 1, you will select a PDF "
                           "printer.\nIn step 2, you will select the output folder for PDF attachments.\n\nDo you "
                           "want to continue?"),
            QString(), platform::MB_YESNO)
        != platform::IDYES)
        return false;
    CZqApp *app = ZqApp();
    if (!app)
        return false;
    // Step 1: attachments are written by the program's own PDF writer (there
    // is no PDF printer to choose); it is stored as the attachment printer.
    app->WriteFormPrinter(kSetupPdf, PdfWriterName(), 1);
    // Step 2: the folder.
    QString folder = AttachmentFolder();
    QString chosen = folder;
    if (BrowseForFolder(this, chosen, QStringLiteral("Please select the output folder for your PDF attachments:"))
        && !chosen.isEmpty()) {
        folder = chosen;
        app->WriteSettingText(QStringLiteral("Path-Attachment"), folder);
    }
    platform::Prompt::messageBox(QStringLiteral("Tavrel will find PDF attachments in:\n") + folder);
    UpdateTitle();
    return true;
}

void CPrintDlg::OnLandscape()
{
    CZqApp *app = ZqApp();
    if (!app)
        return;
    app->m_nLandscape = app->m_nLandscape ? 0 : 1;
    if (m_ribbon)
        m_ribbon->SetItemImage(kLandscape, 131, std::uint8_t(app->m_nLandscape ? 216 : 215));
}

void CPrintDlg::OnDefaults()
{
    CZqApp *app = ZqApp();
    if (!m_bRightsGranted) {
        if (app && !app->CheckPassword(15, QString()))
            return;
        m_bRightsGranted = true;
    }
    int formNo = 100;
    if (m_nViewId == kJobsView && m_nKind < 100)
        formNo = m_nListBranch == 1 ? m_nKind + 10 : m_nKind;
    else if (m_nViewId == kReceivablesView && m_nListBranch == 8 && m_nKind < 100)
        formNo = m_nKind + 40;
    CFormsDlg forms(this);
    forms.m_nFormNo = formNo;
    forms.DoModal();
    if (forms.m_bSaved) {
        m_nOptions = 0;
        FillDocumentTree();
    }
}
