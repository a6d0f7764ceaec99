// The system's TLS and certificate functions, looked up once, at the first secure connection.
#include "delivery/schannel_library_win.h"

#include <optional>

#include "ui/module_win.h"

namespace qp {
namespace {

template <typename Pointer>
bool Find(Pointer& function, const wchar_t* dll, const char* name) {
  function = reinterpret_cast<Pointer>(reinterpret_cast<void*>(ui::SystemProcedure(dll, name)));
  return function != nullptr;
}

std::optional<SchannelLibrary> Load() {
  SchannelLibrary library{};
  // The one entry point of secur32 hands over its whole table, as SSPI is meant to be loaded.
  auto* init = ui::SystemFunction<decltype(InitSecurityInterfaceW)>(L"secur32.dll", "InitSecurityInterfaceW");
  library.sspi = init ? init() : nullptr;
  const wchar_t* const crypt32 = L"crypt32.dll";
  const wchar_t* const bcrypt = L"bcrypt.dll";
  const bool found = library.sspi && Find(library.get_chain, crypt32, "CertGetCertificateChain") &&
                     Find(library.verify_chain_policy, crypt32, "CertVerifyCertificateChainPolicy") &&
                     Find(library.free_chain, crypt32, "CertFreeCertificateChain") &&
                     Find(library.free_certificate, crypt32, "CertFreeCertificateContext") &&
                     Find(library.open_algorithm, bcrypt, "BCryptOpenAlgorithmProvider") &&
                     Find(library.close_algorithm, bcrypt, "BCryptCloseAlgorithmProvider") &&
                     Find(library.create_hash, bcrypt, "BCryptCreateHash") && Find(library.hash_data, bcrypt, "BCryptHashData") &&
                     Find(library.finish_hash, bcrypt, "BCryptFinishHash") && Find(library.destroy_hash, bcrypt, "BCryptDestroyHash");
  if (!found) return std::nullopt;
  return library;
}

}  // namespace

const SchannelLibrary* LoadSchannelLibrary() {
  static const std::optional<SchannelLibrary> library = Load();
  return library ? &*library : nullptr;
}

}  // namespace qp
