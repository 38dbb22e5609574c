#include "app/ui/Alerts.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include <algorithm>

namespace Tessivo::ui {

namespace {
constexpr int minimumAlertWidth = 380;
// Room a window manager takes from the title bar for its buttons.
constexpr int titleBarButtons = 160;
} // namespace

void giveAlertWidth(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const int titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle());
    const int width = std::max(minimumAlertWidth, titleWidth + titleBarButtons);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace Tessivo::ui
