// Simple MAPI submission.
#include "delivery/mapi_mail.h"

#include <algorithm>

#include "base/file_system.h"
#include "base/lines.h"
#include "lang/language.h"

namespace qp {
namespace {

constexpr std::size_t kMaxField = 255;

std::string Cut(std::string_view text) { return std::string(text.substr(0, kMaxField)); }

}  // namespace

std::string AttachmentDisplayName(std::string_view path, bool truncate) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
  if (!truncate || name.size() <= 12) return name;
  const std::size_t dot = name.find('.');  // positions counted from 1 below
  if (dot != std::string::npos && dot + 1 >= 10) name.erase(0, dot - 8);
  if (name.size() > 12) name.erase(0, name.size() - 12);
  name.erase(0, std::min(name.find_first_not_of('.'), name.size()));
  return name;
}

std::optional<std::string> BracketedRecipient(std::string_view line, std::string_view resolved_name) {
  const auto holds_both = [](std::string_view text) {
    return text.find('[') != std::string_view::npos && text.find(']') != std::string_view::npos;
  };
  const auto holds_either = [](std::string_view text) {
    return text.find('[') != std::string_view::npos || text.find(']') != std::string_view::npos;
  };
  if (!holds_both(line) || holds_either(resolved_name)) return std::nullopt;
  std::string address(line);
  address.erase(address.find(']'), 1);
  address.erase(address.find('['), 1);
  return address;
}

TEmail::TEmail(SimpleMapi* mapi, std::function<std::string()> default_profile)
    : mapi_(mapi), default_profile_(std::move(default_profile)) {}

TEmail::~TEmail() {
  try {
    if (mapi_) Logoff();
  } catch (...) {  // a mail program that fails at the end changes nothing
  }
}

void TEmail::Require() const {
  if (!mapi_) throw MapiUnavailableError();
}

void TEmail::Error(unsigned code) {
  if (OnMapiError) OnMapiError(code);
}

unsigned TEmail::Flags() const { return (DownLoadFirst ? kMapiForceDownload : 0) | (NewSession ? kMapiNewSession : 0); }

unsigned TEmail::Logon() {
  Require();
  if (session_) return kMapiSuccess;
  if (UseDefProfile) Profile = default_profile_ ? Cut(default_profile_()) : std::string();
  Fire(OnBeforeLogon);
  unsigned code = mapi_->Logon(Profile, Password, Flags(), session_);
  if (code != kMapiSuccess) code = mapi_->Logon("", "", Flags() | kMapiLogonUi, session_);  // the mail program may ask
  if (code != kMapiSuccess) {
    session_ = 0;
    Error(code);
  } else {
    Fire(OnAfterLogon);
  }
  return code;
}

unsigned TEmail::Logoff() {
  Require();
  if (!session_) return kMapiSuccess;
  Fire(OnBeforeLogoff);
  const unsigned code = mapi_->Logoff(session_);
  session_ = 0;
  Fire(OnAfterLogoff);
  return code;
}

void TEmail::ClearMessage() {
  Acknowledge = false;
  Attachment.clear();
  Bcc.clear();
  CC.clear();
  Recipient.clear();
  Subject.clear();
  long_text_.reset();
  Text.clear();
}

std::size_t TEmail::SetLongText(std::optional<std::string> text) {
  Text.clear();
  long_text_ = std::move(text);
  return long_text_ ? long_text_->size() : 0;
}

std::optional<MapiLetter> TEmail::Build(unsigned& code) {
  MapiLetter letter;
  letter.subject = Subject;
  letter.text = long_text_ ? *long_text_ : Text;
  letter.message_type = message_type_;
  letter.receipt_requested = Acknowledge;
  for (auto [list, recipient_class] : {std::pair{&Recipient, kMapiTo}, {&CC, kMapiCc}, {&Bcc, kMapiBcc}}) {
    for (std::string& line : *list) {
      if (line.empty()) continue;
      SimpleMapi::Resolved resolved = mapi_->ResolveName(session_, line, 0);
      if (resolved.code == kMapiAmbiguousRecipient || resolved.code == kMapiUnknownRecipient) {
        resolved = mapi_->ResolveName(session_, line, kMapiDialog);  // the user picks
      }
      if (resolved.code != kMapiSuccess) {
        Error(resolved.code);
        continue;
      }
      if (std::optional<std::string> as_is = BracketedRecipient(line, resolved.name)) {
        letter.recipients.push_back({recipient_class, *as_is, *as_is, {}});
      } else {
        line = resolved.name;
        letter.recipients.push_back(
            {recipient_class, resolved.name, resolved.address.empty() ? resolved.name : resolved.address, resolved.entry_id});
      }
    }
  }
  for (const std::string& path : Attachment) {
    const std::string file = Cut(path);
    if (!FileExists(file)) {
      Error(kMapiAttachmentNotFound);
      code = kMapiAttachmentNotFound;
      return std::nullopt;
    }
    letter.files.push_back({file, AttachmentDisplayName(file, TruncAttFN)});
  }
  return letter;
}

unsigned TEmail::Hand(bool send) {
  Require();
  const bool was_logged_on = session_ != 0;
  if (Logon() != kMapiSuccess) {
    Error(kMapiLogonFailure);
    return kMapiLogonFailure;
  }
  unsigned code = kMapiSuccess;
  if (std::optional<MapiLetter> letter = Build(code)) {
    if (send) {
      const unsigned flags = letter->recipients.empty() || ShowDialog ? kMapiDialog : 0;
      Fire(OnBeforeSendMail);
      code = mapi_->SendMail(session_, *letter, flags);
      if (code == kMapiSuccess) Fire(OnAfterSendMail);
    } else {
      Fire(OnBeforeSaveMail);
      code = mapi_->SaveMail(session_, *letter, message_id_);
      if (code == kMapiSuccess) Fire(OnAfterSaveMail);
    }
    if (code != kMapiSuccess) Error(code);
  }
  if (!was_logged_on) Logoff();
  return code;
}

unsigned TEmail::SendMail() { return Hand(true); }
unsigned TEmail::SaveMail() { return Hand(false); }

MapiSendMethod::MapiSendMethod(TEmail& mail, SendProgress& progress, std::function<std::string()> why_unavailable)
    : mail_(mail), progress_(progress), why_unavailable_(std::move(why_unavailable)) {}

std::string MapiSendMethod::Refusal(const ActiveProfile& /*profile*/) const {
  if (mail_.MapiAvail()) return {};
  const std::string why = why_unavailable_ ? why_unavailable_() : std::string();
  return LookupMessage(MapiUnavailableError().what(), "textMapiUnavailable") + (why.empty() ? "" : "\r\n" + why);
}

bool MapiSendMethod::Prepare(const ActiveProfile& /*profile*/) {
  progress_.StepProgress();
  if (mail_.Logon() != kMapiSuccess) progress_.Status(LookupMessage("Ошибка входа MAPI.", "MapiLogonError"));
  progress_.StepProgress();
  return true;
}

bool MapiSendMethod::Send(const ActiveProfile& /*profile*/, const MailMessage& letter, std::string_view /*date*/,
                          std::string_view /*message_id*/) {
  mail_.ClearMessage();
  mail_.Recipient = {letter.recipients};
  mail_.Subject = Cut(letter.subject);
  // The whole body: a letter of several requests must not lose those past 255 characters.
  mail_.SetLongText(letter.body);
  if (progress_.Cancelled()) return true;
  progress_.StepProgress();
  const unsigned code = mail_.SendMail();
  progress_.StepProgress();
  if (code == kMapiSuccess) return true;
  progress_.Status(LookupMessage("Почтовая программа не отправила письмо (MAPI)", "textMapiSendFailed") + ": " + std::to_string(code));
  return false;
}

void MapiSendMethod::Finish(bool /*keep_connection*/) {
  mail_.Logoff();
  mail_.ClearMessage();
}

void MapiSendMethod::Disconnect() {
  if (mail_.MapiAvail()) mail_.Logoff();
}

}  // namespace qp
