// The libsapucum.dll of the "libsapucum-icu" variant: what the
// "netweaver-dependent" sapnwrfc.dll imports from libsapucum.dll, importing
// in turn icuuc50.dll, as the SDK's own libsapucum.dll does. The tests put
// it beside sapnwrfc.dll and icuuc50.dll nowhere: the DLL missing is then
// one that a DLL found needs.
extern "C" __declspec(dllimport) int SimRfcChainEnd();

extern "C" __declspec(dllexport) int SimRfcDependency() { return SimRfcChainEnd(); }
