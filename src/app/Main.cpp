// Temporary entry point until the application object lands.
#include <cstdio>

int main() {
  std::fprintf(stderr, "veradex: the application shell is not built yet\n");
  return 1;
}
