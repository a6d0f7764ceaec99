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

TEST(TlsModeOf, AStoredChoiceHoldsAndWithoutOneThePortDecides) {
  EXPECT_EQ(TlsModeOf("0", "465"), TlsMode::kNone);
  EXPECT_EQ(TlsModeOf(" 2 ", "25"), TlsMode::kStartTlsRequired);
  EXPECT_EQ(TlsModeOf("3", "587"), TlsMode::kImplicit);
  // Files written before the key existed, and values no version wrote.
  EXPECT_EQ(TlsModeOf("", "465"), TlsMode::kImplicit);
  EXPECT_EQ(TlsModeOf("", " 465"), TlsMode::kImplicit);
  EXPECT_EQ(TlsModeOf("", "25"), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsModeOf("4", "465"), TlsMode::kImplicit);
  EXPECT_EQ(TlsModeOf("12", "25"), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsModeOf("yes", "587"), TlsMode::kStartTlsWhenOffered);
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
