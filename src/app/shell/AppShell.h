#pragma once

#include "app/base/CommandTarget.h"
#include "app/base/SharedDatabaseHolder.h"
#include "app/shell/MainViews.h"
#include "data/DatabaseOpening.h"
#include "platform/DateTime.h"

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>

class CMainFrame;
class CZqApp;
class SingleInstance;

// Starts and ends the program around the application object: refuses or
// allows a second copy, opens the shop's database, loads what the rest of the
// program reads from the application object, shows the main window with its
// start view, finishes a schema upgrade with the user and, at the end, starts
// the program again when a restart was asked for. It owns the program's one
// shared database (as the current holder) and the main window.
class AppShell : public QObject, public CommandTarget
{
    Q_OBJECT

public:
    static constexpr int kAboutCommand = 57664;
    static constexpr int kWorkstationOptionsCommand = 30515;
    // The command line a program started by a restart gets.
    static QString RestartArgument() { return QStringLiteral("--Restart"); }

    explicit AppShell(CZqApp &app, QObject *parent = nullptr);
    ~AppShell() override;

    // The shell of the running program (null when none).
    static AppShell *instance();

    // The start-up; false ends the program before its event loop (whatever
    // went wrong has been told to the user).
    bool InitInstance();
    // The end: closes the database and, when the exit code is 0 and a
    // restart was agreed, starts the program again with "--Restart". Returns
    // the exit code.
    int ExitInstance(int exitCode);
    // Asks text + "\n\nDo you want to restart Tavrel now?" (an empty text
    // restarts without asking); on Yes the main window closes and the program
    // starts again once it has ended.
    void AskRestart(const QString &text);
    // The About box; nothing when one is shown already.
    void OnAppAbout();

    bool OnCommand(int commandId) override;

    QString title() const { return m_title; }
    QString className() const { return m_className; }
    CMainFrame *mainFrame() const { return m_frame.get(); }
    StartTab startTab() const { return m_startTab; }
    DateTime today() const { return m_today; }
    int shopOptionBits() const { return m_shopOptionBits; }
    bool restartRequested() const { return m_restart; }
    SingleInstance *singleInstance() const { return m_instance.get(); }

    // The schema upgrade tells the start-up that it upgraded the file, with
    // the notes to show the user once the main window is up.
    void NoteDatabaseUpgraded(const QString &notes);

    // Starts the new program of a restart (program path and arguments);
    // QProcess::startDetached unless replaced.
    using ProcessStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
    void setProcessStarter(ProcessStarter starter) { m_starter = std::move(starter); }
    // The upgrade step the database opening runs; none until the schema
    // upgrade installs one.
    void setUpgradeStep(UpgradeDatabaseStep step) { m_upgradeStep = std::move(step); }
    // The rights asked before each view switch.
    void setViewRightsCheck(ViewRightsCheck check) { m_rights = std::move(check); }

private:
    void bringToFront();
    void finishUpgrade();
    void registerProgressWindows();

    CZqApp &m_app;
    SharedDatabaseHolder m_database;
    QString m_title;
    QString m_className;
    DateTime m_today = DateTime::invalid();
    StartTab m_startTab;
    int m_shopOptionBits = 11;
    bool m_restart = false;
    bool m_databaseUpgraded = false;
    QString m_upgradeNotes;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CMainFrame> m_frame;
    ProcessStarter m_starter;
    UpgradeDatabaseStep m_upgradeStep;
    ViewRightsCheck m_rights;
    AppShell *m_previous = nullptr;
};
