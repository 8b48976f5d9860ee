// The desktop snapshot on the X server in $DISPLAY (bench/capture_bench.sh
// starts one with a 2560x1440 + 1920x1080 layout): captureDesktop against a
// bare XShmGetImage loop over the same monitors, the memory floor.

#include "capture/PngData.h"
#include "capture/ScreenCapture.h"
#include "platform/Platform.h"
#include "platform/x11/X11Screens.h"

#include <benchmark/benchmark.h>
#include <QImage>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Needs Xlib's types first.
#include <X11/extensions/XShm.h>

namespace {

velloq::platform::X11Screens& screens() {
    static velloq::platform::X11Screens instance([](std::string_view) { return 1.0; });
    static const bool installed = [] {
        velloq::platform::Services services;
        services.screens = &instance;
        velloq::platform::install(services);
        return true;
    }();
    (void)installed;
    return instance;
}

// Fills each monitor with one of the benchmark's screenshots, so encoding sees real content.
void paintDesktop(const std::vector<velloq::platform::Monitor>& monitors) {
    Display* display = XOpenDisplay(nullptr);
    const char* files[] = {"interface", "photo", "gradient"};
    GC gc = XCreateGC(display, DefaultRootWindow(display), 0, nullptr);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const auto& frame = monitors[i].frame;
        QImage picture(QString(VELLOQ_BENCH_DATA) + "/" + files[i % 3] + ".png");
        picture = picture.scaled(frame.width, frame.height).convertToFormat(QImage::Format_RGB32);
        XImage* image =
            XCreateImage(display, DefaultVisual(display, DefaultScreen(display)), 24, ZPixmap, 0,
                         reinterpret_cast<char*>(picture.bits()), unsigned(frame.width),
                         unsigned(frame.height), 32, int(picture.bytesPerLine()));
        XPutImage(display, DefaultRootWindow(display), gc, image, 0, 0, frame.x, frame.y,
                  unsigned(frame.width), unsigned(frame.height));
        image->data = nullptr;
        XDestroyImage(image);
    }
    XFreeGC(display, gc);
    XSync(display, False);
    XCloseDisplay(display);
}

void BM_CaptureDesktop(benchmark::State& state) {
    screens();
    for (auto _ : state) {
        auto desktop = velloq::capture::captureDesktop();
        if (!desktop) {
            state.SkipWithError("capture failed");
            return;
        }
        benchmark::DoNotOptimize(desktop->image.constBits());
    }
}

void BM_CaptureDesktopAndPng(benchmark::State& state) {
    screens();
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto desktop = velloq::capture::captureDesktop();
        auto png = velloq::capture::pngData(desktop->image);
        bytes = png->size();
        benchmark::DoNotOptimize(png);
    }
    state.counters["bytes"] = double(bytes);
}

// The floor: one XShmGetImage per monitor into a reused segment, nothing else.
void BM_ShmGetImageFloor(benchmark::State& state) {
    const auto monitors = screens().monitors().value();
    Display* display = XOpenDisplay(nullptr);
    const int screen = DefaultScreen(display);
    std::size_t largest = 0;
    for (const auto& m : monitors) {
        largest = std::max(largest, std::size_t(m.frame.width) * std::size_t(m.frame.height) * 4);
    }
    XShmSegmentInfo info{};
    info.shmid = shmget(IPC_PRIVATE, largest, IPC_CREAT | 0600);
    info.shmaddr = static_cast<char*>(shmat(info.shmid, nullptr, 0));
    shmctl(info.shmid, IPC_RMID, nullptr);
    XShmAttach(display, &info);
    std::vector<XImage*> images;
    for (const auto& m : monitors) {
        XImage* image =
            XShmCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, info.shmaddr,
                            &info, unsigned(m.frame.width), unsigned(m.frame.height));
        images.push_back(image);
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            XShmGetImage(display, DefaultRootWindow(display), images[i], monitors[i].frame.x,
                         monitors[i].frame.y, AllPlanes);
        }
        benchmark::DoNotOptimize(info.shmaddr[0]);
    }
    for (XImage* image : images) {
        image->data = nullptr;
        XDestroyImage(image);
    }
    XShmDetach(display, &info);
    XSync(display, False);
    shmdt(info.shmaddr);
    XCloseDisplay(display);
}

void BM_Monitors(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(screens().monitors());
    }
}

// Our grabs alone, into buffers allocated once.
void BM_X11Grabs(benchmark::State& state) {
    const auto monitors = screens().monitors().value();
    std::vector<std::vector<std::uint8_t>> buffers;
    for (const auto& m : monitors) {
        buffers.emplace_back(std::size_t(m.frame.width) * std::size_t(m.frame.height) * 4);
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const auto& f = monitors[i].frame;
            (void)screens().grab(f,
                                 {buffers[i].data(), f.width, f.height, std::size_t(f.width) * 4});
        }
    }
}

} // namespace

BENCHMARK(BM_X11Grabs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Monitors)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShmGetImageFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureDesktop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureDesktopAndPng)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (const auto monitors = screens().monitors()) {
        paintDesktop(*monitors);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
