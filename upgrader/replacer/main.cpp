// Ruzozudo3: started by the program after an upgrade's files were downloaded.
#include <string>
#include <vector>

#include "upgrader/replacer/process_start.h"
#include "upgrader/replacer/replacer_run.h"

int main(int argc, char** argv) {
    replacer::CloseInheritedDescriptors();
    std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
    return replacer::RunReplacer(params);
}
