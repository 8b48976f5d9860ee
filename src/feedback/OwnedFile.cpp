#include "feedback/OwnedFile.h"

#include "platform/Platform.h"

namespace velloq {

OwnedFile::~OwnedFile() {
    // Deliberately ignored: a file that cannot be removed is left in the temporary folder.
    ignoreFailure(platform::files().remove(path_), "a leftover temporary file harms nothing");
}

} // namespace velloq
