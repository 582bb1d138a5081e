#include "platform/mfc/sync.h"

#include <chrono>

CMutex::CMutex(BOOL bInitiallyOwn) {
  if (bInitiallyOwn) Lock();
}

CMutex::~CMutex() {
  while (m_owner.load() == std::this_thread::get_id() && m_nDepth > 0) Unlock();
}

BOOL CMutex::Lock(DWORD dwTimeout) {
  if (dwTimeout == INFINITE)
    m_mutex.lock();
  else if (!m_mutex.try_lock_for(std::chrono::milliseconds(dwTimeout)))
    return FALSE;
  m_owner = std::this_thread::get_id();
  ++m_nDepth;
  return TRUE;
}

BOOL CMutex::Unlock() {
  if (m_owner.load() != std::this_thread::get_id() || m_nDepth == 0) return FALSE;
  if (--m_nDepth == 0) m_owner = std::thread::id();
  m_mutex.unlock();
  return TRUE;
}

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock) : m_pObject(pObject) {
  if (bInitialLock) Lock();
}

CSingleLock::~CSingleLock() { Unlock(); }

BOOL CSingleLock::Lock(DWORD dwTimeout) {
  if (!m_pObject) return FALSE;
  if (m_bLocked) return TRUE;
  m_bLocked = m_pObject->Lock(dwTimeout);
  return m_bLocked;
}

BOOL CSingleLock::Unlock() {
  if (!m_bLocked) return TRUE;
  m_bLocked = !m_pObject->Unlock();
  return !m_bLocked;
}
