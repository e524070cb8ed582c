#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

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

    int m_nLandscape = 0;

private:
    EmailSettings m_email;
    bool m_placementSaving = false;
    QString m_printerName;
    int m_printerCopies = 1;
    bool m_printerLandscape = false;
};

// The program's application object (set while one exists).
CZqApp *ZqApp();
