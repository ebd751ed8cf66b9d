// Fuzz target: a multipart message read header by header and part by part, as the map file reader does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "file/MIMEReader.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setUpFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto in = inputOf(data, size);
  MultipartMIMEReader message;
  if (message.readHeader(in) < 0) {
    // Not a multipart message: a plain header block read from where it was.
    GenericMIMEReader plain;
    plain.readHeader(in);
    return 0;
  }
  std::string line;
  while (message.nextPart(in) == 0) {
    GenericMIMEReader part;
    if (part.readHeader(in) < 0) continue;
    (void)part.header("Content-Type").param("version");
    // Every other part's body is left for nextPart to skip.
    if (part.headers().size() % 2 == 0) continue;
    while (message.readBodyLine(in, line, 999).status == LineStatus::Complete) {
    }
  }
  return 0;
}
