// A record type described column by column, so that its CREATE TABLE text, a REPLACE
// with bound parameters and the reading of result rows come from one description.
// A mapped record has byte-string and 32-bit integer members plus `int64_t rowId`,
// which is not a column. Windows-free.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/SqliteConnection.h"
#include "common/SqliteStatement.h"

template <typename Record>
struct ColumnDef {
  std::string name;
  std::string sqlType;  // "TEXT" or "INTEGER"
  bool notNull = false;
  bool primaryKey = false;
  bool autoIncrement = false;
  std::string Record::*text = nullptr;
  int32_t Record::*integer = nullptr;
};

template <typename Record>
ColumnDef<Record> TextColumn(std::string name, std::string Record::*member, bool primaryKey = false) {
  ColumnDef<Record> column;
  column.name = std::move(name);
  column.sqlType = "TEXT";
  column.primaryKey = primaryKey;
  column.text = member;
  return column;
}

template <typename Record>
ColumnDef<Record> IntegerColumn(std::string name, int32_t Record::*member, bool primaryKey = false) {
  ColumnDef<Record> column;
  column.name = std::move(name);
  column.sqlType = "INTEGER";
  column.primaryKey = primaryKey;
  column.integer = member;
  return column;
}

template <typename Record>
class TableMapping {
public:
  // At least one column must belong to the primary key.
  explicit TableMapping(std::vector<ColumnDef<Record>> columns) : m_columns(std::move(columns)) {
    for (const auto& column : m_columns) (column.primaryKey ? m_primaryKeys : m_others).push_back(column);
  }

  const std::vector<ColumnDef<Record>>& Columns() const { return m_columns; }
  const std::vector<ColumnDef<Record>>& PrimaryKeys() const { return m_primaryKeys; }
  const std::vector<ColumnDef<Record>>& Others() const { return m_others; }

  // "create table t( a TEXT ,b INTEGER ,primary key( a) );"
  std::string CreateText(const std::string& table) const {
    std::string sql = "create table " + table + "( ";
    for (const auto& column : m_columns) {
      sql += column.name + " " + column.sqlType + " ";
      if (column.notNull) sql += "NOT NULL ";
      if (column.autoIncrement) sql += "AUTOINCREMENT ";
      sql += ",";
    }
    sql += "primary key( ";
    for (size_t i = 0; i < m_primaryKeys.size(); ++i) sql += (i ? "," : "") + m_primaryKeys[i].name;
    return sql + ")" + " )" + ";";
  }

  // "REPLACE INTO t( a,b,c ) values( ?,?, ? )"
  std::string ReplaceText(const std::string& table) const {
    std::string sql = "REPLACE INTO " + table + "( ";
    for (size_t i = 0; i < m_columns.size(); ++i) sql += (i ? "," : "") + m_columns[i].name;
    sql += " ) values( ";
    for (size_t i = 1; i < m_columns.size(); ++i) sql += "?,";
    return sql + " ? )";
  }

  void BindAll(CSqliteStatement& statement, const Record& record) const {
    int index = 1;
    for (const auto& column : m_columns) {
      if (column.text) statement.BindText(index, record.*(column.text));
      if (column.integer) statement.BindInt(index, record.*(column.integer));
      ++index;
    }
  }

  // Columns missing from the result (an older table) leave their members unchanged.
  void ReadRow(const CSqliteStatement& statement, Record& record) const {
    for (const auto& column : m_columns) {
      const int index = statement.ColumnIndex(column.name);
      if (index < 0) continue;
      if (column.text) statement.ColumnText(index, record.*(column.text));
      if (column.integer) record.*(column.integer) = statement.ColumnInt(index);
    }
  }

private:
  std::vector<ColumnDef<Record>> m_columns;
  std::vector<ColumnDef<Record>> m_primaryKeys;
  std::vector<ColumnDef<Record>> m_others;
};

template <typename Record>
bool CreateTable(CSqliteConnection& connection, const std::string& table, const TableMapping<Record>& mapping) {
  std::string ignored;
  return connection.Exec(mapping.CreateText(table), ignored) == SQLITE_OK;
}

template <typename Record>
bool Replace(CSqliteConnection& connection, const std::string& table, const TableMapping<Record>& mapping,
             Record& record) {
  CSqliteStatement statement(connection, mapping.ReplaceText(table));
  mapping.BindAll(statement, record);
  const int result = statement.Step();
  record.rowId = statement.LastInsertRowId();
  return result == SQLITE_DONE;
}

// True for a row and for no row alike; without a row the record keeps its values.
template <typename Record>
bool SelectOne(CSqliteConnection& connection, const std::string& sql, const TableMapping<Record>& mapping,
               Record& record) {
  CSqliteStatement statement(connection, sql);
  const int result = statement.Step();
  if (result == SQLITE_ROW) mapping.ReadRow(statement, record);
  return result == SQLITE_ROW || result == SQLITE_DONE;
}

// SelectOne with one text value bound to the statement's "?".
template <typename Record>
bool SelectOneBound(CSqliteConnection& connection, const std::string& sql, const std::string& boundText,
                    const TableMapping<Record>& mapping, Record& record) {
  CSqliteStatement statement(connection, sql);
  statement.BindText(1, boundText);
  const int result = statement.Step();
  if (result == SQLITE_ROW) mapping.ReadRow(statement, record);
  return result == SQLITE_ROW || result == SQLITE_DONE;
}

// Appends every row a prepared (and bound) statement gives.
template <typename Record>
bool ReadAllRows(CSqliteStatement& statement, const TableMapping<Record>& mapping, std::vector<Record>& records) {
  while (statement.Step() == SQLITE_ROW) {
    Record record;
    mapping.ReadRow(statement, record);
    records.push_back(std::move(record));
  }
  return statement.LastResult() == SQLITE_DONE;
}

template <typename Record>
bool SelectAll(CSqliteConnection& connection, const std::string& sql, const TableMapping<Record>& mapping,
               std::vector<Record>& records) {
  CSqliteStatement statement(connection, sql);
  return ReadAllRows(statement, mapping, records);
}

// SelectAll with one integer bound to the statement's "?".
template <typename Record>
bool SelectAllBound(CSqliteConnection& connection, const std::string& sql, int32_t boundInteger,
                    const TableMapping<Record>& mapping, std::vector<Record>& records) {
  CSqliteStatement statement(connection, sql);
  statement.BindInt(1, boundInteger);
  return ReadAllRows(statement, mapping, records);
}

// For statements that may give no row (ALTER TABLE, probes of sqlite_master).
template <typename Record>
bool Run(CSqliteConnection& connection, const std::string& sql, const TableMapping<Record>& mapping, Record& record) {
  return SelectOne(connection, sql, mapping, record);
}
