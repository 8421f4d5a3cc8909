#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "IPopupMenu.h"

using iplug::igraphics::IPopupMenu;
using Item = IPopupMenu::Item;

namespace {

std::vector<std::string> Texts(const IPopupMenu& menu)
{
  std::vector<std::string> texts;
  for (int i = 0; i < menu.NumItems(); ++i)
    texts.emplace_back(menu.GetItem(i)->GetText());
  return texts;
}

// A menu holding "A" and "B", the state every case starts from.
struct MenuCase
{
  const char* name;
  std::function<void(IPopupMenu&)> operate;
  std::vector<std::string> texts;
};

TEST(IPopupMenu, ItemOperationsKeepTheOrderAndOwnership)
{
  const MenuCase cases[] = {
    {"append", [](IPopupMenu& m) { m.AddItem("C"); }, {"A", "B", "C"}},
    {"insert before index", [](IPopupMenu& m) { m.AddItem("X", 1); }, {"A", "X", "B"}},
    {"insert first", [](IPopupMenu& m) { m.AddItem("X", 0); }, {"X", "A", "B"}},
    {"index at end appends", [](IPopupMenu& m) { m.AddItem("X", 2); }, {"A", "B", "X"}},
    {"index past end appends", [](IPopupMenu& m) { m.AddItem("X", 9); }, {"A", "B", "X"}},
    {"negative index appends", [](IPopupMenu& m) { m.AddItem("X", -7); }, {"A", "B", "X"}},
    {"item object", [](IPopupMenu& m) { m.AddItem(new Item("X", Item::kChecked, 3), 1); }, {"A", "X", "B"}},
    {"null item ignored", [](IPopupMenu& m) { EXPECT_EQ(m.AddItem(static_cast<Item*>(nullptr)), nullptr); }, {"A", "B"}},
    {"null text is empty", [](IPopupMenu& m) { m.AddItem(static_cast<const char*>(nullptr)); }, {"A", "B", ""}},
    {"separator", [](IPopupMenu& m) { m.AddSeparator(1); }, {"A", "", "B"}},
    {"submenu", [](IPopupMenu& m) { m.AddItem("Sub", new IPopupMenu("inner"), 0); }, {"Sub", "A", "B"}},
    {"remove", [](IPopupMenu& m) { EXPECT_TRUE(m.RemoveItem(0)); }, {"B"}},
    {"remove outside", [](IPopupMenu& m) { EXPECT_FALSE(m.RemoveItem(2)); EXPECT_FALSE(m.RemoveItem(-1)); }, {"A", "B"}},
    {"clear", [](IPopupMenu& m) { m.Clear(); }, {}},
    {"clear then refill", [](IPopupMenu& m) { m.Clear(); m.AddItem("Z"); }, {"Z"}},
  };
  for (const MenuCase& c : cases)
  {
    IPopupMenu menu;
    menu.AddItem("A");
    menu.AddItem("B");
    c.operate(menu);
    EXPECT_EQ(Texts(menu), c.texts) << c.name;
  }
}

TEST(IPopupMenu, AddItemReturnsTheStoredItemAndGetItemOutsideIsNull)
{
  IPopupMenu menu;
  Item* first = menu.AddItem("A", -1, 42);
  Item* separator = menu.AddSeparator();
  EXPECT_EQ(menu.GetItem(0), first);
  EXPECT_EQ(first->GetTag(), 42);
  EXPECT_TRUE(separator->GetIsSeparator());
  EXPECT_EQ(menu.GetItem(-1), nullptr);
  EXPECT_EQ(menu.GetItem(2), nullptr);
  EXPECT_EQ(menu.FindItemIdxByText("A"), 0);
  EXPECT_EQ(menu.FindItemIdxByText("missing"), -1);
  EXPECT_EQ(menu.FindItemIdxByText(nullptr), -1);
}

TEST(IPopupMenu, ItemFlagsUseTheirOwnBits)
{
  struct FlagCase
  {
    const char* name;
    std::function<void(Item&)> set;
    int flags;
  };
  const FlagCase cases[] = {
    {"disable", [](Item& i) { i.SetEnabled(false); }, Item::kDisabled},
    {"title", [](Item& i) { i.SetTitle(true); }, Item::kTitle},
    {"check", [](Item& i) { i.SetChecked(true); }, Item::kChecked},
    {"check then uncheck", [](Item& i) { i.SetChecked(true); i.SetChecked(false); }, 0},
    {"disabled checked title", [](Item& i) { i.SetEnabled(false); i.SetChecked(true); i.SetTitle(true); }, 7},
  };
  EXPECT_EQ(Item::kDisabled, 1);
  EXPECT_EQ(Item::kTitle, 2);
  EXPECT_EQ(Item::kChecked, 4);
  EXPECT_EQ(Item::kSeparator, 8);
  for (const FlagCase& c : cases)
  {
    Item item("x", Item::kNoFlags);
    c.set(item);
    EXPECT_EQ(item.GetFlags(), c.flags) << c.name;
    EXPECT_EQ(item.GetEnabled(), !(c.flags & Item::kDisabled)) << c.name;
    EXPECT_EQ(item.GetChecked(), (c.flags & Item::kChecked) != 0) << c.name;
    EXPECT_EQ(item.GetIsTitle(), (c.flags & Item::kTitle) != 0) << c.name;
    EXPECT_FALSE(item.GetIsSeparator()) << c.name;
  }
}

TEST(IPopupMenu, CheckingUnchecksTheOthersUnlessMultiCheckIsAllowed)
{
  for (const bool multi : {false, true})
  {
    IPopupMenu menu("", 0, multi);
    for (const char* text : {"A", "B", "C"})
      menu.AddItem(text);
    EXPECT_TRUE(menu.CheckItem(0, true));
    EXPECT_TRUE(menu.CheckItem(2, true));
    EXPECT_EQ(menu.IsItemChecked(0), multi) << multi;
    EXPECT_FALSE(menu.IsItemChecked(1));
    EXPECT_TRUE(menu.IsItemChecked(2));
    EXPECT_TRUE(menu.CheckItem(2, false));
    EXPECT_FALSE(menu.IsItemChecked(2));
    EXPECT_FALSE(menu.CheckItem(3, true));
    EXPECT_FALSE(menu.IsItemChecked(3));
  }
}

TEST(IPopupMenu, ClearResetsPrefixMultiCheckAndChoiceButKeepsTitleColumnsAndCompletion)
{
  int calls = 0;
  IPopupMenu menu("Mode", 2, true);
  menu.SetColumns(4);
  menu.SetFunction([&calls](IPopupMenu*) { ++calls; });
  menu.AddItem("A");
  menu.SetChosenItemIdx(0);

  menu.Clear();
  EXPECT_EQ(menu.NumItems(), 0);
  EXPECT_EQ(menu.GetPrefix(), 0);
  EXPECT_FALSE(menu.GetCanMultiCheck());
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  EXPECT_STREQ(menu.GetRootTitle(), "Mode");
  EXPECT_EQ(menu.GetColumns(), 4);
  EXPECT_TRUE(menu.ExecFunction());
  EXPECT_EQ(calls, 1);
}

TEST(IPopupMenu, ChosenItemIsNullWithoutAValidChoice)
{
  IPopupMenu menu;
  menu.AddItem("A");
  menu.AddItem("B");
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  EXPECT_EQ(menu.GetChosenItem(), nullptr);
  menu.SetChosenItemIdx(1);
  EXPECT_EQ(menu.GetChosenItem(), menu.GetItem(1));
  menu.SetChosenItemIdx(5);
  EXPECT_EQ(menu.GetChosenItem(), nullptr);
}

TEST(IPopupMenu, CompletionReceivesTheMenuAndAnEmptyOneReportsNone)
{
  IPopupMenu menu;
  EXPECT_FALSE(menu.ExecFunction());
  IPopupMenu* seen = nullptr;
  menu.SetFunction([&seen](IPopupMenu* m) { seen = m; });
  EXPECT_TRUE(menu.ExecFunction());
  EXPECT_EQ(seen, &menu);
}

TEST(IPopupMenu, PrefixAndColumnsAreKeptInRange)
{
  IPopupMenu menu("", 7);
  EXPECT_EQ(menu.GetPrefix(), IPopupMenu::kMaxPrefix);
  menu.SetPrefix(-1);
  EXPECT_EQ(menu.GetPrefix(), 0);
  menu.SetPrefix(2);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetColumns(-3);
  EXPECT_EQ(menu.GetColumns(), 0);
}

// Nested submenus are deleted with their items (the leak checker of the sanitized build
// catches a miss); replacing a submenu deletes the old one.
TEST(IPopupMenu, SubmenusBelongToTheirItems)
{
  IPopupMenu menu;
  auto* inner = new IPopupMenu("inner");
  inner->AddItem("deeper", new IPopupMenu("deepest"));
  Item* item = menu.AddItem("Sub", inner);
  EXPECT_EQ(item->GetSubmenu(), inner);
  EXPECT_STREQ(item->GetSubmenu()->GetItem(0)->GetSubmenu()->GetRootTitle(), "deepest");
  item->SetSubmenu(new IPopupMenu("replacement"));
  EXPECT_STREQ(item->GetSubmenu()->GetRootTitle(), "replacement");
  menu.Clear();
  EXPECT_EQ(menu.NumItems(), 0);
}

} // namespace
