#pragma once

// The four actions of the editor's bottom bar. Each first commits open text
// and flattens the image; a failed flattening shows "Couldn't render the image."
// and stops. The uploads run without blocking and may outlive the editor.

#include "editor/ExportRenderer.h"
#include "ui/ImageRoutes.h"

#include <memory>

namespace velloq::editor {

class EditorState;

class EditorActions {
public:
    EditorActions(EditorState& state, Screenshot shot, std::string fileName, ImageRoutes services);
    ~EditorActions();
    EditorActions(const EditorActions&) = delete;
    EditorActions& operator=(const EditorActions&) = delete;

    // Uploads and opens the link in the browser; the editor stays open.
    void openAction();
    // Asks where to save and writes the PNG there.
    void saveAction();
    // Puts the annotated image on the clipboard.
    void copyImageAction();
    // Uploads, puts the link on the clipboard and closes the editor.
    void copyLinkAndDoneAction();

    // Closes the editor's window; called only while this editor is still the one shown.
    std::function<void()> onDone;

    const std::string& fileName() const { return fileName_; }

private:
    std::optional<RenderedImage> render();
    void upload(QByteArray png, std::function<void(const std::string& link)> succeeded);

    EditorState& state_;
    Screenshot shot_;
    std::string fileName_;
    ImageRoutes services_;
    // Upload continuations hold this weakly: the editor may be replaced meanwhile.
    std::shared_ptr<EditorActions*> self_;
};

} // namespace velloq::editor
