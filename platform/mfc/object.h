// CObject: the common base of the class library's collections, files and
// exceptions. Objects are not copyable; they are destroyed through the base.
#pragma once

class CArchive;

class CObject {
 public:
  virtual ~CObject() = default;
  // Writes or reads the object through an archive; the base holds nothing.
  virtual void Serialize(CArchive&) {}

  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

 protected:
  CObject() = default;
};
