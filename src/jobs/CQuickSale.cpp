#include "jobs/CQuickSale.h"

#include "app/base/CZqApp.h"
#include "app/base/PrintService.h"
#include "controls/DlgItem.h"
#include "data/DaoError.h"
#include "data/ListFillers.h"
#include "data/SharedDatabase.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "views/QuickSaleSlot.h"

#include <QtCore/QSignalBlocker>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>

namespace {
constexpr int kCellChanged = 30247;
constexpr int kQuickSaleRight = 61;
constexpr int kPrintAndSave = 30330;
constexpr int kTotalsRows = 3;
} // namespace

CQuickSale::CQuickSale(QWidget *parent) : CDlgGrid(870, parent, 0, 214)
{
    m_strWindowTitle = QStringLiteral("Quick Sale");
    m_strRibbonTitle = QStringLiteral("Quick Sale");
    m_strStripText = QStringLiteral("Quick Sale");
    AddStandardLayout(QSize(500, 480), QRect(kMargin, 72, 470, 250));
    QLabel *label = AddLabel(QStringLiteral("&Tax"), QRect(kMargin, 340, 40, 22));
    auto *tax = new QComboBox(this);
    tax->setGeometry(kMargin + 44, 338, 200, 26);
    SetDlgCtrlID(tax, kTax);
    label->setBuddy(tax);
}

QComboBox *CQuickSale::taxCombo() const
{
    return qobject_cast<QComboBox *>(GetDlgItem(this, kTax));
}

bool CQuickSale::OnInitDialog()
{
    CZqApp *app = ZqApp();
    if (app && !app->CheckPassword(kQuickSaleRight, QString())) {
        EndDialog(IDCANCEL_RESULT);
        return true;
    }
    platform::Database &db = SharedDatabase();
    try {
        m_nTaxCode = QuickSale::WalkInTaxCode(db);
    } catch (const platform::DbException &) {
        m_nTaxCode = 0;
    }

    m_wndGrid.AddColumn(QStringLiteral("Service"), 230, 2, QStringLiteral("&32"));
    m_wndGrid.AddColumn(QStringLiteral("Quantity"), 70, 7, QStringLiteral("%7d"));
    // The amounts are held in 64 bits as typed; the sale refuses one past
    // what its money fields hold.
    m_wndGrid.AddColumn(QStringLiteral("Price/Each"), 70, 8, QStringLiteral("4"));
    m_wndGrid.AddColumn(QStringLiteral("Price"), 70, 8, QStringLiteral("$"));
    m_wndGrid.SetColumnWide(ColUnitPrice);
    m_wndGrid.SetColumnWide(ColPrice);
    m_wndGrid.SetColumnMoney(ColUnitPrice);
    // A sale counts and prices from 0: a negative one typed is refused
    // naming its column, not made positive.
    for (int column : {int(ColQuantity), int(ColUnitPrice), int(ColPrice)})
        m_wndGrid.SetColumnNotNegative(column);
    m_wndGrid.SetRows(kRows, kRows);
    m_wndGrid.AddPickItem(ColService, 0, QString());
    try {
        for (const auto &[serNo, name] : QuickSale::PickList(db))
            m_wndGrid.AddPickItem(ColService, serNo, name);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Quick Sale services"));
    }
    m_wndGrid2.AddColumn(QString(), 70, 1, QStringLiteral("&32"), 0);
    m_wndGrid2.AddColumn(QString(), 70, 8, QStringLiteral("$"), 0);
    m_wndGrid2.SetRows(kTotalsRows, kTotalsRows);
    m_wndGrid2.SetHeaderHeight(0);
    const char *names[] = {"Subtotal", "Tax", "Total"};
    for (int r = 0; r < kTotalsRows; ++r)
        m_wndGrid2.SetCellText(r, 0, QString::fromLatin1(names[r]));
    // The totals sit under the amount columns of the sale.
    SetGridOffsets(0, 0, 230 + 70, 8);

    CDlgGrid::OnInitDialog();
    if (m_wndRibbon.isCreated())
        m_wndRibbon.RemoveItem(30330);
    connect(&m_wndGrid, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr cell) {
        if (message != kCellChanged)
            return;
        int row = 0, column = 0;
        m_wndGrid.IndexToCell(int(cell), row, column);
        OnCellChanged(row, column);
    });
    if (QComboBox *tax = taxCombo()) {
        FillListFromQuery(this, int(kTax), QStringLiteral("SELECT [No], Name FROM Taxes ORDER BY Sort, Name"));
        const int at = tax->findData(int(m_nTaxCode));
        tax->setCurrentIndex(at);
        connect(tax, &QComboBox::currentIndexChanged, this, [this] { OnTaxChanged(); });
    }
    RecomputeTotals();
    m_wndGrid.EditCell(0, ColService);
    return true;
}

bool CQuickSale::OnCommand(int id)
{
    if (id == 30330 || id == 30335) {
        OnPrintList();
        return true;
    }
    return CDlgGrid::OnCommand(id);
}

QuickSale::Line CQuickSale::LineOf(int row) const
{
    QuickSale::Line line;
    // The service's number and the quantity ("%7d") are whole numbers of
    // their columns; the amounts are kept in 64 bits.
    line.serNo = qint32(m_wndGrid.GetCellValue(row, ColService));
    line.quantity = qint32(m_wndGrid.GetCellValue(row, ColQuantity));
    line.unitPrice = m_wndGrid.GetCellValue(row, ColUnitPrice);
    line.price = m_wndGrid.GetCellValue(row, ColPrice);
    return line;
}

void CQuickSale::SetLine(int row, const QuickSale::Line &line)
{
    m_wndGrid.SetCellValue(row, ColQuantity, line.quantity);
    m_wndGrid.SetCellValue(row, ColUnitPrice, line.unitPrice);
    m_wndGrid.SetCellValue(row, ColPrice, line.price);
}

QList<QuickSale::Line> CQuickSale::Lines() const
{
    QList<QuickSale::Line> lines;
    for (int r = 0; r < m_wndGrid.GetRowCount(); ++r)
        lines << LineOf(r);
    return lines;
}

void CQuickSale::OnCellChanged(int row, int column)
{
    if (row < 0 || row >= m_wndGrid.GetRowCount())
        return;
    m_accepted.resize(m_wndGrid.GetRowCount());
    QuickSale::Line line = LineOf(row);
    QString refusal;
    QString remind;
    switch (column) {
    case ColService: {
        try {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT RunPrice1, RunCost1, Markup, Unit, SerRemind FROM Services WHERE SerNo = ?"),
                    {platform::Value(line.serNo)});
            // A service no longer in the table keeps the row's unit price.
            if (!rs.isEOF()) {
                QuickSale::ServiceRates rates;
                rates.runPrice1 = rs.value(0).toInt();
                rates.runCost1 = rs.value(1).toInt();
                rates.markup = rs.value(2).toInt();
                rates.unit = quint8(rs.value(3).toInt());
                line.unitPrice = QuickSale::UnitPriceOf(rates);
                remind = rs.value(4).toString().trimmed();
            }
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QStringLiteral("Quick Sale services"));
        }
        if (!QuickSale::PriceOf(line.quantity, line.unitPrice, line.price))
            refusal = QuickSale::TooLargeText(QStringLiteral("Price"), QuickSale::kLargestPrice, 2);
        break;
    }
    case ColQuantity:
    case ColUnitPrice:
        if (!QuickSale::PriceOf(line.quantity, line.unitPrice, line.price))
            refusal = QuickSale::TooLargeText(QStringLiteral("Price"), QuickSale::kLargestPrice, 2);
        break;
    case ColPrice:
        QuickSale::UnitPriceFromPrice(line.price, line.quantity, line.unitPrice);
        if (line.price > QuickSale::kLargestPrice)
            refusal = QuickSale::TooLargeText(QStringLiteral("Price"), QuickSale::kLargestPrice, 2);
        break;
    default:
        break;
    }
    QuickSale::Totals totals;
    if (refusal.isEmpty()) {
        SetLine(row, line);
        if (!QuickSale::ComputeTotals(Lines(), m_nTaxCode, totals, refusal))
            remind.clear();
    }
    if (!refusal.isEmpty()) {
        // Refused: the row stays as it was before the change, nothing wraps.
        const QuickSale::Line &before = m_accepted[row];
        m_wndGrid.SetCellValue(row, ColService, before.serNo);
        m_wndGrid.SetCellValue(row, ColQuantity, before.quantity);
        m_wndGrid.SetCellValue(row, ColUnitPrice, before.unitPrice);
        m_wndGrid.SetCellValue(row, ColPrice, before.price);
        m_wndGrid.RefreshRow(row);
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    m_accepted[row] = LineOf(row);
    m_totals = totals;
    ShowTotals();
    m_wndGrid.RefreshRow(row);
    if (!remind.isEmpty())
        platform::Prompt::messageBox(remind);
}

void CQuickSale::OnTaxChanged()
{
    QComboBox *tax = taxCombo();
    const quint8 before = m_nTaxCode;
    if (tax && tax->currentIndex() >= 0)
        m_nTaxCode = quint8(tax->currentData().toInt());
    QuickSale::Totals totals;
    QString refusal;
    if (!QuickSale::ComputeTotals(Lines(), m_nTaxCode, totals, refusal)) {
        // A tax that would take the total past the largest amount: the rate
        // chosen before stays.
        m_nTaxCode = before;
        if (tax) {
            const QSignalBlocker quiet(tax);
            tax->setCurrentIndex(tax->findData(int(before)));
        }
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    m_totals = totals;
    ShowTotals();
}

void CQuickSale::RecomputeTotals()
{
    QString refusal;
    QuickSale::ComputeTotals(Lines(), m_nTaxCode, m_totals, refusal);
    ShowTotals();
}

void CQuickSale::ShowTotals()
{
    m_wndGrid2.SetCellValue(0, 1, m_totals.subtotal);
    m_wndGrid2.SetCellValue(1, 1, m_totals.tax);
    m_wndGrid2.SetCellValue(2, 1, m_totals.total());
    m_wndGrid2.Refresh();
}

void CQuickSale::OnCancel()
{
    if (m_totals.subtotal != 0
        && platform::Prompt::messageBox(QStringLiteral("Cancel the Quick Sale?"), QString(),
                                        platform::MB_YESNO | platform::MB_ICONQUESTION)
               != platform::IDYES)
        return;
    EndDialog(IDCANCEL_RESULT);
}

void CQuickSale::OnOK()
{
    m_wndGrid.EndEdit();
    OnTaxChanged();
    const qint64 total = m_totals.total();
    if (total == 0)
        return;
    JobHooks &hooks = GetJobHooks();
    if (!hooks.takeDeposit) {
        ReportJobFeatureNotAvailable(QStringLiteral("Taking a payment"));
        return;
    }
    NewPayment payment;
    const int answer = hooks.takeDeposit(0, Money::fromCents(total), QuickSale::kWalkInCustomer, 0, payment, this);
    if (answer != IDOK_RESULT && answer != kPrintAndSave)
        return;
    try {
        m_saved = QuickSale::Save(SharedDatabase(), payment, m_nTaxCode, m_totals, Lines());
    } catch (const platform::DbException &e) {
        // Nothing was written: neither the payment nor the sale.
        ShowDaoError(e, QStringLiteral("Cannot Save:\n\n"));
        return;
    }
    if (!m_saved.refused.isEmpty()) {
        // Nothing was written; the sale stays on screen.
        platform::Prompt::messageBox(m_saved.refused, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    platform::Prompt::beep();
    if (answer == kPrintAndSave) {
        // The receipt shows the sale as it stands in the window.
        if (!hooks.printPaymentReceipt) {
            ReportJobFeatureNotAvailable(QStringLiteral("Printing the payment receipt"));
        } else {
            ReceiptData receipt;
            receipt.quickSale = true;
            for (int r = 0; r < m_wndGrid.GetRowCount(); ++r) {
                ReceiptRow row;
                row.description = m_wndGrid.GetCellText(r, ColService).trimmed();
                row.quantity = m_wndGrid.GetCellText(r, ColQuantity).trimmed();
                row.price = m_wndGrid.GetCellText(r, ColPrice).trimmed();
                row.hasDescription = !row.description.isEmpty();
                row.priceValue = Money::fromCents(m_wndGrid.GetCellValue(r, ColPrice));
                receipt.rows << row;
            }
            receipt.taxType = m_nTaxCode;
            receipt.subtotal = Money::fromCents(m_totals.subtotal);
            receipt.tax = Money::fromCents(m_totals.tax);
            receipt.secondTax = Money::fromCents(m_totals.tax2);
            receipt.paymentType = payment.paidByName;
            receipt.reference = payment.reference;
            receipt.due = payment.due;
            receipt.tendered = payment.tendered;
            receipt.change = payment.change;
            hooks.printPaymentReceipt(receipt, this);
        }
    }
    EndDialog(IDOK_RESULT);
}

void InstallQuickSale()
{
    quickSaleRunner() = [] {
        CQuickSale sale(nullptr);
        sale.DoModal();
    };
}
