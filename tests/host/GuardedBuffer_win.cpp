#include "tests/host/GuardedBuffer.h"

#include <new>

#include "platform/WinApi.h"

size_t PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

TGuardedBuffer::TGuardedBuffer(size_t size) : FSize(size) {
  const size_t page = PageSize();
  const size_t dataPages = (size + page - 1) / page;
  FRegionSize = (dataPages + 1) * page;
  FRegion = VirtualAlloc(nullptr, FRegionSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!FRegion) throw std::bad_alloc();
  auto* base = static_cast<uint8_t*>(FRegion);
  DWORD old;
  VirtualProtect(base + dataPages * page, page, PAGE_NOACCESS, &old);
  FData = base + dataPages * page - size;
}

TGuardedBuffer::~TGuardedBuffer() { VirtualFree(FRegion, 0, MEM_RELEASE); }
