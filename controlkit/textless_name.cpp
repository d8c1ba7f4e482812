#include "controlkit/textless_name.h"

#include <QAbstractButton>

namespace kinolux {

void NameTextlessButtonByTooltip(QAbstractButton& button)
{
    if (button.text().isEmpty()) button.setAccessibleName(button.toolTip());
}

}  // namespace kinolux
