// CSQLDirect: a host's connection to an ODBC data source over the driver
// manager's call interface: SQL text run directly or prepared, rows walked,
// column values read as text (described once per row in CSQLColumn), data
// sources listed and created, tables and their columns described, binary
// column values moved to and from files and memory.
//
// Results are 1/0 unless said. ODBC failures show the driver's text in a
// box captioned "警告" when m_nShowError is 1; the data-source listing keeps
// its failures in m_strDsnMessage and m_nDsnResult instead. Nothing throws.
// One object serves one thread at a time.
//
// Lifecycle: Init, Connect, any number of statements, rows and column reads,
// Close (a fresh statement on the same connection), DisConn or destruction;
// Init again before the next Connect. Connect refuses (0) while
// m_nOpen is 1, which it is after any attempt, failed ones included, until
// Close or DisConn.
#pragma once
#include <functional>

#include "platform/mfc/afx.h"

// The driver manager's own types. windef.h comes first: its HWND (an X
// window id) stands, and ODBC's BOOL macro then means the same int.
#define _WINDOWS_
#include <sqlext.h>
#undef _WINDOWS_

// One column of the current row: its description and, once read, its value.
class CSQLColumn {
 public:
  CSQLColumn();

  CString m_strData;  // the value as text, trailing blanks removed
  int m_nColumn;      // 1-based
  int m_nType;        // SQL data type; SQL_C_DEFAULT (99) until described
  int m_bFetched;     // 1 once m_strData holds the current row's value
  CString m_strName;  // trailing blanks removed
  int m_nScale;
  int m_nPrecision;
  int m_nNullable;
};

class CSQLDirect {
 public:
  CSQLDirect();
  virtual ~CSQLDirect();

  // Connections and statements.
  void Init();
  // The ODBC code: 0 or 1 connected, negative failed (SQL_ERROR when refused
  // because m_nOpen is 1).
  int Connect(int arg, const char* dsn, const char* user, const char* password);
  int ExecuteSQL(const char* sql);
  // SQLPrepare's code (0 = prepared). No member executes a statement
  // prepared here; the binary transfers prepare and run their own.
  int Prepare(const char* sql);
  // 1 for a row; 0 at the end of the rows or on failure.
  int Fetch(int unused);
  void Close();
  void DisConn();
  void DisplayError();
  // The driver manager's next error text for this object's handles; "" when
  // there is none (or before Init).
  void GetError(CString& text);

  // Columns of the current result. A column number that does not exist reads
  // as "" and describes as a CSQLColumn's initial values.
  CString GetCol(int column);
  CString GetCol(CString name, CString table);
  // trim 1 also removes leading blanks.
  CString On_Get_Col(int column, int trim);
  CString On_Get_Col(CString name, int trim, CString table);
  // The first column named `name` (of `table` unless that is ""); count + 1
  // when none is, 1 when there is no column at all, 0 when one cannot be
  // described.
  int GetColumnID(CString name, CString table);
  CString GetColumnName(int column);
  int GetColumnType(int column);
  int GetColumnScale(int column);
  int GetColumnPrecision(int column);
  int GetColumnNull(int column);
  int GetNumColumns();   // SQLColAttributes' count
  int GetColumnCount();  // SQLNumResultCols

  // Data sources. kind: 1 (m_chUserKind) the system's, 2 (m_chSystemKind)
  // the user's, 3 both. Appends to m_DsnNames (not emptied first); 1 always.
  int InitDsnList(unsigned char kind);
  // An Access data source for the database file `path` (its folder is what
  // precedes the last '\' or '/'): 1 when the installer made it.
  int CreateAccessDsn(CString name, CString path);
  // `attributes`: "key=value" entries each ended by a zero byte. The
  // installer's result.
  int CreateDsn(CString attributes, CString driver);

  // Tables: names into m_TableNames (tableType e.g. "TABLE"; NULL = all),
  // a table's columns into m_ColumnNames, m_TypeNames, m_ColumnTypes and
  // m_ColumnSizes. 0 without a connection or when the driver's catalogue
  // call fails: the lists then stay as they were, and a failed table
  // listing shows the driver's text (m_nShowError 1).
  int ListAllTable(char* tableType);
  int DescTable(int index);
  int DescTable(const char* table);
  CString GetTableName(int index);

  // Binary columns, moved `chunk` bytes at a time.
  // Row (size, file name, data): writes <path>\<file name> whole or not at
  // all; `path` receives the full name. A stored name with a folder in it
  // is refused.
  int ExecuteSQL_GetBinaryFile(const char* sql, CString& path, int chunk);
  // `sql` holds one parameter marker, which receives the file's bytes.
  int ExecuteSQL_InsertBinaryFile(const char* sql, const char* file, int chunk);
  // Row (size, data): *data becomes a new[] buffer of *length bytes, which
  // the caller frees with delete[], also when a later piece fails.
  int ExecuteSQL_GetBinaryString(const char* sql, unsigned char** data, long* length, int chunk);
  int ExecuteSQL_InsertBinaryString(const char* sql, unsigned char* data, long length, int chunk);

  // One value: column 1 of the first row, blanks trimmed on both sides.
  int GetExeSqlData(CString sql, long& value);
  int GetExeSqlData(CString sql, double& value);
  int GetExeSqlData(CString sql, CString& value);

  CStringArray m_TableNames;
  CStringArray m_ColumnNames;
  CStringArray m_TypeNames;
  CStringArray m_DsnNames;
  CDWordArray m_ColumnTypes;
  CDWordArray m_ColumnSizes;
  int m_nShowError;   // 1: DisplayError shows error texts; 0 at first
  int m_nOpen;        // 1 after Connect's attempt, 0 after Close and DisConn
  int m_nConnectArg;  // Connect's first argument, kept only
  unsigned char m_chUserKind;
  unsigned char m_chSystemKind;
  SQLHENV m_hDsnEnv;         // the data-source listing's own environment
  CString m_strDsnMessage;   // the listing's last message
  short m_nDsnResult;        // the listing's last ODBC code
  SQLHSTMT m_hStmt;
  char* m_pszSql;            // copy of the last statement text given to ODBC
  char* m_pszError;          // 511-byte error text buffer from Init
  SQLHENV m_hEnv;
  SQLHDBC m_hDbc;
  CPtrArray m_Columns;       // CSQLColumn* of the current row, owned

 protected:
  short CallSQLDataSources(CString& name, unsigned short direction);

 private:
  CSQLDirect(const CSQLDirect&) = delete;
  CSQLDirect& operator=(const CSQLDirect&) = delete;

  void KillCols();
  int FindColumn(int column);  // cache index, or -1
  CSQLColumn* GetColumn(int column);  // cached or described; NULL when neither
  // Describes the column into a new last cache entry; NULL when it cannot.
  CSQLColumn* GetColumnInfo(int column);
  CString GetErrorMessage();
  short GetLastSQLResult();
  // Statement, connection and environment released (a connection that Close
  // kept is not leaked by the next Connect).
  void FreeHandles();
  void NewStatementText(const char* sql);
  // Prepares, runs and fetches the one row of a binary read.
  bool ExecuteRow(const char* sql);
  // Runs `sql` with its parameter marker fed `length` bytes, `chunk` at a
  // time; piece(offset, n) gives the next n bytes, or NULL to give up.
  int SendData(const char* sql, SQLULEN length, int chunk, const std::function<const char*(SQLULEN, SQLLEN)>& piece);

  int StartDSNCollection();
  void EndDSNCollection();
  CString GetFirstDSNName(unsigned char kind);
  CString GetNextDSNName();
};
