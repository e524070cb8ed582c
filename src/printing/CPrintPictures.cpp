// Pictures on paper: the shop's logo on documents, and a window of the
// program captured from the screen and printed as a page of its own.
#include "printing/CPrint.h"

#include "app/base/SharedDatabaseHolder.h"
#include "app/base/TextUtil.h"
#include "platform/PlacedFile.h"
#include "views/CDlgOptions.h"

#include <QtCore/QFile>
#include <QtCore/QThread>
#include <QtCore/QtEndian>
#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>

#include <cmath>

PrintRect CPrint::DrawLogo(QPainter &dc, PrintInfo &info)
{
    const int corner = InchToDevice(0.25, true);
    const PrintRect area(corner, corner, info.drawRect.right, info.drawRect.bottom);
    // A logo when the form asks for one (option 5, "Company Logo"), or on
    // every attachment.
    if (!IsBitSet(m_nOptions, 5) && m_strOutputFile.isEmpty())
        return area;
    const QString file = m_strOutputFile.contains(QLatin1String(".pdf"), Qt::CaseInsensitive)
        ? QStringLiteral("LogoEmail.bmp")
        : QStringLiteral("LogoPrint.bmp");
    LoadLogo(dc, info, area, SharedDatabaseHolder::current().dataFolder() + file);
    return area;
}

void CPrint::LoadLogo(QPainter &dc, PrintInfo &, const PrintRect &area, const QString &path)
{
    // The logo is put in the shop's folder by whoever keeps it: read through
    // the checks, so that a pipe or a device under its name is passed over at
    // once, and a bitmap larger than any logo is not read at all.
    constexpr qint64 kMaxLogo = 64 * 1024 * 1024;
    QByteArray bytes;
    QString refusal;
    if (!platform::PlacedFile::Read(path, kMaxLogo, bytes, refusal))
        return;
    QImage image;
    if (!image.loadFromData(bytes, "BMP"))
        return;
    // The picture's own resolution from the bitmap header: pixels per metre
    // across, at offset 14 + 24.
    int ppi = 0;
    if (bytes.size() >= 14 + 40 && bytes[0] == 'B' && bytes[1] == 'M') {
        const qint32 perMetre = qFromLittleEndian<qint32>(bytes.constData() + 14 + 24);
        ppi = int(std::trunc(perMetre / 39.36));
    }
    const CXBitmap bitmap(image);
    const std::uint32_t format = ppi > 0 ? 0x7FFFFFFFu + std::uint32_t(ppi) : 0u;
    bitmap.PrintDIB(dc, area.toQRect(), format);
}

void CPrint::PrintBitmapPage(QPainter &dc, PrintInfo &info, int &row)
{
    if (m_pBitmap && !m_pBitmap->isEmpty()) {
        m_strHeading2.clear();
        m_strHeading3.clear();
        DrawPageHeader(dc, info);
        // Centred across, at the top, no larger than the screen showed it.
        m_pBitmap->PrintDIB(dc, info.drawRect.toQRect(), 1);
    }
    ++row;
}

void CPrint::PrintScreen(QWidget *window, QWidget *part, QWidget *secondPart, QString title, const QString &partName,
                         bool clientArea, int command)
{
    if (!window)
        return;
    if (title.isEmpty())
        title = window->window()->windowTitle();
    if (command == 0) {
        CDlgOptions ask(QStringLiteral("Print Screen"), QString(), 0, window);
        if (part) {
            ask.AddRadioGroup(QStringLiteral("Capture and Print Screen"), 0);
            ask.AddEntry(30335, QStringLiteral("Entire window"));
            ask.AddEntry(30336, QStringLiteral("Partial window: ") + partName, 1);
        }
        ask.AddRadioGroup(QStringLiteral("Print To:"), 0);
        ask.AddEntry(57608, QStringLiteral("Default Printer"), 1);
        ask.AddEntry(57607, QStringLiteral("Select a Printer..."));
        if (ask.DoModal() == 2)
            return;
        command = int(ask.GetCheckedInRange(57607, 57609));
        if (command == 0)
            command = kPrintDirect;
        if (part && ask.IsEntryChecked(30335)) {
            part = nullptr;
            secondPart = nullptr;
        }
        // The question leaves the screen before the picture is taken.
        QThread::msleep(1000);
        QCoreApplication::processEvents();
    }
    ResetOptions();
    m_nKind = 203;
    m_nRecords = 1;
    m_strTitle = title;
    m_strHeading1 = partName;
    m_form.m_FontName = QStringLiteral("Tahoma");
    m_form.m_FontSize = 80;
    QImage picture;
    if (part) {
        m_rectCapture = QRect(part->mapToGlobal(QPoint(0, 0)), part->size());
        picture = part->grab().toImage();
        if (secondPart) {
            const QRect second(secondPart->mapToGlobal(QPoint(0, 0)), secondPart->size());
            const QRect joined = m_rectCapture.united(second);
            QImage both(joined.size(), QImage::Format_RGB32);
            both.fill(Qt::white);
            QPainter p(&both);
            p.drawImage(m_rectCapture.topLeft() - joined.topLeft(), picture);
            p.drawImage(second.topLeft() - joined.topLeft(), secondPart->grab().toImage());
            p.end();
            picture = both;
            m_rectCapture = joined;
        }
    } else {
        QWidget *top = clientArea ? window : window->window();
        m_rectCapture = QRect(top->mapToGlobal(QPoint(0, 0)), top->size());
        picture = top->grab().toImage();
    }
    m_pBitmap = std::make_unique<CXBitmap>(picture);
    DoPrint(command);
}
