// Test hook of the simulated RFC library.
#ifndef VENDRALITH_SIMRFC_SIMRFC_CONTROL_H
#define VENDRALITH_SIMRFC_SIMRFC_CONTROL_H

// Forgets the loaded landscape, open connections, installed structures,
// internal tables (their handles become invalid), the error handler, the
// last error and the NetWeaver face's function descriptions, so that the
// next logon reads the landscape file again.
void SimRfcReset();

#endif
