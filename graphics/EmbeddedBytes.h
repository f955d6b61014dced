#pragma once

// Build-time embedding of a file's bytes into the object file that uses the
// macro below, so that the module and the programs need no data files at run
// time. The assembler copies the file (.incbin) while the .cpp is compiled;
// the build lists the file in that source's OBJECT_DEPENDS so that the object
// is rebuilt when the file changes.

#include <cstdint>

// Use at global namespace scope, once per name, with `path` an absolute path
// as a string literal (or a macro expanding to one). Declares
//   extern "C" const unsigned char <name>_data[];  // the bytes, 16-byte aligned
//   extern "C" const std::uint64_t <name>_size;    // their count
// Both symbols are hidden, so they never leave the module. The size is worked
// out by the assembler from the same labels, so it always matches the bytes.
#define SORVANO_EMBED_FILE(name, path)        \
  asm(".pushsection .rodata\n"                \
      ".balign 16\n"                          \
      ".globl " #name "_data\n"               \
      ".hidden " #name "_data\n"              \
      #name "_data:\n"                        \
      ".incbin \"" path "\"\n"                \
      ".L" #name "_end:\n"                    \
      ".balign 8\n"                           \
      ".globl " #name "_size\n"               \
      ".hidden " #name "_size\n"              \
      #name "_size:\n"                        \
      ".8byte .L" #name "_end - " #name "_data\n" \
      ".popsection\n");                       \
  extern "C" const unsigned char name##_data[]; \
  extern "C" const std::uint64_t name##_size
