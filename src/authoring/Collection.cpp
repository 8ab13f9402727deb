#include "authoring/Collection.h"

#include <sqlite3.h>

#include <cstdio>

#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

// A deck's texts are short: a note's fields, the JSON of its note types. Longer ones are
// refused by the library instead of being held in memory.
constexpr int kMaxTextBytes = 16 << 20;

}  // namespace

Collection::Collection(const std::string& path, Mode mode) {
  int result = SQLITE_OK;
  if (mode == Mode::Create) {
    result =
        sqlite3_open_v2(path.c_str(), &FDatabase,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
  } else {
    // Immutable: the file is taken as it is, with no journal or lock looked for or made beside
    // it.
    std::string uri = "file:";
    for (const char c : path) {
      if (c == '%' || c == '?' || c == '#') {
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(c));
        uri += escape;
      } else {
        uri += c;
      }
    }
    uri += "?immutable=1";
    result =
        sqlite3_open_v2(uri.c_str(), &FDatabase,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOFOLLOW, nullptr);
  }
  if (result != SQLITE_OK) {
    const std::string reason = FDatabase ? sqlite3_errmsg(FDatabase) : "out of memory";
    if (FDatabase) sqlite3_close_v2(FDatabase);
    FDatabase = nullptr;
    throw CollectionError(Format(Tr("cannot open the collection: %s"), {reason}));
  }
  sqlite3_limit(FDatabase, SQLITE_LIMIT_LENGTH, kMaxTextBytes);
}

Collection::~Collection() {
  if (FDatabase) sqlite3_close_v2(FDatabase);
}

std::string Collection::LastError() const {
  return sqlite3_errmsg(FDatabase);
}

void Collection::Run(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(FDatabase, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string reason = error ? error : LastError();
    sqlite3_free(error);
    throw CollectionError(Format(Tr("the collection cannot be read or written: %s"), {reason}));
  }
}

Statement::Statement(Collection& collection, const char* sql) : FCollection(collection) {
  if (sqlite3_prepare_v2(collection.Get(), sql, -1, &FStatement, nullptr) != SQLITE_OK)
    throw CollectionError(
        Format(Tr("the collection cannot be read or written: %s"), {collection.LastError()}));
}

Statement::~Statement() {
  sqlite3_finalize(FStatement);
}

Statement& Statement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(FStatement, index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(FStatement, index, text.data(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
  return *this;
}

bool Statement::Step() {
  const int result = sqlite3_step(FStatement);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throw CollectionError(
      Format(Tr("the collection cannot be read or written: %s"), {FCollection.LastError()}));
}

void Statement::Execute() {
  Step();
  sqlite3_reset(FStatement);
}

std::int64_t Statement::Integer(int column) {
  return sqlite3_column_int64(FStatement, column);
}

std::string Statement::Text(int column) {
  const unsigned char* text = sqlite3_column_text(FStatement, column);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(FStatement, column)));
}

}  // namespace anthora
