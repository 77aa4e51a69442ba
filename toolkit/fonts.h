// SPDX-License-Identifier: MIT
// Font faces: the Windows face names of the window definitions, and the
// system's default GUI font, mapped onto faces installed here.
#pragma once

#include <QFont>

#include "toolkit/definition.h"

namespace toolkit {

// Registers the face substitutions and sets the default GUI font as the
// application font. Call once after the application object exists.
void installFonts();
// The QFont for a stored font; the default GUI font when none is stored.
QFont fontFor(const Font& font);

}  // namespace toolkit
