// icuuc50.dll: the end of the chain that the "libsapucum-icu" libsapucum.dll
// imports. Built only for the import; no test puts it where it is found.
extern "C" __declspec(dllexport) int SimRfcChainEnd() { return 1; }
