#include "printing/RecordingDevice.h"

#include <QtGui/QPaintEngine>
#include <QtGui/QTextItem>

// The engine behind the device: every call is accepted and, when the device
// records, texts and rectangles are written down in device coordinates.
class RecordingPaintEngine : public QPaintEngine
{
public:
    explicit RecordingPaintEngine(RecordingDevice *device)
        : QPaintEngine(QPaintEngine::AllFeatures), m_device(device)
    {
    }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyBrush)
            m_brushVisible = state.brush().style() != Qt::NoBrush;
        if (state.state() & QPaintEngine::DirtyTransform)
            m_transform = state.transform();
        if (state.state() & QPaintEngine::DirtyPen)
            m_penColour = state.pen().color();
    }

    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override { recordImage(r); }
    void drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
    {
        recordImage(r);
    }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {}
    void drawLines(const QLineF *, int) override {}
    void drawLines(const QLine *, int) override {}

    void drawRects(const QRectF *rects, int count) override
    {
        if (!m_device->m_record)
            return;
        for (int i = 0; i < count; ++i)
            m_device->m_shapes.append(
                {m_device->m_page, m_transform.mapRect(rects[i]).toRect(), m_brushVisible});
    }
    void drawRects(const QRect *rects, int count) override
    {
        if (!m_device->m_record)
            return;
        for (int i = 0; i < count; ++i)
            m_device->m_shapes.append({m_device->m_page, m_transform.mapRect(rects[i]), m_brushVisible});
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        if (!m_device->m_record)
            return;
        const QFont font = item.font();
        m_device->m_texts.append({m_device->m_page, item.text(), m_transform.map(p).toPoint(), font.pixelSize(),
                                  font.bold(), font.italic(), m_penColour});
    }

private:
    void recordImage(const QRectF &r)
    {
        if (m_device->m_record)
            m_device->m_shapes.append({m_device->m_page, m_transform.mapRect(r).toRect(), true, true});
    }

    RecordingDevice *m_device;
    bool m_brushVisible = false;
    QTransform m_transform;
    QColor m_penColour = Qt::black;
};

RecordingDevice::RecordingDevice(int dpiX, int dpiY, int width, int height, bool record)
    : m_dpiX(dpiX), m_dpiY(dpiY), m_width(width), m_height(height), m_record(record),
      m_engine(std::make_unique<RecordingPaintEngine>(this))
{
}

RecordingDevice::~RecordingDevice() = default;

QPaintEngine *RecordingDevice::paintEngine() const
{
    return m_engine.get();
}

int RecordingDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_width;
    case PdmHeight: return m_height;
    case PdmWidthMM: return int(m_width * 25.4 / m_dpiX);
    case PdmHeightMM: return int(m_height * 25.4 / m_dpiY);
    case PdmNumColors: return 0x7FFFFFFF;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmPhysicalDpiX: return m_dpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY: return m_dpiY;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
    }
}

QStringList RecordingDevice::pageTexts(int page) const
{
    QStringList out;
    for (const Text &t : m_texts)
        if (t.page == page)
            out << t.text;
    return out;
}

void RecordingDevice::clear()
{
    m_page = 0;
    m_texts.clear();
    m_shapes.clear();
}
