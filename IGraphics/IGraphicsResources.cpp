// Bitmaps, fonts and vector images of the graphics context, and the shared caches.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IGraphics.h"

namespace iplug::igraphics {

namespace {

constexpr uint64_t kFNVOffsetBasis = 14695981039346656037ull;
constexpr uint64_t kFNVPrime = 1099511628211ull;
constexpr int kHighestImageScale = 3;
// "@2x" and the like add this many characters to a name
constexpr size_t kScaleSuffixLength = 3;

uint64_t FNV1a(const char* text)
{
  uint64_t hash = kFNVOffsetBasis;
  for (const char* p = text; *p; ++p)
  {
    hash ^= static_cast<unsigned char>(*p);
    hash *= kFNVPrime;
  }
  return hash;
}

// BG.png at scale 2 is BG@2x.png; the directory part of a path is kept
std::string ScaledResourceName(const char* name, int scale)
{
  const std::string full(name);
  const size_t dot = full.find_last_of('.');
  const size_t slash = full.find_last_of("/\\");
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExt ? full.substr(0, dot) : full;
  const std::string ext = hasExt ? full.substr(dot) : std::string();
  std::string scaled = stem + "@" + std::to_string(scale) + "x" + ext;
  scaled.resize(std::min(scaled.size(), full.size() + kScaleSuffixLength));
  return scaled;
}

const char* ExtensionOf(const char* name)
{
  const char* dot = std::strrchr(name, '.');
  return dot ? dot + 1 : "";
}

} // namespace

uint64_t CacheKey(const char* name, double scale)
{
  char suffix[32];
  std::snprintf(suffix, sizeof(suffix), "-%.1fx", scale);
  return FNV1a((std::string(name ? name : "") + suffix).c_str());
}

StaticStorage<APIBitmap>& BaseBitmapCache()
{
  static StaticStorage<APIBitmap> cache;
  return cache;
}

StaticStorage<SVGHolder>& SVGCache()
{
  static StaticStorage<SVGHolder> cache;
  return cache;
}

IBitmap::IBitmap(APIBitmap* apiBitmap, int numFrames, bool framesAreHorizontal, const char* name)
  : mAPIBitmap(apiBitmap), mN(std::max(numFrames, 1)), mFramesAreHorizontal(framesAreHorizontal),
    mResourceName(name ? name : "")
{
  if (apiBitmap)
  {
    const float scale = apiBitmap->GetScale() * apiBitmap->GetDrawScale();
    mW = static_cast<int>(static_cast<float>(apiBitmap->GetWidth()) / scale);
    mH = static_cast<int>(static_cast<float>(apiBitmap->GetHeight()) / scale);
  }
}

IFontData::IFontData(const void* data, int size, int faceIdx) : mFaceIdx(faceIdx)
{
  if (data && size > 0)
  {
    const auto* bytes = static_cast<const uint8_t*>(data);
    mBytes.assign(bytes, bytes + size);
  }
}

// --- bitmaps ---

std::vector<int> IGraphics::ImageScaleSearchOrder(int targetScale)
{
  std::vector<int> order;
  for (int s = targetScale; s > 0;)
  {
    order.push_back(s);
    if (s == targetScale)
      s = targetScale != kHighestImageScale ? kHighestImageScale : s - 1;
    else if (s == targetScale + 1)
      s = targetScale - 1;
    else
      s -= 1;
  }
  return order;
}

EResourceLocation IGraphics::SearchImageResource(const char* name, const char* ext, std::string& outPath,
                                                 int targetScale, int& outSourceScale)
{
  outSourceScale = 0;
  if (!name || !*name)
    return eNotFound;
  for (const int s : ImageScaleSearchOrder(targetScale))
  {
    const std::string candidate = s == 1 ? std::string(name) : ScaledResourceName(name, s);
    const EResourceLocation found = FindResourcePath(candidate.c_str(), ext, outPath, GetBundleID());
    if (found != eNotFound)
    {
      outSourceScale = s;
      return found;
    }
  }
  return eNotFound;
}

IBitmap IGraphics::LoadBitmap(const char* name, int numFrames, bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return {};
  if (targetScale == kDefaultBitmapScale)
    targetScale = static_cast<int>(std::ceil(mScreenScale));

  StaticStorage<APIBitmap>& cache = BaseBitmapCache();
  const auto lock = cache.Lock();
  APIBitmap* apiBitmap = cache.Find(name, targetScale);
  if (!apiBitmap)
  {
    const char* ext = ExtensionOf(name);
    std::string path;
    int sourceScale = 0;
    const EResourceLocation location = SearchImageResource(name, ext, path, targetScale, sourceScale);
    if (location == eNotFound || !BitmapExtSupported(ext))
      return {};
    apiBitmap = LoadAPIBitmap(path.c_str(), sourceScale, location, ext);
    if (!apiBitmap)
      return {};
    // cached under the scale it was found at, so another target scale looks again
    cache.Add(apiBitmap, name, sourceScale);
  }
  return IBitmap(apiBitmap, numFrames, framesAreHorizontal, name);
}

IBitmap IGraphics::GetScaledBitmap(const IBitmap& bitmap)
{
  return LoadBitmap(bitmap.GetResourceName(), bitmap.N(), bitmap.GetFramesAreHorizontal(),
                    static_cast<int>(std::ceil(mScreenScale)));
}

IBitmap IGraphics::ScaleBitmap(const IBitmap& bitmap, const char*, int targetScale)
{
  // film-strips come from resources, so another scale is another resource variant
  return LoadBitmap(bitmap.GetResourceName(), bitmap.N(), bitmap.GetFramesAreHorizontal(), targetScale);
}

void IGraphics::RetainBitmap(const IBitmap&, const char*) {}
void IGraphics::ReleaseBitmap(const IBitmap&) {}

void IGraphics::DrawBitmap(const IBitmap& bitmap, const IRect& dest, int frame, const IBlendInfo* blend)
{
  const int n = bitmap.N();
  int srcX = 0;
  int srcY = 0;
  if (n >= 2)
  {
    frame = std::clamp(frame, 1, n);
    if (frame >= 2)
    {
      if (bitmap.GetFramesAreHorizontal())
        srcX = (frame - 1) * bitmap.W() / n;
      else
        srcY = (frame - 1) * bitmap.H() / n;
    }
  }
  DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

// --- fonts ---

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID)
{
  const PlatformFontPtr font = LoadFontFromFile(fontID, fileNameOrResID);
  if (!font || !LoadAPIFont(fontID, font))
    return false;
  CacheFontHandle(fontID, font);
  return true;
}

bool IGraphics::LoadFont(const char* fontID, const void* data, int dataSize)
{
  const PlatformFontPtr font = LoadFontFromMemory(fontID, data, dataSize);
  if (!font || !LoadAPIFont(fontID, font))
    return false;
  CacheFontHandle(fontID, font);
  return true;
}

// --- text ---

float IGraphics::MeasureText(const ITextStyle& style, const char* text, IRect& bounds) const
{
  if (!text || !*text)
    return 0.f;
  return DoMeasureText(style, text, bounds);
}

void IGraphics::DrawText(const ITextStyle& style, const char* text, const IRect& bounds, const IBlendInfo* blend)
{
  if (text && *text)
    DoDrawText(style, text, bounds, blend);
}

// --- vector images: not drawn by this framework's editor ---

ISVG IGraphics::LoadSVG(const char*, const char*, float) { return {}; }
ISVG IGraphics::LoadSVGFromData(const void*, int, const char*, float) { return {}; }
ISVG IGraphics::LoadSVG(const char*, const void*, int, const char*, float) { return {}; }
void IGraphics::DrawSVG(const ISVG&, const IRect&, const IBlendInfo*) {}
void IGraphics::DrawRotatedSVG(const ISVG&, float, float, float, float, double, const IBlendInfo*) {}

} // namespace iplug::igraphics
