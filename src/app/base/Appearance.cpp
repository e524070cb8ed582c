#include "app/base/Appearance.h"

#include "app/base/Colours.h"
#include "app/base/ImageList.h"
#include "platform/Settings.h"

#include <QtCore/QSysInfo>

namespace {

const QString kSection = QStringLiteral("View Settings");

struct MainView
{
    unsigned id;
    const char *name;
    const char *tip;
    int hue;
};

const MainView kViews[] = {
    {30000, "Home", "View Information about Your Database, System, Tavrel, etc. (Ctrl+Shift+H)", 190},
    {30001, "Jobs", "Process Orders, Quotes, etc. (Ctrl+Shift+J)", 120},
    {30002, "Services", "Setup Papers, Presses, Services, etc. (Ctrl+Shift+S)", 30},
    {30003, "Customers", "Setup Customers, Contacts. Review Reports (Ctrl+Shift+C)", 210},
    {30004, "A/R", "Manage Receivables, Print Statements. Review Reports (Ctrl+Shift+A)", 180},
    {30005, "Reports", "View Reports (Ctrl+Shift+R)", 360},
    {30006, "Settings", "Customize Your Company's Default Settings (Ctrl+Shift+E)", 270},
    {30007, "Scheduler", "Schedule Orders and Update Progress (Ctrl+Shift+U)", 90},
    {30008, "RaroVirider", "Track Time and Update Progress (Ctrl+Shift+T)", 150},
};

const MainView *findView(unsigned id)
{
    for (const MainView &view : kViews)
        if (view.id == id)
            return &view;
    return nullptr;
}

// The faces the program names, and the installed faces that take their
// place with the same metrics (or, for the interface faces, the same role).
QString installedFamily(const QString &face)
{
    static const struct { const char *name; const char *family; } map[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Lucida Console", "Liberation Mono"},
        {"Tahoma", "DejaVu Sans"},
        {"Verdana", "DejaVu Sans"},
        {"MS Sans Serif", "DejaVu Sans"},
        {"Microsoft Sans Serif", "DejaVu Sans"},
        {"Segoe UI", "DejaVu Sans"},
        {"Small Fonts", "DejaVu Sans"},
    };
    for (const auto &entry : map)
        if (face.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return QLatin1String(entry.family);
    return face;
}

} // namespace

Appearance &Appearance::instance()
{
    static Appearance appearance;
    return appearance;
}

Appearance::Appearance()
{
    m_fontName = DefaultFontName();
    m_fontSize = m_fontName == QLatin1String("Segoe UI") ? 90 : 85;
    ApplyFillStyle(10);
}

Appearance::~Appearance() = default;

QString Appearance::DefaultFontName()
{
    const QString major = QSysInfo::productVersion().section(QLatin1Char('.'), 0, 0);
    return major == QLatin1String("6") ? QStringLiteral("Segoe UI") : QStringLiteral("Tahoma");
}

QFont Appearance::CreatePointFont(const QString &face, int tenthsOfPoint)
{
    QString name = face.trimmed();
    bool bold = false;
    bool italic = false;
    // The program names styles as suffixes of the face ("Arial Bold").
    for (;;) {
        if (name.endsWith(QLatin1String(" Bold"), Qt::CaseInsensitive)) {
            bold = true;
            name.chop(5);
        } else if (name.endsWith(QLatin1String(" Italic"), Qt::CaseInsensitive)) {
            italic = true;
            name.chop(7);
        } else {
            break;
        }
    }
    QFont font(installedFamily(name.trimmed()));
    font.setPointSizeF(tenthsOfPoint / 10.0);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void Appearance::LoadViewSettings()
{
    LoadButtonStyle();
    LoadFillStyle();
    LoadListManagerStyle();
    LoadColorIntensity();
    CreateFonts();
    CreateImageLists();
}

quint8 Appearance::LoadButtonStyle()
{
    m_buttonStyle = quint8(platform::Settings::readInt(kSection, QStringLiteral("Style"), 0));
    return m_buttonStyle;
}

quint8 Appearance::LoadFillStyle()
{
    const int stored = platform::Settings::readInt(kSection, QStringLiteral("Fill"), 10);
    ApplyFillStyle(stored < 0 || stored > 255 ? 10 : quint8(stored));
    return m_fillStyle;
}

quint8 Appearance::LoadListManagerStyle()
{
    m_listManager = quint8(platform::Settings::readInt(kSection, QStringLiteral("ListManager"), 0));
    return m_listManager;
}

quint8 Appearance::LoadColorIntensity()
{
    m_intensity = quint8(platform::Settings::readInt(kSection, QStringLiteral("Intensity"), 120));
    ::SetColorIntensity(m_intensity);
    return m_intensity;
}

QString Appearance::LoadFontName()
{
    const QString fallback = DefaultFontName();
    m_fontName = platform::Settings::readString(kSection, QStringLiteral("FontName"), fallback);
    if (m_fontName.isEmpty())
        m_fontName = fallback;
    return m_fontName;
}

int Appearance::LoadFontSize()
{
    const int fallback = m_fontName == QLatin1String("Segoe UI") ? 90 : 85;
    const int stored = platform::Settings::readInt(kSection, QStringLiteral("FontSize"), fallback);
    m_fontSize = stored >= 121 ? 120 : stored < 70 ? 70 : stored;
    return m_fontSize;
}

void Appearance::SetButtonStyle(quint8 style)
{
    m_buttonStyle = style;
    platform::Settings::writeInt(kSection, QStringLiteral("Style"), style);
}

void Appearance::SetFillStyle(quint8 index)
{
    ApplyFillStyle(index);
    platform::Settings::writeInt(kSection, QStringLiteral("Fill"), m_fillStyle);
}

void Appearance::SetListManagerStyle(quint8 style)
{
    m_listManager = style;
    platform::Settings::writeInt(kSection, QStringLiteral("ListManager"), style);
}

void Appearance::SetColorIntensity(quint8 intensity)
{
    m_intensity = intensity;
    ::SetColorIntensity(intensity);
    platform::Settings::writeInt(kSection, QStringLiteral("Intensity"), intensity);
}

void Appearance::SetFontName(const QString &name)
{
    m_fontName = name.isEmpty() ? DefaultFontName() : name;
    // Writing the empty text removes the value, so the default applies again.
    platform::Settings::writeString(kSection, QStringLiteral("FontName"), name);
}

void Appearance::SetFontSize(int size)
{
    platform::Settings::writeInt(kSection, QStringLiteral("FontSize"), size);
    LoadFontSize();
    if (m_fontsMade) {
        createFont(2);
        createFont(3);
    }
}

void Appearance::ApplyFillStyle(quint8 index)
{
    m_fillStyle = index >= 26 ? 10 : index;
    m_darkStyle = IsDarkStyleColor(m_fillStyle);
    m_style6To13 = IsStyle6To13(m_fillStyle);
}

unsigned Appearance::GetListManagerBackColor(unsigned defaultColour) const
{
    if (m_listManager == 1)
        return 0xFAFAFA;
    if (m_listManager == 2)
        return 0xFFFFFF;
    return defaultColour;
}

void Appearance::createFont(int index)
{
    const QString bold = m_fontName + QStringLiteral(" Bold");
    switch (index) {
    case 0: m_fonts[0] = CreatePointFont(QStringLiteral("Small Fonts"), 70); break;
    case 1: m_fonts[1] = CreatePointFont(m_fontName, 90); break;
    case 2: m_fonts[2] = CreatePointFont(m_fontName, m_fontSize); break;
    case 3: m_fonts[3] = CreatePointFont(bold, m_fontSize); break;
    case 4: m_fonts[4] = CreatePointFont(bold, m_fontSize + 10); break;
    case 5: m_fonts[5] = CreatePointFont(QStringLiteral("Arial Bold"), m_fontSize + 30); break;
    case 6: m_fonts[6] = CreatePointFont(bold, m_fontSize + 50); break;
    case 7: m_fonts[7] = CreatePointFont(bold, m_fontSize + 90); break;
    case 8: m_fonts[8] = CreatePointFont(QStringLiteral("Times New Roman Italic"), 100); break;
    case 9: m_fonts[9] = CreatePointFont(QStringLiteral("Lucida Console"), 80); break;
    default: break;
    }
}

void Appearance::CreateFonts()
{
    LoadFontName();
    LoadFontSize();
    for (int i = 0; i < 10; ++i)
        createFont(i);
    m_fontsMade = true;
}

void Appearance::CreateImageLists()
{
    m_lists[0] = std::make_unique<ImageList>(131, 18);
    m_lists[1] = std::make_unique<ImageList>(132, 32);
    m_lists[2] = std::make_unique<ImageList>(133, 64);
}

const QFont &Appearance::GetFont(int index)
{
    if (!m_fontsMade) {
        // Fonts asked for before the settings were read: build them from the
        // current values without reading the settings again.
        for (int i = 0; i < 10; ++i)
            createFont(i);
        m_fontsMade = true;
    }
    if (index < 0 || index > 9)
        index = 2;
    return m_fonts[size_t(index)];
}

const ImageList *Appearance::GetImageList(unsigned id)
{
    if (id < 131 || id > 133)
        return nullptr;
    if (!m_lists[0])
        CreateImageLists();
    return m_lists[id - 131].get();
}

QString Appearance::GetViewName(unsigned viewId)
{
    const MainView *view = findView(viewId);
    return view ? QString::fromLatin1(view->name) : QString();
}

QString Appearance::GetViewTip(unsigned viewId)
{
    const MainView *view = findView(viewId);
    return view ? QString::fromLatin1(view->tip) : QString();
}

int Appearance::GetViewHue(unsigned viewId, bool fromProfile) const
{
    const MainView *view = findView(viewId);
    const int builtIn = view ? view->hue : 210;
    if (m_viewHueFlag && fromProfile && view)
        return platform::Settings::readInt(kSection, QString::fromLatin1(view->name), builtIn);
    return builtIn;
}

void Appearance::SaveViewSetting(unsigned viewId, int hue)
{
    const MainView *view = findView(viewId);
    if (view)
        platform::Settings::writeInt(kSection, QString::fromLatin1(view->name), hue);
}

int Appearance::GetColorHue(int colourNumber)
{
    static const int hues[12] = {120, 40, 360, 1, 180, 300, 210, 270, 1, 30, 1, 210};
    if (colourNumber < 0)
        return 210;
    return hues[colourNumber % 12];
}
