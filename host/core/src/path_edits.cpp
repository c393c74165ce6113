// Breaking, lengthening, joining and stretching paths.
#include "orv/core/path_edits.h"

#include <algorithm>
#include <cmath>

namespace orv::core {

double spanLength(const Span& s) { return s.arc ? s.radius * std::abs(s.sweep) : distance(s.a, s.b); }

double pathLength(const Path& path) {
  double total = 0;
  for (const Span& s : path.spans) total += spanLength(s);
  return total;
}

Path reversed(const Path& path) {
  Path out;
  out.closed = path.closed;
  out.spans.reserve(path.spans.size());
  for (auto it = path.spans.rbegin(); it != path.spans.rend(); ++it) {
    Span s = *it;
    std::swap(s.a, s.b);
    std::swap(s.startWidth, s.endWidth);
    if (s.arc) {
      s.start += s.sweep;
      s.sweep = -s.sweep;
    }
    out.spans.push_back(s);
  }
  return out;
}

std::vector<Path> breakPath(const Path& path, double first, double second) {
  std::vector<Path> out;
  const double n = static_cast<double>(path.spans.size());
  auto keep = [&](Path p) {
    if (!p.spans.empty() && pathLength(p) > 0) out.push_back(std::move(p));
  };
  if (path.closed) {
    if (first == second) return out;
    keep(subPath(path, second, first));
    return out;
  }
  const double a = std::min(first, second), b = std::max(first, second);
  keep(subPath(path, 0, a));
  keep(subPath(path, b, n));
  return out;
}

std::optional<Path> lengthened(const Path& path, bool atEnd, double delta) {
  if (path.closed || path.spans.empty()) return std::nullopt;
  Path out = path;
  Span& s = atEnd ? out.spans.back() : out.spans.front();
  const double length = spanLength(s);
  if (!(length + delta > 1e-12 * std::max(1.0, length))) return std::nullopt;
  if (!s.arc) {
    const Vec2 d = (1 / length) * (s.b - s.a);
    if (atEnd) s.b = s.b + delta * d;
    else s.a = s.a - delta * d;
    return out;
  }
  const double turn = (s.sweep > 0 ? 1 : -1) * delta / s.radius;
  if (std::abs(s.sweep + turn) >= kTwoPi) return std::nullopt;
  const Span moved = atEnd ? Span::arcOf(s.center, s.radius, s.start, s.sweep + turn)
                           : Span::arcOf(s.center, s.radius, s.start - turn, s.sweep + turn);
  const Vec2 kept = atEnd ? s.a : s.b;
  const double w0 = s.startWidth, w1 = s.endWidth;
  s = moved;
  (atEnd ? s.a : s.b) = kept;
  s.startWidth = w0;
  s.endWidth = w1;
  return out;
}

bool joinPath(Path& chain, const Path& next, double tolerance) {
  if (chain.closed || next.closed || chain.spans.empty() || next.spans.empty()) return false;
  const Vec2 start = chain.spans.front().a, end = chain.spans.back().b;
  const Vec2 nextStart = next.spans.front().a, nextEnd = next.spans.back().b;
  auto append = [&](const Path& p) {
    Path q = p;
    q.spans.front().a = end;
    chain.spans.insert(chain.spans.end(), q.spans.begin(), q.spans.end());
  };
  auto prepend = [&](const Path& p) {
    Path q = p;
    q.spans.back().b = start;
    chain.spans.insert(chain.spans.begin(), q.spans.begin(), q.spans.end());
  };
  if (distance(end, nextStart) <= tolerance) append(next);
  else if (distance(end, nextEnd) <= tolerance) append(reversed(next));
  else if (distance(start, nextEnd) <= tolerance) prepend(next);
  else if (distance(start, nextStart) <= tolerance) prepend(reversed(next));
  else return false;
  if (distance(chain.spans.front().a, chain.spans.back().b) <= tolerance && chain.spans.size() > 1) {
    chain.spans.back().b = chain.spans.front().a;
    chain.closed = true;
  }
  return true;
}

Path stretched(const Path& path, const Box2& box, Vec2 by) {
  Path out = path;
  for (Span& s : out.spans) {
    const bool moveA = box.contains(s.a), moveB = box.contains(s.b);
    if (!moveA && !moveB) continue;
    const Vec2 a = moveA ? s.a + by : s.a, b = moveB ? s.b + by : s.b;
    if (!s.arc || (moveA && moveB)) {
      const double w0 = s.startWidth, w1 = s.endWidth;
      s = s.arc ? Span::arcOf(s.center + by, s.radius, s.start, s.sweep) : Span::line(a, b);
      if (s.arc) {
        s.a = a;
        s.b = b;
      }
      s.startWidth = w0;
      s.endWidth = w1;
      continue;
    }
    Span moved = Span::bulged(a, b, s.bulge());
    moved.startWidth = s.startWidth;
    moved.endWidth = s.endWidth;
    s = moved;
  }
  return out;
}

}  // namespace orv::core
