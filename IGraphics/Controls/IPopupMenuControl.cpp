#include "IPopupMenuControl.h"

#include "IGraphics.h"
#include "IPopupMenu.h"

namespace iplug::igraphics {

IPopupMenuControl::IPopupMenuControl(const ITextStyle& style, const IRect& bounds)
  : IControl(bounds), mFixedBounds(bounds)
{
  mTextStyle = style.WithAlign(eAlignNear);
  mIsHidden = true;
}

void IPopupMenuControl::CreatePopupMenu(IPopupMenu& menu, const IRect& anchor)
{
  mMenu = &menu;
  mMenu->SetChosenItemIdx(-1);
  const float h = kItemHeight * static_cast<float>(menu.NumItems());
  mMenuBounds = mFixedBounds.Empty() ? IRect::MakeXYWH(anchor.L, anchor.B, kItemWidth, h) : mFixedBounds;
  SetTargetAndDrawRECTs(mGraphics ? mGraphics->GetBounds() : mMenuBounds);
  SetHidden(false);
}

IRect IPopupMenuControl::ItemRect(int index) const
{
  return IRect::MakeXYWH(mMenuBounds.L, mMenuBounds.T + kItemHeight * static_cast<float>(index), mMenuBounds.W(),
                         kItemHeight);
}

int IPopupMenuControl::ItemAt(float x, float y) const
{
  if (!mMenu)
    return -1;
  for (int i = 0; i < mMenu->NumItems(); ++i)
  {
    const IPopupMenu::Item* item = mMenu->GetItem(i);
    if (ItemRect(i).Contains(x, y) && item->GetEnabled() && !item->GetIsSeparator() && !item->GetIsTitle())
      return i;
  }
  return -1;
}

void IPopupMenuControl::OnMouseDown(float x, float y, const IMouseModifiers&)
{
  if (!mMenu)
    return;
  IPopupMenu* menu = mMenu;
  menu->SetChosenItemIdx(ItemAt(x, y));
  mMenu = nullptr;
  SetHidden(true);
  if (mGraphics)
  {
    mGraphics->MarkAllDirty();
    mGraphics->CompleteMenu(menu->GetChosenItemIdx() >= 0 ? menu : nullptr);
  }
}

void IPopupMenuControl::Draw(IGraphics& g)
{
  if (!mMenu)
    return;
  g.FillRect(kColorWhite, mMenuBounds);
  for (int i = 0; i < mMenu->NumItems(); ++i)
  {
    const IPopupMenu::Item* item = mMenu->GetItem(i);
    const IRect r = ItemRect(i);
    if (item->GetIsSeparator())
      g.DrawLine(kColorGray, r.L, r.MH(), r.R, r.MH());
    else
      g.DrawText(mTextStyle, item->GetText(), r.Padded(-2.f), item->GetEnabled() ? nullptr : &kBlend50);
    if (item->GetChecked())
      g.FillCircle(mTextStyle.mFGColor, r.R - 8.f, r.MH(), 3.f);
  }
  g.DrawRect(kColorBlack, mMenuBounds);
}

} // namespace iplug::igraphics
