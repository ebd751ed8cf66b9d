// The command base, its identity stamp, its text form and the composite.
#include "commands/Command.h"

#include <climits>
#include <ctime>
#include <istream>
#include <ostream>
#include <pwd.h>
#include <unistd.h>

#include "commands/CommandReceiver.h"
#include "commands/ObjectLibrary.h"
#include "model/Graphic.h"
#include "support/ErrorReporter.h"

void reportBadCommand(const Command& cmd, const char* who, const char* operation) {
  reportError(nullptr, 'E', "%s::%s: Bad %s command, type = %s", who, operation, commandName(cmd.type()), cmd.className());
}

namespace {

std::string loginName() {
  if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
  if (const char* user = std::getenv("USER")) return user;
  return {};
}

std::string hostName() {
  char buf[HOST_NAME_MAX + 1] = {};
  if (gethostname(buf, sizeof buf - 1) != 0) return {};
  return buf;
}

}  // namespace

const std::string& Command::processOrigin() {
  static const std::string origin = loginName() + "@" + hostName();
  return origin;
}

std::uint32_t Command::currentProcessId() {
  static const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
  return pid;
}

Command::Command() = default;

Command::Command(const ObjectLocator& locator, unsigned type)
    : type_(type),
      locator_(locator.clone()),
      origin_(processOrigin()),
      timeStamp_(static_cast<std::int32_t>(std::time(nullptr))),
      processId_(currentProcessId()) {}

Command::Command(const Command& other)
    : type_(other.type_),
      locator_(other.locator_ ? other.locator_->clone() : nullptr),
      origin_(other.origin_),
      timeStamp_(other.timeStamp_),
      processId_(other.processId_),
      serial_(other.serial_) {}

Command::~Command() = default;

void Command::assign(const Command& other) {
  if (this == &other) return;
  type_ = other.type_;
  locator_.reset();
  if (other.locator_) locator_.reset(other.locator_->clone());
  origin_ = other.origin_;
  timeStamp_ = other.timeStamp_;
  processId_ = other.processId_;
  serial_ = other.serial_;
}

void Command::setRoot(GraphicContainer* root) {
  if (locator_) locator_->setRoot(root);
}

int Command::execute() {
  if (!locator_) return kResultNotFound;
  if (CommandReceiver* r = locator_->locate()) return r->execute(this);
  if (CommandReceiverContainer* c = locator_->locateContainer()) return c->executeOnBehalf(this);
  return kResultNotFound;
}

int Command::undo() {
  if (!locator_) return kResultNotFound;
  if (CommandReceiver* r = locator_->locate()) return r->undo(this);
  if (CommandReceiverContainer* c = locator_->locateContainer()) return c->undoOnBehalf(this);
  return kResultNotFound;
}

bool Command::operator<(const Command& o) const {
  if (timeStamp_ != o.timeStamp_) return timeStamp_ < o.timeStamp_;
  if (origin_ != o.origin_) return origin_ < o.origin_;
  if (processId_ != o.processId_) return processId_ < o.processId_;
  return serial_ < o.serial_;
}

bool Command::operator==(const Command& o) const {
  return timeStamp_ == o.timeStamp_ && origin_ == o.origin_ && processId_ == o.processId_ &&
         serial_ == o.serial_;
}

bool Command::isLocal() const {
  return origin_ == processOrigin() && processId_ == currentProcessId();
}

void Command::printOn(std::ostream& out) const {
  static const NullObjectLocator kNoLocator;
  const ObjectLocator& locator = locator_ ? *locator_ : static_cast<const ObjectLocator&>(kNoLocator);
  writeQuoted(out, className());
  out.put(kFieldSeparator);
  writeHex(out, type_);
  out.put(kFieldSeparator);
  writeQuoted(out, locator.className());
  out.put(kFieldSeparator);
  locator.printOn(out);
  out.put(kFieldSeparator);
  writeQuoted(out, origin_);
  out.put(kFieldSeparator);
  writeHex(out, static_cast<std::uint32_t>(timeStamp_));
  out.put(kFieldSeparator);
  writeHex(out, processId_);
  out.put(kFieldSeparator);
  writeHex(out, serial_);
}

bool Command::readFrom(std::istream& in) {
  readHex(in, type_);
  if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
  std::string locatorName;
  if (readQuoted(in, locatorName) != kFieldRead) return false;
  if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
  ObjectLocator* prototype = objectLocatorLibrary().find(locatorName);
  if (!prototype) {
    reportError(nullptr, 'E', "Command::readFrom: Can't find %s in ObjectLocatorLibrary",
                locatorName.c_str());
    locator_.reset();
    return false;
  }
  locator_.reset(prototype->clone());
  locator_->readFrom(in);
  if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
  readQuoted(in, origin_);
  std::uint32_t stamp = static_cast<std::uint32_t>(timeStamp_);
  for (std::uint32_t* field : {&stamp, &processId_, &serial_}) {
    if (expectChar(in, kFieldSeparator) != kFieldRead) break;
    readHex(in, *field);
  }
  timeStamp_ = static_cast<std::int32_t>(stamp);
  return true;
}

std::unique_ptr<Command> Command::readCommand(std::istream& in) {
  std::string name;
  readQuoted(in, name);
  expectChar(in, kFieldSeparator);
  Command* prototype = commandLibrary().find(name);
  if (!prototype) {
    reportError(nullptr, 'E', "Command::readCommand: Can't find %s in CommandLibrary", name.c_str());
    return nullptr;
  }
  std::unique_ptr<Command> cmd(prototype->clone());
  cmd->readFrom(in);
  return cmd;
}

void Command2<unsigned int, unsigned long>::printOn(std::ostream& out) const {
  Command::printOn(out);
  for (unsigned long v : {static_cast<unsigned long>(getNew()), static_cast<unsigned long>(getOld()),
                          newValue2_, oldValue2_}) {
    out.put(kFieldSeparator);
    writeHex(out, v & 0xFFFFFFFFu);
  }
}

bool Command2<unsigned int, unsigned long>::readFrom(std::istream& in) {
  if (!Command::readFrom(in)) return false;
  unsigned long* values[] = {&newValue2_, &oldValue2_};
  unsigned int* indices[] = {&getNew(), &getOld()};
  for (unsigned int* v : indices) {
    if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
    readHex(in, *v);
  }
  for (unsigned long* v : values) {
    if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
    readHex(in, *v);
  }
  return true;
}

std::unique_ptr<Graphic> readComponentElement(std::istream& in, const std::string& className,
                                              bool (*isWanted)(const Graphic*)) {
  CloneableObject* prototype = componentPrototypes().find(className);
  std::unique_ptr<CloneableObject> copy(prototype ? prototype->clone() : nullptr);
  auto* element = dynamic_cast<Graphic*>(copy.get());
  if (!element || !isWanted(element)) {
    reportError(nullptr, 'E', "Can't find %s in ObjectLibrary<CloneableObject>", className.c_str());
    return nullptr;
  }
  copy.release();
  std::unique_ptr<Graphic> owned(element);
  owned->readFrom(in, &kMapSyntaxVersion);
  return owned;
}

CompositeCommand::CompositeCommand(const CompositeCommand& other) : Command(other) {
  for (const auto& m : other.members_) members_.emplace_back(m->clone());
}

void CompositeCommand::assign(const CompositeCommand& other) {
  if (this == &other) return;
  release();
  Command::assign(other);
  for (const auto& m : other.members_) members_.emplace_back(m->clone());
}

void CompositeCommand::append(std::unique_ptr<Command> member) {
  if (member) members_.push_back(std::move(member));
}

void CompositeCommand::setRoot(GraphicContainer* root) {
  Command::setRoot(root);
  for (auto& m : members_) m->setRoot(root);
}

int CompositeCommand::execute() {
  for (auto& m : members_) m->execute();
  return kResultDone;
}

int CompositeCommand::undo() {
  for (auto it = members_.rbegin(); it != members_.rend(); ++it) (*it)->undo();
  return kResultDone;
}

void CompositeCommand::release() {
  for (auto& m : members_) {
    m->release();
    m.reset();
  }
  members_.clear();
}

void CompositeCommand::printOn(std::ostream& out) const {
  Command::printOn(out);
  // An empty composite still writes both parentheses, so its reader can finish it.
  out.put('(');
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (i) out.put(kFieldSeparator);
    members_[i]->printOn(out);
  }
  out.put(')');
}

bool CompositeCommand::readFrom(std::istream& in) {
  if (!Command::readFrom(in)) return false;
  release();
  if (expectChar(in, '(') != kFieldRead) return false;
  if (expectChar(in, ')') == kFieldRead) return true;
  do {
    std::string name;
    readQuoted(in, name);
    expectChar(in, kFieldSeparator);
    Command* prototype = commandLibrary().find(name);
    if (!prototype) {
      reportError(nullptr, 'E', "CompositeCommand::readFrom: Can't find %s in CommandLibrary",
                  name.c_str());
      skipTo(in, ')');
      return false;
    }
    std::unique_ptr<Command> member(prototype->clone());
    member->readFrom(in);
    members_.push_back(std::move(member));
  } while (expectChar(in, kFieldSeparator) == kFieldRead);
  expectChar(in, ')');
  return true;
}
