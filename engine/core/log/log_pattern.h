#pragma once

#include <string>

namespace boost {
namespace log {

// Wildcard match of a log name: '*' is the only wildcard, matching is bytewise and
// case-sensitive. Each literal piece takes its first occurrence with no backtracking, so
// "a*b" does not match "abxb".
bool matchLogPattern(const std::string& name, const std::string& pattern);

}  // namespace log
}  // namespace boost
