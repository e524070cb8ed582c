#pragma once

#include "data/FieldExchange.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Column exchanges that keep the engine's no-value markers out of numbers and
// over-long texts out of text columns. Table classes use them where a row is
// written back that may have been read with a Null or may carry a long text.

// A text cut to the column's defined size when the row is marked for an add
// or an edit, so that a long text is stored cut instead of being refused.
void DFX_TextLimit(FieldExchange *pFX, const QString &column, QString &value);

// A long holding the no-value pattern is written as 0 when the row is marked
// for an add or an edit.
void DFX_LongNoNull(FieldExchange *pFX, const QString &column, qint32 &value);

// A single holding the no-value pattern becomes 0 before every exchange, so a
// Null single reads as 0 from then on.
void DFX_SingleNoNull(FieldExchange *pFX, const QString &column, float &value);
