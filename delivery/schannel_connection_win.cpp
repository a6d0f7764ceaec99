// TLS through Schannel (SSPI) over a Connection. The inner connection keeps doing the
// waiting, so the window answers and a cancel ends a handshake as it ends any other wait.
#include "delivery/schannel_connection_win.h"

#define SECURITY_WIN32
#include <windows.h>
#include <bcrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "delivery/schannel_library_win.h"
#include "lang/language.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr unsigned long kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                          ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                          ISC_REQ_MANUAL_CRED_VALIDATION;

std::string Hex32(long code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

// The certificate's SHA-256 digest as a fingerprint; "" when the system cannot make one.
std::string Sha256Fingerprint(const SchannelLibrary& api, const BYTE* data, DWORD size) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (api.open_algorithm(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return {};
  std::string digest(32, '\0');
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = api.create_hash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  ok = ok && api.hash_data(hash, const_cast<BYTE*>(data), size, 0) == 0;
  ok = ok && api.finish_hash(hash, reinterpret_cast<BYTE*>(digest.data()), static_cast<ULONG>(digest.size()), 0) == 0;
  if (hash) api.destroy_hash(hash);
  api.close_algorithm(algorithm, 0);
  return ok ? FingerprintText(digest) : std::string();
}

std::string ChainProblem(DWORD error) {
  switch (static_cast<HRESULT>(error)) {
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_CHAINING:
    case CERT_E_UNTRUSTEDTESTROOT: return LookupMessage("сертификат выдан тем, кому система не доверяет", "textCertUntrusted");
    case CERT_E_CN_NO_MATCH: return LookupMessage("сертификат выдан на другое имя сервера", "textCertOtherName");
    case CERT_E_EXPIRED: return LookupMessage("срок действия сертификата истёк или ещё не начался", "textCertExpired");
    default: return LookupMessage("сертификат не прошёл проверку", "textCertInvalid") + " (" + Hex32(static_cast<long>(error)) + ")";
  }
}

class SchannelConnection final : public Connection {
 public:
  SchannelConnection(const SchannelLibrary& api, std::unique_ptr<Connection> inner, const TlsPeer& peer)
      : api_(api), sspi_(*api.sspi), inner_(std::move(inner)), peer_(peer), target_(ui::Widen(peer.host)) {}
  ~SchannelConnection() override { Close(); }
  SchannelConnection(const SchannelConnection&) = delete;
  SchannelConnection& operator=(const SchannelConnection&) = delete;

  void Open() {
    SCHANNEL_CRED credentials{};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    // The certificate is judged here, after the handshake, the same way on every system.
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    const SECURITY_STATUS status = sspi_.AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                                                   nullptr, &credentials, nullptr, nullptr, &credentials_, nullptr);
    if (status != SEC_E_OK) throw TlsError(peer_.host, Hex32(status));
    have_credentials_ = true;
    try {
      Handshake(true);
    } catch (const GracefulCloseError&) {
      throw TlsError(peer_.host, LookupMessage("сервер закрыл соединение", "textTlsClosed"));
    } catch (const SocketError& e) {
      if (e.Code() == kConnectionResetCode) throw TlsError(peer_.host, e.what());
      throw;
    }
    if (sspi_.QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK || sizes_.cbMaximumMessage == 0) {
      throw TlsError(peer_.host, "stream sizes");
    }
  }

  void Write(std::string_view bytes) override {
    // The whole text as records in one write: nothing waits on the peer between them.
    std::string records;
    while (!bytes.empty()) {
      const std::size_t n = std::min<std::size_t>(bytes.size(), sizes_.cbMaximumMessage);
      std::string record(sizes_.cbHeader + n + sizes_.cbTrailer, '\0');
      std::copy_n(bytes.data(), n, record.data() + sizes_.cbHeader);
      SecBuffer buffers[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                              {static_cast<unsigned long>(n), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
                              {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + n},
                              {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
      const SECURITY_STATUS status = sspi_.EncryptMessage(&context_, 0, &description, 0);
      if (status != SEC_E_OK) throw SocketError(kConnectionResetCode, "TLS: " + Hex32(status));
      record.resize(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
      records += record;
      bytes.remove_prefix(n);
    }
    inner_->Write(records);
  }

  std::string Read() override {
    for (;;) {
      if (!plain_.empty()) return std::exchange(plain_, {});
      if (closed_by_peer_) throw GracefulCloseError();
      if (!received_.empty() && DecryptRecord()) continue;
      received_ += inner_->Read();
    }
  }

  bool EndedWhileIdle() override {
    // Records the peer sends of its own (a TLS 1.3 session ticket) say nothing; a word,
    // a close or a broken record do.
    try {
      while (plain_.empty() && !closed_by_peer_) {
        if (!received_.empty() && DecryptRecord()) continue;
        if (!inner_->EndedWhileIdle()) return false;
        received_ += inner_->Read();
      }
    } catch (const std::exception&) {
    }
    return true;
  }

  void Close() override {
    if (have_context_) {
      SayGoodbye();
      sspi_.DeleteSecurityContext(&context_);
      have_context_ = false;
    }
    if (have_credentials_) {
      sspi_.FreeCredentialsHandle(&credentials_);
      have_credentials_ = false;
    }
    if (inner_) inner_->Close();
  }

 private:
  // The handshake, or the exchange the peer asks for after it (renegotiation, TLS 1.3's
  // post-handshake messages), until the context is complete again and its certificate judged.
  void Handshake(bool first) {
    bool fresh = first;
    // Each step works on what is here first: a renegotiation may need nothing more from the
    // peer, and a read would then wait for words that are not coming.
    bool first_step = true;
    for (;;) {
      if (!first_step && received_.empty()) received_ += inner_->Read();
      first_step = false;
      SecBuffer in[2] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_TOKEN, received_.data()}, {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc in_description{SECBUFFER_VERSION, 2, in};
      SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
      SecBufferDesc out_description{SECBUFFER_VERSION, 1, out};
      unsigned long attributes = 0;
      const SECURITY_STATUS status = sspi_.InitializeSecurityContextW(&credentials_, fresh ? nullptr : &context_, target_.data(),
                                                                      kContextRequest, 0, 0, fresh ? nullptr : &in_description, 0,
                                                                      fresh ? &context_ : nullptr, &out_description, &attributes, nullptr);
      if (fresh && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) have_context_ = true;
      fresh = false;
      if (out[0].pvBuffer) {
        const std::string token(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer);
        sspi_.FreeContextBuffer(out[0].pvBuffer);
        if (!token.empty()) inner_->Write(token);
      }
      if (status == SEC_E_INCOMPLETE_MESSAGE) {
        received_ += inner_->Read();
        continue;
      }
      if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) throw TlsError(peer_.host, Hex32(status));
      // What the step did not take belongs to the next step, or to the letters.
      if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0 && in[1].cbBuffer <= received_.size()) {
        received_.erase(0, received_.size() - in[1].cbBuffer);
      } else {
        received_.clear();
      }
      if (status == SEC_E_OK) break;
    }
    // Every handshake ends with its certificate judged, a renegotiation's as the first one's:
    // no exchange may bring in a server nobody has checked.
    Verify();
  }

  // Decrypts one record from what was received; false when it is not all here yet.
  bool DecryptRecord() {
    SecBuffer buffers[4] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_DATA, received_.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = sspi_.DecryptMessage(&context_, &description, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return false;
    if (status == SEC_I_CONTEXT_EXPIRED) {  // the peer's close_notify
      closed_by_peer_ = true;
      received_.clear();
      return true;
    }
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) throw SocketError(kConnectionResetCode, "TLS: " + Hex32(status));
    std::string extra;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA) plain_.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
      if (buffer.BufferType == SECBUFFER_EXTRA) extra.assign(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
    }
    received_ = std::move(extra);
    if (status == SEC_I_RENEGOTIATE) Handshake(false);
    return true;
  }

  void Verify() {
    PCCERT_CONTEXT certificate = nullptr;
    if (sspi_.QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK || !certificate) {
      throw CertificateError(peer_.host, LookupMessage("сервер не показал сертификата", "textCertMissing"), "");
    }
    const std::string fingerprint = Sha256Fingerprint(api_, certificate->pbCertEncoded, certificate->cbCertEncoded);
    if (!fingerprint.empty() && SameFingerprint(fingerprint, peer_.trusted_certificate)) {
      api_.free_certificate(certificate);
      return;
    }
    LPSTR usage[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chain_request{};
    chain_request.cbSize = sizeof chain_request;
    chain_request.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chain_request.RequestedUsage.Usage.cUsageIdentifier = 1;
    chain_request.RequestedUsage.Usage.rgpszUsageIdentifier = usage;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    const bool built = api_.get_chain(nullptr, certificate, nullptr, certificate->hCertStore, &chain_request, 0, nullptr, &chain);
    api_.free_certificate(certificate);
    if (!built || !chain) throw CertificateError(peer_.host, ChainProblem(static_cast<DWORD>(CERT_E_CHAINING)), fingerprint);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = target_.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS verdict{};
    verdict.cbSize = sizeof verdict;
    const bool checked = api_.verify_chain_policy(CERT_CHAIN_POLICY_SSL, chain, &policy, &verdict);
    api_.free_chain(chain);
    if (!checked) throw CertificateError(peer_.host, ChainProblem(GetLastError()), fingerprint);
    if (verdict.dwError != 0) throw CertificateError(peer_.host, ChainProblem(verdict.dwError), fingerprint);
  }

  // The close_notify alert, as a polite client ends a secure channel; nothing is waited for.
  void SayGoodbye() {
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc control_description{SECBUFFER_VERSION, 1, &control};
    if (sspi_.ApplyControlToken(&context_, &control_description) != SEC_E_OK) return;
    SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc out_description{SECBUFFER_VERSION, 1, &out};
    unsigned long attributes = 0;
    sspi_.InitializeSecurityContextW(&credentials_, &context_, target_.data(), kContextRequest, 0, 0, nullptr, 0, nullptr, &out_description,
                                     &attributes, nullptr);
    if (!out.pvBuffer) return;
    const std::string alert(static_cast<const char*>(out.pvBuffer), out.cbBuffer);
    sspi_.FreeContextBuffer(out.pvBuffer);
    try {
      if (!alert.empty() && !inner_->EndedWhileIdle()) inner_->Write(alert);
    } catch (const std::exception&) {
    }
  }

  const SchannelLibrary& api_;
  const SecurityFunctionTableW& sspi_;
  std::unique_ptr<Connection> inner_;
  TlsPeer peer_;
  std::wstring target_;  // the host name as Schannel and the name check take it
  CredHandle credentials_{};
  CtxtHandle context_{};
  bool have_credentials_ = false, have_context_ = false;
  SecPkgContext_StreamSizes sizes_{};
  std::string received_;  // encrypted bytes not yet taken by Schannel
  std::string plain_;     // decrypted bytes not yet read
  bool closed_by_peer_ = false;
};

}  // namespace

std::unique_ptr<Connection> SecureWithSchannel(std::unique_ptr<Connection> plain, const TlsPeer& peer) {
  const SchannelLibrary* api = LoadSchannelLibrary();
  if (!api) throw TlsError(peer.host, "secur32, crypt32, bcrypt");
  auto secure = std::make_unique<SchannelConnection>(*api, std::move(plain), peer);
  secure->Open();  // on a throw, the channel and the plain connection under it close as it goes
  return secure;
}

}  // namespace qp
