// A stand-in DLL that carries the module's compiled resources, as Kelvaron.dll does, for the tests to
// load; it has no code of its own beyond this marker.
extern "C" __declspec(dllexport) int resourceCarrierMarker() { return 1; }
