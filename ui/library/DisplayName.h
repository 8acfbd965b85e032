#pragma once
#include <QString>

// The name a file is shown with in the grid's "File" column: the file name without its
// folder, without its extension when it was the only file chosen, and cut before any
// further dot (a leading dot stays): "Factory.syx" -> "Factory", "bank.2.syx" -> "bank".
QString DisplayNameForFile(const QString& path, bool onlyFileChosen);

// A program's own texts as the grid shows them: name bytes of 128 and above are taken as
// Latin-1. (File names are kept in UTF-8, as the display name was made.)
QString ProgramText(const std::string& text);
