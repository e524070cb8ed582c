#pragma once

#include <QtCore/QObject>
#include <QtCore/QString>

class QTimer;

// The other half of the harness through which the program is run by its
// tests in a process of its own (see ScriptedPrompts): when the environment
// variable TAVREL_LAYOUT_FILE names a file, the program writes into it, a few
// times a second, where on the screen its windows, ribbon items, list-manager
// entries, record lists and open menu items are, so that a test driving the real program
// with mouse clicks can find them. One line each, fields separated by tabs:
//   window  <class> <title> <x> <y> <w> <h>
//   item    <command id> <state> <x> <y> <w> <h> <caption>
//   tree    <x> <y> <w> <h> <text>
//   menu    <command id> <x> <y> <w> <h> <text>
//   message <text of the message box shown above it>
//   list    <x> <y> <w> <h> <rows> <current row> <last row in view>
//           <scroll bar x> <y> <w> <h> <scroll value> <scroll maximum>
//   button  <x> <y> <w> <h> <caption, without its shortcut's "&">
//   row     <x> <y> <w> <h> <row> <texts of its first columns, up to eight>
//   field   <object name> <x> <y> <w> <h> <text>
//   label   <object name> <x> <y> <w> <h> <text> (named labels only)
// Without the variable nothing is written.
class ScriptedLayout : public QObject
{

public:
    ScriptedLayout();

    bool isActive() const { return !m_path.isEmpty(); }
    void write();

private:
    QString m_path;
    QTimer *m_timer = nullptr;
};
