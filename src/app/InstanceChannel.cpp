#include "app/InstanceChannel.h"

#include "platform/posix/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace velloq {
namespace {

constexpr int answerWaitMs = 3000;
const QByteArray captureRequest = "capture\n";
const QByteArray acknowledgement = "ok\n";

} // namespace

std::filesystem::path InstanceChannel::defaultPath() {
    return platform::InstanceLock::defaultPath().parent_path() / "velloq.sock";
}

InstanceChannel::InstanceChannel(std::filesystem::path path) : path_(std::move(path)) {}

InstanceChannel::~InstanceChannel() {
    if (server_) {
        server_->close();
    }
}

bool InstanceChannel::listen(std::function<void()> onCapture) {
    onCapture_ = std::move(onCapture);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QString::fromStdString(path_.string());
    // Only the instance holding the lock listens, so a socket left behind
    // by a crashed one is stale.
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) {
        server_.reset();
        return false;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    return;
                }
                const QByteArray line = socket->readLine();
                if (line == captureRequest) {
                    socket->write(acknowledgement);
                    socket->flush();
                    if (onCapture_) {
                        onCapture_();
                    }
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool InstanceChannel::requestCapture(const std::filesystem::path& path) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path.string()));
    if (!socket.waitForConnected(answerWaitMs)) {
        return false;
    }
    socket.write(captureRequest);
    if (!socket.waitForBytesWritten(answerWaitMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerWaitMs)) {
            return false;
        }
    }
    return socket.readLine() == acknowledgement;
}

} // namespace velloq
