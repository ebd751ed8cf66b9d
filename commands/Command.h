// Undoable commands: the base, the value-carrying templates and the composite.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "commands/CommandTypes.h"
#include "commands/ObjectLocator.h"
#include "support/Fields.h"
#include "support/Geometry.h"

class GraphicContainer;
class Command;

/// Reports "<who>::<operation>: Bad <command name> command, type = <class>".
void reportBadCommand(const Command& cmd, const char* who, const char* operation);

/// `cmd` as the class its type promises, or null after reportBadCommand.
template <class C>
C* commandAs(Command* cmd, const char* who, const char* operation);

/// A change to a map that can be executed, undone and written as text.
/// The command owns its locator; who made it is kept in its identity stamp.
class Command {
 public:
  /// A command with no locator and type 0: a prototype to read into.
  Command();
  /// Clones the locator and stamps the command with this process's identity.
  Command(const ObjectLocator& locator, unsigned type);
  Command(const Command& other);
  Command& operator=(const Command&) = delete;
  virtual ~Command();

  virtual Command* clone() const { return new Command(*this); }
  virtual const char* className() const { return "Command"; }
  /// Copies the type, a clone of the locator and the identity stamp.
  virtual void assign(const Command& other);

  unsigned typeCode() const { return type_; }
  virtual unsigned type() const { return type_; }
  std::int32_t timeStamp() const { return timeStamp_; }
  std::string origin() const { return origin_; }
  std::uint32_t processId() const { return processId_; }
  std::uint32_t serial() const { return serial_; }
  ObjectLocator* locator() const { return locator_.get(); }
  virtual void setRoot(GraphicContainer* root);

  /// Finds the receiver (or the container acting for it) and applies the command.
  virtual int execute();
  /// The same with undo.
  virtual int undo();

  /// Orders by identity stamp: time, origin, process, serial.
  virtual bool operator<(const Command& other) const;
  /// Equal identity stamps; type, locator and values take no part.
  virtual bool operator==(const Command& other) const;
  /// Destroys now whatever the command carries that is not part of a map.
  virtual void release() {}
  /// Made by this process.
  virtual bool isLocal() const;

  /// Writes the class name and every field.
  virtual void printOn(std::ostream& out) const;
  /// Reads everything after the class name; false when the rest cannot be read.
  virtual bool readFrom(std::istream& in);

  /// Reads one command in text form through the command registry; null when unknown.
  static std::unique_ptr<Command> readCommand(std::istream& in);

  /// "login@host" of this process, read once.
  static const std::string& processOrigin();
  static std::uint32_t currentProcessId();

 private:
  unsigned type_ = 0;
  std::unique_ptr<ObjectLocator> locator_;
  std::string origin_;
  std::int32_t timeStamp_ = 0;
  std::uint32_t processId_ = 0;
  std::uint32_t serial_ = 0;
};

/// How each value type is named and written.
template <class T>
struct CommandValue;

template <>
struct CommandValue<unsigned long> {
  static constexpr const char* kName = "Command1<unsigned long>";
  static void write(std::ostream& out, unsigned long v) { writeHex(out, v & 0xFFFFFFFFu); }
  static int read(std::istream& in, unsigned long& v) { return readHex(in, v); }
};
template <>
struct CommandValue<unsigned int> {
  static constexpr const char* kName = "Command1<unsigned int>";
  static void write(std::ostream& out, unsigned int v) { writeHex(out, v); }
  static int read(std::istream& in, unsigned int& v) { return readHex(in, v); }
};
template <>
struct CommandValue<std::string> {
  static constexpr const char* kName = "Command1<string>";
  // Quoted, so that labels with blanks, separators and line feeds survive.
  static void write(std::ostream& out, const std::string& v) { writeQuoted(out, v); }
  static int read(std::istream& in, std::string& v) { return readQuoted(in, v); }
};
template <>
struct CommandValue<tagPOINT> {
  static constexpr const char* kName = "Command1<tagPOINT>";
  static void write(std::ostream& out, const tagPOINT& v) { writePoint(out, v); }
  static int read(std::istream& in, tagPOINT& v) { return readPoint(in, v); }
};
template <>
struct CommandValue<tagRECT> {
  static constexpr const char* kName = "Command1<tagRECT>";
  static void write(std::ostream& out, const tagRECT& v) { writeRect(out, v); }
  static int read(std::istream& in, tagRECT& v) { return readRect(in, v); }
};

/// What a context's move carried along: the elements that lay wholly inside the
/// context and where each stood before, recorded when the move is first executed,
/// so that undo and redo move exactly those and nothing that came to lie inside later.
struct CarriedElements {
  bool recorded = false;
  std::vector<std::pair<std::uint32_t, POINT>> from;  // id and origin before the move
};

/// What a command of one value type keeps besides its values: only a move has anything.
template <class T>
struct CommandRecord {};
template <>
struct CommandRecord<tagPOINT> {
  CarriedElements carried;
};

/// A command that carries a new and an old value.
template <class T>
class Command1 : public Command, public CommandRecord<T> {
 public:
  Command1() = default;
  Command1(const ObjectLocator& locator, unsigned type, const T& newValue, const T& oldValue)
      : Command(locator, type), newValue_(newValue), oldValue_(oldValue) {}

  Command* clone() const override { return new Command1(*this); }
  const char* className() const override { return CommandValue<T>::kName; }
  virtual void assign(const Command1& other) {
    Command::assign(other);
    static_cast<CommandRecord<T>&>(*this) = other;
    newValue_ = other.newValue_;
    oldValue_ = other.oldValue_;
  }
  void setNew(const T& v) { newValue_ = v; }
  T& getNew() { return newValue_; }
  const T& getNew() const { return newValue_; }
  void setOld(const T& v) { oldValue_ = v; }
  T& getOld() { return oldValue_; }
  const T& getOld() const { return oldValue_; }

  void printOn(std::ostream& out) const override {
    Command::printOn(out);
    out.put(kFieldSeparator);
    CommandValue<T>::write(out, newValue_);
    out.put(kFieldSeparator);
    CommandValue<T>::write(out, oldValue_);
  }
  bool readFrom(std::istream& in) override {
    if (!Command::readFrom(in)) return false;
    if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
    CommandValue<T>::read(in, newValue_);
    if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
    CommandValue<T>::read(in, oldValue_);
    return true;
  }

 private:
  T newValue_{};
  T oldValue_{};
};

template <class A, class B>
class Command2;

/// A command with a pair of values: SET CONNECTION keeps the terminal index in
/// the first pair and the target ids (0 for floating) in the second.
template <>
class Command2<unsigned int, unsigned long> : public Command1<unsigned int> {
 public:
  Command2() = default;
  Command2(const ObjectLocator& locator, unsigned type, unsigned int newValue, unsigned int oldValue,
           unsigned long newValue2, unsigned long oldValue2)
      : Command1<unsigned int>(locator, type, newValue, oldValue),
        newValue2_(newValue2),
        oldValue2_(oldValue2) {}

  Command* clone() const override { return new Command2(*this); }
  const char* className() const override { return "Command2<unsigned int,unsigned long>"; }
  virtual void assign(const Command2& other) {
    Command1<unsigned int>::assign(other);
    newValue2_ = other.newValue2_;
    oldValue2_ = other.oldValue2_;
  }
  void setNew2(unsigned long v) { newValue2_ = v; }
  unsigned long getNew2() const { return newValue2_; }
  void setOld2(unsigned long v) { oldValue2_ = v; }
  unsigned long getOld2() const { return oldValue2_; }

  void printOn(std::ostream& out) const override;
  bool readFrom(std::istream& in) override;

 private:
  unsigned long newValue2_ = 0;
  unsigned long oldValue2_ = 0;
};

/// Reads a map element of the named class through the component prototypes;
/// null (after a report) when the class is unknown or of the wrong kind.
class Graphic;
std::unique_ptr<Graphic> readComponentElement(std::istream& in, const std::string& className,
                                              bool (*isWanted)(const Graphic*));
// Ownership helpers for graphics (model/Graphic.h).
template <class T>
std::unique_ptr<T> ownedAs(std::unique_ptr<Graphic> g);
template <class T>
std::unique_ptr<T> cloneOf(const T& g);

/// A command that carries whole elements. It owns what it carries: an element
/// it points at is never part of a map at the same time.
template <class T>
class CommandPtr1 : public Command {
 public:
  CommandPtr1() = default;
  CommandPtr1(const ObjectLocator& locator, unsigned type, std::unique_ptr<T> newValue, std::unique_ptr<T> oldValue)
      : Command(locator, type), newValue_(std::move(newValue)), oldValue_(std::move(oldValue)) {}
  CommandPtr1(const CommandPtr1& other)
      : Command(other), newValue_(copyOf(other.newValue_)), oldValue_(copyOf(other.oldValue_)) {}
  ~CommandPtr1() override = default;

  Command* clone() const override { return new CommandPtr1(*this); }
  const char* className() const override { return T::kCommandPtrName; }
  virtual void assign(const CommandPtr1& other) {
    Command::assign(other);
    newValue_ = copyOf(other.newValue_);
    oldValue_ = copyOf(other.oldValue_);
  }
  /// Takes ownership of the element; the one held before is destroyed.
  void setNew(std::unique_ptr<T> v) { newValue_ = std::move(v); }
  T* getNew() const { return newValue_.get(); }
  /// Hands the carried element over to the caller; the command holds none then.
  std::unique_ptr<T> takeNew() { return std::move(newValue_); }
  void setOld(std::unique_ptr<T> v) { oldValue_ = std::move(v); }
  T* getOld() const { return oldValue_.get(); }
  std::unique_ptr<T> takeOld() { return std::move(oldValue_); }

  void release() override {
    newValue_.reset();
    oldValue_.reset();
  }

  void printOn(std::ostream& out) const override {
    Command::printOn(out);
    for (const T* v : {newValue_.get(), oldValue_.get()}) {
      out.put(kFieldSeparator);
      if (v) writeQuoted(out, v->className());
      out.put(kFieldSeparator);
      if (v) v->printOn(out);
    }
    out.put(kFieldSeparator);
  }
  bool readFrom(std::istream& in) override {
    if (!Command::readFrom(in)) return false;
    release();
    for (std::unique_ptr<T>* slot : {&newValue_, &oldValue_}) {
      if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
      std::string name;
      bool named = readQuoted(in, name) == kFieldRead;
      if (expectChar(in, kFieldSeparator) != kFieldRead) return false;
      if (named)
        *slot = ownedAs<T>(readComponentElement(
            in, name, [](const Graphic* g) { return dynamic_cast<const T*>(g) != nullptr; }));
    }
    expectChar(in, kFieldSeparator);
    return true;
  }

 private:
  static std::unique_ptr<T> copyOf(const std::unique_ptr<T>& v) { return v ? cloneOf<T>(*v) : nullptr; }
  std::unique_ptr<T> newValue_;
  std::unique_ptr<T> oldValue_;
};

/// A gesture made of several commands, executed first to last and undone last to first.
class CompositeCommand : public Command {
 public:
  CompositeCommand() = default;
  CompositeCommand(const ObjectLocator& locator, unsigned type) : Command(locator, type) {}
  CompositeCommand(const CompositeCommand& other);

  Command* clone() const override { return new CompositeCommand(*this); }
  const char* className() const override { return "CompositeCommand"; }
  virtual void assign(const CompositeCommand& other);

  /// Adds a member at the end and owns it.
  void append(std::unique_ptr<Command> member);
  const std::vector<std::unique_ptr<Command>>& members() const { return members_; }

  void setRoot(GraphicContainer* root) override;
  int execute() override;
  int undo() override;
  void release() override;
  void printOn(std::ostream& out) const override;
  bool readFrom(std::istream& in) override;

 private:
  std::vector<std::unique_ptr<Command>> members_;
};

template <class C>
C* commandAs(Command* cmd, const char* who, const char* operation) {
  auto* typedCmd = dynamic_cast<C*>(cmd);
  if (!typedCmd) reportBadCommand(*cmd, who, operation);
  return typedCmd;
}
