// A helper thread that works through batches of indices in the order they are handed over,
// while the caller prepares the next ones. The work is one function, called on the helper for
// each batch; the caller and the work must share nothing else while the helper runs.
//
// The helper lives only as long as the object, so progress reports and Cancel stay with the
// caller. At most kMostWaiting batches wait at once, so memory stays bounded; the destructor
// without finish (a read that failed or was cancelled) drops what still waits and joins the
// helper.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class BatchThread {
 public:
  static constexpr std::size_t kMostWaiting = 4;
  using Work = std::function<void(std::vector<int32_t>& batch)>;

  explicit BatchThread(Work work);
  ~BatchThread();
  BatchThread(const BatchThread&) = delete;
  BatchThread& operator=(const BatchThread&) = delete;

  // Hands over batch (emptied; a cleared buffer of an earlier batch comes back in it for
  // reuse). Waits while the queue is full.
  void add(std::vector<int32_t>& batch);
  // Waits until the work has been done on every batch handed over and ends the helper.
  void finish();

 private:
  void run();

  Work work_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<int32_t>> waiting_;
  std::vector<std::vector<int32_t>> spare_;  // done batches' buffers, cleared
  bool no_more_ = false;                     // finish: work through what waits, then end
  bool stop_ = false;                        // destructor: end at once
  std::thread helper_;
};
