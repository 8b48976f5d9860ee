#include "platform/qt/QtSavePanel.h"

#include <QFile>
#include <QFileDialog>
#include <QMetaObject>

namespace velloq::platform {

std::optional<std::filesystem::path> QtSavePanel::run(const SaveRequest& request) {
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const auto extension = QString::fromStdString(request.extension);
    dialog.setNameFilter(QString::fromStdString(request.typeName) + " (*." + extension + ")");
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(QString::fromStdString(request.suggestedName));
    // Velloq has no window of its own in front: bring the panel there once it shows.
    QMetaObject::invokeMethod(
        &dialog,
        [&dialog] {
            dialog.raise();
            dialog.activateWindow();
        },
        Qt::QueuedConnection);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(
        QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
}

} // namespace velloq::platform
