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
    const auto stored = APIKeyStore::loadAPIKey();
    if (outcome == APIKeyEdit::deleted) {
        if (stored) {
            err << "velloq: the API key could not be removed from the keyring\n";
            return 1;
        }
        out << "API key removed.\n";
        return 0;
    }
    if (stored != std::string(trimWhitespace(text))) {
        err << "velloq: the API key could not be stored; is a Secret Service keyring "
               "(GNOME Keyring, KWallet) running and unlocked?\n";
        return 1;
    }
    out << "API key saved.\n";
    return 0;
}

} // namespace velloq
