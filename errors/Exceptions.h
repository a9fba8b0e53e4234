#pragma once
// The system's error classes. Each carries the text that is shown to the user; the class
// name is what the exception report prints and what decides how the report treats it.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string FMessage;
};

#define OSTRAVINE_ERROR_CLASS(Name, Base)                                       \
  class Name : public Base {                                                    \
   public:                                                                      \
    using Base::Base;                                                           \
    const char* ClassName() const noexcept override { return #Name; }           \
  }

OSTRAVINE_ERROR_CLASS(EOutOfMemory, Exception);
OSTRAVINE_ERROR_CLASS(EInOutError, Exception);
OSTRAVINE_ERROR_CLASS(EListError, Exception);
OSTRAVINE_ERROR_CLASS(EStringListError, EListError);
// Faults of the processor and the memory manager, as the exception report receives them.
OSTRAVINE_ERROR_CLASS(EAccessViolation, Exception);
OSTRAVINE_ERROR_CLASS(EPrivilege, Exception);
OSTRAVINE_ERROR_CLASS(EInvalidPointer, Exception);
OSTRAVINE_ERROR_CLASS(EIntError, Exception);
OSTRAVINE_ERROR_CLASS(EDivByZero, EIntError);
OSTRAVINE_ERROR_CLASS(EMathError, Exception);

// A heap block of uninitialised bytes; a failed allocation raises EOutOfMemory.
std::unique_ptr<uint8_t[]> AllocateBytes(size_t count);

// printf-style formatting of the system's message templates.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
