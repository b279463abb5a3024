// An operating-system thread that is created suspended: it exists, has an id
// and can be named, but runs its entry only once its owner starts it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace Platform {

class NativeThread {
 public:
  // The entry is owned by the thread and lives until it returns, even when
  // the NativeThread object is gone by then.
  using Entry = std::function<void()>;

  // Creates the thread suspended; Valid() is false when it could not be created.
  explicit NativeThread(Entry entry);
  // Joins a started thread, or lets an unstarted one end without running.
  // Called on the thread itself it detaches instead: a thread cannot wait for
  // its own end.
  ~NativeThread();
  NativeThread(const NativeThread&) = delete;
  NativeThread& operator=(const NativeThread&) = delete;

  bool Valid() const { return state_ != nullptr; }
  int Id() const;  // the kernel thread id
  // Names the thread (at most 15 bytes are kept, as the kernel allows).
  void SetName(const std::string& name);
  void Start();
  // Waits for the entry to return (an unstarted thread ends without running
  // it); on the thread itself it detaches instead.
  void Join();
  bool IsCurrent() const;

  // Shared by the object and the running thread.
  struct State;

 private:
  std::shared_ptr<State> state_;
  bool joined_ = false;
};

}  // namespace Platform
