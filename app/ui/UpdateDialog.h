#pragma once

#include "app/core/Updater.h"

#include <QAction>
#include <QMessageBox>

namespace Tessivo {

// The outcome of a check the user asked for: "You're up to date", the newer
// version with its notes and a button that opens its download page, or the
// error.
QMessageBox* makeUpdateResultDialog(const UpdateCheckResult& result, const QString& currentVersion, QWidget* parent);

// "Check for Updates…": enabled exactly while the updater may start a check;
// shows the result when the check ends. Disabled for good when the build set
// no feed address.
void connectCheckForUpdates(QAction& action, Updater& updater, QWidget* window);

} // namespace Tessivo
