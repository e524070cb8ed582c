#pragma once

#include <QtCore/QList>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QPaintDevice>

#include <memory>

class RecordingPaintEngine;

// A page-sized paint device of a given resolution that puts nothing on paper.
// The print engine draws on one to count pages and to measure before a run;
// with recording on it also keeps, page by page, every text drawn (with its
// position, font and colour) and every filled or framed rectangle, so that tests can
// read what a page would show.
class RecordingDevice : public QPaintDevice
{
public:
    struct Text
    {
        int page = 0;
        QString text;
        QPoint position;  // baseline start, device units
        int pixelSize = 0;
        bool bold = false;
        bool italic = false;
        QColor colour; // the pen's
    };
    struct Shape
    {
        int page = 0;
        QRect rect;
        bool filled = false;
        bool image = false; // a picture drawn into the rect
    };

    // Letter paper at 600 dots per inch, the whole sheet printable, unless told.
    explicit RecordingDevice(int dpiX = 600, int dpiY = 600, int width = 5100, int height = 6600,
                             bool record = false);
    ~RecordingDevice() override;

    // Starts the next page of the records.
    void newPage() { ++m_page; }
    int pageCount() const { return m_page + 1; }
    bool isRecording() const { return m_record; }

    const QList<Text> &texts() const { return m_texts; }
    const QList<Shape> &shapes() const { return m_shapes; }
    // The texts of one page (0-based), in drawing order.
    QStringList pageTexts(int page) const;
    void clear();

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class RecordingPaintEngine;
    int m_dpiX;
    int m_dpiY;
    int m_width;
    int m_height;
    bool m_record;
    int m_page = 0;
    QList<Text> m_texts;
    QList<Shape> m_shapes;
    std::unique_ptr<RecordingPaintEngine> m_engine;
};
