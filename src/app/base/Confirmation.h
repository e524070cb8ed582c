#pragma once

#include <QtCore/QString>

// The two-step confirmation before a destructive action: "Do you want to
// <action>", then "Are you sure you want to <action>"; true only when both are
// answered Yes. An empty action is confirmed at once, without a question.
bool ConfirmAction(const QString &action);
