// Screen readers name a button by its text; a picture button has none, so
// its tooltip names it instead.
#pragma once

class QAbstractButton;

namespace kinolux {

void NameTextlessButtonByTooltip(QAbstractButton& button);

}  // namespace kinolux
