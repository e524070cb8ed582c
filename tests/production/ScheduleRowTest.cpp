#include "production/schedule/ScheduleLists.h"

#include <gtest/gtest.h>

using C = ScheduleLists;

TEST(ScheduleRow, NumbersShowTheirTextAndEmptyCellsStayEmpty)
{
    ScheduleRow row;
    row.setNumber(C::ColOrder, 0, 24);
    row.setNumber(C::ColJobId, -7);
    row.setNumber(C::ColTime, 2147483647);
    row.setNumber(C::ColQuantity, -2147483647 - 1);
    row.setNumber(C::ColNote, 2147483648LL); // past a Long: kept as its text
    EXPECT_EQ(row.size(), C::ColNote + 1);
    EXPECT_EQ(row.text(C::ColOrder), QStringLiteral("0"));
    EXPECT_TRUE(row.hasText(C::ColOrder));
    EXPECT_EQ(row.image(C::ColOrder), 24);
    EXPECT_EQ(row.text(C::ColJobId), QStringLiteral("-7"));
    EXPECT_EQ(row.text(C::ColTime), QStringLiteral("2147483647"));
    EXPECT_EQ(row.text(C::ColQuantity), QStringLiteral("-2147483648"));
    EXPECT_EQ(row.text(C::ColNote), QStringLiteral("2147483648"));

    // An empty text over a number empties the cell and keeps its picture.
    row.setText(C::ColOrder, QString());
    EXPECT_FALSE(row.hasText(C::ColOrder));
    EXPECT_EQ(row.text(C::ColOrder), QString());
    EXPECT_EQ(row.image(C::ColOrder), 24);
    // Cells never set, and past the row's end, are empty without picture.
    EXPECT_FALSE(row.hasText(C::ColCustomer));
    EXPECT_EQ(row.image(C::ColCustomer), -1);
    EXPECT_EQ(row.text(C::ColNote2), QString());
    EXPECT_EQ(row.image(C::ColNote2), -1);
    EXPECT_EQ(row.texts().size(), C::ColNote + 1);
}

TEST(ScheduleRow, RowsOfAListShareTextsButChangeAlone)
{
    const ScheduleRow::SharedTexts texts = ScheduleRow::NewTexts();
    const QString customer = QStringLiteral("Acme Printing");
    QList<ScheduleRow> rows;
    // Enough different texts that the pool remembers them by place.
    for (int r = 0; r < 40; ++r) {
        ScheduleRow row(texts);
        row.set(C::ColCustomer, customer);
        row.set(C::ColTitle, QStringLiteral("Title %1").arg(r), r);
        rows.append(row);
    }
    for (int r = 0; r < 40; ++r) {
        EXPECT_EQ(rows[r].text(C::ColCustomer), customer) << r;
        EXPECT_EQ(rows[r].text(C::ColTitle), QStringLiteral("Title %1").arg(r)) << r;
        EXPECT_EQ(rows[r].image(C::ColTitle), r) << r;
    }
    // One row changed (and a copy of another) leaves the rest as they were.
    ScheduleRow copy = rows[5];
    rows[3].setText(C::ColCustomer, QStringLiteral("Baker & Sons"));
    copy.setText(C::ColTitle, QStringLiteral("Changed"));
    EXPECT_EQ(rows[3].text(C::ColCustomer), QStringLiteral("Baker & Sons"));
    EXPECT_EQ(rows[4].text(C::ColCustomer), customer);
    EXPECT_EQ(rows[5].text(C::ColTitle), QStringLiteral("Title 5"));
    EXPECT_EQ(copy.text(C::ColTitle), QStringLiteral("Changed"));
    EXPECT_EQ(copy.text(C::ColCustomer), customer);
}

TEST(ScheduleRow, StatusColumnsWidenPastTheFixedColumns)
{
    // The item status tracker puts its status columns before column 7:
    // the cells after them move past the sixteen fixed ones.
    ScheduleRow row;
    for (int c = 0; c < C::ColumnCount; ++c)
        row.set(c, QStringLiteral("c%1").arg(c), 100 + c);
    C::WidenRow(row, 12);
    ASSERT_EQ(row.size(), C::ColumnCount + 12);
    EXPECT_EQ(row.text(C::ColTitle), QStringLiteral("c6"));
    EXPECT_EQ(row.image(C::ColTitle), 106);
    for (int c = C::ColBlank; c < C::ColBlank + 12; ++c) {
        EXPECT_FALSE(row.hasText(c)) << c;
        EXPECT_EQ(row.image(c), -1) << c;
    }
    EXPECT_EQ(row.text(19), QStringLiteral("c7"));
    EXPECT_EQ(row.image(19), 107);
    EXPECT_EQ(row.text(27), QStringLiteral("c15"));
    EXPECT_EQ(row.image(27), 115);
    EXPECT_EQ(row.text(28), QString());
}
