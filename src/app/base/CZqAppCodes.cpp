// The code-table caches: service departments, categories and services,
// product types, employees, production departments and tags, read once and
// answered from memory; and the few lookups of single rows that other areas
// ask the application object for.
#include "app/base/WaitCursor.h"
#include "app/base/CZqApp.h"

#include "app/base/TextUtil.h"
#include "resources/Strings.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>

namespace {

const QString kUnknown = QStringLiteral("?");

// The text of a code's entry, "?" when the code is missing.
QString codeText(CZqApp &app, CZqApp::CodeTable table, qint32 code)
{
    CListItem e;
    return app.FindCode(table, code, e) ? e.m_text : kUnknown;
}

// Number n of a code's entry, the fallback when the code is missing.
int codeNumber(CZqApp &app, CZqApp::CodeTable table, qint32 code, int n, int fallback)
{
    CListItem e;
    return app.FindCode(table, code, e) ? e.number(n) : fallback;
}

// The text and picture (number 2) of a code's entry: "?" and 255 when the
// code is missing. Gives the picture.
int codeNameAndIcon(CZqApp &app, CZqApp::CodeTable table, qint32 code, QString &name, int &icon)
{
    CListItem e;
    const bool found = app.FindCode(table, code, e);
    name = found ? e.m_text : kUnknown;
    icon = found ? e.number(2) : 255;
    return icon;
}

} // namespace

bool CZqApp::FindCode(CodeTable table, qint32 code, CListItem &out)
{
    const QHash<qint32, CListItem> &cache = m_caches[table];
    const auto it = cache.constFind(code);
    if (it == cache.constEnd())
        return false;
    out = it.value();
    CurrentCodeItem = out;
    return true;
}

// --- Loaders ------------------------------------------------------------------

void CZqApp::LoadServiceDepartments()
{
    m_caches[ServiceDepartments].clear();
    DepartmentList.clear();
    const QueryResult r = ReadQuery(QStringLiteral("SELECT * FROM ServiceDepartments ORDER BY SortNo"));
    for (int i = 0; i < r.rows.size(); ++i) {
        const qint32 depNo = r.intValue(i, "DepNo");
        const CListItem entry(depNo, r.textValue(i, "DepName"), depNo, r.intValue(i, "IconNo"),
                              r.intValue(i, "SortNo"));
        m_caches[ServiceDepartments].insert(depNo, entry);
        DepartmentList << entry;
    }
}

void CZqApp::LoadServiceCategories()
{
    WaitCursor wait;
    m_caches[ServiceCategories].clear();
    CategoryList.clear();
    const QueryResult r = ReadQuery(QStringLiteral("SELECT * FROM ServiceCategories ORDER BY SortNo"));
    if (!r.isEmpty()) {
        // The services of each category that are active (statuses 0 and 1).
        QHash<qint32, qint32> active;
        const QueryResult counts = ReadQuery(
            QStringLiteral("SELECT CatNo, Count(*) AS Active FROM Services WHERE SerStatus < 2 GROUP BY CatNo"));
        for (int i = 0; i < counts.rows.size(); ++i)
            active.insert(counts.intValue(i, "CatNo"), counts.intValue(i, "Active"));
        for (int i = 0; i < r.rows.size(); ++i) {
            const qint32 catNo = r.intValue(i, "CatNo");
            const CListItem entry(catNo, r.textValue(i, "CatName"), r.intValue(i, "DepNo"),
                                  r.intValue(i, "IconNo"), r.intValue(i, "SortNo"), active.value(catNo));
            m_caches[ServiceCategories].insert(catNo, entry);
            CategoryList << entry;
        }
    }
    const auto paper = m_caches[ServiceCategories].constFind(101);
    PaperDepNo = paper == m_caches[ServiceCategories].constEnd() ? 0 : paper->number(1);
}

void CZqApp::LoadServices(int mode)
{
    if (mode == 0) {
        ServicesChanged = 0;
        return;
    }
    {
        WaitCursor wait;
        m_caches[Services].clear();
        ServiceOrder.clear();
        const QueryResult r = ReadQuery(QStringLiteral("SELECT * FROM Services ORDER BY CatNo, SortNo, Name"));
        if (r.isEmpty())
            return;
        qint32 previousCat = 0;
        int place = 0;
        for (int i = 0; i < r.rows.size(); ++i) {
            const qint32 serNo = r.intValue(i, "SerNo");
            const qint32 catNo = r.intValue(i, "CatNo");
            const int status = r.intValue(i, "SerStatus");
            // The display name: " (HIDDEN)" for a discontinued service, then
            // " · " and the size when it has one.
            QString name = r.textValue(i, "Name");
            if (status == 2)
                name += QStringLiteral(" (HIDDEN)");
            QString size = r.textValue(i, "Size");
            while (size.startsWith(QLatin1Char(' ')))
                size.remove(0, 1);
            if (!size.isEmpty())
                name += QStringLiteral(" \u00B7 ") + size;
            // The picture of the service's department, in the category group.
            qint32 image = 0;
            if (catNo != 0) {
                const qint32 depNo = m_caches[ServiceCategories].value(catNo).number(1);
                image = m_caches[ServiceDepartments].value(depNo).number(2) + 48;
            }
            place = i > 0 && catNo == previousCat ? place + 1 : 1;
            previousCat = catNo;
            const CListItem entry(serNo, name, catNo, image, place, status, r.intValue(i, "VendorNo"),
                                  r.intValue(i, "Unit"));
            m_caches[Services].insert(serNo, entry);
            ServiceOrder << serNo;
        }
    }
    if (mode == 2)
        LoadServiceCategories();
    ServicesChanged = 0;
}

void CZqApp::LoadProductTypes()
{
    m_caches[ProductTypes].clear();
    const QueryResult r = ReadQuery(QStringLiteral("SELECT * FROM ProductTypes ORDER BY Sort, Name"));
    for (int i = 0; i < r.rows.size(); ++i) {
        const qint32 no = r.intValue(i, "No");
        m_caches[ProductTypes].insert(
            no, CListItem(no, r.textValue(i, "Name"), r.intValue(i, "Qty"), r.intValue(i, "Type")));
    }
}

// --- Lookups ------------------------------------------------------------------

QString CZqApp::GetDepartmentName(qint32 depNo)
{
    return codeText(*this, ServiceDepartments, depNo);
}

int CZqApp::GetDepartmentIcon(qint32 depNo)
{
    return codeNumber(*this, ServiceDepartments, depNo, 2, 84);
}

QString CZqApp::GetCategoryName(qint32 catNo)
{
    return codeText(*this, ServiceCategories, catNo);
}

int CZqApp::GetCategoryIcon(qint32 catNo)
{
    return codeNumber(*this, ServiceCategories, catNo, 2, 255);
}

int CZqApp::GetCategoryNameAndIcon(qint32 catNo, QString &name, int &icon)
{
    return codeNameAndIcon(*this, ServiceCategories, catNo, name, icon);
}

qint32 CZqApp::GetCategoryDepartment(qint32 catNo)
{
    return codeNumber(*this, ServiceCategories, catNo, 1, 0);
}

QString CZqApp::GetCategoryDepartmentName(qint32 catNo)
{
    CListItem e;
    return FindCode(ServiceCategories, catNo, e) ? GetDepartmentName(e.number(1)) : kUnknown;
}

int CZqApp::GetCategorySortNo(qint32 catNo)
{
    return codeNumber(*this, ServiceCategories, catNo, 3, 0);
}

int CZqApp::GetCategoryServiceCount(qint32 catNo)
{
    return codeNumber(*this, ServiceCategories, catNo, 4, 0);
}

QString CZqApp::GetServiceName(qint32 serNo)
{
    return codeText(*this, Services, serNo);
}

qint32 CZqApp::GetServiceCategory(qint32 serNo)
{
    return codeNumber(*this, Services, serNo, 1, 0);
}

int CZqApp::GetServiceColor(qint32 serNo)
{
    return codeNumber(*this, Services, serNo, 2, 255);
}

QString CZqApp::GetServiceCategoryName(qint32 serNo)
{
    CListItem e;
    return FindCode(Services, serNo, e) ? GetCategoryName(e.number(1)) : kUnknown;
}

QString CZqApp::GetServiceFullName(qint32 serNo)
{
    CListItem e;
    if (!FindCode(Services, serNo, e))
        return QString();
    return GetCategoryName(e.number(1)) + QStringLiteral(": ") + e.m_text;
}

QString CZqApp::GetProductTypeName(quint8 no)
{
    return codeText(*this, ProductTypes, no);
}

bool CZqApp::IsProductTypeKnown(quint8 no)
{
    CListItem e;
    return FindCode(ProductTypes, no, e);
}

QString CZqApp::GetEmployeeName(quint8 empNo)
{
    return codeText(*this, Employees, empNo);
}

bool CZqApp::IsEmployeeKnown(quint8 empNo)
{
    CListItem e;
    return FindCode(Employees, empNo, e);
}

int CZqApp::GetEmployeeNameAndIcon(quint8 empNo, QString &name, int &icon)
{
    name = GetEmployeeName(empNo);
    icon = GetEmployeeIcon(empNo, 131);
    return icon;
}

QString CZqApp::GetProductionDeptName(quint8 depId)
{
    return codeText(*this, ProductionDepts, depId);
}

int CZqApp::GetProductionDeptNameAndIcon(quint8 depId, QString &name, int &icon)
{
    name = GetProductionDeptName(depId);
    icon = 148;
    return icon;
}

QString CZqApp::GetProductionTagName(quint8 tagId)
{
    return codeText(*this, ProductionTags, tagId);
}

int CZqApp::GetProductionTagColor(quint8 tagId)
{
    return codeNumber(*this, ProductionTags, tagId, 2, 255);
}

int CZqApp::GetTagNameAndIcon(quint8 tagId, QString &name, int &icon)
{
    return codeNameAndIcon(*this, ProductionTags, tagId, name, icon);
}

int CZqApp::GetStockStatusNameAndIcon(quint8 status, QString &name, int &icon) const
{
    GetStockStatusName(name, status);
    icon = GetStockStatusIcon(status);
    return icon;
}

// --- Single-row lookups ---------------------------------------------------------

void CZqApp::GetSamplePath(QString &out, qint32 itemId) const
{
    const QueryResult r = ReadQuery(QStringLiteral("SELECT Path FROM Samples WHERE ItemID = %1").arg(itemId), 1);
    out = r.isEmpty() ? QString() : r.rows.first().value(0).toString();
}

qint32 CZqApp::GetItemJobInfo(int ref, quint8 &jobType, qint32 &jobNo, quint8 &itemNo, qint32 &up,
                              QString &description) const
{
    const QueryResult r =
        ReadQuery(QStringLiteral("SELECT Jobs.JobID, Jobs.JobType, Jobs.JobNo, Items.ItemNo, Items.Up, "
                                 "Items.Description FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
                                 "WHERE Items.ItemID = %1")
                      .arg(-qint64(ref)),
                  1);
    if (r.isEmpty())
        return 0;
    const QList<platform::Value> &row = r.rows.first();
    jobType = quint8(row.value(1).toInt());
    jobNo = qint32(row.value(2).toInt64());
    itemNo = quint8(row.value(3).toInt());
    up = qint32(row.value(4).toInt64());
    description = row.value(5).toString();
    return qint32(row.value(0).toInt64());
}

void CZqApp::GetHistoryRefText(QString &out, int ref) const
{
    if (ref >= 1) {
        out = QStringLiteral("History Job %1").arg(ref);
        return;
    }
    if (ref == 0) {
        out.clear();
        return;
    }
    quint8 jobType = 0;
    qint32 jobNo = 0;
    quint8 itemNo = 0;
    qint32 up = 0;
    QString description;
    if (GetItemJobInfo(ref, jobType, jobNo, itemNo, up, description) == 0) {
        out = QStringLiteral("a deleted Item");
        return;
    }
    out = QStringLiteral("%1 %2-%3").arg(GetResourceListItem(IDS_JOB_TYPES, jobType)).arg(jobNo).arg(itemNo);
}
