// What the mail programs receive: the mailto address and The Bat!'s command line.
#include <gtest/gtest.h>

#include <algorithm>

#include "delivery/hand_over.h"

namespace qp {
namespace {

// What a mail program does with the address: every "%xx" back to its byte.
std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The value of one field of a mailto address ("subject", "body"), decoded.
std::string Field(const std::string& address, const std::string& name) {
  const std::size_t start = address.find(name + "=");  // "=" in a value is encoded
  const std::size_t end = std::min(address.find('&', start), address.size());
  return PercentDecode(address.substr(start + name.size() + 1, end - start - name.size() - 1));
}

TEST(Mailto, TheExamplesHold) {
  EXPECT_EQ(MailtoAddress("R@example.org", "x&y=z", {"L1", "L2"}), "mailto:R@example.org?subject=x%26y%3Dz&body=L1%0D%0AL2%0D%0A");
  EXPECT_EQ(MailtoAddress("R@example.org", "x?y", {}), "mailto:R@example.org?subject=x%3Fy&body=");
  EXPECT_EQ(MailtoAddress("R@example.org", "", {}), "mailto:R@example.org?subject=%20&body=");  // one space
}

// A request holding "%20" or "#top" reached the gateway changed or cut when they went in
// as they are: the mail program must decode exactly what was composed.
TEST(Mailto, TheMailProgramDecodesExactlyTheComposedSubjectAndBody) {
  const std::string subject = "http://example.com/a%20b?q=1&r=2#top страница";
  const std::vector<std::string> body = {"send http://example.com/a%20b#top", "комментарий = 100% & more"};
  const std::string address = MailtoAddress("www4mail@example.org, getweb@example.net", subject, body);
  EXPECT_TRUE(address.starts_with("mailto:www4mail@example.org,getweb@example.net?subject="));
  EXPECT_EQ(address.find('#'), std::string::npos);
  EXPECT_EQ(address.find(' '), std::string::npos);
  EXPECT_EQ(std::count(address.begin(), address.end(), '?'), 1);
  EXPECT_EQ(std::count(address.begin(), address.end(), '&'), 1);
  EXPECT_TRUE(std::all_of(address.begin(), address.end(), [](char c) { return c > ' ' && static_cast<unsigned char>(c) < 0x80; }));
  EXPECT_EQ(Field(address, "subject"), subject);
  EXPECT_EQ(Field(address, "body"), body[0] + "\r\n" + body[1] + "\r\n");
  EXPECT_EQ(PercentEncode("a b%#"), "a%20b%25%23");
}

TEST(TheBat, ParametersFollowTheAccountAndTheSendMode) {
  EXPECT_EQ(TheBatCall("s@example.org", "http://x/", "Home", "C:\\Q\\body.txt", 1, "D:\\Bat\\thebat.exe"),
            (ProgramCall{"D:\\Bat\\thebat.exe", "\"/MAILU=Home;TO=s@example.org;SUBJECT=http://x/;TEXT=C:\\Q\\body.txt;QUEUE\""}));
  EXPECT_EQ(TheBatCall("s@example.org", "", "", "C:\\Q\\body.txt", 7, ""),
            (ProgramCall{std::string(kTheBatDefaultPath), "\"/MAILTO=s@example.org;SUBJECT= ;TEXT=C:\\Q\\body.txt\""}));
  // An account with no path: the usual place too, not an empty program.
  EXPECT_EQ(TheBatCall("s@example.org", "x", "Home", "b.txt", 0, "").program, kTheBatDefaultPath);
  EXPECT_TRUE(TheBatCall("s@example.org", "x", "Home", "b.txt", 2, "").parameters.ends_with(";EDIT\""));
}

// The options The Bat! reads from its one parameter: the text between the quotes, split at
// each ";", each option by its name before "=".
std::vector<std::string> OptionNames(const std::string& parameters) {
  std::vector<std::string> names;
  const std::string inner = parameters.substr(1, parameters.size() - 2);
  for (std::size_t start = 0; start <= inner.size();) {
    const std::size_t end = std::min(inner.find(';', start), inner.size());
    const std::string option = inner.substr(start, end - start);
    names.push_back(option.substr(0, option.find('=')));
    start = end + 1;
  }
  return names;
}

// A captured address with a double quote or a ";" could end the parameter or add options of
// its own (recipients, attachments) to a letter The Bat! sends unseen.
TEST(TheBat, NoValueCanAddOptionsOrBreakOutOfTheOneParameter) {
  const std::string captured[] = {"ftp://x/a;TO=evil@example.org;ATTACH=C:\\secret.doc", "x\" /EVIL \"y", "a;\"b;SEND"};
  for (const std::string& subject : captured) {
    const ProgramCall call = TheBatCall("s@example.org", subject, "Ho;me\"", "C:\\Q;R\\body1.txt", 0, "");
    EXPECT_EQ(std::count(call.parameters.begin(), call.parameters.end(), '"'), 2) << call.parameters;
    EXPECT_EQ(OptionNames(call.parameters), (std::vector<std::string>{"/MAILU", "TO", "SUBJECT", "TEXT", "SEND"})) << call.parameters;
    const std::size_t at = call.parameters.find(";SUBJECT=") + 9;
    EXPECT_EQ(PercentDecode(call.parameters.substr(at, call.parameters.find(";TEXT=") - at)), subject);
  }
  EXPECT_EQ(TheBatCall("a@x;b@y", "s", "", "b.txt", 7, "").parameters, "\"/MAILTO=a@x%3Bb@y;SUBJECT=s;TEXT=b.txt\"");
}

class Recorder final : public SendProgress {
 public:
  void Status(const std::string& text) override { statuses.push_back(text); }
  void StepProgress() override {}
  bool Cancelled() const override { return false; }
  void Inform(const std::string&) override {}
  std::vector<std::string> statuses;
};

TEST(HandOver, TheMailProgramGetsTheLetterAndAFailedOpenFailsTheLetter) {
  Recorder progress;
  std::vector<ProgramCall> opened;
  std::vector<std::string> written;
  bool opens = true;
  HandOverSendMethod::System system{
      .open =
          [&](const std::string& target, const std::string& parameters) {
            opened.push_back({target, parameters});
            return opens;
          },
      .write_body =
          [&](const std::vector<std::string>& lines) {
            written = lines;
            return std::string("C:\\Q\\body.txt");
          },
      .send_mode = [] { return 0; },
      .path = [] { return std::string(); },
  };
  MailMessage letter;
  letter.recipients = "s@example.org";
  letter.subject = "http://x/";
  letter.body = "send http://x/\r\nquit\r\n";
  ActiveProfile profile;
  HandOverSendMethod the_bat(HandOverSendMethod::Kind::TheBat, system, progress);
  EXPECT_TRUE(the_bat.Send(profile, letter, "", ""));
  EXPECT_EQ(written, (std::vector<std::string>{"send http://x/", "quit"}));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].parameters, "\"/MAILTO=s@example.org;SUBJECT=http://x/;TEXT=C:\\Q\\body.txt;SEND\"");

  opens = false;  // no mail program for mailto: said, not reported as sent
  HandOverSendMethod mailto(HandOverSendMethod::Kind::Mailto, system, progress);
  EXPECT_FALSE(mailto.Send(profile, letter, "", ""));
  EXPECT_EQ(opened.back().program, "mailto:s@example.org?subject=http%3A%2F%2Fx%2F&body=send%20http%3A%2F%2Fx%2F%0D%0Aquit%0D%0A");
  ASSERT_FALSE(progress.statuses.empty());
  EXPECT_TRUE(progress.statuses.back().starts_with("Не удалось открыть почтовую программу"));
}

}  // namespace
}  // namespace qp
