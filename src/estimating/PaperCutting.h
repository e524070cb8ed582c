#pragma once

#include "estimating/CutLayout.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The two cutting stages of an item's paper, without a window: the parent
// sheet (the stock as bought) cut into press run sheets ("outs"), and each
// printed run sheet cut into finished pieces ("ups"). The shop's default
// options and its named favourite cuts are setting rows of table
// CustomerAlerts (CusNo 0): kind 210 the defaults, 211 one row per
// favourite; their texts join their parts with " · ".
struct CutStages
{
    QString parentSize;
    QString runSize;
    QString finishSize;
    qint32 outs = 0;
    qint32 cutsToRun = 0;
    qint32 ups = 0;
    qint32 cutsToFinish = 0;
    int trimIndex1 = 2;
    int trimIndex2 = 2;
    int options1 = 0;
    int options2 = 0;
};

namespace PaperCutting {

constexpr int kDefaultOptionsKind = 210;
constexpr int kFavoriteKind = 211;
// Setting row texts are at most this long.
constexpr int kMaxRowText = 255;

// The separator of the parts of a setting row's text.
QString Separator();

// The trim size of an entry of the trim list (" ", "1/128" ... "2.0").
float TrimFromIndex(int index);

// Turns a size text ("W x H" becomes "H x W").
QString SwapSides(const QString &size);

// One stage: the piece laid out on the sheet, giving the count and the
// cuts. Mode 2 also tries the piece turned and keeps the turned text only
// when it gives strictly more pieces. A count below 1 becomes 1.
void CalcOne(CutLayout &layout, const QString &sheet, QString &piece, qint32 &count, qint32 &cuts, int options,
             float trim, int mode);

// Both stages with the given options (parent to run size, run to finish
// size), each trying both orientations. Without a parent size the first
// stage gives 1 out and 0 cuts.
void CalcStages(CutStages &stages, CutLayout &first, CutLayout &second);

// The shop's default options (kind 210): true when the row exists; without
// it options 0 and 0 and trim indices 2 and 2.
bool LoadDefaultOptions(CutStages &stages);

// Saves a setting row: kind 210 replaces the defaults row (added when
// missing); any other kind adds a row. Its text is `text` followed by the
// two trim indices; the options words go to AlertColor and AlertSound. A
// text longer than a row holds is refused with a message; false then and
// on a database error (reported).
//
// With `read` (the defaults as the window read them) the defaults row is
// saved as any shared row is: only what differs from `read` is written,
// onto the row as it is now, so another workstation's save of the other
// options is kept. An option box is settled bit by bit; a trim size both
// users changed is asked about ("Saved by another user"), and Cancel saves
// nothing. `read` then becomes what was saved.
bool SaveOptions(int kind, const QString &text, const CutStages &stages, CutStages *read = nullptr);

// The text of a favourite up to the trim indices, which SaveOptions adds;
// a separator inside the name would shift every later part, so its middle
// dot becomes "-".
QString FavoriteText(const CutStages &stages, const QString &name);

// Takes a chosen favourite's parts (its run size and the rest of its text
// from the finish size on) and its two options words. The favourite's
// parent size is not taken; without a parent size of ours the favourite's
// outs and cuts to run size become 1 and 0.
void ApplyFavorite(CutStages &stages, const QString &runSize, const QString &rest, int options1, int options2);

} // namespace PaperCutting
