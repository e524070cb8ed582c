#include "LayoutCommand.h"
#include "ToolArgs.h"

#include "estimating/CutLayout.h"
#include "platform/UserFile.h"

#include <QtCore/QFileInfo>

#include <QtGui/QImage>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

namespace {

// The area a layout is drawn into, in screen pixels.
const QRect kDrawingArea(0, 0, 480, 360);

} // namespace

// Lays a piece out on a sheet, prints the counts and draws the layout.
int runLayoutCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() < 2) {
        err << "usage: tavrel-dbtool layout SHEET PIECE [--options N] [--trim T] [--png FILE] [--pdf FILE]\n";
        return 2;
    }
    QString sheet = args[0];
    QString piece = args[1];
    int options = 0;
    float trim = 0;
    QString png;
    QString pdf;
    for (int i = 2; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size()) {
            err << a << " needs a value\n";
            return 2;
        }
        const QString value = args[++i];
        if (a == QLatin1String("--options")) {
            bool ok = false;
            options = value.startsWith(QLatin1String("0x")) ? value.mid(2).toInt(&ok, 16) : value.toInt(&ok);
            if (!ok) {
                err << "--options takes a number\n";
                return 2;
            }
        } else if (a == QLatin1String("--trim")) {
            trim = ParseFraction(value);
        } else if (a == QLatin1String("--png")) {
            png = value;
        } else if (a == QLatin1String("--pdf")) {
            pdf = value;
        } else {
            err << "unknown option " << a << '\n';
            return 2;
        }
    }
    CutLayout layout;
    layout.SetDrawingArea(kDrawingArea);
    layout.CalcLayout(sheet, piece, options, trim);
    layout.m_bGripTop = options & CutLayout::GripTop;
    layout.m_bGripLeft = options & CutLayout::GripLeft;
    if (layout.m_bCapped) {
        err << "The piece " << piece << " is too small for the sheet " << sheet << ": the layout stops at "
            << CutLayout::kMaxPiecesPerPass << " pieces a pass, so it has no complete counts.\n";
        return 1;
    }
    out << "Pieces\tCuts\tSheet\tPiece\n";
    out << layout.m_nPieces << '\t' << layout.m_nCuts << '\t' << sheet << '\t' << piece << '\n';
    if (!png.isEmpty()) {
        QImage image(kDrawingArea.size(), QImage::Format_RGB32);
        image.fill(QColor(240, 240, 240));
        QPainter painter(&image);
        layout.DrawLayout(painter, 0, 0);
        painter.end();
        platform::UserFile target(png);
        if (!OpenToolFile(target, err))
            return 1;
        const QByteArray format = QFileInfo(png).suffix().toLatin1();
        if (!image.save(&target, format.isEmpty() ? "PNG" : format.constData())) {
            err << "Cannot write: " << png << ": "
                << (target.failed() ? target.errorString()
                                    : QStringLiteral("A picture cannot be written as ") + QString::fromLatin1(format))
                << '\n';
            return 1;
        }
        if (!FinishToolFile(target, err))
            return 1;
    }
    if (!pdf.isEmpty()) {
        platform::UserFile target(pdf);
        if (!OpenToolFile(target, err))
            return 1;
        {
            QPdfWriter writer(&target);
            writer.setPageSize(QPageSize(QPageSize::Letter));
            writer.setResolution(300);
            QPainter painter;
            if (!painter.begin(&writer)) {
                err << "cannot write " << pdf << '\n';
                return 1;
            }
            layout.DrawLayout(painter, 150, 150);
            painter.end();
        }
        if (!FinishToolFile(target, err))
            return 1;
    }
    return 0;
}
