#include "views/CDlgList.h"

#include "app/base/FileChoice.h"

#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "data/CSQL.h"
#include "data/CXDaoSet.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "views/DelimitedText.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QTimer>
#include <QtCore/QStringDecoder>
#include <QtWidgets/QHeaderView>

namespace {
constexpr unsigned kList = 1401;

CDlgList::FindRunner &findRunner()
{
    static CDlgList::FindRunner r;
    return r;
}

// A column's type by its sample value: whole number (4) for digits with at
// most a leading "-", currency (5) when it also holds one ".", else text (10).
int sampleType(const QString &sample)
{
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    static const QRegularExpression money(QStringLiteral("^-?[0-9]*\\.[0-9]*$"));
    if (whole.match(sample).hasMatch())
        return 4;
    if (sample.contains(QRegularExpression(QStringLiteral("[0-9]"))) && money.match(sample).hasMatch())
        return 5;
    return 10;
}
} // namespace

void CDlgList::SetFindRunner(FindRunner runner) { findRunner() = std::move(runner); }

CDlgList::CDlgList(const QString &windowTitle, const QString &ribbonTitle, const QString &source, int category,
                   long chosenId, int findMode, int colourScheme, QWidget *parent)
    : CDlg0(422, parent), m_strSource(source), m_nCategory(category), m_nChosenId(chosenId),
      m_nFindMode(findMode)
{
    m_strWindowTitle = windowTitle;
    m_strRibbonTitle = ribbonTitle;
    m_nColorScheme = colourScheme;
    m_nTitleImage = windowTitle == QStringLiteral("List") ? 31 : 77;
    m_bEnterAsTab = 0;
    resize(720, 500);
    AddPlaceholder(1901, QRect(0, 0, 720, 40));
    AddPlaceholder(1902, QRect(0, 40, 720, 24));
    m_list = new CXListCtrl(this);
    m_list->setGeometry(4, 68, 712, 384);
    SetDlgCtrlID(m_list, kList);
    // The first column names the rows to pick from: it keeps room to read them.
    m_list->SetReadableColumn(0);
    AddPlaceholder(1903, QRect(0, 456, 720, 44));
    AddSizeMarker(QPoint(720, 500));
    m_pList = m_list;
    connect(m_list, &QAbstractItemView::clicked, this, &CDlgList::OnRowChosen);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] {
        OnRowChosen();
        if (m_bOKAllowed)
            QTimer::singleShot(150, this, [this] { OnOK(); });
    });
    connect(m_list, &QAbstractItemView::activated, this, [this] {
        OnRowChosen();
        if (m_bOKAllowed)
            OnOK();
    });
}

int CDlgList::ViewOfSource(const QString &source)
{
    if (source == QStringLiteral("Jobs"))
        return 30001;
    if (source == QStringLiteral("Services"))
        return 30002;
    if (source == QStringLiteral("Customers") || source == QStringLiteral("Customer"))
        return 30003;
    if (source == QStringLiteral("Items"))
        return 0;
    return -1;
}

bool CDlgList::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitListRibbons(m_nTitleImage, false, m_nFindMode != 0, false);
    if (m_wndRibbon.isCreated()) {
        m_wndRibbon.AddItem(30123, QString(), struct_RIB_ITEM::Normal, 131, 194, 2, 2085, 7, 2, 30, 0, 0,
                            QStringLiteral("Export List"));
        m_wndRibbon.RecalcLayout(30281);
    }
    setWindowTitle(m_strWindowTitle);
    m_list->SetImageListAndStyle(131, 0, 0);
    if (m_strSource.isEmpty() && m_pParent) {
        emit fillRequested(this);
        AfterFill();
    } else if (m_nFindMode) {
        if (!RunFind())
            return true;
    } else {
        FillList();
    }
    m_list->SetAutoSizeMode(m_nAutoSize, true);
    return true;
}

void CDlgList::FillList()
{
    m_bOKAllowed = false;
    const int view = ViewOfSource(m_strSource);
    if (view >= 0) {
        // The view's canned list: the category names the list, the second
        // list number the entry within it, narrowed by the find's filter.
        const CSQL statement(view, m_nCategory, m_nSecondList, m_strFilter, QString(), 0, false);
        m_strSql = statement.m_strSQL;
        m_list->ClearList(false);
        // A find's matches run beside the window, with its progress and Stop.
        if (!m_strSql.isEmpty() && !m_strFilter.isEmpty())
            m_list->FillFromUserSql(m_strSql, statement.m_strKey, statement.m_nSortColumn, statement.m_bDescending);
        else if (!m_strSql.isEmpty())
            m_list->FillFromSql(m_strSql, statement.m_strKey, statement.m_nSortColumn, statement.m_bDescending);
        m_bOKAllowed = true;
    } else if (m_strSource == QStringLiteral("TextFile") || !m_strTextFile.isEmpty()) {
        m_bOKAllowed = ShowTextFile();
    } else {
        m_strSql = m_strSource;
        m_list->FillFromSql(m_strSql);
        // Without "Select" in its title a free list is only for viewing.
        m_bOKAllowed = m_strRibbonTitle.contains(QStringLiteral("Select"));
    }
    AfterFill();
}

void CDlgList::AfterFill()
{
    const int rows = m_list->GetItemCount();
    if (rows > 0) {
        const int row = m_list->FindItemByData(m_nChosenId, true);
        if (row >= 0)
            OnRowChosen();
    }
    if (m_wndRibbonBottom.isCreated()) {
        m_wndRibbonBottom.EnableItem(1, rows > 0 && m_bOKAllowed);
        m_wndRibbonBottom.SetItemText(30262, QStringLiteral("Listed: %1").arg(rows));
    }
}

namespace {

// The most a delimited import file may hold: far beyond any price list.
constexpr qint64 kMaxImportFileBytes = 256 * 1024 * 1024;

} // namespace

bool CDlgList::ShowTextFile()
{
    if (m_strTextFile.isEmpty()) {
        QString folder;
        QString name;
        if (!ChooseFile(true, folder, name, QStringLiteral(".txt"), QStringLiteral("Text File (*.txt)|*.txt||"),
                        QStringLiteral("Select a text file"), OFN_FILEMUSTEXIST))
            return false;
        m_strTextFile = folder + name;
    }
    if (!QFileInfo::exists(m_strTextFile) && !QFileInfo(m_strTextFile).isSymLink()) {
        platform::Prompt::messageBox(QStringLiteral("Import file does not exist."));
        return false;
    }
    // A file from outside the program: only an ordinary file of an import
    // file's size is read (a pipe would hold the program, a device fill its
    // memory), and a link only when it is not another user's way to a file
    // of this user's.
    QByteArray bytes;
    QString refusal;
    bool checked = false;
    if (!platform::PlacedFile::Read(m_strTextFile, kMaxImportFileBytes, bytes, refusal, false, &checked)) {
        platform::Prompt::messageBox(checked ? QStringLiteral("Cannot use ") + QDir::toNativeSeparators(m_strTextFile) +
                                                   QStringLiteral(": ") + refusal + QLatin1Char('.')
                                             : QStringLiteral("Cannot open the import file."));
        return false;
    }
    const QString text = DecodeTextFileBytes(bytes);
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    const QString firstLine = end < 0 ? text : text.left(end);
    if (firstLine.isEmpty()) {
        platform::Prompt::messageBox(QStringLiteral("Cannot read the import file."));
        return false;
    }
    m_delimiter = DetectDelimiter(firstLine);
    if (m_delimiter.isNull()) {
        platform::Prompt::messageBox(QStringLiteral("Import file is not comma or tab delimeted."));
        return false;
    }
    const QList<QStringList> records = ReadDelimitedRecords(text, m_delimiter);
    m_headers = records.value(0);
    const QStringList sample = records.size() > 1 ? records[1] : records.value(0);
    m_list->ClearList(false);
    for (int c = 0; c < m_headers.size(); ++c) {
        const QString value = sample.value(c);
        const int width = std::min(200, 5 * int(std::max(m_headers[c].size(), value.size())) + 30);
        m_list->AddColumn(m_headers[c], width, sampleType(value), c == 0);
    }
    for (int r = 1; r < records.size(); ++r) {
        const QStringList &fields = records[r];
        const int row = m_list->InsertRow(r - 1, fields.value(0), r);
        for (int c = 1; c < m_headers.size(); ++c)
            m_list->SetItemText(row, c, fields.value(c));
    }
    return true;
}

void CDlgList::OnRowChosen()
{
    const int row = m_list->GetCurrentRow();
    if (row < 0 || row >= m_list->GetItemCount())
        return;
    m_nChosenId = long(m_list->GetItemData(row));
    if (m_wndRibbonBottom.isCreated())
        m_wndRibbonBottom.SetItemText(1, m_strOKPrefix + m_list->GetItemText(row, 0) + QLatin1Char(' ') +
                                             m_list->GetItemText(row, 1));
}

bool CDlgList::RunFind()
{
    if (!findRunner()) {
        platform::Prompt::messageBox(QStringLiteral("Finding records is not yet available in this version."));
        FillList();
        return true;
    }
    while (true) {
        if (!findRunner()(m_strSource, m_strFind, m_strFilter)) {
            if (m_nFindMode) {
                EndDialog(IDCANCEL_RESULT);
                return false;
            }
            return true;
        }
        FillList();
        const int rows = m_list->GetItemCount();
        if (rows == 0) {
            QString message = m_strFilter + QStringLiteral("\nNot found!");
            if (m_strSource == QStringLiteral("Services"))
                message += QStringLiteral("\n(in the current category)");
            platform::Prompt::messageBox(message);
            continue; // the find dialog opens again
        }
        if (rows == 1 && m_nFindMode == 1) {
            m_list->SelectItem(0);
            m_nChosenId = long(m_list->GetItemData(0));
            EndDialog(IDOK_RESULT);
            return false;
        }
        return true;
    }
}

void CDlgList::ShowFilter()
{
    CXDaoSet parts;
    parts.m_strSQL = m_strSql;
    parts.ShowWhereText(QStringLiteral("FILTER:\n\n"));
}

void CDlgList::OpenRecord()
{
    if (m_nChosenId == 0)
        return;
    CZqApp *app = ZqApp();
    if (!app)
        return;
    // The list's source names the kind of record its keys are.
    if (m_strSource == QStringLiteral("Jobs"))
        app->OpenJob(m_nChosenId);
    else if (m_strSource == QStringLiteral("Customers") || m_strSource == QStringLiteral("Customer"))
        app->OpenCustomer(m_nChosenId);
    else if (m_strSource == QStringLiteral("Services"))
        app->OpenService(m_nChosenId);
    else if (m_strSource == QStringLiteral("Items"))
        app->PreviewItem(m_nChosenId);
    else
        platform::Prompt::messageBox(QStringLiteral("Opening a record from this list is not yet available in this "
                                                    "version."));
}

bool CDlgList::OnCommand(int id)
{
    switch (id) {
    case 30102:
        if (m_nFindMode)
            OpenRecord();
        return true;
    case 30534: RunFind(); return true;
    case 30262: ShowFilter(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CDlgList::OnOK()
{
    if (!m_bOKAllowed || m_list->GetItemCount() == 0)
        return;
    const int row = m_list->GetCurrentRow();
    if (row >= 0 && row < m_list->GetItemCount()) {
        m_nChosenId = long(m_list->GetItemData(row));
        if (m_strSource == QStringLiteral("TextFile")) {
            m_rowTexts.clear();
            for (int c = 0; c < m_list->GetColumnCount(); ++c)
                m_rowTexts << m_list->GetItemText(row, c);
        }
    }
    CDlg0::OnOK();
}

void CDlgList::OnSize(int type, int cx, int cy)
{
    LayoutListOnSize(type, cx, cy, m_list);
}
