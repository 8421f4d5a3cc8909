#include "IPlugPresetTools.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "IPlugUtilities.h"

namespace iplug {

namespace {

constexpr int kRandomSteps = 32768; // positions 0..32767 of 32768
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kBase64Pad = '=';
// a value in generated source is never cut: a shortened number would be a different value
constexpr size_t kWholeText = std::string::npos;

template <typename Visit>
void ForIndicesInRange(const IEditorDelegate& plug, int first, int last, Visit visit)
{
  const int from = std::max(first, 0);
  const int to = std::min(last, plug.NParams() - 1);
  for (int i = from; i <= to; ++i)
    visit(i);
}

std::vector<int> IndicesInGroup(const IEditorDelegate& plug, const char* group)
{
  std::vector<int> indices;
  if (!group)
    return indices;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    if (std::strcmp(plug.GetParam(i)->Group(), group) == 0)
      indices.push_back(i);
  }
  return indices;
}

void Randomise(IParam& param)
{
  param.SetFromNormalized(static_cast<double>(std::rand() % kRandomSteps) / kRandomSteps);
}

// Source indices first, destinations second; every pair's value is read before any is written,
// so overlapping ranges copy what was there before.
void CopyPairs(IEditorDelegate& plug, const std::vector<std::pair<int, int>>& pairs)
{
  std::vector<double> values;
  values.reserve(pairs.size());
  for (const auto& [from, to] : pairs)
    values.push_back(plug.GetParam(from)->RealValue());
  for (size_t k = 0; k < pairs.size(); ++k)
    plug.GetParam(pairs[k].second)->SetRealValue(values[k]);
}

// exactly one conversion of an int argument (flags, width and precision allowed), "%%" aside
bool IsSingleIntFormat(const char* format)
{
  if (!format)
    return false;
  int conversions = 0;
  for (const char* c = format; *c != '\0'; ++c)
  {
    if (*c != '%')
      continue;
    if (*++c == '%')
      continue;
    c += std::strspn(c, "-+ #0");
    c += std::strspn(c, "0123456789");
    if (*c == '.')
      c += 1 + std::strspn(c + 1, "0123456789");
    if (*c == '\0' || !std::strchr("diouxX", *c))
      return false;
    ++conversions;
  }
  return conversions == 1;
}

// the text as it must appear between the quotes of a C string literal
void AppendEscaped(std::string& out, const char* text)
{
  for (const char* c = text; *c != '\0'; ++c)
  {
    if (*c == '"' || *c == '\\')
      out.push_back('\\');
    if (*c == '\n')
      out += "\\n";
    else
      out.push_back(*c);
  }
}

const char* CurrentPresetName(const IPluginBase& plug)
{
  return plug.GetPresetName(plug.GetCurrentPresetIdx());
}

bool AppendToFile(const char* path, const std::string& text)
{
  if (!path || path[0] == '\0')
    return false;
  std::ofstream file(path, std::ios::app);
  if (!file.is_open())
    return false;
  file << text;
  return static_cast<bool>(file);
}

} // namespace

void ForParamsInRange(IEditorDelegate& plug, int first, int last, const ParamVisitor& func)
{
  ForIndicesInRange(plug, first, last, [&](int i) { func(i, *plug.GetParam(i)); });
}

void ForParamsInGroup(IEditorDelegate& plug, const char* group, const ParamVisitor& func)
{
  for (int i : IndicesInGroup(plug, group))
    func(i, *plug.GetParam(i));
}

void ResetParamsToDefault(IEditorDelegate& plug)
{
  ResetParamsToDefault(plug, 0, plug.NParams() - 1);
}

void ResetParamsToDefault(IEditorDelegate& plug, int first, int last)
{
  ForParamsInRange(plug, first, last, [](int, IParam& param) { param.ResetToDefault(); });
}

void ResetParamsToDefault(IEditorDelegate& plug, const char* group)
{
  ForParamsInGroup(plug, group, [](int, IParam& param) { param.ResetToDefault(); });
}

void RandomiseParams(IEditorDelegate& plug)
{
  RandomiseParams(plug, 0, plug.NParams() - 1);
}

void RandomiseParams(IEditorDelegate& plug, int first, int last)
{
  ForParamsInRange(plug, first, last, [](int, IParam& param) { Randomise(param); });
}

void RandomiseParams(IEditorDelegate& plug, const char* group)
{
  ForParamsInGroup(plug, group, [](int, IParam& param) { Randomise(param); });
}

void CopyParamValues(IEditorDelegate& plug, int first, int destFirst, int count)
{
  std::vector<std::pair<int, int>> pairs;
  for (int k = 0; k < count; ++k)
  {
    const int64_t from = static_cast<int64_t>(first) + k;
    const int64_t to = static_cast<int64_t>(destFirst) + k;
    if (from >= 0 && from < plug.NParams() && to >= 0 && to < plug.NParams())
      pairs.emplace_back(static_cast<int>(from), static_cast<int>(to));
  }
  CopyPairs(plug, pairs);
}

void CopyParamValues(IEditorDelegate& plug, const char* fromGroup, const char* toGroup)
{
  const std::vector<int> from = IndicesInGroup(plug, fromGroup);
  const std::vector<int> to = IndicesInGroup(plug, toGroup);
  std::vector<std::pair<int, int>> pairs;
  for (size_t k = 0; k < std::min(from.size(), to.size()); ++k)
    pairs.emplace_back(from[k], to[k]);
  CopyPairs(plug, pairs);
}

void CloneParamRange(IEditorDelegate& plug, int first, int last, int destFirst, const char* search,
                     const char* replace, const char* newGroup)
{
  std::vector<std::pair<int, int>> pairs;
  ForIndicesInRange(plug, first, last, [&](int i) {
    const int64_t to = static_cast<int64_t>(destFirst) + (i - first);
    if (to >= 0 && to < plug.NParams())
      pairs.emplace_back(i, static_cast<int>(to));
  });
  // a range cloned onto a later part of itself is cloned from the end, so no source is
  // overwritten before it has been read
  if (destFirst > first)
    std::reverse(pairs.begin(), pairs.end());
  for (const auto& [from, to] : pairs)
  {
    const IParam& source = *plug.GetParam(from);
    IParam& dest = *plug.GetParam(to);
    dest.DefineFrom(source, search, replace, newGroup);
    dest.SetRealValue(source.RealValue());
  }
}

bool DefineParamRange(IEditorDelegate& plug, int first, int last, int countStart, const char* nameFormat,
                      double defaultVal, double minVal, double maxVal, double step, const char* label, int flags,
                      const char* group, const Shape& shape, EParamUnitCode unit, IParam::Formatter formatter)
{
  if (!IsSingleIntFormat(nameFormat))
    return false;
  ForIndicesInRange(plug, first, last, [&](int i) {
    char name[kMaxParamTextLen + 1];
    std::snprintf(name, sizeof(name), nameFormat, countStart + (i - first));
    plug.GetParam(i)->DefineContinuous(name, defaultVal, minVal, maxVal, step, label, flags, group, shape, unit,
                                       formatter);
  });
  return true;
}

// --- source dumps -------------------------------------------------------------------

void FormatPresetValue(const IParam& param, std::string& text)
{
  const double v = param.RealValue();
  text.clear();
  switch (param.GetKind())
  {
    case eKindBool:
      text = v >= 0.5 ? "true" : "false";
      break;
    case eKindInt:
    case eKindEnum:
    {
      const double whole = std::isnan(v) ? 0.0 : std::clamp(std::trunc(v), double(INT_MIN), double(INT_MAX));
      AppendFormat(text, kWholeText, "%d", static_cast<int>(whole));
      break;
    }
    default:
      AppendFormat(text, kWholeText, "%.6f", v);
      break;
  }
}

void EncodeBase64(const uint8_t* data, int size, std::string& text)
{
  text.clear();
  if (!data || size <= 0)
    return;
  text.reserve(static_cast<size_t>(size + 2) / 3 * 4);
  for (int i = 0; i < size; i += 3)
  {
    const int n = std::min(3, size - i);
    uint32_t bits = static_cast<uint32_t>(data[i]) << 16;
    if (n > 1)
      bits |= static_cast<uint32_t>(data[i + 1]) << 8;
    if (n > 2)
      bits |= data[i + 2];
    for (int k = 0; k < 4; ++k)
      text.push_back(k <= n ? kBase64Alphabet[(bits >> (18 - 6 * k)) & 0x3F] : kBase64Pad);
  }
}

bool WritePresetSource(const IPluginBase& plug, const char* path)
{
  std::string text = "MakePreset(\"";
  AppendEscaped(text, CurrentPresetName(plug));
  text += "\"";
  std::string value;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    FormatPresetValue(*plug.GetParam(i), value);
    text += ", " + value;
  }
  text += ");\n";
  return AppendToFile(path, text);
}

bool WriteNamedPresetSource(const IPluginBase& plug, const char* path, const char** paramEnumNames)
{
  if (!paramEnumNames)
    return false;
  std::string text = "  MakePresetFromNamedParams(\"";
  AppendEscaped(text, CurrentPresetName(plug));
  text += "\", " + std::to_string(plug.NParams());
  std::string value;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    FormatPresetValue(*plug.GetParam(i), value);
    const char* name = paramEnumNames[i] ? paramEnumNames[i] : "";
    text += ",\n    " + std::string(name) + ", " + value;
  }
  text += ");\n";
  return AppendToFile(path, text);
}

bool WritePresetBlobSource(const IPluginBase& plug, const char* path)
{
  const IPresetEntry* preset = plug.GetPreset(plug.GetCurrentPresetIdx());
  const int size = preset ? preset->mChunk.Size() : 0;
  std::string base64;
  if (preset)
    EncodeBase64(preset->mChunk.Data(), size, base64);

  std::string text = "MakePresetFromBlob(\"";
  AppendEscaped(text, CurrentPresetName(plug));
  text += "\", \"" + base64 + "\", " + std::to_string(size) + ");\n";
  return AppendToFile(path, text);
}

} // namespace iplug
