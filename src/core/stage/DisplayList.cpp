#include "stage/DisplayList.h"

#include <algorithm>

namespace shiori::stage {

bool Box::Intersects(const Box& other) const { return !Intersected(other).empty(); }

Box Box::Intersected(const Box& other) const {
  const float left = std::max(x, other.x);
  const float top = std::max(y, other.y);
  const float r = std::min(right(), other.right());
  const float b = std::min(bottom(), other.bottom());
  if (r <= left || b <= top) return {};
  return {left, top, r - left, b - top};
}

Box Box::United(const Box& other) const {
  if (other.empty()) return *this;
  if (empty()) return other;
  const float left = std::min(x, other.x);
  const float top = std::min(y, other.y);
  return {left, top, std::max(right(), other.right()) - left, std::max(bottom(), other.bottom()) - top};
}

}  // namespace shiori::stage
