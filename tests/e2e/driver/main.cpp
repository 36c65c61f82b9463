// e2e_driver.exe PHASE APP_FOLDER: plays one phase of a scenario against the
// clock program in APP_FOLDER and exits 0 when every check passed.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <initializer_list>

#include "e2ekit.h"
#include "phases.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: e2e_driver PHASE APP_FOLDER\n");
        return 2;
    }
    App.folder = argv[2];
    KeepHookChainAlive();
    for (const Phase *table : {Phases, SkinPhases, MenuPhases, DialogPhases, SamplePhases, ScreenPhases, TextPhases, BenchPhases, ShotPhases}) {
        for (const Phase *phase = table; phase->name; phase++) {
            if (strcmp(phase->name, argv[1]) == 0) {
                phase->run();
                printf("%s: %s\n", phase->name, Failures ? "FAILED" : "passed");
                return Failures ? 1 : 0;
            }
        }
    }
    fprintf(stderr, "unknown phase %s\n", argv[1]);
    return 2;
}
