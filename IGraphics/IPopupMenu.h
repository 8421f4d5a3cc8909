#pragma once
// The menu model the graphics context fills for value prompts and host context menus and
// the window shows as a native menu. The menu owns its items, each item its submenu.
// [ui thread]
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace iplug::igraphics {

class IPopupMenu
{
public:
  class Item
  {
  public:
    enum EFlags
    {
      kNoFlags = 0,
      kDisabled = 1,
      kTitle = 2,
      kChecked = 4,
      kSeparator = 8
    };

    explicit Item(const char* text, int flags = kNoFlags, int tag = -1);
    // takes ownership of submenu (may be null)
    Item(const char* text, IPopupMenu* submenu, int tag = -1);
    ~Item();
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    const char* GetText() const { return mText.c_str(); }
    void SetText(const char* text) { mText = text ? text : ""; }
    int GetFlags() const { return mFlags; }
    void SetFlags(int flags) { mFlags = flags; }
    int GetTag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }

    bool GetEnabled() const { return !(mFlags & kDisabled); }
    bool GetChecked() const { return mFlags & kChecked; }
    bool GetIsTitle() const { return mFlags & kTitle; }
    bool GetIsSeparator() const { return mFlags & kSeparator; }
    void SetEnabled(bool enabled) { SetFlag(kDisabled, !enabled); }
    void SetChecked(bool checked) { SetFlag(kChecked, checked); }
    void SetTitle(bool title) { SetFlag(kTitle, title); }

    IPopupMenu* GetSubmenu() const { return mSubmenu.get(); }
    // takes ownership; the previous submenu is deleted
    void SetSubmenu(IPopupMenu* submenu);

  private:
    void SetFlag(int flag, bool on) { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

    std::string mText;
    std::unique_ptr<IPopupMenu> mSubmenu;
    int mFlags = kNoFlags;
    int mTag = -1;
  };

  using CompletionFunc = std::function<void(IPopupMenu*)>;

  // Item numbering styles of the window: none, or "1: ", "01: ", "001: " before each text.
  static constexpr int kMaxPrefix = 3;
  // Above this many items the window ignores the column count.
  static constexpr int kMaxItemsForColumns = 160;

  explicit IPopupMenu(const char* rootTitle = "", int prefix = 0, bool multiCheck = false);
  ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Resets prefix, multi-check and the choice, and deletes every item (title, columns
  // and completion stay).
  void Clear();

  // Takes ownership of item and inserts it before index; -1 or any index outside the list
  // appends. Returns the item, or null for a null item.
  Item* AddItem(Item* item, int index = -1);
  Item* AddItem(const char* text, int index = -1, int tag = -1);
  // takes ownership of submenu
  Item* AddItem(const char* text, IPopupMenu* submenu, int index = -1, int tag = -1);
  Item* AddSeparator(int index = -1);
  // returns false for an index outside the list
  bool RemoveItem(int index);

  int NumItems() const { return static_cast<int>(mItems.size()); }
  // null outside the list
  Item* GetItem(int index) const;
  // -1 when absent
  int FindItemIdxByText(const char* text) const;

  // Checks or unchecks one item; without multi-check, checking it unchecks the others.
  // Returns false for an index outside the list.
  bool CheckItem(int index, bool checked);
  bool IsItemChecked(int index) const;

  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }
  int GetChosenItemIdx() const { return mChosenItemIdx; }
  // null when nothing (or an index outside the list) was chosen
  Item* GetChosenItem() const { return GetItem(mChosenItemIdx); }

  void SetRootTitle(const char* title) { mRootTitle = title ? title : ""; }
  const char* GetRootTitle() const { return mRootTitle.c_str(); }

  // clamped to 0..kMaxPrefix
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  void SetMultiCheck(bool multiCheck) { mCanMultiCheck = multiCheck; }
  bool GetCanMultiCheck() const { return mCanMultiCheck; }
  // values below 1 mean one column
  void SetColumns(int columns) { mNColumns = columns > 0 ? columns : 0; }
  int GetColumns() const { return mNColumns; }

  void SetFunction(CompletionFunc func) { mPopupFunc = std::move(func); }
  const CompletionFunc& GetFunction() const { return mPopupFunc; }
  // calls the completion with this menu; returns false when there is none
  bool ExecFunction();

private:
  int mNColumns = 0;
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  bool mCanMultiCheck = false;
  std::vector<std::unique_ptr<Item>> mItems;
  CompletionFunc mPopupFunc;
  std::string mRootTitle;
};

} // namespace iplug::igraphics
