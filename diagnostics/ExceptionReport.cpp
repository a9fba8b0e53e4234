#include "diagnostics/ExceptionReport.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// Addresses this close to zero come from a null routine or a null object reference.
constexpr int64_t NilReach = 1024;
// "Access violation at address " is 28 characters; the code address follows.
constexpr size_t CodeAddressIndex = 28;
constexpr size_t HexWidth = 8;

// Exactly 8 hex digits; anything else means the message is not in the expected form.
uint32_t ParseHexAddress(const std::string& text) {
  const bool valid = text.size() == HexWidth && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
  if (!valid) throw Exception(FormatText(S_INVALID_INTEGER, text.c_str()));
  return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
}

bool NearNil(uint32_t address) { return std::llabs(static_cast<int32_t>(address)) < NilReach; }

// " in module 'Name'" from the quoted module name, or nothing when none is quoted.
std::string ModulePart(const std::string& message) {
  const size_t open = message.find('\'');
  if (open == std::string::npos) return std::string();
  const std::string rest = message.substr(open + 1);
  const size_t close = rest.find('\'');
  return " in module '" + (close == std::string::npos ? std::string() : rest.substr(0, close + 1));
}

// The word two characters after the last full stop: the runtime's word for the access.
std::string AccessWord(const std::string& message) {
  const size_t stop = message.rfind('.');
  const size_t start = stop == std::string::npos ? 1 : stop + 2;
  const std::string word = start < message.size() ? message.substr(start, message.find(' ', start) - start) : "";
  return word == ReadAccessWord ? "Read" : "Write";
}

std::string RewriteAccessViolation(const std::string& message) {
  const std::string module = ModulePart(message);
  if (NearNil(ParseHexAddress(message.substr(std::min(CodeAddressIndex, message.size()), HexWidth))))
    return S_INVALID_ACCESS + module + ". NIL function or method call";
  const std::string access = AccessWord(message);
  const size_t tail = message.size() < HexWidth ? 0 : message.size() - HexWidth;
  if (NearNil(ParseHexAddress(message.substr(tail))))
    return S_INVALID_ACCESS + module + ". " + access + " of NIL pointer";
  return S_INVALID_ACCESS + module + ": " + access;
}

template <class E>
bool IsA(const std::exception& error) {
  return dynamic_cast<const E*>(&error) != nullptr;
}

}  // namespace

std::string NormaliseMessage(const std::string& message, bool isAccessViolation) {
  std::string text = isAccessViolation ? RewriteAccessViolation(message) : message;
  // Characters above "." are letters, digits and most signs; ".", "!", ")" and blanks
  // already close a sentence.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

bool OffersBugReport(const std::exception& error) {
  return IsA<EAccessViolation>(error) || IsA<EPrivilege>(error) || IsA<EInvalidPointer>(error) ||
         IsA<EListError>(error) || IsA<EIntError>(error) || IsA<EMathError>(error);
}

// Built in the order the report has always been put together: the message first, the
// module and application lines in front of it, the rest behind.
std::string BuildReportText(const TReportDetails& details) {
  const std::string lineBreak = ReportLineBreak;
  std::string text = details.Message;
  if (!details.ModuleFileName.empty())
    text = "Module: " + details.ModuleFileName + " " + details.ModuleVersion + lineBreak + text;
  text = "Application: " + details.ApplicationFileName + " " + details.ApplicationVersion + lineBreak + text;
  text += lineBreak + lineBreak + "Please describe what you did do before the error occurred:";
  text += lineBreak + lineBreak + lineBreak +
          "(You cannot expect a direct reply to this bug report, but it will be used to make the next "
          "version better!)";
  text += lineBreak + lineBreak + lineBreak + "Exception address: " + details.ExceptionAddress;
  if (!details.StackTrace.empty()) text += lineBreak + "Stack trace: " + details.StackTrace;
  if (!details.SenderClassName.empty()) text += lineBreak + "Caught by: " + details.SenderClassName;
  if (!details.ActiveFormClassName.empty()) text += lineBreak + "Active form: " + details.ActiveFormClassName;
  text += lineBreak + FormatText("Windows version: %d.%d", details.WindowsMajor, details.WindowsMinor);
  return text;
}
