#pragma once

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

class QKeyEvent;
class QWidget;

// The application object: the hub every subsystem reaches for the workstation
// settings, the shop options and (as they are added) the database, caches and
// appearance. One instance lives for the program's run (see ZqApp()); tests
// make their own. It is deliberately not the QApplication itself, so that it
// can be created and torn down around each test.
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
    EmailSettings &emailSettings() { return m_email; }

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
    bool RestoreWindowPlacement(const QString &windowName, QWidget *window);
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
    // Days to the next workday (0 for a workday or an invalid date); with move
    // set the date is advanced by that many days.
    int SkipClosedDay(QDate *date, bool move) const;

    int m_nSecurityLevel = -1; // -1 all passwords on, 0 all off, 1..5 levels
    QChar GetSecurityGlyph() const;
    // True when the view command is one of the nine main views and its bit
    // is set in the "ShowTabs" mask.
    bool IsTabShown(int viewCommandId) const;
    static int TabBit(int viewCommandId);
    // The Options row holding the update choices when a job is copied.
    static int GetConvertOptionId(int fromJobType, int toJobType);

    int m_nDefaultCsr = 0;
    int m_nLandscape = 0;

private:
    EmailSettings m_email;
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
    bool m_sundayWorkday = false;
};

// The program's application object (set while one exists).
CZqApp *ZqApp();
