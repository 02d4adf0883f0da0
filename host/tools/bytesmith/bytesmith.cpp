// bytesmith: the checking assembler for the switch chip's LED processor.
//
// Usage: bytesmith PATH
//   Reads PATH.asm, writes PATH.hex and exits 0. On any error in the source
//   it writes nothing, reports each error on standard error as
//   "PATH.asm:LINE: message" and exits 1; a wrong command line exits 2, a
//   file that cannot be read or written exits 1.
//
// The language
//   One statement per line; ";" starts a comment that runs to the line end.
//   A label is a name followed by ":" at the start of a line (blanks may
//   come first); an instruction may follow it on the same line. A symbol
//   is defined by "NAME equ VALUE", VALUE a number or a symbol defined
//   above it. Labels and symbols share one set of names, each defined once.
//   Names are letters, digits and "_", not starting with a digit; numbers
//   are decimal or "0x" hexadecimal. Mnemonics and the registers a and b
//   are lower case. Operands are separated by commas:
//     reg     a or b
//     value   a number or symbol, 0 to 255
//     (value) data RAM at that address, 0 to 255
//     (a) (b) data RAM at the address a register holds
//     label   a code label
//   Instructions (opcode byte, then the operand bytes shown):
//     ld   a,value 10 v   ld   b,value 11 v   ld   a,(value) 12 m
//     ld   b,(value) 13 m ld   (value),a 14 m ld   (value),b 15 m
//     ld   a,(b)   16     ld   b,(a)   17     ld   (b),a   18
//     ld   (a),b   19     ld   a,b     1a     ld   b,a     1b
//     inc  a 20  inc b 21  dec a 22  dec b 23
//     add, sub, and, or, xor, cmp (base 30, 34, 38, 3c, 40, 44):
//          reg a,value base v; b,value base+1 v; a,b base+2; b,a base+3
//     jmp label 50 l l   jz label 51 l l   jnz label 52 l l
//     call label 55 l l  ret 56
//     push 0|1 60 v      pushst bit 61 v (port status bit 0 to 15)
//     pack 62   pop 63   tand 64   tor 65   tinv 66
//     port a 70   port b 71   port value 72 v (select the port for pushst)
//     send count 7f c c  (count of LED bits sent, 0 to 1023)
//   Two-byte operands are little-endian. A label's value is its byte
//   address; the program must fit the 1024 bytes of program memory.
//
// The hex format (version 1), every line ended by a line feed:
//   bytesmith hex 1
//   size N                      N: program bytes, decimal
//   AAAA: BB BB ...             address (4 lower-case hex digits), then up
//                               to 16 bytes, 2 lower-case hex digits each,
//                               one blank between them; one line per 16
//                               bytes, in address order
//   end CCCC                    sum of all bytes modulo 65536, 4 hex digits
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "bytesmith/assembler.hpp"

namespace {

// The whole source file; false with errno set when it cannot be read (a
// directory fails its first read with EISDIR, never reads as empty).
bool read_source(const std::string& path, std::string& text) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  int error = 0;
  char buffer[65536];
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error = errno;
    if (count <= 0) break;
    text.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  errno = error;
  return error == 0;
}

// Written to a private sibling first and renamed into place, so a failed
// write never leaves a partial hex file.
bool write_hex(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  std::size_t done = 0;
  bool good = true;
  while (good && done < text.size()) {
    ssize_t count = write(fd, text.data() + done, text.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) good = false;
    else done += static_cast<std::size_t>(count);
  }
  if (fchmod(fd, 0644) != 0) good = false;
  if (close(fd) != 0) good = false;
  if (good && rename(temporary.c_str(), path.c_str()) != 0) good = false;
  if (!good) unlink(temporary.c_str());
  return good;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bytesmith PATH (reads PATH.asm, writes PATH.hex)\n";
    return 2;
  }
  const std::string source_path = std::string(argv[1]) + ".asm";
  const std::string hex_path = std::string(argv[1]) + ".hex";

  std::string source;
  if (!read_source(source_path, source)) {
    std::cerr << "bytesmith: cannot read " << source_path << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  bytesmith::Assembly assembly = bytesmith::assemble(source);
  if (!assembly.errors.empty()) {
    for (const bytesmith::SourceError& error : assembly.errors) {
      std::cerr << source_path << ":" << error.line << ": " << error.message << "\n";
    }
    return 1;
  }
  if (!write_hex(hex_path, bytesmith::hex_text(assembly.program))) {
    std::cerr << "bytesmith: cannot write " << hex_path << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  return 0;
}
