#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>

class QWidget;

namespace platform {
class Database;
}

// Asks the parameters a saved query declares (its PARAMETERS clause) in one
// grid, "Field" and "Value", through the prompt service. The texts typed are
// returned in declaration order (an empty one as Null); the engine converts
// each to the declared type when the query runs. True without asking when
// the query declares none; false when the user cancels.
bool AskQueryParameters(platform::Database &db, const QString &queryName, QList<platform::Value> &values,
                        QWidget *parent = nullptr);
