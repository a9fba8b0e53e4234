#pragma once
// The system's error classes. Each carries the text that is shown to the user; the class
// name is what the exception report prints and what decides how the report treats it.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <utility>

// Every error knows where it was raised: the constructor is never inlined and takes its
// own return address, and the constructors of the derived classes are always inlined, so
// that this is the code address right after the error was made, in the routine that made
// it. A processor fault's error carries the faulting instruction's address instead.
class Exception : public std::exception {
 public:
  __attribute__((noinline)) explicit Exception(std::string message);
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  // The code address where the error was raised.
  uint32_t Address() const noexcept { return FAddress; }

 protected:
  void SetAddress(uint32_t address) noexcept { FAddress = address; }

 private:
  std::string FMessage;
  uint32_t FAddress;
};

#define OSTRAVINE_ERROR_CLASS(Name, Base)                                                  \
  class Name : public Base {                                                               \
   public:                                                                                 \
    __attribute__((always_inline)) explicit Name(std::string message)                     \
        : Base(std::move(message)) {}                                                      \
    const char* ClassName() const noexcept override { return #Name; }                      \
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

// Where the error was raised (Exception::Address), or 0 for errors of other kinds.
uint32_t ExceptionAddressOf(const std::exception& error) noexcept;

// A heap block of uninitialised bytes; a failed allocation raises EOutOfMemory.
std::unique_ptr<uint8_t[]> AllocateBytes(size_t count);

// printf-style formatting of the system's message templates.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
