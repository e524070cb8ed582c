#pragma once

#include "app/base/CZqApp.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The small choice conversations many screens share, over the program's
// choices dialog (groups of radio buttons or check boxes). The program's
// shell installs the dialog; without one every choice counts as cancelled.

void SetChoiceRunner(CZqApp::ChoiceDialogRunner runner);
// Runs the dialog; IDOK leaves the user's choice in the entries' checked flags.
int RunChoiceDialog(CZqApp::ChoiceDialog &dialog);

// One of n: a radio group headed by the question with the items of the
// comma-terminated choices, numbered from 1. The number of the choice, 0 when
// cancelled.
int AskChoice(const QString &title, const QString &stripText, const QString &choices, const QString &question);

// Before an item's schedule status changes away from Hold, Wait or Proof the
// user chooses between keeping it and changing it; true to change. Any other
// current status changes without a question.
bool AskItemStatusChange(quint8 currentStatus, quint8 newStatus);

// Lets the user tick the canned notes of a kind (and of a service category
// when not 0) to add to or take out of text, joined by the separator. A note
// already in the text starts ticked. False when there are no notes ("Could
// not find any Quick Notes.") or the user cancels; text is then unchanged.
bool PickQuickNote(QString &text, quint8 type, int category, const QString &separator);
