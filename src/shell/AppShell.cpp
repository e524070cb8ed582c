#include "shell/AppShell.h"
#include "views/ListChoice.h"

#include "app/base/AppRestart.h"
#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/ProgramPaths.h"
#include "app/base/Choices.h"
#include "shell/AppDialogs.h"
#include "shell/AppMenus.h"
#include "shell/CAboutDlg.h"
#include "shell/CMainFrame.h"
#include "shell/SingleInstance.h"
#include "customers/CCreditDlg.h"
#include "catalogue/CatalogueInstall.h"
#include "controls/CXProgress.h"
#include "customers/CustomerWindows.h"
#include "data/AppDataServices.h"
#include "data/Compaction.h"
#include "data/HeldNewCustomers.h"
#include "data/DatabaseMaintenance.h"
#include "data/DatabaseOpening.h"
#include "data/OptionsAndLookups.h"
#include "data/RunProgress.h"
#include "data/SchemaUpgrade.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "data/TableReport.h"
#include "estimating/CItemPrice.h"
#include "estimating/CItemSpecs.h"
#include "jobs/FindInstall.h"
#include "jobs/JobsInstall.h"
#include "production/ProductionInstall.h"
#include "estimating/CHtmlDlg.h"
#include "estimating/CPaperCutterDlg.h"
#include "estimating/CPriceBook.h"
#include "estimating/CPriceChanged.h"
#include "exchange/ExchangeInstall.h"
#include "reports/ReportsInstall.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "views/CNoteDlg.h"
#include "printing/EstimatingPrints.h"
#include "printing/CPrintForm.h"
#include "printing/JobPrintEntry.h"
#include "views/CStatusDlg.h"
#include "views/CStatusRunProgress.h"

#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

namespace {

AppShell *g_shell = nullptr;

constexpr int kScheduleListOptions = 1041;

} // namespace

AppShell::AppShell(CZqApp &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_starter([](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    })
    , m_rights([&app](int actionNumber) { return app.CheckPassword(actionNumber, QString()); })
    , m_previous(g_shell)
{
    g_shell = this;
    SetRestartHandler([this](const QString &text) { AskRestart(text); });
}

AppShell::~AppShell()
{
    CXProgress::SetFactory(nullptr);
    SetRunProgressMaker(nullptr);
    CStatusDlg::ServeNetworkWaits(false);
    LongRun::SetEndRequestTest(nullptr);
    SetRepairDatabaseStep(nullptr);
    SetUpgradeDatabaseStep(nullptr);
    SetHtmlPageViewer(nullptr);
    RemoveCodeCacheLookups();
    RemoveFindDialogs();
    RemoveJobs(m_app);
    CItemPrice::SetDefaultPriceChangeDialog(nullptr);
    RemoveAppDialogs(m_app);
    m_app.setPrintService(nullptr);
    RemoveAppMenus();
    m_frame.reset();
    m_instance.reset();
    EndLaterPageChecks();
    if (m_database.database().isOpen())
        m_database.database().close();
    if (g_shell == this) {
        g_shell = m_previous;
        if (AppShell *previous = m_previous)
            SetRestartHandler([previous](const QString &text) { previous->AskRestart(text); });
        else
            SetRestartHandler(nullptr);
    }
}

AppShell *AppShell::instance()
{
    return g_shell;
}

bool AppShell::InitInstance()
{
    using platform::Prompt;
    const QString &title = m_app.m_strTitle;
    Prompt::setDefaultCaption(title);

    // Another copy for this user: it comes to the front unless the user wants
    // a second one beside it.
    m_instance = std::make_unique<SingleInstance>(m_app.m_strClassName);
    if (m_instance->IsOtherCopyRunning()) {
        const int answer = Prompt::messageBox(
            title + QStringLiteral(" is already running!\nDo you want to start another copy?"), QString(),
            platform::MB_YESNO);
        if (answer != platform::IDYES) {
            m_instance->ActivateOtherCopy();
            m_instance.reset();
            return false;
        }
    } else {
        m_instance->Listen();
    }
    m_instance->setActivationHandler([this] { bringToFront(); });

    m_app.m_today = GetToday(0);

    // The opening offers the repair, runs the schema upgrade and shows their
    // progress in the program's own window.
    registerProgressWindows();
    // Every connection the shell makes between the layers, in one list.
    InstallAppDialogs(m_app, [this]() -> QWidget * { return m_frame.get(); });
    InstallJobs(m_app, [this]() -> QWidget * { return m_frame.get(); });
    InstallFindDialogs();
    InstallDatabaseMaintenance();
    InstallAppQueryReader(m_app);
    InstallPrinting(m_app);
    InstallJobDocumentPrinting();
    InstallSettingRowReader();
    if (!OpenDatabase(&SharedDatabase()))
        return false;
    // A new customer that a copy of the program killed here left half made.
    HeldNewCustomers::RemoveAbandoned();
    m_app.LoadCompanyInfo();

    m_app.setAcceleratorsLoaded(true);
    m_app.m_nDefaultCsr = m_app.GetSettingInt(QStringLiteral("DefCSR"), 0, CZqApp::kSettings);
    m_app.setPlacementSaving(true);
    Appearance::instance().LoadViewSettings();
    m_app.LoadEmailSettings();
    loadCodeTables();
    m_app.BuildPopupMenus();
    // The inventory options (Options row 30749), the shop options row and the
    // time tracker's options reach the code that follows them.
    m_shopOptionBits = ApplyShopOptions(m_app);
    // Installed once the caches are loaded: the table classes' code lookups
    // answer from them from here on.
    InstallCodeCacheLookups();
    InstallItemSpecs();
    InstallCatalogue(m_app);
    InstallCustomerWindows(m_app, [this]() -> QWidget * { return m_frame.get(); });
    InstallCreditDialog();
    InstallPriceChanged();
    InstallProduction(m_app);
    InstallPaperCutter();
    InstallPriceBook();
    InstallHtmlDialog(m_app);
    InstallEstimatingPrints();
    InstallExchange();
    InstallReports();
    // The one menu resource 170 holds every area's pop-ups; registered after
    // the areas so that it is the one the program shows.
    InstallAppMenus(m_app);

    m_startTab = LoadStartTab(m_app);
    // The views' tabs and the frame offer the views of the mask checked here,
    // not the stored one.
    m_app.SetShownTabs(m_startTab.mask);

    m_frame = std::make_unique<CMainFrame>(m_app);
    LongRun::SetMainWindow(m_frame.get());
    LongRun::SetEndRequestTest(&CMainFrame::IsEndRequest);
    m_frame->setOfferedViews(m_startTab.mask);
    m_frame->setRightsCheck(m_rights);
    m_frame->setApplicationTarget(this);
    m_frame->OnCreate();
    QWidget *first = CreateMainView(m_startTab.viewId);
    if (!first)
        return false;
    m_frame->AddView(m_startTab.viewId, first);
    m_frame->setWindowTitle(title);

    if (!m_app.RestoreWindowPlacement(QStringLiteral("MainFrame"), m_frame.get())) {
        if (QScreen *screen = m_frame->screen())
            m_frame->move(screen->availableGeometry().center() - m_frame->rect().center());
    }
    m_frame->show();
    // Where no window manager hands the new window the keys, it takes them
    // itself; within it the view shown (its list) takes them.
    m_frame->activateWindow();
    FocusViewList(m_frame->activeView());
    // A file too large to be looked at while the start waits has its pages
    // looked at now, beside the program, once the first view is shown.
    QTimer::singleShot(0, this, [] { BeginLaterPageChecks(); });

    if (DatabaseUpgraded() != 0)
        finishUpgrade();
    RemindCompact();
    return true;
}

void AppShell::loadCodeTables()
{
    m_app.LoadServiceDepartments();
    m_app.LoadServiceCategories();
    m_app.LoadServices(1);
    m_app.LoadProductTypes();
}

void AppShell::finishUpgrade()
{
    // The upgrade may have added departments and categories; the organiser
    // numbers their sort orders and colours.
    m_app.LoadServiceDepartments();
    m_app.LoadServiceCategories();
    RunOrganizerAfterUpgrade(m_app);
    m_app.LoadServices(1);
    m_app.WriteSettingInt(QStringLiteral("List Options"), kScheduleListOptions, CZqApp::kScheduler);
    platform::Prompt::messageBox(QStringLiteral("Your database has been successfully upgraded.\n") + UpgradeNotes()
                                     + QStringLiteral("\n\nPlease continue with 'To Do After You Upgrade' section \n"
                                                      "in the Upgrade Guide."),
                                 QString(), platform::MB_ICONINFORMATION);
    ClearUpgradeHandOver();
    m_app.m_strUpgradeNotes.clear();
}

int AppShell::ExitInstance(int exitCode)
{
    // The next copy must find neither this copy's window nor its hold on the
    // database.
    m_frame.reset();
    m_instance.reset();
    EndLaterPageChecks();
    if (SharedDatabase().isOpen())
        SharedDatabase().close();
    if (exitCode == 0 && m_restart && m_starter) {
        // A program that cannot be started again is not reported: this one
        // ends normally.
        m_starter(GetModulePath(), QStringList{RestartArgument()});
    }
    return exitCode;
}

void AppShell::AskRestart(const QString &text)
{
    if (!text.isEmpty()
        && platform::Prompt::messageBox(text + QStringLiteral("\n\nDo you want to restart Tavrel now?"), QString(),
                                        platform::MB_YESNO | platform::MB_ICONQUESTION)
            != platform::IDYES)
        return;
    m_restart = true;
    PostCommand(m_frame.get(), CMainFrame::kExitCommand);
}

void AppShell::OnAppAbout()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        if (w->isVisible() && w->windowTitle() == CAboutDlg::WindowTitle())
            return;
    CAboutDlg dialog(m_app, m_frame.get());
    platform::Prompt::execDialog(dialog);
}

void AppShell::OnBriefHelp()
{
    QString text = QStringLiteral(
        "Keys of every list:\n"
        "F2\tNew\nF3\tFind\nF4\tFavorites\nF5\tRefresh List\nF6 or Enter\tOpen\nF7\tPrint\n"
        "F8\tEmail\nF9\tExport\nDel\tDelete\nCtrl+A\tSelect All\nCtrl+B\tCopy and Paste\n"
        "Ctrl+F3\tSearch List\nCtrl+S\tChange Status\nCtrl+T\tView Column Totals\n"
        "Right-click\tthe list's menu\n\n"
        "Views:\n");
    static const struct
    {
        int id;
        char key;
    } kViews[] = {{30000, 'H'}, {30001, 'J'}, {30007, 'U'}, {30008, 'T'}, {30002, 'S'},
                  {30003, 'C'}, {30004, 'A'}, {30005, 'R'}, {30006, 'E'}};
    for (const auto &v : kViews)
        text += QStringLiteral("Ctrl+Shift+%1\t%2\n").arg(QLatin1Char(v.key)).arg(Appearance::GetViewName(unsigned(v.id)));
    text += QStringLiteral("\nIn a job window, \"Paste (this Job)\" (Ctrl+F10) copies the job; in the Jobs view "
                           "\"Copy\" (Ctrl+B) pastes the selected job as a new Order, Quote, Template or History "
                           "job: this is how a quote becomes an order.\n\nCtrl+F1\tAbout Tavrel");
    CNoteDlg note(QStringLiteral("Help"), QString(), text, 0, nullptr);
    note.DoModal();
}

bool AppShell::OnCommand(int commandId)
{
    switch (commandId) {
    case kAboutCommand:
        OnAppAbout();
        return true;
    case kWorkstationOptionsCommand:
        OnWorkstationOptions();
        return true;
    case kBriefHelpCommand:
        OnBriefHelp();
        return true;
    default:
        return false;
    }
}

void AppShell::OnWorkstationOptions()
{
    if (!m_app.CheckPassword(-1, QString()))
        return;
    // The views in the order of their bits in "ShowTabs".
    static const int kMaskOrder[] = {30000, 30001, 30007, 30008, 30002, 30003, 30004, 30005, 30006};
    CZqApp::ChoiceDialog dialog;
    dialog.ribbonTitle = QStringLiteral("Workstation Options");
    dialog.stripText = QStringLiteral("(for this computer only)");
    dialog.mode = 11;
    CZqApp::ChoiceGroup group;
    group.heading = QStringLiteral("Which tabs (sections) do you want to show on this workstation?");
    group.groupValue = 11;
    group.radio = false;
    for (int bit = 0; bit < 9; ++bit) {
        const int id = kMaskOrder[bit];
        group.entries.append({id, Appearance::GetViewName(unsigned(id)), ((m_startTab.mask >> bit) & 1) != 0});
    }
    dialog.groups << group;
    if (RunChoiceDialog(dialog) != platform::IDOK)
        return;
    int mask = 0;
    for (int bit = 0; bit < 9; ++bit)
        if (dialog.groups.first().entries[bit].checked)
            mask |= 1 << bit;
    m_app.WriteSettingInt(QStringLiteral("ShowTabs"), mask, CZqApp::kViewSettings);
    AskRestart(QStringLiteral("Your options will be applied next time you start Tavrel."));
}

void AppShell::bringToFront()
{
    if (!m_frame)
        return;
    if (m_frame->isMinimized())
        m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
    // The window the user last worked in: a dialog open over the frame, else the frame.
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = m_frame.get();
    front->show();
    front->raise();
    front->activateWindow();
}

void AppShell::registerProgressWindows()
{
    CXProgress::SetFactory([this]() -> std::unique_ptr<CXProgress> {
        return std::make_unique<CStatusDlg>(m_frame.get());
    });
    SetRunProgressMaker([this]() -> std::unique_ptr<SchemaProgress> {
        return std::make_unique<CStatusRunProgress>(m_frame.get());
    });
    CStatusDlg::ServeNetworkWaits(true);
}
