#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QString>

namespace velloq::platform {

void QtClipboard::setText(std::string_view text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    clipboard->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                       QClipboard::Clipboard);
}

void QtClipboard::setImage(std::span<const std::byte> png) {
    const QByteArray bytes(reinterpret_cast<const char*>(png.data()),
                           static_cast<qsizetype>(png.size()));
    auto* mime = new QMimeData;
    mime->setImageData(QImage::fromData(bytes, "PNG"));
    mime->setData(QStringLiteral("image/png"), bytes);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    clipboard->setMimeData(mime, QClipboard::Clipboard); // the clipboard owns it now
}

} // namespace velloq::platform
