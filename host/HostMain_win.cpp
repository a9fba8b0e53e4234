// OstravineHost: a small image editor for trying plug-ins of the host interface.

#include <algorithm>
#include <string>
#include <vector>

#include "errors/Exceptions.h"
#include "host/CommandLine.h"
#include "host/MainWindow.h"
#include "host/HostTexts.h"

namespace {

THostOptions ReadOptions(const std::vector<std::string>& args) {
  try {
    return ParseCommandLine(args);
  } catch (const Exception& error) {
    throw Exception(error.Message() + "\n" + S_HOST_USAGE);
  }
}

int RunHost(const std::vector<std::string>& args) {
  const THostOptions options = ReadOptions(args);
  TDocuments documents;
  if (!options.ImagePath.empty()) documents.push_back(OpenDocument(options.ImagePath, options.Selection));
  THostServices services(documents);
  TPluginRegistry registry;
  registry.LoadFolder(ProgramFolder(), services);
  TMainWindow window(options, documents, services, registry);
  const int loopResult = RunMessageLoop();
  return std::max(loopResult, window.ExitCode());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Decided before the arguments are read, so that even their errors reach the right place.
  SetUnattended(std::find(args.begin(), args.end(), "--exit") != args.end());
  return GuardBoundary<int>(nullptr, 1, [&] { return RunHost(args); });
}
