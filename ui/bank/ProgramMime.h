#pragma once
// What a drag carries: programs dragged out of the library, or one slot dragged within the
// bank. Each has a MIME type of its own; neither is text.

#include "Bank.h"

#include <vector>

class QMimeData;
class CSyxProgram;

// Library records: their data bytes, in the order given (the grid's order).
extern const char* const PROGRAMS_MIME_TYPE;
// One bank slot, valid only for the bank pane that started the drag.
extern const char* const BANK_SLOT_MIME_TYPE;

QMimeData* CreateProgramsMimeData(const std::vector<const CSyxProgram*>& programs);
// The same from program bytes (at most BANK_SLOT_COUNT of them are carried), `dragged` being
// how many programs the drag stands for.
QMimeData* CreateProgramsMimeData(const std::vector<CBank::ProgramData>& programs, int dragged);
// Only the first BANK_SLOT_COUNT programs are carried (no drop can use more), with the
// number of programs dragged.
// The programs carried, in order; empty when the data holds none or is damaged (a record
// of another size makes the whole drop unusable). `dragged` receives how many were dragged.
std::vector<CBank::ProgramData> ProgramsFromMimeData(const QMimeData* mime, int* dragged = nullptr);

// `owner` tells apart the bank panes of this process; a drag from another process never
// matches.
QMimeData* CreateSlotMimeData(const void* owner, int slot);
// The slot carried, or -1 when the data is not a slot of `owner`.
int SlotFromMimeData(const QMimeData* mime, const void* owner);
