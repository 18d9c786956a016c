// Prints the program's path, as the program reads it, once a line arrives.
#include <iostream>
#include <string>

#include "common/running_executable.h"

int main() {
    std::string line;
    std::getline(std::cin, line);
    std::cout << common::RunningExecutablePath() << std::endl;
}
