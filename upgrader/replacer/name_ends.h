#pragma once

#include <string>

namespace replacer {

// Whether the file name ends with End ("quorvane.uTMP" with ".uTMP").
inline bool EndsWith(const std::string& Name, const std::string& End) {
    return Name.size() >= End.size() &&
           Name.compare(Name.size() - End.size(), End.size(), End) == 0;
}

}  // namespace replacer
