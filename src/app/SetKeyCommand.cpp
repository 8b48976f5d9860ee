#include "app/SetKeyCommand.h"

#include "common/Utf8.h"
#include "keystore/APIKeyStore.h"

#include <iterator>
#include <string>

namespace velloq {

int runSetKey(std::istream& in, std::ostream& out, std::ostream& err, bool interactive) {
    if (interactive) {
        err << "Paste the API key, then press Enter and Ctrl+D:" << std::endl;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!isValidUtf8(text)) {
        err << "velloq: the API key must be UTF-8 text; nothing was changed\n";
        return 1;
    }
    const auto outcome = applyAPIKeyEdit(text);
    if (!outcome) {
        err << "velloq: the keyring did not take the change; is a Secret Service keyring "
               "(GNOME Keyring, KWallet) running and unlocked?\n";
        return 1;
    }
    out << (*outcome == APIKeyEdit::deleted ? "API key removed.\n" : "API key saved.\n");
    return 0;
}

} // namespace velloq
