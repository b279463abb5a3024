// A named worker thread, created suspended and started by its owner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Platform {
class NativeThread;
}

namespace Utils {

class Thread {
 public:
  using Body = std::function<void(void* context)>;

  // Creates and names the thread; it runs only after Start.
  Thread(void* context, const std::wstring& name, Body body);
  // Joins as Join does, then forgets the body and the name.
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Lets the thread run; does nothing when it could not be created.
  void Start();
  // Waits for the body to end and releases the thread (id becomes -1).
  // On the thread itself it releases the thread without waiting, so an owner
  // reached from inside the body can restart its work safely.
  void Join();

  bool Valid() const;
  bool IsCurrent() const;
  std::uint32_t Id() const { return threadId_; }
  const std::wstring& Name() const { return name_; }

 private:
  struct Work;
  static void CallBack(const std::shared_ptr<Work>& work);

  std::uint32_t threadId_ = 0xFFFFFFFFu;
  std::unique_ptr<Platform::NativeThread> handle_;
  std::shared_ptr<Work> work_;
  std::wstring name_;
};

}  // namespace Utils
