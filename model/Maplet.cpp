// Terminals, their observers, the maplet commands, its popup menu and its component text.
#include "model/Maplet.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <optional>
#include <ostream>
#include <typeinfo>

#include "commands/Command.h"
#include "commands/GraphicsFactory.h"
#include "drawing/Connector.h"
#include "drawing/LabeledConnector.h"
#include "support/Fields.h"
#include "model/GraphicObjectLocator.h"
#include "model/Interaction.h"
#include "model/RelationableGraphic.h"

namespace {

// Parenthesised terminal spec fields after the id, with their messages.
const char* const kSpecFields[] = {"LineColor1", "LineStyle",  "LineThickness", "ArrowStyle1",
                                   "ArrowColor1", "endText1",  "endTextColor1", "ArrowStyle2",
                                   "ArrowColor2", "endText2",  "endTextColor2"};
bool isQuotedSpecField(int i) { return i == 3 || i == 5 || i == 7 || i == 9; }

}  // namespace

Maplet::Maplet(const std::string& connectorName, const POINT& p)
    : BehaviouralGraphic(connectorName), terminals_(2, nullptr) {
  // A fresh connector stands at the default centre with its ends floating around it,
  // so a maplet centred there makes its connector when first needed (a maplet being
  // read makes the one its line names, and no other).
  if (p != Connector::kDefaultCentre && getConnector()) Maplet::setCentre(p);
}

Maplet::Maplet(const Maplet& other)
    : CloneableObject(other),
      BehaviouralGraphic(other),
      Observer(other),
      terminals_(other.terminals_),
      terminalStyles_(other.terminalStyles_) {}

Maplet::~Maplet() {
  invalidate();
  // A copy that never hooked its ends does not observe them.
  for (RelationableGraphic* t : terminals_) {
    if (!t) continue;
    const auto& obs = t->observers();
    if (std::find(obs.begin(), obs.end(), static_cast<Observer*>(this)) != obs.end()) t->detachObserver(this);
  }
}

VisualGraphic* Maplet::getVisual() {
  // Asked for on every hit test and repaint: the cast is left to getConnector.
  if (!visualPart()) getConnector();
  return visualPart();
}

Connector* Maplet::getConnector() {
  if (!visualPart() && !prototypeName().empty()) changeConnector(nullptr);
  VisualGraphic* v = visualPart();
  // Asked for at every step of placing the terminals: the usual classes skip the cast.
  if (v && (typeid(*v) == typeid(Connector) || typeid(*v) == typeid(LabeledConnector))) return static_cast<Connector*>(v);
  return dynamic_cast<Connector*>(v);
}

void Maplet::changeConnector(const char* name) {
  if (name && prototypeName() == name) return;
  // A label the user typed goes along to the new type; the old type's own label does not.
  const std::string typed = typedLabel();
  if (name) setPrototypeName(name);
  std::unique_ptr<Connector> fresh = GraphicsFactory::instance().getConnector(prototypeName());
  if (!fresh) return;
  installConnector(std::move(fresh));
  if (!typed.empty()) setLabel(typed.c_str());
}

std::string Maplet::typedLabel() const {
  auto* labelled = dynamic_cast<const LabeledConnector*>(visualPart());
  const char* text = labelled ? labelled->getLabel() : nullptr;
  if (!text || !*text) return {};
  auto* own = dynamic_cast<const LabeledConnector*>(GraphicsFactory::instance().connectors().prototypeFor(prototypeName()));
  const char* ownText = own ? own->getLabel() : nullptr;
  return ownText && std::strcmp(ownText, text) == 0 ? std::string() : std::string(text);
}

const char* Maplet::label() const {
  auto* labelled = dynamic_cast<const LabeledConnector*>(getConnector());
  return labelled ? labelled->getLabel() : nullptr;
}

void Maplet::setLabel(const char* text) {
  Connector* c = getConnector();
  if (!c) return;
  const bool empty = !text || !*text;
  auto* labelled = dynamic_cast<LabeledConnector*>(c);
  auto* own = dynamic_cast<const LabeledConnector*>(GraphicsFactory::instance().connectors().prototypeFor(prototypeName()));
  if (labelled && (own || !empty)) {
    labelled->setLabel(text ? text : "");
  } else if (labelled) {
    // A type without a label of its own: the emptied label goes with its box.
    installConnector(std::make_unique<Connector>(static_cast<const Connector&>(*labelled)));
  } else if (!empty) {
    auto box = std::make_unique<RectangleShape>(RECT{}, kWhite, kWhite, kBlack);
    box->setLabel(text);
    auto made = std::make_unique<LabeledConnector>(*c, std::move(box));
    made->setLabel(text);  // sizes itself to the text at the next layout
    installConnector(std::move(made));
  }
}

std::unique_ptr<Command> SMaplet::generateChangeLabel(const char* text) {
  const char* current = label();
  std::string old = current ? current : "";
  std::string wanted = text ? std::string(text) : old;
  // As for nodes, the answer is taken even on Cancel.
  if (!text) askText(interaction(), "Edit Label", "New Text:", wanted);
  return std::make_unique<Command1<std::string>>(GraphicObjectLocator(*this), kCmdChangeLabel, wanted, old);
}

void Maplet::installConnector(std::unique_ptr<Connector> fresh) {
  Connector* made = addTo(*this, std::move(fresh));
  if (VisualGraphic* old = visualPart()) {
    invalidate();
    made->copyAttributes(*old);
    removePart(*old);  // and destroyed
  }
  setVisualPart(made);
  std::size_t n = made->legCount();
  for (std::size_t i = n; i < terminals_.size(); ++i)
    if (terminals_[i]) terminals_[i]->detachObserver(this);
  terminals_.resize(n, nullptr);
  placeAllTerminals();
}

std::uint16_t Maplet::terminalCount() const {
  const Connector* c = getConnector();
  return c ? c->legCount() : 0;
}

POINT Maplet::centre() const {
  const Connector* c = getConnector();
  return c ? c->centre() : POINT{};
}

RelationableGraphic* Maplet::operator[](std::uint16_t i) const {
  if (i < terminalCount() && i < terminals_.size()) return terminals_[i];
  reportError(nullptr, 'W', "Maplet::operator[]: requested index %hu is out of range 0-%hu", i, terminalCount());
  return nullptr;
}

void Maplet::placeAttached(std::uint16_t i) {
  if (Connector* c = getConnector()) placeAttached(i, *c, aimPoint(*c));
}

void Maplet::placeAttached(std::uint16_t i, Connector& c, const POINT& aim) {
  if (i < terminals_.size() && terminals_[i]) c.setTerminalPoint(i, terminals_[i]->attachPointToward(aim));
}

POINT Maplet::aimPoint(const Connector& c) const {
  // An auto-centred maplet aims its ends at the middle of the elements it joins: its
  // centre follows the ends, so aiming at the centre would let the ends wander, and a
  // two-legged maplet between two nodes then runs straight from outline to outline.
  if (!c.isAutoCentre()) return c.centre();
  std::int64_t sx = 0, sy = 0;
  int count = 0;
  const RelationableGraphic* first = nullptr;
  bool several = false;
  for (std::uint16_t k = 0; k < terminals_.size() && k < c.legCount(); ++k) {
    const RelationableGraphic* t = terminals_[k];
    if (!t) continue;
    const RECT r = t->getRect();
    sx += halfFloor(std::int64_t{r.left} + r.right);
    sy += halfFloor(std::int64_t{r.top} + r.bottom);
    ++count;
    if (!first) first = t;
    else if (t != first) several = true;
  }
  if (!several) return c.centre();
  return {static_cast<std::int32_t>(sx / count), static_cast<std::int32_t>(sy / count)};
}

void Maplet::placeAllTerminals() {
  Connector* c = getConnector();
  if (!c) return;
  const POINT aim = aimPoint(*c);
  for (std::uint16_t i = 0; i < terminals_.size(); ++i)
    if (terminals_[i]) placeAttached(i, *c, aim);
  // Floating ends sit beside the hooked ones, wherever those went.
  for (std::uint16_t i = 0; i < terminals_.size(); ++i)
    if (!terminals_[i]) floatTerminal(i);
}

void Maplet::floatTerminal(std::uint16_t i) {
  setConnection(i, nullptr);
  Connector* c = getConnector();
  if (!c || i >= c->legCount()) return;
  // Measured from the centre and the hooked ends only: floating ends placed
  // earlier must not push the next placement further out.
  RECT b{c->centre().x, c->centre().y, c->centre().x, c->centre().y};
  for (std::uint16_t k = 0; k < terminals_.size() && k < c->legCount(); ++k) {
    if (!terminals_[k]) continue;
    POINT e = c->terminalPoint(k);
    b = {std::min(b.left, e.x), std::min(b.top, e.y), std::max(b.right, e.x), std::max(b.bottom, e.y)};
  }
  std::int32_t n = c->legCount();
  std::int32_t my = halfFloor(std::int64_t{b.top} + b.bottom);
  if (i == 0) {
    c->setTerminalPoint(0, {b.left - 40, my});
  } else {
    std::int32_t o = (n % 2) ? 10 : 0, h = (n - 1) / 2;
    c->setTerminalPoint(i, {b.right + 40, my + (i - 1) * 20 + o - h * 20});
  }
}

void Maplet::rehookCopy(const GraphicContainer* elements) {
  for (std::uint16_t i = 0; i < terminals_.size(); ++i) {
    RelationableGraphic* was = terminals_[i];
    if (!was) continue;
    const std::uint32_t id = was->id();
    terminals_[i] = nullptr;
    Graphic* same = elements ? elements->find(id) : nullptr;
    auto* target = dynamic_cast<RelationableGraphic*>(same);
    if (target && same != static_cast<Graphic*>(this)) setConnection(i, target);
  }
}

int Maplet::setConnection(std::uint16_t i, RelationableGraphic* target) {
  std::uint16_t n = terminalCount();
  if ((n != 0 && i >= n) || i >= terminals_.size()) return -1;
  if (target != terminals_[i]) {
    if (RelationableGraphic* old = terminals_[i]) old->detachObserver(this);
    if (!target) {
      terminals_[i] = nullptr;
      floatTerminal(i);
    } else {
      terminals_[i] = target;
      placeAttached(i);
      target->attachObserver(this);
    }
  }
  if (target) update(target);
  return 0;
}

void Maplet::update(Subject* subject) {
  auto* t = dynamic_cast<RelationableGraphic*>(subject);
  Connector* c = getConnector();
  if (!t || !c) return;
  // Auto-centred ends aim at the middle of all the elements joined, which moved with t.
  const bool all = c->isAutoCentre();
  const POINT aim = aimPoint(*c);
  for (std::uint16_t i = 0; i < terminals_.size(); ++i)
    if (terminals_[i] == t || (all && terminals_[i])) placeAttached(i, *c, aim);
  // Floating ends sit beside the hooked ones, wherever those went.
  for (std::uint16_t i = 0; i < terminals_.size(); ++i)
    if (!terminals_[i]) floatTerminal(i);
  if (!c->isAutoCentre()) return;
  std::int64_t sx = 0, sy = 0;
  int count = 0;
  bool oneElement = true;
  RelationableGraphic* first = nullptr;
  for (std::uint16_t i = 0; i < terminals_.size() && i < c->legCount(); ++i) {
    if (!terminals_[i]) continue;
    POINT e = c->terminalPoint(i);
    sx += e.x;
    sy += e.y;
    if (count++ == 0) first = terminals_[i];
    else if (terminals_[i] != first) oneElement = false;
  }
  if (count <= 1) return;
  if (oneElement) {
    c->setConnectorFlags(c->connectorFlags() & ~Connector::kAutoCentre);  // a loop keeps its centre
    return;
  }
  setCentre({static_cast<std::int32_t>(sx / count), static_cast<std::int32_t>(sy / count)});
}

void Maplet::subjectGone(Subject* subject) {
  std::vector<std::uint16_t> gone;
  for (std::uint16_t i = 0; i < terminals_.size(); ++i) {
    if (terminals_[i] && static_cast<Subject*>(terminals_[i]) == subject) {
      terminals_[i] = nullptr;
      gone.push_back(i);
    }
  }
  GraphicContainer* c = container();
  if (c && c->isBeingDestroyed()) return;
  for (std::uint16_t i : gone) floatTerminal(i);
}

void Maplet::setCentre(const POINT& p) {
  Connector* c = getConnector();
  if (!c) return;
  c->setCentre(p);
  placeAllTerminals();
}

std::unique_ptr<Command> Maplet::generateSetConnection(std::uint16_t i, std::uint32_t targetId) {
  RelationableGraphic* old = i < terminals_.size() ? terminals_[i] : nullptr;
  std::uint32_t oldId = old ? old->id() : 0;
  auto set = std::make_unique<Command2<unsigned int, unsigned long>>(GraphicObjectLocator(*this), kCmdSetConnection, i,
                                                                     i, targetId, oldId);
  // Both ends on one element make a loop, which gives up its automatic centre; the
  // loop then carries a CLEAR FLAGS of it, so that undoing the hook gives it back.
  const Connector* c = getConnector();
  bool loop = false;
  for (std::uint16_t k = 0; k < terminals_.size(); ++k)
    loop = loop || (k != i && terminals_[k] && targetId != 0 && terminals_[k]->id() == targetId);
  if (!loop || !c || !c->isAutoCentre()) return set;
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdSetConnection);
  all->append(std::move(set));
  all->append(std::make_unique<Command1<unsigned long>>(GraphicObjectLocator(*this), kCmdClearFlags,
                                                        Connector::kAutoCentre, Connector::kAutoCentre));
  return all;
}

// SET CONNECTION, SET FLAGS and CLEAR FLAGS, forward (execute) or back (undo).
int Maplet::applyOwnCommand(Command* cmd, bool forward) {
  Connector* c = getConnector();
  switch (cmd->type()) {
    case kCmdSetConnection: {
      // The undo messages name the node, as they always have.
      auto* set = commandAs<Command2<unsigned int, unsigned long>>(cmd, forward ? "Maplet" : "Node",
                                                                   forward ? "execute" : "undo");
      if (!set) return kResultNotOwnCommand;
      GraphicContainer* parent = container();
      if (!parent) {
        reportError(nullptr, 'E', forward ? "Maplet::execute: SET CONNECTION no parent" : "Node::undo: SET CONNECTION no parent");
        return kResultNotOwnCommand;
      }
      const unsigned long id = forward ? set->getNew2() : set->getOld2();
      RelationableGraphic* target = nullptr;
      if (id != 0) {
        Graphic* g = parent->find(static_cast<std::uint32_t>(id));
        if (!g) {
          // Refused, so that the history does not keep it and the map stays as it was.
          reportError(nullptr, 'E', "Maplet::%s: SET CONNECTION to id %lu, which is not in the map",
                      forward ? "execute" : "undo", id);
          return kResultNotFound;
        }
        target = dynamic_cast<RelationableGraphic*>(g);
      }
      setConnection(static_cast<std::uint16_t>(forward ? set->getNew() : set->getOld()), target);
      return 0;
    }
    case kCmdChangeLabel:
      if (auto* change = commandAs<Command1<std::string>>(cmd, "Maplet", forward ? "execute" : "undo")) {
        setLabel((forward ? change->getNew() : change->getOld()).c_str());
        return 0;
      }
      return kResultNotOwnCommand;
    case kCmdSetFlags:
    case kCmdClearFlags: {
      auto* flags = dynamic_cast<Command1<unsigned long>*>(cmd);
      if (!flags || !c) {
        reportBadCommand(*cmd, "Maplet", forward ? "execute" : "undo");
        return kResultNotOwnCommand;
      }
      const bool wasAuto = c->isAutoCentre();
      c->setConnectorFlags(flagsAfter(cmd->type(), c->connectorFlags(), static_cast<std::uint32_t>(flags->getNew()),
                                      static_cast<std::uint32_t>(flags->getOld()), forward));
      // The ends aim elsewhere with auto-centre on than off.
      if (c->isAutoCentre() != wasAuto) placeAllTerminals();
      invalidate();
      return 0;
    }
    default:
      return kResultNotOwnCommand;
  }
}

int Maplet::execute(Command* cmd) { return applyOwnCommand(cmd, true); }

int Maplet::undo(Command* cmd) { return applyOwnCommand(cmd, false); }

void Maplet::printOn(std::ostream& out) const {
  const Connector* c = getConnector();
  Graphic::printOn(out);
  out.put(kFieldSeparator);
  writeQuoted(out, prototypeName());
  out.put(kFieldSeparator);
  POINT ctr = centre();
  writeRect(out, {ctr.x, ctr.y, ctr.x, ctr.y});
  out.put(kFieldSeparator);
  std::uint16_t n = terminalCount();
  writeDecimal(out, n);
  for (std::uint16_t i = 0; i < n; ++i) {
    out.put(kFieldSeparator);
    out.put('(');
    RelationableGraphic* t = i < terminals_.size() ? terminals_[i] : nullptr;
    const std::string* styles = i < terminalStyles_.size() && !terminalStyles_[i].empty() ? &terminalStyles_[i] : nullptr;
    if (!t && !styles) {
      out.put('0');
    } else {
      writeHex(out, t ? t->id() : 0);
      out.put(kFieldSeparator);
      const Line* leg = c ? c->leg(i) : nullptr;
      writeHex(out, leg ? leg->lineColor() : 0);
      // The end's styles this version does not draw go back as they were read.
      if (styles) out << *styles;
    }
    out.put(')');
  }
  out.put(kFieldSeparator);
  auto* labelled = dynamic_cast<const LabeledConnector*>(c);
  if (labelled) {
    const char* text = labelled->getLabel();
    writeQuoted(out, text ? text : "");
    const Shape* shape = labelled->labelShape();
    for (std::uint32_t colour : {shape ? shape->fillColor() : 0xFFFFFFu, shape ? shape->borderColor() : 0u,
                                 shape ? shape->textColor() : 0u}) {
      out.put(kFieldSeparator);
      writeHex(out, colour);
    }
  } else {
    out << ",,,";
  }
  out.put(kFieldSeparator);
  writeHex(out, c ? c->connectorFlags() : 0);
}

void Maplet::readFrom(std::istream& in, const Version* version) {
  BehaviouralGraphic::readFrom(in, version);
  changeConnector(nullptr);
  Connector* c = getConnector();
  const bool newSyntax = version && version->word() != 0;
  const bool olderSyntax = !version || version->word() == 0;

  std::optional<POINT> written;
  if (expectChar(in, kFieldSeparator) == kFieldRead) {
    POINT ctr{};
    // The plain maplet places its floating ends around the centre it reads.
    if (readPoint(in, ctr) == kFieldRead) {
      Maplet::setCentre(ctr);
      written = ctr;
    }
    if (newSyntax) {
      POINT ignored{};
      readPoint(in, ignored);
    }
  }
  std::int32_t n = 0;
  if (expectChar(in, kFieldSeparator) == kFieldRead) readDecimal(in, n);
  if (n < 0) n = 0;

  std::vector<std::pair<std::uint16_t, RelationableGraphic*>> found;
  GraphicContainer* parent = container();
  terminalStyles_.clear();
  for (std::int32_t i = 0; i < n; ++i) {
    // Without its separator the list has ended: a damaged count cannot make us spin.
    if (expectChar(in, kFieldSeparator) != kFieldRead) break;
    if (newSyntax && expectChar(in, '(') != kFieldRead)
      reportError(nullptr, 'E', "Maplet::readFrom: expecting '(' for Terminal Specs");
    std::uint32_t id = 0;
    if (readHex(in, id) == kFieldRead && id != 0) {
      if (!parent) {
        reportError(nullptr, 'E', "Maplet::readFrom: no parent");
      } else if (Graphic* g = parent->find(id); g && g != static_cast<Graphic*>(this)) {
        if (auto* t = dynamic_cast<RelationableGraphic*>(g); t && i < 0x10000)
          found.emplace_back(static_cast<std::uint16_t>(i), t);
      } else if (g == static_cast<Graphic*>(this)) {
        reportError(nullptr, 'E', "Maplet::readFrom: terminal %ld names the maplet itself", static_cast<long>(i));
      } else if (!olderSyntax) {
        reportError(nullptr, 'I', "Maplet::readFrom: can't find id %ld to attach to (not instantiated yet?)",
                    static_cast<long>(id));
      } else if (i < 0x10000) {
        parent->deferAttachment(this, static_cast<std::uint16_t>(i), id);
      }
    }
    if (!newSyntax) continue;
    // The fields after LineColor1 are kept in their written form, to be written back.
    std::string styles;
    for (int f = 0; f < 11; ++f) {
      if (expectChar(in, kFieldSeparator) != kFieldRead) {
        if (expectChar(in, ')') == kFieldRead) goto specEnded;
        reportError(nullptr, 'E', "Maplet::readFrom: expecting ',' before %s in TerminalSpec", kSpecFields[f]);
      }
      if (f > 0) styles += kFieldSeparator;
      if (isQuotedSpecField(f)) {
        std::string text;
        if (readQuoted(in, text) == kFieldRead) appendQuoted(styles, text);
      } else {
        std::uint32_t value = 0;
        const bool got = readHex(in, value) == kFieldRead;
        if (got && f == 0 && c && i < c->legCount())
          if (Line* leg = c->leg(static_cast<std::uint16_t>(i))) leg->setLineColor(value);
        if (got && f > 0) appendHex(styles, value);
      }
    }
    skipTo(in, ')');
  specEnded:
    if (!styles.empty() && i < 0x10000) {
      if (terminalStyles_.size() <= static_cast<std::size_t>(i)) terminalStyles_.resize(static_cast<std::size_t>(i) + 1);
      terminalStyles_[static_cast<std::size_t>(i)] = std::move(styles);
    }
  }

  if (newSyntax) {
    if (expectChar(in, kFieldSeparator) != kFieldRead)
      reportError(nullptr, 'E', "Maplet::readFrom: expecting ',' before Text in TerminalSpec");
    std::string text;
    // Any maplet shows the label its line holds; one of a type without a label holds none.
    if (readQuoted(in, text) == kFieldRead && (!text.empty() || dynamic_cast<LabeledConnector*>(c))) {
      setLabel(text.c_str());
      c = getConnector();
    }
    for (const char* field : {"FillColor", "BorderColor", "TextColor"}) {
      if (expectChar(in, kFieldSeparator) != kFieldRead)
        reportError(nullptr, 'E', "Maplet::readFrom: expecting ',' before %s in TerminalSpec", field);
      std::uint32_t ignored = 0;
      readHex(in, ignored);
    }
  }
  std::uint32_t flags = 0;
  if (expectChar(in, kFieldSeparator) == kFieldRead && readHex(in, flags) == kFieldRead && c)
    c->setConnectorFlags(flags);
  for (auto [i, target] : found) setConnection(i, target);
  // Hooking the ends moves an auto-centred centre; the map reads back as it was written.
  if (c && written && !found.empty() && c->centre() != *written) Maplet::setCentre(*written);
}

SMaplet::SMaplet(const std::string& connectorName, const POINT& p)
    : BehaviouralGraphic(connectorName),
      SRGraphic(connectorName),
      Maplet(connectorName, p) {}

SMaplet::SMaplet(const SMaplet& other)
    : CloneableObject(other),
      BehaviouralGraphic(other),
      Observer(other),
      SRGraphic(other),
      Maplet(other) {}

void SMaplet::moveTo(const POINT& p) {
  Connector* c = getConnector();
  if (!c) return;
  const POINT was = c->centre();
  // The ends are placed from the centre as reading the map places them, so that a saved
  // map reopens as it was shown; maplets hooked to this one follow its centre.
  Maplet::setCentre(p);
  if (p != was && !telling_) {
    telling_ = true;
    notifyObservers();
    telling_ = false;
  }
}

void SMaplet::readFrom(std::istream& in, const Version* version) {
  Maplet::readFrom(in, version);
  notifyObservers();
  notifyObservers();
}

// A refusal of the maplet's own commands stands; only what it does not handle goes on.
int SMaplet::execute(Command* cmd) {
  int r = Maplet::execute(cmd);
  return r == kResultNotOwnCommand ? SensitiveGraphic::execute(cmd) : r;
}

int SMaplet::undo(Command* cmd) {
  int r = Maplet::undo(cmd);
  return r == kResultNotOwnCommand ? SensitiveGraphic::undo(cmd) : r;
}

int SMaplet::leftButtonDown(unsigned keys, const POINT& p) {
  Connector* c = getConnector();
  if (!c) return 0;
  unsigned hit = c->hitTest(p);
  if (!(hit & 0x20)) return 0;
  unsigned handle = (hit >> 8) & 0xFF;
  if (handle == 0) {
    beginDrag(p);
    return 1;
  }
  std::uint16_t i = static_cast<std::uint16_t>(handle - 1);
  GraphicContainer* parent = container();
  if (!parent || i >= c->legCount()) return 1;
  POINT end = fromWindow(trackLine(interaction(), toWindow(centre()), toWindow(p), window()));
  SensitiveGraphic* s = parent->findSensitiveAt(end);
  if (auto* target = dynamic_cast<RelationableGraphic*>(s); target && s != static_cast<SensitiveGraphic*>(this))
    submitCommand(generateSetConnection(i, target->id()));
  return 1;
}

int SMaplet::rightButtonDown(unsigned keys, const POINT& p) {
  const Connector* c = getConnector();
  popupTerminal_ = c ? c->terminalAt(p) : -1;
  const int r = SensitiveGraphic::rightButtonDown(keys, p);
  popupTerminal_ = -1;
  return r;
}

int SMaplet::leftDoubleClick(unsigned keys, const POINT& p) {
  submitCommand(generateChangeLabel(nullptr));
  return 1;
}

std::unique_ptr<Command> SMaplet::generateMoveTo(const POINT& p) {
  Connector* c = getConnector();
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdMoveTo);
  all->append(SRGraphic::generateMoveTo(p));
  unsigned long autoCentre = c ? (c->connectorFlags() & Connector::kAutoCentre) : 0;
  all->append(std::make_unique<Command1<unsigned long>>(GraphicObjectLocator(*this), kCmdClearFlags,
                                                        Connector::kAutoCentre, autoCentre));
  return all;
}

Menu SMaplet::buildPopupMenu() {
  Menu menu = SensitiveGraphic::buildPopupMenu();
  menu.addSeparator();
  std::vector<std::string> names = GraphicsFactory::instance().connectorNames();
  if (!names.empty()) {
    Menu types;
    for (std::size_t i = 0; i < names.size(); ++i) types.add(static_cast<unsigned>(kCmdFirstSubmenuItem + i), names[i]);
    menu.addSubmenu("Change Connection Type", types);
  }
  Connector* c = getConnector();
  // Both always stand there, greyed where they do not apply, so that items keep their places.
  menu.add(kCmdSetConnection, "Unhook Terminal", popupTerminal_ >= 0);
  menu.add(kCmdFloatHandle, "Float Handle", popupTerminal_ < 0 && c && !c->isAutoCentre());
  // Last, as in a node's popup, so that the items above keep their places.
  menu.add(kCmdChangeLabel, "Edit Label...");
  return menu;
}

std::unique_ptr<Command> SMaplet::doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText) {
  if (id == kCmdSetConnection) {
    const int terminal = popupTerminal_;
    if (terminal < 0) {
      reportError(nullptr, 'E', "SensitiveGraphic::doGenerateCommand: unexpected context");
      return nullptr;
    }
    return generateSetConnection(static_cast<std::uint16_t>(terminal), 0);
  }
  if (id == kCmdChangeLabel) return generateChangeLabel(nullptr);
  if (id == kCmdFloatHandle) {
    Connector* c = getConnector();
    unsigned long was = c ? (c->connectorFlags() & Connector::kAutoCentre) : 0;
    return std::make_unique<Command1<unsigned long>>(GraphicObjectLocator(*this), kCmdSetFlags, Connector::kAutoCentre,
                                                     was);
  }
  return SensitiveGraphic::doGenerateCommand(id, at, itemText);
}
