#include "board/password_code.h"

#include <unistd.h>

#include "platform/fs/files.h"
#include "platform/fs/path.h"

std::string EncodePassword(const std::string& entry) {
  if (entry.empty()) return "0";
  std::string code;
  for (char c : entry) {
    const int d = c - '0';
    const int factor = d >= 5 ? 156 : d >= 2 ? 139 : 12;
    code += std::to_string(d * factor);
  }
  return code;
}

std::string ReadAdminRecord(const std::string& fileName) {
  const auto bytes = ReadWholeFile(fileName);
  if (!bytes || bytes->size() <= size_t(kAdminRecordAt)) return "";
  const std::string record = bytes->substr(kAdminRecordAt, kAdminRecordSize);
  return record.substr(0, record.find('\0'));
}

std::string AdminRecordOf(const std::string& entry) {
  return ((entry.empty() ? std::string(" ") : entry) + std::string(kAdminRecordSize - 1, ' ')).substr(0, kAdminRecordSize);
}

bool WriteAdminRecord(const std::string& fileName, const std::string& record) {
  // Only a file that exists and may be written takes the record; it is
  // replaced whole, so a failed write leaves the old one.
  if (!FileExists(fileName) || access(winpath::ToLinux(fileName).c_str(), W_OK) != 0) return false;
  auto bytes = ReadWholeFile(fileName);
  if (!bytes) return false;
  const size_t end = size_t(kAdminRecordAt) + kAdminRecordSize;
  if (bytes->size() < end) bytes->resize(end, '\0');
  std::string padded = record;
  padded.resize(kAdminRecordSize, ' ');
  bytes->replace(size_t(kAdminRecordAt), kAdminRecordSize, padded);
  return WriteWholeFile(fileName, *bytes);
}
