// Writes the screenshot-like images the PNG benchmark encodes (bench/data):
// a text-heavy interface, smooth gradients, and a photograph-like picture.
// Deterministic, so the files only change when this program does.

#include "capture/PngData.h"

#include <cmath>
#include <fstream>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <random>

namespace {

void save(const QImage& image, const std::string& path) {
    const auto png = velloq::capture::pngData(image);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png->data()), std::streamsize(png->size()));
}

QImage interfaceWithText() {
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(QColor(246, 246, 248));
    QPainter p(&image);
    p.fillRect(0, 0, 1920, 36, QColor(40, 40, 48));
    p.fillRect(0, 36, 280, 1044, QColor(232, 232, 236));
    std::mt19937 random(1);
    QFont font("DejaVu Sans", 11);
    p.setFont(font);
    const char* words[] = {"capture",  "display", "window", "region", "upload",  "link",
                           "settings", "velloq",  "pixel",  "scale",  "primary", "record"};
    for (int y = 60; y < 1060; y += 22) {
        p.setPen(QColor(90, 90, 100));
        p.drawText(16, y, words[random() % 12]);
        std::string line;
        while (line.size() < 150) {
            line += words[random() % 12];
            line += ' ';
        }
        p.setPen(QColor(20, 20, 24));
        p.drawText(310, y, QString::fromStdString(line));
    }
    for (int i = 0; i < 12; ++i) {
        p.setPen(QColor(200, 200, 210));
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(QRectF(1500, 80 + i * 80, 380, 64), 8, 8);
        p.fillRect(QRect(1516, 96 + i * 80, 32, 32), QColor(255, 77, 65));
    }
    return image;
}

QImage gradients() {
    QImage image(1920, 1080, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient linear(0, 0, 1920, 1080);
    linear.setColorAt(0, QColor(20, 40, 120));
    linear.setColorAt(0.5, QColor(180, 80, 160));
    linear.setColorAt(1, QColor(250, 200, 90));
    p.fillRect(image.rect(), linear);
    QRadialGradient glow(1300, 400, 500);
    glow.setColorAt(0, QColor(255, 255, 255, 160));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);
    p.fillRect(QRect(200, 700, 600, 260), QColor(255, 255, 255, 200));
    return image;
}

// Smooth value noise in several octaves, plus grain: reads like a photograph to a compressor.
QImage photograph() {
    QImage image(1920, 1080, QImage::Format_RGB32);
    std::mt19937 random(3);
    std::vector<float> lattice(64 * 64 * 3);
    for (auto& v : lattice) {
        v = float(random() % 256);
    }
    const auto sample = [&](float x, float y, int c) {
        const int xi = int(x) & 63;
        const int yi = int(y) & 63;
        const float fx = x - std::floor(x);
        const float fy = y - std::floor(y);
        const auto at = [&](int i, int j) { return lattice[((j & 63) * 64 + (i & 63)) * 3 + c]; };
        const float top = at(xi, yi) * (1 - fx) + at(xi + 1, yi) * fx;
        const float bottom = at(xi, yi + 1) * (1 - fx) + at(xi + 1, yi + 1) * fx;
        return top * (1 - fy) + bottom * fy;
    };
    std::normal_distribution<float> grain(0, 6);
    for (int y = 0; y < 1080; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 1920; ++x) {
            int rgb[3];
            for (int c = 0; c < 3; ++c) {
                float v = 0.5f * sample(x / 160.0f, y / 160.0f, c) +
                          0.3f * sample(x / 40.0f, y / 40.0f, c) +
                          0.2f * sample(x / 8.0f, y / 8.0f, c) + grain(random);
                rgb[c] = std::clamp(int(v), 0, 255);
            }
            row[x] = qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts
    const std::string folder = argc > 1 ? argv[1] : ".";
    save(interfaceWithText(), folder + "/interface.png");
    save(gradients(), folder + "/gradient.png");
    save(photograph(), folder + "/photo.png");
    return 0;
}
