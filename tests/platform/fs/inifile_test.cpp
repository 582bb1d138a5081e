#include "platform/fs/inifile.h"

#include "fs_fixture.h"
#include "platform/fs/files.h"
#include "platform/text/gbk.h"

#include <climits>
#include <cstdio>
#include <functional>

// Literals are GBK at run time, as the settings files are.
class IniTest : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    std::filesystem::create_directories(Root() + "/C/system");
  }
  std::string Disk() const { return Root() + "/C/system/datb.sec"; }
  TIniFile Ini() const { return TIniFile("C:\\system\\datb.sec"); }

  // The file as Python's configparser reads it as GBK: "section|key|value" lines.
  std::string PythonRead() const {
    const std::string cmd =
        "python3 -c 'import configparser, sys\n"
        "c = configparser.RawConfigParser(strict=False)\n"
        "c.optionxform = str\n"
        "c.read(sys.argv[1], encoding=\"gbk\")\n"
        "out = \"\".join(\"%s|%s|%s\\n\" % (s, k, v) for s in c.sections() for k, v in c.items(s))\n"
        "sys.stdout.buffer.write(out.encode(\"gbk\"))' " +
        Disk();
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
      char buf[4096];
      for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
      EXPECT_EQ(pclose(p), 0);
    }
    return out;
  }
};

namespace {

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t i = 0; (i = s.find(from, i)) != std::string::npos; i += to.size()) s.replace(i, from.size(), to);
  return s;
}

// A settings file as Windows leaves it: CR LF, no line end after the last line.
const std::string kWindowsForm =
    "orphan=1\r\n"
    "[empty]\r\n"
    "[tec]\r\n"
    "mum = 3\r\n"
    "Te1=  张三 \r\n"
    "te0=教师0\r\n"
    "Drive=D\r\n"
    "\r\n"
    "[教师0]\r\n"
    "CE=2\r\n"
    "frn=$FF\r\n"
    "blk=0x808080\r\n"
    "bh= 5\r\n"
    "; comment\r\n"
    "ma=0";

}  // namespace

TEST_F(IniTest, ReadsWindowsFilesWithCrLfLfOrUtf8Bom) {
  const std::string forms[] = {
      kWindowsForm,
      kWindowsForm + "\r\n",
      kWindowsForm + "\r",  // cut short between CR and LF
      Replace(kWindowsForm, "\r\n", "\n"),
      "\xEF\xBB\xBF" + gbk::ToUtf8(kWindowsForm),
  };
  for (const std::string& form : forms) {
    SCOPED_TRACE(form.substr(0, 3) == "\xEF\xBB\xBF" ? "utf-8" : form.find('\r') ? "crlf" : "lf");
    Put(Disk(), form);
    const TIniFile ini = Ini();
    EXPECT_EQ(ini.ReadInteger("TEC", "MUM", 1), 3);
    EXPECT_EQ(ini.ReadString("tec", "TE1", ""), "张三");
    EXPECT_EQ(ini.ReadString("Tec", " te0 ", ""), "教师0");
    EXPECT_EQ(ini.ReadString("tec", "drive", "C"), "D");
    EXPECT_EQ(ini.ReadInteger("教师0", "ce", 1), 2);
    EXPECT_EQ(ini.ReadInteger("教师0", "frn", 0), 255);
    EXPECT_EQ(ini.ReadInteger("教师0", "blk", 0), 8421504);
    EXPECT_EQ(ini.ReadString("教师0", "bh", "2"), "5");
    EXPECT_EQ(ini.ReadString("教师0", "ma", "x"), "0");
    EXPECT_EQ(ini.ReadString("教师0", "te0", "none"), "none");  // keys belong to their section
    EXPECT_EQ(ini.ReadString("", "orphan", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("教师1", "ce", 7), 7);
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"empty", "tec", "教师0"}));
    EXPECT_EQ(ini.ReadSection("教师0"), (std::vector<std::string>{"CE", "frn", "blk", "bh", "ma"}));
    EXPECT_TRUE(ini.ReadSection("empty").empty());
    EXPECT_TRUE(ini.SectionExists("EMPTY"));
    EXPECT_FALSE(ini.SectionExists("none"));
    EXPECT_TRUE(ini.ValueExists("tec", "DRIVE"));
    EXPECT_FALSE(ini.ValueExists("tec", "te9"));
  }
  const TIniFile missing("C:\\system\\none.sec");
  EXPECT_EQ(missing.ReadString("tec", "te1", "教师1"), "教师1");
  EXPECT_EQ(missing.ReadInteger("tec", "mum", 1), 1);
  EXPECT_TRUE(missing.ReadSections().empty());
}

TEST_F(IniTest, IntegersReadAsDecimalOrHexElseTheDefault) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"12", 12},          {"-7", -7},          {"+5", 5},         {" 42 ", 42},
      {"$1F", 31},         {"0x1F", 31},        {"0X1f", 31},      {"$FFFFFFFF", -1},
      {"$00808080", 8421504}, {"-2147483648", INT_MIN}, {"2147483647", INT_MAX},
      {"2147483648", -99}, {"$100000000", -99}, {"12abc", -99},    {"abc", -99},
      {"", -99},           {"0x", -99},         {"$", -99},        {"1 2", -99},
      {"+-1", -99},        {"-", -99},          {"1.5", -99},
  };
  for (const Case& c : cases) {
    Put(Disk(), std::string("[s]\r\nv=") + c.text + "\r\n");
    EXPECT_EQ(Ini().ReadInteger("s", "v", -99), c.value) << '"' << c.text << '"';
  }
  Put(Disk(), "[s]\r\nyes=1\r\nno=0\r\nword=yes\r\n");
  EXPECT_TRUE(Ini().ReadBool("s", "yes", false));
  EXPECT_FALSE(Ini().ReadBool("s", "no", true));
  EXPECT_TRUE(Ini().ReadBool("s", "word", true));
  EXPECT_FALSE(Ini().ReadBool("s", "none", false));
}

TEST_F(IniTest, WritesTheBytesWindowsWrites) {
  TIniFile ini = Ini();
  EXPECT_TRUE(ini.WriteInteger("tec", "mum", 1));
  EXPECT_EQ(Get(Disk()), "[tec]\r\nmum=1\r\n");
  EXPECT_TRUE(ini.WriteString("教师0", "ce", "1"));
  EXPECT_TRUE(ini.WriteInteger("教师0", "frn", 255));
  EXPECT_TRUE(ini.WriteString("TEC", "Drive", "D"));   // new key: end of its section
  EXPECT_TRUE(ini.WriteInteger("tec", "MUM", 2));      // existing key: its place and spelling
  EXPECT_TRUE(ini.WriteInteger(" 教师0 ", "blk", -5));
  EXPECT_TRUE(ini.DeleteKey("教师0", "CE"));
  EXPECT_TRUE(ini.WriteString("A", "dcu", ""));
  EXPECT_TRUE(ini.WriteString("a", "bh", " 3 "));
  EXPECT_TRUE(ini.WriteBool("a", "on", true));
  EXPECT_EQ(Get(Disk()),
            "[tec]\r\nmum=2\r\nDrive=D\r\n"
            "[教师0]\r\nfrn=255\r\nblk=-5\r\n"
            "[A]\r\ndcu=\r\nbh= 3 \r\non=1\r\n");
  EXPECT_EQ(ini.ReadString("A", "BH", ""), "3");
  EXPECT_EQ(PythonRead(),
            "tec|mum|2\ntec|Drive|D\n"
            "教师0|frn|255\n教师0|blk|-5\n"
            "A|dcu|\nA|bh|3\nA|on|1\n");

  EXPECT_TRUE(ini.EraseSection("教师0"));
  EXPECT_EQ(Get(Disk()), "[tec]\r\nmum=2\r\nDrive=D\r\n[A]\r\ndcu=\r\nbh= 3 \r\non=1\r\n");
}

TEST_F(IniTest, ChangesKeepEverythingElseOfTheFile) {
  using Op = std::function<bool(TIniFile&)>;
  const std::string bom = "\xEF\xBB\xBF";
  struct Case {
    std::string before;
    Op op;
    std::string after;
  } cases[] = {
      {"; settings\r\n[a]\r\nx=1\r\n\r\n[b]\r\njunk line\r\ny = 2\r\n",
       [](TIniFile& i) { return i.WriteString("a", "z", "3") && i.WriteString("B", "Y", "4") && i.WriteString("c", "k", "v"); },
       "; settings\r\n[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\njunk line\r\ny=4\r\n[c]\r\nk=v\r\n"},
      {"[a]\r\n\r\n[b]\r\n", [](TIniFile& i) { return i.WriteString("a", "k", "v"); }, "[a]\r\nk=v\r\n\r\n[b]\r\n"},
      {"[a]\r\nx=1", [](TIniFile& i) { return i.WriteString("a", "x", "5"); }, "[a]\r\nx=5"},
      {"[a]\r\nx=1", [](TIniFile& i) { return i.WriteString("a", "y", "2"); }, "[a]\r\nx=1\r\ny=2\r\n"},
      {"[a]\r\nx=1", [](TIniFile& i) { return i.WriteString("b", "k", "v"); }, "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
      {"[a]\r\nx=1\r", [](TIniFile& i) { return i.WriteString("a", "x", "5"); }, "[a]\r\nx=5\r"},
      {"[a]\nx=1\r", [](TIniFile& i) { return i.WriteString("a", "y", "2"); }, "[a]\nx=1\r\ny=2\n"},
      {"x=1\r", [](TIniFile& i) { return i.WriteString("a", "y", "2"); }, "x=1\r\n[a]\r\ny=2\r\n"},
      {"[a]\nx=1\n", [](TIniFile& i) { return i.WriteString("a", "y", "2") && i.WriteString("b", "k", "v"); },
       "[a]\nx=1\ny=2\n[b]\nk=v\n"},
      {bom + "[tec]\r\nte1=" + gbk::ToUtf8("张三") + "\r\n",
       [](TIniFile& i) { return i.WriteString("教师0", "ce", "1") && i.WriteString("TEC", "te1", "李四"); },
       bom + "[tec]\r\nte1=" + gbk::ToUtf8("李四") + "\r\n[" + gbk::ToUtf8("教师0") + "]\r\nce=1\r\n"},
      {"[a]\r\nx=1\r\nX=2\r\n[b]\r\ny=2\r\n[A]\r\nz=3\r\n",
       [](TIniFile& i) { return i.DeleteKey("a", "x") && i.DeleteKey("a", "none") && i.DeleteKey("none", "x"); },
       "[a]\r\n[b]\r\ny=2\r\n[A]\r\nz=3\r\n"},
      {"[a]\r\n; about a\r\nx=1\r\n\r\n[b]\r\ny=2\r\n[A]\r\nz=3\r\n",
       [](TIniFile& i) { return i.EraseSection("A") && i.EraseSection("none"); }, "[b]\r\ny=2\r\n"},
      {"[s]\r\nAbc=1\r\n", [](TIniFile& i) { return i.WriteString("S", "aBC", "2"); }, "[s]\r\nAbc=2\r\n"},
  };
  for (const Case& c : cases) {
    Put(Disk(), c.before);
    TIniFile ini = Ini();
    EXPECT_TRUE(c.op(ini)) << c.before;
    EXPECT_EQ(Get(Disk()), c.after) << c.before;
  }
}

TEST_F(IniTest, GbkNamesCompareByTheirBytes) {
  TIniFile ini = Ini();
  // 丄 is 81 41 and 乤 81 61: their trail bytes differ only in ASCII case.
  ASSERT_TRUE(ini.WriteString("丄", "k", "one"));
  ASSERT_TRUE(ini.WriteString("乤", "k", "two"));
  // 癩 is B0 5D and 癧 B0 5B: trail bytes ']' and '['.
  ASSERT_TRUE(ini.WriteString("癩", "k", "three"));
  ASSERT_TRUE(ini.WriteString("癧", "癩", "four"));
  EXPECT_EQ(Get(Disk()), "[丄]\r\nk=one\r\n[乤]\r\nk=two\r\n[癩]\r\nk=three\r\n[癧]\r\n癩=four\r\n");
  EXPECT_EQ(ini.ReadString("丄", "K", ""), "one");
  EXPECT_EQ(ini.ReadString("乤", "k", ""), "two");
  EXPECT_EQ(ini.ReadString("癩", "k", ""), "three");
  EXPECT_EQ(ini.ReadString("癧", "癩", ""), "four");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"丄", "乤", "癩", "癧"}));
  EXPECT_EQ(PythonRead(), "丄|k|one\n乤|k|two\n癩|k|three\n癧|癩|four\n");
}

TEST_F(IniTest, RefusesWhatTheFileCannotHoldAndMissingFolders) {
  const std::string before = "[s]\r\nk=v\r\n";
  Put(Disk(), before);
  TIniFile ini = Ini();
  struct Case {
    std::string section, key, value;
  } cases[] = {
      {"a]b", "k", "v"}, {"a\r\nb", "k", "v"}, {"", "k", "v"},   {"  ", "k", "v"},
      {"s", "", "v"},    {"s", "a=b", "v"},    {"s", ";k", "v"}, {"s", "[k", "v"},
      {"s", "k\n", "v"}, {"s", "k", "line\r\nbreak"}, {"s", "k", std::string("a\0b", 3)},
      {"\xB0", "k", "v"},  // a lone lead byte would swallow the closing bracket
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ini.WriteString(c.section, c.key, c.value)) << c.section << "/" << c.key;
    EXPECT_EQ(Get(Disk()), before);
  }

  TIniFile nowhere("C:\\no folder\\datb.sec");
  EXPECT_FALSE(nowhere.WriteInteger("tec", "mum", 1));
  EXPECT_FALSE(nowhere.WriteString("tec", "te0", "教师0"));
  EXPECT_TRUE(nowhere.DeleteKey("tec", "mum"));  // nothing there to delete
  EXPECT_TRUE(nowhere.EraseSection("tec"));
  EXPECT_FALSE(IsDir(Root() + "/C/no folder"));

  TIniFile fresh("C:\\system\\new.sec");
  EXPECT_TRUE(fresh.DeleteKey("tec", "mum"));
  EXPECT_FALSE(FileExists("C:\\system\\new.sec"));  // not created by a delete
}
