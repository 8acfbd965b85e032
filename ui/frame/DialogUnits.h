#pragma once
// Dialog layouts are given in dialog units: a quarter of the font's average character
// width horizontally and an eighth of its height vertically, so they scale with the font.

#include <QRect>
#include <QSize>

class QWidget;

class CDialogUnits {
public:
    explicit CDialogUnits(const QWidget* widget);

    int X(int units) const { return units * m_baseX / 4; }
    int Y(int units) const { return units * m_baseY / 8; }
    QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }
    QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

private:
    int m_baseX;
    int m_baseY;
};
