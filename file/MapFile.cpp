// Writing and reading .CM map files.
#include "file/MapFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

#include "file/GraphML.h"
#include "file/MIMEReader.h"
#include "file/SafeSave.h"
#include "model/CMap.h"
#include "support/Fields.h"
#include "support/ErrorReporter.h"

namespace {

constexpr const char* kBoundary = "****QORDeLiMiTER****";
constexpr const char* kApplicationTag = "QOR Brenlo";

// Passes text on with every line feed written as carriage return and line feed.
class CrLfBuffer : public std::streambuf {
 public:
  explicit CrLfBuffer(std::streambuf* target) : target_(target) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (c == '\n' && target_->sputc('\r') == traits_type::eof()) return traits_type::eof();
    return target_->sputc(static_cast<char>(c));
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::streamsize done = 0;
    while (done < n) {
      const char* lf = static_cast<const char*>(std::memchr(s + done, '\n', static_cast<std::size_t>(n - done)));
      std::streamsize run = lf ? lf - (s + done) : n - done;
      if (run > 0 && target_->sputn(s + done, run) != run) return done;
      done += run;
      if (!lf) break;
      if (target_->sputn("\r\n", 2) != 2) return done;
      ++done;
    }
    return done;
  }
  int sync() override { return target_->pubsync(); }

 private:
  std::streambuf* target_;
};

// Appends text to a string with every line feed written as carriage return and line
// feed; the text gathers in a buffer of its own and is converted a buffer at a time.
class CrLfString : public std::streambuf {
 public:
  explicit CrLfString(std::string& target) : target_(target) { setp(buffer_, buffer_ + sizeof buffer_); }
  ~CrLfString() override { drain(); }

 protected:
  int_type overflow(int_type c) override {
    drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = static_cast<char>(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    drain();
    return 0;
  }

 private:
  void drain() {
    const char* s = pbase();
    const char* end = pptr();
    while (s < end) {
      const char* lf = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(end - s)));
      if (!lf) {
        target_.append(s, end);
        break;
      }
      target_.append(s, lf);
      target_.append("\r\n", 2);
      s = lf + 1;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
  }

  std::string& target_;
  char buffer_[16 * 1024];
};

std::string timeLine(std::time_t when) {
  std::tm tm{};
  localtime_r(&when, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %02d %02d:%02d:%02d %4d", englishDayName(tm.tm_wday),
                englishMonthName(tm.tm_mon), tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_year + 1900);
  return buf;
}

bool equalsIgnoringCaseAscii(const std::string& a, const char* b) {
  return equalsIgnoringCase(a, b);
}

// Reports a failed save and hands its text to the caller; answers false.
bool saveFailed(std::string* why, const char* format, const std::string& fileName, const char* reason = nullptr) {
  char text[1024];
  std::snprintf(text, sizeof text, format, fileName.c_str(), reason);
  reportError(nullptr, 'E', "%s", text);
  if (why) *why = text;
  return false;
}

// The file text with plain line feeds; the stream's buffer turns them into CR LF.
void writeMapText(const CMap& map, std::ostream& text, std::time_t when) {
  text << "MIME-Version: 1.0\n"
       << "Content-Type: multipart/mixed; boundary=" << kBoundary << "\n"
       << "\n"
       << "This file is written by the QORBrenlo application, from the Ostrelwyn\n"
       << "Institute at the Tamberlode.\n"
       << "Time: " << timeLine(when) << "\n"
       << "\n"
       << "--" << kBoundary << "\n"
       << "Content-Type: application/x-CMap; version=0.1\n"
       << "\n";
  map.printComponentsOn(text);
  text << "\n--" << kBoundary << "--\n";
}

}  // namespace

void writeMapFile(const CMap& map, std::ostream& out, std::time_t when) {
  CrLfBuffer crlf(out.rdbuf());
  std::ostream text(&crlf);
  writeMapText(map, text, when);
  text.flush();
  if (!text) out.setstate(std::ios::badbit);
}

bool save(const CMap& map, const std::string& fileName, std::string* why) {
  // The whole file is made in memory and handed over at once.
  std::string bytes;
  {
    CrLfString crlf(bytes);
    std::ostream text(&crlf);
    writeMapText(map, text, std::time(nullptr));
    text.flush();
  }
  SaveFailure failure;
  if (replaceFileContent(fileName, bytes, failure)) return true;
  if (failure.cannotOpen) return saveFailed(why, "Can't open file '%s'", fileName);
  return saveFailed(why, "Can't save file '%s': %s", fileName, failure.reason.c_str());
}

std::size_t parseVersion(std::string_view text, Version& version) {
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  };
  auto readNumber = [&](unsigned& out) {
    std::size_t start = pos;
    unsigned value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && value <= 255) value = value * 10 + (text[pos++] - '0');
    if (pos == start || value > 255) {
      pos = start;
      return false;
    }
    out = value;
    return true;
  };
  skipBlanks();
  unsigned major = 0, minor = 0, release = 0, platform = 0;
  if (!readNumber(major)) return 0;
  skipBlanks();
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    readNumber(minor);
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      readNumber(release);
    }
  }
  std::size_t noted = pos;
  skipBlanks();
  if (pos < text.size() && text[pos] == '(') {
    ++pos;
    std::size_t close = text.find(')', pos);
    std::size_t end = std::min(close == std::string_view::npos ? text.size() : close, pos + 39);
    std::string_view name = text.substr(pos, end - pos);
    platform = Version::platformCode(name);
    if (platform) pos = (end < text.size() && text[end] == ')') ? end + 1 : end;
    else pos = noted;
  } else {
    pos = noted;
  }
  version = Version(major, minor, release, platform);
  return pos;
}

namespace {

// Passes at most `limit` bytes of another buffer on, and notes when the source holds
// more, so that endless or oversized input ends the read. Seeks go to the source.
class BoundedInput : public std::streambuf {
 public:
  BoundedInput(std::streambuf* source, std::uint64_t limit) : source_(source), limit_(limit) {
    const pos_type at = source_->pubseekoff(0, std::ios::cur, std::ios::in);
    origin_ = at == pos_type(off_type(-1)) ? -1 : static_cast<off_type>(at);
  }
  bool overLimit() const { return over_; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (taken_ >= limit_) {
      if (!traits_type::eq_int_type(source_->sgetc(), traits_type::eof())) over_ = true;
      return traits_type::eof();
    }
    const std::uint64_t room = limit_ - taken_;
    const std::streamsize want = static_cast<std::streamsize>(std::min<std::uint64_t>(sizeof buffer_, room));
    const std::streamsize got = source_->sgetn(buffer_, want);
    if (got <= 0) return traits_type::eof();
    taken_ += static_cast<std::uint64_t>(got);
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
  }
  pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode which) override {
    if (dir == std::ios::cur) {
      const pos_type at = source_->pubseekoff(0, std::ios::cur, which);
      if (at == pos_type(off_type(-1))) return at;
      const off_type here = static_cast<off_type>(at) - (egptr() - gptr());
      if (off == 0) return pos_type(here);
      return seekpos(pos_type(here + off), which);
    }
    return seekTo(source_->pubseekoff(off, dir, which));
  }
  pos_type seekpos(pos_type pos, std::ios::openmode which) override {
    return seekTo(source_->pubseekpos(pos, which));
  }

 private:
  pos_type seekTo(pos_type at) {
    setg(buffer_, buffer_, buffer_);
    if (at != pos_type(off_type(-1)) && origin_ >= 0 && static_cast<off_type>(at) >= origin_)
      taken_ = static_cast<std::uint64_t>(static_cast<off_type>(at) - origin_);
    return at;
  }

  std::streambuf* source_;
  std::uint64_t limit_;
  std::uint64_t taken_ = 0;
  off_type origin_ = -1;
  bool over_ = false;
  char buffer_[64 * 1024];
};

// Reads the map from a stream already bounded in size (see init).
bool readMap(CMap& map, std::istream& in, const std::string& fileName) {
  const std::streampos start = in.tellg();
  auto message = std::make_unique<MultipartMIMEReader>();
  int header = message->readHeader(in);
  if (header < 0) {
    // Text before the header: skip to the first empty line and try once more.
    std::string line;
    for (std::size_t lines = 0; lines < MIMEReader::kMaxHeaderLines; ++lines) {
      LineRead r = readTextLine(in, line, 299);
      if (r.status != LineStatus::Complete || line.empty()) break;
    }
    message = std::make_unique<MultipartMIMEReader>();
    header = in ? message->readHeader(in) : -3;
  }
  if (header >= 0) {
    for (;;) {
      if (message->nextPart(in) != 0) return false;
      GenericMIMEReader part;
      if (part.readHeader(in) < 0) {
        reportError(nullptr, 'E', "Detected bad MIME header in multipart MIME part");
        continue;
      }
      const MIMEValue& type = part.header("Content-Type");
      if (!equalsIgnoringCase(type.value, "application/x-CMap")) continue;
      const std::string& versionText = type.param("version");
      if (versionText.empty()) {
        reportError(nullptr, 'E', "x-CMap MIME header requires a version parameter");
        return false;
      }
      Version version;
      parseVersion(versionText, version);
      if (version > kMapSyntaxVersion) {
        reportError(nullptr, 'E', "x-CMap version %s not supported; only up to version 0.1 is supported.",
                    version.text().c_str());
        return false;
      }
      map.readComponentsFrom(in, &version);
      return true;
    }
  }

  reportError(nullptr, 'I', "Trying old syntax...");
  in.clear();
  in.seekg(start);
  std::string tag;
  if (!in || readQuoted(in, tag) != kFieldRead) {
    reportError(nullptr, 'E', "Don't recognize file format of '%s'", fileName.c_str());
    return false;
  }
  if (!equalsIgnoringCaseAscii(tag, kApplicationTag)) {
    reportError(nullptr, 'E', "File '%s' appears to be for application '%s'", fileName.c_str(), tag.c_str());
    return false;
  }
  std::uint32_t word = 0;
  if (readHex(in, word) != kFieldRead) {
    reportError(nullptr, 'E', "Don't recoginize version number in file '%s'", fileName.c_str());
    return false;
  }
  Version version(word);
  if (word > kMapSyntaxVersion.word()) {
    reportError(nullptr, 'E', "File '%s' requires %s, version %s", fileName.c_str(), tag.c_str(),
                version.text().c_str());
    return false;
  }
  map.readComponentsFrom(in, &version);
  return true;
}

// True when the stream, read from where it stands, starts as GraphML does; it is left
// where it was (a stream that cannot go back is taken for a .CM file).
bool isGraphMLStream(std::istream& in) {
  const std::streampos start = in.tellg();
  if (start == std::streampos(-1)) return false;
  char head[64];
  in.read(head, sizeof head);
  const std::size_t got = static_cast<std::size_t>(in.gcount());
  in.clear();
  in.seekg(start);
  return looksLikeGraphML(std::string_view(head, got));
}

// Reads the rest of a stream already bounded in size as GraphML.
bool readGraphMLStream(CMap& map, std::istream& in, const std::string& fileName) {
  std::string text;
  char chunk[64 * 1024];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) text.append(chunk, static_cast<std::size_t>(in.gcount()));
  std::string error;
  return readGraphML(map, text, fileName, error);
}

}  // namespace

std::uint64_t mapFileSizeLimit() {
  static const std::uint64_t limit = [] {
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return kMaxMapFileSize;
    // A third of the memory for a map read at 30 bytes of memory per byte of file.
    const std::uint64_t fits = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 90;
    return std::min(kMaxMapFileSize, std::max<std::uint64_t>(fits, 16u << 20));
  }();
  return limit;
}

bool init(CMap& map, std::istream& in, const std::string& fileName, std::uint64_t sizeLimit) {
  if (!in) {
    reportError(nullptr, 'E', "CMapClient::init: bad stream");
    return false;
  }
  map.clear();
  map.setReadIncompletely(false);
  BoundedInput bounded(in.rdbuf(), sizeLimit);
  bool read;
  {
    // One read makes at most 99 reports and a closing count, so that a damaged file
    // cannot flood the log; the verdict below comes after them.
    ReportBatch batch(fileName.empty() ? std::string("the map") : fileName, 99);
    std::istream input(&bounded);
    read = isGraphMLStream(input) ? readGraphMLStream(map, input, fileName) : readMap(map, input, fileName);
  }
  if (bounded.overLimit()) {
    map.clear();
    reportError(nullptr, 'E', "File '%s' is larger than %llu bytes; it is not read", fileName.c_str(),
                static_cast<unsigned long long>(sizeLimit));
    in.setstate(std::ios::failbit);
    return false;
  }
  if (!read) return false;
  const GraphicContainer::ReadTally& tally = map.lastRead();
  bool lost = map.readIncompletely() || tally.lost > 0;
  if (tally.lines > 0 && map.memberCount() == 0) {
    reportError(nullptr, 'E', "No map elements could be read from '%s'", fileName.c_str());
    lost = true;
  }
  map.setReadIncompletely(lost);
  return true;
}

bool openMapFile(CMap& map, const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  // A regular file too large is refused before anything of it is read.
  std::error_code error;
  if (in && std::filesystem::is_regular_file(fileName, error)) {
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (!error && size > mapFileSizeLimit()) {
      map.clear();
      map.setReadIncompletely(false);
      reportError(nullptr, 'E', "File '%s' is larger than %llu bytes; it is not read", fileName.c_str(),
                  static_cast<unsigned long long>(mapFileSizeLimit()));
      return false;
    }
  }
  return init(map, in, fileName);
}
