#include "app/ui/UpdateDialog.h"

#include "app/core/BuildConfig.h"
#include "app/ui/Alerts.h"

#include <QDesktopServices>
#include <QPushButton>

namespace Tessivo {

QMessageBox* makeUpdateResultDialog(const UpdateCheckResult& result, const QString& currentVersion, QWidget* parent) {
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("Software Update"));
    box->setTextFormat(Qt::PlainText);
    switch (result.kind) {
    case UpdateCheckResult::Kind::upToDate:
        box->setIcon(QMessageBox::Information);
        box->setText(QStringLiteral("You're up to date"));
        box->setInformativeText(QStringLiteral("Tessivo %1 is the newest version available.").arg(currentVersion));
        box->addButton(QMessageBox::Ok);
        break;
    case UpdateCheckResult::Kind::updateAvailable: {
        box->setIcon(QMessageBox::Information);
        box->setText(QStringLiteral("A new version of Tessivo is available"));
        box->setInformativeText(
            QStringLiteral("Tessivo %1 is available; you have %2.").arg(result.newest.version, currentVersion));
        // The notes come from the network: shown as plain text.
        if (!result.newest.notes.isEmpty()) box->setDetailedText(result.newest.notes);
        QPushButton* download = box->addButton(QStringLiteral("Open Download Page"), QMessageBox::AcceptRole);
        box->addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
        box->setDefaultButton(download);
        const QUrl page = result.newest.downloadPage;
        QObject::connect(download, &QPushButton::clicked, box, [page] { QDesktopServices::openUrl(page); });
        break;
    }
    case UpdateCheckResult::Kind::error:
        box->setIcon(QMessageBox::Warning);
        box->setText(QStringLiteral("Update check failed"));
        box->setInformativeText(result.errorMessage);
        box->addButton(QMessageBox::Ok);
        break;
    }
    ui::giveAlertWidth(*box);
    return box;
}

void connectCheckForUpdates(QAction& action, Updater& updater, QWidget* window) {
    action.setEnabled(updater.canCheckForUpdates());
    QObject::connect(&updater, &Updater::canCheckForUpdatesChanged, &action, &QAction::setEnabled);
    QObject::connect(&action, &QAction::triggered, &updater, &Updater::checkForUpdates);
    QObject::connect(&updater, &Updater::checkFinished, &action, [window](const UpdateCheckResult& result) {
        makeUpdateResultDialog(result, QString::fromLatin1(kApplicationVersion), window)->open();
    });
}

} // namespace Tessivo
