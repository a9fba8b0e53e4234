#pragma once
// The application's handler of the exceptions that reach the window layer's dispatch: it
// shows the message readably and, for the faults that point to a defect of the program,
// offers to ignore the error, to mail a bug report to the maker or to end the application.

#include <exception>
#include <string>

#include "diagnostics/ExceptionReport.h"
#include "diagnostics/MailValues.h"

class TComponent;

// Never raises: a failure inside it is reported by the system's bare "Exception" box.
void ExceptionReportHandler(TComponent* sender, std::exception_ptr error) noexcept;

// The fault capture, and the handler as the application's exception event. Done when the
// module is loaded, and again by every styled form built from its description (through
// the application's LoadedHandlerInstaller).
void InstallExceptionReport() noexcept;

// What the bug report tells about this error and the system right now.
TReportDetails CollectReportDetails(TComponent* sender, const std::exception& error, const std::string& message);

// The bug report's mail: to the maker's report address, with the report as its body.
TMailValues ReportMail(TComponent* sender, const std::exception& error, const std::string& message);

// The bare class name of the object, as the report prints it.
std::string ClassNameOf(const TComponent& component);
