#pragma once

#include "support/TestEnvironment.h"

#include "Printers.h"

#include "app/base/CZqApp.h"
#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>

class CDlg0;
class CXRibbon;
class QDialog;
class QWidget;

// A shop database in the test's folder opened as the shared database, today
// fixed at Wednesday 06/12/2024, an application object with its caches and a
// password entry that answers "top", a customer with a contact and a ship-to
// address, CSRs and a sales rep, and helpers that add jobs and items.
class JobsTest : public TavrelTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString &sql);
    platform::Value scalar(const QString &sql);
    QString databasePath() const { return m_path; }

    // A job row of the type; returns its JobID. Extra columns and values are
    // Jet SQL list pieces.
    qint32 addJob(int jobType, qint32 jobNo, const QString &columns = QString(), const QString &values = QString());
    qint32 addItem(qint32 jobId, int itemNo, const QString &description, const char *price, int exempt = 0);
    // The job window's settings row (items 0-10, comma-terminated).
    void setJobWindowSettings(const QString &text);
    // Guards actions with passwords: every level has the password "top".
    void usePasswords();

    static bool enabled(CXRibbon &bar, unsigned id);
    static bool present(CXRibbon &bar, unsigned id);
    // Saves the widget as shown into build/tests/jobs/<name>.png.
    static void snapshot(QWidget &widget, const QString &name);
    static Money money(const char *text) { return Money::fromText(QString::fromLatin1(text)); }
    // Lets queued commands run.
    static void runQueued();
    // While each message box is up another workstation writes with no wait
    // at all (a row rewritten as it is, so the file's rows stay as they
    // were): it must succeed, the file free while the box is on screen.
    // Counts the boxes so met; ended by stopWritingWhileBoxesShow.
    void writeAtOnceWhileBoxesShow(int &writes);
    static void stopWritingWhileBoxesShow();

    std::unique_ptr<CZqApp> app;
    int passwordsAsked = 0;

    static constexpr qint32 kCustomer = 100;
    static constexpr qint32 kBuyer = 7;
    static constexpr qint32 kShipto = 4;

private:
    QString m_path;
    QString m_dataFolder;
};
