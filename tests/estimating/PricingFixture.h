#pragma once

#include "support/TestEnvironment.h"

#include "estimating/CItemPrice.h"
#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QString>

#include <initializer_list>
#include <memory>
#include <utility>

// A real shop database in the test's folder, opened as the shared database,
// with an empty markup and waste table and helpers that put services, price
// tables, difficulty rows, jobs and items into it.
class PricingTest : public TavrelTest
{
protected:
    using Columns = std::initializer_list<std::pair<const char *, QString>>;

    void SetUp() override;
    void TearDown() override;

    QString databasePath() const { return m_path; }
    void exec(const QString &jetSql);
    platform::Value scalar(const QString &jetSql);

    // Inserts a row; the values are Jet SQL literals.
    void insert(const QString &table, Columns columns);
    void addService(qint32 serNo, qint32 catNo, const QString &name, Columns columns = {});
    qint32 addJob(qint32 jobNo);
    // An item row (SerNo 0) or a service row of item 1 of the job.
    qint32 addRow(qint32 jobId, qint32 serNo, Columns columns = {}, int itemNo = 1);
    // A price table row: settings, the ten column keys, and up to twelve rows
    // of a break and up to ten prices (ten-thousandths).
    void addPriceTable(qint32 serNo, int columnBasis, int rowBasis, int reading, int method, int multiplier,
                       const QList<qint32> &keys, const QList<QList<qint32>> &rows);
    // One difficulty row: cells by name ("JobR2C0" ...), the rest 0.
    void addDiffTable(qint32 serNo, Columns cells);
    void setOption(qint32 optionId, qint32 value);

    // A fresh engine on the item row of the job's item 1.
    std::unique_ptr<CItemPrice> engine(qint32 jobId, bool silent, int itemNo = 1);
    const CItemSet &row(const CItemPrice &e, qint32 itemId) const { return e.Rows().at(itemId); }

    static QString m(const char *money) { return QString::fromLatin1(money); }
    static Money money(const char *text) { return Money::fromText(QString::fromLatin1(text)); }

private:
    QString m_path;
    std::unique_ptr<CItemSet> m_item;
};
