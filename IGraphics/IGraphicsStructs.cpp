#include "IGraphicsStructs.h"

#include <array>
#include <cstddef>

namespace iplug::igraphics {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Touching or overlapping ranges [a0, a1] and [b0, b1].
bool RangesTouch(float a0, float a1, float b0, float b1)
{
  return (a0 >= b0 && a0 <= b1) || (b0 >= a0 && b0 <= a1);
}

// Their union covers exactly the points of the two.
bool Mergeable(const IRect& a, const IRect& b)
{
  if (a.Empty() || b.Empty())
    return true;
  if (a.L == b.L && a.R == b.R && RangesTouch(a.T, a.B, b.T, b.B))
    return true;
  return a.T == b.T && a.B == b.B && RangesTouch(a.L, a.R, b.L, b.R);
}

// A zero-width or zero-height overlap holds no point under the half-open rule.
bool HasArea(const IRect& r)
{
  return r.W() > 0.f && r.H() > 0.f;
}

struct Remainder
{
  std::array<IRect, 4> pieces;
  int count = 0;
};

// r minus x (x lies inside r) as disjoint pieces. The first piece takes r's place, so the
// usual cases (x across a whole side, or at a corner) cut r into its one or two leftovers:
// below x, else right of x, else left of x, else above x; the others are appended.
Remainder Subtract(const IRect& r, const IRect& x)
{
  const IRect below{r.L, x.B, r.R, r.B};
  const IRect right{x.R, x.T, r.R, x.B};
  const IRect left{r.L, x.T, x.L, x.B};
  const IRect above{r.L, r.T, r.R, x.T};
  const std::array<std::pair<bool, IRect>, 4> byPriority{{
    {x.B < r.B, below},
    {x.R < r.R, right},
    {x.L > r.L, left},
    {x.T > r.T, above},
  }};
  Remainder result;
  for (const auto& [present, piece] : byPriority)
    if (present)
      result.pieces[static_cast<std::size_t>(result.count++)] = piece;
  return result;
}

class Optimizer
{
public:
  explicit Optimizer(std::vector<IRect>& rects) : mRects(rects) {}

  void RemoveOverlaps()
  {
    for (std::size_t i = 0; i < mRects.size(); ++i)
    {
      std::size_t j = i + 1;
      while (j < mRects.size())
        j = Visit(i, j);
    }
  }

  void MergeNeighbours()
  {
    while (MergeFirstPair())
    {
    }
  }

private:
  // Handles the pair (i, j) and returns the next j to look at.
  std::size_t Visit(std::size_t i, std::size_t j)
  {
    if (mRects[i].Contains(mRects[j]))
    {
      Erase(j);
      return j;
    }
    if (mRects[j].Contains(mRects[i]))
    {
      Erase(i);
      return i + 1;
    }
    if (mRects[i].Intersects(mRects[j]))
    {
      const IRect x = mRects[i].Intersect(mRects[j]);
      if (HasArea(x))
        Cut(ChooseVictim(i, j, x), x);
    }
    return j + 1;
  }

  std::size_t ChooseVictim(std::size_t i, std::size_t j, const IRect& x) const
  {
    if (Mergeable(mRects[i], x))
      return i;
    if (Mergeable(mRects[j], x))
      return j;
    return mRects[i].Area() < mRects[j].Area() ? i : j;
  }

  void Cut(std::size_t victim, const IRect& x)
  {
    const Remainder rest = Subtract(mRects[victim], x);
    mRects[victim] = rest.pieces[0];
    for (int k = 1; k < rest.count; ++k)
      mRects.push_back(rest.pieces[static_cast<std::size_t>(k)]);
  }

  bool MergeFirstPair()
  {
    for (std::size_t i = 0; i < mRects.size(); ++i)
      for (std::size_t j = i + 1; j < mRects.size(); ++j)
        if (Mergeable(mRects[i], mRects[j]))
        {
          mRects[j] = mRects[i].Union(mRects[j]);
          Erase(i);
          return true;
        }
    return false;
  }

  void Erase(std::size_t index) { mRects.erase(mRects.begin() + static_cast<std::ptrdiff_t>(index)); }

  std::vector<IRect>& mRects;
};

} // namespace

const IRect& IRectList::Get(int i) const
{
  static constexpr IRect kNone{};
  if (i < 0 || i >= Size())
    return kNone;
  return mRects[static_cast<std::size_t>(i)];
}

IRect IRectList::Bounds() const
{
  IRect bounds;
  for (const IRect& r : mRects)
    bounds = bounds.Union(r);
  return bounds;
}

void IRectList::PixelAlign(float scale)
{
  for (IRect& r : mRects)
    r = r.PixelAligned(scale);
}

void IRectList::Optimize()
{
  Optimizer optimizer(mRects);
  optimizer.RemoveOverlaps();
  optimizer.MergeNeighbours();
}

IColor IColor::Interpolated(const IColor& a, const IColor& b, float t)
{
  const float k = std::clamp(t, 0.f, 1.f);
  const auto mix = [k](int32_t from, int32_t to) {
    return static_cast<int32_t>(std::lround(static_cast<float>(from) + static_cast<float>(to - from) * k));
  };
  return {mix(a.A, b.A), mix(a.R, b.R), mix(a.G, b.G), mix(a.B, b.B)};
}

ITransform& ITransform::Transform(const ITransform& inner)
{
  const ITransform outer = *this;
  xx = outer.xx * inner.xx + outer.xy * inner.yx;
  yx = outer.yx * inner.xx + outer.yy * inner.yx;
  xy = outer.xx * inner.xy + outer.xy * inner.yy;
  yy = outer.yx * inner.xy + outer.yy * inner.yy;
  tx = outer.xx * inner.tx + outer.xy * inner.ty + outer.tx;
  ty = outer.yx * inner.tx + outer.yy * inner.ty + outer.ty;
  return *this;
}

ITransform& ITransform::Rotate(double degrees)
{
  const double radians = degrees * kPi / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  return Transform({c, s, -s, c, 0.0, 0.0});
}

void ITransform::TransformPoint(double& x, double& y) const
{
  const double px = x;
  const double py = y;
  x = xx * px + xy * py + tx;
  y = yx * px + yy * py + ty;
}

bool ITransform::Invert()
{
  const double det = xx * yy - xy * yx;
  if (det == 0.0 || !std::isfinite(det))
    return false;
  const double inv = 1.0 / det;
  const ITransform m = *this;
  xx = m.yy * inv;
  yx = -m.yx * inv;
  xy = -m.xy * inv;
  yy = m.xx * inv;
  tx = (m.xy * m.ty - m.yy * m.tx) * inv;
  ty = (m.yx * m.tx - m.xx * m.ty) * inv;
  return true;
}

} // namespace iplug::igraphics
