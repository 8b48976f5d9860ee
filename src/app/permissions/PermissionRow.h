#pragma once

// One permission in the permissions window: a status symbol, the title and
// its explanation, and at the end either "Granted" or the two buttons that
// ask for the permission and open the desktop's settings.

#include <functional>
#include <QWidget>

class QLabel;
class QPushButton;

namespace velloq {

class PermissionRow final : public QWidget {
public:
    static constexpr int symbolPoints = 20;

    PermissionRow(const QString& title, const QString& explanation, QWidget* parent = nullptr);

    void setGranted(bool granted);
    bool granted() const { return granted_; }

    std::function<void()> onRequest;
    std::function<void()> onOpenSettings;

    QPushButton* requestButton() const { return request_; }
    QPushButton* openSettingsButton() const { return openSettings_; }
    QLabel* grantedLabel() const { return grantedLabel_; }
    QLabel* symbol() const { return symbol_; }

private:
    void showState();

    bool granted_ = false;
    QLabel* symbol_ = nullptr;
    QLabel* grantedLabel_ = nullptr;
    QPushButton* request_ = nullptr;
    QPushButton* openSettings_ = nullptr;
};

} // namespace velloq
