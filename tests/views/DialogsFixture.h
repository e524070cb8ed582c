#pragma once

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "support/ShopTest.h"
#include "views/CDlg0.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <functional>
#include <memory>

// A shop database in the test's folder opened as the shared database, an
// application object with window placement on, and helpers to drive a
// dialog that the prompt layer shows offscreen.
class DialogsTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        app->setPlacementSaving(true);
    }

    // Sends a command to the dialog and answers with the result it ended with.
    static int press(CDlg0 &dialog, int id)
    {
        dialog.SendCommand(id);
        return dialog.result();
    }

    // Saves the dialog as shown into build/tests/dialogs/<name>.png.
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("dialogs"), name);
    }
};
