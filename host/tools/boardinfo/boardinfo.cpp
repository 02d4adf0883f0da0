// Stand-in for the board's system EEPROM tool, installed on a switch as
// /usr/tervane/bin/boardinfo.
//
//   boardinfo -a   prints the base MAC address and a newline
//   boardinfo -r   prints the number of MAC addresses and a newline
//
// A machine without the board's EEPROM has no data, so the answers come
// from the environment and are printed as given (a test can hand out a
// malformed answer on purpose):
//   BOARDINFO_BASE_MAC   the text for -a
//   BOARDINFO_MAC_RANGE  the text for -r
//   BOARDINFO_FAIL       "-a", "-r" or "all": that query exits with status 1
// A query whose answer is not set, or any other argument, fails with a
// message on standard error and a non-zero status.
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int fail(const char* message, const char* detail) {
  std::fprintf(stderr, "boardinfo: %s%s\n", message, detail);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || (std::strcmp(argv[1], "-a") != 0 && std::strcmp(argv[1], "-r") != 0)) {
    std::fprintf(stderr, "usage: boardinfo -a | -r\n");
    return 2;
  }
  const char* option = argv[1];
  const char* failing = std::getenv("BOARDINFO_FAIL");
  if (failing && (std::strcmp(failing, option) == 0 || std::strcmp(failing, "all") == 0)) {
    return fail("EEPROM read failed (as BOARDINFO_FAIL asks) for ", option);
  }
  const char* variable = option[1] == 'a' ? "BOARDINFO_BASE_MAC" : "BOARDINFO_MAC_RANGE";
  const char* answer = std::getenv(variable);
  if (!answer) return fail("no EEPROM data: not set: ", variable);
  std::printf("%s\n", answer);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
