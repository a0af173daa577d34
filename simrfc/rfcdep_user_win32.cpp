// Built only into the "dependent" librfc32.dll: the one call that makes the
// library import rfcdep.dll, so that Windows must find that file to load it.
extern "C" __declspec(dllimport) int SimRfcDependency();

extern "C" int SimRfcUsesDependency() { return SimRfcDependency(); }
