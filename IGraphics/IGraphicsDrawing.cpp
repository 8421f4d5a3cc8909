// The drawing primitives of the graphics context, built on the backend's path operations.
#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace iplug::igraphics {

namespace {

// control-point distance of a cubic quarter ellipse
constexpr float kEllipseKappa = 0.5522847498f;
constexpr double kPi = 3.14159265358979323846;

// the primitives' common stroke: miter limit 10, butt caps, miter joins, path not kept
constexpr IStrokeOptions kPrimitiveStroke{};
constexpr IFillOptions kPrimitiveFill{};

} // namespace

// --- path helpers ---

void IGraphics::PathRect(const IRect& r)
{
  PathMoveTo(r.L, r.T);
  PathLineTo(r.R, r.T);
  PathLineTo(r.R, r.B);
  PathLineTo(r.L, r.B);
  PathClose();
}

void IGraphics::PathCircle(float cx, float cy, float r)
{
  PathArc(cx, cy, r, 0.f, 360.f);
  PathClose();
}

void IGraphics::PathTransformReset()
{
  mTransform = ITransform();
  mTransformStack.clear();
  PathTransformSetMatrix(mTransform);
}

namespace {

void PathRoundRect(IGraphics& g, const IRect& r, float tl, float tr, float br, float bl)
{
  g.PathArc(r.L + tl, r.T + tl, tl, 270.f, 360.f);
  g.PathArc(r.R - tr, r.T + tr, tr, 0.f, 90.f);
  g.PathArc(r.R - br, r.B - br, br, 90.f, 180.f);
  g.PathArc(r.L + bl, r.B - bl, bl, 180.f, 270.f);
  g.PathClose();
}

// an ellipse of radii r1, r2 around (x, y), turned clockwise by angle degrees
void PathEllipse(IGraphics& g, float x, float y, float r1, float r2, float angle)
{
  const double a = angle * kPi / 180.0;
  const float c = static_cast<float>(std::cos(a));
  const float s = static_cast<float>(std::sin(a));
  auto px = [&](float u, float v) { return x + u * c - v * s; };
  auto py = [&](float u, float v) { return y + u * s + v * c; };
  const float k1 = r1 * kEllipseKappa;
  const float k2 = r2 * kEllipseKappa;
  g.PathMoveTo(px(r1, 0.f), py(r1, 0.f));
  g.PathCubicTo(px(r1, k2), py(r1, k2), px(k1, r2), py(k1, r2), px(0.f, r2), py(0.f, r2));
  g.PathCubicTo(px(-k1, r2), py(-k1, r2), px(-r1, k2), py(-r1, k2), px(-r1, 0.f), py(-r1, 0.f));
  g.PathCubicTo(px(-r1, -k2), py(-r1, -k2), px(-k1, -r2), py(-k1, -r2), px(0.f, -r2), py(0.f, -r2));
  g.PathCubicTo(px(k1, -r2), py(k1, -r2), px(r1, -k2), py(r1, -k2), px(r1, 0.f), py(r1, 0.f));
  g.PathClose();
}

void PathPolygon(IGraphics& g, const float* x, const float* y, int n)
{
  if (n <= 0 || !x || !y)
    return;
  g.PathMoveTo(x[0], y[0]);
  for (int i = 1; i < n; ++i)
    g.PathLineTo(x[i], y[i]);
  g.PathClose();
}

} // namespace

// --- bitmaps under a transform ---

void IGraphics::DrawFittedBitmap(const IBitmap& bitmap, const IRect& bounds, const IBlendInfo* blend)
{
  if (bitmap.W() <= 0 || bitmap.H() <= 0)
    return;
  const ITransform saved = mTransform;
  mTransform.Translate(bounds.L, bounds.T).Scale(bounds.W() / static_cast<float>(bitmap.W()),
                                                  bounds.H() / static_cast<float>(bitmap.H()));
  PathTransformSetMatrix(mTransform);
  DrawBitmap(bitmap, IRect(0.f, 0.f, static_cast<float>(bitmap.W()), static_cast<float>(bitmap.H())), 0, 0, blend);
  mTransform = saved;
  PathTransformSetMatrix(mTransform);
}

void IGraphics::DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                                  const IBlendInfo* blend)
{
  const ITransform saved = mTransform;
  mTransform.Translate(destCentreX, destCentreY).Rotate(angle);
  PathTransformSetMatrix(mTransform);
  const float w = static_cast<float>(bitmap.W());
  const float h = static_cast<float>(bitmap.H());
  DrawBitmap(bitmap, IRect(-w / 2.f, -h / 2.f, w / 2.f, h / 2.f), 0, 0, blend);
  mTransform = saved;
  PathTransformSetMatrix(mTransform);
}

// --- strokes ---

void IGraphics::DrawPoint(const IColor& color, float x, float y, const IBlendInfo* blend)
{
  FillRect(color, IRect(x, y, x + 1.f, y + 1.f), blend);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendInfo* blend,
                         float thickness)
{
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendInfo* blend,
                               float thickness, float dashLen)
{
  const float length = std::hypot(x2 - x1, y2 - y1);
  if (!(dashLen > 0.f) || !(length > 0.f))
    return;
  const float ux = (x2 - x1) / length;
  const float uy = (y2 - y1) / length;
  for (float d = 0.f; d < length; d += 2.f * dashLen)
  {
    const float e = std::min(d + dashLen, length);
    PathMoveTo(x1 + ux * d, y1 + uy * d);
    PathLineTo(x1 + ux * e, y1 + uy * e);
  }
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlendInfo* blend, float thickness)
{
  const float x[] = {x1, x2, x3};
  const float y[] = {y1, y2, y3};
  DrawConvexPolygon(color, x, y, 3, blend, thickness);
}

void IGraphics::DrawRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend, float thickness)
{
  PathRect(bounds);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR, float cRBL,
                              const IBlendInfo* blend, float thickness)
{
  PathRoundRect(*this, bounds, cRTL, cRTR, cRBR, cRBL);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IRect& bounds, float cornerRadius, const IBlendInfo* blend,
                              float thickness)
{
  DrawRoundRect(color, bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius, blend, thickness);
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendInfo* blend,
                        float thickness)
{
  PathArc(cx, cy, r, a1, a2);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend, float thickness)
{
  PathCircle(cx, cy, r);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                            const IBlendInfo* blend, float thickness)
{
  PathEllipse(*this, x, y, r1, r2, angle);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend, float thickness)
{
  DrawEllipse(color, bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f, 0.f, blend, thickness);
}

void IGraphics::DrawConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                  const IBlendInfo* blend, float thickness)
{
  PathPolygon(*this, x, y, nPoints);
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawDottedRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend, float thickness,
                               float dashLen)
{
  const IRect& r = bounds;
  DrawDottedLine(color, r.L, r.T, r.R, r.T, blend, thickness, dashLen);
  DrawDottedLine(color, r.R, r.T, r.R, r.B, blend, thickness, dashLen);
  DrawDottedLine(color, r.R, r.B, r.L, r.B, blend, thickness, dashLen);
  DrawDottedLine(color, r.L, r.B, r.L, r.T, blend, thickness, dashLen);
}

void IGraphics::DrawGrid(const IColor& color, const IRect& bounds, float gridSizeH, float gridSizeV,
                         const IBlendInfo* blend, float thickness)
{
  if (gridSizeH > 0.f)
    for (float x = bounds.L + gridSizeH; x < bounds.R; x += gridSizeH)
      DrawLine(color, x, bounds.T, x, bounds.B, blend, thickness);
  if (gridSizeV > 0.f)
    for (float y = bounds.T + gridSizeV; y < bounds.B; y += gridSizeV)
      DrawLine(color, bounds.L, y, bounds.R, y, blend, thickness);
}

void IGraphics::DrawData(const IColor& color, const IRect& bounds, const float* normYPoints, int nPoints,
                         const float* normXPoints, const IBlendInfo* blend, float thickness)
{
  if (nPoints < 2 || !normYPoints)
    return;
  for (int i = 0; i < nPoints; ++i)
  {
    const float nx = normXPoints ? normXPoints[i] : static_cast<float>(i) / static_cast<float>(nPoints - 1);
    const float x = bounds.L + nx * bounds.W();
    const float y = bounds.B - normYPoints[i] * bounds.H();
    if (i == 0)
      PathMoveTo(x, y);
    else
      PathLineTo(x, y);
  }
  PathStroke(color, thickness, kPrimitiveStroke, blend);
}

void IGraphics::DrawFastDropShadow(const IRect& inner, const IRect&, float xyDrop, float roundness, float,
                                   const IBlendInfo* blend)
{
  FillRoundRect(kColorBlackDropShadow, inner.Translated(xyDrop, xyDrop), roundness, blend);
}

// --- fills ---

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlendInfo* blend)
{
  const float x[] = {x1, x2, x3};
  const float y[] = {y1, y2, y3};
  FillConvexPolygon(color, x, y, 3, blend);
}

void IGraphics::FillRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend)
{
  PathRect(bounds);
  PathFill(color, kPrimitiveFill, blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR, float cRBL,
                              const IBlendInfo* blend)
{
  PathRoundRect(*this, bounds, cRTL, cRTR, cRBR, cRBL);
  PathFill(color, kPrimitiveFill, blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRect& bounds, float cornerRadius, const IBlendInfo* blend)
{
  FillRoundRect(color, bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius, blend);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend)
{
  PathCircle(cx, cy, r);
  PathFill(color, kPrimitiveFill, blend);
}

void IGraphics::FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                            const IBlendInfo* blend)
{
  PathEllipse(*this, x, y, r1, r2, angle);
  PathFill(color, kPrimitiveFill, blend);
}

void IGraphics::FillEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend)
{
  FillEllipse(color, bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f, 0.f, blend);
}

void IGraphics::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendInfo* blend)
{
  PathMoveTo(cx, cy);
  PathArc(cx, cy, r, a1, a2);
  PathClose();
  PathFill(color, kPrimitiveFill, blend);
}

void IGraphics::FillConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                  const IBlendInfo* blend)
{
  PathPolygon(*this, x, y, nPoints);
  PathFill(color, kPrimitiveFill, blend);
}

} // namespace iplug::igraphics
