#pragma once

// The permissions window: the three capabilities with their state and, for
// each one missing, a button that checks again and one that opens the
// desktop's settings (or says in a banner how to grant it where the desktop
// has no such page). It re-reads the flags each time it is shown and follows
// every change of the model.

#include "app/permissions/Permission.h"

#include <array>
#include <QWidget>

class QLabel;

namespace velloq {

class PermissionRow;
class PermissionsModel;

class PermissionsView final : public QWidget {
public:
    static constexpr int viewWidth = 440;

    PermissionsView(PermissionsModel& model, OpenPermissionSettings openSettings,
                    QWidget* parent = nullptr);

    PermissionRow* row(Permission permission) const { return rows_.at(index(permission)); }
    // The sentence shown after "Open Settings" found no settings page; hidden until then.
    QLabel* banner() const { return banner_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    static std::size_t index(Permission permission) { return static_cast<std::size_t>(permission); }
    void request(Permission permission);
    void openSettingsFor(Permission permission);
    void showFlags();
    void fitHeight();

    PermissionsModel& model_;
    OpenPermissionSettings openSettings_;
    std::array<PermissionRow*, 3> rows_{};
    QLabel* banner_ = nullptr;
};

// The view of the shared model with the desktop's settings openers, as the
// "permissions" window shows it.
QWidget* makePermissionsView();

} // namespace velloq
