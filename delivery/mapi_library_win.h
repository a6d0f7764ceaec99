// The system's Simple MAPI: mapi32 of the user's mail program, loaded when first needed.
#pragma once

#include <windows.h>

#include <string>

#include "delivery/mapi_mail.h"

namespace qp {

class MapiLibrary final : public SimpleMapi {
 public:
  MapiLibrary() = default;
  ~MapiLibrary() override;
  MapiLibrary(const MapiLibrary&) = delete;
  MapiLibrary& operator=(const MapiLibrary&) = delete;

  // Looks once: the registry must say Simple MAPI is there ("MAPI" = "1"), "mapi32" (or
  // "mapi32.dll") must load and hold all ten functions. false, with the reason kept, when not.
  bool Load();
  const std::string& WhyUnavailable() const { return why_; }

  unsigned Logon(const std::string& profile, const std::string& password, unsigned flags, std::uintptr_t& session) override;
  unsigned Logoff(std::uintptr_t session) override;
  Resolved ResolveName(std::uintptr_t session, const std::string& name, unsigned flags) override;
  unsigned SendMail(std::uintptr_t session, const MapiLetter& letter, unsigned flags) override;
  unsigned SaveMail(std::uintptr_t session, const MapiLetter& letter, std::string& message_id) override;

 private:
  template <typename Function>
  Function Call(int which) const;  // one of the ten, as its own type

  bool looked_ = false, available_ = false;
  std::string why_;
  HMODULE library_ = nullptr;
  FARPROC functions_[10] = {};
};

}  // namespace qp
