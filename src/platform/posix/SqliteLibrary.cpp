// The SQLite functions that the program calls, each handing on to the library, which is loaded
// when the first of them is called. Only flashcard decks hold an SQLite database: the quiz and
// the other commands never load it.
#include <sqlite3.h>

#include "platform/posix/LibraryOnUse.h"

ANTHORA_LIBRARY_LOADED_ON_USE(ANTHORA_SQLITE_LIBRARY, "sqlite3")

#define ANTHORA_SQLITE(...) ANTHORA_LIBRARY_FUNCTION(Symbol, __VA_ARGS__)

ANTHORA_SQLITE(int, sqlite3_open_v2,
               (const char* name, sqlite3** database, int flags, const char* vfs),
               (name, database, flags, vfs))
ANTHORA_SQLITE(int, sqlite3_close_v2, (sqlite3 * database), (database))
ANTHORA_SQLITE(const char*, sqlite3_errmsg, (sqlite3 * database), (database))
ANTHORA_SQLITE(int, sqlite3_exec,
               (sqlite3 * database, const char* sql, int (*callback)(void*, int, char**, char**),
                void* state, char** error),
               (database, sql, callback, state, error))
ANTHORA_SQLITE(void, sqlite3_free, (void* memory), (memory))
ANTHORA_SQLITE(int, sqlite3_limit, (sqlite3 * database, int id, int value), (database, id, value))
ANTHORA_SQLITE(int, sqlite3_prepare_v2,
               (sqlite3 * database, const char* sql, int bytes, sqlite3_stmt** statement,
                const char** tail),
               (database, sql, bytes, statement, tail))
ANTHORA_SQLITE(int, sqlite3_finalize, (sqlite3_stmt * statement), (statement))
ANTHORA_SQLITE(int, sqlite3_reset, (sqlite3_stmt * statement), (statement))
ANTHORA_SQLITE(int, sqlite3_step, (sqlite3_stmt * statement), (statement))
ANTHORA_SQLITE(int, sqlite3_bind_int64, (sqlite3_stmt * statement, int index, sqlite3_int64 value),
               (statement, index, value))
ANTHORA_SQLITE(int, sqlite3_bind_text,
               (sqlite3_stmt * statement, int index, const char* text, int bytes,
                void (*destructor)(void*)),
               (statement, index, text, bytes, destructor))
ANTHORA_SQLITE(const unsigned char*, sqlite3_column_text, (sqlite3_stmt * statement, int column),
               (statement, column))
ANTHORA_SQLITE(int, sqlite3_column_bytes, (sqlite3_stmt * statement, int column),
               (statement, column))
ANTHORA_SQLITE(sqlite3_int64, sqlite3_column_int64, (sqlite3_stmt * statement, int column),
               (statement, column))
