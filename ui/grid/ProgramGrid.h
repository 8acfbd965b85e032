#pragma once
#include "GridListCtrl.h"

// The grid of the main window's client area: the generic grid with a sunken edge.
class CProgramGrid : public CGridListCtrl {
    Q_OBJECT
public:
    explicit CProgramGrid(QWidget* parent = nullptr);
    ~CProgramGrid() override;
};
