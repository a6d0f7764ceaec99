// The MAPI mail component and its send method over a recording Simple MAPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "delivery/mapi_mail.h"

namespace qp {
namespace {

// Answers as a mail program would, as the test sets it up, and records every call.
class FakeMapi final : public SimpleMapi {
 public:
  unsigned Logon(const std::string& profile, const std::string& password, unsigned flags, std::uintptr_t& session) override {
    calls.push_back("Logon " + profile + "/" + password + " " + std::to_string(flags));
    const unsigned code = logon_failures > 0 ? (--logon_failures, kMapiLogonFailure) : kMapiSuccess;
    session = code == kMapiSuccess ? 42 : 0;
    return code;
  }
  unsigned Logoff(std::uintptr_t session) override {
    calls.push_back("Logoff " + std::to_string(session));
    return kMapiSuccess;
  }
  Resolved ResolveName(std::uintptr_t, const std::string& name, unsigned flags) override {
    calls.push_back("Resolve " + name + " " + std::to_string(flags));
    auto answer = names.find(name + (flags & kMapiDialog ? " dialog" : ""));
    if (answer == names.end()) answer = names.find(name);
    return answer == names.end() ? Resolved{kMapiSuccess, name, "SMTP:" + name, "id"} : answer->second;
  }
  unsigned SendMail(std::uintptr_t, const MapiLetter& letter, unsigned flags) override {
    calls.push_back("Send " + std::to_string(flags));
    sent.push_back(letter);
    return send_result;
  }
  unsigned SaveMail(std::uintptr_t, const MapiLetter& letter, std::string&) override {
    sent.push_back(letter);
    return kMapiSuccess;
  }

  int logon_failures = 0;
  unsigned send_result = kMapiSuccess;
  std::map<std::string, Resolved> names;
  std::vector<std::string> calls;
  std::vector<MapiLetter> sent;
};

TEST(MapiMail, AttachmentNamesAreShortenedAsTheComponentDoes) {
  EXPECT_EQ(AttachmentDisplayName("C:\\a\\abcdefghijkl.txt", true), "efghijkl.txt");
  EXPECT_EQ(AttachmentDisplayName("C:\\a\\report.final.version.doc", true), "version.doc");
  EXPECT_EQ(AttachmentDisplayName("notes.txt", true), "notes.txt");
  EXPECT_EQ(AttachmentDisplayName("C:\\a\\abcdefghijkl.txt", false), "abcdefghijkl.txt");
}

TEST(MapiMail, AFailedLogonIsTriedAgainWithTheMailProgramsDialog) {
  FakeMapi mapi;
  mapi.logon_failures = 1;
  TEmail mail(&mapi);
  mail.Profile = "Outlook";
  mail.NewSession = true;
  std::vector<unsigned> errors;
  mail.OnMapiError = [&](unsigned code) { errors.push_back(code); };
  EXPECT_EQ(mail.Logon(), kMapiSuccess);
  EXPECT_EQ(mapi.calls, (std::vector<std::string>{"Logon Outlook/ 2", "Logon / 3"}));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(mail.Logon(), kMapiSuccess);  // an open session is kept
  EXPECT_EQ(mapi.calls.size(), 2u);

  FakeMapi refusing;
  refusing.logon_failures = 2;
  TEmail refused(&refusing);
  refused.OnMapiError = [&](unsigned code) { errors.push_back(code); };
  EXPECT_EQ(refused.SendMail(), kMapiLogonFailure);
  EXPECT_EQ(errors, (std::vector<unsigned>{kMapiLogonFailure, kMapiLogonFailure}));
  EXPECT_TRUE(refusing.sent.empty());
}

TEST(MapiMail, UnknownAndAmbiguousRecipientsGetTheDialogAndUnresolvedOnesAreLeftOut) {
  FakeMapi mapi;
  mapi.names["who"] = {kMapiAmbiguousRecipient, "", "", ""};
  mapi.names["who dialog"] = {kMapiSuccess, "Who Ever", "SMTP:who@example.org", "e1"};
  mapi.names["nobody"] = {kMapiUnknownRecipient, "", "", ""};
  mapi.names["[SMTP:gw@example.org]"] = {kMapiSuccess, "gw", "", ""};
  TEmail mail(&mapi);
  mail.Recipient = {"who", "nobody", "[SMTP:gw@example.org]"};
  ASSERT_EQ(mail.SendMail(), kMapiSuccess);
  ASSERT_EQ(mapi.sent.size(), 1u);
  EXPECT_EQ(mapi.sent[0].recipients, (std::vector<MapiRecipient>{{kMapiTo, "Who Ever", "SMTP:who@example.org", "e1"},
                                                                 {kMapiTo, "SMTP:gw@example.org", "SMTP:gw@example.org", ""}}));
  EXPECT_EQ(mail.Recipient[0], "Who Ever");   // the line takes the resolved name
  EXPECT_EQ(mapi.calls.back(), "Logoff 42");  // no session before: none after

  // Nobody resolved: the mail program's own dialog lets the user complete the letter.
  mail.Recipient = {"nobody"};
  mail.SendMail();
  EXPECT_EQ(mapi.calls[mapi.calls.size() - 2], "Send " + std::to_string(kMapiDialog));
}

class Progress final : public SendProgress {
 public:
  void Status(const std::string& text) override { statuses.push_back(text); }
  void StepProgress() override { ++steps; }
  bool Cancelled() const override { return false; }
  void Inform(const std::string&) override {}
  std::vector<std::string> statuses;
  int steps = 0;
};

TEST(MapiSend, TheWholeBodyGoesAndARefusedSendFailsTheLetter) {
  FakeMapi mapi;
  TEmail mail(&mapi);
  Progress progress;
  MapiSendMethod method(mail, progress);
  ActiveProfile profile;
  EXPECT_EQ(method.Refusal(profile), "");
  MailMessage letter;
  letter.recipients = "www4mail@example.org";
  letter.subject = std::string(300, 's');
  letter.body = "send http://a.example/\r\n" + std::string(300, 'b') + "\r\nsend http://z.example/\r\n";
  ASSERT_TRUE(method.Prepare(profile));
  EXPECT_TRUE(method.Send(profile, letter, "", ""));
  ASSERT_EQ(mapi.sent.size(), 1u);
  EXPECT_EQ(mapi.sent[0].text, letter.body);  // not cut at 255: the last request is there
  EXPECT_EQ(mapi.sent[0].subject, std::string(255, 's'));
  EXPECT_EQ(mapi.sent[0].recipients.size(), 1u);

  mapi.send_result = 2;  // MAPI_E_FAILURE: the user closed the mail program's window, say
  EXPECT_FALSE(method.Send(profile, letter, "", ""));
  EXPECT_TRUE(progress.statuses.back().starts_with("Почтовая программа не отправила письмо (MAPI)"));
  method.Finish(false);
  EXPECT_EQ(mapi.calls.back(), "Logoff 42");
  EXPECT_EQ(std::count(mapi.calls.begin(), mapi.calls.end(), "Logon / 0"), 1);  // one session for the run
}

TEST(MapiSend, WithoutSimpleMapiTheRefusalSaysWhy) {
  TEmail mail(nullptr);
  Progress progress;
  MapiSendMethod method(mail, progress, [] { return std::string("GetProcAddress for MAPI.DLL function(s) failed: MAPIAddress"); });
  EXPECT_FALSE(mail.MapiAvail());
  EXPECT_THROW(mail.Logon(), MapiUnavailableError);
  EXPECT_THROW(mail.SendMail(), MapiUnavailableError);
  EXPECT_EQ(method.Refusal(ActiveProfile{}),
            "MAPI services are not available on this system\r\nGetProcAddress for MAPI.DLL function(s) failed: MAPIAddress");
}

TEST(MapiSend, ALogonFailureIsShownAndTheLetterIsStillTried) {
  FakeMapi mapi;
  mapi.logon_failures = 2;  // both the plain and the dialog logon fail; sending logs on again
  TEmail mail(&mapi);
  Progress progress;
  MapiSendMethod method(mail, progress);
  EXPECT_TRUE(method.Prepare(ActiveProfile{}));
  EXPECT_EQ(progress.statuses.back(), "Ошибка входа MAPI.");
  MailMessage letter;
  letter.recipients = "www4mail@example.org";
  EXPECT_TRUE(method.Send(ActiveProfile{}, letter, "", ""));
  EXPECT_EQ(mapi.sent.size(), 1u);
}

}  // namespace
}  // namespace qp
