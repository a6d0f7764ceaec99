// Command tables, lookups that must not miss, and switches shown by two menu entries: a
// name the window does not declare fails at once instead of reading as "off".
#include <gtest/gtest.h>

#include <stdexcept>

#include "test_support.h"
#include "ui/commands.h"
#include "ui/menu_switch.h"

namespace qp {
namespace {

using ui::Kind;

ui::FormDef Menus() {
  ui::FormDef def{.name = "fmProbe"};
  for (const char* name : {"miOn", "miOnTwin", "bb1", "bb2", "bb3", "cbLine"})
    def.controls.push_back({.name = name, .kind = Kind::MenuItem});
  return def;
}

TEST(Commands, EachComponentRunsItsOwnHandlerWithTheNotificationCode) {
  test::MemoryForm form(Menus());
  std::vector<std::string> ran;
  ui::Commands commands;
  commands.On("miOn", [&] { ran.push_back("miOn"); })
      .OnNotify("cbLine", [&](int code) { ran.push_back("cbLine " + std::to_string(code)); })
      .OnEach("bb", 1, 3, [&](int n, int code) { ran.push_back("bb" + std::to_string(n) + " " + std::to_string(code)); });
  commands.Bind(form);
  EXPECT_TRUE(commands.Run(0, 1));
  EXPECT_FALSE(commands.Run(1, 0));  // miOnTwin has no handler
  EXPECT_TRUE(commands.Run(3, 0));
  EXPECT_TRUE(commands.Run(5, 5));
  EXPECT_FALSE(commands.Run(99, 0));
  EXPECT_EQ(ran, (std::vector<std::string>{"miOn", "bb2 0", "cbLine 5"}));
}

TEST(Commands, ANameTheWindowDoesNotDeclareOrTwoHandlersForOneNameFailWhenBound) {
  test::MemoryForm form(Menus());
  ui::Commands misspelt;
  misspelt.On("miPopUps", [] {});
  EXPECT_THROW(misspelt.Bind(form), std::logic_error);
  ui::Commands beyond;
  beyond.OnEach("bb", 1, 4, [](int, int) {});
  EXPECT_THROW(beyond.Bind(form), std::logic_error);
  ui::Commands twice;
  twice.On("miOn", [] {}).On("miOn", [] {});
  EXPECT_THROW(twice.Bind(form), std::logic_error);
}

TEST(FormLookup, GetFailsLoudlyWhereFindAnswersNothing) {
  test::MemoryForm form(Menus());
  EXPECT_EQ(form.Find("miHideWhenDone1"), nullptr);
  EXPECT_THROW(form.Get("miHideWhenDone1"), std::logic_error);
  EXPECT_EQ(&form.Get("bb2"), form.Find("bb2"));
}

TEST(MenuSwitch, BothEntriesAlwaysShowTheSameTick) {
  test::MemoryForm form(Menus());
  ui::MenuSwitch monitor(form, {"miOn", "miOnTwin"});
  EXPECT_FALSE(monitor.On());
  EXPECT_TRUE(monitor.Toggle());
  EXPECT_TRUE(form.Get("miOn").Checked());
  EXPECT_TRUE(form.Get("miOnTwin").Checked());
  monitor.Set(false);
  EXPECT_FALSE(form.Get("miOnTwin").Checked());
  EXPECT_TRUE(monitor.Toggle());
  EXPECT_TRUE(monitor.On());
  EXPECT_THROW(ui::MenuSwitch(form, {"miOn", "miMissing"}), std::logic_error);
}

}  // namespace
}  // namespace qp
