// Ruzozudo3: started by the program after an upgrade's files were downloaded.
#include <unistd.h>

#include <string>
#include <vector>

#include "upgrader/replacer/replacer_run.h"

namespace {

// Descriptors inherited from the old program would keep parts of it alive
// (the engine's helper processes end only when their sockets close), and
// with them the program file the replacer waits for; the restarted program
// must not inherit them either.
void CloseInheritedDescriptors() {
    if (::close_range(3, ~0U, 0) == 0)
        return;
    const long limit = ::sysconf(_SC_OPEN_MAX);
    for (int descriptor = 3; descriptor < (limit > 0 ? limit : 1024) && descriptor < 65536;
         ++descriptor)
        ::close(descriptor);
}

}  // namespace

int main(int argc, char** argv) {
    CloseInheritedDescriptors();
    std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
    return replacer::RunReplacer(params);
}
