#include "meshlib/batch_thread.h"

#include <utility>

BatchThread::BatchThread(Work work) : work_(std::move(work)), helper_([this] { run(); }) {}

BatchThread::~BatchThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (helper_.joinable()) helper_.join();
}

void BatchThread::add(std::vector<int32_t>& batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
  waiting_.push_back(std::move(batch));
  batch.clear();
  if (!spare_.empty()) {
    batch.swap(spare_.back());
    spare_.pop_back();
  }
  changed_.notify_all();
}

void BatchThread::finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    no_more_ = true;
  }
  changed_.notify_all();
  if (helper_.joinable()) helper_.join();
}

void BatchThread::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || no_more_ || !waiting_.empty(); });
    if (stop_ || waiting_.empty()) return;  // stopped, or finished with nothing left
    std::vector<int32_t> batch = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    work_(batch);
    batch.clear();
    lock.lock();
    spare_.push_back(std::move(batch));
    changed_.notify_all();
  }
}
