// Mailbox profiles: loading the active one, button overrides and the menu refresh.
#include <gtest/gtest.h>

#include "base/process.h"
#include "delivery/mailbox_profiles.h"
#include "lang/language.h"

namespace qp {
namespace {

TEST(LoadProfile, EmptySettingsGiveTheDefaults) {
  ActiveProfile p;
  LoadProfile(IniFile(), 1, p);
  EXPECT_EQ(p.email, "");
  EXPECT_EQ(p.file_size, "500");
  EXPECT_EQ(p.smtp_port, "25");
  EXPECT_EQ(p.smtp_host, "");
}

TEST(LoadProfile, EachProfileHasItsOwnValuesAndProfilesMayShareAServerEntry) {
  IniFile settings(
      "[Emails]\r\nEM3=me@example.org\r\nDSP3=pw3\r\nDSP1=\r\nSize3=\r\n[SMTP]\r\nSM2=4\r\nSM3=4\r\nSMTP4=smtp.example.org\r\n"
      "Port4=2525\r\nUser4=u\r\nPass4=p\r\n[TheBat]\r\nBatAcName3=acc\r\n");
  ActiveProfile p;
  LoadProfile(settings, 3, p);
  EXPECT_EQ(p.email, "me@example.org");
  EXPECT_EQ(p.template_password, "pw3");
  EXPECT_EQ(p.file_size, "");  // present but empty: not the default
  EXPECT_EQ(p.bat_account_name, "acc");
  EXPECT_EQ(p.smtp_host, "smtp.example.org");
  EXPECT_EQ(p.smtp_port, "2525");
  EXPECT_EQ(p.smtp_user, "u");
  EXPECT_EQ(p.smtp_password, "p");
  ActiveProfile two;
  LoadProfile(settings, 2, two);
  EXPECT_EQ(two.smtp_host, "smtp.example.org");
}

TEST(LoadProfile, LongValuesAreCutTo255Characters) {
  IniFile settings;
  settings.WriteString("Emails", "EM1", std::string(300, 'a') + "@x");
  std::string long_cyrillic;
  for (int i = 0; i < 300; ++i) long_cyrillic += "Ж";
  settings.WriteString("Emails", "DSP1", long_cyrillic);
  ActiveProfile p;
  LoadProfile(settings, 1, p);
  EXPECT_EQ(p.email, std::string(255, 'a'));
  EXPECT_EQ(CountChars(p.template_password), 255u);
}

TEST(LoadProfile, AServerEntryOutsideTheRangeKeepsTheSmtpFieldsAndANonNumberFailsAfterTheOwnValues) {
  IniFile settings("[Emails]\r\nEM1=a@x\r\nEM2=b@x\r\n[SMTP]\r\nSM1=11\r\nSM2=four\r\n");
  ActiveProfile p;
  p.smtp_host = "kept";
  LoadProfile(settings, 1, p);
  EXPECT_EQ(p.smtp_host, "kept");
  EXPECT_THROW(LoadProfile(settings, 2, p), ProfileError);
  EXPECT_EQ(p.email, "b@x");
}

TEST(LoadProfile, TheServerEntrysEncryptionAndTrustedCertificateComeWithIt) {
  IniFile settings("[SMTP]\r\nSM2=4\r\nSMTP4=smtp.example.org\r\nPort4=465\r\nTLS4=2\r\nCert4=AB:CD\r\nTLS1=0\r\n");
  ActiveProfile p;
  LoadProfile(settings, 2, p);
  EXPECT_EQ(p.smtp_entry, 4);
  EXPECT_EQ(p.smtp_tls, "2");
  EXPECT_EQ(p.smtp_certificate, "AB:CD");
  LoadProfile(settings, 1, p);  // an entry without them: nothing of entry 4 stays
  EXPECT_EQ(p.smtp_entry, 1);
  EXPECT_EQ(p.smtp_tls, "0");
  EXPECT_EQ(p.smtp_certificate, "");
}

// A certificate trusted for one server is trusted there only: the pin keeps its host and port,
// and one kept before it did belongs to the entry's host and port as they are.
TEST(LoadProfile, ATrustedCertificateHoldsOnlyForTheHostAndPortItWasTrustedAt) {
  const std::string sha = "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";
  struct Case {
    const char* stored;
    const char* host;
    const char* port;
    std::string trusted;
  } cases[] = {
      {"", "smtp.example.org", "465", ""},
      {"#", "smtp.example.org", "465", sha},  // a bare fingerprint, as kept before
      {"smtp.example.org:465:#", "smtp.example.org", "465", sha},
      {"smtp.example.org:465:#", "SMTP.Example.ORG", " 465 ", sha},
      {"smtp.example.org:465:#", "other.example.org", "465", ""},
      {"smtp.example.org:465:#", "smtp.example.org", "587", ""},
      {"cafe:25:#", "cafe", "25", sha},  // a host of hex letters is no fingerprint
      {"cafe:25:#", "smtp.example.org", "25", ""},
      {"[::1]:25:#", "::1", "25", sha},
      {"AB:CD", "smtp.example.org", "25", "AB:CD"},  // not a pin: taken as it is, as before
  };
  for (const Case& c : cases) {
    std::string stored = c.stored;
    if (std::size_t at = stored.find('#'); at != std::string::npos) stored.replace(at, 1, sha);
    IniFile settings;
    settings.WriteString("SMTP", "SMTP1", c.host);
    settings.WriteString("SMTP", "Port1", c.port);
    settings.WriteString("SMTP", "Cert1", stored);
    ActiveProfile p;
    LoadProfile(settings, 1, p);
    EXPECT_EQ(p.smtp_certificate, c.trusted) << stored << " at " << c.host << ":" << c.port;
  }
  EXPECT_EQ(PinText({"smtp.example.org", "465", sha}), "smtp.example.org:465:" + sha);
  EXPECT_EQ(PinText({"::1", "25", sha}), "[::1]:25:" + sha);
}

TEST(TlsModeOf, AStoredChoiceHoldsAndWithoutOneThePortAndTheUserNameDecide) {
  EXPECT_EQ(TlsModeOf("0", "465", ""), TlsMode::kNone);
  EXPECT_EQ(TlsModeOf("0", "25", "joe"), TlsMode::kNone);  // the user's own choice, even with a login
  EXPECT_EQ(TlsModeOf(" 2 ", "25", ""), TlsMode::kStartTlsRequired);
  EXPECT_EQ(TlsModeOf("1", "25", "joe"), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsModeOf("3", "587", ""), TlsMode::kImplicit);
  // Files written before the key existed, and values no version wrote.
  EXPECT_EQ(TlsModeOf("", "465", ""), TlsMode::kImplicit);
  EXPECT_EQ(TlsModeOf("", " 465", "joe"), TlsMode::kImplicit);
  EXPECT_EQ(TlsModeOf("", "25", ""), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsModeOf("4", "465", ""), TlsMode::kImplicit);
  EXPECT_EQ(TlsModeOf("12", "25", ""), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsModeOf("yes", "587", ""), TlsMode::kStartTlsWhenOffered);
  // A login never depends on the server offering STARTTLS.
  EXPECT_EQ(TlsModeOf("", "25", "joe"), TlsMode::kStartTlsRequired);
  EXPECT_EQ(TlsModeOf("", "587", " "), TlsMode::kStartTlsRequired);
  EXPECT_EQ(TlsModeOf("9", "587", "joe"), TlsMode::kStartTlsRequired);
}

TEST(Fingerprint, ShownAsHexPairsAndComparedWithoutCaseOrSeparators) {
  EXPECT_EQ(FingerprintText(std::string("\x00\xAB\x7f", 3)), "00:AB:7F");
  EXPECT_TRUE(SameFingerprint("00:AB:7F", "00ab7f"));
  EXPECT_TRUE(SameFingerprint("00 ab 7f", "00:AB:7F"));
  EXPECT_FALSE(SameFingerprint("00:AB:7F", "00:AB:7E"));
  EXPECT_FALSE(SameFingerprint("00:AB:7F", "00:AB:7F:00"));
  EXPECT_FALSE(SameFingerprint("", ""));  // no stored choice trusts nothing
  EXPECT_FALSE(SameFingerprint("zz", "::"));
}

TEST(MailboxOverride, LeadingProfileNumberOrNothing) {
  EXPECT_EQ(MailboxOverride("Selected"), std::nullopt);
  EXPECT_EQ(MailboxOverride("Выбор в меню"), std::nullopt);
  EXPECT_EQ(MailboxOverride("10 : me@example.org"), 10);
  EXPECT_EQ(MailboxOverride("3 : x"), 3);
  EXPECT_EQ(MailboxOverride("0 : x"), std::nullopt);
  EXPECT_EQ(MailboxOverride("11 : x"), std::nullopt);
  EXPECT_EQ(MailboxOverride("99999999999 : x"), std::nullopt);
  EXPECT_EQ(MailboxOverride("selected"), std::nullopt);
  EXPECT_EQ(MailboxOverride(""), std::nullopt);
}

TEST(RefreshMailboxEntry, AddressesOrDisabledDefaultCaptions) {
  SetCurrentLanguage(1, nullptr);
  IniFile settings("[Emails]\r\nEM1=me@example.org\r\n");
  MailboxEntry one = RefreshMailboxEntry(settings, 1);
  EXPECT_EQ(one.caption, "me@example.org");
  EXPECT_FALSE(one.disable);
  EXPECT_EQ(one.label_hint, "me@example.org");
  MailboxEntry seven = RefreshMailboxEntry(settings, 7);
  EXPECT_EQ(seven.caption, "Почтовый ящик 7");
  EXPECT_TRUE(seven.disable);
  EXPECT_EQ(seven.label_hint, "");
}

TEST(RefreshMailboxEntry, WithTheExternalMailProgramAccountNamesCount) {
  IniFile settings("[Settings]\r\nsendby=4\r\n[TheBat]\r\nBatAcName1=Work\r\n[Emails]\r\nEM2=x@y\r\n");
  EXPECT_EQ(RefreshMailboxEntry(settings, 1).caption, "Work");
  MailboxEntry two = RefreshMailboxEntry(settings, 2);
  EXPECT_TRUE(two.disable);
  EXPECT_EQ(two.caption, "");  // keeps the caption it had
}

}  // namespace
}  // namespace qp
