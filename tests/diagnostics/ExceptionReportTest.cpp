#include "diagnostics/ExceptionReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "errors/Exceptions.h"

namespace {

std::string Normalised(const std::string& message) { return NormaliseMessage(message, true); }

TEST(ExceptionReport, AccessViolationsBecomeReadable) {
  EXPECT_EQ(Normalised("Access violation at address 00000000 in module 'Ostravine.dll'. Read of address 00000000"),
            "Invalid access to memory location in module 'Ostravine.dll'. NIL function or method call.");
  EXPECT_EQ(Normalised("Access violation at address 6A8812C4. Read of address 00000010"),
            "Invalid access to memory location. Read of NIL pointer.");
  EXPECT_EQ(Normalised("Access violation at address 6A8812C4 in module 'Ostravine.dll'. Write of address 0012F000"),
            "Invalid access to memory location in module 'Ostravine.dll': Write.");
  // Any word other than the read word is a write.
  EXPECT_EQ(Normalised("Access violation at address 6A8812C4. Execute of address 0012F000"),
            "Invalid access to memory location: Write.");
}

TEST(ExceptionReport, NilReachesTenTwentyThreeOnEitherSide) {
  const std::string at = "Access violation at address ";
  EXPECT_EQ(Normalised(at + "FFFFFC01. Read of address 0012F000"),
            "Invalid access to memory location. NIL function or method call.");
  EXPECT_EQ(Normalised(at + "FFFFFC00. Read of address 0012F000"), "Invalid access to memory location: Read.");
  EXPECT_EQ(Normalised(at + "000003FF. Read of address 0012F000"),
            "Invalid access to memory location. NIL function or method call.");
  EXPECT_EQ(Normalised(at + "00000400. Read of address 000003ff"),
            "Invalid access to memory location. Read of NIL pointer.");
  EXPECT_EQ(Normalised(at + "00000400. Read of address 80000000"), "Invalid access to memory location: Read.");
}

TEST(ExceptionReport, AccessViolationInAnotherFormRaises) {
  EXPECT_THROW(Normalised("Access violation"), Exception);
  EXPECT_THROW(Normalised("Access violation at address 0x001234. Read of address 00000010"), Exception);
  EXPECT_THROW(Normalised("Access violation at address 6A8812C4. Read of address 0000 010"), Exception);
  EXPECT_EQ(NormaliseMessage("Access violation", false), "Access violation.");
}

TEST(ExceptionReport, MessagesEndInAFullStop) {
  EXPECT_EQ(NormaliseMessage("List index out of bounds (5)", false), "List index out of bounds (5)");
  EXPECT_EQ(NormaliseMessage("Division by zero", false), "Division by zero.");
  EXPECT_EQ(NormaliseMessage("Done.", false), "Done.");
  EXPECT_EQ(NormaliseMessage("Stop!", false), "Stop!");
  EXPECT_EQ(NormaliseMessage("Value 7", false), "Value 7.");
  EXPECT_EQ(NormaliseMessage("Trailing ", false), "Trailing ");
  EXPECT_EQ(NormaliseMessage("Caf\xE9", false), "Caf\xE9.");
  EXPECT_EQ(NormaliseMessage("", false), "");
}

TEST(ExceptionReport, FaultsOfTheProgramOfferAReport) {
  EXPECT_TRUE(OffersBugReport(EAccessViolation("a")));
  EXPECT_TRUE(OffersBugReport(EPrivilege("a")));
  EXPECT_TRUE(OffersBugReport(EInvalidPointer("a")));
  EXPECT_TRUE(OffersBugReport(EListError("a")));
  EXPECT_TRUE(OffersBugReport(EStringListError("a")));
  EXPECT_TRUE(OffersBugReport(EIntError("a")));
  EXPECT_TRUE(OffersBugReport(EDivByZero("a")));
  EXPECT_TRUE(OffersBugReport(EMathError("a")));
  EXPECT_FALSE(OffersBugReport(Exception("a")));
  EXPECT_FALSE(OffersBugReport(EInOutError("a")));
  EXPECT_FALSE(OffersBugReport(EOutOfMemory("a")));
  EXPECT_FALSE(OffersBugReport(std::runtime_error("a")));
}

TEST(ExceptionReport, ReportLinesInOrderJoinedByLineFeedCarriageReturn) {
  TReportDetails details;
  details.ApplicationFileName = "OstravineHost.exe";
  details.ApplicationVersion = "1.2.3 4";
  details.ModuleFileName = "Ostravine.dll";
  details.ModuleVersion = "1.0.0 7";
  details.Message = "Invalid access to memory location: Write.";
  details.ExceptionAddress = "6A8812C4, Profile, TProfile::Sample";
  details.StackTrace = "\n\r6A881000\n\r6A882000";
  details.SenderClassName = "TButton";
  details.ActiveFormClassName = "TOstravineMainForm";
  details.WindowsMajor = 6;
  details.WindowsMinor = 1;
  EXPECT_EQ(BuildReportText(details),
            "Application: OstravineHost.exe 1.2.3 4\n\r"
            "Module: Ostravine.dll 1.0.0 7\n\r"
            "Invalid access to memory location: Write.\n\r"
            "\n\r"
            "Please describe what you did do before the error occurred:\n\r"
            "\n\r"
            "\n\r"
            "(You cannot expect a direct reply to this bug report, but it will be used to make the next "
            "version better!)\n\r"
            "\n\r"
            "\n\r"
            "Exception address: 6A8812C4, Profile, TProfile::Sample\n\r"
            "Stack trace: \n\r"
            "6A881000\n\r"
            "6A882000\n\r"
            "Caught by: TButton\n\r"
            "Active form: TOstravineMainForm\n\r"
            "Windows version: 6.1");
}

TEST(ExceptionReport, OptionalReportLinesStayOut) {
  TReportDetails details;
  details.ApplicationFileName = "Host.exe";
  details.Message = "Division by zero.";
  details.ExceptionAddress = "6A8812C4";
  details.WindowsMajor = 10;
  EXPECT_EQ(BuildReportText(details),
            "Application: Host.exe \n\rDivision by zero.\n\r\n\r"
            "Please describe what you did do before the error occurred:\n\r\n\r\n\r"
            "(You cannot expect a direct reply to this bug report, but it will be used to make the next "
            "version better!)\n\r\n\r\n\r"
            "Exception address: 6A8812C4\n\r"
            "Windows version: 10.0");
}

}  // namespace
