#pragma once

#include <QtGui/QColor>

#include <cstdint>

// Colour arithmetic of the program's own controls and charts. Colours are kept
// as colour references, 0x00BBGGRR (red in the lowest byte), the form in which
// forms, settings and the tables below store them; ColorRefToQColor turns one
// into a QColor for drawing.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(int red, int green, int blue)
{
    return ColorRef(red & 0xFF) | (ColorRef(green & 0xFF) << 8) | (ColorRef(blue & 0xFF) << 16);
}
constexpr int ColorRefRed(ColorRef c) { return int(c & 0xFF); }
constexpr int ColorRefGreen(ColorRef c) { return int((c >> 8) & 0xFF); }
constexpr int ColorRefBlue(ColorRef c) { return int((c >> 16) & 0xFF); }
QColor ColorRefToQColor(ColorRef colour);
ColorRef ColorRefFromQColor(const QColor &colour);

// System colour numbers the program names.
enum SystemColorIndex : int {
    SysColorActiveCaption = 2,
    SysColorWindow = 5,
    SysColorWindowText = 8,
    SysColorHighlight = 13,
    SysColorButtonFace = 15,
    SysColorMenuBar = 30,
};

// The desktop's colour for a system colour number (0..30): taken from the
// application palette where it has a matching role, otherwise the standard
// colour of that number. Numbers outside 0..30 give colour 30.
ColorRef GetSystemColor(int index);

// The colour intensity of the view settings, a percent by which computed
// schemes scale their saturation; 0 means no scaling. Set by the application
// when it loads the view settings.
void SetColorIntensity(std::uint8_t percent);
std::uint8_t GetColorIntensity();

// Hue in whole degrees of a colour, 0 for greys. Red wins a tie with green or
// blue, green wins a tie with blue.
int ColorToHue(ColorRef colour);
// Colour from hue, saturation and value (0..1). With `intensity` the
// saturation is scaled by the colour intensity when that is set.
ColorRef HsvToColor(int hue, double saturation, double value, bool intensity);
// Shade 1 (light) to 5 (dark) of a hue for control backgrounds, frames and
// text; hues 0, 1 and 189 have fixed greys and teal.
ColorRef GetHueShade(int hue, int level);
// Indexes 31..39 and 48..59 are the program's own palette (light tints and
// twelve chart colours); any other index is a system colour.
ColorRef GetSysColorEx(std::uint8_t index);
// Caption colour of fill styles 19..25; other styles take the active caption.
ColorRef GetStyleCaptionColor(std::uint8_t style);
bool IsDarkStyleColor(std::uint8_t style); // 10 and above, except 24
bool IsStyle6To13(std::uint8_t style);
// Style colour marking a record's status: 25 for status 1, 21 for status 2,
// else the default style.
std::uint8_t GetStatusColorIndex(std::uint8_t status, std::uint8_t defaultStyle);
