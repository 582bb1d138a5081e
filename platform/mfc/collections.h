// The class library's collections: typed arrays and the string-keyed map of
// object pointers. Neither owns what its pointers point to.
#pragma once
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/mfc/cstring.h"
#include "platform/mfc/object.h"

struct __POSITION {};
typedef __POSITION* POSITION;

namespace mfc {

// The shared body of the arrays. An index outside the array is a fault of
// the caller and raises std::out_of_range instead of touching other memory.
template <class T, class ARG = T>
class TypedArray : public CObject {
 public:
  int GetSize() const { return int(m_a.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return m_a.empty(); }
  // New elements are zero (empty).
  void SetSize(int nNewSize, int nGrowBy = -1) { m_a.resize(size_t(nNewSize > 0 ? nNewSize : 0)); }
  void RemoveAll() { m_a.clear(); }

  T GetAt(int nIndex) const { return m_a.at(Index(nIndex)); }
  void SetAt(int nIndex, ARG newElement) { m_a.at(Index(nIndex)) = newElement; }
  T& ElementAt(int nIndex) { return m_a.at(Index(nIndex)); }
  T operator[](int nIndex) const { return GetAt(nIndex); }
  T& operator[](int nIndex) { return ElementAt(nIndex); }
  const T* GetData() const { return m_a.data(); }
  T* GetData() { return m_a.data(); }

  // Index of the new element.
  int Add(ARG newElement) {
    m_a.push_back(newElement);
    return GetUpperBound();
  }
  void SetAtGrow(int nIndex, ARG newElement) {
    if (nIndex >= GetSize()) SetSize(nIndex + 1);
    SetAt(nIndex, newElement);
  }
  void InsertAt(int nIndex, ARG newElement, int nCount = 1) {
    if (nIndex < 0) throw std::out_of_range("InsertAt");
    if (nIndex > GetSize()) SetSize(nIndex);
    m_a.insert(m_a.begin() + Index(nIndex), size_t(nCount > 0 ? nCount : 0), T(newElement));
  }
  void RemoveAt(int nIndex, int nCount = 1) {
    size_t first = Index(nIndex);
    if (nCount < 0 || first + size_t(nCount) > m_a.size()) throw std::out_of_range("RemoveAt");
    m_a.erase(m_a.begin() + first, m_a.begin() + first + nCount);
  }

 private:
  static size_t Index(int nIndex) { return nIndex < 0 ? size_t(-1) : size_t(nIndex); }
  std::vector<T> m_a;
};

}  // namespace mfc

class CByteArray : public mfc::TypedArray<BYTE> {};
class CDWordArray : public mfc::TypedArray<DWORD> {};
class CPtrArray : public mfc::TypedArray<void*> {};
class CStringArray : public mfc::TypedArray<CString, const CString&> {};

// String keys (compared as text up to their first zero byte) to CObject
// pointers; the values may be any pointers cast to CObject*. The hash table
// sizes itself; the order of iteration carries no meaning.
class CMapStringToOb : public CObject {
 public:
  explicit CMapStringToOb(int nBlockSize = 10) {}

  int GetCount() const { return int(m_map.size()); }
  int GetSize() const { return GetCount(); }
  BOOL IsEmpty() const { return m_map.empty(); }

  BOOL Lookup(LPCTSTR key, CObject*& rValue) const;
  // The slot for key, made (holding NULL) when it is missing.
  CObject*& operator[](LPCTSTR key) { return m_map[std::string(key ? key : "")]; }
  // Replaces the pointer of an existing key; the old value is not freed.
  void SetAt(LPCTSTR key, CObject* newValue) { (*this)[key] = newValue; }
  BOOL RemoveKey(LPCTSTR key) { return m_map.erase(key ? key : "") > 0; }
  void RemoveAll() { m_map.clear(); }

  // NULL when the map is empty. Adding or removing keys ends an iteration.
  POSITION GetStartPosition() const;
  void GetNextAssoc(POSITION& rNextPosition, CString& rKey, CObject*& rValue) const;

 private:
  typedef std::unordered_map<std::string, CObject*> Map;
  static POSITION At(Map::const_iterator it) {
    return reinterpret_cast<POSITION>(const_cast<Map::value_type*>(&*it));
  }
  POSITION Next(Map::const_iterator it) const { return ++it == m_map.end() ? NULL : At(it); }
  Map m_map;
};
