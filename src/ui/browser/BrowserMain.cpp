// The browser process: the report window's web pages, shown in its window
// (an X11 socket whose id is the only argument), so that the web engine and
// its own processes end with this process when the window no longer wants
// them.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

#include "ui/browser/BrowserPlug.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: veradex-browser <socket id>\n");
    return 2;
  }
  if (!gtk_init_check(&argc, &argv)) return 1;
  char* end = nullptr;
  const unsigned long socket = std::strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0') return 2;
  {
    veradex::BrowserPlug plug(socket);
    gtk_main();
  }
  return 0;
}
