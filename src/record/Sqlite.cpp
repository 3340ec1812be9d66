#include "record/Sqlite.h"

#include <sqlite3.h>

#include <cstring>

namespace kb::record::sql {

Db::Db(const std::string& path, int flags) {
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_PRIVATECACHE, nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = db_ != nullptr ? message() : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(why);
  }
  sqlite3_extended_result_codes(db_, 1);
}

Db::~Db() {
  sqlite3_close(db_);
}

std::string Db::message() const {
  std::string text = sqlite3_errmsg(db_);
  const int system = sqlite3_system_errno(db_);
  if (system != 0) text += std::string(" (") + std::strerror(system) + ")";
  return text;
}

void Db::fail() const {
  throw Error(message());
}

void Db::exec(const char* sql) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
}

std::int64_t Db::integer(const char* sql) {
  Statement s(*this, sql);
  return s.step() ? s.integer(0) : 0;
}

std::int64_t Db::lastRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

Statement::Statement(Db& db, const char* sql) : db_(db) {
  if (sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
      SQLITE_OK) {
    db.fail();
  }
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

void Statement::bind(int i, std::int64_t value) {
  if (sqlite3_bind_int64(stmt_, i, value) != SQLITE_OK) db_.fail();
}

void Statement::bind(int i, double value) {
  if (sqlite3_bind_double(stmt_, i, value) != SQLITE_OK) db_.fail();
}

void Statement::bind(int i, std::string_view text) {
  if (sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) !=
      SQLITE_OK) {
    db_.fail();
  }
}

void Statement::bindNull(int i) {
  if (sqlite3_bind_null(stmt_, i) != SQLITE_OK) db_.fail();
}

bool Statement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // The statement keeps its failure until it is reset; the connection's message says why.
  const std::string why = db_.message();
  sqlite3_reset(stmt_);
  throw Error(why);
}

void Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

void Statement::run() {
  step();
  reset();
}

bool Statement::isNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::int64_t Statement::integer(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const {
  return sqlite3_column_double(stmt_, column);
}

std::string Statement::text(int column) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return p == nullptr
             ? std::string()
             : std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

}  // namespace kb::record::sql
