#include "ProgramGrid.h"

CProgramGrid::CProgramGrid(QWidget* parent) : CGridListCtrl(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

CProgramGrid::~CProgramGrid() = default;
