// Reads MIME header blocks and walks the parts of a multipart message, as map files are stored.
#include "file/MIMEReader.h"

#include <algorithm>

#include "support/ErrorReporter.h"

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// White space as the C locale knows it.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && isBlank(text[pos])) ++pos;
  return pos;
}

std::string_view trimEnd(std::string_view text) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Printable form of a text for a report: bounded, so that a huge value does not
// flood the log.
std::string shown(std::string_view text) {
  constexpr std::size_t kShown = 200;
  if (text.size() <= kShown) return std::string(text);
  return std::string(text.substr(0, kShown)) + "...";
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
  });
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

LineRead readTextLine(std::istream& in, std::string& line, std::size_t limit) {
  line.clear();
  std::istream::sentry ok(in, true);
  if (!ok) return {LineStatus::Failed, false};
  std::streambuf* buf = in.rdbuf();
  bool over = false;
  bool any = false;
  std::size_t scanned = 0;
  LineStatus status = LineStatus::Complete;
  try {
    for (;;) {
      const int c = buf->sbumpc();
      if (c == std::char_traits<char>::eof()) {
        status = any ? LineStatus::Unterminated : LineStatus::End;
        in.setstate(any ? std::ios::eofbit : std::ios::eofbit | std::ios::failbit);
        break;
      }
      any = true;
      if (c == '\n') break;
      if (c == '\r') {
        // CR LF, or a lone CR, ends the line.
        if (buf->sgetc() == '\n') buf->sbumpc();
        break;
      }
      if (line.size() < limit) {
        line.push_back(static_cast<char>(c));
      } else {
        over = true;
        // Endless input without a line end: give up instead of reading on forever.
        if (++scanned > kMaxLineScan) {
          in.setstate(std::ios::failbit);
          return {LineStatus::Failed, true};
        }
      }
    }
  } catch (...) {
    in.setstate(std::ios::badbit);
    return {LineStatus::Failed, over};
  }
  return {status, over};
}

const std::string& MIMEValue::param(std::string_view name) const {
  static const std::string kNone;
  auto it = params.find(name);
  return it == params.end() ? kNone : it->second;
}

int MIMEReader::finish(int result) {
  if (contentType_.empty()) return -4;
  if (contentType_.find('/') == std::string::npos) {
    reportError(nullptr, 'E', "Malformed MIME type: %s", shown(contentType_).c_str());
    return -5;
  }
  return result;
}

int MIMEReader::readParameters(std::string_view header, std::string_view value, std::string_view text) {
  // Parameters are "name=value" or "name=\"quoted value\"" separated by ';'. Blanks
  // around names and values do not count; a quoted value may hold ';' and blanks,
  // and a backslash in it takes the next character as it is.
  std::size_t pos = 0;
  while (pos < text.size()) {
    pos = skipBlanks(text, pos);
    std::size_t nameEnd = pos;
    while (nameEnd < text.size() && text[nameEnd] != '=' && text[nameEnd] != ';') ++nameEnd;
    const std::string_view name = trimEnd(text.substr(pos, nameEnd - pos));
    int answer;
    if (nameEnd == text.size() || text[nameEnd] == ';') {
      answer = addParameter(header, value, name, std::nullopt);
      pos = nameEnd;
    } else {
      std::size_t at = skipBlanks(text, nameEnd + 1);
      std::string paramValue;
      if (at < text.size() && text[at] == '"') {
        for (++at; at < text.size() && text[at] != '"'; ++at) {
          if (text[at] == '\\' && at + 1 < text.size()) ++at;
          paramValue.push_back(text[at]);
        }
        if (at < text.size())
          ++at;  // the closing quote
        else
          paramValue = std::string(trimEnd(paramValue));  // a quote left open ends with the text
        // Whatever follows the quotes up to the next ';' is not part of the value.
        while (at < text.size() && text[at] != ';') ++at;
      } else {
        const std::size_t start = at;
        while (at < text.size() && text[at] != ';') ++at;
        paramValue = trimEnd(text.substr(start, at - start));
      }
      answer = addParameter(header, value, name, paramValue);
      pos = at;
    }
    if (answer < 0) return answer;
    if (pos < text.size()) ++pos;  // the ';'
  }
  return 0;
}

int MIMEReader::readHeader(std::istream& in) {
  if (!in.good() || in.peek() == std::char_traits<char>::eof()) return -3;
  const std::streampos start = in.tellg();
  int result = 0;
  std::string line;
  std::string piece;
  std::size_t lines = 0;
  std::size_t length = 0;
  auto tooLong = [] {
    reportError(nullptr, 'E', "MIME header longer than %zu lines or %zu characters", kMaxHeaderLines,
                kMaxHeaderLength);
  };
  for (;;) {
    const LineRead read = readTextLine(in, line, kMaxLineLength);
    if (read.status != LineStatus::Complete) {
      reportError(nullptr, 'E', "Unexpected EOF or file error during MIME header parsing");
      break;
    }
    if (read.overLimit) {
      reportError(nullptr, 'E', "MIME header line longer than %zu characters", kMaxLineLength);
      result = -2;
      break;
    }
    length += line.size() + 1;
    if (++lines > kMaxHeaderLines || length > kMaxHeaderLength) {
      tooLong();
      result = -2;
      break;
    }
    // A header may be folded: a line that begins with a blank or a tab continues it.
    bool endsAfterThisLine = false;
    bool refused = false;
    while (!line.empty() && (in.peek() == ' ' || in.peek() == '\t')) {
      const LineRead more = readTextLine(in, piece, kMaxLineLength);
      if (more.status != LineStatus::Complete) {
        endsAfterThisLine = true;
        break;
      }
      length += piece.size() + 1;
      if (more.overLimit || ++lines > kMaxHeaderLines || length > kMaxHeaderLength) {
        if (more.overLimit)
          reportError(nullptr, 'E', "MIME header line longer than %zu characters", kMaxLineLength);
        else
          tooLong();
        refused = true;
        break;
      }
      line += piece;
    }
    if (refused) {
      result = -2;
      break;
    }
    const std::string_view text = line;
    const std::size_t first = skipBlanks(text, 0);
    if (first < text.size()) {
      const std::size_t colon = text.find(':', first);
      if (colon == std::string_view::npos) {
        result = -2;
        break;
      }
      const std::string_view name = trimEnd(text.substr(first, colon - first));
      const std::size_t valueStart = skipBlanks(text, colon + 1);
      const std::size_t semi = text.find(';', valueStart);
      const std::string_view value = trimEnd(
          text.substr(valueStart, semi == std::string_view::npos ? std::string_view::npos : semi - valueStart));
      const std::string_view params =
          semi == std::string_view::npos ? std::string_view() : text.substr(semi + 1);

      if (equalsIgnoringCase(name, "MIME-Version")) {
        if (value.substr(0, 3) != "1.0")
          reportError(nullptr, 'W', "MIME-Version '%s' not supported, this parse may fail", shown(value).c_str());
        if (endsAfterThisLine) {
          reportError(nullptr, 'E', "Unexpected EOF or file error during MIME header parsing");
          break;
        }
        continue;
      }
      int answer = addHeader(name, value);
      if (equalsIgnoringCase(name, "Content-Type")) {
        if (answer != 0) {
          result = -1;
          break;
        }
        contentType_ = value;
        result = 0;
      } else if (answer < 0) {
        result = answer;
        break;
      } else if (result == 0 && answer > 0) {
        result = answer;
      }
      if (answer == 0 && semi != std::string_view::npos) {
        const int paramAnswer = readParameters(name, value, params);
        if (paramAnswer < 0) {
          result = paramAnswer;
          break;
        }
      }
    }
    // Only a completely empty line ends the block; blanks alone do not.
    if (line.empty()) break;
    if (endsAfterThisLine) {
      reportError(nullptr, 'E', "Unexpected EOF or file error during MIME header parsing");
      break;
    }
  }
  result = finish(result);
  if (result < 0 && start != std::streampos(-1)) {
    in.clear();
    in.seekg(start);
  }
  return result;
}

int GenericMIMEReader::addHeader(std::string_view name, std::string_view value) {
  if (headers_.find(name) == headers_.end()) headers_[std::string(name)].value = value;
  return 0;
}

int GenericMIMEReader::addParameter(std::string_view header, std::string_view value, std::string_view param,
                                    std::optional<std::string_view> paramValue) {
  MIMEValue::Params& params = headers_[std::string(header)].params;
  if (params.find(param) == params.end()) params.emplace(param, paramValue.value_or(std::string_view()));
  return 0;
}

const MIMEValue& GenericMIMEReader::header(std::string_view name) const {
  static const MIMEValue kNone;
  auto it = headers_.find(name);
  return it == headers_.end() ? kNone : it->second;
}

int MultipartMIMEReader::addParameter(std::string_view header, std::string_view value, std::string_view param,
                                      std::optional<std::string_view> paramValue) {
  const int answer = GenericMIMEReader::addParameter(header, value, param, paramValue);
  if (equalsIgnoringCase(header, "Content-Type") && equalsIgnoringCase(value, "multipart/mixed") &&
      equalsIgnoringCase(param, "boundary"))
    boundaryLine_ = "--" + std::string(paramValue.value_or(std::string_view()));
  return answer;
}

int MultipartMIMEReader::finish(int result) {
  result = MIMEReader::finish(result);
  if (result < 0) return result;
  const MIMEValue& type = header("Content-Type");
  if (!equalsIgnoringCase(type.value, "multipart/mixed")) return -6;
  if (type.param("boundary").empty()) {
    reportError(nullptr, 'E', "Multipart MIME requires a 'boundary' parameter");
    return -7;
  }
  return result;
}

int MultipartMIMEReader::nextPart(std::istream& in) {
  if (atNextPart_) {
    atNextPart_ = false;
    return 0;
  }
  if (!in.good() || in.peek() == std::char_traits<char>::eof()) return -5;
  if (boundaryLine_.empty()) return -1;  // no boundary was read: no part can be found
  // Lines are compared as they stream by; only as much of each as the boundary
  // needs is kept, so a huge body line costs no memory.
  std::string line;
  for (;;) {
    const LineRead read = readTextLine(in, line, boundaryLine_.size());
    switch (read.status) {
      case LineStatus::Complete:
        if (!read.overLimit && line == boundaryLine_) return 0;
        break;
      case LineStatus::Unterminated:
      case LineStatus::End:
        return -1;
      case LineStatus::Failed:
      case LineStatus::PartEnd:  // not an answer of readTextLine
        return -2;
    }
  }
}

bool MultipartMIMEReader::endsPart(std::string_view line) const {
  if (boundaryLine_.empty() || line.substr(0, boundaryLine_.size()) != boundaryLine_) return false;
  const std::string_view rest = line.substr(boundaryLine_.size());
  return rest.empty() || rest == "--";
}

LineRead MultipartMIMEReader::readBodyLine(std::istream& in, std::string& line, std::size_t limit) {
  // Read enough to recognise a boundary even under a tiny limit.
  LineRead read = readTextLine(in, line, std::max(limit, boundaryLine_.size() + 2));
  if (read.status == LineStatus::Complete && !read.overLimit && endsPart(line)) {
    atNextPart_ = line.size() == boundaryLine_.size();
    line.clear();
    return {LineStatus::PartEnd, false};
  }
  if (line.size() > limit) {
    line.resize(limit);
    read.overLimit = true;
  }
  return read;
}
