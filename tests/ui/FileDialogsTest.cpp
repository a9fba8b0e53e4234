#include "ui/FileDialogs.h"

#include <gtest/gtest.h>

#include "errors/Exceptions.h"

namespace {

// A name as the save dialog hands it over: with the UTF-8 code page every name comes through
// byte for byte; with Western European, a character it lacks is refused, not replaced by a
// look-alike that names another file.
TEST(FileDialogs, ANameIsNarrowedWhereTheCodePageHoldsItAndRefusedWhereNot) {
  const std::wstring name = L"C:\\Werte\\Gr\u00FC\u00DFe \u03A9 \u6E2C.csv";
  EXPECT_EQ(FileNameInCodePage(name, CP_UTF8), "C:\\Werte\\Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9 \xE6\xB8\xAC.csv");
  EXPECT_EQ(FileNameInCodePage(L"C:\\Gr\u00FC\u00DFe.csv", 1252), "C:\\Gr\xFC\xDF" "e.csv");
  EXPECT_THROW(FileNameInCodePage(name, 1252), Exception);
  EXPECT_THROW(FileNameInCodePage(L"\u2215x.csv", 1252), Exception);  // a slash look-alike
}

}  // namespace
