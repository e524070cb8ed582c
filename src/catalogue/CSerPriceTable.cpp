#include "catalogue/CSerPriceTable.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/DialogControls.h"
#include "controls/DlgItem.h"
#include "data/DaoError.h"
#include "platform/PlacedFile.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/DbException.h"
#include "views/CDlgList.h"
#include "views/DelimitedText.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace {

const QString kColumnBases = QStringLiteral(
    "Use Column 1 (ignore other columns),Sheets per Set (Originals),Pages Printed per Set,Passes,"
    "How Sides Printed  (Black  |  Black/Black  |  Color  |  Color/Black  |  Color/Color),Units Asked,"
    "Item Width,Item Height,Item Perimeter,Item Area,");
const QString kReadings = QStringLiteral(" ,Per Each,Per M (1000),Total,");
const QString kMethods = QStringLiteral("Step,Linear,Sum,1st + Step,1st + Linear,");
const QString kMultipliers = QStringLiteral(
    "(built-in),1,Sheets per Set,Pages Printed per Set,Passes,Sides (1 or 2),Units Asked,Item Width,Item Height,"
    "Item Perimeter,Item Area,Service Quantity,");
constexpr int kWidth = 920;
constexpr int kListsTop = 76;
constexpr int kGridsTop = 238;
constexpr int kKeyHeader = 36;
constexpr int kPriceHeader = 36;
constexpr int kGridGap = 8;
constexpr int kImpressions = 8;

void fillCodes(QComboBox *combo, const QString &list)
{
    combo->clear();
    const QStringList entries = list.split(QLatin1Char(','));
    for (int i = 0; i + 1 < entries.size(); ++i)
        AddComboItem(combo, entries[i], i);
}

int comboCode(const QComboBox *combo)
{
    return combo && combo->currentIndex() >= 0 ? combo->currentData().toInt() : 0;
}

void selectCode(QComboBox *combo, int code)
{
    if (SelectComboByData(combo, code) < 0) {
        AddComboItem(combo, QString::number(code), code);
        SelectComboByData(combo, code);
    }
}

} // namespace

CSerPriceTable::CSerPriceTable(qint32 serNo, int tableNo, QWidget *parent)
    : CDlgGrid(984, parent, 0, 214), m_nSerNo(serNo), m_nTableNo(tableNo)
{
    m_strWindowTitle = QStringLiteral("Price Table");
    m_strHelpText = QStringLiteral(
        "How to Use this Price Table\n\n"
        "1. Choose what picks the column (and type the column keys where they are used).\n"
        "2. Choose what picks the row, and type the quantity breaks in rising order.\n"
        "3. Choose how the price in the cell is read.\n"
        "4. Choose how prices between quantity breaks are worked out.\n"
        "5. Choose what the price is multiplied by.\n\n"
        "The line under the grid shows the formula that results.");
    const int gridsHeight = kKeyHeader + 21 + 1 + kGridGap + kPriceHeader + kPriceRows * 21 + 1;
    AddStandardLayout(QSize(kWidth, kGridsTop + gridsHeight + 100),
                      QRect(kMargin, kGridsTop, kWidth - 2 * kMargin, kKeyHeader + 22));
    SetItemText(1, QStringLiteral("&Save"));
    const char *captions[] = {"1. Select a column based on:", "2. Select a row based on:",
                              "3. Read the price in the selected cell as:",
                              "4. Calculate the Service Price using this method:", "5. Multiply the price by:"};
    for (unsigned i = 0; i < 5; ++i) {
        const int y = kListsTop + int(i) * 30;
        AddLabel(QString::fromLatin1(captions[i]), QRect(kMargin, y, 320, 24));
        auto *combo = new QComboBox(this);
        combo->setGeometry(340, y, 540, 24);
        SetDlgCtrlID(combo, IDC_COLUMN_BASIS + i);
    }
    m_formula = AddLabel(QString(), QRect(kMargin, 0, kWidth - 2 * kMargin, 24), IDC_FORMULA);
    QFont bold = m_formula->font();
    bold.setBold(true);
    m_formula->setFont(bold);
    // The import sits at the left of the button row, across from Save and Cancel.
    AddButton(IDC_IMPORT, QStringLiteral("I&mport..."), QRect(kMargin, 0, 98, 28));
}

QComboBox *CSerPriceTable::list(unsigned id) const
{
    return qobject_cast<QComboBox *>(GetDlgItem(this, id));
}

PriceTableSettings CSerPriceTable::settings() const
{
    PriceTableSettings s;
    s.columnBasis = comboCode(list(IDC_COLUMN_BASIS));
    s.rowBasis = comboCode(list(IDC_ROW_BASIS));
    s.reading = comboCode(list(IDC_READING));
    s.method = comboCode(list(IDC_METHOD));
    s.multiplier = comboCode(list(IDC_MULTIPLIER));
    return s;
}

QString CSerPriceTable::formulaText() const
{
    return m_formula ? m_formula->text() : QString();
}

void CSerPriceTable::ChooseListEntry(unsigned id, int code)
{
    if (QComboBox *combo = list(id)) {
        SelectComboByData(combo, code);
        emit combo->activated(combo->currentIndex());
    }
}

bool CSerPriceTable::OnInitDialog()
{
    m_nColorScheme = Appearance::instance().GetViewHue(30002, true);
    if (CZqApp *app = ZqApp()) {
        m_strRibbonTitle = app->GetServiceFullName(m_nSerNo);
        if (m_nCatNo == 0)
            m_nCatNo = app->GetServiceCategory(m_nSerNo);
    }
    fillCodes(list(IDC_COLUMN_BASIS), kColumnBases);
    const QString quantityName = QuantityKindName(m_nQtyBy);
    fillCodes(list(IDC_ROW_BASIS), QStringLiteral("Item Quantity,Service Quantity = %1,").arg(quantityName));
    fillCodes(list(IDC_READING), kReadings);
    fillCodes(list(IDC_METHOD), kMethods);
    fillCodes(list(IDC_MULTIPLIER), kMultipliers);
    BuildGrids();
    SetGridOffsets(0, 0, 0, kGridGap);
    const bool created = CDlgGrid::OnInitDialog();
    for (unsigned id = IDC_COLUMN_BASIS; id <= IDC_MULTIPLIER; ++id) {
        connect(list(id), &QComboBox::activated, this, [this](int) {
            if (m_bFilling)
                return;
            m_bChanged = true;
            Refresh();
        });
    }
    for (CXGridCtrl *grid : {&m_wndGrid, &m_wndGrid2}) {
        connect(grid, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr) {
            if (message == 30247 && !m_bFilling)
                m_bChanged = true;
        });
    }
    Load();
    PlaceBelowGrids();
    if (m_nMode != 0) {
        EnableItem(1, false);
        EnableItem(IDC_IMPORT, false);
    }
    return created;
}

void CSerPriceTable::BuildGrids()
{
    m_wndGrid.AddColumn(QStringLiteral("Column No"), 171, 1, QString(), 0);
    for (int c = 0; c < kPriceColumns; ++c)
        m_wndGrid.AddColumn(QString::number(c + 1), 72, 7, QStringLiteral("%9d"));
    m_wndGrid.SetRows(1, 1);
    // Column keys and quantity breaks are never below 0; prices are amounts.
    for (int c = 0; c < kPriceColumns; ++c)
        m_wndGrid.SetColumnNotNegative(c + 1);
    m_wndGrid.SetHeaderHeight(kKeyHeader);

    m_wndGrid2.AddColumn(QStringLiteral("Row #"), 70, 1, QString(), 0);
    m_wndGrid2.AddColumn(QStringLiteral("Qty-Breaks"), 101, 7, QStringLiteral("%9d"));
    for (int c = 0; c < kPriceColumns; ++c)
        m_wndGrid2.AddColumn(QStringLiteral("Price"), 72, 7, QStringLiteral("4"));
    m_wndGrid2.SetRows(kPriceRows, kPriceRows);
    m_wndGrid2.SetColumnNotNegative(1);
    for (int c = 0; c < kPriceColumns; ++c)
        m_wndGrid2.SetColumnMoney(c + 2);
    m_wndGrid2.SetHeaderHeight(kPriceHeader);
    for (int r = 0; r < kPriceRows; ++r)
        m_wndGrid2.SetCellText(r, 0, QString::number(r + 1));
}

void CSerPriceTable::PlaceBelowGrids()
{
    const QRect grids = m_wndGrid2.isCreated() ? m_wndGrid2.geometry() : QRect(0, kGridsTop, 0, 300);
    m_formula->move(kMargin, grids.bottom() + 10);
    if (QWidget *ok = GetDlgItem(this, 1)) {
        const int top = m_formula->geometry().bottom() + 14;
        const int dy = top - ok->y();
        MoveItemBy(1, 0, dy);
        MoveItemBy(2, 0, dy);
        if (QWidget *import = GetDlgItem(this, IDC_IMPORT))
            import->move(kMargin, top);
        resize(width(), top + 32 + kMargin);
    }
}

void CSerPriceTable::Load()
{
    m_bFilling = true;
    QList<qint32> row;
    bool found = false;
    try {
        found = ReadServiceTableRow(QStringLiteral("SELECT * FROM ServicePriceTables WHERE SerNo = %1 and Opt1 = %2")
                                        .arg(m_nSerNo)
                                        .arg(m_nTableNo),
                                    row);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot requery ServicePriceTables"));
    }
    PriceTableSettings s;
    if (found && row.size() >= kPriceFieldCount) {
        s.columnBasis = row[2];
        s.rowBasis = row[3];
        s.reading = row[4];
        s.method = row[5];
        s.multiplier = row[6];
        for (int c = 0; c < kPriceColumns; ++c)
            m_wndGrid.SetCellValue(0, c + 1, row[9 + c]);
        for (int r = 0; r < kPriceRows; ++r) {
            const int first = 19 + r * 11;
            m_wndGrid2.SetCellValue(r, 1, row[first]);
            for (int c = 0; c < kPriceColumns; ++c)
                m_wndGrid2.SetCellValue(r, c + 2, row[first + 1 + c]);
        }
    }
    // A service counted in impressions has the multiplier built in.
    if (m_nQtyBy == kImpressions)
        s.multiplier = 0;
    selectCode(list(IDC_COLUMN_BASIS), s.columnBasis);
    selectCode(list(IDC_ROW_BASIS), s.rowBasis);
    selectCode(list(IDC_READING), s.reading);
    selectCode(list(IDC_METHOD), s.method);
    selectCode(list(IDC_MULTIPLIER), s.multiplier);
    EnableItem(IDC_MULTIPLIER, m_nQtyBy != kImpressions && m_nMode == 0);
    Refresh();
    m_shownRow = RowValues();
    // A multiplier the window puts to 0 (impressions) is a change to write.
    if (found && row.size() >= kPriceFieldCount)
        m_shownRow[6] = row[6];
    m_bFilling = false;
}

void CSerPriceTable::Refresh()
{
    const PriceTableSettings s = settings();
    const bool keysUsed = s.columnBasis != 0 && s.columnBasis != 4;
    m_wndGrid.SetCellText(0, 0, keysUsed ? PriceColumnBasisHeader(s.columnBasis) : QStringLiteral("Not used"));
    m_wndGrid.SetColumnTitle(0, QStringLiteral("Column No\n") + PriceColumnBasisHeader(s.columnBasis));
    m_wndGrid2.SetColumnTitle(1, QStringLiteral("Qty-Breaks\n") +
                                     (s.rowBasis == 1 ? QStringLiteral("Service Qty") : QStringLiteral("Item Qty")) +
                                     QStringLiteral(" ->"));
    const bool editable = m_nMode == 0;
    for (int c = 0; c < kPriceColumns; ++c) {
        const bool inUse = PriceColumnInUse(s.columnBasis, c);
        const QString title = PriceColumnTitle(s.columnBasis, c);
        m_wndGrid.SetColumnTitle(c + 1, title);
        m_wndGrid.SetCellEditable(0, c + 1, inUse && keysUsed && editable ? 1 : 0);
        m_wndGrid2.SetColumnTitle(c + 2, inUse ? QStringLiteral("Price\n") + title : QString());
        for (int r = 0; r < kPriceRows; ++r)
            m_wndGrid2.SetCellEditable(r, c + 2, inUse && editable ? 1 : 0);
    }
    for (int r = 0; r < kPriceRows; ++r)
        m_wndGrid2.SetCellEditable(r, 1, editable ? 1 : 0);
    m_wndGrid.Refresh();
    m_wndGrid2.Refresh();
    m_formula->setText(PriceFormulaLine(s, QuantityKindName(m_nQtyBy), m_nQtyBy == kImpressions,
                                        IsDigitalCategory(m_nCatNo)));
}

QList<qint32> CSerPriceTable::RowValues() const
{
    const PriceTableSettings s = settings();
    QList<qint32> row(kPriceFieldCount, 0);
    row[0] = m_nSerNo;
    row[1] = m_nTableNo;
    row[2] = s.columnBasis;
    row[3] = s.rowBasis;
    row[4] = s.reading;
    row[5] = s.method;
    row[6] = m_nQtyBy == kImpressions ? 0 : s.multiplier;
    for (int c = 0; c < kPriceColumns; ++c)
        row[9 + c] = m_wndGrid.GetCellValue(0, c + 1);
    for (int r = 0; r < kPriceRows; ++r) {
        const int first = 19 + r * 11;
        row[first] = m_wndGrid2.GetCellValue(r, 1);
        for (int c = 0; c < kPriceColumns; ++c)
            row[first + 1 + c] = m_wndGrid2.GetCellValue(r, c + 2);
    }
    return row;
}

QString CSerPriceTable::FieldLabel(int ordinal) const
{
    static const char *const lists[] = {"Select a column based on", "Select a row based on",
                                        "Read the price in the selected cell as",
                                        "Calculate the Service Price using this method", "Multiply the price by"};
    if (ordinal >= 2 && ordinal <= 6)
        return QString::fromLatin1(lists[ordinal - 2]);
    if (ordinal >= 9 && ordinal < 9 + kPriceColumns) {
        const QString title = m_wndGrid.GetColumnHeader(ordinal - 9 + 1).simplified();
        return QStringLiteral("Column No ") + (title.isEmpty() ? QString::number(ordinal - 9 + 1) : title);
    }
    if (ordinal >= 19 && ordinal < kPriceFieldCount) {
        const int r = (ordinal - 19) / 11;
        const int c = (ordinal - 19) % 11;
        QString heading = m_wndGrid2.GetColumnHeader(c + 1).simplified();
        if (heading.isEmpty())
            heading = c == 0 ? QStringLiteral("Qty-Breaks") : QStringLiteral("Price %1").arg(c);
        return QStringLiteral("Row %1, ").arg(r + 1) + heading;
    }
    return PriceTableFieldName(ordinal);
}

QString CSerPriceTable::FieldText(int ordinal, qint32 value) const
{
    if (ordinal >= 2 && ordinal <= 6) {
        if (const QComboBox *combo = list(IDC_COLUMN_BASIS + unsigned(ordinal - 2)))
            for (int i = 0; i < combo->count(); ++i)
                if (combo->itemData(i).toInt() == value)
                    return combo->itemText(i);
        return QString::number(value);
    }
    if (ordinal >= 9 && ordinal < 9 + kPriceColumns)
        return m_wndGrid.ShownValueText(ordinal - 9 + 1, value);
    if (ordinal >= 19 && ordinal < kPriceFieldCount)
        return m_wndGrid2.ShownValueText((ordinal - 19) % 11 + 1, value);
    return QString::number(value);
}

bool CSerPriceTable::Save()
{
    m_wndGrid.EndEdit();
    m_wndGrid2.EndEdit();
    const QList<qint32> row = RowValues();
    try {
        // Only what was changed here is written, onto the row as it is now.
        if (!WriteServiceTableRow(QStringLiteral("SELECT * FROM ServicePriceTables WHERE SerNo = %1 and Opt1 = %2")
                                      .arg(m_nSerNo)
                                      .arg(m_nTableNo),
                                  row, m_shownRow, [this](int i) { return FieldLabel(i); },
                                  [this](int i, qint32 v) { return FieldText(i, v); }))
            return false; // the typed values stay for another try
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save ServicePriceTables"));
        return false;
    }
    m_shownRow = row;
    m_bChanged = false;
    platform::Prompt::beep();
    return true;
}

void CSerPriceTable::OnOK()
{
    if (m_nMode != 0)
        return;
    m_wndGrid.EndEdit();
    m_wndGrid2.EndEdit();
    if (m_bChanged && !Save())
        return; // the typed values stay for another try
    EndDialog(IDOK_RESULT);
}

void CSerPriceTable::OnCancel()
{
    m_wndGrid.EndEdit();
    m_wndGrid2.EndEdit();
    if (m_bChanged && m_nMode == 0) {
        if (platform::Prompt::messageBox(QStringLiteral("Save changes?"), QString(),
                                         platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES) {
            OnOK();
            return;
        }
    }
    EndDialog(IDCANCEL_RESULT);
}

bool CSerPriceTable::OnCommand(int id)
{
    if (id == IDC_IMPORT) {
        Import();
        return true;
    }
    return CDlgGrid::OnCommand(id);
}

namespace {

// The most an import-rules file (a few lines naming columns) may hold.
constexpr qint64 kMaxImportRulesBytes = 1024 * 1024;

} // namespace

void CSerPriceTable::Import()
{
    QString folder = platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("ImportPath"));
    const QString path = platform::Prompt::openFileName(
        QStringLiteral("Select a price list file"),
        QDir(folder.isEmpty() ? QDir::currentPath() : folder).filePath(QStringLiteral("PriceList.txt")),
        QStringLiteral("Text Files (*.txt)"), this);
    if (path.isEmpty())
        return;
    CDlgList picker(QStringLiteral("Price List"), QFileInfo(path).fileName(), QStringLiteral("TextFile"), 0, 0, 0,
                    m_nColorScheme, this);
    picker.m_strTextFile = path;
    if (picker.DoModal() != IDOK_RESULT)
        return;
    folder = QFileInfo(path).absolutePath();
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("ImportPath"), folder);
    const QStringList fields = picker.m_rowTexts;

    const QString rulesPath = QDir(folder).filePath(QStringLiteral("ImportFields.txt"));
    QStringList lines;
    // The rules file lies in the import folder, wherever the price list came
    // from: only an ordinary file of a rules file's size is read (a pipe
    // there would hold the program for ever). A missing one reads as no rules.
    QByteArray bytes;
    QString refusal;
    bool checked = false;
    if (platform::PlacedFile::Read(rulesPath, kMaxImportRulesBytes, bytes, refusal, false, &checked)) {
        lines = DecodeTextFileBytes(bytes).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    } else if (checked) {
        platform::Prompt::messageBox(QStringLiteral("Cannot use ") + QDir::toNativeSeparators(rulesPath) +
                                         QStringLiteral(": ") + refusal + QLatin1Char('.'),
                                     QString(), platform::MB_OK | platform::MB_ICONHAND);
        return;
    }
    const ImportFieldRules rules = ReadImportFieldRules(lines);
    if (!rules.usable()) {
        platform::Prompt::messageBox(ImportRefusalText(QDir::toNativeSeparators(rulesPath), rules));
        return;
    }
    QString problem;
    const PriceRows rows = ImportPriceRows(fields, rules, &problem);
    if (!problem.isEmpty()) {
        platform::Prompt::messageBox(problem);
        return;
    }
    m_bFilling = true;
    for (int r = 0; r < kPriceRows; ++r) {
        m_wndGrid2.SetCellValue(r, 1, rows.breaks[r]);
        for (int c = 0; c < kPriceColumns; ++c)
            m_wndGrid2.SetCellValue(r, c + 2, rows.prices[r][c]);
    }
    m_bFilling = false;
    m_wndGrid2.Refresh();
    m_bChanged = true;
}
