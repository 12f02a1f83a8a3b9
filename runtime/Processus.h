#pragma once
// What the process sets for itself at start-up, first thing in main(),
// before the ports, the application object or any window exist.

// Ignores SIGXFSZ. Under a file-size limit (a quota set with RLIMIT_FSIZE,
// `prlimit --fsize`), a write past the limit would otherwise kill the
// program inside write(), losing the run held in memory and leaving the file
// cut short. Ignored, the write fails with EFBIG instead, and the save
// reports it as a full disk ("Erreur E/S 112").
void PreparerProcessus();
