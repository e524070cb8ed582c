#include "jobs/CShipment.h"

#include "controls/CXDateEdit.h"
#include "jobs/ShipBoxes.h"

#include "app/base/DialogControls.h"
#include "app/base/TypedValue.h"
#include "controls/DlgItem.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/CShiptoSet.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>


namespace {
constexpr unsigned kDescription = 1301;
constexpr unsigned kShipped = 1302;
constexpr unsigned kPerBox = 1303;
constexpr unsigned kBoxes = 1304;
constexpr unsigned kTracking = 1305;
constexpr unsigned kShipAmount = 1306;
constexpr unsigned kTaxAmount = 1307;
constexpr unsigned kNote = 1311;
constexpr unsigned kBoxText = 1906;
constexpr unsigned kShiptoText = 1907;
constexpr unsigned kShipBy = 1201;
constexpr unsigned kTaxBy = 1202;
constexpr unsigned kShipDate = 2401;
constexpr unsigned kExpected = 2402;
constexpr unsigned kShipTo = 30408;
constexpr unsigned kNoteCommand = 30263;

} // namespace

CShipment::CShipment(qint32 jobId, qint32 itemId, qint32 shipId, int hue, QWidget *parent)
    : CDlg0(911, parent), m_nJobID(jobId), m_nItemID(itemId), m_nShipID(shipId)
{
    m_nColorScheme = hue;
    m_strWindowTitle = QStringLiteral("Shipment");
    resize(560, 500);
    auto label = [this](const QString &text, int x, int y, int w = 110) { AddLabel(text, QRect(x, y + 3, w, 20)); };
    AddPlaceholder(1521, QRect(10, 10, 80, 26), QStringLiteral("Ship"));
    AddEdit(kDescription, QRect(96, 10, 380, 26));
    AddPlaceholder(1911, QRect(490, 6, 48, 48));
    label(QStringLiteral("Quantity Shipped"), 14, 48);
    AddEdit(kShipped, QRect(130, 48, 90, 26));
    label(QStringLiteral("Quantity / Box"), 14, 78);
    AddEdit(kPerBox, QRect(130, 78, 90, 26));
    label(QStringLiteral("Number of Boxes"), 14, 108);
    AddEdit(kBoxes, QRect(130, 108, 90, 26));
    for (unsigned id : {kShipped, kPerBox, kBoxes})
        edit(id)->setAlignment(Qt::AlignRight);
    AddLabel(QString(), QRect(236, 48, 310, 86), kBoxText)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddPlaceholder(kShipTo, QRect(10, 146, 110, 28), QStringLiteral("Ship To..."));
    AddLabel(QString(), QRect(130, 146, 416, 60), kShiptoText)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    AddPlaceholder(kNoteCommand, QRect(10, 214, 110, 28), QStringLiteral("Note"));
    AddMultiLineEdit(kNote, QRect(130, 214, 416, 54));
    AddPlaceholder(1522, QRect(10, 280, 80, 26), QStringLiteral("Track"));
    AddEdit(kTracking, QRect(96, 280, 450, 26));
    label(QStringLiteral("Ship Date"), 14, 318);
    label(QStringLiteral("Expected"), 290, 318, 80);
    for (unsigned id : {kShipDate, kExpected}) {
        auto *picker = new CXDateEdit(this);
        picker->setGeometry(id == kShipDate ? 130 : 376, 318, 150, 26);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        SetDlgCtrlID(picker, id);
    }
    auto combo = [this](unsigned id, const QRect &r) {
        auto *c = new QComboBox(this);
        c->setGeometry(r);
        SetDlgCtrlID(c, id);
    };
    label(QStringLiteral("Ship by"), 14, 352);
    combo(kShipBy, QRect(130, 352, 150, 26));
    label(QStringLiteral("Ship $"), 290, 352, 80);
    AddEdit(kShipAmount, QRect(376, 352, 120, 26))->setAlignment(Qt::AlignRight);
    label(QStringLiteral("Tax by"), 14, 386);
    combo(kTaxBy, QRect(130, 386, 150, 26));
    label(QStringLiteral("Tax $"), 290, 386, 80);
    AddEdit(kTaxAmount, QRect(376, 386, 120, 26))->setAlignment(Qt::AlignRight);
    AddButton(1, QStringLiteral("OK"), QRect(350, 450, 90, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(450, 450, 90, 32));
    for (unsigned id : {kShipped, kPerBox, kBoxes}) {
        connect(edit(id), &QLineEdit::textEdited, this, [this, id] { OnQuantityEdited(id); });
        connect(edit(id), &QLineEdit::editingFinished, this, [this, id] { OnQuantityLeft(id); });
    }
}

QLineEdit *CShipment::edit(unsigned id) const
{
    return qobject_cast<QLineEdit *>(GetDlgItem(this, id));
}

bool CShipment::OnInitDialog()
{
    QString sql;
    GetCodeListSql(sql, 303, true);
    FillListFromQuery(this, int(kShipBy), sql);
    GetCodeListSql(sql, 502, true);
    FillListFromQuery(this, int(kTaxBy), sql);

    // A shipment that is gone opens as a new one of the item.
    bool found = false;
    try {
        found = m_nShipID != 0 && m_set.FindByField(QStringLiteral("ShipID"), m_nShipID);
    } catch (const platform::DbException &) {
        found = false;
    }
    if (found) {
        m_set.SafeEdit();
    } else {
        m_nShipID = 0;
        FillNewRow();
    }
    ShipBoxes boxes{m_set.m_QtyShipped, m_set.m_QtyPerBox, m_set.m_Boxes};
    m_strBoxText = ShipmentBoxText(boxes);
    CDlg0::OnInitDialog();
    Exchange(false);
    ShowShiptoText();

    m_shipCaption.CreateFromItem(this, 1521, m_nColorScheme, 14, 2, 2, 2085, QStringLiteral("Ship"));
    m_trackCaption.CreateFromItem(this, 1522, m_nColorScheme, 14, 2, 2, 2085, QStringLiteral("Track"));
    const std::pair<CXRibbon *, std::pair<unsigned, const char *>> buttons[] = {
        {&m_shipToRibbon, {kShipTo, "Ship To..."}}, {&m_noteRibbon, {kNoteCommand, "Note"}}};
    for (const auto &[ribbon, item] : buttons) {
        if (ribbon->Create(this, item.first, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 26)) {
            ribbon->AddItem(item.first, QString::fromLatin1(item.second), struct_RIB_ITEM::Normal, 131,
                            item.first == kShipTo ? 186 : 180, 2, 2084, 7, 2, 108);
            ribbon->RecalcLayout(251);
            connect(ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        }
    }
    SetItemIcon(1911, 132, 42);
    for (unsigned id = kDescription; id <= kBoxes; ++id)
        SetItemFont(id, 3);
    return true;
}

void CShipment::FillNewRow()
{
    if (!m_set.SafeAddNew())
        return;
    m_set.m_ItemID = m_nItemID;
    m_set.m_Boxes = 1;
    try {
        CItemSet item;
        if (item.FindByField(QStringLiteral("ItemID"), m_nItemID)) {
            m_set.m_ItemDes = item.m_Description.left(50);
            m_set.m_QtyShipped = item.m_ChargeQty;
            m_set.m_QtyPerBox = item.m_ChargeQty;
            if (m_nJobID == 0)
                m_nJobID = item.m_JobID;
        }
        CJobSet job;
        if (job.FindByField(QStringLiteral("JobID"), m_nJobID)) {
            m_set.m_ShiptoNo = job.m_ShiptoNo;
            m_set.m_Shipped = job.m_DateDue;
            m_set.m_Received = job.m_DateDue;
            m_set.m_ShipBy = job.m_ViaDue;
            m_set.m_TaxBy = job.m_TaxNo;
        }
    } catch (const platform::DbException &) {
        // the row keeps what it has; saving reports any lasting failure
    }
}

bool CShipment::Exchange(bool save)
{
    if (!m_set.IsOpen())
        return false;
    DataExchange dx(this, save);
    const std::pair<unsigned, QString *> texts[] = {
        {kDescription, &m_set.m_ItemDes}, {kTracking, &m_set.m_Tracking}};
    for (const auto &[id, value] : texts) {
        if (QLineEdit *e = edit(id)) {
            if (save) *value = e->text(); else e->setText(*value);
        }
    }
    if (auto *note = qobject_cast<QPlainTextEdit *>(GetDlgItem(this, kNote))) {
        if (save) m_set.m_ShipNote = note->toPlainText(); else note->setPlainText(m_set.m_ShipNote);
    }
    if (save) {
        // A field still being typed is read first, as when it is left.
        if (m_typing != 0 && !OnQuantityLeft(m_typing))
            return false;
        ShipBoxes boxes;
        if (!ReadQuantities(boxes, true))
            return false;
        m_set.m_QtyShipped = boxes.quantity;
        m_set.m_QtyPerBox = boxes.perBox;
        m_set.m_Boxes = boxes.boxes;
    } else {
        m_typing = 0;
        m_shown = ShipBoxes{m_set.m_QtyShipped, m_set.m_QtyPerBox, m_set.m_Boxes};
        ShowQuantities(m_shown);
    }
    auto combo = [this](unsigned id) { return qobject_cast<QComboBox *>(GetDlgItem(this, id)); };
    DDX_CBData(dx, combo(kShipBy), m_set.m_ShipBy);
    DDX_CBData(dx, combo(kTaxBy), m_set.m_TaxBy);
    for (const auto &[id, date] : {std::pair<unsigned, DateTime *>{kShipDate, &m_set.m_Shipped},
                                   std::pair<unsigned, DateTime *>{kExpected, &m_set.m_Received}}) {
        auto *picker = qobject_cast<QDateTimeEdit *>(GetDlgItem(this, id));
        // A date never set shows as no date and stays unset.
        if (!save && (!date->isValid() || date->toOle() == 0.0))
            SetPickerNoDate(picker);
        else if (!(save && PickerShowsNoDate(picker)))
            DDX_DateTimeCtrl(dx, picker, *date);
    }
    DDX_CurrencyNoCharge(dx, edit(kShipAmount), m_set.m_ShipAmt);
    DDX_CurrencyNoCharge(dx, edit(kTaxAmount), m_set.m_TaxAmt);
    return !dx.failed();
}

bool CShipment::ReadQuantities(ShipBoxes &boxes, bool report)
{
    const std::pair<unsigned, qint32 *> fields[] = {
        {kShipped, &boxes.quantity}, {kPerBox, &boxes.perBox}, {kBoxes, &boxes.boxes}};
    for (const auto &[id, value] : fields) {
        if (!ReadShipCount(edit(id)->text(), *value)) {
            if (report) {
                platform::Prompt::messageBox(
                    FieldMessage(FieldName(edit(id)), QStringLiteral("Please enter an integer.")), QString(),
                    platform::MB_ICONEXCLAMATION);
                FocusItem(id);
            }
            return false;
        }
    }
    return true;
}

void CShipment::ShowQuantities(const ShipBoxes &boxes, unsigned typed)
{
    m_bShowing = true;
    const std::pair<unsigned, qint32> fields[] = {
        {kShipped, boxes.quantity}, {kPerBox, boxes.perBox}, {kBoxes, boxes.boxes}};
    for (const auto &[id, value] : fields) {
        QLineEdit *e = edit(id);
        const QString text = QString::number(value);
        // The field being typed shows what is typed, key by key.
        if (e && id != typed && e->text() != text)
            e->setText(text);
    }
    m_strBoxText = ShipmentBoxText(boxes);
    SetItemText(kBoxText, m_strBoxText);
    m_bShowing = false;
}

bool CShipment::TypedPacking(unsigned id, ShipBoxes &boxes, QString &refusal) const
{
    const ShipBoxField field = id == kBoxes ? ShipBoxField::Boxes
                               : id == kPerBox ? ShipBoxField::PerBox
                                               : ShipBoxField::Quantity;
    return TypedShipBoxes(m_shown, field, edit(id)->text(), boxes, refusal);
}

void CShipment::OnQuantityEdited(unsigned id)
{
    if (m_bShowing)
        return;
    if (m_typing != id && m_typing != 0)
        OnQuantityLeft(m_typing);
    m_typing = id;
    // Text that is no count the field takes yet ("2.", "-") leaves the
    // others as they were before this typing.
    ShipBoxes boxes = m_shown;
    QString refusal;
    TypedPacking(id, boxes, refusal);
    ShowQuantities(boxes, id);
}

bool CShipment::OnQuantityLeft(unsigned id)
{
    if (m_bShowing || m_typing != id)
        return true;
    m_typing = 0;
    ShipBoxes boxes = m_shown;
    QString refusal;
    if (!TypedPacking(id, boxes, refusal)) {
        ShowQuantities(m_shown);
        RefuseTyped(edit(id), refusal);
        return false;
    }
    m_shown = boxes;
    ShowQuantities(boxes);
    return true;
}

void CShipment::ShowShiptoText()
{
    QString text;
    try {
        CShiptoSet shipto;
        text = shipto.GetAddressText(m_set.m_ShiptoNo, 1);
    } catch (const platform::DbException &) {
        text = QStringLiteral("< not found >");
    }
    SetItemText(kShiptoText, text);
}

bool CShipment::OnCommand(int id)
{
    switch (id) {
    case kShipTo: OnShipTo(); return true;
    case kNoteCommand: OnNote(); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CShipment::OnShipTo()
{
    JobHooks &hooks = GetJobHooks();
    if (!hooks.pickShipto) {
        ReportJobFeatureNotAvailable(QStringLiteral("The ship-to list"));
        return;
    }
    qint32 cusNo = 0;
    try {
        CJobSet job;
        if (job.FindByField(QStringLiteral("JobID"), m_nJobID))
            cusNo = job.m_CusNo;
    } catch (const platform::DbException &) {
        return;
    }
    qint32 chosen = m_set.m_ShiptoNo;
    if (hooks.pickShipto(cusNo, chosen, m_nColorScheme, this) != IDOK_RESULT || chosen == m_set.m_ShiptoNo)
        return;
    m_set.m_ShiptoNo = chosen;
    ShowShiptoText();
}

void CShipment::OnNote()
{
    Exchange(true);
    CNoteDlg note(QStringLiteral("About this shipment"), QStringLiteral("Note"), m_set.m_ShipNote,
                  CNoteDlg::EditNote, this);
    if (note.DoModal() != IDOK_RESULT)
        return;
    m_set.m_ShipNote = note.m_strNote;
    if (auto *box = qobject_cast<QPlainTextEdit *>(GetDlgItem(this, kNote)))
        box->setPlainText(m_set.m_ShipNote);
}

void CShipment::OnOK()
{
    if (!Exchange(true))
        return;
    if (m_set.CheckDlgItemLength(QStringLiteral("ItemDes"), this, int(kDescription), true)
        || m_set.CheckDlgItemLength(QStringLiteral("Tracking"), this, int(kTracking), true))
        return;
    if (m_set.GetEditMode() == CXDaoSet::dbEditNone)
        return; // a row that could not be edited has nothing to save
    if (!m_set.SaveRecord(64))
        return;
    m_bSaved = true;
    m_nShipID = m_set.m_ShipID;
    EndDialog(IDOK_RESULT);
}

void CShipment::OnCancel()
{
    if (m_set.IsOpen() && m_set.GetEditMode() != CXDaoSet::dbEditNone)
        m_set.CancelUpdate();
    EndDialog(IDCANCEL_RESULT);
}
