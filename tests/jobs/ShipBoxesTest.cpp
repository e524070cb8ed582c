#include "jobs/ShipBoxes.h"

#include <gtest/gtest.h>

namespace {

TEST(ShipBoxes, TypedFieldsGiveThePacking)
{
    struct Case
    {
        ShipBoxes typed;
        ShipBoxField changed;
        ShipBoxes expect;
        qint32 last;
    } cases[] = {
        {{250, 100, 1}, ShipBoxField::PerBox, {250, 100, 3}, 50},
        {{250, 50, 1}, ShipBoxField::PerBox, {250, 50, 5}, 50},
        {{450, 100, 1}, ShipBoxField::PerBox, {450, 100, 5}, 50},
        // Boxes typed: whole pieces per box, the rest in the last box.
        {{100, 50, 3}, ShipBoxField::Boxes, {100, 33, 3}, 34},
        {{100, 1, 4}, ShipBoxField::Boxes, {100, 25, 4}, 25},
        // A quantity of 0 becomes 1, and so do the fields that follow it.
        {{0, 100, 1}, ShipBoxField::Quantity, {1, 1, 1}, 1},
        {{-5, 0, 0}, ShipBoxField::Boxes, {1, 1, 1}, 1},
        // More boxes than pieces: one piece a box; more per box than pieces: one box.
        {{10, 3, 25}, ShipBoxField::Boxes, {10, 1, 10}, 1},
        {{10, 25, 2}, ShipBoxField::PerBox, {10, 10, 1}, 10},
        {{10, 0, 2}, ShipBoxField::Quantity, {10, 1, 10}, 1},
        // A new quantity keeps the per-box count typed before.
        {{1000, 300, 1}, ShipBoxField::Quantity, {1000, 300, 4}, 100},
    };
    for (const Case &c : cases) {
        const ShipBoxes b = RecomputeShipBoxes(c.typed, c.changed);
        EXPECT_EQ(b.quantity, c.expect.quantity) << c.typed.quantity << '/' << c.typed.perBox << '/' << c.typed.boxes;
        EXPECT_EQ(b.perBox, c.expect.perBox) << c.typed.quantity << '/' << c.typed.perBox << '/' << c.typed.boxes;
        EXPECT_EQ(b.boxes, c.expect.boxes) << c.typed.quantity << '/' << c.typed.perBox << '/' << c.typed.boxes;
        EXPECT_EQ(LastBoxQuantity(b), c.last) << c.typed.quantity << '/' << c.typed.perBox << '/' << c.typed.boxes;
        // Every piece is in a box, and no box holds more than a full one (the
        // last may hold the rest of an uneven split).
        EXPECT_EQ(qint64(b.perBox) * (b.boxes - 1) + LastBoxQuantity(b), b.quantity);
    }
}

TEST(ShipBoxes, BreakdownTextsOfBothDialogs)
{
    struct Case
    {
        ShipBoxes boxes;
        const char *shipment;
        const char *label;
    } cases[] = {
        {{250, 100, 3},
         "   BOX: 1 of 3\n   BOX: 2 of 3 \t QTY: 100 of 250\n\n   BOX: 3 of 3 \t QTY: 50 of 250",
         "BOX 1 of 3\nBOX 2 of 3 \t QTY: 100 of 250\n\nBOX 3 of 3 \t QTY: 50 of 250"},
        {{250, 50, 5}, "\n\n   BOX: 5 of 5 \t QTY: 50 of 250", "\n\nBOX 5 of 5 \t QTY: 50 of 250"},
        {{450, 100, 5},
         "   BOX: 1 of 5 ...\n   BOX: 4 of 5 \t QTY: 100 of 450\n\n   BOX: 5 of 5 \t QTY: 50 of 450",
         "BOX 1 of 5 ...\nBOX 4 of 5 \t QTY: 100 of 450\n\nBOX 5 of 5 \t QTY: 50 of 450"},
        // 100 in three boxes: the last holds 34, not the 1 a remainder of 99 would give.
        {{100, 33, 3},
         "   BOX: 1 of 3\n   BOX: 2 of 3 \t QTY: 33 of 100\n\n   BOX: 3 of 3 \t QTY: 34 of 100",
         "BOX 1 of 3\nBOX 2 of 3 \t QTY: 33 of 100\n\nBOX 3 of 3 \t QTY: 34 of 100"},
        {{150, 100, 2}, "\n   BOX: 1 of 2 \t QTY: 100 of 150\n\n   BOX: 2 of 2 \t QTY: 50 of 150",
         "\nBOX 1 of 2 \t QTY: 100 of 150\n\nBOX 2 of 2 \t QTY: 50 of 150"},
        {{1, 1, 1}, "\n\n   BOX: 1 of 1 \t QTY: 1 of 1", "\n\nBOX 1 of 1 \t QTY: 1 of 1"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ShipmentBoxText(c.boxes), QString::fromLatin1(c.shipment)) << c.boxes.quantity;
        EXPECT_EQ(LabelBoxText(c.boxes), QString::fromLatin1(c.label)) << c.boxes.quantity;
    }
}

TEST(ShipBoxes, LabelsStartWithBoxesOfAtMostAThousand)
{
    struct Case
    {
        qint32 quantity, perBox, boxes;
    } cases[] = {{5000, 1000, 5}, {250, 250, 1}, {1000, 1000, 1}, {1001, 1000, 2}, {0, 1, 1}};
    for (const Case &c : cases) {
        const ShipBoxes b = InitialLabelBoxes(c.quantity);
        EXPECT_EQ(b.perBox, c.perBox) << c.quantity;
        EXPECT_EQ(b.boxes, c.boxes) << c.quantity;
    }
}

} // namespace

// A field's whole text typed over the packing shown (250 in boxes of 100,
// three boxes): a count the field takes gives the new packing; any other
// text is refused as it is, never read as the digits in it.
TEST(ShipBoxes, TypedTextIsACountTheFieldTakesOrRefused)
{
    const ShipBoxes shown{250, 100, 3};
    struct Case
    {
        ShipBoxField field;
        const char *typed;
        ShipBoxes expect;   // when kept
        const char *refusal; // null: kept
    } cases[] = {
        {ShipBoxField::Quantity, "1,000", {1000, 100, 10}, nullptr},
        {ShipBoxField::Quantity, "1e3", {1000, 100, 10}, nullptr},
        {ShipBoxField::Quantity, "2.5", {}, "Please enter an integer."},
        {ShipBoxField::Quantity, "-5", {}, "Please enter a number from 1 to 1000000000."},
        {ShipBoxField::Quantity, "0", {}, "Please enter a number from 1 to 1000000000."},
        {ShipBoxField::Quantity, "1", {1, 1, 1}, nullptr},
        // The quantity shipped is a count: the largest is kept, one past it refused.
        {ShipBoxField::Quantity, "1,000,000,000", {1000000000, 100, 10000000}, nullptr},
        {ShipBoxField::Quantity, "1,000,000,001", {}, "Please enter a number from 1 to 1000000000."},
        {ShipBoxField::Quantity, "2147483647", {}, "Please enter a number from 1 to 1000000000."},
        {ShipBoxField::Quantity, "3000000000", {}, "Please enter a number from 1 to 1000000000."},
        {ShipBoxField::PerBox, "3000000000", {}, "Please enter a number from 1 to 250."},
        {ShipBoxField::Quantity, "(5)", {}, "Please enter an integer."},
        {ShipBoxField::Quantity, "", {}, "Please enter an integer."},
        {ShipBoxField::PerBox, "50", {250, 50, 5}, nullptr},
        {ShipBoxField::PerBox, "250", {250, 250, 1}, nullptr},
        {ShipBoxField::PerBox, "251", {}, "Please enter a number from 1 to 250."},
        {ShipBoxField::PerBox, "2.5", {}, "Please enter an integer."},
        {ShipBoxField::PerBox, "-5", {}, "Please enter a number from 1 to 250."},
        {ShipBoxField::Boxes, "2", {250, 125, 2}, nullptr},
        {ShipBoxField::Boxes, "1e2", {250, 2, 100}, nullptr},
        {ShipBoxField::Boxes, "1e3", {}, "Please enter a number from 1 to 250."},
        {ShipBoxField::Boxes, "0", {}, "Please enter a number from 1 to 250."},
        {ShipBoxField::Boxes, "2.5", {}, "Please enter an integer."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in field " + std::to_string(int(c.field)));
        ShipBoxes out{7, 7, 7};
        QString refusal;
        const bool kept = TypedShipBoxes(shown, c.field, QString::fromLatin1(c.typed), out, refusal);
        EXPECT_EQ(kept, c.refusal == nullptr);
        if (kept) {
            EXPECT_EQ(out.quantity, c.expect.quantity);
            EXPECT_EQ(out.perBox, c.expect.perBox);
            EXPECT_EQ(out.boxes, c.expect.boxes);
        } else {
            EXPECT_EQ(refusal, QString::fromLatin1(c.refusal));
            EXPECT_EQ(out.quantity, 7); // untouched
        }
    }
}
