// Simple MAPI submission ("sendby" 1): the mail component TEmail over the Simple MAPI
// functions of the user's mail program, and the send method the dispatch drives. The
// functions themselves come through the SimpleMapi interface: the system's mapi32 in the
// program, a stand-in in the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/send_method.h"

namespace qp {

inline constexpr unsigned kMapiLogonUi = 1, kMapiNewSession = 2, kMapiForceDownload = 0x1000;
inline constexpr unsigned kMapiDialog = 8, kMapiReceiptRequested = 2;
inline constexpr int kMapiTo = 1, kMapiCc = 2, kMapiBcc = 3;
inline constexpr unsigned kMapiSuccess = 0, kMapiLogonFailure = 3, kMapiAttachmentNotFound = 11, kMapiUnknownRecipient = 14,
                          kMapiAmbiguousRecipient = 21;

struct MapiRecipient {
  int recipient_class = kMapiTo;
  std::string name, address, entry_id;
  bool operator==(const MapiRecipient&) const = default;
};
struct MapiFile {
  std::string path, display_name;
  bool operator==(const MapiFile&) const = default;
};
// The message handed over; texts in UTF-8 (the binding converts them).
struct MapiLetter {
  std::string subject, text, message_type;
  bool receipt_requested = false;
  std::vector<MapiRecipient> recipients;
  std::vector<MapiFile> files;
};

// The Simple MAPI functions the component calls; codes are MAPI's result codes.
class SimpleMapi {
 public:
  struct Resolved {
    unsigned code = kMapiSuccess;
    std::string name, address, entry_id;
  };
  virtual ~SimpleMapi() = default;
  virtual unsigned Logon(const std::string& profile, const std::string& password, unsigned flags, std::uintptr_t& session) = 0;
  virtual unsigned Logoff(std::uintptr_t session) = 0;
  virtual Resolved ResolveName(std::uintptr_t session, const std::string& name, unsigned flags) = 0;
  virtual unsigned SendMail(std::uintptr_t session, const MapiLetter& letter, unsigned flags) = 0;
  virtual unsigned SaveMail(std::uintptr_t session, const MapiLetter& letter, std::string& message_id) = 0;
};

class MapiUnavailableError : public std::runtime_error {
 public:
  MapiUnavailableError() : std::runtime_error("MAPI services are not available on this system") {}
};

// The name an attachment is shown under: the file part of the path, shortened to at most
// 12 characters when `truncate` is on (the 8 characters before a late first dot and what
// follows, then the last 12, then without leading dots).
std::string AttachmentDisplayName(std::string_view path, bool truncate);

// A recipient line holding "[" and "]" whose resolved name holds neither is used as it is,
// without its first "]" and then its first "[" ("[SMTP:a@b]" gives "SMTP:a@b"); nullopt
// when the rule does not apply.
std::optional<std::string> BracketedRecipient(std::string_view line, std::string_view resolved_name);

class TEmail {
 public:
  // mapi: nullptr when Simple MAPI is not available. default_profile: the registry's
  // "DefaultProfile", for UseDefProfile.
  TEmail(SimpleMapi* mapi, std::function<std::string()> default_profile = {});
  ~TEmail();
  TEmail(const TEmail&) = delete;
  TEmail& operator=(const TEmail&) = delete;

  std::vector<std::string> Recipient, CC, Bcc, Attachment;
  std::string Subject, Text, Profile, Password;
  bool Acknowledge = false, ShowDialog = false, UseDefProfile = false, DownLoadFirst = false, NewSession = false, TruncAttFN = true,
       UnreadOnly = false, UseLongMessageID = true;

  std::function<void()> OnBeforeLogon, OnAfterLogon, OnBeforeLogoff, OnAfterLogoff, OnBeforeSaveMail, OnAfterSaveMail, OnBeforeSendMail,
      OnAfterSendMail;
  std::function<void(unsigned code)> OnMapiError;

  bool MapiAvail() const { return mapi_ != nullptr; }
  static constexpr std::string_view Version() { return "2.09.02"; }

  // Each throws MapiUnavailableError when Simple MAPI is not there.
  unsigned Logon();
  unsigned Logoff();
  unsigned SendMail();
  unsigned SaveMail();
  void ClearMessage();
  // Replaces Text for the next message (Text is emptied); nullopt drops it. Its length.
  std::size_t SetLongText(std::optional<std::string> text);
  bool LoggedOn() const { return session_ != 0; }

 private:
  unsigned Hand(bool send);
  std::optional<MapiLetter> Build(unsigned& code);
  unsigned Flags() const;
  void Require() const;
  void Error(unsigned code);
  static void Fire(const std::function<void()>& event) {
    if (event) event();
  }

  SimpleMapi* mapi_;
  std::function<std::string()> default_profile_;
  std::uintptr_t session_ = 0;
  std::optional<std::string> long_text_;
  std::string message_type_, message_id_;
};

// "sendby" 1: every letter through TEmail, one session for a whole run.
class MapiSendMethod final : public SendMethod {
 public:
  // why_unavailable: what the loader found wrong, shown with the refusal.
  MapiSendMethod(TEmail& mail, SendProgress& progress, std::function<std::string()> why_unavailable = {});

  // Without Simple MAPI nothing can go: the message box says so.
  std::string Refusal(const ActiveProfile& profile) const override;
  // Logs on; a failure shows "Ошибка входа MAPI." and the letter is still tried (sending
  // logs on again, with the mail program's own logon dialog).
  bool Prepare(const ActiveProfile& profile) override;
  bool Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) override;
  void Finish(bool keep_connection) override;
  bool UsesConnection() const override { return false; }
  void Cancel() override {}
  void Disconnect() override;

 private:
  TEmail& mail_;
  SendProgress& progress_;
  std::function<std::string()> why_unavailable_;
};

}  // namespace qp
