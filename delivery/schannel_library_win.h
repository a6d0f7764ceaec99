// The system's TLS and certificate functions, loaded at the first secure connection: imported,
// secur32, crypt32 and bcrypt would cost every start time and some 4 MiB, and most letters
// never go over TLS.
#pragma once

#define SECURITY_WIN32
#include <windows.h>
#include <bcrypt.h>
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>

namespace qp {

struct SchannelLibrary {
  const SecurityFunctionTableW* sspi;  // secur32: the handshake, the records, the handles
  decltype(&CertGetCertificateChain) get_chain;
  decltype(&CertVerifyCertificateChainPolicy) verify_chain_policy;
  decltype(&CertFreeCertificateChain) free_chain;
  decltype(&CertFreeCertificateContext) free_certificate;
  decltype(&BCryptOpenAlgorithmProvider) open_algorithm;
  decltype(&BCryptCloseAlgorithmProvider) close_algorithm;
  decltype(&BCryptCreateHash) create_hash;
  decltype(&BCryptHashData) hash_data;
  decltype(&BCryptFinishHash) finish_hash;
  decltype(&BCryptDestroyHash) destroy_hash;
};

// Loads the three DLLs from the system folder at the first call and keeps them; nullptr when
// one of them or one of its functions is not there.
const SchannelLibrary* LoadSchannelLibrary();

}  // namespace qp
