#include "catalogue/CEditService.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Choices.h"
#include "app/base/Codes.h"
#include "app/base/PriceText.h"
#include "controls/DlgItem.h"
#include "data/CItemSet.h"
#include "data/CSerSet.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QPlainTextEdit>

CEditService::CEditService(CItemSet &row, const CSerSet &service, int offset, QWidget *parent)
    : CDlg0(822, parent), m_row(row), m_service(service), m_nOffset(offset)
{
    m_strWindowTitle = QStringLiteral("Service Specs");
    if (IsPressCategory(service.m_CatNo))
        m_kind = Press;
    else if (service.m_CatNo == 6)
        m_kind = Plates;
    else if (service.m_AskHowMany.size() > 1)
        m_kind = Question;
    resize(420, 400);
    AddPlaceholder(1901, QRect(0, 0, 420, 40));
    AddPlaceholder(kGrid, QRect(10, 48, 400, 7 * 21 + 2));
    AddPlaceholder(kNoteRibbon, QRect(10, 210, 400, 30));
    m_note = AddMultiLineEdit(kNote, QRect(10, 242, 400, 100));
    AddButton(1, QStringLiteral("OK"), QRect(100, 354, 104, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(216, 354, 104, 32));
}

QString CEditService::QuestionCaption(const QString &askHowMany)
{
    if (askHowMany.startsWith(QLatin1Char('%')))
        return askHowMany + QLatin1Char('?');
    return QStringLiteral("How many ") + askHowMany + QLatin1Char('?');
}

void CEditService::BuildRows()
{
    const QString fullName =
        ZqApp() ? ZqApp()->GetServiceFullName(m_service.m_SerNo) : QString();
    m_grid.AddCaption(fullName.isEmpty() ? m_service.m_Name : fullName);
    m_grid.AddTextRow(QStringLiteral("Modified"), DateToText(m_service.m_Modified));
    m_grid.AddTextRow(QStringLiteral("Reminder"), m_service.m_SerRemind);
    switch (m_kind) {
    case Press:
        m_grid.AddCaption(QStringLiteral("How many?"));
        m_grid.AddRow(7, QStringLiteral("Wash"), QStringLiteral("%1d"));
        m_grid.AddRow(7, QStringLiteral("Mix"), QStringLiteral("%1d"));
        break;
    case Plates:
        m_grid.AddCaption(QStringLiteral("How many?"));
        m_grid.AddRow(7, QStringLiteral("Plates"), QStringLiteral("%d"));
        m_grid.AddTextRow(QString(), QString());
        break;
    case Question:
        m_grid.AddCaption(QuestionCaption(m_service.m_AskHowMany));
        m_grid.AddRow(7, QStringLiteral(" "), QStringLiteral("%d"));
        m_grid.AddTextRow(QString(), QString());
        break;
    case Other:
        m_grid.AddCaption(QStringLiteral(" "));
        m_grid.AddTextRow(QStringLiteral(" "), QString());
        m_grid.AddTextRow(QStringLiteral(" "), QString());
        break;
    }
    // Plates and the answer to the service's question are counts, read as
    // every count is: below 0, or past the largest count, refused naming
    // the row.
    if (m_kind == Plates || m_kind == Question)
        m_grid.SetRowNotNegative(RowCount);
    // Presses and plates keep no vendor: the row shows it without editing.
    const bool vendorStored = m_kind != Press && m_kind != Plates;
    m_grid.AddListRow(2, QStringLiteral("Vendor"),
                      QStringLiteral("SELECT [No], Name FROM Vendors WHERE ([No] = 0 or Type = %1) AND Name NOT LIKE "
                                     "'~*' ORDER BY Sort, Name")
                          .arg(m_service.m_CatNo == 502 ? 2 : 1),
                      0, vendorStored ? 1 : 0);
}

bool CEditService::OnInitDialog()
{
    m_nColorScheme = Appearance::GetColorHue(ZqApp() ? ZqApp()->GetServiceColor(m_service.m_SerNo) : 0);
    m_strRibbonTitle = QStringLiteral("Service Specs");
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    InitRibbons(6, 1, 2, 14);
    if (m_noteBar.Create(this, kNoteRibbon, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 28)) {
        m_noteBar.AddItem(30274, QStringLiteral("Add Quick Notes"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2,
                          130);
        m_noteBar.AddItem(30263, QStringLiteral("Note..."), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, 90);
        m_noteBar.RecalcLayout(255);
        connect(&m_noteBar, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    SetCtrlFont(m_note, 2);
    BuildRows();
    m_grid.CreateInDlgItem(this, kGrid, m_nColorScheme, 120);

    switch (m_kind) {
    case Press:
        m_nCount = m_row.m_Wash;
        m_nSecond = m_row.m_Mix;
        break;
    case Plates:
        m_nCount = std::max<qint32>(m_row.m_Out, 1);
        break;
    case Question:
        m_nCount = m_row.m_Out != 0 ? m_row.m_Out : (m_service.m_Multiply >= 1 ? m_service.m_Multiply : 1);
        break;
    case Other:
        break;
    }
    m_nVendor = m_row.m_Vendor;
    m_note->setPlainText(m_row.m_Note);
    m_grid.SetSaveMode(0);
    if (m_kind != Other)
        m_grid.ExchangeLong(RowCount, m_nCount);
    if (m_kind == Press)
        m_grid.ExchangeLong(RowSecond, m_nSecond);
    m_grid.ExchangeByte(RowVendor, m_nVendor);
    CenterAndAnimate(0);
    move(x() + m_nOffset, y());
    m_grid.EditRow(m_nStartRow);
    return true;
}

bool CEditService::OnCommand(int id)
{
    switch (id) {
    case 30274: {
        QString text = m_note->toPlainText();
        if (PickQuickNote(text, 0, m_service.m_CatNo, QStringLiteral(", ")))
            m_note->setPlainText(text);
        return true;
    }
    case 30263: {
        CNoteDlg editor(QStringLiteral("Note"), m_service.m_Name, m_note->toPlainText(), 0, this);
        if (editor.DoModal() == IDOK_RESULT)
            m_note->setPlainText(editor.m_strNote);
        return true;
    }
    default:
        return CDlg0::OnCommand(id);
    }
}

void CEditService::OnOK()
{
    m_grid.EndEdit();
    m_grid.SetSaveMode(1);
    if (m_kind != Other)
        m_grid.ExchangeLong(RowCount, m_nCount);
    if (m_kind == Press)
        m_grid.ExchangeLong(RowSecond, m_nSecond);
    m_grid.ExchangeByte(RowVendor, m_nVendor);
    m_grid.SetSaveMode(0);

    int changes = 0;
    auto store = [&changes](auto &field, auto value) {
        if (field != value) {
            field = value;
            ++changes;
        }
    };
    switch (m_kind) {
    case Press:
        store(m_row.m_Wash, quint8(std::clamp(m_nCount, 0, 9)));
        store(m_row.m_Mix, quint8(std::clamp(m_nSecond, 0, 9)));
        break;
    case Plates:
        store(m_row.m_Out, m_nCount);
        break;
    case Question:
        store(m_row.m_Out, m_nCount);
        store(m_row.m_Vendor, m_nVendor);
        break;
    case Other:
        store(m_row.m_Vendor, m_nVendor);
        break;
    }
    store(m_row.m_Note, m_note->toPlainText());
    m_nChanges = changes;
    EndDialog(IDOK_RESULT);
}
