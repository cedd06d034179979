/* Starts a program and reports how long after its exec the first pixel of
 * the (black) root window changes, polling the screen every millisecond.
 *   first_paint [-region X,Y,W,H] COMMAND [ARGS...]    prints "PID MILLISECONDS"
 * With -region only that part of the screen counts (a program's own window,
 * not a tray icon it maps first). The program is left running. */
#define _DEFAULT_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>
#include <unistd.h>

static double now_ms(void) {
  /* Wall-clock time is enough for a few hundred milliseconds. */
  struct timeval t;
  gettimeofday(&t, NULL);
  return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

static int painted(Display* d, Window root, int x0, int y0, int w, int h) {
  XImage* img = XGetImage(d, root, x0, y0, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
  if (!img) return 0;
  int found = 0;
  for (int y = 0; y < h && !found; y += 1)
    for (int x = 0; x < w; x += 1)
      if (XGetPixel(img, x, y) != 0) {
        found = 1;
        break;
      }
  XDestroyImage(img);
  return found;
}

int main(int argc, char** argv) {
  int x0 = 0, y0 = 0, w = 0, h = 0;
  if (argc > 2 && strcmp(argv[1], "-region") == 0) {
    if (sscanf(argv[2], "%d,%d,%d,%d", &x0, &y0, &w, &h) != 4) return 2;
    argv += 2;
    argc -= 2;
  }
  if (argc < 2) {
    fprintf(stderr, "usage: first_paint [-region X,Y,W,H] COMMAND [ARGS...]\n");
    return 2;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "first_paint: no display\n");
    return 1;
  }
  Window root = DefaultRootWindow(d);
  if (w == 0) {
    w = DisplayWidth(d, DefaultScreen(d));
    h = DisplayHeight(d, DefaultScreen(d));
  }
  if (painted(d, root, x0, y0, w, h)) {
    fprintf(stderr, "first_paint: the screen is not black to begin with\n");
    return 1;
  }
  const double start = now_ms();
  pid_t pid = fork();
  if (pid == 0) {
    /* the program's own output must not mix with the figures */
    if (freopen("/dev/null", "w", stdout) == NULL || freopen("/dev/null", "w", stderr) == NULL) _exit(126);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  while (!painted(d, root, x0, y0, w, h)) {
    if (now_ms() - start > 10000) {
      printf("%d timeout\n", (int)pid);
      return 1;
    }
    usleep(1000);
  }
  printf("%d %.1f\n", (int)pid, now_ms() - start);
  return 0;
}
