// Notification walks that survive observers detaching during the walk.
#include "support/Subject.h"

#include "support/ErrorReporter.h"

template <class Call>
void Subject::walk(Call call) {
  std::size_t next = 0;
  walks_.push_back(&next);
  while (next < observers_.size()) {
    Observer* o = observers_[next];
    ++next;
    call(o);
  }
  walks_.pop_back();
}

Subject::~Subject() {
  walk([this](Observer* o) { o->subjectGone(this); });
  observers_.clear();
}

void Subject::attachObserver(Observer* observer) {
  if (observer) observers_.push_back(observer);
}

void Subject::detachObserver(Observer* observer) {
  for (std::size_t i = 0; i < observers_.size(); ++i) {
    if (observers_[i] != observer) continue;
    observers_.erase(observers_.begin() + static_cast<std::ptrdiff_t>(i));
    for (std::size_t* next : walks_)
      if (i < *next) --*next;
    return;
  }
  reportError(nullptr, 'E', "Subject::detachObserver: called for unattached observer of type '%s'",
              observer ? observer->observerClassName() : "(null)");
}

void Subject::notifyObservers() {
  walk([this](Observer* o) { o->update(this); });
}
