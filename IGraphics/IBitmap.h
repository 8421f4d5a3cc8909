#pragma once
// Bitmap handles: the backend's image (APIBitmap, owned by a bitmap cache) and the
// copyable film-strip handle controls hold (IBitmap), plus the offscreen layer record.
#include <memory>
#include <string>

#include "IGraphicsStructs.h"

namespace iplug::igraphics {

// One image of the drawing backend; backends derive their own kind.
class APIBitmap
{
public:
  APIBitmap() = default;
  APIBitmap(int imageId, int width, int height, float scale, float drawScale)
    : mImageId(imageId), mWidth(width), mHeight(height), mScale(scale), mDrawScale(drawScale)
  {
  }
  virtual ~APIBitmap() = default;
  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;

  int GetImageId() const { return mImageId; }
  int GetWidth() const { return mWidth; }   // pixels
  int GetHeight() const { return mHeight; } // pixels
  float GetScale() const { return mScale; } // resource scale the pixels were made for
  float GetDrawScale() const { return mDrawScale; }

protected:
  int mImageId = 0;
  int mWidth = 0;
  int mHeight = 0;
  float mScale = 1.f;
  float mDrawScale = 1.f;
};

// A film-strip: numFrames frames stacked vertically or side by side. Sizes in editor units.
class IBitmap
{
public:
  IBitmap() = default;
  IBitmap(APIBitmap* apiBitmap, int numFrames, bool framesAreHorizontal, const char* name);

  APIBitmap* GetAPIBitmap() const { return mAPIBitmap; }
  int W() const { return mW; }
  int H() const { return mH; }
  int N() const { return mN; }
  bool GetFramesAreHorizontal() const { return mFramesAreHorizontal; }
  const char* GetResourceName() const { return mResourceName.c_str(); }
  // frame size: the strip divided along its frame direction
  int FW() const { return mFramesAreHorizontal ? mW / mN : mW; }
  int FH() const { return mFramesAreHorizontal ? mH : mH / mN; }
  float GetScale() const { return mAPIBitmap ? mAPIBitmap->GetScale() : 1.f; }
  float GetDrawScale() const { return mAPIBitmap ? mAPIBitmap->GetDrawScale() : 1.f; }
  bool IsValid() const { return mAPIBitmap != nullptr; }

private:
  APIBitmap* mAPIBitmap = nullptr; // not owned
  int mW = 0;
  int mH = 0;
  int mN = 1;
  bool mFramesAreHorizontal = false;
  std::string mResourceName;
};

// An offscreen drawing target and the editor area it covers.
class ILayer
{
public:
  ILayer(std::unique_ptr<APIBitmap> bitmap, const IRect& bounds) : mBitmap(std::move(bitmap)), mBounds(bounds) {}

  APIBitmap* GetAPIBitmap() const { return mBitmap.get(); }
  const IRect& Bounds() const { return mBounds; }

private:
  std::unique_ptr<APIBitmap> mBitmap;
  IRect mBounds;
};

using ILayerPtr = std::unique_ptr<ILayer>;

} // namespace iplug::igraphics
