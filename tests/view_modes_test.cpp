// The main window's view modes: the layout of each, the way back to the design, the entries.
#include <gtest/gtest.h>

#include <ostream>

#include "app/main_form.h"
#include "app/view_modes.h"

namespace qp {

static void PrintTo(const ViewLayout& layout, std::ostream* out) {
  *out << "client height " << layout.client_height;
  for (const ViewControl& c : layout.controls) *out << ", " << c.name << " " << c.top << "+" << c.height << (c.visible ? "" : " hidden");
}

namespace {

const ViewControl& Control(const ViewLayout& layout, std::string_view name) {
  const ViewControl* c = layout.Find(name);
  if (c == nullptr) throw std::logic_error(std::string(name));
  return *c;
}

TEST(ViewModes, EnteringAndLeavingEachModeGivesBackTheDesignExactly) {
  const ViewLayout design = DesignViewLayout();
  ASSERT_EQ(design.client_height, 569);
  ASSERT_EQ(design.controls.size(), ViewModeControls().size());
  for (ViewMode mode : kViewModes) {
    SCOPED_TRACE(std::string(ViewModeEntry(mode)));
    const ViewModeClick in = ClickViewMode(ViewMode::Full, mode, design);
    EXPECT_EQ(in.mode, mode);
    EXPECT_NE(in.layout, design);
    const ViewModeClick out = ClickViewMode(in.mode, mode, in.layout);
    EXPECT_EQ(out.mode, ViewMode::Full);
    EXPECT_EQ(out.layout, design);
  }
}

TEST(ViewModes, SimpleViewKeepsTheFirstButtonRowAndShrinksTheWindowByBothPanels) {
  const ViewLayout simple = EnterViewMode(DesignViewLayout(), ViewMode::Simple);
  EXPECT_EQ(Control(simple, fmMain::gbButtons).height, 45);
  EXPECT_FALSE(Control(simple, fmMain::gbSearch).visible);
  EXPECT_FALSE(Control(simple, fmMain::gbList).visible);
  EXPECT_EQ(simple.client_height, 569 - 196 - 125 - 141);
  EXPECT_EQ(Control(simple, fmMain::ProgressBar1).top, 555 - 462);
  EXPECT_EQ(Control(simple, fmMain::btCsend).top, 553 - 462);
  const ViewLayout back = LeaveViewMode(simple, ViewMode::Simple);
  EXPECT_EQ(Control(back, fmMain::gbButtons).height, 170);
  EXPECT_EQ(Control(back, fmMain::ProgressBar1).top, 555);
  EXPECT_EQ(Control(back, fmMain::btCsend).top, 553);
}

struct Expected {
  ViewMode mode;
  int client_height, list_top;
  bool list_visible;
};

TEST(ViewModes, EachModeLeavesNoVisiblePanelUnderTheStatusBarAndProgressOverIt) {
  const Expected expected[] = {{ViewMode::Simple, 107, 404, false}, {ViewMode::Original, 232, 67, false},
                               {ViewMode::Special, 248, 83, true},  {ViewMode::Min, 365, 200, true},
                               {ViewMode::List, 428, 404, false},   {ViewMode::SuperView, 52, 404, false}};
  for (const Expected& e : expected) {
    SCOPED_TRACE(std::string(ViewModeEntry(e.mode)));
    const ViewLayout layout = EnterViewMode(DesignViewLayout(), e.mode);
    EXPECT_EQ(layout.client_height, e.client_height);
    EXPECT_EQ(Control(layout, fmMain::gbList).top, e.list_top);
    EXPECT_EQ(Control(layout, fmMain::gbList).visible, e.list_visible);
    const int status_bar_top = layout.client_height - 20;
    for (const char* panel : {fmMain::cbComboBox, fmMain::gbButtons, fmMain::gbSearch, fmMain::gbList}) {
      const ViewControl& c = Control(layout, panel);
      if (c.visible) {
        EXPECT_LE(c.top + c.height, status_bar_top) << panel;
      }
    }
    // Progress and cancel keep their design place on the status bar.
    EXPECT_EQ(Control(layout, fmMain::ProgressBar1).top, status_bar_top + 6);
    EXPECT_EQ(Control(layout, fmMain::btCsend).top, status_bar_top + 4);
  }
}

TEST(ViewModes, MinimalViewHidesTheLabelRowButThePlusAndLiftsTheRequestLine) {
  const ViewLayout layout = EnterViewMode(DesignViewLayout(), ViewMode::SuperView);
  EXPECT_EQ(Control(layout, fmMain::cbComboBox).top, 1);
  int hidden_labels = 0;
  for (const ViewControl& c : layout.controls) hidden_labels += c.name.starts_with("lb") && !c.visible;
  EXPECT_EQ(hidden_labels, 10);
  EXPECT_EQ(layout.Find(fmMain::lbAddToFavorites), nullptr);  // never touched, so it stays
  for (const char* panel : {fmMain::gbButtons, fmMain::gbSearch, fmMain::gbList}) EXPECT_FALSE(Control(layout, panel).visible);
}

TEST(ViewModes, PanelHeightsAreReadAtEachClick) {
  ViewLayout layout = DesignViewLayout();
  for (ViewControl& c : layout.controls) {
    if (c.name == fmMain::gbSearch) c.height = 150;
  }
  const ViewLayout min = EnterViewMode(layout, ViewMode::Min);
  EXPECT_EQ(Control(min, fmMain::gbList).top, 404 - 158);
  EXPECT_EQ(min.client_height, 569 - 158);
  const ViewLayout back = LeaveViewMode(min, ViewMode::Min);
  EXPECT_EQ(Control(back, fmMain::gbList).top, 404);
  EXPECT_EQ(back, layout);
}

TEST(ViewModes, OnlyTheActiveEntryIsEnabledSoModesNeverCombine) {
  for (ViewMode entry : kViewModes) {
    EXPECT_EQ(ViewModeEntryEnabled(ViewMode::Min, entry), entry == ViewMode::Min);
    EXPECT_EQ(ViewModeEntryTicked(ViewMode::Min, entry), entry == ViewMode::Min);
    EXPECT_TRUE(ViewModeEntryEnabled(ViewMode::Full, entry));
    EXPECT_FALSE(ViewModeEntryTicked(ViewMode::Full, entry));
  }
  const ViewModeClick min = ClickViewMode(ViewMode::Full, ViewMode::Min, DesignViewLayout());
  const ViewModeClick refused = ClickViewMode(min.mode, ViewMode::Simple, min.layout);
  EXPECT_EQ(refused.mode, ViewMode::Min);
  EXPECT_EQ(refused.layout, min.layout);
}

TEST(ViewModes, TheStoredNumberNamesAModeOnlyFromOneToSix) {
  EXPECT_EQ(ViewModeFromSetting(3), ViewMode::Special);
  EXPECT_EQ(ViewModeEntry(ViewModeFromSetting(3)), "miSpecial");
  EXPECT_EQ(ViewModeEntry(ViewModeFromSetting(6)), "miSuperView");
  for (int number : {0, 7, -1, 100}) EXPECT_EQ(ViewModeFromSetting(number), ViewMode::Full) << number;
  EXPECT_EQ(ViewModeEntry(ViewMode::Full), "");
}

}  // namespace
}  // namespace qp
