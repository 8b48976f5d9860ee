// Times how long a hotkey press or a command takes to cover the screen with
// its capture overlay: from pressing the keys (through XTest, on the probe's
// own connection) or starting the command (a tool's own "open the overlay"
// command) until the probe pixel on the root window changes, which is when
// the overlay is mapped and painted. Then it sends Escape and waits for the
// pixel to come back. Prints one line per run in milliseconds.
//
//   overlay_probe RUNS X Y --key ctrl+super+u
//   overlay_probe RUNS X Y COMMAND [ARGS...]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

struct DisplayClose {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
struct ImageDestroy {
    void operator()(XImage* i) const { XDestroyImage(i); }
};

unsigned long pixelAt(Display* d, int x, int y) {
    std::unique_ptr<XImage, ImageDestroy> image(
        XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap));
    return image ? XGetPixel(image.get(), 0, 0) & 0xffffff : 0;
}

pid_t spawn(const std::vector<std::string>& argv) {
    std::vector<char*> raw;
    for (const auto& a : argv) {
        raw.push_back(const_cast<char*>(a.c_str()));
    }
    raw.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

// Presses the keys of a chord like "ctrl+super+u" in order and releases them
// in reverse, as a person does; false when a key is unknown.
bool pressChord(Display* d, const std::string& chord) {
    std::vector<KeyCode> codes;
    for (std::size_t start = 0; start <= chord.size();) {
        const std::size_t end = std::min(chord.find('+', start), chord.size());
        const std::string name = chord.substr(start, end - start);
        const KeySym sym = name == "ctrl"    ? XK_Control_L
                           : name == "super" ? XK_Super_L
                           : name == "shift" ? XK_Shift_L
                           : name == "alt"   ? XK_Alt_L
                                             : XStringToKeysym(name.c_str());
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
        if (code == 0) {
            return false;
        }
        codes.push_back(code);
        start = end + 1;
    }
    for (const KeyCode code : codes) {
        XTestFakeKeyEvent(d, code, True, CurrentTime);
    }
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
        XTestFakeKeyEvent(d, *code, False, CurrentTime);
    }
    XFlush(d);
    return true;
}

// Waits until the probe pixel satisfies `done`, at most `limitMs`.
template <class Done> bool waitFor(Display* d, int x, int y, Done done, int limitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
        if (done(pixelAt(d, x, y))) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: overlay_probe RUNS X Y COMMAND [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const int x = std::atoi(argv[2]);
    const int y = std::atoi(argv[3]);
    const std::vector<std::string> command(argv + 4, argv + argc);
    std::unique_ptr<Display, DisplayClose> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "overlay_probe: no display\n");
        return 1;
    }
    Display* d = display.get();
    for (int run = 0; run < runs; ++run) {
        const unsigned long baseline = pixelAt(d, x, y);
        const auto start = std::chrono::steady_clock::now();
        const bool chord = command.size() == 2 && command[0] == "--key";
        if (chord && !pressChord(d, command[1])) {
            std::fprintf(stderr, "overlay_probe: unknown key in %s\n", command[1].c_str());
            return 2;
        }
        const pid_t child = chord ? -1 : spawn(command);
        const bool shown = waitFor(
            d, x, y, [baseline](unsigned long p) { return p != baseline; }, 10000);
        const auto elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!shown) {
            std::fprintf(stderr, "overlay_probe: run %d: the overlay never showed\n", run);
            return 1;
        }
        std::printf("%.1f\n", elapsed);
        std::fflush(stdout);
        const pid_t escape = spawn({"xdotool", "key", "Escape"});
        if (escape > 0) {
            waitpid(escape, nullptr, 0);
        }
        if (!waitFor(
                d, x, y, [baseline](unsigned long p) { return p == baseline; }, 10000)) {
            std::fprintf(stderr, "overlay_probe: run %d: the overlay did not close\n", run);
            return 1;
        }
        // Some tools' commands return only once their overlay has closed.
        if (child > 0) {
            waitpid(child, nullptr, 0);
        }
        // Let the tool settle back to idle before the next press.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return 0;
}
