// The names the code uses for the controls of the button editor and of its request builders.
// The names are part of the language files' format ("fmButton.bbSave.Caption").
#pragma once

namespace qp {

namespace fmButton {
inline constexpr char lbName[] = "lbName";
inline constexpr char edName[] = "edName";
inline constexpr char bbExample[] = "bbExample";
inline constexpr char lbComment[] = "lbComment";
inline constexpr char edComment[] = "edComment";
inline constexpr char gbService[] = "gbService";
inline constexpr char cbService[] = "cbService";
inline constexpr char bbEditService[] = "bbEditService";
inline constexpr char bbHelp[] = "bbHelp";
inline constexpr char gbSubject[] = "gbSubject";
inline constexpr char cbSubject[] = "cbSubject";
inline constexpr char gbMailBox[] = "gbMailBox";
inline constexpr char cbMailBoxSelected[] = "cbMailBoxSelected";
inline constexpr char gbConstructor[] = "gbConstructor";
inline constexpr char bbWWW2MAIL[] = "bbWWW2MAIL";
inline constexpr char bbFTP2MAIL[] = "bbFTP2MAIL";
inline constexpr char cbMultiRequest[] = "cbMultiRequest";
inline constexpr char lbMultiRequest[] = "lbMultiRequest";
inline constexpr char gbBody[] = "gbBody";
inline constexpr char mmBody[] = "mmBody";
inline constexpr char gbTemplate[] = "gbTemplate";
inline constexpr char bbwww4mail[] = "bbwww4mail";
inline constexpr char bbRe[] = "bbRe";
inline constexpr char bbPass[] = "bbPass";
inline constexpr char bbSize[] = "bbSize";
inline constexpr char Button2[] = "Button2";
inline constexpr char Button1[] = "Button1";
inline constexpr char Button3[] = "Button3";
inline constexpr char bbSave[] = "bbSave";
inline constexpr char bbCancel[] = "bbCancel";
}  // namespace fmButton

namespace fmConstructor {
inline constexpr char pcConstructor[] = "pcConstructor";
inline constexpr char ts2MAIL[] = "ts2MAIL";
inline constexpr char lbService[] = "lbService";
inline constexpr char cbService[] = "cbService";
inline constexpr char lbCom[] = "lbCom";
inline constexpr char cbCom[] = "cbCom";
inline constexpr char lbEnd[] = "lbEnd";
inline constexpr char cbEnd[] = "cbEnd";
inline constexpr char rgRequestIn[] = "rgRequestIn";
inline constexpr char cbReqConst[] = "cbReqConst";
inline constexpr char cbReq[] = "cbReq";
inline constexpr char bbOpenList[] = "bbOpenList";
inline constexpr char bbW2Msave[] = "bbW2Msave";
inline constexpr char bbCancel[] = "bbCancel";
inline constexpr char tsFTP[] = "tsFTP";
inline constexpr char lbFTPService[] = "lbFTPService";
inline constexpr char cbFTPService[] = "cbFTPService";
inline constexpr char bbEditService[] = "bbEditService";
inline constexpr char rgCommand[] = "rgCommand";
inline constexpr char rgMode[] = "rgMode";
inline constexpr char rgCompress[] = "rgCompress";
inline constexpr char rgCode[] = "rgCode";
inline constexpr char gbSize[] = "gbSize";
inline constexpr char edSize[] = "edSize";
inline constexpr char rgSize[] = "rgSize";
inline constexpr char bbSave2[] = "bbSave2";
inline constexpr char bbCancel2[] = "bbCancel2";
}  // namespace fmConstructor

}  // namespace qp
