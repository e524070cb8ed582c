#include "jobs/CFindJob.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/DialogControls.h"
#include "controls/CXDateEdit.h"
#include "controls/CXListCtrl.h"
#include "data/CCusSet.h"
#include "data/CItemSet.h"
#include "data/JobTypes.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"
#include "views/CDlgList.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

constexpr unsigned kCustomer = 1303, kJobType = 1201, kDateField = 1202, kDateRange = 1203, kCsr = 1205,
                   kProduct = 1204, kDescription = 1301, kNote = 1302, kService = 1304, kList = 1402,
                   kStep3 = 1903;
constexpr unsigned kJob = 30598, kItem = 30410, kCustomerButton = 30407, kPrint = 30330, kExport = 30123;
const char *const kCustomerPrompt = "Type customer's number or name (first few letters) and press Enter";

QComboBox *addCombo(QWidget *parent, unsigned id, const QRect &rect, const QStringList &rows)
{
    auto *combo = new QComboBox(parent);
    combo->setGeometry(rect);
    combo->addItems(rows);
    SetDlgCtrlID(combo, id);
    return combo;
}

QDateEdit *addPicker(QWidget *parent, unsigned id, const QRect &rect)
{
    auto *picker = new CXDateEdit(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    picker->setGeometry(rect);
    picker->setDate(GetToday().date());
    SetDlgCtrlID(picker, id);
    return picker;
}

} // namespace

CFindJob::CFindJob(QWidget *parent) : CDlg0(641, parent)
{
    m_strWindowTitle = QStringLiteral("Find Items");
    m_strCustomer = QString::fromLatin1(kCustomerPrompt);
    resize(980, 600);
    AddLabel(QStringLiteral(" STEP 1 - Set Filters:"), QRect(10, 10, 260, 24), 1901);
    struct Label
    {
        const char *text;
        int y;
    };
    static constexpr Label labels[] = {{"Job Type", 40},     {"Customer", 72},     {"Date Range", 104},
                                       {"C.S.R.", 200},       {"Product Type", 232}, {"Item Description", 264},
                                       {"Item Note", 296},    {"Service Name", 328}};
    for (const Label &l : labels)
        AddLabel(QString::fromLatin1(l.text), QRect(10, l.y, 110, 26));
    m_jobTypes = addCombo(this, kJobType, QRect(124, 40, 196, 26),
                          {QStringLiteral("Orders"), QStringLiteral("Quotes"), QStringLiteral("Templates"),
                           QStringLiteral("History Jobs")});
    m_customer = AddEdit(kCustomer, QRect(124, 72, 196, 26));
    m_dateFields = addCombo(this, kDateField, QRect(124, 104, 196, 26),
                            {QStringLiteral("DateIn"), QStringLiteral("DateDue"), QStringLiteral("DateShipped"),
                             QStringLiteral("DateReorder")});
    m_dateRanges = addCombo(this, kDateRange, QRect(124, 136, 196, 26),
                            {QStringLiteral("Any Date"), QStringLiteral("< Before"), QStringLiteral("> After"),
                             QStringLiteral("Between")});
    m_picker1 = addPicker(this, 2401, QRect(124, 168, 96, 26));
    m_picker2 = addPicker(this, 2402, QRect(224, 168, 96, 26));
    m_csrs = addCombo(this, kCsr, QRect(124, 200, 196, 26), {QStringLiteral("Any CSR")});
    m_products = addCombo(this, kProduct, QRect(124, 232, 196, 26), {QStringLiteral("Any Product Type")});
    m_description = AddEdit(kDescription, QRect(124, 264, 196, 26));
    m_note = AddEdit(kNote, QRect(124, 296, 196, 26));
    m_service = AddEdit(kService, QRect(124, 328, 196, 26));
    AddLabel(QStringLiteral("STEP 2 - Click List:"), QRect(10, 370, 260, 24), 1902);
    AddButton(kListByProduct, QStringLiteral("List Items by Product Type"), QRect(10, 398, 310, 30));
    AddButton(kListByDescription, QStringLiteral("List Items by Description"), QRect(10, 432, 310, 30));
    AddButton(kListByJobNumber, QStringLiteral("List Items by Job Number"), QRect(10, 466, 310, 30));

    AddLabel(QStringLiteral("STEP 3 - Select an Item and click:"), QRect(336, 10, 400, 24), kStep3);
    m_list = new CXListCtrl(this);
    m_list->setGeometry(336, 40, 634, 500);
    SetDlgCtrlID(m_list, kList);
    m_pList = m_list;
    AddButton(kJob, QStringLiteral("Job"), QRect(336, 552, 80, 30));
    AddButton(kItem, QStringLiteral("Item"), QRect(420, 552, 80, 30));
    AddButton(kCustomerButton, QStringLiteral("Customer"), QRect(504, 552, 90, 30));
    AddButton(kPrint, QStringLiteral("Print"), QRect(598, 552, 80, 30));
    AddButton(kExport, QStringLiteral("Export"), QRect(682, 552, 80, 30));
    AddButton(1, QStringLiteral("OK"), QRect(782, 552, 90, 30));
    AddButton(2, QStringLiteral("Close"), QRect(880, 552, 90, 30));

    connect(m_customer, &QLineEdit::editingFinished, this, [this] { OnCustomerLookup(); });
    connect(m_service, &QLineEdit::editingFinished, this, [this] { OnServiceLookup(); });
    connect(m_list, &QAbstractItemView::clicked, this, [this] { UpdateButtons(); });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { OnOK(); });
}

bool CFindJob::OnInitDialog()
{
    CDlg0::OnInitDialog();
    for (unsigned id : {1901u, 1902u, kStep3})
        SetItemFont(id, 4);
    m_list->SetImageListAndStyle(131, 0, 0);
    QString sql;
    GetCodeListSql(sql, 302, true);
    FillFromQuery(m_products, nullptr, sql);
    GetCodeListSql(sql, 602, true);
    FillFromQuery(m_csrs, nullptr, sql);
    m_jobTypes->setCurrentIndex(m_nJobType);
    m_dateFields->setCurrentIndex(2);
    m_dateRanges->setCurrentIndex(0);
    m_products->setCurrentIndex(0);
    m_csrs->setCurrentIndex(0);
    SetCueBanner(m_customer, QStringLiteral("< starts with >"));
    for (QLineEdit *edit : {m_service, m_description, m_note})
        SetCueBanner(edit, QStringLiteral("< contains >"));
    m_customer->setToolTip(m_strCustomer);
    UpdateButtons();
    return true;
}

ItemFinderFilter CFindJob::ReadFilter() const
{
    ItemFinderFilter f;
    f.jobType = std::max(0, m_jobTypes->currentIndex());
    f.cusNo = m_nCusNo;
    f.dateField = m_dateFields->currentText();
    f.dateRange = std::max(0, m_dateRanges->currentIndex());
    f.date1 = m_picker1->date();
    f.date2 = m_picker2->date();
    if (m_csrs->currentIndex() > 0)
        f.csrNo = m_csrs->currentData().toInt();
    if (m_products->currentIndex() > 0)
        f.productType = m_products->currentData().toInt();
    f.serNo = m_nSerNo;
    f.description = m_description->text();
    f.note = m_note->text();
    return f;
}

void CFindJob::OnCustomerLookup()
{
    const QString typed = m_customer->text().trimmed();
    if (typed == m_strShownCustomer)
        return;
    if (typed.isEmpty() || typed == QLatin1String("0")) {
        m_nCusNo = 0;
    } else {
        CDlgList picker(QStringLiteral("Customers"), QStringLiteral("Select a Customer"), QStringLiteral("Customers"),
                        0, m_nCusNo, 0, m_nColorScheme, this);
        picker.m_strFilter = ItemFinderCustomerCondition(typed);
        if (picker.DoModal() == IDOK_RESULT && picker.m_nChosenId > 0)
            m_nCusNo = qint32(picker.m_nChosenId);
    }
    CCusSet customer;
    m_strShownCustomer = m_nCusNo != 0 && customer.FindCustomer(m_nCusNo) ? customer.m_Name : QString();
    if (m_strShownCustomer.isEmpty())
        m_nCusNo = 0;
    m_customer->setText(m_strShownCustomer);
    UpdateButtons();
}

void CFindJob::OnServiceLookup()
{
    const QString typed = m_service->text().trimmed();
    if (typed == m_strShownService)
        return;
    if (typed.isEmpty() || typed == QLatin1String("0")) {
        m_nSerNo = 0;
    } else {
        const QString source =
            QStringLiteral("SELECT ServiceCategories.CatName as [Category], Services.Name as [Service_w_250], Size as "
                           "[Size_w_100], SerNo FROM Services INNER JOIN ServiceCategories ON ServiceCategories.CatNo "
                           "= Services.CatNo WHERE Name like %1 and (Services.CatNo between 1 and %2) ORDER BY "
                           "Services.CatNo, Services.Name")
                .arg(LiteralLikePattern(typed, true, true))
                .arg(998);
        CDlgList picker(QStringLiteral("Services"), QStringLiteral("Select a Service"), source, 0, m_nSerNo, 0,
                        m_nColorScheme, this);
        if (picker.DoModal() == IDOK_RESULT && picker.m_nChosenId > 0)
            m_nSerNo = qint32(picker.m_nChosenId);
    }
    m_strShownService.clear();
    if (m_nSerNo != 0) {
        if (CZqApp *app = ZqApp())
            m_strShownService = app->GetServiceCategoryName(m_nSerNo) + QStringLiteral(": ") +
                app->GetServiceName(m_nSerNo);
    }
    m_service->setText(m_strShownService);
    UpdateButtons();
}

void CFindJob::ListItems(int button)
{
    for (int b : {kListByProduct, kListByDescription, kListByJobNumber})
        SetItemFont(unsigned(b), b == button ? 3 : 2);
    const ItemFinderFilter filter = ReadFilter();
    m_nJobType = filter.jobType;
    m_strJobTypeLabel = m_jobTypes->currentText();
    m_strSql = ItemFinderSql(filter, button);
    m_list->SetDefaultImage(GetJobTypeImageAlt(filter.jobType));
    m_list->SetAutoSizeMode(ItemFinderFitMode(button), false);
    m_list->FillFromSql(m_strSql, QStringLiteral("ItemID"));
    SetItemText(kStep3, QStringLiteral("Items Listed: %1").arg(m_list->GetItemCount()));
    UpdateButtons();
}

qint32 CFindJob::SelectedJobId()
{
    if (m_list->GetItemCount() == 0 || m_list->GetSelectedCount() == 0)
        return 0;
    const std::int64_t itemId = m_list->GetSelectedData();
    if (itemId <= 0)
        return 0;
    CItemSet item;
    return item.OpenByItemID(qint32(itemId)) ? item.m_JobID : 0;
}

void CFindJob::UpdateButtons()
{
    const bool row = m_list->GetItemCount() > 0 && m_list->GetSelectedCount() > 0;
    for (unsigned id : {kJob, kItem, kPrint, kExport, 1u})
        EnableItem(id, row);
    EnableItem(kCustomerButton, m_nCusNo != 0);
}

bool CFindJob::OnCommand(int id)
{
    CZqApp *app = ZqApp();
    switch (id) {
    case kListByProduct:
    case kListByDescription:
    case kListByJobNumber: ListItems(id); return true;
    case int(kJob):
        if (const qint32 job = SelectedJobId(); job && app)
            app->OpenJob(job);
        return true;
    case int(kItem):
        if (m_list->GetSelectedCount() > 0 && app)
            app->PreviewItem(long(m_list->GetSelectedData()));
        return true;
    case int(kCustomerButton):
        if (m_nCusNo != 0 && app)
            app->OpenCustomer(m_nCusNo);
        return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CFindJob::OnPrintList()
{
    CZqApp *app = ZqApp();
    if (!app || m_list->GetItemCount() == 0)
        return;
    QString where = ItemFinderWhere(ReadFilter()).trimmed();
    if (where.startsWith(QLatin1String("WHERE ")))
        where.remove(0, 6);
    where.remove(QLatin1Char('#'));
    app->PrintList(m_list, QStringLiteral("Item List"), QStringLiteral("Filter: ") + where, QString());
}

void CFindJob::OnExportList()
{
    if (m_list->GetItemCount() > 0)
        CDlg0::OnExportList();
}

void CFindJob::OnOK()
{
    const qint32 job = SelectedJobId();
    if (job == 0)
        return;
    m_strResult = QStringLiteral("Jobs.JobID = %1").arg(job);
    m_nJobType = m_jobTypes->currentIndex();
    m_strJobTypeLabel = m_jobTypes->currentText();
    EndDialog(IDOK_RESULT);
}
