#include "printing/CFormsDlg.h"
#include "printing/FormOptions.h"

#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/TypedValue.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "resources/Strings.h"
#include "views/TextRoom.h"

#include <QtGui/QFont>
#include <cmath>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

namespace {

constexpr unsigned kFontButton = 1001;
constexpr unsigned kPrinterButton = 1002;
constexpr unsigned kClearPrinter = 1003;
constexpr unsigned kBackButton = 1004;
constexpr unsigned kTextButton = 1005;
constexpr int kRootImage = 253;


// A margin as typed: a number of inches.
bool ReadInches(const QLineEdit *edit, float &out)
{
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    // "inf" and "nan" read as numbers but are no margin.
    if (!ok || !std::isfinite(value))
        return false;
    out = float(value);
    return true;
}

QString InchesText(float value)
{
    return QString::number(double(value), 'g', 6);
}

} // namespace

CFormsDlg::CFormsDlg(QWidget *parent)
    : CDlg0(650, parent)
{
    m_strWindowTitle = QStringLiteral("Printing");
    m_bEnterAsTab = 0;
    m_crBack = 0xFFFFFF;
    setFixedSize(900, 600);
    AddPlaceholder(1901, QRect(8, 8, 280, 26), QStringLiteral("Select a Document"));
    AddPlaceholder(1902, QRect(296, 8, 300, 26), QStringLiteral("Set Document Properties"));
    AddPlaceholder(1903, QRect(604, 8, 288, 26), QStringLiteral("Set Document Options"));
    m_documents = new CXTreeOptCtrl(this);
    m_documents->setGeometry(8, 40, 280, 508);
    SetDlgCtrlID(m_documents, 2201);
    m_optionsTree = new CXTreeOptCtrl(this);
    m_optionsTree->setGeometry(604, 40, 288, 508);
    SetDlgCtrlID(m_optionsTree, 2202);

    int y = 40;
    QLabel *titleLabel = AddLabel(QStringLiteral("Document T&itle:"), QRect(296, y, 300, 20));
    m_title = AddEdit(1301, QRect(296, y + 20, 300, 24));
    titleLabel->setBuddy(m_title);
    y += 50;
    AddLabel(QStringLiteral("Description (not printed)"), QRect(296, y, 300, 20));
    m_desc = AddEdit(1308, QRect(296, y + 20, 300, 24));
    y += 50;
    QLabel *noteLabel = AddLabel(QStringLiteral("Default Note or &Memo / Letter to Customer:"), QRect(296, y, 300, 20));
    m_note = AddMultiLineEdit(1302, QRect(296, y + 20, 300, 80));
    noteLabel->setBuddy(m_note);
    y += 106;
    QLabel *footerLabel = AddLabel(QStringLiteral("Foot&er Note or Message:"), QRect(296, y, 300, 20));
    m_footer = AddMultiLineEdit(1303, QRect(296, y + 20, 300, 44));
    footerLabel->setBuddy(m_footer);
    y += 70;
    QLabel *leftLabel = AddLabel(QStringLiteral("&Left"), QRect(296, y, 40, 24));
    m_left = AddEdit(1305, QRect(336, y, 56, 24));
    leftLabel->setBuddy(m_left);
    AddLabel(QStringLiteral("Top"), QRect(400, y, 34, 24));
    m_top = AddEdit(1304, QRect(434, y, 56, 24));
    AddLabel(QStringLiteral("(document margins in inches)"), QRect(296, y + 24, 300, 20));
    y += 50;
    AddButton(kFontButton, QStringLiteral("Select Document &Font..."), QRect(296, y, 180, 26));
    m_fontFace = AddPlaceholder(1911, QRect(480, y, 116, 26));
    y += 28;
    AddLabel(QStringLiteral("Size"), QRect(480, y, 40, 20));
    m_fontSize = AddPlaceholder(1912, QRect(520, y, 76, 20));
    y += 26;
    AddButton(kPrinterButton, QStringLiteral("Select Default &Printer..."), QRect(296, y, 180, 26));
    AddButton(kClearPrinter, QStringLiteral("Clear Default"), QRect(480, y, 116, 26));
    y += 28;
    m_printer = AddPlaceholder(1913, QRect(296, y, 230, 20));
    AddLabel(QStringLiteral("Copies"), QRect(530, y, 46, 20));
    m_copies = AddPlaceholder(1914, QRect(576, y, 20, 20));
    y += 28;
    m_sample = AddPlaceholder(1904, QRect(296, y, 300, 24), QStringLiteral("Color of Document Columns"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setAutoFillBackground(true);
    y += 28;
    AddButton(kBackButton, QStringLiteral("Select Back Color..."), QRect(296, y, 148, 26));
    AddButton(kTextButton, QStringLiteral("Select Text Color..."), QRect(448, y, 148, 26));
    AddButton(1, QStringLiteral("&Save"), QRect(680, 558, 100, 32));
    AddButton(2, QStringLiteral("Close"), QRect(792, 558, 100, 32));

    connect(m_documents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (m_bFilling || !current)
            return;
        const unsigned id = m_documents->GetOptionId(current);
        if (id != 0 && int(id) != m_nCurrent) {
            m_documents->SetOptionChecked(id, true);
            OnDocumentChanged(int(id));
        }
    });
    connect(m_optionsTree, &CXTreeCtrl::ownerMessage, this, [this](int message, qintptr wParam, qintptr lParam) {
        if (message == MSG_OPTION_CHECKED && !m_bFilling)
            OnOptionChecked(int(wParam), lParam != 0);
    });
}

QString CFormsDlg::DocumentText(const QString &title, const QString &desc)
{
    return desc.isEmpty() ? title : title + QStringLiteral(" (") + desc + QLatin1Char(')');
}

bool CFormsDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_crBack)
        SetBackColor(m_crBack);
    m_documents->SetImageListAndFont(131, 2);
    m_optionsTree->SetImageListAndFont(131, 2);
    FillDocumentTree();
    LoadForm(m_nFormNo);
    return true;
}

void CFormsDlg::FillDocumentTree()
{
    m_bFilling = true;
    m_documents->RemoveAllOptions();
    HTREEITEM root = m_documents->AddRootOption(QStringLiteral("Documents:"), kRootImage);
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Forms.[No], Forms.Title, Desc FROM Forms ORDER BY Forms.[No]"));
    int lastGroup = -1;
    for (; !rs.isEOF(); rs.moveNext()) {
        const int no = rs.value(0).toInt();
        // Each group's heading comes before its first form (the groups are
        // numbered in tens: 1-9 orders, 11-19 quotes, 21-29 templates, 31-39
        // history jobs, 41-49 A/R, then the other documents).
        static const struct
        {
            int first;
            const char *text;
        } kGroups[] = {{1, "Order Documents"},       {11, "Quote Documents"}, {21, "Template Documents"},
                       {31, "History Job Documents"}, {41, "A/R Documents"},  {50, "Other Documents"}};
        int group = -1;
        for (int g = 0; g < 6; ++g)
            if (no >= kGroups[g].first)
                group = g;
        if (group > lastGroup) {
            m_documents->AddGroupHeader(QString::fromLatin1(kGroups[group].text), root);
            lastGroup = group;
        }
        const QString title = rs.value(1).isNull() ? QString() : rs.value(1).toString();
        const QString desc = rs.value(2).isNull() ? QString() : rs.value(2).toString();
        m_documents->AddRadio(unsigned(no), DocumentText(title, desc), root, false);
    }
    m_documents->ExpandAll(true);
    m_bFilling = false;
}

void CFormsDlg::LoadForm(int formNo)
{
    m_bFilling = true;
    m_nCurrent = formNo;
    m_bRowOpen = m_set.FindByField(QStringLiteral("[No]"), formNo) && !m_set.IsEOF();
    if (m_documents->FindOption(unsigned(formNo))) {
        m_documents->SetOptionChecked(unsigned(formNo), true);
        m_documents->SelectOption(unsigned(formNo));
    }
    if (!m_bRowOpen) {
        m_set.ClearFields();
        m_set.m_No = quint8(formNo);
    }
    m_title->setText(m_set.m_Title);
    m_desc->setText(m_set.m_Desc);
    m_note->setPlainText(m_set.m_Text);
    m_footer->setPlainText(m_set.m_Footer);
    m_left->setText(InchesText(m_set.m_LeftMargin));
    m_top->setText(InchesText(m_set.m_TopMargin));
    m_fontFace->setText(m_set.m_FontName);
    m_fontSize->setText(QString::number(m_set.m_FontSize));
    QString printer;
    int copies = 1;
    if (CZqApp *app = ZqApp())
        app->GetFormPrinter(formNo, printer, copies);
    m_printer->setText(printer);
    m_copies->setText(QString::number(copies));
    m_crBackWork = std::uint32_t(m_set.m_ColBack);
    m_crTextWork = std::uint32_t(m_set.m_ColText);
    ShowColours();
    // Lists and the other documents of form 100 and above have no title,
    // margin, note or footer of their own.
    const bool document = formNo < 100;
    for (QWidget *w : {static_cast<QWidget *>(m_title), static_cast<QWidget *>(m_left),
                       static_cast<QWidget *>(m_note), static_cast<QWidget *>(m_footer)})
        EnableCtrl(w, document);
    m_bFilling = false;
    FillOptions();
}

void CFormsDlg::FillOptions()
{
    m_bFilling = true;
    m_optionsTree->RemoveAllOptions();
    m_optionsTree->LoadOptions(QStringLiteral("Print:"), LoadResourceString(m_set.GetOptionListId()),
                               quint32(m_set.m_Options), kRootImage, true, false);
    if (m_nCurrent > 11) {
        if (HTREEITEM option22 = m_optionsTree->FindOption(22))
            option22->setText(0, m_nCurrent < 20 ? QStringLiteral("Prices for more quantities")
                                                 : QStringLiteral("(this option is not used)"));
    }
    m_bFilling = false;
    // Every option reads whole: a document with longer entries widens the
    // options pane and the window (never narrowing them again, so the
    // window does not jump between documents).
    if (const int grow = TreeTextShortfall(*m_optionsTree); grow > 0) {
        setFixedSize(width() + grow, height());
        m_optionsTree->resize(m_optionsTree->width() + grow, m_optionsTree->height());
        GrowItemBy(1903, grow, 0);
        MoveItemBy(1, grow, 0);
        MoveItemBy(2, grow, 0);
    }
}

void CFormsDlg::ShowColours()
{
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Window, ColorRefToQColor(m_crBackWork));
    palette.setColor(QPalette::WindowText, ColorRefToQColor(m_crTextWork));
    m_sample->setPalette(palette);
    m_sample->update();
}

void CFormsDlg::SelectDocument(int formNo)
{
    if (!m_documents->FindOption(unsigned(formNo)) || formNo == m_nCurrent)
        return;
    OnDocumentChanged(formNo);
}

void CFormsDlg::OnDocumentChanged(int formNo)
{
    if (!SaveForm()) {
        // Stay on the row that could not be saved.
        m_bFilling = true;
        m_documents->SetOptionChecked(unsigned(m_nCurrent), true);
        m_documents->SelectOption(unsigned(m_nCurrent));
        m_bFilling = false;
        return;
    }
    LoadForm(formNo);
}

void CFormsDlg::SetOption(int option, bool on)
{
    CheckFormOption(*m_optionsTree, m_nCurrent, option, on);
}

void CFormsDlg::OnOptionChecked(int option, bool on)
{
    ClearFormOptionGroup(*m_optionsTree, m_nCurrent, option, on);
}

bool CFormsDlg::SaveForm()
{
    if (m_nCurrent == 0 || !m_bRowOpen)
        return true;
    float left = 0;
    float top = 0;
    // A margin that is no number is refused naming its field.
    for (auto [edit, value] : {std::pair{m_left, &left}, std::pair{m_top, &top}}) {
        if (!ReadInches(edit, *value)) {
            RefuseTyped(edit, QStringLiteral("Please type a number."));
            return false;
        }
    }
    bool sizeOk = false;
    const int size = m_fontSize->text().trimmed().toInt(&sizeOk);
    if (!m_set.SafeEdit())
        return false;
    m_set.m_Options = qint32(m_optionsTree->GetCheckedBits());
    m_set.m_ColBack = qint32(m_crBackWork);
    m_set.m_ColText = qint32(m_crTextWork);
    if (m_nCurrent < 100) {
        m_set.m_Title = m_title->text();
        m_set.m_LeftMargin = left;
        m_set.m_Text = m_note->toPlainText();
        m_set.m_Footer = m_footer->toPlainText();
    }
    m_set.m_Desc = m_desc->text();
    m_set.m_TopMargin = top;
    m_set.m_FontName = m_fontFace->text();
    if (sizeOk)
        m_set.m_FontSize = size;
    bool ok = true;
    if (m_set.HasDirtyFields())
        ok = m_set.SaveRecord(64);
    else
        m_set.CancelUpdate();
    if (!ok)
        return false;
    m_bSaved = true;
    if (HTREEITEM item = m_documents->FindOption(unsigned(m_nCurrent)))
        item->setText(0, DocumentText(m_set.m_Title, m_set.m_Desc));
    return true;
}

void CFormsDlg::OnOK()
{
    SaveForm();
}

bool CFormsDlg::OnCommand(int id)
{
    switch (id) {
    case kFontButton:
        ChooseFont();
        return true;
    case kPrinterButton:
        ChoosePrinter();
        return true;
    case kClearPrinter:
        ClearPrinter();
        return true;
    case kBackButton:
        ChooseColour(true);
        return true;
    case kTextButton:
        ChooseColour(false);
        return true;
    case 30330:
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CFormsDlg::ChooseFont()
{
    QString face = m_fontFace->text();
    const bool italic = face.endsWith(QLatin1String(" Italic"));
    if (italic)
        face.chop(7);
    QFont start(face);
    const int tenths = m_fontSize->text().toInt();
    start.setPointSizeF(tenths > 0 ? tenths / 10.0 : 9.0);
    start.setItalic(italic);
    QFontDialog dialog(start, this);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return;
    const QFont chosen = dialog.currentFont();
    QString name = chosen.family();
    if (chosen.italic())
        name += QStringLiteral(" Italic");
    m_fontFace->setText(name);
    m_fontSize->setText(QString::number(qRound(chosen.pointSizeF() * 10.0)));
}

void CFormsDlg::ChoosePrinter()
{
    QPrinter printer;
    QString current;
    int copies = 1;
    if (CZqApp *app = ZqApp())
        app->GetFormPrinter(m_nCurrent, current, copies);
    if (!current.isEmpty())
        printer.setPrinterName(current);
    printer.setCopyCount(copies);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return;
    const QString name = printer.printerName();
    const int chosenCopies = std::max(1, printer.copyCount());
    m_printer->setText(name);
    m_copies->setText(QString::number(chosenCopies));
    if (CZqApp *app = ZqApp())
        app->WriteFormPrinter(m_nCurrent, name, chosenCopies);
}

void CFormsDlg::ClearPrinter()
{
    m_printer->clear();
    m_copies->setText(QStringLiteral("1"));
    if (CZqApp *app = ZqApp())
        app->WriteFormPrinter(m_nCurrent, QString(), 1);
}

void CFormsDlg::ChooseColour(bool back)
{
    QColorDialog dialog(ColorRefToQColor(back ? m_crBackWork : m_crTextWork), this);
    if (platform::Prompt::execDialog(dialog) != QDialog::Accepted)
        return;
    const ColorRef chosen = ColorRefFromQColor(dialog.currentColor());
    if (back)
        m_crBackWork = chosen;
    else
        m_crTextWork = chosen;
    ShowColours();
}
