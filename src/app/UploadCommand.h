#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace velloq {

// `velloq upload FILE...`: a PNG goes up as an image, anything else as a
// video in parts. One link per file on `out`, in order; a file that fails
// gets its sentence on `err` and the others still go. `showProgress` draws
// bytes sent and throughput on `err` while a large file goes up. Returns the
// exit status: 0 when every file went up.
int runUpload(const std::vector<std::string>& files, std::ostream& out, std::ostream& err,
              bool showProgress);

} // namespace velloq
