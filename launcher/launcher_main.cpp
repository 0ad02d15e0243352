// talvenor: the launcher of a demo module.
#include "launcher_run.h"

int main(int argc, char** argv) {
    return runLauncher(argc, argv);
}
