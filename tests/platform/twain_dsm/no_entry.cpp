// A library under the source manager's name without its entry point.
extern "C" __attribute__((visibility("default"))) int TwainSomethingElse() { return 1; }
