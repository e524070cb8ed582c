#pragma once

#include <QtWidgets/QListWidget>

// A list of colour swatches, one per hue, kept in the order they are added.
// Each item is 11 pixels high; its data (Qt::UserRole) is its hue (10..360).
// The swatches always show at normal colour intensity, whatever this
// workstation's intensity setting, so the user sees the hue itself.
class CColorListBox : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kItemHeight = 11;

    explicit CColorListBox(QWidget *parent = nullptr);

    // Appends a swatch whose text is the hue's number.
    void AddHue(int hue);
    // The item holding the hue, or -1.
    int FindHue(int hue) const;
    static int HueOf(const QListWidgetItem *item);
};
