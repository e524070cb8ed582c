#include "app/base/Colours.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

#include <algorithm>
#include <atomic>

namespace {

std::atomic<std::uint8_t> g_intensity{0};

constexpr ColorRef rgb(int r, int g, int b) { return MakeColorRef(r, g, b); }

// The standard system colours, by number.
constexpr ColorRef kStandardSystemColors[31] = {
    rgb(200, 200, 200), // 0 scroll bar
    rgb(0, 0, 0),       // 1 desktop
    rgb(153, 180, 209), // 2 active caption
    rgb(191, 205, 219), // 3 inactive caption
    rgb(240, 240, 240), // 4 menu
    rgb(255, 255, 255), // 5 window
    rgb(100, 100, 100), // 6 window frame
    rgb(0, 0, 0),       // 7 menu text
    rgb(0, 0, 0),       // 8 window text
    rgb(0, 0, 0),       // 9 caption text
    rgb(180, 180, 180), // 10 active border
    rgb(244, 247, 252), // 11 inactive border
    rgb(171, 171, 171), // 12 application workspace
    rgb(0, 120, 215),   // 13 highlight
    rgb(255, 255, 255), // 14 highlighted text
    rgb(240, 240, 240), // 15 button face
    rgb(160, 160, 160), // 16 button shadow
    rgb(109, 109, 109), // 17 grey text
    rgb(0, 0, 0),       // 18 button text
    rgb(0, 0, 0),       // 19 inactive caption text
    rgb(255, 255, 255), // 20 button highlight
    rgb(105, 105, 105), // 21 dark shadow
    rgb(227, 227, 227), // 22 light
    rgb(0, 0, 0),       // 23 tooltip text
    rgb(255, 255, 225), // 24 tooltip background
    rgb(0, 0, 0),       // 25 (unused)
    rgb(0, 102, 204),   // 26 hot-tracked item
    rgb(185, 209, 234), // 27 active caption gradient
    rgb(215, 228, 242), // 28 inactive caption gradient
    rgb(0, 120, 215),   // 29 menu highlight
    rgb(240, 240, 240), // 30 menu bar
};

// The palette role standing for a system colour number, when there is one.
bool paletteRole(int index, QPalette::ColorGroup &group, QPalette::ColorRole &role)
{
    group = QPalette::Active;
    switch (index) {
    case 4: case 30: role = QPalette::Window; return true;
    case 5: role = QPalette::Base; return true;
    case 7: role = QPalette::WindowText; return true;
    case 8: role = QPalette::Text; return true;
    case 13: case 29: role = QPalette::Highlight; return true;
    case 14: role = QPalette::HighlightedText; return true;
    case 15: role = QPalette::Button; return true;
    case 16: role = QPalette::Mid; return true;
    case 17: group = QPalette::Disabled; role = QPalette::Text; return true;
    case 18: role = QPalette::ButtonText; return true;
    case 20: role = QPalette::Light; return true;
    case 21: role = QPalette::Shadow; return true;
    case 22: role = QPalette::Midlight; return true;
    case 23: role = QPalette::ToolTipText; return true;
    case 24: role = QPalette::ToolTipBase; return true;
    case 26: role = QPalette::Link; return true;
    default: return false;
    }
}

struct FixedShades
{
    int hue;
    ColorRef levels[5];
};

constexpr FixedShades kFixedShades[] = {
    {0, {0xFAFAFA, 0xE6E6E6, 0x808080, 0x404040, 0x202020}},
    {1, {0xFAFAFA, 0xE6E6E6, 0xB4B4B4, 0x828282, 0x505050}},
    {189, {0xF7F7ED, 0xF2F2C0, 0xC6A800, 0xA48B00, 0x806D00}},
};

struct ShadeHsv
{
    double s;
    double v;
};

// Levels 1..5, then any other level.
constexpr ShadeHsv kComputedShades[6] = {
    {0.04, 0.98}, {0.2, 0.9}, {0.4, 0.7}, {0.6, 0.5}, {0.8, 0.3}, {0.2, 1.0},
};

constexpr ColorRef kLightTints[9] = {
    0xD1FFFF, 0x85F2EF, 0xE9D9CB, 0xFFF5CF, 0xD5CFFF, 0xFFCFF4, 0xD7D7D7, 0xB2B2B2, 0xB1FFFE, // 31..39
};

constexpr ColorRef kSeriesColors[12] = {
    0x8CFF8C, 0x8CFFFF, 0x8C8CFF, 0xFFFF8C, 0x8CC6FF, 0xFF8CC6, // 48..53
    0x8CFFC6, 0xFFC68C, 0xFF8CFF, 0xC6FF8C, 0xC68CFF, 0xFF8C8C, // 54..59
};

int toByte(double channel)
{
    return std::clamp(int(channel), 0, 255);
}

} // namespace

QColor ColorRefToQColor(ColorRef colour)
{
    return QColor(ColorRefRed(colour), ColorRefGreen(colour), ColorRefBlue(colour));
}

ColorRef ColorRefFromQColor(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return MakeColorRef(c.red(), c.green(), c.blue());
}

ColorRef GetSystemColor(int index)
{
    if (index < 0 || index > SysColorMenuBar)
        index = SysColorMenuBar;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) && paletteRole(index, group, role))
        return ColorRefFromQColor(QGuiApplication::palette().color(group, role));
    return kStandardSystemColors[index];
}

void SetColorIntensity(std::uint8_t percent)
{
    g_intensity = percent;
}

std::uint8_t GetColorIntensity()
{
    return g_intensity;
}

int ColorToHue(ColorRef colour)
{
    const int r = ColorRefRed(colour);
    const int g = ColorRefGreen(colour);
    const int b = ColorRefBlue(colour);
    const int max = std::max({r, g, b});
    const int min = std::min({r, g, b});
    const double d = max - min;
    if (d == 0)
        return 0;
    double h;
    if (max == r && g < b)
        h = (g - b) / d * 60 + 360;
    else if (max == r)
        h = (g - b) / d * 60;
    else if (max == g)
        h = (b - r) / d * 60 + 120;
    else
        h = (r - g) / d * 60 + 240;
    return int(h + 0.5);
}

ColorRef HsvToColor(int hue, double saturation, double value, bool intensity)
{
    const std::uint8_t percent = g_intensity;
    if (intensity && percent != 0)
        saturation = percent * 0.01 * saturation;
    saturation = std::clamp(saturation, 0.0, 1.0);
    value = std::clamp(value, 0.0, 1.0);
    if (saturation == 0) {
        const int grey = toByte(255 * value);
        return rgb(grey, grey, grey);
    }
    if (hue >= 360 || hue < 0)
        hue = 0;
    const int i = hue / 60;
    const double f = hue / 60.0 - i;
    const double full = 255 * value;
    const int v = toByte(full);
    const int p = toByte((1 - saturation) * full);
    const int q = toByte((1 - saturation * f) * full);
    const int t = toByte((1 - (1 - f) * saturation) * full);
    if (hue < 60)
        return rgb(v, t, p);
    if (hue < 120)
        return rgb(q, v, p);
    if (hue < 180)
        return rgb(p, v, t);
    if (hue < 240)
        return rgb(p, q, v);
    if (hue < 300)
        return rgb(t, p, v);
    return rgb(v, p, q);
}

ColorRef GetHueShade(int hue, int level)
{
    const bool knownLevel = level >= 1 && level <= 5;
    for (const FixedShades &fixed : kFixedShades) {
        if (fixed.hue == hue)
            return knownLevel ? fixed.levels[level - 1] : ColorRef(0xFFFFFF);
    }
    const ShadeHsv &shade = kComputedShades[knownLevel ? level - 1 : 5];
    return HsvToColor(hue, shade.s, shade.v, true);
}

ColorRef GetSysColorEx(std::uint8_t index)
{
    if (index >= 31 && index <= 39)
        return kLightTints[index - 31];
    if (index >= 48 && index <= 59)
        return kSeriesColors[index - 48];
    return GetSystemColor(index >= SysColorMenuBar ? int(SysColorMenuBar) : int(index));
}

ColorRef GetStyleCaptionColor(std::uint8_t style)
{
    switch (style) {
    case 19: return 0xC0C0C0;
    case 20: return 0x000000;
    case 21: return 0x1010C0;
    case 22: return 0x2B802B;
    case 23: return 0xFF00FF;
    case 24: return 0xA6E1FF;
    case 25: return 0x3196F9;
    default: return GetSystemColor(SysColorActiveCaption);
    }
}

bool IsDarkStyleColor(std::uint8_t style)
{
    return style >= 10 && style != 24;
}

bool IsStyle6To13(std::uint8_t style)
{
    return style >= 6 && style <= 13;
}

std::uint8_t GetStatusColorIndex(std::uint8_t status, std::uint8_t defaultStyle)
{
    if (status == 1)
        return 25;
    if (status == 2)
        return 21;
    return defaultStyle;
}
