#pragma once
// The columns of a program's row as a table of programs shows it, and reading them back.

#include "Collection.h"

class CSqliteQuery;

// "SELECT" and the columns, from "program p": the rest of the query follows.
extern const char* const ROW_COLUMNS;

// The columns of ROW_COLUMNS, from the query's current row; the tags are read apart.
void ReadRowColumns(const CSqliteQuery& select, CCollectionRow& row);
