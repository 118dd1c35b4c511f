/* Drops files on the X window under a point of the screen, as a file manager does when a user
 * drags them onto it: a separate X client speaking XDND, offering the files as text/uri-list.
 * Wine turns such a drop into WM_DROPFILES for a window that accepts files, so this is how the
 * Wine suite gives the program a drop that comes from outside it.
 *
 *   vandrel-xdnd-drop X Y RESULT FILE...
 *
 * X and Y are in the root window's pixels. The outcome is written to RESULT (whole, under its
 * final name only once complete) and is also the exit code: "dropped" (0) when the target took
 * the drop and said it has finished, "refused" (1) when it would not take it, or a line saying
 * what failed (2). */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { kDropped = 0, kRefused = 1, kFailed = 2 };

/* The longest the whole drop may take; a target that said nothing by then never will. */
static const int kPatienceMs = 15000;
/* An XdndStatus that refuses may come before the target has read what is offered, so the
 * position is offered again a few times before the drop counts as refused. */
static const int kPositionTries = 5;
static const long kOurVersion = 5;

static const char* result_path;

static int finish(int code, const char* format, ...) {
  char part[4096];
  snprintf(part, sizeof part, "%s.part", result_path);
  FILE* file = fopen(part, "w");
  va_list args;
  va_start(args, format);
  if (file) {
    va_list copy;
    va_copy(copy, args);
    vfprintf(file, format, copy);
    va_end(copy);
    fputc('\n', file);
    fclose(file);
    rename(part, result_path);
  }
  if (code == kFailed) {
    fputs("vandrel-xdnd-drop: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
  }
  va_end(args);
  return code;
}

static long now_ms(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

/* The files as the text/uri-list type writes them: file:// URIs, bytes outside the unreserved
 * set percent-encoded, each line ended by CR LF. */
static char* uri_list(char** paths, int count, size_t* length) {
  size_t size = 1;
  for (int i = 0; i < count; ++i) size += strlen("file://") + 3 * strlen(paths[i]) + 2;
  char* list = malloc(size);
  char* out = list;
  for (int i = 0; i < count; ++i) {
    out += sprintf(out, "file://");
    for (const unsigned char* c = (const unsigned char*)paths[i]; *c; ++c) {
      if ((*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') ||
          strchr("-._~/", *c))
        *out++ = (char)*c;
      else
        out += sprintf(out, "%%%02X", *c);
    }
    *out++ = '\r';
    *out++ = '\n';
  }
  *out = '\0';
  *length = (size_t)(out - list);
  return list;
}

struct atoms {
  Atom aware, selection, enter, position, status, drop, finished, leave, copy, uri_list, targets;
};

/* The names stand in the order of the fields of struct atoms, which are filled as one array. */
static void intern_atoms(Display* display, struct atoms* atoms) {
  char* names[] = {"XdndAware",      "XdndSelection", "XdndEnter",    "XdndPosition",
                   "XdndStatus",     "XdndDrop",      "XdndFinished", "XdndLeave",
                   "XdndActionCopy", "text/uri-list", "TARGETS"};
  XInternAtoms(display, names, sizeof names / sizeof *names, False, (Atom*)atoms);
}

/* The version of XDND a window speaks; 0 when it takes no drops. */
static long xdnd_version(Display* display, Window window, const struct atoms* atoms) {
  Atom type;
  int format;
  unsigned long count, remaining;
  unsigned char* data = NULL;
  long version = 0;
  if (XGetWindowProperty(display, window, atoms->aware, 0, 1, False, XA_ATOM, &type, &format,
                         &count, &remaining, &data) == Success &&
      type == XA_ATOM && format == 32 && count == 1)
    version = (long)*(Atom*)data;
  if (data) XFree(data);
  return version;
}

/* The innermost window under the point that takes drops; None when there is none. Wine's
 * virtual desktop takes drops on its own window too, but a drop taken there reaches the
 * program's window as a file list that lives in the desktop's process, so the program's own
 * window, inside it, is the one to drop on. */
static Window target_under(Display* display, Window root, int x, int y, const struct atoms* atoms,
                           long* version) {
  Window window = root, target = None;
  for (;;) {
    int child_x, child_y;
    Window child = None;
    if (!XTranslateCoordinates(display, root, window, x, y, &child_x, &child_y, &child) ||
        child == None)
      return target;
    window = child;
    const long spoken = xdnd_version(display, window, atoms);
    if (spoken > 0) {
      target = window;
      *version = spoken;
    }
  }
}

static void send_message(Display* display, Window target, Atom type, long l0, long l1, long l2,
                         long l3, long l4) {
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
  event.xclient.window = target;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = l0;
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  XSendEvent(display, target, False, NoEventMask, &event);
  XFlush(display);
}

/* Hands the offered files to a client that asked for them by converting the selection. */
static void answer_request(Display* display, const XSelectionRequestEvent* request,
                           const struct atoms* atoms, const char* list, size_t length) {
  Atom property = request->property != None ? request->property : request->target;
  if (request->target == atoms->uri_list) {
    XChangeProperty(display, request->requestor, property, atoms->uri_list, 8, PropModeReplace,
                    (const unsigned char*)list, (int)length);
  } else if (request->target == atoms->targets) {
    Atom offered[] = {atoms->targets, atoms->uri_list};
    XChangeProperty(display, request->requestor, property, XA_ATOM, 32, PropModeReplace,
                    (const unsigned char*)offered, 2);
  } else {
    property = None;
  }
  XEvent reply;
  memset(&reply, 0, sizeof reply);
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = display;
  reply.xselection.requestor = request->requestor;
  reply.xselection.selection = request->selection;
  reply.xselection.target = request->target;
  reply.xselection.property = property;
  reply.xselection.time = request->time;
  XSendEvent(display, request->requestor, False, NoEventMask, &reply);
  XFlush(display);
}

/* Waits for the next event until the deadline; false when the time ran out. */
static int next_event(Display* display, long deadline, XEvent* event) {
  while (!XPending(display)) {
    long left = deadline - now_ms();
    if (left <= 0) return 0;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, (int)left);
  }
  XNextEvent(display, event);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: %s X Y RESULT FILE...\n", argv[0]);
    return kFailed;
  }
  const int x = atoi(argv[1]), y = atoi(argv[2]);
  result_path = argv[3];
  Display* display = XOpenDisplay(NULL);
  if (!display) return finish(kFailed, "cannot open the display");
  struct atoms atoms;
  intern_atoms(display, &atoms);
  const Window root = DefaultRootWindow(display);

  long version = 0;
  const Window target = target_under(display, root, x, y, &atoms, &version);
  if (target == None) return finish(kFailed, "no window taking drops at %d,%d", x, y);
  if (version > kOurVersion) version = kOurVersion;

  const Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, atoms.selection, source, CurrentTime);
  if (XGetSelectionOwner(display, atoms.selection) != source)
    return finish(kFailed, "cannot own the drag's selection");
  size_t length = 0;
  char* list = uri_list(argv + 4, argc - 4, &length);

  send_message(display, target, atoms.enter, (long)source, version << 24, (long)atoms.uri_list,
               None, None);
  const long where = ((long)x << 16) | (y & 0xFFFF);
  send_message(display, target, atoms.position, (long)source, 0, where, CurrentTime,
               (long)atoms.copy);
  int positions = 1, dropped = 0;
  const long deadline = now_ms() + kPatienceMs;
  XEvent event;
  while (next_event(display, deadline, &event)) {
    if (event.type == SelectionRequest) {
      answer_request(display, &event.xselectionrequest, &atoms, list, length);
    } else if (event.type == ClientMessage && event.xclient.message_type == atoms.status &&
               !dropped) {
      if (event.xclient.data.l[1] & 1) {
        send_message(display, target, atoms.drop, (long)source, 0, CurrentTime, None, None);
        dropped = 1;
      } else if (positions++ < kPositionTries) {
        send_message(display, target, atoms.position, (long)source, 0, where, CurrentTime,
                     (long)atoms.copy);
      } else {
        send_message(display, target, atoms.leave, (long)source, 0, None, None, None);
        XCloseDisplay(display);
        return finish(kRefused, "refused");
      }
    } else if (event.type == ClientMessage && event.xclient.message_type == atoms.finished) {
      /* Before version 5 a target that finished has always taken the drop. */
      const int taken = version < 5 || (event.xclient.data.l[1] & 1);
      XCloseDisplay(display);
      return taken ? finish(kDropped, "dropped") : finish(kRefused, "refused");
    }
  }
  if (!dropped) send_message(display, target, atoms.leave, (long)source, 0, None, None, None);
  XCloseDisplay(display);
  return finish(kFailed, dropped ? "the target never finished the drop"
                                 : "the target never answered the drag");
}
