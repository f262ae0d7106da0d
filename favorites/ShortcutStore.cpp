#include "favorites/ShortcutStore.h"

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "common/DirectoryTree.h"
#include "common/PathText.h"
#include "common/SqliteStatement.h"
#include "common/TableMapping.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/HostPaths.h"
#include "favorites/StoreHealth.h"
#include "favorites/StoreRebuild.h"

const char kShortcutTable[] = "shortcut";

namespace {

using Record = ShortcutRecord;

const TableMapping<Record>& ShortcutMapping() {
  static const TableMapping<Record> mapping({
      TextColumn("strAlbumName", &Record::strAlbumName, true),
      TextColumn("strIconName", &Record::strIconName),
      TextColumn("strLNK", &Record::strLNK),
      TextColumn("strTips", &Record::strTips),
      TextColumn("strStartupParams", &Record::strStartupParams),
      IntegerColumn("nAlbumID", &Record::nAlbumID),
      IntegerColumn("nChannelID", &Record::nChannelID),
      IntegerColumn("nFinished", &Record::nFinished),
      IntegerColumn("iChannelID", &Record::iChannelID),
      TextColumn("strVideoURL", &Record::strVideoURL),
      TextColumn("strSourceName", &Record::strSourceName),
      IntegerColumn("iSourceCode", &Record::iSourceCode),
      IntegerColumn("iTvYear", &Record::iTvYear),
      IntegerColumn("iInfoType", &Record::iInfoType),
  });
  return mapping;
}

const char kFollowUpTable[] = "followup";

struct FollowUpRow {
  std::string strAlbumName;
  int32_t nAlbumID = 0;
  std::string strPicUrl;
  int32_t nEpisodic = 0;
  int32_t nPlayPage = 0;
  int64_t rowId = -1;
};

const TableMapping<FollowUpRow>& FollowUpMapping() {
  static const TableMapping<FollowUpRow> mapping({
      TextColumn("strAlbumName", &FollowUpRow::strAlbumName, true),
      IntegerColumn("nAlbumID", &FollowUpRow::nAlbumID),
      TextColumn("strPicUrl", &FollowUpRow::strPicUrl),
      IntegerColumn("nEpisodic", &FollowUpRow::nEpisodic),
      IntegerColumn("nPlayPage", &FollowUpRow::nPlayPage),
  });
  return mapping;
}

FollowUpRow FollowUpRowOf(const FollowUp& followUp) {
  FollowUpRow row;
  row.strAlbumName = followUp.key.bytes;
  row.nAlbumID = followUp.albumId;
  row.strPicUrl = followUp.picUrl;
  row.nEpisodic = followUp.episodic ? 1 : 0;
  row.nPlayPage = followUp.playPageKnown ? 1 : 0;
  return row;
}

struct TableProbe {
  std::string type;
  int64_t rowId = 0;
};

std::mutex& StoreLock() {
  static std::mutex lock;
  return lock;
}

enum class Opened { kReady, kUnusable, kDamaged };

// Every column of the layout; strVideoURL only an older layout lacks, and the first add brings it.
std::vector<std::string> RequiredColumns() {
  std::vector<std::string> columns;
  for (const auto& column : ShortcutMapping().Columns()) {
    if (column.name != "strVideoURL") columns.push_back(column.name);
  }
  return columns;
}

// The whole file is read once per run, at the first operation; later ones look at the schema.
bool FirstLookThisRun(const std::wstring& path) {
  static std::set<std::wstring> examined;
  return examined.insert(path).second;
}

// Opens the store and makes sure the table exists. A damaged file says why in `damage`; a busy
// or unreachable one is just unusable now.
Opened OpenStore(const std::wstring& path, CSqliteConnection& connection, std::string& damage) {
  if (path.empty()) return Opened::kUnusable;  // never a store in the current folder
  const std::wstring folder = ParentFolderOf(path);
  if (!folder.empty()) CreateDirectoryTree(folder);
  if (!connection.Open(WideToUtf8(path))) return Opened::kUnusable;
  const StoreVerdict verdict = ExamineStore(connection, kShortcutTable, RequiredColumns(), FirstLookThisRun(path));
  if (verdict.condition == StoreCondition::kDamaged) {
    damage = verdict.reason;
    return Opened::kDamaged;
  }
  if (verdict.condition == StoreCondition::kBusy) return Opened::kUnusable;

  static const TableMapping<TableProbe> probeMapping({TextColumn("type", &TableProbe::type, true)});
  TableProbe probe;
  Run(connection, std::string("select * from sqlite_master where type = 'table' and name = '") + kShortcutTable + "'",
      probeMapping, probe);
  if (probe.type.empty() && !CreateTable(connection, kShortcutTable, ShortcutMapping())) return Opened::kUnusable;
  if (!connection.TableExists(kFollowUpTable)) CreateTable(connection, kFollowUpTable, FollowUpMapping());
  return Opened::kReady;
}

// A damaged store is moved aside and made afresh from the program's shortcuts on the desktop. A
// store that keeps breaking (a failing disk) is given up on after a few rebuilds in one run.
bool RebuildStore(const std::wstring& path, const std::string& damage) {
  static std::map<std::wstring, int> rebuilds;
  if (++rebuilds[path] > 3) return false;
  const std::wstring kept = SetAsideDamagedStore(path);
  if (kept.empty()) {
    WriteTrace(L"Tailcast", L"ShortcutStore : ", Utf8ToWide(damage) + L"; the damaged store could not be set aside");
    return false;
  }
  CSqliteConnection connection;
  if (!connection.Open(WideToUtf8(path)) || !CreateTable(connection, kShortcutTable, ShortcutMapping())) return false;
  CreateTable(connection, kFollowUpTable, FollowUpMapping());
  std::vector<Record> rows = ShortcutRowsFromDesktop();
  connection.Begin();
  for (Record& row : rows) {
    row.iChannelID = row.nChannelID;
    Replace(connection, kShortcutTable, ShortcutMapping(), row);
    // What a web shortcut was last pointed at is not known: the catalogue is asked again.
    if (row.iInfoType != 0) continue;
    FollowUpRow followUp;
    followUp.strAlbumName = row.strAlbumName;
    followUp.nAlbumID = row.nAlbumID;
    Replace(connection, kFollowUpTable, FollowUpMapping(), followUp);
  }
  connection.Commit();
  WriteTrace(L"Tailcast", L"ShortcutStore : ",
             Utf8ToWide(damage) + L"; rebuilt with " + std::to_wstring(rows.size()) +
                 L" shortcuts from the desktop; the damaged store is kept as " + FileNameOf(kept));
  return true;
}

// Runs one store operation under the store lock with a usable store. A damaged store is set
// aside and rebuilt first; one the operation finds damaged is rebuilt and the operation run
// again on the new store, once.
void WithStore(const std::wstring& path, const std::function<void(CSqliteConnection&)>& operation) {
  std::lock_guard<std::mutex> lock(StoreLock());
  for (int round = 0; round < 2; ++round) {
    CSqliteConnection connection;
    std::string damage;
    const Opened opened = OpenStore(path, connection, damage);
    if (opened == Opened::kUnusable) return;
    if (opened == Opened::kReady) {
      operation(connection);
      if (connection.DamageSeen() == 0) return;
      damage = DamageText(connection.DamageSeen());
    }
    connection.Close();
    if (!RebuildStore(path, damage)) return;
  }
}

// An older layout lacked strVideoURL. When adding the column works, the table is rebuilt
// in the current layout inside one transaction; on any failure nothing is lost.
void MigrateIfOlderLayout(CSqliteConnection& connection) {
  const std::string table = kShortcutTable;
  if (!connection.Execute("ALTER TABLE " + table + " ADD COLUMN strVideoURL TEXT")) return;

  if (connection.Begin() != SQLITE_OK) return;
  std::vector<Record> rows;
  bool ok = SelectAll(connection, "select * from " + table, ShortcutMapping(), rows) &&
            connection.Execute("Drop Table " + table) && CreateTable(connection, table, ShortcutMapping());
  for (size_t i = 0; ok && i < rows.size(); ++i) ok = Replace(connection, table, ShortcutMapping(), rows[i]);
  if (!ok || connection.Commit() != SQLITE_OK) connection.Rollback();
}

// The row of this album; the name is bound, so any name (quotes included) is safe.
bool FindRow(CSqliteConnection& connection, const std::string& albumName, Record& row) {
  return SelectOneBound(connection, std::string(" select * from ") + kShortcutTable + " where strAlbumName= ?",
                        albumName, ShortcutMapping(), row) &&
         !row.strAlbumName.empty();
}

bool WriteRow(CSqliteConnection& connection, Record& row) {
  connection.Begin();
  if (Replace(connection, kShortcutTable, ShortcutMapping(), row) && connection.Commit() == SQLITE_OK) return true;
  connection.Rollback();
  return false;
}

// The rows whose .lnk file still exists, with the fields the program reads.
void AppendListed(const std::vector<Record>& rows, std::vector<Record>& shortcuts) {
  for (const Record& row : rows) {
    if (!PathExistsAnsi(row.strLNK)) continue;
    Record listed;
    listed.strLNK = row.strLNK;
    listed.strTips = row.strTips;
    listed.strIconName = row.strIconName;
    listed.nFinished = row.nFinished;
    listed.nChannelID = row.nChannelID;
    listed.nAlbumID = row.nAlbumID;
    listed.strAlbumName = row.strAlbumName;
    listed.strStartupParams = row.strStartupParams;
    listed.iInfoType = row.iInfoType;
    listed.strVideoURL = row.strVideoURL;
    shortcuts.push_back(listed);
  }
}

// True when the row was there and the change is in the file.
bool UpdateRow(const std::wstring& path, const std::string& albumName, const std::function<void(Record&)>& change) {
  bool written = false;
  WithStore(path, [&](CSqliteConnection& connection) {
    Record row;
    if (!FindRow(connection, albumName, row)) return;
    change(row);
    written = WriteRow(connection, row) && connection.DamageSeen() == 0;
  });
  return written;
}

}  // namespace

std::string ShortcutCreateText() { return ShortcutMapping().CreateText(kShortcutTable); }
std::string ShortcutReplaceText() { return ShortcutMapping().ReplaceText(kShortcutTable); }

std::wstring ShortcutStorePath() {
  const std::wstring clientFolder = GetHostPaths().clientFolder;
  return clientFolder.empty() ? std::wstring() : JoinPath(clientFolder, L"vexo_shortCut.dll");
}

ShortcutKey KeyOf(const std::wstring& albumName) { return ShortcutKey{WideToAnsi(albumName)}; }

CShortcutStore::CShortcutStore(std::wstring path) : m_path(std::move(path)) {}

void CShortcutStore::Add(const ShortcutRecord& record, const FollowUp* followUp) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    MigrateIfOlderLayout(connection);
    Record existing;
    const bool known = FindRow(connection, record.strAlbumName, existing);
    if (known && !followUp) return;
    // A new favourite's row and what completing it needs are written together, or neither.
    connection.Begin();
    Record row = record;
    row.iChannelID = record.nChannelID;
    bool written = known || Replace(connection, kShortcutTable, ShortcutMapping(), row);
    if (written && followUp) {
      FollowUpRow next = FollowUpRowOf(*followUp);
      written = Replace(connection, kFollowUpTable, FollowUpMapping(), next);
    }
    if (written) {
      connection.Commit();
    } else {
      connection.Rollback();
    }
  });
}

// A table that cannot be read to its end lists nothing: it is rebuilt and read again.
void CShortcutStore::Load(std::vector<ShortcutRecord>& shortcuts) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    std::vector<Record> rows;
    if (SelectAll(connection, std::string("select * from ") + kShortcutTable, ShortcutMapping(), rows)) {
      AppendListed(rows, shortcuts);
    }
  });
}

void CShortcutStore::LoadWithoutFile(std::vector<ShortcutRecord>& shortcuts) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    std::vector<Record> rows;
    if (!SelectAll(connection, std::string("select * from ") + kShortcutTable, ShortcutMapping(), rows)) return;
    for (Record& row : rows) {
      if (!PathExistsAnsi(row.strLNK)) shortcuts.push_back(std::move(row));
    }
  });
}

// Only the album's rows are read and only their .lnk files looked at, however many
// favourites the store keeps: a new favourite asks this on every hand-over.
void CShortcutStore::LoadAlbum(int albumId, std::vector<ShortcutRecord>& shortcuts) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    std::vector<Record> rows;
    if (SelectAllBound(connection, std::string("select * from ") + kShortcutTable + " where nAlbumID = ?", albumId,
                       ShortcutMapping(), rows)) {
      AppendListed(rows, shortcuts);
    }
  });
}

void CShortcutStore::SetIconName(const std::string& albumName, const std::string& iconName) {
  UpdateRow(m_path, albumName, [&](Record& row) { row.strIconName = iconName; });
}

void CShortcutStore::SetVideoUrl(const std::string& albumName, const std::string& videoUrl) {
  UpdateRow(m_path, albumName, [&](Record& row) { row.strVideoURL = videoUrl; });
}

void CShortcutStore::SetTitle(const std::string& albumName, const std::string& tips, const std::string& lnk,
                              int finished) {
  UpdateRow(m_path, albumName, [&](Record& row) {
    row.strTips = tips;
    row.strLNK = lnk;
    row.nFinished = finished;
  });
}

bool CShortcutStore::SetIconAndTitle(const std::string& albumName, const std::string& iconName,
                                     const std::string& tips, const std::string& lnk, int finished) {
  return UpdateRow(m_path, albumName, [&](Record& row) {
    row.strIconName = iconName;
    row.strTips = tips;
    row.strLNK = lnk;
    row.nFinished = finished;
  });
}

void CShortcutStore::RememberFollowUp(const FollowUp& followUp) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    FollowUpRow row = FollowUpRowOf(followUp);
    connection.Begin();
    if (Replace(connection, kFollowUpTable, FollowUpMapping(), row)) {
      connection.Commit();
    } else {
      connection.Rollback();
    }
  });
}

void CShortcutStore::MarkPlayPageKnown(int albumId) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    CSqliteStatement update(connection,
                            std::string("update ") + kFollowUpTable + " set nPlayPage = 1 where nAlbumID = ?");
    update.BindInt(1, albumId);
    update.Step();
  });
}

void CShortcutStore::LoadFollowUps(std::vector<FollowUp>& followUps) {
  WithStore(m_path, [&](CSqliteConnection& connection) {
    std::vector<FollowUpRow> rows;
    if (!SelectAll(connection, std::string("select * from ") + kFollowUpTable, FollowUpMapping(), rows)) return;
    for (const FollowUpRow& row : rows) {
      followUps.push_back(FollowUp{ShortcutKey{row.strAlbumName}, row.nAlbumID, row.strPicUrl, row.nEpisodic != 0,
                                   row.nPlayPage != 0});
    }
  });
}

namespace {

ShortcutRecord RecordOf(const NewShortcut& shortcut) {
  ShortcutRecord record;
  record.strLNK = WideToAnsi(shortcut.lnk);
  record.strIconName = WideToAnsi(shortcut.iconName);
  record.strTips = kNewShortcutTips;
  record.nAlbumID = shortcut.albumId;
  record.nChannelID = shortcut.channelId;
  record.nFinished = 0;
  record.strAlbumName = WideToAnsi(shortcut.albumName);
  record.strStartupParams = WideToAnsi(shortcut.startupParams);
  record.strVideoURL = WideToAnsi(shortcut.videoUrl);
  record.strSourceName = WideToAnsi(shortcut.sourceName);
  record.iSourceCode = shortcut.sourceCode;
  record.iTvYear = shortcut.tvYear;
  record.iInfoType = shortcut.infoType;
  return record;
}

}  // namespace

void AddShortcut(const NewShortcut& shortcut) { CShortcutStore(ShortcutStorePath()).Add(RecordOf(shortcut)); }

void LoadShortcuts(std::vector<ShortcutRecord>& shortcuts) { CShortcutStore(ShortcutStorePath()).Load(shortcuts); }

namespace {

DeskShortcut DeskShortcutOf(const ShortcutRecord& row) {
  DeskShortcut shortcut;
  shortcut.lnk = AnsiToWide(row.strLNK);
  shortcut.iconName = AnsiToWide(row.strIconName);
  shortcut.albumName = AnsiToWide(row.strAlbumName);
  shortcut.tips = AnsiToWide(row.strTips);
  shortcut.startupParams = AnsiToWide(row.strStartupParams);
  shortcut.videoUrl = AnsiToWide(row.strVideoURL);
  shortcut.albumId = row.nAlbumID;
  shortcut.channelId = row.nChannelID;
  shortcut.finished = row.nFinished;
  shortcut.infoType = row.iInfoType;
  shortcut.key.bytes = row.strAlbumName;
  return shortcut;
}

}  // namespace

namespace {

std::vector<DeskShortcut> DeskShortcutsOf(const std::vector<ShortcutRecord>& rows) {
  std::vector<DeskShortcut> shortcuts;
  shortcuts.reserve(rows.size());
  for (const ShortcutRecord& row : rows) shortcuts.push_back(DeskShortcutOf(row));
  return shortcuts;
}

}  // namespace

std::vector<DeskShortcut> LoadDeskShortcuts() {
  std::vector<ShortcutRecord> rows;
  LoadShortcuts(rows);
  return DeskShortcutsOf(rows);
}

std::vector<DeskShortcut> LoadDeskShortcutsWithoutFile() {
  std::vector<ShortcutRecord> rows;
  CShortcutStore(ShortcutStorePath()).LoadWithoutFile(rows);
  return DeskShortcutsOf(rows);
}

std::vector<DeskShortcut> LoadDeskShortcutsOfAlbum(int albumId) {
  std::vector<ShortcutRecord> rows;
  CShortcutStore(ShortcutStorePath()).LoadAlbum(albumId, rows);
  return DeskShortcutsOf(rows);
}

std::optional<DeskShortcut> FindShortcutByAlbum(int albumId) {
  std::vector<DeskShortcut> shortcuts = LoadDeskShortcutsOfAlbum(albumId);
  if (shortcuts.empty()) return std::nullopt;
  return std::move(shortcuts.front());
}

void SetShortcutIconName(const ShortcutKey& key, const std::wstring& iconName) {
  CShortcutStore(ShortcutStorePath()).SetIconName(key.bytes, WideToAnsi(iconName));
}

void SetShortcutVideoUrl(const ShortcutKey& key, const std::wstring& videoUrl) {
  CShortcutStore(ShortcutStorePath()).SetVideoUrl(key.bytes, WideToAnsi(videoUrl));
}

void SetShortcutTitle(const ShortcutKey& key, const std::wstring& tips, const std::wstring& lnk, int finished) {
  CShortcutStore(ShortcutStorePath()).SetTitle(key.bytes, WideToAnsi(tips), WideToAnsi(lnk), finished);
}

bool SetShortcutIconAndTitle(const ShortcutKey& key, const std::wstring& iconName, const std::wstring& tips,
                             const std::wstring& lnk, int finished) {
  return CShortcutStore(ShortcutStorePath())
      .SetIconAndTitle(key.bytes, WideToAnsi(iconName), WideToAnsi(tips), WideToAnsi(lnk), finished);
}

void RememberFollowUp(const FollowUp& followUp) { CShortcutStore(ShortcutStorePath()).RememberFollowUp(followUp); }

void AddShortcutWithFollowUp(const NewShortcut& shortcut, const FollowUp& followUp) {
  CShortcutStore(ShortcutStorePath()).Add(RecordOf(shortcut), &followUp);
}

void MarkPlayPageKnown(int albumId) { CShortcutStore(ShortcutStorePath()).MarkPlayPageKnown(albumId); }

std::vector<FollowUp> LoadFollowUps() {
  std::vector<FollowUp> followUps;
  CShortcutStore(ShortcutStorePath()).LoadFollowUps(followUps);
  return followUps;
}
