#include "host/ui/handover_queue.h"

#include <utility>

#include <QApplication>
#include <QTimer>

namespace {

// How often held files look whether the program has become free.
constexpr int kRetryMilliseconds = 100;

}  // namespace

HandoverQueue::HandoverQueue(BusyTest busy, ImportFile import, QObject* parent)
    : QObject(parent),
      busy_(std::move(busy)),
      import_(std::move(import)),
      retry_(new QTimer(this)) {
  retry_->setSingleShot(true);
  retry_->setInterval(kRetryMilliseconds);
  connect(retry_, &QTimer::timeout, this, &HandoverQueue::ImportWaiting);
}

void HandoverQueue::Add(const QByteArray& file) {
  files_.append(file);
  ImportWaiting();
}

bool HandoverQueue::Free() const {
  return !importing_ && QApplication::activeModalWidget() == nullptr && !(busy_ && busy_());
}

void HandoverQueue::ImportWaiting() {
  while (!files_.isEmpty() && Free()) {
    const QByteArray file = files_.takeFirst();
    // An import may run the event loop; files arriving meanwhile wait for it.
    importing_ = true;
    import_(file);
    importing_ = false;
  }
  if (!files_.isEmpty() && !retry_->isActive()) retry_->start();
}
