#include "merrobase/sql_direct.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/fs/files.h"
#include "platform/win/module.h"
#include "platform/win/msgbox.h"

namespace {

const int kErrorSize = 511;
const int kValueSize = 8192;
const char kCaption[] = "警告";
// The driver an Access data source is made for; on Linux it exists only
// where a driver has been registered under this name.
const char kAccessDriver[] = "Microsoft Access Driver (*.mdb)";
const WORD kAddDsn = 1;  // ODBC_ADD_DSN

bool Ok(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

SQLCHAR* Text(const char* s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s ? s : "")); }

// The installer's SQLConfigDataSource, bound when first needed; it stays
// loaded for the life of the process.
typedef BOOL (*ConfigDataSourceFn)(void* window, WORD request, LPCSTR driver, LPCSTR attributes);
ConfigDataSourceFn ConfigDataSource() {
  static std::mutex m;
  static ConfigDataSourceFn fn = nullptr;
  std::lock_guard<std::mutex> lock(m);
  if (!fn)
    if (HMODULE installer = LoadLibrary("odbccp32.dll"))
      fn = reinterpret_cast<ConfigDataSourceFn>(GetProcAddress(installer, "SQLConfigDataSource"));
  return fn;
}

int AddDataSource(const char* driver, const std::string& attributes) {
  ConfigDataSourceFn fn = ConfigDataSource();
  return fn && fn(nullptr, kAddDsn, driver, attributes.c_str()) == TRUE ? 1 : 0;
}

// No zero byte inside (it would cut the text short where it is formatted)
// and no '?' (which the attribute list turns into a separator).
bool FitsAttributeList(const CString& s) {
  return int(strlen(s)) == s.GetLength() && s.Find('?') < 0;
}

bool EndsWithSeparator(const CString& path) {
  const int last = path.GetLength() - 1;
  return last >= 0 && (path.ReverseFind('\\') == last || path.ReverseFind('/') == last);
}

// A stored file name must name a file in the chosen folder, nothing beside
// or above it.
bool IsBareFileName(const CString& name) {
  return !name.IsEmpty() && name != "." && name != ".." && name.Find('\\') < 0 && name.Find('/') < 0 &&
         name.Find(':') < 0;
}

// `size` bytes of a column read in pieces of at most `chunk` bytes, each
// handed to `take`. False when a read fails, when the value holds fewer bytes
// than `size`, or when `take` refuses.
bool ReadPieces(SQLHSTMT stmt, SQLUSMALLINT column, SQLINTEGER size, int chunk,
                const std::function<bool(const char*, size_t)>& take) {
  std::vector<char> buf(size_t(std::min<SQLINTEGER>(chunk, size)));
  for (SQLINTEGER remaining = size; remaining > 0;) {
    const SQLINTEGER n = std::min<SQLINTEGER>(chunk, remaining);
    SQLLEN ind = 0;
    const SQLRETURN r = SQLGetData(stmt, column, SQL_C_BINARY, buf.data(), n, &ind);
    if (!Ok(r) || ind == SQL_NULL_DATA) return false;
    // With more to come the piece is full; the last one says what it holds.
    const bool full = r == SQL_SUCCESS_WITH_INFO || ind == SQL_NO_TOTAL || ind >= SQLLEN(n);
    if (!full || !take(buf.data(), size_t(n))) return false;
    remaining -= n;
  }
  return true;
}

const CSQLColumn kUndescribed;

// What is known of a column that may not be described.
const CSQLColumn& OrUndescribed(const CSQLColumn* c) { return c ? *c : kUndescribed; }

}  // namespace

CSQLColumn::CSQLColumn()
    : m_nColumn(0), m_nType(SQL_C_DEFAULT), m_bFetched(0), m_nScale(0), m_nPrecision(0), m_nNullable(0) {}

CSQLDirect::CSQLDirect()
    : m_nShowError(0),
      m_nOpen(0),
      m_nConnectArg(0),
      m_chUserKind(1),
      m_chSystemKind(2),
      m_hDsnEnv(SQL_NULL_HENV),
      m_nDsnResult(0),
      m_hStmt(SQL_NULL_HSTMT),
      m_pszSql(NULL),
      m_pszError(NULL),
      m_hEnv(SQL_NULL_HENV),
      m_hDbc(SQL_NULL_HDBC) {}

CSQLDirect::~CSQLDirect() { DisConn(); }

// ---- connections and statements --------------------------------------------

void CSQLDirect::Init() {
  DisConn();
  // Zeroed: a box must never show what an earlier call left in the buffer.
  m_pszError = new char[kErrorSize]();
}

int CSQLDirect::Connect(int arg, const char* dsn, const char* user, const char* password) {
  if (m_nOpen == 1) return 0;
  m_nConnectArg = arg;
  FreeHandles();
  SQLRETURN r = SQLAllocEnv(&m_hEnv);
  if (!Ok(r)) {
    m_hEnv = SQL_NULL_HENV;
    DisplayError();
    return r;
  }
  r = SQLAllocConnect(m_hEnv, &m_hDbc);
  if (!Ok(r)) {
    m_hDbc = SQL_NULL_HDBC;
    DisplayError();
    return r;
  }
  SQLSetConnectOption(m_hDbc, SQL_LOGIN_TIMEOUT, 5);
  r = SQLConnect(m_hDbc, Text(dsn), SQL_NTS, Text(user), SQL_NTS, Text(password), SQL_NTS);
  m_nOpen = 1;
  if (!Ok(r)) {
    DisplayError();
  } else {
    r = SQLAllocStmt(m_hDbc, &m_hStmt);
    if (!Ok(r)) m_hStmt = SQL_NULL_HSTMT;
  }
  if (r < 0) DisplayError();
  return r;
}

void CSQLDirect::NewStatementText(const char* sql) {
  delete[] m_pszSql;
  const size_t n = strlen(sql);
  m_pszSql = new char[n + 1];
  memcpy(m_pszSql, sql, n + 1);
}

int CSQLDirect::ExecuteSQL(const char* sql) {
  if (!sql) return 0;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  NewStatementText(sql);
  if (Ok(SQLExecDirect(m_hStmt, Text(m_pszSql), SQL_NTS))) return 1;
  DisplayError();
  return 0;
}

int CSQLDirect::Prepare(const char* sql) {
  if (!sql) return SQL_ERROR;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  NewStatementText(sql);
  const SQLRETURN r = SQLPrepare(m_hStmt, Text(m_pszSql), SQL_NTS);
  if (!Ok(r)) DisplayError();
  return r;
}

int CSQLDirect::Fetch(int) {
  KillCols();
  if (Ok(SQLFetch(m_hStmt))) return 1;
  DisplayError();
  return 0;
}

void CSQLDirect::Close() {
  if (m_hStmt != SQL_NULL_HSTMT) {
    SQLFreeStmt(m_hStmt, SQL_DROP);
    m_hStmt = SQL_NULL_HSTMT;
    KillCols();
    if (!Ok(SQLAllocStmt(m_hDbc, &m_hStmt))) m_hStmt = SQL_NULL_HSTMT;
  }
  m_nOpen = 0;
}

void CSQLDirect::FreeHandles() {
  if (m_hStmt != SQL_NULL_HSTMT) SQLFreeStmt(m_hStmt, SQL_DROP);
  if (m_hDbc != SQL_NULL_HDBC) {
    SQLDisconnect(m_hDbc);
    SQLFreeConnect(m_hDbc);
  }
  if (m_hEnv != SQL_NULL_HENV) SQLFreeEnv(m_hEnv);
  m_hStmt = SQL_NULL_HSTMT;
  m_hDbc = SQL_NULL_HDBC;
  m_hEnv = SQL_NULL_HENV;
  KillCols();
}

void CSQLDirect::DisConn() {
  delete[] m_pszError;
  m_pszError = NULL;
  delete[] m_pszSql;
  m_pszSql = NULL;
  FreeHandles();
  m_nOpen = 0;
}

void CSQLDirect::GetError(CString& text) {
  text = "";
  if (!m_pszError) return;
  SQLCHAR state[kErrorSize];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  m_pszError[0] = '\0';
  const SQLRETURN r = SQLError(m_hEnv, m_hDbc, m_hStmt, state, &native, reinterpret_cast<SQLCHAR*>(m_pszError),
                               kErrorSize, &length);
  // Without a diagnostic (SQL_NO_DATA at the end of the rows) there is no text.
  if (Ok(r)) text = CString(m_pszError, int(strnlen(m_pszError, kErrorSize)));
}

void CSQLDirect::DisplayError() {
  if (m_nShowError != 1) return;
  CString text;
  GetError(text);
  if (!text.IsEmpty()) MessageBox(0, text, kCaption, MB_OK);
}

// ---- columns ----------------------------------------------------------------

void CSQLDirect::KillCols() {
  for (int i = 0; i < m_Columns.GetSize(); ++i) delete static_cast<CSQLColumn*>(m_Columns[i]);
  m_Columns.RemoveAll();
}

int CSQLDirect::FindColumn(int column) {
  for (int i = 0; i < m_Columns.GetSize(); ++i)
    if (static_cast<CSQLColumn*>(m_Columns[i])->m_nColumn == column) return i;
  return -1;
}

CSQLColumn* CSQLDirect::GetColumnInfo(int column) {
  if (column < 0 || column > 0xFFFF) return NULL;
  SQLCHAR name[256];
  SQLSMALLINT nameLength = 0, type = 0, scale = 0, nullable = 0;
  SQLULEN size = 0;
  if (!Ok(SQLDescribeCol(m_hStmt, SQLUSMALLINT(column), name, sizeof name, &nameLength, &type, &size, &scale,
                         &nullable)))
    return NULL;
  CSQLColumn* c = new CSQLColumn;
  c->m_nColumn = column;
  c->m_nType = type;
  c->m_nPrecision = int(size);
  c->m_nScale = scale;
  c->m_nNullable = nullable;
  c->m_strName = reinterpret_cast<char*>(name);
  c->m_strName.TrimRight();
  m_Columns.Add(c);
  return c;
}

CSQLColumn* CSQLDirect::GetColumn(int column) {
  const int i = FindColumn(column);
  return i >= 0 ? static_cast<CSQLColumn*>(m_Columns[i]) : GetColumnInfo(column);
}

CString CSQLDirect::GetCol(int column) {
  CSQLColumn* c = GetColumn(column);
  if (!c) return CString();
  if (!c->m_bFetched) {
    // A long binary value comes as its bytes, everything else as text; the
    // value is what the driver reports it holds, never beyond the buffer.
    const SQLSMALLINT target = c->m_nType == SQL_LONGVARBINARY ? SQL_C_DEFAULT : SQL_C_CHAR;
    const SQLLEN room = target == SQL_C_CHAR ? kValueSize - 1 : kValueSize;
    std::vector<char> buf(kValueSize, '\0');
    SQLLEN ind = 0;
    const SQLRETURN r = SQLGetData(m_hStmt, SQLUSMALLINT(column), target, buf.data(), kValueSize, &ind);
    c->m_strData = "";
    if (Ok(r) && ind != SQL_NULL_DATA) {
      const SQLLEN n = (ind >= 0 && ind < room) ? ind : room;
      c->m_strData = CString(buf.data(), int(n));
      c->m_strData.TrimRight();
    }
    c->m_bFetched = 1;
  }
  return c->m_strData;
}

CString CSQLDirect::GetCol(CString name, CString table) { return GetCol(GetColumnID(name, table)); }

CString CSQLDirect::On_Get_Col(int column, int trim) {
  CString value = GetCol(column);
  if (trim == 1) value.TrimLeft();
  return value;
}

CString CSQLDirect::On_Get_Col(CString name, int trim, CString table) {
  CString value = GetCol(name, table);
  if (trim == 1) value.TrimLeft();
  return value;
}

int CSQLDirect::GetColumnID(CString name, CString table) {
  const int count = GetNumColumns();
  if (count < 1) return 1;
  for (int column = 1; column <= count && column <= 0xFFFF; ++column) {
    SQLCHAR columnName[256];
    SQLSMALLINT length = 0, type = 0, scale = 0, nullable = 0;
    SQLULEN size = 0;
    if (!Ok(SQLDescribeCol(m_hStmt, SQLUSMALLINT(column), columnName, sizeof columnName, &length, &type, &size,
                           &scale, &nullable)))
      return 0;
    char tableName[256] = "";
    SQLSMALLINT tableLength = 0;
    SQLLEN number = 0;
    if (!Ok(SQLColAttributes(m_hStmt, SQLUSMALLINT(column), SQL_COLUMN_TABLE_NAME, tableName, sizeof tableName,
                             &tableLength, &number)))
      tableName[0] = '\0';
    CString n(reinterpret_cast<char*>(columnName));
    CString t(tableName);
    n.TrimRight();
    t.TrimRight();
    if (n == name && (table.IsEmpty() || t == table)) return column;
  }
  return count + 1;
}

CString CSQLDirect::GetColumnName(int column) {
  return OrUndescribed(GetColumn(column)).m_strName;
}

int CSQLDirect::GetColumnType(int column) {
  return OrUndescribed(GetColumn(column)).m_nType;
}

int CSQLDirect::GetColumnScale(int column) {
  return OrUndescribed(GetColumn(column)).m_nScale;
}

int CSQLDirect::GetColumnPrecision(int column) {
  return OrUndescribed(GetColumn(column)).m_nPrecision;
}

int CSQLDirect::GetColumnNull(int column) {
  return OrUndescribed(GetColumn(column)).m_nNullable;
}

int CSQLDirect::GetNumColumns() {
  SQLLEN count = 0;
  SQLColAttributes(m_hStmt, 0, SQL_COLUMN_COUNT, NULL, 0, NULL, &count);
  return int(count);
}

int CSQLDirect::GetColumnCount() {
  SQLSMALLINT count = 0;
  SQLNumResultCols(m_hStmt, &count);
  return count;
}

// ---- data sources -------------------------------------------------------------

int CSQLDirect::StartDSNCollection() {
  m_strDsnMessage = "";
  m_nDsnResult = 0;
  m_hDsnEnv = SQL_NULL_HENV;
  m_chUserKind = 1;
  m_chSystemKind = 2;
  SQLRETURN r = SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_hDsnEnv);
  if (!Ok(r)) {
    m_hDsnEnv = SQL_NULL_HENV;
    m_nDsnResult = r;
    m_strDsnMessage = "SQLAllocHandle failed";
    return r;
  }
  r = SQLSetEnvAttr(m_hDsnEnv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!Ok(r)) {
    m_nDsnResult = r;
    m_strDsnMessage = "SQLSetEnvAttr failed to set ODBC version";
    return r;
  }
  return 0;
}

void CSQLDirect::EndDSNCollection() {
  if (m_hDsnEnv == SQL_NULL_HENV) return;  // keeps the code of the failed start
  m_nDsnResult = SQLFreeHandle(SQL_HANDLE_ENV, m_hDsnEnv);
  m_hDsnEnv = SQL_NULL_HENV;
}

short CSQLDirect::CallSQLDataSources(CString& name, unsigned short direction) {
  SQLCHAR dsn[128] = "", description[128] = "";
  SQLSMALLINT dsnLength = 0, descriptionLength = 0;
  const SQLRETURN r =
      SQLDataSources(m_hDsnEnv, direction, dsn, sizeof dsn, &dsnLength, description, sizeof description,
                     &descriptionLength);
  m_nDsnResult = r;
  struct Message {
    SQLRETURN code;
    const char* text;
  };
  static const Message kMessages[] = {
      {SQL_INVALID_HANDLE, "Invalid Handle"},
      {SQL_NO_DATA, "No more DSNs to enumerate"},
  };
  if (Ok(r)) {
    name = reinterpret_cast<char*>(dsn);
  } else if (r == SQL_ERROR) {
    SQLCHAR state[6] = "", text[128] = "";
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(SQL_HANDLE_ENV, m_hDsnEnv, 1, state, &native, text, sizeof text, &length);
    m_strDsnMessage.Format("SQL_ERROR: %s:%s", reinterpret_cast<char*>(state), reinterpret_cast<char*>(text));
  } else {
    m_strDsnMessage = "Unknown ERROR";
    for (const Message& m : kMessages)
      if (m.code == r) m_strDsnMessage = m.text;
  }
  return r;
}

CString CSQLDirect::GetFirstDSNName(unsigned char kind) {
  // Kind 1 (m_chUserKind, whatever its name says) lists the system's data
  // sources and kind 2 (m_chSystemKind) the user's, as hosts of this class
  // have always passed them; both together list all of them.
  struct Kind {
    unsigned char kind;
    unsigned short direction;
  };
  const Kind kKinds[] = {
      {m_chUserKind, SQL_FETCH_FIRST_SYSTEM},
      {m_chSystemKind, SQL_FETCH_FIRST_USER},
      {(unsigned char)(m_chUserKind | m_chSystemKind), SQL_FETCH_FIRST},
  };
  CString name;
  for (const Kind& k : kKinds)
    if (k.kind == kind) {
      CallSQLDataSources(name, k.direction);
      return name;
    }
  m_strDsnMessage = "Unknown DSN type";
  m_nDsnResult = -1;
  return name;
}

CString CSQLDirect::GetNextDSNName() {
  CString name;
  CallSQLDataSources(name, SQL_FETCH_NEXT);
  return name;
}

int CSQLDirect::InitDsnList(unsigned char kind) {
  if (StartDSNCollection() == 0)
    for (CString name = GetFirstDSNName(kind); m_nDsnResult == 0; name = GetNextDSNName()) m_DsnNames.Add(name);
  EndDSNCollection();
  return 1;
}

CString CSQLDirect::GetErrorMessage() { return m_strDsnMessage; }

short CSQLDirect::GetLastSQLResult() { return m_nDsnResult; }

int CSQLDirect::CreateAccessDsn(CString name, CString path) {
  if (name.IsEmpty() || path.IsEmpty() || !FitsAttributeList(name) || !FitsAttributeList(path)) return 0;
  const CString folder = path.Left(std::max(path.ReverseFind('\\'), path.ReverseFind('/')));
  if (folder.IsEmpty()) return 0;
  CString text;
  text.Format("DSN=%s? DBQ=%s? DEFAULTDIR=%s", LPCTSTR(name), LPCTSTR(path), LPCTSTR(folder));
  std::string attributes(LPCTSTR(text), size_t(text.GetLength()));
  std::replace(attributes.begin(), attributes.end(), '?', '\0');
  attributes.append(24, '\0');
  return AddDataSource(kAccessDriver, attributes);
}

int CSQLDirect::CreateDsn(CString attributes, CString driver) {
  if (attributes.IsEmpty() || driver.IsEmpty()) return 0;
  // Ended by two zero bytes whatever the caller's text ends with, so the
  // installer never reads past it.
  std::string list(LPCTSTR(attributes), size_t(attributes.GetLength()));
  list.append(2, '\0');
  return AddDataSource(driver, list);
}

// ---- tables -------------------------------------------------------------------

int CSQLDirect::ListAllTable(char* tableType) {
  if (m_hStmt == SQL_NULL_HSTMT) return 0;
  // A cursor left open by an earlier statement would make the listing fail.
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  SQLCHAR* types = tableType ? Text(tableType) : NULL;
  // A failed listing keeps the names of the last one; 0 tells it from an
  // empty catalogue.
  if (!Ok(SQLTables(m_hStmt, NULL, 0, NULL, 0, NULL, 0, types, tableType ? SQL_NTS : 0))) {
    DisplayError();
    return 0;
  }
  m_TableNames.RemoveAll();
  char name[300];
  SQLLEN ind = 0;
  while (Ok(SQLFetch(m_hStmt)))
    if (Ok(SQLGetData(m_hStmt, 3, SQL_C_CHAR, name, sizeof name, &ind)) && ind != SQL_NULL_DATA)
      m_TableNames.Add(CString(name));
  return 1;
}

int CSQLDirect::DescTable(int index) {
  if (index < 0 || index >= m_TableNames.GetSize()) return 0;
  return DescTable(m_TableNames[index]);
}

CString CSQLDirect::GetTableName(int index) {
  return index >= 0 && index < m_TableNames.GetSize() ? m_TableNames[index] : CString();
}

int CSQLDirect::DescTable(const char* table) {
  if (m_hStmt == SQL_NULL_HSTMT || !table || strlen(table) > 299) return 0;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  // A failed description keeps the last one; 0 tells it from a table
  // without columns.
  if (!Ok(SQLColumns(m_hStmt, NULL, 0, NULL, 0, Text(table), SQL_NTS, NULL, 0))) return 0;
  m_ColumnNames.RemoveAll();
  m_TypeNames.RemoveAll();
  m_ColumnTypes.RemoveAll();
  m_ColumnSizes.RemoveAll();
  char name[128], typeName[128];
  SQLINTEGER type = 0, size = 0;
  SQLLEN ind[4] = {};
  SQLBindCol(m_hStmt, 4, SQL_C_CHAR, name, sizeof name, &ind[0]);
  SQLBindCol(m_hStmt, 5, SQL_C_LONG, &type, sizeof type, &ind[1]);
  SQLBindCol(m_hStmt, 6, SQL_C_CHAR, typeName, sizeof typeName, &ind[2]);
  SQLBindCol(m_hStmt, 7, SQL_C_LONG, &size, sizeof size, &ind[3]);
  for (;;) {
    // A NULL leaves its buffer alone: reset so that no value of the row
    // before shows through.
    name[0] = typeName[0] = '\0';
    type = size = 0;
    if (!Ok(SQLFetch(m_hStmt))) break;
    m_ColumnNames.Add(CString(name));
    m_TypeNames.Add(CString(typeName));
    m_ColumnTypes.Add(DWORD(type));
    m_ColumnSizes.Add(DWORD(size));
  }
  // The buffers end here; a later fetch on this statement must not write them.
  SQLFreeStmt(m_hStmt, SQL_UNBIND);
  return 1;
}

// ---- binary columns -------------------------------------------------------------

bool CSQLDirect::ExecuteRow(const char* sql) {
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  NewStatementText(sql);
  return SQLPrepare(m_hStmt, Text(m_pszSql), SQL_NTS) == SQL_SUCCESS && SQLExecute(m_hStmt) == SQL_SUCCESS &&
         SQLFetch(m_hStmt) == SQL_SUCCESS;
}

int CSQLDirect::ExecuteSQL_GetBinaryFile(const char* sql, CString& path, int chunk) {
  if (!sql || !*sql || chunk < 1) return 0;
  if (!ExecuteRow(sql)) return 0;
  SQLINTEGER size = 0;
  SQLLEN ind = 0;
  if (!Ok(SQLGetData(m_hStmt, 1, SQL_C_LONG, &size, sizeof size, &ind)) || ind == SQL_NULL_DATA || size < 1)
    return 0;
  char stored[300];
  // A name cut short by the buffer is not the stored one.
  if (SQLGetData(m_hStmt, 2, SQL_C_CHAR, stored, sizeof stored, &ind) != SQL_SUCCESS || ind == SQL_NULL_DATA)
    return 0;
  const CString name(stored);
  if (!IsBareFileName(name) || path.IsEmpty()) return 0;
  if (!EndsWithSeparator(path)) path += "\\";
  path += name;

  // The file appears whole once every piece is in, or not at all.
  FileReplacement out(static_cast<LPCTSTR>(path));
  if (!out.IsOpen()) return 0;
  if (!ReadPieces(m_hStmt, 3, size, chunk, [&](const char* p, size_t n) { return out.Write(p, n); })) return 0;
  if (!out.Commit()) return 0;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  return 1;
}

int CSQLDirect::ExecuteSQL_GetBinaryString(const char* sql, unsigned char** data, long* length, int chunk) {
  if (!data || !length) return 0;
  *length = 0;
  if (chunk < 1 || !sql || !*sql) return 0;
  if (!ExecuteRow(sql)) return 0;
  SQLINTEGER size = 0;
  SQLLEN ind = 0;
  if (!Ok(SQLGetData(m_hStmt, 1, SQL_C_LONG, &size, sizeof size, &ind)) || ind == SQL_NULL_DATA || size <= 0)
    return 0;
  unsigned char* buf = new (std::nothrow) unsigned char[size_t(size)];
  if (!buf) return 0;
  *length = size;
  *data = buf;
  size_t at = 0;
  if (!ReadPieces(m_hStmt, 2, size, chunk, [&](const char* p, size_t n) {
        memcpy(buf + at, p, n);
        at += n;
        return true;
      }))
    return 0;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  return 1;
}

int CSQLDirect::SendData(const char* sql, SQLULEN length, int chunk,
                         const std::function<const char*(SQLULEN, SQLLEN)>& piece) {
  NewStatementText(sql);
  if (SQLPrepare(m_hStmt, Text(m_pszSql), SQL_NTS) != SQL_SUCCESS) return 0;
  // The length comes with the promise of data: drivers that need it in
  // advance (SQLite's) otherwise take a single piece only.
  SQLLEN ind = SQL_LEN_DATA_AT_EXEC(SQLLEN(length));
  int result = 0;
  if (SQLBindParameter(m_hStmt, 1, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY, length, 0, NULL, 0, &ind) ==
          SQL_SUCCESS &&
      SQLExecute(m_hStmt) == SQL_NEED_DATA) {
    SQLPOINTER token = NULL;
    bool sent = SQLParamData(m_hStmt, &token) == SQL_NEED_DATA;
    for (SQLULEN at = 0; sent && at < length;) {
      const SQLLEN n = SQLLEN(std::min<SQLULEN>(SQLULEN(chunk), length - at));
      const char* p = piece(at, n);
      sent = p && SQLPutData(m_hStmt, const_cast<char*>(p), n) == SQL_SUCCESS;
      at += SQLULEN(n);
    }
    if (sent && SQLParamData(m_hStmt, &token) == SQL_SUCCESS) {
      SQLFreeStmt(m_hStmt, SQL_CLOSE);
      result = 1;
    } else {
      // Otherwise the statement would wait for data and refuse every later call.
      SQLCancel(m_hStmt);
    }
  }
  // The indicator ends here: nothing may stay bound to it.
  SQLFreeStmt(m_hStmt, SQL_RESET_PARAMS);
  return result;
}

int CSQLDirect::ExecuteSQL_InsertBinaryFile(const char* sql, const char* file, int chunk) {
  if (!sql || !*sql || !file || !*file || chunk < 1) return 0;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  CFile in;
  if (!in.Open(file, CFile::modeRead | CFile::shareDenyNone)) return 0;
  ULONGLONG length = 0;
  try {
    length = in.GetLength();
  } catch (CException* e) {
    e->Delete();
  }
  if (length == 0) return 0;
  std::vector<char> buf(size_t(std::min<ULONGLONG>(ULONGLONG(chunk), length)));
  return SendData(sql, SQLULEN(length), chunk, [&](SQLULEN, SQLLEN n) -> const char* {
    try {
      return in.Read(buf.data(), UINT(n)) == UINT(n) ? buf.data() : NULL;
    } catch (CException* e) {
      e->Delete();
      return NULL;
    }
  });
}

int CSQLDirect::ExecuteSQL_InsertBinaryString(const char* sql, unsigned char* data, long length, int chunk) {
  if (chunk < 1) return 0;
  SQLFreeStmt(m_hStmt, SQL_CLOSE);
  KillCols();
  if (length < 1 || !data || !sql || !*sql) return 0;
  return SendData(sql, SQLULEN(length), chunk,
                  [data](SQLULEN at, SQLLEN) { return reinterpret_cast<const char*>(data) + at; });
}

// ---- one value ------------------------------------------------------------------

int CSQLDirect::GetExeSqlData(CString sql, long& value) {
  if (ExecuteSQL(sql) != 1 || Fetch(0) != 1) return 0;
  value = atol(On_Get_Col(1, 1));
  return 1;
}

int CSQLDirect::GetExeSqlData(CString sql, double& value) {
  if (ExecuteSQL(sql) != 1 || Fetch(0) != 1) return 0;
  value = atof(On_Get_Col(1, 1));
  return 1;
}

int CSQLDirect::GetExeSqlData(CString sql, CString& value) {
  if (ExecuteSQL(sql) != 1 || Fetch(0) != 1) return 0;
  value = On_Get_Col(1, 1);
  return 1;
}
