// The component table of the options dialog and the names the code uses. The names are part
// of the language files' format ("fmOptions.sbApply.Caption").
#pragma once

#include <string>
#include <string_view>

#include "ui/form.h"

namespace qp {

ui::FormDef OptionsFormDef();

namespace fmOptions {

inline constexpr char JvPageControl1[] = "JvPageControl1";
inline constexpr char sbApply[] = "sbApply";
inline constexpr char sbHelp[] = "sbHelp";
inline constexpr char cbAutodial[] = "cbAutodial";
inline constexpr char cbDontDisconnect[] = "cbDontDisconnect";
inline constexpr char cbDontCheck[] = "cbDontCheck";
inline constexpr char cbErrorPopUp[] = "cbErrorPopUp";
inline constexpr char rgSendBy[] = "rgSendBy";
inline constexpr char cbBrowser[] = "cbBrowser";
inline constexpr char edProxy[] = "edProxy";
inline constexpr char bbSetIE[] = "bbSetIE";
inline constexpr char bbProxyDisable[] = "bbProxyDisable";
inline constexpr char seTrans[] = "seTrans";
inline constexpr char seTrans2[] = "seTrans2";
inline constexpr char cbClose2Tray[] = "cbClose2Tray";
inline constexpr char cbDNS[] = "cbDNS";
inline constexpr char edtTimeOut[] = "edtTimeOut";
inline constexpr char btDNSAuto[] = "btDNSAuto";
inline constexpr char btAddMenuToIE[] = "btAddMenuToIE";
inline constexpr char leContentType[] = "leContentType";
inline constexpr char leCharSet[] = "leCharSet";
inline constexpr char leContentTransferEncoding[] = "leContentTransferEncoding";
inline constexpr char leXmailer[] = "leXmailer";
inline constexpr char edRLDelay[] = "edRLDelay";
inline constexpr char btON1[] = "btON1";
inline constexpr char btOFF1[] = "btOFF1";
inline constexpr char btON[] = "btON";
inline constexpr char btOFF[] = "btOFF";
inline constexpr char edBatPath[] = "edBatPath";
inline constexpr char bbBrowse[] = "bbBrowse";
inline constexpr char rgBatSend[] = "rgBatSend";
// Numbered rows, n = 1..10.
inline constexpr char edMail[] = "edMail";
inline constexpr char edDSpass[] = "edDSpass";
inline constexpr char cbSMTP[] = "cbSMTP";
inline constexpr char edSize[] = "edSize";
inline constexpr char edSMTPName[] = "edSMTPName";
inline constexpr char edSMTPPort[] = "edSMTPPort";
inline constexpr char cbTLS[] = "cbTLS";  // a list to choose from: the chosen item's index is TLSk's digit
inline constexpr char edUser[] = "edUser";
inline constexpr char edPass[] = "edPass";
inline constexpr char edBatMailboxName[] = "edBatMailboxName";

inline std::string Numbered(std::string_view prefix, int n) { return std::string(prefix) + std::to_string(n); }

}  // namespace fmOptions
}  // namespace qp
