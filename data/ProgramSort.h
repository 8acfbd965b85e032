#pragma once
// The order of the library by a grid column. Each column has one ascending order over a text
// key joined from the record's display texts, compared without regard to letter case:
//   0 "File"     file name, bank, number
//   1 "Bank"     bank, number
//   2 "#"        number, file name
//   3 "Program"  name
//   4 "Category" voice mode, bank
// Any other column gives every record the empty key, so all records tie. Records that tie
// keep the order they had before the sort.

// The column that CompareByColumn orders by; CProgramList::SortByColumn sets it before sorting.
extern int g_sortColumn;

// Comparison of two elements of the list's array in qsort's form, each a CSyxProgram pointer:
// -1 when the first sorts first, 1 when the second does, 0 on a tie.
int CompareByColumn(const void* first, const void* second);
