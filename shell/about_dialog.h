// The About box: the product's name, what it does, and OK.
#pragma once

class QWidget;

namespace kinolux {

void RunAboutDialog(QWidget* parent);

}  // namespace kinolux
