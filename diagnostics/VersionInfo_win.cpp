#include "diagnostics/VersionInfo.h"

#include <vector>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "platform/WinApi.h"

static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "the fixed part is read by offset");

TVersionInfo ApplicationVersionInfo;
std::string ApplicationVersion;

namespace {

// The file's whole version block, owned for the time of one read.
class TFileVersionBlock final : public TVersionBlock {
 public:
  explicit TFileVersionBlock(const std::string& path) {
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    if (size == 0) throw Exception(FormatText(S_NO_VERSION_INFO, path.c_str()));
    // The block starts zeroed and the fill's result is not tested: a block that did not
    // load reads as one without a fixed part, never as stale memory.
    FBlock.resize(size);
    GetFileVersionInfoA(path.c_str(), 0, size, FBlock.data());
  }

  bool Query(const char* subBlock, const void*& data, uint32_t& length) override {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(FBlock.data(), subBlock, &value, &size)) return false;
    data = value;
    length = size;
    return true;
  }

  bool Holds(const void* data, uint32_t length) const override {
    const auto first = static_cast<const char*>(data);
    const char* begin = FBlock.data();
    return first >= begin && first <= begin + FBlock.size() &&
           length <= static_cast<size_t>(begin + FBlock.size() - first);
  }

 private:
  std::vector<char> FBlock;
};

// Runs when the library is loaded, before any export is called: the host's version for
// the exception report. An executable without readable version information leaves both
// values empty, and nothing may escape a library's initialisation.
void ReadApplicationVersion() noexcept {
  try {
    TVersionInfo info;
    ReadVersionInfo(ModuleFileName(nullptr), info);
    ApplicationVersionInfo = info;
    ApplicationVersion = VersionString(info);
  } catch (...) {
    ApplicationVersionInfo = TVersionInfo();
    ApplicationVersion.clear();
  }
}

[[maybe_unused]] const bool ApplicationVersionRead = (ReadApplicationVersion(), true);

}  // namespace

void ReadVersionInfo(const std::string& path, TVersionInfo& info) {
  TFileVersionBlock block(path);
  ReadVersionBlock(block, info);
}
