// CSQLDirect against the SQLite3 ODBC driver through unixODBC: statements,
// rows and columns, tables, data sources and binary columns.
#include "merrobase/sql_direct.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "odbc_fixture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const CStringArray& a) {
  std::vector<std::string> out;
  for (int i = 0; i < a.GetSize(); ++i) out.push_back(LPCTSTR(a[i]));
  return out;
}

std::string Bytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = char(gen());
  return s;
}

}  // namespace

using SqlDirect = OdbcTest;

TEST_F(SqlDirect, ColumnsByIndexAndNameAreReadOncePerRow) {
  Exec({"create table t2(a varchar(20), b integer)", "create table t3(a integer)",
        "insert into t2 values('  x  ', NULL)", "insert into t3 values(7)"});
  CSQLDirect db;
  Open(db);
  ASSERT_EQ(db.ExecuteSQL("select t2.a, t2.b, t2.a as c, t3.a from t2, t3"), 1);
  EXPECT_EQ(db.GetNumColumns(), 4);
  EXPECT_EQ(db.GetColumnCount(), 4);
  ASSERT_EQ(db.Fetch(0), 1);
  const size_t before = Calls("SQLGetData").size();
  EXPECT_EQ(db.GetCol(1), "  x");  // trailing blanks go, leading ones stay
  EXPECT_EQ(db.GetCol(1), "  x");  // from the cache: the driver has no second read of it
  EXPECT_EQ(Calls("SQLGetData").size(), before + 1);
  EXPECT_EQ(db.On_Get_Col(1, 1), "x");
  EXPECT_EQ(db.On_Get_Col(1, 0), "  x");
  EXPECT_EQ(db.GetCol(2), "");  // NULL
  EXPECT_EQ(db.GetCol(9), "");  // no such column

  struct Case {
    const char* name;
    const char* table;
    int id;
  };
  const Case cases[] = {
      {"a", "", 1},    // the first column of that name in any table
      {"b", "", 2},    {"c", "", 3},    {"a", "t2", 1},  {"a", "t3", 4},
      {"a", "zz", 5},  // no match: count + 1
      {"zz", "", 5},   {"A", "", 5},    // names match byte for byte
  };
  for (const Case& c : cases) EXPECT_EQ(db.GetColumnID(c.name, c.table), c.id) << c.name << "." << c.table;
  EXPECT_EQ(db.GetCol("c", ""), "  x");
  EXPECT_EQ(db.On_Get_Col("a", 1, "t3"), "7");
  EXPECT_EQ(db.GetCol("zz", ""), "");

  EXPECT_EQ(db.GetColumnName(3), "c");
  EXPECT_EQ(db.GetColumnType(2), SQL_INTEGER);
  EXPECT_EQ(db.GetColumnPrecision(1), 20);
  EXPECT_EQ(db.GetColumnNull(1), SQL_NULLABLE);
  EXPECT_EQ(db.GetColumnName(9), "");
  EXPECT_EQ(db.GetColumnType(9), SQL_C_DEFAULT);  // undescribed
  EXPECT_EQ(db.Fetch(0), 0);                      // after the last row
}

TEST_F(SqlDirect, EveryFetchDescribesItsOwnRow) {
  Exec({"create table n(v text)", "insert into n values('one')", "insert into n values('two')",
        "insert into n values('\xB1\xCA\xBB\xAD')"});  // 笔画 in GBK
  CSQLDirect db;
  Open(db);
  ASSERT_EQ(db.ExecuteSQL("select v from n order by rowid"), 1);
  std::vector<std::string> got;
  while (db.Fetch(0) == 1) {
    got.push_back(LPCTSTR(db.GetCol(1)));
    EXPECT_EQ(db.GetCol("v", ""), got.back().c_str());
  }
  EXPECT_EQ(got, (std::vector<std::string>{"one", "two", "\xB1\xCA\xBB\xAD"}));  // bytes come back as stored
}

TEST_F(SqlDirect, OneValueQueries) {
  Exec({"create table e(v integer)"});
  CSQLDirect db;
  Open(db);
  long l = 0;
  double d = 0;
  CString s;
  EXPECT_EQ(db.GetExeSqlData("select 42", l), 1);
  EXPECT_EQ(l, 42);
  EXPECT_EQ(db.GetExeSqlData("select ' 2.5 '", d), 1);
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(db.GetExeSqlData("select '  hi  '", s), 1);
  EXPECT_EQ(s, "hi");
  l = 7;
  EXPECT_EQ(db.GetExeSqlData("select v from e", l), 0);  // no row
  EXPECT_EQ(l, 7);
  EXPECT_EQ(db.GetExeSqlData("selec 1", l), 0);
}

TEST_F(SqlDirect, FailuresGiveThePartsResults) {
  CSQLDirect db;
  db.Init();
  EXPECT_LT(db.Connect(0, "missing", "", ""), 0);
  EXPECT_EQ(db.m_nOpen, 1);  // after any attempt
  CString text;
  EXPECT_EQ(db.ExecuteSQL("select 1"), 0);  // no statement
  EXPECT_EQ(db.Fetch(0), 0);
  EXPECT_EQ(db.GetCol(1), "");

  CSQLDirect ok;
  Open(ok);
  EXPECT_EQ(ok.ExecuteSQL("selec 1"), 0);
  ok.GetError(text);
  EXPECT_EQ(text, "[SQLite]near \"selec\": syntax error (1)");
  EXPECT_EQ(ok.Prepare("select nothing from nowhere"), SQL_ERROR);
  EXPECT_EQ(ok.Prepare("select 1"), SQL_SUCCESS);
  EXPECT_EQ(ok.ExecuteSQL(nullptr), 0);
  EXPECT_EQ(ok.ExecuteSQL("select 1"), 1);
  EXPECT_EQ(ok.Fetch(0), 1);
  EXPECT_EQ(ok.Fetch(0), 0);
  ok.GetError(text);
  EXPECT_EQ(text, "");  // the end of the rows carries no error text

  CSQLDirect fresh;  // before Init there is no error buffer
  fresh.GetError(text);
  EXPECT_EQ(text, "");
}

TEST_F(SqlDirect, ConnectIsRefusedWhileOpenAndCloseKeepsNoConnectionBehind) {
  Exec({"create table k(v integer)", "insert into k values(5)"});
  CSQLDirect db;
  Open(db);
  const size_t connects = Calls("SQLConnect").size();
  EXPECT_EQ(db.Connect(0, dsn_.c_str(), "", ""), 0);  // refused without any call
  EXPECT_EQ(Calls("SQLConnect").size(), connects);
  long v = 0;
  EXPECT_EQ(db.GetExeSqlData("select v from k", v), 1);  // the connection is untouched
  EXPECT_EQ(v, 5);

  // Close: a new statement on the same connection, and Connect may run again.
  ASSERT_EQ(db.ExecuteSQL("select v from k"), 1);
  db.Close();
  EXPECT_EQ(db.m_nOpen, 0);
  EXPECT_EQ(db.GetExeSqlData("select v + 1 from k", v), 1);
  EXPECT_EQ(v, 6);
  const size_t disconnects = Calls("SQLDisconnect").size();
  EXPECT_EQ(db.Connect(7, dsn_.c_str(), "", ""), SQL_SUCCESS);
  EXPECT_EQ(db.m_nConnectArg, 7);
  EXPECT_EQ(Calls("SQLDisconnect").size(), disconnects + 1);  // the old connection was ended
  EXPECT_EQ(db.GetExeSqlData("select v + 2 from k", v), 1);
  EXPECT_EQ(v, 7);

  db.DisConn();
  EXPECT_EQ(db.m_nOpen, 0);
  EXPECT_EQ(db.m_pszError, nullptr);
  EXPECT_EQ(db.m_hDbc, nullptr);
  db.Init();
  EXPECT_EQ(db.Connect(0, dsn_.c_str(), "", ""), SQL_SUCCESS);
}

TEST_F(SqlDirect, TablesAndTheirColumns) {
  CSQLDirect none;
  EXPECT_EQ(none.ListAllTable(nullptr), 0);  // no connection
  EXPECT_EQ(none.DescTable("t"), 0);

  Exec({"create table pupils(name varchar(12), age integer, photo blob)", "create table lessons(id integer)",
        "create view older as select name from pupils", "insert into lessons values(1)",
        "insert into lessons values(2)"});
  CSQLDirect db;
  Open(db);
  ASSERT_EQ(db.ExecuteSQL("select id from lessons"), 1);  // a cursor left open
  ASSERT_EQ(db.Fetch(0), 1);
  char table[] = "TABLE";
  ASSERT_EQ(db.ListAllTable(table), 1);
  std::vector<std::string> tables = Names(db.m_TableNames);
  std::sort(tables.begin(), tables.end());
  EXPECT_EQ(tables, (std::vector<std::string>{"lessons", "pupils"}));
  ASSERT_EQ(db.ListAllTable(nullptr), 1);
  EXPECT_EQ(db.m_TableNames.GetSize(), 3);
  ASSERT_EQ(db.ListAllTable(table), 1);
  EXPECT_EQ(db.GetTableName(2), "");
  EXPECT_EQ(db.GetTableName(-1), "");

  const int pupils = db.GetTableName(0) == "pupils" ? 0 : 1;
  EXPECT_EQ(db.DescTable(2), 0);
  ASSERT_EQ(db.DescTable(pupils), 1);
  EXPECT_EQ(Names(db.m_ColumnNames), (std::vector<std::string>{"name", "age", "photo"}));
  EXPECT_EQ(Names(db.m_TypeNames), (std::vector<std::string>{"varchar(12)", "INTEGER", "BLOB"}));
  ASSERT_EQ(db.m_ColumnTypes.GetSize(), 3);
  EXPECT_EQ(int(db.m_ColumnTypes[0]), SQL_VARCHAR);
  EXPECT_EQ(int(db.m_ColumnTypes[1]), SQL_INTEGER);
  EXPECT_EQ(int(db.m_ColumnTypes[2]), SQL_BINARY);
  EXPECT_EQ(db.m_ColumnSizes[0], 12u);

  // The description's buffers are gone: a wider result fetched afterwards on
  // the same statement must land in its own columns only.
  ASSERT_EQ(db.ExecuteSQL("select 1, 2, 3, 'four', 5, 'six', 7, 8"), 1);
  ASSERT_EQ(db.Fetch(0), 1);
  EXPECT_EQ(db.GetCol(4), "four");
  EXPECT_EQ(db.GetCol(7), "7");
  EXPECT_EQ(Names(db.m_ColumnNames), (std::vector<std::string>{"name", "age", "photo"}));

  ASSERT_EQ(db.DescTable("nosuch"), 1);
  EXPECT_EQ(db.m_ColumnNames.GetSize(), 0);
  EXPECT_EQ(db.m_ColumnSizes.GetSize(), 0);
  EXPECT_EQ(db.DescTable(std::string(300, 't').c_str()), 0);
}

TEST_F(SqlDirect, DataSourcesByKind) {
  AddDsn("u2", dir_ + "/u2.db", false);
  AddDsn("s1", dir_ + "/s1.db", true);
  struct Case {
    unsigned char kind;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {1, {"s1"}},        // m_chUserKind: the system's
      {2, {dsn_, "u2"}},  // m_chSystemKind: the user's
      {3, {dsn_, "u2", "s1"}},
  };
  for (const Case& c : cases) {
    CSQLDirect db;
    EXPECT_EQ(db.InitDsnList(c.kind), 1);
    EXPECT_EQ(Names(db.m_DsnNames), c.names) << int(c.kind);
    EXPECT_EQ(db.m_strDsnMessage, "No more DSNs to enumerate");
    EXPECT_EQ(db.m_nDsnResult, SQL_SUCCESS);  // freeing the listing's environment
    EXPECT_EQ(db.m_hDsnEnv, nullptr);
  }
  CSQLDirect db;
  EXPECT_EQ(db.InitDsnList(db.m_chUserKind), 1);
  EXPECT_EQ(db.InitDsnList(db.m_chUserKind), 1);
  EXPECT_EQ(Names(db.m_DsnNames), (std::vector<std::string>{"s1", "s1"}));  // not emptied first
  EXPECT_EQ(db.InitDsnList(4), 1);
  EXPECT_EQ(db.m_DsnNames.GetSize(), 2);
  EXPECT_EQ(db.m_strDsnMessage, "Unknown DSN type");
  EXPECT_EQ(db.m_nDsnResult, SQL_SUCCESS);
}

TEST_F(SqlDirect, CreateDsnGoesThroughTheInstallerToTheDriversSetup) {
  const std::string made = dir_ + "/made.db";
  const std::string attributes = std::string("DSN=made\0Database=", 18) + made + '\0';
  CSQLDirect db;
  EXPECT_EQ(db.CreateDsn(CString(attributes.data(), int(attributes.size())), "QuarvelSQLite"), 1);
  EXPECT_EQ(Slurp(dir_ + "/setup.log"), std::string("QuarvelSQLite\0", 14) + attributes + '\0');
  // A list whose last entry has no zero byte of its own is ended all the same.
  EXPECT_EQ(db.CreateDsn("DSN=plain", "QuarvelSQLite"), 1);
  EXPECT_EQ(Slurp(dir_ + "/setup.log"), std::string("QuarvelSQLite\0DSN=plain\0\0", 25));

  EXPECT_EQ(db.InitDsnList(db.m_chSystemKind), 1);  // the user's
  EXPECT_EQ(Names(db.m_DsnNames), (std::vector<std::string>{dsn_, "made", "plain"}));
  CSQLDirect conn;
  conn.Init();
  ASSERT_EQ(conn.Connect(0, "made", "", ""), SQL_SUCCESS);
  EXPECT_EQ(conn.ExecuteSQL("create table m(v integer)"), 1);
  EXPECT_TRUE(fs::exists(made));

  fs::remove(dir_ + "/setup.log");
  EXPECT_EQ(db.CreateDsn("", "QuarvelSQLite"), 0);
  EXPECT_EQ(db.CreateDsn("DSN=x", ""), 0);
  EXPECT_EQ(db.CreateDsn("DSN=x", "No Such Driver"), 0);
  EXPECT_FALSE(fs::exists(dir_ + "/setup.log"));
}

TEST_F(SqlDirect, CreateAccessDsnPassesTheAttributeListToTheAccessDriver) {
  CSQLDirect db;
  // Not registered: the installer fails, and so does the call.
  EXPECT_EQ(db.CreateAccessDsn("N", "D:\\db\\a.mdb"), 0);
  EXPECT_FALSE(fs::exists(dir_ + "/setup.log"));

  RegisterDrivers({"Microsoft Access Driver (*.mdb)"});
  EXPECT_EQ(db.CreateAccessDsn("N", "D:\\db\\a.mdb"), 1);
  const std::string want("Microsoft Access Driver (*.mdb)\0"
                         "DSN=N\0 DBQ=D:\\db\\a.mdb\0 DEFAULTDIR=D:\\db\0\0",
                         32 + 42);
  EXPECT_EQ(Slurp(dir_ + "/setup.log"), want);
  EXPECT_EQ(db.InitDsnList(db.m_chSystemKind), 1);  // the user's
  EXPECT_EQ(Names(db.m_DsnNames), (std::vector<std::string>{dsn_, "N"}));

  EXPECT_EQ(db.CreateAccessDsn("L", "/srv/db/a.mdb"), 1);  // a Linux path: its folder
  EXPECT_EQ(Slurp(dir_ + "/setup.log"),
            std::string("Microsoft Access Driver (*.mdb)\0DSN=L\0 DBQ=/srv/db/a.mdb\0 DEFAULTDIR=/srv/db\0\0",
                        32 + 46));

  fs::remove(dir_ + "/setup.log");
  const char* refused[][2] = {
      {"", "D:\\db\\a.mdb"}, {"N", ""},  {"N", "a.mdb"}, {"N", "\\a.mdb"},  // no folder
      {"x? UID=a", "D:\\db\\a.mdb"},  {"N", "D:\\db?\\a.mdb"},           // '?' would split the list
  };
  for (const auto& r : refused) EXPECT_EQ(db.CreateAccessDsn(r[0], r[1]), 0) << r[0] << " " << r[1];
  EXPECT_FALSE(fs::exists(dir_ + "/setup.log"));
}

// ---- binary columns ---------------------------------------------------------------

class BinaryColumns : public OdbcTest {
 protected:
  void SetUp() override {
    OdbcTest::SetUp();
    Exec({"create table files(id integer unique, size integer, name text, data blob)"});
    Open(db_);
    out_ = fs::path(dir_) / "drives" / "D" / "out";
    fs::create_directories(out_);
  }
  // Stores `bytes` as row `id` through a file insert with `chunk`.
  int Store(int id, const std::string& name, const std::string& bytes, int chunk) {
    const std::string file = dir_ + "/in.bin";
    std::ofstream(file, std::ios::binary) << bytes;
    const std::string sql = "insert into files values(" + std::to_string(id) + ", " + std::to_string(bytes.size()) +
                            ", '" + name + "', ?)";
    return db_.ExecuteSQL_InsertBinaryFile(sql.c_str(), file.c_str(), chunk);
  }
  static std::string Row(int id) {
    return "select size, name, data from files where id = " + std::to_string(id);
  }
  std::vector<std::string> PieceSizes(const std::vector<Call>& calls) {
    std::vector<std::string> sizes;
    for (const Call& c : calls)
      if (c.params.count("Target Type") && c.params.at("Target Type").rfind("-2", 0) == 0)
        sizes.push_back(c.params.at("Buffer Length"));
    return sizes;
  }
  CSQLDirect db_;
  fs::path out_;
};

TEST_F(BinaryColumns, TenBytesGoInPiecesOfThreeAndComeBackInPiecesOfFour) {
  const std::string bytes("\x00\x01\x02\xFF\x10\x00\x7F\x80\x41\x00", 10);
  ASSERT_EQ(Store(1, "ten.bin", bytes, 3), 1);
  std::vector<std::string> puts;
  for (const Call& c : Calls("SQLPutData")) puts.push_back(c.params.at("StrLen"));
  EXPECT_EQ(puts, (std::vector<std::string>{"3", "3", "3", "1"}));

  const size_t before = Trace().size();
  unsigned char* data = nullptr;
  long length = -1;
  ASSERT_EQ(db_.ExecuteSQL_GetBinaryString("select size, data from files where id = 1", &data, &length, 4), 1);
  std::unique_ptr<unsigned char[]> owned(data);
  ASSERT_EQ(length, 10);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size_t(length)), bytes);
  std::vector<Call> calls = Trace();
  calls.erase(calls.begin(), calls.begin() + long(before));
  EXPECT_EQ(PieceSizes(calls), (std::vector<std::string>{"4", "4", "2"}));
}

TEST_F(BinaryColumns, AFileLargerThanTheChunkRoundTripsIntoTheFolder) {
  const std::string bytes = Bytes(100003, 1);
  ASSERT_EQ(Store(1, "x.bin", bytes, 4096), 1);
  const char* folders[] = {"D:\\out", "D:\\out\\", "D:/out/"};
  const char* paths[] = {"D:\\out\\x.bin", "D:\\out\\x.bin", "D:/out/x.bin"};
  for (int i = 0; i < 3; ++i) {
    fs::remove(out_ / "x.bin");
    CString path = folders[i];
    ASSERT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(1).c_str(), path, 5000), 1) << folders[i];
    EXPECT_EQ(path, paths[i]);
    EXPECT_EQ(Slurp((out_ / "x.bin").string()), bytes);
  }
  // The value also comes back in memory, in one piece as large as itself.
  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(db_.ExecuteSQL_GetBinaryString("select size, data from files", &data, &length, 1 << 30), 1);
  std::unique_ptr<unsigned char[]> owned(data);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size_t(length)), bytes);

  // Inserting from memory gives the same stored bytes.
  const std::string sql = "insert into files values(2, " + std::to_string(bytes.size()) + ", 'y.bin', ?)";
  std::string copy = bytes;
  ASSERT_EQ(db_.ExecuteSQL_InsertBinaryString(sql.c_str(), reinterpret_cast<unsigned char*>(&copy[0]),
                                              long(copy.size()), 777),
            1);
  CString path = "D:\\out";
  ASSERT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(2).c_str(), path, 65536), 1);
  EXPECT_EQ(Slurp((out_ / "y.bin").string()), bytes);
}

TEST_F(BinaryColumns, StoredNamesAreFilesOfTheFolderAndKeepTheirGbkSpelling) {
  ASSERT_EQ(Store(1, "\xB1\xCA.bin", "stroke", 4), 1);  // 笔.bin
  CString path = "D:\\out";
  ASSERT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(1).c_str(), path, 4), 1);
  EXPECT_EQ(Slurp((out_ / u8"笔.bin").string()), "stroke");

  const char* hostile[] = {"..\\up.bin", "../up.bin", "/tmp/abs.bin", "C:x.bin", "..", ".", "sub\\x.bin", ""};
  int id = 10;
  for (const char* name : hostile) {
    ASSERT_EQ(Store(id, name, "bad", 4), 1) << name;
    CString folder = "D:\\out";
    EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(id).c_str(), folder, 4), 0) << name;
    ++id;
  }
  EXPECT_FALSE(fs::exists(out_.parent_path() / "up.bin"));
  EXPECT_FALSE(fs::exists("/tmp/abs.bin"));
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(out_)) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, (std::vector<std::string>{u8"笔.bin"}));
}

TEST_F(BinaryColumns, EmptyValuesAndShortValuesAreRefusedAndWriteNothing) {
  // A file of zero bytes is not stored; a stored value of size 0 is not read.
  EXPECT_EQ(Store(1, "empty.bin", "", 4), 0);
  long count = -1;
  EXPECT_EQ(db_.GetExeSqlData("select count(*) from files", count), 1);
  EXPECT_EQ(count, 0);
  Exec({"insert into files values(2, 0, 'zero.bin', x'')",
        // The row claims 20 bytes and holds 10.
        "insert into files values(3, 20, 'short.bin', x'00112233445566778899')",
        "insert into files values(4, 5, 'null.bin', NULL)",
        // 12 claimed, 10 held: the last piece of 4 comes back with 2.
        "insert into files values(5, 12, 'twelve.bin', x'00112233445566778899')"});
  CString path = "D:\\out";
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(2).c_str(), path, 4), 0);
  for (int id : {3, 4, 5}) {
    path = "D:\\out";
    EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(id).c_str(), path, 4), 0) << id;
  }
  EXPECT_TRUE(fs::is_empty(out_));  // not even part of a file

  // A file that was there before a failed read stays as it was.
  std::ofstream(out_ / "short.bin") << "old";
  path = "D:\\out";
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(3).c_str(), path, 4), 0);
  EXPECT_EQ(Slurp((out_ / "short.bin").string()), "old");
  // A folder in the place of the file: nothing can be put there.
  fs::create_directory(out_ / "dir.bin");
  ASSERT_EQ(Store(6, "dir.bin", "data", 4), 1);
  path = "D:\\out";
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(6).c_str(), path, 4), 0);
  EXPECT_TRUE(fs::is_directory(out_ / "dir.bin"));

  unsigned char* data = nullptr;
  long length = -1;
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryString("select size, data from files where id = 2", &data, &length, 4), 0);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryString("select size, data from files where id = 3", &data, &length, 4), 0);
  std::unique_ptr<unsigned char[]> owned(data);  // the caller's, also after a failed piece
  EXPECT_EQ(length, 20);
  EXPECT_NE(data, nullptr);
}

TEST_F(BinaryColumns, RefusedArgumentsMakeNoOdbcCall) {
  const size_t before = Trace().size();
  CString path = "D:\\out";
  unsigned char byte = 1;
  unsigned char* data = nullptr;
  long length = 0;
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(1).c_str(), path, 0), 0);
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryFile("", path, 4), 0);
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryString(Row(1).c_str(), &data, &length, 0), 0);
  EXPECT_EQ(db_.ExecuteSQL_GetBinaryString(Row(1).c_str(), nullptr, &length, 4), 0);
  EXPECT_EQ(db_.ExecuteSQL_InsertBinaryFile("insert into files values(1, 1, 'a', ?)", "", 4), 0);
  EXPECT_EQ(db_.ExecuteSQL_InsertBinaryFile("", "in.bin", 4), 0);
  EXPECT_EQ(db_.ExecuteSQL_InsertBinaryFile("insert into files values(1, 1, 'a', ?)", "in.bin", 0), 0);
  EXPECT_EQ(db_.ExecuteSQL_InsertBinaryString("insert into files values(1, 1, 'a', ?)", &byte, 1, 0), 0);
  EXPECT_EQ(Trace().size(), before);
  EXPECT_EQ(path, "D:\\out");
}

TEST_F(BinaryColumns, AFailedInsertLeavesTheStatementUsable) {
  ASSERT_EQ(Store(1, "a.bin", "first", 2), 1);
  EXPECT_EQ(Store(1, "a.bin", "again", 2), 0);                         // the unique id refuses it at the end
  EXPECT_EQ(db_.ExecuteSQL_InsertBinaryFile("insert into files values(5, 1, 'm', ?)",
                                            (dir_ + "/missing").c_str(), 4),
            0);
  EXPECT_EQ(db_.ExecuteSQL_InsertBinaryFile("insert into nowhere values(?)", (dir_ + "/in.bin").c_str(), 4), 0);
  long count = 0;
  ASSERT_EQ(db_.GetExeSqlData("select count(*) from files", count), 1);
  EXPECT_EQ(count, 1);

  // A file that gives fewer bytes than its size promised fails half-way,
  // after pieces went out: the statement must not be left waiting for more.
  const char* shorter = "/sys/devices/system/cpu/online";  // 4096 by its status, a few bytes to read
  if (fs::exists(shorter)) {
    EXPECT_EQ(db_.ExecuteSQL_InsertBinaryFile("insert into files values(6, 4096, 'cpu', ?)", shorter, 2), 0);
    EXPECT_GE(Calls("SQLPutData").size(), 1u);
    ASSERT_EQ(db_.GetExeSqlData("select count(*) from files", count), 1);
    EXPECT_EQ(count, 1);
  }
  // Nothing stays bound to the parameter of an insert that is over (its
  // indicator is gone): the driver sees the marker unbound.
  EXPECT_EQ(db_.ExecuteSQL("select ?"), 0);
  CString text;
  db_.GetError(text);
  EXPECT_EQ(text, "[SQLite]unbound parameters in query");
  ASSERT_EQ(Store(2, "b.bin", "second", 4), 1);
  CString path = "D:\\out";
  ASSERT_EQ(db_.ExecuteSQL_GetBinaryFile(Row(2).c_str(), path, 4), 1);
  EXPECT_EQ(Slurp((out_ / "b.bin").string()), "second");
}

TEST_F(BinaryColumns, ALongBinaryColumnReadsAsItsBytes) {
  Exec({"create table raw(v longvarbinary)", "insert into raw values(x'4100424320')"});
  ASSERT_EQ(db_.ExecuteSQL("select v from raw"), 1);
  ASSERT_EQ(db_.Fetch(0), 1);
  ASSERT_EQ(db_.GetColumnType(1), SQL_LONGVARBINARY);
  const CString v = db_.GetCol(1);
  EXPECT_EQ(std::string(LPCTSTR(v), size_t(v.GetLength())), std::string("A\0BC", 4));  // the blank trimmed
}
