#include "feedback/OwnedFile.h"

#include "platform/Platform.h"

namespace velloq {

OwnedFile::~OwnedFile() {
    // Deliberately ignored: a file that cannot be removed is left in the temporary folder.
    static_cast<void>(platform::files().remove(path_));
}

} // namespace velloq
