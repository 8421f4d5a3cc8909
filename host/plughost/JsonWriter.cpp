#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace plughost {

std::string JsonQuoted(const std::string& text)
{
  std::string quoted = "\"";
  for (const char c : text)
  {
    switch (c)
    {
    case '"': quoted += "\\\""; break;
    case '\\': quoted += "\\\\"; break;
    case '\n': quoted += "\\n"; break;
    case '\r': quoted += "\\r"; break;
    case '\t': quoted += "\\t"; break;
    default:
      if (static_cast<unsigned char>(c) < 0x20)
      {
        char escaped[8];
        std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        quoted += escaped;
      }
      else
        quoted += c;
    }
  }
  return quoted + "\"";
}

void JsonWriter::NewLine()
{
  mText += '\n';
  mText.append(2 * mLevels.size(), ' ');
}

void JsonWriter::BeforeValue()
{
  if (mAfterKey)
  {
    mAfterKey = false;
    return;
  }
  if (mLevels.empty())
    return;
  if (!mLevels.back().mEmpty)
    mText += ',';
  mLevels.back().mEmpty = false;
  NewLine();
}

JsonWriter& JsonWriter::BeginObject()
{
  BeforeValue();
  mText += '{';
  mLevels.push_back({});
  return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
  BeforeValue();
  mText += '[';
  mLevels.push_back({});
  return *this;
}

void JsonWriter::Close(char bracket)
{
  const bool empty = mLevels.back().mEmpty;
  mLevels.pop_back();
  if (!empty)
    NewLine();
  mText += bracket;
}

JsonWriter& JsonWriter::EndObject()
{
  Close('}');
  return *this;
}

JsonWriter& JsonWriter::EndArray()
{
  Close(']');
  return *this;
}

JsonWriter& JsonWriter::Key(const std::string& key)
{
  BeforeValue();
  mText += JsonQuoted(key) + ": ";
  mAfterKey = true;
  return *this;
}

JsonWriter& JsonWriter::String(const std::string& value)
{
  BeforeValue();
  mText += JsonQuoted(value);
  return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
  BeforeValue();
  if (!std::isfinite(value))
  {
    mText += "null";
    return *this;
  }
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof(text), value);
  mText.append(text, ec == std::errc() ? end : text);
  return *this;
}

JsonWriter& JsonWriter::Integer(long long value)
{
  BeforeValue();
  mText += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
  BeforeValue();
  mText += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null()
{
  BeforeValue();
  mText += "null";
  return *this;
}

std::string JsonWriter::Text() const
{
  return mLevels.empty() ? mText + "\n" : mText;
}

} // namespace plughost
