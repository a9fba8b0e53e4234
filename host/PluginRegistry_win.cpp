#include "host/PluginRegistry.h"

#include <algorithm>

namespace {

using TFindHandle = TScopedHandle<TInvalidHandleTraits<FindClose>>;

std::vector<std::string> LibraryNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const TFindHandle search(FindFirstFileA((folder + "*.dll").c_str(), &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search.Get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

template <class Proc>
Proc ExportOf(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void TPluginRegistry::LoadFolder(const std::string& folder, THostServices& services) {
  for (const std::string& name : LibraryNames(folder)) LoadLibraryFile(folder + name, services);
}

// Registration goes to the library being loaded: the callback's requests during
// RegisterPlugin carry no library of their own.
void TPluginRegistry::LoadLibraryFile(const std::string& path, THostServices& services) {
  TLibraryHandle library(LoadLibraryA(path.c_str()));
  if (!library) return;
  const auto registerPlugin = ExportOf<TRegisterPluginProc>(library.Get(), "RegisterPlugin");
  const auto processImage = ExportOf<TProcessImageProc>(library.Get(), "ProcessImage");
  if (!registerPlugin || !processImage) return;
  const size_t before = FCommands.size();
  auto previous = std::move(services.OnRegister);
  services.OnRegister = [this, processImage](TPluginEntry entry) {
    FCommands.push_back({std::move(entry), processImage});
  };
  registerPlugin(&THostServices::Callback);
  services.OnRegister = std::move(previous);
  if (FCommands.size() == before) return;
  FLibraries.push_back(std::move(library));
}

const TPluginCommand* TPluginRegistry::Find(const std::string& path) const {
  for (const TPluginCommand& command : FCommands)
    if (command.Path() == path) return &command;
  return nullptr;
}

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}
