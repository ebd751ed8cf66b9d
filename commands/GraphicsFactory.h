// The named drawing prototypes (shapes, lines, connectors) that new elements are cloned from.
#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Connector;
class ContextBox;
class Graphic;
class Node;
class SMaplet;
struct tagPOINT;
struct tagRECT;
using POINT = tagPOINT;
using RECT = tagRECT;
class GraphicContainer;
class Line;
class Shape;

/// A pointer that either owns its pointee (copying it clones the pointee) or is a
/// plain link to one that something else keeps alive.
template <class X>
class Ref2 {
 public:
  Ref2() = default;
  /// Takes ownership of `p`.
  explicit Ref2(std::unique_ptr<X> p) : owned_(std::move(p)), p_(owned_.get()) {}
  /// Links to `p`, which something else keeps alive.
  static Ref2 link(X* p) {
    Ref2 r;
    r.p_ = p;
    return r;
  }
  Ref2(const Ref2& other)
      : owned_(other.owned_ ? std::unique_ptr<X>(other.owned_->clone()) : nullptr),
        p_(other.owned_ ? owned_.get() : other.p_) {}
  Ref2(Ref2&& other) noexcept : owned_(std::move(other.owned_)), p_(std::exchange(other.p_, nullptr)) {}
  Ref2& operator=(Ref2 other) noexcept {
    std::swap(owned_, other.owned_);
    std::swap(p_, other.p_);
    return *this;
  }

  X* get() const { return p_; }
  X& operator*() const { return *p_; }
  X* operator->() const { return p_; }
  bool owned() const { return owned_ != nullptr; }

 private:
  std::unique_ptr<X> owned_;
  X* p_ = nullptr;
};

/// Prototypes of one kind by name, in byte order of their names. Every entry
/// is a private clone; the first registration of a name stays.
template <class X>
class GraphicsLibrary {
 public:
  /// Stores a clone of `prototype` under `name`; answers false (storing
  /// nothing) when the name is already taken.
  bool add(const std::string& name, const X& prototype);
  /// A clone, owned by the caller, of the named prototype, else of "default",
  /// else of the first by name; null only when the library is empty.
  std::unique_ptr<X> get(const std::string& name) const;
  /// The stored prototype itself, or null; no fallback.
  const X* find(const std::string& name) const;
  /// The stored prototype get clones: the named one, else "default", else the first.
  const X* prototypeFor(const std::string& name) const;
  /// All names in ascending byte order.
  std::vector<std::string> names() const;
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

 private:
  std::map<std::string, Ref2<X>> entries_;
};

/// The one registry of drawing prototypes, made with its own "default" shape,
/// line and connector on first use and kept until the process ends. A missing
/// name falls back silently to "default", then to the first name.
class GraphicsFactory {
 public:
  /// The factory, made on first use.
  static GraphicsFactory& instance();

  GraphicsFactory(const GraphicsFactory&) = delete;
  GraphicsFactory& operator=(const GraphicsFactory&) = delete;
  ~GraphicsFactory();

  /// Registers a clone of `shape` under `name` unless the name is taken.
  bool addShape(const std::string& name, const Shape& shape);
  /// A clone of the named shape (or its fallback), owned by the caller; null when there is none.
  std::unique_ptr<Shape> getShape(const std::string& name) const;
  /// The shape names in ascending byte order.
  std::vector<std::string> shapeNames() const { return shapes_.names(); }

  bool addLine(const std::string& name, const Line& line);
  std::unique_ptr<Line> getLine(const std::string& name) const;
  std::vector<std::string> lineNames() const { return lines_.names(); }

  bool addConnector(const std::string& name, const Connector& connector);
  std::unique_ptr<Connector> getConnector(const std::string& name) const;
  std::vector<std::string> connectorNames() const { return connectors_.names(); }

  /// A node of the named shape, in no container yet.
  std::unique_ptr<Node> makeNode(const std::string& shapeName, const char* label, const RECT* bounds) const;
  /// A maplet of the named connector type centred at `p`, in no container yet.
  std::unique_ptr<SMaplet> makeMaplet(const std::string& connectorName, const POINT& p) const;
  /// A context of the named shape, in no container yet.
  std::unique_ptr<ContextBox> makeContextBox(const std::string& shapeName, const char* label,
                                             const RECT* bounds) const;
  /// Reads a component whose type word comes first ("Node" or "ContextBox") into
  /// `container`, which owns it; the element, or null for any other word.
  Graphic* readNode(std::istream& in, GraphicContainer& container) const;
  /// The same for "Maplet" and "SMaplet", both read as an SMaplet.
  Graphic* readMaplet(std::istream& in, GraphicContainer& container) const;

  const GraphicsLibrary<Shape>& shapes() const { return shapes_; }
  const GraphicsLibrary<Line>& lines() const { return lines_; }
  const GraphicsLibrary<Connector>& connectors() const { return connectors_; }

 private:
  GraphicsFactory();

  GraphicsLibrary<Shape> shapes_;
  GraphicsLibrary<Line> lines_;
  GraphicsLibrary<Connector> connectors_;
};

/// Registers the editor's standard shapes, lines and connector types with the
/// factory. Called once at start-up; calling it again changes nothing.
void registerStandardPrototypes();

/// Registers one prototype of each map component class ("SMaplet", "Node",
/// "ContextBox") by class name, so that commands carrying elements can be read back.
void registerComponentPrototypes();
