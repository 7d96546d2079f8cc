// NE modules and icon libraries: the resource table, name table, group map and
// decoders.
#include <cstdint>

#include "fuzz/module_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  glyphwell::fuzz::ListModule(data, size);
  return 0;
}
