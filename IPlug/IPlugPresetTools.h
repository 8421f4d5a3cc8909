#pragma once
// Tools for plug-ins that define or change many parameters at once, and developer aids
// that append the current preset to a file as source lines (MakePreset,
// MakePresetFromNamedParams, MakePresetFromBlob). Ranges are inclusive; indices outside
// the parameter list are skipped. Definitions run at construction, the rest on the
// user-interface thread.
#include <functional>

#include "IPlugParameter.h"
#include "IPlugPluginBase.h"

namespace iplug {

using ParamVisitor = std::function<void(int paramIdx, IParam& param)>;

void ForParamsInRange(IEditorDelegate& plug, int first, int last, const ParamVisitor& func);
// every parameter whose group is exactly group, in index order
void ForParamsInGroup(IEditorDelegate& plug, const char* group, const ParamVisitor& func);

void ResetParamsToDefault(IEditorDelegate& plug);
void ResetParamsToDefault(IEditorDelegate& plug, int first, int last);
void ResetParamsToDefault(IEditorDelegate& plug, const char* group);

// each parameter to a random position from the C library generator (rand)
void RandomiseParams(IEditorDelegate& plug);
void RandomiseParams(IEditorDelegate& plug, int first, int last);
void RandomiseParams(IEditorDelegate& plug, const char* group);

// parameter destFirst + k takes the value of first + k; overlapping ranges copy as if via a buffer
void CopyParamValues(IEditorDelegate& plug, int first, int destFirst, int count);
// pairwise in index order, as many pairs as the smaller group has members
void CopyParamValues(IEditorDelegate& plug, const char* fromGroup, const char* toGroup);

// parameter destFirst + (i - first) is defined from parameter i (search -> replace in the
// name, newGroup unless empty) and takes its value
void CloneParamRange(IEditorDelegate& plug, int first, int last, int destFirst, const char* search,
                     const char* replace, const char* newGroup = "");

// nameFormat holds one integer conversion (e.g. "Gain %d"), given countStart + (i - first);
// returns false, defining nothing, for any other format
bool DefineParamRange(IEditorDelegate& plug, int first, int last, int countStart, const char* nameFormat,
                      double defaultVal, double minVal, double maxVal, double step, const char* label = "",
                      int flags = 0, const char* group = "", const Shape& shape = ShapeLinear(),
                      EParamUnitCode unit = eUnitCustom, IParam::Formatter formatter = nullptr);

// Source dumps: each appends its lines to the file at path; false (nothing written) when
// the file cannot be opened.
bool WritePresetSource(const IPluginBase& plug, const char* path);
// paramEnumNames holds one name per parameter
bool WriteNamedPresetSource(const IPluginBase& plug, const char* path, const char** paramEnumNames);
bool WritePresetBlobSource(const IPluginBase& plug, const char* path);

// the value as a MakePreset argument: "true"/"false", a whole number, or "%.6f"
void FormatPresetValue(const IParam& param, std::string& text);
// standard alphabet, padded with "="
void EncodeBase64(const uint8_t* data, int size, std::string& text);

} // namespace iplug
