#include "IPopupMenu.h"

#include <algorithm>
#include <cstring>

namespace iplug::igraphics {

IPopupMenu::Item::Item(const char* text, int flags, int tag) : mText(text ? text : ""), mFlags(flags), mTag(tag)
{
}

IPopupMenu::Item::Item(const char* text, IPopupMenu* submenu, int tag)
  : mText(text ? text : ""), mSubmenu(submenu), mTag(tag)
{
}

IPopupMenu::Item::~Item() = default;

void IPopupMenu::Item::SetSubmenu(IPopupMenu* submenu)
{
  mSubmenu.reset(submenu);
}

IPopupMenu::IPopupMenu(const char* rootTitle, int prefix, bool multiCheck) : mCanMultiCheck(multiCheck)
{
  SetPrefix(prefix);
  SetRootTitle(rootTitle);
}

IPopupMenu::~IPopupMenu() = default;

void IPopupMenu::Clear()
{
  mPrefix = 0;
  mCanMultiCheck = false;
  // A reused menu must not report the previous prompt's choice.
  mChosenItemIdx = -1;
  mItems.clear();
}

IPopupMenu::Item* IPopupMenu::AddItem(Item* item, int index)
{
  if (item == nullptr)
    return nullptr;
  std::unique_ptr<Item> owned(item);
  if (index < 0 || index >= NumItems())
    mItems.push_back(std::move(owned));
  else
    mItems.insert(mItems.begin() + index, std::move(owned));
  return item;
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, int index, int tag)
{
  return AddItem(new Item(text, Item::kNoFlags, tag), index);
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu, int index, int tag)
{
  return AddItem(new Item(text, submenu, tag), index);
}

IPopupMenu::Item* IPopupMenu::AddSeparator(int index)
{
  return AddItem(new Item("", Item::kSeparator), index);
}

bool IPopupMenu::RemoveItem(int index)
{
  if (index < 0 || index >= NumItems())
    return false;
  mItems.erase(mItems.begin() + index);
  return true;
}

IPopupMenu::Item* IPopupMenu::GetItem(int index) const
{
  if (index < 0 || index >= NumItems())
    return nullptr;
  return mItems[static_cast<std::size_t>(index)].get();
}

int IPopupMenu::FindItemIdxByText(const char* text) const
{
  if (text == nullptr)
    return -1;
  const auto found = std::find_if(mItems.begin(), mItems.end(),
                                  [text](const std::unique_ptr<Item>& item) { return std::strcmp(item->GetText(), text) == 0; });
  return found == mItems.end() ? -1 : static_cast<int>(found - mItems.begin());
}

bool IPopupMenu::CheckItem(int index, bool checked)
{
  Item* target = GetItem(index);
  if (target == nullptr)
    return false;
  if (checked && !mCanMultiCheck)
    for (const auto& item : mItems)
      item->SetChecked(false);
  target->SetChecked(checked);
  return true;
}

bool IPopupMenu::IsItemChecked(int index) const
{
  const Item* item = GetItem(index);
  return item != nullptr && item->GetChecked();
}

void IPopupMenu::SetPrefix(int prefix)
{
  mPrefix = std::clamp(prefix, 0, kMaxPrefix);
}

bool IPopupMenu::ExecFunction()
{
  if (!mPopupFunc)
    return false;
  mPopupFunc(this);
  return true;
}

} // namespace iplug::igraphics
