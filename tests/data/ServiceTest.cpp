#include "ShopTablesTest.h"

#include "data/CSerSet.h"
#include "data/CodeLookups.h"

#include <QtCore/QList>

namespace {

class ServiceTest : public ShopTablesTest
{
};

// A cell grid as the service dialog's set-up and run grids are laid out:
// a label column of type 0, then typed columns.
struct FakeCellGrid
{
    FakeCellGrid(int rows, QList<unsigned> types)
        : columnTypes(types), cells(rows * int(types.size()), -1), rowCount(rows)
    {
    }
    QList<unsigned> columnTypes;
    QList<int> cells;
    int rowCount;

    int GetRowCount() const { return rowCount; }
    int GetColumnCount() const { return int(columnTypes.size()); }
    unsigned GetColumnType(int c) const { return columnTypes[c]; }
    int GetCellValue(int r, int c) const { return cells[r * GetColumnCount() + c]; }
    void SetCellValue(int r, int c, int v) { cells[r * GetColumnCount() + c] = v; }
};

TEST_F(ServiceTest, NewServiceIsNumberedAndStoredWithItsDefaults)
{
    CSerSet set;
    ASSERT_TRUE(set.SafeAddNew());
    set.ResetFields(201);
    set.GetNextSerNo();
    EXPECT_EQ(set.m_SerNo, 194); // after the default services up to 193
    set.m_Name = QStringLiteral("Press 1");
    set.m_SetUp[19] = 2500;
    set.m_Run[0] = 1000;
    set.m_Run[35] = 1234;
    ASSERT_TRUE(set.SafeUpdate());

    CSerSet read;
    ASSERT_TRUE(read.FindBySerNo(194));
    EXPECT_EQ(read.m_CatNo, 201);
    EXPECT_EQ(read.m_OptTax, 1);
    EXPECT_EQ(read.m_OptCom, 1);
    EXPECT_EQ(read.m_OptWO, 1);
    EXPECT_EQ(read.m_OptInv, 0);
    EXPECT_EQ(read.m_Modified, DateTime(0.0));
    EXPECT_EQ(read.m_SetUp[0], 0);
    EXPECT_EQ(read.m_SetUp[19], 2500);
    EXPECT_EQ(read.m_Run[0], 1000);
    EXPECT_EQ(read.m_Run[35], 1234);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SetPrice5 FROM Services WHERE SerNo = 194")).toInt(), 2500);
    EXPECT_EQ(scalar(QStringLiteral("SELECT RunPrice9 FROM Services WHERE SerNo = 194")).toInt(), 1234);

    // Only a row being added is numbered.
    ASSERT_TRUE(read.SafeEdit());
    read.GetNextSerNo();
    EXPECT_EQ(read.m_SerNo, 194);

    exec(QStringLiteral("DELETE FROM Services"));
    ASSERT_TRUE(set.SafeAddNew());
    set.GetNextSerNo();
    EXPECT_EQ(set.m_SerNo, 1);
}

TEST_F(ServiceTest, LabelAndPictureFromCategoryAndDepartment)
{
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) "
                        "VALUES (201, 3, 2, 'Offset Presses', 1)"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (500, 201, 'Heidelberg')"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (501, 999, 'Orphan')"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (502, 0, 'Item')"));

    CSerSet set;
    ASSERT_TRUE(set.FindBySerNo(500));
    EXPECT_EQ(set.m_Label, QStringLiteral("Offset Presses: Heidelberg"));
    EXPECT_EQ(set.m_DepNo, 3);
    EXPECT_EQ(set.m_DepName, QStringLiteral("Printing"));
    EXPECT_EQ(set.m_Image, 2 + 48);

    ASSERT_TRUE(set.FindBySerNo(501));
    EXPECT_EQ(set.m_Label, QStringLiteral(": Orphan"));
    EXPECT_EQ(set.m_Image, 48);
    EXPECT_EQ(set.m_DepNo, 0);

    ASSERT_TRUE(set.FindBySerNo(502));
    EXPECT_EQ(set.m_Label, QString());
    EXPECT_EQ(set.m_Image, 0);

    // The application's caches answer once installed.
    SetCodeLookup(CodeTable::ServiceCategories, [](qint32 code, CachedCode &out) {
        out = {code, QStringLiteral("Cached"), 3, 0};
        return true;
    });
    ASSERT_TRUE(set.FindBySerNo(501));
    EXPECT_EQ(set.m_Label, QStringLiteral("Cached: Orphan"));
    SetCodeLookup(CodeTable::ServiceCategories, {});

    // A copy carries the row and its display members.
    CSerSet copy;
    ASSERT_TRUE(set.FindBySerNo(500));
    copy = set;
    EXPECT_EQ(copy.m_SerNo, 500);
    EXPECT_EQ(copy.m_Label, QStringLiteral("Offset Presses: Heidelberg"));
    EXPECT_FALSE(copy.IsOpen());
}

TEST_F(ServiceTest, GridsExchangeWithinTheArrays)
{
    CSerSet set;
    for (int i = 0; i < CSerSet::SetUpValues; ++i)
        set.m_SetUp[i] = 100 + i;
    for (int i = 0; i < CSerSet::RunValues; ++i)
        set.m_Run[i] = 200 + i;

    // Row r of four typed columns holds level r + 1.
    FakeCellGrid setUp(5, {0, 4, 4, 4, 4});
    FakeCellGrid run(9, {0, 4, 4, 4, 4});
    set.ExchangeGridArrays(setUp, run, false);
    EXPECT_EQ(setUp.GetCellValue(0, 0), -1);
    EXPECT_EQ(setUp.GetCellValue(0, 1), 100);
    EXPECT_EQ(setUp.GetCellValue(2, 3), 110);
    EXPECT_EQ(run.GetCellValue(8, 4), 235);

    run.SetCellValue(8, 4, 9999);
    setUp.SetCellValue(4, 1, 7);
    set.ExchangeGridArrays(setUp, run, true);
    EXPECT_EQ(set.m_Run[35], 9999);
    EXPECT_EQ(set.m_SetUp[16], 7);

    // Grids with more cells than the arrays: the cells past the end are
    // neither read nor written, and nothing after the arrays is touched.
    const qint32 imageBefore = set.m_Image;
    FakeCellGrid bigSetUp(12, {0, 4, 4, 4, 4});
    FakeCellGrid bigRun(12, {4, 4, 4, 4});
    for (int i = 0; i < bigSetUp.cells.size(); ++i)
        bigSetUp.cells[i] = 5000 + i;
    for (int i = 0; i < bigRun.cells.size(); ++i)
        bigRun.cells[i] = 6000 + i;
    set.ExchangeGridArrays(bigSetUp, bigRun, true);
    EXPECT_EQ(set.m_SetUp[19], bigSetUp.GetCellValue(4, 4));
    EXPECT_EQ(set.m_Run[35], bigRun.GetCellValue(8, 3));
    EXPECT_EQ(set.m_DepNo, 0);
    EXPECT_EQ(set.m_Image, imageBefore);

    set.ExchangeGridArrays(bigSetUp, bigRun, false);
    EXPECT_EQ(bigSetUp.GetCellValue(5, 1), 5000 + 5 * 5 + 1); // untouched
    EXPECT_EQ(bigRun.GetCellValue(9, 0), 6000 + 36);
}

TEST_F(ServiceTest, NotesStayWholeAndOtherTextsAreCut)
{
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (500, 0, 'x')"));
    CSerSet set;
    ASSERT_TRUE(set.FindBySerNo(500));
    ASSERT_TRUE(set.SafeEdit());
    set.m_SerNote = QString(1000, QLatin1Char('n'));
    set.m_Name = QString(80, QLatin1Char('a'));
    set.m_SKU = QStringLiteral("0123456789ABCDEFGHIJ");
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT SerNote FROM Services WHERE SerNo = 500")).toString().size(), 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Services WHERE SerNo = 500")).toString(),
              QString(50, QLatin1Char('a')));
    EXPECT_EQ(scalar(QStringLiteral("SELECT SKU FROM Services WHERE SerNo = 500")).toString(),
              QStringLiteral("0123456789ABCDEF"));
}

} // namespace
