// The options dialog's values: what a fresh settings file shows, what applying writes and in
// which order, and the number boxes' range.
#include "dialogs/options.h"

#include <gtest/gtest.h>

#include <string>

namespace qp {
namespace {

TEST(OptionsValues, AFreshFileShowsTheDialogsDefaultsAndApplyingWritesThemInTheFilesOrder) {
  IniFile settings;
  const OptionsValues shown = LoadOptions(settings);
  EXPECT_EQ(shown.servers[9].port, "25");
  EXPECT_EQ(shown.mailboxes[4].server, "1");
  EXPECT_EQ(shown.mailboxes[0].size, "500K");
  EXPECT_EQ(shown.proxy_port, "8088");
  EXPECT_EQ(shown.opacity, 200);
  EXPECT_EQ(shown.mini_opacity, 200);
  EXPECT_EQ(shown.dns_timeout, "10000");
  EXPECT_EQ(shown.list_delay, "60");
  EXPECT_EQ(shown.content_type + "|" + shown.charset + "|" + shown.transfer_encoding + "|" + shown.x_mailer,
            "text/plain|koi8-r|7bit|Quillpost");
  EXPECT_EQ(shown.send_by, 0);
  EXPECT_EQ(shown.bat_path, "C:\\Program Files\\The Bat!\\thebat.exe");

  ApplyOptions(shown, settings);
  const std::string file = settings.Serialize();
  EXPECT_EQ(settings.ReadString("Emails", "Size3", ""), "500K");
  EXPECT_EQ(settings.ReadString("Settings", "pport", ""), "8088");
  // Sections and keys in the order the file keeps them.
  const char* const order[] = {"[SMTP]",
                               "SMTP1=",
                               "Port1=25",
                               "User1=",
                               "Pass1=",
                               "SMTP10=",
                               "SM1=1",
                               "SM10=1",
                               "[Emails]",
                               "EM1=",
                               "EM10=",
                               "DSP1=",
                               "Size1=500K",
                               "Size10=",
                               "[Settings]",
                               "browser=",
                               "pport=8088",
                               "Transp=200",
                               "transp2=200",
                               "Close2Tray=0",
                               "DNS_IP=",
                               "DNS_To=10000",
                               "RLDelay=60",
                               "ContentType=text/plain",
                               "CharSet=koi8-r",
                               "CTEncoding=7bit",
                               "XMailer=Quillpost",
                               "dialup=0",
                               "DontDisconnect=0",
                               "dntchk=0",
                               "erpopup=0",
                               "sendby=0",
                               "[TheBat]",
                               "send=0",
                               "path=C:\\Program Files",
                               "BatAcName1=",
                               "BatAcName10="};
  std::size_t at = 0;
  for (const char* line : order) {
    const std::size_t found = file.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << " missing or out of order in\n" << file;
    at = found;
  }
}

// Stored values come back as they are; an empty proxy port shows the dialog's own, and a
// header whose key is missing keeps its design text while an empty one stays empty.
TEST(OptionsValues, StoredValuesAreShownAsStored) {
  IniFile settings(
      "[SMTP]\r\nSMTP4=mail.example.org\r\nPort4=587\r\nSM2=4\r\n[Emails]\r\nEM2=me@example.org\r\nSize2=\r\n"
      "[Settings]\r\npport=\r\nTransp=300\r\nCharSet=\r\nsendby=3\r\nClose2Tray=1\r\n[TheBat]\r\nsend=2\r\nBatAcName3=Work\r\n");
  const OptionsValues v = LoadOptions(settings);
  EXPECT_EQ(v.servers[3].host, "mail.example.org");
  EXPECT_EQ(v.servers[3].port, "587");
  EXPECT_EQ(v.mailboxes[1].server, "4");
  EXPECT_EQ(v.mailboxes[1].email, "me@example.org");
  EXPECT_EQ(v.mailboxes[1].size, "");
  EXPECT_EQ(v.proxy_port, "8088");
  EXPECT_EQ(v.opacity, 300);  // the number box brings it into range only when left
  EXPECT_EQ(v.charset, "");
  EXPECT_EQ(v.content_type, "text/plain");
  EXPECT_EQ(v.send_by, 3);
  EXPECT_TRUE(v.close_to_tray);
  EXPECT_EQ(v.bat_send, 2);
  EXPECT_EQ(v.bat_accounts[2], "Work");
}

// Each server's encryption as it is used: a stored choice as stored, and for a file from
// before the choice existed, or a value the program never writes, the default of its port.
TEST(OptionsValues, EachServerShowsTheEncryptionItIsUsedWith) {
  IniFile settings(
      "[SMTP]\r\nSMTP1=a.example.org\r\nPort1=465\r\nSMTP2=b.example.org\r\nPort2=25\r\n"
      "Port4=465\r\nTLS4=2\r\nPort5=25\r\nTLS5=3\r\nTLS6=0\r\n"
      "Port7=465\r\nTLS7=yes\r\nPort8=587\r\nTLS8=4\r\nUser8=joe\r\nPort9=465\r\nTLS9=\r\nUser9=joe\r\nPort10= 465 \r\nTLS10=-1\r\n"
      "User2=joe\r\nUser6=joe\r\n");
  const OptionsValues v = LoadOptions(settings);
  EXPECT_EQ(v.servers[0].tls, TlsMode::kImplicit) << "no key, port 465";
  EXPECT_EQ(v.servers[1].tls, TlsMode::kStartTlsRequired) << "no key, port 25, a user name";
  EXPECT_EQ(v.servers[2].tls, TlsMode::kStartTlsWhenOffered) << "no entry at all";
  EXPECT_EQ(v.servers[3].tls, TlsMode::kStartTlsRequired) << "stored, whatever the port";
  EXPECT_EQ(v.servers[4].tls, TlsMode::kImplicit) << "stored, whatever the port";
  EXPECT_EQ(v.servers[5].tls, TlsMode::kNone) << "stored, even with a user name";
  EXPECT_EQ(v.servers[6].tls, TlsMode::kImplicit) << "garbage on 465";
  EXPECT_EQ(v.servers[7].tls, TlsMode::kStartTlsRequired) << "out of range on 587, a user name";
  EXPECT_EQ(v.servers[8].tls, TlsMode::kImplicit) << "empty on 465, a user name";
  EXPECT_EQ(v.servers[9].tls, TlsMode::kImplicit) << "negative on a blank-padded 465";
}

// Every choice goes into the file as its digit and comes back unchanged, a port's default
// among them; the trusted certificate beside an entry is the program's, never the dialog's.
TEST(OptionsValues, ApplyingStoresEachChoiceBesideItsServerAndLeavesTheCertificatesAlone) {
  IniFile settings(
      "[SMTP]\r\nSMTP1=a.example.org\r\nPort1=465\r\nCert1=AA:BB:CC\r\nSMTP2=b.example.org\r\nPort2=587\r\n"
      "TLS2=2\r\nCert2=\r\nCert3=DD:EE\r\n");
  OptionsValues v = LoadOptions(settings);
  v.servers[2].tls = TlsMode::kNone;
  v.servers[9].tls = TlsMode::kImplicit;
  ApplyOptions(v, settings);
  EXPECT_EQ(settings.ReadString("SMTP", "TLS1", ""), "3") << "the port's default, now kept";
  EXPECT_EQ(settings.ReadString("SMTP", "TLS2", ""), "2");
  EXPECT_EQ(settings.ReadString("SMTP", "TLS3", ""), "0");
  EXPECT_EQ(settings.ReadString("SMTP", "TLS4", ""), "1");
  EXPECT_EQ(settings.ReadString("SMTP", "TLS10", ""), "3");
  EXPECT_EQ(settings.ReadString("SMTP", "Cert1", "?"), "AA:BB:CC");
  EXPECT_EQ(settings.ReadString("SMTP", "Cert2", "?"), "");
  EXPECT_EQ(settings.ReadString("SMTP", "Cert3", "?"), "DD:EE");
  EXPECT_FALSE(settings.ValueExists("SMTP", "Cert4"));
  const OptionsValues again = LoadOptions(settings);
  for (int k = 0; k < kOptionRows; ++k) EXPECT_EQ(again.servers[k].tls, v.servers[k].tls) << "server " << k + 1;

  // In a file of its own the choice sits with its server's other keys.
  IniFile fresh;
  ApplyOptions(v, fresh);
  const std::string file = fresh.Serialize();
  std::size_t at = 0;
  for (const char* line :
       {"SMTP1=a.example.org", "Port1=465", "Pass1=", "TLS1=3", "SMTP2=", "TLS2=2", "SMTP3=", "TLS3=0", "TLS10=3", "SM1="}) {
    const std::size_t found = file.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << " missing or out of order in\n" << file;
    at = found;
  }
}

// A certificate trusted for a server goes when the dialog names another host or port for its
// entry; one whose server stays is kept as it was, whatever form it was kept in.
TEST(OptionsValues, AnotherHostOrPortForAnEntryDropsTheCertificateTrustedForTheOldOne) {
  const std::string sha = "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";
  IniFile settings("[SMTP]\r\nSMTP1=a.example.org\r\nPort1=465\r\nCert1=" + sha +
                   "\r\nSMTP2=b.example.org\r\nPort2=587\r\nCert2=b.example.org:587:" + sha + "\r\nSMTP3=c.example.org\r\nCert3=" + sha +
                   "\r\nSMTP4=d.example.org\r\nCert4=d.example.org:25:" + sha + "\r\nSMTP5=e.example.org\r\nCert5=" + sha + "\r\n");
  OptionsValues v = LoadOptions(settings);
  v.servers[0].host = "mail.example.net";  // a bare fingerprint, another host
  v.servers[1].port = "465";               // a pin, another port
  v.servers[2].host = "C.example.org";     // the same server in other letters
  v.servers[4].port = "2525";
  ApplyOptions(v, settings);
  EXPECT_EQ(settings.ReadString("SMTP", "Cert1", "?"), "");
  EXPECT_EQ(settings.ReadString("SMTP", "Cert2", "?"), "");
  EXPECT_EQ(settings.ReadString("SMTP", "Cert3", "?"), sha);
  EXPECT_EQ(settings.ReadString("SMTP", "Cert4", "?"), "d.example.org:25:" + sha);
  EXPECT_EQ(settings.ReadString("SMTP", "Cert5", "?"), "");
  EXPECT_FALSE(settings.ValueExists("SMTP", "Cert6"));
}

TEST(OptionsValues, TheNumberBoxesHoldTheirValueToTheOpacityRange) {
  EXPECT_EQ(OpacityOf("128"), 128);
  EXPECT_EQ(OpacityOf("300"), 255);
  EXPECT_EQ(OpacityOf("-5"), 0);
  EXPECT_EQ(OpacityOf("abc"), 0);
  EXPECT_EQ(OpacityOf(""), 0);
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

TEST(TlsFollowingEntry, TheDefaultFollowsThePortAndTheUserNameAndAChoiceStays) {
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kStartTlsWhenOffered, {"25", ""}, {"465", ""}), TlsMode::kImplicit);
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kImplicit, {"465", ""}, {"587", ""}), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kImplicit, {"46", ""}, {"465", ""}), TlsMode::kImplicit);  // implicit on port 46 was chosen
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kNone, {"25", ""}, {"465", ""}), TlsMode::kNone);
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kStartTlsRequired, {"465", ""}, {"25", ""}), TlsMode::kStartTlsRequired);
  // A user name typed or taken away moves the default between required and when offered.
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kStartTlsWhenOffered, {"25", ""}, {"25", "j"}), TlsMode::kStartTlsRequired);
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kStartTlsRequired, {"587", "joe"}, {"587", ""}), TlsMode::kStartTlsWhenOffered);
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kImplicit, {"465", "joe"}, {"587", "joe"}), TlsMode::kStartTlsRequired);
  EXPECT_EQ(TlsFollowingEntry(TlsMode::kNone, {"25", ""}, {"25", "joe"}), TlsMode::kNone);
}

}  // namespace
}  // namespace qp
