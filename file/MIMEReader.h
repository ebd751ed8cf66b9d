// Reads MIME header blocks and walks the parts of a multipart message, as map files are stored.
#pragma once

#include <cstddef>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

/// Orders strings by their ASCII letters without regard to case.
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

/// True when the two texts are equal without regard to ASCII letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

/// How a call of readTextLine ended.
enum class LineStatus {
  Complete,      ///< the line ended with LF, CR LF or a lone CR (the end is not kept)
  Unterminated,  ///< the input ended after some characters, before a line end
  End,           ///< the input ended before any character
  Failed,        ///< the stream failed or was already failed
  PartEnd        ///< (readBodyLine only) a boundary line or the closing delimiter ended the body
};

/// Result of readTextLine: how it ended, and whether text beyond the limit was dropped.
struct LineRead {
  LineStatus status;
  bool overLimit;
};

/// Characters readTextLine passes over beyond its limit before it gives up on a line.
inline constexpr std::size_t kMaxLineScan = 16 * 1024 * 1024;

/// Reads one line, accepting LF, CR LF and a lone CR as line ends. Keeps at most
/// `limit` characters in `line`; the rest of the line is consumed and dropped
/// (reported through `overLimit`), so that no input makes it allocate without bound.
/// A line that runs on for more than kMaxLineScan characters beyond the limit fails
/// the stream (Failed, overLimit), so that endless input ends the read.
LineRead readTextLine(std::istream& in, std::string& line, std::size_t limit);

/// The value of one header: its text before the first ';' and its parameters.
class MIMEValue {
 public:
  using Params = std::map<std::string, std::string, CaseInsensitiveLess>;

  /// The value of parameter `name` (case ignored), or an empty string if it has none.
  const std::string& param(std::string_view name) const;

  Params params;
  std::string value;
};

/// Reads a header block and remembers its content type; subclasses keep the headers.
class MIMEReader {
 public:
  /// Room for one header line; a longer line fails the read with a report.
  static constexpr std::size_t kMaxLineLength = 64 * 1024;
  /// Room for one header block, in lines and in characters.
  static constexpr std::size_t kMaxHeaderLines = 10000;
  static constexpr std::size_t kMaxHeaderLength = 1024 * 1024;

  virtual ~MIMEReader() = default;

  /// Takes one header (the MIME-Version header excepted). Answers 0 to have its
  /// parameters read, a positive note, or a negative code that stops the read.
  virtual int addHeader(std::string_view name, std::string_view value) = 0;
  /// Takes one parameter of a header; `paramValue` is empty for a parameter without
  /// '='. A negative answer stops the read with that code.
  virtual int addParameter(std::string_view header, std::string_view value, std::string_view param,
                           std::optional<std::string_view> paramValue) = 0;
  /// Called once at the end of every header read with the result so far; its answer
  /// is the result of the read. Checks that a well-formed content type was read.
  virtual int finish(int result);

  /// Reads one header block up to its empty line. A line that begins with a blank
  /// or a tab continues the header before it. Names and parameter names keep no
  /// blanks around them, values none at their end; a parameter value may be a quoted
  /// string (quotes removed, a backslash takes the next character as it is).
  /// Answers 0 (or a positive note) on
  /// success; -1 a Content-Type refused, -2 a malformed or oversized line, -3 the
  /// stream was failed or at its end, -4 no Content-Type, -5 a type without '/'
  /// (subclasses add their own). A negative answer puts the stream back where the
  /// block began.
  int readHeader(std::istream& in);

  /// The value of the last Content-Type header read, without parameters.
  const std::string& contentType() const { return contentType_; }

 protected:
  std::string contentType_;

 private:
  int readParameters(std::string_view header, std::string_view value, std::string_view text);
};

/// A reader that keeps every header with its parameters (the first header of a name wins).
class GenericMIMEReader : public MIMEReader {
 public:
  using Headers = std::map<std::string, MIMEValue, CaseInsensitiveLess>;

  int addHeader(std::string_view name, std::string_view value) override;
  int addParameter(std::string_view header, std::string_view value, std::string_view param,
                   std::optional<std::string_view> paramValue) override;

  /// The header called `name` (case ignored), or an empty value if there is none.
  const MIMEValue& header(std::string_view name) const;
  /// Every header read, by name.
  const Headers& headers() const { return headers_; }

 protected:
  Headers headers_;
};

/// Reads the header of a "multipart/mixed" message and moves from part to part.
///
/// After nextPart and a header read of the part (with a GenericMIMEReader), the
/// stream stands at the first line of the part's body. The body may be read with
/// readBodyLine, which stops at the line that ends it, or by any other means; the
/// next nextPart finds the following part either way.
class MultipartMIMEReader : public GenericMIMEReader {
 public:
  int addParameter(std::string_view header, std::string_view value, std::string_view param,
                   std::optional<std::string_view> paramValue) override;
  /// Also answers -6 when the type is not "multipart/mixed" (case ignored) and -7
  /// when it has no boundary.
  int finish(int result) override;

  /// Moves the stream past the next boundary line, to the header of the next part.
  /// Answers 0 when found; -1 when the input ended first (the closing delimiter is
  /// skipped like any other line), -2 when the stream failed, -5 when it was already
  /// failed or at its end.
  int nextPart(std::istream& in);

  /// Reads one line of the current part's body as readTextLine does. At a boundary
  /// line or the closing delimiter it answers PartEnd instead: the line is consumed,
  /// and a boundary line is remembered, so that nextPart answers 0 at once.
  LineRead readBodyLine(std::istream& in, std::string& line, std::size_t limit);

  /// True when `line` (without its line end) is a boundary line or the closing
  /// delimiter, i.e. when it ends the body of the current part.
  bool endsPart(std::string_view line) const;

  /// "--" and the boundary; empty until a boundary parameter has been read.
  const std::string& boundaryLine() const { return boundaryLine_; }

 private:
  std::string boundaryLine_;
  bool atNextPart_ = false;  // readBodyLine consumed the boundary of the next part
};
