#pragma once
// A thin layer over the SQLite C library: a connection and prepared statements that close
// themselves and turn every failure into an exception carrying SQLite's message (and the system's
// reason, when the disk said no).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kb::record::sql {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Db {
 public:
  // flags: SQLITE_OPEN_* (the connection is always opened without a shared cache).
  Db(const std::string& path, int flags);
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  sqlite3* get() { return db_; }
  void exec(const char* sql);
  // Runs a query that answers one integer ("PRAGMA user_version", "SELECT count(*) ...").
  std::int64_t integer(const char* sql);
  std::int64_t lastRowId() const;
  // SQLite's message for the last failure, with the system's reason when there is one.
  std::string message() const;
  [[noreturn]] void fail() const;

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(Db& db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters are numbered from 1; text is copied.
  void bind(int i, std::int64_t value);
  void bind(int i, double value);
  void bind(int i, std::string_view text);
  void bindNull(int i);
  // Runs one step: true when a row is there to read, false when done. Throws on failure.
  bool step();
  // Ready to run again, bindings cleared.
  void reset();
  // Runs a statement that returns no rows, then resets it.
  void run();

  // Columns are numbered from 0.
  bool isNull(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::string text(int column) const;

 private:
  Db& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace kb::record::sql
