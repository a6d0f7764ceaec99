// The mailbox choice on the main window: the labels lb1..lb3 (the active one underlined),
// the two mailbox menus and the active profile they stand for.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "base/ini_file.h"
#include "delivery/mailbox_profiles.h"
#include "ui/window_win.h"

namespace qp {

class MailboxSelector {
 public:
  MailboxSelector(ui::Window& window, SettingsFile& settings);
  ~MailboxSelector();
  MailboxSelector(const MailboxSelector&) = delete;
  MailboxSelector& operator=(const MailboxSelector&) = delete;

  // When the window's controls exist: the underlined font of the active label.
  void Attach();
  // The first activation: profile 1's values, before the stored profile is selected.
  void LoadStartupProfile();
  // Makes profile n active: writes "Active" at once, marks the label and menu entries,
  // loads the profile. Throws when the settings cannot be written or SMn is no number.
  void Select(int n);
  // A label or menu entry chosen: Select, with a box when it fails. Nothing while disabled.
  void Click(int n);
  // Captions and enabled state of both menus and the labels' hints, by the current
  // send method. Entries are only ever disabled here.
  void RefreshMenus();
  // Profile n now has this address: its entries show it and can be chosen.
  void ShowAddress(int n, const std::string& address);
  // Off while a run sends with the profile it started with: the labels and both menus'
  // entries are disabled, and come back as they would be had nothing been disabled.
  void SetEnabled(bool enabled);
  // The first ticked entry of the main mailbox menu, or 0 when none is.
  int Checked() const;
  const ActiveProfile& Profile() const { return profile_; }
  // The user trusts this certificate for SMTP server entry k at the pin's host and port: kept
  // as its "Certk", and in the active profile at once when it uses that entry there. Throws
  // when the settings cannot be written (the trust then holds for the active profile until
  // the program ends).
  void TrustCertificate(int server_entry, const CertificatePin& pin);
  // The hand over the labels, and the active address as the hint of lbMailBox.
  bool SetCursor(HWND control);

 private:
  ui::Window& window_;
  SettingsFile& settings_;
  void SetEntryEnabled(int n, bool enabled);

  ActiveProfile profile_;
  HFONT underlined_ = nullptr;
  // While disabled: whether each profile's entries are to be enabled afterwards.
  std::optional<std::array<bool, kProfileCount>> held_;
};

}  // namespace qp
