// rfcdep.dll: a library that the "dependent" librfc32.dll imports. The tests
// put it only into the current folder, where the sensor must never let the
// RFC library find it.
extern "C" __declspec(dllexport) int SimRfcDependency() { return 1; }
