#pragma once

namespace velloq::editor {

// Builds one visitor out of lambdas, one per alternative of a variant.
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };

} // namespace velloq::editor
