// Test doubles shared by the suites.
#include "tests/TestSupport.h"

#include <sstream>

#include "model/GraphicObjectLocator.h"

std::vector<std::string> RecordingReports::texts() const {
  std::vector<std::string> out;
  for (const auto& s : shown) out.push_back(s.text);
  out.insert(out.end(), boxes.begin(), boxes.end());
  return out;
}

bool RecordingReports::saw(const std::string& part) const {
  for (const auto& t : texts())
    if (t.find(part) != std::string::npos) return true;
  return false;
}

TestElement::TestElement(RECT r)
    : CloneableObject(), BehaviouralGraphic("test"), SensitiveGraphic("test") {
  setVisualPart(addTo(*this, std::make_unique<TestVisual>(r)));
}

TestElement::TestElement(const TestElement& o)
    : CloneableObject(o), BehaviouralGraphic(o), SensitiveGraphic(o) {}

// Applies MOVE TO and RESIZE with their new values (forward) or their old ones; DELETE forward
// only: the element leaves its container into the command.
int TestElement::apply(Command* cmd, bool forward) {
  switch (cmd->type()) {
    case kCmdMoveTo:
      if (auto* m = dynamic_cast<Command1<tagPOINT>*>(cmd)) {
        moveTo(forward ? m->getNew() : m->getOld());
        return 0;
      }
      return -1;
    case kCmdResize:
      if (auto* m = dynamic_cast<Command1<tagRECT>*>(cmd)) {
        setRect(forward ? m->getNew() : m->getOld());
        return 0;
      }
      return -1;
    case kCmdDelete:
      if (!forward) return -98;
      if (auto* d = dynamic_cast<CommandPtr1<SensitiveGraphic>*>(cmd)) {
        if (GraphicContainer* c = container()) {
          c->invalidateRect(invalidRect());
          c->rememberPlace(this);
          d->setOld(ownedAs<SensitiveGraphic>(c->remove(*this)));
        }
        return 0;
      }
      return -1;
    default:
      return -1;
  }
}
