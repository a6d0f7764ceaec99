// The request dispatch.
#include "request/dispatch.h"

#include <exception>
#include <functional>
#include <optional>
#include <typeinfo>

#include "app/error_log.h"
#include "app/text_codec.h"
#include "lang/language.h"
#include "organize/history.h"
#include "request/buttons.h"

namespace qp {
namespace {

constexpr int kProgressFull = 50;
constexpr int kSendBySmtp = 0;
constexpr std::size_t kDefinitionChars = 255;

std::string Cut(const std::string& text) { return std::string(CutChars(text, kDefinitionChars)); }

std::string TrimSpaces(const std::string& s) {
  std::size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::string DomainOf(const std::string& address) {
  std::size_t at = address.rfind('@');
  std::string domain = at == std::string::npos ? "localhost" : address.substr(at + 1);
  return domain.empty() ? "localhost" : domain;
}

}  // namespace

Dispatcher::Dispatcher(DispatchHost& host, const IniFile& settings, std::filesystem::path buttons_file, RequestCounter& counter)
    : host_(host), settings_(settings), buttons_file_(std::move(buttons_file)), counter_(counter), smtp_(host.Network(), this) {}

std::string Dispatcher::Message(const char* def, const char* key) const { return LookupMessage(def, key); }

void Dispatcher::DispatchRequest(int number, bool help_request) {
  if (running_) return;
  running_ = true;
  // Whatever ends the run, the buttons come back and a replaced profile is put back.
  struct Guard {
    Dispatcher& d;
    ~Guard() {
      d.running_ = false;
      d.busy_ = false;
      d.host_.SetRequestButtonsEnabled(true);
    }
  } guard{*this};
  Run(number, help_request);
}

void Dispatcher::Run(int number, bool help_request) {
  abort_ = false;
  error_ = false;
  std::string error_text = Message("При отправке запроса произошла ошибка.", "textSendError");
  bool overridden = false;
  int remembered = 1;
  host_.SetProgress(0);
  host_.AddToInputHistory(host_.RequestLine());
  host_.SetRequestButtonsEnabled(false);
  body_.Clear();

  const SettingsFile buttons(buttons_file_, SystemCodec());
  const std::string section = ButtonSection(number);
  const std::string name = Cut(buttons.ReadString(section, "Name", ""));
  std::string service = Cut(buttons.ReadString(section, "Service", ""));
  const bool multi_request = buttons.ReadBool(section, "MultiRequest", false);

  auto restore_profile = [&] {
    if (overridden) host_.SelectMailbox(remembered);
  };
  struct RestoreOnThrow {
    std::function<void()> restore;
    bool armed = true;
    ~RestoreOnThrow() {
      if (armed && std::uncaught_exceptions() > 0) {
        try {
          restore();
        } catch (...) {
        }
      }
    }
  } restore_on_throw{restore_profile};

  if (std::optional<int> profile = MailboxOverride(buttons.ReadString(section, "Mailbox", "Selected"))) {
    overridden = true;
    remembered = host_.CheckedMailbox();
    if (remembered == 0) remembered = 1;
    host_.SelectMailbox(*profile);
  } else if (int checked = host_.CheckedMailbox(); checked != 0) {
    host_.SelectMailbox(checked);
  }

  const int delay = settings_.ReadInteger("Settings", "RLDelay", 10);
  const int send_by = settings_.ReadInteger("Settings", "sendby", 0);
  const bool dialup = settings_.ReadBool("Settings", "dialup", false);
  const bool keep_connection = settings_.ReadBool("Settings", "DontDisconnect", false);
  const std::string x_mailer = settings_.ReadString("Settings", "XMailer", "Quillpost");

  if (number > 30) host_.SetRequestLine("");
  if (std::string_view fixed = FixedServiceAddress(number); !fixed.empty()) service = std::string(fixed);
  if (help_request) host_.SetRequestLine("help");

  const ActiveProfile& profile = host_.Profile();
  const bool list1 = host_.Switch("miRQList1"), list2 = host_.Switch("miRQList2");
  if (profile.email.empty()) {
    host_.ErrorBox(Message("Почтовый ящик не настроен.", "EmptyEmail"));
    host_.OpenOptions();
    host_.SelectMailbox(1);
    return;
  }
  if (TrimSpaces(host_.RequestLine()).empty() && number <= 20 && !list1 && !list2) {
    host_.Status(Message("Пустой запрос!", "EmptyRequest"));
    restore_profile();
    return;
  }
  if (send_by == kSendBySmtp && (profile.smtp_host.empty() || profile.smtp_port.empty())) {
    host_.ErrorBox(Message("SMTP сервер не настроен.", "EmptySMTP"));
    host_.OpenOptions();
    host_.SelectMailbox(1);
    return;
  }

  std::vector<std::string> entries;
  int index = 0;  // counts down from the last entry
  auto use_list = [&](int which) {
    entries = host_.RequestList(which);
    // The index is a 16-bit count: a list holds at most 32,767 entries.
    if (entries.size() > 32767) entries.resize(32767);
    index = static_cast<int>(entries.size()) - 1;
    if (index < 0) {
      error_text = Message("Лист запросов пустой.", "textEmptyRequestList");
      error_ = true;
    }
  };
  if (list2) use_list(2);
  if (list1) use_list(1);
  const int list2_count = list2 ? static_cast<int>(host_.RequestList(2).size()) : 0;

  bool ran_out = true;
  while (index >= 0) {
    if (abort_) {
      ran_out = false;
      break;
    }
    body_.Clear();
    std::string subject, request, comment;
    for (;;) {
      std::string text = (list1 || list2) ? entries.at(static_cast<std::size_t>(index)) : host_.RequestLine();
      if (number == kSearchButton1 || number == kSearchButton2) text = host_.SearchRequest();
      TemplateValues values{profile.template_password, profile.file_size, counter_.value};
      ComposedRequest composed = ComposeRequest(buttons, number, text, values, body_);
      subject = std::move(composed.subject);
      request = std::move(composed.request);
      comment = std::move(composed.comment);
      if (!(multi_request && subject.empty()) || --index < 0) break;
    }
    if (index < 0) index = 0;  // the multi-request letter took every entry
    std::string body_text = body_.Text();
    if (number == 32) body_text = "get file stats.txt" + std::string(body_text.empty() ? "" : "\r\n") + body_text;
    if (number == 34) subject = "get version";
    if (number == 35) subject = "get quillpost";
    if (number == 36) subject = "get update";
    if (help_request) subject = "help";

    AppendHistoryLine(HistoryRecord{comment, request, CurrentHistoryTime(), service, name, profile.email, {}});
    host_.SetProgress(0);
    if (abort_) {
      ran_out = false;
      break;
    }
    if (dialup && !host_.Dial()) {
      error_ = true;
      error_text = Message("Отправка запроса была отменена.", "RequestCanceled");
      ran_out = false;
      break;
    }
    if (abort_) {
      ran_out = false;
      break;
    }
    if (send_by == kSendBySmtp) {
      if (abort_ || (!SmtpConnect() && (abort_ || !SmtpConnect()))) {
        if (!abort_) error_ = true;
        ran_out = false;
        break;
      }
    }
    letter_ = MailMessage{};
    letter_.from = profile.email;
    letter_.subject = subject.empty() ? " " : subject;
    letter_.content_type = settings_.ReadString("Settings", "ContentType", "text/plain");
    letter_.charset = settings_.ReadString("Settings", "CharSet", "koi8-r");
    letter_.transfer_encoding = settings_.ReadString("Settings", "CTEncoding", "7bit");
    letter_.recipients = service;
    letter_.body = body_text;
    letter_.x_mailer = x_mailer;
    if (list2 && !multi_request) {
      host_.Status(Message("Посылаю запрос ", "textSendingRequest") + " " + std::to_string(list2_count - index) + " " +
                   Message(" из ", "textFrom") + " " + std::to_string(list2_count));
    } else {
      host_.Status(Message("Посылаю запрос...", "SendingRequest"));
    }
    if (abort_) {
      ran_out = false;
      break;
    }
    if (send_by == kSendBySmtp) SmtpSend();
    body_.Clear();
    letter_ = MailMessage{};
    if (host_.Switch("miPopUps")) {
      if (abort_) {
        host_.Popup(request, Message("Отправка запроса была отменена.", "RequestCanceled"));
      } else if (error_) {
        host_.Popup(request, Message("При отправке запроса произошла ошибка.", "textSendError"));
      } else {
        host_.Popup(request, Message("Запрос ", "textRequest") + " " + std::string(CutChars(request, 30)) +
                                 Message("... успешно отправлен", "text3DotSendSuccess"));
      }
    }
    host_.SetProgress(kProgressFull);
    host_.Status(Message("Операция успешно завершена!", "SendOK"));
    host_.LetterCounted();
    if (list2 && host_.Switch("miRLDelay") && index > 0) WaitBetweenLetters(delay);
    ++counter_.value;
    --index;
  }

  if (ran_out) {
    if (send_by == kSendBySmtp && !keep_connection && smtp_.Connected()) {
      try {
        smtp_.Disconnect();
      } catch (const std::exception&) {
      }
    }
    if (dialup && send_by == kSendBySmtp) host_.HangUp();
  }
  if (abort_) {
    host_.Status(Message("Отправка запроса была отменена.", "RequestCanceled"));
  } else if (!error_) {
    host_.Status(Message("Операция успешно завершена!", "SendOK"));
  } else {
    if (dialup && send_by == kSendBySmtp) host_.HangUp();
    host_.SetProgress(0);
    host_.Status(std::string(CutChars(error_text, 255)));
  }
  if (host_.Switch("miHideWhenDone1")) host_.Minimize();
  restore_on_throw.armed = false;
  restore_profile();
}

bool Dispatcher::SmtpConnect() {
  if (abort_) return false;
  const ActiveProfile& profile = host_.Profile();
  struct Busy {
    bool& flag;
    explicit Busy(bool& f) : flag(f) { flag = true; }
    ~Busy() { flag = false; }
  } busy(busy_);
  try {
    if (smtp_.Connected()) {
      smtp_.CheckForGracefulDisconnect();
    } else {
      smtp_.Connect(profile.smtp_host, SmtpPort(profile.smtp_port), DomainOf(profile.email));
    }
    return true;
  } catch (const SocketError& e) {
    if (e.Code() == kConnectionResetCode) smtp_.DropConnection();
  } catch (const GracefulCloseError&) {
  } catch (const SmtpReplyError& e) {
    if (!abort_) LogError(std::string("SmtpReplyError --- ") + e.what());
  } catch (const std::exception& e) {
    LogError(std::string(typeid(e).name()) + " --- " + e.what());
  }
  return false;
}

void Dispatcher::SmtpSend() {
  if (abort_) return;
  const ActiveProfile& profile = host_.Profile();
  const std::string id = "<" + std::to_string(host_.Milliseconds()) + "." + std::to_string(++message_ids_) + "@" +
                         DomainOf(profile.email) + ">";
  busy_ = true;
  try {
    // Authentication is on when the entry has a password, once per connection.
    if (!profile.smtp_password.empty()) smtp_.Authenticate(profile.smtp_user, profile.smtp_password);
    smtp_.Send(letter_, host_.MailDate(), id);
  } catch (const SocketError&) {
    error_ = true;
  } catch (const GracefulCloseError&) {
    error_ = true;
  } catch (const std::exception& e) {
    host_.Status(e.what());
    error_ = true;
  }
  busy_ = false;
}

void Dispatcher::WaitBetweenLetters(int seconds) {
  const uint64_t start = host_.Milliseconds();
  for (;;) {
    host_.Pause50ms();
    const int64_t elapsed = static_cast<int64_t>((host_.Milliseconds() - start) / 1000);
    if (elapsed > seconds || abort_) return;
    host_.Status(Message("Waiting", "textWaiting") + ": " + std::to_string(seconds - elapsed) + " " + Message("sec", "textSec"));
  }
}

void Dispatcher::Cancel() {
  abort_ = true;
  // While the client talks to the server, its progress event ends the exchange and drops
  // the connection; closing it from here would pull it from under the client.
  if (busy_ || !smtp_.Connected()) return;
  try {
    smtp_.Disconnect();
  } catch (const std::exception& e) {
    LogError(std::string(typeid(e).name()) + " " + e.what());
  }
}

void Dispatcher::Disconnect() {
  if (!smtp_.Connected()) return;
  try {
    smtp_.Disconnect();
  } catch (const std::exception& e) {
    LogError(std::string(typeid(e).name()) + " " + e.what());
  }
}

void Dispatcher::Status(std::string_view text) { host_.Status(std::string(text)); }

void Dispatcher::WorkBegin() {
  host_.Status(Message("Посылаю...", "SendStart"));
  host_.StepProgress();
}

void Dispatcher::Work(bool reading) {
  host_.Status(reading ? Message("Reading data from the peer", "textReadingData")
                       : Message("Sending data to the peer", "textSendingData"));
  host_.StepProgress();
  if (abort_) throw SmtpReplyError(0, Message("Отправка запроса была отменена.", "RequestCanceled"));
}

void Dispatcher::WorkEnd() { host_.StepProgress(); }

void Dispatcher::Disconnected() { host_.Status(Message("Отключены", "textDisconnected")); }

}  // namespace qp
