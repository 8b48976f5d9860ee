#include "app/SceneWindows.h"

#include "app/settings/SettingsView.h"

namespace velloq {
namespace {

struct Scene {
    std::string_view id;
    const char* title;
    QSize size;
    QWidget* (*make)() = nullptr; // the window's view; none: an empty frame
};

// The content of each window arrives with its own view; until then the
// window is an empty frame of the size its view will take.
constexpr Scene scenes[] = {
    {"permissions", "Velloq Permissions", QSize(440, 360)},
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
        window = scene->make != nullptr ? scene->make() : new QWidget();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QString::fromUtf8(scene->title));
        window->setFixedSize(scene->size);
        windows_[std::string(id)] = window;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace velloq
