// The published properties of the layer's look objects, so that a form reaches them through
// the control or component that owns them ("FillObject.Brush.Color", "Font3D.Style",
// "Region.Mask.BorderUpBmp"), and the registration of every class a form may hold.
#pragma once

#include <initializer_list>

#include "platform/vcl/component.h"

// An enumeration read by name (or by number, checked against the number of names).
int StyEnumIdent(const TDfmValue& v, std::initializer_list<const char*> names);
// A set read as bits: each member's position among `names`.
unsigned StySetBits(const TDfmValue& v, std::initializer_list<const char*> names);

void RegisterStyLookObjects();
// Every class of the layer that a form file may hold, with its published properties.
void RegisterStyledClasses();
