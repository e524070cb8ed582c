#include "data/AppDataServices.h"

#include "data/CItemSet.h"

#include "app/base/CZqApp.h"
#include "data/CXDaoSet.h"
#include "data/CodeLookups.h"
#include "data/DaoError.h"
#include "data/DatabaseHelpers.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"

namespace {

bool readQuery(const QString &jetSql, int maxRows, CZqApp::QueryResult &result)
{
    result = CZqApp::QueryResult();
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, jetSql, CXDaoSet::dbForwardOnly);
    if (!set.IsOpen())
        return false;
    try {
        const int fields = set.GetFieldCount();
        for (int i = 0; i < fields; ++i)
            result.fields << set.GetFieldName(i);
        while (!set.IsEOF() && (maxRows <= 0 || result.rows.size() < maxRows)) {
            QList<platform::Value> row;
            row.reserve(fields);
            for (int i = 0; i < fields; ++i)
                row << set.GetFieldValue(i);
            result.rows << row;
            set.MoveNext();
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Could not run query:\n\n") + jetSql);
        result = CZqApp::QueryResult();
        return false;
    }
    return true;
}

CZqApp::CodeTable cacheOf(CodeTable table)
{
    switch (table) {
    case CodeTable::ServiceDepartments: return CZqApp::ServiceDepartments;
    case CodeTable::ServiceCategories: return CZqApp::ServiceCategories;
    case CodeTable::Services: return CZqApp::Services;
    case CodeTable::Employees: break;
    }
    return CZqApp::Employees;
}

// The cached entry as the table classes see it: its text and its first two
// numbers (DepNo and IconNo, CatNo, or Type).
bool cachedLookup(CodeTable table, qint32 code, CachedCode &out)
{
    CZqApp *app = ZqApp();
    if (!app)
        return false;
    CListItem entry;
    if (!app->FindCode(cacheOf(table), code, entry))
        return false;
    out.code = entry.m_value;
    out.text = entry.m_text;
    out.number1 = entry.number(1);
    out.number2 = entry.number(2);
    return true;
}

const CodeTable kTables[] = {CodeTable::ServiceDepartments, CodeTable::ServiceCategories, CodeTable::Services,
                             CodeTable::Employees};

} // namespace

void InstallAppQueryReader(CZqApp &app)
{
    app.setQueryReader(readQuery);
}

void InstallCodeCacheLookups()
{
    for (CodeTable table : kTables)
        SetCodeLookup(table, [table](qint32 code, CachedCode &out) { return cachedLookup(table, code, out); });
}

void RemoveCodeCacheLookups()
{
    for (CodeTable table : kTables)
        SetCodeLookup(table, CodeLookup());
}

void LoadTrackOptions(CZqApp &app, int alertType)
{
    app.SetTrackOptionsText(
        GetGlobalAlertText(alertType, -1, QStringLiteral("0,,, 0,1,1,0,  0,1,1,1,0,  0,0,0,")));
}

void LoadSettingRows(CZqApp &app)
{
    // Each item missing from the row (or the whole row) reads as "0".
    app.SetShopOptionsText(GetGlobalAlertText(100, -1, QStringLiteral("0,0,0,")));
    platform::Value taxThree;
    DbLookupValue(taxThree, QStringLiteral("SELECT Count(*) FROM Taxes WHERE Taxes.[No] = 3"), 0);
    app.setUsesTwoTaxes(taxThree.toInt() > 0);
}

int ApplyShopOptions(CZqApp &app)
{
    const int bits = GetOptionValue(30749, 11);
    CItemSet::InventoryRules rules = CItemSet::GetInventoryRules();
    rules.enabled = true;
    rules.optionBits = bits;
    CItemSet::SetInventoryRules(rules);
    LoadSettingRows(app);
    LoadTrackOptions(app, 221);
    return bits;
}

int GetConvertOptions(quint8 fromJobType, quint8 toQuote)
{
    return GetOptionValue(CZqApp::GetConvertOptionId(fromJobType, toQuote), 0);
}
