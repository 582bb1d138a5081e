#include "platform/mfc/collections.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(Arrays, AddGrowRemove) {
  CDWordArray a;
  EXPECT_EQ(a.Add(10), 0);
  EXPECT_EQ(a.Add(20), 1);
  a.SetAtGrow(4, 50);
  EXPECT_EQ(a.GetSize(), 5);
  EXPECT_EQ(a[2], 0u);  // new elements are zero
  a.InsertAt(1, 15, 2);
  a.RemoveAt(0);
  DWORD want[] = {15, 15, 20, 0, 0, 50};
  ASSERT_EQ(a.GetSize(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.GetAt(i), want[i]);
  a[0] = 1;
  a.ElementAt(1) += 1;
  EXPECT_EQ(a.GetData()[0], 1u);
  EXPECT_EQ(a.GetAt(1), 16u);
  a.SetSize(0);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetUpperBound(), -1);
}

TEST(Arrays, OutsideIndexRaisesInsteadOfReadingMemory) {
  CByteArray b;
  b.Add(1);
  EXPECT_THROW(b.GetAt(1), std::out_of_range);
  EXPECT_THROW(b.GetAt(-1), std::out_of_range);
  EXPECT_THROW(b.RemoveAt(0, 2), std::out_of_range);
  EXPECT_THROW(b.InsertAt(-1, 0), std::out_of_range);
  CPtrArray p;
  int x;
  p.Add(&x);
  EXPECT_EQ(p[0], &x);
  CStringArray s;
  s.Add("a");
  s.Add(CString("b"));
  EXPECT_EQ(s.GetAt(1), "b");
}

TEST(CMapStringToOb, LookupReplaceIterate) {
  CMapStringToOb m(10);
  int a, b, c;
  CObject* A = reinterpret_cast<CObject*>(&a);
  CObject* B = reinterpret_cast<CObject*>(&b);
  CObject* C = reinterpret_cast<CObject*>(&c);
  EXPECT_TRUE(m.IsEmpty());
  EXPECT_EQ(m.GetStartPosition(), nullptr);
  CObject* v = C;
  EXPECT_FALSE(m.Lookup("x", v));
  EXPECT_EQ(v, C);  // untouched when absent

  m.SetAt("\xB0\xA1", A);  // 啊
  m.SetAt("k", B);
  m["k"] = C;  // replaces
  m.SetAt("", B);
  EXPECT_EQ(m.GetCount(), 3);
  ASSERT_TRUE(m.Lookup("k", v));
  EXPECT_EQ(v, C);

  std::map<std::string, CObject*> seen;
  for (POSITION pos = m.GetStartPosition(); pos;) {
    CString key;
    CObject* val;
    m.GetNextAssoc(pos, key, val);
    seen[std::string(static_cast<LPCTSTR>(key))] = val;
  }
  EXPECT_EQ(seen, (std::map<std::string, CObject*>{{"\xB0\xA1", A}, {"k", C}, {"", B}}));

  EXPECT_TRUE(m.RemoveKey("k"));
  EXPECT_FALSE(m.RemoveKey("k"));
  m.RemoveAll();
  EXPECT_EQ(m.GetCount(), 0);
}

TEST(CMapStringToOb, ManyKeysStayFindable) {
  CMapStringToOb m;
  for (long i = 0; i < 21003; ++i) {
    CString k;
    k.Format("%ld", i);
    m.SetAt(k, reinterpret_cast<CObject*>(i + 1));
  }
  int n = 0;
  for (POSITION pos = m.GetStartPosition(); pos; ++n) {
    CString k;
    CObject* v;
    m.GetNextAssoc(pos, k, v);
    ASSERT_EQ(reinterpret_cast<long>(v), atol(k) + 1);
  }
  EXPECT_EQ(n, 21003);
}
