#include "app/base/CZqApp.h"
#include "app/base/PrintService.h"

#include "app/base/Appearance.h"
#include "app/base/Paths.h"
#include "platform/SecretSettings.h"
#include "platform/Settings.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtPrintSupport/QPrinterInfo>
#include <QtWidgets/QMenu>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace {
CZqApp *g_app = nullptr;

// The separator between a form's printer name and its copies: blank, middle dot, blank.
const QString kPrinterCopiesSeparator = QStringLiteral(" \u00B7 ");

constexpr unsigned kShowNormal = 1;
constexpr unsigned kShowMinimized = 2;
constexpr unsigned kShowMaximized = 3;
} // namespace

const QString CZqApp::kSettings = QStringLiteral("Settings");
const QString CZqApp::kViewSettings = QStringLiteral("View Settings");
const QString CZqApp::kViewColumns = QStringLiteral("View Columns");
const QString CZqApp::kEmailSettings = QStringLiteral("Email Settings");
const QString CZqApp::kPrinters = QStringLiteral("Printers");
const QString CZqApp::kWindowPos = QStringLiteral("WindowPos");
const QString CZqApp::kScheduler = QStringLiteral("Scheduler");

CZqApp *ZqApp()
{
    return g_app;
}

CZqApp::CZqApp()
    : m_strTitle(QStringLiteral("Tavrel 2010.0"))
    , m_strClassName(QStringLiteral("TavrelClass"))
{
    g_app = this;
}

CZqApp::~CZqApp()
{
    if (g_app == this)
        g_app = nullptr;
}

Appearance &CZqApp::appearance() const
{
    return Appearance::instance();
}

platform::Value CZqApp::QueryResult::value(int row, const QString &field) const
{
    if (row < 0 || row >= rows.size())
        return platform::Value();
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i < rows[row].size() ? rows[row][i] : platform::Value();
    }
    return platform::Value();
}

qint32 CZqApp::QueryResult::intValue(int row, const char *field) const
{
    return qint32(value(row, QLatin1String(field)).toInt64());
}

QString CZqApp::QueryResult::textValue(int row, const char *field) const
{
    return value(row, QLatin1String(field)).toString();
}

CZqApp::QueryResult CZqApp::ReadQuery(const QString &jetSql, int maxRows) const
{
    QueryResult result;
    if (!m_queryReader || !m_queryReader(jetSql, maxRows, result))
        return QueryResult();
    return result;
}

void CZqApp::LoadCompanyInfo()
{
    const QueryResult result = ReadQuery(CompanyInfo::SelectStatement(), 1);
    m_company.Assign(result.isEmpty() ? QList<platform::Value>() : result.rows.first());
}

void CZqApp::GetSettingText(QString &out, const QString &key, const QString &defaultText, const QString &section) const
{
    out = platform::Settings::readString(section, key, defaultText);
}

void CZqApp::WriteSettingText(const QString &key, const QString &value, const QString &section)
{
    platform::Settings::writeString(section, key, value);
}

int CZqApp::GetSettingInt(const QString &key, int defaultValue, const QString &section) const
{
    return platform::Settings::readInt(section, key, defaultValue);
}

int CZqApp::GetSettingIntInRange(const QString &key, int min, int max, int defaultValue, const QString &section) const
{
    int v = GetSettingInt(key, defaultValue, section);
    if (v > max)
        v = max;
    if (v < min)
        v = min;
    return v;
}

void CZqApp::WriteSettingInt(const QString &key, int value, const QString &section)
{
    platform::Settings::writeInt(section, key, value);
}

QString CZqApp::GetSettingFolder(QString &out, const QString &key, const QString &defaultText) const
{
    GetSettingText(out, key, defaultText, kSettings);
    AddTrailingBackslash(out);
    return out;
}

const QString &CZqApp::ExampleOutgoingServer()
{
    static const QString server = QStringLiteral("smtp.example.com");
    return server;
}

CZqApp::EmailSettings &CZqApp::emailSettings()
{
    if (!m_bEmailLoaded)
        LoadEmailSettings();
    return m_email;
}

void CZqApp::LoadEmailSettings()
{
    m_bEmailLoaded = true;
    const QString &s = kEmailSettings;
    GetSettingText(m_email.Address, QStringLiteral("Address"), QStringLiteral("orders@example.com"), s);
    GetSettingText(m_email.LogonName, QStringLiteral("LogonName"), QString(), s);
    // The password is kept where only this user can read it; one written
    // in clear into the settings by an earlier version moves there.
    m_email.LogonPass = platform::SecretSettings::read(s, QStringLiteral("LogonPass"));
    if (!platform::SecretSettings::fileName().isEmpty() && platform::Settings::contains(s, QStringLiteral("LogonPass"))) {
        if (m_email.LogonPass.isEmpty()) {
            GetSettingText(m_email.LogonPass, QStringLiteral("LogonPass"), QString(), s);
            platform::SecretSettings::write(s, QStringLiteral("LogonPass"), m_email.LogonPass);
        }
        platform::Settings::remove(s, QStringLiteral("LogonPass"));
    }
    GetSettingText(m_email.Incoming, QStringLiteral("Incoming"), QStringLiteral("mail.example.com"), s);
    // No outgoing server until one is typed: mail then goes through the
    // desktop's mail program. The example server the settings window shows
    // as a hint (and which earlier versions stored as if typed) is none.
    GetSettingText(m_email.Outgoing, QStringLiteral("Outgoing"), QString(), s);
    if (m_email.Outgoing.trimmed() == ExampleOutgoingServer())
        m_email.Outgoing.clear();
    GetSettingText(m_email.DownloadTo, QStringLiteral("DownloadTo"), QStringLiteral("c:\\"), s);
    m_email.AutoDownload = GetSettingInt(QStringLiteral("AutoDownload"), 0, s);
    m_email.AutoByCus = GetSettingInt(QStringLiteral("AutoByCus"), 0, s);
    m_email.AutoOpen = GetSettingInt(QStringLiteral("AutoOpen"), 0, s);
    m_email.AutoReply = GetSettingInt(QStringLiteral("AutoReply"), 0, s);
    m_email.AutoDelete = GetSettingInt(QStringLiteral("AutoDelete"), 0, s);
    m_email.Other1 = GetSettingInt(QStringLiteral("Other1"), 0, s);
    m_email.Other2 = GetSettingInt(QStringLiteral("Other2"), 0, s);
    m_email.Other3 = GetSettingInt(QStringLiteral("Other3"), 0, s);
}

void CZqApp::SaveEmailSettings()
{
    const QString &s = kEmailSettings;
    WriteSettingText(QStringLiteral("Address"), m_email.Address, s);
    WriteSettingText(QStringLiteral("LogonName"), m_email.LogonName, s);
    platform::SecretSettings::write(s, QStringLiteral("LogonPass"), m_email.LogonPass);
    WriteSettingText(QStringLiteral("Incoming"), m_email.Incoming, s);
    WriteSettingText(QStringLiteral("Outgoing"), m_email.Outgoing, s);
    WriteSettingText(QStringLiteral("DownloadTo"), m_email.DownloadTo, s);
    WriteSettingInt(QStringLiteral("AutoDownload"), m_email.AutoDownload, s);
    WriteSettingInt(QStringLiteral("AutoByCus"), m_email.AutoByCus, s);
    WriteSettingInt(QStringLiteral("AutoOpen"), m_email.AutoOpen, s);
    WriteSettingInt(QStringLiteral("AutoReply"), m_email.AutoReply, s);
    WriteSettingInt(QStringLiteral("AutoDelete"), m_email.AutoDelete, s);
    WriteSettingInt(QStringLiteral("Other1"), m_email.Other1, s);
    WriteSettingInt(QStringLiteral("Other2"), m_email.Other2, s);
    WriteSettingInt(QStringLiteral("Other3"), m_email.Other3, s);
}

void CZqApp::WriteFormPrinter(int formNumber, const QString &printerName, int copies)
{
    WriteSettingText(QString::number(formNumber), printerName + kPrinterCopiesSeparator + QString::number(copies),
                     kPrinters);
}

void CZqApp::GetFormPrinter(int formNumber, QString &printerName, int &copies) const
{
    QString value;
    GetSettingText(value, QString::number(formNumber == 0 ? 100 : formNumber), QString(), kPrinters);
    const int at = value.indexOf(kPrinterCopiesSeparator);
    copies = 1;
    if (at < 0) {
        printerName = value;
        return;
    }
    printerName = value.left(at);
    const int n = value.mid(at + kPrinterCopiesSeparator.size()).trimmed().toInt();
    if (n >= 1)
        copies = n;
}

bool CZqApp::SelectFormPrinter(int formNumber)
{
    m_printerName.clear();
    m_printerCopies = 1;
    m_printerLandscape = false;
    QString name;
    int copies = 1;
    GetFormPrinter(formNumber, name, copies);
    if (name.isEmpty())
        return false;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return false;
    m_printerName = name;
    m_printerCopies = copies < 1 ? 1 : copies;
    // Forms below 100 and the PDF attachment printer print portrait; the
    // others follow the print dialog's landscape choice.
    const bool portraitForm = formNumber < 100 || formNumber == 30561;
    m_printerLandscape = !portraitForm && m_nLandscape != 0;
    return true;
}

QString CZqApp::FormatWindowPlacement(const WindowPlacement &p)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
        .arg(p.flags)
        .arg(p.showCmd)
        .arg(p.minX)
        .arg(p.minY)
        .arg(p.maxX)
        .arg(p.maxY)
        .arg(p.left)
        .arg(p.top)
        .arg(p.right)
        .arg(p.bottom);
}

bool CZqApp::SaveWindowPos(const QString &windowName, QWidget *window)
{
    if (!window || !m_placementSaving || windowName.isEmpty())
        return false;
    WindowPlacement p;
    p.showCmd = window->isMinimized() ? kShowMinimized : window->isMaximized() ? kShowMaximized : kShowNormal;
    const QRect r = window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    p.left = r.left();
    p.top = r.top();
    p.right = r.left() + r.width();
    p.bottom = r.top() + r.height();
    p.minX = p.minY = p.maxX = p.maxY = -1;
    WriteSettingText(windowName, FormatWindowPlacement(p), kWindowPos);
    return true;
}

int CZqApp::ReadWindowPlacement(const QString &windowName, WindowPlacement &p) const
{
    if (!m_placementSaving || windowName.isEmpty())
        return 0;
    QString text;
    GetSettingText(text, windowName, QString(), kWindowPos);
    if (text.isEmpty())
        return 0;
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 10)
        return 0;
    long long n[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        n[i] = parts[i].trimmed().toLongLong(&ok);
        if (!ok)
            return 0;
    }
    p.flags = unsigned(n[0]);
    p.showCmd = unsigned(n[1]);
    p.minX = int(n[2]);
    p.minY = int(n[3]);
    p.maxX = int(n[4]);
    p.maxY = int(n[5]);
    p.left = int(n[6]);
    p.top = int(n[7]);
    p.right = int(n[8]);
    p.bottom = int(n[9]);
    // A window never reopens hidden or minimised.
    if (p.showCmd == 0 || p.showCmd == kShowMinimized)
        p.showCmd = kShowNormal;
    return int(p.showCmd);
}

QRect CZqApp::PlaceOnScreens(const QRect &wantedAsStored, const QMargins &frame, const QList<QRect> &screens,
                             const QRect &fallback)
{
    // A rectangle stored with its edges the wrong way round (right left of
    // left, bottom above top) is the same rectangle.
    const QRect wanted = wantedAsStored.normalized();
    // The screen the window overlaps most; none overlapped, the fallback.
    QRect area = fallback;
    qint64 best = 0;
    for (const QRect &screen : screens) {
        const QRect common = screen.intersected(wanted);
        const qint64 overlap = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (overlap > best) {
            best = overlap;
            area = screen;
        }
    }
    if (area.isEmpty())
        return wanted; // no screen is known: nothing to keep it within
    // The frame stays on the screen too, unless it would leave no room.
    if (const QRect inner = area.marginsRemoved(frame); inner.width() > 0 && inner.height() > 0)
        area = inner;
    // No wider or higher than the screen, and never of no size at all.
    const int width = std::clamp(wanted.width(), 1, area.width());
    const int height = std::clamp(wanted.height(), 1, area.height());
    const int left = std::clamp(wanted.left(), area.left(), area.left() + area.width() - width);
    const int top = std::clamp(wanted.top(), area.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

bool CZqApp::RestoreWindowPlacement(const QString &windowName, QWidget *window)
{
    WindowPlacement p;
    if (!window || !ReadWindowPlacement(windowName, p))
        return false;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QScreen *own = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect fallback = own ? own->availableGeometry() : QRect();
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    // The width and height are worked out in 64 bits: a stored right edge
    // far past a left edge far below zero must not wrap. Edges stored the
    // wrong way round are taken the right way round.
    const int left = std::min(p.left, p.right);
    const int top = std::min(p.top, p.bottom);
    const qint64 width = std::clamp<qint64>(qint64(std::max(p.left, p.right)) - left, 0, 1 << 20);
    const qint64 height = std::clamp<qint64>(qint64(std::max(p.top, p.bottom)) - top, 0, 1 << 20);
    window->setGeometry(PlaceOnScreens(QRect(left, top, int(width), int(height)), frame, screens, fallback));
    if (p.showCmd == kShowMaximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return true;
}
