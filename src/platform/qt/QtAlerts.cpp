#include "platform/qt/QtAlerts.h"

#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace velloq::platform {

std::size_t QtAlerts::run(const AlertRequest& request) {
    QMessageBox box;
    box.setWindowTitle("Velloq");
    box.setIcon(request.style == AlertStyle::informational ? QMessageBox::Information
                : request.style == AlertStyle::warning     ? QMessageBox::Warning
                                                           : QMessageBox::Critical);
    box.setText(QString::fromStdString(request.message));
    box.setInformativeText(QString::fromStdString(request.informativeText));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    std::vector<QPushButton*> buttons;
    // The first button is the default; the box lays buttons out by role, so
    // roles are given in reading order.
    for (std::size_t i = 0; i < request.buttons.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        buttons.push_back(box.addButton(QString::fromStdString(request.buttons[i]), role));
    }
    if (buttons.empty()) {
        buttons.push_back(box.addButton(QMessageBox::Ok));
    }
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.back());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return i;
        }
    }
    return buttons.size() - 1;
}

} // namespace velloq::platform
