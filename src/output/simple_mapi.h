// Reaching the system's Simple MAPI mail client.
#pragma once

#include <windows.h>

#include <cstdint>

#include "output/mapi_control.h"

namespace output {

// The system declares Simple MAPI installed: HKLM "SOFTWARE\Microsoft\Windows Messaging
// Subsystem", value "MAPI" = "1".
bool simple_mapi_installed();

// The mail library, loaded from the system folder only (never the program's or the current
// folder, where a planted copy could run) the first time it is asked for while Simple MAPI is
// declared installed, and kept until the program ends. Null when not installed or not loadable.
HMODULE simple_mapi_library();

// Installed, loaded and exporting one of the send entry points.
bool simple_mapi_available();

// Sends through the given mail library: its Unicode entry point MAPISendMailW when it has one,
// otherwise MAPISendMail with every text in the system's 8-bit code page. Answers 1 (as a user
// abort) when the library exports neither.
std::uint32_t send_through_library(HMODULE library, const MailMessage& message,
                                   std::uintptr_t parent);

// The send function of the program's mail sender: the system's library, or 1 without one.
std::uint32_t send_simple_mapi(const MailMessage& message, std::uintptr_t parent);

}  // namespace output
