#include "WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

void CQtWaitCursorService::Begin()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CQtWaitCursorService::End()
{
    QGuiApplication::restoreOverrideCursor();
}
