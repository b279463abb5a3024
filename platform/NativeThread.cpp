#include "platform/NativeThread.h"

#include <pthread.h>

#include <condition_variable>
#include <mutex>

#include "platform/SystemInfo.h"

namespace Platform {

// Shared with the running thread, so the owner may let go of its object
// while the thread still runs (a thread that releases its own owner).
struct NativeThread::State {
  Entry entry;
  pthread_t handle{};
  std::mutex mutex;
  std::condition_variable changed;
  int id = 0;
  bool started = false;
  bool cancelled = false;
};

namespace {

void* Trampoline(void* raw) {
  // Own a reference for as long as the thread runs.
  std::shared_ptr<NativeThread::State> state(std::move(*static_cast<std::shared_ptr<NativeThread::State>*>(raw)));
  delete static_cast<std::shared_ptr<NativeThread::State>*>(raw);
  bool run;
  {
    std::unique_lock lock(state->mutex);
    state->id = CurrentThreadId();
    state->changed.notify_all();
    state->changed.wait(lock, [&] { return state->started || state->cancelled; });
    run = state->started;
  }
  if (run) state->entry();
  return nullptr;
}

}  // namespace

NativeThread::NativeThread(Entry entry) {
  auto state = std::make_shared<State>();
  state->entry = std::move(entry);
  auto* handOver = new std::shared_ptr<State>(state);
  if (pthread_create(&state->handle, nullptr, Trampoline, handOver) != 0) {
    delete handOver;
    return;
  }
  std::unique_lock lock(state->mutex);
  state->changed.wait(lock, [&] { return state->id != 0; });
  lock.unlock();
  state_ = std::move(state);
}

NativeThread::~NativeThread() { Join(); }

int NativeThread::Id() const { return state_ ? state_->id : 0; }

void NativeThread::SetName(const std::string& name) {
  if (state_) pthread_setname_np(state_->handle, name.substr(0, 15).c_str());
}

void NativeThread::Start() {
  if (!state_) return;
  std::lock_guard lock(state_->mutex);
  state_->started = true;
  state_->changed.notify_all();
}

bool NativeThread::IsCurrent() const { return state_ && pthread_equal(state_->handle, pthread_self()); }

void NativeThread::Join() {
  if (!state_ || joined_) return;
  joined_ = true;
  {
    // A thread that was never started ends without running its entry.
    std::lock_guard lock(state_->mutex);
    if (!state_->started) state_->cancelled = true;
    state_->changed.notify_all();
  }
  if (IsCurrent())
    pthread_detach(state_->handle);
  else
    pthread_join(state_->handle, nullptr);
}

}  // namespace Platform
