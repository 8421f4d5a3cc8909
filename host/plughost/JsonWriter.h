#pragma once
// A small JSON writer with two-space indentation; keys come out in the order they are written.
#include <string>
#include <vector>

namespace plughost {

class JsonWriter
{
public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(const std::string& key);
  JsonWriter& String(const std::string& value);
  JsonWriter& Number(double value); // shortest text that reads back the same; null when not finite
  JsonWriter& Integer(long long value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // the text so far, with a final newline once everything is closed
  std::string Text() const;

private:
  void BeforeValue();
  void Close(char bracket);
  void NewLine();

  struct Level
  {
    bool mEmpty = true;
  };
  std::string mText;
  std::vector<Level> mLevels;
  bool mAfterKey = false;
};

// the text in double quotes with JSON escapes
std::string JsonQuoted(const std::string& text);

} // namespace plughost
