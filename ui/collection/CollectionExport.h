#pragma once
// Export... on the Collection's selected programs: one program is written as a one-program
// file (297 bytes) where the user says (its name is offered); several go into a chosen folder,
// one such file each, numbered by their place in the view ("01 Wobble Bass.syx"). Every file
// carries the program's shown name.

#include "Collection.h"

#include <QString>

#include <vector>

class QWidget;
struct CUiServices;

// Asks where, writes, and tells a failure in a message box. Returns a note for the status
// bar about what was written; empty when nothing was (cancelled or failed).
QString ExportPrograms(CCollection& collection, const std::vector<CCollectionRow>& programs, QWidget* parent,
                       const CUiServices& services);
