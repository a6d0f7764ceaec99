// The running executable's own file and folder, and the system DLLs it loads only when a
// rarely used function is first needed.
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

}  // namespace qp::ui
