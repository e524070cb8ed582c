#pragma once

#include "app/base/Appearance.h"
#include "app/base/Colours.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "support/TestEnvironment.h"

#include <QtGui/QImage>
#include <QtGui/QMouseEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QWidget>

#include <memory>

// A dialog-like host window with placeholder controls, shown offscreen and
// active, so controls replace placeholders and take the focus as in the program.
class ControlsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_dataFolder = DataFolder();
        m_intensity = GetColorIntensity();
        Appearance::instance().LoadViewSettings();
        host = std::make_unique<QWidget>();
        host->resize(900, 700);
        host->show();
        QApplication::setActiveWindow(host.get());
        host->activateWindow();
        (void)QTest::qWaitForWindowActive(host.get(), 500);
    }
    void TearDown() override
    {
        host.reset();
        QApplication::processEvents();
        SetDataFolder(m_dataFolder);
        SetColorIntensity(m_intensity);
        TavrelTest::TearDown();
    }

    QLabel *placeholder(unsigned id, const QRect &rect, const QString &text = QString())
    {
        auto *label = new QLabel(text, host.get());
        label->setGeometry(rect);
        SetDlgCtrlID(label, id);
        label->show();
        return label;
    }

    // Moves the mouse over a widget without buttons held (QTest's move skips a
    // move to where the cursor already is).
    static void hover(QWidget *widget, const QPoint &pos)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), widget->mapToGlobal(QPointF(pos)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    static QColor rgb(ColorRef c) { return ColorRefToQColor(c); }
    static bool same(const QColor &a, const QColor &b, int tolerance = 2)
    {
        return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
               std::abs(a.blue() - b.blue()) <= tolerance;
    }

    std::unique_ptr<QWidget> host;

private:
    QString m_dataFolder;
    std::uint8_t m_intensity = 0;
};
