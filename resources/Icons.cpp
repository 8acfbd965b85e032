#include "Icons.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {
using Painter = std::function<void(QPainter&)>;

// Paints a tool bar picture on the 16 x 15 grid of the old bitmaps, at several scales.
QIcon ToolIcon(const Painter& paint)
{
    QIcon icon;
    for (int scale : {1, 2, 3}) {
        QPixmap pixmap(16 * scale, 15 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        paint(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor kOutline(40, 40, 60);
}  // namespace

QIcon OpenIcon()
{
    return ToolIcon([](QPainter& p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(230, 180, 60));
        p.drawRect(QRectF(1.5, 3.5, 12, 9));  // back of the folder
        p.drawRect(QRectF(1.5, 2.5, 5, 2));   // its tab
        QPainterPath front;
        front.moveTo(1.5, 12.5);
        front.lineTo(4, 6.5);
        front.lineTo(15, 6.5);
        front.lineTo(13.5, 12.5);
        front.closeSubpath();
        p.setBrush(QColor(250, 215, 110));
        p.drawPath(front);
    });
}

QIcon FindIcon()
{
    return ToolIcon([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14, 13.5));
        p.setPen(QPen(kOutline, 1.4));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    });
}

QIcon AuditionIcon()
{
    return ToolIcon([](QPainter& p) {
        // A loudspeaker with two sound waves.
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(70, 90, 160));
        QPainterPath speaker;
        speaker.moveTo(1.5, 5.5);
        speaker.lineTo(4.5, 5.5);
        speaker.lineTo(8.5, 2);
        speaker.lineTo(8.5, 13);
        speaker.lineTo(4.5, 9.5);
        speaker.lineTo(1.5, 9.5);
        speaker.closeSubpath();
        p.drawPath(speaker);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(30, 130, 60), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(7, 4.5, 5, 6), -60 * 16, 120 * 16);
        p.drawArc(QRectF(7, 2, 8, 11), -60 * 16, 120 * 16);
    });
}

QIcon RandomIcon()
{
    return ToolIcon([](QPainter& p) {
        // A die showing five.
        p.setPen(QPen(kOutline, 0.9));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(1.5, 1.5, 12.5, 12.5), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(190, 30, 40));
        for (QPointF dot : {QPointF(4.5, 4.5), QPointF(11, 4.5), QPointF(7.75, 7.75), QPointF(4.5, 11), QPointF(11, 11)})
            p.drawEllipse(dot, 1.3, 1.3);
    });
}

QIcon AboutIcon()
{
    return ToolIcon([](QPainter& p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(60, 110, 200));
        p.drawEllipse(QPointF(8, 7.5), 6.5, 6.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 4.2), 1.1, 1.1);
        p.drawRoundedRect(QRectF(7, 6.2, 2, 5.8), 0.6, 0.6);
    });
}

QPixmap PaintAppIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // Body of the synthesizer.
    p.setPen(QPen(QColor(20, 30, 60), 1));
    p.setBrush(QColor(0, 64, 128));
    p.drawRoundedRect(QRectF(1.5, 5.5, 29, 21), 3, 3);
    // Two knobs on the panel.
    p.setBrush(QColor(193, 193, 255));
    p.drawEllipse(QPointF(7, 10), 2, 2);
    p.drawEllipse(QPointF(13, 10), 2, 2);
    p.setBrush(QColor(255, 170, 60));
    p.drawRect(QRectF(18, 8.5, 10, 3));
    // Keys: seven white, five black.
    const double keysLeft = 3.5, keysTop = 14, keyWidth = 25.0 / 7, keysHeight = 10.5;
    p.setPen(QPen(QColor(20, 30, 60), 0.6));
    p.setBrush(Qt::white);
    for (int k = 0; k < 7; ++k)
        p.drawRect(QRectF(keysLeft + k * keyWidth, keysTop, keyWidth, keysHeight));
    p.setBrush(QColor(20, 20, 30));
    for (int k : {0, 1, 3, 4, 5})
        p.drawRect(QRectF(keysLeft + (k + 0.68) * keyWidth, keysTop, keyWidth * 0.64, keysHeight * 0.6));
    p.end();
    return pixmap;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(PaintAppIcon(size));
    return icon;
}
