// Reading and writing the field syntax straight on the stream buffer.
#include "support/Fields.h"

#include <istream>
#include <limits>
#include <ostream>

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int digitValue(int c, unsigned base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return (v >= 0 && static_cast<unsigned>(v) < base) ? v : -1;
}

// Peeks at the next character, marking the stream at its end.
int peekChar(std::istream& in) {
  if (!in) return kEnd;
  int c = in.rdbuf()->sgetc();
  if (c == kEnd) in.setstate(std::ios::eofbit);
  return c;
}

int takeChar(std::istream& in) {
  if (!in) return kEnd;
  int c = in.rdbuf()->sbumpc();
  if (c == kEnd) in.setstate(std::ios::eofbit);
  return c;
}

void skipBlanks(std::istream& in) {
  while (isBlank(peekChar(in))) takeChar(in);
}

// No digits: an empty field when the separator follows, a failure otherwise.
int noNumber(std::istream& in) {
  if (in.bad()) return kFieldFailed;
  in.clear(in.rdstate() & std::ios::eofbit);
  return peekChar(in) == kFieldSeparator ? kFieldEmpty : kFieldFailed;
}

// Reads an unsigned number of at most `max`; an overlong one is taken but fails.
int readUnsigned(std::istream& in, unsigned base, std::uint64_t max, std::uint64_t& out) {
  skipBlanks(in);
  std::uint64_t v = 0;
  bool any = false, overflow = false;
  for (int d; (d = digitValue(peekChar(in), base)) >= 0;) {
    takeChar(in);
    any = true;
    if (v > (max - static_cast<unsigned>(d)) / base) overflow = true;
    else v = v * base + static_cast<unsigned>(d);
  }
  if (!any) return noNumber(in);
  if (overflow) return kFieldFailed;
  out = v;
  return kFieldRead;
}

int readSigned(std::istream& in, std::int64_t min, std::int64_t max, std::int64_t& out) {
  skipBlanks(in);
  bool negative = false;
  int c = peekChar(in);
  if (c == '-' || c == '+') {
    takeChar(in);
    negative = c == '-';
    if (digitValue(peekChar(in), 10) < 0) return kFieldFailed;
  }
  std::uint64_t magnitude = 0;
  // Only 32-bit and narrower targets come here, so the magnitudes fit in 64 bits.
  std::uint64_t limit = static_cast<std::uint64_t>(negative ? -min : max);
  int r = readUnsigned(in, 10, limit, magnitude);
  if (r != kFieldRead) return r;
  out = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return kFieldRead;
}

template <class T>
int readHexInto(std::istream& in, T& value) {
  std::uint64_t v = 0;
  int r = readUnsigned(in, 16, std::min<std::uint64_t>(std::numeric_limits<T>::max(), 0xFFFFFFFFu), v);
  if (r == kFieldRead) value = static_cast<T>(v);
  return r;
}

template <class T>
int readDecimalInto(std::istream& in, T& value) {
  std::int64_t v = 0;
  int r = readSigned(in, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), v);
  if (r == kFieldRead) value = static_cast<T>(v);
  return r;
}

const char kHexDigits[] = "0123456789abcdef";

// Writes the digits backwards from `end`; answers where they begin.
char* hexDigits(char* end, std::uint64_t value) {
  char* p = end;
  do {
    *--p = kHexDigits[value & 0xF];
    value >>= 4;
  } while (value);
  return p;
}

}  // namespace

void writeHex(std::ostream& out, std::uint64_t value) {
  char buf[17];
  char* p = hexDigits(buf + sizeof buf, value);
  out.write(p, buf + sizeof buf - p);
}

void appendHex(std::string& out, std::uint64_t value) {
  char buf[17];
  char* p = hexDigits(buf + sizeof buf, value);
  out.append(p, buf + sizeof buf);
}

void writeDecimal(std::ostream& out, std::int64_t value) {
  char buf[24];
  char* p = buf + sizeof buf;
  std::uint64_t m = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    *--p = static_cast<char>('0' + m % 10);
    m /= 10;
  } while (m);
  if (value < 0) *--p = '-';
  out.write(p, buf + sizeof buf - p);
}

void writeQuoted(std::ostream& out, const std::string& text) {
  std::string buf;
  appendQuoted(buf, text);
  out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
}

void appendQuoted(std::string& buf, const std::string& text) {
  buf.reserve(buf.size() + text.size() + 2);
  buf += '"';
  for (unsigned char c : text) {
    if (c == '\\' || c == '"') {
      buf += '\\';
      buf += static_cast<char>(c);
    } else if (c == '\n') {
      buf += "\\n";
    } else if (c >= 0x20 && c <= 0x7E) {
      buf += static_cast<char>(c);
    } else {
      buf += '\\';
      buf += kHexDigits[c >> 4];
      buf += kHexDigits[c & 0xF];
    }
  }
  buf += '"';
}

void writePoint(std::ostream& out, const POINT& p) {
  writeDecimal(out, p.x);
  out.put(' ');
  writeDecimal(out, p.y);
}

void writeRect(std::ostream& out, const RECT& r) {
  writeDecimal(out, r.left);
  out.put(' ');
  writeDecimal(out, r.top);
  out.put(' ');
  writeDecimal(out, r.right);
  out.put(' ');
  writeDecimal(out, r.bottom);
}

int readHex(std::istream& in, std::uint32_t& value) { return readHexInto(in, value); }
int readHex(std::istream& in, unsigned long& value) { return readHexInto(in, value); }
int readHex(std::istream& in, std::uint16_t& value) { return readHexInto(in, value); }
int readHex(std::istream& in, std::uint8_t& value) { return readHexInto(in, value); }
int readDecimal(std::istream& in, std::int32_t& value) { return readDecimalInto(in, value); }
int readDecimal(std::istream& in, std::uint8_t& value) { return readDecimalInto(in, value); }
int readDecimal(std::istream& in, std::uint16_t& value) { return readDecimalInto(in, value); }

int readQuoted(std::istream& in, std::string& text) {
  skipBlanks(in);
  if (peekChar(in) != '"') return kFieldFailed;
  takeChar(in);
  std::string got;
  for (;;) {
    int c = takeChar(in);
    if (c == kEnd) break;
    if (c == '"') {
      text = std::move(got);
      return kFieldRead;
    }
    if (c == '\\') {
      int d = takeChar(in);
      if (d == kEnd) break;
      int high = digitValue(d, 16);
      if (high >= 0) {
        int low = digitValue(peekChar(in), 16);
        if (low >= 0) {
          takeChar(in);
          got += static_cast<char>(high * 16 + low);
        } else {
          got += static_cast<char>(high);
        }
      } else if (d == 'n') {
        got += '\n';
      } else {
        got += static_cast<char>(d);
      }
    } else {
      got += static_cast<char>(c);  // every byte the text holds: UTF-8, tabs and all
    }
  }
  in.clear(in.rdstate() & std::ios::eofbit);
  text = std::move(got);
  return kFieldEmpty;
}

int readPoint(std::istream& in, POINT& p) {
  POINT q = p;
  int r = readDecimal(in, q.x);
  if (r == kFieldRead) r = readDecimal(in, q.y);
  if (r == kFieldRead) p = q;
  return r;
}

int readRect(std::istream& in, RECT& rect) {
  RECT q = rect;
  for (std::int32_t* v : {&q.left, &q.top, &q.right, &q.bottom}) {
    if (readDecimal(in, *v) != kFieldRead) {
      in.clear(in.rdstate() & std::ios::eofbit);
      return kFieldFailed;
    }
  }
  rect = q;
  return kFieldRead;
}

int expectChar(std::istream& in, char c) {
  skipBlanks(in);
  if (peekChar(in) != static_cast<unsigned char>(c)) return kFieldFailed;
  takeChar(in);
  return kFieldRead;
}

int skipTo(std::istream& in, char c) {
  for (;;) {
    int ch = takeChar(in);
    if (ch == kEnd) return kFieldFailed;
    if (ch == static_cast<unsigned char>(c)) return kFieldRead;
    if (ch == '"') {
      for (;;) {
        int q = takeChar(in);
        if (q == kEnd) return kFieldFailed;
        if (q == '"') break;
        if (q == '\\' && takeChar(in) == kEnd) return kFieldFailed;
      }
    }
  }
}

std::ostream& operator<<(std::ostream& out, const POINT& p) {
  writePoint(out, p);
  return out;
}
std::ostream& operator<<(std::ostream& out, const RECT& r) {
  writeRect(out, r);
  return out;
}
std::istream& operator>>(std::istream& in, POINT& p) {
  readPoint(in, p);
  return in;
}
std::istream& operator>>(std::istream& in, RECT& r) {
  readRect(in, r);
  return in;
}
