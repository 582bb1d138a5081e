// Each ODBC test gets its own driver manager configuration: the SQLite3
// ODBC driver registered as "QuarvelSQLite" (with the test setup library),
// a user data source (named dsn_) on a fresh database, a drives root, and
// the driver manager's trace, so that tests can see which calls reached ODBC.
// The driver manager fixes the system configuration folder ($ODBCSYSINI)
// and its trace settings at their first use in a process, so the tests of a
// program share that folder, rewriting its files for each test, and one
// trace file, which each test reads from where it stood at its start. Data
// source settings read through the driver manager may be cached for a
// moment by name, so each test's data source has a name of its own.
#pragma once
#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "merrobase/sql_direct.h"

class OdbcTest : public ::testing::Test {
 protected:
  struct Call {
    std::string function;                       // "SQLGetData"
    std::map<std::string, std::string> params;  // "Buffer Length" -> "4"
  };

  void SetUp() override {
    dir_ = ThisTestFolder();
    ASSERT_FALSE(dir_.empty()) << "run through scripts/test-env";
    const char* sys = getenv("ODBCSYSINI");
    ASSERT_NE(sys, nullptr);
    sys_ = sys;
    std::filesystem::create_directories(dir_);
    setenv("ODBCINI", (dir_ + "/user.ini").c_str(), 1);
    setenv("QUARVEL_ODBC_SETUP_LOG", (dir_ + "/setup.log").c_str(), 1);
    setenv("QUARVEL_DRIVES", (dir_ + "/drives").c_str(), 1);
    trace_ = std::string(getenv("QUARVEL_TEST_DIR")) + "/odbc-trace.log";
    traceStart_ = std::filesystem::exists(trace_) ? std::filesystem::file_size(trace_) : 0;
    RegisterDrivers({});
    std::ofstream(sys_ + "/odbc.ini");
    std::ofstream(dir_ + "/user.ini");
    static int serial = 0;
    dsn_ = "quarvel" + std::to_string(++serial);
    AddDsn(dsn_, dir_ + "/quarvel.db", false);
  }

  // odbcinst.ini: the SQLite3 driver as "QuarvelSQLite" and under `more`
  // names too.
  void RegisterDrivers(const std::vector<std::string>& more) {
    std::ofstream f(sys_ + "/odbcinst.ini");
    f << "[ODBC]\nTrace=Yes\nTraceFile=" << trace_ << "\n";
    std::vector<std::string> names{"QuarvelSQLite"};
    names.insert(names.end(), more.begin(), more.end());
    for (const std::string& name : names)
      f << "\n[" << name << "]\nDriver=" << QUARVEL_SQLITE_ODBC_DRIVER << "\nSetup=" << QUARVEL_ODBC_SETUP << "\n";
  }

  // A data source of the QuarvelSQLite driver on `database`, in the user's
  // or the system's odbc.ini.
  void AddDsn(const std::string& name, const std::string& database, bool system) {
    std::ofstream(system ? sys_ + "/odbc.ini" : dir_ + "/user.ini", std::ios::app)
        << "[" << name << "]\nDriver=QuarvelSQLite\nDatabase=" << database << "\n\n";
  }

  // A connected object on the test's data source.
  void Open(CSQLDirect& db) {
    db.Init();
    ASSERT_EQ(db.Connect(0, dsn_.c_str(), "", ""), SQL_SUCCESS);
  }

  // Runs each statement on a connection of its own.
  void Exec(const std::vector<std::string>& statements) {
    CSQLDirect db;
    Open(db);
    for (const std::string& s : statements) ASSERT_EQ(db.ExecuteSQL(s.c_str()), 1) << s;
  }

  // The calls the driver manager has traced in this test so far, in order.
  std::vector<Call> Trace() const {
    std::ifstream f(trace_);
    f.seekg(std::streamoff(traceStart_));
    std::vector<Call> calls;
    std::string line, function;
    bool entry = false;
    while (std::getline(f, line)) {
      if (line.rfind("[ODBC]", 0) == 0) {
        size_t c = line.find(".c]");
        size_t open = line.rfind('[', c);
        function = c == std::string::npos ? "" : line.substr(open + 1, c - open - 1);
        entry = false;
      } else if (line.find("Entry:") != std::string::npos) {
        calls.push_back({function, {}});
        entry = true;
      } else if (entry && line.find(" = ") != std::string::npos) {
        size_t from = line.find_first_not_of('\t'), eq = line.find(" = ");
        std::string value = line.substr(eq + 3);
        while (!value.empty() && value.back() == ' ') value.pop_back();
        calls.back().params[line.substr(from, eq - from)] = value;
      }
    }
    return calls;
  }
  std::vector<Call> Calls(const std::string& function) const {
    std::vector<Call> out;
    for (const Call& c : Trace())
      if (c.function == function) out.push_back(c);
    return out;
  }

  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string dir_;
  std::string dsn_;
  std::string sys_;
  std::string trace_;
  uintmax_t traceStart_ = 0;
};
