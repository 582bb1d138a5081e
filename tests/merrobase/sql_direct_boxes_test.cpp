// CSQLDirect's error boxes ("警告" with the driver's text), shown by an
// application and answered and logged through the environment.
#include "merrobase/sql_direct.h"

#include <gtest/gtest.h>

#include "odbc_fixture.h"
#include "platform/text/gbk.h"
#include "tests/platform/win/test_support.h"

namespace {

class SqlDirectBoxes : public OdbcTest {
 protected:
  void SetUp() override {
    OdbcTest::SetUp();
    test::App();
    setenv("QUARVEL_MSGBOX_LOG", (dir_ + "/boxes.log").c_str(), 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", (dir_ + "/answers").c_str(), 1);
    std::ofstream(dir_ + "/answers") << "OK\nOK\nOK\nOK\nOK\nOK\n";
  }
  std::vector<std::string> Boxes() {
    std::ifstream f(dir_ + "/boxes.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(f, line);) lines.push_back(line);
    return lines;
  }
  static std::string Box(const std::string& text) { return gbk::ToUtf8("警告") + "\t" + text; }
};

}  // namespace

TEST_F(SqlDirectBoxes, FailuresShowTheDriversTextOnceWhenAsked) {
  CSQLDirect quiet;
  Open(quiet);
  EXPECT_EQ(quiet.ExecuteSQL("selec 1"), 0);  // m_nShowError is 0 at first
  EXPECT_EQ(Boxes().size(), 0u);

  CSQLDirect db;
  db.Init();
  db.m_nShowError = 1;
  EXPECT_LT(db.Connect(0, "missing", "", ""), 0);
  EXPECT_EQ(db.Connect(0, dsn_.c_str(), "", ""), 0);  // refused: no call, no box
  db.DisConn();
  db.Init();
  ASSERT_EQ(db.Connect(0, dsn_.c_str(), "", ""), SQL_SUCCESS);
  EXPECT_EQ(db.ExecuteSQL("selec 1"), 0);
  EXPECT_EQ(db.Prepare("select x from nowhere"), SQL_ERROR);
  ASSERT_EQ(db.ExecuteSQL("select 1"), 1);
  EXPECT_EQ(db.Fetch(0), 1);
  EXPECT_EQ(db.Fetch(0), 0);  // the end of the rows: no box

  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         Box("[unixODBC][Driver Manager]Data source name not found and no default driver specified"),
                         Box("[SQLite]near \"selec\": syntax error (1)"),
                         Box("[SQLite]no such table: nowhere (1)"),
                     }));
}

TEST_F(SqlDirectBoxes, FailedCatalogueCallsKeepTheListsOfTheLastOnes) {
  Exec({"create table pupils(name varchar(12), age integer)"});
  CSQLDirect db;
  Open(db);
  db.m_nShowError = 1;
  ASSERT_EQ(db.ListAllTable(nullptr), 1);
  ASSERT_EQ(db.DescTable("pupils"), 1);
  ASSERT_EQ(db.m_TableNames.GetSize(), 1);
  ASSERT_EQ(db.m_ColumnNames.GetSize(), 2);

  // A statement left waiting for its data-at-execution parameter: the
  // driver manager refuses every catalogue call on it.
  SQLFreeStmt(db.m_hStmt, SQL_CLOSE);
  ASSERT_EQ(SQLPrepare(db.m_hStmt, (SQLCHAR*)"insert into pupils(name) values(?)", SQL_NTS), SQL_SUCCESS);
  SQLLEN pending = SQL_DATA_AT_EXEC;
  ASSERT_EQ(SQLBindParameter(db.m_hStmt, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 12, 0, (SQLPOINTER)1, 0,
                             &pending),
            SQL_SUCCESS);
  ASSERT_EQ(SQLExecute(db.m_hStmt), SQL_NEED_DATA);
  EXPECT_EQ(db.ListAllTable(nullptr), 0);
  EXPECT_EQ(db.DescTable("pupils"), 0);
  EXPECT_EQ(db.m_TableNames.GetSize(), 1);
  EXPECT_EQ(db.GetTableName(0), "pupils");
  EXPECT_EQ(db.m_ColumnNames.GetSize(), 2);
  EXPECT_EQ(db.m_TypeNames.GetSize(), 2);
  EXPECT_EQ(db.m_ColumnTypes.GetSize(), 2);
  EXPECT_EQ(db.m_ColumnSizes.GetSize(), 2);
  // The listing reports its failure; the description fails quietly.
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], Box("[unixODBC][Driver Manager]Function sequence error"));
}
