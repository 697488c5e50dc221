// A module for the lookup test, built beside the test program.
extern "C" int reader_test_module_answer() { return 42; }
