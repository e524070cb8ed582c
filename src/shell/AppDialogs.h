#pragma once

#include "app/base/CZqApp.h"

#include <functional>

class QWidget;

// Connects the application object's conversations to the program's dialogs:
// the one-field entry dialog (passwords), the choices dialog (also for the
// prompts of every layer) and the tree picker. The owner gives the window the
// dialogs stand in front of (the main window once there is one).
void InstallAppDialogs(CZqApp &app, std::function<QWidget *()> owner);
void RemoveAppDialogs(CZqApp &app);

// The choices dialog of the program for one set of groups: the groups and
// entries go in, and after IDOK the entries' checked flags hold the answer.
int RunChoicesDialog(CZqApp::ChoiceDialog &dialog, QWidget *parent);
