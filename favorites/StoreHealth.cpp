#include "favorites/StoreHealth.h"

#include <sqlite3.h>

#include <set>

#include "common/SqliteConnection.h"
#include "common/SqliteStatement.h"

namespace {

bool IsBusyCode(int result) { return (result & 0xFF) == SQLITE_BUSY || (result & 0xFF) == SQLITE_LOCKED; }

StoreVerdict VerdictOf(int result) {
  if (IsDamageCode(result)) return {StoreCondition::kDamaged, DamageText(result)};
  if (IsBusyCode(result)) return {StoreCondition::kBusy, "busy"};
  return {};
}

// The table's column names; `result` is the last step's code (SQLITE_DONE when all were read).
std::set<std::string> ColumnsOf(CSqliteConnection& connection, const std::string& table, int& result) {
  std::set<std::string> columns;
  CSqliteStatement statement(connection, "pragma table_info(\"" + table + "\")");
  if (!statement.IsPrepared()) {
    result = statement.LastResult();
    return columns;
  }
  const int name = statement.ColumnIndex("name");
  while ((result = statement.Step()) == SQLITE_ROW) {
    std::string column;
    statement.ColumnText(name, column);
    columns.insert(column);
  }
  return columns;
}

}  // namespace

bool IsDamageCode(int sqliteResult) {
  const int primary = sqliteResult & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

std::string DamageText(int sqliteResult) {
  return (sqliteResult & 0xFF) == SQLITE_NOTADB ? "not a database" : "malformed";
}

StoreVerdict ExamineStore(CSqliteConnection& connection, const std::string& table,
                          const std::vector<std::string>& requiredColumns, bool thorough) {
  if (!connection.IsOpen()) return {StoreCondition::kBusy, "not open"};
  int result = SQLITE_OK;
  {
    // A file that is no database, or a malformed schema, shows as soon as the schema is read.
    CSqliteStatement schema(connection, "select count(*) from sqlite_master where type = 'table' and name = ?");
    if (!schema.IsPrepared()) return VerdictOf(schema.LastResult());
    schema.BindText(1, table);
    result = schema.Step();
    if (result != SQLITE_ROW) return VerdictOf(result);
    if (schema.ColumnInt(0) == 1) {
      const std::set<std::string> columns = ColumnsOf(connection, table, result);
      if (result != SQLITE_DONE) return VerdictOf(result);
      std::string missing;
      for (const std::string& column : requiredColumns) {
        if (columns.count(column)) continue;
        missing += (missing.empty() ? "" : ", ") + column;
      }
      if (!missing.empty()) return {StoreCondition::kDamaged, "columns missing: " + missing};
    }
  }
  if (!thorough) return {};
  CSqliteStatement check(connection, "pragma quick_check");
  if (!check.IsPrepared()) return VerdictOf(check.LastResult());
  result = check.Step();
  if (result != SQLITE_ROW) return VerdictOf(result);
  std::string answer;
  check.ColumnText(0, answer);
  if (answer != "ok") return {StoreCondition::kDamaged, "malformed"};
  return {};
}
