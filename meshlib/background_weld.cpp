#include "meshlib/background_weld.h"

#include <utility>

#include "meshlib/mesh3d.h"

BackgroundWeld::BackgroundWeld(Mesh3d& mesh, const Vec3d* positions, int32_t* memo)
    : mesh_(mesh), positions_(positions), memo_(memo), helper_([this] { run(); }) {}

BackgroundWeld::~BackgroundWeld() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (helper_.joinable()) helper_.join();
}

void BackgroundWeld::add(std::vector<int32_t>& corners) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
  waiting_.push_back(std::move(corners));
  corners.clear();
  if (!spare_.empty()) {
    corners.swap(spare_.back());
    spare_.pop_back();
  }
  changed_.notify_all();
}

void BackgroundWeld::finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    no_more_ = true;
  }
  changed_.notify_all();
  if (helper_.joinable()) helper_.join();
}

void BackgroundWeld::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || no_more_ || !waiting_.empty(); });
    if (stop_ || waiting_.empty()) return;  // stopped, or finished with nothing left
    std::vector<int32_t> batch = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    mesh_.add_indexed_triangles(positions_, batch.data(), static_cast<int32_t>(batch.size() / 3),
                                memo_);
    batch.clear();
    lock.lock();
    spare_.push_back(std::move(batch));
    changed_.notify_all();
  }
}
