#include "diagnostics/VersionInfo.h"

#include "errors/Exceptions.h"
#include "resources/Texts.h"

// Files carry no version resources here: every file reads as one without, and the running
// executable's version stays empty.
TVersionInfo ApplicationVersionInfo;
std::string ApplicationVersion;

void ReadVersionInfo(const std::string& path, TVersionInfo&) {
  throw Exception(FormatText(S_NO_VERSION_INFO, path.c_str()));
}
