// Change notification from attachable elements to the maplets that follow them.
#pragma once

#include <cstddef>
#include <vector>

class Subject;

/// Something told when a subject changes or goes away.
class Observer {
 public:
  virtual ~Observer() = default;
  /// The subject changed its geometry or looks.
  virtual void update(Subject* subject) = 0;
  /// The subject is being destroyed; it must not be used afterwards.
  virtual void subjectGone(Subject* subject) = 0;
  /// Class name used in reports.
  virtual const char* observerClassName() const { return "Observer"; }
};

/// Keeps its observers in attachment order (not owned); one observer may stand twice.
class Subject {
 public:
  Subject() = default;
  /// Observers are never copied with their subject.
  Subject(const Subject&) {}
  Subject& operator=(const Subject&) { return *this; }
  virtual ~Subject();

  /// Appends an observer; null is ignored.
  void attachObserver(Observer* observer);
  /// Removes the first entry equal to the observer; reports when there is none.
  void detachObserver(Observer* observer);
  /// Calls update(this) on every entry, first to last.
  void notifyObservers();

  std::size_t observerCount() const { return observers_.size(); }
  const std::vector<Observer*>& observers() const { return observers_; }

 private:
  std::vector<Observer*> observers_;
  // Positions of the walks in progress, so that an observer may detach itself
  // (or another) while it is being called and the walk goes on with the next.
  std::vector<std::size_t*> walks_;
  template <class Call>
  void walk(Call call);
};
