#include "image/HostBytes.h"

#include <cstring>

// One string move: a loop could be turned back into a call of the C runtime's memcpy.
void CopyHostBytes(void* target, const void* source, size_t count) {
#if defined(__i386__) && defined(_WIN32)
  asm volatile("cld\n\trep movsb" : "+D"(target), "+S"(source), "+c"(count) : : "memory", "cc");
#else
  if (count > 0) std::memcpy(target, source, count);
#endif
}
