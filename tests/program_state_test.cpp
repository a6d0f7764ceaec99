// The main window's table and the state it saves at close.
#include <gtest/gtest.h>

#include <set>

#include "app/main_form.h"
#include "app/program_state.h"
#include "test_support.h"

namespace qp {
namespace {

TEST(MainWindowTable, NamesAreUniqueAndEveryParentIsDeclaredBeforeItsChildren) {
  ui::FormDef def = MainFormDef();
  std::set<std::string> seen;
  for (const ui::ControlDef& c : def.controls) {
    EXPECT_TRUE(seen.insert(c.name).second) << "duplicate " << c.name;
    if (!c.parent.empty()) {
      EXPECT_TRUE(seen.count(c.parent)) << c.name << " before its parent " << c.parent;
    }
  }
  EXPECT_EQ(def.client_width, 394);
  EXPECT_EQ(def.client_height, 569);
  for (const char* item : fmMain::kLanguageItems) EXPECT_TRUE(seen.count(item)) << item;
}

TEST(SavedStateWriter, WritesTheCloseTimeKeysInTheirOrder) {
  IniFile settings;
  SavedState state;
  state.top = 10;
  state.left = -3;
  state.starts = 2;
  state.monitor = true;
  state.language = 1;
  WriteSavedState(settings, state);
  EXPECT_EQ(settings.Serialize(),
            "[Settings]\r\nOn_top=0\r\nTop=10\r\nLeft=-3\r\nC1=2\r\nC2=0\r\nAuto=1\r\nAutoMode=0\r\nViewMode=0\r\n"
            "Sticy=0\r\nMon=1\r\nAddClipToList=0\r\nProxy=0\r\nHide=0\r\nTran=0\r\nRL2=0\r\nRL1=0\r\nDelay=0\r\n"
            "PopUps=0\r\nAutoDecodeURL=0\r\nSwitchOff=0\r\nlang=1\r\n\r\n");
}

TEST(SavedStateWriter, ReadThenWrittenKeepsEveryValueAndOtherKeys) {
  IniFile settings(
      "[Settings]\r\nC1=7\r\nC2=$10\r\nSticy=1\r\nAuto=5\r\nViewMode=3\r\nbrowser=firefox\r\n"
      "[SMTP]\r\nSMTP1=mail.example.org\r\n");
  SavedState state = ReadSavedState(settings);
  EXPECT_EQ(state.starts, 7);
  EXPECT_EQ(state.letters, 16);
  EXPECT_TRUE(state.sticky);
  EXPECT_EQ(state.auto_button, 5);
  WriteSavedState(settings, state);
  EXPECT_EQ(settings.ReadString("Settings", "browser", ""), "firefox");
  EXPECT_EQ(settings.ReadString("SMTP", "SMTP1", ""), "mail.example.org");
  EXPECT_EQ(settings.ReadString("Settings", "C2", ""), "16");
  EXPECT_EQ(settings.ReadString("Settings", "Sticy", ""), "1");
  EXPECT_EQ(settings.ReadString("Settings", "ViewMode", ""), "3");
}

TEST(SavedStateWriter, SwitchesFollowTheirMenuTicksAndOthersKeepTheirStoredValue) {
  test::MemoryForm form(MainFormDef());
  form.Get("miTransp").SetChecked(true);
  SavedState state;
  state.monitor = true;  // its entry is unticked now
  form.Get("miPopUps").SetChecked(true);
  state.language = 2;  // not a switch: stays
  CaptureMenuSwitches(form, state);
  EXPECT_FALSE(state.monitor);
  EXPECT_TRUE(state.transparent);
  EXPECT_TRUE(state.popups);
  EXPECT_EQ(state.language, 2);
}

}  // namespace
}  // namespace qp
