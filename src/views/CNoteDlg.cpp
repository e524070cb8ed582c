#include "views/CNoteDlg.h"

#include "controls/TextLimit.h"
#include "data/SettingRows.h"
#include "platform/Clock.h"

#include <QtCore/QLocale>
#include <QtGui/QFontMetricsF>
#include <QtGui/QTextCursor>
#include <QtWidgets/QPlainTextEdit>

#include <algorithm>

namespace {
constexpr unsigned kTitleBar = 1731;
constexpr unsigned kCommandBar = 1732;
constexpr unsigned kEdit = 1301;
constexpr unsigned kDateStamp = 1001;
constexpr unsigned kDateTimeStamp = 1002;
constexpr unsigned kClear = 1003;

// Notes keep their line breaks as "\r\n" (as stored in the database); the
// edit control works with "\n". A lone "\n" of a message breaks a line too.
QString toEditText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString fromEditText(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}
} // namespace

CNoteDlg::CNoteDlg(const QString &ribbonTitle, const QString &stripText, const QString &note, int mode,
                   QWidget *parent)
    : CDlg0(780, parent), m_strNote(note), m_nMode(mode)
{
    m_strRibbonTitle = ribbonTitle;
    m_strStripText = stripText;
    m_strWindowTitle = QStringLiteral("Note");
    resize(600, 420);
    AddPlaceholder(kTitleBar, QRect(0, 0, 600, 36));
    m_edit = AddMultiLineEdit(kEdit, QRect(8, 44, 584, 322));
    // The note is named by what the window shows above it.
    m_edit->setAccessibleName(stripText.trimmed().isEmpty() ? ribbonTitle : stripText.trimmed());
    AddPlaceholder(kCommandBar, QRect(0, 374, 600, 46));
    AddSizeMarker(QPoint(600, 420));
}

bool CNoteDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    if (m_wndTitle.Create(this, kTitleBar, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 0)) {
        // The title is never cut: a long one takes the room it needs from the strip.
        const int titleWidth = std::max(150, m_wndTitle.MeasureText(m_strRibbonTitle, 4) + 16);
        m_wndTitle.AddItem(30281, m_strRibbonTitle, struct_RIB_ITEM::Plain, 0, 255, 4, 2084, 0, 0, titleWidth);
        m_wndTitle.AddItem(30282, m_strStripText, struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 200);
        m_wndTitle.RecalcLayout(30282);
    }
    if (m_wndCommands.Create(this, kCommandBar, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        connect(&m_wndCommands, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &b = m_wndCommands;
        if (m_nMode == ConfirmText) {
            b.AddItem(1, QStringLiteral("OK"), struct_RIB_ITEM::Normal, 131, 223, 2, 2084, 0, 2, 120);
        } else if (m_nMode == EditNote) {
            b.AddItem(kDateStamp, QStringLiteral("Date Stamp"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, 100);
            b.AddItem(kDateTimeStamp, QStringLiteral("Date + Time"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2,
                      100);
            b.AddSpacer(10, 0);
            b.AddItem(kClear, QStringLiteral("Clear Note"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, 100);
            b.AddSpacer(10, 0);
            b.AddItem(1, QStringLiteral("Save & Close"), struct_RIB_ITEM::Normal, 131, 223, 2, 2084, 0, 2, 120);
        }
        b.AddItem(2, m_nMode != ShowText ? QStringLiteral("Cancel") : QStringLiteral("Close"),
                  struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2, 110);
        b.RecalcLayout(255);
    }
    m_edit->setPlainText(toEditText(m_strNote));
    m_edit->setReadOnly(m_nMode == ShowText);
    if (m_nMode == ShowText) {
        // A shown text of "key<Tab>name" lines lines its names up after the
        // widest key, a gap clear of it.
        const QFontMetricsF metrics(m_edit->font());
        qreal widest = 0;
        for (const QString &line : m_edit->toPlainText().split(QLatin1Char('\n')))
            if (const int tab = line.indexOf(QLatin1Char('\t')); tab > 0)
                widest = std::max(widest, metrics.horizontalAdvance(line.left(tab)));
        if (widest > 0)
            m_edit->setTabStopDistance(
                std::max(m_edit->tabStopDistance(), widest + 2 * metrics.horizontalAdvance(QLatin1Char(' '))));
    }
    if (m_strNote == QStringLiteral("\u00B7paste\u00B7"))
        m_edit->selectAll();
    m_edit->setFocus();
    return true;
}

bool CNoteDlg::OnCommand(int id)
{
    switch (id) {
    case kDateStamp: Stamp(false); return true;
    case kDateTimeStamp: Stamp(true); return true;
    case kClear:
        // Nothing is saved until OK.
        m_edit->clear();
        m_edit->setFocus();
        return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CNoteDlg::HoldNoteTo(const CXDaoSet &set, const QString &column, bool breaksAsTwo)
{
    if (breaksAsTwo)
        TextLimit::CountBreaksAsTwo(m_edit);
    HoldToColumn(kEdit, set, column);
}

void CNoteDlg::HoldNoteTo(const QString &table, const QString &column, bool breaksAsTwo)
{
    if (breaksAsTwo)
        TextLimit::CountBreaksAsTwo(m_edit);
    HoldToColumn(kEdit, table, column);
}

void CNoteDlg::OnOK()
{
    if (m_nMode != ShowText && !HeldTextsFit())
        return; // the note stays as typed, to be shortened
    m_strNote = fromEditText(m_edit->toPlainText());
    CDlg0::OnOK();
}

QString CNoteDlg::StampText(bool withTime)
{
    const QDateTime now = platform::Clock::now();
    const QLocale locale = QLocale::system();
    QString stamp = locale.toString(now.date(), QLocale::ShortFormat);
    if (withTime)
        stamp += QLatin1Char(' ') + locale.toString(now.time(), QLocale::ShortFormat);
    return stamp + QStringLiteral(": ");
}

void CNoteDlg::Stamp(bool withTime)
{
    // The note under edit stays in the control; the caller's text is only
    // replaced on OK.
    QString note = m_edit->toPlainText();
    const QString stamp = StampText(withTime);
    int caret = 0;
    if (GetGlobalAlertText(251, 7, QStringLiteral("0")) == QStringLiteral("0")) {
        if (!note.isEmpty())
            note += QLatin1Char('\n');
        note += stamp;
        caret = int(note.size());
    } else {
        note = note.isEmpty() ? stamp : stamp + QLatin1Char('\n') + note;
        caret = int(stamp.size());
    }
    m_edit->setPlainText(note);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(caret);
    m_edit->setTextCursor(cursor);
    m_edit->setFocus();
}

void CNoteDlg::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    GrowItemBy(kTitleBar, m_nDeltaX, 0);
    MoveItemBy(kCommandBar, 0, m_nDeltaY);
    GrowItemBy(kCommandBar, m_nDeltaX, 0);
    GrowItemBy(kEdit, m_nDeltaX, m_nDeltaY);
    update();
}
