#pragma once
#include "framework/Controls.h"

namespace kestrava {

// A static text that looks and behaves like a web link.
class CLinkLabel : public CStatic {};

}  // namespace kestrava
