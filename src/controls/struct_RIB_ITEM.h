#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>

#include <cstdint>

// One item of a command ribbon, also the caption record embedded in every
// window of the program's own controls. Copied by value.
struct struct_RIB_ITEM
{
    enum State : std::uint8_t { Normal = 0, MenuOpen = 1, Selected = 2, Disabled = 3, Plain = 4, Hidden = 5 };

    int label = 0;              // 1: a ribbon label (never hot or pressed)
    unsigned id = 0;            // command sent to the owner; 0 = spacer or none
    std::uint8_t state = Plain;
    int image = 0;              // 0 none, 131-133 shared lists, 134 photo, 135 product picture
    std::uint8_t imageIndex = 255; // 255 none; arrow glyph number without an image list
    std::uint8_t font = 2;      // shared font index
    std::uint32_t format = 0;   // text format (2084, 2085, 2128, two-part ...)
    std::uint8_t colour = 0;    // background style; 24/25 while blinking
    std::uint8_t baseColour = 0; // background style restored after blinking
    std::uint8_t border = 0;    // border style
    std::uint32_t menuId = 0;   // popup menu of a ribbon item
    std::uint8_t subMenu = 0;   // position of the sub-menu in that menu
    QRect rect;                 // the item's place
    int textWidth = 0;          // the caption's width in its font when the item was sized
    QString caption;
    QString text2;              // tooltip of a ribbon item, second line of a panel
};
