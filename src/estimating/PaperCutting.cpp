#include "estimating/PaperCutting.h"

#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "resources/Strings.h"

#include <QtCore/QStringList>

namespace PaperCutting {

QString Separator()
{
    return QStringLiteral(" \u00B7 ");
}

float TrimFromIndex(int index)
{
    return ParseFraction(GetResourceListItem(IDS_TRIM_SIZES, index));
}

QString SwapSides(const QString &size)
{
    float width = 0, height = 0;
    ParseSize(size, width, height);
    return FormatSize(height, width);
}

void CalcOne(CutLayout &layout, const QString &sheet, QString &piece, qint32 &count, qint32 &cuts, int options,
             float trim, int mode)
{
    QString sheetText = sheet;
    layout.CalcLayout(sheetText, piece, options, trim);
    count = layout.m_nPieces;
    cuts = layout.m_nCuts;
    if (mode == 2) {
        // The other orientation wins only with strictly more pieces; the
        // layout then shows it.
        const QString asGiven = piece;
        QString turned = SwapSides(piece);
        sheetText = sheet;
        layout.CalcLayout(sheetText, turned, options, trim);
        if (layout.m_nPieces > count) {
            piece = turned;
            count = layout.m_nPieces;
            cuts = layout.m_nCuts;
        } else {
            QString again = asGiven;
            sheetText = sheet;
            layout.CalcLayout(sheetText, again, options, trim);
        }
    }
    if (count < 1)
        count = 1;
}

void CalcStages(CutStages &s, CutLayout &first, CutLayout &second)
{
    CalcOne(first, s.parentSize, s.runSize, s.outs, s.cutsToRun, s.options1, TrimFromIndex(s.trimIndex1), 2);
    CalcOne(second, s.runSize, s.finishSize, s.ups, s.cutsToFinish, s.options2, TrimFromIndex(s.trimIndex2), 2);
}

namespace {

// The defaults row as it is now: false when there is none (then the
// built-in defaults).
bool readDefaultsRow(platform::Database &db, CutStages &s, int &alertNo)
{
    s.options1 = s.options2 = 0;
    s.trimIndex1 = s.trimIndex2 = 2;
    alertNo = 0;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT AlertNo, AlertText, AlertColor, AlertSound FROM CustomerAlerts WHERE CusNo = 0 and "
                           "AlertType = %1")
                .arg(kDefaultOptionsKind));
    if (rs.isEOF())
        return false;
    alertNo = rs.value(0).toInt();
    s.options1 = rs.value(2).toInt();
    s.options2 = rs.value(3).toInt();
    const QString text = rs.value(1).toString();
    const qsizetype at = text.indexOf(Separator());
    s.trimIndex1 = (at < 0 ? text : text.left(at)).trimmed().toInt();
    s.trimIndex2 = at < 0 ? 0 : text.mid(at + Separator().size()).trimmed().toInt();
    return true;
}

} // namespace

bool LoadDefaultOptions(CutStages &s)
{
    int alertNo = 0;
    try {
        return readDefaultsRow(SharedDatabase(), s, alertNo);
    } catch (const platform::DbException &) {
        s.options1 = s.options2 = 0;
        s.trimIndex1 = s.trimIndex2 = 2;
        return false;
    }
}

namespace {

bool sameDefaults(const CutStages &a, const CutStages &b)
{
    return a.options1 == b.options1 && a.options2 == b.options2 && a.trimIndex1 == b.trimIndex1
           && a.trimIndex2 == b.trimIndex2;
}

// This user's defaults put onto the row as it is now. False when the user
// cancelled the question about a trim size both changed.
bool settleDefaults(const CutStages &read, const CutStages &mine, const CutStages &now, CutStages &merged)
{
    merged = mine;
    // An option box is one bit: only the bits this user turned are this
    // user's; two users who turned the same bit turned it the same way.
    const int mask1 = (mine.options1 ^ read.options1) & 0xFF;
    const int mask2 = (mine.options2 ^ read.options2) & 0xFF;
    merged.options1 = (now.options1 & ~mask1 & 0xFF) | (mine.options1 & mask1);
    merged.options2 = (now.options2 & ~mask2 & 0xFF) | (mine.options2 & mask2);
    QStringList lines;
    QList<int *> asked;
    const struct
    {
        const char *label;
        int CutStages::*trim;
    } trims[] = {{"Trim (Parent to Run Size)", &CutStages::trimIndex1},
                 {"Trim (Run to Finish Size)", &CutStages::trimIndex2}};
    for (const auto &t : trims) {
        const int r = read.*(t.trim), m = mine.*(t.trim), n = now.*(t.trim);
        if (m == r)
            merged.*(t.trim) = n;
        else if (n != r && n != m) {
            lines << CXDaoSet::BothChangedLine(QString::fromLatin1(t.label),
                                               GetResourceListItem(IDS_TRIM_SIZES, n),
                                               GetResourceListItem(IDS_TRIM_SIZES, m));
            asked << &(merged.*(t.trim));
        }
    }
    if (lines.isEmpty())
        return true;
    const int answer = CXDaoSet::AskAboutBothChanged(lines);
    if (answer != platform::IDYES && answer != platform::IDNO)
        return false;
    if (answer == platform::IDNO) {
        for (int *trim : asked)
            *trim = trim == &merged.trimIndex1 ? now.trimIndex1 : now.trimIndex2;
    }
    return true;
}

} // namespace

bool SaveOptions(int kind, const QString &text, const CutStages &s, CutStages *read)
{
    const QString full = text + QString::number(s.trimIndex1) + Separator() + QString::number(s.trimIndex2);
    if (full.size() > kMaxRowText) {
        platform::Prompt::messageBox(
            QStringLiteral("This favorite cannot be saved: its text is longer than %1 characters.\n\nPlease use a "
                           "shorter name.")
                .arg(kMaxRowText),
            QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    platform::Database &db = SharedDatabase();
    const auto valuesOf = [](const QString &rowText, const CutStages &stages) {
        return QList<platform::Value>{platform::Value(rowText), platform::Value(stages.options1 & 0xFF),
                                      platform::Value(stages.options2 & 0xFF)};
    };
    const auto textOf = [&text](const CutStages &stages) {
        return text + QString::number(stages.trimIndex1) + Separator() + QString::number(stages.trimIndex2);
    };
    try {
        if (kind != kDefaultOptionsKind) {
            db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertColor, "
                                      "AlertSound, AlertPrint) VALUES (0, %1, ?, ?, ?, 0)")
                           .arg(kind),
                       valuesOf(full, s));
            platform::Prompt::beep();
            return true;
        }
        // The one defaults row: settled against the row as it is now, then
        // written inside the write lock only if nobody saved it meanwhile
        // (else settled again).
        // Without a row there is no other user's value to keep.
        CutStages now;
        int alertNo = 0;
        bool nowExists = readDefaultsRow(db, now, alertNo);
        if (!nowExists)
            now = s;
        for (int round = 0;; ++round) {
            CutStages merged = s;
            if (read && !settleDefaults(*read, s, now, merged))
                return false; // cancelled: nothing saved
            platform::Transaction write(db);
            CutStages stored;
            int storedNo = 0;
            const bool exists = readDefaultsRow(db, stored, storedNo);
            if (read && round < 5
                && (exists != nowExists || (exists && (storedNo != alertNo || !sameDefaults(stored, now))))) {
                now = exists ? stored : s;
                nowExists = exists;
                alertNo = storedNo;
                continue; // saved again meanwhile: settled again (the lock is let go first)
            }
            if (exists)
                db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ?, AlertColor = ?, AlertSound = ? "
                                          "WHERE AlertNo = %1")
                               .arg(storedNo),
                           valuesOf(textOf(merged), merged));
            else
                db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertColor, "
                                          "AlertSound, AlertPrint) VALUES (0, %1, ?, ?, ?, 0)")
                               .arg(kind),
                           valuesOf(textOf(merged), merged));
            write.commit();
            if (read)
                *read = merged;
            platform::Prompt::beep();
            return true;
        }
    } catch (const platform::DbException &e) {
        platform::Prompt::messageBox(QStringLiteral("The options could not be saved.\n\n") + e.description(),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
}

QString FavoriteText(const CutStages &s, const QString &name)
{
    QString safeName = name;
    safeName.replace(QChar(0x00B7), QLatin1Char('-'));
    const QString sep = Separator();
    return s.parentSize + sep + safeName + sep + s.runSize + sep + s.finishSize + sep + QString::number(s.outs) + sep
           + QString::number(s.cutsToRun) + sep + QString::number(s.ups) + sep + QString::number(s.cutsToFinish) + sep;
}

void ApplyFavorite(CutStages &s, const QString &runSize, const QString &rest, int options1, int options2)
{
    const QStringList parts = rest.split(Separator());
    const auto number = [&](int i) { return i < parts.size() ? parts[i].trimmed().toInt() : 0; };
    s.runSize = runSize;
    s.finishSize = parts.value(0);
    s.outs = number(1);
    s.cutsToRun = number(2);
    s.ups = number(3);
    s.cutsToFinish = number(4);
    s.trimIndex1 = number(5);
    s.trimIndex2 = number(6);
    s.options1 = options1;
    s.options2 = options2;
    if (s.parentSize.isEmpty()) {
        s.parentSize = s.runSize;
        s.outs = 1;
        s.cutsToRun = 0;
    }
}

} // namespace PaperCutting
