#include "editor/Annotation.h"

namespace velloq::editor {

Annotation Annotation::make(Kind kind, QColor color, double width) {
    return Annotation{QUuid::createUuid(), std::move(kind), color, width};
}

} // namespace velloq::editor
