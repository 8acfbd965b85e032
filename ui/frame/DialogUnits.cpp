#include "DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

CDialogUnits::CDialogUnits(const QWidget* widget)
{
    const QFontMetrics metrics(widget->font());
    static const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    m_baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_baseY = metrics.height();
}
