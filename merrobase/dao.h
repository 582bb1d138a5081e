// CMerroDao: the base library's scrambled form of files and strings.
//
// A scrambled file (or string) of T bytes is a 6-byte stored header followed
// by n = T - 6 >= 1 data bytes. The raw header H0..H5 is drawn from a
// 62-character alphabet; it is stored mixed with a mask letter chosen by the
// parity of T, and data byte p is XORed with H3, H4 or H5 by p mod 3. The
// mask only reaches H0..H2, so a reader needs nothing but the stored header.
//
// Results are 1 = done, 0 = failed; nothing is shown and no exception leaves
// an operation. Files are rewritten through a temporary file and a rename.
// A buffer handed out by On_JieMi_File is the caller's, freed with operator
// delete; a non-NULL *buf passed in is freed first.
#pragma once
#include <functional>
#include <vector>

#include "platform/mfc/afx.h"

class CMerroDao {
 public:
  CMerroDao();
  ~CMerroDao();
  CMerroDao(const CMerroDao&) = default;
  CMerroDao& operator=(const CMerroDao& other);
  void test();

  // Scrambles the file in place (n bytes become n + 6); an empty file is
  // refused and left empty.
  int On_JiaMi_File(CString name);
  // The whole data of a scrambled file in a new buffer; *len = data length.
  int On_JieMi_File(CString name, unsigned char** buf, long& len);
  // `length` data bytes from data position `offset`; bytes past the end of
  // the data are zero. Negative offset or length: 0, *buf untouched.
  int On_JieMi_File(CString name, unsigned char** buf, long offset, long length);
  // Unscrambles the file in place.
  int On_JieMi_File(CString name);
  int On_JiaMi_String(CString& text);
  int On_JieMi_String(CString& text);
  // Appends the second file's data to the first's and leaves the first
  // scrambled; with scrambled = 1 both inputs are taken as scrambled.
  // ".bak" copies of both are made first; the second file is not changed.
  int On_Merge_File(CString first, CString second, int scrambled);

  int m_nSleep;              // pause in ms between two header-character draws
  unsigned char m_Dao[6];    // stored header (raw while data is transformed)
  long m_nLength;            // total scrambled length T, header included
  // Source of the header draws; empty: the runtime generator seeded from the
  // clock at every draw. Tests set it to get known headers.
  std::function<int()> m_fnKeySource;

 private:
  int On_Create_Key();
  void On_Create_Dao();
  char On_Get_0();
  void On_JiaMiDao();
  void On_JieMiDao();
  int On_Get_Dao_Key(long pos, char& key);
  void On_Deal(unsigned char** data, long start, long length);
  int On_JiaMi(unsigned char* data, long start, long length);
  int On_JieMi(unsigned char** data, long start, long length);
  int On_Get_DAO(CFile* file);
  int On_Get_DAO(const CString& text);
  int On_Read_Plain(const CString& name, int scrambled, std::vector<BYTE>& out);
  bool On_Read_JieMi(CFile& file, unsigned char* data, long n);
};
