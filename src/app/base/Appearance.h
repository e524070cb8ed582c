#pragma once

#include <QtCore/QString>
#include <QtGui/QFont>

#include <array>
#include <memory>

class ImageList;

// The workstation's appearance choices (button style, fill style, list-manager
// background, colour intensity, font name and size, a hue per main view), the
// ten fonts and three image lists every window shares, and the names, tips
// and hues of the nine main views. All values live in "View Settings"; the
// setters store them at once. One instance serves the whole program.
class Appearance
{
public:
    static Appearance &instance();

    // Reads every value and builds the fonts and image lists.
    void LoadViewSettings();

    quint8 LoadButtonStyle();
    quint8 LoadFillStyle();
    quint8 LoadListManagerStyle();
    quint8 LoadColorIntensity();
    QString LoadFontName();
    int LoadFontSize();

    void SetButtonStyle(quint8 style);
    void SetFillStyle(quint8 index);
    void SetListManagerStyle(quint8 style);
    void SetColorIntensity(quint8 intensity);
    // The empty text stands for the system's default face.
    void SetFontName(const QString &name);
    // Tenths of a point; clamped to 70..120; rebuilds fonts 2 and 3.
    void SetFontSize(int size);

    // 26 and above become 10; keeps the two derived style flags.
    void ApplyFillStyle(quint8 index);

    quint8 buttonStyle() const { return m_buttonStyle; }
    quint8 fillStyle() const { return m_fillStyle; }
    bool isDarkFillStyle() const { return m_darkStyle; }
    bool isFillStyle6To13() const { return m_style6To13; }
    quint8 listManagerStyle() const { return m_listManager; }
    quint8 colorIntensity() const { return m_intensity; }
    int fontSize() const { return m_fontSize; }
    QString fontName() const { return m_fontName; }

    // 0xFAFAFA for setting 1, 0xFFFFFF for setting 2, else the given colour
    // (colours as 0x00BBGGRR).
    unsigned GetListManagerBackColor(unsigned defaultColour) const;

    void CreateFonts();
    void CreateImageLists();
    // Font 0..9; any other index gives font 2.
    const QFont &GetFont(int index);
    // List 131, 132 or 133; null for any other id.
    const ImageList *GetImageList(unsigned id);

    static QString GetViewName(unsigned viewId);
    static QString GetViewTip(unsigned viewId);
    // The built-in hue, or with the view-hue flag set and fromProfile the hue
    // stored under the view's name.
    int GetViewHue(unsigned viewId, bool fromProfile) const;
    void SaveViewSetting(unsigned viewId, int hue);
    void setViewHueFlag(bool on) { m_viewHueFlag = on; }
    // Hue of a colour number by its remainder of 12; negative numbers give 210.
    static int GetColorHue(int colourNumber);

    // A font made from a face name as the program names faces ("Tahoma",
    // "Arial Bold", "Times New Roman Italic") at a size in tenths of a point.
    // Faces not installed here are replaced by metric-compatible ones.
    static QFont CreatePointFont(const QString &face, int tenthsOfPoint);
    // The face used when nothing is stored, by the system's major version.
    static QString DefaultFontName();

private:
    Appearance();
    ~Appearance();
    Appearance(const Appearance &) = delete;
    Appearance &operator=(const Appearance &) = delete;

    void createFont(int index);

    quint8 m_buttonStyle = 0;
    quint8 m_fillStyle = 10;
    bool m_darkStyle = true;
    bool m_style6To13 = true;
    quint8 m_listManager = 0;
    quint8 m_intensity = 120;
    int m_fontSize = 85;
    QString m_fontName;
    bool m_viewHueFlag = true;
    bool m_fontsMade = false;
    std::array<QFont, 10> m_fonts;
    std::array<std::unique_ptr<ImageList>, 3> m_lists;
};
