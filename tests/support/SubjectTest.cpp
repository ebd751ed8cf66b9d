// Observers in attachment order, detaching while notified, farewell on destruction.
#include "support/Subject.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace {

struct Probe : Observer {
  Probe(std::string n, std::vector<std::string>& log) : name(std::move(n)), log(log) {}
  void update(Subject* s) override {
    log.push_back("update " + name);
    if (onUpdate) onUpdate(s);
  }
  void subjectGone(Subject*) override { log.push_back("gone " + name); }
  const char* observerClassName() const override { return "Probe"; }
  std::string name;
  std::vector<std::string>& log;
  std::function<void(Subject*)> onUpdate;
};

// Attaching twice and detaching once leaves one entry; detaching a stranger, or one already gone, is reported by
// its class; an observer detaching itself while notified does not make the next one missed. A subject says
// goodbye to its observers in order; its copies start without any.
TEST(Subject, OneEntryPerObserverDetachingWhileNotifiedStrangersReportedAndGoodbyes) {
  RecordingReports reports;
  std::vector<std::string> log;
  Probe a("a", log), b("b", log), c("c", log);
  auto subject = std::make_unique<Subject>();
  Subject& s = *subject;
  s.attachObserver(&a);
  s.attachObserver(&a);
  s.attachObserver(nullptr);
  s.detachObserver(&a);
  EXPECT_EQ(s.observerCount(), 1u);
  s.notifyObservers();
  EXPECT_EQ(log, std::vector<std::string>{"update a"});
  log.clear();
  s.detachObserver(&b);
  EXPECT_TRUE(reports.saw("Subject::detachObserver: called for unattached observer of type 'Probe'"));
  EXPECT_EQ(s.observerCount(), 1u);
  a.onUpdate = [&](Subject* subj) { subj->detachObserver(&a); };
  b.onUpdate = [&](Subject* subj) { subj->detachObserver(&a); };  // already gone: reported
  s.attachObserver(&b);
  s.attachObserver(&c);
  reports.shown.clear();
  s.notifyObservers();
  EXPECT_EQ(log, (std::vector<std::string>{"update a", "update b", "update c"}));
  EXPECT_EQ(reports.shown.size(), 1u);
  EXPECT_EQ(s.observerCount(), 2u);
  EXPECT_EQ(Subject(s).observerCount(), 0u);
  log.clear();
  subject.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"gone b", "gone c"}));
}

}  // namespace
