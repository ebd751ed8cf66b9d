// The ordered, id-indexed collection of graphics that maps and elements are made of.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

#include "commands/CommandReceiver.h"
#include "commands/CommandTypes.h"
#include "support/Geometry.h"
#include "model/IdIndex.h"
#include "model/MapState.h"
#include "support/ErrorReporter.h"

class AreaIndex;
class Command;
class DrawingContext;
class Graphic;
class SensitiveGraphic;
class Version;

/// Owns its members in stacking order (back first), gives them ids and finds them again.
class GraphicContainer : public CommandReceiverContainer {
 public:
  static constexpr std::uint32_t kBeingDestroyed = 1;
  static constexpr std::uint32_t kReading = 2;

  /// A connection to make once every element of a file has been read.
  struct Attachment {
    Graphic* graphic = nullptr;
    std::uint16_t terminal = 0;
    std::uint32_t targetId = 0;
  };

 private:
  struct Member {
    std::unique_ptr<Graphic> graphic;
    std::uint64_t order;  // grows along the list, so "first in list order" is "least order"
  };
  using MemberList = std::list<Member>;

 public:
  /// Where a hit search stopped, so that the next search continues behind it.
  class Position {
   public:
    Position() = default;

   private:
    friend class GraphicContainer;
    bool started_ = false;
    bool exhausted_ = false;
    MemberList::const_iterator last_;
  };

  /// Iterates the members back to front as plain pointers.
  class MemberIterator {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = Graphic*;
    using difference_type = std::ptrdiff_t;
    using pointer = Graphic* const*;
    using reference = Graphic*;
    MemberIterator() = default;
    explicit MemberIterator(MemberList::const_iterator it) : it_(it) {}
    Graphic* operator*() const { return it_->graphic.get(); }
    MemberIterator& operator++() { ++it_; return *this; }
    MemberIterator operator++(int) { auto t = *this; ++it_; return t; }
    MemberIterator& operator--() { --it_; return *this; }
    MemberIterator operator--(int) { auto t = *this; --it_; return t; }
    bool operator==(const MemberIterator&) const = default;

   private:
    MemberList::const_iterator it_;
  };

  GraphicContainer();
  /// A container holding clones of the other's members, with ids 1, 2, 3, ...
  GraphicContainer(const GraphicContainer& other);
  /// Replaces the members with clones of the other's and takes its id counter.
  GraphicContainer& operator=(const GraphicContainer& other);
  ~GraphicContainer() override;

  int executeOnBehalf(Command* cmd) override { return kResultNotHandled; }
  /// Takes back a member removed by a DELETE that is being undone.
  int undoOnBehalf(Command* cmd) override;

  /// Moves a member to the front; -1 (and a report) when it is not a member.
  virtual int popToFront(Graphic* g);
  /// Orders the members by their addresses.
  virtual void sort();
  /// The first member with this id; throws Graphic::Exception when there is none.
  virtual Graphic* operator[](std::uint32_t id) const;
  /// Lays out every member, then draws every member back to front.
  virtual void draw(DrawingContext& dc);
  /// Lays out, then draws, back to front, only the members whose repaint area meets
  /// `area`: within `area` the picture is the one draw paints.
  void drawArea(DrawingContext& dc, const RECT& area);
  /// Lays out every member (before an export, or once a map is read).
  void layOutAll(DrawingContext& dc);
  /// Repaints an area; the root of the chain answers it.
  virtual void invalidateRect(const RECT& r) = 0;
  virtual void setCaptured(Graphic* g) { captured_ = g; }
  /// Executes and destroys the command; containers with something above pass it up.
  virtual int submitCommand(std::unique_ptr<Command> cmd);
  /// Told when a member changed on its own.
  virtual void memberChanged(std::uint32_t id) {}
  virtual NativeWindow window() const = 0;
  /// The state of the map this container belongs to; a container in no map shares
  /// one with every other such container.
  virtual MapState& mapState();
  virtual POINT fromWindow(const POINT& p) const = 0;
  virtual POINT toWindow(const POINT& p) const = 0;
  virtual RECT fromWindow(const RECT& r) const = 0;
  virtual RECT toWindow(const RECT& r) const = 0;
  /// Sets the highlight of every member, back to front.
  virtual void setAllHighlighted(bool on);
  /// Records a connection to make after reading.
  virtual void deferAttachment(Graphic* g, std::uint16_t terminal, std::uint32_t targetId);
  /// Makes the recorded connections and forgets them; each is tried once.
  virtual void fixupDeferredAttachment();

  // The text form of the members: the header, one component line per member and ";".
  // (A composite's own printOn writes it as a graphic, so these have names of their own.)
  /// Writes the id counter, a line end, ";" and a line end.
  virtual void printHeaderOn(std::ostream& out) const;
  /// Writes the header, one component line per member, back to front, and ";".
  virtual void printComponentsOn(std::ostream& out) const;
  /// Reads the header written by printHeaderOn.
  virtual void readHeaderFrom(std::istream& in);
  /// Replaces the members with those read: the older syntax for no version or one
  /// below 0.1, the 0.1 syntax for 0.1; any other version reads nothing.
  virtual void readComponentsFrom(std::istream& in, const Version* version);

  /// Room for one component line; a longer line is refused with a report, and the
  /// rest of the text is not read.
  static constexpr std::size_t kMaxComponentLineLength = 16 * 1024 * 1024;

  /// What the last readComponentsFrom met: the element lines that held anything, and
  /// how many of them gave no element (malformed or refused lines, a repeated id, a
  /// line beyond the line room and whatever followed it).
  struct ReadTally {
    std::size_t lines = 0;
    std::size_t lost = 0;
  };
  const ReadTally& lastRead() const;

  /// The members whose repaint areas may meet `area` (every member that does, and
  /// perhaps a few near it), back to front.
  std::vector<Graphic*> membersNear(const RECT& area) const;

  /// Tells the area index that a member's looks or geometry may have changed; it
  /// is measured again before the next hit search or area drawing. Members call it
  /// whenever they ask for a repaint.
  void memberMayHaveMoved(const Graphic* g);

  /// Notes where a member stands in the stacking order before a DELETE takes it
  /// out, so that undoing the deletion puts it back there.
  void rememberPlace(const Graphic* g);

  /// Appends a graphic at the front and settles its id; the container owns it from now on.
  std::uint32_t add(std::unique_ptr<Graphic> g);
  /// Takes a member out and hands it to the caller; null when it is no member or the
  /// container is being destroyed.
  std::unique_ptr<Graphic> remove(Graphic& g);
  /// Destroys every member, front to back, and restarts the ids at 1.
  void clear();
  /// The front-most sensitive member under `p` (or the captured one). With a
  /// position, the search goes on behind the member answered last time.
  SensitiveGraphic* findSensitiveAt(const POINT& p, Position* from = nullptr) const;
  /// The member with this id, or null; never throws.
  Graphic* find(std::uint32_t id) const;
  bool contains(const Graphic* g) const;

  std::size_t memberCount() const { return members_.size(); }
  MemberIterator begin() const { return MemberIterator(members_.cbegin()); }
  MemberIterator end() const { return MemberIterator(members_.cend()); }
  Graphic* front() const { return members_.empty() ? nullptr : members_.back().graphic.get(); }

  Graphic* captured() const { return captured_; }
  std::uint32_t nextId() const { return nextId_; }
  void setNextId(std::uint32_t id) { nextId_ = id; }
  std::uint32_t containerFlags() const { return flags_; }
  bool isBeingDestroyed() const { return (flags_ & kBeingDestroyed) != 0; }
  std::vector<Attachment>& attachments() { return extras().attachments; }

 protected:
  void setContainerFlags(std::uint32_t flags) { flags_ = flags; }

 protected:
  /// The counter's id, or the next one after it that no member has (never 0); 0 when
  /// every id is taken. Taken: the counter moves past it.
  std::uint32_t freshId();

 private:
  friend class Graphic;
  void idChanged(Graphic* g, std::uint32_t oldId);
  /// Makes room for the members a header's id counter announces.
  void reserveFor(std::uint32_t counter);
  void readOlderComponents(std::istream& in);
  void readComponentLines(std::istream& in, const Version& version);
  void copyMembersFrom(const GraphicContainer& other);
  void returnToPlace(Graphic* g);
  static MemberList::iterator memberOf(const Graphic* g);
  /// The area index, made (with every member in it) at the first search.
  AreaIndex& areaIndex() const;
  /// The members whose repaint areas may meet `area`, front first; false when the area
  /// is too large for the grid to help (the caller then walks the whole list).
  bool candidatesIn(const RECT& area, std::vector<Member*>& out) const;

  // Where a deleted member stood: the id of the member in front of it (0 when it
  // was the front-most) and its stacking key.
  struct Place {
    std::uint32_t frontId;
    std::uint64_t order;
  };

  // What most containers (the parts of one element) never need, made when first needed.
  struct Extras {
    Extras();
    ~Extras();
    std::vector<Attachment> attachments;
    ReadTally lastRead;
    std::unordered_map<const Graphic*, Place> places;
    std::unique_ptr<AreaIndex> area;  // only searched containers (a map) have one
  };
  Extras& extras() const;

  MemberList members_;
  std::uint32_t flags_ = 0;
  std::uint32_t nextId_ = 1;
  Graphic* captured_ = nullptr;
  std::uint64_t nextOrder_ = 0;
  IdIndex<Member> byId_;
  mutable std::unique_ptr<Extras> extras_;
};
