#include "ui/framework/StackLayout.h"

#include <algorithm>

#include "ui/framework/Container.h"

namespace SkinUI {
namespace {

// A child's wishes along (main) and across (cross) the stacking axis.
struct Along {
  int fixed, minimum, maximum, lead, trail;
};

Along MainOf(const CControlUI& c, StackAxis axis) {
  const Rect& p = c.GetPadding();
  if (axis == StackAxis::Vertical) return {c.GetFixedHeight(), c.GetMinHeight(), c.GetMaxHeight(), p.top, p.bottom};
  return {c.GetFixedWidth(), c.GetMinWidth(), c.GetMaxWidth(), p.left, p.right};
}

Along CrossOf(const CControlUI& c, StackAxis axis) {
  const Rect& p = c.GetPadding();
  if (axis == StackAxis::Vertical) return {c.GetFixedWidth(), c.GetMinWidth(), c.GetMaxWidth(), p.left, p.right};
  return {c.GetFixedHeight(), c.GetMinHeight(), c.GetMaxHeight(), p.top, p.bottom};
}

}  // namespace

void StackChildren(CContainerUI& container, const Rect& rc, StackAxis axis) {
  const bool vertical = axis == StackAxis::Vertical;
  const int mainStart = vertical ? rc.top : rc.left;
  const int mainLength = vertical ? rc.Height() : rc.Width();
  const int crossStart = vertical ? rc.left : rc.top;
  const int crossLength = vertical ? rc.Width() : rc.Height();

  int used = 0;
  int flexible = 0;
  for (int i = 0; i < container.GetCount(); ++i) {
    const CControlUI& c = *container.GetItemAt(i);
    if (!c.IsVisible()) continue;
    const Along m = MainOf(c, axis);
    used += m.lead + m.trail;
    if (m.fixed > 0) {
      used += BoundExtent(m.fixed, m.minimum, m.maximum);
    } else {
      ++flexible;
    }
  }
  const int remaining = std::max(0, mainLength - used);
  const int share = flexible > 0 ? remaining / flexible : 0;

  int cursor = mainStart;
  int flexSeen = 0;
  int flexUsed = 0;
  for (int i = 0; i < container.GetCount(); ++i) {
    CControlUI& c = *container.GetItemAt(i);
    if (!c.IsVisible()) continue;
    const Along m = MainOf(c, axis);
    int extent;
    if (m.fixed > 0) {
      extent = BoundExtent(m.fixed, m.minimum, m.maximum);
    } else {
      ++flexSeen;
      extent = BoundExtent(flexSeen == flexible ? remaining - flexUsed : share, m.minimum, m.maximum);
      flexUsed += extent;
    }
    cursor += m.lead;
    const Along x = CrossOf(c, axis);
    const int crossAvailable = std::max(0, crossLength - x.lead - x.trail);
    const int crossExtent = x.fixed > 0 ? std::min(BoundExtent(x.fixed, x.minimum, x.maximum), crossAvailable)
                                        : BoundExtent(crossAvailable, 0, x.maximum);
    const int crossPos = crossStart + x.lead;
    if (vertical) {
      c.SetPos({crossPos, cursor, crossPos + crossExtent, cursor + extent});
    } else {
      c.SetPos({cursor, crossPos, cursor + extent, crossPos + crossExtent});
    }
    cursor += extent + m.trail;
  }
}

}  // namespace SkinUI
