// Prints the program that the desktop of its environment registers for the
// extension: GLib reads the desktop once per process.
#include <cstdio>

#include "upgrader/utils/open_url.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const QString program = upgrader::GetAssociatedProgram(QString::fromLocal8Bit(argv[1]));
    std::printf("%s\n", program.toLocal8Bit().constData());
    return 0;
}
