// The "l3 intf show" and "vlan translate show" readers over the same text:
// rows or a failure, never a crash.
#include "fanoutprobe/core/l3_tables.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view output = fuzz::text_of(data, size);
  L3IntfRead intfs = read_l3_intfs(output);
  fuzz::require(intfs.rows.empty() || intfs.rows.size() <= output.size());
  XlateRead translations = read_vlan_translations(output);
  // One record per line at most.
  fuzz::require(translations.rows.size() <= output.size() + 1);
  return 0;
}
