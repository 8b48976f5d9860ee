#pragma once

// Stand-ins for the desktop services floating panels and their actions use.

#include "platform/Clipboard.h"
#include "platform/Files.h"
#include "platform/FloatingWindows.h"
#include "platform/SavePanel.h"
#include "platform/WorkArea.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velloq::testing {

class FakeClipboard final : public platform::Clipboard {
public:
    void setText(std::string_view text) override { texts.emplace_back(text); }
    void setImage(std::span<const std::byte> png) override {
        images.emplace_back(reinterpret_cast<const char*>(png.data()), png.size());
    }
    std::optional<std::string> text() const {
        return texts.empty() ? std::nullopt : std::optional(texts.back());
    }
    std::vector<std::string> texts;  // every text put on it, in order
    std::vector<std::string> images; // every image put on it, as PNG bytes, in order
};

class FakeSavePanel final : public platform::SavePanel {
public:
    std::optional<std::filesystem::path> run(const platform::SaveRequest& request) override;

    std::optional<std::filesystem::path> answer; // none: the user cancels
    // Runs while the panel is "open", as the real modal loop lets timers run.
    std::function<void()> whileOpen;
    std::vector<platform::SaveRequest> requests;
};

// Real files in real folders, with failures on request.
class FakeFiles final : public platform::Files {
public:
    Expected<void, platform::FileError> write(const std::filesystem::path& destination,
                                              std::span<const std::byte> bytes) override;
    Expected<void, platform::FileError> copy(const std::filesystem::path& source,
                                             const std::filesystem::path& destination) override;
    Expected<void, platform::FileError> remove(const std::filesystem::path& path) override;

    bool failWrites = false;
    std::vector<std::filesystem::path> removed;
};

// A main screen of 1440 x 900 points with a 25-point panel along its top.
class FakeWorkArea final : public platform::WorkArea {
public:
    std::optional<platform::GlobalRect> mainVisibleFrame() override { return visible; }
    platform::WindowSystemRect toWindowSystem(const platform::GlobalRect& rect) override;

    std::optional<platform::GlobalRect> visible = platform::GlobalRect{0, 0, 1440, 875};
    double primaryHeight = 900;
};

class FakeFloatingWindows final : public platform::FloatingWindows {
public:
    bool compositing() override { return compositor; }
    void showOnAllWorkspaces(std::uintptr_t) override {}

    bool compositor = false;
};

} // namespace velloq::testing
