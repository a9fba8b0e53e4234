#include "diagnostics/MapFile.h"

#include <vector>

#include "diagnostics/CodeSegmentDummy.h"
#include "ui/WinApi.h"

namespace {

// The module that holds the dummy routine: the plug-in library, not the host executable.
HMODULE DummyModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&__CodeSegmentTestDummy__), &module);
  return module;
}

// GetModuleFileNameA truncates silently when the buffer is short, so the buffer grows
// until the path fits.
std::string ModuleFileName() {
  const HMODULE module = DummyModule();
  if (module == nullptr) return std::string();
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

TMapLocation ModuleMapLocation() {
  return {MapFileNameFor(ModuleFileName()), reinterpret_cast<uint32_t>(&__CodeSegmentTestDummy__)};
}
