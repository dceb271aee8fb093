// Entry names become file names on Windows too: what Windows would read as
// a device, another name or a hidden stream is refused on every system, so
// that one bundle behaves the same everywhere.
#include <gtest/gtest.h>

#include "bundle/safe_entry_name.h"

namespace fwu {
namespace {

TEST(SafeEntryName, NamesWindowsWouldTakeForAnotherFileAreRefused) {
  for (const std::string refused : {
           "", ".", "..", "a/b", "a\\b",                               // leave the directory
           "CON", "con", "Nul.txt", "aux.tar.gz", "PRN ", "CON .bin",  // devices, any case, any extension
           "COM1", "com9.bin", "LPT0", "COM\xC2\xB9", "CONIN$", "conout$.log",
           "fw.bin.", "fw.bin ", "fw ",                               // Windows drops the end
           "fw.bin:hidden", "c:fw.bin",                              // a stream, a drive
           "a<b", "a>b", "a\"b", "a|b", "a?b", "a*b", "a\tb", "a\x1F" "b",
           "Pr\xFC" "fung.bin", "\xC0\xAF" "etc",                    // not UTF-8
       }) {
    EXPECT_FALSE(IsSafeEntryName(refused)) << '"' << refused << '"';
  }
}

TEST(SafeEntryName, OrdinaryAndNonLatinNamesAreKept) {
  for (const std::string kept : {
           "fw.bin", "control.cfg", ".hidden", "a b.bin", "CONSOLE.bin", "NULL", "COM10", "LPT", "com1x.bin",
           "fw_CON.bin", "\xD0\xBF\xD1\x80\xD0\xBE\xD1\x88\xD0\xB8\xD0\xB2\xD0\xBA\xD0\xB0.bin",  // Cyrillic
           "\xE5\x9B\xBA\xE4\xBB\xB6.bin",                                                    // Chinese
       }) {
    EXPECT_TRUE(IsSafeEntryName(kept)) << '"' << kept << '"';
  }
}

}  // namespace
}  // namespace fwu
