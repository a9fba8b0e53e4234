#include "diagnostics/ExceptionReportHandler.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

#include "diagnostics/EMailUtils.h"
#include "errors/Exceptions.h"
#include "diagnostics/FaultCapture.h"
#include "diagnostics/MapFile.h"
#include "diagnostics/VersionInfo.h"
#include "resources/Texts.h"
#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/MessageDialog.h"

namespace {

enum TReportChoice { rcClosed, rcIgnore, rcSendReport, rcTerminate };

std::string MessageText(const std::exception& error) {
  const auto own = dynamic_cast<const Exception*>(&error);
  return own ? own->Message() : error.what();
}

void AddModuleLine(TReportDetails& details) {
  if (ModuleInstance() == GetModuleHandleA(nullptr)) return;
  const std::string path = ModuleFileName(ModuleInstance());
  TVersionInfo info;
  ReadVersionInfo(path, info);
  details.ModuleFileName = FileNameOf(path);
  details.ModuleVersion = VersionString(info);
}

// Whether the user sent the mail or cancelled it is the mail client's business.
void SendReport(TComponent* sender, const std::exception& error, const std::string& message) {
  SendMail(Application.Handle(), ReportMail(sender, error, message));
}

void OfferReport(TComponent* sender, const std::exception& error, const std::string& message) {
  const std::vector<std::string> captions{LoadResString(IDS_BTN_IGNORE), LoadResString(IDS_SEND_BUG_REPORT),
                                          LoadResString(IDS_TERMINATE_APPLICATION)};
  switch (ShowCustomMessageBox(message, mkError, captions, rcIgnore)) {
    case rcSendReport: return SendReport(sender, error, message);
    case rcTerminate: return Application.Terminate();
    default: return;
  }
}

void ReportError(TComponent* sender, const std::exception& error) {
  const bool accessViolation = dynamic_cast<const EAccessViolation*>(&error) != nullptr;
  const std::string message = NormaliseMessage(MessageText(error), accessViolation);
  if (OffersBugReport(error))
    OfferReport(sender, error, message);
  else
    ShowMessageBox(message, mkError, ButtonBit(bnOK), 0);
}

// Installed when the library is loaded, before the host calls any export, and left with
// the application for its styled forms to install again; the application object is built
// ahead of ordinary statics, so it can be set up here.
const bool InstalledAtLoad = [] {
  Application.LoadedHandlerInstaller = InstallExceptionReport;
  InstallExceptionReport();
  return true;
}();

}  // namespace

std::string ClassNameOf(const TComponent& component) {
  const char* mangled = typeid(component).name();
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                               &std::free);
  const std::string name = demangled ? demangled.get() : mangled;
  return name.substr(name.rfind("::") == std::string::npos ? 0 : name.rfind("::") + 2);
}

TReportDetails CollectReportDetails(TComponent* sender, const std::exception& error, const std::string& message) {
  TReportDetails details;
  details.ApplicationFileName = FileNameOf(ModuleFileName(nullptr));
  details.ApplicationVersion = ApplicationVersion;
  AddModuleLine(details);
  details.Message = message;
  const TMapLocation map = ModuleMapLocation();
  details.ExceptionAddress = MapAddressToText(ExceptionAddressOf(error), map.FileName, map.DummyAddress);
  details.StackTrace = StackTraceToText(FaultTrace, ReportLineBreak, map);
  if (sender) details.SenderClassName = ClassNameOf(*sender);
  if (Screen.ActiveForm) details.ActiveFormClassName = ClassNameOf(*Screen.ActiveForm);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  details.WindowsMajor = static_cast<int>(version.dwMajorVersion);
  details.WindowsMinor = static_cast<int>(version.dwMinorVersion);
  return details;
}

TMailValues ReportMail(TComponent* sender, const std::exception& error, const std::string& message) {
  return {{"to", OSTRAVINE_REPORT_ADDRESS},
          {"subject", S_BUG_REPORT_SUBJECT},
          {"body", BuildReportText(CollectReportDetails(sender, error, message))}};
}

void ExceptionReportHandler(TComponent* sender, std::exception_ptr error) noexcept {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& raised) {
    try {
      ReportError(sender, raised);
      return;
    } catch (...) {
    }
  } catch (...) {
  }
  MessageBoxA(nullptr, S_EXCEPTION, nullptr, MB_ICONHAND);
}

void InstallExceptionReport() noexcept {
  InstallFaultCapture();
  Application.OnException = ExceptionReportHandler;
}
