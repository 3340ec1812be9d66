#pragma once
// The recording file's tables. A change that readers would notice raises kSchemaVersion, kept in
// the file both as PRAGMA user_version and in the session row; README documents every column.
namespace kb::record {

inline constexpr int kSchemaVersion = 1;

// Creates the tables and views of an empty recording.
extern const char* const kSchemaSql;

}  // namespace kb::record
