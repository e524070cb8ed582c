#include "PricingFixture.h"

#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QDateTime>
#include <QtCore/QStringList>

namespace {

const char *const kItemNumbers[] = {"SubNo", "SortNo", "Pages", "Out", "Up", "Data1", "Data2", "Side1", "Side2",
                                    "Covrg", "Regis", "Bleed", "PrtAs", "Vendor", "Opt1", "Opt2", "Opt3", "Opt4",
                                    "Wash", "Mix", "EmpNo", "Days2", "Tag1", "Tag2", "ActualTime", "ChargeTime",
                                    "ActualQty", "ChargeQty", "Width", "Height", "TimeCost", "MatCost", "Cost",
                                    "Price", nullptr};

} // namespace

void PricingTest::SetUp()
{
    TavrelTest::SetUp();
    m_path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(m_path);
    SharedDatabase().open(m_path);
    platform::Clock::setFixed(QDateTime(QDate(2024, 6, 15), QTime(10, 0)));
    exec(QStringLiteral("DELETE FROM MarkupTable"));
    exec(QStringLiteral("DELETE FROM WasteTable"));
    exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE AlertType = 254"));
}

void PricingTest::TearDown()
{
    m_item.reset();
    if (SharedDatabase().isOpen())
        SharedDatabase().close();
    TavrelTest::TearDown();
}

void PricingTest::exec(const QString &jetSql)
{
    SharedDatabase().execute(jetSql);
}

platform::Value PricingTest::scalar(const QString &jetSql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, jetSql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}

void PricingTest::insert(const QString &table, Columns columns)
{
    QStringList names;
    QStringList values;
    for (const auto &[name, value] : columns) {
        names << QString::fromLatin1(name);
        values << value;
    }
    exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(QStringLiteral(", ")),
                                                                values.join(QStringLiteral(", "))));
}

void PricingTest::addService(qint32 serNo, qint32 catNo, const QString &name, Columns columns)
{
    // Every column the test leaves out holds 0 or an empty text, as a
    // service saved by the program does.
    QStringList names = {QStringLiteral("SerNo"), QStringLiteral("CatNo"), QStringLiteral("Name")};
    QStringList values = {QString::number(serNo), QString::number(catNo), QLatin1Char('\'') + name + QLatin1Char('\'')};
    QStringList given;
    for (const auto &[n, v] : columns) {
        names << QString::fromLatin1(n);
        given << QString::fromLatin1(n).toLower();
        values << v;
    }
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT * FROM Services WHERE SerNo = -1"));
    for (int i = 0; i < rs.fieldCount(); ++i) {
        const QString field = rs.fieldName(i);
        const QString lower = field.toLower();
        if (lower == QLatin1String("serno") || lower == QLatin1String("catno") || lower == QLatin1String("name")
            || given.contains(lower))
            continue;
        const platform::FieldType type = rs.fieldType(i);
        names << QLatin1Char('[') + field + QLatin1Char(']');
        if (type == platform::FieldType::Text || type == platform::FieldType::Memo)
            values << QStringLiteral("''");
        else if (type == platform::FieldType::Date)
            values << QStringLiteral("#1/1/2024#");
        else
            values << QStringLiteral("0");
    }
    exec(QStringLiteral("INSERT INTO Services (%1) VALUES (%2)").arg(names.join(QStringLiteral(", ")),
                                                                     values.join(QStringLiteral(", "))));
}

qint32 PricingTest::addJob(qint32 jobNo)
{
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo) VALUES (1, %1, 0, 0)").arg(jobNo));
    return scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
}

qint32 PricingTest::addRow(qint32 jobId, qint32 serNo, Columns columns, int itemNo)
{
    QStringList names = {QStringLiteral("JobID"), QStringLiteral("SerNo"), QStringLiteral("ItemNo")};
    QStringList values = {QString::number(jobId), QString::number(serNo), QString::number(itemNo)};
    QStringList lower;
    for (const auto &[n, v] : columns) {
        names << QString::fromLatin1(n);
        lower << QString::fromLatin1(n).toLower();
        values << v;
    }
    if (!lower.contains(QStringLiteral("sheets"))) {
        names << QStringLiteral("Sheets");
        values << QStringLiteral("1");
    }
    if (!lower.contains(QStringLiteral("status"))) {
        names << QStringLiteral("Status");
        values << QStringLiteral("1");
    }
    for (const char *const *n = kItemNumbers; *n; ++n) {
        if (lower.contains(QString::fromLatin1(*n).toLower()))
            continue;
        names << QString::fromLatin1(*n);
        values << QStringLiteral("0");
    }
    exec(QStringLiteral("INSERT INTO Items (%1) VALUES (%2)").arg(names.join(QStringLiteral(", ")),
                                                                  values.join(QStringLiteral(", "))));
    return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
}

void PricingTest::addPriceTable(qint32 serNo, int columnBasis, int rowBasis, int reading, int method, int multiplier,
                                const QList<qint32> &keys, const QList<QList<qint32>> &rows)
{
    QStringList names = {QStringLiteral("SerNo"), QStringLiteral("Opt1"), QStringLiteral("Opt2"), QStringLiteral("Opt3"),
                         QStringLiteral("Opt4"), QStringLiteral("Opt5"), QStringLiteral("Opt6"), QStringLiteral("Opt7")};
    QStringList values = {QString::number(serNo), QStringLiteral("0"), QString::number(columnBasis),
                          QString::number(rowBasis), QString::number(reading), QString::number(method),
                          QString::number(multiplier), QStringLiteral("0")};
    // Row 0: the keys of columns 1..10; rows 1..12: the break, then the prices.
    for (int r = 0; r <= 12; ++r) {
        QList<qint32> cells;
        if (r == 0)
            cells = QList<qint32>{0} + keys;
        else if (r <= rows.size())
            cells = rows[r - 1];
        names << QStringLiteral("Qty%1").arg(r);
        values << QString::number(cells.isEmpty() ? 0 : cells[0]);
        for (int c = 0; c <= 9; ++c) {
            names << QStringLiteral("R%1C%2").arg(r).arg(c);
            values << QString::number(c + 1 < cells.size() ? cells[c + 1] : 0);
        }
    }
    exec(QStringLiteral("INSERT INTO ServicePriceTables (%1) VALUES (%2)").arg(names.join(QStringLiteral(", ")),
                                                                               values.join(QStringLiteral(", "))));
}

void PricingTest::addDiffTable(qint32 serNo, Columns cells)
{
    QStringList names = {QStringLiteral("SerNo")};
    QStringList values = {QString::number(serNo)};
    for (const auto &[n, v] : cells) {
        names << QString::fromLatin1(n);
        values << v;
    }
    exec(QStringLiteral("INSERT INTO ServiceDiffTables (%1) VALUES (%2)").arg(names.join(QStringLiteral(", ")),
                                                                              values.join(QStringLiteral(", "))));
}

void PricingTest::setOption(qint32 optionId, qint32 value)
{
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = %1").arg(optionId));
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (%1, %2)").arg(optionId).arg(value));
}

std::unique_ptr<CItemPrice> PricingTest::engine(qint32 jobId, bool silent, int itemNo)
{
    m_item = std::make_unique<CItemSet>();
    m_item->m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SerNo = 0").arg(jobId).arg(itemNo);
    m_item->Open(CXDaoSet::dbOpenSnapshot);
    return std::make_unique<CItemPrice>(m_item.get(), silent);
}
