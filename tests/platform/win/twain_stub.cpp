// Stands in for the TWAIN source manager: only its entry point's name counts.
extern "C" __attribute__((visibility("default"))) int DSM_Entry() { return 7; }
