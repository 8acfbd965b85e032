#pragma once
// The tool bar's pictures and the application icon, painted in code so that they are
// sharp at any scale.

#include <QIcon>
#include <QPixmap>

QIcon OpenIcon();
QIcon FindIcon();
QIcon AuditionIcon();
QIcon RandomIcon();
QIcon AboutIcon();

// The application icon: a small synthesizer keyboard.
QIcon AppIcon();
QPixmap PaintAppIcon(int size);
