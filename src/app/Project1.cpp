#include <cstdio>

// The program's entry point. The main window does not exist yet, so the program says so and
// ends with a failure status rather than pretending to run.
int main() {
  std::fputs("Anthora 1.0: the main window is not built yet.\n", stderr);
  return 1;
}
