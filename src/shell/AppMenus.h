#pragma once

class CZqApp;
class QMenu;

// The program's menu resources and the ribbon's way to them:
// - 128: popup 0 the main menu (the views, the workstation's settings, the
//   database tools, Exit), popup 1 the help menu;
// - 170: popup 0 the list-manager menu, popup 1 the list menu, popup 11 the
//   date ranges (20031-20055).
// The ribbon's menu resolver fills an item's popup from the sub-menu of its
// menu resource, so every menu item sends its own command id.
void InstallAppMenus(CZqApp &app);
void RemoveAppMenus();

// Copies the sub-menu at the position of a menu resource into the menu; false
// when the resource or the sub-menu is missing.
bool FillMenuFromResource(QMenu &menu, int menuId, int position);
