#include "estimating/PaperCutting.h"

#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
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

bool LoadDefaultOptions(CutStages &s)
{
    s.options1 = s.options2 = 0;
    s.trimIndex1 = s.trimIndex2 = 2;
    try {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT AlertText, AlertColor, AlertSound FROM CustomerAlerts WHERE CusNo = 0 and "
                               "AlertType = %1")
                    .arg(kDefaultOptionsKind));
        if (rs.isEOF())
            return false;
        s.options1 = rs.value(1).toInt();
        s.options2 = rs.value(2).toInt();
        const QString text = rs.value(0).toString();
        const qsizetype at = text.indexOf(Separator());
        s.trimIndex1 = (at < 0 ? text : text.left(at)).trimmed().toInt();
        s.trimIndex2 = at < 0 ? 0 : text.mid(at + Separator().size()).trimmed().toInt();
        return true;
    } catch (const platform::DbException &) {
        return false;
    }
}

bool SaveOptions(int kind, const QString &text, const CutStages &s)
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
    try {
        const QList<platform::Value> values = {platform::Value(full), platform::Value(s.options1 & 0xFF),
                                               platform::Value(s.options2 & 0xFF)};
        if (kind == kDefaultOptionsKind) {
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT AlertNo FROM CustomerAlerts WHERE CusNo = 0 and AlertType = %1").arg(kind));
            if (!rs.isEOF()) {
                const int alertNo = rs.value(0).toInt();
                rs.close();
                db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ?, AlertColor = ?, AlertSound = ? "
                                          "WHERE AlertNo = %1")
                               .arg(alertNo),
                           values);
                platform::Prompt::beep();
                return true;
            }
        }
        db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertColor, AlertSound, "
                                  "AlertPrint) VALUES (0, %1, ?, ?, ?, 0)")
                       .arg(kind),
                   values);
        platform::Prompt::beep();
        return true;
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
