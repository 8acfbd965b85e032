#pragma once
// The tokenizer of the index of slot names, "veltrix_names": every three characters (UTF-8)
// within each line of a document, each once per document; three characters that run across
// a line break are not terms, as no name holds one (a source's names are one per line). A
// query's terms go through it too, a line each. It does not fold case: the text it is given
// was folded already (SearchText).

struct sqlite3;

// The name the index's table is made with (tokenize = '...').
extern const char* const NAME_TOKENIZER;

// Makes the tokenizer known to `db`; done on every connection, as a table made with it can't
// be read or written without it. False when SQLite's FTS5 is missing or refused it.
bool RegisterNameTokenizer(sqlite3* db);
