#pragma once

#include "app/base/CommandTarget.h"
#include "app/base/SharedDatabaseHolder.h"
#include "shell/MainViews.h"

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
    static constexpr int kBriefHelpCommand = 30418;
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
    // Which main views this workstation offers (level 1 password); a change
    // is stored and applies after a restart, which is offered.
    void OnWorkstationOptions();
    // Help > Brief Help (F1): the keys of the lists and the views in a note.
    void OnBriefHelp();

    bool OnCommand(int commandId) override;

    CMainFrame *mainFrame() const { return m_frame.get(); }
    StartTab startTab() const { return m_startTab; }
    int shopOptionBits() const { return m_shopOptionBits; }
    bool restartRequested() const { return m_restart; }

    // Starts the new program of a restart (program path and arguments);
    // QProcess::startDetached unless replaced.
    using ProcessStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
    void setProcessStarter(ProcessStarter starter) { m_starter = std::move(starter); }
    // The rights asked before each view switch; the application object's
    // rights check unless replaced.
    void setViewRightsCheck(ViewRightsCheck check) { m_rights = std::move(check); }

private:
    void bringToFront();
    void loadCodeTables();
    void finishUpgrade();
    void registerProgressWindows();

    CZqApp &m_app;
    SharedDatabaseHolder m_database;
    StartTab m_startTab;
    int m_shopOptionBits = 11;
    bool m_restart = false;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CMainFrame> m_frame;
    ProcessStarter m_starter;
    ViewRightsCheck m_rights;
    AppShell *m_previous = nullptr;
};
