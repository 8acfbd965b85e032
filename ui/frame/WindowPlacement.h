#pragma once
#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

// `outer` moved, and where it is larger shrunk, so that it lies within `available`; a
// rectangle that already lies within is returned as it is.
QRect FitToArea(const QRect& outer, const QRect& available);
// The available area of the screen that holds most of `outer`, or of the primary screen
// when none does.
QRect AvailableAreaFor(const QRect& outer);

// Places a top-level window: at a stored outer rectangle (decorations included), or, when
// nothing is stored, at a given inner size centred on its screen. A window manager tells
// the size of its decorations only once the window is on screen, so the placement is made
// before the window is shown, taking the decorations as nothing, and made once more as soon
// as the window learns its real frame margins. Without decorations (no window manager,
// offscreen) the first placement is already exact.
class CWindowPlacement : public QObject {
    Q_OBJECT
public:
    explicit CWindowPlacement(QWidget* window);

    // Before the window is shown: its outer rectangle in screen coordinates, fitted to the
    // available area of the screen it lies on (a rectangle stored on a larger screen, or
    // on one that is gone, would leave the title bar or the status bar out of reach).
    void PlaceOuter(const QRect& outer);
    // Before the window is shown: its inner size, the whole window centred on the screen.
    void PlaceCentred(const QSize& inner);
    // Whether one of the two was asked for.
    bool IsPlaced() const { return m_mode != Mode::None; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(const QMargins& margins);

    enum class Mode { None, Outer, Centred };

    QWidget* m_window;
    Mode m_mode = Mode::None;
    QRect m_outer;        // Outer: the rectangle asked for, used as it is
    QSize m_inner;        // Centred: the inner size asked for
    bool m_waitingForFrame = false;
};
