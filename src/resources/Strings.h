#pragma once

#include <QtCore/QString>

// Ids of the program's string table. Most entries are comma-terminated lists
// read entry by entry with GetResourceListItem; the rest are single messages
// and captions.
enum StringId : int {
    IDS_OLE_INIT_FAILED = 100,     // start-up: component runtime failed
    IDS_SOCKETS_INIT_FAILED = 101, // start-up: sockets failed (the table holds no text for it)
    IDR_MAINFRAME = 128,           // document template: title, file type and document names
    IDS_DIFFICULTY = 40012,        // difficulty of coverage and registration
    IDS_BLEED_SIDES = 40013,       // sides of an item that bleed
    IDS_INK_COLORS = 40021,        // ink names of a printed side (offset)
    IDS_INK_COLORS_SHORT = 40022,  // short ink names of a printed side (digital)
    IDS_PRINT_STYLES = 40061,      // how an item is printed (work and turn, ...)
    IDS_JOB_TYPES = 40901,         // job type names by job type number
    IDS_TODO_STATUSES = 40910,     // reminder status names by status number
    IDS_REQUIRE_ORDER_DATA = 44308, // option group: data an order must have before it is saved
    IDS_JOB_LISTS_ORDERS = 44101,  // list manager of the jobs view: the orders branch
    IDS_SETUP_GENERAL = 44181,     // settings view branches: general settings ...
    IDS_SETUP_VENDORS = 44187,     // ... vendors
    IDS_SETUP_TEXTS = 44188,       // ... frequently used texts (the last branch)
    IDS_HOME_ABOUT = 44191,        // home view branches: about, internet, file manager
    IDS_FORM_OPTIONS_SOUND = 45099, // form options of the bell form (99)
    IDS_FORM_OPTIONS_LIST = 45100, // form options of list forms (50 and above)
    IDS_TRIM_SIZES = 45106,        // inside trim sizes of the cutting layout (fractions)
    IDS_APP_TITLE = 57344,         // the program's title, also the settings' profile name
};

// The text of a string-table entry; empty when the table has no such id.
QString LoadResourceString(int id);
