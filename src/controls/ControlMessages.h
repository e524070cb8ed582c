#pragma once

// Numbers of the messages the program's own controls send to their owners.
// Each control emits them through its ownerMessage signal with the documented
// word and long parameters, so owners route them as the program numbers them.
enum ControlMessage : int {
    WM_COMMAND_ID = 0x0111,       // a command: the id travels in commandTriggered
    MSG_ROW_ENTERED = 30240,      // a grid row or cell became current (grid id, row or cell index)
    MSG_OPTION_CHECKED = 30243,   // option tree: a check box toggled (option id, new state)
    MSG_RADIO_CHOSEN = 30245,     // option tree: a radio button chosen (option id, the tree)
    MSG_VALUE_CHANGED = 30247,    // a grid value changed by editing (grid id, row or cell index)
    MSG_HEADER_CLICKED = 30250,   // cell grid header click (column, 0)
    MSG_IMAGE_CLICKED = 30251,    // cell grid image click (image, cell index)
    MSG_MENU_INIT = 30675,        // a popup menu is about to be shown (menu id, sub-menu)
    MSG_EDIT_CELL = 0x7619,       // reopen the cell grid's editor (row, column)
};

// Notification codes.
enum NotifyCode : int {
    NM_DBLCLK = -3,
    NM_RCLICK = -5,
    NM_HOVER = -13,
};

// Scroll codes of the vertical scroll bar.
enum ScrollCode : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};
