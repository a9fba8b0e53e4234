#pragma once
// The plug-ins found beside the host: every library that exports RegisterPlugin and
// ProcessImage, loaded for the life of the registry, and the commands they registered.

#include <string>
#include <vector>

#include "host/HostServices.h"
#include "platform/Handles.h"

using TRegisterPluginProc = int32_t(OSTRAVINE_STDCALL*)(THostCallback);
using TProcessImageProc = int32_t(OSTRAVINE_STDCALL*)(int32_t, const THostImage*);

struct TPluginCommand {
  TPluginEntry Entry;
  TProcessImageProc ProcessImage;
  // "Menu/Name", the form the command line names it in.
  std::string Path() const { return Entry.Menu + "/" + Entry.Name; }
};

class TPluginRegistry {
 public:
  // Loads *.dll in the folder in name order; libraries without both exports are let go.
  void LoadFolder(const std::string& folder, THostServices& services);
  void LoadLibraryFile(const std::string& path, THostServices& services);

  const std::vector<TPluginCommand>& Commands() const noexcept { return FCommands; }
  const TPluginCommand* Find(const std::string& path) const;

 private:
  std::vector<TLibraryHandle> FLibraries;
  std::vector<TPluginCommand> FCommands;
};

// The folder of the running program, with a trailing backslash.
std::string ProgramFolder();
