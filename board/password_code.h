// The two kinds of password the manager keeps: a teacher's, stored as a
// code in the settings file, and the administrator's, stored as plain
// digits in a 12-byte record of the data file "sxut.dll".
#pragma once
#include <string>

// Each digit d of the entry (digits only) becomes the decimal text of d * 156 (d >= 5),
// d * 139 (2 to 4) or d * 12 (0 and 1), joined in order; an empty entry
// gives "0", the code of a teacher without password.
std::string EncodePassword(const std::string& entry);

// Bytes 5000..5011 of the data file hold the administrator password, ASCII
// digits padded with blanks; a record starting with a blank means none.
constexpr long kAdminRecordAt = 5000;
constexpr int kAdminRecordSize = 12;

// The record as text: up to its first zero byte, at most 12 bytes; empty
// when the file is missing or too short to hold any of it.
std::string ReadAdminRecord(const std::string& fileName);
// The 12 bytes an entry is stored as: the entry (one blank when empty)
// padded with blanks, cut to 12.
std::string AdminRecordOf(const std::string& entry);
// Puts a record (padded with blanks or cut to 12 bytes) into an existing
// file that may be written, every other byte as it was (a file shorter
// than the record's end grows, with zero bytes before the record); false,
// with the file untouched, otherwise.
bool WriteAdminRecord(const std::string& fileName, const std::string& record);
