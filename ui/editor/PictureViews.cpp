#include "PictureViews.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {
constexpr int FULL = 127;
constexpr int MARGIN = 4;
}  // namespace

CEnvelopeView::CEnvelopeView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CEnvelopeView::SetEnvelope(int attack, int decay, int sustain, int release)
{
    const std::array<int, 4> values{attack, decay, sustain, release};
    if (values == m_values)
        return;
    m_values = values;
    update();
}

QSize CEnvelopeView::sizeHint() const
{
    return QSize(180, 56);
}

void CEnvelopeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(MARGIN, MARGIN, -MARGIN, -MARGIN);
    painter.fillRect(rect(), palette().base());
    // Attack, decay and release share the width with a fixed stretch of sustain; a time of
    // 0 is still a sliver, so that every segment can be seen.
    const auto clamp = [](int value) { return std::clamp(value, 0, FULL); };
    const double attack = 1 + clamp(m_values[0]);
    const double decay = 1 + clamp(m_values[1]);
    const double hold = FULL / 2.0;
    const double release = 1 + clamp(m_values[3]);
    const double scale = area.width() / (attack + decay + hold + release);
    const double top = area.top();
    const double bottom = area.bottom();
    const double sustainY = bottom - area.height() * clamp(m_values[2]) / FULL;

    QPainterPath path(QPointF(area.left(), bottom));
    double x = area.left() + attack * scale;
    path.lineTo(x, top);
    x += decay * scale;
    path.lineTo(x, sustainY);
    x += hold * scale;
    path.lineTo(x, sustainY);
    x += release * scale;
    path.lineTo(x, bottom);
    QColor fill = palette().highlight().color();
    fill.setAlpha(60);
    painter.fillPath(path, fill);
    painter.setPen(QPen(palette().highlight().color(), 1.5));
    painter.drawPath(path);
    painter.setPen(palette().mid().color());
    painter.drawRect(area);
}

CBarsView::CBarsView(int count, QWidget* parent) : QWidget(parent), m_values(static_cast<std::size_t>(count), 0), m_active(count)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CBarsView::SetRange(int minValue, int maxValue, int centre)
{
    if (minValue == m_min && maxValue == m_max && centre == m_centre)
        return;
    m_min = minValue;
    m_max = std::max(maxValue, minValue + 1);
    m_centre = centre;
    update();
}

void CBarsView::SetValue(int bar, int value)
{
    if (bar < 0 || bar >= static_cast<int>(m_values.size()) || m_values[static_cast<std::size_t>(bar)] == value)
        return;
    m_values[static_cast<std::size_t>(bar)] = value;
    update();
}

void CBarsView::SetActiveCount(int count)
{
    if (count == m_active)
        return;
    m_active = count;
    update();
}

QSize CBarsView::sizeHint() const
{
    return QSize(16 * static_cast<int>(m_values.size()), 64);
}

QRectF CBarsView::BarArea() const
{
    return QRectF(rect()).adjusted(MARGIN, MARGIN, -MARGIN, -MARGIN);
}

void CBarsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRectF area = BarArea();
    const int count = static_cast<int>(m_values.size());
    const double width = area.width() / count;
    const auto yOf = [&](int value) {
        const double share = static_cast<double>(std::clamp(value, m_min, m_max) - m_min) / (m_max - m_min);
        return area.bottom() - share * area.height();
    };
    const double centreY = yOf(m_centre);
    painter.setPen(palette().mid().color());
    painter.drawLine(QPointF(area.left(), centreY), QPointF(area.right(), centreY));
    for (int i = 0; i < count; ++i) {
        const double y = yOf(m_values[static_cast<std::size_t>(i)]);
        QRectF bar(area.left() + i * width + 1, std::min(y, centreY), width - 2, std::max(1.0, std::abs(y - centreY)));
        QColor colour = palette().highlight().color();
        if (i >= m_active)
            colour.setAlpha(70);
        painter.fillRect(bar, colour);
    }
    painter.drawRect(area);
}

void CBarsView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drawing = true;
    emit strokeStarted();
    DrawAt(event->position().toPoint());
}

void CBarsView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drawing)
        DrawAt(event->position().toPoint());
}

void CBarsView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_drawing || event->button() != Qt::LeftButton)
        return;
    m_drawing = false;
    emit strokeEnded();
}

void CBarsView::DrawAt(const QPoint& point)
{
    const QRectF area = BarArea();
    const int count = static_cast<int>(m_values.size());
    const int bar = std::clamp(static_cast<int>((point.x() - area.left()) * count / area.width()), 0, count - 1);
    const double share = std::clamp((area.bottom() - point.y()) / area.height(), 0.0, 1.0);
    const int value = m_min + static_cast<int>(share * (m_max - m_min) + 0.5);
    if (value == m_values[static_cast<std::size_t>(bar)])
        return;
    m_values[static_cast<std::size_t>(bar)] = value;
    update();
    emit barDrawn(bar, value);
}
