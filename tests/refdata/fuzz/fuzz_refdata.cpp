// libFuzzer entry: the reader and the location search over arbitrary file contents.
#include "fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  refdata_fuzz::CheckInput(data, size);
  return 0;
}
