// The request dispatch.
#include "request/dispatch.h"

#include <algorithm>
#include <optional>
#include <random>

#include "base/file_io.h"
#include "base/lines.h"
#include "base/scope_guard.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "delivery/smtp_send_method.h"
#include "lang/language.h"
#include "organize/history.h"
#include "request/buttons.h"

namespace qp {
namespace {

constexpr int kProgressFull = 50;
constexpr int kSendBySmtp = 0;
constexpr int kSendByMapi = 1;
constexpr int kSendByMailto = 2;
constexpr int kSendByRelay = 3;
constexpr int kSendByTheBat = 4;
constexpr std::size_t kDefinitionChars = 255;
// The index over a list is a 16-bit count: a list holds at most this many entries.
constexpr std::size_t kMaxListEntries = 32767;

std::string Cut(const std::string& text) { return std::string(CutChars(text, kDefinitionChars)); }

std::string SentText(const std::string& request) {
  return LookupMessage("Запрос ", "textRequest") + " " + std::string(CutChars(request, 30)) +
         LookupMessage("... успешно отправлен", "text3DotSendSuccess");
}

// The Bat! has long read the body files an earlier start handed it.
void RemoveEarlierBodyFiles() {
  for (const FolderEntry& entry : ListFolder(WorkingFolder())) {
    if (!entry.folder && IsTheBatBodyFileName(entry.name)) RemoveFile(ProgramFile(entry.name));
  }
}

std::string TrimSpaces(const std::string& s) {
  std::size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

}  // namespace

// Everything one run reads once and carries from letter to letter.
struct Dispatcher::Run {
  int number = 0;
  bool help_request = false;
  DispatchOptions options;
  SettingsFile buttons;
  std::string name, service;
  bool multi_request = false;
  bool overridden = false;  // the button's own mailbox replaced the chosen one
  int remembered = 1;       // the chosen one, put back at the end
  int delay = 10, send_by = kSendBySmtp;
  bool dialup = false, keep_connection = false;
  std::string x_mailer;
  std::string error_text;
  std::vector<std::string> entries;
  int index = 0;  // counts down from the last entry
  int list2_count = 0;
  SendMethod* method = nullptr;
  // Taken when the run starts: a mailbox chosen meanwhile is for the next run, never a
  // password for this run's server.
  ActiveProfile profile;
  bool told_history_failure = false;
  std::optional<Letter> pending;  // sent, its acceptance read behind the next letter
  std::string unknown_outcome;    // what is told of a letter whose acceptance could not be read
};

Dispatcher::Dispatcher(DispatchHost& host, const IniFile& settings, std::string buttons_file, RequestCounter& counter)
    : host_(host),
      settings_(settings),
      buttons_file_(std::move(buttons_file)),
      counter_(counter),
      smtp_(std::make_unique<SmtpSendMethod>(host.Network(), *this)),
      relay_(std::make_unique<RelaySendMethod>(
          RelaySendMethod::Network{host.Network(), [&host] { return host.DnsNetwork(); }, [&host] { return host.RandomId(); }}, *this,
          [this] { return ReadRelaySettings(); })),
      mailto_(std::make_unique<HandOverSendMethod>(HandOverSendMethod::Kind::Mailto, HandOverSystem(), *this)),
      the_bat_(std::make_unique<HandOverSendMethod>(HandOverSendMethod::Kind::TheBat, HandOverSystem(), *this)) {
  RemoveEarlierBodyFiles();
}

Dispatcher::~Dispatcher() = default;

bool Dispatcher::SmtpConnected() const { return smtp_->Connected(); }

bool Dispatcher::TrustCertificate(const CertificateError& problem, int server_entry) {
  // The fingerprint in two lines of sixteen bytes, so that the box stays narrow enough to
  // compare it with the one the provider publishes.
  std::string fingerprint = problem.Fingerprint();
  if (fingerprint.size() > 48) fingerprint.replace(47, 1, "\n");
  const std::string question =
      problem.Host() + ": " + problem.Reason() + ".\n\n" +
      LookupMessage("Доверять этому сертификату для этого сервера и впредь? Его отпечаток SHA-256:", "textTrustCertificate") + "\n" +
      fingerprint;
  if (!run_) return false;  // only a run's letters meet certificates
  // The pin names the server the certificate was met at, as this run knows it.
  const CertificatePin pin{run_->profile.smtp_host, run_->profile.smtp_port, problem.Fingerprint()};
  if (!host_.TrustCertificate(question, server_entry, pin)) return false;
  // A reconnection later in this run meets the same certificate without asking again.
  if (run_->profile.smtp_entry == server_entry) run_->profile.smtp_certificate = pin.fingerprint;
  return true;
}

std::uint16_t DispatchHost::RandomId() {
  static std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint16_t>(generator());
}

// "DNS_To" in milliseconds, kept within what a lookup can sensibly wait.
RelaySettings Dispatcher::ReadRelaySettings() const {
  RelaySettings relay;
  relay.dns_server = settings_.ReadString("Settings", "DNS_IP", "");
  relay.dns_timeout = std::chrono::milliseconds(std::clamp(settings_.ReadInteger("Settings", "DNS_To", 10000), 500, 120000));
  return relay;
}

// The shell and the body files for the mail programs; "send" and "path" of section "TheBat".
HandOverSendMethod::System Dispatcher::HandOverSystem() {
  return {
      .open = [this](const std::string& target, const std::string& parameters) { return host_.ShellOpen(target, parameters); },
      .write_body =
          [this](const std::vector<std::string>& lines) {
            // A name no file has: one of an earlier start may still be held open.
            std::string path = ProgramFile(TheBatBodyFileName(++body_files_));
            while (FileExists(path)) path = ProgramFile(TheBatBodyFileName(++body_files_));
            if (WriteFileAtomically(path, SystemCodec().Encode(JoinLines(lines, true)))) return path;
            host_.ErrorBox(CannotWriteMessage(path));
            return std::string();
          },
      .send_mode = [this] { return settings_.ReadInteger("TheBat", "send", 0); },
      .path = [this] { return settings_.ReadString("TheBat", "path", ""); },
  };
}

SendMethod& Dispatcher::MethodFor(int send_by) {
  if (send_by == kSendBySmtp) return *smtp_;
  if (send_by == kSendByRelay) return *relay_;
  if (send_by == kSendByMailto) return *mailto_;
  if (send_by == kSendByTheBat) return *the_bat_;
  if (send_by == kSendByMapi) {
    if (!mapi_) {
      mapimail_ = std::make_unique<TEmail>(host_.Mapi());
      mapi_ = std::make_unique<MapiSendMethod>(*mapimail_, *this, [this] { return host_.MapiUnavailableReason(); });
    }
    return *mapi_;
  }
  return *smtp_;  // a "sendby" the program does not know: its own SMTP, as a fresh setup has
}

void Dispatcher::DispatchRequest(int number, bool help_request) {
  if (running_ || disconnecting_) return;
  running_ = true;
  // Whatever ends the run, the buttons come back.
  ScopeExit done([this] {
    running_ = false;
    host_.SetRequestButtonsEnabled(true);
  });
  RunDispatch(number, help_request);
}

void Dispatcher::RunDispatch(int number, bool help_request) {
  abort_ = false;
  error_ = false;
  Run run = BeginRun(number, help_request);
  run_ = &run;
  ScopeExit forget([this] { run_ = nullptr; });
  try {
    ChooseMailbox(run);
    ReadRunSettings(run);
    if (Refused(run)) return;
    CollectEntries(run);
    bool ran_out = true;
    while (run.index >= 0) {
      if (abort_) {
        ran_out = false;
        break;
      }
      const Letter letter = ComposeLetter(run);
      if (!SendLetter(run, letter)) {
        ran_out = false;
        break;
      }
      ReportLetter(run, letter);
    }
    if (run.pending) ReportPending(run, run.method->Settle());
    EndRun(run, ran_out);
  } catch (...) {
    // Whatever stopped the run, the chosen mailbox comes back before the window hears of it.
    try {
      if (run.overridden) host_.SelectMailbox(run.remembered);
    } catch (...) {
    }
    throw;
  }
}

Dispatcher::Run Dispatcher::BeginRun(int number, bool help_request) {
  Run run;
  run.number = number;
  run.help_request = help_request;
  run.options = host_.Options();
  run.error_text = LookupMessage("При отправке запроса произошла ошибка.", "textSendError");
  host_.SetProgress(0);
  host_.AddToInputHistory(host_.RequestLine());
  host_.SetRequestButtonsEnabled(false);
  body_.Clear();
  // Every press reads the button's definition afresh.
  run.buttons = SettingsFile(buttons_file_, SystemCodec());
  const std::string section = ButtonSection(number);
  run.name = Cut(run.buttons.ReadString(section, "Name", ""));
  run.service = Cut(run.buttons.ReadString(section, "Service", ""));
  run.multi_request = run.buttons.ReadBool(section, "MultiRequest", false);
  return run;
}

void Dispatcher::ChooseMailbox(Run& run) {
  // A button with a mailbox of its own uses it for this run; the chosen one comes back after.
  if (std::optional<int> profile = MailboxOverride(run.buttons.ReadString(ButtonSection(run.number), "Mailbox", "Selected"))) {
    run.overridden = true;
    run.remembered = host_.CheckedMailbox();
    if (run.remembered == 0) run.remembered = 1;
    host_.SelectMailbox(*profile);
  } else if (int checked = host_.CheckedMailbox(); checked != 0) {
    host_.SelectMailbox(checked);
  }
}

void Dispatcher::ReadRunSettings(Run& run) {
  run.delay = settings_.ReadInteger("Settings", "RLDelay", 10);
  run.send_by = settings_.ReadInteger("Settings", "sendby", kSendBySmtp);
  run.dialup = settings_.ReadBool("Settings", "dialup", false);
  run.keep_connection = settings_.ReadBool("Settings", "DontDisconnect", false);
  run.x_mailer = settings_.ReadString("Settings", "XMailer", "Quillpost");
  run.method = &MethodFor(run.send_by);
  // The fixed requests and the help request bring their own text.
  if (run.number > 30) host_.SetRequestLine("");
  if (std::string_view fixed = FixedServiceAddress(run.number); !fixed.empty()) run.service = std::string(fixed);
  if (run.help_request) host_.SetRequestLine("help");
  run.profile = host_.Profile();
}

bool Dispatcher::Refused(Run& run) {
  const ActiveProfile& profile = run.profile;
  if (profile.email.empty()) {
    host_.ErrorBox(LookupMessage("Почтовый ящик не настроен.", "EmptyEmail"));
    host_.OpenOptions();
    host_.SelectMailbox(1);
    return true;
  }
  if (TrimSpaces(host_.RequestLine()).empty() && run.number <= 20 && !run.options.list1 && !run.options.list2) {
    host_.Status(LookupMessage("Пустой запрос!", "EmptyRequest"));
    if (run.overridden) host_.SelectMailbox(run.remembered);
    return true;
  }
  if (std::string refusal = run.method->Refusal(profile); !refusal.empty()) {
    host_.ErrorBox(refusal);
    host_.OpenOptions();
    host_.SelectMailbox(1);
    return true;
  }
  return false;
}

void Dispatcher::CollectEntries(Run& run) {
  auto use_list = [&](int which) {
    run.entries = host_.RequestList(which);
    if (run.entries.size() > kMaxListEntries) run.entries.resize(kMaxListEntries);
    run.index = static_cast<int>(run.entries.size()) - 1;
    if (run.index < 0) {
      run.error_text = LookupMessage("Лист запросов пустой.", "textEmptyRequestList");
      error_ = true;
    }
  };
  // With both switches on, list 1 is the one sent.
  if (run.options.list2) use_list(2);
  if (run.options.list1) use_list(1);
  run.list2_count = run.options.list2 ? static_cast<int>(host_.RequestList(2).size()) : 0;
}

Dispatcher::Letter Dispatcher::ComposeLetter(Run& run) {
  body_.Clear();
  const bool from_list = run.options.list1 || run.options.list2;
  const int number = run.number;
  Letter letter;
  // A multi-request button takes entry after entry into one letter while its subject
  // stays empty.
  for (;;) {
    std::string text = from_list ? run.entries.at(static_cast<std::size_t>(run.index)) : host_.RequestLine();
    if (number == kSearchButton1 || number == kSearchButton2) text = host_.SearchRequest();
    TemplateValues values{run.profile.template_password, run.profile.file_size, counter_.value};
    ComposedRequest composed = ComposeRequest(run.buttons, number, text, values, body_);
    letter.subject = std::move(composed.subject);
    letter.request = std::move(composed.request);
    letter.comment = std::move(composed.comment);
    if (!(run.multi_request && letter.subject.empty()) || --run.index < 0) break;
  }
  if (run.index < 0) run.index = 0;  // the multi-request letter took every entry
  letter.body = body_.Text();
  if (number == 32) letter.body = "get file stats.txt" + std::string(letter.body.empty() ? "" : "\r\n") + letter.body;
  if (number == 34) letter.subject = "get version";
  if (number == 35) letter.subject = "get quillpost";
  if (number == 36) letter.subject = "get update";
  if (run.help_request) letter.subject = "help";
  return letter;
}

bool Dispatcher::SendLetter(Run& run, const Letter& letter) {
  const ActiveProfile& profile = run.profile;
  if (!AppendHistoryLine(HistoryRecord{letter.comment, letter.request, CurrentHistoryTime(), run.service, run.name, profile.email, {}}) &&
      !run.told_history_failure) {
    // Once a run: the letters still go, and the user knows their lines are missing.
    run.told_history_failure = true;
    host_.ErrorBox(CannotWriteMessage(ProgramFile(kHistoryFile)));
  }
  host_.SetProgress(0);
  if (abort_) return false;
  if (run.dialup && !host_.Dial()) {
    error_ = true;
    run.error_text = LookupMessage("Отправка запроса была отменена.", "RequestCanceled");
    return false;
  }
  if (abort_) return false;
  if (!run.method->Prepare(profile)) {
    if (!abort_) error_ = true;
    return false;
  }
  MailMessage message;
  message.from = profile.email;
  message.subject = letter.subject.empty() ? " " : letter.subject;
  message.content_type = settings_.ReadString("Settings", "ContentType", "text/plain");
  message.charset = settings_.ReadString("Settings", "CharSet", "koi8-r");
  message.transfer_encoding = settings_.ReadString("Settings", "CTEncoding", "7bit");
  message.recipients = run.service;
  message.body = letter.body;
  message.x_mailer = run.x_mailer;
  if (run.options.list2 && !run.multi_request) {
    host_.Status(LookupMessage("Посылаю запрос ", "textSendingRequest") + " " + std::to_string(run.list2_count - run.index) + " " +
                 LookupMessage(" из ", "textFrom") + " " + std::to_string(run.list2_count));
  } else {
    host_.Status(LookupMessage("Посылаю запрос...", "SendingRequest"));
  }
  if (abort_) return false;
  const std::string id =
      "<" + std::to_string(host_.Milliseconds()) + "." + std::to_string(++message_ids_) + "@" + DomainOf(profile.email) + ">";
  // With no pause between letters, the next one's commands may carry this one's end.
  run.method->AnotherFollows(run.index > 0 && !(run.options.list2 && run.options.delay));
  const bool sent = run.method->Send(profile, message, host_.MailDate(), id);
  // The letter before is told first: what failed after it is not its failure.
  if (std::optional<LetterOutcome> earlier = run.method->TakeEarlierOutcome(); earlier && run.pending) ReportPending(run, *earlier);
  if (!sent) error_ = true;
  return true;
}

void Dispatcher::ReportPending(Run& run, LetterOutcome outcome) {
  const Letter letter = std::move(*run.pending);
  run.pending.reset();
  if (outcome == LetterOutcome::kRefused) error_ = true;
  ReportOutcome(run, letter, outcome);
}

void Dispatcher::ReportLetter(Run& run, const Letter& letter) {
  body_.Clear();
  // A letter whose acceptance is still on its way is told when it comes.
  if (run.method->Pending() && !run.pending) {
    run.pending = letter;
  } else {
    ReportOutcome(run, letter);
  }
  if (run.options.list2 && run.options.delay && run.index > 0) WaitBetweenLetters(run.delay);
  counter_.Advance();
  --run.index;
}

void Dispatcher::ReportOutcome(Run& run, const Letter& letter, std::optional<LetterOutcome> answered) {
  if (answered == LetterOutcome::kUnknown) {
    // Neither a success nor a failure: sent again, the letter may arrive twice.
    run.unknown_outcome = LookupMessage("Неизвестно, принял ли сервер запрос: связь прервалась до его ответа.", "textSendUnknown") + " " +
                          std::string(CutChars(letter.request, 30));
    if (run.options.popups) host_.Popup(letter.request, run.unknown_outcome);
    host_.Status(run.unknown_outcome);
    host_.LetterCounted();
    return;
  }
  if (run.options.popups) {
    if (answered) {
      host_.Popup(letter.request, *answered == LetterOutcome::kAccepted
                                      ? SentText(letter.request)
                                      : LookupMessage("При отправке запроса произошла ошибка.", "textSendError"));
    } else if (abort_) {
      host_.Popup(letter.request, LookupMessage("Отправка запроса была отменена.", "RequestCanceled"));
    } else if (error_) {
      host_.Popup(letter.request, LookupMessage("При отправке запроса произошла ошибка.", "textSendError"));
    } else {
      host_.Popup(letter.request, SentText(letter.request));
    }
  }
  host_.SetProgress(kProgressFull);
  host_.Status(LookupMessage("Операция успешно завершена!", "SendOK"));
  host_.LetterCounted();
}

void Dispatcher::EndRun(Run& run, bool ran_out) {
  const bool hang_up = run.dialup && run.method->UsesConnection();
  if (ran_out) {
    run.method->Finish(run.keep_connection);
    if (hang_up) host_.HangUp();
  }
  if (abort_) {
    host_.Status(LookupMessage("Отправка запроса была отменена.", "RequestCanceled"));
  } else if (!error_) {
    host_.Status(LookupMessage("Операция успешно завершена!", "SendOK"));
  } else {
    if (hang_up) host_.HangUp();
    host_.SetProgress(0);
    host_.Status(std::string(CutChars(run.error_text, 255)));
  }
  // A letter nobody can say arrived is what the user must hear last, unless an error is to be read.
  if (!run.unknown_outcome.empty() && (abort_ || !error_)) host_.Status(run.unknown_outcome);
  if (run.options.hide_when_done) host_.Minimize();
  if (run.overridden) host_.SelectMailbox(run.remembered);
}

void Dispatcher::WaitBetweenLetters(int seconds) {
  const uint64_t start = host_.Milliseconds();
  for (;;) {
    host_.Pause50ms();
    const int64_t elapsed = static_cast<int64_t>((host_.Milliseconds() - start) / 1000);
    if (elapsed > seconds || abort_) return;
    host_.Status(LookupMessage("Waiting", "textWaiting") + ": " + std::to_string(seconds - elapsed) + " " +
                 LookupMessage("sec", "textSec"));
  }
}

bool Dispatcher::CancelRequested() const { return running_ && abort_ && !smtp_->HoldsCancel(); }

void Dispatcher::Cancel() {
  abort_ = true;
  smtp_->Cancel();
}

void Dispatcher::Disconnect() {
  // A run's exchange owns the connection until it has unwound; a second exit from a wait
  // of this one finds the work in hand.
  if (running_ || disconnecting_) return;
  FlagScope disconnecting(disconnecting_);
  smtp_->Disconnect();
  if (mapi_) mapi_->Disconnect();
}

}  // namespace qp
