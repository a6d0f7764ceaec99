// The running executable's own file and folder, the system DLLs it loads only when a
// rarely used function is first needed, and what the shell opens for it.
#pragma once

#include <windows.h>

#include <string>

namespace qp::ui {

// The executable's full path and its folder, UTF-8.
std::string ModulePath();
std::string ModuleFolder();

// A function of one of the system's own DLLs, the DLL loaded from the system folder at
// the first call: the open and save dialogs and the dial-up functions are seldom used, and
// loading their DLLs at every start costs time and memory. nullptr when it is not there.
FARPROC SystemProcedure(const wchar_t* dll, const char* name);
template <typename Function>
Function* SystemFunction(const wchar_t* dll, const char* name) {
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(SystemProcedure(dll, name)));
}

// Hands a file, a program or an address ("mailto:...") to the shell's "open" action, with
// parameters for a program; false when the shell could not open it.
bool ShellOpen(const std::string& target, const std::string& parameters = "");

}  // namespace qp::ui
