#include "editor/EditorActions.h"

#include "editor/EditorState.h"
#include "platform/Clipboard.h"
#include "platform/Platform.h"
#include "ui/OpenLink.h"

#include <span>

namespace velloq::editor {

namespace {

constexpr std::string_view bannerTitle = "Velloq";

std::span<const std::byte> bytesOf(const QByteArray& bytes) {
    return std::as_bytes(std::span(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

EditorActions::EditorActions(EditorState& state, Screenshot shot, std::string fileName,
                             ImageRoutes services)
    : state_(state), shot_(std::move(shot)), fileName_(std::move(fileName)),
      services_(std::move(services)), self_(std::make_shared<EditorActions*>(this)) {}

EditorActions::~EditorActions() = default;

std::optional<RenderedImage> EditorActions::render() {
    state_.commitText();
    auto rendered =
        renderExport(shot_, state_.canvasSize(), state_.annotations(), services_.encodePng);
    if (!rendered) {
        services_.showBanner(Severity::error, bannerTitle, "Couldn't render the image.");
    }
    return rendered;
}

void EditorActions::copyImageAction() {
    const auto rendered = render();
    if (!rendered) {
        return;
    }
    platform::clipboard().setImage(bytesOf(rendered->png));
    services_.showBanner(Severity::success, bannerTitle, "Image copied to clipboard");
}

void EditorActions::saveAction() {
    const auto rendered = render();
    if (!rendered) {
        return;
    }
    const auto destination = platform::savePanel().run({fileName_, "PNG image", "png"});
    if (!destination) {
        return;
    }
    // A failed write must not pass for a saved file.
    if (!platform::files().write(*destination, bytesOf(rendered->png))) {
        logLine("Velloq: The image could not be saved.");
        services_.showBanner(Severity::error, bannerTitle, "The image could not be saved.");
    }
}

void EditorActions::openAction() {
    auto rendered = render();
    if (!rendered) {
        return;
    }
    upload(std::move(rendered->png), [](const std::string& link) {
        platform::clipboard().setText(link);
        openLink(link);
    });
}

void EditorActions::copyLinkAndDoneAction() {
    auto rendered = render();
    if (!rendered) {
        return;
    }
    std::weak_ptr<EditorActions*> alive = self_;
    auto banner = services_.showBanner;
    upload(std::move(rendered->png), [alive, banner](const std::string& link) {
        platform::clipboard().setText(link);
        // A newer screenshot may have taken the window meanwhile: leave it open.
        if (auto self = alive.lock(); self && (*self)->onDone) {
            (*self)->onDone();
        }
        banner(Severity::success, bannerTitle, "Link copied to clipboard");
    });
}

void EditorActions::upload(QByteArray png, std::function<void(const std::string&)> succeeded) {
    auto banner = services_.showBanner;
    services_.uploadImage(std::move(png), [banner, succeeded](UploadOutcome outcome) {
        if (outcome) {
            succeeded(*outcome);
        } else {
            banner(Severity::error, bannerTitle, outcome.error());
        }
    });
}

} // namespace velloq::editor
