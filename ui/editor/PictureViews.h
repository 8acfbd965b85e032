#pragma once
// Pictures in the Program Editor where a musician would rather look than read: an envelope
// drawn as its shape, and a row of bars (a mod sequence's 16 steps, the vocoder's channel
// levels) that can be drawn with the mouse.

#include <QWidget>

#include <array>
#include <vector>

// An ADSR envelope's shape: attack, decay and release as times, sustain as a level, each
// 0..127.
class CEnvelopeView : public QWidget {
    Q_OBJECT
public:
    explicit CEnvelopeView(QWidget* parent = nullptr);
    void SetEnvelope(int attack, int decay, int sustain, int release);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<int, 4> m_values{};
};

// Bars of values in a range around a centre (0 for a step, the minimum for a level). A
// press and drag sets the bars under the mouse to its height: barDrawn for each bar it
// changes, the whole stroke between strokeStarted and strokeEnded.
class CBarsView : public QWidget {
    Q_OBJECT
public:
    CBarsView(int count, QWidget* parent = nullptr);
    void SetRange(int minValue, int maxValue, int centre);
    void SetValue(int bar, int value);
    int Value(int bar) const { return m_values[static_cast<std::size_t>(bar)]; }
    // Bars from `count` on are drawn dimmed (past a sequence's last step).
    void SetActiveCount(int count);
    QSize sizeHint() const override;

signals:
    void strokeStarted();
    void barDrawn(int bar, int value);
    void strokeEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawAt(const QPoint& point);
    QRectF BarArea() const;

    std::vector<int> m_values;
    int m_min = -63;
    int m_max = 63;
    int m_centre = 0;
    int m_active;
    bool m_drawing = false;
};
