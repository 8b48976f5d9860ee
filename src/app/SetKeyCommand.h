#pragma once

#include <istream>
#include <ostream>

namespace velloq {

// `velloq set-key`: the API key comes from standard input, never from an
// argument. Applies the Settings editing rule, then reads the key back so a
// keyring that silently dropped it is reported. Returns the exit status.
int runSetKey(std::istream& in, std::ostream& out, std::ostream& err, bool interactive);

} // namespace velloq
