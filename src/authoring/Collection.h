#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/Exceptions.h"

struct sqlite3;
struct sqlite3_stmt;

namespace anthora {

// A flashcard deck's collection that cannot be made or read, in words that follow its name.
class CollectionError : public ERefusal {
  using ERefusal::ERefusal;
};

// An SQLite database file of a deck, through the library loaded when first used.
class Collection {
 public:
  enum class Mode { Create, ReadOnly };
  // Creates a new database at `path`, or opens one read-only and immutable, so that nothing is
  // written beside it (no journal, no lock), with the lengths of texts bounded. Throws
  // CollectionError.
  Collection(const std::string& path, Mode mode);
  Collection(const Collection&) = delete;
  Collection& operator=(const Collection&) = delete;
  ~Collection();

  // Runs statements that return no rows. Throws CollectionError.
  void Run(const char* sql);
  sqlite3* Get() const { return FDatabase; }
  // The library's words for the last failure.
  std::string LastError() const;

 private:
  sqlite3* FDatabase = nullptr;
};

// One prepared statement: bind, step, read columns.
class Statement {
 public:
  Statement(Collection& collection, const char* sql);
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);
  // The next row: true while there is one. Throws CollectionError.
  bool Step();
  // Runs a statement that returns no rows and makes it ready for new values.
  void Execute();
  std::int64_t Integer(int column);
  std::string Text(int column);

 private:
  Collection& FCollection;
  sqlite3_stmt* FStatement = nullptr;
};

}  // namespace anthora
