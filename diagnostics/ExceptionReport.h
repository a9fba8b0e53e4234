#pragma once
// The portable half of the exception report: the message as the user reads it, which
// errors earn the offer of a bug report, and the text of that report.

#include <exception>
#include <string>

// The report's line break: line feed, then carriage return.
inline constexpr char ReportLineBreak[] = "\n\r";
// The access word of an access-violation message for a read; any other word is a write.
inline constexpr char ReadAccessWord[] = "Read";

// An access violation's "Access violation at address %p[ in module '%s']. %s of address
// %p" becomes "Invalid access to memory location..." with the module and the kind of
// access; every message then ends in a full stop unless it ends in a punctuation mark or
// a blank. Raises when an access-violation message is not in that form.
std::string NormaliseMessage(const std::string& message, bool isAccessViolation);

// Faults that point to a defect of the program get the offer to mail a report.
bool OffersBugReport(const std::exception& error);

// What the report tells; the texts come resolved (addresses through the map file).
struct TReportDetails {
  std::string ApplicationFileName;
  std::string ApplicationVersion;
  // Empty when the code does not run in a library: the report then has no module line.
  std::string ModuleFileName;
  std::string ModuleVersion;
  std::string Message;  // normalised
  std::string ExceptionAddress;
  // Each with a line break in front (StackTraceToText); empty when no trace was taken.
  std::string StackTrace;
  std::string SenderClassName;      // empty when there is no sender
  std::string ActiveFormClassName;  // empty when no form is active
  int WindowsMajor = 0;
  int WindowsMinor = 0;
};

std::string BuildReportText(const TReportDetails& details);
