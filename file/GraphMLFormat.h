// What the GraphML writer and reader share: namespaces, the names of brenlo's data keys, colours as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace graphml {

inline constexpr const char* kNamespace = "http://graphml.graphdrawing.org/xmlns";
inline constexpr const char* kGraphicsNamespace = "http://www.yworks.com/xml/graphml";

/// The attr.name of every data key the map is written with; the reader goes by these
/// names, not by the key ids, so that files other tools wrote are read too.
namespace key {
inline constexpr const char* kLabel = "label";
inline constexpr const char* kX = "x";
inline constexpr const char* kY = "y";
inline constexpr const char* kWidth = "width";
inline constexpr const char* kHeight = "height";
inline constexpr const char* kShape = "shape";
inline constexpr const char* kFill = "fillColor";
inline constexpr const char* kBorder = "borderColor";
inline constexpr const char* kText = "textColor";
inline constexpr const char* kKind = "kind";
inline constexpr const char* kType = "type";
inline constexpr const char* kFlags = "flags";
inline constexpr const char* kOrder = "order";
/// A maplet's centre: "x y".
inline constexpr const char* kCentre = "centre";
inline constexpr const char* kLegs = "legs";
inline constexpr const char* kFirst = "first";
inline constexpr const char* kLeg = "leg";
inline constexpr const char* kArrows = "arrows";
/// Of the graph: the map's id counter.
inline constexpr const char* kNextId = "nextId";
/// The label and type name in the map's own quoted form, written only when the plain
/// text cannot hold them (bytes that are no UTF-8, characters XML does not allow).
inline constexpr const char* kRawLabel = "rawLabel";
inline constexpr const char* kRawType = "rawType";
}  // namespace key

/// Values of the kind key.
inline constexpr const char* kKindNode = "node";
inline constexpr const char* kKindContext = "context";
inline constexpr const char* kKindMaplet = "maplet";
inline constexpr const char* kKindLeg = "leg";

/// "#rrggbb" for a colour kept as 0x00BBGGRR; a colour with its top byte set (which only a
/// damaged map file gives) keeps that byte as two more digits.
std::string colourText(std::uint32_t colour, bool withTopByte);
/// The colour of "#rrggbb" or "#rrggbbhh" (hh: the top byte when `topByte`, else alpha,
/// which is dropped); nothing for any other text.
std::optional<std::uint32_t> parseColour(std::string_view text, bool topByte);

/// True when `text` is UTF-8 made only of characters XML 1.0 allows.
bool isXmlText(std::string_view text);
/// `text` with every byte or character XML 1.0 does not allow replaced by U+FFFD.
std::string xmlSafeText(std::string_view text);

}  // namespace graphml
