#include "platform/posix/hive.h"

#include "platform/posix/services.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace posix {

using namespace components;

namespace {

std::string FoldAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  bool ok() const { return rc_ == SQLITE_OK; }
  int rc() const { return rc_; }
  void Text(int i, const std::string& s) {
    sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  }
  void Int(int i, sqlite3_int64 v) { sqlite3_bind_int64(stmt_, i, v); }
  void Blob(int i, const std::uint8_t* d, DWORD n) {
    // A zero-length blob must still be a blob, not NULL.
    static const std::uint8_t empty = 0;
    sqlite3_bind_blob(stmt_, i, n ? d : &empty, static_cast<int>(n), SQLITE_TRANSIENT);
  }
  int Step() { return rc_ = sqlite3_step(stmt_); }
  sqlite3_stmt* get() { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_;
};

LONG WriteError(int rc) {
  switch (rc & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM: return ERROR_OUTOFMEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_BADDB;
    default: return ERROR_CANTWRITE;
  }
}

// One immediate transaction: the write lock is taken before anything is read,
// so a waiting writer is retried by the busy timeout instead of failing.
class WriteTransaction {
 public:
  explicit WriteTransaction(sqlite3* db) : db_(db) {
    rc_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  }
  ~WriteTransaction() {
    if (open()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  bool open() const { return rc_ == SQLITE_OK && !done_; }
  int rc() const { return rc_; }
  int Commit() {
    done_ = true;
    int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
  }

 private:
  sqlite3* db_;
  int rc_;
  bool done_ = false;
};

}  // namespace

std::string NormalizeKey(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\') {
      if (!out.empty() && out.back() != '\\') out += c;
    } else {
      out += c;
    }
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return FoldAscii(out);
}

Hive::Hive(std::string path, Access access) : path_(std::move(path)), access_(access) {}

Hive::~Hive() {
  if (db_) sqlite3_close(db_);
}

std::string Hive::DefaultPath(const std::string& programName) {
  return DataHome() + "/" + programName + "/HKEY_LOCAL_MACHINE.sqlite";
}

bool Hive::Open() { return db_ || OpenNow(); }

bool Hive::OpenNow() {
  if (db_) return true;
  int flags = SQLITE_OPEN_FULLMUTEX;
  if (access_ == Access::ReadOnly) {
    flags |= SQLITE_OPEN_READONLY;
  } else {
    flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    auto slash = path_.rfind('/');
    if (slash != std::string::npos && !MakeFolders(path_.substr(0, slash))) return false;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path_.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return false;
  }
  sqlite3_busy_timeout(db, 15000);
  if (access_ == Access::ReadWrite) {
    // Switching to WAL needs a moment alone with the file; a copy starting
    // at the same instant may hold it, so try again briefly.
    bool ready = false;
    for (int attempt = 0; attempt < 50 && !ready; ++attempt) {
      ready = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db,
                           "CREATE TABLE IF NOT EXISTS keys(path TEXT PRIMARY KEY);"
                           "CREATE TABLE IF NOT EXISTS vals(key TEXT NOT NULL, folded TEXT NOT NULL,"
                           " name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
                           " PRIMARY KEY(key, folded));",
                           nullptr, nullptr, nullptr) == SQLITE_OK;
      if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ready && !sqlite3_db_readonly(db, "main")) {
      sqlite3_close(db);
      return false;
    }
  }
  sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  db_ = db;
  return true;
}

bool Hive::ResolveKey(HKEY handle, std::string* path) const {
  if (handle == HKEY_LOCAL_MACHINE) {
    path->clear();
    return true;
  }
  auto it = handles_.find(handle);
  if (it == handles_.end()) return false;
  *path = it->second;
  return true;
}

HKEY Hive::NewHandle(std::string path) {
  HKEY h = nextHandle_;
  nextHandle_ += 4;
  handles_[h] = std::move(path);
  return h;
}

bool Hive::KeyExists(const std::string& path, bool* error) {
  *error = false;
  if (path.empty()) return true;
  Statement s(db_, "SELECT 1 FROM keys WHERE path = ?");
  if (!s.ok()) {
    *error = true;
    return false;
  }
  s.Text(1, path);
  int rc = s.Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) *error = true;
  return rc == SQLITE_ROW;
}

namespace {
std::string Join(const std::string& base, const std::string& sub) {
  std::string s = NormalizeKey(sub);
  if (base.empty()) return s;
  if (s.empty()) return base;
  return base + "\\" + s;
}
}  // namespace

LONG Hive::RegOpenKeyA(HKEY root, const std::string& subKey, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  std::string base;
  if (!ResolveKey(root, &base)) return ERROR_INVALID_HANDLE;
  if (!Open()) return ERROR_CANTOPEN;
  std::string path = Join(base, subKey);
  bool error = false;
  if (!KeyExists(path, &error)) return error ? ERROR_CANTREAD : ERROR_FILE_NOT_FOUND;
  *result = NewHandle(path);
  return ERROR_SUCCESS;
}

LONG Hive::RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* /*reserved*/, DWORD* type,
                            std::uint8_t* data, DWORD* dataSize) {
  std::string path;
  if (!ResolveKey(key, &path)) return ERROR_INVALID_HANDLE;
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  if (!Open()) return ERROR_CANTOPEN;
  Statement s(db_, "SELECT type, data FROM vals WHERE key = ? AND folded = ?");
  if (!s.ok()) return ERROR_CANTREAD;
  s.Text(1, path);
  s.Text(2, FoldAscii(valueName));
  int rc = s.Step();
  if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
  if (rc != SQLITE_ROW) return ERROR_CANTREAD;
  DWORD storedType = static_cast<DWORD>(sqlite3_column_int64(s.get(), 0));
  const void* blob = sqlite3_column_blob(s.get(), 1);
  DWORD size = static_cast<DWORD>(sqlite3_column_bytes(s.get(), 1));
  if (type) *type = storedType;
  if (!data) {
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
  }
  if (*dataSize < size) {
    *dataSize = size;
    return ERROR_MORE_DATA;
  }
  if (size) std::memcpy(data, blob, size);
  *dataSize = size;
  return ERROR_SUCCESS;
}

LONG Hive::RegCreateKeyA(HKEY root, const std::string& subKey, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  std::string base;
  if (!ResolveKey(root, &base)) return ERROR_INVALID_HANDLE;
  if (access_ == Access::ReadOnly) return ERROR_ACCESS_DENIED;
  if (!Open()) return ERROR_CANTOPEN;
  std::string path = Join(base, subKey);
  if (!path.empty()) {
    WriteTransaction tx(db_);
    if (!tx.open()) return WriteError(tx.rc());
    // Every ancestor is a key of its own, as in the registry.
    for (size_t i = 0; i <= path.size(); ++i) {
      if (i != path.size() && path[i] != '\\') continue;
      Statement s(db_, "INSERT OR IGNORE INTO keys(path) VALUES(?)");
      if (!s.ok()) return WriteError(s.rc());
      s.Text(1, path.substr(0, i));
      if (s.Step() != SQLITE_DONE) return WriteError(s.rc());
    }
    int rc = tx.Commit();
    if (rc != SQLITE_OK) return WriteError(rc);
  }
  *result = NewHandle(path);
  return ERROR_SUCCESS;
}

LONG Hive::RegSetValueExA(HKEY key, const std::string& valueName, DWORD /*reserved*/, DWORD type,
                          const std::uint8_t* data, DWORD dataSize) {
  std::string path;
  if (!ResolveKey(key, &path)) return ERROR_INVALID_HANDLE;
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  if (access_ == Access::ReadOnly) return ERROR_ACCESS_DENIED;
  if (!Open()) return ERROR_CANTOPEN;
  WriteTransaction tx(db_);
  if (!tx.open()) return WriteError(tx.rc());
  Statement s(db_, "INSERT OR REPLACE INTO vals(key, folded, name, type, data) VALUES(?, ?, ?, ?, ?)");
  if (!s.ok()) return WriteError(s.rc());
  s.Text(1, path);
  s.Text(2, FoldAscii(valueName));
  s.Text(3, valueName);
  s.Int(4, type);
  s.Blob(5, data, dataSize);
  if (s.Step() != SQLITE_DONE) return WriteError(s.rc());
  int rc = tx.Commit();
  return rc == SQLITE_OK ? ERROR_SUCCESS : WriteError(rc);
}

LONG Hive::RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace posix
