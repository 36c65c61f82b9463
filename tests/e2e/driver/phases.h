#ifndef TKP_TESTS_E2E_PHASES_H
#define TKP_TESTS_E2E_PHASES_H

struct Phase {
    const char *name;
    void (*run)(void);
};

// Every phase the driver knows, ended by a null entry.
extern const Phase Phases[];
// "record_open PATH": stands in for the program that opens web pages; it
// writes PATH to opened.txt beside itself.
int RecordOpen(const char *path);

extern const Phase SkinPhases[];
extern const Phase MenuPhases[];
extern const Phase SamplePhases[];
// tools/screenshots' phases (not tests: they take pictures for docs/).
extern const Phase ShotPhases[];
// The benchmark's phases (not tests: they print figures).
extern const Phase BenchPhases[];

#endif
