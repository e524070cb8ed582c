#pragma once

#include "app/base/CZqApp.h"
#include "shell/AppShell.h"
#include "support/TestEnvironment.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

// A program start-up in the test's folder: the application object and its
// shell, the folder as the current one, and a shop database made on request.
class ShellTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new shop database "TavrelData.mdb" in the test's folder.
    void makeDatabase(const QString &shopName = QStringLiteral("Northside Print"));
    // The warning the main window gives on a screen below 1024 x 768 (the
    // headless screen is one); empty on a larger screen.
    static QString screenWarning();
    // Queues the answer to that warning when it will be shown.
    void answerScreenWarning();
    // A fresh shell (the previous one ends first), as a new run would have.
    void newShell();

    std::unique_ptr<CZqApp> app;
    std::unique_ptr<AppShell> shell;
    QStringList started; // program and arguments of every restart

private:
    QString m_oldCurrent;
};
