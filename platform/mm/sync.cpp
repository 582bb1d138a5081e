#include "platform/mm/sync.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>

namespace {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  virtual DWORD Wait(DWORD ms) = 0;
};

template <class Pred>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, DWORD ms, Pred pred) {
  if (ms == INFINITE) {
    cv.wait(lock, pred);
    return true;
  }
  return cv.wait_for(lock, std::chrono::milliseconds(ms), pred);
}

class Event : public KernelObject {
 public:
  Event(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}

  void Set() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      signalled_ = true;
    }
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
  }
  DWORD Wait(DWORD ms) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!WaitFor(changed_, lock, ms, [this] { return signalled_; })) return WAIT_TIMEOUT;
    if (!manualReset_) signalled_ = false;
    return WAIT_OBJECT_0;
  }

 private:
  const bool manualReset_;
  bool signalled_;
  std::mutex mutex_;
  std::condition_variable changed_;
};

class Thread : public KernelObject {
 public:
  explicit Thread(DWORD suspendCount) : suspendCount_(suspendCount) {}
  ~Thread() override {
    if (!thread_.joinable()) return;
    // The last reference may go with the thread's own routine state.
    if (thread_.get_id() == std::this_thread::get_id())
      thread_.detach();
    else
      thread_.join();
  }

  void Start(LPTHREAD_START_ROUTINE start, LPVOID param, const std::shared_ptr<Thread>& self);

  DWORD Wait(DWORD ms) override {
    std::unique_lock<std::mutex> lock(mutex_);
    return WaitFor(changed_, lock, ms, [this] { return finished_; }) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
  }
  DWORD Suspend();
  DWORD Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    const DWORD before = suspendCount_;
    if (suspendCount_ > 0 && --suspendCount_ == 0) changed_.notify_all();
    return before;
  }
  void WaitWhileSuspended() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return suspendCount_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  DWORD suspendCount_;
  bool finished_ = false;
  std::thread thread_;
};

thread_local Thread* currentThread = nullptr;

void Thread::Start(LPTHREAD_START_ROUTINE start, LPVOID param, const std::shared_ptr<Thread>& self) {
  thread_ = std::thread([self, start, param] {
    currentThread = self.get();
    self->WaitWhileSuspended();
    start(param);
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->finished_ = true;
    }
    self->changed_.notify_all();
  });
}

DWORD Thread::Suspend() {
  std::unique_lock<std::mutex> lock(mutex_);
  const DWORD before = suspendCount_;
  if (finished_) return before;
  ++suspendCount_;
  if (currentThread == this) changed_.wait(lock, [this] { return suspendCount_ == 0; });
  return before;
}

void HonourSuspension() {
  if (currentThread) currentThread->WaitWhileSuspended();
}

// A handle is a box holding one reference to its object; the registry tells
// open handles from closed or made-up ones. Never destroyed: detached threads
// may still close handles while the process exits.
struct Box {
  std::shared_ptr<KernelObject> object;
};
struct Registry {
  std::mutex mutex;
  std::set<Box*> open;
  std::map<std::string, std::weak_ptr<Event>> named;
};
Registry& Handles() {
  static Registry* registry = new Registry;
  return *registry;
}

HANDLE NewHandle(std::shared_ptr<KernelObject> object) {
  Box* box = new Box{std::move(object)};
  Registry& r = Handles();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.open.insert(box);
  return box;
}

std::shared_ptr<KernelObject> ObjectOf(HANDLE h) {
  Registry& r = Handles();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.open.find(static_cast<Box*>(h));
  return it == r.open.end() ? nullptr : (*it)->object;
}

template <class T>
std::shared_ptr<T> As(HANDLE h) {
  return std::dynamic_pointer_cast<T>(ObjectOf(h));
}

}  // namespace

HANDLE CreateEvent(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  if (!name || !*name) return NewHandle(std::make_shared<Event>(manualReset, initialState));
  std::shared_ptr<Event> event;
  {
    Registry& r = Handles();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::weak_ptr<Event>& slot = r.named[name];
    event = slot.lock();
    if (!event) slot = event = std::make_shared<Event>(manualReset, initialState);
  }
  return NewHandle(std::move(event));
}

BOOL SetEvent(HANDLE h) {
  auto event = As<Event>(h);
  if (!event) return FALSE;
  event->Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE h) {
  auto event = As<Event>(h);
  if (!event) return FALSE;
  event->Reset();
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE h, DWORD ms) {
  auto object = ObjectOf(h);
  if (!object) return WAIT_FAILED;
  HonourSuspension();
  const DWORD result = object->Wait(ms);
  HonourSuspension();
  return result;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, size_t, LPTHREAD_START_ROUTINE start, LPVOID param,
                    DWORD creationFlags, LPDWORD threadId) {
  if (!start) return nullptr;
  static std::atomic<DWORD> lastId{0};
  auto thread = std::make_shared<Thread>((creationFlags & CREATE_SUSPENDED) ? 1 : 0);
  try {
    thread->Start(start, param, thread);
  } catch (const std::system_error&) {
    return nullptr;
  }
  if (threadId) *threadId = ++lastId;
  return NewHandle(std::move(thread));
}

DWORD SuspendThread(HANDLE h) {
  auto thread = As<Thread>(h);
  return thread ? thread->Suspend() : DWORD(-1);
}

DWORD ResumeThread(HANDLE h) {
  auto thread = As<Thread>(h);
  return thread ? thread->Resume() : DWORD(-1);
}

BOOL CloseHandle(HANDLE h) {
  std::shared_ptr<KernelObject> last;
  {
    Registry& r = Handles();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.open.find(static_cast<Box*>(h));
    if (it == r.open.end()) return FALSE;
    last = std::move((*it)->object);
    delete *it;
    r.open.erase(it);
  }
  return TRUE;  // `last` goes here, outside the lock: a thread's may join it
}
