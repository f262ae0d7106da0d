// Whether the shortcut store's file can be used: a file that is no database, pages that are
// malformed, or a "shortcut" table that lacks columns make the store damaged (to be set aside
// and rebuilt); a file another process holds locked is only busy (tried again later).
// Windows-free.
#pragma once

#include <string>
#include <vector>

class CSqliteConnection;

enum class StoreCondition { kUsable, kBusy, kDamaged };

struct StoreVerdict {
  StoreCondition condition = StoreCondition::kUsable;
  std::string reason;  // for a damaged store: "not a database", "malformed", "columns missing: ..."
};

// Looks at an open store: its schema, the table's columns (each of `requiredColumns`, when the
// table exists at all; a missing table is made afresh), and with `thorough` every page as well.
StoreVerdict ExamineStore(CSqliteConnection& connection, const std::string& table,
                          const std::vector<std::string>& requiredColumns, bool thorough);

// SQLite's answers that mean the file itself is damaged (not a busy or missing one).
bool IsDamageCode(int sqliteResult);
// The damage a result code means, in the words of a verdict.
std::string DamageText(int sqliteResult);
