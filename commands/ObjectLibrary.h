// Name-to-prototype registries: commands, locators and map components.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class CloneableObject;
class Command;
class ObjectLocator;

/// An ordered map from a name to an owned prototype; the first entry of a name stays.
template <class T, int Variant = 0>
class ObjectLibrary {
 public:
  /// Stores the prototype under the name and owns it; answers false (and
  /// destroys the prototype) when the name is taken.
  bool insert(const std::string& name, std::unique_ptr<T> prototype) {
    return entries_.try_emplace(name, std::move(prototype)).second;
  }
  /// The stored prototype, or null. No fallback name.
  T* find(const std::string& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.get();
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_) out.push_back(e.first);
    return out;
  }
  std::size_t size() const { return entries_.size(); }

 private:
  std::map<std::string, std::unique_ptr<T>> entries_;
};

/// Prototypes of command classes by class name; empty unless an embedding registers some.
ObjectLibrary<Command>& commandLibrary();
/// Prototypes of locator classes by class name; empty unless an embedding registers some.
ObjectLibrary<ObjectLocator>& objectLocatorLibrary();
/// One prototype of each map component class, by class name.
ObjectLibrary<CloneableObject>& componentPrototypes();
