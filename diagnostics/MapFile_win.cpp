#include "diagnostics/MapFile.h"

#include "diagnostics/CodeSegmentDummy.h"
#include "platform/WinApi.h"

namespace {

// The module that holds the dummy routine: the plug-in library, not the host executable.
HMODULE DummyModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&__CodeSegmentTestDummy__), &module);
  return module;
}

// The file of the module that holds the dummy routine; a null module would name the host.
std::string DummyModuleFileName() {
  const HMODULE module = DummyModule();
  return module ? ModuleFileName(module) : std::string();
}

}  // namespace

TMapLocation ModuleMapLocation() {
  return {MapFileNameFor(DummyModuleFileName()), reinterpret_cast<uint32_t>(&__CodeSegmentTestDummy__)};
}
