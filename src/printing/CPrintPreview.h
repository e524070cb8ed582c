#pragma once

#include <QtWidgets/QDialog>

class CPrint;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;

// The print preview: one page of a run on the screen at a time, drawn when
// it is shown (never the whole document), so that a list of a million rows
// opens on its first page at once and holds no more than that page. The
// pages after the last one found are found a few at a time while the window
// waits for the user; the line beside the page buttons tells how far that
// has come, and its Stop leaves the pages found so far to look through.
// Print... ends the window with kPrintAnswer.
class CPrintPreview : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kPrintAnswer = 57607;

    // The engine's preview must have begun (CPrint::BeginPreview).
    CPrintPreview(CPrint &engine, QWidget *parent = nullptr);
    ~CPrintPreview() override;

    // Shows a page (1-based); a page after the last one found is found first.
    void ShowPage(int page);
    int shownPage() const { return m_page; }
    // Whether pages are still being found beside the window.
    bool isFinding() const { return m_finding; }
    // Stops finding pages: those found stay to be looked through.
    void StopFinding();
    // Finds pages for a moment, as the window does while it waits (tests).
    void FindSome();
    // The pages drawn for the screen since the window opened, and those
    // held drawn now (the one shown).
    int pagesDrawn() const { return m_drawn; }
    int pagesHeld() const;
    // The line that tells the pages found ("Page 3 of 571").
    QString statusText() const;
    // Zooms in (steps > 0) or out from the whole page on the screen.
    void Zoom(int steps);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The page's room resized: a page fitted to it is drawn again.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The pages found to show (after a stop, those found until then and
    // those gone to since).
    int pagesFound() const;
    void drawPage();
    void updateControls();
    double scaleOfPage() const;

    CPrint &m_engine;
    int m_page = 1;
    int m_zoom = 0; // steps from the whole page in the window
    bool m_finding = false;
    int m_stoppedAt = 0; // the pages found when the counting was stopped
    int m_drawn = 0;
    bool m_drawnWithCount = false; // the shown page knows the page count
    double m_drawnScale = 0;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_view = nullptr; // the page shown, drawn
    QPushButton *m_print = nullptr;
    QPushButton *m_first = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_last = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_zoomIn = nullptr;
    QPushButton *m_zoomOut = nullptr;
    QPushButton *m_close = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_finder = nullptr;
};
