// CMutex and CSingleLock: a mutex of this process that its owner thread may
// lock again (each Lock needs its Unlock), and a scoped lock over it.
#pragma once
#include <atomic>
#include <mutex>
#include <thread>

#include "platform/mfc/object.h"
#include "platform/windef.h"

class CSyncObject : public CObject {
 public:
  // TRUE when acquired within dwTimeout milliseconds (INFINITE: no limit).
  virtual BOOL Lock(DWORD dwTimeout = INFINITE) = 0;
  // FALSE when the calling thread does not hold it.
  virtual BOOL Unlock() = 0;
};

class CMutex : public CSyncObject {
 public:
  // Unnamed: the mutex belongs to this process only.
  explicit CMutex(BOOL bInitiallyOwn = FALSE);
  ~CMutex() override;
  BOOL Lock(DWORD dwTimeout = INFINITE) override;
  BOOL Unlock() override;

 private:
  std::recursive_timed_mutex m_mutex;
  std::atomic<std::thread::id> m_owner{};
  int m_nDepth = 0;  // touched only by the owner
};

class CSingleLock {
 public:
  explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
  // Releases the lock if it is held.
  ~CSingleLock();
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  BOOL Lock(DWORD dwTimeout = INFINITE);
  BOOL Unlock();
  BOOL IsLocked() const { return m_bLocked; }

 private:
  CSyncObject* m_pObject;
  BOOL m_bLocked = FALSE;
};
