#include "catalogue/CSerDiffTable.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "catalogue/ServiceTables.h"
#include "data/CSerSet.h"
#include "data/DaoError.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

namespace {

constexpr int kPaperRows = 19;
constexpr int kJobRows = 19;
constexpr int kSpeedRows = 9;
constexpr int kHeader = 48;
constexpr int kTop = 130;

const QString kTimeTitle = QStringLiteral("Add\nTime/Plate\n(minutes)");
const QString kSpeedTitle = QStringLiteral("Reduce\nSpeed\n(%)");
const QString kWasteTitle = QStringLiteral("Add\nWaste\n(sheets)");
const QString kRunWasteTitle = QStringLiteral("Add\nRunWaste\n(%)");

struct JobLabel
{
    const char *group;
    const char *level;
};
const JobLabel kJobLabels[kJobRows] = {
    {"Run Size", "Smallest"},   {"", "Smaller than"},  {"", "Larger than"},     {"", "Largest"},
    {"Coverage", "Normal +"},   {"", "Medium"},        {"", "Medium +"},        {"", "Difficult"},
    {"Registration", "Normal +"}, {"", "Medium"},      {"", "Medium +"},        {"", "Difficult"},
    {"Bleed", "Any Side"},      {"Print", "Both Sides"}, {"(reserved)", ""},    {"", ""},
    {"", ""},                   {"", ""},              {"Job Difficulty", "Limits -->"},
};

void addValueColumns(CXGridCtrl &grid)
{
    grid.AddColumn(kTimeTitle, 80, 7, QStringLiteral("2"));
    grid.AddColumn(kSpeedTitle, 70, 7, QStringLiteral("%6d"));
    grid.AddColumn(kWasteTitle, 70, 7, QStringLiteral("%6d"));
    grid.AddColumn(kRunWasteTitle, 76, 7, QStringLiteral("%6d"));
    // The speed and run waste are rates, typed with or without their "%".
    grid.SetColumnRate(grid.GetColumnCount() - 3);
    grid.SetColumnRate(grid.GetColumnCount() - 1);
}

} // namespace

CSerDiffTable::CSerDiffTable(const CSerSet &service, QWidget *parent)
    : CDlg0(986, parent), m_nSerNo(service.m_SerNo)
{
    m_strFullName = ZqApp() ? ZqApp()->GetServiceFullName(service.m_SerNo) : QString();
    if (m_strFullName.isEmpty())
        m_strFullName = service.m_Name;
    m_strWindowTitle = QStringLiteral("Difficulty Table");
    m_strStripText = QStringLiteral(
        "PAPER DIFFICULTY TABLE is used to add more setup time, reduce press speed, and add more waste based on "
        "Paper's Waste Row#.\nJOB DIFFICULTY TABLE is used based on Paper Specs entered in the Item Specs window.\n"
        "SPEED ADJUSTMENT TABLE is used if (a) 'Use Paper Properties' option is selected to calculate Press Time or "
        "(b) Run Table has one QtyBreak only.");
    const int gridsHeight = kHeader + kJobRows * 21 + 1;
    const int width = 1215;
    resize(width, kTop + gridsHeight + 70);
    AddPlaceholder(1901, QRect(0, 0, width, 40));
    AddPlaceholder(1902, QRect(0, 40, width, 56));
    AddPlaceholder(IDC_PAPER_CAPTION, QRect(15, kTop - 28, 377, 24), QStringLiteral("Paper Difficulty Table"));
    AddPlaceholder(IDC_JOB_CAPTION, QRect(407, kTop - 28, 607, 24), QStringLiteral("Job Difficulty Table"));
    AddPlaceholder(IDC_SPEED_CAPTION, QRect(1029, kTop - 28, 171, 24), QStringLiteral("Speed Adjustment"));
    AddPlaceholder(IDC_PAPER_GRID, QRect(15, kTop, 377, gridsHeight));
    AddPlaceholder(IDC_JOB_GRID, QRect(407, kTop, 607, gridsHeight));
    AddPlaceholder(IDC_SPEED_GRID, QRect(1029, kTop, 171, kHeader + kSpeedRows * 21 + 1));
    const int buttonsTop = kTop + gridsHeight + 16;
    AddButton(1, QStringLiteral("OK"), QRect(width / 2 - 110, buttonsTop, 104, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(width / 2 + 6, buttonsTop, 104, 32));
}

bool CSerDiffTable::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_nColorScheme = Appearance::instance().GetViewHue(30002, true);
    m_strRibbonTitle = m_strFullName;
    SetBackColor(0xFFFFFF);
    InitRibbons(6, 1, 2, 14);
    const unsigned captionIds[3] = {IDC_PAPER_CAPTION, IDC_JOB_CAPTION, IDC_SPEED_CAPTION};
    const QString captions[3] = {QStringLiteral("Paper Difficulty Table"), QStringLiteral("Job Difficulty Table"),
                                 QStringLiteral("Speed Adjustment")};
    for (int i = 0; i < 3; ++i)
        m_captions[i].CreateFromItem(this, captionIds[i], m_nColorScheme, 14, 0, 2, 2084, captions[i]);
    BuildGrids();
    Load();
    m_shownRow = {m_nSerNo};
    m_shownRow << CellValues();
    CenterAndAnimate(0);
    return true;
}

void CSerDiffTable::BuildGrids()
{
    m_paper.AddColumn(QStringLiteral("Paper\nWaste\nRow #"), 80, 1, QString(), 0, 0x01);
    addValueColumns(m_paper);
    m_paper.SetRows(kPaperRows, kPaperRows);
    for (int r = 0; r < kPaperRows; ++r)
        m_paper.SetCellText(r, 0, QString::number(r + 1));

    m_job.AddColumn(QStringLiteral("Difficulty\nGroup"), 105, 1, QString(), 0);
    m_job.AddColumn(QStringLiteral("Difficulty\nLevel"), 105, 1, QString(), 0);
    m_job.AddColumn(QStringLiteral("Run Size\nArea\n(sq.inch)"), 100, 7, QStringLiteral("%6d"));
    addValueColumns(m_job);
    m_job.SetRows(kJobRows, kJobRows);
    for (int r = 0; r < kJobRows; ++r) {
        m_job.SetCellText(r, 0, QString::fromLatin1(kJobLabels[r].group));
        m_job.SetCellText(r, 1, QString::fromLatin1(kJobLabels[r].level));
        if (r >= 4)
            m_job.SetCellEditable(r, 2, 0);
        if (r >= 14 && r <= 17)
            for (int c = 3; c <= 6; ++c)
                m_job.SetCellEditable(r, c, 0);
    }
    m_job.SetRowColors(false, 5);

    m_speed.AddColumn(QStringLiteral("Run\nQuantity\n(per pass)"), 85, 7, QStringLiteral("%6d"));
    m_speed.AddColumn(QStringLiteral("Increase\nSpeed\n(%)"), 85, 7, QStringLiteral("%6d"));
    m_speed.SetColumnRate(1);
    // A run quantity is a break: never below 0.
    m_speed.SetColumnNotNegative(0);
    m_speed.SetRows(kSpeedRows, kSpeedRows);

    const unsigned ids[3] = {IDC_PAPER_GRID, IDC_JOB_GRID, IDC_SPEED_GRID};
    CXGridCtrl *grids[3] = {&m_paper, &m_job, &m_speed};
    for (int i = 0; i < 3; ++i) {
        CXGridCtrl *grid = grids[i];
        grid->SetHeaderHeight(kHeader);
        grid->SetColorScheme(m_nColorScheme);
        grid->CreateInDlgItem(this, ids[i]);
        connect(grid, &CXWnd::ownerMessage, this, [this](int message, qintptr, qintptr) {
            if (message == 30247 && !m_bFilling && !m_bLocked)
                m_bChanged = true;
        });
    }
}

void CSerDiffTable::Load()
{
    QList<qint32> row;
    bool found = false;
    try {
        found = ReadServiceTableRow(QStringLiteral("SELECT * FROM ServiceDiffTables WHERE SerNo = %1").arg(m_nSerNo),
                                    row);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot requery ServiceDiffTables"));
    }
    if (!found || row.size() < kDiffFieldCount)
        return;
    m_bFilling = true;
    int field = 1;
    for (int r = 0; r < kPaperRows; ++r)
        for (int c = 1; c <= 4; ++c)
            m_paper.SetCellValue(r, c, row[field++]);
    for (int r = 0; r < kJobRows; ++r)
        for (int c = 2; c <= 6; ++c)
            m_job.SetCellValue(r, c, row[field++]);
    for (int r = 0; r < kSpeedRows; ++r)
        for (int c = 0; c <= 1; ++c)
            m_speed.SetCellValue(r, c, row[field++]);
    m_bFilling = false;
    m_paper.Refresh();
    m_job.Refresh();
    m_speed.Refresh();
}

QList<qint32> CSerDiffTable::CellValues() const
{
    QList<qint32> values;
    for (int r = 0; r < kPaperRows; ++r)
        for (int c = 1; c <= 4; ++c)
            values << m_paper.GetCellValue(r, c);
    for (int r = 0; r < kJobRows; ++r)
        for (int c = 2; c <= 6; ++c)
            values << m_job.GetCellValue(r, c);
    for (int r = 0; r < kSpeedRows; ++r)
        for (int c = 0; c <= 1; ++c)
            values << m_speed.GetCellValue(r, c);
    return values;
}

void CSerDiffTable::EndEdits()
{
    m_paper.EndEdit();
    m_job.EndEdit();
    m_speed.EndEdit();
}

bool CSerDiffTable::Save()
{
    EndEdits();
    if (m_bLocked || !m_bChanged)
        return true;
    QList<qint32> row = {m_nSerNo};
    row << CellValues();
    try {
        // Only the cells changed here are written, onto the row as it is now.
        if (!WriteServiceTableRow(QStringLiteral("SELECT * FROM ServiceDiffTables WHERE SerNo = %1").arg(m_nSerNo),
                                  row, m_shownRow, [this](int i) { return FieldLabel(i); },
                                  [this](int i, qint32 v) { return FieldText(i, v); }))
            return false; // what was typed stays for another try
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save ServiceDiffTables"));
        return false;
    }
    m_shownRow = row;
    m_bChanged = false;
    platform::Prompt::beep();
    return true;
}

const CXGridCtrl *CSerDiffTable::FieldCell(int ordinal, int &row, int &column) const
{
    if (ordinal >= kDiffPaperFirst && ordinal < kDiffJobFirst) {
        row = (ordinal - kDiffPaperFirst) / 4;
        column = (ordinal - kDiffPaperFirst) % 4 + 1;
        return &m_paper;
    }
    if (ordinal >= kDiffJobFirst && ordinal < kDiffSpeedFirst) {
        row = (ordinal - kDiffJobFirst) / 5;
        column = (ordinal - kDiffJobFirst) % 5 + 2;
        return &m_job;
    }
    if (ordinal >= kDiffSpeedFirst && ordinal < kDiffFieldCount) {
        row = (ordinal - kDiffSpeedFirst) / 2;
        column = (ordinal - kDiffSpeedFirst) % 2;
        return &m_speed;
    }
    return nullptr;
}

QString CSerDiffTable::FieldLabel(int ordinal) const
{
    int row = 0;
    int column = 0;
    const CXGridCtrl *grid = FieldCell(ordinal, row, column);
    if (!grid)
        return DiffTableFieldName(ordinal);
    // The table's caption, the row as its labels name it, the column's heading.
    QString table;
    QString rowName;
    if (grid == &m_job) {
        table = QStringLiteral("Job Difficulty Table");
        QString group;
        for (int r = row; r >= 0 && group.isEmpty(); --r)
            group = m_job.GetCellText(r, 0).trimmed();
        rowName = (group + QLatin1Char(' ') + m_job.GetCellText(row, 1).trimmed()).simplified();
    } else {
        table = grid == &m_paper ? QStringLiteral("Paper Difficulty Table") : QStringLiteral("Speed Adjustment");
        rowName = QStringLiteral("Row %1").arg(row + 1);
    }
    return table + QStringLiteral(", ") + rowName + QStringLiteral(", ") + grid->GetColumnHeader(column).simplified();
}

QString CSerDiffTable::FieldText(int ordinal, qint32 value) const
{
    int row = 0;
    int column = 0;
    const CXGridCtrl *grid = FieldCell(ordinal, row, column);
    return grid ? grid->ShownValueText(column, value) : QString::number(value);
}

void CSerDiffTable::OnOK()
{
    if (Save())
        EndDialog(IDOK_RESULT);
}

void CSerDiffTable::OnCancel()
{
    EndEdits();
    if (m_bChanged && !m_bLocked &&
        platform::Prompt::messageBox(QStringLiteral("Save changes?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES) {
        OnOK();
        return;
    }
    EndDialog(IDCANCEL_RESULT);
}
