#pragma once
// `plughost describe`: the first effect of a module, its components and its host parameters, as text or as
// JSON (top-level keys "effect", "components", "parameters").
#include <string>

namespace aaxhost {
class Instance;
class Module;
} // namespace aaxhost

namespace plughost {

// `instance` is an instance of the module's first effect, for the parameters
std::string DescribeText(const aaxhost::Module& module, const aaxhost::Instance& instance);
std::string DescribeJson(const aaxhost::Module& module, const aaxhost::Instance& instance);

} // namespace plughost
