#pragma once
#include <QString>

// The name a file is shown with in the grid's "File" column: the file name without its
// folder, without its extension when it was the only file chosen, and cut before any
// further dot (a leading dot stays): "Factory.syx" -> "Factory", "bank.2.syx" -> "bank".
QString DisplayNameForFile(const QString& path, bool onlyFileChosen);

// The program texts as the grid shows them. Name bytes of 128 and above are Latin-1.
QString ProgramText(const std::string& text);
