#include "app/SceneWindows.h"

#include "app/permissions/PermissionsView.h"
#include "app/settings/SettingsView.h"

namespace velloq {
namespace {

struct Scene {
    std::string_view id;
    const char* title;
    QSize size;
    QWidget* (*makeView)(); // null: an empty frame of `size`
};

// Each view sizes itself; a scene without one opens as an empty frame of
// `size`.
constexpr Scene scenes[] = {
    {"permissions", "Velloq Permissions", QSize(440, 360), makePermissionsView},
    {"settings", "Velloq Settings", SettingsView::contentSize,
     []() -> QWidget* { return new SettingsView(); }},
};

} // namespace

QWidget* SceneWindows::find(std::string_view id) const {
    auto found = windows_.find(id);
    return found != windows_.end() ? found->second.data() : nullptr;
}

QWidget* SceneWindows::open(std::string_view id) {
    QWidget* window = find(id);
    if (window == nullptr) {
        const Scene* scene = nullptr;
        for (const auto& candidate : scenes) {
            if (candidate.id == id) {
                scene = &candidate;
            }
        }
        if (scene == nullptr) {
            return nullptr;
        }
        if (scene->makeView != nullptr) {
            window = scene->makeView(); // sizes itself to its content
        } else {
            window = new QWidget();
            window->setFixedSize(scene->size);
        }
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QString::fromUtf8(scene->title));
        windows_[std::string(id)] = window;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace velloq
