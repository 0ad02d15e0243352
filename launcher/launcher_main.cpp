// talvenor, the launcher of a demo module: its main, which hands the whole
// run to runLauncher (launcher_run.h).
#include "launcher_run.h"

int main(int argc, char** argv) {
    return runLauncher(argc, argv);
}
