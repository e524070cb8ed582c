#pragma once

#include "app/base/CListItem.h"
#include "app/base/CompanyInfo.h"
#include "platform/DateTime.h"
#include "platform/Value.h"

#include <QtCore/QDate>
#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QMargins>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class Appearance;
class CXListCtrl;
class PrintService;
class QKeyEvent;
class QMenu;
class QWidget;

// The application object: the hub every subsystem reaches for the workstation
// settings, the shop options, the user rights, the code-table caches and
// shared popup menus, the status names and pictures, and the appearance. One
// instance lives for the program's run (see ZqApp()); tests make their own.
// It is deliberately not the QApplication itself, so that it can be created
// and torn down around each test.
//
// It sits below the data layer: what it reads from the shop database goes
// through the query reader that the data layer installs (setQueryReader), and
// the dialogs it runs (password entry, choices, tree picker) are hooks that
// the program's shell installs.
class CZqApp
{
public:
    // Section names of the workstation settings.
    static const QString kSettings;
    static const QString kViewSettings;
    static const QString kViewColumns;
    static const QString kEmailSettings;
    static const QString kPrinters;
    static const QString kWindowPos;
    static const QString kScheduler;

    struct EmailSettings
    {
        QString Address;
        QString LogonName;
        QString LogonPass;
        QString Incoming;
        QString Outgoing;
        QString DownloadTo;
        int AutoDownload = 0;
        int AutoByCus = 0;
        int AutoOpen = 0;
        int AutoReply = 0;
        int AutoDelete = 0;
        int Other1 = 0;
        int Other2 = 0;
        int Other3 = 0;
    };

    // A window's placement as the "WindowPos" values hold it.
    struct WindowPlacement
    {
        unsigned flags = 0;
        unsigned showCmd = 1;
        int minX = 0, minY = 0;
        int maxX = 0, maxY = 0;
        int left = 0, top = 0, right = 0, bottom = 0;
    };

    CZqApp();
    ~CZqApp();
    CZqApp(const CZqApp &) = delete;
    CZqApp &operator=(const CZqApp &) = delete;

    // "Tavrel" and the version label; the main window's caption.
    QString m_strTitle;
    // The main window's class name, by which a second copy finds the first.
    QString m_strClassName;
    // The shop's own name, address, phone and fax (customer 1).
    CompanyInfo m_company;
    // Notes the schema upgrade collected, shown once after the upgrade.
    QString m_strUpgradeNotes;
    // Today as the start-up stored it, and the scheduling horizon (the
    // scheduler sets both whenever it fills its list).
    DateTime m_today = DateTime::invalid();
    DateTime m_horizon = DateTime::invalid();

    // The workstation's fonts, image lists and view appearance.
    Appearance &appearance() const;

    // --- Reading the shop database ------------------------------------------

    // The rows of one statement, read whole.
    struct QueryResult
    {
        QStringList fields;
        QList<QList<platform::Value>> rows;
        // A field of a row by name (case-blind); Null for an unknown name or row.
        platform::Value value(int row, const QString &field) const;
        // The same as a whole number, and as text.
        qint32 intValue(int row, const char *field) const;
        QString textValue(int row, const char *field) const;
        bool isEmpty() const { return rows.isEmpty(); }
    };
    // Runs a read-only Jet statement on the shared database and gives at most
    // maxRows rows (0: all). False when the statement could not run; the
    // reader has then told the user. Without a reader nothing is read.
    using QueryReader = std::function<bool(const QString &jetSql, int maxRows, QueryResult &result)>;
    void setQueryReader(QueryReader reader) { m_queryReader = std::move(reader); }
    bool hasQueryReader() const { return bool(m_queryReader); }
    // The statement's rows; an empty result when it cannot run.
    QueryResult ReadQuery(const QString &jetSql, int maxRows = 0) const;

    // Reads the shop's identity block (customer 1 and its buyer contact).
    void LoadCompanyInfo();

    // --- Dialogs the shell provides ------------------------------------------

    // The one-field entry dialog: the value goes in and comes back; the
    // result is IDOK when the user confirmed.
    using DataEntryDialog = std::function<int(QString &value, int dataKind, const QString &windowTitle,
                                              const QString &ribbonTitle, const QString &stripText)>;
    // The choices dialog: groups of radio buttons or check boxes. The runner
    // shows it with the entry of selectCode selected and, on IDOK, leaves the
    // user's choice in the entries' checked flags.
    struct ChoiceEntry
    {
        int code = 0;
        QString text;
        bool checked = false;
    };
    struct ChoiceGroup
    {
        QString heading;
        int groupValue = 0;
        bool radio = true;
        QList<ChoiceEntry> entries;
    };
    struct ChoiceDialog
    {
        QString ribbonTitle;
        QString stripText;
        int mode = 11;
        QList<ChoiceGroup> groups;
        int selectCode = 1;
        // The code of the first checked entry with a code in [low, high]; 0 when none.
        int GetCheckedInRange(int low, int high) const;
    };
    using ChoiceDialogRunner = std::function<int(ChoiceDialog &dialog)>;
    // The tree picker of a kind: the preselected code goes in, the chosen
    // one comes back; the result is IDOK when the user chose.
    using TreePicker = std::function<int(quint8 kind, int &code)>;

    void setDataEntryDialog(DataEntryDialog dialog) { m_dataEntry = std::move(dialog); }
    void setChoiceDialog(ChoiceDialogRunner runner) { m_choiceDialog = std::move(runner); }
    void setTreePicker(TreePicker picker) { m_treePicker = std::move(picker); }

    // --- Record dialogs from anywhere ------------------------------------------
    // Each area installs the opener of its own record dialog at start-up (the
    // shell's Install list). Every opener does nothing for 0 or an unknown
    // key; without an installed opener the user is told the dialog is not
    // available in this version.
    using RecordOpener = std::function<void(long key)>;
    using ServiceOpener = std::function<void(long serNo, int value, bool more)>;
    using HtmlDialog = std::function<void(const QString &html)>;
    void setJobOpener(RecordOpener opener) { m_jobOpener = std::move(opener); }
    void setCustomerOpener(RecordOpener opener) { m_customerOpener = std::move(opener); }
    void setServiceOpener(ServiceOpener opener) { m_serviceOpener = std::move(opener); }
    void setItemPreviewer(RecordOpener opener) { m_itemPreviewer = std::move(opener); }
    void setHtmlDialog(HtmlDialog dialog) { m_htmlDialog = std::move(dialog); }
    void setFileTransferOpener(RecordOpener opener) { m_fileTransfer = std::move(opener); }
    using MailSender =
        std::function<bool(const QString &to, const QString &subject, const QString &text, const QString &attachment)>;
    void setMailSender(MailSender sender) { m_mailSender = std::move(sender); }
    // The job window on the job of this id (read-only preview).
    void OpenJob(long jobId);
    // The customer window on this customer (read-only).
    void OpenCustomer(long cusNo);
    // The service dialog, or its more-properties dialog when more is set.
    void OpenService(long serNo, int value = 0, bool more = false);
    // The item specs window, read-only, captioned "Preview".
    void PreviewItem(long itemId);
    // A modal window showing this HTML text.
    void ShowHtmlDialog(const QString &html);
    // The file transfer with the support site: 30590 sends a file, any other
    // command downloads one.
    void OpenFileTransfer(long command);
    // One outgoing message through the mail service; true when it was taken.
    bool SendMail(const QString &to, const QString &subject, const QString &text, const QString &attachment);

    // --- Printing ---------------------------------------------------------------
    // The one print engine, installed by the printing subsystem and owned here.
    void setPrintService(std::unique_ptr<PrintService> service);
    PrintService *printService() const { return m_printService.get(); }
    // Prints a record list that has rows on form 100 with the printer dialog,
    // under the three captions and "List Size: " with its row count.
    void PrintList(CXListCtrl *list, const QString &caption1, const QString &caption2, const QString &caption3);

    // --- User rights ----------------------------------------------------------

    // True when the action may go on. noOrLevel > 0 names a guarded-action row
    // of table Passwords (its Level is the level needed); < 0 is the level
    // needed, negated; 0 needs nothing. The action words complete "You need a
    // password to ...". Asks for a password (three tries) when one is needed.
    bool CheckPassword(int noOrLevel, const QString &action);
    // The temporary security level of this running program: true when the
    // user pressed OK, whatever the password check gave.
    bool ChangeSecurityLevel();

    // Workstation settings: always key, default (or value), section.
    void GetSettingText(QString &out, const QString &key, const QString &defaultText,
                        const QString &section = kSettings) const;
    void WriteSettingText(const QString &key, const QString &value, const QString &section = kSettings);
    int GetSettingInt(const QString &key, int defaultValue, const QString &section = kSettings) const;
    int GetSettingIntInRange(const QString &key, int min, int max, int defaultValue,
                             const QString &section = kSettings) const;
    void WriteSettingInt(const QString &key, int value, const QString &section = kSettings);
    // A folder of section "Settings", with its trailing separator.
    QString GetSettingFolder(QString &out, const QString &key, const QString &defaultText) const;

    void LoadEmailSettings();
    void SaveEmailSettings();
    // The workstation's mail settings, read from the settings when first
    // asked for and again by LoadEmailSettings (after the settings window).
    EmailSettings &emailSettings();
    // The outgoing server the settings window shows as a hint only.
    static const QString &ExampleOutgoingServer();

    void WriteFormPrinter(int formNumber, const QString &printerName, int copies);
    void GetFormPrinter(int formNumber, QString &printerName, int &copies) const;
    // Makes the printer stored for the form the current one; false when none
    // is stored or it is not installed (the default printer is used then).
    bool SelectFormPrinter(int formNumber);
    QString currentPrinterName() const { return m_printerName; }
    int currentPrinterCopies() const { return m_printerCopies; }
    bool currentPrinterLandscape() const { return m_printerLandscape; }

    bool SaveWindowPos(const QString &windowName, QWidget *window);
    // The show command (non-zero) when a placement was read, else 0.
    int ReadWindowPlacement(const QString &windowName, WindowPlacement &placement) const;
    // Restores a stored placement onto the screens attached now: a window
    // stored on a monitor that is gone, or larger than any screen, is moved
    // and shrunk to lie within the screen it overlaps most (else the one it
    // would open on).
    bool RestoreWindowPlacement(const QString &windowName, QWidget *window);
    // The rectangle kept within the available area of a screen, as above;
    // frame is what the window's frame adds around it on each side.
    static QRect PlaceOnScreens(const QRect &wanted, const QMargins &frame, const QList<QRect> &screens,
                                const QRect &fallback);
    static QString FormatWindowPlacement(const WindowPlacement &placement);

    // Window placement is neither read nor written until the view settings
    // have been loaded at start-up.
    void setPlacementSaving(bool on) { m_placementSaving = on; }
    bool placementSaving() const { return m_placementSaving; }

    // Application-wide accelerators: the command id for a key pressed in the
    // target window, or 0. Delete counts only in a list.
    struct Accelerator
    {
        int key;        // Qt::Key
        int modifiers;  // Qt::KeyboardModifiers (Shift, Control, Alt)
        int commandId;
    };
    static const std::vector<Accelerator> &AcceleratorTable();
    int TranslateAppAccelerator(QWidget *target, const QKeyEvent &event) const;
    void setAcceleratorsLoaded(bool loaded) { m_acceleratorsLoaded = loaded; }

    // Time-tracker options: the entries of a comma-terminated setting text
    // (at most 15), with the tracked day's start and end in minutes.
    void SetTrackOptionsText(const QString &text);
    QString GetTrackOptionText(QString &out, int index) const;
    int GetTrackOptionInt(int index) const;
    int trackStart() const { return m_trackStart; }
    int trackEnd() const { return m_trackEnd; }

    // The shop options row: printing method, Saturday and Sunday workdays.
    void SetShopOptionsText(const QString &text);
    int printingMethod() const { return m_printingMethod; }
    bool printingMethodFlag() const { return m_printingMethodFlag; }
    bool saturdayWorkday() const { return m_saturdayWorkday; }
    bool sundayWorkday() const { return m_sundayWorkday; }
    // The shop charges two sales taxes per sale (the first on tax rate 1 or
    // 3, the second in Tax2/Taxable2): on when the tax table holds rate 3,
    // the rate that charges rates 1 and 2 together. Read once at start-up;
    // the tax reports choose their two-tax layouts by it.
    bool UsesTwoTaxes() const { return m_usesTwoTaxes; }
    void setUsesTwoTaxes(bool on) { m_usesTwoTaxes = on; }
    // Days to the next workday (0 for a workday or an invalid date); with move
    // set the date is advanced by that many days.
    int SkipClosedDay(QDate *date, bool move) const;

    int m_nSecurityLevel = -1; // -1 all passwords on, 0 all off, 1..5 levels
    QChar GetSecurityGlyph() const;
    // True when the view command is one of the nine main views and its bit
    // is set in the mask of the views offered for this run (all nine until
    // the start-up has set the mask it checked "ShowTabs" into).
    bool IsTabShown(int viewCommandId) const;
    void SetShownTabs(int mask) { m_nShownTabs = mask; }
    int shownTabs() const { return m_nShownTabs; }
    static int TabBit(int viewCommandId);
    // The Options row holding the update choices when a job is copied.
    static int GetConvertOptionId(int fromJobType, int toJobType);

    int m_nDefaultCsr = 0;
    int m_nLandscape = 0;
    // Lets the user choose the default CSR with the tree picker of the kind;
    // stores it in "Settings"/"DefCSR". False on Cancel.
    bool ChooseDefaultCsr(quint8 kind);

    // --- Code-table caches ----------------------------------------------------

    void LoadServiceDepartments();
    void LoadServiceCategories();
    // Mode 0 only clears ServicesChanged; any other mode reloads the services,
    // and mode 2 the categories after them.
    void LoadServices(int mode);
    void LoadProductTypes();
    // The nine shared popup menus, with the employees, production
    // departments and production tags they list. Once per run.
    void BuildPopupMenus();
    // Reads the employees again after Settings changed them: the names the
    // caches answer and the operators menu.
    void ReloadEmployees();

    // Lookups: a code missing from its cache gives "?" (names) or the fixed
    // default number; a code found is also copied into CurrentCodeItem.
    QString GetDepartmentName(qint32 depNo);
    int GetDepartmentIcon(qint32 depNo);
    QString GetCategoryName(qint32 catNo);
    int GetCategoryIcon(qint32 catNo);
    int GetCategoryNameAndIcon(qint32 catNo, QString &name, int &icon);
    qint32 GetCategoryDepartment(qint32 catNo);
    QString GetCategoryDepartmentName(qint32 catNo);
    int GetCategorySortNo(qint32 catNo);
    int GetCategoryServiceCount(qint32 catNo);
    QString GetServiceName(qint32 serNo);
    qint32 GetServiceCategory(qint32 serNo);
    int GetServiceColor(qint32 serNo);
    QString GetServiceCategoryName(qint32 serNo);
    // Category name, ": " and the service's name; "" for a missing service.
    QString GetServiceFullName(qint32 serNo);
    QString GetProductTypeName(quint8 no);
    bool IsProductTypeKnown(quint8 no);
    QString GetEmployeeName(quint8 empNo);
    bool IsEmployeeKnown(quint8 empNo);
    int GetEmployeeNameAndIcon(quint8 empNo, QString &name, int &icon);
    QString GetProductionDeptName(quint8 depId);
    int GetProductionDeptNameAndIcon(quint8 depId, QString &name, int &icon);
    QString GetProductionTagName(quint8 tagId);
    int GetProductionTagColor(quint8 tagId);
    int GetTagNameAndIcon(quint8 tagId, QString &name, int &icon);
    int GetStockStatusNameAndIcon(quint8 status, QString &name, int &icon) const;

    // The sample file of an item; "" when it has none.
    void GetSamplePath(QString &out, qint32 itemId) const;
    // The job and item of a reference (a negative ref names an item by its
    // ItemID). Returns the JobID, 0 (outputs untouched) when the item is gone.
    qint32 GetItemJobInfo(int ref, quint8 &jobType, qint32 &jobNo, quint8 &itemNo, qint32 &up,
                          QString &description) const;
    // "History Job 12" for ref >= 1, "Order 1044-2" for an item's negative
    // ref ("a deleted Item" when it is gone), "" for 0.
    void GetHistoryRefText(QString &out, int ref) const;

    CListItem CurrentCodeItem;
    QList<CListItem> DepartmentList;
    QList<CListItem> CategoryList;
    QList<qint32> ServiceOrder;
    int ServicesChanged = 0;
    int PaperDepNo = 0;

    // The cache of one code table, by code.
    enum CodeTable {
        ServiceDepartments,
        ServiceCategories,
        Services,
        ProductTypes,
        Employees,
        ProductionDepts,
        ProductionTags,
        CodeTableCount
    };
    const QHash<qint32, CListItem> &codeCache(CodeTable table) const { return m_caches[table]; }
    // The entry of a code (copied into CurrentCodeItem); false when missing.
    bool FindCode(CodeTable table, qint32 code, CListItem &out);

    // --- Shared popup menus ---------------------------------------------------

    enum PopupMenu {
        JobStatusMenu,
        ScheduleStatusMenu,
        DatesMenu,
        OperatorsMenu,
        ProductionDeptsMenu,
        TagsAMenu,
        TagsBMenu,
        InventoryStatusMenu,
        RibbonMenu,
        PopupMenuCount
    };
    // Null until BuildPopupMenus has run.
    QMenu *GetPopupMenu(PopupMenu menu) const;

    // Command ids of the menu items.
    static int JobStatusCommand(int status) { return 31102 + status; }
    static int ScheduleStatusCommand(int status) { return 31203 + status; }
    static int ScheduleDepartmentCommand(qint32 depNo) { return 31207 + depNo; }
    static int DateCommand(int daysFromToday) { return 31503 + daysFromToday; }
    static constexpr int kDateDoneCommand = 31599;
    static int OperatorCommand(int empNo) { return 31602 + empNo; }
    static int ProductionDeptCommand(int depId) { return 31402 + depId; }
    static int TagCommand(int tagId) { return 31702 + tagId; }
    static int InventoryStatusCommand(int status) { return 31802 + status; }

    // --- Status names and pictures ------------------------------------------

    static void GetJobStatusName(QString &out, quint8 status);
    static void GetClockStatusName(QString &out, quint8 status, bool task);
    static void GetTodoStatusName(QString &out, quint8 status);
    static void GetStockStatusName(QString &out, quint8 status);
    // Codes 5 to 16 name the service department code - 4 ("" when unknown).
    void GetScheduleStatusName(QString &out, quint8 status);

    static int GetJobStatusIcon(quint8 status);
    static int GetStatusIconOffset(quint8 timeStatus);
    static int GetTodoStatusIcon(quint8 status);
    static int GetStockStatusIcon(quint8 status);
    int GetScheduleStatusIcon(quint8 status);
    // The employee's picture in image list 133, the EmpNo itself for 134, the
    // small list's image for any other list.
    static int GetEmployeeIcon(quint8 empNo, unsigned imageList);
    // Past 128, today 129, on or after the horizon 137, else 129 + the day of
    // the week (Sunday 1).
    int GetDateIcon(const DateTime &date) const;
    int GetCategoryStateIcon(qint32 catNo, int count);
    int GetServiceStatusIcon(quint8 timeStatus, qint32 catNo);
    int GetItemStatusIcon(qint32 catNo, bool flag, qint32 itemId);

    // The lowest Status of the item's service time records; 255 when none.
    quint8 GetItemTimeStatus(qint32 itemId) const;
    void GetOfficeTaskWarning(QString &out, qint32 itemId, quint8 empNo) const;
    // The cautions shown before a service row is timed; "" when none.
    void GetServiceWarnings(QString &out, qint32 itemId);

    // --- Company, web-order mail and job-origin texts --------------------------

    // flags < 0: layout -flags of the company block (-3 on one line); else
    // bits 32 and 64 choose the layout and 128 appends the phone and fax.
    void GetCompanyText(QString &out, int flags) const;
    // The value after a label in the text of an order mail; "label [+] n"
    // asks for the n-th non-empty line below the label's line. Returns the
    // position (0 when the label is "~", missing or beyond a positive limit).
    static int ExtractMailField(const QString &mail, const QString &label, QString &value, int start, int limit,
                                const QString &removeChars);
    static int ExtractMailNumber(const QString &mail, const QString &label, int &value, int start, int limit);
    // " <- Quote 1200 <- Template 7": the jobs this one was copied from (at
    // most five); "" when it has fewer than two.
    void GetJobOriginText(QString &out, qint32 jobId) const;

private:
    int m_nShownTabs = 511; // the views offered for this run
    EmailSettings m_email;
    bool m_bEmailLoaded = false;
    bool m_placementSaving = false;
    QString m_printerName;
    int m_printerCopies = 1;
    bool m_printerLandscape = false;
    bool m_acceleratorsLoaded = true;
    QStringList m_trackOptions;
    int m_trackStart = 0;
    int m_trackEnd = 0;
    int m_printingMethod = 0;
    bool m_printingMethodFlag = false;
    bool m_saturdayWorkday = false;
    bool m_usesTwoTaxes = false;
    bool m_sundayWorkday = false;

    void loadEmployees();
    void loadProductionDepts();
    void loadProductionTags();

    QueryReader m_queryReader;
    DataEntryDialog m_dataEntry;
    ChoiceDialogRunner m_choiceDialog;
    TreePicker m_treePicker;
    RecordOpener m_jobOpener;
    RecordOpener m_customerOpener;
    ServiceOpener m_serviceOpener;
    RecordOpener m_itemPreviewer;
    HtmlDialog m_htmlDialog;
    RecordOpener m_fileTransfer;
    MailSender m_mailSender;
    std::unique_ptr<PrintService> m_printService;
    std::array<QHash<qint32, CListItem>, CodeTableCount> m_caches;
    std::array<std::unique_ptr<QMenu>, PopupMenuCount> m_menus;
};

// The program's application object (set while one exists).
CZqApp *ZqApp();
