#pragma once
// The commands of plughost. Each returns the process exit status: 0 done, 1 failed, kExitUsage for bad
// arguments, files, settings or modules.
#include <iosfwd>
#include <string>
#include <vector>

namespace plughost {

inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

const char* Usage();

// argv after the command name
int RunDescribe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace plughost
