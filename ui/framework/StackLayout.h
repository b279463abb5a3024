// The stacking rule shared by the vertical and horizontal layouts.
#pragma once

#include "ui/framework/Geometry.h"

namespace SkinUI {

class CContainerUI;

enum class StackAxis { Vertical, Horizontal };

// Children with a fixed extent along the axis get it; the rest share what is
// left equally, the last flexible child taking the remainder of the division;
// min and max bound each extent. Across the axis a child fills the container
// unless it has a fixed extent, which is capped at the space there is and
// placed at the leading edge. Padding is an outer margin; hidden children
// take no space.
void StackChildren(CContainerUI& container, const Rect& rc, StackAxis axis);

}  // namespace SkinUI
