#pragma once

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/DatabaseOpening.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "support/ShopTest.h"
#include "views/CDlg0.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>

#include <functional>
#include <memory>
#include <ostream>

// A shop in the test's folder: departments 1-7 of the default rows, the
// categories paper 101 and 150, carbonless 105, press 201, digital 301 and
// plates 6 next to a new file's cutting 401 and padding 404 (which hold the
// cutting and padding services every file has), a few services in them; the
// application object with its caches loaded from it. Rows are checked with
// the sqlite3 command-line program on the same file.
class CatalogueTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        InstallAppQueryReader(*app);
        native(QStringLiteral(
            "INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES "
            "(101, 2, 'Bond', 51, 1), (150, 2, 'Cover', 51, 2), (105, 2, 'Carbonless', 51, 3), "
            "(201, 3, 'Offset', 50, 4), (301, 4, 'Digital', 49, 5), (6, 3, 'Plates', 50, 6)"));
        // Papers 10-13 (one discontinued), presses, plates and bindery.
        native(QStringLiteral(
            "INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SerStatus, RunCost1, RunCost2, QtyBy) VALUES "
            "(10, 101, 1, '20# Bond', '8.5 x 11', 0, 1234, 500, 4), (11, 101, 2, '24# Bond', '11 x 17', 0, 0, 0, 4), "
            "(12, 101, 3, '20# Bond Pink', '8.5 x 11', 0, 0, 0, 4), (13, 101, 4, 'Old Bond', '8.5 x 14', 2, 0, 0, 4), "
            "(20, 201, 1, 'Offset 2 Color', '', 0, 0, 0, 8), (30, 6, 1, 'Metal Plate', '', 0, 0, 0, 9), "
            "(40, 401, 1, 'Cutting Small', '', 1, 0, 0, 1), (41, 401, 2, 'Cutting Large', '', 0, 0, 0, 1), "
            "(42, 401, 3, 'Folding Letter', '', 1, 0, 0, 1), (43, 401, 4, 'Hidden Cut', '', 2, 0, 0, 1)"));
        // Rows the program writes hold 0, never Null, in their whole-number columns.
        QStringList zeros;
        for (const char *column : {"DefPlate", "AutoAdd", "Divide", "Multiply", "Round", "Markup", "Markup2",
                                   "Markup3", "MinLevel", "ReOrder", "InStock", "OnOrder"})
            zeros << QStringLiteral("%1 = ifnull(%1, 0)").arg(QString::fromLatin1(column));
        for (int i = 1; i <= 9; ++i)
            for (const char *column : {"QBreak", "UnitsHr", "RunCost", "RunPrice"})
                zeros << QStringLiteral("%1%2 = ifnull(%1%2, 0)").arg(QString::fromLatin1(column)).arg(i);
        for (int i = 1; i <= 5; ++i)
            for (const char *column : {"SetFor", "SetTime", "SetCost", "SetPrice"})
                zeros << QStringLiteral("%1%2 = ifnull(%1%2, 0)").arg(QString::fromLatin1(column)).arg(i);
        native(QStringLiteral("UPDATE Services SET ") + zeros.join(QStringLiteral(", ")));
        reloadCaches();
    }
    void reloadCaches()
    {
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);
    }

    void native(const QString &sql) { SharedDatabase().executeNative(sql); }

    // A dump of the tables a bulk change touches.
    QString dump(const QString &table) const
    {
        return sqlite(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table));
    }


    static int press(CDlg0 &dialog, int id)
    {
        dialog.SendCommand(id);
        return dialog.result();
    }

    // Saves the widget as shown into build/tests/catalogue/<name>.png.
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("catalogue"), name);
    }

};
