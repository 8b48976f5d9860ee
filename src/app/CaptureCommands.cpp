#include "app/CaptureCommands.h"

#include "app/ArgumentText.h"
#include "capture/DisplayList.h"
#include "capture/PngData.h"
#include "capture/ScreenCapture.h"
#include "geometry/Coordinates.h"
#include "geometry/ScreenList.h"
#include "net/ImageUpload.h"
#include "platform/Platform.h"
#include "settings/UserFolders.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <QGuiApplication>
#include <sstream>

namespace velloq {
namespace {

std::string formatNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::optional<QImage> snapshot(const CaptureOptions& options, std::ostream& err) {
    if (options.mode == CaptureOptions::Mode::display) {
        const auto screens = capture::currentScreens();
        if (!screens) {
            err << "velloq: capture failed: " << screens.error().detail << "\n";
            return std::nullopt;
        }
        for (const auto& screen : *screens) {
            if (screen.displayID == options.displayID) {
                const geometry::Size pixels{screen.scale * screen.frame.width,
                                            screen.scale * screen.frame.height};
                auto image = capture::captureDisplay(
                    {options.displayID, pixels, {0, 0, pixels.width, pixels.height}, screen.scale});
                if (!image) {
                    err << "velloq: capture failed: " << capture::describe(image.error()) << "\n";
                    return std::nullopt;
                }
                return std::move(*image);
            }
        }
        err << "velloq: no display with id " << options.displayID << " (see `velloq displays`)\n";
        return std::nullopt;
    }
    auto desktop = capture::captureDesktop();
    if (!desktop) {
        err << "velloq: capture failed: " << capture::describe(desktop.error()) << "\n";
        return std::nullopt;
    }
    if (options.mode == CaptureOptions::Mode::all) {
        return std::move(desktop->image);
    }
    const auto& u = desktop->unionRect;
    const auto& r = options.region;
    const double left = std::max(r.minX(), u.minX());
    const double bottom = std::max(r.minY(), u.minY());
    const geometry::Rect inside{left, bottom, std::min(r.maxX(), u.maxX()) - left,
                                std::min(r.maxY(), u.maxY()) - bottom};
    const auto pixels = geometry::Coordinates::globalToImagePixels(inside, u, desktop->scale);
    const int x0 = int(std::lround(pixels.minX()));
    const int y0 = int(std::lround(pixels.minY()));
    const QRect crop(x0, y0, int(std::lround(pixels.maxX())) - x0,
                     int(std::lround(pixels.maxY())) - y0);
    if (inside.isEmpty() || crop.isEmpty()) {
        err << "velloq: the region lies outside every display\n";
        return std::nullopt;
    }
    return desktop->image.copy(crop);
}

} // namespace

std::optional<std::string> parseCaptureArguments(const std::vector<std::string>& arguments,
                                                 CaptureOptions& options) {
    const std::string& verb = arguments.front();
    if (verb == "displays") {
        if (arguments.size() > 1) {
            return "'displays' takes no arguments";
        }
        return std::nullopt;
    }
    bool modeGiven = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool takesValue =
            option == "--display" || option == "--region" || option == "--output";
        if (takesValue && i + 1 >= arguments.size()) {
            return "'" + option + "' needs a value";
        }
        if (option == "--output") {
            options.output = arguments[++i];
            continue;
        }
        if (option == "--upload") {
            options.upload = true;
            continue;
        }
        if (option != "--all" && !takesValue) {
            return "unknown capture option '" + option + "'";
        }
        if (modeGiven) {
            return "give one of --all, --display or --region";
        }
        modeGiven = true;
        if (option == "--all") {
            options.mode = CaptureOptions::Mode::all;
        } else if (option == "--display") {
            const std::string& text = arguments[++i];
            char* end = nullptr;
            const unsigned long long id = std::strtoull(text.c_str(), &end, 0);
            if (text.empty() || *end != '\0' || text.front() == '-' || id > 0xffffffffULL) {
                return "'--display' needs a display id from `velloq displays`";
            }
            options.mode = CaptureOptions::Mode::display;
            options.displayID = std::uint32_t(id);
        } else {
            const auto region = parseRegion(arguments[++i]);
            if (!region) {
                return "'--region' needs X,Y,WIDTH,HEIGHT in points, width and height above 0";
            }
            options.mode = CaptureOptions::Mode::region;
            options.region = *region;
        }
    }
    if (!modeGiven) {
        return "give one of --all, --display or --region";
    }
    return std::nullopt;
}

int runDisplays(std::ostream& out, std::ostream& err) {
    const auto screens = capture::currentScreens();
    if (!screens) {
        err << "velloq: " << screens.error().detail << "\n";
        return 1;
    }
    for (const auto& display : capture::listDisplays(*screens)) {
        for (const auto& screen : *screens) {
            if (screen.displayID != display.id) {
                continue;
            }
            const auto& f = screen.frame;
            out << display.id << ' ' << display.name << ' ' << formatNumber(f.x) << ','
                << formatNumber(f.y) << ',' << formatNumber(f.width) << ','
                << formatNumber(f.height) << ' ' << formatNumber(screen.scale)
                << (display.isPrimary ? " primary" : "") << '\n';
            break;
        }
    }
    return 0;
}

std::filesystem::path defaultCapturePath(std::time_t now) {
    return settings::datedPath(settings::userFolder(settings::UserFolder::pictures), "png", now);
}

int runCapture(const CaptureOptions& options, std::ostream& out, std::ostream& err) {
    const auto image = snapshot(options, err);
    if (!image) {
        return 1;
    }
    const auto png = capture::pngData(*image);
    if (!png) {
        err << "velloq: the capture could not be encoded as PNG\n";
        return 1;
    }
    if (options.upload) {
        // The file is written first, so a failed upload still leaves the image.
        if (!options.output.empty() &&
            !platform::files().write(options.output, std::as_bytes(std::span(*png)))) {
            err << "velloq: cannot write " << options.output << "\n";
            return 1;
        }
        const std::string_view bytes(reinterpret_cast<const char*>(png->data()), png->size());
        auto link = uploadImage(bytes, platform::http());
        if (!link) {
            err << "velloq: " << userMessage(link.error()) << "\n";
            return 1;
        }
        out << *link << "\n";
        return 0;
    }
    std::filesystem::path path = options.output;
    if (path.empty()) {
        path = defaultCapturePath(std::time(nullptr));
        std::error_code ignored; // a folder we cannot make shows up as a failed write below
        std::filesystem::create_directories(path.parent_path(), ignored);
    }
    const auto written = platform::files().write(path, std::as_bytes(std::span(*png)));
    if (!written) {
        err << "velloq: cannot write " << path.string() << "\n";
        return 1;
    }
    out << path.string() << "\n";
    return 0;
}

int runScreenVerb(bool displays, const CaptureOptions& options, int argc, char** argv) {
    if (auto monitors = platform::screens().monitors(); !monitors) {
        std::cerr << "velloq: " << monitors.error().detail << "\n";
        return 1;
    }
    // Qt only gets the program name: it would read `--display ID` as its own X display option.
    int guiArgc = argc > 0 ? 1 : 0;
    std::unique_ptr<QGuiApplication> gui;
    if (qGuiApp == nullptr) {
        gui = std::make_unique<QGuiApplication>(guiArgc, argv);
    }
    return displays ? runDisplays(std::cout, std::cerr) : runCapture(options, std::cout, std::cerr);
}

} // namespace velloq
