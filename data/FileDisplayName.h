#pragma once
#include <string>

// The name a file is shown with in the grid's "File" column and in messages about it: the
// file name without its folder, without its extension when it was the only file chosen,
// and cut before any further dot (a leading dot stays):
//   "Factory.syx" -> "Factory", "bank.2.syx" -> "bank", ".hidden.syx" -> ".hidden".
// Works on the bytes of a path (UTF-8 or any other encoding that keeps '/' and '.').
std::string DisplayNameForFile(const std::string& path, bool onlyFileChosen);
