// mendo-display-guard DISPLAY OUTPUT PARENT_PID
//
// Keeps a laptop panel that MendoAI switched off from staying dark for good.
// MendoAI starts it right after the switch-off, with the RandR output's id;
// the kernel sends it SIGUSR1 when MendoAI's process ends, however it ends
// (PR_SET_PDEATHSIG). If the output is still off then, it is switched on to
// the right of whatever shows, as MendoAI's own launch would. It ends by
// itself once the output shows again, and quietly on SIGTERM (MendoAI
// switched the panel on and no longer needs it).
//
// Plain Xlib and RandR, no Qt: it costs a few hundred kilobytes while the
// panel is off.

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

bool parseNumber(const char* text, unsigned long long& out)
{
    char* end = nullptr;
    errno = 0;
    out = std::strtoull(text, &end, 10);
    return errno == 0 && end != text && *end == '\0';
}

// Whether the output shows something: connected, with a CRTC.
bool lit(Display* display, Window root, RROutput output)
{
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources)
        return false;
    bool result = false;
    if (XRROutputInfo* info = XRRGetOutputInfo(display, resources, output)) {
        // A disconnected panel cannot be lit: nothing left to guard.
        result = info->crtc != 0 || info->connection != RR_Connected;
        XRRFreeOutputInfo(info);
    } else {
        result = true;  // the output is gone
    }
    XRRFreeScreenResources(resources);
    return result;
}

void switchOn(Display* display, Window root, RROutput output)
{
    XGrabServer(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    XRROutputInfo* info = resources ? XRRGetOutputInfo(display, resources, output) : nullptr;
    if (info && info->connection == RR_Connected && info->crtc == 0 && info->nmode > 0) {
        // A free CRTC the output can use.
        RRCrtc crtc = 0;
        for (int i = 0; i < info->ncrtc && !crtc; ++i) {
            if (XRRCrtcInfo* c = XRRGetCrtcInfo(display, resources, info->crtcs[i])) {
                if (c->noutput == 0 && c->mode == None)
                    crtc = info->crtcs[i];
                XRRFreeCrtcInfo(c);
            }
        }
        // The preferred mode comes first in the list.
        const RRMode mode = info->modes[0];
        const XRRModeInfo* modeInfo = nullptr;
        for (int i = 0; i < resources->nmode; ++i)
            if (resources->modes[i].id == mode)
                modeInfo = &resources->modes[i];
        int right = 0;
        int bottom = 0;
        for (int i = 0; i < resources->ncrtc; ++i) {
            if (XRRCrtcInfo* c = XRRGetCrtcInfo(display, resources, resources->crtcs[i])) {
                if (c->mode != None) {
                    right = std::max(right, c->x + int(c->width));
                    bottom = std::max(bottom, c->y + int(c->height));
                }
                XRRFreeCrtcInfo(c);
            }
        }
        if (crtc && modeInfo) {
            const int screen = DefaultScreen(display);
            Window rootReturn = 0;
            int x = 0, y = 0;
            unsigned width = 0, height = 0, border = 0, depth = 0;
            XGetGeometry(display, root, &rootReturn, &x, &y, &width, &height, &border, &depth);
            const int newWidth = std::max(int(width), right + int(modeInfo->width));
            const int newHeight = std::max({ int(height), bottom, int(modeInfo->height) });
            if (newWidth != int(width) || newHeight != int(height)) {
                const double mmX = DisplayWidthMM(display, screen) > 0
                    ? double(DisplayWidthMM(display, screen)) / DisplayWidth(display, screen)
                    : 25.4 / 96;
                const double mmY = DisplayHeightMM(display, screen) > 0
                    ? double(DisplayHeightMM(display, screen)) / DisplayHeight(display, screen)
                    : 25.4 / 96;
                XRRSetScreenSize(display, root, newWidth, newHeight, int(std::lround(newWidth * mmX)),
                    int(std::lround(newHeight * mmY)));
            }
            RROutput outputs[] = { output };
            XRRSetCrtcConfig(display, resources, crtc, CurrentTime, right, 0, mode, RR_Rotate_0, outputs, 1);
        }
    }
    if (info)
        XRRFreeOutputInfo(info);
    if (resources)
        XRRFreeScreenResources(resources);
    XUngrabServer(display);
    XSync(display, False);
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned long long output = 0;
    unsigned long long parent = 0;
    if (argc != 4 || !parseNumber(argv[2], output) || !parseNumber(argv[3], parent) || output == 0
        || output > UINT_MAX) {
        std::fputs("usage: mendo-display-guard DISPLAY OUTPUT PARENT_PID\n", stderr);
        return 2;
    }
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : { SIGUSR1, SIGTERM, SIGINT, SIGHUP })
        sigaddset(&signals, signal);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
    // Also set by whoever started us; set again in case it was not.
    prctl(PR_SET_PDEATHSIG, SIGUSR1);

    Display* display = XOpenDisplay(argv[1]);
    if (!display || signalFd < 0)
        return 1;
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XRRSelectInput(display, root, RROutputChangeNotifyMask | RRCrtcChangeNotifyMask);
    XSync(display, False);

    bool parentGone = false;
    for (;;) {
        // Ended before the death signal could be asked for.
        if (pid_t(parent) != getppid())
            parentGone = true;
        if (parentGone) {
            if (!lit(display, root, RROutput(output)))
                switchOn(display, root, RROutput(output));
            break;
        }
        if (lit(display, root, RROutput(output)))
            break;
        pollfd descriptors[] = { { ConnectionNumber(display), POLLIN, 0 }, { signalFd, POLLIN, 0 } };
        if (poll(descriptors, 2, -1) < 0 && errno != EINTR)
            break;
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        if (descriptors[1].revents & POLLIN) {
            signalfd_siginfo info {};
            if (read(signalFd, &info, sizeof info) == sizeof info) {
                if (info.ssi_signo == SIGUSR1)
                    parentGone = true;
                else
                    break;
            }
        }
    }
    XCloseDisplay(display);
    return 0;
}
