#include "errors/Exceptions.h"

#include <cstdarg>
#include <cstdio>
#include <new>

#include "resources/Texts.h"

Exception::Exception(std::string message)
    : FMessage(std::move(message)),
      FAddress(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(__builtin_return_address(0)))) {}

uint32_t ExceptionAddressOf(const std::exception& error) noexcept {
  const auto own = dynamic_cast<const Exception*>(&error);
  return own ? own->Address() : 0;
}

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

std::unique_ptr<uint8_t[]> AllocateBytes(size_t count) {
  uint8_t* block = new (std::nothrow) uint8_t[count];
  if (!block) throw EOutOfMemory(S_OUT_OF_MEMORY);
  return std::unique_ptr<uint8_t[]>(block);
}
