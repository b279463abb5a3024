#include "utils/Thread.h"

#include "app/Log.h"
#include "platform/NativeThread.h"
#include "platform/Text.h"

namespace Utils {

// What the running thread needs; shared so that it outlives an owner that
// destroys its Thread from inside the body.
struct Thread::Work {
  Body body;
  void* context;
};

Thread::Thread(void* context, const std::wstring& name, Body body)
    : work_(std::make_shared<Work>(Work{std::move(body), context})), name_(name) {
  std::shared_ptr<Work> work = work_;
  auto thread = std::make_unique<Platform::NativeThread>([work] { CallBack(work); });
  if (!thread->Valid()) return;
  threadId_ = static_cast<std::uint32_t>(thread->Id());
  thread->SetName(name_.empty() ? "t" + std::to_string(threadId_) : Platform::WideToAnsi(name_));
  handle_ = std::move(thread);
}

Thread::~Thread() {
  Join();
  threadId_ = 0xFFFFFFFFu;
  name_.clear();
  work_.reset();
}

void Thread::Start() {
  if (handle_) handle_->Start();
}

void Thread::Join() {
  if (!handle_) return;
  handle_->Join();
  handle_.reset();
  threadId_ = 0xFFFFFFFFu;
}

bool Thread::Valid() const { return handle_ != nullptr; }

bool Thread::IsCurrent() const { return handle_ && handle_->IsCurrent(); }

void Thread::CallBack(const std::shared_ptr<Work>& work) {
  LogRecord(L"THREAD BEGIN\r\n");
  if (work->body) work->body(work->context);
  LogRecord(L"THREAD END\r\n");
}

}  // namespace Utils
