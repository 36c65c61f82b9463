#ifndef TKP_TESTS_E2E_PHASES_H
#define TKP_TESTS_E2E_PHASES_H

#include <string>

struct Phase {
    const char *name;
    void (*run)(void);
};

// Every phase the driver knows, ended by a null entry.
extern const Phase Phases[];
// Web pages, web and mail addresses open with e2e_recorder.exe instead of
// a browser; PageOpened tells what it was last handed ("" for nothing yet).
void RecordPagesOpened();
std::string PageOpened();

extern const Phase SkinPhases[];
extern const Phase MenuPhases[];
extern const Phase DialogPhases[];
extern const Phase SamplePhases[];
extern const Phase ScreenPhases[];
extern const Phase TextPhases[];
// tools/screenshots' phases (not tests: they take pictures for docs/).
extern const Phase ShotPhases[];
// The benchmark's phases (not tests: they print figures).
extern const Phase BenchPhases[];

#endif
