#include "tests/host/GuardedBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

size_t PageSize() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

TGuardedBuffer::TGuardedBuffer(size_t size) : FSize(size) {
  const size_t page = PageSize();
  const size_t dataPages = (size + page - 1) / page;
  FRegionSize = (dataPages + 1) * page;
  FRegion = mmap(nullptr, FRegionSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (FRegion == MAP_FAILED) throw std::bad_alloc();
  auto* base = static_cast<uint8_t*>(FRegion);
  mprotect(base + dataPages * page, page, PROT_NONE);
  FData = base + dataPages * page - size;
}

TGuardedBuffer::~TGuardedBuffer() { munmap(FRegion, FRegionSize); }
