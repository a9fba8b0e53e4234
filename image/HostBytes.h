#pragma once
// Block copies to and from memory the host owns. A bad host record makes such a copy fault;
// the copy then runs in the plug-in's own code, where a fault becomes an EAccessViolation
// that unwinds to the caller (diagnostics/FaultCapture.h). The C runtime's memcpy would
// fault in another module, and the compiler takes it for a call that never throws.

#include <cstddef>

void CopyHostBytes(void* target, const void* source, size_t count);
