#include "ITextEntryControl.h"

#include <cstring>

#include "IGraphics.h"

namespace iplug::igraphics {

namespace {

// bytes of the last UTF-8 character of text
size_t LastCharacterLength(const std::string& text)
{
  size_t n = 1;
  while (n < text.size() && (static_cast<unsigned char>(text[text.size() - n]) & 0xC0) == 0x80)
    ++n;
  return std::min(n, text.size());
}

size_t CharacterCount(const std::string& text)
{
  size_t count = 0;
  for (const char c : text)
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

} // namespace

ITextEntryControl::ITextEntryControl() : IControl(IRect())
{
  mIsHidden = true;
}

void ITextEntryControl::CreateTextEntry(int paramIdx, const ITextStyle& style, const IRect& bounds, int maxLength,
                                        const char* text)
{
  mParamIdx = paramIdx;
  mTextStyle = style;
  mMaxLength = maxLength;
  mText = text ? text : "";
  mEditing = true;
  SetTargetAndDrawRECTs(bounds);
  SetHidden(false);
}

void ITextEntryControl::EndEditing()
{
  mEditing = false;
  SetHidden(true);
  if (mGraphics)
    mGraphics->MarkAllDirty();
}

bool ITextEntryControl::OnKeyDown(float, float, const IKeyPress& key)
{
  if (!mEditing)
    return false;
  switch (key.VK)
  {
    case kVK_RETURN:
    {
      const std::string text = mText;
      EndEditing();
      if (mGraphics)
        mGraphics->CompleteTextEntry(text.c_str());
      return true;
    }
    case kVK_ESCAPE:
      EndEditing();
      if (mGraphics)
        mGraphics->ClearInTextEntryControl();
      return true;
    case kVK_BACK:
      if (!mText.empty())
        mText.erase(mText.size() - LastCharacterLength(mText));
      MarkDirty(false);
      return true;
    default:
      break;
  }
  if (!key.HasCharacter() || key.C)
    return false;
  if (mMaxLength <= 0 || CharacterCount(mText) < static_cast<size_t>(mMaxLength))
    mText += key.utf8;
  MarkDirty(false);
  return true;
}

void ITextEntryControl::Draw(IGraphics& g)
{
  g.FillRect(mTextStyle.mTextEntryBGColor, mDrawRect);
  g.DrawText(mTextStyle.WithFGColor(mTextStyle.mTextEntryFGColor), mText.c_str(), mDrawRect);
}

} // namespace iplug::igraphics
