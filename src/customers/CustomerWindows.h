#pragma once

#include <QtCore/QtGlobal>

#include <functional>

class CView0;
class CZqApp;
class QWidget;

// The customer area's entry points for the rest of the program.

// Installs the customer opener of the application object (the read-only
// customer window of any customer number). The shell calls it at start-up.
void InstallCustomerWindows(CZqApp &app, std::function<QWidget *()> parentWindow);

// The read-only customer window on a customer; nothing for an unknown number.
void OpenCustomerReadOnly(qint32 cusNo, QWidget *parent);

// The customers view (30003) after its initial update.
CView0 *CreateCustomersView(QWidget *parent);
