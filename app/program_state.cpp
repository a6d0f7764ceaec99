// The close-time keys of section "Settings", in the order they are written.
#include "app/program_state.h"

#include <string_view>

namespace qp {
namespace {

constexpr std::string_view kSection = "Settings";

// One close-time key: exactly one of flag or number is set; item names the menu entry
// whose tick holds a flag.
struct SavedKey {
  std::string_view key;
  bool SavedState::*flag;
  int32_t SavedState::*number;
  std::string_view item;
  int32_t def;
  bool tick_only = false;  // restored by setting the tick alone, without running its handler
};

constexpr SavedKey kSavedKeys[] = {
    {"On_top", &SavedState::on_top, nullptr, "miStayOnTop", 0},
    {"Top", nullptr, &SavedState::top, "", 0},
    {"Left", nullptr, &SavedState::left, "", 0},
    {"C1", nullptr, &SavedState::starts, "", 0},
    {"C2", nullptr, &SavedState::letters, "", 0},
    {"Auto", nullptr, &SavedState::auto_button, "", 1},
    {"AutoMode", &SavedState::auto_mode, nullptr, "miAutoON", 0, true},
    {"ViewMode", nullptr, &SavedState::view_mode, "", 0},
    {"Sticy", &SavedState::sticky, nullptr, "miSugar", 0},
    {"Mon", &SavedState::monitor, nullptr, "miMonitorClipboard", 0},
    {"AddClipToList", &SavedState::add_clip_to_list, nullptr, "miAddCliptoList", 0, true},
    {"Proxy", &SavedState::proxy, nullptr, "miproxy", 0},
    {"Hide", &SavedState::hide, nullptr, "miHideWhenDone1", 0},
    {"Tran", &SavedState::transparent, nullptr, "miTransp", 0},
    {"RL2", &SavedState::request_list2, nullptr, "miRQList2", 0, true},
    {"RL1", &SavedState::request_list1, nullptr, "miRQList1", 0, true},
    {"Delay", &SavedState::delay, nullptr, "miRLDelay", 0, true},
    {"PopUps", &SavedState::popups, nullptr, "miPopUps", 0, true},
    {"AutoDecodeURL", &SavedState::auto_decode_url, nullptr, "miAutoDecodeUrl", 0, true},
    {"SwitchOff", &SavedState::switch_off, nullptr, "miSwitchOff", 0, true},
    {"lang", nullptr, &SavedState::language, "", 0},
};

}  // namespace

SavedState ReadSavedState(const IniFile& settings) {
  SavedState state;
  for (const SavedKey& k : kSavedKeys) {
    if (k.flag) {
      state.*k.flag = settings.ReadBool(kSection, k.key, k.def != 0);
    } else {
      state.*k.number = settings.ReadInteger(kSection, k.key, k.def);
    }
  }
  return state;
}

void CaptureMenuSwitches(ui::Form& main_window, SavedState& state) {
  for (const SavedKey& k : kSavedKeys) {
    if (!k.flag) continue;
    if (ui::Component* item = main_window.Find(k.item)) state.*k.flag = item->Checked();
  }
}

void RestoreMenuTicks(ui::Form& main_window, const SavedState& state) {
  for (const SavedKey& k : kSavedKeys) {
    if (!k.tick_only) continue;
    if (ui::Component* item = main_window.Find(k.item)) item->SetChecked(state.*k.flag);
  }
}

void WriteSavedState(IniFile& settings, const SavedState& state) {
  for (const SavedKey& k : kSavedKeys) {
    if (k.flag) {
      settings.WriteBool(kSection, k.key, state.*k.flag);
    } else {
      settings.WriteInteger(kSection, k.key, state.*k.number);
    }
  }
}

}  // namespace qp
